#include "ui/archive/archiveviewer.h"

#include "archive/dayfile.h"
#include "archive/dayview.h"
#include "ui/shell/messages.h"
#include "ui/shell/uikit.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextCharFormat>

namespace zet::ui {

ArchiveViewer::ArchiveViewer(AppCore& core, QWidget* parent) : QGroupBox(parent), m_core(core) {
    setObjectName(QStringLiteral("ArchiveViewer"));
    setTitle(QStringLiteral("Архив результатов тестирования"));
    placeTwips(this, 405, 0, 14475, 10065);
    setAutoFillBackground(true); // the area covers whatever lies beneath it

    m_calendar = new QCalendarWidget(this);
    m_calendar->setObjectName(QStringLiteral("calendar"));
    m_calendar->setAccessibleName(QStringLiteral("Календарь"));
    m_calendar->setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendar->setGridVisible(true);
    placeTwips(m_calendar, 360, 405, 4155, 3255);

    // Names the day whose records are on show, so that after "no data for this day" the
    // examiner can tell that the text is still the earlier day's.
    m_dayCaption = new QLabel(this);
    m_dayCaption->setObjectName(QStringLiteral("dayCaption"));
    m_dayCaption->setAccessibleName(QStringLiteral("Показанный день"));
    placeTwips(m_dayCaption, 6210, 405, 7350, 285);

    m_dayText = new QPlainTextEdit(this);
    m_dayText->setObjectName(QStringLiteral("dayText"));
    m_dayText->setAccessibleName(QStringLiteral("Результаты тестирования за день"));
    m_dayText->setReadOnly(true);
    m_dayText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setBoxColor(m_dayText, kLightGreen);
    placeTwips(m_dayText, 6210, 720, 7350, 9240);

    // A day is picked by a click or by Enter; moving through the days with the arrow keys
    // only selects, so that passing over days without results raises no message.
    connect(m_calendar, &QCalendarWidget::clicked, this, [this] { dayPicked(); });
    connect(m_calendar, &QCalendarWidget::activated, this, [this] { dayPicked(); });
    connect(m_calendar, &QCalendarWidget::currentPageChanged, this, [this] { markDaysWithResults(); });

    hide();
}

void ArchiveViewer::enterMode() {
    show();
    m_calendar->setSelectedDate(m_core.today());
    m_calendar->setCurrentPage(m_core.today().year(), m_core.today().month());
    dayPicked();
}

void ArchiveViewer::dayPicked() {
    const QDate date = m_calendar->selectedDate();
    showDay(dayFilePathFor(m_core.database().programFolder, date), date);
}

void ArchiveViewer::showDay(const QString& path, const QDate& date) {
    const DayView view = loadDayView(path);
    switch (view.status) {
    case DayView::Shown:
        m_dayText->setPlainText(dayViewText(view.lines));
    {
        // The text stays as the file has it; records the journal keeps otherwise are named here.
        QString caption = QStringLiteral("Результаты за %1").arg(date.toString(QStringLiteral("dd.MM.yyyy")));
        const QStringList edited = m_core.editedDayRecords(path, date);
        if (!edited.isEmpty())
            caption += QStringLiteral(" — изменены после экзамена: %1").arg(edited.join(QStringLiteral(", ")));
        m_dayCaption->setText(caption);
        m_dayCaption->setStyleSheet(edited.isEmpty() ? QString() : QStringLiteral("color: #a00000"));
        break;
    }
    case DayView::Missing:
        showMessage(this, QStringLiteral("Данные за этот день отсутствуют"));
        break;
    case DayView::Unreadable:
        showMessage(this, view.error);
        break;
    }
    markDaysWithResults();
}

void ArchiveViewer::markDaysWithResults() {
    m_calendar->setDateTextFormat(QDate(), QTextCharFormat());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    const int year = m_calendar->yearShown();
    const int month = m_calendar->monthShown();
    for (int day : daysWithDayFile(m_core.database().programFolder, year, month))
        m_calendar->setDateTextFormat(QDate(year, month, day), bold);
}

} // namespace zet::ui
