#pragma once
// «Сроки проверки»: per person and profile the last exam passed and the day the next check is
// due, the overdue, the never checked and those due soon first (marked), filtered by
// department and profile, and the re-check period of each profile. The list is given to it;
// saving the periods and exporting the list shown are asked for by signals.

#include "journal/journalreports.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QTableWidget;

namespace zet::ui {

class DueListDialog : public QDialog {
    Q_OBJECT
public:
    enum Column { PersonnelNo, FullName, JobTitle, Department, Profile, LastPassed, Due, DaysLeft, Status, ColumnCount };

    explicit DueListDialog(QWidget* parent = nullptr);

    // The list in the order shown and the periods it was counted with.
    void setList(const QList<DueEntry>& entries, const RecheckPeriods& periods);
    // The entries the department and profile filters let through, in the order shown.
    const QList<DueEntry>& entries() const { return m_entries; }
    // The periods as set in the profile table.
    RecheckPeriods periods() const;

    QTableWidget* table() const { return m_table; }
    QTableWidget* periodsTable() const { return m_periodsTable; }
    QComboBox* departmentFilter() const { return m_department; }
    QComboBox* profileFilter() const { return m_profile; }

signals:
    void periodsSaveRequested(const zet::RecheckPeriods& periods);
    void exportRequested();

private:
    void showFiltered();

    QList<DueEntry> m_all;
    QList<DueEntry> m_entries;
    RecheckPeriods m_periods;
    QLabel* m_summary = nullptr;
    QTableWidget* m_table = nullptr;
    QTableWidget* m_periodsTable = nullptr;
    QComboBox* m_department = nullptr;
    QComboBox* m_profile = nullptr;
};

} // namespace zet::ui
