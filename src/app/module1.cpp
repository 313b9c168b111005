#include "app/module1.h"

#include "model/cp1251.h"
#include "model/textvalue.h"

#include <QDir>
#include <QFileInfo>

namespace zet {

namespace {

constexpr int16 kClockLimit = 32767;

bool InRegister(int n) {
    return n >= 1 && n <= kRegisterSlots;
}
bool ValidProfile(int n) {
    return n >= 1 && n <= kProfileCount;
}
bool ValidTheme(int n) {
    return n >= 1 && n <= kThemeCount;
}

bool ThemeHasEligibleQuestion(const Database& db, int t, const ExamProfile& profile) {
    const int n = QuestionSelection::ThemeQuestionCount(db, static_cast<int16>(t));
    for (int q = 1; q <= n; ++q) {
        if (QuestionSelection::IsEligible(db.Questions(t, q, 0), profile))
            return true;
    }
    return false;
}

} // namespace

Module1::Module1(std::unique_ptr<RandomSource> rng, std::function<QDate()> today)
    : m_rng(rng ? std::move(rng) : std::make_unique<ClockRandom>()), m_today(std::move(today)) {}

QDate Module1::Today() const {
    return m_today ? m_today() : QDate::currentDate();
}

std::optional<QString> Module1::CheckExamStart(const RegistrationTexts& texts) const {
    if (exam.ExamRunning != 0)
        return QStringLiteral("Экзамен уже идёт.");
    if (!InRegister(exam.CurrentExaminee)) {
        return QStringLiteral("Журнал экзаменов за сегодня заполнен: все %1 мест заняты. "
                              "Новый экзамен записать нельзя.")
            .arg(kRegisterSlots);
    }
    if (!exam.IsFree(exam.CurrentExaminee)) {
        return QStringLiteral("Место № %1 в журнале экзаменов уже занято. Выйдите из режима экзамена и "
                              "войдите снова.")
            .arg(exam.CurrentExaminee);
    }

    // A rejected file leaves no marker, and the values in memory are no database of it.
    if (db.DatabaseHeader[1] != kVersionMarker) {
        return QStringLiteral("Не открыта годная база тестов: файл «%1» не был загружен. "
                              "Загрузите или создайте базу данных в меню «Меню».")
            .arg(QDir::toNativeSeparators(db.DatabasePath));
    }
    const std::optional<int16> profileNo = Int16Rounded(texts.ProfileNo);
    if (!profileNo || !ValidProfile(*profileNo))
        return QStringLiteral("Не выбран профиль экзамена (номер от 1 до %1).").arg(kProfileCount);
    const ExamProfile& profile = db.Profiles[*profileNo];

    if (profile.QuestionCount < 1 || profile.QuestionCount > kSlotCount) {
        return QStringLiteral("Профиль экзамена %1 повреждён: число вопросов %2, а должно быть от 1 до %3.")
            .arg(*profileNo)
            .arg(profile.QuestionCount)
            .arg(kSlotCount);
    }
    if (profile.TimeLimit < 1) {
        return QStringLiteral("Профиль экзамена %1 повреждён: время на экзамен %2 с, а должно быть "
                              "не меньше 1 с.")
            .arg(*profileNo)
            .arg(profile.TimeLimit);
    }
    for (int s = 1; s <= profile.QuestionCount; ++s) {
        const int t = profile.SlotTheme[s];
        if (!ValidTheme(t)) {
            return QStringLiteral("Профиль экзамена %1 повреждён: для вопроса № %2 указана тема %3, "
                                  "а должна быть от 1 до %4.")
                .arg(*profileNo)
                .arg(s)
                .arg(t)
                .arg(kThemeCount);
        }
    }
    for (int s = 1; s <= profile.QuestionCount; ++s) {
        const int t = profile.SlotTheme[s];
        if (!ThemeHasEligibleQuestion(db, t, profile)) {
            return QStringLiteral("Для вопроса № %1 нет ни одного вопроса: в теме %2 нет вопросов из групп, "
                                  "допущенных профилем экзамена %3.")
                .arg(s)
                .arg(t)
                .arg(*profileNo);
        }
    }

    if (!Int16Floor(texts.BirthYear)) {
        return QStringLiteral("Год рождения «%1» не помещается в допустимые пределы (от -32768 до 32767).")
            .arg(texts.BirthYear);
    }
    if (!Int16Floor(texts.Seniority)) {
        return QStringLiteral("Стаж работы «%1» не помещается в допустимые пределы (от -32768 до 32767).")
            .arg(texts.Seniority);
    }
    return std::nullopt;
}

PresentedQuestion Module1::StartExam(const RegistrationTexts& texts) {
    const int16 profile = Int16Rounded(texts.ProfileNo).value_or(0);
    if (exam.ExamRunning != 0 || !exam.IsFree(exam.CurrentExaminee) || !ValidProfile(profile))
        return {};
    m_examTexts = texts;
    exam.ExamRunning = 1;
    exam.AnswerLock = 0;
    exam.CurrentProfile = profile;
    exam.CorrectCount = 0;
    exam.QuestionNo = 1;
    PresentedQuestion first = PresentQuestion(1);
    exam.DayRegister[exam.CurrentExaminee].TimeSpent = 0;
    return first;
}

PresentedQuestion Module1::PresentQuestion(int16 N) {
    PresentedQuestion shown;
    shown.N = N;
    shown.Caption = QStringLiteral("Вопрос № ") + NumberText(N);
    answers.ShuffleAnswers();
    int16 wrapCounter = 0;
    if (N < 1 || N > kSlotCount || !ValidProfile(exam.CurrentProfile))
        return shown;

    const ExamProfile& profile = db.Profiles[exam.CurrentProfile];
    const int16 q = selection.DrawQuestion(N, profile, wrapCounter);
    if (q == 0)
        return shown;

    const int t = profile.SlotTheme[N];
    shown.found = true;
    shown.theme = static_cast<int16>(t);
    shown.question = q;
    shown.Text = db.Questions(t, q, 0).mid(10);
    for (int p = 1; p <= 5; ++p)
        shown.Answers[p] = db.Questions(t, q, answers.AnswerOrder[p]);
    return shown;
}

bool Module1::AnswerClick(int16 p, bool* correct) {
    if (exam.AnswerLock != 0 || exam.ExamRunning == 0 || p < 1 || p > 5)
        return false;
    exam.AnswerLock = 1;
    exam.ChosenPosition = p;
    if (correct)
        *correct = answers.CorrectPosition == p;
    ScoreAnswer();
    return true;
}

void Module1::ScoreAnswer() {
    if (answers.CorrectPosition == exam.ChosenPosition)
        ++exam.CorrectCount;
}

std::optional<PresentedQuestion> Module1::AdvanceExam() {
    if (exam.ExamRunning == 0) {
        // A pause that outlived its exam (finished meanwhile by the clock or by leaving the
        // exam mode): nothing to present and nothing left to finish.
        exam.AnswerLock = 0;
        return std::nullopt;
    }
    const ExamProfile& profile = db.Profiles[exam.CurrentProfile];
    if (profile.QuestionCount > exam.QuestionNo) {
        ++exam.QuestionNo;
        PresentedQuestion next = PresentQuestion(exam.QuestionNo);
        exam.AnswerLock = 0;
        return next;
    }
    // The last question has been answered: the caller finishes the exam, which also
    // releases the lock.
    return std::nullopt;
}

bool Module1::ClockTick() {
    if (exam.ExamRunning == 0 || !InRegister(exam.CurrentExaminee))
        return false;
    int16& spent = exam.DayRegister[exam.CurrentExaminee].TimeSpent;
    // The count stops at the top of its range and ends the exam there instead of wrapping.
    if (spent < kClockLimit)
        ++spent;
    return spent > db.Profiles[exam.CurrentProfile].TimeLimit || spent >= kClockLimit;
}

std::optional<FinishResult> Module1::FinishExam(const RegistrationTexts& texts) {
    if (exam.ExamRunning == 0 || !InRegister(exam.CurrentExaminee)) {
        exam.ExamRunning = 0;
        exam.AnswerLock = 0;
        return std::nullopt;
    }
    const int16 slot = exam.CurrentExaminee;
    ExamineeRecord& record = exam.DayRegister[slot];

    record.AskedCount = Int16Floor(texts.AskedCount).value_or(0);
    record.Grade = GradeExam(exam.CorrectCount, db.Profiles[exam.CurrentProfile]);
    record.FullName = texts.FullName;
    record.Seniority = Int16Floor(texts.Seniority).value_or(0);
    // A finished record must mark its slot as used, so it always carries a real profile number.
    const int16 profileNo = Int16Floor(texts.ProfileNo).value_or(0);
    record.ProfileNo = ValidProfile(profileNo) ? profileNo : exam.CurrentProfile;
    record.ProtocolNo = slot;
    record.PersonnelNo = texts.PersonnelNo;
    record.JobTitle = texts.JobTitle;
    record.ProfileName = texts.ProfileName;
    record.RightCount = exam.CorrectCount;
    record.BirthYear = Int16Floor(texts.BirthYear).value_or(0);

    FinishResult result;
    result.Examinee = slot;
    result.Record = record;
    result.Written = archive.WriteDayFile(exam.DayRegister);
    m_unwritten = !result.Written.ok;

    exam.ExamRunning = 0;
    exam.AnswerLock = 0;
    // Never onto a used slot: a gap before a used record is filled, then the next free one.
    exam.CurrentExaminee = exam.NextFreeSlotAfter(slot);
    return result;
}

std::optional<FinishResult> Module1::FinishRunningExam() {
    if (exam.ExamRunning == 0)
        return std::nullopt;
    return FinishExam(m_examTexts);
}

QString Module1::UnstorableCharacters(const RegistrationTexts& texts) const {
    return UnencodableCharacters(texts.FullName + texts.JobTitle + texts.PersonnelNo + texts.ProfileName);
}

DayFileResult Module1::WriteUnwrittenRecords() {
    if (!m_unwritten)
        return {};
    const DayFileResult written = archive.WriteDayFile(exam.DayRegister);
    m_unwritten = !written.ok;
    return written;
}

DayFileResult Module1::SaveRegisterTo(const QString& path) {
    const DayFileResult written = DayArchive::WriteRegisterTo(path, exam.DayRegister);
    if (written.ok)
        m_unwritten = false;
    return written;
}

DayFileResult Module1::SaveBeforeExit(const QString& fallbackFolder, QString* savedTo) {
    const std::optional<FinishResult> finished = FinishRunningExam();
    const DayFileResult written = WriteUnwrittenRecords();
    if (written.ok) {
        if (savedTo)
            *savedTo = finished ? archive.DayFilePath() : QString();
        return written;
    }
    if (fallbackFolder.isEmpty() || !QDir().mkpath(fallbackFolder))
        return written;
    QString path = QDir(fallbackFolder).filePath(archive.DayFileName);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(fallbackFolder).filePath(archive.DayFileName + QStringLiteral(".%1").arg(n));
    const DayFileResult saved = SaveRegisterTo(path);
    if (saved.ok && savedTo)
        *savedTo = path;
    return saved.ok ? saved : written;
}

} // namespace zet
