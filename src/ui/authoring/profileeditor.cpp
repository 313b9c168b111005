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

QLineEdit* makeLine(QWidget* parent, const QString& name, int maxLength, int left, int top, int width,
                    int height) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    if (maxLength > 0)
        box->setMaxLength(maxLength);
    setBoxColor(box, kLightYellow);
    placeTwips(box, left, top, width, height);
    return box;
}

// A filled box looks like a selected item; an empty one gets the editor's light yellow.
void markFilled(QLineEdit* box, bool filled) {
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

ProfileEditor::ProfileEditor(AppCore& core, QWidget* parent) : QGroupBox(parent), m_core(core) {
    setObjectName(QStringLiteral("ProfileEditor"));
    setTitle(QStringLiteral("Настройка профиля"));
    setFont(sansFont(12));
    setWindowColor(this, kEditorBlue);
    placeTwips(this, 405, 0, 14475, 10065);

    m_text33 = makeLine(this, QStringLiteral("Text33"), kStoredTextLimit, 3510, 675, 10545, 420);
    makeCaption(this, QStringLiteral("Label_Text33"), QStringLiteral("Название теста:"), kLabelLeft, 675,
                kLabelWidth, 420, m_text33);
    m_text10 = makeLine(this, QStringLiteral("Text10"), kStoredTextLimit, 3510, 1140, 10545, 420);
    makeCaption(this, QStringLiteral("Label_Text10"), QStringLiteral("Наименование профиля:"), kLabelLeft,
                1140, kLabelWidth, 420, m_text10);

    m_list4 = makeNumberList(this, QStringLiteral("List4"), QStringLiteral("Номер профиля"), 1, kProfileCount,
                             3510, 1740, 675, 360);
    makeCaption(this, QStringLiteral("Label_List4"), QStringLiteral("Номер профиля:"), kLabelLeft, 1740,
                kLabelWidth, 360, m_list4);

    m_text1 = makeLine(this, QStringLiteral("Text1"), 0, 3510, 2220, 675, 405);
    makeCaption(this, QStringLiteral("Label_Text1"), QStringLiteral("Время на экзамен, в сек."), kLabelLeft,
                2220, kLabelWidth, 405, m_text1);

    m_list3 = makeNumberList(this, QStringLiteral("List3"), QStringLiteral("Количество вопросов"), 1,
                             kSlotCount, 3525, 2790, 675, 360);
    makeCaption(this, QStringLiteral("Label_List3"), QStringLiteral("Количество  вопросов:"), kLabelLeft,
                2790, kLabelWidth, 360, m_list3);

    m_list20 = makeNumberList(this, QStringLiteral("List20"), QStringLiteral("Отлично"), 1, kSlotCount, 3540,
                              4170, 675, 360);
    makeCaption(this, QStringLiteral("Label_List20"), QStringLiteral("Отлично:"), kLabelLeft, 4170,
                kLabelWidth, 360, m_list20);
    m_list21 = makeNumberList(this, QStringLiteral("List21"), QStringLiteral("Хорошо"), 1, kSlotCount, 3540,
                              4680, 675, 360);
    makeCaption(this, QStringLiteral("Label_List21"), QStringLiteral("Хорошо:"), kLabelLeft, 4680,
                kLabelWidth, 360, m_list21);
    m_list22 = makeNumberList(this, QStringLiteral("List22"), QStringLiteral("Посредственно"), 1, kSlotCount,
                              3540, 5220, 675, 360);
    makeCaption(this, QStringLiteral("Label_List22"), QStringLiteral("Посредственно:"), kLabelLeft, 5220,
                kLabelWidth, 360, m_list22);

    makeCaption(this, QStringLiteral("Label_Check2"), QStringLiteral("Группы:"), 4350, 1665, 1230, 360);
    for (int k = 0; k < kGroupCount; ++k) {
        auto* box = new QCheckBox(QString::number(k), this);
        box->setObjectName(QStringLiteral("Check2_%1").arg(k));
        box->setAccessibleName(QStringLiteral("Группа %1 допущена").arg(k));
        placeTwips(box, 5625, kCheckTops[k], 585, 360);
        m_check2[k] = box;

        m_text23[k] = makeLine(this, QStringLiteral("Text23_%1").arg(k), kStoredTextLimit - 1, 6210,
                               1620 + 450 * k, 7845, 405);
        m_text23[k]->setAccessibleName(QStringLiteral("Название группы %1").arg(k));
    }

    m_command2 = new QPushButton(QStringLiteral("Сохранить"), this);
    m_command2->setObjectName(QStringLiteral("Command2"));
    placeTwips(m_command2, 2250, 5850, 1950, 450);

    m_thresholdHint = new QLabel(this);
    m_thresholdHint->setObjectName(QStringLiteral("ThresholdHint"));
    m_thresholdHint->setWordWrap(true);
    {
        QPalette p = m_thresholdHint->palette();
        p.setColor(QPalette::WindowText, kLightYellow);
        m_thresholdHint->setPalette(p);
        QFont f = sansFont(11);
        f.setBold(true);
        m_thresholdHint->setFont(f);
    }
    placeTwips(m_thresholdHint, kLabelLeft, 6345, 13800, 540);
    m_thresholdHint->hide();

    makeCaption(this, QStringLiteral("Label_Themes"),
                QStringLiteral("Темы из которых будут задаваться вопросы:"), kLabelLeft, 6885, 10000, 360);
    for (int n = 1; n <= kSlotCount; ++n) {
        const int column = (n - 1) / 5;
        const int row = (n - 1) % 5;
        const int left = kSlotColumnLefts[column];
        const int top = n == 12 ? 7815 : kSlotRowTops[row];
        const QString caption = QStringLiteral("Вопрос №%1:").arg(n);
        m_slotLists[n] = makeNumberList(this, QStringLiteral("List%1").arg(n + 4), caption.chopped(1), 1,
                                        kThemeCount, left, top, 675, 360);
        auto* label = makeCaption(this, QStringLiteral("Label_List%1").arg(n + 4), caption,
                                  left - kSlotLabelWidth - 60, top, kSlotLabelWidth, 360, m_slotLists[n]);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    m_text1->setText(QStringLiteral("600"));
    text1Change();
    text10Change();
    for (int k = 0; k < kGroupCount; ++k)
        m_check2[k]->setChecked(true);
    selectItemByText(m_list4, QStringLiteral("1"));

    connect(m_text1, &QLineEdit::textChanged, this, &ProfileEditor::text1Change);
    connect(m_text10, &QLineEdit::textChanged, this, &ProfileEditor::text10Change);
    connect(m_list4, &QListWidget::currentRowChanged, this, &ProfileEditor::list4Click);
    for (QListWidget* list : {m_list3, m_list20, m_list21, m_list22})
        connect(list, &QListWidget::itemSelectionChanged, this, &ProfileEditor::updateThresholdHint);
    connect(m_command2, &QPushButton::clicked, this, &ProfileEditor::command2Click);

    hide();
}

void ProfileEditor::list4Click() {
    if (auto p = selectedValue(m_list4); p && *p >= 1 && *p <= kProfileCount)
        editedProfile = *p;
    showEditedProfile();
}

void ProfileEditor::enterMode() {
    show();
    showEditedProfile();
}

void ProfileEditor::showEditedProfile() {
    const Database& db = m_core.database();
    const ExamProfile& profile = db.profiles[editedProfile];

    m_text33->setText(db.databaseHeader[2]);
    m_text33->setCursorPosition(0);
    m_text10->setText(profile.name);
    m_text10->setCursorPosition(0);
    m_text1->setText(numberText(profile.timeLimit));

    selectItemByText(m_list3, numberText(profile.questionCount));
    selectItemByText(m_list20, numberText(profile.excellentMin));
    selectItemByText(m_list21, numberText(profile.goodMin));
    selectItemByText(m_list22, numberText(profile.fairMin));
    for (int n = 1; n <= kSlotCount; ++n)
        selectItemByText(m_slotLists[n], numberText(profile.slotTheme[n]));

    grupCheck();
    for (int k = 0; k < kGroupCount; ++k) {
        m_check2[k]->setChecked(db.groupNames[k].flag != QLatin1String("0"));
        m_text23[k]->setText(db.groupNames[k].title);
        m_text23[k]->setCursorPosition(0);
    }
    updateThresholdHint();
}

void ProfileEditor::grupCheck() {
    m_core.takeGroupsFromProfile(editedProfile);
}

void ProfileEditor::command2Click() {
    // A time of 0 or less would end every exam at its first tick with the lowest grade.
    const std::optional<int16> timeLimit = int16Floor(m_text1->text());
    if (!timeLimit || *timeLimit < 1 || numericValue(m_text1->text()) != *timeLimit) {
        showMessage(this, QStringLiteral("Время на экзамен должно быть целым числом секунд от 1 до 32767.\n"
                                         "Профиль не сохранён."));
        return;
    }

    if (auto selected = selectedValue(m_list4); selected && *selected >= 1 && *selected <= kProfileCount)
        editedProfile = *selected;
    const int p = editedProfile;
    ProfileEntry entry{m_core.database().profiles[p], m_core.database().groupNames, {}};
    ExamProfile& profile = entry.profile;

    QStringList fitted;
    profile.number = static_cast<int16>(p);
    profile.name =
        fittedLineText(m_text10, kStoredTextLimit, QStringLiteral("профиль %1, наименование").arg(p), fitted);
    profile.timeLimit = *timeLimit;

    // A list showing no selection (its stored value had no item) leaves the field alone.
    auto store = [](const QListWidget* list, int16& field) {
        if (auto value = selectedValue(list))
            field = *value;
    };
    store(m_list3, profile.questionCount);
    store(m_list20, profile.excellentMin);
    store(m_list21, profile.goodMin);
    store(m_list22, profile.fairMin);
    for (int n = 1; n <= kSlotCount; ++n)
        store(m_slotLists[n], profile.slotTheme[n]);

    for (int k = 0; k < kGroupCount; ++k) {
        entry.groups[k].flag = m_check2[k]->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
        // The flag character shares the stored value with the title.
        entry.groups[k].title =
            fittedLineText(m_text23[k], kStoredTextLimit - 1,
                           QStringLiteral("профиль %1, название группы %2").arg(p).arg(k), fitted);
    }
    entry.testName =
        fittedLineText(m_text33, kStoredTextLimit, QStringLiteral("название теста"), fitted);

    const SaveResult result = m_core.storeProfile(p, entry);
    reportSave(this, m_core.database(), result, fitted);
}

void ProfileEditor::text1Change() {
    markFilled(m_text1, valueFloor(m_text1->text()) != 0);
}

void ProfileEditor::text10Change() {
    markFilled(m_text10, !m_text10->text().isEmpty());
}

void ProfileEditor::updateThresholdHint() {
    const ExamProfile& profile = m_core.database().profiles[editedProfile];
    auto value = [](const QListWidget* list, int16 stored) { return selectedValue(list).value_or(stored); };
    const int count = value(m_list3, profile.questionCount);
    const int excellent = value(m_list20, profile.excellentMin);
    const int good = value(m_list21, profile.goodMin);
    const int fair = value(m_list22, profile.fairMin);

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
    m_thresholdHint->setText(notes.join(QLatin1Char('\n')));
    m_thresholdHint->setVisible(!notes.isEmpty());
}

void ProfileEditor::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    for (QListWidget* list : {m_list4, m_list3, m_list20, m_list21, m_list22})
        showSelectedItem(list);
    for (int n = 1; n <= kSlotCount; ++n)
        showSelectedItem(m_slotLists[n]);
}

} // namespace zet::ui
