#pragma once
// The program's process-wide state: the database model, the day register with the
// exam-run state, the question and answer orders and today's archive, with the exam-run
// procedures that work on them. No widgets here: the windows read their controls, call one
// of these operations and show its result.

#include "app/examineraccess.h"
#include "app/stafflist.h"
#include "archive/dayfile.h"
#include "exam/answershuffle.h"
#include "exam/dayregister.h"
#include "exam/questionselection.h"
#include "exam/random.h"
#include "journal/archiveimport.h"
#include "journal/journalentry.h"
#include "model/database.h"
#include "questionbank/questionexport.h"
#include "questionbank/questionimport.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace zet {

class Journal;
class JournalLinker;
class JournalSender;

// The texts of the registration area that an exam start checks and finishExam() stores.
struct RegistrationTexts {
    QString fullName;
    QString birthYear;
    QString jobTitle;
    QString seniority;
    QString personnelNo;
    QString profileNo; // the chosen profile's number as the profile list shows it
    QString profileName;
    QString askedCount;
};

// What one presentation puts on screen.
struct PresentedQuestion {
    int16 n = 0;
    QString caption;    // "Вопрос № N"
    bool found = false; // false: no question for the slot, the boxes are left as they were
    int16 theme = 0;
    int16 question = 0;
    QString text;                   // question text from character 11
    std::array<QString, 6> answers; // box position 1..5
};

struct FinishResult {
    int16 examinee = 0;    // slot that was filled
    ExamineeRecord record; // what was stored
    DayFileResult written; // outcome of writing the day file
    // Why the exam could not be written to the results journal (Russian), empty when it was;
    // the exam then waits in the journal's outbox.
    QString journalMessage;
};

// Where start-up takes the program folder from.
struct StartupOptions {
    // Empty: the program's own folder when it can be written, else the per-user data folder
    // (and a database in a read-only program folder is adopted on the first start).
    QString programFolder;
    // Leaves the journal for startJournal() after the first frame (its catch-up grows with the
    // journal); an exam that starts before then starts it first.
    bool journalLater = false;
    // A first start's new default database is kept in memory and written by
    // writeFirstDatabase() after the first frame.
    bool firstDatabaseLater = false;
};

// What start-up did, for the main window to show.
struct StartupReport {
    QString caption;      // the dated window caption
    QStringList messages; // shown one after the other, in this order, before the window opens
    QString dayFileNote;  // a day file repaired, recovered or not made; shown once the window is on screen
};

// A question as the question editor stores it.
struct QuestionEntry {
    QString themeTitle;
    std::array<bool, kGroupCount> groups{}; // the groups the question belongs to
    QString text;
    std::array<QString, 6> answers; // part 1 the right answer, 2..5 the wrong ones
    QString testName;
};

// A profile as the profile editor stores it, with the group titles it edits alongside.
struct ProfileEntry {
    ExamProfile profile;
    std::array<GroupRecord, kGroupCount> groups; // flag "1"/"0" and title
    QString testName;
};

class AppCore : public QObject {
    Q_OBJECT
public:
    // rng: null uses a clock-seeded generator. today: null uses the system date.
    explicit AppCore(std::unique_ptr<RandomSource> rng = nullptr, std::function<QDate()> today = {},
                     QObject* parent = nullptr);
    ~AppCore() override;

    // The clock of the journal's time stamps; null uses the system clock.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }
    QDateTime now() const;

    QDate today() const;
    const Database& database() const { return m_db; }
    const ExamState& examState() const { return m_exam; }
    const DayArchive& dayArchive() const { return m_archive; }
    const QuestionSelection& questionSelection() const { return m_selection; }
    const AnswerShuffle& answerShuffle() const { return m_answers; }

    // --- start-up ---
    // The start of the program: today's caption, the program folder, the settings, the first
    // start's database, the database itself, today's archive, the first free slot of the day
    // and the question orders. Every step runs whatever the earlier ones found.
    StartupReport startUp(const StartupOptions& options = {});
    // Writes the new default database a first start left for later (and names it in the
    // settings); a Russian message when that fails, else nothing. Does nothing when none waits,
    // or when another database has been opened meanwhile.
    QString writeFirstDatabase();
    bool isFirstDatabaseDue() const { return m_firstDatabaseDue; }

    // --- the results journal ---
    // Opens the journal in the program folder (startUp does it last): writes the exams waiting
    // in the outbox, adds every record of today's day file the journal does not hold yet as an
    // imported exam, starts sending what the server has not got and from then on sends it every
    // minute. Returns a Russian message when the local journal cannot be written, else nothing;
    // a server that does not answer is told through journalServerUnavailable.
    QString startJournal();
    // startUp left the journal for later and nothing has started it yet.
    bool isJournalDue() const { return m_journalDue; }
    // The journal, or null before startJournal.
    Journal* journal() { return m_journal.get(); }
    // Starts sending the exams the configured server has not got yet, on the sending thread;
    // does nothing without a server. The outcome is kept in lastServerError() when it ends.
    void sendJournalToServer();
    bool isSendingJournal() const;
    // True while the exams of an upgraded journal are being given their links.
    bool isLinkingJournal() const;
    // The records of the day file at path (the day date) that differ from the journal's
    // copies of their exams: a Russian line each, empty when none or when it cannot be read.
    QStringList editedDayRecords(const QString& path, const QDate& date);
    QString lastServerError() const { return m_serverError; }
    // Exams of the local journal the server has not got yet (0 without a server).
    int unsentJournalExams();
    // Reads the whole day-file archive of the program folder into the journal.
    ArchiveImportReport importArchiveToJournal(const ArchiveImportProgress& progress = {});

    // --- the examiner's password ---
    // Set in the program folder by startUp; an exam start ends the trust in a given password.
    ExaminerAccess& examinerAccess() { return m_examiner; }

    // --- the staff list (read when first used, in the program folder's journal) ---
    StaffList& staff() { return m_staff; }

    // --- the database ---
    // Opens the database file at path (the settings are not saved). A rejected file leaves
    // the database as the reader leaves it.
    [[nodiscard]] LoadResult loadDatabase(const QString& path);
    // Makes db the current database (one that has just been written, or a new one).
    void replaceDatabase(Database db);
    // Remembers the current database file for the next start.
    [[nodiscard]] SettingsResult saveSettings() const;
    // True when some theme of the database holds a question.
    bool hasQuestions() const;
    // Opens the sample database at samplePath as the current one: copied into the program folder
    // first (an installed sample cannot be written; a copy already there is opened as it is),
    // remembered for the next start, with new question orders. Returns the Russian reason when it
    // cannot be copied or opened (the database stays as it was), else nothing.
    std::optional<QString> openSampleDatabase(const QString& samplePath);
    // Stores one question (and the theme title and the test name) and writes the database.
    // The question orders are drawn anew whether or not the file could be written.
    [[nodiscard]] SaveResult storeQuestion(int theme, int question, const QuestionEntry& entry);
    // Stores one profile with its group titles and the test name and writes the database.
    [[nodiscard]] SaveResult storeProfile(int number, const ProfileEntry& entry);
    // The editors' group titles and flags taken from a profile.
    void takeGroupsFromProfile(int number);
    // Draws the question orders of all themes anew.
    void shuffleQuestionOrders();
    // Question files of learning systems, read for an import (the format from each name and
    // content, the encoding detected).
    std::vector<QuestionFile> readQuestionFiles(const QStringList& paths) const;
    // Keeps the questions, theme titles and profiles an import placed into a copy of the
    // database (made from this one), writes the database once and draws new question orders.
    [[nodiscard]] SaveResult storeImportedQuestions(const Database& imported);
    // Writes the questions of one theme (1..20), or of all when theme is 0, to a file.
    ExportResult exportQuestions(const QString& path, BankFormat format, int theme = 0) const;

    // --- exam run ---
    // The profile the registration area shows; numbers outside 1..20 are ignored.
    void chooseProfile(int16 number);
    // Why an exam cannot start with these texts (register full, damaged profile, a slot
    // without an eligible question, a number outside the 16-bit range), or nothing.
    std::optional<QString> checkExamStart(const RegistrationTexts& texts) const;
    // Sets examRunning, currentProfile from the profile text, correctCount 0, questionNo 1,
    // presents question 1 and sets timeSpent of the current slot to 0. Starts nothing (and
    // returns an empty presentation) while an exam runs, when the register is full or when
    // the profile text is not a number 1..20; checkExamStart() gives the reason first.
    PresentedQuestion startExam(const RegistrationTexts& texts);
    // Accepts a click on box position p unless answerLock is set; returns whether it was
    // accepted and, through correct, whether it was right. Counts a right answer.
    bool answerClick(int16 p, bool* correct = nullptr);
    // The end of the feedback pause: presents the next question, releases answerLock and
    // returns the question; or returns nothing when the last question has been answered
    // (call finishExam(), which releases the lock). A pause that outlives its exam (finished
    // meanwhile by the clock) returns nothing and releases the lock; finishExam() then does
    // nothing, so an exam is never finished twice.
    std::optional<PresentedQuestion> advanceExam();
    // One tick of the exam clock; true when the exam must be finished now (the time spent
    // exceeds the limit, or the count has reached 32767, where it stops).
    bool clockTick();
    // Grades, stores the registration texts into dayRegister[currentExaminee], writes the
    // day file, clears examRunning and answerLock and moves currentExaminee to the next free
    // slot (0 when there is none). Does nothing (returns nothing) when no exam is running.
    std::optional<FinishResult> finishExam(const RegistrationTexts& texts);
    // finishExam() with the texts the running exam was started with.
    std::optional<FinishResult> finishRunningExam();

    // The characters of the examinee's data that the day file cannot hold (they would be
    // stored as "?"), each once.
    QString unstorableCharacters(const RegistrationTexts& texts) const;

    // --- records whose day file write failed ---
    bool hasUnwrittenRecords() const { return m_unwritten; }
    // Writes the day file again when a write after an exam failed; ok when nothing is left.
    [[nodiscard]] DayFileResult writeUnwrittenRecords();
    // Writes the whole register to another file; on success nothing counts as unwritten.
    [[nodiscard]] DayFileResult saveRegisterTo(const QString& path);
    // Journal exams that neither the journal nor its outbox could take, kept in memory with
    // their answers; writeUnwrittenRecords() tries them again too.
    bool hasUnwrittenJournalExams() const;
    [[nodiscard]] JournalResult writeUnwrittenJournalExams();
    // Writes them to another file in the form of the journal's outbox; then none is kept.
    [[nodiscard]] JournalResult saveJournalExamsTo(const QString& path);
    // The end of the session (a signal, a lost display): finishes a running exam, writes the
    // unwritten records, and when the day file cannot be written, saves the register into
    // fallbackFolder instead (and journal exams kept in memory as an outbox file beside it).
    // savedTo names the file that now holds the records, if any.
    [[nodiscard]] DayFileResult saveBeforeExit(const QString& fallbackFolder, QString* savedTo = nullptr);

signals:
    // The day file of a finished exam has been written (or its write has failed); the journal
    // is written next.
    void dayFileWritten();
    // The current database was replaced, loaded or stored (its test name may have changed).
    void databaseChanged();
    // The exam centre's journal server stopped answering (host and reason, in Russian); the
    // exams wait in the local journal and are sent when it answers again.
    void journalServerUnavailable(const QString& message);
    // A send to the journal's server has ended, well or not (see lastServerError()).
    void journalSendEnded();

private:
    friend class AppCoreTestAccess; // tests set up a state directly

    PresentedQuestion presentQuestion(int16 n);
    void scoreAnswer();
    QString dayFileNote(const DayFilePreparation& prepared) const;
    QString recordInJournal(const ExamineeRecord& record);
    // The question on screen as an answer row without an answer: the time since it was shown
    // up to timeSpent seconds of the exam.
    JournalAnswer shownQuestionAnswer(int timeSpent) const;

    std::unique_ptr<RandomSource> m_rng;
    std::function<QDate()> m_today;
    Database m_db;
    ExamState m_exam;
    DayArchive m_archive;
    QuestionSelection m_selection{m_db, *m_rng};
    AnswerShuffle m_answers{*m_rng};
    RegistrationTexts m_examTexts; // what the running exam was started with
    bool m_unwritten = false;

    std::function<QDateTime()> m_now;
    ExaminerAccess m_examiner;
    StaffList m_staff{[this] { return m_db.programFolder; }, [this] { return today(); }};
    std::unique_ptr<Journal> m_journal;
    std::unique_ptr<JournalSender> m_journalSender; // with a server only
    std::unique_ptr<JournalLinker> m_journalLinker; // works on m_journal's store
    bool m_journalDue = false;
    bool m_firstDatabaseDue = false;
    QString m_firstDatabasePath;
    QString m_journalStartMessage; // found by a journal started with an exam, told at its end
    QTimer m_journalTimer;
    QString m_serverError;
    // The running exam as the journal keeps it: when it started, the question on screen with
    // the clock reading it was shown at, and the questions answered so far.
    QDateTime m_examStartedAt;
    PresentedQuestion m_shownQuestion;
    int m_shownAtSecond = 0;
    QList<JournalAnswer> m_examAnswers;
};

} // namespace zet
