#include "cli/staffcommand.h"

#include "app/stafflist.h"
#include "cli/commandoptions.h"
#include "cli/examinercommand.h"

#include <QDir>

namespace zet {

namespace {

const char* const kUsage =
    "Использование:\n"
    "  razividerur staff import ФАЙЛ.csv|ФАЙЛ.xlsx [--folder ПАПКА] [--password-stdin]\n"
    "      загружает список персонала, выгруженный из кадровой системы: столбцы «Табельный номер»,\n"
    "      «ФИО» (или «Фамилия», «Имя», «Отчество»), «Должность», «Подразделение», «Дата рождения»,\n"
    "      «Дата приёма». Люди сопоставляются по табельному номеру; тех, кого в списке больше нет,\n"
    "      программа отмечает «уволен», их экзамены остаются в журнале\n"
    "  razividerur staff assign --job ДОЛЖНОСТЬ|--department ПОДРАЗДЕЛЕНИЕ --profile N\n"
    "                           --every МЕСЯЦЕВ|--remove [--folder ПАПКА] [--password-stdin]\n"
    "      назначает профиль экзамена должности или подразделению с периодичностью проверки\n"
    "      в месяцах; --remove снимает назначение\n"
    "  Если в journal.ini указан сервер журнала, список хранится на сервере, общий для всех рабочих\n"
    "  мест; без связи с сервером список не изменяется.\n";

int usageError(QTextStream& err) {
    err << kUsage;
    err.flush();
    return 2;
}

int failed(const JournalResult& result, QTextStream& err) {
    err << result.error << "\n";
    err.flush();
    return 1;
}

// The program folder of the options, once the examiner's password (when one is set) is given;
// 0, or the exit status of the refusal.
int permittedFolder(const CommandOptions& options, bool passwordStdin, QTextStream& err, QString& folder) {
    folder = options.folder(err);
    err.flush();
    if (folder.isEmpty())
        return 2;
    return examinerConfirmed(folder, passwordStdin, err) ? 0 : 1;
}

int runImport(QStringList args, QTextStream& out, QTextStream& err) {
    const bool passwordStdin = takePasswordStdinFlag(args);
    const QString file = args.isEmpty() || args.first().startsWith(QLatin1String("--")) ? QString() : args.takeFirst();
    const std::optional<CommandOptions> options = CommandOptions::parse(args, {QStringLiteral("folder")}, err);
    if (!options)
        return usageError(err);
    if (file.isEmpty()) {
        err << "Не указан файл списка персонала (.csv или .xlsx).\n";
        return usageError(err);
    }
    QString folder;
    if (const int refused = permittedFolder(*options, passwordStdin, err, folder))
        return refused;
    StaffList list([folder] { return folder; }, [] { return QDate::currentDate(); });
    StaffImportReport report;
    const JournalResult imported = list.importFile(file, report);
    if (!imported.ok) {
        for (const StaffSkip& skip : std::as_const(report.skipped))
            err << QStringLiteral("строка %1: %2\n").arg(skip.line).arg(skip.reason);
        return failed(imported, err);
    }
    out << QStringLiteral("Список персонала из файла %1 загружен (%2).\n")
               .arg(QDir::toNativeSeparators(file), list.whereText());
    for (const QString& line : report.lines())
        out << line << "\n";
    out.flush();
    return 0;
}

int runAssign(QStringList args, QTextStream& out, QTextStream& err) {
    const bool passwordStdin = takePasswordStdinFlag(args);
    const std::optional<CommandOptions> options = CommandOptions::parse(
        args, {QStringLiteral("job"), QStringLiteral("department"), QStringLiteral("profile"), QStringLiteral("every"),
               QStringLiteral("folder")},
        err, {QStringLiteral("remove")});
    if (!options)
        return usageError(err);
    const bool job = options->has(QStringLiteral("job"));
    const bool remove = options->has(QStringLiteral("remove"));
    if (job == options->has(QStringLiteral("department"))) {
        err << "Укажите одно из двух: --job ДОЛЖНОСТЬ или --department ПОДРАЗДЕЛЕНИЕ.\n";
        return usageError(err);
    }
    if (remove == options->has(QStringLiteral("every"))) {
        err << "Укажите периодичность --every МЕСЯЦЕВ или --remove, чтобы снять назначение.\n";
        return usageError(err);
    }
    if (!options->has(QStringLiteral("profile"))) {
        err << "Не указан профиль: --profile N.\n";
        return usageError(err);
    }
    bool ok = true;
    StaffAssignment assignment;
    assignment.kind = job ? StaffAssignment::Kind::JobTitle : StaffAssignment::Kind::Department;
    assignment.name = options->value(job ? QStringLiteral("job") : QStringLiteral("department"));
    assignment.profileNo = options->number(QStringLiteral("profile"), 1, 0, err, ok);
    assignment.periodMonths = options->number(QStringLiteral("every"), 1, 12, err, ok);
    if (!ok)
        return usageError(err);
    QString folder;
    if (const int refused = permittedFolder(*options, passwordStdin, err, folder))
        return refused;
    StaffList list([folder] { return folder; }, [] { return QDate::currentDate(); });
    const JournalResult changed = remove ? list.removeAssignment(assignment) : list.setAssignment(assignment);
    if (!changed.ok)
        return failed(changed, err);
    const QString who = job ? QStringLiteral("должности «%1»").arg(assignment.name.simplified())
                            : QStringLiteral("подразделения «%1»").arg(assignment.name.simplified());
    if (remove)
        out << QStringLiteral("Профиль %1 для %2 больше не назначен.\n").arg(assignment.profileNo).arg(who);
    else
        out << QStringLiteral("Профиль %1 назначен для %2: проверка раз в %3 мес.\n")
                   .arg(assignment.profileNo)
                   .arg(who)
                   .arg(assignment.periodMonths);
    out.flush();
    return 0;
}

} // namespace

int runStaffCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QStringList args = arguments;
    if (!args.isEmpty() && args.first() == QLatin1String("staff"))
        args.removeFirst();
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        out << kUsage;
        out.flush();
        return 0;
    }
    const QString action = args.isEmpty() ? QString() : args.takeFirst();
    if (action == QLatin1String("import"))
        return runImport(args, out, err);
    if (action == QLatin1String("assign"))
        return runAssign(args, out, err);
    if (!action.isEmpty())
        err << QStringLiteral("Неизвестное действие «staff %1».\n").arg(action);
    return usageError(err);
}

} // namespace zet
