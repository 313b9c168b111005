#include "ui/journal/commissiondialog.h"

#include "model/database.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zet::ui {

CommissionDialog::CommissionDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Комиссия"));
    m_organisation = new QLineEdit(this);
    m_order = new QLineEdit(this);
    m_order->setPlaceholderText(QStringLiteral("Приказ № … от …"));
    m_chairName = new QLineEdit(this);
    m_chairName->setPlaceholderText(QStringLiteral("Ф.И.О."));
    m_chairJob = new QLineEdit(this);
    m_chairJob->setPlaceholderText(QStringLiteral("должность"));

    m_members = new QTableWidget(0, 2, this);
    m_members->setHorizontalHeaderLabels({QStringLiteral("Ф.И.О."), QStringLiteral("Должность")});
    m_members->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_members->verticalHeader()->hide();
    auto* add = new QPushButton(QStringLiteral("Добавить члена комиссии"), this);
    auto* remove = new QPushButton(QStringLiteral("Удалить"), this);
    for (QPushButton* b : {add, remove})
        b->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, [this] {
        addMember();
        m_members->setCurrentCell(m_members->rowCount() - 1, 0);
        m_members->editItem(m_members->currentItem());
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (m_members->currentRow() >= 0)
            m_members->removeRow(m_members->currentRow());
    });

    m_programmes = new QTableWidget(kProfileCount, 2, this);
    m_programmes->setObjectName(QStringLiteral("programmesTable"));
    m_programmes->setAccessibleName(QStringLiteral("Программы обучения по профилям"));
    m_programmes->setHorizontalHeaderLabels({QStringLiteral("Профиль"), QStringLiteral("Программа обучения")});
    m_programmes->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_programmes->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_programmes->verticalHeader()->hide();
    for (int row = 0; row < kProfileCount; ++row) {
        auto* profile = new QTableWidgetItem(QStringLiteral("Профиль %1").arg(row + 1));
        profile->setFlags(profile->flags() & ~Qt::ItemIsEditable);
        m_programmes->setItem(row, 0, profile);
        m_programmes->setItem(row, 1, new QTableWidgetItem);
    }

    auto* chair = new QHBoxLayout;
    chair->addWidget(m_chairName, 1);
    chair->addWidget(m_chairJob, 1);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Организация:"), m_organisation);
    form->addRow(QStringLiteral("Приказ о комиссии:"), m_order);
    form->addRow(QStringLiteral("Председатель:"), chair);

    auto* memberButtons = new QHBoxLayout;
    memberButtons->addWidget(add);
    memberButtons->addWidget(remove);
    memberButtons->addStretch(1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Save)->setText(QStringLiteral("Сохранить"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Члены комиссии:"), this));
    layout->addWidget(m_members, 1);
    layout->addLayout(memberButtons);
    layout->addWidget(new QLabel(QStringLiteral("Программы обучения (если не указана, в протоколе печатается "
                                                "название профиля):"),
                                 this));
    layout->addWidget(m_programmes, 1);
    layout->addWidget(buttons);
    resize(680, 640);
}

void CommissionDialog::addMember(const CommissionMember& member) {
    const int row = m_members->rowCount();
    m_members->insertRow(row);
    m_members->setItem(row, 0, new QTableWidgetItem(member.fullName));
    m_members->setItem(row, 1, new QTableWidgetItem(member.jobTitle));
}

void CommissionDialog::setSettings(const ProtocolSettings& settings) {
    m_organisation->setText(settings.organisation);
    m_order->setText(settings.order);
    m_chairName->setText(settings.chair.fullName);
    m_chairJob->setText(settings.chair.jobTitle);
    m_members->setRowCount(0);
    for (const CommissionMember& member : settings.members)
        addMember(member);
    for (int row = 0; row < kProfileCount; ++row)
        m_programmes->item(row, 1)->setText(settings.programmes.value(row + 1));
}

ProtocolSettings CommissionDialog::settings() const {
    ProtocolSettings settings;
    settings.organisation = m_organisation->text().trimmed();
    settings.order = m_order->text().trimmed();
    settings.chair = {m_chairName->text().trimmed(), m_chairJob->text().trimmed()};
    auto text = [this](int row, int column) {
        const QTableWidgetItem* item = m_members->item(row, column);
        return item ? item->text().trimmed() : QString();
    };
    for (int row = 0; row < m_members->rowCount(); ++row) {
        if (!text(row, 0).isEmpty())
            settings.members.append({text(row, 0), text(row, 1)});
    }
    for (int row = 0; row < kProfileCount; ++row) {
        const QString programme = m_programmes->item(row, 1)->text().trimmed();
        if (!programme.isEmpty())
            settings.programmes.insert(row + 1, programme);
    }
    return settings;
}

} // namespace zet::ui
