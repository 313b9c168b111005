#include "cli/protocolcommand.h"

#include "cli/commandoptions.h"
#include "documents/journalpaperwork.h"
#include "documents/protocoldocument.h"
#include "journal/journalconfig.h"
#include "journal/journalreports.h"
#include "journal/protocolcheck.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>

#include <memory>

namespace zet {

namespace {

const char* const kUsage =
    "Использование:\n"
    "  razividerur protocol --date ДД.ММ.ГГГГ [--protocol-no N] --to ФАЙЛ.pdf [--folder ПАПКА] [--local]\n"
    "      протокол проверки знаний по всем экзаменам этого дня в формате PDF;\n"
    "      организация и комиссия берутся из файла protocol.ini в папке программы\n"
    "  N — номер протокола, вписанный вручную; если он не указан, протокол получает следующий\n"
    "      номер журнала (на сервере журнала — общий для всех компьютеров центра), а тот же\n"
    "      протокол, составленный снова, — тот же номер\n"
    "  ПАПКА — папка программы с журналом (по умолчанию папка программы). Если в journal.ini\n"
    "  указан сервер журнала, а он недоступен, протокол не составляется; --local составляет его\n"
    "  по журналу этого рабочего места (это указывается в протоколе под заголовком)\n"
    "  razividerur protocol check КОД [--folder ПАПКА]\n"
    "      сверяет протокол с журналом по коду проверки из его последней строки (например\n"
    "      17-7QK2-M9XA): все ли его экзамены хранятся в журнале без изменений, а если нет — какие.\n"
    "      Сверяется сервер журнала, если он указан в journal.ini, иначе журнал этого рабочего места\n";

void printUsage(QTextStream& err) {
    err << kUsage;
    err.flush();
}

int fail(QTextStream& err, const QString& message, int code) {
    err << message << "\n";
    err.flush();
    return code;
}

// protocol check CODE [--folder DIR]: 0 when the journal still holds the protocol's exams as
// printed, 1 when not (or the journal cannot be read), 2 for a code that is not one.
int runProtocolCheck(QStringList args, QTextStream& out, QTextStream& err) {
    const QString code = !args.isEmpty() && !args.first().startsWith(QLatin1String("--")) ? args.takeFirst()
                                                                                            : QString();
    const std::optional<CommandOptions> options = CommandOptions::parse(args, {QStringLiteral("folder")}, err);
    if (!options) {
        printUsage(err);
        return 2;
    }
    if (code.isEmpty() || !protocolcode::numberOf(code)) {
        err << (code.isEmpty() ? QStringLiteral("Не указан код проверки протокола.")
                               : QStringLiteral("«%1» — не код проверки протокола: он состоит из номера протокола и "
                                                "двух групп по четыре знака, например 17-7QK2-M9XA.")
                                     .arg(code))
            << "\n";
        printUsage(err);
        return 2;
    }
    const QString folder = options->folder(err);
    if (folder.isEmpty())
        return 2;
    JournalReader reader(folder);
    const JournalResult opened = reader.open(JournalReader::Source::ServerOnly);
    if (!opened.ok)
        return fail(err, opened.error, 1);
    const ProtocolCheckResult checked = checkProtocolCode(reader.database(), code);
    const QString shown = protocolcode::normalised(code);
    if (!checked.error.isEmpty())
        return fail(err, checked.error, 1);
    if (!checked.known)
        return fail(err, QStringLiteral("Протокола № %1 нет в журнале (%2): код %3 не подтверждён.")
                             .arg(*protocolcode::numberOf(code))
                             .arg(reader.description(), shown),
                    1);
    if (checked.intact()) {
        out << QStringLiteral("Протокол с кодом %1: все его экзамены хранятся в журнале без изменений (%2).\n")
                   .arg(shown, reader.description());
        out.flush();
        return 0;
    }
    out << QStringLiteral("Протокол с кодом %1 не совпадает с журналом (%2).\n").arg(shown, reader.description());
    for (const QString& line : checked.problems)
        out << line << "\n";
    if (checked.problems.isEmpty())
        out << QStringLiteral("Состав экзаменов протокола в журнале изменён: экзамен удалён из протокола "
                              "или его запись заменена.\n");
    out.flush();
    return 1;
}

} // namespace

void useOffscreenPlatformUnlessSet() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

int runProtocolCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QStringList args = arguments;
    if (!args.isEmpty() && args.first() == QLatin1String("protocol"))
        args.removeFirst();
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        out << kUsage;
        out.flush();
        return 0;
    }
    if (!args.isEmpty() && args.first() == QLatin1String("check"))
        return runProtocolCheck(args.mid(1), out, err);
    const std::optional<CommandOptions> options = CommandOptions::parse(
        args, {QStringLiteral("date"), QStringLiteral("protocol-no"), QStringLiteral("to"), QStringLiteral("folder")},
        err, {QStringLiteral("local")});
    if (!options) {
        printUsage(err);
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
        printUsage(err);
        return 2;
    }

    // Fonts and the PDF writer need a GUI application; without a display it is an offscreen one.
    std::unique_ptr<QGuiApplication> ownApplication;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QCoreApplication::instance())
            return fail(err, QStringLiteral("Протокол не может быть создан: программа запущена без графической "
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
        return fail(err, settingsRead.error, 1);
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
        return fail(err, opened.error, 1);
    ReportFilter filter;
    filter.from = date;
    filter.until = date;
    const JournalResult read = JournalReports(reader.database()).exams(filter, content.exams);
    if (!read.ok)
        return fail(err, read.error, 1);
    if (content.exams.isEmpty())
        return fail(err, QStringLiteral("За %1 в журнале нет экзаменов (%2); протокол не создан.")
                             .arg(date.toString(QStringLiteral("dd.MM.yyyy")), reader.description()),
                    1);
    if (local && reader.serverConfigured())
        content.sourceNote = localJournalNote(JournalConfig::read(folder).workstation);
    // The same order as the journal window's protocol, whatever order the server's collation gives.
    std::stable_sort(content.exams.begin(), content.exams.end(), protocolOrder);
    QString numberWarning;
    const JournalResult numbered = numberProtocol(reader, number, content, &numberWarning);
    if (!numbered.ok)
        return fail(err, numbered.error, 1);
    if (!numberWarning.isEmpty())
        err << numberWarning << "\n";
    const JournalResult written = writeProtocolPdf(content, target);
    if (!written.ok)
        return fail(err, written.error, 1);
    out << QStringLiteral("Протокол %1за %2 (экзаменов: %3) записан в файл %4\n")
               .arg(content.number.isEmpty() ? QString() : QStringLiteral("№ %1 ").arg(content.number),
                    date.toString(QStringLiteral("dd.MM.yyyy")))
               .arg(content.exams.size())
               .arg(QDir::toNativeSeparators(target));
    out.flush();
    err.flush();
    return 0;
}

} // namespace zet
