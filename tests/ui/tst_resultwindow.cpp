// The result window: its rows in their order, the values it is filled with, and "Выход".

#include "ui/exam/resultwindow.h"
#include "ui/shell/uikit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace zet;
using namespace zet::ui;

namespace {

QRect fromTwips(int left, int top, int width, int height) {
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

} // namespace

class TestResultWindow : public QObject {
    Q_OBJECT
private slots:
    void rows_data();
    void rows();
    void window();
    void filledFromTheRecord();
    void closeBoxActsAsExit();
};

void TestResultWindow::rows_data() {
    QTest::addColumn<int>("label");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("labelRect");
    QTest::addColumn<int>("text");
    QTest::addColumn<QRect>("textRect");

    QTest::newRow("1") << 0 << "Тема теста:" << fromTwips(135, 225, 1635, 375) << 1
                       << fromTwips(1800, 180, 10770, 945);
    QTest::newRow("2") << 1 << "Профиль:" << fromTwips(45, 1215, 1725, 375) << 2
                       << fromTwips(1800, 1170, 10770, 405);
    QTest::newRow("3") << 7 << "Порядковый номер:" << fromTwips(1890, 2070, 2445, 375) << 0
                       << fromTwips(4365, 2070, 1185, 405);
    QTest::newRow("4") << 2 << "Ф.И.О. сдающего:" << fromTwips(2115, 2520, 2175, 375) << 3
                       << fromTwips(4365, 2520, 8250, 405);
    QTest::newRow("5") << 3 << "Оценка:" << fromTwips(2115, 2970, 2175, 375) << 4
                       << fromTwips(4365, 2970, 1185, 405);
    QTest::newRow("6") << 4 << "Количество заданных вопросов:" << fromTwips(405, 3420, 3885, 375) << 5
                       << fromTwips(4365, 3420, 1185, 405);
    QTest::newRow("7") << 5 << "Количество правильных ответов:" << fromTwips(405, 3870, 3885, 375) << 6
                       << fromTwips(4365, 3870, 1185, 405);
    QTest::newRow("8") << 6 << "Затраченное время, сек.:" << fromTwips(1260, 4320, 3030, 375) << 7
                       << fromTwips(4365, 4320, 1185, 405);
}

void TestResultWindow::rows() {
    QFETCH(int, label);
    QFETCH(QString, caption);
    QFETCH(QRect, labelRect);
    QFETCH(int, text);
    QFETCH(QRect, textRect);

    QWidget owner;
    ResultWindow form(&owner);
    auto* l = form.findChild<QLabel*>(QStringLiteral("captionLabel_%1").arg(label));
    auto* t = form.findChild<QWidget*>(QStringLiteral("valueBox_%1").arg(text));
    QVERIFY(l);
    QVERIFY(t);
    QCOMPARE(l->text(), caption);
    QCOMPARE(l->geometry(), labelRect);
    QCOMPARE(l->buddy(), t);
    QCOMPARE(t->geometry(), textRect);
    QVERIFY(zet::ui::sansFamilies().contains(l->font().family()));
    QCOMPARE(l->font().pointSizeF(), 12.0);
    QVERIFY(zet::ui::serifFamilies().contains(t->font().family()));
    QCOMPARE(t->font().pointSizeF(), 12.0);
    QVERIFY(!t->accessibleName().isEmpty());
    if (auto* line = qobject_cast<QLineEdit*>(t))
        QVERIFY(line->isReadOnly());
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(t))
        QVERIFY(memo->isReadOnly() && text == 1);
    else
        QFAIL("a value box is neither a line nor a text box");
}

void TestResultWindow::window() {
    QWidget owner;
    ResultWindow form(&owner);
    QCOMPARE(form.objectName(), QStringLiteral("ResultWindow"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Результат"));
    QVERIFY(form.isWindow());
    QVERIFY(!form.isModal());
    QCOMPARE(form.size(), QSize(twips(12780), twips(5460)));
    auto* exit = form.findChild<QPushButton*>(QStringLiteral("exitButton"));
    QVERIFY(exit);
    QCOMPARE(exit->text(), QStringLiteral("Выход"));
    QCOMPARE(exit->geometry(), fromTwips(5580, 4950, 1905, 375));
    QVERIFY(form.isHidden());
}

void TestResultWindow::filledFromTheRecord() {
    QWidget owner;
    ResultWindow form(&owner);
    ExamineeRecord r;
    r.profileName = QStringLiteral("Электробезопасность");
    r.fullName = QStringLiteral("Смирнов С.С.");
    r.grade = 4;
    r.askedCount = 10;
    r.rightCount = 8;
    r.timeSpent = 601;
    form.showResult(7, QStringLiteral("Охрана труда\r\nвторая строка"), r);
    QVERIFY(form.isVisible());
    const QStringList expected = {QStringLiteral("7"),
                                  QStringLiteral("Охрана труда\nвторая строка"),
                                  QStringLiteral("Электробезопасность"),
                                  QStringLiteral("Смирнов С.С."),
                                  QStringLiteral("4"),
                                  QStringLiteral("10"),
                                  QStringLiteral("8"),
                                  QStringLiteral("601")};
    for (int k = 0; k < 8; ++k)
        QCOMPARE(form.value(k), expected[k]);

    // The next finish overwrites everything, an empty test name included.
    form.showResult(8, QString(), ExamineeRecord{});
    QCOMPARE(form.value(0), QStringLiteral("8"));
    QCOMPARE(form.value(1), QString());
    QCOMPARE(form.value(3), QString());
    QCOMPARE(form.value(7), QStringLiteral("0"));
}

void TestResultWindow::closeBoxActsAsExit() {
    QWidget owner;
    ResultWindow form(&owner);
    QSignalSpy acknowledged(&form, &ResultWindow::acknowledged);
    form.showResult(1, QString(), ExamineeRecord{});
    form.close();
    QVERIFY(form.isHidden());
    QCOMPARE(acknowledged.size(), 1);
    // Hidden, not gone: it keeps its contents until the next finish.
    QCOMPARE(form.value(0), QStringLiteral("1"));
}

QTEST_MAIN(TestResultWindow)
#include "tst_resultwindow.moc"
