// The results journal fed by the program core: every finished exam with its answers, a
// journal that cannot be written, and the catch-up at start-up.

#include "app/appcore.h"
#include "coreaccess.h"
#include "examfixture.h"
#include "journal/journal.h"

#include "testdata.h"

#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace zet;
using namespace zet::testing;

namespace {

const QDateTime kStart(kToday, QTime(9, 30, 0));

// The core with the journal opened as start-up opens it; its clock reads kStart plus the
// seconds the exam clock has counted.
std::unique_ptr<AppCore> makeJournalledModule(const QString& folder, std::uint32_t seed = 77) {
    std::unique_ptr<AppCore> m = makeModule(folder, seed);
    if (!m)
        return nullptr;
    coreDatabase(*m).profiles[1].timeLimit = 20;
    AppCore* core = m.get();
    core->setClock([core] {
        const ExamState& e = core->examState();
        const int spent = e.currentExaminee >= 1 && e.currentExaminee <= kRegisterSlots
                              ? e.dayRegister[e.currentExaminee].timeSpent
                              : 0;
        return kStart.addSecs(spent);
    });
    if (!m->startJournal().isEmpty())
        return nullptr;
    return m;
}

void tick(AppCore& core, int seconds) {
    for (int s = 0; s < seconds; ++s)
        core.clockTick();
}

} // namespace

class TestExamJournal : public QObject {
    Q_OBJECT
private slots:
    // A server that takes the connection and never answers: the start does not wait for it,
    // and its trouble is told once, when the connection gives up.
    void silentServerIsToldOnceWithoutHoldingTheStart() {
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        QVERIFY(listener >= 0);
        auto closeListener = qScopeGuard([listener] { ::close(listener); });
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        QVERIFY(::bind(listener, reinterpret_cast<sockaddr*>(&address), length) == 0);
        QVERIFY(::listen(listener, 4) == 0);
        QVERIFY(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) == 0);

        QTemporaryDir dir;
        QFile ini(dir.filePath(QStringLiteral("journal.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[journal]\ndriver=postgresql\nhost=127.0.0.1\nport=%1\ndatabase=razividerur\n"
                                 "user=examiner\npassword=secret-word\n")
                      .arg(ntohs(address.sin_port))
                      .toUtf8());
        ini.close();
        QVERIFY(ini.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)); // a password kept closed
        {
            // One exam waiting to be sent.
            Journal journal(dir.path());
            JournalEntry waiting = journal.newEntry();
            waiting.date = kToday;
            waiting.protocolNo = 1;
            waiting.fullName = QStringLiteral("Иванов И.И.");
            QVERIFY(journal.store().record(waiting).ok);
        }
        AppCore core(std::make_unique<SeededRandom>(5), [] { return kToday; });
        QSignalSpy told(&core, &AppCore::journalServerUnavailable);
        const StartupReport report = core.startUp({dir.path()});
        QVERIFY2(report.messages.isEmpty(), qPrintable(report.messages.join(QLatin1Char('\n'))));
        QVERIFY(core.isSendingJournal());
        QCOMPARE(told.count(), 0);

        QVERIFY(told.wait(20000));
        const QString message = told.at(0).at(0).toString();
        QVERIFY2(message.contains(QStringLiteral("127.0.0.1")), qPrintable(message));
        QVERIFY(!message.contains(QStringLiteral("secret-word")));
        QCOMPARE(core.lastServerError(), message);
        core.sendJournalToServer();
        QTRY_VERIFY_WITH_TIMEOUT(!core.isSendingJournal(), 20000);
        QCOMPARE(told.count(), 1);
        QCOMPARE(core.journal()->store().outboxCount() + core.journal()->store().examCount(), 1);
    }
    void finishWritesTheExamWithItsAnswers_data() {
        QTest::addColumn<bool>("timeOut");
        QTest::newRow("last answer") << false;
        QTest::newRow("time-out on the last question") << true;
    }
    void finishWritesTheExamWithItsAnswers() {
        QFETCH(bool, timeOut);
        QTemporaryDir dir;
        std::unique_ptr<AppCore> core = makeJournalledModule(dir.path() + QLatin1Char('/'));
        QVERIFY(core);
        coreDatabase(*core).databasePath = dir.filePath(QStringLiteral("base.zet"));
        coreDatabase(*core).databaseHeader[2] = QStringLiteral("Охрана труда");

        QList<PresentedQuestion> shown{core->startExam(registrationTexts())};
        const QList<int> waits{5, 2, 4};
        QList<int16> clicked;
        for (int i = 0; i < 3; ++i) {
            tick(*core, waits[i]);
            if (i == 2 && timeOut) {
                tick(*core, 20);
                break;
            }
            const int16 p = static_cast<int16>(1 + i);
            QVERIFY(core->answerClick(p));
            clicked << p;
            if (const std::optional<PresentedQuestion> next = core->advanceExam())
                shown << *next;
        }
        const std::optional<FinishResult> finished = core->finishExam(registrationTexts());
        QVERIFY(finished);
        QVERIFY(finished->written.ok);
        QVERIFY2(finished->journalMessage.isEmpty(), qPrintable(finished->journalMessage));

        Journal& journal = *core->journal();
        const QList<JournalEntry> found = journal.store().findByPersonnelNo(QStringLiteral("А-15"));
        QCOMPARE(found.size(), 1);
        const std::optional<JournalEntry> entry = journal.store().find(found.first().id);
        QVERIFY(entry);
        QCOMPARE(entry->workstation, journal.config().workstation);
        QCOMPARE(entry->date, kToday);
        QCOMPARE(entry->protocolNo, int(finished->examinee));
        QCOMPARE(entry->fullName, QStringLiteral("Иванов И.И."));
        QCOMPARE(entry->testName, QStringLiteral("Охрана труда"));
        QCOMPARE(entry->databasePath, dir.filePath(QStringLiteral("base.zet")));
        QCOMPARE(entry->right, int(finished->record.rightCount));
        QCOMPARE(entry->secondsSpent, int(finished->record.timeSpent));
        QCOMPARE(entry->startedAt, kStart);
        QCOMPARE(entry->finishedAt, kStart.addSecs(finished->record.timeSpent));
        QVERIFY(!entry->imported);

        QCOMPARE(entry->answers.size(), 3);
        int right = 0;
        for (int i = 0; i < 3; ++i) {
            const JournalAnswer& a = entry->answers[i];
            QCOMPARE(a.position, i + 1);
            QCOMPARE(a.theme, int(shown[i].theme));
            QCOMPARE(a.questionNo, int(shown[i].question));
            QCOMPARE(a.questionText, shown[i].text);
            // The right answer is kept whether it was chosen or not.
            QCOMPARE(a.rightAnswerText, std::optional<QString>(QStringLiteral("верно %1.%2").arg(a.theme).arg(a.questionNo)));
            if (i < clicked.size()) {
                QCOMPARE(a.answerText, shown[i].answers[clicked[i]]);
                QCOMPARE(a.right, a.answerText.startsWith(QStringLiteral("верно")));
                QCOMPARE(a.seconds, waits[i]);
            } else {
                QVERIFY(a.answerText.isEmpty());
                QVERIFY(!a.right);
                QCOMPARE(a.seconds, waits[i] + 20);
            }
            right += a.right ? 1 : 0;
        }
        QCOMPARE(right, entry->right);
    }

    // Start-up may leave the journal for after the first frame: an exam that ends before then
    // starts it, and is written into it.
    void examBeforeTheDeferredJournalIsWritten() {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        {
            std::unique_ptr<AppCore> made = makeModule(folder);
            Database& db = coreDatabase(*made);
            db.databasePath = folder + QStringLiteral("Data.zet");
            QVERIFY(db.saveDatabase().ok());
        }
        AppCore core(std::make_unique<SeededRandom>(77), [] { return kToday; });
        const StartupReport report = core.startUp({folder, /*journalLater=*/true});
        QVERIFY2(report.messages.isEmpty(), qPrintable(report.messages.join(QLatin1Char('\n'))));
        QVERIFY(core.isJournalDue());
        QVERIFY(!core.journal());

        core.startExam(registrationTexts());
        QVERIFY(core.answerClick(1));
        const std::optional<FinishResult> finished = core.finishExam(registrationTexts());
        QVERIFY(finished);
        QVERIFY2(finished->journalMessage.isEmpty(), qPrintable(finished->journalMessage));
        QVERIFY(!core.isJournalDue());
        QCOMPARE(core.journal()->store().findByPersonnelNo(QStringLiteral("А-15")).size(), 1);
    }

    void unwritableJournalKeepsTheDayFileAndCatchesUp() {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        // A folder where the journal file should be: the journal cannot be opened.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("journal.sqlite")));
        std::unique_ptr<AppCore> core = makeModule(folder);
        QVERIFY(core);
        core->startJournal();

        core->startExam(registrationTexts());
        QVERIFY(core->answerClick(1));
        const std::optional<FinishResult> first = core->finishExam(registrationTexts());
        QVERIFY(first);
        QVERIFY(first->written.ok);
        QVERIFY(!first->journalMessage.isEmpty());
        QVERIFY(first->journalMessage.contains(QStringLiteral("журнал")));
        DayRegisterArray onDisk;
        QFile dayFile(core->dayArchive().dayFilePath());
        QVERIFY(dayFile.open(QIODevice::ReadOnly));
        QVERIFY(readDayFileForImport(dayFile.readAll(), onDisk, nullptr));
        QCOMPARE(onDisk[first->examinee].fullName, QStringLiteral("Иванов И.И."));

        QVERIFY(QDir(dir.filePath(QStringLiteral("journal.sqlite"))).removeRecursively());
        core->startExam(registrationTexts());
        const std::optional<FinishResult> second = core->finishExam(registrationTexts());
        QVERIFY(second);
        QVERIFY2(second->journalMessage.isEmpty(), qPrintable(second->journalMessage));
        JournalStore& store = core->journal()->store();
        QCOMPARE(store.examCount(), 2);
        QCOMPARE(store.outboxCount(), 0);
        const QList<JournalEntry> exams = store.findByPersonnelNo(QStringLiteral("А-15"));
        QCOMPARE(exams.size(), 2);
        for (const JournalEntry& e : exams)
            QVERIFY(!e.imported);
        // The first exam kept its answer through the outbox.
        const std::optional<JournalEntry> kept =
            store.find(exams[0].protocolNo == first->examinee ? exams[0].id : exams[1].id);
        QVERIFY(kept);
        QCOMPARE(kept->answers.size(), 1);
    }

    void restartAddsTodaysMissingExamsOnce() {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        int16 journalled = 0;
        {
            std::unique_ptr<AppCore> core = makeJournalledModule(folder);
            QVERIFY(core);
            core->startExam(registrationTexts());
            journalled = core->finishExam(registrationTexts())->examinee;
        }
        // An exam in the day file only, as when the program ended before its journal write.
        {
            std::unique_ptr<AppCore> core = makeModule(folder);
            QVERIFY(core);
            core->startExam(registrationTexts());
            QVERIFY(core->finishExam(registrationTexts()));
        }
        for (int restart = 0; restart < 2; ++restart) {
            std::unique_ptr<AppCore> core = makeJournalledModule(folder);
            QVERIFY(core);
            JournalStore& store = core->journal()->store();
            QCOMPARE(store.examCount(), 2);
            const QList<JournalEntry> exams = store.findByPersonnelNo(QStringLiteral("А-15"));
            QCOMPARE(exams.size(), 2);
            for (const JournalEntry& e : exams)
                QCOMPARE(e.imported, e.protocolNo != journalled);
        }
    }
};

QTEST_GUILESS_MAIN(TestExamJournal)
#include "tst_examjournal.moc"
