#pragma once
// MainWindow, the main window: the menu, the work areas laid over one surface, the mode switch
// and the strip that names the open database.

#include "app/appcore.h"

#include <QMainWindow>

#include <array>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;

namespace zet::ui {

class AboutArea;
class ArchiveViewer;
class ExamMode;
class FileArea;
class ProfileEditor;
class QuestionEditor;

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

    // 0 main, 1 question editor, 2 exam, 3 profile editor, 4 results archive.
    int16 appMode() const { return m_appMode; }

    // Copies the test name, author, date and path of the open database into the strip.
    void showDatabaseInfo();

    // Menu handlers (also reachable through the menu actions).
    void toggleQuestionEditor();
    void toggleExamMode();
    void toggleProfileEditor();
    void toggleArchiveViewer();
    void createDatabase();
    void loadDatabase();
    void saveDatabaseAs();
    void exitProgram();
    void showHelp();
    void toggleAbout();

    // The session ends from outside (log-out, shutdown): a running exam is finished and every
    // record is written (into the per-user data folder when the day file cannot be), then the
    // program ends without asking.
    void endSession();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildTitle();
    void buildInfoStrip();
    void buildAreas();
    void load();
    void setAppMode(int16 mode);
    void showMainMenus();
    void resultAcknowledged();
    // Before the program closes: writes unwritten records again and, while that fails, asks
    // whether to try again, save them elsewhere or exit without them. False: stay open.
    bool keepUnwrittenRecords();
    // Tells the examiner once what the start-up did with a damaged or half-saved day file.

    AppCore& m_core;
    MainWindowOptions m_options;
    int16 m_appMode = 0;
    bool m_exiting = false;
    bool m_sessionEnded = false;

    QWidget* m_surface = nullptr;
    QWidget* m_title = nullptr;

    QMenu* m_databaseMenu = nullptr;
    QAction* m_createAction = nullptr;
    QAction* m_loadAction = nullptr;
    QAction* m_saveAsAction = nullptr;
    QAction* m_exitAction = nullptr;
    QMenu* m_examMenu = nullptr;
    QAction* m_resultsAction = nullptr;
    QAction* m_examAction = nullptr;
    QMenu* m_settingsMenu = nullptr;
    QAction* m_profilesAction = nullptr;
    QAction* m_questionEditorAction = nullptr;
    QAction* m_helpAction = nullptr;
    QAction* m_aboutAction = nullptr;

    QLabel* m_label48 = nullptr;
    QLineEdit* m_text34 = nullptr;
    std::array<QLabel*, 3> m_label49{};
    std::array<QLabel*, 3> m_label50{};
    QLabel* m_label46 = nullptr; // the maker's web address

    QuestionEditor* m_frame1 = nullptr;
    ExamMode* m_exam = nullptr; // Frame2 and Frame4
    ProfileEditor* m_frame3 = nullptr;
    FileArea* m_frame5 = nullptr;
    ArchiveViewer* m_frame6 = nullptr;
    AboutArea* m_frame7 = nullptr;
};

} // namespace zet::ui
