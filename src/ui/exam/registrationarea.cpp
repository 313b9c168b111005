#include "ui/exam/registrationarea.h"

#include "model/textvalue.h"
#include "ui/exam/staffcompleter.h"
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

// The lists of the registration area: the scroll bar always shows, the colour is set apart.
const NumberListOptions kRegistrationNumberList{.scrollBarAlwaysOn = true};

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
    m_fullNameBox = makeInput("fullNameBox", QStringLiteral("Ф.И.О. сдающего"), 4785, 435, 6855, kBoxHeight);
    makeLabel(this, QStringLiteral("fullNameLabel"), QStringLiteral("Ф.И.О. сдающего:"), 1875, 465, 2640, 465,
              {.alignment = right})
        ->setBuddy(m_fullNameBox);
    m_birthYearBox = makeInput("birthYearBox", QStringLiteral("Год рождения"), 4770, 1095, 1155, kBoxHeight);
    makeLabel(this, QStringLiteral("birthYearLabel"), QStringLiteral("Год рождения:"), 255, 1140, 4260, 465,
              {.alignment = right})
        ->setBuddy(m_birthYearBox);
    m_jobTitleBox = makeInput("jobTitleBox", QStringLiteral("Должность"), 4770, 1770, 6900, kBoxHeight);
    makeLabel(this, QStringLiteral("jobTitleLabel"), QStringLiteral("Должность:"), 255, 1800, 4260, 465,
              {.alignment = right})
        ->setBuddy(m_jobTitleBox);
    m_seniorityBox = makeInput("seniorityBox", QStringLiteral("Стаж работы"), 4770, 2445, 1155, kBoxHeight);
    makeLabel(this, QStringLiteral("seniorityLabel"), QStringLiteral("Стаж работы:"), 255, 2520, 4260, 465,
              {.alignment = right})
        ->setBuddy(m_seniorityBox);
    m_personnelNumberBox =
        makeInput("personnelNumberBox", QStringLiteral("Табельный номер"), 9750, 2445, 1965, kBoxHeight);
    makeLabel(this, QStringLiteral("personnelNumberLabel"), QStringLiteral("Табел. номер:"), 7830, 2475, 1890,
              465, {.alignment = right})
        ->setBuddy(m_personnelNumberBox);

    m_profileList = makeNumberList(this, QStringLiteral("profileList"), QStringLiteral("Профиль экзамена"), 1,
                                   kProfileCount, 4770, 3120, 1155, 405, kRegistrationNumberList);
    setBoxColor(m_profileList, kLightGreen);
    setDisabledTextColor(m_profileList);
    makeLabel(this, QStringLiteral("profileLabel"), QStringLiteral("Профиль экзамена:"), 255, 3105, 4260, 465,
              {.alignment = right})
        ->setBuddy(m_profileList);
    m_profileNameBox =
        makeInput("profileNameBox", QStringLiteral("Название профиля"), 6120, 3090, 8250, kBoxHeight);
    m_profileNameBox->setReadOnly(true);

    m_registerPositionList =
        makeNumberList(this, QStringLiteral("registerPositionList"), QStringLiteral("Порядковый номер"), 1,
                       kRegisterSlots, 810, 4095, 1245, 555, kRegistrationNumberList);
    m_registerPositionList->setFont(timesFont(kSequencePoints));
    makeLabel(this, QStringLiteral("registerPositionLabel"), QStringLiteral("Порядковый номер:"), 135, 3660,
              3090, 450, {.alignment = Qt::AlignLeft | Qt::AlignVCenter})
        ->setBuddy(m_registerPositionList);

    m_startButton = new QPushButton(QStringLiteral("Начать экзамен"), this);
    m_startButton->setObjectName(QStringLiteral("startButton"));
    placeTwips(m_startButton, 300, 4830, 2280, 570);

    m_registerFullLabel = makeLabel(this, QStringLiteral("registerFullLabel"),
                                    QStringLiteral("Журнал экзаменов за сегодня заполнен: все %1 мест заняты. "
                                                   "Новый экзамен записать нельзя.")
                                        .arg(kRegisterSlots),
                                    2760, 4830, 11400, 570, {.alignment = Qt::AlignLeft | Qt::AlignVCenter});
    m_registerFullLabel->setWordWrap(true);
    QPalette fullPalette = m_registerFullLabel->palette();
    fullPalette.setColor(QPalette::WindowText, kRed);
    m_registerFullLabel->setPalette(fullPalette);
    m_registerFullLabel->hide();

    makeLabel(this, QStringLiteral("resultsLabel"), QStringLiteral("Результаты экзамена:"), 345, 5370, 4260,
              465, {.alignment = Qt::AlignLeft | Qt::AlignVCenter});
    m_protocolNumberBox =
        makeResult("protocolNumberBox", QStringLiteral("Номер протокола:"), 345, 5955, 5955, kResultWidth);
    m_resultProfileBox =
        makeResult("resultProfileBox", QStringLiteral("Профиль экзамена:"), 345, 6570, 6570, 9435);
    m_gradeBox = makeResult("gradeBox", QStringLiteral("Оценка:"), 345, 7200, 7200, kResultWidth);
    m_askedCountBox = makeResult("askedCountBox", QStringLiteral("Количество заданых вопросов:"), 345, 7815,
                                 7815, kResultWidth);
    m_rightCountBox =
        makeResult("rightCountBox", QStringLiteral("Правильных ответов:"), 345, 8475, 8445, kResultWidth);
    m_timeSpentBox =
        makeResult("timeSpentBox", QStringLiteral("Затраченое время:"), 1980, 9045, 9060, kResultWidth);

    m_registerPositionList->setCurrentRow(0);

    connect(m_startButton, &QPushButton::clicked, this, &RegistrationArea::startRequested);
    connect(m_profileList, &QListWidget::currentRowChanged, this, &RegistrationArea::chooseProfile);
    connect(m_registerPositionList->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &RegistrationArea::showScrolledExaminee);
    m_fullNameBox->installEventFilter(this);
    for (QLineEdit* box : {m_birthYearBox, m_jobTitleBox, m_seniorityBox, m_personnelNumberBox})
        box->installEventFilter(this);

    // The staff list is read when the examiner first types, never at the start.
    m_staffCompleter = new StaffCompleter([this](const QString& typed) { return m_core.staff().matching(typed); }, this);
    m_staffCompleter->attach(m_fullNameBox);
    m_staffCompleter->attach(m_personnelNumberBox);
    connect(m_staffCompleter, &StaffCompleter::personChosen, this, &RegistrationArea::fillFromStaff);

    hide();
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
    makeLabel(this, box->objectName().chopped(3) + QStringLiteral("Label"), caption, labelLeft, labelTop,
              kResultLeft - 60 - labelLeft, kBoxHeight, {.alignment = Qt::AlignLeft | Qt::AlignVCenter})
        ->setBuddy(box);
    return box;
}

int RegistrationArea::topRow() const {
    const int row = m_registerPositionList->indexAt(QPoint(0, 0)).row();
    // Before the list has been laid out no row is at the top yet: the bar knows it.
    return row >= 0 ? row : m_registerPositionList->verticalScrollBar()->value();
}

void RegistrationArea::scrollListTo(int row) {
    row = qBound(0, row, m_registerPositionList->count() - 1);
    QScrollBar* bar = m_registerPositionList->verticalScrollBar();
    const QSignalBlocker blocker(bar);
    m_registerPositionList->scrollToItem(m_registerPositionList->item(row), QAbstractItemView::PositionAtTop);
    // A list that has not been laid out yet cannot scroll: give it its range first.
    if (bar->value() != row) {
        m_registerPositionList->doItemsLayout();
        m_registerPositionList->scrollToItem(m_registerPositionList->item(row),
                                             QAbstractItemView::PositionAtTop);
    }
}

void RegistrationArea::setInputsEnabled(bool enabled) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_fullNameBox, m_birthYearBox, m_jobTitleBox, m_seniorityBox,
                                         m_profileNameBox, m_personnelNumberBox, m_profileList})
        w->setEnabled(enabled);
}

bool RegistrationArea::isEarlierExaminee(int n) const {
    const ExamState& exam = m_core.examState();
    return n != exam.currentExaminee && (n < exam.currentExaminee || !exam.isFree(n));
}

bool RegistrationArea::registerFull() const {
    return m_core.examState().nextFreeSlotAfter(0) == 0;
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
    m_fullNameBox->setText(r.fullName);
    m_birthYearBox->setText(numberText(r.birthYear));
    m_jobTitleBox->setText(r.jobTitle);
    m_seniorityBox->setText(numberText(r.seniority));
    m_personnelNumberBox->setText(r.personnelNo);
    {
        // The program's own selection is not a profile choice: the record names its profile.
        const QSignalBlocker blocker(m_profileList);
        const int row = r.profileNo == 0 ? 0 : r.profileNo - 1;
        if (row >= 0 && row < m_profileList->count()) {
            m_profileList->setCurrentRow(row);
            m_profileList->scrollToItem(m_profileList->item(row), QAbstractItemView::PositionAtTop);
        } else {
            m_profileList->clearSelection();
        }
    }
    m_profileNameBox->setText(r.profileName);
    m_protocolNumberBox->setText(numberText(r.protocolNo));
    m_resultProfileBox->setText(r.profileName);
    m_gradeBox->setText(numberText(r.grade));
    m_askedCountBox->setText(numberText(r.askedCount));
    m_rightCountBox->setText(numberText(r.rightCount));
    m_timeSpentBox->setText(numberText(r.timeSpent));
    for (QLineEdit* box :
         {m_fullNameBox, m_jobTitleBox, m_profileNameBox, m_resultProfileBox, m_personnelNumberBox})
        box->setCursorPosition(0);
}

void RegistrationArea::chooseProfile() {
    const ExamState& exam = m_core.examState();
    const QListWidgetItem* item = m_profileList->currentItem();
    if (!item)
        return;
    const std::optional<int16> chosen = int16Rounded(item->text());
    if (!chosen || *chosen < 1 || *chosen > kProfileCount)
        return;
    m_core.chooseProfile(*chosen);
    const ExamProfile& profile = m_core.database().profiles[exam.currentProfile];
    m_profileNameBox->setText(profile.name);
    m_profileNameBox->setCursorPosition(0);
    m_resultProfileBox->setText(profile.name);
    m_resultProfileBox->setCursorPosition(0);
    m_askedCountBox->setText(numberText(profile.questionCount));
    m_protocolNumberBox->setText(numberText(exam.currentExaminee));
    selectCurrentExamineeRow();
}

void RegistrationArea::selectCurrentExamineeRow() {
    selectRowInPlace(m_registerPositionList, m_core.examState().currentExaminee - 1);
}

void RegistrationArea::chooseCurrentProfile() {
    selectRowInPlace(m_profileList, m_core.examState().currentProfile - 1);
    m_profileList->scrollToItem(m_profileList->currentItem(), QAbstractItemView::PositionAtTop);
    chooseProfile();
}

void RegistrationArea::showScrolledExaminee() {
    selectCurrentExamineeRow();
    const int top = topRow();
    showExaminee(static_cast<int16>(top + 1));
    // An examinee still to come is shown with the chosen profile's name and question
    // count, so that what a start stores matches the profile the exam runs with.
    if (m_profileList->isEnabled())
        chooseCurrentProfile();
}

void RegistrationArea::enterMode() {
    show();
    // A full register shows its last record, read-only, however it was filled.
    const bool full = registerFull();
    m_registerFullLabel->setVisible(full);
    scrollListTo(full ? kRegisterSlots - 1 : m_core.examState().currentExaminee - 1);
    // There is no current examinee to select then: the last record is the one shown, and the
    // list keeps it in view whenever it lays itself out again.
    if (full)
        selectRowInPlace(m_registerPositionList, kRegisterSlots - 1);
    showScrolledExaminee();
    if (!full) {
        chooseProfile();
        m_fullNameBox->clear();
    }
    // Ready for the name (focus alone does not empty the box; a click does).
    if (m_fullNameBox->isEnabled())
        m_fullNameBox->setFocus(Qt::OtherFocusReason);
}

void RegistrationArea::focusFullName() {
    m_fullNameBox->setFocus(Qt::OtherFocusReason);
}

RegistrationTexts RegistrationArea::texts() const {
    RegistrationTexts t;
    t.fullName = m_fullNameBox->text();
    t.birthYear = m_birthYearBox->text();
    t.jobTitle = m_jobTitleBox->text();
    t.seniority = m_seniorityBox->text();
    t.personnelNo = m_personnelNumberBox->text();
    if (const QListWidgetItem* item = m_profileList->currentItem(); item && item->isSelected())
        t.profileNo = item->text();
    t.profileName = m_profileNameBox->text();
    t.askedCount = m_askedCountBox->text();
    return t;
}

void RegistrationArea::showResults(const FinishResult& result) {
    m_protocolNumberBox->setText(numberText(result.examinee));
    m_gradeBox->setText(numberText(result.record.grade));
    m_rightCountBox->setText(numberText(result.record.rightCount));
    m_timeSpentBox->setText(numberText(result.record.timeSpent));
}

void RegistrationArea::fillFromStaff(const StaffPerson& person) {
    if (!m_fullNameBox->isEnabled())
        return;
    m_fullNameBox->setText(person.fullName);
    m_birthYearBox->setText(person.birthYear() > 0 ? QString::number(person.birthYear()) : QString());
    m_jobTitleBox->setText(person.jobTitle);
    m_seniorityBox->setText(person.hireDate.isValid() ? QString::number(person.seniorityOn(m_core.today())) : QString());
    m_personnelNumberBox->setText(person.personnelNo);
    for (QLineEdit* box : {m_fullNameBox, m_jobTitleBox, m_personnelNumberBox})
        box->setCursorPosition(0);
}

bool RegistrationArea::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_fullNameBox && event->type() == QEvent::MouseButtonPress) {
        // Every click into the name box empties it; a disabled box shows an earlier
        // examinee and is left alone.
        if (m_fullNameBox->isEnabled())
            m_fullNameBox->clear();
    } else if (event->type() == QEvent::FocusIn) {
        // After the box's own focus handling, which would otherwise undo the selection.
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace zet::ui
