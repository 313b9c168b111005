#include "cli/commandline.h"

#include "cli/journalcommand.h"
#include "cli/protocolcommand.h"
#include "cli/questionscommand.h"

#include <QDir>
#include <QFileInfo>

namespace zet {

namespace {

bool isHelp(const QString& word) {
    return word == QLatin1String("--help") || word == QLatin1String("-h");
}

} // namespace

QString commandLineHelp() {
    return QStringLiteral(
        "Razividerur — программа для проверки знаний.\n"
        "\n"
        "Запуск окна программы:\n"
        "  razividerur [--folder ПАПКА]\n"
        "      --folder ПАПКА  папка программы: база данных, настройки, архив и журнал\n"
        "                      (по умолчанию папка программы или ~/.local/share/Orvelant/razividerur)\n"
        "\n"
        "Команды без окна:\n"
        "  razividerur journal import-archive [--folder ПАПКА]\n"
        "      переносит все дневные файлы архива в журнал результатов\n"
        "  razividerur journal export --to ФАЙЛ.xlsx|ФАЙЛ.csv [--from ДД.ММ.ГГГГ] [--until ДД.ММ.ГГГГ]\n"
        "                             [--folder ПАПКА]\n"
        "      выгрузка экзаменов журнала за период в таблицу Excel или CSV\n"
        "  razividerur journal due [--within ДНЕЙ] [--to ФАЙЛ.xlsx|ФАЙЛ.csv] [--folder ПАПКА]\n"
        "      кому пора на повторную проверку знаний\n"
        "  razividerur journal verify [--folder ПАПКА]\n"
        "      проверка целостности журнала и файлов дня архива\n"
        "  razividerur protocol --date ДД.ММ.ГГГГ [--protocol-no N] --to ФАЙЛ.pdf [--folder ПАПКА]\n"
        "      протокол проверки знаний за день в формате PDF\n"
        "  razividerur questions import ФАЙЛ... --into БАЗА.zet [--theme N]\n"
        "                     [--format gift|aiken|moodlexml|text] [--encoding utf-8|windows-1251]\n"
        "      импорт вопросов в базу данных\n"
        "  razividerur questions export БАЗА.zet --to ФАЙЛ [--theme N] [--format …]\n"
        "      экспорт вопросов из базы данных\n"
        "  razividerur --help\n"
        "      эта справка\n"
        "\n"
        "Код завершения: 0 — выполнено, 1 — не выполнено, 2 — неверные аргументы.\n");
}

bool isCommand(const QStringList& args) {
    if (args.isEmpty())
        return false;
    const QString& first = args.first();
    return isHelp(first) || first == QLatin1String("journal") || first == QLatin1String("questions")
           || first == QLatin1String("protocol");
}

bool commandNeedsGui(const QStringList& args) {
    return !args.isEmpty() && args.first() == QLatin1String("protocol");
}

int runCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty() || isHelp(args.first())) {
        out << commandLineHelp();
        out.flush();
        return 0;
    }
    if (args.first() == QLatin1String("journal"))
        return runJournalCommand(args, out, err);
    if (args.first() == QLatin1String("questions"))
        return runQuestionsCommand(args, out, err);
    if (args.first() == QLatin1String("protocol"))
        return runProtocolCommand(args, out, err);
    err << QStringLiteral("Неизвестная команда «%1». Справка: razividerur --help\n").arg(args.first());
    err.flush();
    return 2;
}

std::optional<WindowOptions> parseWindowOptions(const QStringList& args, QTextStream& err) {
    WindowOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& word = args.at(i);
        if (word == QLatin1String("--folder") || word.startsWith(QLatin1String("--folder="))) {
            const bool joined = word.contains(QLatin1Char('='));
            if (!joined && i + 1 >= args.size()) {
                err << "После --folder нужна папка.\n";
                err.flush();
                return std::nullopt;
            }
            options.programFolder = joined ? word.mid(word.indexOf(QLatin1Char('=')) + 1) : args.at(++i);
            if (!QFileInfo(options.programFolder).isDir() && !QDir().mkpath(options.programFolder)) {
                err << QStringLiteral("Папку «%1» не удалось создать.\n")
                           .arg(QDir::toNativeSeparators(options.programFolder));
                err.flush();
                return std::nullopt;
            }
        } else if (word == QLatin1String("--quit-after-start")) {
            options.quitAfterStart = true;
        } else {
            err << QStringLiteral("Неизвестный аргумент «%1». Справка: razividerur --help\n").arg(word);
            err.flush();
            return std::nullopt;
        }
    }
    return options;
}

} // namespace zet
