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

QuestionEditor::QuestionEditor(Module1& core, QWidget* parent) : QGroupBox(parent), m_core(core) {
    setObjectName(QStringLiteral("Frame1"));
    setTitle(QStringLiteral("Редактор вопросов"));
    setFont(SansFont(12));
    SetWindowColor(this, kEditorBlue);
    PlaceTwips(this, 405, 0, 14565, 10065);

    Text26 = new QLineEdit(this);
    Text26->setObjectName(QStringLiteral("Text26"));
    Text26->setMaxLength(kStoredTextLimit);
    SetBoxColor(Text26, kLightYellow);
    PlaceTwips(Text26, 3915, 405, 10275, 405);
    MakeCaption(this, QStringLiteral("Label_Text26"), QStringLiteral("Название теста:"), kLabelLeft, 405,
                3555, 405, Text26);

    List1 = MakeNumberList(this, QStringLiteral("List1"), QStringLiteral("Номер темы"), 1, kThemeCount, 2970,
                           945, 810, 360);
    MakeCaption(this, QStringLiteral("Label_List1"), QStringLiteral("Номер темы:"), kLabelLeft, 945, 2640,
                360, List1);

    Text3 = MakeMemo(this, QStringLiteral("Text3"), QStringLiteral("Название темы"), 3915, 900, 10305, 780);
    SetBoxColor(Text3, kLightYellow);

    List2 = MakeNumberList(this, QStringLiteral("List2"), QStringLiteral("Номер вопроса"), 1, kQuestionSlots,
                           2955, 1980, 780, 360);
    MakeCaption(this, QStringLiteral("Label_List2"), QStringLiteral("Номер вопроса:"), kLabelLeft, 1980, 2640,
                360, List2);

    Text4 = MakeMemo(this, QStringLiteral("Text4"), QStringLiteral("Текст вопроса"), 3915, 1755, 10290, 1410);
    SetBoxColor(Text4, kLightYellow);

    auto* groupsCaption = MakeCaption(this, QStringLiteral("Label_Check1"),
                                      QStringLiteral("Включен в группу:"), 3000, kCheckTop, 3060, 360);
    groupsCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (int k = 0; k < kGroupCount; ++k) {
        auto* box = new QCheckBox(QString::number(k), this);
        box->setObjectName(QStringLiteral("Check1_%1").arg(k));
        box->setAccessibleName(QStringLiteral("Включен в группу %1").arg(k));
        box->setChecked(true);
        PlaceTwips(box, kCheckLefts[k], kCheckTop, 630, 360);
        Check1[k] = box;
    }

    struct AnswerBox {
        QPlainTextEdit** box;
        const char* name;
        QString caption;
        int top;
        const QColor& colour;
    };
    const AnswerBox answers[] = {
        {&Text5, "Text5", QStringLiteral("Правильный ответ:"), 3840, kLightGreen},
        {&Text6, "Text6", QStringLiteral("Не  правильный ответ №1:"), 5055, kLightRed},
        {&Text7, "Text7", QStringLiteral("Не правильный ответ №2:"), 6270, kLightRed},
        {&Text8, "Text8", QStringLiteral("Не правильный ответ №3:"), 7485, kLightRed},
        {&Text9, "Text9", QStringLiteral("Не правильный ответ №4:"), 8700, kLightRed},
    };
    for (const AnswerBox& a : answers) {
        const QString name = QString::fromLatin1(a.name);
        *a.box = MakeMemo(this, name, a.caption.simplified().chopped(1), 3885, a.top, 10290, 1110);
        SetBoxColor(*a.box, a.colour);
        MakeCaption(this, QStringLiteral("Label_") + name, a.caption, kLabelLeft, a.top, 3585, 405, *a.box);
    }

    Command1 = new QPushButton(QStringLiteral("Сохранить"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    PlaceTwips(Command1, 1575, 2475, 2190, 510);

    // Start-up selection: theme 1, question 1.
    SelectItemByText(List1, QStringLiteral("1"));
    SelectItemByText(List2, QStringLiteral("1"));
    ReadListSelections();

    connect(List1, &QListWidget::currentRowChanged, this, &QuestionEditor::List1_Click);
    connect(List2, &QListWidget::currentRowChanged, this, &QuestionEditor::List2_Click);
    connect(Command1, &QPushButton::clicked, this, &QuestionEditor::Command1_Click);

    hide();
}

void QuestionEditor::ReadListSelections() {
    // A list without a selection (only possible by deselecting with Ctrl) keeps the number.
    if (auto theme = SelectedValue(List1))
        EditedTheme = *theme;
    if (auto question = SelectedValue(List2))
        EditedQuestion = *question;
}

void QuestionEditor::List1_Click() {
    ReadListSelections();
    ShowEditedQuestion();
}

void QuestionEditor::List2_Click() {
    ReadListSelections();
    ShowEditedQuestion();
}

void QuestionEditor::EnterMode() {
    show();
    SelectItemByText(List1, QStringLiteral("1"));
    SelectItemByText(List2, QStringLiteral("1"));
    ReadListSelections();
    Text26->setText(m_core.db.DatabaseHeader[2]);
    Text26->setCursorPosition(0);
    ShowEditedQuestion();
}

void QuestionEditor::ShowEditedQuestion() {
    const Database& db = m_core.db;
    const int t = EditedTheme;
    const int q = EditedQuestion;

    SetMemoText(Text3, db.Questions(t, 0, 0));
    const QString& s = db.Questions(t, q, 0);
    if (s.size() >= kGroupCount) {
        SetMemoText(Text4, s.mid(kGroupCount));
        // Only the character 1 admits a question to a group, so only it ticks the box.
        for (int k = 0; k < kGroupCount; ++k)
            Check1[k]->setChecked(s.at(k) == QLatin1Char('1'));
    } else {
        // Too short to carry the flags: shown whole, the boxes keep their states.
        SetMemoText(Text4, s);
    }
    SetMemoText(Text5, db.Questions(t, q, 1));
    SetMemoText(Text6, db.Questions(t, q, 2));
    SetMemoText(Text7, db.Questions(t, q, 3));
    SetMemoText(Text8, db.Questions(t, q, 4));
    SetMemoText(Text9, db.Questions(t, q, 5));
}

void QuestionEditor::Command1_Click() {
    Database& db = m_core.db;
    const int t = EditedTheme;
    const int q = EditedQuestion;

    // Each text is stored as the file will hold it; a text cut or changed to fit is shown so too.
    const QString where = QStringLiteral("тема %1, вопрос %2, ").arg(t).arg(q);
    QStringList fitted;
    for (int k = 0; k < kGroupCount; ++k)
        db.GroupNames[k].Flag = Check1[k]->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    db.Questions(t, 0, 0) =
        FittedMemoText(Text3, kStoredTextLimit, QStringLiteral("тема %1, название темы").arg(t), fitted);
    QString part0;
    for (int k = 0; k < kGroupCount; ++k)
        part0 += db.GroupNames[k].Flag;
    // The ten group characters share the stored value with the question text.
    db.Questions(t, q, 0) = part0 + FittedMemoText(Text4, kStoredTextLimit - kGroupCount,
                                                   where + QStringLiteral("текст вопроса"), fitted);
    db.Questions(t, q, 1) =
        FittedMemoText(Text5, kStoredTextLimit, where + QStringLiteral("правильный ответ"), fitted);
    QPlainTextEdit* const wrong[] = {Text6, Text7, Text8, Text9};
    for (int n = 1; n <= 4; ++n) {
        db.Questions(t, q, n + 1) = FittedMemoText(
            wrong[n - 1], kStoredTextLimit, where + QStringLiteral("неправильный ответ №%1").arg(n), fitted);
    }
    db.DatabaseHeader[2] = FittedLineText(Text26, kStoredTextLimit, QStringLiteral("название теста"), fitted);

    const SaveResult result = db.SaveDatabase();
    // The exam draws from memory, which holds the new question whether or not the file
    // could be written.
    m_core.selection.ShuffleAllThemes();
    ReportSave(this, db, result, fitted);
}

void QuestionEditor::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    ShowSelectedItem(List1);
    ShowSelectedItem(List2);
}

} // namespace zet::ui
