#include "app/appcore.h"
#include "coreaccess.h"
#include "ui/authoring/questioneditor.h"
#include "ui/shell/messages.h"

#include "testdata.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

using namespace zet;

namespace {

const QString kFlagsAll = QStringLiteral("1111111111");

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace

class TestQuestionEditor : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void newDatabaseShowsAllBoxesTicked();
    void saveStoresFlagsAndText_data();
    void saveStoresFlagsAndText();
    void showStoredValue_data();
    void showStoredValue();
    void shortValueSavedBehindTenFlags();
    void listsShowTheCrossing();
    void enterModeStartsAtThemeOneQuestionOne();
    void saveRebuildsEveryThemeOrder();
    void reloadEqualsWhatWasSaved();
    void failedSaveNamesFileAndKeepsModel_data();
    void failedSaveNamesFileAndKeepsModel();
    void oneMessageForValuesNotStoredAsTyped();
    void nonBreakingSpaceReachesTheFile();
    void numberShownIsNumberSelected_data();
    void numberShownIsNumberSelected();

private:
    template <typename T> T* find(const QString& name) {
        T* w = m_editor->findChild<T*>(name);
        [&] { QVERIFY2(w, qPrintable(QStringLiteral("no control ") + name)); }();
        return w;
    }
    QPlainTextEdit* box(const char* name) { return find<QPlainTextEdit>(QString::fromLatin1(name)); }
    QCheckBox* check(int k) { return find<QCheckBox>(QStringLiteral("groupBox_%1").arg(k)); }
    QString boxesShown();
    void setBoxes(const QString& flags);
    void select(int theme, int question);
    void save() { QTest::mouseClick(find<QPushButton>(QStringLiteral("saveButton")), Qt::LeftButton); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppCore> m_core;
    std::unique_ptr<QWidget> m_surface;
    ui::QuestionEditor* m_editor = nullptr;
    QStringList m_messages;
};

void TestQuestionEditor::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_core = testing::newTestCore(*m_dir, 7, QDate(2024, 5, 13));
    QVERIFY(m_core);
    coreSelection(*m_core).shuffleAllThemes();

    m_messages.clear();
    ui::hooks().message = [this](const QString& text) { m_messages << text; };
    m_surface = std::make_unique<QWidget>();
    m_surface->resize(1200, 800);
    m_editor = new ui::QuestionEditor(*m_core, m_surface.get());
    m_surface->show();
}

void TestQuestionEditor::cleanup() {
    ui::hooks() = {};
    m_surface.reset();
    m_core.reset();
    m_dir.reset();
}

QString TestQuestionEditor::boxesShown() {
    QString flags;
    for (int k = 0; k < kGroupCount; ++k)
        flags += check(k)->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
    return flags;
}

void TestQuestionEditor::setBoxes(const QString& flags) {
    for (int k = 0; k < kGroupCount; ++k) {
        if (check(k)->isChecked() != (flags.at(k) == QLatin1Char('1')))
            QTest::mouseClick(check(k), Qt::LeftButton, {}, QPoint(6, check(k)->height() / 2));
    }
    QCOMPARE(boxesShown(), flags);
}

void TestQuestionEditor::select(int theme, int question) {
    find<QListWidget>(QStringLiteral("themeList"))->setCurrentRow(theme - 1);
    find<QListWidget>(QStringLiteral("questionList"))->setCurrentRow(question - 1);
}

void TestQuestionEditor::newDatabaseShowsAllBoxesTicked() {
    QVERIFY(m_editor->isHidden());
    m_editor->enterMode();
    QVERIFY(m_editor->isVisible());
    QCOMPARE(m_editor->title(), QStringLiteral("Редактор вопросов"));
    QCOMPARE(find<QLineEdit>(QStringLiteral("testNameBox"))->text(), QStringLiteral("Новый тест"));
    QCOMPARE(find<QListWidget>(QStringLiteral("themeList"))->count(), 20);
    QCOMPARE(find<QListWidget>(QStringLiteral("questionList"))->count(), 100);
    QCOMPARE(find<QListWidget>(QStringLiteral("questionList"))->item(99)->text(), QStringLiteral("100"));
    QCOMPARE(boxesShown(), kFlagsAll);
    QCOMPARE(box("questionTextBox")->toPlainText(), QString());
    QCOMPARE(m_editor->editedTheme(), 1);
    QCOMPARE(m_editor->editedQuestion(), 1);
}

void TestQuestionEditor::saveStoresFlagsAndText_data() {
    QTest::addColumn<QString>("boxes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::newRow("empty text gives exactly ten flags") << kFlagsAll << QString() << kFlagsAll;
    QTest::newRow("no box ticked") << QStringLiteral("0000000000") << QStringLiteral("Вопрос")
                                   << QStringLiteral("0000000000Вопрос");
    QTest::newRow("groups 2 and 9") << QStringLiteral("0010000001") << QStringLiteral("Сколько?")
                                    << QStringLiteral("0010000001Сколько?");
    QTest::newRow("line break stored as CR LF")
        << QStringLiteral("1000000000") << QStringLiteral("Первая\nвторая")
        << QStringLiteral("1000000000Первая\r\nвторая");
}

void TestQuestionEditor::saveStoresFlagsAndText() {
    QFETCH(QString, boxes);
    QFETCH(QString, text);
    QFETCH(QString, stored);
    m_editor->enterMode();
    select(4, 17);
    setBoxes(boxes);
    box("questionTextBox")->setPlainText(text);
    box("rightAnswerBox")->setPlainText(QStringLiteral("верно"));
    box("wrongAnswerBox_1")->setPlainText(QStringLiteral("неверно 1"));
    box("wrongAnswerBox_4")->setPlainText(QStringLiteral("неверно 4"));
    save();

    const Database& db = coreDatabase(*m_core);
    QCOMPARE(db.questions(4, 17, 0), stored);
    QCOMPARE(db.questions(4, 17, 1), QStringLiteral("верно"));
    QCOMPARE(db.questions(4, 17, 2), QStringLiteral("неверно 1"));
    QCOMPARE(db.questions(4, 17, 3), QString());
    QCOMPARE(db.questions(4, 17, 5), QStringLiteral("неверно 4"));
    // The flags pass through the groups' work copy.
    QString work;
    for (const GroupRecord& g : db.groupNames)
        work += g.flag;
    QCOMPARE(work, boxes);
    QVERIFY(m_messages.isEmpty());
}

void TestQuestionEditor::showStoredValue_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("boxes");
    // The question shown before has the boxes 1100110011.
    QTest::newRow("flags and text") << QStringLiteral("0010000000Текст") << QStringLiteral("Текст")
                                    << QStringLiteral("0010000000");
    QTest::newRow("exactly ten") << QStringLiteral("0101010101") << QString() << QStringLiteral("0101010101");
    QTest::newRow("fewer than ten keeps boxes")
        << QStringLiteral("Вопрос") << QStringLiteral("Вопрос") << QStringLiteral("1100110011");
    QTest::newRow("text without flags loses ten characters")
        << QStringLiteral("Какой цвет у неба?") << QStringLiteral(" у неба?") << QStringLiteral("0000000000");
    QTest::newRow("only the character 1 ticks")
        << QStringLiteral("2191x1 1a1Q") << QStringLiteral("Q") << QStringLiteral("0101010101");
    QTest::newRow("CR LF shown as a line break")
        << QStringLiteral("0000000001а\r\nб") << QStringLiteral("а\nб") << QStringLiteral("0000000001");
}

void TestQuestionEditor::showStoredValue() {
    QFETCH(QString, stored);
    QFETCH(QString, text);
    QFETCH(QString, boxes);
    Database& db = coreDatabase(*m_core);
    db.questions(2, 1, 0) = QStringLiteral("1100110011Предыдущий");
    db.questions(2, 2, 0) = stored;
    db.questions(2, 2, 1) = QStringLiteral("ответ");
    db.questions(2, 0, 0) = QStringLiteral("Тема два");
    m_editor->enterMode();
    select(2, 1);
    QCOMPARE(boxesShown(), QStringLiteral("1100110011"));
    box("wrongAnswerBox_2")->setPlainText(QStringLiteral("набрано и не сохранено"));

    find<QListWidget>(QStringLiteral("questionList"))->setCurrentRow(1);
    QCOMPARE(box("questionTextBox")->toPlainText(), text);
    QCOMPARE(boxesShown(), boxes);
    QCOMPARE(box("themeTitleBox")->toPlainText(), QStringLiteral("Тема два"));
    QCOMPARE(box("rightAnswerBox")->toPlainText(), QStringLiteral("ответ"));
    QCOMPARE(box("wrongAnswerBox_2")->toPlainText(), QString());
    QCOMPARE(db.questions(2, 1, 3), QString());
}

void TestQuestionEditor::shortValueSavedBehindTenFlags() {
    coreDatabase(*m_core).questions(1, 4, 0) = QStringLiteral("Короткий");
    m_editor->enterMode();
    select(1, 4);
    QCOMPARE(box("questionTextBox")->toPlainText(), QStringLiteral("Короткий"));
    QCOMPARE(boxesShown(), kFlagsAll);
    save();
    QCOMPARE(coreDatabase(*m_core).questions(1, 4, 0), kFlagsAll + QStringLiteral("Короткий"));
}

void TestQuestionEditor::listsShowTheCrossing() {
    Database& db = coreDatabase(*m_core);
    db.questions(3, 5, 0) = QStringLiteral("0000000001Тема 3, вопрос 5");
    db.questions(3, 6, 0) = QStringLiteral("0000000001Тема 3, вопрос 6");
    db.questions(1, 5, 0) = QStringLiteral("0000000001Тема 1, вопрос 5");
    m_editor->enterMode();
    auto* themeList = find<QListWidget>(QStringLiteral("themeList"));
    auto* questionList = find<QListWidget>(QStringLiteral("questionList"));
    questionList->setCurrentRow(4);
    QCOMPARE(box("questionTextBox")->toPlainText(), QStringLiteral("Тема 1, вопрос 5"));
    themeList->setCurrentRow(2);
    QCOMPARE(m_editor->editedTheme(), 3);
    QCOMPARE(m_editor->editedQuestion(), 5);
    QCOMPARE(box("questionTextBox")->toPlainText(), QStringLiteral("Тема 3, вопрос 5"));
    // The keyboard moves the selection like a click.
    questionList->setFocus();
    QTest::keyClick(questionList, Qt::Key_Down);
    QCOMPARE(m_editor->editedQuestion(), 6);
    QCOMPARE(box("questionTextBox")->toPlainText(), QStringLiteral("Тема 3, вопрос 6"));
}

void TestQuestionEditor::enterModeStartsAtThemeOneQuestionOne() {
    Database& db = coreDatabase(*m_core);
    db.questions(1, 1, 0) = QStringLiteral("0000000000Первый");
    m_editor->enterMode();
    select(6, 40);
    QCOMPARE(m_editor->editedTheme(), 6);
    m_editor->hide();
    db.databaseHeader[2] = QStringLiteral("Другое имя");
    m_editor->enterMode();
    QCOMPARE(m_editor->editedTheme(), 1);
    QCOMPARE(m_editor->editedQuestion(), 1);
    QCOMPARE(find<QListWidget>(QStringLiteral("themeList"))->currentItem()->text(), QStringLiteral("1"));
    QCOMPARE(find<QListWidget>(QStringLiteral("questionList"))->currentItem()->text(), QStringLiteral("1"));
    QCOMPARE(box("questionTextBox")->toPlainText(), QStringLiteral("Первый"));
    QCOMPARE(find<QLineEdit>(QStringLiteral("testNameBox"))->text(), QStringLiteral("Другое имя"));
}

void TestQuestionEditor::saveRebuildsEveryThemeOrder() {
    Database& db = coreDatabase(*m_core);
    auto& order = coreSelection(*m_core).questionOrder;
    QCOMPARE(order[1][0], 0);
    QCOMPARE(order[7][0], 0);
    // Put in memory without a rebuild: the next save of any question must pick it up too.
    db.questions(7, 3, 0) = QStringLiteral("1111111111Из другой темы");

    m_editor->enterMode();
    select(1, 5);
    box("questionTextBox")->setPlainText(QStringLiteral("Новый вопрос"));
    save();
    QCOMPARE(order[1][0], 5);
    QCOMPARE(order[7][0], 3);

    // The draw finds the new question: questions 1..4 of theme 1 are empty and admit nothing.
    const ExamProfile& profile = db.profiles[1];
    int16 wraps = 0;
    QCOMPARE(coreSelection(*m_core).drawQuestion(1, profile, wraps), 5);
}

void TestQuestionEditor::reloadEqualsWhatWasSaved() {
    m_editor->enterMode();
    select(20, 100);
    find<QLineEdit>(QStringLiteral("testNameBox"))->setText(QStringLiteral("Электробезопасность"));
    box("themeTitleBox")->setPlainText(QStringLiteral("Тема двадцать\nвторая строка"));
    setBoxes(QStringLiteral("0110000000"));
    box("questionTextBox")->setPlainText(QStringLiteral("Вопрос сто"));
    const char* answers[] = {"rightAnswerBox", "wrongAnswerBox_1", "wrongAnswerBox_2", "wrongAnswerBox_3",
                             "wrongAnswerBox_4"};
    for (int i = 0; i < 5; ++i)
        box(answers[i])->setPlainText(QStringLiteral("ответ %1").arg(i + 1));
    save();
    QVERIFY(m_messages.isEmpty());

    Database loaded;
    loaded.databasePath = coreDatabase(*m_core).databasePath;
    QVERIFY(loaded.loadDatabase().ok());
    QCOMPARE(loaded.databaseHeader[2], QStringLiteral("Электробезопасность"));
    QCOMPARE(loaded.questions(20, 0, 0), QStringLiteral("Тема двадцать\r\nвторая строка"));
    QCOMPARE(loaded.questions(20, 100, 0), QStringLiteral("0110000000Вопрос сто"));
    for (int p = 1; p <= 5; ++p)
        QCOMPARE(loaded.questions(20, 100, p), QStringLiteral("ответ %1").arg(p));

    // And the editor shows the reloaded values as they were typed.
    coreDatabase(*m_core).loadDatabase();
    select(1, 1);
    select(20, 100);
    QCOMPARE(box("themeTitleBox")->toPlainText(), QStringLiteral("Тема двадцать\nвторая строка"));
    QCOMPARE(boxesShown(), QStringLiteral("0110000000"));
}

void TestQuestionEditor::failedSaveNamesFileAndKeepsModel_data() {
    QTest::addColumn<bool>("foreign");
    QTest::newRow("not a database of this format") << true;
    QTest::newRow("folder does not exist") << false;
}

void TestQuestionEditor::failedSaveNamesFileAndKeepsModel() {
    QFETCH(bool, foreign);
    Database& db = coreDatabase(*m_core);
    const QString path = foreign ? m_dir->filePath(QStringLiteral("notes.zet"))
                                 : m_dir->filePath(QStringLiteral("missing/Data.zet"));
    const QByteArray foreignBytes("these are somebody's notes, not a test database");
    if (foreign) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(foreignBytes);
    }
    db.databasePath = path;

    m_editor->enterMode();
    box("questionTextBox")->setPlainText(QStringLiteral("Несохранённый вопрос"));
    save();
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].contains(path), qPrintable(m_messages[0]));
    QVERIFY(m_messages[0].contains(QStringLiteral("Не удалось")));
    QCOMPARE(db.questions(1, 1, 0), kFlagsAll + QStringLiteral("Несохранённый вопрос"));
    if (foreign)
        QCOMPARE(fileBytes(path), foreignBytes);
    else
        QVERIFY(!QFile::exists(path));
    // The exam sees what memory holds.
    QCOMPARE(coreSelection(*m_core).questionOrder[1][0], 1);
}

void TestQuestionEditor::oneMessageForValuesNotStoredAsTyped() {
    m_editor->enterMode();
    select(2, 3);
    box("rightAnswerBox")->setPlainText(QString(600, QLatin1Char('x')));
    box("wrongAnswerBox_1")->setPlainText(QStringLiteral("ответ ☺"));
    box("questionTextBox")->setPlainText(QString(600, QLatin1Char('q')));
    save();
    QCOMPARE(m_messages.size(), 1);
    // The question text shares its value with the ten group characters.
    QVERIFY2(m_messages[0].contains(QStringLiteral("текст вопроса: обрезано до 488")),
             qPrintable(m_messages[0]));
    QVERIFY2(m_messages[0].contains(QStringLiteral("тема 2, вопрос 3, правильный ответ")),
             qPrintable(m_messages[0]));
    QVERIFY2(m_messages[0].contains(QStringLiteral("тема 2, вопрос 3, неправильный ответ №1")),
             qPrintable(m_messages[0]));
    QVERIFY(m_messages[0].contains(QStringLiteral("498")));

    Database loaded;
    loaded.databasePath = coreDatabase(*m_core).databasePath;
    QVERIFY(loaded.loadDatabase().ok());
    QCOMPARE(loaded.questions(2, 3, 1), QString(498, QLatin1Char('x')));
    QCOMPARE(loaded.questions(2, 3, 2), QStringLiteral("ответ ?"));
    // Memory and the boxes hold what the file holds, so the next save has nothing to report.
    QCOMPARE(coreDatabase(*m_core).questions(2, 3, 0), loaded.questions(2, 3, 0));
    QCOMPARE(coreDatabase(*m_core).questions(2, 3, 2), QStringLiteral("ответ ?"));
    QCOMPARE(box("questionTextBox")->toPlainText(), QString(488, QLatin1Char('q')));
    QCOMPARE(box("rightAnswerBox")->toPlainText(), QString(498, QLatin1Char('x')));
    QCOMPARE(box("wrongAnswerBox_1")->toPlainText(), QStringLiteral("ответ ?"));
    save();
    QCOMPARE(m_messages.size(), 1);

    // The test name box takes no more than one record holds.
    auto* name = find<QLineEdit>(QStringLiteral("testNameBox"));
    name->clear();
    QTest::keyClicks(name, QString(500, QLatin1Char('n')));
    QCOMPARE(name->text().size(), 498);
}

void TestQuestionEditor::nonBreakingSpaceReachesTheFile() {
    m_editor->enterMode();
    box("questionTextBox")->setPlainText(QStringLiteral("Масса 5\u00A0кг?"));
    save();
    // Windows-1251 has the non-breaking space as byte A0: "5", A0, "кг".
    QVERIFY(fileBytes(coreDatabase(*m_core).databasePath).contains(QByteArray("5\xA0\xEA\xE3?")));
    QCOMPARE(coreDatabase(*m_core).questions(1, 1, 0), kFlagsAll + QStringLiteral("Масса 5\u00A0кг?"));
}

void TestQuestionEditor::numberShownIsNumberSelected_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("arrow") << "arrow";
    QTest::newRow("wheel") << "wheel";
    QTest::newRow("key") << "key";
    QTest::newRow("typing") << "typing";
}

void TestQuestionEditor::numberShownIsNumberSelected() {
    QFETCH(QString, way);
    for (int q = 1; q <= 5; ++q)
        coreDatabase(*m_core).questions(1, q, 1) = QStringLiteral("ответ %1").arg(q);
    m_editor->enterMode();
    auto* list = find<QListWidget>(QStringLiteral("questionList"));
    if (way == QLatin1String("arrow")) {
        list->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    } else if (way == QLatin1String("wheel")) {
        // The wheel turns a list that has the keyboard (a clicked one), not one it only passes.
        list->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(list->window()));
        list->setFocus(Qt::MouseFocusReason);
        const QPointF at(list->viewport()->rect().center());
        QWheelEvent wheel(at, list->viewport()->mapToGlobal(at), {}, QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list->viewport(), &wheel);
    } else if (way == QLatin1String("key")) {
        QTest::keyClick(list, Qt::Key_Down);
    } else {
        QTest::keyClick(list, Qt::Key_3);
    }
    const QModelIndex shown = list->indexAt(QPoint(1, 1));
    QVERIFY(shown.row() > 0);
    QCOMPARE(list->selectedItems().size(), 1);
    QCOMPARE(list->selectedItems().front()->text(), shown.data().toString());
    QCOMPARE(m_editor->editedQuestion(), shown.row() + 1);
    QCOMPARE(box("rightAnswerBox")->toPlainText(), QStringLiteral("ответ %1").arg(shown.row() + 1));
}

QTEST_MAIN(TestQuestionEditor)
#include "tst_questioneditor.moc"
