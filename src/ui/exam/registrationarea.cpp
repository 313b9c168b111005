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

void setDisabledTextColor(QWidget* w) {
    QPalette p = w->palette();
    p.setColor(QPalette::Disabled, QPalette::Text, kDisabledText);
    w->setPalette(p);
}

// A list of the numbers first..last, one selection, scrolled a whole row at a time; every
// row is as high as the list's inside, so exactly one number shows.
QListWidget* makeNumberList(QWidget* parent, const QString& name, const QString& accessibleName, int last,
                            int left, int top, int width, int height) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessibleName);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    list->setUniformItemSizes(true);
    placeTwips(list, left, top, width, height);
    const QSize row(twips(width), list->height() - 2 * list->frameWidth());
    for (int n = 1; n <= last; ++n) {
        auto* item = new QListWidgetItem(numberText(n), list);
        item->setSizeHint(row);
    }
    return list;
}

// Selects row without the list's own signals and without moving its visible part.
void selectRowInPlace(QListWidget* list, int row) {
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

RegistrationArea::RegistrationArea(AppCore& core, QWidget* parent) : QGroupBox(parent), m_core(core) {
    setObjectName(QStringLiteral("RegistrationArea"));
    setTitle(QStringLiteral("Персональные сведенья"));
    setFont(timesFont(kAreaPoints));
    placeTwips(this, 405, 0, 14475, 10065);

    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    text2 = makeInput("Text2", QStringLiteral("Ф.И.О. сдающего"), 4785, 435, 6855, kBoxHeight);
    makeLabel(QStringLiteral("Label_Text2"), QStringLiteral("Ф.И.О. сдающего:"), 1875, 465, 2640, 465, right)
        ->setBuddy(text2);
    text11 = makeInput("Text11", QStringLiteral("Год рождения"), 4770, 1095, 1155, kBoxHeight);
    makeLabel(QStringLiteral("Label_Text11"), QStringLiteral("Год рождения:"), 255, 1140, 4260, 465, right)
        ->setBuddy(text11);
    text12 = makeInput("Text12", QStringLiteral("Должность"), 4770, 1770, 6900, kBoxHeight);
    makeLabel(QStringLiteral("Label_Text12"), QStringLiteral("Должность:"), 255, 1800, 4260, 465, right)
        ->setBuddy(text12);
    text13 = makeInput("Text13", QStringLiteral("Стаж работы"), 4770, 2445, 1155, kBoxHeight);
    makeLabel(QStringLiteral("Label_Text13"), QStringLiteral("Стаж работы:"), 255, 2520, 4260, 465, right)
        ->setBuddy(text13);
    text21 = makeInput("Text21", QStringLiteral("Табельный номер"), 9750, 2445, 1965, kBoxHeight);
    makeLabel(QStringLiteral("Label_Text21"), QStringLiteral("Табел. номер:"), 7830, 2475, 1890, 465, right)
        ->setBuddy(text21);

    list23 = makeNumberList(this, QStringLiteral("List23"), QStringLiteral("Профиль экзамена"), kProfileCount,
                            4770, 3120, 1155, 405);
    setBoxColor(list23, kLightGreen);
    setDisabledTextColor(list23);
    makeLabel(QStringLiteral("Label_List23"), QStringLiteral("Профиль экзамена:"), 255, 3105, 4260, 465,
              right)
        ->setBuddy(list23);
    text14 = makeInput("Text14", QStringLiteral("Название профиля"), 6120, 3090, 8250, kBoxHeight);
    text14->setReadOnly(true);

    list24 = makeNumberList(this, QStringLiteral("List24"), QStringLiteral("Порядковый номер"),
                            kRegisterSlots, 810, 4095, 1245, 555);
    list24->setFont(timesFont(kSequencePoints));
    makeLabel(QStringLiteral("Label_List24"), QStringLiteral("Порядковый номер:"), 135, 3660, 3090, 450,
              Qt::AlignLeft | Qt::AlignVCenter)
        ->setBuddy(list24);

    command3 = new QPushButton(QStringLiteral("Начать экзамен"), this);
    command3->setObjectName(QStringLiteral("Command3"));
    placeTwips(command3, 300, 4830, 2280, 570);

    makeLabel(QStringLiteral("Label_Results"), QStringLiteral("Результаты экзамена:"), 345, 5370, 4260, 465,
              Qt::AlignLeft | Qt::AlignVCenter);
    text15 = makeResult("Text15", QStringLiteral("Номер протокола:"), 345, 5955, 5955, kResultWidth);
    text16 = makeResult("Text16", QStringLiteral("Профиль экзамена:"), 345, 6570, 6570, 9435);
    text17 = makeResult("Text17", QStringLiteral("Оценка:"), 345, 7200, 7200, kResultWidth);
    text18 =
        makeResult("Text18", QStringLiteral("Количество заданых вопросов:"), 345, 7815, 7815, kResultWidth);
    text19 = makeResult("Text19", QStringLiteral("Правильных ответов:"), 345, 8475, 8445, kResultWidth);
    text20 = makeResult("Text20", QStringLiteral("Затраченое время:"), 1980, 9045, 9060, kResultWidth);

    list24->setCurrentRow(0);

    connect(list23, &QListWidget::currentRowChanged, this, &RegistrationArea::list23Click);
    connect(list24->verticalScrollBar(), &QScrollBar::valueChanged, this, &RegistrationArea::list24Scroll);
    text2->installEventFilter(this);
    for (QLineEdit* box : {text11, text12, text13, text21})
        box->installEventFilter(this);

    hide();
}

QLabel* RegistrationArea::makeLabel(const QString& name, const QString& caption, int left, int top, int width,
                                    int height, Qt::Alignment alignment) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(name);
    label->setAlignment(alignment);
    placeTwips(label, left, top, width, height);
    return label;
}

QLineEdit* RegistrationArea::makeInput(const char* name, const QString& accessibleName, int left, int top,
                                       int width, int height) {
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(accessibleName);
    setBoxColor(box, kLightGreen);
    setDisabledTextColor(box);
    placeTwips(box, left, top, width, height);
    return box;
}

QLineEdit* RegistrationArea::makeResult(const char* name, const QString& caption, int labelLeft, int labelTop,
                                        int top, int width) {
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(caption.chopped(1));
    box->setReadOnly(true);
    box->setEnabled(false);
    setBoxColor(box, kLightYellow);
    setDisabledTextColor(box);
    placeTwips(box, kResultLeft, top, width, kBoxHeight);
    makeLabel(QStringLiteral("Label_") + box->objectName(), caption, labelLeft, labelTop,
              kResultLeft - 60 - labelLeft, kBoxHeight, Qt::AlignLeft | Qt::AlignVCenter)
        ->setBuddy(box);
    return box;
}

int RegistrationArea::topRow() const {
    const int row = list24->indexAt(QPoint(0, 0)).row();
    // Before the list has been laid out no row is at the top yet: the bar knows it.
    return row >= 0 ? row : list24->verticalScrollBar()->value();
}

void RegistrationArea::scrollListTo(int row) {
    row = qBound(0, row, list24->count() - 1);
    QScrollBar* bar = list24->verticalScrollBar();
    const QSignalBlocker blocker(bar);
    list24->scrollToItem(list24->item(row), QAbstractItemView::PositionAtTop);
    // A list that has not been laid out yet cannot scroll: give it its range first.
    if (bar->value() != row) {
        list24->doItemsLayout();
        list24->scrollToItem(list24->item(row), QAbstractItemView::PositionAtTop);
    }
}

void RegistrationArea::setInputsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{text2, text11, text12, text13, text14, text21, list23})
        w->setEnabled(enabled);
}

bool RegistrationArea::isEarlierExaminee(int n) const {
    const ExamState& exam = m_core.examState();
    return n != exam.currentExaminee && (n < exam.currentExaminee || !exam.isFree(n));
}

bool RegistrationArea::showsEarlierExaminee() const {
    const int current = m_core.examState().currentExaminee;
    return current >= 1 && current <= kRegisterSlots && isEarlierExaminee(topRow() + 1);
}

void RegistrationArea::showExaminee(int16 n) {
    const ExamState& exam = m_core.examState();
    // A used slot after a gap is shown read-only as well as the ones before the current.
    setInputsEnabled(!isEarlierExaminee(topRow() + 1));

    if (n < 1 || n > kRegisterSlots)
        return;
    const ExamineeRecord& r = exam.dayRegister[n];
    text2->setText(r.fullName);
    text11->setText(numberText(r.birthYear));
    text12->setText(r.jobTitle);
    text13->setText(numberText(r.seniority));
    text21->setText(r.personnelNo);
    {
        // The program's own selection is not a profile choice: the record names its profile.
        const QSignalBlocker blocker(list23);
        const int row = r.profileNo == 0 ? 0 : r.profileNo - 1;
        if (row >= 0 && row < list23->count()) {
            list23->setCurrentRow(row);
            list23->scrollToItem(list23->item(row), QAbstractItemView::PositionAtTop);
        } else {
            list23->clearSelection();
        }
    }
    text14->setText(r.profileName);
    text15->setText(numberText(r.protocolNo));
    text16->setText(r.profileName);
    text17->setText(numberText(r.grade));
    text18->setText(numberText(r.askedCount));
    text19->setText(numberText(r.rightCount));
    text20->setText(numberText(r.timeSpent));
    for (QLineEdit* box : {text2, text12, text14, text16, text21})
        box->setCursorPosition(0);
}

void RegistrationArea::list23Click() {
    const ExamState& exam = m_core.examState();
    const QListWidgetItem* item = list23->currentItem();
    if (!item)
        return;
    const std::optional<int16> chosen = int16Rounded(item->text());
    if (!chosen || *chosen < 1 || *chosen > kProfileCount)
        return;
    m_core.chooseProfile(*chosen);
    const ExamProfile& profile = m_core.database().profiles[exam.currentProfile];
    text14->setText(profile.name);
    text14->setCursorPosition(0);
    text16->setText(profile.name);
    text16->setCursorPosition(0);
    text18->setText(numberText(profile.questionCount));
    text15->setText(numberText(exam.currentExaminee));
    selectCurrentExamineeRow();
}

void RegistrationArea::selectCurrentExamineeRow() {
    selectRowInPlace(list24, m_core.examState().currentExaminee - 1);
}

void RegistrationArea::chooseCurrentProfile() {
    selectRowInPlace(list23, m_core.examState().currentProfile - 1);
    list23->scrollToItem(list23->currentItem(), QAbstractItemView::PositionAtTop);
    list23Click();
}

void RegistrationArea::list24Scroll() {
    selectCurrentExamineeRow();
    const int top = topRow();
    showExaminee(static_cast<int16>(top + 1));
    // An examinee still to come is shown with the chosen profile's name and question
    // count, so that what a start stores matches the profile the exam runs with.
    if (list23->isEnabled())
        chooseCurrentProfile();
}

void RegistrationArea::enterMode() {
    show();
    scrollListTo(m_core.examState().currentExaminee - 1);
    list24Scroll();
    list23Click();
    text2->clear();
    // Ready for the name (focus alone does not empty the box; a click does).
    if (text2->isEnabled())
        text2->setFocus(Qt::OtherFocusReason);
}

RegistrationTexts RegistrationArea::texts() const {
    RegistrationTexts t;
    t.fullName = text2->text();
    t.birthYear = text11->text();
    t.jobTitle = text12->text();
    t.seniority = text13->text();
    t.personnelNo = text21->text();
    if (const QListWidgetItem* item = list23->currentItem(); item && item->isSelected())
        t.profileNo = item->text();
    t.profileName = text14->text();
    t.askedCount = text18->text();
    return t;
}

void RegistrationArea::showResults(const FinishResult& result) {
    text15->setText(numberText(result.examinee));
    text17->setText(numberText(result.record.grade));
    text19->setText(numberText(result.record.rightCount));
    text20->setText(numberText(result.record.timeSpent));
}

bool RegistrationArea::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text2 && event->type() == QEvent::MouseButtonPress) {
        // Every click into the name box empties it; a disabled box shows an earlier
        // examinee and is left alone.
        if (text2->isEnabled())
            text2->clear();
    } else if (event->type() == QEvent::FocusIn) {
        // After the box's own focus handling, which would otherwise undo the selection.
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace zet::ui
