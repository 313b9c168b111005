#include "ui/shell/mainwindow.h"

#include "app/paperwork.h"
#include "app/startup.h"
#include "journal/journal.h"
#include "ui/archive/archiveviewer.h"
#include "ui/authoring/profileeditor.h"
#include "ui/authoring/questioneditor.h"
#include "ui/exam/exammode.h"
#include "ui/files/filearea.h"
#include "ui/files/questionbankactions.h"
#include "ui/shell/aboutarea.h"
#include "ui/shell/archiveimportdialog.h"
#include "ui/shell/examinerprompt.h"
#include "ui/shell/examscreen.h"
#include "ui/shell/messages.h"
#include "ui/shell/scaledsurface.h"
#include "ui/shell/uikit.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>

namespace zet::ui {

namespace {

// The surface holds the work areas (405, 0, 14475 x 10065) and the strip below them.
constexpr int kSurfaceWidth = 15000;
constexpr int kSurfaceHeight = 11130;

// The strip's labels.
LabelOptions stripLabel() {
    return {.font = sansFont(9.75)};
}

} // namespace

MainWindow::MainWindow(AppCore& core, QWidget* parent) : MainWindow(core, MainWindowOptions{}, parent) {}

MainWindow::MainWindow(AppCore& core, const MainWindowOptions& options, QWidget* parent)
    : QMainWindow(parent), m_core(core), m_options(options) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Razividerur"));

    // The work areas and the strip are laid out in twips on one surface that is scaled as a
    // whole to the window's room.
    m_surfaceFrame = new ScaledSurface(kSurfaceWidth, kSurfaceHeight, this);
    m_surface = m_surfaceFrame->canvas();
    setCentralWidget(m_surfaceFrame);
    m_examinerWatch = new ExaminerWatch(m_core.examinerAccess(), this);

    buildMenus();
    buildTitle();
    buildInfoStrip();
    buildAreas();
    fitToScreen();
    load();
}

void MainWindow::fitToScreen() {
    // As large as the screen leaves room for once the window frame is taken off, in the
    // surface's proportions: smaller than designed on a small screen, larger on a large one.
    const QSize design = m_surfaceFrame->designSize();
    const int menu = menuBar()->sizeHint().height();
    QSize size(design.width(), design.height() + menu);
    if (const QScreen* screen = this->screen()) {
        // A typical title bar and border; the real frame is not known before the first show.
        const QSize room = screen->availableGeometry().size() - QSize(16, 40);
        const double scale =
            std::min(double(room.width()) / design.width(), double(room.height() - menu) / design.height());
        size = QSize(qRound(design.width() * scale), qRound(design.height() * scale) + menu);
    }
    resize(size);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    auto item = [this](QMenu* menu, const char* name, const QString& caption, void (MainWindow::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    auto menu = [bar](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        return m;
    };

    m_databaseMenu = menu("databaseMenu", QStringLiteral("Меню           "));
    m_createAction =
        item(m_databaseMenu, "createAction", QStringLiteral("Создать новый"), &MainWindow::createDatabase);
    m_loadAction = item(m_databaseMenu, "loadAction", QStringLiteral("Загрузить"), &MainWindow::loadDatabase);
    m_saveAsAction =
        item(m_databaseMenu, "saveAsAction", QStringLiteral("Сохранить"), &MainWindow::saveDatabaseAs);
    item(m_databaseMenu, "importQuestionsAction", QStringLiteral("Импорт вопросов…"),
         &MainWindow::importQuestions);
    item(m_databaseMenu, "exportQuestionsAction", QStringLiteral("Экспорт вопросов…"),
         &MainWindow::exportQuestions);
    m_exitAction =
        item(m_databaseMenu, "exitAction", QStringLiteral("Выход из программы"), &MainWindow::exitProgram);

    m_examMenu = menu("examMenu", QStringLiteral("Проверка       "));
    m_resultsAction =
        item(m_examMenu, "resultsAction", QStringLiteral("Результаты"), &MainWindow::toggleArchiveViewer);
    m_examAction = item(m_examMenu, "examAction", QStringLiteral("Экзамен"), &MainWindow::toggleExamMode);
    m_journalAction =
        item(m_examMenu, "journalAction", QStringLiteral("Журнал результатов"), &MainWindow::openJournal);
    m_archiveImportAction = m_examMenu->addAction(QStringLiteral("Перенести архив в журнал…"));
    m_archiveImportAction->setObjectName(QStringLiteral("archiveImportAction"));
    connect(m_archiveImportAction, &QAction::triggered, this,
            [this] {
                if (examinerAllows()) {
                    finishStartUpWhenDue();
                    importArchiveWithProgress(m_core, this);
                }
            });

    m_settingsMenu = menu("settingsMenu", QStringLiteral("Настройка      "));
    m_profilesAction =
        item(m_settingsMenu, "profilesAction", QStringLiteral("Профили"), &MainWindow::toggleProfileEditor);
    m_questionEditorAction = item(m_settingsMenu, "questionEditorAction", QStringLiteral("Редактор"),
                                  &MainWindow::toggleQuestionEditor);
    m_examScreen = new ExamScreen(this, m_settingsMenu, [this] { return m_core.database().programFolder; });
    m_examinerPasswordAction = item(m_settingsMenu, "examinerPasswordAction",
                                    QStringLiteral("Пароль экзаменатора…"), &MainWindow::changeExaminerPassword);

    // These two act on a click of their own: plain actions in the bar.
    m_helpAction = bar->addAction(QStringLiteral("Базы тестов       "));
    m_helpAction->setObjectName(QStringLiteral("helpAction"));
    connect(m_helpAction, &QAction::triggered, this, &MainWindow::showHelp);
    m_aboutAction = bar->addAction(QStringLiteral("О программе    "));
    m_aboutAction->setObjectName(QStringLiteral("aboutAction"));
    connect(m_aboutAction, &QAction::triggered, this, &MainWindow::toggleAbout);
}

void MainWindow::buildTitle() {
    // What the main mode shows where the work areas open.
    m_title = new QWidget(m_surface);
    m_title->setObjectName(QStringLiteral("TitleBlock"));
    placeTwips(m_title, 405, 0, 14475, 10065);
    auto* picture = new QLabel(m_title);
    picture->setPixmap(programPicture());
    picture->setScaledContents(true);
    placeTwips(picture, 6518, 2400, 1440, 1440);
    auto* product = new QLabel(QStringLiteral("Zetrova v.1.0"), m_title);
    product->setFont(timesFont(28));
    product->setAlignment(Qt::AlignCenter);
    placeTwips(product, 0, 4080, 14475, 900);
    auto* purpose = new QLabel(QStringLiteral("Программа для проверки знаний"), m_title);
    purpose->setFont(timesFont(18));
    purpose->setAlignment(Qt::AlignCenter);
    placeTwips(purpose, 0, 5040, 14475, 600);
}

void MainWindow::buildInfoStrip() {
    constexpr int row1 = 10230;
    constexpr int row2 = 10680;

    auto* rule = new QFrame(m_surface);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    placeTwips(rule, 405, 10110, 14475, 45);

    m_testNameCaption = makeLabel(m_surface, QStringLiteral("testNameCaption"),
                                  QStringLiteral("Название теста:"), 405, row1 + 30, 1500, 285, stripLabel());
    m_testNameBox = new QLineEdit(m_surface);
    m_testNameBox->setObjectName(QStringLiteral("testNameBox"));
    m_testNameBox->setAccessibleName(QStringLiteral("Название теста"));
    m_testNameBox->setReadOnly(true);
    // A display box: it takes focus on a click only, so the work areas get the keyboard.
    m_testNameBox->setFocusPolicy(Qt::ClickFocus);
    m_testNameBox->setFont(sansFont(9.75));
    placeTwips(m_testNameBox, 1950, row1, 5700, 345);
    m_testNameCaption->setBuddy(m_testNameBox);

    // Caption and value of the author, the date and the file path.
    struct Cell {
        const char* captionName;
        QString caption;
        int left, top, width;
        const char* valueName;
        int valueLeft, valueWidth;
        QLabel* MainWindow::*value;
    };
    const std::array<Cell, 3> cells = {Cell{"authorCaption", QStringLiteral("Автор:"), 7905, row1 + 30, 700,
                                            "authorLabel", 8640, 3600, &MainWindow::m_authorLabel},
                                       Cell{"dateCaption", QStringLiteral("Дата:"), 12390, row1 + 30, 600,
                                            "dateLabel", 13020, 1845, &MainWindow::m_dateLabel},
                                       Cell{"fileCaption", QStringLiteral("Фаил:"), 405, row2, 700,
                                            "filePathLabel", 1125, 9675, &MainWindow::m_filePathLabel}};
    for (const Cell& c : cells) {
        makeLabel(m_surface, QString::fromLatin1(c.captionName), c.caption, c.left, c.top, c.width, 285,
                  stripLabel());
        QLabel* value = makeLabel(m_surface, QString::fromLatin1(c.valueName), QString(), c.valueLeft, c.top,
                                  c.valueWidth, 285, stripLabel());
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        this->*c.value = value;
    }

    m_makerAddressLabel = makeLabel(m_surface, QStringLiteral("makerAddressLabel"), makerWebAddress(), 10950,
                                    row2, 3915, 285, stripLabel());
    m_makerAddressLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void MainWindow::buildAreas() {
    // The work areas themselves are built on first use (see the accessors below): the main
    // mode shows none of them, and the window comes up sooner without them.
    connect(&m_core, &AppCore::databaseChanged, this, &MainWindow::showDatabaseInfo);
    connect(&m_core, &AppCore::journalSendEnded, this, &MainWindow::showJournalServerState);
    // The file path is shortened to the strip's width.
    connect(m_surfaceFrame, &ScaledSurface::scaled, this, &MainWindow::showDatabaseInfo);
    connect(&m_core, &AppCore::journalServerUnavailable, this, [this](const QString& reason) {
        // Never in the middle of an exam: the examinee is not to be interrupted. The journal
        // window, while open, shows it in its status line instead.
        showJournalServerState();
        if (appMode() != modeIndex(Mode::Exam) && !(m_journalWindow && m_journalWindow->isVisible()))
            showMessage(this,
                        QStringLiteral("Сервер журнала недоступен; результаты сохраняются на этом компьютере "
                                       "и будут отправлены позже.\n%1")
                            .arg(reason));
    });
    buildModeTable();
}

void MainWindow::settleNewArea() {
    m_surfaceFrame->rescale();
    // Raised in their present order, so that the one on top stays on top.
    const QObjectList children = m_surface->children();
    for (QObject* child : children) {
        if (child == m_fileArea || child == m_aboutArea)
            static_cast<QWidget*>(child)->raise();
    }
}

QuestionEditor& MainWindow::questionEditor() {
    if (!m_questionEditor) {
        m_questionEditor = new QuestionEditor(m_core, m_surface);
        m_examinerWatch->guard(m_questionEditor);
        settleNewArea();
    }
    return *m_questionEditor;
}

ProfileEditor& MainWindow::profileEditor() {
    if (!m_profileEditor) {
        m_profileEditor = new ProfileEditor(m_core, m_surface);
        m_examinerWatch->guard(m_profileEditor);
        // Its number list starts at profile 1.
        m_profileEditor->profilePicked();
        settleNewArea();
    }
    return *m_profileEditor;
}

ExamMode& MainWindow::examMode() {
    if (!m_examMode) {
        m_examMode = new ExamMode(m_core, m_surface);
        // The registration area starts at the day's first record.
        m_examMode->showExaminee(1);
        connect(m_examMode, &ExamMode::resultAcknowledged, this, &MainWindow::resultAcknowledged);
        connect(m_examMode, &ExamMode::examStarted, m_examScreen, &ExamScreen::examStarted);
        settleNewArea();
    }
    return *m_examMode;
}

ArchiveViewer& MainWindow::archiveViewer() {
    if (!m_archiveViewer) {
        m_archiveViewer = new ArchiveViewer(m_core, m_surface);
        settleNewArea();
    }
    return *m_archiveViewer;
}

FileArea& MainWindow::fileArea() {
    if (!m_fileArea) {
        m_fileArea = new FileArea(m_core, m_surface);
        m_examinerWatch->guard(m_fileArea);
        connect(m_fileArea, &FileArea::databaseChanged, this, &MainWindow::showDatabaseInfo);
        settleNewArea();
    }
    return *m_fileArea;
}

AboutArea& MainWindow::aboutArea() {
    if (!m_aboutArea) {
        m_aboutArea = new AboutArea(m_surface);
        settleNewArea();
    }
    return *m_aboutArea;
}

void MainWindow::load() {
    setWindowIcon(programIcon());
    const StartupReport report =
        m_core.startUp({m_options.programFolder, /*journalLater=*/true, /*firstDatabaseLater=*/true});
    setWindowTitle(report.caption);
    // The strip is filled through the core's databaseChanged.
    for (const QString& message : report.messages)
        showMessage(this, message);
    if (!report.dayFileNote.isEmpty()) {
        // Shown over the main window once it is on screen.
        QTimer::singleShot(0, this, [this, text = report.dayFileNote] { showMessage(this, text); });
    }

    setAppMode(modeIndex(Mode::Main));
}

bool MainWindow::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    // The window has been painted: the catch-up runs once no event waits any more (a zero timer
    // of its own, which Qt runs when the window is idle, not among the events of the frame).
    if (event->type() == QEvent::UpdateRequest && (m_core.isJournalDue() || m_core.isFirstDatabaseDue()) &&
        !m_startUpWork) {
        m_startUpWork = new QTimer(this);
        m_startUpWork->setSingleShot(true);
        connect(m_startUpWork, &QTimer::timeout, this, &MainWindow::finishStartUpWhenDue);
        m_startUpWork->start(0);
    }
    return handled;
}

void MainWindow::finishStartUpWhenDue() {
    if (const QString message = m_core.writeFirstDatabase(); !message.isEmpty())
        showMessage(this, message);
    if (!m_core.isJournalDue())
        return;
    if (const QString message = m_core.startJournal(); !message.isEmpty())
        showMessage(this, message);
}

void MainWindow::setAppMode(int16 mode) {
    // Records whose write failed are tried again at every change of mode.
    // A failure stays counted and is tried again at the next change.
    (void)m_core.writeUnwrittenRecords();
    m_appMode = mode;
    m_title->setVisible(mode == modeIndex(Mode::Main));
}

void MainWindow::showDatabaseInfo() {
    const Database& db = m_core.database();
    m_testNameBox->setText(db.databaseHeader[2]);
    m_testNameBox->setCursorPosition(0);
    m_authorLabel->setText(db.databaseHeader[3]);
    m_dateLabel->setText(db.databaseHeader[4]);
    // A long path keeps its beginning and its file name; the whole path is the tooltip.
    const QString path = QDir::toNativeSeparators(db.databasePath);
    const QString shown = m_filePathLabel->fontMetrics().elidedText(path, Qt::ElideMiddle,
                                                                    m_filePathLabel->contentsRect().width());
    m_filePathLabel->setText(shown == path ? db.databasePath : shown);
    m_filePathLabel->setToolTip(shown == path ? QString() : path);
}

void MainWindow::buildModeTable() {
    // Hidden in every mode but the main one.
    const std::vector<QAction*> always = {m_databaseMenu->menuAction(), m_aboutAction, m_helpAction,
                                          m_journalAction, m_archiveImportAction, m_examScreen->action(),
                                          m_examinerPasswordAction};
    auto hiding = [&always](std::initializer_list<QAction*> more) {
        std::vector<QAction*> hidden = always;
        hidden.insert(hidden.end(), more);
        return hidden;
    };
    auto opening = [this](auto area) {
        return [this, area] {
            auto& built = (this->*area)();
            built.show();
            built.enterMode();
        };
    };
    auto closing = [this](auto area) { return [this, area] { (this->*area)().hide(); }; };

    m_modes[modeIndex(Mode::QuestionEditor)] = {
        .hidden = hiding({m_examMenu->menuAction(), m_profilesAction}),
        .switchAction = m_questionEditorAction,
        .switchCaptionInside = QStringLiteral("Выйти из редактора"),
        .switchCaptionAfter = QStringLiteral("Редактор"),
        .settingsTitleInside = QStringLiteral("Редактор"),
        .settingsTitleAfter = QStringLiteral("Настройки"),
        .enter = opening(&MainWindow::questionEditor),
        .leave = closing(&MainWindow::questionEditor),
    };
    m_modes[modeIndex(Mode::Exam)] = {
        .hidden = hiding({m_settingsMenu->menuAction(), m_resultsAction}),
        .switchAction = m_examAction,
        .switchCaptionInside = QStringLiteral("Выход"),
        .switchCaptionAfter = QStringLiteral("Экзамен"),
        .settingsTitleInside = {},
        .settingsTitleAfter = {},
        .enter =
            [this] {
                // The examinee comes to the keyboard: the results are not left open for them.
                if (m_journalWindow && m_core.examinerAccess().isSet())
                    m_journalWindow->close();
                examMode().enterMode();
            },
        // A running exam is finished first, then the registration area goes.
        .leave = [this] { examMode().leaveMode(); },
    };
    m_modes[modeIndex(Mode::ProfileEditor)] = {
        .hidden = hiding({m_examMenu->menuAction(), m_questionEditorAction}),
        .switchAction = m_profilesAction,
        .switchCaptionInside = QStringLiteral("Выйти из настройки"),
        .switchCaptionAfter = QStringLiteral("Параметры"),
        .settingsTitleInside = QStringLiteral("Настройка"),
        .settingsTitleAfter = QStringLiteral("Настройки"),
        .enter = opening(&MainWindow::profileEditor),
        .leave = closing(&MainWindow::profileEditor),
    };
    m_modes[modeIndex(Mode::Archive)] = {
        .hidden = hiding({m_settingsMenu->menuAction(), m_examAction}),
        .switchAction = m_resultsAction,
        .switchCaptionInside = QStringLiteral("Выход"),
        .switchCaptionAfter = QStringLiteral("Результаты"),
        .settingsTitleInside = {},
        .settingsTitleAfter = {},
        .enter = opening(&MainWindow::archiveViewer),
        .leave = closing(&MainWindow::archiveViewer),
    };
}

void MainWindow::toggleMode(Mode mode) {
    if (m_appMode == modeIndex(mode)) {
        m_modes[modeIndex(mode)].leave();
        returnToMainMode(mode);
        return;
    }
    const ModeLook& look = m_modes[modeIndex(mode)];
    setAppMode(modeIndex(mode));
    for (QAction* entry : look.hidden)
        entry->setVisible(false);
    if (!look.settingsTitleInside.isEmpty())
        m_settingsMenu->setTitle(look.settingsTitleInside);
    look.switchAction->setText(look.switchCaptionInside);
    look.enter();
}

void MainWindow::returnToMainMode(Mode from) {
    const ModeLook& look = m_modes[modeIndex(from)];
    if (from == Mode::Exam)
        m_examScreen->examEnded();
    setAppMode(modeIndex(Mode::Main));
    for (QAction* entry :
         {m_databaseMenu->menuAction(), m_examMenu->menuAction(), m_aboutAction, m_helpAction})
        entry->setVisible(true);
    for (QAction* entry : look.hidden)
        entry->setVisible(true);
    if (!look.settingsTitleAfter.isEmpty())
        m_settingsMenu->setTitle(look.settingsTitleAfter);
    look.switchAction->setText(look.switchCaptionAfter);
}

bool MainWindow::examinerAllows() {
    return zet::ui::examinerAllows(this, m_core.examinerAccess());
}

void MainWindow::toggleQuestionEditor() {
    if (m_appMode == modeIndex(Mode::QuestionEditor) || examinerAllows())
        toggleMode(Mode::QuestionEditor);
}

void MainWindow::toggleExamMode() {
    // Leaving ends a running exam: only the examiner does that. «Отмена» leaves it running.
    if (m_appMode == modeIndex(Mode::Exam) && m_core.examState().examRunning && !examinerAllows())
        return;
    toggleMode(Mode::Exam);
}

void MainWindow::resultAcknowledged() {
    returnToMainMode(Mode::Exam);
}

void MainWindow::toggleProfileEditor() {
    if (m_appMode == modeIndex(Mode::ProfileEditor) || examinerAllows())
        toggleMode(Mode::ProfileEditor);
}

void MainWindow::toggleArchiveViewer() {
    toggleMode(Mode::Archive);
}

void MainWindow::openJournal() {
    if (!examinerAllows())
        return;
    finishStartUpWhenDue();
    if (!m_journalWindow) {
        // The journal window comes with the paperwork's library, loaded the first time.
        QString error;
        Paperwork* paperwork = loadPaperwork(&error);
        if (!paperwork) {
            showMessage(this, error);
            return;
        }
        m_journalWindow = paperwork->createJournalWindow(
            {m_core.database().programFolder, &m_core.staff(),
             [this](int theme, int question) { openQuestion(theme, question); }},
            this);
        m_journalWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_examinerWatch->guard(m_journalWindow);
    }
    showJournalServerState();
    m_journalWindow->show();
    m_journalWindow->raise();
    m_journalWindow->activateWindow();
}

void MainWindow::showJournalServerState() {
    if (m_journalWindow && m_core.journal() && m_core.journal()->config().usesServer())
        loadPaperwork()->setJournalServerState(m_journalWindow, m_core.lastServerError(), m_core.unsentJournalExams());
}

void MainWindow::openQuestion(int theme, int question) {
    if (m_appMode != modeIndex(Mode::QuestionEditor)) {
        // The editor is entered from the main mode only; another mode is left first.
        if (m_appMode != modeIndex(Mode::Main)) {
            showMessage(this,
                        QStringLiteral("Вопрос можно открыть в редакторе, когда закончена текущая работа "
                                       "(экзамен, просмотр результатов или настройка профилей)."));
            return;
        }
        toggleQuestionEditor();
    }
    questionEditor().showQuestion(theme, question);
    raise();
    activateWindow();
}

void MainWindow::createDatabase() {
    if (!examinerAllows())
        return;
    fileArea().raise();
    fileArea().open(FileArea::Action::Create);
}

void MainWindow::loadDatabase() {
    if (!examinerAllows())
        return;
    fileArea().raise();
    fileArea().open(FileArea::Action::Load);
}

void MainWindow::saveDatabaseAs() {
    if (!examinerAllows())
        return;
    fileArea().raise();
    fileArea().open(FileArea::Action::Save);
}

void MainWindow::importQuestions() {
    if (examinerAllows())
        importQuestionsInteractively(this, m_core);
}

void MainWindow::exportQuestions() {
    if (examinerAllows())
        exportQuestionsInteractively(this, m_core);
}

void MainWindow::changeExaminerPassword() {
    zet::ui::changeExaminerPassword(this, m_core.examinerAccess());
}

void MainWindow::exitProgram() {
    close();
}

void MainWindow::showHelp() {
    showMessage(this, helpText());
}

void MainWindow::toggleAbout() {
    aboutArea().toggle();
}

void MainWindow::endSession() {
    if (m_sessionEnded)
        return;
    m_sessionEnded = true;
    const DayFileResult saved =
        m_core.saveBeforeExit(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    // No window is left to show it in: the reason goes to the log.
    if (!saved.ok)
        qWarning("%s", qUtf8Printable(saved.error));
    QCoreApplication::quit();
}

namespace {

// The reason of a failed write, never empty; empty when it succeeded.
template <class Result> QString failureText(const Result& result) {
    if (result.ok)
        return {};
    return result.error.isEmpty() ? QStringLiteral("ошибка записи") : result.error;
}

} // namespace

bool MainWindow::keepUntilSaved(const KeepingAsk& ask) {
    for (;;) {
        const QString reason = ask.write();
        if (reason.isEmpty())
            return true;
        const int choice =
            askChoice(this, ask.question(reason),
                      {QStringLiteral("Повторить"), QStringLiteral("Сохранить в другое место…"),
                       QStringLiteral("Выйти без сохранения")});
        if (choice == 0)
            continue;
        if (choice == 2)
            return true;
        if (choice != 1)
            return false;
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(folder);
        const QString path = askSaveFileName(this, ask.saveCaption, QDir(folder).filePath(ask.fileName));
        if (path.isEmpty())
            continue;
        const QString failed = ask.saveTo(path);
        if (failed.isEmpty())
            return true;
        showMessage(this, failed);
    }
}

bool MainWindow::keepUnwrittenRecords() {
    const KeepingAsk dayFile{
        [this] { return failureText(m_core.writeUnwrittenRecords()); },
        [this](const QString& path) { return failureText(m_core.saveRegisterTo(path)); },
        [this](const QString& reason) {
            return QStringLiteral("Результаты экзаменов за сегодня не удалось записать в файл\n%1\n\n%2\n\n"
                                  "Если выйти без сохранения, они будут потеряны.")
                .arg(QDir::toNativeSeparators(m_core.dayArchive().dayFilePath()), reason);
        },
        QStringLiteral("Сохранить результаты экзаменов"), m_core.dayArchive().dayFileName};
    const KeepingAsk journal{
        [this] { return failureText(m_core.writeUnwrittenJournalExams()); },
        [this](const QString& path) { return failureText(m_core.saveJournalExamsTo(path)); },
        [](const QString& reason) {
            return QStringLiteral("Экзамены с ответами не удалось записать в журнал результатов:\n%1\n\n"
                                  "Если выйти без сохранения, их ответы будут потеряны (итоги экзаменов есть в "
                                  "файле результатов за день, если он записан).")
                .arg(reason);
        },
        QStringLiteral("Сохранить экзамены журнала"), JournalStore::outboxFileName()};
    return keepUntilSaved(dayFile) && keepUntilSaved(journal);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing the window ends a running exam: only the examiner does that. A session that
    // ends from outside has finished it already.
    if (!m_sessionEnded && m_core.examState().examRunning && !examinerAllows()) {
        event->ignore();
        return;
    }
    // An exam still running when the window goes is finished and stored first.
    if (m_examMode)
        m_examMode->finishRunningExam();
    if (!m_sessionEnded && !keepUnwrittenRecords()) {
        event->ignore();
        return;
    }
    event->accept();
    // The program ends with its main window, whatever other window is still open.
    QCoreApplication::quit();
}

} // namespace zet::ui
