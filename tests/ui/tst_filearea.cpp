#include "app/appcore.h"
#include "coreaccess.h"
#include "ui/files/filearea.h"
#include "ui/files/volumes.h"
#include "ui/shell/messages.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

using namespace zet;
using Action = ui::FileArea::Action;

Q_DECLARE_METATYPE(ui::FileArea::Action)

namespace {

const QDate kToday(2024, 5, 13);

// A database with a recognisable name and one question.
Database makeDatabase(const QString& name) {
    Database db;
    db.newDatabase();
    db.databaseHeader[1] = kVersionMarker;
    db.databaseHeader[2] = name;
    db.databaseHeader[3] = QStringLiteral("Автор ") + name;
    db.databaseHeader[4] = QStringLiteral("01-02-2020");
    db.questions(1, 1, 0) = QStringLiteral("1111111111Вопрос базы ") + name;
    db.profiles[1].questionCount = 3;
    return db;
}

void writeDatabase(const QString& path, const QString& name) {
    Database db = makeDatabase(name);
    db.databasePath = path;
    QVERIFY(db.saveDatabase(true).ok());
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The database stored in a file, or empty headers when it is rejected.
Database storedDatabase(const QString& path) {
    Database db;
    db.databasePath = path;
    db.loadDatabase();
    return db;
}

} // namespace

class TestFileArea : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void buttonsOfEachAction_data();
    void buttonsOfEachAction();
    void pathFromFolder();
    void pathAtTheRoot();
    void folderListChange();
    void loadValidFile();
    void loadRejectedFile();
    void loadWithNothingSelected();
    void saveOverChosenFile();
    void saveRelativeName();
    void createWithCancelledInputs();
    void createWithNames();
    void unwritablePath_data();
    void unwritablePath();
    void foreignFile_data();
    void foreignFile();
    void closing();
    void createAsksBeforeReplacingADatabase_data();
    void createAsksBeforeReplacingADatabase();
    void fileListShowsNoFolders();
    void loadRefusesWhatIsNoFile_data();
    void loadRefusesWhatIsNoFile();
    void userVolumes_data();
    void userVolumes();
    void rootVolumeFirst();
    void startsAtTheProgramFolderSortedByName();

private:
    QString bases() const { return m_dir->filePath(QStringLiteral("bases")); }
    QString inBases(const QString& name) const { return bases() + QLatin1Char('/') + name; }
    // The database path the settings file holds now.
    QString pathInSettings() const {
        QString path;
        return readSettingsFile(coreDatabase(*m_core).settingsPath(), &path).ok ? path : QStringLiteral("<unreadable>");
    }
    void clickFile(const QString& name);
    QString settingsPath() const;
    void checkNothingChanged(bool stillOpen = true);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppCore> m_core;
    std::unique_ptr<QWidget> m_surface;
    ui::FileArea* m_area = nullptr;
    std::unique_ptr<QSignalSpy> m_changed;
    QLineEdit* m_pathBox = nullptr;
    QListView* m_databaseFileList = nullptr;
    QStringList m_messages;
    QStringList m_questions;
    QStringList m_prompts;
    bool m_answerYes = true;
    QStringList m_answers;
    QByteArray m_settingsBefore;
};

void TestFileArea::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("program")));
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("bases/sub")));
    m_core = std::make_unique<AppCore>(nullptr, [] { return kToday; });
    coreDatabase(*m_core) = makeDatabase(QStringLiteral("Текущая"));
    coreDatabase(*m_core).programFolder = m_dir->filePath(QStringLiteral("program")) + QLatin1Char('/');
    coreDatabase(*m_core).databasePath = coreDatabase(*m_core).programFolder + QStringLiteral("Data.zet");
    QVERIFY(coreDatabase(*m_core).saveDatabase().ok());
    QVERIFY(coreDatabase(*m_core).saveSettings().ok);
    m_settingsBefore = readBytes(settingsPath());

    m_surface = std::make_unique<QWidget>();
    m_surface->resize(1000, 700);
    m_area = new ui::FileArea(*m_core, m_surface.get());
    m_surface->show();
    m_changed = std::make_unique<QSignalSpy>(m_area, &ui::FileArea::databaseChanged);
    m_pathBox = m_area->findChild<QLineEdit*>(QStringLiteral("pathBox"));
    m_databaseFileList = m_area->findChild<QListView*>(QStringLiteral("databaseFileList"));
    QVERIFY(m_pathBox && m_databaseFileList);

    m_messages.clear();
    m_questions.clear();
    m_prompts.clear();
    m_answerYes = true;
    m_answers.clear();
    ui::hooks().message = [this](const QString& text) { m_messages << text; };
    ui::hooks().yesNo = [this](const QString& text) {
        m_questions << text;
        return m_answerYes;
    };
    ui::hooks().text = [this](const QString& prompt) {
        m_prompts << prompt;
        return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
    };
}

void TestFileArea::cleanup() {
    ui::hooks() = {};
    m_changed.reset();
    m_surface.reset();
    m_core.reset();
    m_dir.reset();
}

QString TestFileArea::settingsPath() const {
    return coreDatabase(*m_core).programFolder + QStringLiteral("zetr100.sys");
}

// Waits until the file list shows name, then clicks it.
void TestFileArea::clickFile(const QString& name) {
    QModelIndex item;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            const auto* model = m_databaseFileList->model();
            for (int row = 0; row < model->rowCount(m_databaseFileList->rootIndex()); ++row) {
                const QModelIndex index = model->index(row, 0, m_databaseFileList->rootIndex());
                if (index.data().toString() == name) {
                    item = index;
                    return true;
                }
            }
            return false;
        }(),
        5000);
    QTest::mouseClick(m_databaseFileList->viewport(), Qt::LeftButton, {},
                      m_databaseFileList->visualRect(item).center());
    QCOMPARE(m_databaseFileList->currentIndex(), item);
}

// After a cancelled or failed action: the database, its path, the strip and the settings
// are as they were, and the area stays open.
void TestFileArea::checkNothingChanged(bool stillOpen) {
    QCOMPARE(coreDatabase(*m_core).databaseHeader[2], QStringLiteral("Текущая"));
    QCOMPARE(coreDatabase(*m_core).questions(1, 1, 0), QStringLiteral("1111111111Вопрос базы Текущая"));
    QCOMPARE(coreDatabase(*m_core).profiles[1].questionCount, int16(3));
    QCOMPARE(coreDatabase(*m_core).databasePath, coreDatabase(*m_core).programFolder + QStringLiteral("Data.zet"));
    QCOMPARE(m_changed->count(), 0);
    QCOMPARE(readBytes(settingsPath()), m_settingsBefore);
    QCOMPARE(m_area->isVisible(), stillOpen);
}

void TestFileArea::buttonsOfEachAction_data() {
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("shown");
    QTest::newRow("Создать новый") << Action::Create << "createButton";
    QTest::newRow("Загрузить") << Action::Load << "loadButton";
    QTest::newRow("Сохранить") << Action::Save << "saveButton";
}

void TestFileArea::buttonsOfEachAction() {
    QFETCH(Action, action);
    QFETCH(QString, shown);
    QVERIFY(!m_area->isVisible());
    m_area->open(action);
    QVERIFY(m_area->isVisible());
    for (const char* name : {"loadButton", "saveButton", "createButton", "closeButton"}) {
        auto* button = m_area->findChild<QPushButton*>(QLatin1String(name));
        QVERIFY(button);
        QCOMPARE(button->isVisible(), QLatin1String(name) == shown || QLatin1String(name) == "closeButton");
    }
}

void TestFileArea::pathFromFolder() {
    // The first opening starts in the folder of the current database.
    m_area->open(Action::Save);
    QCOMPARE(m_area->folder(), QDir::cleanPath(coreDatabase(*m_core).programFolder));
    QCOMPARE(m_pathBox->text(), coreDatabase(*m_core).programFolder + QStringLiteral("Data.zet"));

    m_area->setFolder(bases());
    QCOMPARE(m_pathBox->text(), inBases(QStringLiteral("Data.zet")));
    m_area->setFolder(bases() + QStringLiteral("/sub/"));
    QCOMPARE(m_pathBox->text(), inBases(QStringLiteral("sub/Data.zet")));

    // Each opening recomputes the path from the folder, which the area keeps.
    m_area->closeArea();
    m_pathBox->setText(QStringLiteral("/elsewhere/x.zet"));
    m_area->open(Action::Create);
    QCOMPARE(m_pathBox->text(), inBases(QStringLiteral("sub/Data.zet")));
}

void TestFileArea::pathAtTheRoot() {
    m_area->open(Action::Save);
    m_area->setFolder(QStringLiteral("/"));
    QCOMPARE(m_area->folder(), QStringLiteral("/"));
    QCOMPARE(m_pathBox->text(), QStringLiteral("/Data.zet"));
    auto* driveList = m_area->findChild<QComboBox*>(QStringLiteral("driveList"));
    QVERIFY(driveList);
    QCOMPARE(driveList->currentData().toString(), QStringLiteral("/"));
}

void TestFileArea::folderListChange() {
    writeDatabase(inBases(QStringLiteral("sub/inner.zet")), QStringLiteral("Внутри"));
    m_area->open(Action::Load);
    m_area->setFolder(bases());
    auto* folderTree = m_area->findChild<QTreeView*>(QStringLiteral("folderTree"));
    QVERIFY(folderTree);
    const auto* model = static_cast<const QFileSystemModel*>(folderTree->model());
    QCOMPARE(model->filePath(folderTree->currentIndex()), bases());

    // Choosing the subfolder in the folder list: the file list and the path follow.
    folderTree->setCurrentIndex(model->index(inBases(QStringLiteral("sub"))));
    QCOMPARE(m_area->folder(), inBases(QStringLiteral("sub")));
    QCOMPARE(m_pathBox->text(), inBases(QStringLiteral("sub/Data.zet")));
    clickFile(QStringLiteral("inner.zet"));
    QCOMPARE(m_pathBox->text(), inBases(QStringLiteral("sub/inner.zet")));
}

void TestFileArea::loadValidFile() {
    writeDatabase(inBases(QStringLiteral("a.zet")), QStringLiteral("Первая"));
    writeDatabase(inBases(QStringLiteral("b.zet")), QStringLiteral("Химия"));
    writeBytes(inBases(QStringLiteral("notes.txt")), "not a database");
    m_area->open(Action::Load);
    m_area->setFolder(bases());
    clickFile(QStringLiteral("b.zet"));
    QCOMPARE(m_pathBox->text(), inBases(QStringLiteral("b.zet")));
    QTRY_COMPARE(m_databaseFileList->model()->rowCount(m_databaseFileList->rootIndex()),
                 2); // only *.zet are listed

    m_area->loadDatabaseFile();

    QVERIFY(m_messages.isEmpty());
    QCOMPARE(coreDatabase(*m_core).databasePath, inBases(QStringLiteral("b.zet")));
    QCOMPARE(coreDatabase(*m_core).databaseHeader[2], QStringLiteral("Химия"));
    QCOMPARE(coreDatabase(*m_core).questions(1, 1, 0), QStringLiteral("1111111111Вопрос базы Химия"));
    QCOMPARE(m_changed->count(), 1);
    QVERIFY(!m_area->isVisible());
    QCOMPARE(pathInSettings(), inBases(QStringLiteral("b.zet")));
}

void TestFileArea::loadRejectedFile() {
    writeBytes(inBases(QStringLiteral("old.zet")), QByteArray(1200, 'x'));
    m_area->open(Action::Load);
    m_area->setFolder(bases());
    clickFile(QStringLiteral("old.zet"));
    m_area->loadDatabaseFile();

    QCOMPARE(m_messages, QStringList{QStringLiteral("Неправильная версия файла!")});
    // The rest of the database stays; the rejected path becomes the current one.
    QCOMPARE(coreDatabase(*m_core).databaseHeader[2], QStringLiteral("Текущая"));
    QCOMPARE(coreDatabase(*m_core).questions(1, 1, 0), QStringLiteral("1111111111Вопрос базы Текущая"));
    QVERIFY(coreDatabase(*m_core).databaseHeader[1] != kVersionMarker);
    QCOMPARE(coreDatabase(*m_core).databasePath, inBases(QStringLiteral("old.zet")));
    QCOMPARE(m_changed->count(), 1);
    QVERIFY(!m_area->isVisible());
    QCOMPARE(pathInSettings(), inBases(QStringLiteral("old.zet")));
}

void TestFileArea::loadWithNothingSelected() {
    writeDatabase(inBases(QStringLiteral("a.zet")), QStringLiteral("Первая"));
    m_area->open(Action::Load);
    m_area->setFolder(bases());
    m_area->loadDatabaseFile();
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages.first().contains(QStringLiteral("Выберите")));
    checkNothingChanged();

    // A file chosen in another folder is no choice once the folder has changed.
    clickFile(QStringLiteral("a.zet"));
    m_area->setFolder(inBases(QStringLiteral("sub")));
    m_area->loadDatabaseFile();
    QCOMPARE(m_messages.size(), 2);
    checkNothingChanged();
}

void TestFileArea::saveOverChosenFile() {
    writeDatabase(inBases(QStringLiteral("old.zet")), QStringLiteral("Старая"));
    m_area->open(Action::Save);
    m_area->setFolder(bases());
    clickFile(QStringLiteral("old.zet"));
    m_area->saveDatabaseFile();

    QVERIFY(m_questions.isEmpty()); // a database is replaced without a question
    QVERIFY(m_messages.isEmpty());
    const Database stored = storedDatabase(inBases(QStringLiteral("old.zet")));
    QCOMPARE(stored.databaseHeader[2], QStringLiteral("Текущая"));
    QCOMPARE(stored.questions(1, 1, 0), QStringLiteral("1111111111Вопрос базы Текущая"));
    QCOMPARE(coreDatabase(*m_core).databasePath, inBases(QStringLiteral("old.zet")));
    QCOMPARE(coreDatabase(*m_core).databaseHeader[2], QStringLiteral("Текущая"));
    QCOMPARE(m_changed->count(), 1);
    QVERIFY(!m_area->isVisible());
    QCOMPARE(pathInSettings(), inBases(QStringLiteral("old.zet")));
}

void TestFileArea::saveRelativeName() {
    m_area->open(Action::Save);
    m_area->setFolder(bases());
    m_pathBox->setText(QStringLiteral("копия.zet"));
    m_area->saveDatabaseFile();
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(coreDatabase(*m_core).databasePath, inBases(QStringLiteral("копия.zet")));
    QCOMPARE(storedDatabase(inBases(QStringLiteral("копия.zet"))).databaseHeader[2],
             QStringLiteral("Текущая"));
}

void TestFileArea::createWithCancelledInputs() {
    m_area->open(Action::Create);
    m_area->setFolder(bases());
    m_area->createDatabaseFile();

    QCOMPARE(m_prompts,
             (QStringList{QStringLiteral("Введите имя теста:"), QStringLiteral("Введите имя автора:")}));
    QVERIFY(m_messages.isEmpty());
    const QString path = inBases(QStringLiteral("Data.zet"));
    QCOMPARE(coreDatabase(*m_core).databasePath, path);
    // The database in memory and the one in the file.
    for (const Database& stored : {coreDatabase(*m_core), storedDatabase(path)}) {
        QCOMPARE(stored.databaseHeader[1], kVersionMarker);
        QCOMPARE(stored.databaseHeader[2], QString());
        QCOMPARE(stored.databaseHeader[3], QString());
        QCOMPARE(stored.databaseHeader[4], QStringLiteral("05-13-2024"));
        QCOMPARE(stored.questions(1, 1, 0), QString());
        QCOMPARE(stored.profiles[1].questionCount, int16(10));
        QCOMPARE(stored.profiles[20].number, int16(20));
    }
    QCOMPARE(m_changed->count(), 1);
    QVERIFY(!m_area->isVisible());
    QCOMPARE(pathInSettings(), path);
}

void TestFileArea::createWithNames() {
    m_answers = {QStringLiteral("Физика"), QStringLiteral("Петров П.П.")};
    m_area->open(Action::Create);
    m_area->setFolder(bases());
    m_pathBox->setText(inBases(QStringLiteral("new.zet")));
    m_area->createDatabaseFile();
    const Database stored = storedDatabase(inBases(QStringLiteral("new.zet")));
    QCOMPARE(stored.databaseHeader[2], QStringLiteral("Физика"));
    QCOMPARE(stored.databaseHeader[3], QStringLiteral("Петров П.П."));
    QCOMPARE(coreDatabase(*m_core).databaseHeader[2], QStringLiteral("Физика"));
    QCOMPARE(coreDatabase(*m_core).databasePath, inBases(QStringLiteral("new.zet")));
}

void TestFileArea::unwritablePath_data() {
    QTest::addColumn<bool>("create");
    QTest::addColumn<QString>("target");
    for (bool create : {false, true}) {
        const char* action = create ? "create" : "save";
        QTest::addRow("%s: missing folder", action) << create << "missing/x.zet";
        QTest::addRow("%s: a folder", action) << create << "sub";
        QTest::addRow("%s: below a file", action) << create << "plain.zet/x.zet";
    }
}

void TestFileArea::unwritablePath() {
    QFETCH(bool, create);
    QFETCH(QString, target);
    writeDatabase(inBases(QStringLiteral("plain.zet")), QStringLiteral("Файл"));
    m_area->open(create ? Action::Create : Action::Save);
    m_area->setFolder(bases());
    const QString path = inBases(target);
    m_pathBox->setText(path);
    create ? m_area->createDatabaseFile() : m_area->saveDatabaseFile();

    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.first().contains(QDir::toNativeSeparators(path)), qPrintable(m_messages.first()));
    checkNothingChanged();
    QCOMPARE(coreDatabase(*m_core).databaseHeader[1], kVersionMarker);
    QCOMPARE(m_pathBox->text(), path);
}

void TestFileArea::foreignFile_data() {
    QTest::addColumn<bool>("create");
    QTest::addColumn<bool>("yes");
    QTest::newRow("save, Нет") << false << false;
    QTest::newRow("save, Да") << false << true;
    QTest::newRow("create, Нет") << true << false;
    QTest::newRow("create, Да") << true << true;
}

void TestFileArea::foreignFile() {
    QFETCH(bool, create);
    QFETCH(bool, yes);
    const QString path = inBases(QStringLiteral("notes.zet"));
    const QByteArray foreign = "These are my notes, not a test database.";
    writeBytes(path, foreign);
    m_answerYes = yes;
    m_area->open(create ? Action::Create : Action::Save);
    m_area->setFolder(bases());
    clickFile(QStringLiteral("notes.zet"));
    create ? m_area->createDatabaseFile() : m_area->saveDatabaseFile();

    QCOMPARE(m_questions.size(), 1);
    QVERIFY(m_questions.first().contains(QDir::toNativeSeparators(path)));
    QVERIFY(m_messages.isEmpty());
    if (!yes) {
        QVERIFY(m_prompts.isEmpty());
        QCOMPARE(readBytes(path), foreign);
        checkNothingChanged();
        return;
    }
    QCOMPARE(m_prompts.size(), create ? 2 : 0);
    const Database stored = storedDatabase(path);
    QCOMPARE(stored.databaseHeader[1], kVersionMarker);
    QCOMPARE(stored.databaseHeader[2], create ? QString() : QStringLiteral("Текущая"));
    QCOMPARE(coreDatabase(*m_core).databasePath, path);
    QCOMPARE(m_changed->count(), 1);
}

void TestFileArea::closing() {
    m_area->open(Action::Load);
    m_area->findChild<QPushButton*>(QStringLiteral("closeButton"))->click();
    QVERIFY(!m_area->isVisible());

    // A click on the area itself, away from its controls, closes it as well.
    m_area->open(Action::Load);
    QTest::mouseClick(m_area, Qt::LeftButton, {}, QPoint(m_area->width() - 5, m_area->height() / 3));
    QVERIFY(!m_area->isVisible());
    checkNothingChanged(false);
}

void TestFileArea::createAsksBeforeReplacingADatabase_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("Нет") << false;
    QTest::newRow("Да") << true;
}

// The path box starts at Data.zet of the folder, often the database just open.
void TestFileArea::createAsksBeforeReplacingADatabase() {
    QFETCH(bool, yes);
    const QString path = inBases(QStringLiteral("Data.zet"));
    writeDatabase(path, QStringLiteral("Две тысячи вопросов"));
    const QByteArray before = readBytes(path);
    m_answerYes = yes;
    m_area->open(Action::Create);
    m_area->setFolder(bases());
    QCOMPARE(m_pathBox->text(), path);
    m_area->createDatabaseFile();

    QCOMPARE(m_questions.size(), 1);
    QVERIFY(m_questions[0].contains(QDir::toNativeSeparators(path)));
    QVERIFY(m_questions[0].contains(QStringLiteral("«Две тысячи вопросов»")));
    if (!yes) {
        QVERIFY(m_prompts.isEmpty());
        QCOMPARE(readBytes(path), before);
        checkNothingChanged();
        return;
    }
    QCOMPARE(storedDatabase(path).databaseHeader[2], QString());
    QCOMPARE(coreDatabase(*m_core).databasePath, path);
}

// A folder once visited stays known to the file model; the list must still show only files.
void TestFileArea::fileListShowsNoFolders() {
    writeDatabase(inBases(QStringLiteral("a.zet")), QStringLiteral("Первая"));
    QVERIFY(QDir().mkpath(inBases(QStringLiteral("folder.zet"))));
    m_area->open(Action::Load);
    m_area->setFolder(inBases(QStringLiteral("sub")));
    m_area->setFolder(inBases(QStringLiteral("folder.zet")));
    m_area->setFolder(bases());
    clickFile(QStringLiteral("a.zet"));
    QTest::qWait(200); // let the model finish reading the folder
    QStringList shown;
    const auto* model = m_databaseFileList->model();
    for (int row = 0; row < model->rowCount(m_databaseFileList->rootIndex()); ++row)
        shown << model->index(row, 0, m_databaseFileList->rootIndex()).data().toString();
    QCOMPARE(shown, QStringList{QStringLiteral("a.zet")});
}

void TestFileArea::loadRefusesWhatIsNoFile_data() {
    QTest::addColumn<bool>("folder");
    QTest::newRow("removed meanwhile") << false;
    QTest::newRow("now a folder") << true;
}

void TestFileArea::loadRefusesWhatIsNoFile() {
    QFETCH(bool, folder);
    const QString path = inBases(QStringLiteral("a.zet"));
    writeDatabase(path, QStringLiteral("Первая"));
    m_area->open(Action::Load);
    m_area->setFolder(bases());
    clickFile(QStringLiteral("a.zet"));
    QVERIFY(QFile::remove(path));
    if (folder)
        QVERIFY(QDir().mkdir(path));
    m_area->loadDatabaseFile();

    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].contains(QDir::toNativeSeparators(path)), qPrintable(m_messages[0]));
    QVERIFY(!m_messages[0].contains(QStringLiteral("Неправильная версия файла!")));
    checkNothingChanged();
}

void TestFileArea::userVolumes_data() {
    QTest::addColumn<QString>("root");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<bool>("offered");
    QTest::newRow("root") << "/" << QByteArray("ext4") << true;
    QTest::newRow("root in a container") << "/" << QByteArray("overlay") << true;
    QTest::newRow("home partition") << "/home" << QByteArray("btrfs") << true;
    QTest::newRow("USB stick") << "/media/user/USB" << QByteArray("vfat") << true;
    QTest::newRow("removable below /run/media") << "/run/media/user/DISK" << QByteArray("exfat") << true;
    QTest::newRow("data disk") << "/mnt/data" << QByteArray("xfs") << true;
    QTest::newRow("network share") << "/mnt/share" << QByteArray("nfs4") << true;
    QTest::newRow("shared memory") << "/dev/shm" << QByteArray("tmpfs") << false;
    QTest::newRow("tmpfs elsewhere") << "/mnt/ram" << QByteArray("tmpfs") << false;
    QTest::newRow("proc") << "/proc" << QByteArray("proc") << false;
    QTest::newRow("cgroups") << "/sys/fs/cgroup" << QByteArray("cgroup2") << false;
    QTest::newRow("snap package") << "/snap/core22/1122" << QByteArray("squashfs") << false;
    QTest::newRow("container layer") << "/var/lib/docker/overlay2/x/merged" << QByteArray("overlay") << false;
    QTest::newRow("runtime folder") << "/run/user/1000" << QByteArray("ext4") << false;
    QTest::newRow("boot partition") << "/boot/efi" << QByteArray("vfat") << true;
}

void TestFileArea::userVolumes() {
    QFETCH(QString, root);
    QFETCH(QByteArray, type);
    QFETCH(bool, offered);
    QCOMPARE(ui::isUserVolume(root, type), offered);
}

void TestFileArea::rootVolumeFirst() {
    const QList<ui::Volume> volumes = ui::userVolumes({m_dir->path()});
    QVERIFY(!volumes.isEmpty());
    QCOMPARE(volumes.first().rootPath, QStringLiteral("/"));
    // The volume of a folder asked for is offered whatever its kind.
    const QString kept = ui::volumeRootOf(m_dir->path());
    QVERIFY(
        std::any_of(volumes.begin(), volumes.end(), [&](const ui::Volume& v) { return v.rootPath == kept; }));
}

void TestFileArea::startsAtTheProgramFolderSortedByName() {
    const QString program = QDir::cleanPath(coreDatabase(*m_core).programFolder);
    for (const QString& name : {QStringLiteral("в.zet"), QStringLiteral("Б.zet"), QStringLiteral("а.zet")})
        writeDatabase(QDir(program).filePath(name), name);
    m_area->open(Action::Load);
    auto* driveList = m_area->findChild<QComboBox*>(QStringLiteral("driveList"));
    auto* folderTree = m_area->findChild<QTreeView*>(QStringLiteral("folderTree"));
    QVERIFY(driveList && folderTree);
    // The places a database is kept come first; the folder list starts at the program folder.
    QCOMPARE(driveList->itemData(0).toString(), program);
    QCOMPARE(driveList->itemData(1).toString(), QDir::cleanPath(QDir::homePath()));
    QCOMPARE(driveList->currentIndex(), 0);
    const auto* folders = static_cast<const QFileSystemModel*>(folderTree->model());
    QCOMPARE(folders->rowCount(folderTree->rootIndex()), 1);
    QCOMPARE(folders->filePath(folders->index(0, 0, folderTree->rootIndex())), program);

    QStringList shown;
    QTRY_COMPARE(m_databaseFileList->model()->rowCount(m_databaseFileList->rootIndex()), 4);
    for (int row = 0; row < 4; ++row)
        shown << m_databaseFileList->model()->index(row, 0, m_databaseFileList->rootIndex()).data().toString();
    QCOMPARE(shown, (QStringList{QStringLiteral("Data.zet"), QStringLiteral("а.zet"), QStringLiteral("Б.zet"),
                                 QStringLiteral("в.zet")}));
}

QTEST_MAIN(TestFileArea)
#include "tst_filearea.moc"
