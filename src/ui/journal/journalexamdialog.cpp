#include "ui/journal/journalexamdialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zet::ui {

namespace {

QLabel* valueLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setTextAlignment(alignment);
    return item;
}

} // namespace

JournalExamDialog::JournalExamDialog(const JournalEntry& exam, QWidget* parent) : QDialog(parent), m_exam(exam) {
    setWindowTitle(QStringLiteral("Экзамен %1, %2").arg(exam.fullName, exam.date.toString(QStringLiteral("dd.MM.yyyy"))));

    auto* facts = new QFormLayout;
    facts->addRow(QStringLiteral("Ф.И.О.:"), valueLabel(exam.fullName));
    facts->addRow(QStringLiteral("Табельный номер:"), valueLabel(exam.personnelNo));
    facts->addRow(QStringLiteral("Должность:"), valueLabel(exam.jobTitle));
    facts->addRow(QStringLiteral("Дата:"),
                  valueLabel(QStringLiteral("%1, протокол № %2")
                                 .arg(exam.date.toString(QStringLiteral("dd.MM.yyyy")))
                                 .arg(exam.protocolNo)));
    facts->addRow(QStringLiteral("Профиль:"), valueLabel(QStringLiteral("%1 (№ %2)").arg(exam.profileName).arg(exam.profileNo)));
    facts->addRow(QStringLiteral("Оценка:"),
                  valueLabel(QStringLiteral("%1 (верно %2 из %3, время %4:%5)")
                                 .arg(exam.grade)
                                 .arg(exam.right)
                                 .arg(exam.asked)
                                 .arg(exam.secondsSpent / 60)
                                 .arg(exam.secondsSpent % 60, 2, 10, QLatin1Char('0'))));
    facts->addRow(QStringLiteral("Рабочее место:"), valueLabel(exam.workstation));

    m_answers = new QTableWidget(int(exam.answers.size()), ColumnCount);
    m_answers->setHorizontalHeaderLabels({QStringLiteral("№"), QStringLiteral("Тема"), QStringLiteral("Вопрос №"),
                                          QStringLiteral("Вопрос"), QStringLiteral("Выбранный ответ"),
                                          QStringLiteral("Верно"), QStringLiteral("Верный ответ"),
                                          QStringLiteral("Секунд")});
    m_answers->verticalHeader()->hide();
    m_answers->setWordWrap(true);
    m_answers->setSelectionBehavior(QAbstractItemView::SelectRows);
    const QColor rightColour(0xd8, 0xf0, 0xd8);
    const QColor wrongColour(0xf8, 0xd8, 0xd8);
    for (int i = 0; i < exam.answers.size(); ++i) {
        const JournalAnswer& a = exam.answers.at(i);
        m_answers->setItem(i, Position, cell(QString::number(a.position), Qt::AlignCenter));
        m_answers->setItem(i, Theme, cell(QString::number(a.theme), Qt::AlignCenter));
        m_answers->setItem(i, QuestionNo, cell(QString::number(a.questionNo), Qt::AlignCenter));
        m_answers->setItem(i, Question, cell(a.questionText));
        m_answers->setItem(i, Answer,
                           cell(a.answerText.isEmpty() ? QStringLiteral("(ответ не выбран)") : a.answerText));
        m_answers->setItem(i, Right, cell(a.right ? QStringLiteral("да") : QStringLiteral("нет"), Qt::AlignCenter));
        // A wrong answer shows the right one beside it; rows written before it was kept know none.
        const QString rightAnswer =
            a.right ? QString() : a.rightAnswerText.value_or(QStringLiteral("(не известен)"));
        m_answers->setItem(i, RightAnswer, cell(rightAnswer));
        m_answers->setItem(i, Seconds, cell(QString::number(a.seconds), Qt::AlignCenter));
        for (int c = 0; c < ColumnCount; ++c)
            m_answers->item(i, c)->setBackground(a.right ? rightColour : wrongColour);
    }
    QHeaderView* header = m_answers->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(Question, QHeaderView::Stretch);
    header->setSectionResizeMode(Answer, QHeaderView::Stretch);
    header->setSectionResizeMode(RightAnswer, QHeaderView::Stretch);
    m_answers->resizeRowsToContents();

    auto* buttons = new QDialogButtonBox;
    QPushButton* close = buttons->addButton(QStringLiteral("Закрыть"), QDialogButtonBox::RejectRole);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(facts);
    if (exam.imported) {
        layout->addWidget(new QLabel(
            QStringLiteral("Экзамен перенесён из архива результатов: вопросы и ответы в архиве не сохранялись.")));
    }
    layout->addWidget(m_answers, 1);
    layout->addWidget(buttons);
    resize(900, 560);
}

} // namespace zet::ui
