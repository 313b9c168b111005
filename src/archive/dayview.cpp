#include "archive/dayview.h"

#include "archive/dayfile.h"
#include "model/cp1251.h"
#include "model/regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zet {

QStringList DayViewLines(QByteArrayView bytes) {
    const QString text = DecodeCp1251(bytes);
    const QString endMarker = DayFileEndMarker();
    QStringList lines;
    qsizetype pos = 0;
    const qsizetype size = text.size();
    while (pos < size && lines.size() < kDayViewLineLimit) {
        qsizetype end = pos;
        while (end < size && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
            ++end;
        const QString line = text.mid(pos, end - pos);
        if (line == endMarker)
            break;
        lines.append(line);
        pos = end;
        if (pos < size && text[pos] == QLatin1Char('\r'))
            ++pos;
        if (pos < size && text[pos] == QLatin1Char('\n'))
            ++pos;
    }
    return lines;
}

QString DayViewText(const QStringList& lines) {
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += QLatin1Char('\n');
    }
    return text;
}

DayView LoadDayView(const QString& path) {
    DayView view;
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        view.status = DayView::Missing;
        return view;
    }
    QFile file(path);
    if (!OpenRegularFile(file, &view.error)) {
        view.status = DayView::Unreadable;
        return view;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        view.status = DayView::Unreadable;
        view.error = QStringLiteral("Файл «%1» не удалось прочитать: %2")
                         .arg(QDir::toNativeSeparators(path), file.errorString());
        return view;
    }
    view.lines = DayViewLines(bytes);
    return view;
}

QList<int> DaysWithDayFile(const QString& programFolder, int year, int month) {
    QList<int> days;
    const QDate first(year, month, 1);
    if (!first.isValid())
        return days;
    for (int day = 1; day <= first.daysInMonth(); ++day) {
        if (QFileInfo(DayFilePathFor(programFolder, QDate(year, month, day))).isFile())
            days.append(day);
    }
    return days;
}

} // namespace zet
