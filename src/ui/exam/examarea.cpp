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
QPlainTextEdit* MakeReadingBox(QWidget* parent, const QString& name, const QString& accessibleName, int top,
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
    PlaceTwips(box, kBoxLeft, top, kBoxWidth, height);
    return box;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                  int height) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    PlaceTwips(label, left, top, width, height);
    return label;
}

} // namespace

ExamArea::ExamArea(QWidget* parent) : QGroupBox(parent) {
    setObjectName(QStringLiteral("Frame4"));
    setTitle(QStringLiteral("Экзамен"));
    setFont(TimesFont(kAreaPoints));
    PlaceTwips(this, 405, 0, 14475, 10065);

    Label45 = MakeLabel(this, QStringLiteral("Label45"), QString(), 270, 540, 2640, 375);
    Label57 = MakeLabel(this, QStringLiteral("Label57"), QString(), 3105, 540, 10455, 375);
    Text27 = MakeReadingBox(this, QStringLiteral("Text27"), QStringLiteral("Вопрос"), 945, 1470);
    SetBoxColor(Text27, kLightBlue);
    Label52 = MakeLabel(this, QStringLiteral("Label52"), QStringLiteral("Выберите правильный ответ:"), 315,
                        2655, 4875, 375);
    LabelTimeLeft = MakeLabel(this, QStringLiteral("LabelTimeLeft"), QString(), 9660, 2655, 4500, 375);
    LabelTimeLeft->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    for (int p = 1; p <= 5; ++p) {
        QPlainTextEdit* box =
            MakeReadingBox(this, QStringLiteral("Text%1").arg(27 + p), QStringLiteral("Ответ %1").arg(p),
                           kAnswerTops[p], kAnswerHeight);
        SetBoxColor(box, kLightYellow);
        box->setMouseTracking(true);
        box->viewport()->setMouseTracking(true);
        box->viewport()->setCursor(Qt::PointingHandCursor);
        box->installEventFilter(this);
        box->viewport()->installEventFilter(this);
        Answer[p] = box;
    }

    hide();
}

void ExamArea::ResetQuestionColour() {
    SetBoxColor(Text27, kLightBlue);
}

void ExamArea::ShowQuestion(const PresentedQuestion& shown) {
    ResetQuestionColour();
    Label45->setText(shown.Caption);
    if (!shown.found)
        return;
    Text27->setPlainText(shown.Text);
    for (int p = 1; p <= 5; ++p)
        Answer[p]->setPlainText(shown.Answers[p]);
}

void ExamArea::ShowFeedback(bool correct) {
    SetBoxColor(Text27, correct ? kGreen : kRed);
}

void ExamArea::ShowTimeLeft(int seconds) {
    seconds = std::max(seconds, 0);
    LabelTimeLeft->setText(
        QStringLiteral("Осталось: %1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

int16 ExamArea::PositionOf(QObject* watched) const {
    for (int p = 1; p <= 5; ++p) {
        if (watched == Answer[p] || watched == Answer[p]->viewport())
            return static_cast<int16>(p);
    }
    return 0;
}

void ExamArea::HighlightAnswer(int16 position) {
    for (int p = 1; p <= 5; ++p) {
        const QColor& colour = p == position ? kLightGreen : kLightYellow;
        if (Answer[p]->palette().color(QPalette::Base) != colour)
            SetBoxColor(Answer[p], colour);
    }
}

bool ExamArea::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove || type == QEvent::MouseButtonPress) {
        if (const int16 p = PositionOf(watched)) {
            if (type == QEvent::MouseMove) {
                HighlightAnswer(p);
            } else if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                emit answerClicked(p);
                return true;
            }
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace zet::ui
