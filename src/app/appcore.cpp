#include "app/appcore.h"

#include "app/journallinker.h"
#include "app/journalsender.h"
#include "app/startup.h"
#include "archive/monthnames.h"
#include "journal/journal.h"
#include "journal/journalverify.h"
#include "model/cp1251.h"
#include "model/textvalue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace zet {

namespace {

constexpr int16 kClockLimit = 32767;
// How often exams that the journal's server has not got yet are sent again.
constexpr int kJournalSendInterval = 60 * 1000;

QString firstDatabaseFailure(const QString& path, const QString& error) {
    return QStringLiteral("Не удалось создать базу данных по умолчанию\n%1\n\n%2")
        .arg(QDir::toNativeSeparators(path), error);
}

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

AppCore::AppCore(std::unique_ptr<RandomSource> rng, std::function<QDate()> today, QObject* parent)
    : QObject(parent), m_rng(rng ? std::move(rng) : std::make_unique<ClockRandom>()),
      m_today(std::move(today)) {
    m_journalTimer.setInterval(kJournalSendInterval);
    connect(&m_journalTimer, &QTimer::timeout, this, &AppCore::sendJournalToServer);
}

AppCore::~AppCore() = default;

QDateTime AppCore::now() const {
    return m_now ? m_now() : QDateTime::currentDateTime();
}

QDate AppCore::today() const {
    return m_today ? m_today() : QDate::currentDate();
}

StartupReport AppCore::startUp(const StartupOptions& options) {
    StartupReport report;
    Database& db = m_db;
    const QDate day = today();

    // Today's month in the genitive and the dated caption.
    m_archive.monthGenitive = setMonthGenitive(day);
    report.caption = datedCaption(day, m_archive.monthGenitive);
    db.databaseHeader[1] = kVersionMarker;

    // Program folder and the default database path.
    db.programFolder = options.programFolder.isEmpty() ? defaultProgramFolder()
                                                       : withTrailingSeparator(options.programFolder);
    db.databasePath = defaultDatabasePath(db.programFolder);
    m_examiner.setFolder(db.programFolder);
    // The last database; an unreadable settings file leaves the default path.
    {
        const QString fallback = db.databasePath;
        if (!db.loadSettings().ok) {
            db.databasePath = fallback;
        } else if (std::any_of(db.databasePath.cbegin(), db.databasePath.cend(), [](QChar c) {
                       return c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0);
                   })) {
            // Bytes that are no path: the settings are as good as lost, as at a first start.
            report.messages << QStringLiteral("Файл настроек «%1» повреждён: в нём нет пути к базе данных.")
                                   .arg(QDir::toNativeSeparators(db.settingsPath()));
            db.databasePath.clear();
        }
    }
    // First start: the database a read-only program folder holds, or the default one.
    bool noDefaultDatabase = false;
    [&] {
        if (!db.databasePath.isEmpty())
            return;
        if (options.programFolder.isEmpty()) {
            const QString note = adoptProgramFolderDatabase(db, QCoreApplication::applicationDirPath());
            if (!note.isEmpty()) {
                report.messages << note;
                return;
            }
        }
        const FirstStartResult first = prepareFirstStartDatabase(db, day, !options.firstDatabaseLater);
        m_firstDatabaseDue = first.writeDue;
        m_firstDatabasePath = db.databasePath;
        if (first.outcome == FirstStartResult::MovedAside) {
            report.messages << QStringLiteral("%1\n\nЭтот файл сохранён под именем «%2». Создана новая пустая база "
                                              "данных «Новый тест»: %3")
                                   .arg(first.reason, QDir::toNativeSeparators(first.movedTo),
                                        QDir::toNativeSeparators(db.databasePath));
        }
        if (first.outcome == FirstStartResult::Failed) {
            noDefaultDatabase = true;
            report.messages << firstDatabaseFailure(db.databasePath, first.error);
        }
    }();
    m_exam.currentProfile = 1;
    m_exam.questionNo = 1;
    // Read the database back; a rejected file is reported once (a default database that
    // could not be written has been reported already).
    // A file that was read and is no database of this version gets the message of old; one that
    // could not be read at all is named with the reason.
    // A new database still in memory is the one its file would give: there is nothing to read.
    if (!m_firstDatabaseDue) {
        if (const LoadResult loaded = db.loadDatabase(); !loaded.ok() && !noDefaultDatabase)
            report.messages << (loaded.unreadable ? loaded.error : QStringLiteral("Неправильная версия файла!"));
    }
    // Today's archive folders and day file.
    report.dayFileNote = dayFileNote(m_archive.prepare(db.programFolder, day, m_exam.dayRegister));
    // The first free slot of the day and the question orders of all themes.
    m_exam.findFreeSlot();
    m_selection.shuffleAllThemes();
    // The results journal, with whatever today's day file holds that it has not got yet.
    m_journalDue = options.journalLater;
    if (const QString journalMessage = m_journalDue ? QString() : startJournal(); !journalMessage.isEmpty())
        report.messages << journalMessage;
    emit databaseChanged();
    return report;
}

QString AppCore::writeFirstDatabase() {
    if (!m_firstDatabaseDue)
        return {};
    m_firstDatabaseDue = false;
    // Another database opened since is named in the settings already; the new one was never used.
    if (m_db.databasePath != m_firstDatabasePath)
        return {};
    const FirstStartResult written = writeFirstStartDatabase(m_db);
    return written.outcome == FirstStartResult::Failed ? firstDatabaseFailure(m_db.databasePath, written.error)
                                                       : QString();
}

QString AppCore::startJournal() {
    m_journalDue = false;
    m_journalSender.reset();
    m_journalLinker.reset();
    m_journal = std::make_unique<Journal>(m_db.programFolder);
    Journal& journal = *m_journal;
    const QDate day = QDate::fromString(QFileInfo(m_archive.dayFileName).completeBaseName(),
                                        QStringLiteral("dd.MM.yyyy"));
    const QString message = journal.catchUp(m_exam.dayRegister, day.isValid() ? day : today());
    // The rows of an older journal get their links after the start, then go to the server.
    m_journalLinker = std::make_unique<JournalLinker>(journal.store());
    connect(m_journalLinker.get(), &JournalLinker::finished, this, [this](const QString& error) {
        if (error.isEmpty())
            sendJournalToServer();
    });
    m_journalLinker->start();
    if (journal.config().usesServer()) {
        m_journalSender = std::make_unique<JournalSender>(m_db.programFolder, journal.config());
        connect(m_journalSender.get(), &JournalSender::sent, this, [this](bool ok, const QString& error) {
            const bool newTrouble = !ok && m_serverError.isEmpty();
            m_serverError = ok ? QString() : error;
            // Told once when the server stops answering, not at every later try.
            if (newTrouble)
                emit journalServerUnavailable(m_serverError);
            emit journalSendEnded();
        });
        sendJournalToServer();
        m_journalTimer.start();
    }
    return message;
}

void AppCore::sendJournalToServer() {
    if (m_journalSender)
        m_journalSender->requestSend();
}

int AppCore::unsentJournalExams() {
    return m_journal && m_journal->config().usesServer() ? m_journal->store().unsentCount() : 0;
}

bool AppCore::isLinkingJournal() const {
    return m_journalLinker && m_journalLinker->isLinking();
}

QStringList AppCore::editedDayRecords(const QString& path, const QDate& date) {
    QStringList lines;
    QFile file(path);
    DayRegisterArray reg{};
    if (!m_journal || !file.open(QIODevice::ReadOnly))
        return lines;
    parseDayFile(file.readAll(), reg);
    for (const IntegrityFinding& f :
         zet::editedDayRecords(m_journal->store(), m_journal->config().workstation, date, reg, QString()))
        lines << QStringLiteral("№ %1 %2").arg(f.protocolNo).arg(f.fullName);
    return lines;
}

bool AppCore::isSendingJournal() const {
    return m_journalSender && m_journalSender->isSending();
}

ArchiveImportReport AppCore::importArchiveToJournal(const ArchiveImportProgress& progress) {
    if (!m_journal)
        m_journal = std::make_unique<Journal>(m_db.programFolder);
    ArchiveImportReport report =
        importArchive(m_journal->store(), m_db.programFolder, m_journal->config().workstation, progress);
    sendJournalToServer();
    return report;
}

QString AppCore::recordInJournal(const ExamineeRecord& record) {
    const QString started = std::exchange(m_journalStartMessage, QString());
    if (!m_journal)
        return {};
    JournalEntry entry = m_journal->newEntry();
    const QDate day =
        QDate::fromString(QFileInfo(m_archive.dayFileName).completeBaseName(), QStringLiteral("dd.MM.yyyy"));
    entry.date = day.isValid() ? day : today();
    copyRecordInto(record, entry);
    entry.testName = m_db.databaseHeader[2];
    entry.databasePath = m_db.databasePath;
    entry.startedAt = m_examStartedAt;
    entry.finishedAt = now();
    entry.answers = m_examAnswers;
    entry.department = m_staff.departmentOf(entry.personnelNo);
    // A question on screen when the exam ended counts as asked, without an answer.
    if (m_shownQuestion.found && m_examAnswers.size() < m_shownQuestion.n)
        entry.answers.append(shownQuestionAnswer(record.timeSpent));
    m_examAnswers.clear();
    m_shownQuestion = {};

    const JournalRecordResult recorded = m_journal->record(entry);
    sendJournalToServer();
    QString message;
    if (recorded.kept == JournalRecordResult::Kept::Outbox) {
        message = QStringLiteral("Результат экзамена записан в файл результатов за сегодня, но не записан в "
                                 "журнал результатов:\n%1")
                      .arg(recorded.error);
    } else if (recorded.kept == JournalRecordResult::Kept::Nowhere) {
        message = QStringLiteral("Результат экзамена не записан в журнал результатов:\n%1\n\nЭкзамен с ответами "
                                 "хранится в памяти программы. Программа попробует записать его снова при "
                                 "каждой смене режима и перед выходом.")
                      .arg(recorded.error);
    }
    for (const QString& more : {m_journal->store().takeNotes(), started}) {
        if (!more.isEmpty())
            message += (message.isEmpty() ? QString() : QStringLiteral("\n\n")) + more;
    }
    return message;
}

bool AppCore::hasUnwrittenJournalExams() const {
    return m_journal && m_journal->unwrittenCount() > 0;
}

JournalResult AppCore::writeUnwrittenJournalExams() {
    if (!hasUnwrittenJournalExams())
        return {};
    return m_journal->writeUnwritten();
}

JournalResult AppCore::saveJournalExamsTo(const QString& path) {
    if (!hasUnwrittenJournalExams())
        return {};
    return m_journal->saveUnwrittenTo(path);
}

JournalAnswer AppCore::shownQuestionAnswer(int timeSpent) const {
    JournalAnswer answer;
    answer.position = m_shownQuestion.n;
    answer.theme = m_shownQuestion.theme;
    answer.questionNo = m_shownQuestion.question;
    answer.questionText = m_shownQuestion.text;
    if (m_answers.correctPosition >= 1 && m_answers.correctPosition <= 5)
        answer.rightAnswerText = m_shownQuestion.answers[m_answers.correctPosition];
    answer.seconds = qMax(0, timeSpent - m_shownAtSecond);
    return answer;
}

QString AppCore::dayFileNote(const DayFilePreparation& prepared) const {
    const QString day = QDir::toNativeSeparators(m_archive.dayFilePath());
    // A day file that could not be read or made is told as well: the day's results would
    // otherwise go unsaved without a word until the first exam is finished.
    QString text;
    if (!prepared.ok)
        text = QStringLiteral("Файл результатов за сегодня не подготовлен.\n%1").arg(prepared.error);
    if (!prepared.recoveredFrom.isEmpty()) {
        if (!text.isEmpty())
            text += QStringLiteral("\n\n");
        text += QStringLiteral("Результаты, записанные перед прошлым завершением программы, найдены во "
                               "временном файле\n%1\nи перенесены в файл результатов за сегодня\n%2")
                    .arg(QDir::toNativeSeparators(prepared.recoveredFrom), day);
    }
    if (!prepared.backupPath.isEmpty()) {
        if (!text.isEmpty())
            text += QStringLiteral("\n\n");
        text += QStringLiteral("Файл результатов за сегодня\n%1\nповреждён или изменён вручную и прочитан не "
                               "полностью. Все записи, которые удалось прочитать, сохранены. Прежнее "
                               "содержимое файла сохранено в копии\n%2")
                    .arg(day, QDir::toNativeSeparators(prepared.backupPath));
    }
    return text;
}

LoadResult AppCore::loadDatabase(const QString& path) {
    m_db.databasePath = path;
    const LoadResult loaded = m_db.loadDatabase();
    emit databaseChanged();
    return loaded;
}

void AppCore::replaceDatabase(Database db) {
    m_db = std::move(db);
    emit databaseChanged();
}

SettingsResult AppCore::saveSettings() const {
    return m_db.saveSettings();
}

bool AppCore::hasQuestions() const {
    for (int t = 1; t <= kThemeCount; ++t) {
        if (QuestionSelection::themeQuestionCount(m_db, static_cast<int16>(t)) > 0)
            return true;
    }
    return false;
}

std::optional<QString> AppCore::openSampleDatabase(const QString& samplePath) {
    const QString copy = QDir(m_db.programFolder).filePath(QFileInfo(samplePath).fileName());
    if (!QFileInfo::exists(copy)) {
        QFile source(samplePath);
        if (!source.copy(copy)) {
            return QStringLiteral("Не удалось скопировать образец базы тестов\n%1\nв папку программы: %2.")
                .arg(QDir::toNativeSeparators(samplePath), source.errorString());
        }
        // An installed sample is read-only; its copy is the examiner's to change.
        QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::WriteOwner);
    }
    Database sample;
    sample.programFolder = m_db.programFolder;
    sample.databasePath = copy;
    if (!sample.loadDatabase().ok())
        return QStringLiteral("Файл\n%1\nне является базой тестов.").arg(QDir::toNativeSeparators(copy));
    replaceDatabase(std::move(sample));
    shuffleQuestionOrders();
    const SettingsResult settings = saveSettings();
    if (!settings.ok)
        return QStringLiteral("Образец открыт, но не запомнен для следующего запуска.\n\n") + settings.error;
    return std::nullopt;
}

SaveResult AppCore::storeQuestion(int theme, int question, const QuestionEntry& entry) {
    if (!validTheme(theme) || question < 1 || question > kQuestionSlots)
        return {SaveResult::WriteFailed, QStringLiteral("Нет такого вопроса."), {}};
    for (int k = 0; k < kGroupCount; ++k)
        m_db.groupNames[k].flag = entry.groups[k] ? QStringLiteral("1") : QStringLiteral("0");
    m_db.questions(theme, 0, 0) = entry.themeTitle;
    m_db.questions(theme, question, 0) = questionValue(entry.groups, entry.text);
    for (int p = 1; p < kParts; ++p)
        m_db.questions(theme, question, p) = entry.answers[p];
    m_db.databaseHeader[2] = entry.testName;
    const SaveResult saved = m_db.saveDatabase();
    // The exam draws from memory, which holds the new question whether or not the file
    // could be written.
    m_selection.shuffleAllThemes();
    emit databaseChanged();
    return saved;
}

std::vector<QuestionFile> AppCore::readQuestionFiles(const QStringList& paths) const {
    std::vector<QuestionFile> files;
    files.reserve(static_cast<std::size_t>(paths.size()));
    for (const QString& path : paths)
        files.push_back(readQuestionFile(path));
    return files;
}

SaveResult AppCore::storeImportedQuestions(const Database& imported) {
    // Only what an import changes is taken; the file and folder stay those of the open database.
    for (int t = 1; t <= kThemeCount; ++t) {
        for (int q = 0; q <= kQuestionSlots; ++q) {
            for (int p = 0; p < kParts; ++p)
                m_db.questions(t, q, p) = imported.questions(t, q, p);
        }
    }
    m_db.profiles = imported.profiles;
    for (int i = 2; i < 5; ++i)
        m_db.databaseHeader[i] = imported.databaseHeader[i];
    const SaveResult saved = m_db.saveDatabase();
    m_selection.shuffleAllThemes();
    emit databaseChanged();
    return saved;
}

ExportResult AppCore::exportQuestions(const QString& path, BankFormat format, int theme) const {
    return zet::exportQuestions(m_db, path, format, theme);
}

SaveResult AppCore::storeProfile(int number, const ProfileEntry& entry) {
    if (!validProfile(number))
        return {SaveResult::WriteFailed, QStringLiteral("Нет такого профиля."), {}};
    m_db.profiles[number] = entry.profile;
    m_db.groupNames = entry.groups;
    for (int k = 0; k < kGroupCount; ++k)
        m_db.profiles[number].groups[k] = groupEntry(entry.groups[k]);
    m_db.databaseHeader[2] = entry.testName;
    const SaveResult saved = m_db.saveDatabase();
    emit databaseChanged();
    return saved;
}

void AppCore::takeGroupsFromProfile(int number) {
    if (!validProfile(number))
        return;
    for (int k = 0; k < kGroupCount; ++k)
        m_db.groupNames[k] = groupRecord(m_db.profiles[number].groups[k]);
}

void AppCore::shuffleQuestionOrders() {
    m_selection.shuffleAllThemes();
}

void AppCore::chooseProfile(int16 number) {
    if (validProfile(number))
        m_exam.currentProfile = number;
}

std::optional<QString> AppCore::checkExamStart(const RegistrationTexts& texts) const {
    if (m_exam.examRunning)
        return QStringLiteral("Экзамен уже идёт.");
    if (!inRegister(m_exam.currentExaminee)) {
        return QStringLiteral("Журнал экзаменов за сегодня заполнен: все %1 мест заняты. "
                              "Новый экзамен записать нельзя.")
            .arg(kRegisterSlots);
    }
    if (!m_exam.isFree(m_exam.currentExaminee)) {
        return QStringLiteral("Место № %1 в журнале экзаменов уже занято. Выйдите из режима экзамена и "
                              "войдите снова.")
            .arg(m_exam.currentExaminee);
    }

    // A rejected file leaves no marker, and the values in memory are no database of it.
    if (m_db.databaseHeader[1] != kVersionMarker) {
        return QStringLiteral("Не открыта годная база тестов: файл «%1» не был загружен. "
                              "Загрузите или создайте базу данных в меню «Меню».")
            .arg(QDir::toNativeSeparators(m_db.databasePath));
    }
    const std::optional<int16> profileNo = int16Rounded(texts.profileNo);
    if (!profileNo || !validProfile(*profileNo))
        return QStringLiteral("Не выбран профиль экзамена (номер от 1 до %1).").arg(kProfileCount);
    const ExamProfile& profile = m_db.profiles[*profileNo];

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
    if (!hasQuestions()) {
        return QStringLiteral("В базе тестов нет ни одного вопроса, и задавать на экзамене нечего. Вопросы "
                              "пишут в редакторе («Настройка» → «Редактор») или берут из другой базы "
                              "(«Меню» → «Загрузить»), выйдя из режима экзамена.");
    }
    for (int s = 1; s <= profile.questionCount; ++s) {
        const int t = profile.slotTheme[s];
        if (!themeHasEligibleQuestion(m_db, t, profile)) {
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
    if (m_exam.examRunning || !m_exam.isFree(m_exam.currentExaminee) || !validProfile(profile))
        return {};
    m_examTexts = texts;
    // A journal left for after the first frame catches up before this exam reaches the day
    // file (else the catch-up would take the exam for one the journal missed); what it found
    // is told with the exam's result.
    if (m_journalDue)
        m_journalStartMessage = startJournal();
    // The examinee sits at the keyboard from now on.
    m_examiner.endTrust();
    m_examStartedAt = now();
    m_examAnswers.clear();
    m_exam.examRunning = true;
    m_exam.answerLock = false;
    m_exam.currentProfile = profile;
    m_exam.correctCount = 0;
    m_exam.questionNo = 1;
    m_selection.beginExam();
    PresentedQuestion first = presentQuestion(1);
    m_exam.dayRegister[m_exam.currentExaminee].timeSpent = 0;
    m_shownAtSecond = 0;
    return first;
}

PresentedQuestion AppCore::presentQuestion(int16 n) {
    PresentedQuestion shown;
    shown.n = n;
    shown.caption = QStringLiteral("Вопрос № ") + numberText(n);
    m_answers.shuffleAnswers();
    int16 wrapCounter = 0;
    if (n < 1 || n > kSlotCount || !validProfile(m_exam.currentProfile))
        return shown;

    const ExamProfile& profile = m_db.profiles[m_exam.currentProfile];
    const int16 q = m_selection.drawQuestion(n, profile, wrapCounter);
    if (q == 0)
        return shown;

    const int t = profile.slotTheme[n];
    shown.found = true;
    shown.theme = static_cast<int16>(t);
    shown.question = q;
    shown.text = questionText(m_db.questions(t, q, 0));
    for (int p = 1; p <= 5; ++p)
        shown.answers[p] = m_db.questions(t, q, m_answers.answerOrder[p]);
    m_shownQuestion = shown;
    if (inRegister(m_exam.currentExaminee))
        m_shownAtSecond = m_exam.dayRegister[m_exam.currentExaminee].timeSpent;
    return shown;
}

bool AppCore::answerClick(int16 p, bool* correct) {
    if (m_exam.answerLock || !m_exam.examRunning || p < 1 || p > 5)
        return false;
    m_exam.answerLock = true;
    m_exam.chosenPosition = p;
    if (correct)
        *correct = m_answers.correctPosition == p;
    scoreAnswer();
    if (m_shownQuestion.found && m_examAnswers.size() < m_shownQuestion.n) {
        // Outside the register no time is counted.
        const int spent = inRegister(m_exam.currentExaminee)
                              ? m_exam.dayRegister[m_exam.currentExaminee].timeSpent
                              : m_shownAtSecond;
        JournalAnswer answer = shownQuestionAnswer(spent);
        answer.answerText = m_shownQuestion.answers[p];
        answer.right = m_answers.correctPosition == p;
        m_examAnswers.append(answer);
    }
    return true;
}

void AppCore::scoreAnswer() {
    if (m_answers.correctPosition == m_exam.chosenPosition)
        ++m_exam.correctCount;
}

std::optional<PresentedQuestion> AppCore::advanceExam() {
    if (!m_exam.examRunning) {
        // A pause that outlived its exam (finished meanwhile by the clock or by leaving the
        // exam mode): nothing to present and nothing left to finish.
        m_exam.answerLock = false;
        return std::nullopt;
    }
    const ExamProfile& profile = m_db.profiles[m_exam.currentProfile];
    if (profile.questionCount > m_exam.questionNo) {
        ++m_exam.questionNo;
        PresentedQuestion next = presentQuestion(m_exam.questionNo);
        m_exam.answerLock = false;
        return next;
    }
    // The last question has been answered: the caller finishes the exam, which also
    // releases the lock.
    return std::nullopt;
}

bool AppCore::clockTick() {
    if (!m_exam.examRunning || !inRegister(m_exam.currentExaminee))
        return false;
    int16& spent = m_exam.dayRegister[m_exam.currentExaminee].timeSpent;
    // The count stops at the top of its range and ends the exam there instead of wrapping.
    if (spent < kClockLimit)
        ++spent;
    return spent > m_db.profiles[m_exam.currentProfile].timeLimit || spent >= kClockLimit;
}

std::optional<FinishResult> AppCore::finishExam(const RegistrationTexts& texts) {
    if (!m_exam.examRunning || !inRegister(m_exam.currentExaminee)) {
        m_exam.examRunning = false;
        m_exam.answerLock = false;
        return std::nullopt;
    }
    const int16 slot = m_exam.currentExaminee;
    ExamineeRecord& record = m_exam.dayRegister[slot];

    record.askedCount = int16Floor(texts.askedCount).value_or(0);
    record.grade = gradeExam(m_exam.correctCount, m_db.profiles[m_exam.currentProfile]);
    record.fullName = texts.fullName;
    record.seniority = int16Floor(texts.seniority).value_or(0);
    // A finished record must mark its slot as used, so it always carries a real profile number.
    const int16 profileNo = int16Floor(texts.profileNo).value_or(0);
    record.profileNo = validProfile(profileNo) ? profileNo : m_exam.currentProfile;
    record.protocolNo = slot;
    record.personnelNo = texts.personnelNo;
    record.jobTitle = texts.jobTitle;
    record.profileName = texts.profileName;
    record.rightCount = m_exam.correctCount;
    record.birthYear = int16Floor(texts.birthYear).value_or(0);

    FinishResult result;
    result.examinee = slot;
    result.record = record;
    result.written = m_archive.writeDayFile(m_exam.dayRegister);
    m_unwritten = !result.written.ok;
    emit dayFileWritten();
    // The journal comes after the day file and never holds it up.
    result.journalMessage = recordInJournal(record);

    m_exam.examRunning = false;
    m_exam.answerLock = false;
    // Never onto a used slot: a gap before a used record is filled, then the next free one.
    m_exam.currentExaminee = m_exam.nextFreeSlotAfter(slot);
    return result;
}

std::optional<FinishResult> AppCore::finishRunningExam() {
    if (!m_exam.examRunning)
        return std::nullopt;
    return finishExam(m_examTexts);
}

QString AppCore::unstorableCharacters(const RegistrationTexts& texts) const {
    return unencodableCharacters(texts.fullName + texts.jobTitle + texts.personnelNo + texts.profileName);
}

DayFileResult AppCore::writeUnwrittenRecords() {
    // The journal's exams kept in memory are tried again at the same moments.
    (void)writeUnwrittenJournalExams();
    if (!m_unwritten)
        return {};
    const DayFileResult written = m_archive.writeDayFile(m_exam.dayRegister);
    m_unwritten = !written.ok;
    return written;
}

DayFileResult AppCore::saveRegisterTo(const QString& path) {
    const DayFileResult written = DayArchive::writeRegisterTo(path, m_exam.dayRegister);
    if (written.ok)
        m_unwritten = false;
    return written;
}

DayFileResult AppCore::saveBeforeExit(const QString& fallbackFolder, QString* savedTo) {
    const std::optional<FinishResult> finished = finishRunningExam();
    // Journal exams that are in memory only go to the fallback folder as an outbox file.
    if (hasUnwrittenJournalExams() && !writeUnwrittenJournalExams().ok && !fallbackFolder.isEmpty() &&
        QDir().mkpath(fallbackFolder)) {
        QString path = QDir(fallbackFolder).filePath(JournalStore::outboxFileName());
        for (int n = 2; QFileInfo::exists(path); ++n)
            path = QDir(fallbackFolder).filePath(JournalStore::outboxFileName() + QStringLiteral(".%1").arg(n));
        (void)saveJournalExamsTo(path);
    }
    const DayFileResult written = writeUnwrittenRecords();
    if (written.ok) {
        if (savedTo)
            *savedTo = finished ? m_archive.dayFilePath() : QString();
        return written;
    }
    if (fallbackFolder.isEmpty() || !QDir().mkpath(fallbackFolder))
        return written;
    QString path = QDir(fallbackFolder).filePath(m_archive.dayFileName);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(fallbackFolder).filePath(m_archive.dayFileName + QStringLiteral(".%1").arg(n));
    const DayFileResult saved = saveRegisterTo(path);
    if (saved.ok && savedTo)
        *savedTo = path;
    return saved.ok ? saved : written;
}

} // namespace zet
