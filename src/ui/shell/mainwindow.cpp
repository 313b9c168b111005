#include "ui/shell/mainwindow.h"

#include "app/startup.h"
#include "ui/archive/archiveviewer.h"
#include "ui/authoring/profileeditor.h"
#include "ui/authoring/questioneditor.h"
#include "ui/exam/exammode.h"
#include "ui/files/filearea.h"
#include "ui/shell/aboutarea.h"
#include "ui/shell/messages.h"
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
#include <QStandardPaths>
#include <QTimer>

namespace zet::ui {

namespace {

// The surface holds the work areas (405, 0, 14475 x 10065) and the strip below them.
constexpr int kSurfaceWidth = 15000;
constexpr int kSurfaceHeight = 11130;

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, int left, int top, int width,
                  int height) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(sansFont(9.75));
    placeTwips(label, left, top, width, height);
    return label;
}

} // namespace

MainWindow::MainWindow(AppCore& core, QWidget* parent) : MainWindow(core, MainWindowOptions{}, parent) {}

MainWindow::MainWindow(AppCore& core, const MainWindowOptions& options, QWidget* parent)
    : QMainWindow(parent), m_core(core), m_options(options) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Razividerur"));

    m_surface = new QWidget(this);
    m_surface->setObjectName(QStringLiteral("Surface"));
    m_surface->setMinimumSize(twips(kSurfaceWidth), twips(kSurfaceHeight));
    setCentralWidget(m_surface);

    buildMenus();
    buildTitle();
    buildInfoStrip();
    buildAreas();
    load();
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
    m_createAction = item(m_databaseMenu, "createAction", QStringLiteral("Создать новый"), &MainWindow::createDatabase);
    m_loadAction = item(m_databaseMenu, "loadAction", QStringLiteral("Загрузить"), &MainWindow::loadDatabase);
    m_saveAsAction = item(m_databaseMenu, "saveAsAction", QStringLiteral("Сохранить"), &MainWindow::saveDatabaseAs);
    m_exitAction = item(m_databaseMenu, "exitAction", QStringLiteral("Выход из программы"), &MainWindow::exitProgram);

    m_examMenu = menu("examMenu", QStringLiteral("Проверка       "));
    m_resultsAction = item(m_examMenu, "resultsAction", QStringLiteral("Результаты"), &MainWindow::toggleArchiveViewer);
    m_examAction = item(m_examMenu, "examAction", QStringLiteral("Экзамен"), &MainWindow::toggleExamMode);

    m_settingsMenu = menu("settingsMenu", QStringLiteral("Настройка      "));
    m_profilesAction =
        item(m_settingsMenu, "profilesAction", QStringLiteral("Профили"), &MainWindow::toggleProfileEditor);
    m_questionEditorAction =
        item(m_settingsMenu, "questionEditorAction", QStringLiteral("Редактор"), &MainWindow::toggleQuestionEditor);

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

    m_label48 = makeLabel(m_surface, QStringLiteral("Label48"), QStringLiteral("Название теста:"), 405,
                          row1 + 30, 1500, 285);
    m_text34 = new QLineEdit(m_surface);
    m_text34->setObjectName(QStringLiteral("Text34"));
    m_text34->setAccessibleName(QStringLiteral("Название теста"));
    m_text34->setReadOnly(true);
    // A display box: it takes focus on a click only, so the work areas get the keyboard.
    m_text34->setFocusPolicy(Qt::ClickFocus);
    m_text34->setFont(sansFont(9.75));
    placeTwips(m_text34, 1950, row1, 5700, 345);
    m_label48->setBuddy(m_text34);

    const std::array<QString, 3> captions = {QStringLiteral("Автор:"), QStringLiteral("Дата:"),
                                             QStringLiteral("Фаил:")};
    // left, top, width of caption k and of its value
    struct Cell {
        int left, top, width, valueLeft, valueWidth;
    };
    const std::array<Cell, 3> cells = {Cell{7905, row1 + 30, 700, 8640, 3600},
                                       Cell{12390, row1 + 30, 600, 13020, 1845},
                                       Cell{405, row2, 700, 1125, 9675}};
    for (std::size_t k = 0; k < 3; ++k) {
        const Cell& c = cells[k];
        m_label49[k] = makeLabel(m_surface, QStringLiteral("Label49_%1").arg(k), captions[k], c.left, c.top,
                                 c.width, 285);
        m_label50[k] = makeLabel(m_surface, QStringLiteral("Label50_%1").arg(k), QString(), c.valueLeft,
                                 c.top, c.valueWidth, 285);
        m_label50[k]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }

    m_label46 = makeLabel(m_surface, QStringLiteral("Label46"), makerWebAddress(), 10950, row2, 3915, 285);
    m_label46->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void MainWindow::buildAreas() {
    // Created in stacking order: the mode areas first, the file and About areas over them.
    m_frame1 = new QuestionEditor(m_core, m_surface);
    m_frame3 = new ProfileEditor(m_core, m_surface);
    m_exam = new ExamMode(m_core, m_surface);
    m_frame6 = new ArchiveViewer(m_core, m_surface);
    m_frame5 = new FileArea(m_core, m_surface);
    m_frame7 = new AboutArea(m_surface);

    connect(m_frame5, &FileArea::databaseChanged, this, &MainWindow::showDatabaseInfo);
    connect(&m_core, &AppCore::databaseChanged, this, &MainWindow::showDatabaseInfo);
    connect(m_exam, &ExamMode::resultAcknowledged, this, &MainWindow::resultAcknowledged);
}

void MainWindow::load() {
    setWindowIcon(programIcon());
    const StartupReport report = m_core.startUp({m_options.programFolder});
    setWindowTitle(report.caption);
    showDatabaseInfo();
    for (const QString& message : report.messages)
        showMessage(this, message);
    // The number lists are the areas' own; profile 1 is shown in the profile editor.
    m_frame3->list4Click();
    m_exam->showExaminee(1);
    showDatabaseInfo();
    if (!report.dayFileNote.isEmpty()) {
        // Shown over the main window once it is on screen.
        QTimer::singleShot(0, this, [this, text = report.dayFileNote] { showMessage(this, text); });
    }

    setAppMode(0);
}

void MainWindow::setAppMode(int16 mode) {
    // Records whose write failed are tried again at every change of mode.
    // A failure stays counted and is tried again at the next change.
    (void)m_core.writeUnwrittenRecords();
    m_appMode = mode;
    m_title->setVisible(mode == 0);
}

void MainWindow::showDatabaseInfo() {
    const Database& db = m_core.database();
    m_text34->setText(db.databaseHeader[2]);
    m_text34->setCursorPosition(0);
    m_label50[0]->setText(db.databaseHeader[3]);
    m_label50[1]->setText(db.databaseHeader[4]);
    m_label50[2]->setText(db.databasePath);
}

void MainWindow::showMainMenus() {
    m_databaseMenu->menuAction()->setVisible(true);
    m_examMenu->menuAction()->setVisible(true);
    m_aboutAction->setVisible(true);
    m_helpAction->setVisible(true);
}

void MainWindow::toggleQuestionEditor() {
    if (m_appMode == 1) {
        setAppMode(0);
        showMainMenus();
        m_profilesAction->setVisible(true);
        m_settingsMenu->setTitle(QStringLiteral("Настройки"));
        m_questionEditorAction->setText(QStringLiteral("Редактор"));
        m_frame1->hide();
        return;
    }
    setAppMode(1);
    m_frame1->show();
    m_frame1->enterMode();
    m_databaseMenu->menuAction()->setVisible(false);
    m_examMenu->menuAction()->setVisible(false);
    m_aboutAction->setVisible(false);
    m_helpAction->setVisible(false);
    m_profilesAction->setVisible(false);
    m_settingsMenu->setTitle(QStringLiteral("Редактор"));
    m_questionEditorAction->setText(QStringLiteral("Выйти из редактора"));
}

void MainWindow::toggleExamMode() {
    if (m_appMode == 2) {
        // Finishes a running exam first, then hides the registration area.
        m_exam->leaveMode();
        setAppMode(0);
        showMainMenus();
        m_settingsMenu->menuAction()->setVisible(true);
        m_resultsAction->setVisible(true);
        m_examAction->setText(QStringLiteral("Экзамен"));
        return;
    }
    setAppMode(2);
    m_exam->enterMode();
    m_databaseMenu->menuAction()->setVisible(false);
    m_aboutAction->setVisible(false);
    m_helpAction->setVisible(false);
    m_settingsMenu->menuAction()->setVisible(false);
    m_resultsAction->setVisible(false);
    m_examAction->setText(QStringLiteral("Выход"));
}

void MainWindow::resultAcknowledged() {
    setAppMode(0);
    showMainMenus();
    m_settingsMenu->menuAction()->setVisible(true);
    m_resultsAction->setVisible(true);
    m_examAction->setText(QStringLiteral("Экзамен"));
}

void MainWindow::toggleProfileEditor() {
    if (m_appMode == 3) {
        setAppMode(0);
        showMainMenus();
        m_questionEditorAction->setVisible(true);
        m_settingsMenu->setTitle(QStringLiteral("Настройки"));
        m_profilesAction->setText(QStringLiteral("Параметры"));
        m_frame3->hide();
        return;
    }
    setAppMode(3);
    m_frame3->show();
    m_frame3->enterMode();
    m_databaseMenu->menuAction()->setVisible(false);
    m_examMenu->menuAction()->setVisible(false);
    m_aboutAction->setVisible(false);
    m_helpAction->setVisible(false);
    m_questionEditorAction->setVisible(false);
    m_settingsMenu->setTitle(QStringLiteral("Настройка"));
    m_profilesAction->setText(QStringLiteral("Выйти из настройки"));
}

void MainWindow::toggleArchiveViewer() {
    if (m_appMode == 4) {
        setAppMode(0);
        showMainMenus();
        m_settingsMenu->menuAction()->setVisible(true);
        m_examAction->setVisible(true);
        m_resultsAction->setText(QStringLiteral("Результаты"));
        m_frame6->hide();
        return;
    }
    setAppMode(4);
    m_frame6->show();
    m_databaseMenu->menuAction()->setVisible(false);
    m_aboutAction->setVisible(false);
    m_helpAction->setVisible(false);
    m_settingsMenu->menuAction()->setVisible(false);
    m_examAction->setVisible(false);
    m_resultsAction->setText(QStringLiteral("Выход"));
    m_frame6->enterMode();
}

void MainWindow::createDatabase() {
    m_frame5->raise();
    m_frame5->open(FileArea::Action::Create);
}

void MainWindow::loadDatabase() {
    m_frame5->raise();
    m_frame5->open(FileArea::Action::Load);
}

void MainWindow::saveDatabaseAs() {
    m_frame5->raise();
    m_frame5->open(FileArea::Action::Save);
}

void MainWindow::exitProgram() {
    close();
}

void MainWindow::showHelp() {
    showMessage(this, helpText());
}

void MainWindow::toggleAbout() {
    m_frame7->toggle();
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

bool MainWindow::keepUnwrittenRecords() {
    for (;;) {
        const DayFileResult written = m_core.writeUnwrittenRecords();
        if (written.ok)
            return true;
        const QString text =
            QStringLiteral("Результаты экзаменов за сегодня не удалось записать в файл\n%1\n\n%2\n\n"
                           "Если выйти без сохранения, они будут потеряны.")
                .arg(QDir::toNativeSeparators(m_core.dayArchive().dayFilePath()), written.error);
        const int choice =
            askChoice(this, text,
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
        const QString path = askSaveFileName(this, QStringLiteral("Сохранить результаты экзаменов"),
                                             QDir(folder).filePath(m_core.dayArchive().dayFileName));
        if (path.isEmpty())
            continue;
        const DayFileResult saved = m_core.saveRegisterTo(path);
        if (saved.ok)
            return true;
        showMessage(this, saved.error);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // An exam still running when the window goes is finished and stored first.
    m_exam->finishRunningExam();
    if (!m_sessionEnded && !keepUnwrittenRecords()) {
        event->ignore();
        return;
    }
    event->accept();
    // The program ends with its main window, whatever other window is still open.
    QCoreApplication::quit();
}

} // namespace zet::ui
