#include "documents/journaltables.h"

namespace zet {

using Kind = ExportColumn::Kind;

QString resultText(int grade) {
    return grade > 2 ? QStringLiteral("сдал") : QStringLiteral("не сдал");
}

QString dueStatusText(const DueEntry& entry) {
    if (entry.failed())
        return entry.overdue() ? QStringLiteral("не сдал, просрочено") : QStringLiteral("не сдал");
    if (entry.overdue())
        return QStringLiteral("просрочено");
    if (entry.daysLeft <= JournalReports::kSoonDays)
        return QStringLiteral("скоро");
    return {};
}

namespace {

QVariant textOrNull(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariant timeOrNull(const QDateTime& time) {
    return time.isValid() ? QVariant(time) : QVariant();
}

} // namespace

ExportTable examsTable(const QList<JournalEntry>& exams) {
    ExportTable table;
    table.sheetName = QStringLiteral("Экзамены");
    table.columns = {{QStringLiteral("Дата"), Kind::Date},
                     {QStringLiteral("№ протокола"), Kind::Integer},
                     {QStringLiteral("ФИО"), Kind::Text},
                     {QStringLiteral("Год рождения"), Kind::Integer},
                     {QStringLiteral("Должность"), Kind::Text},
                     {QStringLiteral("Стаж"), Kind::Integer},
                     {QStringLiteral("Табельный номер"), Kind::Text},
                     {QStringLiteral("№ профиля"), Kind::Integer},
                     {QStringLiteral("Профиль"), Kind::Text},
                     {QStringLiteral("Тест"), Kind::Text},
                     {QStringLiteral("Оценка"), Kind::Integer},
                     {QStringLiteral("Верно"), Kind::Integer},
                     {QStringLiteral("Задано"), Kind::Integer},
                     {QStringLiteral("Время, с"), Kind::Integer},
                     {QStringLiteral("Результат"), Kind::Text},
                     {QStringLiteral("Начало"), Kind::DateTime},
                     {QStringLiteral("Окончание"), Kind::DateTime},
                     {QStringLiteral("Рабочее место"), Kind::Text}};
    table.rowCount = int(exams.size());
    table.cell = [&exams](int row, int column) -> QVariant {
        const JournalEntry& e = exams.at(row);
        switch (column) {
        case 0: return e.date;
        case 1: return e.protocolNo;
        case 2: return e.fullName;
        case 3: return e.birthYear;
        case 4: return textOrNull(e.jobTitle);
        case 5: return e.seniority;
        case 6: return textOrNull(e.personnelNo);
        case 7: return e.profileNo;
        case 8: return textOrNull(e.profileName);
        case 9: return textOrNull(e.testName);
        case 10: return e.grade;
        case 11: return e.right;
        case 12: return e.asked;
        case 13: return e.secondsSpent;
        case 14: return resultText(e.grade);
        case 15: return timeOrNull(e.startedAt);
        case 16: return timeOrNull(e.finishedAt);
        case 17: return textOrNull(e.workstation);
        }
        return {};
    };
    return table;
}

ExportTable statisticsTable(const QList<QuestionStatistic>& statistics) {
    ExportTable table;
    table.sheetName = QStringLiteral("Вопросы");
    table.columns = {{QStringLiteral("Тема"), Kind::Integer},
                     {QStringLiteral("№ вопроса"), Kind::Integer},
                     {QStringLiteral("Вопрос"), Kind::Text},
                     {QStringLiteral("Задан, раз"), Kind::Integer},
                     {QStringLiteral("Неверно, раз"), Kind::Integer},
                     {QStringLiteral("Доля неверных"), Kind::Percent}};
    table.rowCount = int(statistics.size());
    table.cell = [&statistics](int row, int column) -> QVariant {
        const QuestionStatistic& s = statistics.at(row);
        switch (column) {
        case 0: return s.theme;
        case 1: return s.questionNo;
        case 2: return s.questionText;
        case 3: return s.asked;
        case 4: return s.wrong;
        case 5: return s.wrongShare();
        }
        return {};
    };
    return table;
}

ExportTable dueTable(const QList<DueEntry>& due) {
    ExportTable table;
    table.sheetName = QStringLiteral("Повторная проверка");
    table.columns = {{QStringLiteral("Табельный номер"), Kind::Text},
                     {QStringLiteral("ФИО"), Kind::Text},
                     {QStringLiteral("Должность"), Kind::Text},
                     {QStringLiteral("№ профиля"), Kind::Integer},
                     {QStringLiteral("Профиль"), Kind::Text},
                     {QStringLiteral("Последняя проверка"), Kind::Date},
                     {QStringLiteral("Оценка"), Kind::Integer},
                     {QStringLiteral("Срок, мес."), Kind::Integer},
                     {QStringLiteral("Следующая проверка"), Kind::Date},
                     {QStringLiteral("Осталось дней"), Kind::Integer},
                     {QStringLiteral("Состояние"), Kind::Text}};
    table.rowCount = int(due.size());
    table.cell = [&due](int row, int column) -> QVariant {
        const DueEntry& d = due.at(row);
        switch (column) {
        case 0: return textOrNull(d.personnelNo);
        case 1: return d.fullName;
        case 2: return textOrNull(d.jobTitle);
        case 3: return d.profileNo;
        case 4: return textOrNull(d.profileName);
        case 5: return d.lastExam;
        case 6: return d.lastGrade;
        case 7: return d.periodMonths;
        case 8: return d.due;
        case 9: return d.daysLeft;
        case 10: return textOrNull(dueStatusText(d));
        }
        return {};
    };
    return table;
}

} // namespace zet
