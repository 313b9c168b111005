// The program's own plain text form (see examples/sample.txt): header lines, "Тема N:"
// sections with "?" questions, "+" right and "-" wrong answers, optional "Группы:" lines,
// and "Профиль N:" sections. A line break inside a text is written "\n", a backslash "\\".

#include "questionbank/questionbank.h"
#include "questionbank/textlines.h"

#include <QDate>
#include <QRegularExpression>

namespace zet {

namespace {

constexpr int kThemes = 20;
constexpr int kProfiles = 20;
constexpr int kSlots = 15;

QString unescapeLine(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s.at(i) == u'\\' && i + 1 < s.size() && (s.at(i + 1) == u'n' || s.at(i + 1) == u'\\')) {
            out += s.at(i + 1) == u'n' ? QStringLiteral("\r\n") : QStringLiteral("\\");
            ++i;
        } else {
            out += s.at(i);
        }
    }
    return out;
}

QString escapeLine(const QString& s) {
    QString out = s;
    out.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    out.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    out.replace(u'\n', QLatin1String("\\n"));
    out.replace(u'\r', QLatin1String("\\n"));
    return out;
}

// "0 2 5" or "нет" → flags; empty when the list is not understood.
std::optional<std::array<bool, 10>> groupList(const QString& text) {
    std::array<bool, 10> flags{};
    if (text.compare(QStringLiteral("нет"), Qt::CaseInsensitive) == 0)
        return flags;
    const QStringList parts = text.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return std::nullopt;
    for (const QString& p : parts) {
        bool ok = false;
        const int k = p.toInt(&ok);
        if (!ok || k < 0 || k > 9)
            return std::nullopt;
        flags[static_cast<std::size_t>(k)] = true;
    }
    return flags;
}

QString groupListText(const std::array<bool, 10>& flags) {
    QStringList parts;
    for (int k = 0; k < 10; ++k) {
        if (flags[static_cast<std::size_t>(k)])
            parts << QString::number(k);
    }
    return parts.isEmpty() ? QStringLiteral("нет") : parts.join(u' ');
}

bool allGroups(const std::array<bool, 10>& flags) {
    return std::all_of(flags.begin(), flags.end(), [](bool b) { return b; });
}

class PlainTextReader {
public:
    QuestionBank bank;

    void read(const QString& text) {
        LineViews lines(text, FinalLineEnd::StartsEmptyLine);
        QStringView view;
        for (qsizetype i = 0; lines.next(&view); ++i) {
            const QString line = view.trimmed().toString();
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            m_line = static_cast<int>(i + 1);
            readLine(line);
        }
        finishProfile();
    }

private:
    void note(const QString& text, int line = -1) { bank.notes.push_back({line < 0 ? m_line : line, text}); }

    static bool key(const QString& line, const QString& k, QString* rest) {
        if (!line.startsWith(k))
            return false;
        *rest = line.mid(k.size()).trimmed();
        return true;
    }

    void readLine(const QString& line) {
        // "Вопросов: 10   Время: 600   Оценки: 9 7 5" on one line is read as three lines.
        static const QRegularExpression profileKey(QStringLiteral("(Вопросов|Время|Оценки|Темы):"));
        if (line.indexOf(profileKey) == 0) {
            QList<qsizetype> starts;
            for (auto it = profileKey.globalMatch(line); it.hasNext();)
                starts << it.next().capturedStart();
            if (starts.size() > 1) {
                starts << line.size();
                for (qsizetype k = 0; k + 1 < starts.size(); ++k)
                    readLine(line.mid(starts[k], starts[k + 1] - starts[k]).trimmed());
                return;
            }
        }
        static const QRegularExpression theme(QStringLiteral("^Тема\\s+(\\d+)\\s*:\\s*(.*)$"));
        static const QRegularExpression profile(QStringLiteral("^Профиль\\s+(\\d+)\\s*:\\s*(.*)$"));
        static const QRegularExpression groupTitle(QStringLiteral("^Группа\\s+(\\d)\\s*:\\s*(.*)$"));
        QRegularExpressionMatch m;
        QString rest;
        if (key(line, QStringLiteral("Название теста:"), &rest))
            return header(&bank.testName, rest);
        if (key(line, QStringLiteral("Автор:"), &rest))
            return header(&bank.author, rest);
        if (key(line, QStringLiteral("Дата:"), &rest)) {
            if (!QDate::fromString(rest, QStringLiteral("MM-dd-yyyy")).isValid())
                return note(QStringLiteral("Дата пишется как ММ-ДД-ГГГГ; строка пропущена."));
            return header(&bank.date, rest);
        }
        if ((m = theme.match(line)).hasMatch())
            return startTheme(m.captured(1).toInt(), unescapeLine(m.captured(2).trimmed()));
        if ((m = profile.match(line)).hasMatch())
            return startProfile(m.captured(1).toInt(), unescapeLine(m.captured(2).trimmed()));
        if (key(line, QStringLiteral("?"), &rest))
            return startQuestion(unescapeLine(rest));
        if (key(line, QStringLiteral("+"), &rest))
            return answer(true, unescapeLine(rest));
        if (key(line, QStringLiteral("-"), &rest))
            return answer(false, unescapeLine(rest));
        if (key(line, QStringLiteral("Группы:"), &rest))
            return groups(rest);
        if ((m = groupTitle.match(line)).hasMatch() && m_profile)
            return void(m_profile->groupTitles[static_cast<std::size_t>(m.captured(1).toInt())] =
                            unescapeLine(m.captured(2).trimmed()));
        if (key(line, QStringLiteral("Вопросов:"), &rest))
            return profileNumber(rest, 1, kSlots, &BankProfile::questionCount);
        if (key(line, QStringLiteral("Время:"), &rest))
            return profileNumber(rest, 1, 32767, &BankProfile::timeLimit);
        if (key(line, QStringLiteral("Оценки:"), &rest))
            return thresholds(rest);
        if (key(line, QStringLiteral("Темы:"), &rest))
            return slotThemes(rest);
        note(QStringLiteral("Пропущена непонятная строка."));
    }

    void header(QString* value, const QString& text) {
        if (text.isEmpty())
            return note(QStringLiteral("Пустое значение; строка пропущена."));
        *value = unescapeLine(text);
    }

    void startTheme(int number, const QString& title) {
        finishProfile();
        m_inQuestion = false;
        if (number < 1 || number > kThemes) {
            note(QStringLiteral("Номер темы должен быть от 1 до %1; вопросы темы пойдут в свободную тему.")
                     .arg(kThemes));
            number = 0;
        }
        const QString k = QStringLiteral("Тема %1").arg(number);
        if (bank.category(k))
            note(QStringLiteral("Тема %1 уже описана выше.").arg(number));
        m_category = bank.addCategory(k, title, number, m_line);
        m_inTheme = true;
    }

    void startQuestion(const QString& text) {
        finishProfile();
        if (!m_inTheme)
            note(QStringLiteral("Вопрос вне темы: он пойдёт в тему, выбранную при импорте."));
        BankQuestion q;
        q.category = m_category;
        q.text = text;
        q.line = m_line;
        bank.addQuestion(std::move(q));
        m_inQuestion = true;
    }

    void answer(bool right, const QString& text) {
        if (!m_inQuestion)
            return note(QStringLiteral("Ответ без вопроса; пропущен."));
        if (text.isEmpty())
            return note(QStringLiteral("Пустой ответ; пропущен."));
        bank.questions.back().answers.push_back({text, right ? 100.0 : 0.0, m_line});
    }

    void groups(const QString& text) {
        const auto flags = groupList(text);
        if (!flags)
            return note(QStringLiteral("Группы пишутся номерами от 0 до 9 через пробел или словом «нет»; "
                                       "строка пропущена."));
        if (m_inQuestion)
            bank.questions.back().groups = flags;
        else if (m_profile)
            m_profile->admitted = flags;
        else
            note(QStringLiteral("Строка «Группы:» вне вопроса и профиля; пропущена."));
    }

    void startProfile(int number, const QString& name) {
        finishProfile();
        m_inTheme = false;
        m_inQuestion = false;
        m_category.clear();
        if (number < 1 || number > kProfiles)
            return note(QStringLiteral("Номер профиля должен быть от 1 до %1; профиль пропущен.").arg(kProfiles));
        for (const BankProfile& p : bank.profiles) {
            if (p.number == number)
                note(QStringLiteral("Профиль %1 уже описан выше; этот его заменит.").arg(number));
        }
        m_profile = BankProfile();
        m_profile->number = number;
        m_profile->name = name;
        m_profile->line = m_line;
    }

    bool inProfile() {
        if (!m_profile)
            note(QStringLiteral("Значение вне профиля; строка пропущена."));
        return m_profile.has_value();
    }

    void profileNumber(const QString& text, int low, int high, std::optional<int> BankProfile::*field) {
        if (!inProfile())
            return;
        bool ok = false;
        const int value = text.toInt(&ok);
        if (!ok || value < low || value > high)
            return note(QStringLiteral("Нужно число от %1 до %2; строка пропущена.").arg(low).arg(high));
        (*m_profile).*field = value;
    }

    void thresholds(const QString& text) {
        if (!inProfile())
            return;
        const QStringList parts = text.split(u' ', Qt::SkipEmptyParts);
        std::array<int, 3> v{};
        for (int k = 0; k < 3; ++k) {
            bool ok = k < parts.size();
            v[static_cast<std::size_t>(k)] = ok ? parts.at(k).toInt(&ok) : 0;
            if (!ok || v[static_cast<std::size_t>(k)] < 1 || v[static_cast<std::size_t>(k)] > kSlots)
                return note(QStringLiteral("Нужны три числа от 1 до %1: на «5», на «4» и на «3»; строка пропущена.")
                                .arg(kSlots));
        }
        if (parts.size() != 3)
            return note(QStringLiteral("Нужны три числа по убыванию: на «5», на «4» и на «3»; строка пропущена."));
        if (!(v[0] >= v[1] && v[1] >= v[2]))
            note(QStringLiteral("Оценки обычно задают тремя числами по убыванию: на «5», на «4» и на «3»."));
        m_profile->thresholds = v;
    }

    void slotThemes(const QString& text) {
        if (!inProfile())
            return;
        const QStringList parts = text.split(u' ', Qt::SkipEmptyParts);
        if (parts.isEmpty() || parts.size() > kSlots)
            return note(QStringLiteral("Нужно от 1 до %1 номеров тем; строка пропущена.").arg(kSlots));
        std::vector<int> themes;
        for (const QString& p : parts) {
            bool ok = false;
            const int t = p.toInt(&ok);
            if (!ok || t < 1 || t > kThemes)
                return note(QStringLiteral("Номер темы должен быть от 1 до %1; строка пропущена.").arg(kThemes));
            themes.push_back(t);
        }
        m_profile->slotThemes = themes;
    }

    void finishProfile() {
        if (!m_profile)
            return;
        const BankProfile& p = *m_profile;
        const int count = p.questionCount.value_or(10);
        if (static_cast<int>(p.slotThemes.size()) < count)
            note(QStringLiteral("В строке «Темы:» нужно столько номеров, сколько вопросов (%1); "
                                "у остальных вопросов тема останется прежней.")
                     .arg(count),
                 p.line);
        if (p.thresholds && (*p.thresholds)[0] > count)
            note(QStringLiteral("На «5» нужно больше правильных ответов, чем вопросов (%1).").arg(count), p.line);
        bank.profiles.push_back(std::move(*m_profile));
        m_profile.reset();
    }

    int m_line = 0;
    QString m_category;
    bool m_inTheme = false;
    bool m_inQuestion = false;
    std::optional<BankProfile> m_profile;
};

} // namespace

QuestionBank parsePlainText(const QString& text, bool placeableOnly) {
    PlainTextReader reader;
    reader.bank.placeableOnly = placeableOnly;
    reader.read(text);
    reader.bank.settle();
    return std::move(reader.bank);
}

QString writePlainText(const QuestionBank& bank, QStringList*) {
    QStringList out;
    out << QStringLiteral("# Вопросы в текстовом формате программы (UTF-8).");
    if (!bank.testName.isEmpty())
        out << QStringLiteral("Название теста: ") + escapeLine(bank.testName);
    if (!bank.author.isEmpty())
        out << QStringLiteral("Автор: ") + escapeLine(bank.author);
    if (!bank.date.isEmpty())
        out << QStringLiteral("Дата: ") + bank.date;
    for (const BankCategory& c : bank.categories) {
        out << QString() << QStringLiteral("Тема %1: %2").arg(c.theme).arg(escapeLine(c.title));
        for (const BankQuestion& q : bank.questions) {
            if (q.category != c.key)
                continue;
            out << QString() << QStringLiteral("? ") + escapeLine(q.text);
            if (q.groups && !allGroups(*q.groups))
                out << QStringLiteral("Группы: ") + groupListText(*q.groups);
            for (const BankAnswer& a : q.answers)
                out << (a.isRight() ? QStringLiteral("+ ") : QStringLiteral("- ")) + escapeLine(a.text);
        }
    }
    for (const BankProfile& p : bank.profiles) {
        out << QString() << QStringLiteral("Профиль %1: %2").arg(p.number).arg(escapeLine(p.name));
        if (p.questionCount)
            out << QStringLiteral("Вопросов: %1").arg(*p.questionCount);
        if (p.timeLimit)
            out << QStringLiteral("Время: %1").arg(*p.timeLimit);
        if (p.thresholds)
            out << QStringLiteral("Оценки: %1 %2 %3").arg((*p.thresholds)[0]).arg((*p.thresholds)[1]).arg((*p.thresholds)[2]);
        if (!p.slotThemes.empty()) {
            QStringList themes;
            for (int t : p.slotThemes)
                themes << QString::number(t);
            out << QStringLiteral("Темы: ") + themes.join(u' ');
        }
        if (p.admitted && !allGroups(*p.admitted))
            out << QStringLiteral("Группы: ") + groupListText(*p.admitted);
        for (int k = 0; k < 10; ++k) {
            if (!p.groupTitles[static_cast<std::size_t>(k)].isEmpty())
                out << QStringLiteral("Группа %1: %2").arg(k).arg(escapeLine(p.groupTitles[static_cast<std::size_t>(k)]));
        }
    }
    out << QString();
    return out.join(QStringLiteral("\r\n"));
}

} // namespace zet
