#include "cli/commandline.h"

#include "cli/examinercommand.h"
#include "cli/journalcommand.h"
#include "cli/protocolcommand.h"
#include "cli/questionscommand.h"
#include "cli/staffcommand.h"

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
        "  razividerur journal import-archive [--folder ПАПКА] [--password-stdin]\n"
        "      переносит все дневные файлы архива в журнал результатов\n"
        "  razividerur journal export --to ФАЙЛ.xlsx|ФАЙЛ.csv [--from ДД.ММ.ГГГГ] [--until ДД.ММ.ГГГГ]\n"
        "                             [--name ФИО] [--personnel-no НОМЕР] [--profile ПРОФИЛЬ]\n"
        "                             [--grade ОЦЕНКА] [--workstation МЕСТО] [--folder ПАПКА] [--local]\n"
        "      выгрузка экзаменов журнала в таблицу Excel или CSV с отбором как в окне журнала\n"
        "  razividerur journal due [--within ДНЕЙ] [--department ПОДРАЗДЕЛЕНИЕ] [--profile N]\n"
        "                          [--to ФАЙЛ.xlsx|ФАЙЛ.csv] [--folder ПАПКА] [--local]\n"
        "      кому пора на повторную проверку знаний, с теми, кто ещё не проверялся\n"
        "  razividerur journal register --department ПОДРАЗДЕЛЕНИЕ [--from ДД.ММ.ГГГГ] [--until ДД.ММ.ГГГГ]\n"
        "                               --to ФАЙЛ.xlsx [--folder ПАПКА] [--local]\n"
        "      журнал проверки знаний подразделения за период\n"
        "  razividerur journal verify [--folder ПАПКА]\n"
        "      проверка целостности журнала и файлов дня архива\n"
        "  razividerur protocol --date ДД.ММ.ГГГГ [--protocol-no N] --to ФАЙЛ.pdf [--folder ПАПКА] [--local]\n"
        "      протокол проверки знаний за день в формате PDF\n"
        "  razividerur protocol check КОД [--folder ПАПКА]\n"
        "      сверка протокола с журналом по коду проверки из его последней строки\n"
        "  razividerur questions import ФАЙЛ... --into БАЗА.zet [--theme N]\n"
        "                     [--format gift|aiken|moodlexml|text] [--encoding utf-8|windows-1251]\n"
        "                     [--groups 0,1,…|нет] [--strict] [--keep-media-text]\n"
        "                     [--folder ПАПКА] [--password-stdin]\n"
        "      импорт вопросов в базу данных (подробно: razividerur questions --help)\n"
        "  razividerur questions export БАЗА.zet --to ФАЙЛ [--theme N] [--format …]\n"
        "      экспорт вопросов из базы данных\n"
        "  razividerur staff import ФАЙЛ.csv|ФАЙЛ.xlsx [--folder ПАПКА] [--password-stdin]\n"
        "      загружает список персонала из кадровой системы (подробно: razividerur staff --help)\n"
        "  razividerur staff assign --job ДОЛЖНОСТЬ|--department ПОДРАЗДЕЛЕНИЕ --profile N\n"
        "                           --every МЕСЯЦЕВ|--remove [--folder ПАПКА] [--password-stdin]\n"
        "      назначает профиль должности или подразделению и периодичность проверки\n"
        "  razividerur examiner password [--folder ПАПКА]\n"
        "      задаёт, меняет или снимает пароль экзаменатора (дважды с терминала или построчно\n"
        "      со стандартного ввода)\n"
        "\n"
        "Если в папке программы задан пароль экзаменатора, команды, меняющие данные, спрашивают\n"
        "его в терминале; с ключом --password-stdin он читается одной строкой со стандартного ввода.\n"
        "\n"
        "  razividerur --help\n"
        "      эта справка\n"
        "\n"
        "  --local  только журнал этого рабочего места, без сервера журнала (без него команды\n"
        "           не выполняются, когда сервер, указанный в journal.ini, недоступен)\n"
        "\n"
        "Код завершения: 0 — выполнено, 1 — не выполнено, 2 — неверные аргументы.\n");
}

bool isCommand(const QStringList& args) {
    if (args.isEmpty())
        return false;
    const QString& first = args.first();
    return isHelp(first) || first == QLatin1String("journal") || first == QLatin1String("questions")
           || first == QLatin1String("protocol") || first == QLatin1String("examiner")
           || first == QLatin1String("staff");
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
    if (args.first() == QLatin1String("examiner"))
        return runExaminerCommand(args, out, err);
    if (args.first() == QLatin1String("staff"))
        return runStaffCommand(args, out, err);
    err << QStringLiteral("Неизвестная команда «%1». Справка: razividerur --help\n").arg(args.first());
    err.flush();
    return 2;
}

QStringList withoutQtOptions(const QStringList& args) {
    static const QStringList withValue = {
        QStringLiteral("platform"), QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
        QStringLiteral("plugin"),   QStringLiteral("qmljsdebugger"),      QStringLiteral("qwindowgeometry"),
        QStringLiteral("qwindowicon"), QStringLiteral("qwindowtitle"),    QStringLiteral("session"),
        QStringLiteral("display"),  QStringLiteral("geometry"),           QStringLiteral("name"),
        QStringLiteral("title"),    QStringLiteral("visual"),             QStringLiteral("style"),
        QStringLiteral("stylesheet"), QStringLiteral("dialogs"),          QStringLiteral("fontengine")};
    static const QStringList alone = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                      QStringLiteral("nograb"), QStringLiteral("dograb"), QStringLiteral("sync"),
                                      QStringLiteral("testability")};
    QStringList own;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& word = args.at(i);
        // Qt reads "-name" and "--name", and "-name=value" for some.
        QString name = word;
        if (name.startsWith(QLatin1String("--")))
            name.remove(0, 2);
        else if (name.startsWith(QLatin1Char('-')))
            name.remove(0, 1);
        else {
            own << word;
            continue;
        }
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        if (withValue.contains(equals < 0 ? name : name.left(equals))) {
            if (equals < 0)
                ++i; // the value
            continue;
        }
        if (!alone.contains(name))
            own << word;
    }
    return own;
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
