#include "questionbank/questionimport.h"

#include "model/cp1251.h"
#include "model/regularfile.h"
#include "model/systemerror.h"
#include "questionbank/textlines.h"

#include <QFile>
#include <QFileInfo>

#include <map>

namespace zet {

QString QuestionFile::name() const {
    return QFileInfo(path).fileName();
}

QuestionFile readQuestionFile(const QString& path, std::optional<BankFormat> format, TextEncoding encoding) {
    QuestionFile file;
    file.path = path;
    QFile in(path);
    if (!in.exists()) {
        file.error = QStringLiteral("Файл «%1» не найден.").arg(path);
        return file;
    }
    if (!openRegularFile(in, &file.error))
        return file;
    if (in.size() > kMaxQuestionFileBytes) {
        file.error = QStringLiteral("Файл «%1» слишком большой (%2 МБ): файл с вопросами может занимать "
                                    "не больше %3 МБ. Разделите его на несколько файлов.")
                         .arg(path)
                         .arg((in.size() + 1024 * 1024 - 1) / (1024 * 1024))
                         .arg(kMaxQuestionFileBytes / (1024 * 1024));
        return file;
    }
    QByteArray bytes = in.read(kMaxQuestionFileBytes + 1);
    if (in.error() != QFileDevice::NoError) {
        file.error = QStringLiteral("Файл «%1» не удалось прочитать: %2").arg(path, russianSystemError(in.errorString()));
        return file;
    }
    QString text = decodeText(bytes, encoding, &file.encoding);
    bytes = QByteArray(); // only one copy of a large file at a time
    file.format = format ? *format : guessFormat(path, text);
    file.bank = parseBank(std::move(text), file.format, true);
    return file;
}

QString ImportEntry::toString() const {
    QString where = file;
    if (!file.isEmpty() && line > 0)
        where += QStringLiteral(":%1").arg(line);
    if (!question.isEmpty())
        where += (where.isEmpty() ? QString() : QStringLiteral(" ")) + question;
    return where.isEmpty() ? text : where + QStringLiteral(": ") + text;
}

int ImportReport::importedCount() const {
    int n = 0;
    for (const ThemeTally& t : themes)
        n += t.added;
    return n;
}

namespace {

void listEntries(QStringList& out, const std::vector<ImportEntry>& entries, int total) {
    const std::size_t shown = std::min<std::size_t>(entries.size(), ImportReport::kListedEntries);
    for (std::size_t i = 0; i < shown; ++i)
        out << QStringLiteral("  ") + entries[i].toString();
    if (std::size_t(total) > shown)
        out << QStringLiteral("  … и ещё %1").arg(std::size_t(total) - shown);
}

} // namespace

QString ImportReport::toText(bool planned) const {
    QStringList out;
    out << (planned ? QStringLiteral("Будет импортировано вопросов: %1") : QStringLiteral("Импортировано вопросов: %1"))
               .arg(importedCount());
    for (const ThemeTally& t : themes) {
        out << QStringLiteral("  тема %1 «%2»%3: %4")
                   .arg(t.theme)
                   .arg(t.title, t.newTheme ? QStringLiteral(" (новая)") : QString())
                   .arg(t.added);
    }
    if (!profiles.empty()) {
        QStringList numbers;
        for (int p : profiles)
            numbers << QString::number(p);
        out << QStringLiteral("Профили из файла: %1").arg(numbers.join(QStringLiteral(", ")));
    }
    out << (planned ? QStringLiteral("Будет пропущено вопросов: %1") : QStringLiteral("Пропущено вопросов: %1"))
               .arg(skippedCount());
    listEntries(out, skipped, skippedCount());
    if (warningCount() > 0) {
        out << QStringLiteral("Предупреждения: %1").arg(warningCount());
        listEntries(out, warnings, warningCount());
    }
    return out.join(u'\n');
}

namespace {

bool questionPresent(const Database& db, int theme, int q) {
    return holdsQuestion(db.questions(theme, q, 0));
}

bool themeFree(const Database& db, int theme) {
    if (!db.questions(theme, 0, 0).isEmpty())
        return false;
    for (int q = 1; q <= kQuestionSlots; ++q) {
        if (questionPresent(db, theme, q))
            return false;
    }
    return true;
}

int questionCountOf(const Database& db, int theme) {
    int n = 0;
    for (int q = 1; q <= kQuestionSlots; ++q)
        n += questionPresent(db, theme, q) ? 1 : 0;
    return n;
}

QString fileTitle(const QuestionFile& file) {
    return QFileInfo(file.path).completeBaseName();
}

// Titles that two categories share become longer, part by part from the end of the path, until
// they differ: "А/Общие" and "Б/Общие" are two themes, not one.
void separateTitles(std::vector<CategoryPlan>& plans, const std::vector<QStringList>& parts) {
    const auto clash = [&](std::size_t i) {
        for (std::size_t j = 0; j < plans.size(); ++j) {
            if (j != i && plans[j].title.compare(plans[i].title, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    };
    std::vector<std::size_t> clashing;
    for (std::size_t i = 0; i < plans.size(); ++i) {
        if (!plans[i].title.isEmpty() && clash(i))
            clashing.push_back(i);
    }
    for (qsizetype n = 2; !clashing.empty(); ++n) {
        for (std::size_t i : clashing) {
            if (n <= parts[i].size())
                plans[i].title = QStringList(parts[i].mid(parts[i].size() - n)).join(u'/');
        }
        std::vector<std::size_t> still;
        for (std::size_t i : clashing) {
            if (clash(i) && n < parts[i].size())
                still.push_back(i);
        }
        clashing = std::move(still);
    }
}

// The categories of all files in order of appearance, with a source theme number and title.
std::vector<CategoryPlan> collectCategories(const std::vector<QuestionFile>& files, const ImportOptions& options,
                                            std::map<QString, int>* wanted) {
    std::vector<CategoryPlan> plans;
    std::vector<QStringList> parts;
    const auto find = [&](const QString& key) {
        return std::find_if(plans.begin(), plans.end(), [&](const CategoryPlan& p) { return p.key == key; });
    };
    const auto add = [&](const QString& key, const QString& title, const QStringList& path) {
        plans.push_back({key, title, path.join(u'/'), 0, false, 0, 0});
        parts.push_back(path);
    };
    for (const QuestionFile& f : files) {
        for (const BankCategory& c : f.bank.categories) {
            if (find(c.key) == plans.end()) {
                // A learning system's path; the plain text form names its themes by number.
                const QStringList path = c.theme == 0 && categoryTitle(c.key) == c.title ? categoryParts(c.key)
                                                                                          : QStringList{c.title};
                add(c.key, c.title, path);
                (*wanted)[c.key] = c.theme;
            }
        }
        for (const BankQuestion& q : f.bank.questions) {
            auto it = find(q.category);
            if (it == plans.end()) {
                const QString title = q.category.isEmpty() ? fileTitle(f) : q.category;
                add(q.category, title, q.category.isEmpty() ? QStringList() : QStringList{title});
                it = plans.end() - 1;
            }
            ++it->questionCount;
            if (importProblem(q, options).isEmpty())
                ++it->importable;
        }
        for (const BankDropped& d : f.bank.dropped) {
            // Their category has a hundred questions before them, so it is in the plans.
            const auto it = find(d.category);
            it->questionCount += d.count;
            it->importable += d.importable + (options.keepMediaText ? d.mediaOnly : 0);
        }
    }
    separateTitles(plans, parts);
    return plans;
}

} // namespace

std::vector<CategoryPlan> planCategories(const Database& db, const std::vector<QuestionFile>& files,
                                         const ImportOptions& options) {
    std::map<QString, int> wanted;
    std::vector<CategoryPlan> plans = collectCategories(files, options, &wanted);
    std::array<bool, kThemeCount + 1> taken{};
    std::array<bool, kThemeCount + 1> free{};
    for (int t = 1; t <= kThemeCount; ++t)
        free[static_cast<std::size_t>(t)] = themeFree(db, t);
    const auto mark = [&](CategoryPlan& p, int theme) {
        p.theme = theme;
        p.newTheme = theme > 0 && free[static_cast<std::size_t>(theme)];
        if (theme > 0)
            taken[static_cast<std::size_t>(theme)] = true;
    };
    // Chosen themes first, so that the defaults go round them.
    std::vector<bool> decided(plans.size(), false);
    for (std::size_t i = 0; i < plans.size(); ++i) {
        int theme = options.targetTheme;
        if (theme == 0 && options.categoryThemes.contains(plans[i].key))
            theme = options.categoryThemes.value(plans[i].key);
        if (theme >= 1 && theme <= kThemeCount) {
            mark(plans[i], theme);
            decided[i] = true;
        }
    }
    for (std::size_t i = 0; i < plans.size(); ++i) {
        if (decided[i])
            continue;
        CategoryPlan& p = plans[i];
        int theme = 0;
        const QString title = p.title.trimmed();
        for (int t = 1; t <= kThemeCount && theme == 0 && !title.isEmpty(); ++t) {
            if (db.questions(t, 0, 0).trimmed().compare(title, Qt::CaseInsensitive) == 0)
                theme = t;
        }
        const int number = wanted.count(p.key) ? wanted[p.key] : 0;
        if (theme == 0 && number >= 1 && number <= kThemeCount && free[static_cast<std::size_t>(number)] &&
            !taken[static_cast<std::size_t>(number)])
            theme = number;
        for (int t = 1; t <= kThemeCount && theme == 0; ++t) {
            if (free[static_cast<std::size_t>(t)] && !taken[static_cast<std::size_t>(t)])
                theme = t;
        }
        mark(p, theme);
    }
    return plans;
}

QString importProblem(const BankQuestion& q, const ImportOptions& options, int* line) {
    if (q.kind == QuestionKind::MultipleChoice)
        return QStringLiteral("вопрос с несколькими верными ответами не поддерживается: "
                              "нужен один ответ с весом 100%, у остальных — 0%");
    if (q.kind != QuestionKind::SingleChoice && q.kind != QuestionKind::TrueFalse)
        return QStringLiteral("вопрос %1 не поддерживается").arg(kindTitle(q));
    if (q.text.trimmed().isEmpty())
        return QStringLiteral("пустой текст вопроса");
    if (q.media && !options.keepMediaText)
        return QStringLiteral("вопрос с рисунком или звуком: в базе есть место только для текста");
    std::vector<const BankAnswer*> right, wrong;
    for (const BankAnswer& a : q.answers) {
        if (!a.text.trimmed().isEmpty())
            (a.isRight() ? right : wrong).push_back(&a);
    }
    if (right.empty()) {
        const bool partial =
            std::any_of(wrong.begin(), wrong.end(), [](const BankAnswer* a) { return a->weight > 0; });
        return partial ? QStringLiteral("нет правильного ответа: ответ с весом меньше 100% не считается правильным")
                       : QStringLiteral("нет правильного ответа");
    }
    if (right.size() > 1) {
        if (line)
            *line = right[1]->line;
        return QStringLiteral("второй правильный ответ: правильный ответ может быть только один");
    }
    if (wrong.empty())
        return QStringLiteral("меньше двух ответов: кроме правильного нужен хотя бы один неправильный");
    if (wrong.size() > 4)
        return QStringLiteral("больше четырёх неправильных ответов (%1)").arg(wrong.size());
    return {};
}

namespace {

class Importer {
public:
    Importer(Database& db, const ImportOptions& options) : m_db(db), m_options(options) {}

    ImportReport report;

    void run(const std::vector<QuestionFile>& files) {
        for (const CategoryPlan& p : planCategories(m_db, files, m_options))
            m_plans[p.key] = p;
        for (const QuestionFile& f : files) {
            m_file = f.name();
            for (const BankNote& n : f.bank.notes)
                report.warnings.push_back({m_file, n.line, {}, n.text});
            header(f.bank);
            // A theme the plain text form names gets its title even when it has no questions.
            for (const BankCategory& c : f.bank.categories) {
                if (c.theme > 0)
                    title(m_plans[c.key].theme, c.title);
            }
            for (const BankQuestion& q : f.bank.questions)
                place(q);
            // Questions only counted: each is skipped (its theme is full), and an importable one
            // warns of each empty answer first, as place() does.
            for (const BankDropped& d : f.bank.dropped) {
                report.moreSkipped += d.count;
                report.moreWarnings += d.emptyAnswers + (m_options.keepMediaText ? d.mediaEmptyAnswers : 0);
            }
            for (const BankProfile& p : f.bank.profiles)
                profile(p, f.bank);
        }
        checkProfiles();
        std::sort(report.themes.begin(), report.themes.end(),
                  [](const ThemeTally& a, const ThemeTally& b) { return a.theme < b.theme; });
    }

private:
    void skip(const BankQuestion& q, const QString& why, int line = 0) {
        report.skipped.push_back({m_file, line > 0 ? line : q.line, questionLabel(q), why});
    }
    void warn(const BankQuestion& q, const QString& text, int line = 0) {
        report.warnings.push_back({m_file, line > 0 ? line : q.line, questionLabel(q), text});
    }

    void header(const QuestionBank& bank) {
        // Header lines fill only what the database leaves empty.
        const std::array<std::tuple<int, QString, QString>, 3> values{
            {{2, bank.testName, QStringLiteral("название теста")},
             {3, bank.author, QStringLiteral("автор")},
             {4, bank.date, QStringLiteral("дата создания")}}};
        for (const auto& [index, value, field] : values) {
            QString& target = m_db.databaseHeader[static_cast<std::size_t>(index)];
            if (target.isEmpty() && !value.isEmpty())
                target = stored(value, 0, field, 0);
        }
    }

    void title(int theme, const QString& text) {
        if (theme < 1 || text.isEmpty() || !m_db.questions(theme, 0, 0).isEmpty())
            return;
        m_db.questions(theme, 0, 0) = stored(text, 0, QStringLiteral("тема %1, название темы").arg(theme), 0);
    }

    // The text as the database file will hold it: cut to the record and with the characters
    // Windows-1251 lacks replaced, as the model does on every save; each change is reported.
    QString stored(const QString& text, int reserved, const QString& field, int line) {
        EncodedText enc = encodeCp1251(text);
        if (enc.replaced)
            report.warnings.push_back(
                {m_file, line, {}, field + QStringLiteral(": символы вне кодировки Windows-1251 заменены на «?»")});
        const qsizetype limit = kStoredTextBytes - reserved;
        if (enc.bytes.size() > limit) {
            enc.bytes.truncate(limit);
            report.warnings.push_back({m_file,
                                       line,
                                       {},
                                       field + QStringLiteral(": длиннее %1 байт, обрезано до %2 символов")
                                                   .arg(kStoredTextBytes)
                                                   .arg(limit)});
        }
        if (!enc.replaced && enc.bytes.size() == text.size())
            return text;
        return decodeCp1251(enc.bytes);
    }

    void place(const BankQuestion& q) {
        int line = 0;
        if (const QString problem = importProblem(q, m_options, &line); !problem.isEmpty())
            return skip(q, problem, line);
        std::vector<const BankAnswer*> right, wrong;
        for (const BankAnswer& a : q.answers) {
            if (!a.text.trimmed().isEmpty())
                (a.isRight() ? right : wrong).push_back(&a);
            else
                warn(q, QStringLiteral("пустой ответ пропущен"), a.line);
        }
        const CategoryPlan& plan = m_plans[q.category];
        if (plan.theme == 0)
            return skip(q, QStringLiteral("не осталось свободной темы"));
        const int theme = plan.theme;
        int slot = 0;
        for (int s = 1; s <= kQuestionSlots && slot == 0; ++s) {
            if (!questionPresent(m_db, theme, s))
                slot = s;
        }
        if (slot == 0) {
            // One shared text for all of a full theme: a large file may run into it many times.
            QString& reason = m_noRoom[theme];
            if (reason.isEmpty())
                reason = QStringLiteral("в теме %1 нет свободного места: все %2 вопросов заняты")
                             .arg(theme)
                             .arg(kQuestionSlots);
            return skip(q, reason);
        }

        title(theme, plan.title);
        const std::array<bool, kGroupCount> flags = q.groups ? *q.groups : m_options.groups;
        const QString where = QStringLiteral("тема %1, вопрос %2").arg(theme).arg(slot);
        const QString label = questionLabel(q);
        m_db.questions(theme, slot, 0) = questionValue(
            flags, stored(q.text, kGroupCount, QStringLiteral("%1 %2, текст вопроса").arg(where, label), q.line));
        m_db.questions(theme, slot, 1) =
            stored(right[0]->text, 0, QStringLiteral("%1 %2, правильный ответ").arg(where, label), right[0]->line);
        for (int k = 0; k < 4; ++k) {
            QString& part = m_db.questions(theme, slot, 2 + k);
            part.clear();
            if (k < static_cast<int>(wrong.size()))
                part = stored(wrong[static_cast<std::size_t>(k)]->text, 0,
                              QStringLiteral("%1 %2, неправильный ответ №%3").arg(where, label).arg(k + 1),
                              wrong[static_cast<std::size_t>(k)]->line);
        }
        for (const BankAnswer* a : wrong) {
            if (a->weight > 0)
                warn(q,
                     QStringLiteral("ответ «%1» с весом %2% поставлен как неправильный")
                         .arg(a->text.simplified())
                         .arg(a->weight),
                     a->line);
        }
        if (q.media)
            warn(q, QStringLiteral("рисунок или звук вопроса не перенесён: импортирован только текст"));
        if (wrong.size() < 4)
            warn(q,
                 QStringLiteral("не все четыре неправильных ответа: есть %1, недостающие оставлены пустыми")
                     .arg(wrong.size()));

        auto it = std::find_if(report.themes.begin(), report.themes.end(),
                               [theme](const ThemeTally& t) { return t.theme == theme; });
        if (it == report.themes.end()) {
            report.themes.push_back({theme, {}, plan.newTheme, 0});
            it = report.themes.end() - 1;
        }
        it->title = m_db.questions(theme, 0, 0);
        ++it->added;
    }

    void profile(const BankProfile& p, const QuestionBank& bank) {
        ExamProfile& target = m_db.profiles[static_cast<std::size_t>(p.number)];
        target.number = static_cast<int16>(p.number);
        target.name = stored(p.name, 0, QStringLiteral("профиль %1, наименование").arg(p.number), p.line);
        if (p.questionCount)
            target.questionCount = static_cast<int16>(*p.questionCount);
        if (p.timeLimit)
            target.timeLimit = static_cast<int16>(*p.timeLimit);
        if (p.thresholds) {
            target.excellentMin = static_cast<int16>((*p.thresholds)[0]);
            target.goodMin = static_cast<int16>((*p.thresholds)[1]);
            target.fairMin = static_cast<int16>((*p.thresholds)[2]);
        }
        // Slot themes name the themes of the file; they follow its themes to where they went.
        for (std::size_t s = 0; s < p.slotThemes.size() && s < kSlotCount; ++s) {
            int theme = p.slotThemes[s];
            for (const BankCategory& c : bank.categories) {
                if (c.theme == theme && m_plans[c.key].theme > 0)
                    theme = m_plans[c.key].theme;
            }
            target.slotTheme[s + 1] = static_cast<int16>(theme);
        }
        for (int k = 0; k < kGroupCount; ++k) {
            const bool admitted = !p.admitted || (*p.admitted)[static_cast<std::size_t>(k)];
            target.groups[static_cast<std::size_t>(k)] =
                groupEntry({admitted ? QStringLiteral("1") : QStringLiteral("0"),
                            stored(p.groupTitles[static_cast<std::size_t>(k)], 1,
                                   QStringLiteral("профиль %1, группа %2").arg(p.number).arg(k), p.line)});
        }
        if (std::find(report.profiles.begin(), report.profiles.end(), p.number) == report.profiles.end())
            report.profiles.push_back(p.number);
    }

    // Every exam of an imported profile can be put together without repeating a question.
    void checkProfiles() {
        for (int number : report.profiles) {
            const ExamProfile& pr = m_db.profiles[static_cast<std::size_t>(number)];
            std::array<int, kThemeCount + 1> wanted{};
            for (int s = 1; s <= std::min<int>(pr.questionCount, kSlotCount); ++s) {
                if (pr.slotTheme[s] >= 1 && pr.slotTheme[s] <= kThemeCount)
                    ++wanted[static_cast<std::size_t>(pr.slotTheme[s])];
            }
            for (int t = 1; t <= kThemeCount; ++t) {
                const int have = questionCountOf(m_db, t);
                if (wanted[static_cast<std::size_t>(t)] > have)
                    report.warnings.push_back(
                        {{},
                         0,
                         {},
                         QStringLiteral("Профилю %1 нужно %2 вопр. темы %3, а в ней %4.")
                             .arg(number)
                             .arg(wanted[static_cast<std::size_t>(t)])
                             .arg(t)
                             .arg(have)});
            }
        }
    }

    Database& m_db;
    const ImportOptions& m_options;
    QString m_file;
    std::map<QString, CategoryPlan> m_plans;
    std::map<int, QString> m_noRoom;
};

} // namespace

ImportReport importQuestions(Database& db, const std::vector<QuestionFile>& files,
                             const ImportOptions& options) {
    Importer importer(db, options);
    importer.run(files);
    return std::move(importer.report);
}

} // namespace zet
