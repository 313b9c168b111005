#include "app/appcore.h"
#include "coreaccess.h"
#include "ui/authoring/profileeditor.h"
#include "ui/authoring/questioneditor.h"
#include "ui/shell/messages.h"
#include "ui/shell/uikit.h"

#include "testdata.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace zet;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// Types text the way a keyboard does, Cyrillic included.
void type(QWidget* w, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QString selectedText(const QListWidget* list) {
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
    void firstProfileShownAtStart();
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
    void timeInMinutes_data();
    void timeInMinutes();
    void frameColour_data();
    void frameColour();

private:
    template <typename T> T* find(const QString& name) {
        T* w = m_editor->findChild<T*>(name);
        [&] { QVERIFY2(w, qPrintable(QStringLiteral("no control ") + name)); }();
        return w;
    }
    QListWidget* list(const char* name) { return find<QListWidget>(QString::fromLatin1(name)); }
    // The theme list of question slot n (1..15).
    QListWidget* slotList(int n) { return find<QListWidget>(QStringLiteral("slotThemeList_%1").arg(n)); }
    QLineEdit* line(const QString& name) { return find<QLineEdit>(name); }
    void showProfile(int p) { list("profileList")->setCurrentRow(p - 1); }
    void choose(QListWidget* numbers, int value) {
        numbers->setCurrentItem(numbers->findItems(QString::number(value), Qt::MatchExactly).value(0));
    }
    void save() { QTest::mouseClick(find<QPushButton>(QStringLiteral("saveButton")), Qt::LeftButton); }
    QLabel* hint() { return find<QLabel>(QStringLiteral("thresholdHint")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppCore> m_core;
    std::unique_ptr<QWidget> m_surface;
    ui::ProfileEditor* m_editor = nullptr;
    QStringList m_messages;
};

void TestProfileEditor::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_core = testing::newTestCore(*m_dir, 3, QDate(2024, 5, 13));
    QVERIFY(m_core);

    m_messages.clear();
    ui::hooks().message = [this](const QString& text) { m_messages << text; };
    m_surface = std::make_unique<QWidget>();
    m_surface->resize(1200, 800);
    m_editor = new ui::ProfileEditor(*m_core, m_surface.get());
    m_surface->show();
    // What start-up does with this area, then the mode entry.
    m_editor->profilePicked();
    m_editor->enterMode();
}

void TestProfileEditor::cleanup() {
    ui::hooks() = {};
    m_surface.reset();
    m_core.reset();
    m_dir.reset();
}

void TestProfileEditor::newDatabaseShowsDefaultsForEveryProfile() {
    QCOMPARE(m_editor->title(), QStringLiteral("Настройка профиля"));
    QCOMPARE(list("profileList")->count(), 20);
    QCOMPARE(list("questionCountList")->count(), 15);
    QCOMPARE(list("fairMinList")->count(), 15);
    QCOMPARE(slotList(15)->count(), 20);
    for (int p = 20; p >= 1; --p) {
        showProfile(p);
        QCOMPARE(m_editor->editedProfile(), p);
        QCOMPARE(line(QStringLiteral("testNameBox"))->text(), QStringLiteral("Новый тест"));
        QCOMPARE(line(QStringLiteral("profileNameBox"))->text(), QString());
        QCOMPARE(line(QStringLiteral("timeLimitBox"))->text(), QStringLiteral("600"));
        QCOMPARE(selectedText(list("questionCountList")), QStringLiteral("10"));
        QCOMPARE(selectedText(list("excellentMinList")), QStringLiteral("9"));
        QCOMPARE(selectedText(list("goodMinList")), QStringLiteral("7"));
        QCOMPARE(selectedText(list("fairMinList")), QStringLiteral("5"));
        for (int n = 1; n <= kSlotCount; ++n)
            QCOMPARE(selectedText(slotList(n)), QStringLiteral("1"));
        for (int k = 0; k < kGroupCount; ++k) {
            QVERIFY(find<QCheckBox>(QStringLiteral("groupBox_%1").arg(k))->isChecked());
            QCOMPARE(line(QStringLiteral("groupTitleBox_%1").arg(k))->text(), QString());
        }
        QVERIFY(hint()->isHidden());
    }
}

void TestProfileEditor::firstProfileShownAtStart() {
    ui::ProfileEditor fresh(*m_core, m_surface.get());
    auto* time = fresh.findChild<QLineEdit*>(QStringLiteral("timeLimitBox"));
    auto* name = fresh.findChild<QLineEdit*>(QStringLiteral("profileNameBox"));
    QCOMPARE(time->text(), QStringLiteral("600"));
    coreDatabase(*m_core).profiles[1].name = QStringLiteral("Первый");
    fresh.profilePicked();
    QCOMPARE(fresh.editedProfile(), 1);
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
    coreDatabase(*m_core).profiles[6].groups[3] = entry;
    showProfile(6);
    auto* box = find<QCheckBox>(QStringLiteral("groupBox_3"));
    auto* titleBox = line(QStringLiteral("groupTitleBox_3"));
    QCOMPARE(box->isChecked(), ticked);
    QCOMPARE(titleBox->text(), title);
    QCOMPARE(coreDatabase(*m_core).groupNames[3].flag, entry.left(1));
    QCOMPARE(coreDatabase(*m_core).groupNames[3].title, title);
    titleBox->clear();
    type(titleBox, typed);
    save();
    QCOMPARE(coreDatabase(*m_core).profiles[6].groups[3], saved);
    QCOMPARE(coreDatabase(*m_core).profiles[6].groups[4], QStringLiteral("1"));
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
    auto* time = line(QStringLiteral("timeLimitBox"));
    time->clear();
    QCOMPARE(time->palette().color(QPalette::Base), ui::kLightYellow);
    QCOMPARE(time->palette().color(QPalette::Text), QApplication::palette().color(QPalette::WindowText));
    type(time, typed);
    const QPalette system = QApplication::palette();
    QCOMPARE(time->palette().color(QPalette::Base),
             saved != 0 ? system.color(QPalette::Highlight) : ui::kLightYellow);
    save();
    QCOMPARE(coreDatabase(*m_core).profiles[1].timeLimit, saved);
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
    showProfile(2);
    const ExamProfile before = coreDatabase(*m_core).profiles[2];
    const QByteArray fileBefore = fileBytes(coreDatabase(*m_core).databasePath);
    line(QStringLiteral("profileNameBox"))->setText(QStringLiteral("Не сохранится"));
    line(QStringLiteral("testNameBox"))->setText(QStringLiteral("Не сохранится"));
    line(QStringLiteral("timeLimitBox"))->setText(typed);
    save();
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages[0].contains(QStringLiteral("32767")));
    QVERIFY(coreDatabase(*m_core).profiles[2] == before);
    QCOMPARE(coreDatabase(*m_core).databaseHeader[2], QStringLiteral("Новый тест"));
    QCOMPARE(fileBytes(coreDatabase(*m_core).databasePath), fileBefore);
}

void TestProfileEditor::saveSetsNumberAndReloadMatches() {
    Database& db = coreDatabase(*m_core);
    db.profiles[4].number = 9;
    showProfile(4);
    line(QStringLiteral("profileNameBox"))->setText(QStringLiteral("Слесари 4 разряда"));
    line(QStringLiteral("timeLimitBox"))->setText(QStringLiteral("900"));
    choose(list("questionCountList"), 12);
    choose(list("excellentMinList"), 11);
    choose(list("goodMinList"), 8);
    choose(list("fairMinList"), 6);
    for (int n = 1; n <= kSlotCount; ++n)
        choose(slotList(n), n + 5);
    QTest::mouseClick(find<QCheckBox>(QStringLiteral("groupBox_7")), Qt::LeftButton, {}, QPoint(6, 10));
    line(QStringLiteral("groupTitleBox_0"))->setText(QStringLiteral("Общие"));
    save();
    QVERIFY(m_messages.isEmpty());

    const ExamProfile& p = db.profiles[4];
    QCOMPARE(p.number, 4);
    QCOMPARE(p.name, QStringLiteral("Слесари 4 разряда"));
    QCOMPARE(p.timeLimit, 900);
    QCOMPARE(p.questionCount, 12);
    QCOMPARE(p.excellentMin, 11);
    QCOMPARE(p.goodMin, 8);
    QCOMPARE(p.fairMin, 6);
    QCOMPARE(p.slotTheme[1], 6);
    QCOMPARE(p.slotTheme[15], 20);
    QCOMPARE(p.groups[0], QStringLiteral("1Общие"));
    QCOMPARE(p.groups[7], QStringLiteral("0"));

    Database loaded;
    loaded.databasePath = db.databasePath;
    QVERIFY(loaded.loadDatabase().ok());
    for (int i = 1; i <= kProfileCount; ++i)
        QVERIFY2(loaded.profiles[i] == db.profiles[i], qPrintable(QStringLiteral("profile %1").arg(i)));

    // Another profile and back shows what was saved.
    showProfile(5);
    showProfile(4);
    QCOMPARE(selectedText(slotList(15)), QStringLiteral("20"));
    QVERIFY(!find<QCheckBox>(QStringLiteral("groupBox_7"))->isChecked());
}

void TestProfileEditor::listWithoutMatchingItemKeepsStoredValue() {
    Database& db = coreDatabase(*m_core);
    db.profiles[3].questionCount = 0;
    db.profiles[3].slotTheme[2] = 21;
    showProfile(3);
    // The stored values show as they are, marked; the hint names them.
    QCOMPARE(selectedText(list("questionCountList")), QStringLiteral("0 (нет в списке)"));
    QCOMPARE(selectedText(slotList(2)), QStringLiteral("21 (нет в списке)"));
    QCOMPARE(list("questionCountList")->currentRow(), 0);
    QCOMPARE(slotList(2)->currentRow(), 20);
    QCOMPARE(selectedText(slotList(1)), QStringLiteral("1"));
    QVERIFY(hint()->text().contains(QStringLiteral("количество вопросов 0")));
    QVERIFY(hint()->text().contains(QStringLiteral("тема вопроса №2 — 21")));
    choose(slotList(3), 4);
    save();
    QCOMPARE(db.profiles[3].questionCount, 0);
    QCOMPARE(db.profiles[3].slotTheme[2], 21);
    QCOMPARE(db.profiles[3].slotTheme[3], 4);

    // Choosing an item afterwards stores it.
    choose(list("questionCountList"), 15);
    QVERIFY(!hint()->text().contains(QStringLiteral("количество вопросов")));
    save();
    QCOMPARE(db.profiles[3].questionCount, 15);

    // Another profile with listed values shows no marked item.
    showProfile(4);
    QCOMPARE(slotList(2)->count(), kThemeCount);
    QCOMPARE(list("questionCountList")->count(), kSlotCount);
    QVERIFY(!hint()->text().contains(QStringLiteral("Нет в списке")));
}

void TestProfileEditor::testNameLastSaveWins() {
    ui::QuestionEditor questions(*m_core, m_surface.get());
    auto* questionTestName = questions.findChild<QLineEdit*>(QStringLiteral("testNameBox"));
    auto* profileTestName = line(QStringLiteral("testNameBox"));

    profileTestName->setText(QStringLiteral("Имя из профилей"));
    save();
    QCOMPARE(coreDatabase(*m_core).databaseHeader[2], QStringLiteral("Имя из профилей"));

    questions.enterMode();
    QCOMPARE(questionTestName->text(), QStringLiteral("Имя из профилей"));
    questionTestName->setText(QStringLiteral("Имя из вопросов"));
    QTest::mouseClick(questions.findChild<QPushButton*>(QStringLiteral("saveButton")), Qt::LeftButton);
    QCOMPARE(coreDatabase(*m_core).databaseHeader[2], QStringLiteral("Имя из вопросов"));

    // A profile shown again shows the current name; saving it from here wins again.
    showProfile(2);
    QCOMPARE(profileTestName->text(), QStringLiteral("Имя из вопросов"));
    profileTestName->setText(QStringLiteral("Последнее"));
    save();
    Database loaded;
    loaded.databasePath = coreDatabase(*m_core).databasePath;
    QVERIFY(loaded.loadDatabase().ok());
    QCOMPARE(loaded.databaseHeader[2], QStringLiteral("Последнее"));
}

void TestProfileEditor::selectionSurvivesReopening() {
    coreDatabase(*m_core).profiles[5].name = QStringLiteral("Пятый");
    showProfile(5);
    line(QStringLiteral("profileNameBox"))->setText(QStringLiteral("набрано, не сохранено"));
    m_editor->hide();
    m_editor->enterMode();
    QCOMPARE(m_editor->editedProfile(), 5);
    QCOMPARE(selectedText(list("profileList")), QStringLiteral("5"));
    QCOMPARE(line(QStringLiteral("profileNameBox"))->text(), QStringLiteral("Пятый"));
}

void TestProfileEditor::failedSaveNamesFileAndKeepsModel() {
    Database& db = coreDatabase(*m_core);
    const QString path = m_dir->filePath(QStringLiteral("no-such-folder/Data.zet"));
    db.databasePath = path;
    line(QStringLiteral("profileNameBox"))->setText(QStringLiteral("Только в памяти"));
    save();
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].contains(path), qPrintable(m_messages[0]));
    QCOMPARE(db.profiles[1].name, QStringLiteral("Только в памяти"));
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
    QVERIFY(hint()->isHidden());
    // The hint follows the lists as they change, before any save.
    choose(list("questionCountList"), count);
    choose(list("excellentMinList"), excellent);
    choose(list("goodMinList"), good);
    choose(list("fairMinList"), fair);
    QCOMPARE(hint()->isVisible(), !mentions.isEmpty());
    if (!mentions.isEmpty())
        QVERIFY2(hint()->text().contains(mentions), qPrintable(hint()->text()));

    // It blocks nothing.
    save();
    QCOMPARE(coreDatabase(*m_core).profiles[1].goodMin, good);
    QVERIFY(m_messages.isEmpty());

    // A profile in order clears it.
    showProfile(2);
    QVERIFY(hint()->isHidden());
    showProfile(1);
    QCOMPARE(hint()->isVisible(), !mentions.isEmpty());
}

void TestProfileEditor::scrolledNumberIsSaved() {
    // The arrow below the question count shows 11 instead of 10: 11 is what is saved.
    QCOMPARE(selectedText(list("questionCountList")), QStringLiteral("10"));
    list("questionCountList")->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(list("questionCountList")->indexAt(QPoint(1, 1)).data().toString(), QStringLiteral("11"));
    QCOMPARE(selectedText(list("questionCountList")), QStringLiteral("11"));
    save();
    QCOMPARE(coreDatabase(*m_core).profiles[1].questionCount, 11);
}

void TestProfileEditor::timeInMinutes_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("hint");
    QTest::newRow("ten seconds") << "10"
                                 << "= 0 мин 10 с";
    QTest::newRow("ten minutes") << "600"
                                 << "= 10 мин 0 с";
    QTest::newRow("with blanks") << " 9 0 "
                                 << "= 1 мин 30 с";
    QTest::newRow("largest") << "32767"
                             << "= 546 мин 7 с";
    QTest::newRow("too large") << "32768"
                               << "";
    QTest::newRow("fraction") << "90.5"
                              << "";
    QTest::newRow("letters") << "десять"
                             << "";
    QTest::newRow("zero") << "0"
                          << "";
}

void TestProfileEditor::timeInMinutes() {
    QFETCH(QString, typed);
    QFETCH(QString, hint);
    auto* box = find<QLineEdit>(QStringLiteral("timeLimitBox"));
    auto* label = find<QLabel>(QStringLiteral("timeLimitHint"));
    box->setText(typed);
    QCOMPARE(label->text(), hint);
    // Shown only: what a save stores is the seconds typed.
    QCOMPARE(box->text(), typed);
    QVERIFY(label->geometry().right() < find<QWidget>(QStringLiteral("groupBox_0"))->geometry().left());
}

void TestProfileEditor::frameColour_data() {
    QTest::addColumn<bool>("questions");
    QTest::newRow("profile editor") << false;
    QTest::newRow("question editor") << true;
}

void TestProfileEditor::frameColour() {
    QFETCH(bool, questions);
    QGroupBox* frame = m_editor;
    if (questions) {
        frame = new ui::QuestionEditor(*m_core, m_surface.get());
        frame->show();
    }
    const QImage image = frame->grab().toImage();
    // Inside the frame, below and left of every label and box.
    const QPoint inside(ui::twips(120), ui::twips(9950));
    QCOMPARE(image.pixelColor(inside), QColor(128, 128, 255));
}

QTEST_MAIN(TestProfileEditor)
#include "tst_profileeditor.moc"
