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

constexpr std::array<int, kGroupCount> kCheckLefts{6120, 6795,  7470,  8190,  8865,
                                                   9540, 10260, 10980, 11655, 12330};
constexpr int kCheckTop = 3240;
constexpr int kLabelLeft = 240;

} // namespace

QuestionEditor::QuestionEditor(AppCore& core, QWidget* parent) : QGroupBox(parent), m_core(core) {
    setObjectName(QStringLiteral("QuestionEditor"));
    setTitle(QStringLiteral("Редактор вопросов"));
    setFont(sansFont(12));
    setWindowColor(this, kEditorBlue);
    placeTwips(this, 405, 0, 14565, 10065);

    m_text26 = new QLineEdit(this);
    m_text26->setObjectName(QStringLiteral("Text26"));
    m_text26->setMaxLength(kStoredTextLimit);
    setBoxColor(m_text26, kLightYellow);
    placeTwips(m_text26, 3915, 405, 10275, 405);
    makeCaption(this, QStringLiteral("Label_Text26"), QStringLiteral("Название теста:"), kLabelLeft, 405,
                3555, 405, m_text26);

    m_list1 = makeNumberList(this, QStringLiteral("List1"), QStringLiteral("Номер темы"), 1, kThemeCount,
                             2970, 945, 810, 360);
    makeCaption(this, QStringLiteral("Label_List1"), QStringLiteral("Номер темы:"), kLabelLeft, 945, 2640,
                360, m_list1);

    m_text3 = makeMemo(this, QStringLiteral("Text3"), QStringLiteral("Название темы"), 3915, 900, 10305, 780);
    setBoxColor(m_text3, kLightYellow);

    m_list2 = makeNumberList(this, QStringLiteral("List2"), QStringLiteral("Номер вопроса"), 1,
                             kQuestionSlots, 2955, 1980, 780, 360);
    makeCaption(this, QStringLiteral("Label_List2"), QStringLiteral("Номер вопроса:"), kLabelLeft, 1980, 2640,
                360, m_list2);

    m_text4 =
        makeMemo(this, QStringLiteral("Text4"), QStringLiteral("Текст вопроса"), 3915, 1755, 10290, 1410);
    setBoxColor(m_text4, kLightYellow);

    auto* groupsCaption = makeCaption(this, QStringLiteral("Label_Check1"),
                                      QStringLiteral("Включен в группу:"), 3000, kCheckTop, 3060, 360);
    groupsCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (int k = 0; k < kGroupCount; ++k) {
        auto* box = new QCheckBox(QString::number(k), this);
        box->setObjectName(QStringLiteral("Check1_%1").arg(k));
        box->setAccessibleName(QStringLiteral("Включен в группу %1").arg(k));
        box->setChecked(true);
        placeTwips(box, kCheckLefts[k], kCheckTop, 630, 360);
        m_check1[k] = box;
    }

    struct AnswerBox {
        QPlainTextEdit** box;
        const char* name;
        QString caption;
        int top;
        const QColor& colour;
    };
    const AnswerBox answers[] = {
        {&m_text5, "Text5", QStringLiteral("Правильный ответ:"), 3840, kLightGreen},
        {&m_text6, "Text6", QStringLiteral("Не  правильный ответ №1:"), 5055, kLightRed},
        {&m_text7, "Text7", QStringLiteral("Не правильный ответ №2:"), 6270, kLightRed},
        {&m_text8, "Text8", QStringLiteral("Не правильный ответ №3:"), 7485, kLightRed},
        {&m_text9, "Text9", QStringLiteral("Не правильный ответ №4:"), 8700, kLightRed},
    };
    for (const AnswerBox& a : answers) {
        const QString name = QString::fromLatin1(a.name);
        *a.box = makeMemo(this, name, a.caption.simplified().chopped(1), 3885, a.top, 10290, 1110);
        setBoxColor(*a.box, a.colour);
        makeCaption(this, QStringLiteral("Label_") + name, a.caption, kLabelLeft, a.top, 3585, 405, *a.box);
    }

    m_command1 = new QPushButton(QStringLiteral("Сохранить"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    placeTwips(m_command1, 1575, 2475, 2190, 510);

    // Start-up selection: theme 1, question 1.
    selectItemByText(m_list1, QStringLiteral("1"));
    selectItemByText(m_list2, QStringLiteral("1"));
    readListSelections();

    connect(m_list1, &QListWidget::currentRowChanged, this, &QuestionEditor::list1Click);
    connect(m_list2, &QListWidget::currentRowChanged, this, &QuestionEditor::list2Click);
    connect(m_command1, &QPushButton::clicked, this, &QuestionEditor::command1Click);

    hide();
}

void QuestionEditor::readListSelections() {
    // A list without a selection (only possible by deselecting with Ctrl) keeps the number.
    if (auto theme = selectedValue(m_list1))
        editedTheme = *theme;
    if (auto question = selectedValue(m_list2))
        editedQuestion = *question;
}

void QuestionEditor::list1Click() {
    readListSelections();
    showEditedQuestion();
}

void QuestionEditor::list2Click() {
    readListSelections();
    showEditedQuestion();
}

void QuestionEditor::enterMode() {
    show();
    selectItemByText(m_list1, QStringLiteral("1"));
    selectItemByText(m_list2, QStringLiteral("1"));
    readListSelections();
    m_text26->setText(m_core.database().databaseHeader[2]);
    m_text26->setCursorPosition(0);
    showEditedQuestion();
}

void QuestionEditor::showEditedQuestion() {
    const Database& db = m_core.database();
    const int t = editedTheme;
    const int q = editedQuestion;

    setMemoText(m_text3, db.questions(t, 0, 0));
    const QString& s = db.questions(t, q, 0);
    if (s.size() >= kGroupCount) {
        setMemoText(m_text4, questionText(s));
        // Only the character 1 admits a question to a group, so only it ticks the box.
        for (int k = 0; k < kGroupCount; ++k)
            m_check1[k]->setChecked(questionInGroup(s, k));
    } else {
        // Too short to carry the flags: shown whole, the boxes keep their states.
        setMemoText(m_text4, s);
    }
    setMemoText(m_text5, db.questions(t, q, 1));
    setMemoText(m_text6, db.questions(t, q, 2));
    setMemoText(m_text7, db.questions(t, q, 3));
    setMemoText(m_text8, db.questions(t, q, 4));
    setMemoText(m_text9, db.questions(t, q, 5));
}

void QuestionEditor::command1Click() {
    QuestionEntry entry;
    const int t = editedTheme;
    const int q = editedQuestion;

    // Each text is stored as the file will hold it; a text cut or changed to fit is shown so too.
    const QString where = QStringLiteral("тема %1, вопрос %2, ").arg(t).arg(q);
    QStringList fitted;
    for (int k = 0; k < kGroupCount; ++k)
        entry.groups[k] = m_check1[k]->isChecked();
    entry.themeTitle =
        fittedMemoText(m_text3, kStoredTextLimit, QStringLiteral("тема %1, название темы").arg(t), fitted);
    // The ten group characters share the stored value with the question text.
    entry.text = fittedMemoText(m_text4, kStoredTextLimit - kGroupCount,
                                where + QStringLiteral("текст вопроса"), fitted);
    entry.answers[1] =
        fittedMemoText(m_text5, kStoredTextLimit, where + QStringLiteral("правильный ответ"), fitted);
    QPlainTextEdit* const wrong[] = {m_text6, m_text7, m_text8, m_text9};
    for (int n = 1; n <= 4; ++n) {
        entry.answers[n + 1] = fittedMemoText(
            wrong[n - 1], kStoredTextLimit, where + QStringLiteral("неправильный ответ №%1").arg(n), fitted);
    }
    entry.testName =
        fittedLineText(m_text26, kStoredTextLimit, QStringLiteral("название теста"), fitted);

    const SaveResult result = m_core.storeQuestion(t, q, entry);
    reportSave(this, m_core.database(), result, fitted);
}

void QuestionEditor::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    showSelectedItem(m_list1);
    showSelectedItem(m_list2);
}

} // namespace zet::ui
