#include "app/stafflist.h"
#include "app/paperwork.h"

#include "journal/journalconfig.h"
#include "journal/journalserver.h"
#include "journal/journalstore.h"
#include "staff/stafffile.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace zet {

struct StaffList::Connections {
    QString folder;
    JournalStore store;
    StaffStore staff;
    // The journal file as it was opened (device, inode): one deleted or replaced meanwhile has
    // another list, or none.
    quint64 device = 0;
    quint64 inode = 0;

    explicit Connections(const QString& programFolder)
        : folder(programFolder), store(programFolder), staff(QSqlDatabase()) {}

    static bool identity(const QString& path, quint64& device, quint64& inode) {
        struct stat info {};
        if (::stat(QFile::encodeName(path).constData(), &info) != 0)
            return false;
        device = quint64(info.st_dev);
        inode = quint64(info.st_ino);
        return true;
    }
    bool stillTheFileOpened() const {
        quint64 d = 0, i = 0;
        return identity(store.path(), d, i) && d == device && i == inode;
    }
};

StaffList::StaffList(std::function<QString()> folder, std::function<QDate()> today)
    : m_folder(std::move(folder)), m_today(std::move(today)) {}

StaffList::~StaffList() = default;

StaffStore* StaffList::local(QString* error, bool create) {
    const QString folder = m_folder();
    if (m_connections && m_connections->folder == folder && m_connections->store.isOpen() &&
        m_connections->stillTheFileOpened())
        return &m_connections->staff;
    m_connections.reset();
    // Looking people up never makes a journal: without one there is no list.
    if (!create && !QFile::exists(QDir(folder).filePath(JournalStore::fileName())))
        return nullptr;
    m_connections = std::make_unique<Connections>(folder);
    const JournalResult opened = m_connections->store.open();
    if (!opened.ok) {
        m_connections.reset();
        if (error)
            *error = opened.error;
        return nullptr;
    }
    m_connections->staff = StaffStore(m_connections->store.database());
    Connections::identity(m_connections->store.path(), m_connections->device, m_connections->inode);
    return &m_connections->staff;
}

bool StaffList::isEmpty() {
    StaffStore* store = local(nullptr, false);
    return !store || store->activeCount() <= 0;
}

QList<StaffPerson> StaffList::matching(const QString& typed, int limit) {
    QList<StaffPerson> found;
    if (StaffStore* store = local(nullptr, false))
        (void)store->find(typed, limit, found);
    return found;
}

std::optional<StaffPerson> StaffList::person(const QString& personnelNo) {
    StaffStore* store = local(nullptr, false);
    return store ? store->person(personnelNo) : std::nullopt;
}

QString StaffList::departmentOf(const QString& personnelNo) {
    const std::optional<StaffPerson> found = person(personnelNo);
    return found ? found->department : QString();
}

JournalResult StaffList::people(QList<StaffPerson>& result) {
    QString error;
    StaffStore* store = local(&error);
    return store ? store->people(result) : JournalResult::failure(error);
}

JournalResult StaffList::assignments(QList<StaffAssignment>& result) {
    QString error;
    StaffStore* store = local(&error);
    return store ? store->assignments(result) : JournalResult::failure(error);
}

JournalResult StaffList::change(const std::function<JournalResult(StaffStore&)>& change) {
    QString error;
    StaffStore* copy = local(&error);
    if (!copy)
        return JournalResult::failure(error);
    QString configError;
    const JournalConfig config = JournalConfig::read(m_folder(), &configError);
    if (!config.usesServer())
        return change(*copy);
    JournalServer server(config);
    const JournalResult connected = server.connect();
    if (!connected.ok) {
        return JournalResult::failure(QStringLiteral("%1\nСписок персонала хранится на сервере журнала, общем для всех "
                                                     "рабочих мест; без связи с ним список не изменён.")
                                          .arg(connected.error));
    }
    StaffStore shared(server.database());
    const JournalResult changed = change(shared);
    if (!changed.ok)
        return changed;
    const JournalResult copied = copy->copyFrom(shared);
    if (!copied.ok) {
        return JournalResult::failure(
            QStringLiteral("Список на сервере журнала изменён, но копия на этом рабочем месте пока прежняя: %1")
                .arg(copied.error));
    }
    return {};
}

JournalResult StaffList::importRecords(const StaffFile& file, StaffImportReport& report) {
    const QDate today = m_today();
    return change([&](StaffStore& store) { return store.import(file, today, report); });
}

JournalResult StaffList::importFile(const QString& path, StaffImportReport& report) {
    report = StaffImportReport();
    StaffFile file;
    QString error;
    if (!readStaffFile(path, file, error, readStaffWorkbookThroughPaperwork))
        return JournalResult::failure(error);
    const JournalResult imported = importRecords(file, report);
    if (!imported.ok && report.skipped.isEmpty())
        report.skipped = file.skipped;
    return imported;
}

JournalResult StaffList::setAssignment(const StaffAssignment& assignment) {
    return change([&](StaffStore& store) { return store.setAssignment(assignment); });
}

JournalResult StaffList::removeAssignment(const StaffAssignment& assignment) {
    return change([&](StaffStore& store) { return store.removeAssignment(assignment); });
}

QString StaffList::whereText() {
    QString configError;
    const JournalConfig config = JournalConfig::read(m_folder(), &configError);
    if (config.usesServer())
        return QStringLiteral("сервер журнала %1").arg(config.serverText());
    return QStringLiteral("журнал %1")
        .arg(QDir::toNativeSeparators(QDir(m_folder()).filePath(JournalStore::fileName())));
}

} // namespace zet
