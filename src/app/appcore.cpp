#include "app/appcore.h"

#include "model/cp1251.h"
#include "model/textvalue.h"

#include <QDir>
#include <QFileInfo>

namespace zet {

namespace {

constexpr int16 kClockLimit = 32767;

bool inRegister(int n) {
    return n >= 1 && n <= kRegisterSlots;
}
bool validProfile(int n) {
    return n >= 1 && n <= kProfileCount;
}
bool validTheme(int n) {
    return n >= 1 && n <= kThemeCount;
}

bool themeHasEligibleQuestion(const Database& db, int t, const ExamProfile& profile) {
    const int n = QuestionSelection::themeQuestionCount(db, static_cast<int16>(t));
    for (int q = 1; q <= n; ++q) {
        if (QuestionSelection::isEligible(db.questions(t, q, 0), profile))
            return true;
    }
    return false;
}

} // namespace

AppCore::AppCore(std::unique_ptr<RandomSource> rng, std::function<QDate()> today)
    : m_rng(rng ? std::move(rng) : std::make_unique<ClockRandom>()), m_today(std::move(today)) {}

QDate AppCore::today() const {
    return m_today ? m_today() : QDate::currentDate();
}

std::optional<QString> AppCore::checkExamStart(const RegistrationTexts& texts) const {
    if (exam.examRunning != 0)
        return QStringLiteral("Экзамен уже идёт.");
    if (!inRegister(exam.currentExaminee)) {
        return QStringLiteral("Журнал экзаменов за сегодня заполнен: все %1 мест заняты. "
                              "Новый экзамен записать нельзя.")
            .arg(kRegisterSlots);
    }
    if (!exam.isFree(exam.currentExaminee)) {
        return QStringLiteral("Место № %1 в журнале экзаменов уже занято. Выйдите из режима экзамена и "
                              "войдите снова.")
            .arg(exam.currentExaminee);
    }

    // A rejected file leaves no marker, and the values in memory are no database of it.
    if (db.databaseHeader[1] != kVersionMarker) {
        return QStringLiteral("Не открыта годная база тестов: файл «%1» не был загружен. "
                              "Загрузите или создайте базу данных в меню «Меню».")
            .arg(QDir::toNativeSeparators(db.databasePath));
    }
    const std::optional<int16> profileNo = int16Rounded(texts.profileNo);
    if (!profileNo || !validProfile(*profileNo))
        return QStringLiteral("Не выбран профиль экзамена (номер от 1 до %1).").arg(kProfileCount);
    const ExamProfile& profile = db.profiles[*profileNo];

    if (profile.questionCount < 1 || profile.questionCount > kSlotCount) {
        return QStringLiteral("Профиль экзамена %1 повреждён: число вопросов %2, а должно быть от 1 до %3.")
            .arg(*profileNo)
            .arg(profile.questionCount)
            .arg(kSlotCount);
    }
    if (profile.timeLimit < 1) {
        return QStringLiteral("Профиль экзамена %1 повреждён: время на экзамен %2 с, а должно быть "
                              "не меньше 1 с.")
            .arg(*profileNo)
            .arg(profile.timeLimit);
    }
    for (int s = 1; s <= profile.questionCount; ++s) {
        const int t = profile.slotTheme[s];
        if (!validTheme(t)) {
            return QStringLiteral("Профиль экзамена %1 повреждён: для вопроса № %2 указана тема %3, "
                                  "а должна быть от 1 до %4.")
                .arg(*profileNo)
                .arg(s)
                .arg(t)
                .arg(kThemeCount);
        }
    }
    for (int s = 1; s <= profile.questionCount; ++s) {
        const int t = profile.slotTheme[s];
        if (!themeHasEligibleQuestion(db, t, profile)) {
            return QStringLiteral("Для вопроса № %1 нет ни одного вопроса: в теме %2 нет вопросов из групп, "
                                  "допущенных профилем экзамена %3.")
                .arg(s)
                .arg(t)
                .arg(*profileNo);
        }
    }

    if (!int16Floor(texts.birthYear)) {
        return QStringLiteral("Год рождения «%1» не помещается в допустимые пределы (от -32768 до 32767).")
            .arg(texts.birthYear);
    }
    if (!int16Floor(texts.seniority)) {
        return QStringLiteral("Стаж работы «%1» не помещается в допустимые пределы (от -32768 до 32767).")
            .arg(texts.seniority);
    }
    return std::nullopt;
}

PresentedQuestion AppCore::startExam(const RegistrationTexts& texts) {
    const int16 profile = int16Rounded(texts.profileNo).value_or(0);
    if (exam.examRunning != 0 || !exam.isFree(exam.currentExaminee) || !validProfile(profile))
        return {};
    m_examTexts = texts;
    exam.examRunning = 1;
    exam.answerLock = 0;
    exam.currentProfile = profile;
    exam.correctCount = 0;
    exam.questionNo = 1;
    PresentedQuestion first = presentQuestion(1);
    exam.dayRegister[exam.currentExaminee].timeSpent = 0;
    return first;
}

PresentedQuestion AppCore::presentQuestion(int16 n) {
    PresentedQuestion shown;
    shown.n = n;
    shown.caption = QStringLiteral("Вопрос № ") + numberText(n);
    answers.shuffleAnswers();
    int16 wrapCounter = 0;
    if (n < 1 || n > kSlotCount || !validProfile(exam.currentProfile))
        return shown;

    const ExamProfile& profile = db.profiles[exam.currentProfile];
    const int16 q = selection.drawQuestion(n, profile, wrapCounter);
    if (q == 0)
        return shown;

    const int t = profile.slotTheme[n];
    shown.found = true;
    shown.theme = static_cast<int16>(t);
    shown.question = q;
    shown.text = db.questions(t, q, 0).mid(10);
    for (int p = 1; p <= 5; ++p)
        shown.answers[p] = db.questions(t, q, answers.answerOrder[p]);
    return shown;
}

bool AppCore::answerClick(int16 p, bool* correct) {
    if (exam.answerLock != 0 || exam.examRunning == 0 || p < 1 || p > 5)
        return false;
    exam.answerLock = 1;
    exam.chosenPosition = p;
    if (correct)
        *correct = answers.correctPosition == p;
    scoreAnswer();
    return true;
}

void AppCore::scoreAnswer() {
    if (answers.correctPosition == exam.chosenPosition)
        ++exam.correctCount;
}

std::optional<PresentedQuestion> AppCore::advanceExam() {
    if (exam.examRunning == 0) {
        // A pause that outlived its exam (finished meanwhile by the clock or by leaving the
        // exam mode): nothing to present and nothing left to finish.
        exam.answerLock = 0;
        return std::nullopt;
    }
    const ExamProfile& profile = db.profiles[exam.currentProfile];
    if (profile.questionCount > exam.questionNo) {
        ++exam.questionNo;
        PresentedQuestion next = presentQuestion(exam.questionNo);
        exam.answerLock = 0;
        return next;
    }
    // The last question has been answered: the caller finishes the exam, which also
    // releases the lock.
    return std::nullopt;
}

bool AppCore::clockTick() {
    if (exam.examRunning == 0 || !inRegister(exam.currentExaminee))
        return false;
    int16& spent = exam.dayRegister[exam.currentExaminee].timeSpent;
    // The count stops at the top of its range and ends the exam there instead of wrapping.
    if (spent < kClockLimit)
        ++spent;
    return spent > db.profiles[exam.currentProfile].timeLimit || spent >= kClockLimit;
}

std::optional<FinishResult> AppCore::finishExam(const RegistrationTexts& texts) {
    if (exam.examRunning == 0 || !inRegister(exam.currentExaminee)) {
        exam.examRunning = 0;
        exam.answerLock = 0;
        return std::nullopt;
    }
    const int16 slot = exam.currentExaminee;
    ExamineeRecord& record = exam.dayRegister[slot];

    record.askedCount = int16Floor(texts.askedCount).value_or(0);
    record.grade = gradeExam(exam.correctCount, db.profiles[exam.currentProfile]);
    record.fullName = texts.fullName;
    record.seniority = int16Floor(texts.seniority).value_or(0);
    // A finished record must mark its slot as used, so it always carries a real profile number.
    const int16 profileNo = int16Floor(texts.profileNo).value_or(0);
    record.profileNo = validProfile(profileNo) ? profileNo : exam.currentProfile;
    record.protocolNo = slot;
    record.personnelNo = texts.personnelNo;
    record.jobTitle = texts.jobTitle;
    record.profileName = texts.profileName;
    record.rightCount = exam.correctCount;
    record.birthYear = int16Floor(texts.birthYear).value_or(0);

    FinishResult result;
    result.examinee = slot;
    result.record = record;
    result.written = archive.writeDayFile(exam.dayRegister);
    m_unwritten = !result.written.ok;

    exam.examRunning = 0;
    exam.answerLock = 0;
    // Never onto a used slot: a gap before a used record is filled, then the next free one.
    exam.currentExaminee = exam.nextFreeSlotAfter(slot);
    return result;
}

std::optional<FinishResult> AppCore::finishRunningExam() {
    if (exam.examRunning == 0)
        return std::nullopt;
    return finishExam(m_examTexts);
}

QString AppCore::unstorableCharacters(const RegistrationTexts& texts) const {
    return unencodableCharacters(texts.fullName + texts.jobTitle + texts.personnelNo + texts.profileName);
}

DayFileResult AppCore::writeUnwrittenRecords() {
    if (!m_unwritten)
        return {};
    const DayFileResult written = archive.writeDayFile(exam.dayRegister);
    m_unwritten = !written.ok;
    return written;
}

DayFileResult AppCore::saveRegisterTo(const QString& path) {
    const DayFileResult written = DayArchive::writeRegisterTo(path, exam.dayRegister);
    if (written.ok)
        m_unwritten = false;
    return written;
}

DayFileResult AppCore::saveBeforeExit(const QString& fallbackFolder, QString* savedTo) {
    const std::optional<FinishResult> finished = finishRunningExam();
    const DayFileResult written = writeUnwrittenRecords();
    if (written.ok) {
        if (savedTo)
            *savedTo = finished ? archive.dayFilePath() : QString();
        return written;
    }
    if (fallbackFolder.isEmpty() || !QDir().mkpath(fallbackFolder))
        return written;
    QString path = QDir(fallbackFolder).filePath(archive.dayFileName);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(fallbackFolder).filePath(archive.dayFileName + QStringLiteral(".%1").arg(n));
    const DayFileResult saved = saveRegisterTo(path);
    if (saved.ok && savedTo)
        *savedTo = path;
    return saved.ok ? saved : written;
}

} // namespace zet
