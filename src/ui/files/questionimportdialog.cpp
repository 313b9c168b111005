#include "ui/files/questionimportdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zet::ui {

namespace {

// "Охрана труда/Общие — вопросов: 3 из 5": the whole path and what of it can be imported.
QString categoryRow(const CategoryPlan& category) {
    const QString title = category.path.isEmpty() ? QStringLiteral("(без категории)") : category.path;
    if (category.importable == category.questionCount)
        return QStringLiteral("%1 — вопросов: %2").arg(title).arg(category.importable);
    return QStringLiteral("%1 — вопросов: %2 из %3").arg(title).arg(category.importable).arg(category.questionCount);
}

} // namespace

QuestionImportDialog::QuestionImportDialog(const Database& current, std::vector<QuestionFile> files,
                                           QWidget* parent)
    : QDialog(parent), m_current(current), m_files(std::move(files)) {
    setObjectName(QStringLiteral("QuestionImportDialog"));
    setWindowTitle(QStringLiteral("Импорт вопросов"));
    resize(720, 560);

    QStringList names;
    for (const QuestionFile& file : m_files)
        names.append(QStringLiteral("%1 (%2)").arg(file.name(), formatTitle(file.format)));
    auto* filesLabel = new QLabel(names.join(QStringLiteral(", ")));
    filesLabel->setWordWrap(true);

    m_targetTheme = new QComboBox;
    m_targetTheme->setObjectName(QStringLiteral("targetTheme"));
    m_targetTheme->addItem(QStringLiteral("Каждая категория — в свою тему (свободные темы по порядку)"), 0);
    for (int t = 1; t <= kThemeCount; ++t) {
        const QString title = current.questions(t, 0, 0).trimmed();
        m_targetTheme->addItem(title.isEmpty() ? QStringLiteral("Тема %1").arg(t)
                                               : QStringLiteral("Тема %1: %2").arg(t).arg(title),
                               t);
    }

    const std::vector<CategoryPlan> plan = planCategories(current, m_files);
    m_categoryThemes = new QTableWidget(static_cast<int>(plan.size()), 2);
    m_categoryThemes->setObjectName(QStringLiteral("categoryThemes"));
    m_categoryThemes->setHorizontalHeaderLabels({QStringLiteral("Категория"), QStringLiteral("Тема")});
    m_categoryThemes->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_categoryThemes->verticalHeader()->hide();
    m_categoryThemes->setMaximumHeight(140);
    for (std::size_t row = 0; row < plan.size(); ++row) {
        const CategoryPlan& category = plan[row];
        auto* name = new QTableWidgetItem;
        name->setToolTip(category.key);
        name->setFlags(Qt::ItemIsEnabled);
        m_categoryThemes->setItem(static_cast<int>(row), 0, name);
        auto* theme = new QSpinBox;
        theme->setObjectName(QStringLiteral("categoryTheme_%1").arg(row));
        theme->setRange(1, kThemeCount);
        theme->setValue(category.theme > 0 ? category.theme : 1);
        m_categoryThemes->setCellWidget(static_cast<int>(row), 1, theme);
        m_categoryThemeBoxes.emplace_back(category.key, theme);
        connect(theme, &QSpinBox::valueChanged, this, &QuestionImportDialog::updatePreview);
    }

    auto* groups = new QGroupBox(QStringLiteral("Вопросы входят в группы"));
    auto* groupGrid = new QGridLayout(groups);
    for (int k = 0; k < kGroupCount; ++k) {
        auto* box = new QCheckBox(QString::number(k + 1));
        box->setObjectName(QStringLiteral("groupBox_%1").arg(k));
        box->setChecked(true);
        groupGrid->addWidget(box, 0, k);
        m_groupBoxes[static_cast<std::size_t>(k)] = box;
        connect(box, &QCheckBox::toggled, this, &QuestionImportDialog::updatePreview);
    }

    m_keepMediaText = new QCheckBox(QStringLiteral("Импортировать вопросы с рисунком или звуком (только текст)"));
    m_keepMediaText->setObjectName(QStringLiteral("keepMediaText"));
    connect(m_keepMediaText, &QCheckBox::toggled, this, &QuestionImportDialog::updatePreview);

    m_preview = new QPlainTextEdit;
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setReadOnly(true);

    auto* buttons = new QDialogButtonBox;
    m_importButton = buttons->addButton(QStringLiteral("Импортировать"), QDialogButtonBox::AcceptRole);
    m_importButton->setObjectName(QStringLiteral("importButton"));
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Файлы:"), filesLabel);
    form->addRow(QStringLiteral("Куда:"), m_targetTheme);
    form->addRow(QStringLiteral("Категории:"), m_categoryThemes);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(groups);
    layout->addWidget(m_keepMediaText);
    layout->addWidget(new QLabel(QStringLiteral("Что будет сделано:")));
    layout->addWidget(m_preview, 1);
    layout->addWidget(buttons);

    connect(m_targetTheme, &QComboBox::currentIndexChanged, this, &QuestionImportDialog::updatePreview);
    updatePreview();
}

ImportOptions QuestionImportDialog::options() const {
    ImportOptions options;
    options.targetTheme = m_targetTheme->currentData().toInt();
    if (options.targetTheme == 0) {
        for (const auto& [key, box] : m_categoryThemeBoxes)
            options.categoryThemes.insert(key, box->value());
    }
    for (int k = 0; k < kGroupCount; ++k)
        options.groups[static_cast<std::size_t>(k)] = m_groupBoxes[static_cast<std::size_t>(k)]->isChecked();
    options.keepMediaText = m_keepMediaText->isChecked();
    return options;
}

void QuestionImportDialog::updatePreview() {
    m_categoryThemes->setEnabled(m_targetTheme->currentData().toInt() == 0);
    const std::vector<CategoryPlan> plan = planCategories(m_current, m_files, options());
    for (std::size_t row = 0; row < plan.size() && row < m_categoryThemeBoxes.size(); ++row)
        m_categoryThemes->item(static_cast<int>(row), 0)->setText(categoryRow(plan[row]));
    m_result = m_current;
    m_report = importQuestions(m_result, m_files, options());
    QString text;
    for (const QuestionFile& file : m_files) {
        if (!file.ok())
            text += file.error + QLatin1Char('\n');
    }
    text += m_report.toText(true);
    m_preview->setPlainText(text);
    m_importButton->setEnabled(m_report.importedCount() > 0);
}

} // namespace zet::ui
