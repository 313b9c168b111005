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
class StaffList;
} // namespace zet

namespace zet::ui {

class DueListDialog;
class JournalWindow;
class StaffDialog;

class JournalActions : public QObject {
    Q_OBJECT
public:
    // Asks where to save: the dialog's caption, the file type filters, the suggested name.
    // An empty answer means the examiner cancelled.
    using SaveFileName = std::function<QString(const QString& caption, const QString& filters, const QString& name)>;

    // Serves window (and lives as long as it) for the program folder folder.
    JournalActions(const QString& folder, JournalWindow* window);
    ~JournalActions() override;

    // Replaces the file dialogs (tests) and today's date.
    void setSaveFileName(SaveFileName ask) { m_saveFileName = std::move(ask); }
    void setOpenFileName(SaveFileName ask) { m_openFileName = std::move(ask); }
    void setToday(std::function<QDate()> today) { m_today = std::move(today); }

    // The staff list the «Персонал» window shows and changes (the program's own); none: the
    // window says the list is not available.
    void setStaffList(StaffList* staff) { m_staff = staff; }

    // The due list shown last, while it is open.
    DueListDialog* dueListDialog() const;
    // The «Персонал» window, while it is open.
    StaffDialog* staffDialog() const;

    void showProtocol(const QList<QUuid>& selected, const zet::JournalFilter& filter);
    void exportList(const zet::JournalFilter& filter, const zet::JournalSort& sort);
    void showStatistics(const zet::JournalFilter& filter);
    void showDueList();
    void editCommission();
    void showStaff();
    // The register of the filter's department and period, to an .xlsx file.
    void exportRegister(const zet::JournalFilter& filter);
    // Checks the journal, the day files and the server, and shows the report.
    void checkIntegrity();

private:
    void refreshDueList();
    void refreshStaff();
    void loadStaffList();
    void problem(const QString& text) const;

    QString m_folder;
    QPointer<JournalWindow> m_window;
    QPointer<DueListDialog> m_dueList;
    QPointer<StaffDialog> m_staffDialog;
    StaffList* m_staff = nullptr;
    SaveFileName m_saveFileName;
    SaveFileName m_openFileName;
    std::function<QDate()> m_today;
};

} // namespace zet::ui
