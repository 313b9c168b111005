#include "ui/exam/examarea.h"

#include "ui/shell/uikit.h"

#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include <algorithm>

namespace zet::ui {

namespace {

const LabelOptions kLeftLabel{.alignment = Qt::AlignLeft | Qt::AlignVCenter};

constexpr double kAreaPoints = 15.75;
constexpr int kBoxLeft = 495;
constexpr int kBoxWidth = 13665;
constexpr std::array<int, 6> kAnswerTops{0, 3150, 4477, 5804, 7131, 8460};
constexpr int kAnswerHeight = 1230;

constexpr int kHintTop = 9720;
constexpr int kHintHeight = 300;
constexpr double kHintPoints = 11.25;
// The ring around the box that has the keyboard, in pixels.
constexpr int kFocusRing = 3;
const QColor kFocusRingColour{0, 0, 160};

// A box the examinee only reads and clicks: no caret, no selection; Tab reaches it.
QPlainTextEdit* makeReadingBox(QWidget* parent, const QString& name, const QString& accessibleName, int top,
                               int height) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::NoTextInteraction);
    box->setFocusPolicy(Qt::TabFocus);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    placeTwips(box, kBoxLeft, top, kBoxWidth, height);
    return box;
}

} // namespace

ExamArea::ExamArea(QWidget* parent) : QGroupBox(parent) {
    setObjectName(QStringLiteral("ExamArea"));
    setTitle(QStringLiteral("Экзамен"));
    setFont(timesFont(kAreaPoints));
    placeTwips(this, 405, 0, 14475, 10065);

    m_questionNumberLabel =
        makeLabel(this, QStringLiteral("questionNumberLabel"), QString(), 270, 540, 2640, 375, kLeftLabel);
    m_examineeLabel =
        makeLabel(this, QStringLiteral("examineeLabel"), QString(), 3105, 540, 10455, 375, kLeftLabel);
    m_questionBox = makeReadingBox(this, QStringLiteral("questionBox"), QStringLiteral("Вопрос"), 945, 1470);
    setBoxColor(m_questionBox, kLightBlue);
    m_answerPromptLabel =
        makeLabel(this, QStringLiteral("answerPromptLabel"), QStringLiteral("Выберите правильный ответ:"),
                  315, 2655, 4875, 375, kLeftLabel);
    m_timeLeftLabel =
        makeLabel(this, QStringLiteral("timeLeftLabel"), QString(), 9660, 2655, 4500, 375, kLeftLabel);
    m_timeLeftLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Drawn beneath the boxes, a little larger than the box with the keyboard.
    m_focusRing = new QFrame(this);
    m_focusRing->setObjectName(QStringLiteral("focusRing"));
    setWindowColor(m_focusRing, kFocusRingColour);
    m_focusRing->hide();
    m_questionBox->installEventFilter(this);

    for (int p = 1; p <= 5; ++p) {
        QPlainTextEdit* box =
            makeReadingBox(this, QStringLiteral("answerBox_%1").arg(p), QStringLiteral("Ответ %1").arg(p),
                           kAnswerTops[p], kAnswerHeight);
        setBoxColor(box, kLightYellow);
        box->setMouseTracking(true);
        box->viewport()->setMouseTracking(true);
        box->viewport()->setCursor(Qt::PointingHandCursor);
        box->installEventFilter(this);
        box->viewport()->installEventFilter(this);
        m_answerBoxes[p] = box;
    }
    m_keysHintLabel = makeLabel(
        this, QStringLiteral("keysHintLabel"), QStringLiteral("Ответ можно выбрать мышью или клавишами 1–5"),
        kBoxLeft, kHintTop, kBoxWidth, kHintHeight,
        {.alignment = Qt::AlignLeft | Qt::AlignVCenter, .font = timesFont(kHintPoints)});
    m_keysHintLabel->setAccessibleName(m_keysHintLabel->text());

    hide();
}

void ExamArea::showExaminee(const QString& profileName, const QString& fullName) {
    // A name longer than the caption's room ends in "…" and shows whole as the tooltip.
    const int room = width() - width() * 600 / 14475;
    const QString shown = fontMetrics().elidedText(profileName, Qt::ElideRight, room);
    setTitle(shown);
    setToolTip(shown == profileName ? QString() : profileName);
    m_examineeLabel->setText(QStringLiteral("Сдает:  ") + fullName);
}

void ExamArea::resetQuestionColour() {
    setBoxColor(m_questionBox, kLightBlue);
}

void ExamArea::showQuestion(const PresentedQuestion& shown) {
    resetQuestionColour();
    m_questionNumberLabel->setText(shown.caption);
    m_questionBox->setAccessibleDescription(shown.caption);
    if (shown.found) {
        m_questionBox->setPlainText(shown.text);
        for (int p = 1; p <= 5; ++p)
            m_answerBoxes[p]->setPlainText(shown.answers[p]);
    }
    // A screen reader reads the new question; Tab goes on to the answers.
    if (isVisible())
        m_questionBox->setFocus(Qt::OtherFocusReason);
}

void ExamArea::showFeedback(bool correct) {
    setBoxColor(m_questionBox, correct ? kGreen : kRed);
}

void ExamArea::showTimeLeft(int seconds) {
    seconds = std::max(seconds, 0);
    m_timeLeftLabel->setText(
        QStringLiteral("Осталось: %1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

int16 ExamArea::positionOf(QObject* watched) const {
    for (int p = 1; p <= 5; ++p) {
        if (watched == m_answerBoxes[p] || watched == m_answerBoxes[p]->viewport())
            return static_cast<int16>(p);
    }
    return 0;
}

void ExamArea::highlightAnswer(int16 position) {
    for (int p = 1; p <= 5; ++p) {
        const QColor& colour = p == position ? kLightGreen : kLightYellow;
        if (m_answerBoxes[p]->palette().color(QPalette::Base) != colour)
            setBoxColor(m_answerBoxes[p], colour);
    }
}

int16 ExamArea::answerKey(const QKeyEvent* key) {
    // The digit keys of the main keyboard and of the keypad alike.
    if (key->key() >= Qt::Key_1 && key->key() <= Qt::Key_5 &&
        !(key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)))
        return static_cast<int16>(key->key() - Qt::Key_0);
    return 0;
}

void ExamArea::keyPressEvent(QKeyEvent* event) {
    if (const int16 p = answerKey(event)) {
        emit answerClicked(p);
        return;
    }
    QGroupBox::keyPressEvent(event);
}

void ExamArea::showFocusRing(QWidget* box) {
    if (!box) {
        m_focusRing->hide();
        return;
    }
    m_focusRing->setGeometry(box->geometry().adjusted(-kFocusRing, -kFocusRing, kFocusRing, kFocusRing));
    m_focusRing->stackUnder(box);
    m_focusRing->show();
}

bool ExamArea::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    // The boxes themselves, not their viewports, have the keyboard.
    const bool readingBox =
        watched == m_questionBox ||
        std::find(m_answerBoxes.begin() + 1, m_answerBoxes.end(), watched) != m_answerBoxes.end();
    if (readingBox) {
        auto* box = static_cast<QWidget*>(watched);
        if (type == QEvent::FocusIn || ((type == QEvent::Move || type == QEvent::Resize) && box->hasFocus()))
            showFocusRing(box);
        else if (type == QEvent::FocusOut)
            showFocusRing(nullptr);
        else if (type == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const int16 p = positionOf(watched);
            if (p && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                      key->key() == Qt::Key_Space)) {
                emit answerClicked(p);
                return true;
            }
            if (const int16 digit = answerKey(key)) {
                emit answerClicked(digit);
                return true;
            }
        }
    }
    if (type == QEvent::MouseMove || type == QEvent::MouseButtonPress) {
        if (const int16 p = positionOf(watched)) {
            if (type == QEvent::MouseMove) {
                highlightAnswer(p);
            } else if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                emit answerClicked(p);
                return true;
            }
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace zet::ui
