#include "ui/journal/staffdialog.h"
#include "ui/journal/tablecells.h"

#include "model/database.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace zet::ui {

namespace {

QString kindText(StaffAssignment::Kind kind) {
    return kind == StaffAssignment::Kind::JobTitle ? QStringLiteral("Должность") : QStringLiteral("Подразделение");
}

QTableWidget* table(const QStringList& headers, QWidget* parent) {
    auto* t = new QTableWidget(0, int(headers.size()), parent);
    t->setHorizontalHeaderLabels(headers);
    t->verticalHeader()->hide();
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

QPushButton* button(const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    return b;
}

} // namespace

StaffDialog::StaffDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Персонал"));
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    m_search = new QLineEdit(this);
    m_search->setPlaceholderText(QStringLiteral("Ф.И.О., табельный номер, должность или подразделение"));
    m_search->setAccessibleName(QStringLiteral("Поиск в списке персонала"));
    m_search->setClearButtonEnabled(true);
    m_people = table({QStringLiteral("Таб. №"), QStringLiteral("Ф.И.О."), QStringLiteral("Должность"),
                      QStringLiteral("Подразделение"), QStringLiteral("Дата рождения"), QStringLiteral("Дата приёма"),
                      QStringLiteral("Состояние")},
                     this);
    m_people->setAccessibleName(QStringLiteral("Список персонала"));
    QPushButton* load = button(QStringLiteral("Загрузить список…"), this);
    load->setToolTip(QStringLiteral("Список из отдела кадров: CSV или книга Excel (.xlsx) со столбцами «Табельный "
                                    "номер», «ФИО», «Должность», «Подразделение», «Дата рождения», «Дата приёма»"));

    m_assignmentTable = table({QStringLiteral("Кому"), QStringLiteral("Название"), QStringLiteral("Профиль"),
                               QStringLiteral("Каждые, мес.")},
                              this);
    m_assignmentTable->setAccessibleName(QStringLiteral("Назначения профилей"));
    m_kind = new QComboBox(this);
    m_kind->addItem(kindText(StaffAssignment::Kind::JobTitle), int(StaffAssignment::Kind::JobTitle));
    m_kind->addItem(kindText(StaffAssignment::Kind::Department), int(StaffAssignment::Kind::Department));
    m_kind->setAccessibleName(QStringLiteral("Кому: должность или подразделение"));
    m_name = new QComboBox(this);
    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    m_name->setMinimumContentsLength(24);
    m_name->setAccessibleName(QStringLiteral("Должность или подразделение"));
    m_profile = new QSpinBox(this);
    m_profile->setRange(1, kProfileCount);
    m_profile->setPrefix(QStringLiteral("профиль "));
    m_profile->setAccessibleName(QStringLiteral("Профиль"));
    m_period = new QSpinBox(this);
    m_period->setRange(1, StaffStore::kMaxPeriodMonths);
    m_period->setValue(12);
    m_period->setPrefix(QStringLiteral("каждые "));
    m_period->setSuffix(QStringLiteral(" мес."));
    m_period->setAccessibleName(QStringLiteral("Каждые, месяцев"));
    QPushButton* add = button(QStringLiteral("Добавить"), this);
    QPushButton* remove = button(QStringLiteral("Удалить"), this);
    remove->setToolTip(QStringLiteral("Удалить выделенное назначение"));
    QPushButton* close = button(QStringLiteral("Закрыть"), this);

    auto* top = new QHBoxLayout;
    top->addWidget(m_summary, 1);
    top->addWidget(load);
    auto* assignmentFields = new QHBoxLayout;
    assignmentFields->addWidget(m_kind);
    assignmentFields->addWidget(m_name, 1);
    assignmentFields->addWidget(m_profile);
    assignmentFields->addWidget(m_period);
    assignmentFields->addWidget(add);
    assignmentFields->addWidget(remove);
    auto* assignments = new QGroupBox(QStringLiteral("Какие профили сдавать и как часто"), this);
    auto* assignmentsLayout = new QVBoxLayout(assignments);
    assignmentsLayout->addWidget(m_assignmentTable, 1);
    assignmentsLayout->addLayout(assignmentFields);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_search);
    layout->addWidget(m_people, 3);
    layout->addWidget(assignments, 2);
    layout->addLayout(bottom);
    resize(1100, 720);

    connect(m_search, &QLineEdit::textChanged, this, &StaffDialog::showMatchingPeople);
    connect(load, &QPushButton::clicked, this, &StaffDialog::loadRequested);
    connect(m_kind, &QComboBox::currentIndexChanged, this, &StaffDialog::offerNames);
    connect(add, &QPushButton::clicked, this, [this] {
        if (!newAssignment().name.isEmpty())
            emit assignmentAddRequested(newAssignment());
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        const int row = m_assignmentTable->currentRow();
        if (row >= 0 && row < m_assignments.size() && m_assignmentTable->selectionModel()->hasSelection())
            emit assignmentRemoveRequested(m_assignments.at(row));
    });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void StaffDialog::setPeople(const QList<StaffPerson>& people, const QString& where) {
    m_peopleShown = people;
    const auto dismissed = std::count_if(people.cbegin(), people.cend(), [](const StaffPerson& p) { return p.dismissed; });
    m_summary->setText(people.isEmpty()
                           ? QStringLiteral("Список персонала ещё не загружен (%1).").arg(where)
                           : QStringLiteral("В списке %1 чел., из них отмечено «уволен»: %2 (%3).")
                                 .arg(people.size())
                                 .arg(dismissed)
                                 .arg(where));
    m_people->setRowCount(int(people.size()));
    for (int row = 0; row < people.size(); ++row) {
        const StaffPerson& p = people.at(row);
        const QString state = p.dismissed ? QStringLiteral("уволен %1").arg(dayText(p.dismissedOn)).trimmed() : QString();
        const QStringList texts = {p.personnelNo,        p.fullName,          p.jobTitle, p.department,
                                   dayText(p.birthDate), dayText(p.hireDate), state};
        for (int column = 0; column < PeopleColumnCount; ++column) {
            QTableWidgetItem* item = readOnlyCell(texts.at(column));
            if (p.dismissed)
                item->setForeground(QColor(0x80, 0x80, 0x80));
            m_people->setItem(row, column, item);
        }
    }
    m_people->resizeColumnsToContents();
    showMatchingPeople();
    offerNames();
}

void StaffDialog::setAssignments(const QList<StaffAssignment>& assignments) {
    m_assignments = assignments;
    m_assignmentTable->setRowCount(int(assignments.size()));
    for (int row = 0; row < assignments.size(); ++row) {
        const StaffAssignment& a = assignments.at(row);
        const QStringList texts = {kindText(a.kind), a.name, QString::number(a.profileNo),
                                   QString::number(a.periodMonths)};
        for (int column = 0; column < AssignmentColumnCount; ++column)
            m_assignmentTable->setItem(row, column, readOnlyCell(texts.at(column)));
    }
    m_assignmentTable->resizeColumnsToContents();
}

StaffAssignment StaffDialog::newAssignment() const {
    StaffAssignment a;
    a.kind = StaffAssignment::Kind(m_kind->currentData().toInt());
    a.name = m_name->currentText().simplified();
    a.profileNo = m_profile->value();
    a.periodMonths = m_period->value();
    return a;
}

void StaffDialog::showMatchingPeople() {
    const QString wanted = m_search->text().trimmed();
    for (int row = 0; row < m_people->rowCount(); ++row) {
        bool shown = wanted.isEmpty();
        for (int column = 0; column < Department + 1 && !shown; ++column)
            shown = m_people->item(row, column)->text().contains(wanted, Qt::CaseInsensitive);
        m_people->setRowHidden(row, !shown);
    }
}

// The job titles or the departments of the list, for the assignment's name.
void StaffDialog::offerNames() {
    const bool jobs = StaffAssignment::Kind(m_kind->currentData().toInt()) == StaffAssignment::Kind::JobTitle;
    QSet<QString> seen;
    QStringList names;
    for (const StaffPerson& p : m_peopleShown) {
        const QString name = jobs ? p.jobTitle : p.department;
        if (!p.dismissed && !name.isEmpty() && !seen.contains(name)) {
            seen.insert(name);
            names << name;
        }
    }
    names.sort(Qt::CaseInsensitive);
    const QString typed = m_name->currentText();
    m_name->clear();
    m_name->addItems(names);
    m_name->setCurrentText(typed);
}

} // namespace zet::ui
