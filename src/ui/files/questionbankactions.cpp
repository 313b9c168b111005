#include "ui/files/questionbankactions.h"

#include "app/appcore.h"
#include "ui/files/questionimportdialog.h"
#include "ui/shell/messages.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>

namespace zet::ui {

namespace {

QString startFolder(const AppCore& core) {
    const QString path = core.database().databasePath;
    return path.isEmpty() ? core.database().programFolder : QFileInfo(path).absolutePath();
}

QStringList chooseImportFiles(QWidget* parent, const AppCore& core) {
    if (questionBankDialogHooks().openFiles)
        return questionBankDialogHooks().openFiles();
    QStringList filters = formatFilters();
    filters.prepend(QStringLiteral("Файлы вопросов (*.gift *.txt *.xml *.aiken)"));
    filters.append(QStringLiteral("Все файлы (*)"));
    return QFileDialog::getOpenFileNames(parent, QStringLiteral("Импорт вопросов"), startFolder(core),
                                         filters.join(QStringLiteral(";;")));
}

QString chooseExportFile(QWidget* parent, const AppCore& core, int* filterIndex) {
    if (questionBankDialogHooks().saveFile)
        return questionBankDialogHooks().saveFile(filterIndex);
    const QStringList filters = formatFilters();
    QString chosen = filters.first();
    const QString path =
        QFileDialog::getSaveFileName(parent, QStringLiteral("Экспорт вопросов"), startFolder(core),
                                     filters.join(QStringLiteral(";;")), &chosen);
    *filterIndex = static_cast<int>(filters.indexOf(chosen));
    return path;
}

int chooseExportTheme(QWidget* parent, const AppCore& core) {
    if (questionBankDialogHooks().exportTheme)
        return questionBankDialogHooks().exportTheme();
    QStringList items{QStringLiteral("Вся база данных")};
    for (int t = 1; t <= kThemeCount; ++t) {
        const QString title = core.database().questions(t, 0, 0).simplified();
        items.append(title.isEmpty() ? QStringLiteral("Тема %1").arg(t)
                                     : QStringLiteral("Тема %1: %2").arg(t).arg(title));
    }
    bool ok = false;
    const QString item =
        QInputDialog::getItem(parent, QStringLiteral("Экспорт вопросов"),
                              QStringLiteral("Какие вопросы записать:"), items, 0, false, &ok);
    return ok ? static_cast<int>(items.indexOf(item)) : -1;
}

} // namespace

QuestionBankDialogHooks& questionBankDialogHooks() {
    static QuestionBankDialogHooks hooks;
    return hooks;
}

void importQuestionsInteractively(QWidget* parent, AppCore& core) {
    const QStringList paths = chooseImportFiles(parent, core);
    if (paths.isEmpty())
        return;
    QuestionImportDialog preview(core.database(), core.readQuestionFiles(paths), parent);
    const bool accepted = questionBankDialogHooks().acceptPreview ? questionBankDialogHooks().acceptPreview()
                                                                  : preview.exec() == QDialog::Accepted;
    if (!accepted || preview.report().importedCount() == 0)
        return;
    const SaveResult saved = core.storeImportedQuestions(preview.result());
    if (!saved.ok()) {
        showMessage(parent, QStringLiteral("Вопросы добавлены в память программы, но базу данных записать не "
                                           "удалось.\n\n%1")
                                .arg(saved.error));
        return;
    }
    showMessage(parent, QStringLiteral("Импортировано вопросов: %1. База данных «%2» сохранена.")
                            .arg(preview.report().importedCount())
                            .arg(QDir::toNativeSeparators(core.database().databasePath)));
}

void exportQuestionsInteractively(QWidget* parent, const AppCore& core) {
    int filterIndex = -1;
    const QString path = chooseExportFile(parent, core, &filterIndex);
    if (path.isEmpty())
        return;
    const int theme = chooseExportTheme(parent, core);
    if (theme < 0)
        return;
    // The filter chosen decides; without one, the file's name does.
    const QList<BankFormat> formats{BankFormat::Gift, BankFormat::Aiken, BankFormat::MoodleXml,
                                    BankFormat::PlainText};
    const BankFormat format = filterIndex >= 0 && filterIndex < formats.size() ? formats.at(filterIndex)
                                                                               : guessFormat(path, QString());
    const ExportResult result = core.exportQuestions(path, format, theme);
    if (!result.ok()) {
        showMessage(parent, result.error);
        return;
    }
    QString text = QStringLiteral("Записано вопросов: %1 (тем: %2) в файл «%3», формат %4.")
                       .arg(result.questionCount)
                       .arg(result.themeCount)
                       .arg(QDir::toNativeSeparators(path), formatTitle(format));
    if (!result.lost.isEmpty())
        text += QStringLiteral("\n\nНе сохранилось в этом формате:\n") + result.lost.join(QLatin1Char('\n'));
    showMessage(parent, text);
}

} // namespace zet::ui
