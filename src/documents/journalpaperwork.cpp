#include "documents/journalpaperwork.h"

#include "documents/journaltables.h"
#include "documents/tableexport.h"
#include "journal/protocolcheck.h"
#include "journal/protocolnumbers.h"

#include <QHash>

#include <algorithm>

namespace zet {

namespace {

JournalResult openQuery(JournalQuery& query) {
    const JournalResult opened = query.open();
    if (!query.isOpen())
        return JournalResult::failure(opened.error.isEmpty() ? QStringLiteral("Журнал результатов не открывается.")
                                                             : opened.error);
    return {};
}

JournalResult openReader(JournalReader& reader) {
    return reader.open();
}

// The rows of the list, page after page.
JournalResult readRows(JournalQuery& query, const JournalFilter& filter, const JournalSort& sort,
                       QList<JournalRow>& rows) {
    rows.clear();
    for (;;) {
        QString error;
        const QList<JournalRow> page =
            query.page(filter, sort, rows.isEmpty() ? nullptr : &rows.last(), JournalQuery::kPageSize * 10, &error);
        if (!error.isEmpty())
            return JournalResult::failure(error);
        rows += page;
        if (page.size() < JournalQuery::kPageSize * 10)
            return {};
    }
}

} // namespace

bool protocolOrder(const JournalEntry& a, const JournalEntry& b) {
    if (a.date != b.date)
        return a.date < b.date;
    if (a.protocolNo != b.protocolNo)
        return a.protocolNo < b.protocolNo;
    return a.fullName < b.fullName;
}

JournalResult numberProtocol(JournalReader& reader, int requested, ProtocolContent& content, QString* warning) {
    content.number = requested > 0 ? QString::number(requested) : QString();
    content.checkCode.clear();
    content.checkNote = QStringLiteral("Код проверки не указан: протоколу не присвоен номер журнала.");
    // Read from this workstation alone while the centre has a server (it did not answer, or
    // --local): a number from this journal could clash with the centre's.
    if (reader.serverMissed() || (reader.serverConfigured() && !reader.usesServer())) {
        if (warning) {
            const QString why = reader.serverMissed() ? QStringLiteral("Нет связи с сервером журнала")
                                                      : QStringLiteral("Протокол составлен по журналу этого рабочего места");
            *warning = requested > 0 ? QStringLiteral("%1: номер %2 не сохранён в журнале.").arg(why).arg(requested)
                                     : QStringLiteral("%1: номер протоколу не присвоен, в протоколе оставлено место, "
                                                      "чтобы вписать его.")
                                           .arg(why);
        }
        return {};
    }
    QList<QUuid> ids;
    ids.reserve(content.exams.size());
    for (const JournalEntry& e : content.exams)
        ids.append(e.id);
    int number = 0;
    const JournalResult given = ProtocolNumbers(reader.database()).numberFor(ids, requested, number);
    if (given.ok) {
        content.number = QString::number(number);
        content.checkCode = protocolCheckCode(reader.database(), number, ids, &content.checkNote);
        if (!content.checkCode.isEmpty())
            content.checkNote.clear();
    }
    return given;
}

JournalResult readFilteredExams(const QString& folder, const JournalFilter& filter, const JournalSort& sort,
                                QList<JournalEntry>& exams, bool* readLocally) {
    exams.clear();
    JournalQuery query(folder);
    if (JournalResult opened = openQuery(query); !opened.ok)
        return opened;
    if (readLocally)
        *readLocally = !query.readsServer() && JournalConfig::read(folder).usesServer();
    QList<JournalRow> rows;
    if (JournalResult read = readRows(query, filter, sort, rows); !read.ok)
        return read;
    if (rows.isEmpty())
        return {};

    // The examinee's data of the same days, read at once, put in the order of the list.
    JournalReader reader(folder);
    if (JournalResult opened = openReader(reader); !opened.ok)
        return opened;
    ReportFilter days;
    days.from = filter.from;
    days.until = filter.until;
    QList<JournalEntry> all;
    if (JournalResult read = JournalReports(reader.database()).exams(days, all); !read.ok)
        return read;
    QHash<QUuid, qsizetype> byId;
    for (qsizetype i = 0; i < all.size(); ++i)
        byId.insert(all[i].id, i);
    exams.reserve(rows.size());
    for (const JournalRow& row : rows) {
        const auto found = byId.constFind(row.id);
        if (found != byId.constEnd())
            exams.append(all[*found]);
    }
    return {};
}

JournalResult protocolContent(const QString& folder, const QList<QUuid>& selected, const JournalFilter& filter,
                              ProtocolContent& content, QString* warning) {
    content = {};
    if (JournalResult read = PaperworkSettings(folder).readProtocol(content.settings); !read.ok)
        return read;
    bool readLocally = false;
    if (selected.isEmpty()) {
        if (JournalResult read = readFilteredExams(folder, filter, {}, content.exams, &readLocally); !read.ok)
            return read;
    } else {
        JournalQuery query(folder);
        if (JournalResult opened = openQuery(query); !opened.ok)
            return opened;
        readLocally = !query.readsServer() && JournalConfig::read(folder).usesServer();
        for (const QUuid& id : selected) {
            QString error;
            std::optional<JournalEntry> exam = query.exam(id, &error);
            if (!exam)
                return JournalResult::failure(error.isEmpty() ? QStringLiteral("Экзамен не найден в журнале.") : error);
            exam->answers.clear();
            content.exams.append(*exam);
        }
    }
    if (content.exams.isEmpty())
        return JournalResult::failure(QStringLiteral("В списке нет экзаменов: протокол не из чего составить."));
    // A server named in journal.ini that could not be reached: the list came from this
    // workstation's journal, and the protocol says so.
    if (readLocally)
        content.sourceNote = localJournalNote(JournalConfig::read(folder).workstation);
    std::stable_sort(content.exams.begin(), content.exams.end(), protocolOrder);
    JournalReader reader(folder);
    if (JournalResult opened = openReader(reader); !opened.ok)
        return opened;
    return numberProtocol(reader, 0, content, warning);
}

JournalResult exportFilteredExams(const QString& folder, const JournalFilter& filter, const JournalSort& sort,
                                  const QString& path) {
    if (exportFormatOf(path) == ExportFormat::Unknown)
        return JournalResult::failure(
            QStringLiteral("Файл %1: список можно сохранить только в .xlsx или .csv.").arg(path));
    QList<JournalEntry> exams;
    if (JournalResult read = readFilteredExams(folder, filter, sort, exams); !read.ok)
        return read;
    return writeTable(examsTable(exams), path);
}

JournalResult readQuestionStatistics(const QString& folder, const JournalFilter& filter,
                                     QList<QuestionStatistic>& statistics, QString* caption) {
    statistics.clear();
    ReportFilter report;
    report.from = filter.from;
    report.until = filter.until;
    if (!filter.profileName.isEmpty()) {
        // The reports count by profile number: the number of the profile named in the list.
        JournalQuery query(folder);
        if (JournalResult opened = openQuery(query); !opened.ok)
            return opened;
        JournalFilter profileOnly;
        profileOnly.profileName = filter.profileName;
        QString error;
        const QList<JournalRow> one = query.page(profileOnly, {}, nullptr, 1, &error);
        if (!error.isEmpty())
            return JournalResult::failure(error);
        if (one.isEmpty())
            return {};
        report.profileNo = one.first().profileNo;
    }
    JournalReader reader(folder);
    if (JournalResult opened = openReader(reader); !opened.ok)
        return opened;
    if (JournalResult read = JournalReports(reader.database()).questionStatistics(report, statistics); !read.ok)
        return read;
    if (caption) {
        auto day = [](const QDate& d) { return d.toString(QStringLiteral("dd.MM.yyyy")); };
        QString period = QStringLiteral("за всё время");
        if (filter.from.isValid() && filter.until.isValid())
            period = QStringLiteral("с %1 по %2").arg(day(filter.from), day(filter.until));
        else if (filter.from.isValid())
            period = QStringLiteral("с %1").arg(day(filter.from));
        else if (filter.until.isValid())
            period = QStringLiteral("по %1").arg(day(filter.until));
        *caption = QStringLiteral("Экзамены %1, профиль: %2")
                       .arg(period, filter.profileName.isEmpty() ? QStringLiteral("все") : filter.profileName);
    }
    return {};
}

JournalResult exportDepartmentRegister(const QString& folder, const QString& department, const QDate& from,
                                       const QDate& until, const QString& path, int* count) {
    ProtocolSettings settings;
    if (JournalResult read = PaperworkSettings(folder).readProtocol(settings); !read.ok)
        return read;
    JournalReader reader(folder);
    if (JournalResult opened = openReader(reader); !opened.ok)
        return opened;
    QList<JournalEntry> exams;
    if (JournalResult read = JournalReports(reader.database()).departmentRegister(department, from, until, exams); !read.ok)
        return read;
    if (count)
        *count = int(exams.size());
    return writeXlsx(registerTable(exams, department, from, until, settings), path);
}

JournalResult readDueList(const QString& folder, const QDate& today, QList<DueEntry>& due) {
    due.clear();
    RecheckPeriods periods;
    if (JournalResult read = PaperworkSettings(folder).readPeriods(periods); !read.ok)
        return read;
    JournalReader reader(folder);
    if (JournalResult opened = openReader(reader); !opened.ok)
        return opened;
    return JournalReports(reader.database()).dueList(periods, today, due);
}

} // namespace zet
