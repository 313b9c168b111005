#pragma once
// «Импорт вопросов»: the preview of an import. The examiner picks the target theme (or lets
// each category take the next free theme) and the groups the questions join, and sees what
// the import would do before anything is stored: questions per theme, the questions skipped
// and why, the warnings. «Импортировать» accepts; the caller then stores the result.

#include "questionbank/questionimport.h"

#include <QDialog>

#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace zet::ui {

class QuestionImportDialog : public QDialog {
    Q_OBJECT
public:
    // files: the question files already read; current: the open database (only read).
    QuestionImportDialog(const Database& current, std::vector<QuestionFile> files, QWidget* parent = nullptr);

    // The options the preview was made with.
    ImportOptions options() const;
    // The database as the import leaves it, and its report (after the last preview).
    const Database& result() const { return m_result; }
    const ImportReport& report() const { return m_report; }

private:
    void updatePreview();

    const Database& m_current;
    std::vector<QuestionFile> m_files;
    Database m_result;
    ImportReport m_report;

    QComboBox* m_targetTheme = nullptr;
    // By category: one row a category with the theme it goes to (the next free ones at first).
    QTableWidget* m_categoryThemes = nullptr;
    std::vector<std::pair<QString, QSpinBox*>> m_categoryThemeBoxes;
    std::array<QCheckBox*, kGroupCount> m_groupBoxes{};
    QCheckBox* m_keepMediaText = nullptr;
    QPlainTextEdit* m_preview = nullptr;
    QPushButton* m_importButton = nullptr;
};

} // namespace zet::ui
