#pragma once
// «Журнал результатов»: the exams of the results journal, newest first, with filters that
// update the list as the examiner types, sortable columns and the details of an exam on a
// double click. The paperwork buttons only raise signals; whoever opened the window makes
// the documents.

#include "journal/journalquery.h"
#include "ui/journal/questionstatisticsview.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QThread;
class QTimer;

namespace zet::ui {

class JournalExamDialog;
class JournalTableModel;

class JournalWindow : public QWidget {
    Q_OBJECT
public:
    // Pause after the last key typed into the search field before the list is read again.
    static constexpr int kTypingPauseMs = 300;

    // folder: the program folder; journal.ini there says where the journal is read from.
    explicit JournalWindow(const QString& folder, QWidget* parent = nullptr);
    ~JournalWindow() override;

    // The day the periods «Сегодня», «Этот месяц», «Этот год» are counted from (today by default).
    void setToday(std::function<QDate()> today);

    // The filter and the order the list shows now.
    JournalFilter filter() const;
    JournalSort sortOrder() const;
    // The exams the examiner picked in the list since the filter last changed (may be empty).
    QList<QUuid> selectedExams() const;

    JournalQuery& query() { return *m_query; }
    JournalTableModel* model() const { return m_model; }
    QTableView* table() const { return m_table; }
    QLineEdit* searchField() const { return m_search; }
    // The details dialog opened last, while it is open.
    JournalExamDialog* examDialog() const { return m_examDialog; }
    QuestionStatisticsView* statisticsView() const { return m_statistics; }

public slots:
    // Reads the list again with the filters as they are set now.
    void applyFilter();
    // Opens the details of the exam in row `row` of the list.
    void openExam(int row);
    // The exam centre's server in the status line: why it cannot be reached (empty when it
    // can) and how many exams still wait to be sent. Nothing is shown when all is well.
    void setServerState(const QString& error, int unsent);
    // Shows the question statistics (worst first) in the statistics window.
    void showStatistics(const QList<zet::ui::QuestionStatisticsRow>& rows, const QString& caption = {});

signals:
    // «Протокол…»: a protocol for the selected exams, or for the filtered list when none is selected.
    void protocolRequested(const QList<QUuid>& selectedExams, const zet::JournalFilter& filter);
    // «Экспорт…»: the filtered list in the order shown.
    void exportRequested(const zet::JournalFilter& filter, const zet::JournalSort& sort);
    // «Статистика…»: question statistics over the filtered list; answer with showStatistics().
    void statisticsRequested(const zet::JournalFilter& filter);
    // «Сроки проверки…»: the list of those due for a re-check.
    void dueListRequested();
    // «Комиссия…»: the organisation and the commission printed on protocols.
    void commissionRequested();
    // «Персонал…»: the staff list and the assignments of profiles.
    void staffRequested();
    // «Журнал подразделения…»: the register of knowledge checks of the department and the
    // period the filter shows.
    void registerRequested(const zet::JournalFilter& filter);
    // «Проверить целостность…»: whether the recorded results are still as they were written.
    void integrityCheckRequested();
    // A double click in the statistics: open this question in the question editor.
    void openQuestionRequested(int theme, int questionNo);

private:
    void periodChanged();
    // Counts the exams found (and reads the profile names) on a thread of its own: on a large
    // journal that reads every row, and the list must not wait for it.
    void startCount();
    void showProblem(const QString& text);

    QString m_folder;
    std::unique_ptr<JournalQuery> m_query;
    std::function<QDate()> m_today;
    JournalTableModel* m_model = nullptr;
    QTableView* m_table = nullptr;
    QComboBox* m_period = nullptr;
    QDateEdit* m_from = nullptr;
    QDateEdit* m_until = nullptr;
    QLineEdit* m_search = nullptr;
    QComboBox* m_profile = nullptr;
    QComboBox* m_grade = nullptr;
    QComboBox* m_workstation = nullptr;
    QComboBox* m_department = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_problem = nullptr;
    QLabel* m_serverState = nullptr;
    QTimer* m_typingPause = nullptr;
    QThread* m_counting = nullptr;
    bool m_countAgain = false;
    bool m_profilesRead = false;
    bool m_picked = false; // rows were picked since the filter last changed
    QPointer<JournalExamDialog> m_examDialog;
    QPointer<QuestionStatisticsView> m_statistics;
};

} // namespace zet::ui
