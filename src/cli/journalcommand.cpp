#include "cli/journalcommand.h"

#include "app/startup.h"
#include "journal/archiveimport.h"
#include "journal/journal.h"

#include <QDir>
#include <QFileInfo>

namespace zet {

namespace {

void printUsage(QTextStream& err) {
    err << "Использование: razividerur journal import-archive [--folder ПАПКА]\n"
           "  Переносит в журнал результатов все файлы дня архива из папок год/месяц.\n"
           "  ПАПКА — папка программы с архивом (по умолчанию папка программы).\n";
    err.flush();
}

} // namespace

int runJournalCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QStringList args = arguments;
    if (!args.isEmpty() && args.first() == QLatin1String("journal"))
        args.removeFirst();
    if (args.isEmpty() || args.first() != QLatin1String("import-archive")) {
        printUsage(err);
        return 2;
    }
    args.removeFirst();
    QString folder;
    while (!args.isEmpty()) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--folder") && !args.isEmpty()) {
            folder = args.takeFirst();
        } else if (option.startsWith(QLatin1String("--folder="))) {
            folder = option.mid(9);
        } else {
            err << "Неизвестный параметр: " << option << "\n";
            printUsage(err);
            return 2;
        }
    }
    if (folder.isEmpty())
        folder = defaultProgramFolder();
    if (!QFileInfo(folder).isDir()) {
        err << "Папка не найдена: " << QDir::toNativeSeparators(folder) << "\n";
        err.flush();
        return 2;
    }

    Journal journal(folder);
    if (!journal.configError().isEmpty())
        err << journal.configError() << "\n";
    out << "Перенос архива из " << QDir::toNativeSeparators(QDir(folder).absolutePath()) << " в журнал "
        << QDir::toNativeSeparators(journal.store().path()) << "\n";
    out.flush();

    const ArchiveImportReport report = importArchive(
        journal.store(), folder, journal.config().workstation, [&out](int done, int total, const QString&) {
            out << "\rФайлов обработано: " << done << " из " << total;
            out.flush();
            return true;
        });
    out << "\n";
    for (const QString& damaged : report.damaged)
        err << "Повреждённый файл пропущен: " << damaged << "\n";
    out << "Файлов дня: " << report.filesFound << ", прочитано: " << report.filesImported
        << ", пропущено повреждённых: " << report.damaged.size() << ".\n"
        << "Экзаменов добавлено: " << report.examsAdded
        << ", уже были в журнале: " << report.examsAlreadyThere << ".\n";
    int code = report.damaged.isEmpty() ? 0 : 1;
    if (!report.result.ok) {
        err << report.result.error << "\n";
        code = 1;
    }
    if (journal.config().usesServer()) {
        int sent = 0;
        const JournalResult sendResult = journal.sendPending(&sent);
        out << "Отправлено на сервер журнала: " << sent << ".\n";
        if (!sendResult.ok) {
            err << sendResult.error << "\nОстальные будут отправлены при следующем запуске программы.\n";
            code = 1;
        }
    }
    out.flush();
    err.flush();
    return code;
}

} // namespace zet
