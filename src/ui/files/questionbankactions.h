#pragma once
// «Импорт вопросов…» and «Экспорт вопросов…» of the database menu: the file dialogs, the
// import preview and the messages. The reading, placing and writing are the core's.

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace zet {
class AppCore;
}

namespace zet::ui {

// Test hooks: when set, they answer instead of the modal dialogs.
struct QuestionBankDialogHooks {
    // The files chosen for an import (empty: cancelled).
    std::function<QStringList()> openFiles;
    // The file to export to and the index of the format filter chosen (empty: cancelled).
    std::function<QString(int* filterIndex)> saveFile;
    // The theme to export: 0 for the whole database, -1 for cancelled.
    std::function<int()> exportTheme;
    // true: «Импортировать» pressed in the preview.
    std::function<bool()> acceptPreview;
};
QuestionBankDialogHooks& questionBankDialogHooks();

// Asks for question files, shows the preview and, when the examiner agrees, stores the
// questions (the database is written once) and says what was done.
void importQuestionsInteractively(QWidget* parent, AppCore& core);
// Asks for the file, its format and the theme, writes the questions and says what was done.
void exportQuestionsInteractively(QWidget* parent, const AppCore& core);

} // namespace zet::ui
