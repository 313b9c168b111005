// The main window: start-up in a program folder of its own, the database strip, the menu
// and its modes, About and help.

#include "app/module1.h"
#include "archive/dayfile.h"
#include "model/savefile.h"
#include "ui/exam/exammode.h"
#include "ui/files/filearea.h"
#include "ui/shell/form1.h"
#include "ui/shell/messages.h"

#include <QAction>
#include <QDir>
#include <QFile>
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

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The visible top-level items, each followed by its visible children in brackets.
QStringList MenuBarState(QMainWindow& w) {
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
    QStringLiteral("Меню           [Создать новый|Загрузить|Сохранить|Выход из программы]"),
    QStringLiteral("Проверка       [Результаты|Экзамен]"),
    QStringLiteral("Настройка      [Профили|Редактор]"),
    QStringLiteral("Базы тестов       "),
    QStringLiteral("О программе    "),
};

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void firstStart();
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
    void aboutByTwoClicks();
    void aboutClosedByClicks_data();
    void aboutClosedByClicks();
    void helpMessage();
    void exitClosesWindow();
    void accessibleNames();

private:
    // Starts the window in the temporary folder with the given date.
    Form1& Start(const QDate& today = kToday);
    template <class T> T* Find(const QString& name) {
        T* w = m_window->findChild<T*>(name);
        [&] { QVERIFY2(w, qPrintable(name)); }();
        return w;
    }
    QAction* Action(const QString& name) { return Find<QAction>(name); }
    QString DataPath() const { return m_dir->filePath(QStringLiteral("Data.zet")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Module1> m_core;
    std::unique_ptr<Form1> m_window;
    QStringList m_messages;
};

void TestForm1::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages.clear();
    Hooks().message = [this](const QString& text) { m_messages << text; };
}

void TestForm1::cleanup() {
    m_window.reset();
    m_core.reset();
    m_dir.reset();
    Hooks() = MessageHooks{};
}

Form1& TestForm1::Start(const QDate& today) {
    m_window.reset();
    m_core = std::make_unique<Module1>(std::make_unique<SeededRandom>(7), [today] { return today; });
    m_window = std::make_unique<Form1>(*m_core, Form1Options{m_dir->path()});
    return *m_window;
}

void TestForm1::firstStart() {
    Form1& w = Start();
    QVERIFY(m_messages.isEmpty());
    QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("zetr100.sys"))).isFile());
    QVERIFY(QFileInfo(DataPath()).isFile());
    QCOMPARE(m_core->db.ProgramFolder, m_dir->path() + QStringLiteral("/"));

    QCOMPARE(Find<QLineEdit>(QStringLiteral("Text34"))->text(), QStringLiteral("Новый тест"));
    QCOMPARE(Find<QLabel>(QStringLiteral("Label50_0"))->text(), QStringLiteral("Неизвестный"));
    QCOMPARE(Find<QLabel>(QStringLiteral("Label50_1"))->text(), QStringLiteral("12-03-2010"));
    QCOMPARE(Find<QLabel>(QStringLiteral("Label50_2"))->text(), DataPath());
    QCOMPARE(Find<QLabel>(QStringLiteral("Label48"))->text(), QStringLiteral("Название теста:"));
    QCOMPARE(Find<QLabel>(QStringLiteral("Label49_0"))->text(), QStringLiteral("Автор:"));
    QCOMPARE(Find<QLabel>(QStringLiteral("Label49_1"))->text(), QStringLiteral("Дата:"));
    QCOMPARE(Find<QLabel>(QStringLiteral("Label49_2"))->text(), QStringLiteral("Фаил:"));

    // The file read back is the one written, and today's archive is ready.
    QCOMPARE(m_core->db.DatabaseHeader[1], QStringLiteral("zetr100"));
    QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("2010/Декабрь/03.12.2010.txt"))).isFile());
    QCOMPARE(m_core->archive.MonthGenitive, QStringLiteral("Декабря"));
    QCOMPARE(m_core->exam.CurrentExaminee, int16(1));
    QCOMPARE(m_core->exam.CurrentProfile, int16(1));
    QCOMPARE(m_core->exam.QuestionNo, int16(1));

    // Main mode: every area hidden, every top-level item there.
    QCOMPARE(w.AppMode(), int16(0));
    for (const char* frame : {"Frame1", "Frame2", "Frame3", "Frame4", "Frame5", "Frame6", "Frame7"}) {
        if (auto* area = w.findChild<QWidget*>(QString::fromLatin1(frame)))
            QVERIFY2(area->isHidden(), frame);
    }
    QCOMPARE(MenuBarState(w), kMainMenus);
}

void TestForm1::settingsNameMissingDatabase() {
    Database settings;
    settings.ProgramFolder = m_dir->path() + QStringLiteral("/");
    settings.DatabasePath = m_dir->filePath(QStringLiteral("gone/Тесты.zet"));
    QVERIFY(settings.SaveSettings().ok);

    Start();
    QCOMPARE(m_messages, QStringList{QStringLiteral("Неправильная версия файла!")});
    QCOMPARE(Find<QLineEdit>(QStringLiteral("Text34"))->text(), QString());
    QCOMPARE(Find<QLabel>(QStringLiteral("Label50_0"))->text(), QString());
    QCOMPARE(Find<QLabel>(QStringLiteral("Label50_1"))->text(), QString());
    QCOMPARE(Find<QLabel>(QStringLiteral("Label50_2"))->text(), settings.DatabasePath);
    // Start-up went on after the message.
    QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("2010/Декабрь/03.12.2010.txt"))).isFile());
    QVERIFY(!QFileInfo::exists(DataPath()));
    QCOMPARE(m_window->AppMode(), int16(0));
}

// The default database cannot be written: the message says so and why, not that the
// file has a wrong version.
void TestForm1::firstStartOnFullDisk() {
    DefaultWriterOverride() = [](QIODevice& device, const QByteArray&) {
        device.write("partial");
        return false;
    };
    Start();
    DefaultWriterOverride() = {};
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].contains(QStringLiteral("Не удалось создать базу данных по умолчанию")) &&
                 m_messages[0].contains(QDir::toNativeSeparators(DataPath())),
             qPrintable(m_messages[0]));
    QVERIFY(!QFileInfo::exists(DataPath()));
}

void TestForm1::existingDatabaseWithoutSettingsIsKept() {
    Database mine;
    mine.DatabasePath = DataPath();
    mine.NewDatabase();
    mine.DatabaseHeader[2] = QStringLiteral("Электробезопасность");
    mine.DatabaseHeader[3] = QStringLiteral("Петров");
    mine.DatabaseHeader[4] = QStringLiteral("01-02-2009");
    QVERIFY(mine.SaveDatabase().ok());
    const QByteArray before = ReadAll(DataPath());

    Start();
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(ReadAll(DataPath()), before);
    QCOMPARE(Find<QLineEdit>(QStringLiteral("Text34"))->text(), QStringLiteral("Электробезопасность"));
    QCOMPARE(Find<QLabel>(QStringLiteral("Label50_0"))->text(), QStringLiteral("Петров"));
    QCOMPARE(Find<QLabel>(QStringLiteral("Label50_1"))->text(), QStringLiteral("01-02-2009"));
    QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("zetr100.sys"))).isFile());
}

void TestForm1::secondStartReadsTheLastDatabase() {
    // The settings name a database elsewhere in the folder; the next start opens it.
    Database other;
    other.ProgramFolder = m_dir->path() + QStringLiteral("/");
    other.DatabasePath = m_dir->filePath(QStringLiteral("Второй.zet"));
    other.NewDatabase();
    other.DatabaseHeader[2] = QStringLiteral("Второй");
    QVERIFY(other.SaveDatabase().ok());
    QVERIFY(other.SaveSettings().ok);

    Start();
    QVERIFY(m_messages.isEmpty());
    QVERIFY(!QFileInfo::exists(DataPath()));
    QCOMPARE(Find<QLineEdit>(QStringLiteral("Text34"))->text(), QStringLiteral("Второй"));
    QCOMPARE(Find<QLabel>(QStringLiteral("Label50_2"))->text(), other.DatabasePath);
}

void TestForm1::caption_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("caption");
    const QString head = QStringLiteral("Orvelant       Zetrova v.1.0               Сегодня: ");
    QTest::newRow("Friday") << kToday << head + QStringLiteral("3  Декабря  2010 года  пятница");
    QTest::newRow("Sunday") << QDate(2023, 1, 15)
                            << head + QStringLiteral("15  Января  2023 года  воскресенье");
    QTest::newRow("Tuesday") << QDate(2024, 9, 10)
                             << head + QStringLiteral("10  Сентября  2024 года  вторник");
}

void TestForm1::caption() {
    QFETCH(QDate, today);
    QFETCH(QString, caption);
    QCOMPARE(Start(today).windowTitle(), caption);
    QVERIFY(!m_window->windowIcon().pixmap(32, 32).isNull());
}

void TestForm1::modes_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QStringList>("inside");
    QTest::addColumn<QStringList>("after");

    QStringList afterEditor = kMainMenus;
    afterEditor[2] = QStringLiteral("Настройки[Профили|Редактор]");
    QStringList afterProfiles = kMainMenus;
    afterProfiles[2] = QStringLiteral("Настройки[Параметры|Редактор]");

    QTest::newRow("question editor") << "mnu_Redactor" << 1 << "Frame1"
                                     << QStringList{QStringLiteral("Редактор[Выйти из редактора]")}
                                     << afterEditor;
    QTest::newRow("exam") << "mnu_Exam" << 2 << "Frame2"
                          << QStringList{QStringLiteral("Проверка       [Выход]")} << kMainMenus;
    QTest::newRow("profile editor") << "mnu_Parametrs" << 3 << "Frame3"
                                    << QStringList{QStringLiteral("Настройка[Выйти из настройки]")}
                                    << afterProfiles;
    QTest::newRow("archive") << "mnu_Resum" << 4 << "Frame6"
                             << QStringList{QStringLiteral("Проверка       [Выход]")} << kMainMenus;
}

void TestForm1::modes() {
    QFETCH(QString, item);
    QFETCH(int, mode);
    QFETCH(QString, frame);
    QFETCH(QStringList, inside);
    QFETCH(QStringList, after);

    Form1& w = Start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // The area of the mode; the exam's registration area belongs to the exam mode and may
    // not be there yet.
    auto* area = w.findChild<QWidget*>(frame);
    if (frame != QStringLiteral("Frame2"))
        QVERIFY(area);

    auto* title = Find<QWidget>(QStringLiteral("TitleBlock"));
    QVERIFY(title->isVisible());
    Action(item)->trigger();
    QCOMPARE(int(w.AppMode()), mode);
    QCOMPARE(MenuBarState(w), inside);
    if (area)
        QVERIFY(area->isVisible());
    QVERIFY(title->isHidden());

    Action(item)->trigger();
    QCOMPARE(w.AppMode(), int16(0));
    QCOMPARE(MenuBarState(w), after);
    if (area)
        QVERIFY(area->isHidden());
    QVERIFY(title->isVisible());

    // And once more: the same way in and out.
    Action(item)->trigger();
    QCOMPARE(int(w.AppMode()), mode);
    QCOMPARE(MenuBarState(w), inside);
    Action(item)->trigger();
    QCOMPARE(MenuBarState(w), after);
}

void TestForm1::profileEditorTwice() {
    Form1& w = Start();
    QAction* parametrs = Action(QStringLiteral("mnu_Parametrs"));
    QMenu* adjustment = Find<QMenu>(QStringLiteral("mnu_Adjuctment"));
    QStringList seen{parametrs->text() + QLatin1Char('/') + adjustment->title()};
    for (int i = 0; i < 4; ++i) {
        w.mnu_Parametrs_Click();
        seen << parametrs->text() + QLatin1Char('/') + adjustment->title();
    }
    QCOMPARE(seen, (QStringList{
                       QStringLiteral("Профили/Настройка      "),
                       QStringLiteral("Выйти из настройки/Настройка"),
                       QStringLiteral("Параметры/Настройки"),
                       QStringLiteral("Выйти из настройки/Настройка"),
                       QStringLiteral("Параметры/Настройки"),
                   }));
}

void TestForm1::questionEditorThenProfileEditor() {
    Form1& w = Start();
    w.mnu_Redactor_Click();
    QCOMPARE(Find<QMenu>(QStringLiteral("mnu_Adjuctment"))->title(), QStringLiteral("Редактор"));
    w.mnu_Redactor_Click();
    w.mnu_Parametrs_Click();
    QCOMPARE(MenuBarState(w), QStringList{QStringLiteral("Настройка[Выйти из настройки]")});
    w.mnu_Parametrs_Click();
    w.mnu_Redactor_Click();
    // The profile item keeps the caption it got on leaving.
    QCOMPARE(MenuBarState(w), QStringList{QStringLiteral("Редактор[Выйти из редактора]")});
    w.mnu_Redactor_Click();
    QCOMPARE(MenuBarState(w).at(2), QStringLiteral("Настройки[Параметры|Редактор]"));
}

void TestForm1::resultWindowEndsExamMode() {
    Form1& w = Start();
    w.mnu_Exam_Click();
    QCOMPARE(w.AppMode(), int16(2));
    auto* exam = w.findChild<ExamMode*>();
    QVERIFY(exam);
    emit exam->resultAcknowledged();
    QCOMPARE(w.AppMode(), int16(0));
    QCOMPARE(MenuBarState(w), kMainMenus);
    // The mode is entered again by the same item.
    w.mnu_Exam_Click();
    QCOMPARE(w.AppMode(), int16(2));
}

void TestForm1::fileAreaRefreshesStrip() {
    Form1& w = Start();
    Action(QStringLiteral("mnu_Load"))->trigger();
    auto* area = Find<FileArea>(QStringLiteral("Frame5"));
    QVERIFY(!area->isHidden());
    QCOMPARE(w.AppMode(), int16(0));

    m_core->db.DatabaseHeader[2] = QStringLiteral("Другая база");
    m_core->db.DatabaseHeader[3] = QStringLiteral("Сидоров");
    m_core->db.DatabasePath = m_dir->filePath(QStringLiteral("other.zet"));
    emit area->databaseChanged();
    QCOMPARE(Find<QLineEdit>(QStringLiteral("Text34"))->text(), QStringLiteral("Другая база"));
    QCOMPARE(Find<QLabel>(QStringLiteral("Label50_0"))->text(), QStringLiteral("Сидоров"));
    QCOMPARE(Find<QLabel>(QStringLiteral("Label50_2"))->text(), m_core->db.DatabasePath);
}

void TestForm1::aboutByTwoClicks() {
    Form1& w = Start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QMenuBar* bar = w.menuBar();
    QAction* about = Action(QStringLiteral("mnu_About"));
    auto* frame = Find<QWidget>(QStringLiteral("Frame7"));
    auto* text38 = Find<QPlainTextEdit>(QStringLiteral("Text38"));
    auto* text39 = Find<QPlainTextEdit>(QStringLiteral("Text39"));
    QVERIFY(frame->isHidden());

    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(about).center());
    QTRY_VERIFY(frame->isVisible());
    const QString identity = text38->toPlainText();
    const QString terms = text39->toPlainText();
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
    QCOMPARE(Find<QLabel>(QStringLiteral("Label47"))->text(), QStringLiteral("www.orvelant.example"));
    QVERIFY(!Find<QLabel>(QStringLiteral("Image2"))->pixmap().isNull());
    QCOMPARE(Find<QLabel>(QStringLiteral("Label46"))->text(), QStringLiteral("www.orvelant.example"));

    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(about).center());
    QTRY_VERIFY(frame->isHidden());

    // The same texts on every opening.
    about->trigger();
    QVERIFY(frame->isVisible());
    QCOMPARE(text38->toPlainText(), identity);
    QCOMPARE(text39->toPlainText(), terms);
    QCOMPARE(w.AppMode(), int16(0));
}

void TestForm1::aboutClosedByClicks_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("closes");
    QTest::newRow("area") << "Frame7" << true;
    QTest::newRow("picture") << "Image2" << true;
    QTest::newRow("identity text") << "Text38" << true;
    QTest::newRow("terms text") << "Text39" << false;
    QTest::newRow("address") << "Label47" << false;
}

void TestForm1::aboutClosedByClicks() {
    QFETCH(QString, target);
    QFETCH(bool, closes);
    Form1& w = Start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.mnu_About_Click();
    auto* frame = Find<QWidget>(QStringLiteral("Frame7"));
    QVERIFY(frame->isVisible());

    QWidget* widget = Find<QWidget>(target);
    if (auto* box = qobject_cast<QPlainTextEdit*>(widget))
        widget = box->viewport();
    // Frame7 itself: a point of the area outside its controls.
    const QPoint at = target == QStringLiteral("Frame7") ? QPoint(3, 3) : widget->rect().center();
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QCOMPARE(frame->isHidden(), closes);
}

void TestForm1::helpMessage() {
    Form1& w = Start();
    Action(QStringLiteral("mnu_Help"))->trigger();
    QCOMPARE(m_messages,
             QStringList{QStringLiteral(
                 "Присылайте тесты на адрес zetrova@orvelant.example, они будут размещены на сайте "
                 "www.orvelant.example в разделе программ. Здесь же их можно будет бесплатно скачать.")});
    QCOMPARE(w.AppMode(), int16(0));
    QVERIFY(Find<QWidget>(QStringLiteral("Frame7"))->isHidden());
}

void TestForm1::exitClosesWindow() {
    Form1& w = Start();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QByteArray settings = ReadAll(m_dir->filePath(QStringLiteral("zetr100.sys")));
    const QByteArray data = ReadAll(DataPath());
    Action(QStringLiteral("mnu_Exit"))->trigger();
    QVERIFY(!w.isVisible());
    QCOMPARE(ReadAll(m_dir->filePath(QStringLiteral("zetr100.sys"))), settings);
    QCOMPARE(ReadAll(DataPath()), data);
}

void TestForm1::accessibleNames() {
    Start();
    for (const QString& name :
         {QStringLiteral("Text34"), QStringLiteral("Text38"), QStringLiteral("Text39")}) {
        auto* box = Find<QWidget>(name);
        QVERIFY2(!box->accessibleName().isEmpty(), qPrintable(name));
    }
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
