#include "paperwork/paperworkcommands.h"

#include "cli/commandoptions.h"
#include "cli/journalcommand.h"
#include "cli/protocolcommand.h"
#include "documents/journalpaperwork.h"
#include "documents/journaltables.h"
#include "documents/protocoldocument.h"
#include "journal/journalconfig.h"
#include "journal/journalreports.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <memory>

namespace zet {

namespace {

// The program folder of the options once every other option was right; empty after telling
// err what was wrong (the command's exit code is then 2).
QString checkedFolder(const CommandOptions& options, bool ok, QTextStream& err) {
    const QString folder = ok ? options.folder(err) : QString();
    if (folder.isEmpty())
        err.flush();
    return folder;
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

int runExport(const QStringList& args, QTextStream& out, QTextStream& err) {
    const std::optional<CommandOptions> options =
        parseJournalOptions(args, {QStringLiteral("to"), QStringLiteral("from"), QStringLiteral("until"),
                                   QStringLiteral("name"), QStringLiteral("personnel-no"), QStringLiteral("profile"),
                                   QStringLiteral("grade"), QStringLiteral("workstation"), QStringLiteral("folder")},
                            err, {QStringLiteral("local")});
    if (!options)
        return 2;
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
    const QString folder = checkedFolder(*options, ok, err);
    if (folder.isEmpty())
        return 2;
    JournalReader reader(folder);
    if (!openReader(reader, options->has(QStringLiteral("local")), err))
        return 1;
    QList<JournalEntry> exams;
    JournalResult result = JournalReports(reader.database()).exams(filter, exams);
    if (result.ok)
        result = writeTable(examsTable(exams), target);
    if (!result.ok)
        return commandFailed(err, result.error, 1);
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
    const std::optional<CommandOptions> options = parseJournalOptions(
        args, {QStringLiteral("within"), QStringLiteral("department"), QStringLiteral("profile"), QStringLiteral("to"),
               QStringLiteral("folder")},
        err, {QStringLiteral("local")});
    if (!options)
        return 2;
    bool ok = true;
    const int within = options->number(QStringLiteral("within"), 0, -1, err, ok);
    const DueFilter filter{options->value(QStringLiteral("department")),
                           options->number(QStringLiteral("profile"), 1, 0, err, ok)};
    const QString target = options->value(QStringLiteral("to"));
    if (!target.isEmpty() && exportFormatOf(target) == ExportFormat::Unknown) {
        err << QStringLiteral("Файл «%1»: выгрузка возможна только в файлы .xlsx и .csv.\n").arg(target);
        ok = false;
    }
    const QString folder = checkedFolder(*options, ok, err);
    if (folder.isEmpty())
        return 2;
    RecheckPeriods periods;
    if (const JournalResult read = PaperworkSettings(folder).readPeriods(periods); !read.ok)
        return commandFailed(err, read.error, 1);
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
    if (!result.ok)
        return commandFailed(err, result.error, 1);
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
    const std::optional<CommandOptions> options = parseJournalOptions(
        args,
        {QStringLiteral("department"), QStringLiteral("from"), QStringLiteral("until"), QStringLiteral("to"),
         QStringLiteral("folder")},
        err, {QStringLiteral("local")});
    if (!options)
        return 2;
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
    const QString folder = checkedFolder(*options, ok, err);
    if (folder.isEmpty())
        return 2;
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
        return commandFailed(err, result.error, 1);
    out << QStringLiteral("Журнал проверки знаний подразделения «%1» (%2): экзаменов %3, файл %4\n")
               .arg(department, reader.description())
               .arg(exams.size())
               .arg(QDir::toNativeSeparators(target));
    out.flush();
    return 0;
}

// protocol --date DD.MM.YYYY [--protocol-no N] --to FILE.pdf [--folder DIR] [--local]
int runProtocolPdf(const QStringList& args, QTextStream& out, QTextStream& err) {
    const std::optional<CommandOptions> options = CommandOptions::parse(
        args, {QStringLiteral("date"), QStringLiteral("protocol-no"), QStringLiteral("to"), QStringLiteral("folder")},
        err, {QStringLiteral("local")});
    if (!options) {
        printProtocolUsage(err);
        return 2;
    }
    bool ok = true;
    const QDate date = options->date(QStringLiteral("date"), err, ok);
    if (ok && !date.isValid()) {
        err << "Не указана дата: --date ДД.ММ.ГГГГ.\n";
        ok = false;
    }
    const int number = options->number(QStringLiteral("protocol-no"), 1, 0, err, ok);
    const QString target = options->value(QStringLiteral("to"));
    if (target.isEmpty()) {
        err << "Не указан файл протокола: --to ФАЙЛ.pdf.\n";
        ok = false;
    } else if (QFileInfo(target).suffix().toLower() != QLatin1String("pdf")) {
        err << QStringLiteral("Файл «%1»: протокол записывается в файл .pdf.\n").arg(target);
        ok = false;
    }
    const QString folder = ok ? options->folder(err) : QString();
    if (!ok || folder.isEmpty()) {
        printProtocolUsage(err);
        return 2;
    }

    // Fonts and the PDF writer need a GUI application; without a display it is an offscreen one.
    std::unique_ptr<QGuiApplication> ownApplication;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QCoreApplication::instance())
            return commandFailed(err, QStringLiteral("Протокол не может быть создан: программа запущена без графической "
                                            "подсистемы."), 1);
        useOffscreenPlatformUnlessSet();
        static int argc = 1;
        static char name[] = "razividerur";
        static char* argv[] = {name, nullptr};
        ownApplication = std::make_unique<QGuiApplication>(argc, argv);
    }

    ProtocolContent content;
    const JournalResult settingsRead = PaperworkSettings(folder).readProtocol(content.settings);
    if (!settingsRead.ok)
        return commandFailed(err, settingsRead.error, 1);
    if (content.settings.organisation.isEmpty() && content.settings.chair.fullName.isEmpty())
        err << QStringLiteral("Организация и комиссия не заданы (файл %1): в протоколе для них оставлены "
                              "пустые строки.\n")
                   .arg(QDir::toNativeSeparators(PaperworkSettings(folder).path()));

    const bool local = options->has(QStringLiteral("local"));
    JournalReader reader(folder);
    const JournalResult opened =
        reader.open(local ? JournalReader::Source::Local : JournalReader::Source::ServerOnly);
    if (!reader.warning().isEmpty())
        err << reader.warning() << "\n";
    if (!opened.ok)
        return commandFailed(err, opened.error, 1);
    ReportFilter filter;
    filter.from = date;
    filter.until = date;
    const JournalResult read = JournalReports(reader.database()).exams(filter, content.exams);
    if (!read.ok)
        return commandFailed(err, read.error, 1);
    if (content.exams.isEmpty())
        return commandFailed(err, QStringLiteral("За %1 в журнале нет экзаменов (%2); протокол не создан.")
                             .arg(date.toString(QStringLiteral("dd.MM.yyyy")), reader.description()),
                    1);
    if (local && reader.serverConfigured())
        content.sourceNote = localJournalNote(JournalConfig::read(folder).workstation);
    // The same order as the journal window's protocol, whatever order the server's collation gives.
    std::stable_sort(content.exams.begin(), content.exams.end(), protocolOrder);
    QString numberWarning;
    const JournalResult numbered = numberProtocol(reader, number, content, &numberWarning);
    if (!numbered.ok)
        return commandFailed(err, numbered.error, 1);
    if (!numberWarning.isEmpty())
        err << numberWarning << "\n";
    const JournalResult written = writeProtocolPdf(content, target);
    if (!written.ok)
        return commandFailed(err, written.error, 1);
    out << QStringLiteral("Протокол %1за %2 (экзаменов: %3) записан в файл %4\n")
               .arg(content.number.isEmpty() ? QString() : QStringLiteral("№ %1 ").arg(content.number),
                    date.toString(QStringLiteral("dd.MM.yyyy")))
               .arg(content.exams.size())
               .arg(QDir::toNativeSeparators(target));
    out.flush();
    err.flush();
    return 0;
}

} // namespace

int runPaperworkCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QStringList args = arguments;
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    if (command == QLatin1String("protocol"))
        return runProtocolPdf(args, out, err);
    const QString action = args.isEmpty() ? QString() : args.takeFirst();
    if (command == QLatin1String("journal") && action == QLatin1String("export"))
        return runExport(args, out, err);
    if (command == QLatin1String("journal") && action == QLatin1String("due"))
        return runDue(args, out, err);
    if (command == QLatin1String("journal") && action == QLatin1String("register"))
        return runRegister(args, out, err);
    return commandFailed(err, QStringLiteral("Неизвестная команда «%1». Справка: razividerur --help")
                         .arg(arguments.join(QLatin1Char(' '))),
                2);
}

} // namespace zet
