#include "ui/exam/examarea.h"

#include "ui/shell/uikit.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>

namespace zet::ui {

namespace {

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

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                  int height) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    placeTwips(label, left, top, width, height);
    return label;
}

} // namespace

ExamArea::ExamArea(QWidget* parent) : QGroupBox(parent) {
    setObjectName(QStringLiteral("ExamArea"));
    setTitle(QStringLiteral("Экзамен"));
    setFont(timesFont(kAreaPoints));
    placeTwips(this, 405, 0, 14475, 10065);

    label45 = makeLabel(this, QStringLiteral("Label45"), QString(), 270, 540, 2640, 375);
    label57 = makeLabel(this, QStringLiteral("Label57"), QString(), 3105, 540, 10455, 375);
    text27 = makeReadingBox(this, QStringLiteral("Text27"), QStringLiteral("Вопрос"), 945, 1470);
    setBoxColor(text27, kLightBlue);
    label52 = makeLabel(this, QStringLiteral("Label52"), QStringLiteral("Выберите правильный ответ:"), 315,
                        2655, 4875, 375);
    labelTimeLeft = makeLabel(this, QStringLiteral("LabelTimeLeft"), QString(), 9660, 2655, 4500, 375);
    labelTimeLeft->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    for (int p = 1; p <= 5; ++p) {
        QPlainTextEdit* box =
            makeReadingBox(this, QStringLiteral("Text%1").arg(27 + p), QStringLiteral("Ответ %1").arg(p),
                           kAnswerTops[p], kAnswerHeight);
        setBoxColor(box, kLightYellow);
        box->setMouseTracking(true);
        box->viewport()->setMouseTracking(true);
        box->viewport()->setCursor(Qt::PointingHandCursor);
        box->installEventFilter(this);
        box->viewport()->installEventFilter(this);
        answer[p] = box;
    }

    hide();
}

void ExamArea::resetQuestionColour() {
    setBoxColor(text27, kLightBlue);
}

void ExamArea::showQuestion(const PresentedQuestion& shown) {
    resetQuestionColour();
    label45->setText(shown.caption);
    if (!shown.found)
        return;
    text27->setPlainText(shown.text);
    for (int p = 1; p <= 5; ++p)
        answer[p]->setPlainText(shown.answers[p]);
}

void ExamArea::showFeedback(bool correct) {
    setBoxColor(text27, correct ? kGreen : kRed);
}

void ExamArea::showTimeLeft(int seconds) {
    seconds = std::max(seconds, 0);
    labelTimeLeft->setText(
        QStringLiteral("Осталось: %1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

int16 ExamArea::positionOf(QObject* watched) const {
    for (int p = 1; p <= 5; ++p) {
        if (watched == answer[p] || watched == answer[p]->viewport())
            return static_cast<int16>(p);
    }
    return 0;
}

void ExamArea::highlightAnswer(int16 position) {
    for (int p = 1; p <= 5; ++p) {
        const QColor& colour = p == position ? kLightGreen : kLightYellow;
        if (answer[p]->palette().color(QPalette::Base) != colour)
            setBoxColor(answer[p], colour);
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
