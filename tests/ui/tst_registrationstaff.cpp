// The registration boxes filled from the staff list: typing a name or a personnel number
// offers the matching people, and picking one fills the boxes as the examiner would.

#include "app/appcore.h"
#include "app/stafflist.h"
#include "ui/exam/exammode.h"
#include "ui/exam/registrationarea.h"
#include "ui/exam/staffcompleter.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/messages.h"

#include "examcontrols.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QTemporaryDir>
#include <QTest>

using namespace zet;
using namespace zet::ui;

namespace {

const QDate kToday(2024, 6, 15);

StaffRecord person(const QString& number, const QString& name, const QString& job, QDate birth, QDate hire) {
    return {number, name, job, QStringLiteral("Цех № 2"), birth, hire, 2};
}

// Types text key by key, as a keyboard with Russian letters does (QTest::keyClicks knows Latin only).
void typeInto(QWidget* box, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace

class TestRegistrationStaff : public QObject {
    Q_OBJECT
private slots:
    void completerFillsTheBoxes_data();
    void completerFillsTheBoxes();
};

void TestRegistrationStaff::completerFillsTheBoxes_data() {
    QTest::addColumn<bool>("listLoaded");
    QTest::addColumn<bool>("intoNumber"); // typed into the personnel number box, else the name box
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("boxes"); // name, birth year, job title, seniority, personnel number; empty: nothing offered
    // Hired a day after today's date nine years ago: eight full years.
    QTest::newRow("a name") << true << false << QStringLiteral("ивано")
                            << QStringList{QStringLiteral("Иванов Иван Иванович"), QStringLiteral("1980"),
                                           QStringLiteral("Электромонтёр"), QStringLiteral("8"), QStringLiteral("1017")};
    QTest::newRow("a personnel number, no dates")
        << true << true << QStringLiteral("005")
        << QStringList{QStringLiteral("Сидорова Анна"), QString(), QStringLiteral("Оператор"), QString(),
                       QStringLiteral("00542")};
    QTest::newRow("no staff list") << false << false << QStringLiteral("ивано") << QStringList();
    // The popup opens on «иванов» and closes on «иванова»: typing goes on in the box.
    QTest::newRow("typed past the list") << true << false << QStringLiteral("ивановаz") << QStringList();
}

void TestRegistrationStaff::completerFillsTheBoxes() {
    QFETCH(bool, listLoaded);
    QFETCH(bool, intoNumber);
    QFETCH(QString, typed);
    QFETCH(QStringList, boxes);
    QTemporaryDir dir;
    QStringList messages;
    hooks().message = [&messages](const QString& text) { messages << text; };
    AppCore core(nullptr, [] { return kToday; });
    MainWindow window(core, MainWindowOptions{dir.path()});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (listLoaded) {
        StaffFile file;
        file.records = {person(QStringLiteral("1017"), QStringLiteral("Иванов Иван Иванович"),
                               QStringLiteral("Электромонтёр"), QDate(1980, 2, 29), QDate(2015, 6, 16)),
                        person(QStringLiteral("00542"), QStringLiteral("Сидорова Анна"), QStringLiteral("Оператор"),
                               QDate(), QDate())};
        StaffImportReport report;
        const JournalResult imported = core.staff().importRecords(file, report);
        QVERIFY2(imported.ok, qPrintable(imported.error));
    }
    window.toggleExamMode();
    RegistrationArea* area = window.examMode().registrationArea();
    const RegistrationControls ctl(area);
    QVERIFY(ctl.complete());
    ctl.seniorityBox->setText(QStringLiteral("31"));
    QLineEdit* box = intoNumber ? ctl.personnelNumberBox : ctl.fullNameBox;
    box->setFocus();
    typeInto(box, typed);
    QAbstractItemView* popup = area->staffCompleter()->completerOf(box)->popup();
    if (boxes.isEmpty()) {
        QVERIFY(!popup->isVisible());
        QCOMPARE(ctl.seniorityBox->text(), QStringLiteral("31"));
        QCOMPARE(box->text(), typed);
    } else {
        QTRY_VERIFY(popup->isVisible());
        QCOMPARE(popup->model()->rowCount(), 1);
        popup->setCurrentIndex(popup->model()->index(0, 0));
        QTest::keyClick(popup, Qt::Key_Return);
        QCOMPARE(QStringList({ctl.fullNameBox->text(), ctl.birthYearBox->text(), ctl.jobTitleBox->text(),
                              ctl.seniorityBox->text(), ctl.personnelNumberBox->text()}),
                 boxes);
        QVERIFY(!ctl.fullNameBox->isReadOnly() && !ctl.personnelNumberBox->isReadOnly());
    }
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join(QLatin1Char('\n'))));
    hooks() = MessageHooks{};
}

QTEST_MAIN(TestRegistrationStaff)
#include "tst_registrationstaff.moc"
