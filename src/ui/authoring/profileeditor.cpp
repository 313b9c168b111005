#include "ui/authoring/profileeditor.h"

#include "model/textvalue.h"
#include "ui/authoring/editorkit.h"
#include "ui/shell/messages.h"
#include "ui/shell/uikit.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QStringList>

namespace zet::ui {

namespace {

constexpr int kLabelLeft = 240;
constexpr int kLabelWidth = 3180;
constexpr std::array<int, kGroupCount> kCheckTops{1665, 2070, 2565, 3015, 3465, 3915, 4365, 4815, 5265, 5715};
constexpr std::array<int, 3> kSlotColumnLefts{3240, 7320, 11415};
constexpr std::array<int, 5> kSlotRowTops{7275, 7830, 8385, 8940, 9495};
constexpr int kSlotLabelWidth = 1650;

QLineEdit* MakeLine(QWidget* parent, const QString& name, int maxLength, int left, int top, int width,
                    int height) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    if (maxLength > 0)
        box->setMaxLength(maxLength);
    SetBoxColor(box, kLightYellow);
    PlaceTwips(box, left, top, width, height);
    return box;
}

// A filled box looks like a selected item; an empty one gets the editor's light yellow.
void MarkFilled(QLineEdit* box, bool filled) {
    const QPalette system = QGuiApplication::palette();
    QPalette p = box->palette();
    if (filled) {
        p.setColor(QPalette::Base, system.color(QPalette::Highlight));
        p.setColor(QPalette::Text, system.color(QPalette::HighlightedText));
    } else {
        p.setColor(QPalette::Base, kLightYellow);
        p.setColor(QPalette::Text, system.color(QPalette::WindowText));
    }
    box->setPalette(p);
}

} // namespace

ProfileEditor::ProfileEditor(Module1& core, QWidget* parent) : QGroupBox(parent), m_core(core) {
    setObjectName(QStringLiteral("Frame3"));
    setTitle(QStringLiteral("Настройка профиля"));
    setFont(SansFont(12));
    SetWindowColor(this, kEditorBlue);
    PlaceTwips(this, 405, 0, 14475, 10065);

    Text33 = MakeLine(this, QStringLiteral("Text33"), kStoredTextLimit, 3510, 675, 10545, 420);
    MakeCaption(this, QStringLiteral("Label_Text33"), QStringLiteral("Название теста:"), kLabelLeft, 675,
                kLabelWidth, 420, Text33);
    Text10 = MakeLine(this, QStringLiteral("Text10"), kStoredTextLimit, 3510, 1140, 10545, 420);
    MakeCaption(this, QStringLiteral("Label_Text10"), QStringLiteral("Наименование профиля:"), kLabelLeft,
                1140, kLabelWidth, 420, Text10);

    List4 = MakeNumberList(this, QStringLiteral("List4"), QStringLiteral("Номер профиля"), 1, kProfileCount,
                           3510, 1740, 675, 360);
    MakeCaption(this, QStringLiteral("Label_List4"), QStringLiteral("Номер профиля:"), kLabelLeft, 1740,
                kLabelWidth, 360, List4);

    Text1 = MakeLine(this, QStringLiteral("Text1"), 0, 3510, 2220, 675, 405);
    MakeCaption(this, QStringLiteral("Label_Text1"), QStringLiteral("Время на экзамен, в сек."), kLabelLeft,
                2220, kLabelWidth, 405, Text1);

    List3 = MakeNumberList(this, QStringLiteral("List3"), QStringLiteral("Количество вопросов"), 1,
                           kSlotCount, 3525, 2790, 675, 360);
    MakeCaption(this, QStringLiteral("Label_List3"), QStringLiteral("Количество  вопросов:"), kLabelLeft,
                2790, kLabelWidth, 360, List3);

    List20 = MakeNumberList(this, QStringLiteral("List20"), QStringLiteral("Отлично"), 1, kSlotCount, 3540,
                            4170, 675, 360);
    MakeCaption(this, QStringLiteral("Label_List20"), QStringLiteral("Отлично:"), kLabelLeft, 4170,
                kLabelWidth, 360, List20);
    List21 = MakeNumberList(this, QStringLiteral("List21"), QStringLiteral("Хорошо"), 1, kSlotCount, 3540,
                            4680, 675, 360);
    MakeCaption(this, QStringLiteral("Label_List21"), QStringLiteral("Хорошо:"), kLabelLeft, 4680,
                kLabelWidth, 360, List21);
    List22 = MakeNumberList(this, QStringLiteral("List22"), QStringLiteral("Посредственно"), 1, kSlotCount,
                            3540, 5220, 675, 360);
    MakeCaption(this, QStringLiteral("Label_List22"), QStringLiteral("Посредственно:"), kLabelLeft, 5220,
                kLabelWidth, 360, List22);

    MakeCaption(this, QStringLiteral("Label_Check2"), QStringLiteral("Группы:"), 4350, 1665, 1230, 360);
    for (int k = 0; k < kGroupCount; ++k) {
        auto* box = new QCheckBox(QString::number(k), this);
        box->setObjectName(QStringLiteral("Check2_%1").arg(k));
        box->setAccessibleName(QStringLiteral("Группа %1 допущена").arg(k));
        PlaceTwips(box, 5625, kCheckTops[k], 585, 360);
        Check2[k] = box;

        Text23[k] = MakeLine(this, QStringLiteral("Text23_%1").arg(k), kStoredTextLimit - 1, 6210,
                             1620 + 450 * k, 7845, 405);
        Text23[k]->setAccessibleName(QStringLiteral("Название группы %1").arg(k));
    }

    Command2 = new QPushButton(QStringLiteral("Сохранить"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    PlaceTwips(Command2, 2250, 5850, 1950, 450);

    ThresholdHint = new QLabel(this);
    ThresholdHint->setObjectName(QStringLiteral("ThresholdHint"));
    ThresholdHint->setWordWrap(true);
    {
        QPalette p = ThresholdHint->palette();
        p.setColor(QPalette::WindowText, kLightYellow);
        ThresholdHint->setPalette(p);
        QFont f = SansFont(11);
        f.setBold(true);
        ThresholdHint->setFont(f);
    }
    PlaceTwips(ThresholdHint, kLabelLeft, 6345, 13800, 540);
    ThresholdHint->hide();

    MakeCaption(this, QStringLiteral("Label_Themes"),
                QStringLiteral("Темы из которых будут задаваться вопросы:"), kLabelLeft, 6885, 10000, 360);
    for (int n = 1; n <= kSlotCount; ++n) {
        const int column = (n - 1) / 5;
        const int row = (n - 1) % 5;
        const int left = kSlotColumnLefts[column];
        const int top = n == 12 ? 7815 : kSlotRowTops[row];
        const QString caption = QStringLiteral("Вопрос №%1:").arg(n);
        SlotLists[n] = MakeNumberList(this, QStringLiteral("List%1").arg(n + 4), caption.chopped(1), 1,
                                      kThemeCount, left, top, 675, 360);
        auto* label = MakeCaption(this, QStringLiteral("Label_List%1").arg(n + 4), caption,
                                  left - kSlotLabelWidth - 60, top, kSlotLabelWidth, 360, SlotLists[n]);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    Text1->setText(QStringLiteral("600"));
    Text1_Change();
    Text10_Change();
    for (int k = 0; k < kGroupCount; ++k)
        Check2[k]->setChecked(true);
    SelectItemByText(List4, QStringLiteral("1"));

    connect(Text1, &QLineEdit::textChanged, this, &ProfileEditor::Text1_Change);
    connect(Text10, &QLineEdit::textChanged, this, &ProfileEditor::Text10_Change);
    connect(List4, &QListWidget::currentRowChanged, this, &ProfileEditor::List4_Click);
    for (QListWidget* list : {List3, List20, List21, List22})
        connect(list, &QListWidget::itemSelectionChanged, this, &ProfileEditor::UpdateThresholdHint);
    connect(Command2, &QPushButton::clicked, this, &ProfileEditor::Command2_Click);

    hide();
}

void ProfileEditor::StartupReset() {
    Text1->setText(QStringLiteral("0"));
    Text10->setText(QString());
}

void ProfileEditor::List4_Click() {
    if (auto p = SelectedValue(List4); p && *p >= 1 && *p <= kProfileCount)
        EditedProfile = *p;
    ShowEditedProfile();
}

void ProfileEditor::EnterMode() {
    show();
    ShowEditedProfile();
}

void ProfileEditor::ShowEditedProfile() {
    const Database& db = m_core.db;
    const ExamProfile& profile = db.Profiles[EditedProfile];

    Text33->setText(db.DatabaseHeader[2]);
    Text33->setCursorPosition(0);
    Text10->setText(profile.Name);
    Text10->setCursorPosition(0);
    Text1->setText(NumberText(profile.TimeLimit));

    SelectItemByText(List3, NumberText(profile.QuestionCount));
    SelectItemByText(List20, NumberText(profile.ExcellentMin));
    SelectItemByText(List21, NumberText(profile.GoodMin));
    SelectItemByText(List22, NumberText(profile.FairMin));
    for (int n = 1; n <= kSlotCount; ++n)
        SelectItemByText(SlotLists[n], NumberText(profile.SlotTheme[n]));

    Grup_Check();
    for (int k = 0; k < kGroupCount; ++k) {
        Check2[k]->setChecked(db.GroupNames[k].Flag != QLatin1String("0"));
        Text23[k]->setText(db.GroupNames[k].Title);
        Text23[k]->setCursorPosition(0);
    }
    UpdateThresholdHint();
}

void ProfileEditor::Grup_Check() {
    Database& db = m_core.db;
    const ExamProfile& profile = db.Profiles[EditedProfile];
    for (int k = 0; k < kGroupCount; ++k) {
        const QString& entry = profile.Groups[k];
        db.GroupNames[k].Flag = entry.left(1);
        db.GroupNames[k].Title = entry.mid(1);
    }
}

void ProfileEditor::Command2_Click() {
    // A time of 0 or less would end every exam at its first tick with the lowest grade.
    const std::optional<int16> timeLimit = Int16Floor(Text1->text());
    if (!timeLimit || *timeLimit < 1 || NumericValue(Text1->text()) != *timeLimit) {
        ShowMessage(this, QStringLiteral("Время на экзамен должно быть целым числом секунд от 1 до 32767.\n"
                                         "Профиль не сохранён."));
        return;
    }

    Database& db = m_core.db;
    if (auto selected = SelectedValue(List4); selected && *selected >= 1 && *selected <= kProfileCount)
        EditedProfile = *selected;
    const int p = EditedProfile;
    ExamProfile& profile = db.Profiles[p];

    QStringList fitted;
    profile.Number = static_cast<int16>(p);
    profile.Name =
        FittedLineText(Text10, kStoredTextLimit, QStringLiteral("профиль %1, наименование").arg(p), fitted);
    profile.TimeLimit = *timeLimit;

    // A list showing no selection (its stored value had no item) leaves the field alone.
    auto store = [](const QListWidget* list, int16& field) {
        if (auto value = SelectedValue(list))
            field = *value;
    };
    store(List3, profile.QuestionCount);
    store(List20, profile.ExcellentMin);
    store(List21, profile.GoodMin);
    store(List22, profile.FairMin);
    for (int n = 1; n <= kSlotCount; ++n)
        store(SlotLists[n], profile.SlotTheme[n]);

    for (int k = 0; k < kGroupCount; ++k) {
        db.GroupNames[k].Flag = Check2[k]->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
        // The flag character shares the stored value with the title.
        db.GroupNames[k].Title =
            FittedLineText(Text23[k], kStoredTextLimit - 1,
                           QStringLiteral("профиль %1, название группы %2").arg(p).arg(k), fitted);
    }
    for (int k = 0; k < kGroupCount; ++k)
        profile.Groups[k] = db.GroupNames[k].Flag + db.GroupNames[k].Title;
    db.DatabaseHeader[2] = FittedLineText(Text33, kStoredTextLimit, QStringLiteral("название теста"), fitted);

    ReportSave(this, db, db.SaveDatabase(), fitted);
}

void ProfileEditor::Text1_Change() {
    MarkFilled(Text1, ValueFloor(Text1->text()) != 0);
}

void ProfileEditor::Text10_Change() {
    MarkFilled(Text10, !Text10->text().isEmpty());
}

void ProfileEditor::UpdateThresholdHint() {
    const ExamProfile& profile = m_core.db.Profiles[EditedProfile];
    auto value = [](const QListWidget* list, int16 stored) { return SelectedValue(list).value_or(stored); };
    const int count = value(List3, profile.QuestionCount);
    const int excellent = value(List20, profile.ExcellentMin);
    const int good = value(List21, profile.GoodMin);
    const int fair = value(List22, profile.FairMin);

    QStringList notes;
    if (excellent < good || good < fair)
        notes << QStringLiteral(
            "Пороги оценок не по убыванию: нужно «Отлично» ≥ «Хорошо» ≥ «Посредственно».");
    QStringList above;
    if (excellent > count)
        above << QStringLiteral("«Отлично»");
    if (good > count)
        above << QStringLiteral("«Хорошо»");
    if (fair > count)
        above << QStringLiteral("«Посредственно»");
    if (!above.isEmpty())
        notes << (above.size() == 1
                      ? QStringLiteral("Порог %1 больше количества вопросов (%2): такую оценку не получить.")
                      : QStringLiteral(
                            "Пороги %1 больше количества вопросов (%2): такие оценки не получить."))
                     .arg(above.join(QStringLiteral(", ")))
                     .arg(count);
    ThresholdHint->setText(notes.join(QLatin1Char('\n')));
    ThresholdHint->setVisible(!notes.isEmpty());
}

void ProfileEditor::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    for (QListWidget* list : {List4, List3, List20, List21, List22})
        ShowSelectedItem(list);
    for (int n = 1; n <= kSlotCount; ++n)
        ShowSelectedItem(SlotLists[n]);
}

} // namespace zet::ui
