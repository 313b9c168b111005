// The main window: start-up in a program folder of its own, the database strip, the menu
// and its modes, About and help.

#include "app/appcore.h"
#include "journal/journal.h"
#include "coreaccess.h"
#include "archive/dayfile.h"
#include "model/savefile.h"
#include "paperwork/paperworkmodule.h"
#include "ui/exam/exammode.h"
#include "ui/files/filearea.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/messages.h"
#include "ui/shell/uikit.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace zet;
using namespace zet::ui;

namespace {

const QDate kToday(2010, 12, 3);

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The visible top-level items, each followed by its visible children in brackets.
QStringList menuBarState(QMainWindow& w) {
    QStringList out;
    for (QAction* top : w.menuBar()->actions()) {
        if (!top->isVisible())
            continue;
        QString item = top->text();
        if (QMenu* menu = top->menu()) {
            QStringList children;
            for (QAction* child : menu->actions()) {
                if (child->isVisible())
                    children << child->text();
            }
            item += QLatin1Char('[') + children.join(QLatin1Char('|')) + QLatin1Char(']');
        }
        out << item;
    }
    return out;
}

const QStringList kMainMenus = {
    QStringLiteral("Меню           [Создать новый|Загрузить|Сохранить|Импорт вопросов…|Экспорт вопросов…|Выход из программы]"),
    QStringLiteral("Проверка       [Результаты|Экзамен|Журнал результатов|Перенести архив в журнал…]"),
    QStringLiteral("Настройка      [Профили|Редактор|Экзамен во весь экран|Пароль экзаменатора…]"),
    QStringLiteral("Базы тестов       "),
    QStringLiteral("О программе    "),
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void firstStart();
    void serverTroubleWhileTheJournalIsOpen();
    void journalStartsAfterTheFirstFrame();
    void settingsNameMissingDatabase();
    void firstStartOnFullDisk();
    void existingDatabaseWithoutSettingsIsKept();
    void secondStartReadsTheLastDatabase();
    void caption_data();
    void caption();
    void modes_data();
    void modes();
    void profileEditorTwice();
    void questionEditorThenProfileEditor();
    void resultWindowEndsExamMode();
    void fileAreaRefreshesStrip();
    void modeAreaBuiltUnderOpenFileArea();
    void aboutByTwoClicks();
    void aboutClosedByClicks_data();
    void aboutClosedByClicks();
    void helpMessage();
    void exitClosesWindow();
    void accessibleNames();
    void fontsAreInstalledFamilies_data();
    void fontsAreInstalledFamilies();

private:
    // Starts the window in the temporary folder with the given date.
    MainWindow& start(const QDate& today = kToday);
    template <class T> T* find(const QString& name) {
        T* w = m_window->findChild<T*>(name);
        [&] { QVERIFY2(w, qPrintable(name)); }();
        return w;
    }
    QAction* action(const QString& name) { return find<QAction>(name); }
    QString dataPath() const { return m_dir->filePath(QStringLiteral("Data.zet")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppCore> m_core;
    std::unique_ptr<MainWindow> m_window;
    QStringList m_messages;
};

void TestMainWindow::init() {
    // The paperwork linked into the test in place of its library.
    usePaperwork(&paperworkModule());
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages.clear();
    hooks().message = [this](const QString& text) { m_messages << text; };
}

void TestMainWindow::cleanup() {
    m_window.reset();
    m_core.reset();
    m_dir.reset();
    hooks() = MessageHooks{};
}

MainWindow& TestMainWindow::start(const QDate& today) {
    m_window.reset();
    m_core = std::make_unique<AppCore>(std::make_unique<SeededRandom>(7), [today] { return today; });
    m_window = std::make_unique<MainWindow>(*m_core, MainWindowOptions{m_dir->path()});
    // The designed size, whatever the test screen's size.
    m_window->resize(m_window->sizeHint());
    return *m_window;
}

void TestMainWindow::firstStart() {
    // The new database is written after the first frame: a program that ends before it has
    // written nothing, and its next start is a first start again.
    start();
    const QString settingsPath = m_dir->filePath(QStringLiteral("zetr100.sys"));
    QVERIFY(!QFileInfo::exists(settingsPath) && !QFileInfo::exists(dataPath()));
    MainWindow& w = start();
    QVERIFY(m_messages.isEmpty());
    QVERIFY(!QFileInfo::exists(settingsPath) && !QFileInfo::exists(dataPath()));
    w.show();
    QTRY_VERIFY(QFileInfo(settingsPath).isFile());
    QVERIFY(QFileInfo(dataPath()).isFile());
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(coreDatabase(*m_core).programFolder, m_dir->path() + QStringLiteral("/"));

    QCOMPARE(find<QLineEdit>(QStringLiteral("testNameBox"))->text(), QStringLiteral("Новый тест"));
    QCOMPARE(find<QLabel>(QStringLiteral("authorLabel"))->text(), QStringLiteral("Неизвестный"));
    QCOMPARE(find<QLabel>(QStringLiteral("dateLabel"))->text(), QStringLiteral("12-03-2010"));
    QCOMPARE(find<QLabel>(QStringLiteral("filePathLabel"))->text(), dataPath());
    QCOMPARE(find<QLabel>(QStringLiteral("testNameCaption"))->text(), QStringLiteral("Название теста:"));
    QCOMPARE(find<QLabel>(QStringLiteral("authorCaption"))->text(), QStringLiteral("Автор:"));
    QCOMPARE(find<QLabel>(QStringLiteral("dateCaption"))->text(), QStringLiteral("Дата:"));
    QCOMPARE(find<QLabel>(QStringLiteral("fileCaption"))->text(), QStringLiteral("Фаил:"));

    // The file read back is the one written, and today's archive is ready.
    QCOMPARE(coreDatabase(*m_core).databaseHeader[1], QStringLiteral("zetr100"));
    QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("2010/Декабрь/03.12.2010.txt"))).isFile());
    QCOMPARE(coreArchive(*m_core).monthGenitive, QStringLiteral("Декабря"));
    // The results journal is made with its first exam.
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("journal.sqlite"))));
    QCOMPARE(coreExam(*m_core).currentExaminee, int16(1));
    QCOMPARE(coreExam(*m_core).currentProfile, int16(1));
    QCOMPARE(coreExam(*m_core).questionNo, int16(1));

    // Main mode: no work area built yet, every top-level item there.
    QCOMPARE(w.appMode(), int16(0));
    for (const char* areaName : {"QuestionEditor", "RegistrationArea", "ProfileEditor", "ExamArea",
                                 "FileArea", "ArchiveViewer", "AboutArea"})
        QVERIFY2(!w.findChild<QWidget*>(QString::fromLatin1(areaName)), areaName);
    QCOMPARE(menuBarState(w), kMainMenus);
}

// A journal server that does not answer while the journal window is open: its status line says
// so, with the exams still to be sent, and no modal message blocks the window.
void TestMainWindow::serverTroubleWhileTheJournalIsOpen() {
    QFile ini(m_dir->filePath(QStringLiteral("journal.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[journal]\ndriver=postgresql\nhost=127.0.0.1\nport=1\ndatabase=journal\nuser=examiner\n");
    ini.close();
    {
        // One exam waiting to be sent.
        Journal journal(m_dir->path());
        JournalEntry waiting = journal.newEntry();
        waiting.date = kToday;
        waiting.protocolNo = 1;
        QVERIFY(journal.record(waiting).ok);
    }
    MainWindow& w = start();
    w.openJournal();
    QTRY_VERIFY_WITH_TIMEOUT(!m_core->lastServerError().isEmpty(), 20000);
    auto* state = w.findChild<QLabel*>(QStringLiteral("serverState"));
    QVERIFY(state);
    QTRY_VERIFY(state->isVisibleTo(state->window()));
    QVERIFY2(state->text().contains(QStringLiteral("127.0.0.1:1")) &&
                 state->text().contains(QStringLiteral("Не отправлено на сервер: 1")),
             qPrintable(state->text()));
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
}

// The journal's catch-up waits for the first frame; what it finds is told once the window is up.
void TestMainWindow::journalStartsAfterTheFirstFrame() {
    QFile damaged(m_dir->filePath(QStringLiteral("journal.sqlite")));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(4096, 'x'));
    damaged.close();
    MainWindow& w = start();
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
    QVERIFY(!m_core->journal());

    w.show();
    QTRY_VERIFY(m_core->journal());
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].contains(QStringLiteral("журнал")), qPrintable(m_messages[0]));
}

void TestMainWindow::settingsNameMissingDatabase() {
    Database settings;
    settings.programFolder = m_dir->path() + QStringLiteral("/");
    settings.databasePath = m_dir->filePath(QStringLiteral("gone/Тесты.zet"));
    QVERIFY(settings.saveSettings().ok);

    start();
    QCOMPARE(m_messages, QStringList{QStringLiteral("Неправильная версия файла!")});
    QCOMPARE(find<QLineEdit>(QStringLiteral("testNameBox"))->text(), QString());
    QCOMPARE(find<QLabel>(QStringLiteral("authorLabel"))->text(), QString());
    QCOMPARE(find<QLabel>(QStringLiteral("dateLabel"))->text(), QString());
    QCOMPARE(find<QLabel>(QStringLiteral("filePathLabel"))->text(), settings.databasePath);
    // Start-up went on after the message.
    QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("2010/Декабрь/03.12.2010.txt"))).isFile());
    QVERIFY(!QFileInfo::exists(dataPath()));
    QCOMPARE(m_window->appMode(), int16(0));
}

// The default database cannot be written: the message says so and why, not that the
// file has a wrong version. Today's day file cannot be made either, and is told as well.
void TestMainWindow::firstStartOnFullDisk() {
    defaultWriterOverride() = [](QIODevice& device, const QByteArray&) {
        device.write("partial");
        return false;
    };
    // The new database is written, and its failure told, once the window is on screen.
    MainWindow& w = start();
    QVERIFY(m_messages.isEmpty());
    w.show();
    QTRY_COMPARE(m_messages.size(), 2);
    defaultWriterOverride() = {};
    const QString told = m_messages.join(QLatin1Char('\n'));
    QVERIFY2(told.contains(QStringLiteral("Не удалось создать базу данных по умолчанию")) &&
                 told.contains(QDir::toNativeSeparators(dataPath())),
             qPrintable(told));
    QVERIFY2(told.contains(QStringLiteral("Файл результатов за сегодня не подготовлен")), qPrintable(told));
    QVERIFY(!QFileInfo::exists(dataPath()));
}

void TestMainWindow::existingDatabaseWithoutSettingsIsKept() {
    Database mine;
    mine.databasePath = dataPath();
    mine.newDatabase();
    mine.databaseHeader[2] = QStringLiteral("Электробезопасность");
    mine.databaseHeader[3] = QStringLiteral("Петров");
    mine.databaseHeader[4] = QStringLiteral("01-02-2009");
    QVERIFY(mine.saveDatabase().ok());
    const QByteArray before = readAll(dataPath());

    start();
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(readAll(dataPath()), before);
    QCOMPARE(find<QLineEdit>(QStringLiteral("testNameBox"))->text(), QStringLiteral("Электробезопасность"));
    QCOMPARE(find<QLabel>(QStringLiteral("authorLabel"))->text(), QStringLiteral("Петров"));
    QCOMPARE(find<QLabel>(QStringLiteral("dateLabel"))->text(), QStringLiteral("01-02-2009"));
    QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("zetr100.sys"))).isFile());
}

void TestMainWindow::secondStartReadsTheLastDatabase() {
    // The settings name a database elsewhere in the folder; the next start opens it.
    Database other;
    other.programFolder = m_dir->path() + QStringLiteral("/");
    other.databasePath = m_dir->filePath(QStringLiteral("Второй.zet"));
    other.newDatabase();
    other.databaseHeader[2] = QStringLiteral("Второй");
    QVERIFY(other.saveDatabase().ok());
    QVERIFY(other.saveSettings().ok);

    start();
    QVERIFY(m_messages.isEmpty());
    QVERIFY(!QFileInfo::exists(dataPath()));
    QCOMPARE(find<QLineEdit>(QStringLiteral("testNameBox"))->text(), QStringLiteral("Второй"));
    QCOMPARE(find<QLabel>(QStringLiteral("filePathLabel"))->text(), other.databasePath);
}

void TestMainWindow::caption_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("caption");
    const QString head = QStringLiteral("Orvelant       Zetrova v.1.0               Сегодня: ");
    QTest::newRow("Friday") << kToday << head + QStringLiteral("3  Декабря  2010 года  пятница");
    QTest::newRow("Sunday") << QDate(2023, 1, 15)
                            << head + QStringLiteral("15  Января  2023 года  воскресенье");
    QTest::newRow("Tuesday") << QDate(2024, 9, 10)
                             << head + QStringLiteral("10  Сентября  2024 года  вторник");
}

void TestMainWindow::caption() {
    QFETCH(QDate, today);
    QFETCH(QString, caption);
    QCOMPARE(start(today).windowTitle(), caption);
    QVERIFY(!m_window->windowIcon().pixmap(32, 32).isNull());
}

void TestMainWindow::modes_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("areaName");
    QTest::addColumn<QStringList>("inside");
    QTest::addColumn<QStringList>("after");

    QStringList afterEditor = kMainMenus;
    afterEditor[2] = QStringLiteral("Настройки[Профили|Редактор|Экзамен во весь экран|Пароль экзаменатора…]");
    QStringList afterProfiles = kMainMenus;
    afterProfiles[2] = QStringLiteral("Настройки[Параметры|Редактор|Экзамен во весь экран|Пароль экзаменатора…]");

    QTest::newRow("question editor") << "questionEditorAction" << 1 << "QuestionEditor"
                                     << QStringList{QStringLiteral("Редактор[Выйти из редактора]")}
                                     << afterEditor;
    QTest::newRow("exam") << "examAction" << 2 << "RegistrationArea"
                          << QStringList{QStringLiteral("Проверка       [Выход]")} << kMainMenus;
    QTest::newRow("profile editor") << "profilesAction" << 3 << "ProfileEditor"
                                    << QStringList{QStringLiteral("Настройка[Выйти из настройки]")}
                                    << afterProfiles;
    QTest::newRow("archive") << "resultsAction" << 4 << "ArchiveViewer"
                             << QStringList{QStringLiteral("Проверка       [Выход]")} << kMainMenus;
}

void TestMainWindow::modes() {
    QFETCH(QString, item);
    QFETCH(int, mode);
    QFETCH(QString, areaName);
    QFETCH(QStringList, inside);
    QFETCH(QStringList, after);

    MainWindow& w = start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // The area of the mode is built when the mode is first entered.
    QVERIFY(!w.findChild<QWidget*>(areaName));
    auto* title = find<QWidget>(QStringLiteral("TitleBlock"));
    QVERIFY(title->isVisible());
    action(item)->trigger();
    QCOMPARE(int(w.appMode()), mode);
    QCOMPARE(menuBarState(w), inside);
    auto* area = find<QWidget>(areaName);
    QVERIFY(area->isVisible());
    QVERIFY(title->isHidden());

    action(item)->trigger();
    QCOMPARE(w.appMode(), int16(0));
    QCOMPARE(menuBarState(w), after);
    QVERIFY(area->isHidden());
    QVERIFY(title->isVisible());

    // And once more: the same way in and out.
    action(item)->trigger();
    QCOMPARE(int(w.appMode()), mode);
    QCOMPARE(menuBarState(w), inside);
    action(item)->trigger();
    QCOMPARE(menuBarState(w), after);
}

void TestMainWindow::profileEditorTwice() {
    MainWindow& w = start();
    QAction* profiles = action(QStringLiteral("profilesAction"));
    QMenu* settings = find<QMenu>(QStringLiteral("settingsMenu"));
    QStringList seen{profiles->text() + QLatin1Char('/') + settings->title()};
    for (int i = 0; i < 4; ++i) {
        w.toggleProfileEditor();
        seen << profiles->text() + QLatin1Char('/') + settings->title();
    }
    QCOMPARE(seen, (QStringList{
                       QStringLiteral("Профили/Настройка      "),
                       QStringLiteral("Выйти из настройки/Настройка"),
                       QStringLiteral("Параметры/Настройки"),
                       QStringLiteral("Выйти из настройки/Настройка"),
                       QStringLiteral("Параметры/Настройки"),
                   }));
}

void TestMainWindow::questionEditorThenProfileEditor() {
    MainWindow& w = start();
    w.toggleQuestionEditor();
    QCOMPARE(find<QMenu>(QStringLiteral("settingsMenu"))->title(), QStringLiteral("Редактор"));
    w.toggleQuestionEditor();
    w.toggleProfileEditor();
    QCOMPARE(menuBarState(w), QStringList{QStringLiteral("Настройка[Выйти из настройки]")});
    w.toggleProfileEditor();
    w.toggleQuestionEditor();
    // The profile item keeps the caption it got on leaving.
    QCOMPARE(menuBarState(w), QStringList{QStringLiteral("Редактор[Выйти из редактора]")});
    w.toggleQuestionEditor();
    QCOMPARE(menuBarState(w).at(2), QStringLiteral("Настройки[Параметры|Редактор|Экзамен во весь экран|Пароль экзаменатора…]"));
}

void TestMainWindow::resultWindowEndsExamMode() {
    MainWindow& w = start();
    w.toggleExamMode();
    QCOMPARE(w.appMode(), int16(2));
    auto* exam = w.findChild<ExamMode*>();
    QVERIFY(exam);
    emit exam->resultAcknowledged();
    QCOMPARE(w.appMode(), int16(0));
    QCOMPARE(menuBarState(w), kMainMenus);
    // The mode is entered again by the same item.
    w.toggleExamMode();
    QCOMPARE(w.appMode(), int16(2));
}

void TestMainWindow::fileAreaRefreshesStrip() {
    MainWindow& w = start();
    action(QStringLiteral("loadAction"))->trigger();
    auto* area = find<FileArea>(QStringLiteral("FileArea"));
    QVERIFY(!area->isHidden());
    QCOMPARE(w.appMode(), int16(0));

    coreDatabase(*m_core).databaseHeader[2] = QStringLiteral("Другая база");
    coreDatabase(*m_core).databaseHeader[3] = QStringLiteral("Сидоров");
    coreDatabase(*m_core).databasePath = m_dir->filePath(QStringLiteral("other.zet"));
    emit area->databaseChanged();
    QCOMPARE(find<QLineEdit>(QStringLiteral("testNameBox"))->text(), QStringLiteral("Другая база"));
    QCOMPARE(find<QLabel>(QStringLiteral("authorLabel"))->text(), QStringLiteral("Сидоров"));
    QCOMPARE(find<QLabel>(QStringLiteral("filePathLabel"))->text(), coreDatabase(*m_core).databasePath);
}

// A mode area built while the file area is open is built beneath it, as it would lie had it
// been there from the start.
void TestMainWindow::modeAreaBuiltUnderOpenFileArea() {
    MainWindow& w = start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    action(QStringLiteral("loadAction"))->trigger();
    auto* files = find<QWidget>(QStringLiteral("FileArea"));
    action(QStringLiteral("examAction"))->trigger();
    auto* registration = find<QWidget>(QStringLiteral("RegistrationArea"));
    QVERIFY(registration->isVisible() && files->isVisible());
    QWidget* surface = files->parentWidget();
    const QPoint inBoth = files->geometry().intersected(registration->geometry()).center();
    QWidget* hit = surface->childAt(inBoth);
    QVERIFY(hit == files || files->isAncestorOf(hit));
}

void TestMainWindow::aboutByTwoClicks() {
    MainWindow& w = start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QMenuBar* bar = w.menuBar();
    QAction* about = action(QStringLiteral("aboutAction"));
    QVERIFY(!w.findChild<QWidget*>(QStringLiteral("AboutArea")));

    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(about).center());
    QTRY_VERIFY(w.findChild<QWidget*>(QStringLiteral("AboutArea")));
    auto* aboutArea = find<QWidget>(QStringLiteral("AboutArea"));
    QVERIFY(aboutArea->isVisible());
    auto* identityBox = find<QPlainTextEdit>(QStringLiteral("identityBox"));
    auto* termsBox = find<QPlainTextEdit>(QStringLiteral("termsBox"));
    const QString identity = identityBox->toPlainText();
    const QString terms = termsBox->toPlainText();
    const QStringList lines = identity.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[0], QStringLiteral("Orvelant "));
    QCOMPARE(lines[1], QStringLiteral("Zetrova v.1.0"));
    QCOMPARE(lines[2], QStringLiteral("www.orvelant.example"));
    QCOMPARE(lines[3], QStringLiteral("e-mail:  zetrova@orvelant.example"));
    QCOMPARE(lines[4], QString());
    QVERIFY(!lines[5].isEmpty());
    // Six numbered clauses under a heading.
    const QStringList clauses = terms.split(QLatin1Char('\n'));
    QCOMPARE(clauses.size(), 7);
    for (int k = 1; k <= 6; ++k)
        QVERIFY(clauses[k].startsWith(QString::number(k) + QStringLiteral(". ")));
    QCOMPARE(find<QLabel>(QStringLiteral("webAddressLabel"))->text(), QStringLiteral("www.orvelant.example"));
    QVERIFY(!find<QLabel>(QStringLiteral("picture"))->pixmap().isNull());
    QCOMPARE(find<QLabel>(QStringLiteral("makerAddressLabel"))->text(),
             QStringLiteral("www.orvelant.example"));

    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(about).center());
    QTRY_VERIFY(aboutArea->isHidden());

    // The same texts on every opening.
    about->trigger();
    QVERIFY(aboutArea->isVisible());
    QCOMPARE(identityBox->toPlainText(), identity);
    QCOMPARE(termsBox->toPlainText(), terms);
    QCOMPARE(w.appMode(), int16(0));
}

void TestMainWindow::aboutClosedByClicks_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("closes");
    QTest::newRow("area") << "AboutArea" << true;
    QTest::newRow("picture") << "picture" << true;
    QTest::newRow("identity text") << "identityBox" << true;
    QTest::newRow("terms text") << "termsBox" << false;
    QTest::newRow("address") << "webAddressLabel" << false;
}

void TestMainWindow::aboutClosedByClicks() {
    QFETCH(QString, target);
    QFETCH(bool, closes);
    MainWindow& w = start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.toggleAbout();
    auto* aboutArea = find<QWidget>(QStringLiteral("AboutArea"));
    QVERIFY(aboutArea->isVisible());

    QWidget* widget = find<QWidget>(target);
    if (auto* box = qobject_cast<QPlainTextEdit*>(widget))
        widget = box->viewport();
    // The area itself: a point of it outside its controls.
    const QPoint at = target == QStringLiteral("AboutArea") ? QPoint(3, 3) : widget->rect().center();
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QCOMPARE(aboutArea->isHidden(), closes);
}

void TestMainWindow::helpMessage() {
    MainWindow& w = start();
    action(QStringLiteral("helpAction"))->trigger();
    QCOMPARE(m_messages,
             QStringList{QStringLiteral(
                 "Присылайте тесты на адрес zetrova@orvelant.example, они будут размещены на сайте "
                 "www.orvelant.example в разделе программ. Здесь же их можно будет бесплатно скачать.")});
    QCOMPARE(w.appMode(), int16(0));
    QVERIFY(!w.findChild<QWidget*>(QStringLiteral("AboutArea")));
}

void TestMainWindow::exitClosesWindow() {
    MainWindow& w = start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QByteArray settings = readAll(m_dir->filePath(QStringLiteral("zetr100.sys")));
    const QByteArray data = readAll(dataPath());
    action(QStringLiteral("exitAction"))->trigger();
    QVERIFY(!w.isVisible());
    QCOMPARE(readAll(m_dir->filePath(QStringLiteral("zetr100.sys"))), settings);
    QCOMPARE(readAll(dataPath()), data);
}

void TestMainWindow::accessibleNames() {
    start().toggleAbout();
    for (const QString& name :
         {QStringLiteral("testNameBox"), QStringLiteral("identityBox"), QStringLiteral("termsBox")}) {
        auto* box = find<QWidget>(name);
        QVERIFY2(!box->accessibleName().isEmpty(), qPrintable(name));
    }
}

void TestMainWindow::fontsAreInstalledFamilies_data() {
    QTest::addColumn<QFont>("font");
    QTest::addColumn<QStringList>("families");
    QTest::newRow("serif") << timesFont(12) << serifFamilies();
    QTest::newRow("sans") << sansFont(12) << sansFamilies();
}

// A family that is not installed is found only after a slow search through all of its
// fallbacks: the window asks for the designed family or its stand-in, whichever is there.
void TestMainWindow::fontsAreInstalledFamilies() {
    QFETCH(QFont, font);
    QFETCH(QStringList, families);
    const QStringList installed = QFontDatabase::families();
    const auto there = std::find_if(families.cbegin(), families.cend(),
                                    [&installed](const QString& f) { return installed.contains(f, Qt::CaseInsensitive); });
    if (there == families.cend())
        QSKIP("neither the designed family nor a stand-in is installed");
    QCOMPARE(font.family(), *there);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
