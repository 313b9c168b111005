// The journal window on a real SQLite journal, offscreen: rows read as the view needs them,
// the list following what is typed into the search field, the details of an exam on a double
// click, the paperwork buttons, and the question statistics.

#include "../journal/testentries.h"
#include "journal/journalstore.h"
#include "ui/journal/journalexamdialog.h"
#include "ui/journal/journaltablemodel.h"
#include "ui/journal/journalwindow.h"
#include "ui/journal/questionstatisticsview.h"

#include <QApplication>
#include <QBarSet>
#include <QKeyEvent>
#include <QChartView>
#include <QComboBox>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace zet;
using namespace zet::ui;

namespace {

// count exams on consecutive days, the last one the newest; exam n is named «Иванов И.И. n».
QList<JournalEntry> fillJournal(const QString& folder, int count) {
    JournalStore store(folder);
    QList<JournalEntry> entries;
    for (int n = 0; n < count; ++n) {
        JournalEntry e = test::finishedExam(QStringLiteral("Класс-1"), n, 3);
        e.date = QDate(2020, 1, 1).addDays(n);
        entries.append(e);
    }
    store.recordImported({}); // creates the journal
    for (const JournalEntry& e : entries)
        store.record(e);
    return entries;
}

// Types the text key by key, as a keyboard with a Russian layout would (QTest::keyClicks takes Latin-1 only).
void typeText(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

bool labelStartingWith(QWidget& window, const QString& text) {
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().startsWith(text))
            return true;
    }
    return false;
}

QPushButton* buttonNamed(QWidget& window, const QString& text) {
    for (QPushButton* b : window.findChildren<QPushButton*>()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

} // namespace

class TestJournalWindow : public QObject {
    Q_OBJECT
private slots:
    void modelReadsPagesOnDemand() {
        QTemporaryDir dir;
        const int exams = JournalQuery::kPageSize * 2 + 5;
        const QList<JournalEntry> entries = fillJournal(dir.path(), exams);
        JournalQuery query(dir.path());
        JournalTableModel model(query);
        model.setFilter({});
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(model.canFetchMore({}));
        model.fetchMore({});
        QCOMPARE(model.rowCount(), JournalQuery::kPageSize);
        QCOMPARE(model.row(0).id, entries.last().id); // newest first
        model.fetchMore({});
        model.fetchMore({});
        QCOMPARE(model.rowCount(), exams);
        QVERIFY(!model.canFetchMore({}));
        QCOMPARE(model.row(exams - 1).id, entries.first().id);
        QCOMPARE(model.data(model.index(0, JournalTableModel::Right)).toString(), QStringLiteral("2 из 3"));
        QCOMPARE(model.data(model.index(0, JournalTableModel::Date)).toString(),
                 entries.last().date.toString(QStringLiteral("dd.MM.yyyy")));

        // A column without an index keeps the order; an indexed one starts from the first page.
        model.sort(JournalTableModel::JobTitle, Qt::AscendingOrder);
        QCOMPARE(model.rowCount(), exams);
        model.sort(JournalTableModel::Date, Qt::AscendingOrder);
        QCOMPARE(model.rowCount(), 0);
        model.fetchMore({});
        QCOMPARE(model.row(0).id, entries.first().id);
    }

    void typingFiltersTheList() {
        QTemporaryDir dir;
        QList<JournalEntry> entries = fillJournal(dir.path(), 30);
        {
            JournalStore store(dir.path());
            JournalEntry e = test::finishedExam(QStringLiteral("Класс-2"), 99, 2);
            e.fullName = QStringLiteral("Ёлкина Мария");
            e.personnelNo = QStringLiteral("Т-555");
            QVERIFY(store.record(e).ok);
            entries.append(e);
        }
        JournalWindow window(dir.path());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(window.model()->rowCount(), 31);

        typeText(window.searchField(), QStringLiteral("ЕЛКИН"));
        QTRY_COMPARE(window.model()->rowCount(), 1);
        QCOMPARE(window.model()->row(0).fullName, QStringLiteral("Ёлкина Мария"));
        QCOMPARE(window.filter().text, QStringLiteral("ЕЛКИН"));
        // The count follows the list, from a thread of its own.
        QTRY_VERIFY(labelStartingWith(window, QStringLiteral("Найдено экзаменов: 1 ")));

        window.searchField()->clear();
        typeText(window.searchField(), QStringLiteral("и.и. 1"));
        // «Иванов И.И. 1» and «… 10» to «… 19»
        QTRY_COMPARE(window.model()->rowCount(), 11);

        // The workstation box lists the journal's workstations and keeps to the one chosen.
        window.searchField()->clear();
        QComboBox* workstation = nullptr;
        for (QComboBox* box : window.findChildren<QComboBox*>()) {
            if (box->accessibleName() == QStringLiteral("Рабочее место"))
                workstation = box;
        }
        QVERIFY(workstation);
        QTRY_COMPARE(workstation->count(), 3);
        workstation->setCurrentText(QStringLiteral("Класс-2"));
        QTRY_COMPARE(window.model()->rowCount(), 1);
        QCOMPARE(window.model()->row(0).personnelNo, QStringLiteral("Т-555"));
    }

    void doubleClickShowsTheExam() {
        QTemporaryDir dir;
        const QList<JournalEntry> entries = fillJournal(dir.path(), 3);
        JournalWindow window(dir.path());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(window.model()->rowCount(), 3);
        QTableView* table = window.table();
        const QRect cell = table->visualRect(window.model()->index(0, JournalTableModel::FullName));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QTRY_VERIFY(window.examDialog() != nullptr);
        JournalExamDialog* dialog = window.examDialog();
        const JournalEntry& exam = entries.last();
        QCOMPARE(dialog->exam().id, exam.id);
        QTableWidget* answers = dialog->answerTable();
        QCOMPARE(answers->rowCount(), int(exam.answers.size()));
        for (int i = 0; i < exam.answers.size(); ++i) {
            const JournalAnswer& a = exam.answers.at(i);
            QCOMPARE(answers->item(i, JournalExamDialog::Question)->text(), a.questionText);
            QCOMPARE(answers->item(i, JournalExamDialog::Answer)->text(),
                     a.answerText.isEmpty() ? QStringLiteral("(ответ не выбран)") : a.answerText);
            QCOMPARE(answers->item(i, JournalExamDialog::Right)->text(),
                     a.right ? QStringLiteral("да") : QStringLiteral("нет"));
            QCOMPARE(answers->item(i, JournalExamDialog::QuestionNo)->text().toInt(), a.questionNo);
            // A wrong answer shows the right one beside it.
            QCOMPARE(answers->item(i, JournalExamDialog::RightAnswer)->text(),
                     a.right ? QString() : *a.rightAnswerText);
        }

        // The paperwork buttons say what is picked and filtered. Opening an exam picks no row,
        // a click does, and a change of the filter forgets it.
        QSignalSpy protocol(&window, &JournalWindow::protocolRequested);
        QSignalSpy exportList(&window, &JournalWindow::exportRequested);
        QSignalSpy due(&window, &JournalWindow::dueListRequested);
        buttonNamed(window, QStringLiteral("Протокол…"))->click();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        buttonNamed(window, QStringLiteral("Протокол…"))->click();
        window.searchField()->setText(QStringLiteral("Иванов"));
        window.applyFilter();
        buttonNamed(window, QStringLiteral("Протокол…"))->click();
        buttonNamed(window, QStringLiteral("Экспорт…"))->click();
        buttonNamed(window, QStringLiteral("Сроки проверки…"))->click();
        QCOMPARE(protocol.size(), 3);
        QCOMPARE(protocol.at(0).at(0).value<QList<QUuid>>(), QList<QUuid>());
        QCOMPARE(protocol.at(1).at(0).value<QList<QUuid>>(), QList<QUuid>{exam.id});
        QCOMPARE(protocol.at(2).at(0).value<QList<QUuid>>(), QList<QUuid>());
        QCOMPARE(exportList.size(), 1);
        QCOMPARE(due.size(), 1);
    }

    void statisticsChartAndDoubleClick() {
        QTemporaryDir dir;
        JournalWindow window(dir.path());
        QSignalSpy open(&window, &JournalWindow::openQuestionRequested);
        QList<QuestionStatisticsRow> rows;
        for (int i = 0; i < 25; ++i)
            rows.append({1 + i % 3, 10 + i, QStringLiteral("Вопрос %1").arg(i), 100, 90 - i});
        window.showStatistics(rows, QStringLiteral("Все экзамены"));
        QuestionStatisticsView* view = window.statisticsView();
        QVERIFY(view);
        QVERIFY(QTest::qWaitForWindowExposed(view));
        QCOMPARE(view->table()->rowCount(), 25);
        const auto series = view->chartView()->chart()->series();
        QCOMPARE(series.size(), 1);
        QBarSet* bars = static_cast<QHorizontalBarSeries*>(series.first())->barSets().first();
        QCOMPARE(bars->count(), QuestionStatisticsView::kChartQuestions);
        QCOMPARE(bars->at(bars->count() - 1), 90.0); // the worst at the top

        const QRect cell = view->table()->visualItemRect(view->table()->item(3, QuestionStatisticsView::Question));
        QTest::mouseClick(view->table()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->table()->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(open.size(), 1);
        QCOMPARE(open.at(0).at(0).toInt(), rows.at(3).theme);
        QCOMPARE(open.at(0).at(1).toInt(), rows.at(3).questionNo);
    }
};

QTEST_MAIN(TestJournalWindow)
#include "tst_journalwindow.moc"
