#include "documents/journaltables.h"

namespace zet {

using Kind = ExportColumn::Kind;

QString resultText(int grade) {
    return grade > 2 ? QStringLiteral("сдал") : QStringLiteral("не сдал");
}

QString dueStatusText(const DueEntry& entry) {
    if (entry.neverChecked())
        return QStringLiteral("не проверялся");
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
                     {QStringLiteral("Подразделение"), Kind::Text},
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
        case 5: return textOrNull(e.department);
        case 6: return e.seniority;
        case 7: return textOrNull(e.personnelNo);
        case 8: return e.profileNo;
        case 9: return textOrNull(e.profileName);
        case 10: return textOrNull(e.testName);
        case 11: return e.grade;
        case 12: return e.right;
        case 13: return e.asked;
        case 14: return e.secondsSpent;
        case 15: return resultText(e.grade);
        case 16: return timeOrNull(e.startedAt);
        case 17: return timeOrNull(e.finishedAt);
        case 18: return textOrNull(e.workstation);
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
                     {QStringLiteral("Подразделение"), Kind::Text},
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
        case 3: return textOrNull(d.department);
        case 4: return d.profileNo;
        case 5: return textOrNull(d.profileName);
        case 6: return d.neverChecked() ? QVariant() : QVariant(d.lastExam);
        case 7: return d.neverChecked() ? QVariant() : QVariant(d.lastGrade);
        case 8: return d.periodMonths;
        case 9: return d.due;
        case 10: return d.daysLeft;
        case 11: return textOrNull(dueStatusText(d));
        }
        return {};
    };
    return table;
}

ExportTable registerTable(const QList<JournalEntry>& exams, const QString& department, const QDate& from,
                          const QDate& until, const ProtocolSettings& settings) {
    ExportTable table;
    table.sheetName = QStringLiteral("Журнал проверки знаний");
    const QString format = QStringLiteral("dd.MM.yyyy");
    QString period = QStringLiteral("за всё время");
    if (from.isValid() && until.isValid())
        period = QStringLiteral("с %1 по %2").arg(from.toString(format), until.toString(format));
    else if (from.isValid())
        period = QStringLiteral("с %1").arg(from.toString(format));
    else if (until.isValid())
        period = QStringLiteral("по %1").arg(until.toString(format));
    table.heading = {QStringLiteral("Журнал регистрации проверки знаний"),
                     QStringLiteral("Подразделение: %1").arg(department.trimmed()),
                     QStringLiteral("Период: %1").arg(period)};
    if (!settings.organisation.trimmed().isEmpty())
        table.heading.insert(1, settings.organisation.trimmed());
    table.columns = {{QStringLiteral("Дата"), Kind::Date},
                     {QStringLiteral("ФИО"), Kind::Text},
                     {QStringLiteral("Должность"), Kind::Text},
                     {QStringLiteral("Табельный номер"), Kind::Text},
                     {QStringLiteral("Программа обучения (профиль)"), Kind::Text},
                     {QStringLiteral("Оценка"), Kind::Integer},
                     {QStringLiteral("Результат"), Kind::Text},
                     {QStringLiteral("№ протокола"), Kind::Integer},
                     {QStringLiteral("Подпись"), Kind::Text}};
    table.rowCount = int(exams.size());
    table.cell = [&exams, settings](int row, int column) -> QVariant {
        const JournalEntry& e = exams.at(row);
        switch (column) {
        case 0: return e.date;
        case 1: return e.fullName;
        case 2: return textOrNull(e.jobTitle);
        case 3: return textOrNull(e.personnelNo);
        case 4: return textOrNull(settings.programmeFor(e.profileNo, e.profileName));
        case 5: return e.grade;
        case 6: return resultText(e.grade);
        case 7: return e.protocolNo;
        }
        return {};
    };
    return table;
}

} // namespace zet
