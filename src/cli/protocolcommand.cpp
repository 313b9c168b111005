#include "cli/protocolcommand.h"

#include "app/paperwork.h"
#include "cli/commandoptions.h"
#include "journal/journalreports.h"
#include "journal/protocolcheck.h"

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

// protocol check CODE [--folder DIR]: 0 when the journal still holds the protocol's exams as
// printed, 1 when not (or the journal cannot be read), 2 for a code that is not one.
int runProtocolCheck(QStringList args, QTextStream& out, QTextStream& err) {
    const QString code = !args.isEmpty() && !args.first().startsWith(QLatin1String("--")) ? args.takeFirst()
                                                                                            : QString();
    const std::optional<CommandOptions> options = CommandOptions::parse(args, {QStringLiteral("folder")}, err);
    if (!options) {
        printProtocolUsage(err);
        return 2;
    }
    if (code.isEmpty() || !protocolcode::numberOf(code)) {
        err << (code.isEmpty() ? QStringLiteral("Не указан код проверки протокола.")
                               : QStringLiteral("«%1» — не код проверки протокола: он состоит из номера протокола и "
                                                "двух групп по четыре знака, например 17-7QK2-M9XA.")
                                     .arg(code))
            << "\n";
        printProtocolUsage(err);
        return 2;
    }
    const QString folder = options->folder(err);
    if (folder.isEmpty())
        return 2;
    JournalReader reader(folder);
    const JournalResult opened = reader.open(JournalReader::Source::ServerOnly);
    if (!opened.ok)
        return commandFailed(err, opened.error, 1);
    const ProtocolCheckResult checked = checkProtocolCode(reader.database(), code);
    const QString shown = protocolcode::normalised(code);
    if (!checked.error.isEmpty())
        return commandFailed(err, checked.error, 1);
    if (!checked.known)
        return commandFailed(err, QStringLiteral("Протокола № %1 нет в журнале (%2): код %3 не подтверждён.")
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

void printProtocolUsage(QTextStream& err) {
    err << kUsage;
    err.flush();
}

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
    // The PDF is written by the paperwork's library.
    return runPaperworkCommand(QStringList{QStringLiteral("protocol")} + args, out, err);
}

} // namespace zet
