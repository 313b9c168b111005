#include "ui/journal/journalwindow.h"

#include "ui/journal/journalexamdialog.h"
#include "ui/journal/journaltablemodel.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace zet::ui {

namespace {

using Period = JournalFilter::Period;

QPushButton* button(const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    return b;
}

} // namespace

JournalWindow::JournalWindow(const QString& folder, QWidget* parent)
    : QWidget(parent, Qt::Window), m_folder(folder), m_query(std::make_unique<JournalQuery>(folder)),
      m_today([] { return QDate::currentDate(); }) {
    setWindowTitle(QStringLiteral("Журнал результатов"));

    m_period = new QComboBox(this);
    m_period->addItem(QStringLiteral("За всё время"), int(Period::All));
    m_period->addItem(QStringLiteral("Сегодня"), int(Period::Today));
    m_period->addItem(QStringLiteral("Этот месяц"), int(Period::ThisMonth));
    m_period->addItem(QStringLiteral("Этот год"), int(Period::ThisYear));
    m_period->addItem(QStringLiteral("Выбранные даты"), int(Period::Dates));
    m_from = new QDateEdit(this);
    m_until = new QDateEdit(this);
    for (QDateEdit* edit : {m_from, m_until}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        edit->setDate(QDate::currentDate());
        edit->setEnabled(false);
    }
    m_from->setAccessibleName(QStringLiteral("Период: с"));
    m_until->setAccessibleName(QStringLiteral("Период: по"));
    m_search = new QLineEdit(this);
    m_search->setPlaceholderText(QStringLiteral("Ф.И.О. или табельный номер"));
    m_search->setAccessibleName(QStringLiteral("Поиск по Ф.И.О. или табельному номеру"));
    m_search->setClearButtonEnabled(true);
    m_search->setMinimumWidth(180);
    m_profile = new QComboBox(this);
    m_profile->addItem(QStringLiteral("Все профили"));
    m_profile->setMinimumContentsLength(14);
    m_grade = new QComboBox(this);
    m_grade->addItem(QStringLiteral("Все оценки"), 0);
    for (int grade = 5; grade >= 2; --grade)
        m_grade->addItem(QStringLiteral("Оценка %1").arg(grade), grade);
    m_workstation = new QComboBox(this);
    m_workstation->addItem(QStringLiteral("Все рабочие места"));
    m_workstation->setAccessibleName(QStringLiteral("Рабочее место"));
    m_workstation->setMinimumContentsLength(12);
    m_department = new QComboBox(this);
    m_department->addItem(QStringLiteral("Все подразделения"));
    m_department->setAccessibleName(QStringLiteral("Подразделение"));
    // As wide as the workstation's list whatever the names: the list that opens shows them whole.
    m_department->setMinimumContentsLength(13);
    m_department->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("Период:"), this));
    filters->addWidget(m_period);
    filters->addWidget(new QLabel(QStringLiteral("с"), this));
    filters->addWidget(m_from);
    filters->addWidget(new QLabel(QStringLiteral("по"), this));
    filters->addWidget(m_until);
    filters->addSpacing(12);
    filters->addWidget(new QLabel(QStringLiteral("Поиск:"), this));
    filters->addWidget(m_search, 1);
    filters->addWidget(m_profile);
    filters->addWidget(m_grade);
    filters->addWidget(m_workstation);
    filters->addWidget(m_department);

    m_model = new JournalTableModel(*m_query, this);
    m_table = new QTableView(this);
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
    QHeaderView* header = m_table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    const int widths[JournalTableModel::ColumnCount] = {90, 95, 240, 110, 150, 150, 150, 70, 80, 60, 120};
    for (int c = 0; c < JournalTableModel::ColumnCount; ++c)
        m_table->setColumnWidth(c, widths[c]);
    header->setSortIndicator(JournalTableModel::Date, Qt::DescendingOrder);
    m_table->setSortingEnabled(true);
    m_table->setToolTip(QString());

    m_count = new QLabel(this);
    // A long journal path wraps rather than widening the window past the screen.
    m_count->setWordWrap(true);
    m_problem = new QLabel(this);
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #a00000"));
    m_problem->hide();
    m_serverState = new QLabel(this);
    m_serverState->setObjectName(QStringLiteral("serverState"));
    m_serverState->setWordWrap(true);
    m_serverState->hide();

    QPushButton* protocol = button(QStringLiteral("Протокол…"), this);
    QPushButton* exportList = button(QStringLiteral("Экспорт…"), this);
    QPushButton* statistics = button(QStringLiteral("Статистика…"), this);
    QPushButton* due = button(QStringLiteral("Сроки проверки…"), this);
    QPushButton* commission = button(QStringLiteral("Комиссия…"), this);
    QPushButton* staff = button(QStringLiteral("Персонал…"), this);
    QPushButton* departmentRegister = button(QStringLiteral("Журнал подразделения…"), this);
    departmentRegister->setToolTip(QStringLiteral("Журнал регистрации проверки знаний подразделения, выбранного в "
                                                  "фильтре, за выбранный период, в файл Excel (.xlsx)"));
    staff->setToolTip(QStringLiteral("Список персонала из отдела кадров и какие профили кому сдавать"));
    QPushButton* integrity = button(QStringLiteral("Проверить целостность…"), this);
    integrity->setObjectName(QStringLiteral("integrityButton"));
    integrity->setToolTip(QStringLiteral("Не изменены ли записанные результаты: журнал, файлы дня архива и "
                                         "журнал на сервере"));
    QPushButton* exit = button(QStringLiteral("Выход"), this);
    protocol->setToolTip(QStringLiteral("Протокол проверки знаний по выделенным экзаменам, а если ничего не "
                                        "выделено, по всем экзаменам списка"));
    exportList->setToolTip(QStringLiteral("Список в файл Excel (.xlsx) или CSV"));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_count, 1);
    bottom->addWidget(protocol);
    bottom->addWidget(exportList);
    bottom->addWidget(statistics);
    bottom->addWidget(due);
    bottom->addWidget(commission);
    bottom->addWidget(staff);
    bottom->addWidget(departmentRegister);
    bottom->addWidget(integrity);
    bottom->addSpacing(12);
    bottom->addWidget(exit);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_problem);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_serverState);
    layout->addLayout(bottom);
    resize(1180, 640);

    m_typingPause = new QTimer(this);
    m_typingPause->setSingleShot(true);
    m_typingPause->setInterval(kTypingPauseMs);

    connect(m_search, &QLineEdit::textChanged, m_typingPause, qOverload<>(&QTimer::start));
    connect(m_typingPause, &QTimer::timeout, this, &JournalWindow::applyFilter);
    connect(m_period, &QComboBox::currentIndexChanged, this, &JournalWindow::periodChanged);
    connect(m_from, &QDateEdit::dateChanged, this, &JournalWindow::applyFilter);
    connect(m_until, &QDateEdit::dateChanged, this, &JournalWindow::applyFilter);
    connect(m_profile, &QComboBox::currentIndexChanged, this, &JournalWindow::applyFilter);
    connect(m_grade, &QComboBox::currentIndexChanged, this, &JournalWindow::applyFilter);
    connect(m_workstation, &QComboBox::currentIndexChanged, this, &JournalWindow::applyFilter);
    connect(m_department, &QComboBox::currentIndexChanged, this, &JournalWindow::applyFilter);
    connect(header, &QHeaderView::sortIndicatorChanged, this, [this, header](int column, Qt::SortOrder) {
        if (JournalTableModel::sortKey(column))
            return;
        // The journal has no index for this column: the indicator goes back to the order shown.
        const JournalSort shown = m_model->sortOrder();
        int shownColumn = JournalTableModel::Date;
        for (int c = 0; c < JournalTableModel::ColumnCount; ++c) {
            if (JournalTableModel::sortKey(c) == shown.key) {
                shownColumn = c;
                break;
            }
        }
        const QSignalBlocker block(header);
        header->setSortIndicator(shownColumn, shown.order);
    });
    connect(m_table, &QTableView::doubleClicked, this, [this](const QModelIndex& index) { openExam(index.row()); });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { m_picked = m_table->selectionModel()->hasSelection(); });
    connect(m_model, &JournalTableModel::readFailed, this, &JournalWindow::showProblem);
    connect(m_model, &QAbstractItemModel::modelReset, this, &JournalWindow::startCount);

    connect(protocol, &QPushButton::clicked, this, [this] { emit protocolRequested(selectedExams(), filter()); });
    connect(exportList, &QPushButton::clicked, this, [this] { emit exportRequested(filter(), sortOrder()); });
    connect(statistics, &QPushButton::clicked, this, [this] { emit statisticsRequested(filter()); });
    connect(due, &QPushButton::clicked, this, &JournalWindow::dueListRequested);
    connect(commission, &QPushButton::clicked, this, &JournalWindow::commissionRequested);
    connect(staff, &QPushButton::clicked, this, &JournalWindow::staffRequested);
    connect(departmentRegister, &QPushButton::clicked, this, [this] { emit registerRequested(filter()); });
    connect(integrity, &QPushButton::clicked, this, &JournalWindow::integrityCheckRequested);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);

    const JournalResult opened = m_query->open();
    if (!opened.ok)
        showProblem(opened.error);
    m_model->setFilter(filter());
}

JournalWindow::~JournalWindow() {
    if (m_counting) {
        m_counting->disconnect(this);
        m_counting->wait();
        delete m_counting;
    }
    // The model and the dialogs read through the query: they go first.
    delete m_examDialog;
    delete m_statistics;
    delete m_table;
    delete m_model;
}

void JournalWindow::setToday(std::function<QDate()> today) {
    m_today = std::move(today);
    if (Period(m_period->currentData().toInt()) != Period::All)
        applyFilter();
}

JournalFilter JournalWindow::filter() const {
    JournalFilter f;
    const auto period = Period(m_period->currentData().toInt());
    if (period == Period::Dates) {
        f.from = m_from->date();
        f.until = m_until->date();
    } else {
        std::tie(f.from, f.until) = JournalFilter::periodDays(period, m_today());
    }
    f.text = m_search->text().trimmed();
    if (m_profile->currentIndex() > 0)
        f.profileName = m_profile->currentText();
    f.grade = m_grade->currentData().toInt();
    if (m_workstation->currentIndex() > 0)
        f.workstation = m_workstation->currentText();
    if (m_department->currentIndex() > 0)
        f.department = m_department->currentText();
    return f;
}

JournalSort JournalWindow::sortOrder() const {
    return m_model->sortOrder();
}

QList<QUuid> JournalWindow::selectedExams() const {
    QList<QUuid> ids;
    if (!m_picked)
        return ids;
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    for (const QModelIndex& index : rows)
        ids << m_model->row(index.row()).id;
    return ids;
}

void JournalWindow::periodChanged() {
    const bool chosen = Period(m_period->currentData().toInt()) == Period::Dates;
    m_from->setEnabled(chosen);
    m_until->setEnabled(chosen);
    applyFilter();
}

void JournalWindow::applyFilter() {
    m_typingPause->stop();
    const JournalFilter wanted = filter();
    if (wanted == m_model->filter() && m_model->rowCount() > 0)
        return;
    m_problem->setVisible(false);
    // Rows picked under another filter are not what the examiner sees now.
    m_table->clearSelection();
    m_picked = false;
    m_model->setFilter(wanted);
}

void JournalWindow::startCount() {
    if (m_counting) {
        m_countAgain = true; // the filter changed while counting: count again when done
        return;
    }
    m_countAgain = false;
    m_count->setText(QStringLiteral("Подсчёт…"));
    struct Counted {
        int found = -1;
        QString error;
        QStringList profiles;
        QStringList workstations;
        QStringList departments;
    };
    auto counted = std::make_shared<Counted>();
    const JournalFilter filter = m_model->filter();
    const bool readProfiles = !m_profilesRead;
    // The thread reads where the list reads: the server, or the local journal when the server
    // could not be reached.
    const JournalConfig config = m_query->readsServer() ? JournalConfig::read(m_folder) : JournalConfig();
    const QString folder = m_folder;
    m_counting = QThread::create([=] {
        JournalQuery query(folder, config);
        counted->found = query.count(filter, &counted->error);
        if (readProfiles && counted->found >= 0) {
            counted->profiles = query.profileNames(&counted->error);
            counted->workstations = query.workstationNames(&counted->error);
            counted->departments = query.departmentNames(&counted->error);
        }
    });
    connect(m_counting, &QThread::finished, this, [this, counted, readProfiles] {
        m_counting->deleteLater();
        m_counting = nullptr;
        if (m_countAgain) {
            startCount();
            return;
        }
        if (counted->found < 0) {
            m_count->setText(QString());
            showProblem(counted->error);
            return;
        }
        m_count->setText(QStringLiteral("Найдено экзаменов: %1  ·  %2 «%3»")
                             .arg(QLocale(QLocale::Russian).toString(counted->found),
                                  m_query->readsServer() ? QStringLiteral("сервер") : QStringLiteral("журнал"),
                                  m_query->sourceText()));
        if (readProfiles) {
            m_profilesRead = true;
            const QSignalBlocker block(m_profile);
            m_profile->addItems(counted->profiles);
            const QSignalBlocker blockWorkstations(m_workstation);
            m_workstation->addItems(counted->workstations);
            const QSignalBlocker blockDepartments(m_department);
            m_department->addItems(counted->departments);
        }
    });
    m_counting->start();
}

void JournalWindow::setServerState(const QString& error, int unsent) {
    QString text = error;
    if (unsent > 0)
        text += (text.isEmpty() ? QString() : QStringLiteral("\n")) +
                QStringLiteral("Не отправлено на сервер: %1").arg(unsent);
    m_serverState->setStyleSheet(error.isEmpty() ? QString() : QStringLiteral("color: #a00000"));
    m_serverState->setText(text);
    m_serverState->setVisible(!text.isEmpty());
}

void JournalWindow::showProblem(const QString& text) {
    m_problem->setText(text);
    m_problem->setVisible(!text.isEmpty());
}

void JournalWindow::openExam(int row) {
    if (row < 0 || row >= m_model->rowCount())
        return;
    QString error;
    const std::optional<JournalEntry> exam = m_query->exam(m_model->row(row).id, &error);
    if (!exam) {
        QMessageBox::warning(this, windowTitle(),
                             error.isEmpty() ? QStringLiteral("Экзамен не найден в журнале.") : error);
        return;
    }
    delete m_examDialog;
    m_examDialog = new JournalExamDialog(*exam, this);
    m_examDialog->setAttribute(Qt::WA_DeleteOnClose);
    m_examDialog->show();
    // The double click that opened the exam selected its row; that is no choice of rows for a protocol.
    m_table->clearSelection();
}

void JournalWindow::showStatistics(const QList<QuestionStatisticsRow>& rows, const QString& caption) {
    if (!m_statistics) {
        m_statistics = new QuestionStatisticsView(this);
        connect(m_statistics, &QuestionStatisticsView::openQuestionRequested, this,
                &JournalWindow::openQuestionRequested);
    }
    m_statistics->setRows(rows, caption);
    m_statistics->show();
    m_statistics->raise();
    m_statistics->activateWindow();
}

} // namespace zet::ui
