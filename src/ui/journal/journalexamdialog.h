#pragma once
// The details of one exam of the journal: who, when, the result, and every question asked
// with the answer chosen and whether it was right.

#include "journal/journalentry.h"

#include <QDialog>

class QTableWidget;

namespace zet::ui {

class JournalExamDialog : public QDialog {
    Q_OBJECT
public:
    enum Column { Position, Theme, QuestionNo, Question, Answer, Right, RightAnswer, Seconds, ColumnCount };

    explicit JournalExamDialog(const JournalEntry& exam, QWidget* parent = nullptr);

    const JournalEntry& exam() const { return m_exam; }
    QTableWidget* answerTable() const { return m_answers; }

private:
    JournalEntry m_exam;
    QTableWidget* m_answers = nullptr;
};

} // namespace zet::ui
