#pragma once
// The journal window's paperwork: answers the window's requests with the protocol's print
// preview, the spreadsheet export, the question statistics, the due list and the commission
// settings. The reading and writing is done by the functions of documents/journalpaperwork.h;
// this only asks for file names and shows results and errors.

#include <QDate>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QUuid>

#include <functional>

namespace zet {
struct JournalFilter;
struct JournalSort;
} // namespace zet

namespace zet::ui {

class DueListDialog;
class JournalWindow;

class JournalActions : public QObject {
    Q_OBJECT
public:
    // Asks where to save: the dialog's caption, the file type filters, the suggested name.
    // An empty answer means the examiner cancelled.
    using SaveFileName = std::function<QString(const QString& caption, const QString& filters, const QString& name)>;

    // Serves window (and lives as long as it) for the program folder folder.
    JournalActions(const QString& folder, JournalWindow* window);
    ~JournalActions() override;

    // Replaces the file dialog (tests) and today's date.
    void setSaveFileName(SaveFileName ask) { m_saveFileName = std::move(ask); }
    void setToday(std::function<QDate()> today) { m_today = std::move(today); }

    // The due list shown last, while it is open.
    DueListDialog* dueListDialog() const;

    void showProtocol(const QList<QUuid>& selected, const zet::JournalFilter& filter);
    void exportList(const zet::JournalFilter& filter, const zet::JournalSort& sort);
    void showStatistics(const zet::JournalFilter& filter);
    void showDueList();
    void editCommission();
    // Checks the journal, the day files and the server, and shows the report.
    void checkIntegrity();

private:
    void refreshDueList();
    void problem(const QString& text) const;

    QString m_folder;
    QPointer<JournalWindow> m_window;
    QPointer<DueListDialog> m_dueList;
    SaveFileName m_saveFileName;
    std::function<QDate()> m_today;
};

} // namespace zet::ui
