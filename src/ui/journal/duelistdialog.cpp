#include "ui/journal/duelistdialog.h"
#include "ui/journal/tablecells.h"

#include "documents/journaltables.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zet::ui {

namespace {

// "3. Охрана труда", or "3" for a profile nobody has been examined in yet (its name is unknown).
QString profileText(int number, const QString& name) {
    return name.isEmpty() ? QString::number(number) : QStringLiteral("%1. %2").arg(number).arg(name);
}

} // namespace

DueListDialog::DueListDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Сроки проверки"));
    m_summary = new QLabel(this);
    m_table = new QTableWidget(0, ColumnCount, this);
    m_table->setHorizontalHeaderLabels({QStringLiteral("Таб. №"), QStringLiteral("Ф.И.О."),
                                        QStringLiteral("Должность"), QStringLiteral("Подразделение"),
                                        QStringLiteral("Профиль"),
                                        QStringLiteral("Последняя проверка"), QStringLiteral("Следующая проверка"),
                                        QStringLiteral("Осталось дней"), QStringLiteral("Состояние")});
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setStretchLastSection(true);

    m_periodsTable = new QTableWidget(0, 3, this);
    m_periodsTable->setHorizontalHeaderLabels(
        {QStringLiteral("Профиль"), QStringLiteral("Период, месяцев"), QStringLiteral("После «не сдал», дней")});
    m_periodsTable->verticalHeader()->hide();
    m_periodsTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_periodsTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_periodsTable->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);

    m_department = new QComboBox(this);
    m_department->setAccessibleName(QStringLiteral("Подразделение"));
    m_department->setMinimumContentsLength(16);
    m_profile = new QComboBox(this);
    m_profile->setAccessibleName(QStringLiteral("Профиль"));
    m_profile->setMinimumContentsLength(16);
    connect(m_department, &QComboBox::currentIndexChanged, this, &DueListDialog::showFiltered);
    connect(m_profile, &QComboBox::currentIndexChanged, this, &DueListDialog::showFiltered);

    auto* savePeriods = new QPushButton(QStringLiteral("Сохранить периоды"), this);
    auto* exportList = new QPushButton(QStringLiteral("Экспорт…"), this);
    exportList->setToolTip(QStringLiteral("Список, как он показан, в файл Excel (.xlsx) или CSV"));
    auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
    for (QPushButton* b : {savePeriods, exportList, close})
        b->setAutoDefault(false);
    connect(savePeriods, &QPushButton::clicked, this, [this] { emit periodsSaveRequested(periods()); });
    connect(exportList, &QPushButton::clicked, this, &DueListDialog::exportRequested);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    // The periods go under the list, so that the list keeps the dialog's whole width for its columns.
    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("Периодичность проверки по профилям\n(по умолчанию %1 мес., "
                                              "после несдачи %2 дн.):")
                                   .arg(RecheckPeriods::kDefaultMonths)
                                   .arg(RecheckPeriods::kDefaultFailedDays),
                               this));
    side->addWidget(m_periodsTable, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(savePeriods);
    bottom->addStretch(1);
    bottom->addWidget(exportList);
    bottom->addWidget(close);
    auto* top = new QHBoxLayout;
    top->addWidget(m_summary, 1);
    top->addWidget(m_department);
    top->addWidget(m_profile);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_table, 3);
    layout->addLayout(side, 1);
    layout->addLayout(bottom);
    resize(1200, 680);
}

void DueListDialog::setList(const QList<DueEntry>& entries, const RecheckPeriods& periods) {
    m_all = entries;
    m_periods = periods;
    QMap<int, QString> profiles;
    QMap<QString, QString> departments; // by their lower case, so the list is sorted without letter case
    for (const DueEntry& e : entries) {
        if (!profiles.contains(e.profileNo) || profiles.value(e.profileNo).isEmpty())
            profiles.insert(e.profileNo, e.profileName);
        if (!e.department.isEmpty())
            departments.insert(e.department.toLower(), e.department);
    }
    {
        // The filters keep their choice when it is still in the new list.
        const QString department = m_department->currentIndex() > 0 ? m_department->currentText() : QString();
        const int profile = m_profile->currentData().toInt();
        const QSignalBlocker blockDepartments(m_department);
        const QSignalBlocker blockProfiles(m_profile);
        m_department->clear();
        m_department->addItem(QStringLiteral("Все подразделения"));
        m_department->addItems(departments.values());
        m_department->setCurrentIndex(std::max(0, m_department->findText(department)));
        m_profile->clear();
        m_profile->addItem(QStringLiteral("Все профили"), 0);
        for (auto it = profiles.cbegin(); it != profiles.cend(); ++it)
            m_profile->addItem(profileText(it.key(), it.value()), it.key());
        m_profile->setCurrentIndex(std::max(0, m_profile->findData(profile)));
    }
    showFiltered();

    m_periodsTable->setRowCount(int(profiles.size()));
    int row = 0;
    for (auto it = profiles.cbegin(); it != profiles.cend(); ++it, ++row) {
        QTableWidgetItem* name = readOnlyCell(profileText(it.key(), it.value()));
        name->setData(Qt::UserRole, it.key());
        m_periodsTable->setItem(row, 0, name);
        auto* months = new QSpinBox(m_periodsTable);
        months->setRange(1, RecheckPeriods::kMaxMonths);
        months->setValue(periods.monthsFor(it.key()));
        months->setAccessibleName(QStringLiteral("Период, месяцев: %1").arg(name->text()));
        m_periodsTable->setCellWidget(row, 1, months);
        auto* days = new QSpinBox(m_periodsTable);
        days->setRange(1, RecheckPeriods::kMaxFailedDays);
        days->setValue(periods.failedDaysFor(it.key()));
        days->setAccessibleName(QStringLiteral("После «не сдал», дней: %1").arg(name->text()));
        m_periodsTable->setCellWidget(row, 2, days);
    }
}

void DueListDialog::showFiltered() {
    const QString department = m_department->currentIndex() > 0 ? m_department->currentText() : QString();
    const int profile = m_profile->currentData().toInt();
    m_entries.clear();
    for (const DueEntry& e : m_all)
        if ((department.isEmpty() || e.department.compare(department, Qt::CaseInsensitive) == 0) &&
            (profile == 0 || e.profileNo == profile))
            m_entries.append(e);
    m_table->setRowCount(int(m_entries.size()));
    int urgent = 0, never = 0;
    for (int row = 0; row < m_entries.size(); ++row) {
        const DueEntry& e = m_entries[row];
        const QString status = dueStatusText(e);
        const QStringList texts = {e.personnelNo,
                                   e.fullName,
                                   e.jobTitle,
                                   e.department,
                                   profileText(e.profileNo, e.profileName),
                                   dayText(e.lastExam),
                                   dayText(e.due),
                                   QString::number(e.daysLeft),
                                   status};
        for (int column = 0; column < ColumnCount; ++column) {
            QTableWidgetItem* item = readOnlyCell(texts[column]);
            if (!status.isEmpty())
                item->setBackground(e.overdue() || e.neverChecked() ? QColor(0xf8, 0xd0, 0xd0) : QColor(0xfb, 0xee, 0xc0));
            m_table->setItem(row, column, item);
        }
        if (e.neverChecked())
            ++never;
        else if (!status.isEmpty())
            ++urgent;
    }
    m_table->resizeColumnsToContents();
    m_summary->setText(QStringLiteral("Записей: %1; не проверялись: %2; просрочено или подходит срок в ближайшие "
                                      "%3 дней: %4")
                           .arg(m_entries.size())
                           .arg(never)
                           .arg(JournalReports::kSoonDays)
                           .arg(urgent));
}

RecheckPeriods DueListDialog::periods() const {
    RecheckPeriods result = m_periods;
    for (int row = 0; row < m_periodsTable->rowCount(); ++row) {
        const int profileNo = m_periodsTable->item(row, 0)->data(Qt::UserRole).toInt();
        const int months = static_cast<QSpinBox*>(m_periodsTable->cellWidget(row, 1))->value();
        if (months == RecheckPeriods::kDefaultMonths)
            result.months.remove(profileNo);
        else
            result.months.insert(profileNo, months);
        const int days = static_cast<QSpinBox*>(m_periodsTable->cellWidget(row, 2))->value();
        if (days == RecheckPeriods::kDefaultFailedDays)
            result.failedDays.remove(profileNo);
        else
            result.failedDays.insert(profileNo, days);
    }
    return result;
}

} // namespace zet::ui
