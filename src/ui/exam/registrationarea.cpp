#include "ui/exam/registrationarea.h"

#include "model/textvalue.h"
#include "ui/shell/uikit.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>

namespace zet::ui {

namespace {

constexpr double kAreaPoints = 15.75;
constexpr double kSequencePoints = 21.75;
constexpr int kResultLeft = 4860;
constexpr int kResultWidth = 1155;
constexpr int kBoxHeight = 465;
// The text of a disabled box: dark enough to be read on the light backgrounds.
const QColor kDisabledText{96, 96, 96};

void SetDisabledTextColor(QWidget* w) {
    QPalette p = w->palette();
    p.setColor(QPalette::Disabled, QPalette::Text, kDisabledText);
    w->setPalette(p);
}

// A list of the numbers first..last, one selection, scrolled a whole row at a time; every
// row is as high as the list's inside, so exactly one number shows.
QListWidget* MakeNumberList(QWidget* parent, const QString& name, const QString& accessibleName, int last,
                            int left, int top, int width, int height) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessibleName);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    list->setUniformItemSizes(true);
    PlaceTwips(list, left, top, width, height);
    const QSize row(Twips(width), list->height() - 2 * list->frameWidth());
    for (int n = 1; n <= last; ++n) {
        auto* item = new QListWidgetItem(NumberText(n), list);
        item->setSizeHint(row);
    }
    return list;
}

// Selects row without the list's own signals and without moving its visible part.
void SelectRowInPlace(QListWidget* list, int row) {
    if (row < 0 || row >= list->count())
        return;
    QScrollBar* bar = list->verticalScrollBar();
    const QSignalBlocker barBlocker(bar);
    const QSignalBlocker listBlocker(list);
    const int top = bar->value();
    list->setCurrentRow(row);
    bar->setValue(top);
    list->viewport()->update();
}

} // namespace

RegistrationArea::RegistrationArea(Module1& core, QWidget* parent) : QGroupBox(parent), m_core(core) {
    setObjectName(QStringLiteral("Frame2"));
    setTitle(QStringLiteral("Персональные сведенья"));
    setFont(TimesFont(kAreaPoints));
    PlaceTwips(this, 405, 0, 14475, 10065);

    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    Text2 = MakeInput("Text2", QStringLiteral("Ф.И.О. сдающего"), 4785, 435, 6855, kBoxHeight);
    MakeLabel(QStringLiteral("Label_Text2"), QStringLiteral("Ф.И.О. сдающего:"), 1875, 465, 2640, 465, right)
        ->setBuddy(Text2);
    Text11 = MakeInput("Text11", QStringLiteral("Год рождения"), 4770, 1095, 1155, kBoxHeight);
    MakeLabel(QStringLiteral("Label_Text11"), QStringLiteral("Год рождения:"), 255, 1140, 4260, 465, right)
        ->setBuddy(Text11);
    Text12 = MakeInput("Text12", QStringLiteral("Должность"), 4770, 1770, 6900, kBoxHeight);
    MakeLabel(QStringLiteral("Label_Text12"), QStringLiteral("Должность:"), 255, 1800, 4260, 465, right)
        ->setBuddy(Text12);
    Text13 = MakeInput("Text13", QStringLiteral("Стаж работы"), 4770, 2445, 1155, kBoxHeight);
    MakeLabel(QStringLiteral("Label_Text13"), QStringLiteral("Стаж работы:"), 255, 2520, 4260, 465, right)
        ->setBuddy(Text13);
    Text21 = MakeInput("Text21", QStringLiteral("Табельный номер"), 9750, 2445, 1965, kBoxHeight);
    MakeLabel(QStringLiteral("Label_Text21"), QStringLiteral("Табел. номер:"), 7830, 2475, 1890, 465, right)
        ->setBuddy(Text21);

    List23 = MakeNumberList(this, QStringLiteral("List23"), QStringLiteral("Профиль экзамена"), kProfileCount,
                            4770, 3120, 1155, 405);
    SetBoxColor(List23, kLightGreen);
    SetDisabledTextColor(List23);
    MakeLabel(QStringLiteral("Label_List23"), QStringLiteral("Профиль экзамена:"), 255, 3105, 4260, 465,
              right)
        ->setBuddy(List23);
    Text14 = MakeInput("Text14", QStringLiteral("Название профиля"), 6120, 3090, 8250, kBoxHeight);
    Text14->setReadOnly(true);

    List24 = MakeNumberList(this, QStringLiteral("List24"), QStringLiteral("Порядковый номер"),
                            kRegisterSlots, 810, 4095, 1245, 555);
    List24->setFont(TimesFont(kSequencePoints));
    MakeLabel(QStringLiteral("Label_List24"), QStringLiteral("Порядковый номер:"), 135, 3660, 3090, 450,
              Qt::AlignLeft | Qt::AlignVCenter)
        ->setBuddy(List24);

    Command3 = new QPushButton(QStringLiteral("Начать экзамен"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    PlaceTwips(Command3, 300, 4830, 2280, 570);

    MakeLabel(QStringLiteral("Label_Results"), QStringLiteral("Результаты экзамена:"), 345, 5370, 4260, 465,
              Qt::AlignLeft | Qt::AlignVCenter);
    Text15 = MakeResult("Text15", QStringLiteral("Номер протокола:"), 345, 5955, 5955, kResultWidth);
    Text16 = MakeResult("Text16", QStringLiteral("Профиль экзамена:"), 345, 6570, 6570, 9435);
    Text17 = MakeResult("Text17", QStringLiteral("Оценка:"), 345, 7200, 7200, kResultWidth);
    Text18 =
        MakeResult("Text18", QStringLiteral("Количество заданых вопросов:"), 345, 7815, 7815, kResultWidth);
    Text19 = MakeResult("Text19", QStringLiteral("Правильных ответов:"), 345, 8475, 8445, kResultWidth);
    Text20 = MakeResult("Text20", QStringLiteral("Затраченое время:"), 1980, 9045, 9060, kResultWidth);

    List24->setCurrentRow(0);

    connect(List23, &QListWidget::currentRowChanged, this, &RegistrationArea::List23_Click);
    connect(List24->verticalScrollBar(), &QScrollBar::valueChanged, this, &RegistrationArea::List24_Scroll);
    Text2->installEventFilter(this);
    for (QLineEdit* box : {Text11, Text12, Text13, Text21})
        box->installEventFilter(this);

    hide();
}

QLabel* RegistrationArea::MakeLabel(const QString& name, const QString& caption, int left, int top, int width,
                                    int height, Qt::Alignment alignment) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(name);
    label->setAlignment(alignment);
    PlaceTwips(label, left, top, width, height);
    return label;
}

QLineEdit* RegistrationArea::MakeInput(const char* name, const QString& accessibleName, int left, int top,
                                       int width, int height) {
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(accessibleName);
    SetBoxColor(box, kLightGreen);
    SetDisabledTextColor(box);
    PlaceTwips(box, left, top, width, height);
    return box;
}

QLineEdit* RegistrationArea::MakeResult(const char* name, const QString& caption, int labelLeft, int labelTop,
                                        int top, int width) {
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(caption.chopped(1));
    box->setReadOnly(true);
    box->setEnabled(false);
    SetBoxColor(box, kLightYellow);
    SetDisabledTextColor(box);
    PlaceTwips(box, kResultLeft, top, width, kBoxHeight);
    MakeLabel(QStringLiteral("Label_") + box->objectName(), caption, labelLeft, labelTop,
              kResultLeft - 60 - labelLeft, kBoxHeight, Qt::AlignLeft | Qt::AlignVCenter)
        ->setBuddy(box);
    return box;
}

int RegistrationArea::TopRow() const {
    const int row = List24->indexAt(QPoint(0, 0)).row();
    // Before the list has been laid out no row is at the top yet: the bar knows it.
    return row >= 0 ? row : List24->verticalScrollBar()->value();
}

void RegistrationArea::ScrollListTo(int row) {
    row = qBound(0, row, List24->count() - 1);
    QScrollBar* bar = List24->verticalScrollBar();
    const QSignalBlocker blocker(bar);
    List24->scrollToItem(List24->item(row), QAbstractItemView::PositionAtTop);
    // A list that has not been laid out yet cannot scroll: give it its range first.
    if (bar->value() != row) {
        List24->doItemsLayout();
        List24->scrollToItem(List24->item(row), QAbstractItemView::PositionAtTop);
    }
}

void RegistrationArea::SetInputsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{Text2, Text11, Text12, Text13, Text14, Text21, List23})
        w->setEnabled(enabled);
}

bool RegistrationArea::IsEarlierExaminee(int n) const {
    const ExamState& exam = m_core.exam;
    return n != exam.CurrentExaminee && (n < exam.CurrentExaminee || !exam.IsFree(n));
}

bool RegistrationArea::ShowsEarlierExaminee() const {
    const int current = m_core.exam.CurrentExaminee;
    return current >= 1 && current <= kRegisterSlots && IsEarlierExaminee(TopRow() + 1);
}

void RegistrationArea::ShowExaminee(int16 n) {
    const ExamState& exam = m_core.exam;
    // A used slot after a gap is shown read-only as well as the ones before the current.
    SetInputsEnabled(!IsEarlierExaminee(TopRow() + 1));

    if (n < 1 || n > kRegisterSlots)
        return;
    const ExamineeRecord& r = exam.DayRegister[n];
    Text2->setText(r.FullName);
    Text11->setText(NumberText(r.BirthYear));
    Text12->setText(r.JobTitle);
    Text13->setText(NumberText(r.Seniority));
    Text21->setText(r.PersonnelNo);
    {
        // The program's own selection is not a profile choice: the record names its profile.
        const QSignalBlocker blocker(List23);
        const int row = r.ProfileNo == 0 ? 0 : r.ProfileNo - 1;
        if (row >= 0 && row < List23->count()) {
            List23->setCurrentRow(row);
            List23->scrollToItem(List23->item(row), QAbstractItemView::PositionAtTop);
        } else {
            List23->clearSelection();
        }
    }
    Text14->setText(r.ProfileName);
    Text15->setText(NumberText(r.ProtocolNo));
    Text16->setText(r.ProfileName);
    Text17->setText(NumberText(r.Grade));
    Text18->setText(NumberText(r.AskedCount));
    Text19->setText(NumberText(r.RightCount));
    Text20->setText(NumberText(r.TimeSpent));
    for (QLineEdit* box : {Text2, Text12, Text14, Text16, Text21})
        box->setCursorPosition(0);
}

void RegistrationArea::List23_Click() {
    ExamState& exam = m_core.exam;
    const QListWidgetItem* item = List23->currentItem();
    if (!item)
        return;
    const std::optional<int16> chosen = Int16Rounded(item->text());
    if (!chosen || *chosen < 1 || *chosen > kProfileCount)
        return;
    exam.CurrentProfile = *chosen;
    const ExamProfile& profile = m_core.db.Profiles[exam.CurrentProfile];
    Text14->setText(profile.Name);
    Text14->setCursorPosition(0);
    Text16->setText(profile.Name);
    Text16->setCursorPosition(0);
    Text18->setText(NumberText(profile.QuestionCount));
    Text15->setText(NumberText(exam.CurrentExaminee));
    SelectCurrentExamineeRow();
}

void RegistrationArea::SelectCurrentExamineeRow() {
    SelectRowInPlace(List24, m_core.exam.CurrentExaminee - 1);
}

void RegistrationArea::ChooseCurrentProfile() {
    SelectRowInPlace(List23, m_core.exam.CurrentProfile - 1);
    List23->scrollToItem(List23->currentItem(), QAbstractItemView::PositionAtTop);
    List23_Click();
}

void RegistrationArea::List24_Scroll() {
    SelectCurrentExamineeRow();
    const int top = TopRow();
    ShowExaminee(static_cast<int16>(top + 1));
    // An examinee still to come is shown with the chosen profile's name and question
    // count, so that what a start stores matches the profile the exam runs with.
    if (List23->isEnabled())
        ChooseCurrentProfile();
}

void RegistrationArea::EnterMode() {
    show();
    ScrollListTo(m_core.exam.CurrentExaminee - 1);
    List24_Scroll();
    List23_Click();
    Text2->clear();
    // Ready for the name (focus alone does not empty the box; a click does).
    if (Text2->isEnabled())
        Text2->setFocus(Qt::OtherFocusReason);
}

RegistrationTexts RegistrationArea::Texts() const {
    RegistrationTexts t;
    t.FullName = Text2->text();
    t.BirthYear = Text11->text();
    t.JobTitle = Text12->text();
    t.Seniority = Text13->text();
    t.PersonnelNo = Text21->text();
    if (const QListWidgetItem* item = List23->currentItem(); item && item->isSelected())
        t.ProfileNo = item->text();
    t.ProfileName = Text14->text();
    t.AskedCount = Text18->text();
    return t;
}

void RegistrationArea::ShowResults(const FinishResult& result) {
    Text15->setText(NumberText(result.Examinee));
    Text17->setText(NumberText(result.Record.Grade));
    Text19->setText(NumberText(result.Record.RightCount));
    Text20->setText(NumberText(result.Record.TimeSpent));
}

bool RegistrationArea::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text2 && event->type() == QEvent::MouseButtonPress) {
        // Every click into the name box empties it; a disabled box shows an earlier
        // examinee and is left alone.
        if (Text2->isEnabled())
            Text2->clear();
    } else if (event->type() == QEvent::FocusIn) {
        // After the box's own focus handling, which would otherwise undo the selection.
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace zet::ui
