#include "cli/journalcommand.h"

#include "app/paperwork.h"
#include "app/startup.h"
#include "cli/examinercommand.h"
#include "cli/commandoptions.h"
#include "journal/archiveimport.h"
#include "journal/journal.h"
#include "journal/journalserver.h"
#include "journal/staffstore.h"
#include "journal/journalverify.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

namespace zet {

namespace {

// How often an import written into a log or a pipe tells how far it has come.
constexpr qint64 kLogProgressMs = 5000;

const char* const kUsage =
    "Использование:\n"
    "  razividerur journal import-archive [--folder ПАПКА] [--password-stdin]\n"
    "      переносит в журнал результатов все файлы дня архива из папок год/месяц;\n"
    "      --password-stdin — пароль экзаменатора одной строкой со стандартного ввода\n"
    "  razividerur journal export --to ФАЙЛ.xlsx|ФАЙЛ.csv [--from ДД.ММ.ГГГГ] [--until ДД.ММ.ГГГГ]\n"
    "                             [--name ФИО] [--personnel-no НОМЕР] [--profile ПРОФИЛЬ]\n"
    "                             [--grade ОЦЕНКА] [--workstation МЕСТО] [--folder ПАПКА] [--local]\n"
    "      выгружает экзамены журнала за период (обе даты включительно) в таблицу;\n"
    "      --name и --personnel-no — часть Ф.И.О. или табельного номера (регистр и «ё» не важны),\n"
    "      --profile — номер или название профиля, --grade — оценка от 2 до 5,\n"
    "      --workstation — имя рабочего места из journal.ini\n"
    "  razividerur journal due [--within ДНЕЙ] [--department ПОДРАЗДЕЛЕНИЕ] [--profile N]\n"
    "                          [--to ФАЙЛ.xlsx|ФАЙЛ.csv] [--folder ПАПКА] [--local]\n"
    "      кому пора на повторную проверку: последняя сдача и срок следующей проверки, а также\n"
    "      все из списка персонала, кому назначен профиль (razividerur staff assign): кто ни разу\n"
    "      не проверялся — «не проверялся»; уволенные не входят;\n"
    "      --within — только просроченные и те, чей срок наступит в ближайшие ДНЕЙ дней;\n"
    "      --department — только это подразделение, --profile — только этот номер профиля\n"
    "  razividerur journal register --department ПОДРАЗДЕЛЕНИЕ [--from ДД.ММ.ГГГГ] [--until ДД.ММ.ГГГГ]\n"
    "                               --to ФАЙЛ.xlsx [--folder ПАПКА] [--local]\n"
    "      журнал проверки знаний подразделения за период: дата, Ф.И.О., должность, профиль\n"
    "      или программа, результат, номер протокола\n"
    "  razividerur journal verify [--folder ПАПКА]\n"
    "      проверяет целостность журнала этого компьютера, файлов дня архива и, если в journal.ini\n"
    "      указан сервер, журнала на сервере; код выхода 1, если найдены изменения\n"
    "  ПАПКА — папка программы с журналом (по умолчанию папка программы). Если в journal.ini\n"
    "  указан сервер журнала, экзамены читаются с сервера; когда он недоступен, команда не\n"
    "  выполняется. --local — читать только журнал этого рабочего места.\n";

int runImportArchive(QStringList args, QTextStream& out, QTextStream& err) {
    const bool passwordStdin = takePasswordStdinFlag(args);
    QString folder;
    while (!args.isEmpty()) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--folder") && !args.isEmpty()) {
            folder = args.takeFirst();
        } else if (option.startsWith(QLatin1String("--folder="))) {
            folder = option.mid(9);
        } else {
            err << "Неизвестный параметр: " << option << "\n";
            printJournalUsage(err);
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
    if (!examinerConfirmed(folder, passwordStdin, err))
        return 1;

    Journal journal(folder);
    if (!journal.configError().isEmpty())
        err << journal.configError() << "\n";
    out << "Перенос архива из " << QDir::toNativeSeparators(QDir(folder).absolutePath()) << " в журнал "
        << QDir::toNativeSeparators(journal.store().path()) << "\n";
    out.flush();

    // On a terminal the count is drawn over itself; into a log or a pipe a line goes out only
    // every few seconds, so that a long import still shows it is alive.
    const bool terminal = writesToTerminal(out);
    QElapsedTimer sinceLine;
    sinceLine.start();
    const ArchiveImportReport report = importArchive(
        journal.store(), folder, journal.config().workstation, [&](int done, int total, const QString&) {
            if (terminal) {
                out << "\rФайлов обработано: " << done << " из " << total;
            } else if (sinceLine.elapsed() >= kLogProgressMs) {
                out << "Файлов обработано: " << done << " из " << total << "\n";
                sinceLine.restart();
            }
            out.flush();
            return true;
        });
    if (terminal)
        out << "\n";
    for (const QString& damaged : report.damaged)
        err << "Повреждённый файл пропущен: " << damaged << "\n";
    out << "Файлов дня: " << report.filesFound << ", прочитано: " << report.filesImported
        << ", пропущено повреждённых: " << report.damaged.size() << ".\n"
        << "Экзаменов добавлено: " << report.examsAdded
        << ", уже были в журнале: " << report.examsAlreadyThere << ".\n";
    if (report.departmentsFilled > 0)
        out << "Подразделение по списку персонала вписано экзаменам: " << report.departmentsFilled << ".\n";
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
        } else {
            // Exams the server got before the staff list came get their department there too.
            JournalServer server(journal.config());
            int filled = 0;
            JournalResult result = server.connect();
            if (result.ok)
                result = StaffStore(server.database()).fillExamDepartments(&filled);
            if (!result.ok) {
                err << result.error << "\n";
                code = 1;
            } else if (filled > 0) {
                out << "Подразделение вписано экзаменам на сервере журнала: " << filled << ".\n";
            }
        }
    }
    out.flush();
    err.flush();
    return code;
}


int runVerify(const QStringList& args, QTextStream& out, QTextStream& err) {
    const std::optional<CommandOptions> options = parseJournalOptions(args, {QStringLiteral("folder")}, err);
    if (!options)
        return 2;
    const QString folder = options->folder(err);
    if (folder.isEmpty()) {
        err.flush();
        return 2;
    }
    const IntegrityReport report = verifyJournal(folder);
    for (const QString& line : report.lines())
        out << line << "\n";
    if (report.unlinked > 0)
        out << "Они будут связаны при следующем запуске программы.\n";
    out.flush();
    return report.intact() ? 0 : 1;
}

} // namespace

std::optional<CommandOptions> parseJournalOptions(const QStringList& args, const QStringList& allowed,
                                                  QTextStream& err, const QStringList& flags) {
    std::optional<CommandOptions> options = CommandOptions::parse(args, allowed, err, flags);
    if (!options)
        printJournalUsage(err);
    return options;
}

void printJournalUsage(QTextStream& err) {
    err << kUsage;
    err.flush();
}

int runJournalCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QStringList args = arguments;
    if (!args.isEmpty() && args.first() == QLatin1String("journal"))
        args.removeFirst();
    if (!args.isEmpty() && (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h"))) {
        out << kUsage;
        out.flush();
        return 0;
    }
    const QString action = args.isEmpty() ? QString() : args.takeFirst();
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        out << kUsage;
        out.flush();
        return 0;
    }
    if (action == QLatin1String("import-archive"))
        return runImportArchive(args, out, err);
    // The paperwork's library writes the tables.
    if (action == QLatin1String("export") || action == QLatin1String("due") || action == QLatin1String("register"))
        return runPaperworkCommand(QStringList{QStringLiteral("journal"), action} + args, out, err);
    if (action == QLatin1String("verify"))
        return runVerify(args, out, err);
    if (!action.isEmpty())
        err << QStringLiteral("Неизвестное действие «journal %1».\n").arg(action);
    printJournalUsage(err);
    return 2;
}

} // namespace zet
