#include "cli/journalcommand.h"

#include "app/startup.h"
#include "cli/examinercommand.h"
#include "cli/commandoptions.h"
#include "documents/journaltables.h"
#include "journal/archiveimport.h"
#include "journal/journal.h"
#include "journal/journalreports.h"
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

void printUsage(QTextStream& err) {
    err << kUsage;
    err.flush();
}

// Opens the journal of the folder; tells err why not. A server named in journal.ini that does
// not answer is a failure, unless local asks for this workstation's journal.
bool openReader(JournalReader& reader, bool local, QTextStream& err) {
    const JournalResult opened =
        reader.open(local ? JournalReader::Source::Local : JournalReader::Source::ServerOnly);
    if (!reader.warning().isEmpty())
        err << reader.warning() << "\n";
    if (!opened.ok)
        err << opened.error << "\n";
    err.flush();
    return opened.ok;
}

// Tells err why the work failed; the exit status of that.
int failedWith(const JournalResult& result, QTextStream& err) {
    err << result.error << "\n";
    err.flush();
    return 1;
}

int runExport(const QStringList& args, QTextStream& out, QTextStream& err) {
    const std::optional<CommandOptions> options =
        CommandOptions::parse(args, {QStringLiteral("to"), QStringLiteral("from"), QStringLiteral("until"),
                                     QStringLiteral("name"), QStringLiteral("personnel-no"), QStringLiteral("profile"),
                                     QStringLiteral("grade"), QStringLiteral("workstation"), QStringLiteral("folder")},
                              err, {QStringLiteral("local")});
    if (!options) {
        printUsage(err);
        return 2;
    }
    bool ok = true;
    JournalFilter filter;
    filter.from = options->date(QStringLiteral("from"), err, ok);
    filter.until = options->date(QStringLiteral("until"), err, ok);
    filter.fullName = options->value(QStringLiteral("name"));
    filter.personnelNo = options->value(QStringLiteral("personnel-no"));
    filter.workstation = options->value(QStringLiteral("workstation")).trimmed();
    // A profile by its number, or by its name as the journal window lists it.
    const QString profile = options->value(QStringLiteral("profile")).trimmed();
    bool isNumber = false;
    filter.profileNo = profile.toInt(&isNumber);
    if (!isNumber)
        filter.profileName = profile;
    else if (filter.profileNo < 1) {
        err << QStringLiteral("Номер профиля после --profile должен быть не меньше 1, а не «%1».\n").arg(profile);
        ok = false;
    }
    if (options->has(QStringLiteral("grade"))) {
        const QString grade = options->value(QStringLiteral("grade")).trimmed();
        filter.grade = grade.toInt(&isNumber);
        if (!isNumber || filter.grade < 2 || filter.grade > 5) {
            err << QStringLiteral("После --grade нужна оценка от 2 до 5, а не «%1».\n").arg(grade);
            ok = false;
        }
    }
    for (const char* name : {"profile", "workstation"}) {
        if (options->has(QLatin1String(name)) && options->value(QLatin1String(name)).trimmed().isEmpty()) {
            err << QStringLiteral("После --%1 нужно значение.\n").arg(QLatin1String(name));
            ok = false;
        }
    }
    const QString target = options->value(QStringLiteral("to"));
    if (target.isEmpty()) {
        err << "Не указан файл выгрузки: --to ФАЙЛ.xlsx или --to ФАЙЛ.csv.\n";
        ok = false;
    } else if (exportFormatOf(target) == ExportFormat::Unknown) {
        err << QStringLiteral("Файл «%1»: выгрузка возможна только в файлы .xlsx и .csv.\n").arg(target);
        ok = false;
    }
    if (ok && filter.from.isValid() && filter.until.isValid() && filter.from > filter.until) {
        err << "Дата --from позже даты --until.\n";
        ok = false;
    }
    const QString folder = ok ? options->folder(err) : QString();
    if (!ok || folder.isEmpty()) {
        err.flush();
        return 2;
    }
    JournalReader reader(folder);
    if (!openReader(reader, options->has(QStringLiteral("local")), err))
        return 1;
    QList<JournalEntry> exams;
    JournalResult result = JournalReports(reader.database()).exams(filter, exams);
    if (result.ok)
        result = writeTable(examsTable(exams), target);
    if (!result.ok) {
        err << result.error << "\n";
        err.flush();
        return 1;
    }
    out << QStringLiteral("Экзаменов выгружено: %1 (%2) в файл %3\n")
               .arg(exams.size())
               .arg(reader.description(), QDir::toNativeSeparators(target));
    out.flush();
    return 0;
}

QString dueLine(const DueEntry& d) {
    const QString who = d.department.isEmpty() ? d.fullName : QStringLiteral("%1 (%2)").arg(d.fullName, d.department);
    const QString profile = d.profileName.isEmpty() ? QStringLiteral("профиль %1").arg(d.profileNo)
                                                    : QStringLiteral("профиль %1 «%2»").arg(d.profileNo).arg(d.profileName);
    if (d.neverChecked()) {
        return QStringLiteral("%1  %2  %3  %4; %5; не проверялся\n")
            .arg(d.due.toString(QStringLiteral("dd.MM.yyyy")), QStringLiteral("сегодня").leftJustified(22),
                 (d.personnelNo.isEmpty() ? QStringLiteral("—") : d.personnelNo).leftJustified(10), who, profile);
    }
    QString when;
    if (d.daysLeft < 0)
        when = QStringLiteral("просрочено на %1 дн.").arg(-d.daysLeft);
    else if (d.daysLeft == 0)
        when = QStringLiteral("сегодня");
    else
        when = QStringLiteral("через %1 дн.").arg(d.daysLeft);
    return QStringLiteral("%1  %2  %3  %4; %5; %6 %7 на %8\n")
        .arg(d.due.toString(QStringLiteral("dd.MM.yyyy")), when.leftJustified(22),
             (d.personnelNo.isEmpty() ? QStringLiteral("—") : d.personnelNo).leftJustified(10), who, profile,
             d.failed() ? QStringLiteral("не сдал") : QStringLiteral("сдан"),
             d.lastExam.toString(QStringLiteral("dd.MM.yyyy")))
        .arg(d.lastGrade);
}

int runDue(const QStringList& args, QTextStream& out, QTextStream& err) {
    const std::optional<CommandOptions> options = CommandOptions::parse(
        args, {QStringLiteral("within"), QStringLiteral("department"), QStringLiteral("profile"), QStringLiteral("to"),
               QStringLiteral("folder")},
        err, {QStringLiteral("local")});
    if (!options) {
        printUsage(err);
        return 2;
    }
    bool ok = true;
    const int within = options->number(QStringLiteral("within"), 0, -1, err, ok);
    const DueFilter filter{options->value(QStringLiteral("department")),
                           options->number(QStringLiteral("profile"), 1, 0, err, ok)};
    const QString target = options->value(QStringLiteral("to"));
    if (!target.isEmpty() && exportFormatOf(target) == ExportFormat::Unknown) {
        err << QStringLiteral("Файл «%1»: выгрузка возможна только в файлы .xlsx и .csv.\n").arg(target);
        ok = false;
    }
    const QString folder = ok ? options->folder(err) : QString();
    if (!ok || folder.isEmpty()) {
        err.flush();
        return 2;
    }
    RecheckPeriods periods;
    if (const JournalResult read = PaperworkSettings(folder).readPeriods(periods); !read.ok)
        return failedWith(read, err);
    JournalReader reader(folder);
    if (!openReader(reader, options->has(QStringLiteral("local")), err))
        return 1;
    QList<DueEntry> due;
    const QDate today = QDate::currentDate();
    JournalResult result = JournalReports(reader.database()).dueList(periods, today, due, filter);
    if (result.ok && within >= 0)
        due = dueWithin(due, within);
    if (result.ok && !target.isEmpty())
        result = writeTable(dueTable(due), target);
    if (!result.ok) {
        err << result.error << "\n";
        err.flush();
        return 1;
    }
    out << QStringLiteral("Повторная проверка на %1 (%2)%3: %4\n")
               .arg(today.toString(QStringLiteral("dd.MM.yyyy")), reader.description(),
                    within >= 0 ? QStringLiteral(", срок в ближайшие %1 дн. и просроченные").arg(within) : QString())
               .arg(due.size());
    for (const DueEntry& d : due)
        out << dueLine(d);
    if (!target.isEmpty())
        out << QStringLiteral("Список записан в файл %1\n").arg(QDir::toNativeSeparators(target));
    out.flush();
    return 0;
}

int runRegister(const QStringList& args, QTextStream& out, QTextStream& err) {
    const std::optional<CommandOptions> options = CommandOptions::parse(
        args,
        {QStringLiteral("department"), QStringLiteral("from"), QStringLiteral("until"), QStringLiteral("to"),
         QStringLiteral("folder")},
        err, {QStringLiteral("local")});
    if (!options) {
        printUsage(err);
        return 2;
    }
    bool ok = true;
    const QString department = options->value(QStringLiteral("department")).simplified();
    const QDate from = options->date(QStringLiteral("from"), err, ok);
    const QDate until = options->date(QStringLiteral("until"), err, ok);
    const QString target = options->value(QStringLiteral("to"));
    if (department.isEmpty()) {
        err << "Не указано подразделение: --department ПОДРАЗДЕЛЕНИЕ.\n";
        ok = false;
    }
    if (exportFormatOf(target) != ExportFormat::Xlsx) {
        err << "Журнал проверки знаний записывается в таблицу Excel: --to ФАЙЛ.xlsx.\n";
        ok = false;
    }
    if (ok && from.isValid() && until.isValid() && from > until) {
        err << "Дата --from позже даты --until.\n";
        ok = false;
    }
    const QString folder = ok ? options->folder(err) : QString();
    if (!ok || folder.isEmpty()) {
        err.flush();
        return 2;
    }
    ProtocolSettings settings;
    JournalResult result = PaperworkSettings(folder).readProtocol(settings);
    JournalReader reader(folder);
    if (result.ok && !openReader(reader, options->has(QStringLiteral("local")), err))
        return 1;
    QList<JournalEntry> exams;
    if (result.ok)
        result = JournalReports(reader.database()).departmentRegister(department, from, until, exams);
    if (result.ok)
        result = writeXlsx(registerTable(exams, department, from, until, settings), target);
    if (!result.ok)
        return failedWith(result, err);
    out << QStringLiteral("Журнал проверки знаний подразделения «%1» (%2): экзаменов %3, файл %4\n")
               .arg(department, reader.description())
               .arg(exams.size())
               .arg(QDir::toNativeSeparators(target));
    out.flush();
    return 0;
}

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
    const std::optional<CommandOptions> options = CommandOptions::parse(args, {QStringLiteral("folder")}, err);
    if (!options) {
        printUsage(err);
        return 2;
    }
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
    if (action == QLatin1String("export"))
        return runExport(args, out, err);
    if (action == QLatin1String("due"))
        return runDue(args, out, err);
    if (action == QLatin1String("register"))
        return runRegister(args, out, err);
    if (action == QLatin1String("verify"))
        return runVerify(args, out, err);
    if (!action.isEmpty())
        err << QStringLiteral("Неизвестное действие «journal %1».\n").arg(action);
    printUsage(err);
    return 2;
}

} // namespace zet
