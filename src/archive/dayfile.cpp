#include "archive/dayfile.h"

#include "archive/monthnames.h"

#include <QDir>

namespace zet {

const QStringList& DayFileLabels() {
    static const QStringList labels = {
        QStringLiteral("Порядковый номер: "),
        QStringLiteral("Номер профиля: "),
        QStringLiteral("Название теста: "),
        QStringLiteral("Ф.И.О.: "),
        QStringLiteral("Год рождения: "),
        QStringLiteral("Профессия: "),
        QStringLiteral("Стаж работы: "),
        QStringLiteral("Оценка за экзамен: "),
        QStringLiteral("Количество заданных вопросов: "),
        QStringLiteral("Количество правильных ответов: "),
        QStringLiteral("Время затраченое на экзамен, сек.: "),
        QStringLiteral("Табельный номер: "),
    };
    return labels;
}

QString DayFileSeparator() {
    return QString(58, QLatin1Char('*'));
}

QString DayFileEndMarker() {
    return DayFileLabels().at(0) + QStringLiteral(" 0");
}

QString MonthFolderFor(const QString& programFolder, const QDate& date) {
    return programFolder + QString::number(date.year()) + QDir::separator() + MonthNominative(date.month());
}

QString DayFileNameFor(const QDate& date) {
    return DateText(date) + QStringLiteral(".txt");
}

QString DayFilePathFor(const QString& programFolder, const QDate& date) {
    return MonthFolderFor(programFolder, date) + QDir::separator() + DayFileNameFor(date);
}

} // namespace zet
