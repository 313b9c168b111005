#include "ui/authoring/questioneditor.h"

#include "ui/authoring/editorkit.h"
#include "ui/shell/uikit.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace zet::ui {

namespace {

constexpr std::array<int, kGroupCount> kGroupBoxLefts{6120, 6795,  7470,  8190,  8865,
                                                      9540, 10260, 10980, 11655, 12330};
constexpr int kGroupBoxTop = 3240;
constexpr int kLabelLeft = 240;

} // namespace

QuestionEditor::QuestionEditor(AppCore& core, QWidget* parent) : QGroupBox(parent), m_core(core) {
    setObjectName(QStringLiteral("QuestionEditor"));
    setTitle(QStringLiteral("Редактор вопросов"));
    setFont(sansFont(12));
    setWindowColor(this, kEditorBlue);
    keepFrameColour(this);
    placeTwips(this, 405, 0, 14565, 10065);

    m_testNameBox = new QLineEdit(this);
    m_testNameBox->setObjectName(QStringLiteral("testNameBox"));
    m_testNameBox->setMaxLength(kStoredTextLimit);
    setBoxColor(m_testNameBox, kLightYellow);
    placeTwips(m_testNameBox, 3915, 405, 10275, 405);
    makeLabel(this, QStringLiteral("testNameLabel"), QStringLiteral("Название теста:"), kLabelLeft, 405, 3555,
              405, {.buddy = m_testNameBox});

    m_themeList = makeNumberList(this, QStringLiteral("themeList"), QStringLiteral("Номер темы"), 1,
                                 kThemeCount, 2970, 945, 810, 360, kEditorNumberList);
    makeLabel(this, QStringLiteral("themeListLabel"), QStringLiteral("Номер темы:"), kLabelLeft, 945, 2640,
              360, {.buddy = m_themeList});

    m_themeTitleBox = makeMemo(this, QStringLiteral("themeTitleBox"), QStringLiteral("Название темы"), 3915,
                               900, 10305, 780);
    setBoxColor(m_themeTitleBox, kLightYellow);

    m_questionList = makeNumberList(this, QStringLiteral("questionList"), QStringLiteral("Номер вопроса"), 1,
                                    kQuestionSlots, 2955, 1980, 780, 360, kEditorNumberList);
    makeLabel(this, QStringLiteral("questionListLabel"), QStringLiteral("Номер вопроса:"), kLabelLeft, 1980,
              2640, 360, {.buddy = m_questionList});

    m_questionTextBox = makeMemo(this, QStringLiteral("questionTextBox"), QStringLiteral("Текст вопроса"),
                                 3915, 1755, 10290, 1410);
    setBoxColor(m_questionTextBox, kLightYellow);

    auto* groupsCaption = makeLabel(this, QStringLiteral("groupBoxesLabel"),
                                    QStringLiteral("Включен в группу:"), 3000, kGroupBoxTop, 3060, 360);
    groupsCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (int k = 0; k < kGroupCount; ++k) {
        auto* box = new QCheckBox(QString::number(k), this);
        box->setObjectName(QStringLiteral("groupBox_%1").arg(k));
        box->setAccessibleName(QStringLiteral("Включен в группу %1").arg(k));
        box->setChecked(true);
        placeTwips(box, kGroupBoxLefts[k], kGroupBoxTop, 630, 360);
        m_groupBoxes[k] = box;
    }

    struct AnswerBox {
        QPlainTextEdit** box;
        QString name;
        QString labelName;
        QString caption;
        int top;
        const QColor& colour;
    };
    const AnswerBox answers[] = {
        {&m_rightAnswerBox, QStringLiteral("rightAnswerBox"), QStringLiteral("rightAnswerLabel"),
         QStringLiteral("Правильный ответ:"), 3840, kLightGreen},
        {&m_wrongAnswerBoxes[0], QStringLiteral("wrongAnswerBox_1"), QStringLiteral("wrongAnswerLabel_1"),
         QStringLiteral("Не  правильный ответ №1:"), 5055, kLightRed},
        {&m_wrongAnswerBoxes[1], QStringLiteral("wrongAnswerBox_2"), QStringLiteral("wrongAnswerLabel_2"),
         QStringLiteral("Не правильный ответ №2:"), 6270, kLightRed},
        {&m_wrongAnswerBoxes[2], QStringLiteral("wrongAnswerBox_3"), QStringLiteral("wrongAnswerLabel_3"),
         QStringLiteral("Не правильный ответ №3:"), 7485, kLightRed},
        {&m_wrongAnswerBoxes[3], QStringLiteral("wrongAnswerBox_4"), QStringLiteral("wrongAnswerLabel_4"),
         QStringLiteral("Не правильный ответ №4:"), 8700, kLightRed},
    };
    for (const AnswerBox& a : answers) {
        *a.box = makeMemo(this, a.name, a.caption.simplified().chopped(1), 3885, a.top, 10290, 1110);
        setBoxColor(*a.box, a.colour);
        makeLabel(this, a.labelName, a.caption, kLabelLeft, a.top, 3585, 405, {.buddy = *a.box});
    }

    m_saveButton = new QPushButton(QStringLiteral("Сохранить"), this);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    placeTwips(m_saveButton, 1575, 2475, 2190, 510);

    // Start-up selection: theme 1, question 1.
    selectItemByText(m_themeList, QStringLiteral("1"));
    selectItemByText(m_questionList, QStringLiteral("1"));
    readListSelections();

    connect(m_themeList, &QListWidget::currentRowChanged, this, &QuestionEditor::themePicked);
    connect(m_questionList, &QListWidget::currentRowChanged, this, &QuestionEditor::questionPicked);
    connect(m_saveButton, &QPushButton::clicked, this, &QuestionEditor::saveQuestion);

    hide();
}

void QuestionEditor::readListSelections() {
    // A list without a selection (only possible by deselecting with Ctrl) keeps the number.
    if (auto theme = selectedValue(m_themeList))
        m_editedTheme = *theme;
    if (auto question = selectedValue(m_questionList))
        m_editedQuestion = *question;
}

void QuestionEditor::themePicked() {
    readListSelections();
    showEditedQuestion();
}

void QuestionEditor::questionPicked() {
    readListSelections();
    showEditedQuestion();
}

void QuestionEditor::enterMode() {
    show();
    selectItemByText(m_themeList, QStringLiteral("1"));
    selectItemByText(m_questionList, QStringLiteral("1"));
    readListSelections();
    m_testNameBox->setText(m_core.database().databaseHeader[2]);
    m_testNameBox->setCursorPosition(0);
    showEditedQuestion();
}

void QuestionEditor::showQuestion(int theme, int question) {
    if (theme < 1 || theme > kThemeCount || question < 1 || question > kQuestionSlots)
        return;
    selectItemByText(m_themeList, QString::number(theme));
    selectItemByText(m_questionList, QString::number(question));
    readListSelections();
    showEditedQuestion();
}

void QuestionEditor::showEditedQuestion() {
    const Database& db = m_core.database();
    const int t = m_editedTheme;
    const int q = m_editedQuestion;

    setMemoText(m_themeTitleBox, db.questions(t, 0, 0));
    const QString& s = db.questions(t, q, 0);
    if (s.size() >= kGroupCount) {
        setMemoText(m_questionTextBox, questionText(s));
        // Only the character 1 admits a question to a group, so only it ticks the box.
        for (int k = 0; k < kGroupCount; ++k)
            m_groupBoxes[k]->setChecked(questionInGroup(s, k));
    } else {
        // Too short to carry the flags: shown whole, the boxes keep their states.
        setMemoText(m_questionTextBox, s);
    }
    setMemoText(m_rightAnswerBox, db.questions(t, q, 1));
    for (int n = 1; n <= 4; ++n)
        setMemoText(m_wrongAnswerBoxes[n - 1], db.questions(t, q, n + 1));
}

void QuestionEditor::saveQuestion() {
    QuestionEntry entry;
    const int t = m_editedTheme;
    const int q = m_editedQuestion;

    // Each text is stored as the file will hold it; a text cut or changed to fit is shown so too.
    const QString where = QStringLiteral("тема %1, вопрос %2, ").arg(t).arg(q);
    QStringList fitted;
    for (int k = 0; k < kGroupCount; ++k)
        entry.groups[k] = m_groupBoxes[k]->isChecked();
    entry.themeTitle = fittedMemoText(m_themeTitleBox, kStoredTextLimit,
                                      QStringLiteral("тема %1, название темы").arg(t), fitted);
    // The ten group characters share the stored value with the question text.
    entry.text = fittedMemoText(m_questionTextBox, kStoredTextLimit - kGroupCount,
                                where + QStringLiteral("текст вопроса"), fitted);
    entry.answers[1] =
        fittedMemoText(m_rightAnswerBox, kStoredTextLimit, where + QStringLiteral("правильный ответ"), fitted);
    for (int n = 1; n <= 4; ++n) {
        entry.answers[n + 1] =
            fittedMemoText(m_wrongAnswerBoxes[n - 1], kStoredTextLimit,
                           where + QStringLiteral("неправильный ответ №%1").arg(n), fitted);
    }
    entry.testName =
        fittedLineText(m_testNameBox, kStoredTextLimit, QStringLiteral("название теста"), fitted);

    const SaveResult result = m_core.storeQuestion(t, q, entry);
    reportSave(this, m_core.database(), result, fitted);
}

void QuestionEditor::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    showSelectedItem(m_themeList);
    showSelectedItem(m_questionList);
}

} // namespace zet::ui
