#include "archive/dayview.h"

#include "archive/dayfile.h"
#include "model/cp1251.h"
#include "model/regularfile.h"
#include "model/systemerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace zet {

QStringList dayViewLines(QByteArrayView bytes) {
    // Windows-1251 has one byte a character, so lines are found in the bytes and only the
    // part of a line that is shown is decoded.
    const QString endMarker = dayFileEndMarker();
    QStringList lines;
    const char* const begin = bytes.data();
    const char* const stop = begin + bytes.size();
    const char* pos = begin;
    while (pos < stop && lines.size() < kDayViewLineLimit) {
        const char* end = std::find_if(pos, stop, [](char c) { return c == '\r' || c == '\n'; });
        const qsizetype length = end - pos;
        QString line = decodeCp1251(QByteArrayView(pos, std::min(length, kDayViewLineWidth)));
        if (length > kDayViewLineWidth) {
            line += QStringLiteral(" … [строка обрезана: показаны первые %1 из %2 символов]")
                        .arg(kDayViewLineWidth)
                        .arg(length);
        } else if (line == endMarker) {
            break;
        }
        lines.append(line);
        pos = end;
        if (pos < stop && *pos == '\r')
            ++pos;
        if (pos < stop && *pos == '\n')
            ++pos;
    }
    return lines;
}

QString dayViewText(const QStringList& lines) {
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += QLatin1Char('\n');
    }
    return text;
}

DayView loadDayView(const QString& path) {
    DayView view;
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        view.status = DayView::Missing;
        return view;
    }
    QFile file(path);
    if (!openRegularFile(file, &view.error)) {
        view.status = DayView::Unreadable;
        return view;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        view.status = DayView::Unreadable;
        view.error = QStringLiteral("Файл «%1» не удалось прочитать: %2")
                         .arg(QDir::toNativeSeparators(path), russianSystemError(file.errorString()));
        return view;
    }
    view.lines = dayViewLines(bytes);
    return view;
}

QList<int> daysWithDayFile(const QString& programFolder, int year, int month) {
    QList<int> days;
    const QDate first(year, month, 1);
    if (!first.isValid())
        return days;
    for (int day = 1; day <= first.daysInMonth(); ++day) {
        if (QFileInfo(dayFilePathFor(programFolder, QDate(year, month, day))).isFile())
            days.append(day);
    }
    return days;
}

} // namespace zet
