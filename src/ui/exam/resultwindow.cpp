#include "ui/exam/resultwindow.h"

#include "model/textvalue.h"
#include "ui/shell/aboutarea.h"
#include "ui/shell/uikit.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace zet::ui {

namespace {

constexpr double kCaptionPoints = 12;
constexpr double kValuePoints = 12;
constexpr int kCaptionHeight = 375;
constexpr int kValueHeight = 405;

struct Row {
    int label; // element of the caption labels
    const char* caption;
    int labelLeft, labelTop, labelWidth;
    int value; // element of the value boxes
    int textLeft, textTop, textWidth, textHeight;
};

// From top to bottom as they stand in the window.
const Row kRows[] = {
    {0, "Тема теста:", 135, 225, 1635, 1, 1800, 180, 10770, 945},
    {1, "Профиль:", 45, 1215, 1725, 2, 1800, 1170, 10770, kValueHeight},
    {7, "Порядковый номер:", 1890, 2070, 2445, 0, 4365, 2070, 1185, kValueHeight},
    {2, "Ф.И.О. сдающего:", 2115, 2520, 2175, 3, 4365, 2520, 8250, kValueHeight},
    {3, "Оценка:", 2115, 2970, 2175, 4, 4365, 2970, 1185, kValueHeight},
    {4, "Количество заданных вопросов:", 405, 3420, 3885, 5, 4365, 3420, 1185, kValueHeight},
    {5, "Количество правильных ответов:", 405, 3870, 3885, 6, 4365, 3870, 1185, kValueHeight},
    {6, "Затраченное время, сек.:", 1260, 4320, 3030, 7, 4365, 4320, 1185, kValueHeight},
};

} // namespace

ResultWindow::ResultWindow(QWidget* owner) : QWidget(owner, Qt::Dialog) {
    setObjectName(QStringLiteral("ResultWindow"));
    setWindowTitle(QStringLiteral("Результат"));
    setFixedSize(twips(12780), twips(5460));

    for (const Row& row : kRows) {
        const QString caption = QString::fromUtf8(row.caption);
        QWidget* value = nullptr;
        if (row.textHeight > kValueHeight) {
            auto* box = new QPlainTextEdit(this);
            box->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            box->setReadOnly(true);
            box->setTabChangesFocus(true);
            value = box;
        } else {
            auto* box = new QLineEdit(this);
            box->setReadOnly(true);
            value = box;
        }
        value->setObjectName(QStringLiteral("valueBox_%1").arg(row.value));
        value->setAccessibleName(caption.chopped(1));
        value->setFont(timesFont(kValuePoints));
        placeTwips(value, row.textLeft, row.textTop, row.textWidth, row.textHeight);
        m_valueBoxes[row.value] = value;

        auto* label = new QLabel(caption, this);
        label->setObjectName(QStringLiteral("captionLabel_%1").arg(row.label));
        label->setFont(sansFont(kCaptionPoints));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(value);
        placeTwips(label, row.labelLeft, row.labelTop, row.labelWidth, kCaptionHeight);
        m_captionLabels[row.label] = label;
    }

    m_exitButton = new QPushButton(QStringLiteral("Выход"), this);
    m_exitButton->setObjectName(QStringLiteral("exitButton"));
    m_exitButton->setFont(sansFont(kCaptionPoints));
    m_exitButton->setDefault(true);
    placeTwips(m_exitButton, 5580, 4950, 1905, 375);
    connect(m_exitButton, &QPushButton::clicked, this, &ResultWindow::acknowledge);
}

void ResultWindow::setValue(int k, const QString& text) {
    if (auto* line = qobject_cast<QLineEdit*>(m_valueBoxes[k])) {
        line->setText(text);
        line->setCursorPosition(0);
        // A text longer than the box (a long profile name) shows whole as the tooltip.
        const int room = line->contentsRect().width() - 2 * line->fontMetrics().averageCharWidth();
        line->setToolTip(line->fontMetrics().horizontalAdvance(text) > room ? text : QString());
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(m_valueBoxes[k])) {
        memo->setPlainText(text);
    }
}

QString ResultWindow::value(int k) const {
    if (const auto* line = qobject_cast<const QLineEdit*>(m_valueBoxes[k]))
        return line->text();
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(m_valueBoxes[k]))
        return memo->toPlainText();
    return {};
}

void ResultWindow::showResult(int16 examinee, const QString& testName, const ExamineeRecord& record) {
    if (isHidden()) {
        // Over the middle of the main window.
        if (QWidget* owner = parentWidget()) {
            const QRect area = owner->window()->frameGeometry();
            move(area.center() - QPoint(width() / 2, height() / 2));
        }
    }
    show();
    raise();
    activateWindow();
    setValue(0, numberText(examinee));
    setValue(1, testName);
    setValue(2, record.profileName);
    setValue(3, record.fullName);
    setValue(4, numberText(record.grade));
    setValue(5, numberText(record.askedCount));
    setValue(6, numberText(record.rightCount));
    setValue(7, numberText(record.timeSpent));
    m_exitButton->setFocus();
}

void ResultWindow::acknowledge() {
    setWindowIcon(programIcon());
    hide();
    emit acknowledged();
}

void ResultWindow::closeEvent(QCloseEvent* event) {
    // Closed by the window's own close box: the same as "Выход".
    event->ignore();
    acknowledge();
}

} // namespace zet::ui
