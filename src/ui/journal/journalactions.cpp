#include "ui/journal/journalactions.h"

#include "documents/journalpaperwork.h"
#include "documents/journaltables.h"
#include "documents/tableexport.h"
#include "journal/journalverify.h"
#include "ui/journal/commissiondialog.h"
#include "ui/journal/duelistdialog.h"
#include "ui/journal/journalexamdialog.h"
#include "ui/journal/journalwindow.h"
#include "ui/journal/staffdialog.h"
#include "app/stafflist.h"
#include "ui/shell/messages.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

namespace zet::ui {

namespace {

const QString kTableFilters = QStringLiteral("Книга Excel (*.xlsx);;CSV, разделитель «;» (*.csv)");

} // namespace

JournalActions::JournalActions(const QString& folder, JournalWindow* window)
    : QObject(window), m_folder(folder), m_window(window), m_today([] { return QDate::currentDate(); }) {
    m_saveFileName = [this](const QString& caption, const QString& filters, const QString& name) {
        return QFileDialog::getSaveFileName(m_window, caption, QDir(m_folder).filePath(name), filters);
    };
    m_openFileName = [this](const QString& caption, const QString& filters, const QString& name) {
        return QFileDialog::getOpenFileName(m_window, caption, QDir(m_folder).filePath(name), filters);
    };
    connect(window, &JournalWindow::protocolRequested, this, &JournalActions::showProtocol);
    connect(window, &JournalWindow::exportRequested, this, &JournalActions::exportList);
    connect(window, &JournalWindow::statisticsRequested, this, &JournalActions::showStatistics);
    connect(window, &JournalWindow::dueListRequested, this, &JournalActions::showDueList);
    connect(window, &JournalWindow::commissionRequested, this, &JournalActions::editCommission);
    connect(window, &JournalWindow::staffRequested, this, &JournalActions::showStaff);
    connect(window, &JournalWindow::registerRequested, this, &JournalActions::exportRegister);
    connect(window, &JournalWindow::integrityCheckRequested, this, &JournalActions::checkIntegrity);
}

JournalActions::~JournalActions() = default;

DueListDialog* JournalActions::dueListDialog() const {
    return m_dueList;
}

StaffDialog* JournalActions::staffDialog() const {
    return m_staffDialog;
}

void JournalActions::problem(const QString& text) const {
    showMessage(m_window, text);
}

void JournalActions::showProtocol(const QList<QUuid>& selected, const JournalFilter& filter) {
    ProtocolContent content;
    QString warning;
    if (const JournalResult read = protocolContent(m_folder, selected, filter, content, &warning); !read.ok) {
        problem(QStringLiteral("Протокол не составлен.\n%1").arg(read.error));
        return;
    }
    if (!warning.isEmpty())
        problem(warning);
    if (content.settings.organisation.isEmpty() && content.settings.chair.fullName.isEmpty()) {
        if (askYesNo(m_window, QStringLiteral("Организация и комиссия ещё не заданы, в протоколе останутся "
                                              "пустые места.\nЗадать их сейчас?"))) {
            editCommission();
            PaperworkSettings(m_folder).readProtocol(content.settings);
        }
    }
    const std::unique_ptr<QTextDocument> document = protocolDocument(content);

    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QStringLiteral("Протокол проверки знаний"));
    QPrintPreviewDialog preview(&printer, m_window);
    preview.setObjectName(QStringLiteral("protocolPreview"));
    const QString numbered = content.number.isEmpty() ? QString() : QStringLiteral(" № %1").arg(content.number);
    // Whether the protocol covers the picked rows or the whole list found is said in the title.
    const QString covers = selected.isEmpty() ? QStringLiteral("все найденные: %1").arg(content.exams.size())
                                              : QStringLiteral("выбрано: %1").arg(content.exams.size());
    preview.setWindowTitle(
        QStringLiteral("Протокол проверки знаний%1 (%2) — предварительный просмотр").arg(numbered, covers));
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
            [&document](QPrinter* device) { printDocument(*document, device); });
    if (QToolBar* tools = preview.findChild<QToolBar*>()) {
        tools->addSeparator();
        QAction* save = tools->addAction(QStringLiteral("Сохранить в PDF…"));
        save->setObjectName(QStringLiteral("savePdfAction"));
        save->setToolTip(QStringLiteral("Сохранить протокол в файл PDF"));
        connect(save, &QAction::triggered, &preview, [this, &document, &content, &preview, numbered] {
            const QDate day = content.exams.first().date;
            const QString path = m_saveFileName(
                QStringLiteral("Сохранить протокол"), QStringLiteral("PDF (*.pdf)"),
                QStringLiteral("Протокол%1 %2.pdf").arg(numbered, day.toString(QStringLiteral("yyyy-MM-dd"))));
            if (path.isEmpty())
                return;
            const JournalResult written = renderToPdf(*document, path, QStringLiteral("Протокол проверки знаний"));
            if (!written.ok)
                showMessage(&preview, QStringLiteral("Протокол не сохранён.\n%1").arg(written.error));
        });
    }
    preview.resize(900, 1000);
    preview.exec();
}

void JournalActions::exportList(const JournalFilter& filter, const JournalSort& sort) {
    const QString path =
        m_saveFileName(QStringLiteral("Экспорт списка экзаменов"), kTableFilters, QStringLiteral("Журнал.xlsx"));
    if (path.isEmpty())
        return;
    if (const JournalResult written = exportFilteredExams(m_folder, filter, sort, path); !written.ok)
        problem(QStringLiteral("Список не сохранён.\n%1").arg(written.error));
}

void JournalActions::showStatistics(const JournalFilter& filter) {
    QList<QuestionStatistic> statistics;
    QString caption;
    if (const JournalResult read = readQuestionStatistics(m_folder, filter, statistics, &caption); !read.ok) {
        problem(QStringLiteral("Статистика не подсчитана.\n%1").arg(read.error));
        return;
    }
    QList<QuestionStatisticsRow> rows;
    rows.reserve(statistics.size());
    for (const QuestionStatistic& s : statistics)
        rows.append({s.theme, s.questionNo, s.questionText, s.asked, s.wrong});
    if (m_window)
        m_window->showStatistics(rows, caption);
}

void JournalActions::showDueList() {
    if (!m_dueList) {
        m_dueList = new DueListDialog(m_window);
        m_dueList->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_dueList, &DueListDialog::periodsSaveRequested, this, [this](const RecheckPeriods& periods) {
            if (const JournalResult written = PaperworkSettings(m_folder).writePeriods(periods); !written.ok) {
                problem(QStringLiteral("Периоды проверки не сохранены.\n%1").arg(written.error));
                return;
            }
            refreshDueList();
        });
        connect(m_dueList, &DueListDialog::exportRequested, this, [this] {
            const QString path = m_saveFileName(QStringLiteral("Экспорт сроков проверки"), kTableFilters,
                                                QStringLiteral("Сроки проверки.xlsx"));
            if (path.isEmpty())
                return;
            if (const JournalResult written = writeTable(dueTable(m_dueList->entries()), path); !written.ok)
                problem(QStringLiteral("Список не сохранён.\n%1").arg(written.error));
        });
    }
    refreshDueList();
    m_dueList->show();
    m_dueList->raise();
}

void JournalActions::refreshDueList() {
    QList<DueEntry> due;
    RecheckPeriods periods;
    JournalResult read = PaperworkSettings(m_folder).readPeriods(periods);
    if (read.ok)
        read = readDueList(m_folder, m_today(), due);
    if (!read.ok)
        problem(QStringLiteral("Сроки проверки не подсчитаны.\n%1").arg(read.error));
    m_dueList->setList(due, periods);
}

void JournalActions::showStaff() {
    if (!m_staff) {
        problem(QStringLiteral("Список персонала здесь недоступен."));
        return;
    }
    if (!m_staffDialog) {
        m_staffDialog = new StaffDialog(m_window);
        m_staffDialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_staffDialog, &StaffDialog::loadRequested, this, &JournalActions::loadStaffList);
        auto change = [this](const QString& failed, const std::function<JournalResult()>& run) {
            if (const JournalResult changed = run(); !changed.ok)
                problem(failed + QLatin1Char('\n') + changed.error);
            refreshStaff();
            if (m_dueList)
                refreshDueList();
        };
        connect(m_staffDialog, &StaffDialog::assignmentAddRequested, this, [this, change](const StaffAssignment& a) {
            change(QStringLiteral("Назначение не сохранено."), [this, a] { return m_staff->setAssignment(a); });
        });
        connect(m_staffDialog, &StaffDialog::assignmentRemoveRequested, this, [this, change](const StaffAssignment& a) {
            change(QStringLiteral("Назначение не удалено."), [this, a] { return m_staff->removeAssignment(a); });
        });
    }
    refreshStaff();
    m_staffDialog->show();
    m_staffDialog->raise();
}

void JournalActions::refreshStaff() {
    QList<StaffPerson> people;
    QList<StaffAssignment> assignments;
    JournalResult read = m_staff->people(people);
    if (read.ok)
        read = m_staff->assignments(assignments);
    if (!read.ok)
        problem(QStringLiteral("Список персонала не прочитан.\n%1").arg(read.error));
    m_staffDialog->setPeople(people, m_staff->whereText());
    m_staffDialog->setAssignments(assignments);
}

void JournalActions::loadStaffList() {
    // The lines of a message box a screen can hold.
    constexpr qsizetype kShownLines = 40;
    const QString path = m_openFileName(QStringLiteral("Загрузить список персонала"),
                                        QStringLiteral("Список персонала (*.xlsx *.csv);;Все файлы (*)"), QString());
    if (path.isEmpty())
        return;
    StaffImportReport report;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const JournalResult loaded = m_staff->importFile(path, report);
    QApplication::restoreOverrideCursor();
    if (!loaded.ok) {
        problem(QStringLiteral("Список персонала не загружен.\n%1").arg(loaded.error));
        return;
    }
    QStringList lines = report.lines();
    if (lines.size() > kShownLines) {
        const qsizetype more = lines.size() - kShownLines;
        lines = lines.mid(0, kShownLines);
        lines << QStringLiteral("… и ещё %1 (полный список: razividerur staff import)").arg(more);
    }
    refreshStaff();
    if (m_dueList)
        refreshDueList();
    problem(QStringLiteral("Список персонала загружен.\n") + lines.join(QLatin1Char('\n')));
}

void JournalActions::exportRegister(const JournalFilter& filter) {
    if (filter.department.isEmpty()) {
        problem(QStringLiteral("Выберите подразделение в фильтре над списком: журнал проверки знаний составляется "
                               "по одному подразделению за выбранный период."));
        return;
    }
    const QString path = m_saveFileName(QStringLiteral("Журнал проверки знаний подразделения"),
                                        QStringLiteral("Книга Excel (*.xlsx)"),
                                        QStringLiteral("Журнал проверки знаний %1.xlsx")
                                            .arg(QString(filter.department).replace(QLatin1Char('/'), QLatin1Char('-'))));
    if (path.isEmpty())
        return;
    const JournalResult written = exportDepartmentRegister(m_folder, filter.department, filter.from, filter.until, path);
    if (!written.ok)
        problem(QStringLiteral("Журнал подразделения не сохранён.\n%1").arg(written.error));
}

void JournalActions::editCommission() {
    PaperworkSettings paperwork(m_folder);
    ProtocolSettings settings;
    if (const JournalResult read = paperwork.readProtocol(settings); !read.ok)
        problem(read.error);
    CommissionDialog dialog(m_window);
    dialog.setSettings(settings);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (const JournalResult written = paperwork.writeProtocol(dialog.settings()); !written.ok)
        problem(QStringLiteral("Состав комиссии не сохранён.\n%1").arg(written.error));
}

} // namespace zet::ui

namespace zet::ui {

void JournalActions::checkIntegrity() {
    // The lines of a message box a screen can hold; the command line shows all of them.
    constexpr qsizetype kShownLines = 40;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const IntegrityReport report = verifyJournal(m_folder);
    QApplication::restoreOverrideCursor();
    QStringList lines = report.lines();
    if (lines.size() > kShownLines) {
        const qsizetype more = lines.size() - kShownLines;
        lines = lines.mid(0, kShownLines);
        lines << QStringLiteral("… и ещё %1 (полный список: razividerur journal verify)").arg(more);
    }
    problem(lines.join(QLatin1Char('\n')));
}

} // namespace zet::ui
