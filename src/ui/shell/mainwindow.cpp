#include "ui/shell/mainwindow.h"

#include "app/startup.h"
#include "archive/monthnames.h"
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

#include <exception>

namespace zet::ui {

namespace {

// The surface holds the work areas (405, 0, 14475 x 10065) and the strip below them.
constexpr int kSurfaceWidth = 15000;
constexpr int kSurfaceHeight = 11130;

// One start-up step: whatever goes wrong inside it is skipped and start-up goes on.
template <class F> void step(F&& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

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
    connect(m_exam, &ExamMode::resultAcknowledged, this, &MainWindow::resultAcknowledged);
}

void MainWindow::load() {
    Database& db = m_core.db;
    const QDate today = m_core.today();

    // 1. Icon.
    setWindowIcon(programIcon());
    // 2, 3. Today's month in the genitive and the dated caption.
    m_core.archive.monthGenitive = setMonthGenitive(today);
    setWindowTitle(datedCaption(today, m_core.archive.monthGenitive));
    // 4.
    db.databaseHeader[1] = kVersionMarker;

    // 5. From here on a step that fails is skipped.
    // 6, 7. Program folder and the default database path.
    step([&] {
        db.programFolder = m_options.programFolder.isEmpty() ? defaultProgramFolder()
                                                             : withTrailingSeparator(m_options.programFolder);
    });
    step([&] { db.databasePath = defaultDatabasePath(db.programFolder); });
    // 8. The last database; an unreadable settings file leaves the default path.
    step([&] {
        const QString fallback = db.databasePath;
        if (!db.loadSettings().ok)
            db.databasePath = fallback;
    });
    // 9. First start: the database a read-only program folder holds, or the default one.
    bool noDefaultDatabase = false;
    step([&] {
        if (!db.databasePath.isEmpty())
            return;
        if (m_options.programFolder.isEmpty()) {
            const QString note = adoptProgramFolderDatabase(db, QCoreApplication::applicationDirPath());
            if (!note.isEmpty()) {
                showMessage(this, note);
                return;
            }
        }
        const FirstStartResult first = prepareFirstStartDatabase(db, today);
        if (first.outcome == FirstStartResult::Failed) {
            noDefaultDatabase = true;
            showMessage(this, QStringLiteral("Не удалось создать базу данных по умолчанию\n%1\n\n%2")
                                  .arg(QDir::toNativeSeparators(db.databasePath), first.error));
        }
        showDatabaseInfo();
    });
    // 10, 11.
    step([&] { m_frame3->startupReset(); });
    step([&] {
        m_core.exam.currentProfile = 1;
        m_core.exam.questionNo = 1;
    });
    // 12. Read the database back; a rejected file is reported once.
    step([&] {
        // A default database that could not be written has been reported already.
        if (!db.loadDatabase().ok() && !noDefaultDatabase)
            showMessage(this, QStringLiteral("Неправильная версия файла!"));
    });
    // 13. The number lists are the areas' own; profile 1 is shown in the profile editor.
    step([&] { m_frame3->profilePicked(); });
    // 14. Today's archive folders and day file.
    step([&] {
        reportDayFileRepair(m_core.archive.prepare(db.programFolder, today, m_core.exam.dayRegister));
    });
    // 15, 16. Registration area and the first free slot of the day.
    step([&] { m_exam->showExaminee(1); });
    step([&] { m_core.exam.findFreeSlot(); });
    // 17. Question orders of all themes.
    step([&] { m_core.selection.shuffleAllThemes(); });
    // 18.
    step([&] { showDatabaseInfo(); });

    setAppMode(0);
}

void MainWindow::reportDayFileRepair(const DayFilePreparation& prepared) {
    const QString day = QDir::toNativeSeparators(m_core.archive.dayFilePath());
    QString text;
    if (!prepared.recoveredFrom.isEmpty()) {
        text = QStringLiteral("Результаты, записанные перед прошлым завершением программы, найдены во "
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
    if (text.isEmpty())
        return;
    // Shown over the main window once it is on screen.
    QTimer::singleShot(0, this, [this, text] { showMessage(this, text); });
}

void MainWindow::setAppMode(int16 mode) {
    // Records whose write failed are tried again at every change of mode.
    m_core.writeUnwrittenRecords();
    m_appMode = mode;
    m_title->setVisible(mode == 0);
}

void MainWindow::showDatabaseInfo() {
    const Database& db = m_core.db;
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
    m_core.saveBeforeExit(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
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
                .arg(QDir::toNativeSeparators(m_core.archive.dayFilePath()), written.error);
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
                                             QDir(folder).filePath(m_core.archive.dayFileName));
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
