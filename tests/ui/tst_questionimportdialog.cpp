// The import preview: what the examiner chooses is what the preview shows and what is kept.

#include "testdata.h"
#include "ui/files/questionbankactions.h"
#include "ui/files/questionimportdialog.h"
#include "ui/shell/messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

using namespace zet;
using namespace zet::ui;

class TestQuestionImportDialog : public QObject {
    Q_OBJECT
private slots:
    void previewFollowsTheChoices();
    void questionsWithPicturesOnRequest();
    void importThenExportThroughTheMenuActions();
};

namespace {
QuestionFile giftFile(const QString& text) {
    QuestionFile file;
    file.path = QStringLiteral("/tmp/вопросы.gift");
    file.format = BankFormat::Gift;
    file.bank = parseGift(text);
    return file;
}
} // namespace

void TestQuestionImportDialog::previewFollowsTheChoices() {
    Database db;
    db.newDatabase();
    db.questions(1, 0, 0) = QStringLiteral("Занятая тема");
    db.questions(1, 1, 0) = QStringLiteral("1111111111Вопрос, что уже есть");
    const Database before = db;

    QuestionImportDialog dialog(
        db,
        {giftFile(QStringLiteral("$CATEGORY: Электробезопасность\n"
                                 "::В1:: Напряжение сети? {=220 В ~110 В ~380 В}\n\n"
                                 "::В2:: Сопоставьте {=провод -> медь =шина -> алюминий =щит -> сталь}\n"))});
    auto* target = dialog.findChild<QComboBox*>(QStringLiteral("targetTheme"));
    auto* preview = dialog.findChild<QPlainTextEdit*>(QStringLiteral("preview"));
    QVERIFY(target && preview);

    // By category: the first free theme (2) takes the question; the matching question is named as skipped.
    QCOMPARE(dialog.result().questions(2, 1, 1), QStringLiteral("220 В"));
    QVERIFY(preview->toPlainText().contains(QStringLiteral("В2")));
    // Nothing is imported yet, and the category counts what can be.
    QVERIFY2(preview->toPlainText().startsWith(QStringLiteral("Будет импортировано вопросов: 1")),
             qPrintable(preview->toPlainText()));
    auto* categories = dialog.findChild<QTableWidget*>(QStringLiteral("categoryThemes"));
    QCOMPARE(categories->item(0, 0)->text(), QStringLiteral("Электробезопасность — вопросов: 1 из 2"));

    // The examiner sends the category elsewhere.
    auto* categoryTheme = dialog.findChild<QSpinBox*>(QStringLiteral("categoryTheme_0"));
    QVERIFY(categoryTheme);
    QCOMPARE(categoryTheme->value(), 2);
    categoryTheme->setValue(7);
    QCOMPARE(dialog.result().questions(7, 1, 1), QStringLiteral("220 В"));
    QVERIFY(dialog.result().questions(2, 1, 1).isEmpty());

    target->setCurrentIndex(1); // theme 1: after the question already there
    dialog.findChild<QCheckBox*>(QStringLiteral("groupBox_3"))->setChecked(false);
    QCOMPARE(dialog.result().questions(1, 2, 0), QStringLiteral("1110111111Напряжение сети?"));
    QCOMPARE(dialog.result().questions(1, 1, 0), before.questions(1, 1, 0));
    QCOMPARE(dialog.options().targetTheme, 1);
    QVERIFY(dialog.findChild<QPushButton*>(QStringLiteral("importButton"))->isEnabled());
    // The open database is only read.
    QVERIFY(db.questions(1, 2, 0).isEmpty());
}

void TestQuestionImportDialog::questionsWithPicturesOnRequest() {
    Database db;
    db.newDatabase();
    QuestionImportDialog dialog(db, {giftFile(QStringLiteral("Что на схеме? <img src\\=\"a.png\"> {=Щит ~Пульт}\n"))});
    auto* keep = dialog.findChild<QCheckBox*>(QStringLiteral("keepMediaText"));
    QVERIFY(keep);
    QCOMPARE(dialog.report().importedCount(), 0);
    QVERIFY(!dialog.findChild<QPushButton*>(QStringLiteral("importButton"))->isEnabled());
    keep->setChecked(true);
    QCOMPARE(dialog.result().questions(1, 1, 1), QStringLiteral("Щит"));
    QVERIFY(dialog.findChild<QPlainTextEdit*>(QStringLiteral("preview"))->toPlainText().contains(
        QStringLiteral("вопросы.gift:1 «Что на схеме?»: рисунок или звук")));
    QCOMPARE(dialog.findChild<QTableWidget*>(QStringLiteral("categoryThemes"))->item(0, 0)->text(),
             QStringLiteral("(без категории) — вопросов: 1"));
}

void TestQuestionImportDialog::importThenExportThroughTheMenuActions() {
    QTemporaryDir dir;
    auto core = testing::newTestCore(dir, 1, QDate(2026, 12, 7));
    QVERIFY(core);
    const QString source = dir.filePath(QStringLiteral("банк.gift"));
    QFile file(source);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        QStringLiteral("::Q:: Огнетушитель ОУ заряжен {=углекислотой ~водой ~порошком ~пеной ~песком}\n")
            .toUtf8());
    file.close();
    QStringList messages;
    ui::hooks().message = [&messages](const QString& text) { messages << text; };
    auto& dialogs = questionBankDialogHooks();
    dialogs.openFiles = [&] { return QStringList{source}; };
    dialogs.acceptPreview = [] { return true; };
    const QString exported = dir.filePath(QStringLiteral("выгрузка.xml"));
    dialogs.saveFile = [&](int* filter) {
        *filter = 2; // Moodle XML
        return exported;
    };
    dialogs.exportTheme = [] { return 0; };

    importQuestionsInteractively(nullptr, *core);
    // Stored in memory and written to the database file once.
    QCOMPARE(core->database().questions(1, 1, 1), QStringLiteral("углекислотой"));
    Database onDisk;
    onDisk.databasePath = core->database().databasePath;
    QVERIFY(onDisk.loadDatabase().ok());
    QCOMPARE(onDisk.questions(1, 1, 5), QStringLiteral("песком"));

    exportQuestionsInteractively(nullptr, *core);
    QFile written(exported);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(written.readAll());
    QVERIFY(xml.contains(QStringLiteral("<quiz>")));
    QVERIFY(xml.contains(QStringLiteral("Огнетушитель ОУ заряжен")));
    QCOMPARE(messages.size(), 2);
    ui::hooks() = {};
    dialogs = {};
}

QTEST_MAIN(TestQuestionImportDialog)
#include "tst_questionimportdialog.moc"
