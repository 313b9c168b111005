#include "ui/shell/form1.h"

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
#include <QStandardPaths>
#include <QTimer>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include <exception>

namespace zet::ui {

namespace {

// The surface holds the work areas (405, 0, 14475 x 10065) and the strip below them.
constexpr int kSurfaceWidth = 15000;
constexpr int kSurfaceHeight = 11130;

// One start-up step: whatever goes wrong inside it is skipped and start-up goes on.
template <class F> void Step(F&& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, int left, int top, int width,
                  int height) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(SansFont(9.75));
    PlaceTwips(label, left, top, width, height);
    return label;
}

} // namespace

Form1::Form1(Module1& core, QWidget* parent) : Form1(core, Form1Options{}, parent) {}

Form1::Form1(Module1& core, const Form1Options& options, QWidget* parent)
    : QMainWindow(parent), m_core(core), m_options(options) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Razividerur"));

    m_surface = new QWidget(this);
    m_surface->setObjectName(QStringLiteral("Surface"));
    m_surface->setMinimumSize(Twips(kSurfaceWidth), Twips(kSurfaceHeight));
    setCentralWidget(m_surface);

    BuildMenus();
    BuildTitle();
    BuildInfoStrip();
    BuildAreas();
    Load();
}

Form1::~Form1() = default;

void Form1::BuildMenus() {
    QMenuBar* bar = menuBar();
    auto item = [this](QMenu* menu, const char* name, const QString& caption, void (Form1::*handler)()) {
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

    mnu_Menu = menu("mnu_Menu", QStringLiteral("Меню           "));
    mnu_New = item(mnu_Menu, "mnu_New", QStringLiteral("Создать новый"), &Form1::mnu_New_Click);
    mnu_Load = item(mnu_Menu, "mnu_Load", QStringLiteral("Загрузить"), &Form1::mnu_Load_Click);
    mnu_Save = item(mnu_Menu, "mnu_Save", QStringLiteral("Сохранить"), &Form1::mnu_Save_Click);
    mnu_Exit = item(mnu_Menu, "mnu_Exit", QStringLiteral("Выход из программы"), &Form1::mnu_Exit_Click);

    mnu_audit = menu("mnu_audit", QStringLiteral("Проверка       "));
    mnu_Resum = item(mnu_audit, "mnu_Resum", QStringLiteral("Результаты"), &Form1::mnu_Resum_Click);
    mnu_Exam = item(mnu_audit, "mnu_Exam", QStringLiteral("Экзамен"), &Form1::mnu_Exam_Click);

    mnu_Adjuctment = menu("mnu_Adjuctment", QStringLiteral("Настройка      "));
    mnu_Parametrs =
        item(mnu_Adjuctment, "mnu_Parametrs", QStringLiteral("Профили"), &Form1::mnu_Parametrs_Click);
    mnu_Redactor =
        item(mnu_Adjuctment, "mnu_Redactor", QStringLiteral("Редактор"), &Form1::mnu_Redactor_Click);

    // These two act on a click of their own: plain actions in the bar.
    mnu_Help = bar->addAction(QStringLiteral("Базы тестов       "));
    mnu_Help->setObjectName(QStringLiteral("mnu_Help"));
    connect(mnu_Help, &QAction::triggered, this, &Form1::mnu_Help_Click);
    mnu_About = bar->addAction(QStringLiteral("О программе    "));
    mnu_About->setObjectName(QStringLiteral("mnu_About"));
    connect(mnu_About, &QAction::triggered, this, &Form1::mnu_About_Click);
}

void Form1::BuildTitle() {
    // What the main mode shows where the work areas open.
    m_title = new QWidget(m_surface);
    m_title->setObjectName(QStringLiteral("TitleBlock"));
    PlaceTwips(m_title, 405, 0, 14475, 10065);
    auto* picture = new QLabel(m_title);
    picture->setPixmap(ProgramPicture());
    picture->setScaledContents(true);
    PlaceTwips(picture, 6518, 2400, 1440, 1440);
    auto* product = new QLabel(QStringLiteral("Zetrova v.1.0"), m_title);
    product->setFont(TimesFont(28));
    product->setAlignment(Qt::AlignCenter);
    PlaceTwips(product, 0, 4080, 14475, 900);
    auto* purpose = new QLabel(QStringLiteral("Программа для проверки знаний"), m_title);
    purpose->setFont(TimesFont(18));
    purpose->setAlignment(Qt::AlignCenter);
    PlaceTwips(purpose, 0, 5040, 14475, 600);
}

void Form1::BuildInfoStrip() {
    constexpr int row1 = 10230;
    constexpr int row2 = 10680;

    auto* rule = new QFrame(m_surface);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    PlaceTwips(rule, 405, 10110, 14475, 45);

    Label48 = MakeLabel(m_surface, QStringLiteral("Label48"), QStringLiteral("Название теста:"), 405,
                        row1 + 30, 1500, 285);
    Text34 = new QLineEdit(m_surface);
    Text34->setObjectName(QStringLiteral("Text34"));
    Text34->setAccessibleName(QStringLiteral("Название теста"));
    Text34->setReadOnly(true);
    // A display box: it takes focus on a click only, so the work areas get the keyboard.
    Text34->setFocusPolicy(Qt::ClickFocus);
    Text34->setFont(SansFont(9.75));
    PlaceTwips(Text34, 1950, row1, 5700, 345);
    Label48->setBuddy(Text34);

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
        Label49[k] = MakeLabel(m_surface, QStringLiteral("Label49_%1").arg(k), captions[k], c.left, c.top,
                               c.width, 285);
        Label50[k] = MakeLabel(m_surface, QStringLiteral("Label50_%1").arg(k), QString(), c.valueLeft, c.top,
                               c.valueWidth, 285);
        Label50[k]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }

    Label46 = MakeLabel(m_surface, QStringLiteral("Label46"), MakerWebAddress(), 10950, row2, 3915, 285);
    Label46->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void Form1::BuildAreas() {
    // Created in stacking order: the mode areas first, the file and About areas over them.
    Frame1 = new QuestionEditor(m_core, m_surface);
    Frame3 = new ProfileEditor(m_core, m_surface);
    m_exam = new ExamMode(m_core, m_surface);
    Frame6 = new ArchiveViewer(m_core, m_surface);
    Frame5 = new FileArea(m_core, m_surface);
    Frame7 = new AboutArea(m_surface);

    connect(Frame5, &FileArea::databaseChanged, this, &Form1::ShowDatabaseInfo);
    connect(m_exam, &ExamMode::resultAcknowledged, this, &Form1::ResultAcknowledged);
}

void Form1::Load() {
    Database& db = m_core.db;
    const QDate today = m_core.Today();

    // 1. Icon.
    setWindowIcon(ProgramIcon());
    // 2, 3. Today's month in the genitive and the dated caption.
    m_core.archive.MonthGenitive = SetMonthGenitive(today);
    setWindowTitle(DatedCaption(today, m_core.archive.MonthGenitive));
    // 4.
    db.DatabaseHeader[1] = kVersionMarker;

    // 5. From here on a step that fails is skipped.
    // 6, 7. Program folder and the default database path.
    Step([&] {
        db.ProgramFolder = m_options.programFolder.isEmpty() ? DefaultProgramFolder()
                                                             : WithTrailingSeparator(m_options.programFolder);
    });
    Step([&] { db.DatabasePath = DefaultDatabasePath(db.ProgramFolder); });
    // 8. The last database; an unreadable settings file leaves the default path.
    Step([&] {
        const QString fallback = db.DatabasePath;
        if (!db.LoadSettings().ok)
            db.DatabasePath = fallback;
    });
    // 9. First start: the database a read-only program folder holds, or the default one.
    bool noDefaultDatabase = false;
    Step([&] {
        if (!db.DatabasePath.isEmpty())
            return;
        if (m_options.programFolder.isEmpty()) {
            const QString note = AdoptProgramFolderDatabase(db, QCoreApplication::applicationDirPath());
            if (!note.isEmpty()) {
                ShowMessage(this, note);
                return;
            }
        }
        const FirstStartResult first = PrepareFirstStartDatabase(db, today);
        if (first.outcome == FirstStartResult::Failed) {
            noDefaultDatabase = true;
            ShowMessage(this, QStringLiteral("Не удалось создать базу данных по умолчанию\n%1\n\n%2")
                                  .arg(QDir::toNativeSeparators(db.DatabasePath), first.error));
        }
        ShowDatabaseInfo();
    });
    // 10, 11.
    Step([&] { Frame3->StartupReset(); });
    Step([&] {
        m_core.exam.CurrentProfile = 1;
        m_core.exam.QuestionNo = 1;
    });
    // 12. Read the database back; a rejected file is reported once.
    Step([&] {
        // A default database that could not be written has been reported already.
        if (!db.LoadDatabase().ok() && !noDefaultDatabase)
            ShowMessage(this, QStringLiteral("Неправильная версия файла!"));
    });
    // 13. The number lists are the areas' own; profile 1 is shown in the profile editor.
    Step([&] { Frame3->List4_Click(); });
    // 14. Today's archive folders and day file.
    Step([&] { ReportDayFileRepair(m_core.archive.Prepare(db.ProgramFolder, today, m_core.exam.DayRegister)); });
    // 15, 16. Registration area and the first free slot of the day.
    Step([&] { m_exam->ShowExaminee(1); });
    Step([&] { m_core.exam.FindFreeSlot(); });
    // 17. Question orders of all themes.
    Step([&] { m_core.selection.ShuffleAllThemes(); });
    // 18.
    Step([&] { ShowDatabaseInfo(); });

    SetAppMode(0);
}

void Form1::ReportDayFileRepair(const DayFilePreparation& prepared) {
    const QString day = QDir::toNativeSeparators(m_core.archive.DayFilePath());
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
    QTimer::singleShot(0, this, [this, text] { ShowMessage(this, text); });
}

void Form1::SetAppMode(int16 mode) {
    // Records whose write failed are tried again at every change of mode.
    m_core.WriteUnwrittenRecords();
    m_appMode = mode;
    m_title->setVisible(mode == 0);
}

void Form1::ShowDatabaseInfo() {
    const Database& db = m_core.db;
    Text34->setText(db.DatabaseHeader[2]);
    Text34->setCursorPosition(0);
    Label50[0]->setText(db.DatabaseHeader[3]);
    Label50[1]->setText(db.DatabaseHeader[4]);
    Label50[2]->setText(db.DatabasePath);
}

void Form1::ShowMainMenus() {
    mnu_Menu->menuAction()->setVisible(true);
    mnu_audit->menuAction()->setVisible(true);
    mnu_About->setVisible(true);
    mnu_Help->setVisible(true);
}

void Form1::mnu_Redactor_Click() {
    if (m_appMode == 1) {
        SetAppMode(0);
        ShowMainMenus();
        mnu_Parametrs->setVisible(true);
        mnu_Adjuctment->setTitle(QStringLiteral("Настройки"));
        mnu_Redactor->setText(QStringLiteral("Редактор"));
        Frame1->hide();
        return;
    }
    SetAppMode(1);
    Frame1->show();
    Frame1->EnterMode();
    mnu_Menu->menuAction()->setVisible(false);
    mnu_audit->menuAction()->setVisible(false);
    mnu_About->setVisible(false);
    mnu_Help->setVisible(false);
    mnu_Parametrs->setVisible(false);
    mnu_Adjuctment->setTitle(QStringLiteral("Редактор"));
    mnu_Redactor->setText(QStringLiteral("Выйти из редактора"));
}

void Form1::mnu_Exam_Click() {
    if (m_appMode == 2) {
        // Finishes a running exam first, then hides the registration area.
        m_exam->LeaveMode();
        SetAppMode(0);
        ShowMainMenus();
        mnu_Adjuctment->menuAction()->setVisible(true);
        mnu_Resum->setVisible(true);
        mnu_Exam->setText(QStringLiteral("Экзамен"));
        return;
    }
    SetAppMode(2);
    m_exam->EnterMode();
    mnu_Menu->menuAction()->setVisible(false);
    mnu_About->setVisible(false);
    mnu_Help->setVisible(false);
    mnu_Adjuctment->menuAction()->setVisible(false);
    mnu_Resum->setVisible(false);
    mnu_Exam->setText(QStringLiteral("Выход"));
}

void Form1::ResultAcknowledged() {
    SetAppMode(0);
    ShowMainMenus();
    mnu_Adjuctment->menuAction()->setVisible(true);
    mnu_Resum->setVisible(true);
    mnu_Exam->setText(QStringLiteral("Экзамен"));
}

void Form1::mnu_Parametrs_Click() {
    if (m_appMode == 3) {
        SetAppMode(0);
        ShowMainMenus();
        mnu_Redactor->setVisible(true);
        mnu_Adjuctment->setTitle(QStringLiteral("Настройки"));
        mnu_Parametrs->setText(QStringLiteral("Параметры"));
        Frame3->hide();
        return;
    }
    SetAppMode(3);
    Frame3->show();
    Frame3->EnterMode();
    mnu_Menu->menuAction()->setVisible(false);
    mnu_audit->menuAction()->setVisible(false);
    mnu_About->setVisible(false);
    mnu_Help->setVisible(false);
    mnu_Redactor->setVisible(false);
    mnu_Adjuctment->setTitle(QStringLiteral("Настройка"));
    mnu_Parametrs->setText(QStringLiteral("Выйти из настройки"));
}

void Form1::mnu_Resum_Click() {
    if (m_appMode == 4) {
        SetAppMode(0);
        ShowMainMenus();
        mnu_Adjuctment->menuAction()->setVisible(true);
        mnu_Exam->setVisible(true);
        mnu_Resum->setText(QStringLiteral("Результаты"));
        Frame6->hide();
        return;
    }
    SetAppMode(4);
    Frame6->show();
    mnu_Menu->menuAction()->setVisible(false);
    mnu_About->setVisible(false);
    mnu_Help->setVisible(false);
    mnu_Adjuctment->menuAction()->setVisible(false);
    mnu_Exam->setVisible(false);
    mnu_Resum->setText(QStringLiteral("Выход"));
    Frame6->EnterMode();
}

void Form1::mnu_New_Click() {
    Frame5->raise();
    Frame5->Open(FileArea::Action::Create);
}

void Form1::mnu_Load_Click() {
    Frame5->raise();
    Frame5->Open(FileArea::Action::Load);
}

void Form1::mnu_Save_Click() {
    Frame5->raise();
    Frame5->Open(FileArea::Action::Save);
}

void Form1::mnu_Exit_Click() {
    close();
}

void Form1::mnu_Help_Click() {
    ShowMessage(this, HelpText());
}

void Form1::mnu_About_Click() {
    Frame7->Toggle();
}

void Form1::EndSession() {
    if (m_sessionEnded)
        return;
    m_sessionEnded = true;
    m_core.SaveBeforeExit(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QCoreApplication::quit();
}

bool Form1::KeepUnwrittenRecords() {
    for (;;) {
        const DayFileResult written = m_core.WriteUnwrittenRecords();
        if (written.ok)
            return true;
        const QString text =
            QStringLiteral("Результаты экзаменов за сегодня не удалось записать в файл\n%1\n\n%2\n\n"
                           "Если выйти без сохранения, они будут потеряны.")
                .arg(QDir::toNativeSeparators(m_core.archive.DayFilePath()), written.error);
        const int choice = AskChoice(this, text,
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
        const QString path = AskSaveFileName(this, QStringLiteral("Сохранить результаты экзаменов"),
                                             QDir(folder).filePath(m_core.archive.DayFileName));
        if (path.isEmpty())
            continue;
        const DayFileResult saved = m_core.SaveRegisterTo(path);
        if (saved.ok)
            return true;
        ShowMessage(this, saved.error);
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    // An exam still running when the window goes is finished and stored first.
    m_exam->FinishRunningExam();
    if (!m_sessionEnded && !KeepUnwrittenRecords()) {
        event->ignore();
        return;
    }
    event->accept();
    // The program ends with its main window, whatever other window is still open.
    QCoreApplication::quit();
}

} // namespace zet::ui
