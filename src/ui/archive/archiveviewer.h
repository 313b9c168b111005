#pragma once
// The results archive viewer ("Архив результатов тестирования"): a calendar on the
// left, the day's records on the right.

#include "app/appcore.h"

#include <QGroupBox>

class QCalendarWidget;
class QLabel;
class QPlainTextEdit;

namespace zet::ui {

class ArchiveViewer : public QGroupBox {
    Q_OBJECT
public:
    ArchiveViewer(AppCore& core, QWidget* parent);
    // Mode entry: selects today in the calendar and loads it.
    void enterMode();

    // The examiner picked a day: shows its day file, or says that there is none and keeps
    // the text shown before.
    void dayPicked();
    // Replaces the day text by the records of the day file at path, and the caption above
    // it by date. When the file cannot be shown, the text and the caption stay as they were.
    void showDay(const QString& path, const QDate& date);

private:
    // Bold for the days of the shown month that have a day file.
    void markDaysWithResults();

    AppCore& m_core;
    QCalendarWidget* m_calendar = nullptr;
    QLabel* m_dayCaption = nullptr;
    QPlainTextEdit* m_dayText = nullptr;
};

} // namespace zet::ui
