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
#include <QSignalBlocker>
#include <QStringList>

namespace zet::ui {

namespace {

constexpr int kLabelLeft = 240;
constexpr int kLabelWidth = 3180;
constexpr std::array<int, kGroupCount> kGroupBoxTops{1665, 2070, 2565, 3015, 3465,
                                                     3915, 4365, 4815, 5265, 5715};
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

// Marks the item that stands for a stored value the list has no item for.
constexpr int kOutOfListRole = Qt::UserRole + 1;

QString outOfListText(int16 value) {
    return QStringLiteral("%1 (нет в списке)").arg(numberText(value));
}

// Selects the stored value in list. A value the list has no item for (only a damaged or
// foreign file holds one) gets an item of its own in number order, marked, so that it shows as
// stored and a save keeps it until another number is picked. The item of an earlier such
// value goes.
void showStoredValue(QListWidget* list, int16 value) {
    for (int row = list->count() - 1; row >= 0; --row) {
        if (list->item(row)->data(kOutOfListRole).toBool())
            delete list->takeItem(row);
    }
    list->setToolTip(QString());
    if (selectItemByText(list, numberText(value)))
        return;
    const QSignalBlocker blocker(list);
    int row = 0;
    while (row < list->count() && list->item(row)->text().toInt() < value)
        ++row;
    auto* item = new QListWidgetItem(outOfListText(value));
    item->setData(kOutOfListRole, true);
    item->setToolTip(item->text());
    item->setSizeHint(list->item(0)->sizeHint());
    list->insertItem(row, item);
    list->setCurrentItem(item);
    list->setToolTip(item->text());
    showSelectedItem(list);
    list->viewport()->update();
}

// True when the list shows its marked item of a stored value outside the list.
bool showsOutOfListValue(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    return item && item->isSelected() && item->data(kOutOfListRole).toBool();
}

} // namespace

ProfileEditor::ProfileEditor(AppCore& core, QWidget* parent) : QGroupBox(parent), m_core(core) {
    setObjectName(QStringLiteral("ProfileEditor"));
    setTitle(QStringLiteral("Настройка профиля"));
    setFont(sansFont(12));
    setWindowColor(this, kEditorBlue);
    keepFrameColour(this);
    placeTwips(this, 405, 0, 14475, 10065);

    m_testNameBox = makeLine(this, QStringLiteral("testNameBox"), kStoredTextLimit, 3510, 675, 10545, 420);
    makeLabel(this, QStringLiteral("testNameLabel"), QStringLiteral("Название теста:"), kLabelLeft, 675,
              kLabelWidth, 420, {.buddy = m_testNameBox});
    m_profileNameBox =
        makeLine(this, QStringLiteral("profileNameBox"), kStoredTextLimit, 3510, 1140, 10545, 420);
    makeLabel(this, QStringLiteral("profileNameLabel"), QStringLiteral("Наименование профиля:"), kLabelLeft,
              1140, kLabelWidth, 420, {.buddy = m_profileNameBox});

    m_profileList = makeNumberList(this, QStringLiteral("profileList"), QStringLiteral("Номер профиля"), 1,
                                   kProfileCount, 3510, 1740, 675, 360, kEditorNumberList);
    makeLabel(this, QStringLiteral("profileListLabel"), QStringLiteral("Номер профиля:"), kLabelLeft, 1740,
              kLabelWidth, 360, {.buddy = m_profileList});

    m_timeLimitBox = makeLine(this, QStringLiteral("timeLimitBox"), 0, 3510, 2220, 675, 405);
    makeLabel(this, QStringLiteral("timeLimitLabel"), QStringLiteral("Время на экзамен, в сек."), kLabelLeft,
              2220, kLabelWidth, 405, {.buddy = m_timeLimitBox});
    // The seconds typed as minutes and seconds, so that «10» is not taken for ten minutes.
    m_timeLimitHint = makeLabel(this, QStringLiteral("timeLimitHint"), QString(), 4245, 2220, 1350, 405,
                                {.font = sansFont(9.75)});

    m_questionCountList =
        makeNumberList(this, QStringLiteral("questionCountList"), QStringLiteral("Количество вопросов"), 1,
                       kSlotCount, 3525, 2790, 675, 360, kEditorNumberList);
    makeLabel(this, QStringLiteral("questionCountLabel"), QStringLiteral("Количество  вопросов:"), kLabelLeft,
              2790, kLabelWidth, 360, {.buddy = m_questionCountList});

    m_excellentMinList = makeNumberList(this, QStringLiteral("excellentMinList"), QStringLiteral("Отлично"),
                                        1, kSlotCount, 3540, 4170, 675, 360, kEditorNumberList);
    makeLabel(this, QStringLiteral("excellentMinLabel"), QStringLiteral("Отлично:"), kLabelLeft, 4170,
              kLabelWidth, 360, {.buddy = m_excellentMinList});
    m_goodMinList = makeNumberList(this, QStringLiteral("goodMinList"), QStringLiteral("Хорошо"), 1,
                                   kSlotCount, 3540, 4680, 675, 360, kEditorNumberList);
    makeLabel(this, QStringLiteral("goodMinLabel"), QStringLiteral("Хорошо:"), kLabelLeft, 4680, kLabelWidth,
              360, {.buddy = m_goodMinList});
    m_fairMinList = makeNumberList(this, QStringLiteral("fairMinList"), QStringLiteral("Посредственно"), 1,
                                   kSlotCount, 3540, 5220, 675, 360, kEditorNumberList);
    makeLabel(this, QStringLiteral("fairMinLabel"), QStringLiteral("Посредственно:"), kLabelLeft, 5220,
              kLabelWidth, 360, {.buddy = m_fairMinList});

    makeLabel(this, QStringLiteral("groupBoxesLabel"), QStringLiteral("Группы:"), 4350, 1665, 1230, 360);
    for (int k = 0; k < kGroupCount; ++k) {
        auto* box = new QCheckBox(QString::number(k), this);
        box->setObjectName(QStringLiteral("groupBox_%1").arg(k));
        box->setAccessibleName(QStringLiteral("Группа %1 допущена").arg(k));
        placeTwips(box, 5625, kGroupBoxTops[k], 585, 360);
        m_groupBoxes[k] = box;

        m_groupTitleBoxes[k] = makeLine(this, QStringLiteral("groupTitleBox_%1").arg(k), kStoredTextLimit - 1,
                                        6210, 1620 + 450 * k, 7845, 405);
        m_groupTitleBoxes[k]->setAccessibleName(QStringLiteral("Название группы %1").arg(k));
    }

    m_saveButton = new QPushButton(QStringLiteral("Сохранить"), this);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    placeTwips(m_saveButton, 2250, 5850, 1950, 450);

    m_thresholdHint = new QLabel(this);
    m_thresholdHint->setObjectName(QStringLiteral("thresholdHint"));
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

    makeLabel(this, QStringLiteral("slotThemesLabel"),
              QStringLiteral("Темы из которых будут задаваться вопросы:"), kLabelLeft, 6885, 10000, 360);
    for (int n = 1; n <= kSlotCount; ++n) {
        const int column = (n - 1) / 5;
        const int row = (n - 1) % 5;
        const int left = kSlotColumnLefts[column];
        const int top = n == 12 ? 7815 : kSlotRowTops[row];
        const QString caption = QStringLiteral("Вопрос №%1:").arg(n);
        m_slotThemeLists[n] =
            makeNumberList(this, QStringLiteral("slotThemeList_%1").arg(n), caption.chopped(1), 1,
                           kThemeCount, left, top, 675, 360, kEditorNumberList);
        auto* label =
            makeLabel(this, QStringLiteral("slotThemeLabel_%1").arg(n), caption, left - kSlotLabelWidth - 60,
                      top, kSlotLabelWidth, 360, {.buddy = m_slotThemeLists[n]});
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    m_timeLimitBox->setText(QStringLiteral("600"));
    timeLimitEdited();
    profileNameEdited();
    for (int k = 0; k < kGroupCount; ++k)
        m_groupBoxes[k]->setChecked(true);
    selectItemByText(m_profileList, QStringLiteral("1"));

    connect(m_timeLimitBox, &QLineEdit::textChanged, this, &ProfileEditor::timeLimitEdited);
    connect(m_profileNameBox, &QLineEdit::textChanged, this, &ProfileEditor::profileNameEdited);
    connect(m_profileList, &QListWidget::currentRowChanged, this, &ProfileEditor::profilePicked);
    for (QListWidget* list : {m_questionCountList, m_excellentMinList, m_goodMinList, m_fairMinList})
        connect(list, &QListWidget::itemSelectionChanged, this, &ProfileEditor::updateThresholdHint);
    for (int n = 1; n <= kSlotCount; ++n)
        connect(m_slotThemeLists[n], &QListWidget::itemSelectionChanged, this,
                &ProfileEditor::updateThresholdHint);
    connect(m_saveButton, &QPushButton::clicked, this, &ProfileEditor::saveProfile);

    hide();
}

void ProfileEditor::profilePicked() {
    if (auto p = selectedValue(m_profileList); p && *p >= 1 && *p <= kProfileCount)
        m_editedProfile = *p;
    showEditedProfile();
}

void ProfileEditor::enterMode() {
    show();
    showEditedProfile();
}

void ProfileEditor::showEditedProfile() {
    const Database& db = m_core.database();
    const ExamProfile& profile = db.profiles[m_editedProfile];

    m_testNameBox->setText(db.databaseHeader[2]);
    m_testNameBox->setCursorPosition(0);
    m_profileNameBox->setText(profile.name);
    m_profileNameBox->setCursorPosition(0);
    m_timeLimitBox->setText(numberText(profile.timeLimit));

    showStoredValue(m_questionCountList, profile.questionCount);
    showStoredValue(m_excellentMinList, profile.excellentMin);
    showStoredValue(m_goodMinList, profile.goodMin);
    showStoredValue(m_fairMinList, profile.fairMin);
    for (int n = 1; n <= kSlotCount; ++n)
        showStoredValue(m_slotThemeLists[n], profile.slotTheme[n]);

    splitGroupEntries();
    for (int k = 0; k < kGroupCount; ++k) {
        m_groupBoxes[k]->setChecked(db.groupNames[k].flag != QLatin1String("0"));
        m_groupTitleBoxes[k]->setText(db.groupNames[k].title);
        m_groupTitleBoxes[k]->setCursorPosition(0);
    }
    updateThresholdHint();
}

void ProfileEditor::splitGroupEntries() {
    m_core.takeGroupsFromProfile(m_editedProfile);
}

void ProfileEditor::saveProfile() {
    // A time of 0 or less would end every exam at its first tick with the lowest grade.
    const std::optional<int16> timeLimit = int16Floor(m_timeLimitBox->text());
    if (!timeLimit || *timeLimit < 1 || numericValue(m_timeLimitBox->text()) != *timeLimit) {
        showMessage(this, QStringLiteral("Время на экзамен должно быть целым числом секунд от 1 до 32767.\n"
                                         "Профиль не сохранён."));
        return;
    }

    if (auto selected = selectedValue(m_profileList);
        selected && *selected >= 1 && *selected <= kProfileCount)
        m_editedProfile = *selected;
    const int p = m_editedProfile;
    ProfileEntry entry{m_core.database().profiles[p], m_core.database().groupNames, {}};
    ExamProfile& profile = entry.profile;

    QStringList fitted;
    profile.number = static_cast<int16>(p);
    profile.name = fittedLineText(m_profileNameBox, kStoredTextLimit,
                                  QStringLiteral("профиль %1, наименование").arg(p), fitted);
    profile.timeLimit = *timeLimit;

    // A list showing no selection (its stored value had no item) leaves the field alone.
    auto store = [](const QListWidget* list, int16& field) {
        if (auto value = selectedValue(list))
            field = *value;
    };
    store(m_questionCountList, profile.questionCount);
    store(m_excellentMinList, profile.excellentMin);
    store(m_goodMinList, profile.goodMin);
    store(m_fairMinList, profile.fairMin);
    for (int n = 1; n <= kSlotCount; ++n)
        store(m_slotThemeLists[n], profile.slotTheme[n]);

    for (int k = 0; k < kGroupCount; ++k) {
        entry.groups[k].flag = m_groupBoxes[k]->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
        // The flag character shares the stored value with the title.
        entry.groups[k].title =
            fittedLineText(m_groupTitleBoxes[k], kStoredTextLimit - 1,
                           QStringLiteral("профиль %1, название группы %2").arg(p).arg(k), fitted);
    }
    entry.testName =
        fittedLineText(m_testNameBox, kStoredTextLimit, QStringLiteral("название теста"), fitted);

    const SaveResult result = m_core.storeProfile(p, entry);
    reportSave(this, m_core.database(), result, fitted);
}

void ProfileEditor::timeLimitEdited() {
    const QString typed = m_timeLimitBox->text();
    markFilled(m_timeLimitBox, valueFloor(typed) != 0);
    // Only a time a save takes is shown; a save refuses any other with its reason.
    const std::optional<int16> seconds = int16Floor(typed);
    const bool storable = seconds && *seconds >= 1 && numericValue(typed) == *seconds;
    m_timeLimitHint->setText(storable ? QStringLiteral("= %1 мин %2 с").arg(*seconds / 60).arg(*seconds % 60)
                                      : QString());
}

void ProfileEditor::profileNameEdited() {
    markFilled(m_profileNameBox, !m_profileNameBox->text().isEmpty());
}

void ProfileEditor::updateThresholdHint() {
    const ExamProfile& profile = m_core.database().profiles[m_editedProfile];
    auto value = [](const QListWidget* list, int16 stored) { return selectedValue(list).value_or(stored); };
    const int count = value(m_questionCountList, profile.questionCount);
    const int excellent = value(m_excellentMinList, profile.excellentMin);
    const int good = value(m_goodMinList, profile.goodMin);
    const int fair = value(m_fairMinList, profile.fairMin);

    QStringList notes;
    // The narrow lists cannot show the mark of a value outside them: name such values here.
    QStringList outside;
    if (showsOutOfListValue(m_questionCountList))
        outside << QStringLiteral("количество вопросов %1").arg(count);
    for (int n = 1; n <= kSlotCount; ++n) {
        if (showsOutOfListValue(m_slotThemeLists[n]))
            outside << QStringLiteral("тема вопроса №%1 — %2").arg(n).arg(profile.slotTheme[n]);
    }
    if (!outside.isEmpty())
        notes << QStringLiteral("Нет в списке: %1.").arg(outside.join(QStringLiteral(", ")));
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
    for (QListWidget* list :
         {m_profileList, m_questionCountList, m_excellentMinList, m_goodMinList, m_fairMinList})
        showSelectedItem(list);
    for (int n = 1; n <= kSlotCount; ++n)
        showSelectedItem(m_slotThemeLists[n]);
}

} // namespace zet::ui
