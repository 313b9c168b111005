#pragma once
// «Персонал»: the staff list as the HR department gave it (people marked «уволен» too), the
// button that loads a new export of it, and which profiles the people of a job title or a
// department must pass and how often. The data are given to it; loading a list and changing
// the assignments are asked for by signals.

#include "journal/staffstore.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;

namespace zet::ui {

class StaffDialog : public QDialog {
    Q_OBJECT
public:
    enum PeopleColumn { PersonnelNo, FullName, JobTitle, Department, BirthDate, HireDate, State, PeopleColumnCount };
    enum AssignmentColumn { Kind, Name, Profile, Period, AssignmentColumnCount };

    explicit StaffDialog(QWidget* parent = nullptr);

    // where: where the list is kept, for the summary line.
    void setPeople(const QList<StaffPerson>& people, const QString& where);
    void setAssignments(const QList<StaffAssignment>& assignments);

    QTableWidget* peopleTable() const { return m_people; }
    QTableWidget* assignmentsTable() const { return m_assignmentTable; }
    QLineEdit* searchField() const { return m_search; }
    // The assignment the fields under the table describe («Добавить» asks for it).
    StaffAssignment newAssignment() const;

signals:
    // «Загрузить список…»
    void loadRequested();
    void assignmentAddRequested(const zet::StaffAssignment& assignment);
    void assignmentRemoveRequested(const zet::StaffAssignment& assignment);

private:
    void showMatchingPeople();
    void offerNames();

    QList<StaffPerson> m_peopleShown;
    QList<StaffAssignment> m_assignments;
    QLabel* m_summary = nullptr;
    QLineEdit* m_search = nullptr;
    QTableWidget* m_people = nullptr;
    QTableWidget* m_assignmentTable = nullptr;
    QComboBox* m_kind = nullptr;
    QComboBox* m_name = nullptr;
    QSpinBox* m_profile = nullptr;
    QSpinBox* m_period = nullptr;
};

} // namespace zet::ui
