#include "ui/archive/archiveviewer.h"

#include "archive/dayfile.h"
#include "archive/dayview.h"
#include "ui/shell/messages.h"
#include "ui/shell/uikit.h"

#include <QCalendarWidget>
#include <QPlainTextEdit>
#include <QTextCharFormat>

namespace zet::ui {

ArchiveViewer::ArchiveViewer(Module1& core, QWidget* parent) : QGroupBox(parent), m_core(core) {
    setObjectName(QStringLiteral("Frame6"));
    setTitle(QStringLiteral("Архив результатов тестирования"));
    PlaceTwips(this, 405, 0, 14475, 10065);
    setAutoFillBackground(true); // the area covers whatever lies beneath it

    m_calendar = new QCalendarWidget(this);
    m_calendar->setObjectName(QStringLiteral("Calendar1"));
    m_calendar->setAccessibleName(QStringLiteral("Календарь"));
    m_calendar->setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendar->setGridVisible(true);
    PlaceTwips(m_calendar, 360, 405, 4155, 3255);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("Text25"));
    m_text->setAccessibleName(QStringLiteral("Результаты тестирования за день"));
    m_text->setReadOnly(true);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SetBoxColor(m_text, kLightGreen);
    PlaceTwips(m_text, 6210, 405, 7350, 9240);

    // A day is picked by a click or by Enter; moving through the days with the arrow keys
    // only selects, so that passing over days without results raises no message.
    connect(m_calendar, &QCalendarWidget::clicked, this, [this] { Calendar1_Click(); });
    connect(m_calendar, &QCalendarWidget::activated, this, [this] { Calendar1_Click(); });
    connect(m_calendar, &QCalendarWidget::currentPageChanged, this, [this] { MarkDaysWithResults(); });

    hide();
}

void ArchiveViewer::EnterMode() {
    show();
    m_calendar->setSelectedDate(m_core.Today());
    m_calendar->setCurrentPage(m_core.Today().year(), m_core.Today().month());
    Calendar1_Click();
}

void ArchiveViewer::Calendar1_Click() {
    Load_Exam_Arh(DayFilePathFor(m_core.db.ProgramFolder, m_calendar->selectedDate()));
}

void ArchiveViewer::Load_Exam_Arh(const QString& path) {
    const DayView view = LoadDayView(path);
    switch (view.status) {
    case DayView::Shown:
        m_text->setPlainText(DayViewText(view.lines));
        break;
    case DayView::Missing:
        ShowMessage(this, QStringLiteral("Данные за этот день отсутствуют"));
        break;
    case DayView::Unreadable:
        ShowMessage(this, view.error);
        break;
    }
    MarkDaysWithResults();
}

void ArchiveViewer::MarkDaysWithResults() {
    m_calendar->setDateTextFormat(QDate(), QTextCharFormat());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    const int year = m_calendar->yearShown();
    const int month = m_calendar->monthShown();
    for (int day : DaysWithDayFile(m_core.db.ProgramFolder, year, month))
        m_calendar->setDateTextFormat(QDate(year, month, day), bold);
}

} // namespace zet::ui
