#pragma once
// Question statistics: every question asked in a selection with how often it was asked and
// answered wrong, worst first, and a bar chart of the worst twenty. The numbers are given to
// it; a double click on a question (row or bar) asks for it in the question editor.

#include <QList>
#include <QString>
#include <QWidget>

class QChartView;
class QTableWidget;
class QLabel;

namespace zet::ui {

struct QuestionStatisticsRow {
    int theme = 0;
    int questionNo = 0;
    QString questionText;
    int asked = 0;
    int wrong = 0;
    double wrongShare() const { return asked > 0 ? double(wrong) / asked : 0.0; }
};

class QuestionStatisticsView : public QWidget {
    Q_OBJECT
public:
    // Bars in the chart.
    static constexpr int kChartQuestions = 20;
    enum Column { Theme, QuestionNo, Question, Asked, Wrong, WrongShare, ColumnCount };

    explicit QuestionStatisticsView(QWidget* parent = nullptr);

    // The rows in the order shown (worst first); caption says what they were counted over.
    void setRows(const QList<QuestionStatisticsRow>& rows, const QString& caption = {});
    const QList<QuestionStatisticsRow>& rows() const { return m_rows; }
    QTableWidget* table() const { return m_table; }
    QChartView* chartView() const { return m_chartView; }

signals:
    // Open this question of this theme in the question editor.
    void openQuestionRequested(int theme, int questionNo);

private:
    void rebuildChart();
    void openRow(int row);

    QList<QuestionStatisticsRow> m_rows;
    QLabel* m_caption = nullptr;
    QTableWidget* m_table = nullptr;
    QChartView* m_chartView = nullptr;
};

} // namespace zet::ui
