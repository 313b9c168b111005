#pragma once
// «Комиссия»: the organisation, the commission (chair and members with their job titles) and
// the order that formed it, as they are printed on a knowledge-check protocol.

#include "journal/paperworksettings.h"

#include <QDialog>

class QLineEdit;
class QTableWidget;

namespace zet::ui {

class CommissionDialog : public QDialog {
    Q_OBJECT
public:
    explicit CommissionDialog(QWidget* parent = nullptr);

    void setSettings(const ProtocolSettings& settings);
    // The settings as entered; member rows without a name are left out.
    ProtocolSettings settings() const;

    QLineEdit* organisationField() const { return m_organisation; }
    QLineEdit* orderField() const { return m_order; }
    QLineEdit* chairNameField() const { return m_chairName; }
    QLineEdit* chairJobField() const { return m_chairJob; }
    QTableWidget* membersTable() const { return m_members; }
    QTableWidget* programmesTable() const { return m_programmes; }

private:
    void addMember(const CommissionMember& member = {});

    QLineEdit* m_organisation = nullptr;
    QLineEdit* m_order = nullptr;
    QLineEdit* m_chairName = nullptr;
    QLineEdit* m_chairJob = nullptr;
    QTableWidget* m_members = nullptr;
    QTableWidget* m_programmes = nullptr; // one row per profile 1 .. kProfileCount
};

} // namespace zet::ui
