#pragma once
// The main window: the menu, the work areas laid over one surface, the mode switch
// and the strip that names the open database.

#include "app/appcore.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;

namespace zet::ui {

class AboutArea;
class ArchiveViewer;
class ExaminerWatch;
class ExamMode;
class ExamScreen;
class FileArea;
class ProfileEditor;
class QuestionEditor;
class ScaledSurface;

struct MainWindowOptions {
    // Folder for the database, the settings and the archive. Empty: the program's own
    // folder, or the per-user data folder when the program's folder is not writable.
    QString programFolder;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs the start-up sequence; the window rests in the main mode.
    explicit MainWindow(AppCore& core, QWidget* parent = nullptr);
    MainWindow(AppCore& core, const MainWindowOptions& options, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The program's modes; each but the main one is entered and left by one menu entry.
    enum class Mode : int16 { Main, QuestionEditor, Exam, ProfileEditor, Archive };
    static constexpr int16 modeIndex(Mode mode) { return static_cast<int16>(mode); }

    // 0 main, 1 question editor, 2 exam, 3 profile editor, 4 results archive.
    int16 appMode() const { return m_appMode; }

    // Copies the test name, author, date and path of the open database into the strip.
    void showDatabaseInfo();

    // Menu handlers (also reachable through the menu actions).
    void toggleQuestionEditor();
    void toggleExamMode();
    void toggleProfileEditor();
    void toggleArchiveViewer();
    // «Журнал результатов»: the journal window of the program folder (one at a time).
    void openJournal();
    // Opens question of theme in the question editor (entering the editor's mode).
    void openQuestion(int theme, int question);
    void createDatabase();
    void loadDatabase();
    void saveDatabaseAs();
    // Questions of learning systems' files into the open database, and out of it.
    void importQuestions();
    void exportQuestions();
    void exitProgram();
    // «Пароль экзаменатора…»: sets, changes or removes the examiner's password.
    void changeExaminerPassword();
    void showHelp();
    void toggleAbout();

    // The exam mode's areas, built on first use like every work area the main mode does not show.
    ExamMode& examMode();

    // The session ends from outside (log-out, shutdown): a running exam is finished and every
    // record is written (into the per-user data folder when the day file cannot be), then the
    // program ends without asking.
    void endSession();

protected:
    void closeEvent(QCloseEvent* event) override;
    // The first frame, once painted, starts what start-up left for later (finishStartUpWhenDue).
    bool event(QEvent* event) override;

private:
    void buildMenus();
    void buildTitle();
    void buildInfoStrip();
    void buildAreas();
    // The other work areas, each built the first time it is needed.
    QuestionEditor& questionEditor();
    ProfileEditor& profileEditor();
    ArchiveViewer& archiveViewer();
    FileArea& fileArea();
    AboutArea& aboutArea();
    // A newly built area takes the surface's present scale; a mode area built while the file or
    // About area is open stays beneath it.
    void settleNewArea();
    // Opens as large as the screen allows, in the designed proportions.
    void fitToScreen();
    void load();
    // Writes a first start's default database and starts the journal, which start-up left for
    // after the first frame, telling what they found.
    void finishStartUpWhenDue();
    void buildModeTable();
    void setAppMode(int16 mode);
    // Enters mode from the main mode, or leaves it when it is on.
    void toggleMode(Mode mode);
    // The menus and captions of the main mode after leaving mode from.
    void returnToMainMode(Mode from);
    void resultAcknowledged();
    // Whether a guarded action may go on: asks for the examiner's password when one is set
    // and not trusted at the moment.
    bool examinerAllows();
    // Before the program closes: writes unwritten records again and, while that fails, asks
    // whether to try again, save them elsewhere or exit without them. False: stay open.
    // The same then for journal exams kept in memory (see AppCore::writeUnwrittenJournalExams).
    bool keepUnwrittenRecords();
    // What is written again before the program closes, and how to ask about it.
    struct KeepingAsk {
        std::function<QString()> write;                    // the reason it failed; empty when written
        std::function<QString(const QString&)> saveTo;     // the same, for a file chosen elsewhere
        std::function<QString(const QString&)> question;   // the question for a reason
        QString saveCaption;
        QString fileName;
    };
    // While write fails, asks whether to try again, save elsewhere or go on without. False: stay open.
    bool keepUntilSaved(const KeepingAsk& ask);
    // The journal server's state in the journal window's status line, when that is open.
    void showJournalServerState();

    AppCore& m_core;
    MainWindowOptions m_options;
    int16 m_appMode = 0;
    bool m_exiting = false;
    bool m_sessionEnded = false;

    // What a mode does to the menu bar and its work area: the entries it hides (shown again
    // on leaving, with the main mode's own menus), the caption of the entry that switches it
    // inside the mode and after it, the settings menu's title inside and after the mode
    // (empty: left as it is), and how its area is opened and closed.
    struct ModeLook {
        std::vector<QAction*> hidden;
        QAction* switchAction = nullptr;
        QString switchCaptionInside;
        QString switchCaptionAfter;
        QString settingsTitleInside;
        QString settingsTitleAfter;
        std::function<void()> enter;
        std::function<void()> leave;
    };
    // Indexed by Mode; the main mode's row is empty.
    std::array<ModeLook, 5> m_modes{};

    // The surface of the work areas and the strip, laid out in twips and scaled to the window.
    ScaledSurface* m_surfaceFrame = nullptr;
    QWidget* m_surface = nullptr; // its canvas: the parent of the areas

    QWidget* m_title = nullptr;

    QMenu* m_databaseMenu = nullptr;
    QAction* m_createAction = nullptr;
    QAction* m_loadAction = nullptr;
    QAction* m_saveAsAction = nullptr;
    QAction* m_exitAction = nullptr;
    QMenu* m_examMenu = nullptr;
    QAction* m_resultsAction = nullptr;
    QAction* m_examAction = nullptr;
    QAction* m_journalAction = nullptr;
    QAction* m_archiveImportAction = nullptr;
    QMenu* m_settingsMenu = nullptr;
    QAction* m_profilesAction = nullptr;
    QAction* m_questionEditorAction = nullptr;
    QAction* m_examinerPasswordAction = nullptr;
    QAction* m_helpAction = nullptr;
    QAction* m_aboutAction = nullptr;
    ExamScreen* m_examScreen = nullptr; // «Экзамен во весь экран»

    // The strip below the work areas.
    QLabel* m_testNameCaption = nullptr;
    QLineEdit* m_testNameBox = nullptr;
    QLabel* m_authorLabel = nullptr;
    QLabel* m_dateLabel = nullptr;
    QLabel* m_filePathLabel = nullptr;
    QLabel* m_makerAddressLabel = nullptr;

    // Null until first used.
    QuestionEditor* m_questionEditor = nullptr;
    ExamMode* m_examMode = nullptr; // the registration and exam areas
    ProfileEditor* m_profileEditor = nullptr;
    FileArea* m_fileArea = nullptr;
    ArchiveViewer* m_archiveViewer = nullptr;
    AboutArea* m_aboutArea = nullptr;
    QPointer<QWidget> m_journalWindow; // made by the paperwork's library
    QTimer* m_startUpWork = nullptr; // finishStartUpWhenDue once the window is idle
    // Holds back input into a guarded area once the examiner's password is no longer trusted.
    ExaminerWatch* m_examinerWatch = nullptr;
};

} // namespace zet::ui
