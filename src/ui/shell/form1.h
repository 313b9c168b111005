#pragma once
// Form1, the main window: the menu, the work areas laid over one surface, the mode switch
// and the strip that names the open database.

#include "app/module1.h"

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

struct Form1Options {
    // Folder for the database, the settings and the archive. Empty: the program's own
    // folder, or the per-user data folder when the program's folder is not writable.
    QString programFolder;
};

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs the start-up sequence; the window rests in the main mode.
    explicit Form1(Module1& core, QWidget* parent = nullptr);
    Form1(Module1& core, const Form1Options& options, QWidget* parent = nullptr);
    ~Form1() override;

    // 0 main, 1 question editor, 2 exam, 3 profile editor, 4 results archive.
    int16 AppMode() const { return m_appMode; }

    // Copies the test name, author, date and path of the open database into the strip.
    void ShowDatabaseInfo();

    // The widget the work areas are laid on.
    QWidget* Surface() const { return m_surface; }

    // Menu handlers (also reachable through the menu actions).
    void mnu_Redactor_Click();
    void mnu_Exam_Click();
    void mnu_Parametrs_Click();
    void mnu_Resum_Click();
    void mnu_New_Click();
    void mnu_Load_Click();
    void mnu_Save_Click();
    void mnu_Exit_Click();
    void mnu_Help_Click();
    void mnu_About_Click();

    // The session ends from outside (log-out, shutdown): a running exam is finished and every
    // record is written (into the per-user data folder when the day file cannot be), then the
    // program ends without asking.
    void EndSession();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildTitle();
    void BuildInfoStrip();
    void BuildAreas();
    void Load();
    void SetAppMode(int16 mode);
    void ShowMainMenus();
    void ResultAcknowledged();
    // Before the program closes: writes unwritten records again and, while that fails, asks
    // whether to try again, save them elsewhere or exit without them. False: stay open.
    bool KeepUnwrittenRecords();
    // Tells the examiner once what the start-up did with a damaged or half-saved day file.
    void ReportDayFileRepair(const DayFilePreparation& prepared);

    Module1& m_core;
    Form1Options m_options;
    int16 m_appMode = 0;
    bool m_exiting = false;
    bool m_sessionEnded = false;

    QWidget* m_surface = nullptr;
    QWidget* m_title = nullptr;

    QMenu* mnu_Menu = nullptr;
    QAction* mnu_New = nullptr;
    QAction* mnu_Load = nullptr;
    QAction* mnu_Save = nullptr;
    QAction* mnu_Exit = nullptr;
    QMenu* mnu_audit = nullptr;
    QAction* mnu_Resum = nullptr;
    QAction* mnu_Exam = nullptr;
    QMenu* mnu_Adjuctment = nullptr;
    QAction* mnu_Parametrs = nullptr;
    QAction* mnu_Redactor = nullptr;
    QAction* mnu_Help = nullptr;
    QAction* mnu_About = nullptr;

    QLabel* Label48 = nullptr;
    QLineEdit* Text34 = nullptr;
    std::array<QLabel*, 3> Label49{};
    std::array<QLabel*, 3> Label50{};
    QLabel* Label46 = nullptr; // the maker's web address

    QuestionEditor* Frame1 = nullptr;
    ExamMode* m_exam = nullptr; // Frame2 and Frame4
    ProfileEditor* Frame3 = nullptr;
    FileArea* Frame5 = nullptr;
    ArchiveViewer* Frame6 = nullptr;
    AboutArea* Frame7 = nullptr;
};

} // namespace zet::ui
