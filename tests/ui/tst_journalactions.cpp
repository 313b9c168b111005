// The journal window as the main window opens it: the menu item, the list export, the
// statistics and the question editor reached from them, and the commission settings.

#include "../journal/testentries.h"
#include "app/appcore.h"
#include "journal/journalstore.h"
#include "journal/paperworksettings.h"
#include "paperwork/paperworkmodule.h"
#include "ui/authoring/questioneditor.h"
#include "ui/journal/commissiondialog.h"
#include "ui/journal/journalactions.h"
#include "ui/journal/journalexamdialog.h"
#include "ui/journal/journalwindow.h"
#include "ui/journal/questionstatisticsview.h"
#include "ui/journal/staffdialog.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/messages.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace zet;
using namespace zet::ui;

namespace {

// Five exams of «Иванов И.И. 0» .. «Иванов И.И. 4», three questions each.
void fillJournal(const QString& folder) {
    JournalStore store(folder);
    store.recordImported({});
    for (int n = 0; n < 5; ++n)
        QVERIFY(store.record(test::finishedExam(QStringLiteral("Класс-1"), n, 3)).ok);
}

QPushButton* buttonNamed(QWidget* window, const QString& text) {
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

} // namespace

class TestJournalActions : public QObject {
    Q_OBJECT
private slots:
    void init() {
        // The paperwork linked into the test in place of its library.
        usePaperwork(&paperworkModule());
        m_dir = std::make_unique<QTemporaryDir>();
        hooks().message = [this](const QString& text) { m_messages << text; };
        m_core = std::make_unique<AppCore>();
        m_main = std::make_unique<MainWindow>(*m_core, MainWindowOptions{m_dir->path()});
        fillJournal(m_core->database().programFolder);
    }
    void cleanup() {
        m_main.reset();
        m_core.reset();
        m_dir.reset();
        hooks() = MessageHooks{};
    }

    void menuOpensJournal_exportsFilteredList_data() {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("xlsx") << QStringLiteral("list.xlsx");
        QTest::newRow("csv") << QStringLiteral("list.csv");
    }
    void menuOpensJournal_exportsFilteredList() {
        QFETCH(QString, fileName);
        JournalWindow* window = openJournal();
        QVERIFY(window);
        auto* actions = window->findChild<JournalActions*>();
        QVERIFY(actions);
        const QString path = m_dir->filePath(fileName);
        actions->setSaveFileName([&](const QString&, const QString& filters, const QString&) {
            if (!filters.contains(QStringLiteral("*.xlsx")) || !filters.contains(QStringLiteral("*.csv")))
                return QString();
            return path;
        });
        window->searchField()->setText(QStringLiteral("и.и. 3"));
        window->applyFilter();
        buttonNamed(window, QStringLiteral("Экспорт…"))->click();

        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QByteArray bytes = file.readAll();
        if (fileName.endsWith(QLatin1String(".xlsx"))) {
            QVERIFY(bytes.startsWith("PK")); // a zip package
            return;
        }
        const QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2); // the header and the one exam found
        QVERIFY(lines[1].contains(QStringLiteral("Иванов И.И. 3")));
        QVERIFY(m_messages.isEmpty());
    }

    // «Персонал…» → «Загрузить список…»: the report, the people; then an assignment added and
    // the register of a department asked for without and with the department chosen.
    void staffWindowAndDepartmentRegister() {
        JournalWindow* window = openJournal();
        QVERIFY(window);
        auto* actions = window->findChild<JournalActions*>();
        const QString list = m_dir->filePath(QStringLiteral("staff.csv"));
        QFile csv(list);
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write(QStringLiteral("ФИО;Табельный номер;Подразделение\nИванов И.И. 3;0003;Цех 1\nБез номера;;Цех 1\n").toUtf8());
        csv.close();
        actions->setOpenFileName([&](const QString&, const QString&, const QString&) { return list; });
        buttonNamed(window, QStringLiteral("Персонал…"))->click();
        StaffDialog* dialog = actions->staffDialog();
        QVERIFY(dialog);
        buttonNamed(dialog, QStringLiteral("Загрузить список…"))->click();
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages[0].contains(QStringLiteral("Добавлено: 1")) && m_messages[0].contains(QStringLiteral("строка 3")),
                 qPrintable(m_messages[0]));
        QCOMPARE(dialog->peopleTable()->rowCount(), 1);
        QCOMPARE(dialog->peopleTable()->item(0, StaffDialog::Department)->text(), QStringLiteral("Цех 1"));
        emit dialog->assignmentAddRequested({StaffAssignment::Kind::Department, QStringLiteral("Цех 1"), 2, 6});
        QCOMPARE(dialog->assignmentsTable()->rowCount(), 1);
        QCOMPARE(dialog->assignmentsTable()->item(0, StaffDialog::Period)->text(), QStringLiteral("6"));

        const QString path = m_dir->filePath(QStringLiteral("register.xlsx"));
        actions->setSaveFileName([&](const QString&, const QString&, const QString&) { return path; });
        JournalFilter filter;
        emit window->registerRequested(filter);
        QCOMPARE(m_messages.size(), 2); // no department chosen: said, nothing written
        QVERIFY(!QFile::exists(path));
        filter.department = QStringLiteral("Цех 1");
        emit window->registerRequested(filter);
        QCOMPARE(m_messages.size(), 2);
        QVERIFY(QFile::exists(path));
    }

    void statisticsOpenQuestionInEditor() {
        JournalWindow* window = openJournal();
        QVERIFY(window);
        buttonNamed(window, QStringLiteral("Статистика…"))->click();
        QuestionStatisticsView* view = window->statisticsView();
        QVERIFY(view);
        QVERIFY(!view->rows().isEmpty());
        int asked = 0;
        for (const QuestionStatisticsRow& row : view->rows())
            asked += row.asked;
        QCOMPARE(asked, 5 * 3);

        emit window->openQuestionRequested(3, 7);
        QCOMPARE(m_main->appMode(), MainWindow::modeIndex(MainWindow::Mode::QuestionEditor));
        auto* editor = m_main->findChild<QuestionEditor*>();
        QCOMPARE(int(editor->editedTheme()), 3);
        QCOMPARE(int(editor->editedQuestion()), 7);
        // In the editor the menu item is hidden like the rest of the main mode's entries.
        QVERIFY(!m_main->findChild<QAction*>(QStringLiteral("journalAction"))->isVisible());
    }

    void commissionRoundTrip() {
        ProtocolSettings settings;
        settings.organisation = QStringLiteral("АО «Северная энергосеть»");
        settings.order = QStringLiteral("Приказ № 15 от 10.01.2024");
        settings.chair = {QStringLiteral("Петров П.П."), QStringLiteral("главный инженер")};
        settings.members = {{QStringLiteral("Сидорова А.Ё."), QStringLiteral("инженер по охране труда")},
                            {QStringLiteral("Кузнецов К.К."), QString()}};
        settings.programmes = {{2, QStringLiteral("Программа № 4 «Работы на высоте»")}};
        CommissionDialog dialog;
        dialog.setSettings(settings);
        dialog.programmesTable()->item(6, 1)->setText(QStringLiteral(" Программа № 9 "));
        settings.programmes.insert(7, QStringLiteral("Программа № 9"));
        // A row left without a name is no member.
        dialog.membersTable()->insertRow(2);
        dialog.membersTable()->setItem(2, 1, new QTableWidgetItem(QStringLiteral("мастер")));
        PaperworkSettings paperwork(m_dir->path());
        QVERIFY(paperwork.writeProtocol(dialog.settings()).ok);

        ProtocolSettings read;
        QVERIFY(paperwork.readProtocol(read).ok);
        QCOMPARE(read, settings);
        CommissionDialog again;
        again.setSettings(read);
        QCOMPARE(again.settings(), settings);
        QCOMPARE(again.membersTable()->rowCount(), 2);
    }

private:
    JournalWindow* openJournal() {
        m_main->findChild<QAction*>(QStringLiteral("journalAction"))->trigger();
        auto* window = m_main->findChild<JournalWindow*>();
        return window && window->isVisible() ? window : nullptr;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppCore> m_core;
    std::unique_ptr<MainWindow> m_main;
    QStringList m_messages;
};

QTEST_MAIN(TestJournalActions)
#include "tst_journalactions.moc"
