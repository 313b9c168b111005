#include "cli/questionscommand.h"

#include "app/startup.h"
#include "cli/commandoptions.h"
#include "cli/examinercommand.h"
#include "questionbank/questionexport.h"
#include "questionbank/questionimport.h"

#include <QDate>
#include <QFileInfo>
#include <QRegularExpression>

namespace zet {

namespace {

const QString kUsage = QStringLiteral(
    "Использование:\n"
    "  questions import ФАЙЛ... --into БАЗА.zet [--theme N] [--format gift|aiken|moodlexml|text]\n"
    "                   [--encoding utf-8|windows-1251] [--groups 0,1,…|нет] [--strict]\n"
    "                   [--keep-media-text] [--folder ПАПКА] [--password-stdin]\n"
    "  questions export БАЗА.zet --to ФАЙЛ [--theme N] [--format gift|aiken|moodlexml|text]\n"
    "\n"
    "  --theme N          все вопросы — в тему N (без него каждая категория — в свою тему)\n"
    "  --groups 0,1,…|нет группы, в которые входят импортированные вопросы (по умолчанию все)\n"
    "  --strict           любой пропущенный вопрос или предупреждение — ошибка: база не\n"
    "                     записывается, код завершения 1\n"
    "  --keep-media-text  вопросы с рисунком или звуком импортировать без них, только текст\n"
    "                     (без ключа такие вопросы пропускаются)\n"
    "  --folder ПАПКА     папка программы, чей пароль экзаменатора действует\n"
    "  --password-stdin   пароль экзаменатора одной строкой со стандартного ввода\n"
    "  Файлы с вопросами больше 64 МБ не читаются.");

struct Arguments {
    QStringList files;
    QString database;
    QString target;
    QString folder; // the program folder whose examiner's password an import asks for
    int theme = 0;
    std::optional<BankFormat> format;
    TextEncoding encoding = TextEncoding::Detect;
    std::optional<std::array<bool, kGroupCount>> groups;
    // Every skipped question and every warning counts as a mistake, and nothing is written.
    bool strict = false;
    bool keepMediaText = false;
};

// Reads the options after the command word; returns an error text, empty when all is well.
QString parseOptions(const QStringList& words, bool exporting, Arguments* a) {
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& w = words.at(i);
        const auto value = [&](QString* v) {
            if (i + 1 >= words.size())
                return false;
            *v = words.at(++i);
            return true;
        };
        QString v;
        if (w == QLatin1String("--into") || w == QLatin1String("--to")) {
            if ((w == QLatin1String("--into")) == exporting)
                return QStringLiteral("Ключ %1 здесь не подходит.").arg(w);
            if (!value(exporting ? &a->target : &a->database))
                return QStringLiteral("После %1 нужно имя файла.").arg(w);
        } else if (w == QLatin1String("--theme")) {
            bool ok = false;
            a->theme = value(&v) ? v.toInt(&ok) : 0;
            if (!ok || a->theme < 1 || a->theme > kThemeCount)
                return QStringLiteral("После --theme нужен номер темы от 1 до %1.").arg(kThemeCount);
        } else if (w == QLatin1String("--format")) {
            a->format = value(&v) ? formatFromName(v) : std::nullopt;
            if (!a->format)
                return QStringLiteral("Формат бывает gift, aiken, moodlexml или text.");
        } else if (w == QLatin1String("--encoding") && !exporting) {
            const auto e = value(&v) ? encodingFromName(v) : std::nullopt;
            if (!e)
                return QStringLiteral("Кодировка бывает utf-8 или windows-1251.");
            a->encoding = *e;
        } else if (w == QLatin1String("--folder") && !exporting) {
            if (!value(&a->folder))
                return QStringLiteral("После --folder нужна папка программы.");
        } else if (w == QLatin1String("--strict") && !exporting) {
            a->strict = true;
        } else if (w == QLatin1String("--keep-media-text") && !exporting) {
            a->keepMediaText = true;
        } else if (w == QLatin1String("--groups") && !exporting) {
            if (!value(&v))
                return QStringLiteral("После --groups нужны номера групп от 0 до 9 через запятую или «нет».");
            std::array<bool, kGroupCount> flags{};
            if (v.trimmed().compare(QStringLiteral("нет"), Qt::CaseInsensitive) != 0) {
                for (const QString& part :
                     v.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts)) {
                    bool ok = false;
                    const int k = part.toInt(&ok);
                    if (!ok || k < 0 || k >= kGroupCount)
                        return QStringLiteral("Номер группы «%1» не от 0 до 9.").arg(part);
                    flags[static_cast<std::size_t>(k)] = true;
                }
            }
            a->groups = flags;
        } else if (w.startsWith(QLatin1String("--"))) {
            return QStringLiteral("Неизвестный ключ %1.").arg(w);
        } else {
            a->files << w;
        }
    }
    return {};
}

// "<path>:<line>: <question>: <what>" for a mistake of a strict import.
QString mistakeLine(const std::vector<QuestionFile>& files, const ImportEntry& entry) {
    // A remark on the whole import is given with the first file.
    QString path = entry.file.isEmpty() ? files.front().path : entry.file;
    for (const QuestionFile& file : files) {
        if (file.name() == entry.file)
            path = file.path;
    }
    const QString where = entry.line > 0 ? QStringLiteral("%1:%2").arg(path).arg(entry.line) : path;
    const QString what =
        entry.question.isEmpty() ? entry.text : entry.question + QStringLiteral(": ") + entry.text;
    return QStringLiteral("%1: %2").arg(where, what);
}

int importCommand(QStringList words, QTextStream& out, QTextStream& err) {
    const bool passwordStdin = takePasswordStdinFlag(words);
    Arguments a;
    const QString wrong = parseOptions(words, false, &a);
    if (!wrong.isEmpty())
        return commandFailed(err, wrong + u'\n' + kUsage, 2);
    if (a.files.isEmpty())
        return commandFailed(err, QStringLiteral("Не указан ни один файл с вопросами.\n") + kUsage, 2);
    if (a.database.isEmpty())
        return commandFailed(err, QStringLiteral("Не указана база: --into БАЗА.zet\n") + kUsage, 2);
    if (!examinerConfirmed(a.folder.isEmpty() ? defaultProgramFolder() : a.folder, passwordStdin, err))
        return 1;

    Database db;
    db.newDatabase();
    db.databasePath = a.database;
    const bool exists = QFileInfo::exists(a.database);
    if (exists) {
        const LoadResult loaded = db.loadDatabase();
        if (!loaded.ok())
            return commandFailed(err, loaded.error, 1);
    }

    std::vector<QuestionFile> files;
    for (const QString& path : std::as_const(a.files)) {
        QuestionFile f = readQuestionFile(path, a.format, a.encoding);
        if (!f.ok())
            return commandFailed(err, f.error, 1);
        files.push_back(std::move(f));
    }
    ImportOptions options;
    options.targetTheme = a.theme;
    options.keepMediaText = a.keepMediaText;
    if (a.groups)
        options.groups = *a.groups;
    const ImportReport report = importQuestions(db, files, options);
    out << report.toText() << '\n';
    out.flush();
    if (a.strict) {
        std::vector<ImportEntry> mistakes = report.skipped;
        mistakes.insert(mistakes.end(), report.warnings.begin(), report.warnings.end());
        if (db.databaseHeader[2].isEmpty())
            mistakes.push_back({files.front().name(), 0, {}, QStringLiteral("нет названия теста")});
        // The ones only counted follow more than the listed ones.
        const std::size_t total = mistakes.size() + std::size_t(report.moreSkipped + report.moreWarnings);
        const std::size_t listed = std::min<std::size_t>(mistakes.size(), ImportReport::kListedEntries);
        for (std::size_t i = 0; i < listed; ++i)
            err << mistakeLine(files, mistakes[i]) << '\n';
        if (total > listed)
            err << QStringLiteral("… и ещё %1").arg(total - listed) << '\n';
        if (total > 0)
            return commandFailed(err, QStringLiteral("Строгий импорт: найдено ошибок: %1, база не записана.").arg(total), 1);
    }
    if (report.importedCount() == 0 && report.profiles.empty())
        return commandFailed(err, QStringLiteral("Ни один вопрос не импортирован; база не изменена."), 1);

    if (!exists) {
        // A new database gets the header of the default one where the files left it empty.
        if (db.databaseHeader[2].isEmpty())
            db.databaseHeader[2] = QStringLiteral("Новый тест");
        if (db.databaseHeader[3].isEmpty())
            db.databaseHeader[3] = QStringLiteral("Неизвестный");
        if (db.databaseHeader[4].isEmpty())
            db.databaseHeader[4] = fixedDateText(QDate::currentDate());
    }
    const SaveResult saved = db.saveDatabase();
    if (!saved.ok())
        return commandFailed(err, saved.error, 1);
    out << QStringLiteral("База сохранена: %1").arg(a.database) << '\n';
    out.flush();
    return 0;
}

int exportCommand(const QStringList& words, QTextStream& out, QTextStream& err) {
    Arguments a;
    const QString wrong = parseOptions(words, true, &a);
    if (!wrong.isEmpty())
        return commandFailed(err, wrong + u'\n' + kUsage, 2);
    if (a.files.size() != 1)
        return commandFailed(err, QStringLiteral("Нужно указать одну базу для экспорта.\n") + kUsage, 2);
    if (a.target.isEmpty())
        return commandFailed(err, QStringLiteral("Не указан файл для экспорта: --to ФАЙЛ\n") + kUsage, 2);
    if (!a.format) {
        const QString suffix = QFileInfo(a.target).suffix().toLower();
        a.format = suffix == QLatin1String("gift")    ? std::optional(BankFormat::Gift)
                   : suffix == QLatin1String("xml")   ? std::optional(BankFormat::MoodleXml)
                   : suffix == QLatin1String("aiken") ? std::optional(BankFormat::Aiken)
                   : suffix == QLatin1String("txt")   ? std::optional(BankFormat::PlainText)
                                                      : std::nullopt;
        if (!a.format)
            return commandFailed(err,
                        QStringLiteral("По имени файла «%1» формат не определить; укажите --format "
                                       "gift, aiken, moodlexml или text.")
                            .arg(a.target),
                        2);
    }

    Database db;
    db.newDatabase();
    db.databasePath = a.files.first();
    const LoadResult loaded = db.loadDatabase();
    if (!loaded.ok())
        return commandFailed(err, loaded.error, 1);
    if (bankFromDatabase(db, a.theme).questions.empty())
        return commandFailed(err,
                    a.theme > 0 ? QStringLiteral("В теме %1 нет вопросов; файл не записан.").arg(a.theme)
                                : QStringLiteral("В базе нет вопросов; файл не записан."),
                    1);
    const ExportResult result = exportQuestions(db, a.target, *a.format, a.theme);
    if (!result.ok())
        return commandFailed(err, result.error, 1);
    out << QStringLiteral("Экспортировано вопросов: %1, тем: %2, формат %3, файл %4")
               .arg(result.questionCount)
               .arg(result.themeCount)
               .arg(formatTitle(*a.format), a.target)
        << '\n';
    for (const QString& l : result.lost)
        out << QStringLiteral("  ") << l << '\n';
    out.flush();
    return 0;
}

} // namespace

int runQuestionsCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    QStringList words = args;
    if (!words.isEmpty() && words.first() == QLatin1String("questions"))
        words.removeFirst();
    if (words.isEmpty())
        return commandFailed(err, kUsage, 2);
    // "questions --help", "questions help", "questions import --help".
    static const QStringList help{QStringLiteral("--help"), QStringLiteral("-h")};
    if (help.contains(words.first()) || words.first() == QLatin1String("help") ||
        (words.size() > 1 && help.contains(words.at(1)))) {
        out << kUsage << '\n';
        out.flush();
        return 0;
    }
    const QString command = words.takeFirst();
    if (command == QLatin1String("import"))
        return importCommand(words, out, err);
    if (command == QLatin1String("export"))
        return exportCommand(words, out, err);
    return commandFailed(err, QStringLiteral("Неизвестная команда «%1».\n").arg(command) + kUsage, 2);
}

} // namespace zet
