#pragma once
// The database file area ("Загрузить базу данных"): drive, folder and file lists, the path
// box and the buttons to load, save or create a database.

#include "app/appcore.h"

#include <QGroupBox>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QListView;
class QPushButton;
class QSortFilterProxyModel;
class QTreeView;

namespace zet::ui {

class FileArea : public QGroupBox {
    Q_OBJECT
public:
    FileArea(AppCore& core, QWidget* parent);
    enum class Action { Create, Load, Save };
    // Shows the area with the button of the action and refreshes the lists.
    void open(Action action);

    // Points the folder list at folder, as choosing it there does; the drive list follows.
    void setFolder(const QString& folder);
    // The folder the folder list shows (no trailing separator except at the root).
    QString folder() const { return m_folder; }

    // A drive, a folder or a database file was picked in its list.
    void drivePicked();
    void folderPicked();
    void databaseFilePicked();
    // "Загрузить", "Сохранить", "Создать", "Выйти".
    void loadDatabaseFile();
    void saveDatabaseFile();
    void createDatabaseFile();
    void closeArea();

signals:
    // The current database file changed (loaded, saved elsewhere or created): the
    // main window refreshes its information strip.
    void databaseChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void fillDrives();
    void selectDrive(const QString& rootPath);
    // The folder the folder list starts at for folder: the program's folder or the home folder
    // when folder lies in them, else its volume.
    QString treeRootOf(const QString& folder) const;
    void showFolderInTree();
    // The full path named by the path box; a relative name is taken inside the folder shown.
    QString targetPath() const;
    // Asks before a file that is not a test database is replaced; false cancels.
    bool mayReplace(const QString& path, bool* replaceForeign);
    // Asks before a database file is replaced by a new empty one; false cancels.
    bool mayReplaceDatabase(const QString& path);
    // Writes db to its path; on failure says why and returns false.
    bool write(Database& db, bool replaceForeign);
    // The steps after every action: close the area, show the database, remember it.
    void finish();

    AppCore& m_core;
    QString m_folder;
    bool m_syncing = false;

    QComboBox* m_driveList = nullptr;
    QTreeView* m_folderTree = nullptr;
    QListView* m_databaseFileList = nullptr;
    QLineEdit* m_pathBox = nullptr;
    QPushButton* m_loadButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_createButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QFileSystemModel* m_folderModel = nullptr;
    QFileSystemModel* m_fileModel = nullptr;
    QSortFilterProxyModel* m_filesShown = nullptr; // m_fileModel without folders
};

} // namespace zet::ui
