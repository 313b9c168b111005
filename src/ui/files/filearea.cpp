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

    m_drive1 = new QComboBox(this);
    m_drive1->setObjectName(QStringLiteral("Drive1"));
    m_drive1->setAccessibleName(QStringLiteral("Диск"));
    placeTwips(m_drive1, 360, 405, 6000, 375);

    m_dirModel = new QFileSystemModel(this);
    m_dirModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_dir1 = new QTreeView(this);
    m_dir1->setObjectName(QStringLiteral("Dir1"));
    m_dir1->setAccessibleName(QStringLiteral("Папка"));
    m_dir1->setModel(m_dirModel);
    for (int column = 1; column < m_dirModel->columnCount(); ++column)
        m_dir1->hideColumn(column);
    m_dir1->setHeaderHidden(true);
    m_dir1->setSortingEnabled(true);
    m_dir1->sortByColumn(0, Qt::AscendingOrder);
    m_dir1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_dir1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    placeTwips(m_dir1, 360, 900, 6000, 7380);

    m_fileModel = new QFileSystemModel(this);
    m_fileModel->setFilter(QDir::Files | QDir::NoDotAndDotDot);
    m_fileModel->setNameFilters({QStringLiteral("*.zet")});
    m_fileModel->setNameFilterDisables(false);
    m_file1 = new QListView(this);
    m_file1->setObjectName(QStringLiteral("File1"));
    m_file1->setAccessibleName(QStringLiteral("Файлы баз данных"));
    m_filesShown = new DatabaseFilesOnly(this);
    m_filesShown->setSourceModel(m_fileModel);
    m_file1->setModel(m_filesShown);
    m_file1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_file1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    placeTwips(m_file1, 6600, 405, 7515, 7875);

    m_text24 = new QLineEdit(this);
    m_text24->setObjectName(QStringLiteral("Text24"));
    m_text24->setAccessibleName(QStringLiteral("Путь к файлу базы данных"));
    placeTwips(m_text24, 360, 8520, 13755, 375);

    m_command5 = makeButton(this, QStringLiteral("Command5"), QStringLiteral("Загрузить"), 10215, 9150);
    m_command6 = makeButton(this, QStringLiteral("Command6"), QStringLiteral("Сохранить"), 10215, 9150);
    m_command7 = makeButton(this, QStringLiteral("Command7"), QStringLiteral("Создать"), 10215, 9150);
    m_command8 = makeButton(this, QStringLiteral("Command8"), QStringLiteral("Выйти"), 12315, 9150);

    connect(m_drive1, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_syncing)
            drive1Change();
    });
    connect(m_dir1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (m_syncing || !index.isValid())
                    return;
                m_folder = cleanFolder(m_dirModel->filePath(index));
                dir1Change();
            });
    // A click on the folder already chosen refreshes the file list and the path as well.
    connect(m_dir1, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        if (cleanFolder(m_dirModel->filePath(index)) == m_folder)
            dir1Change();
    });
    // While the folder list is still being read, keep the chosen folder in view.
    connect(m_dirModel, &QFileSystemModel::directoryLoaded, this, [this](const QString& path) {
        if (m_folder.startsWith(path) && m_dir1->currentIndex().isValid())
            m_dir1->scrollTo(m_dir1->currentIndex(), QAbstractItemView::PositionAtCenter);
    });
    connect(m_file1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (!m_syncing && index.isValid())
                    file1Click();
            });
    connect(m_file1, &QListView::clicked, this, [this] { file1Click(); });
    connect(m_command5, &QPushButton::clicked, this, &FileArea::command5Click);
    connect(m_command6, &QPushButton::clicked, this, &FileArea::command6Click);
    connect(m_command7, &QPushButton::clicked, this, &FileArea::command7Click);
    connect(m_command8, &QPushButton::clicked, this, &FileArea::command8Click);

    hide();
}

void FileArea::open(Action action) {
    if (m_folder.isEmpty()) {
        // The first opening starts at the folder of the current database.
        const QFileInfo current(m_core.database().databasePath);
        if (!m_core.database().databasePath.isEmpty() && current.absoluteDir().exists())
            m_folder = cleanFolder(current.absolutePath());
        else if (!m_core.database().programFolder.isEmpty() && QFileInfo(m_core.database().programFolder).isDir())
            m_folder = cleanFolder(m_core.database().programFolder);
        else
            m_folder = cleanFolder(QDir::homePath());
    }
    fillDrives();
    showFolderInDir1();

    m_command5->setVisible(action == Action::Load);
    m_command6->setVisible(action == Action::Save);
    m_command7->setVisible(action == Action::Create);
    show();
    raise();
    dir1Change();
}

void FileArea::setFolder(const QString& folder) {
    m_folder = cleanFolder(folder);
    fillDrives();
    showFolderInDir1();
    dir1Change();
}

void FileArea::fillDrives() {
    const QList<Volume> volumes = userVolumes({QDir::homePath(), m_core.database().programFolder, m_folder});
    m_syncing = true;
    m_drive1->clear();
    for (const Volume& volume : volumes)
        m_drive1->addItem(volume.caption, volume.rootPath);
    m_syncing = false;
}

void FileArea::selectDrive(const QString& rootPath) {
    const int index = m_drive1->findData(rootPath);
    m_syncing = true;
    m_drive1->setCurrentIndex(index);
    m_syncing = false;
}

void FileArea::showFolderInDir1() {
    const QString driveRoot = volumeRootOf(m_folder);
    selectDrive(driveRoot);
    m_syncing = true;
    m_dirModel->setRootPath(driveRoot);
    // The drive's own folder is the first item, so that it can be chosen too.
    m_dir1->setRootIndex(m_dirModel->index(driveRoot).parent());
    const QModelIndex current = m_dirModel->index(m_folder);
    m_dir1->setCurrentIndex(current);
    m_dir1->expand(current);
    m_dir1->scrollTo(current, QAbstractItemView::PositionAtCenter);
    m_syncing = false;
}

void FileArea::drive1Change() {
    const QString root = m_drive1->currentData().toString();
    if (root.isEmpty())
        return;
    m_folder = cleanFolder(root);
    showFolderInDir1();
    dir1Change();
}

void FileArea::dir1Change() {
    m_syncing = true;
    m_fileModel->setRootPath(m_folder);
    const QModelIndex folder = m_fileModel->index(m_folder);
    static_cast<DatabaseFilesOnly*>(m_filesShown)->setFolder(QDir::cleanPath(m_fileModel->filePath(folder)));
    m_file1->setRootIndex(m_filesShown->mapFromSource(folder));
    m_file1->selectionModel()->clear();
    m_syncing = false;
    m_text24->setText(withTrailingSeparator(m_folder) + kDefaultFileName);
}

void FileArea::file1Click() {
    const QModelIndex current = m_file1->currentIndex();
    if (!current.isValid() || current.parent() != m_file1->rootIndex())
        return;
    m_text24->setText(withTrailingSeparator(m_folder) +
                      m_fileModel->fileName(m_filesShown->mapToSource(current)));
}

void FileArea::command5Click() {
    const QModelIndexList selected = m_file1->selectionModel()->selectedIndexes();
    if (selected.isEmpty() || selected.first().parent() != m_file1->rootIndex()) {
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

void FileArea::command6Click() {
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

void FileArea::command7Click() {
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

void FileArea::command8Click() {
    hide();
}

void FileArea::mousePressEvent(QMouseEvent* event) {
    QGroupBox::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        hide();
}

QString FileArea::targetPath() const {
    const QString text = m_text24->text();
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
