// The examiner's password without a window: what access.ini keeps, the trust in a given
// password, the wait after wrong ones, and changing or removing it.

#include "app/examineraccess.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zet;

namespace {

const QString kSecret = QStringLiteral("Пароль-1");

} // namespace

class TestExaminerAccess : public QObject {
    Q_OBJECT
private slots:
    void init();
    void storedAsArgon2idHashOnly();
    void trust_data();
    void trust();
    void fiveWrongThenWait();
    void change_data();
    void change();

private:
    // An access over the temporary folder with the test clock and the cheapest hash.
    ExaminerAccess makeAccess();

    std::unique_ptr<QTemporaryDir> m_dir;
    qint64 m_now = 1'000'000;
};

void TestExaminerAccess::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_now = 1'000'000;
}

ExaminerAccess TestExaminerAccess::makeAccess() {
    ExaminerAccess access([this] { return m_now; });
    access.setFolder(m_dir->path());
    access.setHashCost(ExaminerAccess::cheapestCost());
    return access;
}

void TestExaminerAccess::storedAsArgon2idHashOnly() {
    ExaminerAccess setter = makeAccess();
    QVERIFY(!setter.isSet());
    QVERIFY(!setter.mustAsk());
    QVERIFY(setter.change({}, kSecret).ok);

    QFile file(m_dir->filePath(QStringLiteral("access.ini")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("\npassword=$argon2id$"));
    QVERIFY(!text.contains(kSecret.toUtf8()));

    // Another program reads it and asks.
    ExaminerAccess reader = makeAccess();
    QVERIFY(reader.isSet());
    QVERIFY(reader.mustAsk());
    const AccessResult wrong = reader.check(QStringLiteral("пароль-1"));
    QVERIFY(!wrong.ok);
    QCOMPARE(wrong.error, QStringLiteral("Неверный пароль экзаменатора."));
    QVERIFY(reader.mustAsk());
    QVERIFY(reader.check(kSecret).ok);
    QVERIFY(!reader.mustAsk());
}

void TestExaminerAccess::trust_data() {
    QTest::addColumn<QList<qint64>>("activityAt"); // ms after the password was given
    QTest::addColumn<qint64>("askedAt");
    QTest::addColumn<bool>("examStarted");
    QTest::addColumn<bool>("asks");

    QTest::newRow("within five minutes") << QList<qint64>{} << qint64(299'000) << false << false;
    QTest::newRow("five idle minutes") << QList<qint64>{} << qint64(300'000) << false << true;
    QTest::newRow("kept by activity") << QList<qint64>{200'000, 400'000} << qint64(650'000) << false << false;
    QTest::newRow("idle after activity") << QList<qint64>{200'000} << qint64(500'000) << false << true;
    QTest::newRow("an exam start ends it") << QList<qint64>{} << qint64(1'000) << true << true;
}

void TestExaminerAccess::trust() {
    QFETCH(QList<qint64>, activityAt);
    QFETCH(qint64, askedAt);
    QFETCH(bool, examStarted);
    QFETCH(bool, asks);

    ExaminerAccess access = makeAccess();
    QVERIFY(access.change({}, kSecret).ok);
    access.endTrust();
    QVERIFY(access.mustAsk());
    const qint64 given = m_now;
    QVERIFY(access.check(kSecret).ok);
    for (qint64 at : activityAt) {
        m_now = given + at;
        access.noteActivity();
    }
    if (examStarted)
        access.endTrust();
    m_now = given + askedAt;
    QCOMPARE(access.mustAsk(), asks);
    // Activity after the trust has ended does not bring it back.
    access.noteActivity();
    QCOMPARE(access.mustAsk(), asks);
}

void TestExaminerAccess::fiveWrongThenWait() {
    ExaminerAccess access = makeAccess();
    QVERIFY(access.change({}, kSecret).ok);
    access.endTrust();
    for (int i = 0; i < 4; ++i)
        QVERIFY(!access.check(QStringLiteral("нет")).ok);
    // A right one in between starts the count anew.
    QVERIFY(access.check(kSecret).ok);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(access.check(QStringLiteral("нет")).error, QStringLiteral("Неверный пароль экзаменатора."));

    m_now += 1'000;
    const AccessResult waiting = access.check(kSecret);
    QVERIFY(!waiting.ok);
    QCOMPARE(waiting.error,
             QStringLiteral("Слишком много неверных паролей подряд. Попробуйте снова через 29 с."));
    // Changing the password waits as well.
    QVERIFY(!access.change(kSecret, QStringLiteral("другой")).ok);
    m_now += 29'000;
    QVERIFY(access.check(kSecret).ok);
}

void TestExaminerAccess::change_data() {
    QTest::addColumn<bool>("setBefore");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("setAfter");
    QTest::addColumn<QString>("works"); // the password that opens afterwards

    QTest::newRow("first set") << false << QString() << kSecret << true << true << kSecret;
    QTest::newRow("nothing to set") << false << QString() << QString() << false << false << QString();
    QTest::newRow("changed with the old one") << true << kSecret << QStringLiteral("новый") << true << true
                                              << QStringLiteral("новый");
    QTest::newRow("not changed with a wrong one") << true << QStringLiteral("нет") << QStringLiteral("новый")
                                                  << false << true << kSecret;
    QTest::newRow("removed with it") << true << kSecret << QString() << true << false << QString();
    QTest::newRow("not removed without it") << true << QString() << QString() << false << true << kSecret;
}

void TestExaminerAccess::change() {
    QFETCH(bool, setBefore);
    QFETCH(QString, current);
    QFETCH(QString, newPassword);
    QFETCH(bool, ok);
    QFETCH(bool, setAfter);
    QFETCH(QString, works);

    if (setBefore)
        QVERIFY(makeAccess().change({}, kSecret).ok);
    ExaminerAccess access = makeAccess();
    const AccessResult changed = access.change(current, newPassword);
    QCOMPARE(changed.ok, ok);
    QCOMPARE(changed.error.isEmpty(), ok);

    ExaminerAccess after = makeAccess();
    QCOMPARE(after.isSet(), setAfter);
    QCOMPARE(QFile::exists(m_dir->filePath(QStringLiteral("access.ini"))), setAfter);
    if (setAfter)
        QVERIFY(after.check(works).ok);
}

QTEST_GUILESS_MAIN(TestExaminerAccess)
#include "tst_examineraccess.moc"
