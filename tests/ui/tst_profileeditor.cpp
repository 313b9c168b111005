#include "app/module1.h"
#include "ui/authoring/profileeditor.h"
#include "ui/authoring/questioneditor.h"
#include "ui/shell/messages.h"
#include "ui/shell/uikit.h"

#include "testdata.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace zet;

namespace {

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// Types text the way a keyboard does, Cyrillic included.
void Type(QWidget* w, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QString SelectedText(const QListWidget* list) {
    const auto items = list->selectedItems();
    return items.size() == 1 ? items.front()->text() : QString();
}

} // namespace

class TestProfileEditor : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void newDatabaseShowsDefaultsForEveryProfile();
    void startupResetThenFirstProfile();
    void groupEntries_data();
    void groupEntries();
    void timeBox_data();
    void timeBox();
    void timeNotAllowedIsRefused_data();
    void timeNotAllowedIsRefused();
    void saveSetsNumberAndReloadMatches();
    void listWithoutMatchingItemKeepsStoredValue();
    void scrolledNumberIsSaved();
    void testNameLastSaveWins();
    void selectionSurvivesReopening();
    void failedSaveNamesFileAndKeepsModel();
    void thresholdHint_data();
    void thresholdHint();

private:
    template <typename T> T* Find(const QString& name) {
        T* w = m_editor->findChild<T*>(name);
        [&] { QVERIFY2(w, qPrintable(QStringLiteral("no control ") + name)); }();
        return w;
    }
    QListWidget* List(int n) { return Find<QListWidget>(QStringLiteral("List%1").arg(n)); }
    QLineEdit* Line(const QString& name) { return Find<QLineEdit>(name); }
    void ShowProfile(int p) { List(4)->setCurrentRow(p - 1); }
    void Choose(int list, int value) { List(list)->setCurrentRow(value - 1); }
    void Save() { QTest::mouseClick(Find<QPushButton>(QStringLiteral("Command2")), Qt::LeftButton); }
    QLabel* Hint() { return Find<QLabel>(QStringLiteral("ThresholdHint")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Module1> m_core;
    std::unique_ptr<QWidget> m_surface;
    ui::ProfileEditor* m_editor = nullptr;
    QStringList m_messages;
};

void TestProfileEditor::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_core = testing::NewTestCore(*m_dir, 3, QDate(2024, 5, 13));
    QVERIFY(m_core);

    m_messages.clear();
    ui::Hooks().message = [this](const QString& text) { m_messages << text; };
    m_surface = std::make_unique<QWidget>();
    m_surface->resize(1200, 800);
    m_editor = new ui::ProfileEditor(*m_core, m_surface.get());
    m_surface->show();
    // What start-up does with this area, then the mode entry.
    m_editor->StartupReset();
    m_editor->List4_Click();
    m_editor->EnterMode();
}

void TestProfileEditor::cleanup() {
    ui::Hooks() = {};
    m_surface.reset();
    m_core.reset();
    m_dir.reset();
}

void TestProfileEditor::newDatabaseShowsDefaultsForEveryProfile() {
    QCOMPARE(m_editor->title(), QStringLiteral("Настройка профиля"));
    QCOMPARE(List(4)->count(), 20);
    QCOMPARE(List(3)->count(), 15);
    QCOMPARE(List(22)->count(), 15);
    QCOMPARE(List(19)->count(), 20);
    for (int p = 20; p >= 1; --p) {
        ShowProfile(p);
        QCOMPARE(m_editor->EditedProfile, p);
        QCOMPARE(Line(QStringLiteral("Text33"))->text(), QStringLiteral("Новый тест"));
        QCOMPARE(Line(QStringLiteral("Text10"))->text(), QString());
        QCOMPARE(Line(QStringLiteral("Text1"))->text(), QStringLiteral("600"));
        QCOMPARE(SelectedText(List(3)), QStringLiteral("10"));
        QCOMPARE(SelectedText(List(20)), QStringLiteral("9"));
        QCOMPARE(SelectedText(List(21)), QStringLiteral("7"));
        QCOMPARE(SelectedText(List(22)), QStringLiteral("5"));
        for (int n = 5; n <= 19; ++n)
            QCOMPARE(SelectedText(List(n)), QStringLiteral("1"));
        for (int k = 0; k < kGroupCount; ++k) {
            QVERIFY(Find<QCheckBox>(QStringLiteral("Check2_%1").arg(k))->isChecked());
            QCOMPARE(Line(QStringLiteral("Text23_%1").arg(k))->text(), QString());
        }
        QVERIFY(Hint()->isHidden());
    }
}

void TestProfileEditor::startupResetThenFirstProfile() {
    ui::ProfileEditor fresh(*m_core, m_surface.get());
    auto* time = fresh.findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* name = fresh.findChild<QLineEdit*>(QStringLiteral("Text10"));
    QCOMPARE(time->text(), QStringLiteral("600"));
    fresh.StartupReset();
    QCOMPARE(time->text(), QStringLiteral("0"));
    QCOMPARE(name->text(), QString());
    QCOMPARE(time->palette().color(QPalette::Base), ui::kLightYellow);
    m_core->db.Profiles[1].Name = QStringLiteral("Первый");
    fresh.List4_Click();
    QCOMPARE(fresh.EditedProfile, 1);
    QCOMPARE(time->text(), QStringLiteral("600"));
    QCOMPARE(name->text(), QStringLiteral("Первый"));
    QCOMPARE(name->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Highlight));
    QCOMPARE(name->palette().color(QPalette::Text), QApplication::palette().color(QPalette::HighlightedText));
}

void TestProfileEditor::groupEntries_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::newRow("empty entry shows ticked, saves 1") << QString() << true << QString() << QString() << "1";
    QTest::newRow("empty entry saves 1 and the typed title")
        << QString() << true << QString() << QStringLiteral("Механика") << QStringLiteral("1Механика");
    QTest::newRow("one character, empty title") << "0" << false << QString() << QString() << "0";
    QTest::newRow("not admitted with title")
        << QStringLiteral("0Электрика") << false << QStringLiteral("Электрика") << QStringLiteral("Электрика")
        << QStringLiteral("0Электрика");
    QTest::newRow("other flag character shows ticked")
        << QStringLiteral("xСварка") << true << QStringLiteral("Сварка") << QStringLiteral("Сварка")
        << QStringLiteral("1Сварка");
}

void TestProfileEditor::groupEntries() {
    QFETCH(QString, entry);
    QFETCH(bool, ticked);
    QFETCH(QString, title);
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    m_core->db.Profiles[6].Groups[3] = entry;
    ShowProfile(6);
    auto* box = Find<QCheckBox>(QStringLiteral("Check2_3"));
    auto* titleBox = Line(QStringLiteral("Text23_3"));
    QCOMPARE(box->isChecked(), ticked);
    QCOMPARE(titleBox->text(), title);
    QCOMPARE(m_core->db.GroupNames[3].Flag, entry.left(1));
    QCOMPARE(m_core->db.GroupNames[3].Title, title);
    titleBox->clear();
    Type(titleBox, typed);
    Save();
    QCOMPARE(m_core->db.Profiles[6].Groups[3], saved);
    QCOMPARE(m_core->db.Profiles[6].Groups[4], QStringLiteral("1"));
    QVERIFY(m_messages.isEmpty());
}

void TestProfileEditor::timeBox_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("saved");
    QTest::newRow("number then letter") << "90 a" << 90;
    QTest::newRow("comma ends the number") << "1,5" << 1;
    QTest::newRow("blanks inside") << "1 2 0" << 120;
    QTest::newRow("hexadecimal") << "&H3C" << 60;
    QTest::newRow("largest") << "32767" << 32767;
}

void TestProfileEditor::timeBox() {
    QFETCH(QString, typed);
    QFETCH(int, saved);
    auto* time = Line(QStringLiteral("Text1"));
    time->clear();
    QCOMPARE(time->palette().color(QPalette::Base), ui::kLightYellow);
    QCOMPARE(time->palette().color(QPalette::Text), QApplication::palette().color(QPalette::WindowText));
    Type(time, typed);
    const QPalette system = QApplication::palette();
    QCOMPARE(time->palette().color(QPalette::Base),
             saved != 0 ? system.color(QPalette::Highlight) : ui::kLightYellow);
    Save();
    QCOMPARE(m_core->db.Profiles[1].TimeLimit, saved);
    QVERIFY(m_messages.isEmpty());
}

void TestProfileEditor::timeNotAllowedIsRefused_data() {
    QTest::addColumn<QString>("typed");
    // A time that is no positive whole number of seconds would fail every exam at once.
    QTest::newRow("empty") << "";
    QTest::newRow("zero") << "0";
    QTest::newRow("letters") << QStringLiteral("минута");
    QTest::newRow("negative") << "-30";
    QTest::newRow("fraction") << "59.9";
    QTest::newRow("above") << "32768";
    QTest::newRow("below") << "-32769";
    QTest::newRow("exponent") << "1e6";
}

void TestProfileEditor::timeNotAllowedIsRefused() {
    QFETCH(QString, typed);
    ShowProfile(2);
    const ExamProfile before = m_core->db.Profiles[2];
    const QByteArray fileBefore = FileBytes(m_core->db.DatabasePath);
    Line(QStringLiteral("Text10"))->setText(QStringLiteral("Не сохранится"));
    Line(QStringLiteral("Text33"))->setText(QStringLiteral("Не сохранится"));
    Line(QStringLiteral("Text1"))->setText(typed);
    Save();
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages[0].contains(QStringLiteral("32767")));
    QVERIFY(m_core->db.Profiles[2] == before);
    QCOMPARE(m_core->db.DatabaseHeader[2], QStringLiteral("Новый тест"));
    QCOMPARE(FileBytes(m_core->db.DatabasePath), fileBefore);
}

void TestProfileEditor::saveSetsNumberAndReloadMatches() {
    Database& db = m_core->db;
    db.Profiles[4].Number = 9;
    ShowProfile(4);
    Line(QStringLiteral("Text10"))->setText(QStringLiteral("Слесари 4 разряда"));
    Line(QStringLiteral("Text1"))->setText(QStringLiteral("900"));
    Choose(3, 12);
    Choose(20, 11);
    Choose(21, 8);
    Choose(22, 6);
    for (int n = 1; n <= kSlotCount; ++n)
        Choose(n + 4, n + 5);
    QTest::mouseClick(Find<QCheckBox>(QStringLiteral("Check2_7")), Qt::LeftButton, {}, QPoint(6, 10));
    Line(QStringLiteral("Text23_0"))->setText(QStringLiteral("Общие"));
    Save();
    QVERIFY(m_messages.isEmpty());

    const ExamProfile& p = db.Profiles[4];
    QCOMPARE(p.Number, 4);
    QCOMPARE(p.Name, QStringLiteral("Слесари 4 разряда"));
    QCOMPARE(p.TimeLimit, 900);
    QCOMPARE(p.QuestionCount, 12);
    QCOMPARE(p.ExcellentMin, 11);
    QCOMPARE(p.GoodMin, 8);
    QCOMPARE(p.FairMin, 6);
    QCOMPARE(p.SlotTheme[1], 6);
    QCOMPARE(p.SlotTheme[15], 20);
    QCOMPARE(p.Groups[0], QStringLiteral("1Общие"));
    QCOMPARE(p.Groups[7], QStringLiteral("0"));

    Database loaded;
    loaded.DatabasePath = db.DatabasePath;
    QVERIFY(loaded.LoadDatabase().ok());
    for (int i = 1; i <= kProfileCount; ++i)
        QVERIFY2(loaded.Profiles[i] == db.Profiles[i], qPrintable(QStringLiteral("profile %1").arg(i)));

    // Another profile and back shows what was saved.
    ShowProfile(5);
    ShowProfile(4);
    QCOMPARE(SelectedText(List(19)), QStringLiteral("20"));
    QVERIFY(!Find<QCheckBox>(QStringLiteral("Check2_7"))->isChecked());
}

void TestProfileEditor::listWithoutMatchingItemKeepsStoredValue() {
    Database& db = m_core->db;
    db.Profiles[3].QuestionCount = 0;
    db.Profiles[3].SlotTheme[2] = 21;
    ShowProfile(3);
    QVERIFY(List(3)->selectedItems().isEmpty());
    QVERIFY(List(6)->selectedItems().isEmpty());
    QCOMPARE(SelectedText(List(5)), QStringLiteral("1"));
    Choose(7, 4);
    Save();
    QCOMPARE(db.Profiles[3].QuestionCount, 0);
    QCOMPARE(db.Profiles[3].SlotTheme[2], 21);
    QCOMPARE(db.Profiles[3].SlotTheme[3], 4);

    // Choosing an item afterwards stores it.
    Choose(3, 15);
    Save();
    QCOMPARE(db.Profiles[3].QuestionCount, 15);
}

void TestProfileEditor::testNameLastSaveWins() {
    ui::QuestionEditor questions(*m_core, m_surface.get());
    auto* text26 = questions.findChild<QLineEdit*>(QStringLiteral("Text26"));
    auto* text33 = Line(QStringLiteral("Text33"));

    text33->setText(QStringLiteral("Имя из профилей"));
    Save();
    QCOMPARE(m_core->db.DatabaseHeader[2], QStringLiteral("Имя из профилей"));

    questions.EnterMode();
    QCOMPARE(text26->text(), QStringLiteral("Имя из профилей"));
    text26->setText(QStringLiteral("Имя из вопросов"));
    QTest::mouseClick(questions.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(m_core->db.DatabaseHeader[2], QStringLiteral("Имя из вопросов"));

    // A profile shown again shows the current name; saving it from here wins again.
    ShowProfile(2);
    QCOMPARE(text33->text(), QStringLiteral("Имя из вопросов"));
    text33->setText(QStringLiteral("Последнее"));
    Save();
    Database loaded;
    loaded.DatabasePath = m_core->db.DatabasePath;
    QVERIFY(loaded.LoadDatabase().ok());
    QCOMPARE(loaded.DatabaseHeader[2], QStringLiteral("Последнее"));
}

void TestProfileEditor::selectionSurvivesReopening() {
    m_core->db.Profiles[5].Name = QStringLiteral("Пятый");
    ShowProfile(5);
    Line(QStringLiteral("Text10"))->setText(QStringLiteral("набрано, не сохранено"));
    m_editor->hide();
    m_editor->EnterMode();
    QCOMPARE(m_editor->EditedProfile, 5);
    QCOMPARE(SelectedText(List(4)), QStringLiteral("5"));
    QCOMPARE(Line(QStringLiteral("Text10"))->text(), QStringLiteral("Пятый"));
}

void TestProfileEditor::failedSaveNamesFileAndKeepsModel() {
    Database& db = m_core->db;
    const QString path = m_dir->filePath(QStringLiteral("no-such-folder/Data.zet"));
    db.DatabasePath = path;
    Line(QStringLiteral("Text10"))->setText(QStringLiteral("Только в памяти"));
    Save();
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].contains(path), qPrintable(m_messages[0]));
    QCOMPARE(db.Profiles[1].Name, QStringLiteral("Только в памяти"));
    QVERIFY(!QFile::exists(path));
}

void TestProfileEditor::thresholdHint_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("excellent");
    QTest::addColumn<int>("good");
    QTest::addColumn<int>("fair");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("in order") << 10 << 9 << 7 << 5 << QString();
    QTest::newRow("equal thresholds are in order") << 5 << 5 << 5 << 5 << QString();
    QTest::newRow("good above excellent") << 10 << 7 << 9 << 5 << QStringLiteral("не по убыванию");
    QTest::newRow("fair above good") << 10 << 9 << 5 << 7 << QStringLiteral("не по убыванию");
    QTest::newRow("excellent above count") << 8 << 9 << 7 << 5 << QStringLiteral("«Отлично»");
    QTest::newRow("all above count") << 3 << 9 << 7 << 5 << QStringLiteral("«Посредственно»");
}

void TestProfileEditor::thresholdHint() {
    QFETCH(int, count);
    QFETCH(int, excellent);
    QFETCH(int, good);
    QFETCH(int, fair);
    QFETCH(QString, mentions);
    QVERIFY(Hint()->isHidden());
    // The hint follows the lists as they change, before any save.
    Choose(3, count);
    Choose(20, excellent);
    Choose(21, good);
    Choose(22, fair);
    QCOMPARE(Hint()->isVisible(), !mentions.isEmpty());
    if (!mentions.isEmpty())
        QVERIFY2(Hint()->text().contains(mentions), qPrintable(Hint()->text()));

    // It blocks nothing.
    Save();
    QCOMPARE(m_core->db.Profiles[1].GoodMin, good);
    QVERIFY(m_messages.isEmpty());

    // A profile in order clears it.
    ShowProfile(2);
    QVERIFY(Hint()->isHidden());
    ShowProfile(1);
    QCOMPARE(Hint()->isVisible(), !mentions.isEmpty());
}

void TestProfileEditor::scrolledNumberIsSaved() {
    // The arrow below the question count shows 11 instead of 10: 11 is what is saved.
    QCOMPARE(SelectedText(List(3)), QStringLiteral("10"));
    List(3)->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(List(3)->indexAt(QPoint(1, 1)).data().toString(), QStringLiteral("11"));
    QCOMPARE(SelectedText(List(3)), QStringLiteral("11"));
    Save();
    QCOMPARE(m_core->db.Profiles[1].QuestionCount, 11);
}

QTEST_MAIN(TestProfileEditor)
#include "tst_profileeditor.moc"
