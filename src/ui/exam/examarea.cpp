#include "ui/exam/examarea.h"

#include "ui/shell/uikit.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>

namespace zet::ui {

namespace {

const LabelOptions kLeftLabel{.alignment = Qt::AlignLeft | Qt::AlignVCenter};

constexpr double kAreaPoints = 15.75;
constexpr int kBoxLeft = 495;
constexpr int kBoxWidth = 13665;
constexpr std::array<int, 6> kAnswerTops{0, 3150, 4477, 5804, 7131, 8460};
constexpr int kAnswerHeight = 1230;

// A box the examinee only reads and clicks: no caret, no selection, no keyboard focus.
QPlainTextEdit* makeReadingBox(QWidget* parent, const QString& name, const QString& accessibleName, int top,
                               int height) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::NoTextInteraction);
    box->setFocusPolicy(Qt::NoFocus);
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

    hide();
}

void ExamArea::showExaminee(const QString& profileName, const QString& fullName) {
    // A name longer than the caption's room ends in "…" and shows whole as the tooltip.
    const int room = width() - twips(600);
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
    if (!shown.found)
        return;
    m_questionBox->setPlainText(shown.text);
    for (int p = 1; p <= 5; ++p)
        m_answerBoxes[p]->setPlainText(shown.answers[p]);
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

bool ExamArea::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
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
