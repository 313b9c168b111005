// Builds a test database file from its readable source (see sample.txt for the format).
// Usage: make_sample <source.txt> <database.zet>
// Every mistake in the source is reported as "<file>:<line>: <what>" and no file is written.

#include "model/database.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>
#include <optional>

using namespace zet;

namespace {

const QString kAllGroups = QStringLiteral("1111111111");

class SampleReader {
public:
    SampleReader() { db.NewDatabase(); }

    Database db;
    QString error;
    int errorLine = 0;

    bool Line(const QString& line, int number) {
        m_line = number;
        static const QRegularExpression theme(QStringLiteral("^Тема\\s+(\\d+):\\s*(.+)$"));
        static const QRegularExpression profile(QStringLiteral("^Профиль\\s+(\\d+):\\s*(.+)$"));
        QRegularExpressionMatch m;
        QString rest;
        if (Key(line, QStringLiteral("Название теста:"), &rest))
            return Header(2, rest);
        if (Key(line, QStringLiteral("Автор:"), &rest))
            return Header(3, rest);
        if (Key(line, QStringLiteral("Дата:"), &rest)) {
            if (!QDate::fromString(rest, QStringLiteral("MM-dd-yyyy")).isValid())
                return Fail(QStringLiteral("дата пишется как ММ-ДД-ГГГГ"));
            return Header(4, rest);
        }
        if ((m = theme.match(line)).hasMatch())
            return StartTheme(m.captured(1).toInt(), m.captured(2).trimmed());
        if ((m = profile.match(line)).hasMatch())
            return StartProfile(m.captured(1).toInt(), m.captured(2).trimmed());
        if (Key(line, QStringLiteral("?"), &rest))
            return StartQuestion(rest);
        if (Key(line, QStringLiteral("+"), &rest))
            return Answer(true, rest);
        if (Key(line, QStringLiteral("-"), &rest))
            return Answer(false, rest);
        if (Key(line, QStringLiteral("Вопросов:"), &rest))
            return ProfileNumber(rest, 1, kSlotCount, &ExamProfile::QuestionCount);
        if (Key(line, QStringLiteral("Время:"), &rest))
            return ProfileNumber(rest, 1, 32767, &ExamProfile::TimeLimit);
        if (Key(line, QStringLiteral("Оценки:"), &rest))
            return Thresholds(rest);
        if (Key(line, QStringLiteral("Темы:"), &rest))
            return SlotThemes(rest);
        return Fail(QStringLiteral("непонятная строка"));
    }

    bool Finish() {
        if (!FinishQuestion() || !FinishProfile())
            return false;
        m_line = 0;
        if (db.DatabaseHeader[2].isEmpty())
            return Fail(QStringLiteral("нет названия теста"));
        // Every exam of a described profile can be put together without repeating a question.
        for (int i : m_profiles) {
            const ExamProfile& pr = db.Profiles[i];
            std::array<int, kThemeCount + 1> wanted{};
            for (int s = 1; s <= pr.QuestionCount; ++s)
                ++wanted[pr.SlotTheme[s]];
            for (int t = 1; t <= kThemeCount; ++t) {
                if (wanted[t] > m_questionCount[t])
                    return Fail(QStringLiteral("профилю %1 нужно %2 вопр. темы %3, а в ней %4")
                                    .arg(i)
                                    .arg(wanted[t])
                                    .arg(t)
                                    .arg(m_questionCount[t]));
            }
        }
        return true;
    }

private:
    static bool Key(const QString& line, const QString& key, QString* rest) {
        if (!line.startsWith(key))
            return false;
        *rest = line.mid(key.size()).trimmed();
        return true;
    }

    bool Fail(const QString& what) {
        error = what;
        errorLine = m_line;
        return false;
    }

    bool Header(int index, const QString& value) {
        if (value.isEmpty())
            return Fail(QStringLiteral("пустое значение"));
        db.DatabaseHeader[index] = value;
        return true;
    }

    bool StartTheme(int theme, const QString& title) {
        if (!FinishQuestion() || !FinishProfile())
            return false;
        if (theme < 1 || theme > kThemeCount)
            return Fail(QStringLiteral("номер темы должен быть от 1 до %1").arg(kThemeCount));
        if (!db.Questions(theme, 0, 0).isEmpty())
            return Fail(QStringLiteral("тема %1 уже описана").arg(theme));
        db.Questions(theme, 0, 0) = title;
        m_theme = theme;
        return true;
    }

    bool StartQuestion(const QString& text) {
        if (!FinishQuestion() || !FinishProfile())
            return false;
        if (m_theme == 0)
            return Fail(QStringLiteral("вопрос вне темы"));
        if (text.isEmpty())
            return Fail(QStringLiteral("пустой вопрос"));
        if (m_questionCount[m_theme] == kQuestionSlots)
            return Fail(QStringLiteral("в теме не больше %1 вопросов").arg(kQuestionSlots));
        m_question = ++m_questionCount[m_theme];
        m_questionLine = m_line;
        m_correct.reset();
        m_wrong.clear();
        db.Questions(m_theme, m_question, 0) = kAllGroups + text;
        return true;
    }

    bool Answer(bool correct, const QString& text) {
        if (m_question == 0)
            return Fail(QStringLiteral("ответ без вопроса"));
        if (text.isEmpty())
            return Fail(QStringLiteral("пустой ответ"));
        if (correct) {
            if (m_correct)
                return Fail(QStringLiteral("второй правильный ответ"));
            m_correct = text;
        } else {
            if (m_wrong.size() == 4)
                return Fail(QStringLiteral("больше четырёх неправильных ответов"));
            m_wrong.append(text);
        }
        return true;
    }

    bool FinishQuestion() {
        if (m_question == 0)
            return true;
        if (!m_correct || m_wrong.size() != 4) {
            m_line = m_questionLine;
            return Fail(QStringLiteral("у вопроса должны быть один правильный и четыре неправильных ответа"));
        }
        db.Questions(m_theme, m_question, 1) = *m_correct;
        for (int k = 0; k < 4; ++k)
            db.Questions(m_theme, m_question, 2 + k) = m_wrong.at(k);
        m_question = 0;
        return true;
    }

    bool StartProfile(int number, const QString& name) {
        if (!FinishQuestion() || !FinishProfile())
            return false;
        m_theme = 0;
        if (number < 1 || number > kProfileCount)
            return Fail(QStringLiteral("номер профиля должен быть от 1 до %1").arg(kProfileCount));
        if (m_profiles.contains(number))
            return Fail(QStringLiteral("профиль %1 уже описан").arg(number));
        m_profile = number;
        m_profileLine = m_line;
        m_slotsGiven = 0;
        m_profiles.append(number);
        db.Profiles[number].Name = name;
        return true;
    }

    bool ProfileNumber(const QString& text, int low, int high, int16 ExamProfile::*field) {
        if (m_profile == 0)
            return Fail(QStringLiteral("значение вне профиля"));
        bool ok = false;
        const int value = text.toInt(&ok);
        if (!ok || value < low || value > high)
            return Fail(QStringLiteral("нужно число от %1 до %2").arg(low).arg(high));
        db.Profiles[m_profile].*field = static_cast<int16>(value);
        return true;
    }

    bool Thresholds(const QString& text) {
        if (m_profile == 0)
            return Fail(QStringLiteral("значение вне профиля"));
        const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        std::array<int, 3> v{};
        for (int k = 0; k < 3; ++k) {
            bool ok = k < parts.size();
            v[k] = ok ? parts.at(k).toInt(&ok) : 0;
            if (!ok || v[k] < 1 || v[k] > kSlotCount)
                return Fail(
                    QStringLiteral("нужны три числа от 1 до %1: на «5», на «4» и на «3»").arg(kSlotCount));
        }
        if (parts.size() != 3 || !(v[0] >= v[1] && v[1] >= v[2]))
            return Fail(QStringLiteral("нужны три числа по убыванию: на «5», на «4» и на «3»"));
        ExamProfile& pr = db.Profiles[m_profile];
        pr.ExcellentMin = static_cast<int16>(v[0]);
        pr.GoodMin = static_cast<int16>(v[1]);
        pr.FairMin = static_cast<int16>(v[2]);
        return true;
    }

    bool SlotThemes(const QString& text) {
        if (m_profile == 0)
            return Fail(QStringLiteral("значение вне профиля"));
        const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.isEmpty() || parts.size() > kSlotCount)
            return Fail(QStringLiteral("нужно от 1 до %1 номеров тем").arg(kSlotCount));
        for (int s = 0; s < parts.size(); ++s) {
            bool ok = false;
            const int t = parts.at(s).toInt(&ok);
            if (!ok || t < 1 || t > kThemeCount)
                return Fail(QStringLiteral("номер темы должен быть от 1 до %1").arg(kThemeCount));
            db.Profiles[m_profile].SlotTheme[s + 1] = static_cast<int16>(t);
        }
        m_slotsGiven = static_cast<int>(parts.size());
        return true;
    }

    bool FinishProfile() {
        if (m_profile == 0)
            return true;
        const ExamProfile& pr = db.Profiles[m_profile];
        if (m_slotsGiven != pr.QuestionCount) {
            m_line = m_profileLine;
            return Fail(QStringLiteral("в строке «Темы:» нужно столько номеров, сколько вопросов (%1)")
                            .arg(pr.QuestionCount));
        }
        if (pr.ExcellentMin > pr.QuestionCount) {
            m_line = m_profileLine;
            return Fail(QStringLiteral("на «5» нужно больше правильных ответов, чем вопросов"));
        }
        m_profile = 0;
        return true;
    }

    int m_line = 0;
    int m_theme = 0;
    int m_question = 0;
    int m_questionLine = 0;
    std::optional<QString> m_correct;
    QStringList m_wrong;
    std::array<int, kThemeCount + 1> m_questionCount{};
    int m_profile = 0;
    int m_profileLine = 0;
    int m_slotsGiven = 0;
    QList<int> m_profiles;
};

int Report(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3)
        return Report(QStringLiteral("usage: make_sample <source.txt> <database.zet>"));
    const QString source = QFile::decodeName(argv[1]);
    const QString target = QFile::decodeName(argv[2]);
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return Report(QStringLiteral("%1: %2").arg(source, in.errorString()));
    const QStringList lines = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'));

    SampleReader reader;
    bool ok = true;
    for (int i = 0; i < lines.size() && ok; ++i) {
        const QString line = lines.at(i).trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            ok = reader.Line(line, i + 1);
    }
    if (ok)
        ok = reader.Finish();
    if (!ok) {
        const QString where =
            reader.errorLine > 0 ? QStringLiteral("%1:%2").arg(source).arg(reader.errorLine) : source;
        return Report(QStringLiteral("%1: %2").arg(where, reader.error));
    }

    reader.db.DatabasePath = target;
    const SaveResult saved = reader.db.SaveDatabase();
    if (!saved.ok())
        return Report(saved.error);
    if (!saved.issues.empty()) {
        QFile::remove(target);
        for (const StoredValueIssue& issue : saved.issues) {
            Report(QStringLiteral("%1: %2 %3")
                       .arg(source, issue.field,
                            issue.kind == StoredValueIssue::Truncated
                                ? QStringLiteral("длиннее 498 байт")
                                : QStringLiteral("содержит символы вне кодировки Windows-1251")));
        }
        return 1;
    }
    return 0;
}
