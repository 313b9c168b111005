#pragma once
// The program's process-wide state: the database model, the day register with the
// exam-run state, the question and answer orders and today's archive, with the exam-run
// procedures that work on them. No widgets here: the windows read their controls, call one
// of these operations and show its result.

#include "archive/dayfile.h"
#include "exam/answershuffle.h"
#include "exam/dayregister.h"
#include "exam/questionselection.h"
#include "exam/random.h"
#include "model/database.h"

#include <QDate>

#include <functional>
#include <memory>
#include <optional>

namespace zet {

// The texts of the registration area that an exam start checks and FinishExam stores.
struct RegistrationTexts {
    QString fullName;    // Text2
    QString birthYear;   // Text11
    QString jobTitle;    // Text12
    QString seniority;   // Text13
    QString personnelNo; // Text21
    QString profileNo;   // selected text of List23
    QString profileName; // Text14
    QString askedCount;  // Text18
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
};

class AppCore {
public:
    // rng: null uses a clock-seeded generator. today: null uses the system date.
    explicit AppCore(std::unique_ptr<RandomSource> rng = nullptr, std::function<QDate()> today = {});

    QDate today() const;
    RandomSource& random() { return *m_rng; }

    Database db;
    ExamState exam;
    DayArchive archive;

private:
    std::unique_ptr<RandomSource> m_rng;
    std::function<QDate()> m_today;

public:
    QuestionSelection selection{db, *m_rng};
    AnswerShuffle answers{*m_rng};

    // --- exam run ---
    // Why an exam cannot start with these texts (register full, damaged profile, a slot
    // without an eligible question, a number outside the 16-bit range), or nothing.
    std::optional<QString> checkExamStart(const RegistrationTexts& texts) const;
    // Sets ExamRunning, CurrentProfile from the profile text, CorrectCount 0, QuestionNo 1,
    // presents question 1 and sets TimeSpent of the current slot to 0. Starts nothing (and
    // returns an empty presentation) while an exam runs, when the register is full or when
    // the profile text is not a number 1..20; CheckExamStart gives the reason first.
    PresentedQuestion startExam(const RegistrationTexts& texts);
    PresentedQuestion presentQuestion(int16 n);
    // Accepts a click on box position p unless AnswerLock is set; returns whether it was
    // accepted and, through correct, whether it was right. Counts a right answer.
    bool answerClick(int16 p, bool* correct = nullptr);
    void scoreAnswer();
    // The end of the feedback pause: presents the next question, releases AnswerLock and
    // returns the question; or returns nothing when the last question has been answered
    // (call FinishExam, which releases the lock). A pause that outlives its exam (finished
    // meanwhile by the clock) returns nothing and releases the lock; FinishExam then does
    // nothing, so an exam is never finished twice.
    std::optional<PresentedQuestion> advanceExam();
    // One tick of the exam clock; true when the exam must be finished now (the time spent
    // exceeds the limit, or the count has reached 32767, where it stops).
    bool clockTick();
    // Grades, stores the registration texts into DayRegister(CurrentExaminee), writes the
    // day file, clears ExamRunning and AnswerLock and moves CurrentExaminee to the next free
    // slot (0 when there is none). Does nothing (returns nothing) when no exam is running.
    std::optional<FinishResult> finishExam(const RegistrationTexts& texts);
    // FinishExam with the texts the running exam was started with.
    std::optional<FinishResult> finishRunningExam();

    // The characters of the examinee's data that the day file cannot hold (they would be
    // stored as "?"), each once.
    QString unstorableCharacters(const RegistrationTexts& texts) const;

    // --- records whose day file write failed ---
    bool hasUnwrittenRecords() const { return m_unwritten; }
    // Writes the day file again when a write after an exam failed; ok when nothing is left.
    DayFileResult writeUnwrittenRecords();
    // Writes the whole register to another file; on success nothing counts as unwritten.
    DayFileResult saveRegisterTo(const QString& path);
    // The end of the session (a signal, a lost display): finishes a running exam, writes the
    // unwritten records, and when the day file cannot be written, saves the register into
    // fallbackFolder instead. savedTo names the file that now holds the records, if any.
    DayFileResult saveBeforeExit(const QString& fallbackFolder, QString* savedTo = nullptr);

private:
    RegistrationTexts m_examTexts; // what the running exam was started with
    bool m_unwritten = false;
};

} // namespace zet
