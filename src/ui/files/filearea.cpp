#include "ui/files/filearea.h"

#include "app/startup.h"
#include "model/regularfile.h"
#include "ui/authoring/editorkit.h"
#include "ui/files/volumes.h"
#include "ui/shell/messages.h"
#include "ui/shell/uikit.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTreeView>

namespace zet::ui {

namespace {

const QString kDefaultFileName = QStringLiteral("Data.zet");

QString cleanFolder(const QString& folder) {
    return QDir::cleanPath(QDir(folder).absolutePath());
}

// The database files of the folder shown, and nothing else. The file model lists a folder
// of which it was once asked the path (a visited subfolder) whatever its filter says, so
// folders are taken out here; only the folder shown and those above it stay, as they hold
// the list.
class DatabaseFilesOnly : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setFolder(const QString& folder) {
        m_folder = folder;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = static_cast<const QFileSystemModel*>(sourceModel());
        const QModelIndex index = files->index(row, 0, parent);
        if (!files->isDir(index))
            return true;
        const QString path = QDir::cleanPath(files->filePath(index));
        return m_folder == path ||
               m_folder.startsWith(path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/'));
    }

private:
    QString m_folder;
};

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text, int left, int top) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    placeTwips(button, left, top, 1800, 495);
    return button;
}

} // namespace

FileArea::FileArea(AppCore& core, QWidget* parent) : QGroupBox(parent), m_core(core) {
    setObjectName(QStringLiteral("FileArea"));
    setTitle(QStringLiteral("Загрузить базу данных"));
    placeTwips(this, 405, 0, 14475, 10065);
    setAutoFillBackground(true); // the area covers whatever lies beneath it

    m_driveList = new QComboBox(this);
    m_driveList->setObjectName(QStringLiteral("driveList"));
    m_driveList->setAccessibleName(QStringLiteral("Диск"));
    placeTwips(m_driveList, 360, 405, 6000, 375);

    m_folderModel = new QFileSystemModel(this);
    m_folderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_folderTree = new QTreeView(this);
    m_folderTree->setObjectName(QStringLiteral("folderTree"));
    m_folderTree->setAccessibleName(QStringLiteral("Папка"));
    m_folderTree->setModel(m_folderModel);
    for (int column = 1; column < m_folderModel->columnCount(); ++column)
        m_folderTree->hideColumn(column);
    m_folderTree->setHeaderHidden(true);
    m_folderTree->setSortingEnabled(true);
    m_folderTree->sortByColumn(0, Qt::AscendingOrder);
    m_folderTree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_folderTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    placeTwips(m_folderTree, 360, 900, 6000, 7380);

    m_fileModel = new QFileSystemModel(this);
    m_fileModel->setFilter(QDir::Files | QDir::NoDotAndDotDot);
    m_fileModel->setNameFilters({QStringLiteral("*.zet")});
    m_fileModel->setNameFilterDisables(false);
    m_databaseFileList = new QListView(this);
    m_databaseFileList->setObjectName(QStringLiteral("databaseFileList"));
    m_databaseFileList->setAccessibleName(QStringLiteral("Файлы баз данных"));
    m_filesShown = new DatabaseFilesOnly(this);
    m_filesShown->setSourceModel(m_fileModel);
    m_databaseFileList->setModel(m_filesShown);
    // By name, capitals and small letters alike; the list follows files that come and go.
    m_filesShown->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_filesShown->sort(0, Qt::AscendingOrder);
    m_databaseFileList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_databaseFileList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    placeTwips(m_databaseFileList, 6600, 405, 7515, 7875);

    m_pathBox = new QLineEdit(this);
    m_pathBox->setObjectName(QStringLiteral("pathBox"));
    m_pathBox->setAccessibleName(QStringLiteral("Путь к файлу базы данных"));
    placeTwips(m_pathBox, 360, 8520, 13755, 375);

    m_loadButton = makeButton(this, QStringLiteral("loadButton"), QStringLiteral("Загрузить"), 10215, 9150);
    m_saveButton = makeButton(this, QStringLiteral("saveButton"), QStringLiteral("Сохранить"), 10215, 9150);
    m_createButton = makeButton(this, QStringLiteral("createButton"), QStringLiteral("Создать"), 10215, 9150);
    m_closeButton = makeButton(this, QStringLiteral("closeButton"), QStringLiteral("Выйти"), 12315, 9150);

    connect(m_driveList, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_syncing)
            drivePicked();
    });
    connect(m_folderTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (m_syncing || !index.isValid())
                    return;
                m_folder = cleanFolder(m_folderModel->filePath(index));
                folderPicked();
            });
    // A click on the folder already chosen refreshes the file list and the path as well.
    connect(m_folderTree, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        if (cleanFolder(m_folderModel->filePath(index)) == m_folder)
            folderPicked();
    });
    // While the folder list is still being read, keep the chosen folder in view.
    connect(m_folderModel, &QFileSystemModel::directoryLoaded, this, [this](const QString& path) {
        if (m_folder.startsWith(path) && m_folderTree->currentIndex().isValid())
            m_folderTree->scrollTo(m_folderTree->currentIndex(), QAbstractItemView::PositionAtCenter);
    });
    connect(m_databaseFileList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (!m_syncing && index.isValid())
                    databaseFilePicked();
            });
    connect(m_databaseFileList, &QListView::clicked, this, [this] { databaseFilePicked(); });
    connect(m_loadButton, &QPushButton::clicked, this, &FileArea::loadDatabaseFile);
    connect(m_saveButton, &QPushButton::clicked, this, &FileArea::saveDatabaseFile);
    connect(m_createButton, &QPushButton::clicked, this, &FileArea::createDatabaseFile);
    connect(m_closeButton, &QPushButton::clicked, this, &FileArea::closeArea);

    hide();
}

void FileArea::open(Action action) {
    if (m_folder.isEmpty()) {
        // The first opening starts at the folder of the current database.
        const QFileInfo current(m_core.database().databasePath);
        if (!m_core.database().databasePath.isEmpty() && current.absoluteDir().exists())
            m_folder = cleanFolder(current.absolutePath());
        else if (!m_core.database().programFolder.isEmpty() &&
                 QFileInfo(m_core.database().programFolder).isDir())
            m_folder = cleanFolder(m_core.database().programFolder);
        else
            m_folder = cleanFolder(QDir::homePath());
    }
    fillDrives();
    showFolderInTree();

    m_loadButton->setVisible(action == Action::Load);
    m_saveButton->setVisible(action == Action::Save);
    m_createButton->setVisible(action == Action::Create);
    show();
    raise();
    folderPicked();
}

void FileArea::setFolder(const QString& folder) {
    m_folder = cleanFolder(folder);
    fillDrives();
    showFolderInTree();
    folderPicked();
}

void FileArea::fillDrives() {
    // The program's folder and the home folder come first: the places a database is kept.
    QList<Volume> places;
    const QString programFolder = m_core.database().programFolder;
    if (!programFolder.isEmpty() && QFileInfo(programFolder).isDir())
        places.append(
            {cleanFolder(programFolder), QStringLiteral("Папка программы: %1")
                                             .arg(QDir::toNativeSeparators(cleanFolder(programFolder)))});
    places.append(
        {cleanFolder(QDir::homePath()),
         QStringLiteral("Домашняя папка: %1").arg(QDir::toNativeSeparators(cleanFolder(QDir::homePath())))});
    places += userVolumes({QDir::homePath(), programFolder, m_folder});
    m_syncing = true;
    m_driveList->clear();
    for (const Volume& place : std::as_const(places)) {
        if (m_driveList->findData(place.rootPath) < 0)
            m_driveList->addItem(place.caption, place.rootPath);
    }
    m_syncing = false;
}

QString FileArea::treeRootOf(const QString& folder) const {
    // The nearest place of the drive list that holds the folder.
    QString root = volumeRootOf(folder);
    for (int i = 0; i < m_driveList->count(); ++i) {
        const QString place = m_driveList->itemData(i).toString();
        const bool holds = folder == place || folder.startsWith(withTrailingSeparator(place));
        if (holds && place.size() > root.size())
            root = place;
    }
    return root;
}

void FileArea::selectDrive(const QString& rootPath) {
    const int index = m_driveList->findData(rootPath);
    m_syncing = true;
    m_driveList->setCurrentIndex(index);
    m_syncing = false;
}

void FileArea::showFolderInTree() {
    const QString driveRoot = treeRootOf(m_folder);
    selectDrive(driveRoot);
    m_syncing = true;
    m_folderModel->setRootPath(driveRoot);
    // The drive's own folder is the first item, so that it can be chosen too.
    m_folderTree->setRootIndex(m_folderModel->index(driveRoot).parent());
    const QModelIndex current = m_folderModel->index(m_folder);
    m_folderTree->setCurrentIndex(current);
    m_folderTree->expand(current);
    m_folderTree->scrollTo(current, QAbstractItemView::PositionAtCenter);
    m_syncing = false;
}

void FileArea::drivePicked() {
    const QString root = m_driveList->currentData().toString();
    if (root.isEmpty())
        return;
    m_folder = cleanFolder(root);
    showFolderInTree();
    folderPicked();
}

void FileArea::folderPicked() {
    m_syncing = true;
    m_fileModel->setRootPath(m_folder);
    const QModelIndex folder = m_fileModel->index(m_folder);
    static_cast<DatabaseFilesOnly*>(m_filesShown)->setFolder(QDir::cleanPath(m_fileModel->filePath(folder)));
    m_databaseFileList->setRootIndex(m_filesShown->mapFromSource(folder));
    m_databaseFileList->selectionModel()->clear();
    m_syncing = false;
    m_pathBox->setText(withTrailingSeparator(m_folder) + kDefaultFileName);
}

void FileArea::databaseFilePicked() {
    const QModelIndex current = m_databaseFileList->currentIndex();
    if (!current.isValid() || current.parent() != m_databaseFileList->rootIndex())
        return;
    m_pathBox->setText(withTrailingSeparator(m_folder) +
                       m_fileModel->fileName(m_filesShown->mapToSource(current)));
}

void FileArea::loadDatabaseFile() {
    const QModelIndexList selected = m_databaseFileList->selectionModel()->selectedIndexes();
    if (selected.isEmpty() || selected.first().parent() != m_databaseFileList->rootIndex()) {
        showMessage(this, QStringLiteral("Выберите в списке файл базы данных, который нужно загрузить."));
        return;
    }
    const QString path =
        withTrailingSeparator(m_folder) + m_fileModel->fileName(m_filesShown->mapToSource(selected.first()));
    // A file gone meanwhile, or a folder, is no database to remember: nothing changes.
    if (const QString problem = regularFileProblem(path); !problem.isEmpty()) {
        showMessage(
            this, QStringLiteral("Файл\n%1\nнельзя загрузить: %2.\n\nОткрытая база данных осталась прежней.")
                      .arg(QDir::toNativeSeparators(path), problem));
        return;
    }
    if (!m_core.loadDatabase(path).ok())
        showMessage(this, QStringLiteral("Неправильная версия файла!"));
    finish();
}

void FileArea::saveDatabaseFile() {
    const QString path = targetPath();
    bool replaceForeign = false;
    if (!mayReplace(path, &replaceForeign))
        return;
    Database saved = m_core.database();
    saved.databasePath = path;
    if (!write(saved, replaceForeign))
        return;
    m_core.replaceDatabase(std::move(saved));
    finish();
}

void FileArea::createDatabaseFile() {
    const QString path = targetPath();
    bool replaceForeign = false;
    if (!mayReplace(path, &replaceForeign) || !mayReplaceDatabase(path))
        return;
    // The new database replaces the current one only once it is on disk.
    Database created = m_core.database();
    created.databasePath = path;
    const QString testName = askText(this, QStringLiteral("Введите имя теста:"));
    const QString author = askText(this, QStringLiteral("Введите имя автора:"));
    created.startNew(testName, author, m_core.today());
    if (!write(created, replaceForeign))
        return;
    m_core.replaceDatabase(std::move(created));
    finish();
}

void FileArea::closeArea() {
    hide();
}

void FileArea::mousePressEvent(QMouseEvent* event) {
    QGroupBox::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        hide();
}

QString FileArea::targetPath() const {
    const QString text = m_pathBox->text();
    if (text.isEmpty() || QDir::isAbsolutePath(text))
        return text;
    return withTrailingSeparator(m_folder) + text;
}

bool FileArea::mayReplace(const QString& path, bool* replaceForeign) {
    *replaceForeign = false;
    if (!isForeignFile(path))
        return true;
    const QString question = QStringLiteral("Файл\n%1\nне является базой тестов. Заменить его базой данных?")
                                 .arg(QDir::toNativeSeparators(path));
    if (!askYesNo(this, question))
        return false;
    *replaceForeign = true;
    return true;
}

bool FileArea::mayReplaceDatabase(const QString& path) {
    if (!QFileInfo(path).isFile() || isForeignFile(path))
        return true;
    Database existing;
    existing.databasePath = path;
    if (!existing.loadDatabase().ok())
        return true; // an empty file: nothing to lose
    const QString question =
        QStringLiteral("Файл\n%1\nуже содержит базу данных «%2».\n\nЗаменить её новой пустой базой данных? "
                       "Все её вопросы и профили будут потеряны.")
            .arg(QDir::toNativeSeparators(path), existing.databaseHeader[2]);
    return askYesNo(this, question);
}

bool FileArea::write(Database& db, bool replaceForeign) {
    const SaveResult result = db.saveDatabase(replaceForeign);
    if (!result.ok()) {
        QString text = QStringLiteral("Не удалось сохранить базу данных в файл\n%1\n\n")
                           .arg(QDir::toNativeSeparators(db.databasePath));
        text += result.error.isEmpty() ? QStringLiteral("Причина неизвестна.") : result.error;
        text += QStringLiteral("\n\nТекущая база данных и её файл остались прежними.");
        showMessage(this, text);
        return false;
    }
    reportSave(this, db, result);
    return true;
}

void FileArea::finish() {
    hide();
    emit databaseChanged();
    const SettingsResult settings = m_core.saveSettings();
    if (!settings.ok)
        showMessage(this,
                    QStringLiteral("Не удалось запомнить файл базы данных для следующего запуска.\n\n") +
                        settings.error);
    // The file and folder models watch their folders, so a new or replaced file shows by itself.
}

} // namespace zet::ui
