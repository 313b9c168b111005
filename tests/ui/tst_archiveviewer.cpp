#include "app/appcore.h"
#include "coreaccess.h"
#include "archive/dayfile.h"
#include "archive/dayview.h"
#include "journal/journal.h"
#include "model/cp1251.h"
#include "ui/archive/archiveviewer.h"
#include "ui/shell/messages.h"

#include "testdata.h"
#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <QTest>
#include <QTextCharFormat>

using namespace zet;

namespace {

const QDate kToday(2024, 5, 13);

ExamineeRecord filledRecord(int slot) {
    return testing::sampleRecord(slot, QStringLiteral("Иванов И.И. %1").arg(slot));
}

// The lines of the day text: every shown line is followed by a line end.
QStringList shownLines(const QPlainTextEdit* box) {
    QString text = box->toPlainText();
    if (text.isEmpty())
        return {};
    [&] { QVERIFY2(text.endsWith(QLatin1Char('\n')), "the last line has no line end"); }();
    text.chop(1);
    return text.split(QLatin1Char('\n'));
}

} // namespace

class TestArchiveViewer : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void dayWithRecords_data();
    void dayWithRecords();
    void dayWithoutFileKeepsText();
    void enterModeRunsTheReactionOnce();
    void clickOnADay();
    void arrowKeysOnlySelect();
    void handEditedFile();
    void daysWithResultsAreBold();
    void oneHugeLineShowsAtOnce();
    void recordEditedAfterTheExamIsNamed();

private:
    // Writes a day file with the first `filled` slots used, the way the exam writes it.
    void writeDay(const QDate& date, int filled);
    void pick(const QDate& date);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppCore> m_core;
    std::unique_ptr<QWidget> m_surface;
    ui::ArchiveViewer* m_viewer = nullptr;
    QCalendarWidget* m_calendar = nullptr;
    QPlainTextEdit* m_dayText = nullptr;
    QLabel* m_dayCaption = nullptr;
    QStringList m_messages;
};

void TestArchiveViewer::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_core = std::make_unique<AppCore>(nullptr, [] { return kToday; });
    coreDatabase(*m_core).programFolder = m_dir->path() + QDir::separator();
    m_surface = std::make_unique<QWidget>();
    m_surface->resize(1000, 700);
    m_viewer = new ui::ArchiveViewer(*m_core, m_surface.get());
    m_surface->show();
    m_calendar = m_viewer->findChild<QCalendarWidget*>(QStringLiteral("calendar"));
    m_dayText = m_viewer->findChild<QPlainTextEdit*>(QStringLiteral("dayText"));
    m_dayCaption = m_viewer->findChild<QLabel*>(QStringLiteral("dayCaption"));
    QVERIFY(m_calendar && m_dayText && m_dayCaption);
    m_messages.clear();
    ui::hooks().message = [this](const QString& text) { m_messages << text; };
}

void TestArchiveViewer::cleanup() {
    ui::hooks() = {};
    m_surface.reset();
    m_core.reset();
    m_dir.reset();
}

void TestArchiveViewer::writeDay(const QDate& date, int filled) {
    DayRegisterArray reg{};
    for (int slot = 1; slot <= filled; ++slot)
        reg[slot] = filledRecord(slot);
    DayArchive archive;
    archive.monthFolder = monthFolderFor(coreDatabase(*m_core).programFolder, date);
    archive.dayFileName = dayFileNameFor(date);
    QVERIFY(QDir().mkpath(archive.monthFolder));
    const DayFileResult written = archive.writeDayFile(reg);
    QVERIFY2(written.ok, qPrintable(written.error));
}

void TestArchiveViewer::pick(const QDate& date) {
    m_calendar->setSelectedDate(date);
    m_viewer->dayPicked();
}

void TestArchiveViewer::dayWithRecords_data() {
    QTest::addColumn<int>("filled");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("three records") << 3 << 39 << QString(58, QLatin1Char('*'));
    QTest::newRow("one record") << 1 << 13 << QString(58, QLatin1Char('*'));
    QTest::newRow("nobody finished") << 0 << 0 << QString();
    QTest::newRow("full day") << 100 << 1300 << QString(58, QLatin1Char('*'));
}

void TestArchiveViewer::dayWithRecords() {
    QFETCH(int, filled);
    QFETCH(int, lines);
    QFETCH(QString, lastLine);
    writeDay(kToday, filled);
    m_dayText->setPlainText(QStringLiteral("earlier day\n"));

    m_viewer->enterMode();

    QVERIFY(m_messages.isEmpty());
    QCOMPARE(m_calendar->selectedDate(), kToday);
    const QStringList shown = shownLines(m_dayText);
    QCOMPARE(shown.size(), lines);
    if (lines > 0) {
        QCOMPARE(shown.first(), QStringLiteral("Порядковый номер:  1"));
        QCOMPARE(shown.at(3), QStringLiteral("Ф.И.О.: Иванов И.И. 1"));
        QCOMPARE(shown.at(6), QStringLiteral("Стаж работы:  12"));
        QCOMPARE(shown.last(), lastLine);
        QCOMPARE(shown.at((filled - 1) * 13 + 3), QStringLiteral("Ф.И.О.: Иванов И.И. %1").arg(filled));
    }
    QCOMPARE(m_dayCaption->text(), QStringLiteral("Результаты за 13.05.2024"));
    QVERIFY(!shown.contains(dayFileEndMarker()));
}

void TestArchiveViewer::dayWithoutFileKeepsText() {
    writeDay(kToday, 3);
    m_viewer->enterMode();
    const QString before = m_dayText->toPlainText();
    QVERIFY(!before.isEmpty());

    pick(QDate(2024, 5, 20)); // same month, no file
    QCOMPARE(m_messages, QStringList{QStringLiteral("Данные за этот день отсутствуют")});
    QCOMPARE(m_dayText->toPlainText(), before);
    QCOMPARE(m_dayCaption->text(), QStringLiteral("Результаты за 13.05.2024"));

    pick(QDate(2019, 1, 7)); // no year folder at all
    QCOMPARE(m_messages.size(), 2);
    QCOMPARE(m_messages.last(), QStringLiteral("Данные за этот день отсутствуют"));
    QCOMPARE(m_dayText->toPlainText(), before);
}

void TestArchiveViewer::enterModeRunsTheReactionOnce() {
    m_calendar->setSelectedDate(QDate(2023, 1, 2));
    m_viewer->enterMode();
    QCOMPARE(m_calendar->selectedDate(), kToday);
    QCOMPARE(m_calendar->monthShown(), 5);
    QCOMPARE(m_calendar->yearShown(), 2024);
    QCOMPARE(m_messages, QStringList{QStringLiteral("Данные за этот день отсутствуют")});
}

void TestArchiveViewer::clickOnADay() {
    writeDay(QDate(2024, 5, 22), 2);
    m_viewer->enterMode();
    m_messages.clear();

    // Find the cell of 22 May in the calendar's grid and click it with the mouse.
    auto* view = m_calendar->findChild<QAbstractItemView*>();
    QVERIFY(view);
    QModelIndex cell;
    for (int row = 0; row < view->model()->rowCount() && !cell.isValid(); ++row)
        for (int column = 0; column < view->model()->columnCount(); ++column) {
            const QModelIndex index = view->model()->index(row, column);
            if (index.data().toString() == QStringLiteral("22")) {
                cell = index;
                break;
            }
        }
    QVERIFY(cell.isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());

    QCOMPARE(m_calendar->selectedDate(), QDate(2024, 5, 22));
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(shownLines(m_dayText).size(), 26);
    QCOMPARE(m_dayCaption->text(), QStringLiteral("Результаты за 22.05.2024"));
}

void TestArchiveViewer::arrowKeysOnlySelect() {
    writeDay(kToday, 1);
    writeDay(kToday.addDays(2), 3);
    m_viewer->enterMode();
    auto* view = m_calendar->findChild<QAbstractItemView*>();
    QVERIFY(view);
    view->setFocus();

    QTest::keyClick(view, Qt::Key_Right);
    QCOMPARE(m_calendar->selectedDate(), kToday.addDays(1));
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(shownLines(m_dayText).size(), 13);

    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(m_calendar->selectedDate(), kToday.addDays(2));
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(shownLines(m_dayText).size(), 39);
}

void TestArchiveViewer::handEditedFile() {
    // No end marker, last line cut short without a line end.
    const QString path = dayFilePathFor(coreDatabase(*m_core).programFolder, kToday);
    QVERIFY(QDir().mkpath(monthFolderFor(coreDatabase(*m_core).programFolder, kToday)));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        encodeCp1251(QStringLiteral("Порядковый номер:  1\r\nНомер профиля:  2\r\nНазвание те")).bytes);
    file.close();

    m_viewer->enterMode();
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(shownLines(m_dayText),
             (QStringList{QStringLiteral("Порядковый номер:  1"), QStringLiteral("Номер профиля:  2"),
                          QStringLiteral("Название те")}));
}

void TestArchiveViewer::daysWithResultsAreBold() {
    auto isBold = [this](const QDate& date) {
        return m_calendar->dateTextFormat(date).fontWeight() == QFont::Bold;
    };
    writeDay(QDate(2024, 5, 3), 1);
    writeDay(kToday, 1);
    writeDay(QDate(2024, 6, 10), 1);
    m_viewer->enterMode();
    QVERIFY(isBold(QDate(2024, 5, 3)));
    QVERIFY(isBold(kToday));
    QVERIFY(!isBold(QDate(2024, 5, 4)));
    QVERIFY(!isBold(QDate(2024, 6, 10))); // not on the shown page yet

    m_calendar->setCurrentPage(2024, 6);
    QVERIFY(isBold(QDate(2024, 6, 10)));
    QVERIFY(!isBold(QDate(2024, 5, 3)));

    // A day file written while the viewer is open shows up with the next load.
    m_calendar->setCurrentPage(2024, 5);
    QVERIFY(!isBold(QDate(2024, 5, 20)));
    writeDay(QDate(2024, 5, 20), 2);
    pick(QDate(2024, 5, 20));
    QVERIFY(isBold(QDate(2024, 5, 20)));
    QVERIFY(isBold(QDate(2024, 5, 3)));
}

// A day file of one line of a megabyte (damaged or foreign) used to take the box half a
// minute to lay out. It shows at once, its line cut and marked, and the file stays as it was.
void TestArchiveViewer::oneHugeLineShowsAtOnce() {
    const QString path = dayFilePathFor(coreDatabase(*m_core).programFolder, kToday);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    const QByteArray bytes = QByteArray(1024 * 1024, 'x') + "\r\n" + encodeCp1251(dayFileEndMarker()).bytes;
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QElapsedTimer clock;
    clock.start();
    m_viewer->showDay(path, kToday);
    m_dayText->viewport()->repaint();
    QCoreApplication::processEvents();
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));

    const QStringList lines = shownLines(m_dayText);
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines[0].startsWith(QString(kDayViewLineWidth, QLatin1Char('x')) + QStringLiteral(" …")));
    QVERIFY2(lines[0].contains(QStringLiteral("обрезана")) && lines[0].contains(QStringLiteral("1048576")),
             qPrintable(lines[0].right(80)));
    QVERIFY(m_messages.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
}

QTEST_MAIN(TestArchiveViewer)
#include "tst_archiveviewer.moc"

// The journal keeps the day's exams; a record edited in the file afterwards is named in the
// caption line while the text shows the file as it is.
void TestArchiveViewer::recordEditedAfterTheExamIsNamed() {
    writeDay(kToday, 3);
    QVERIFY(m_core->startJournal().isEmpty());
    Journal& journal = *m_core->journal();
    DayRegisterArray reg{};
    for (int slot = 1; slot <= 3; ++slot)
        reg[slot] = filledRecord(slot);
    QVERIFY(journal.store().recordImported(importedEntries(reg, journal.config().workstation, kToday)).ok);
    m_viewer->enterMode();
    QCOMPARE(m_dayCaption->text(), QStringLiteral("Результаты за 13.05.2024"));

    const QString path = dayFilePathFor(coreDatabase(*m_core).programFolder, kToday);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    file.close();
    bytes.replace(encodeCp1251(QStringLiteral("Ф.И.О.: Иванов И.И. 2")).bytes,
                  encodeCp1251(QStringLiteral("Ф.И.О.: Петров П.П. 2")).bytes);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    m_viewer->enterMode();
    QCOMPARE(m_dayCaption->text(),
             QStringLiteral("Результаты за 13.05.2024 — изменены после экзамена: № 2 Петров П.П. 2"));
    QCOMPARE(shownLines(m_dayText).at(13 + 3), QStringLiteral("Ф.И.О.: Петров П.П. 2"));
}
