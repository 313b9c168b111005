// The registration area: its controls, the look of the current and of earlier examinees,
// the profile choice, looking back through the day with the number list, and the small
// conveniences of the input boxes.

#include "app/appcore.h"
#include "coreaccess.h"
#include "archive/dayfile.h"
#include "ui/exam/examarea.h"
#include "ui/exam/exammode.h"
#include "ui/exam/registrationarea.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/messages.h"
#include "ui/shell/uikit.h"

#include "examcontrols.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace zet;
using namespace zet::ui;

namespace {

const QDate kToday(2010, 12, 3);

ExamineeRecord finished(int n, int profile, const QString& name) {
    ExamineeRecord r;
    r.protocolNo = static_cast<int16>(n);
    r.profileNo = static_cast<int16>(profile);
    r.profileName = QStringLiteral("Профиль %1").arg(profile);
    r.fullName = name;
    r.birthYear = static_cast<int16>(1960 + n);
    r.jobTitle = QStringLiteral("электрик");
    r.seniority = static_cast<int16>(n * 3);
    r.grade = static_cast<int16>(2 + n);
    r.askedCount = 10;
    r.rightCount = static_cast<int16>(5 + n);
    r.timeSpent = static_cast<int16>(100 * n);
    r.personnelNo = QStringLiteral("№%1").arg(n);
    return r;
}

} // namespace

class TestRegistration : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void captions_data();
    void captions();
    void freshDay();
    void restartAfterThreeExams();
    void scrollBack_data();
    void scrollBack();
    void profileChoiceKeepsTheScroll();
    void scrollAfterClickingARow();
    void nameBoxClickEmptiesIt();
    void wholeTextSelectedOnEntry_data();
    void wholeTextSelectedOnEntry();
    void startWhileEarlierExamineeShown();
    void fullRegisterAtStartUp();
    void wheelNeedsTheFocus_data();
    void wheelNeedsTheFocus();

private:
    // Starts the main window; with earlier set, today's day file already holds three exams,
    // with full all 100.
    void start(bool earlier, bool full = false);
    QScrollBar* bar() const { return m_ctl.registerPositionList->verticalScrollBar(); }
    bool inputsEnabled() const;
    bool inputsDisabled() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppCore> m_core;
    std::unique_ptr<MainWindow> m_window;
    RegistrationArea* m_reg = nullptr;
    RegistrationControls m_ctl;
    QStringList m_messages;
};

void TestRegistration::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages.clear();
    hooks().message = [this](const QString& text) { m_messages << text; };
}

void TestRegistration::cleanup() {
    m_window.reset();
    m_core.reset();
    m_dir.reset();
    hooks() = MessageHooks{};
}

void TestRegistration::start(bool earlier, bool full) {
    if (full) {
        DayRegisterArray reg{};
        for (int n = 1; n <= kRegisterSlots; ++n)
            reg[n] = finished(n, 2, QStringLiteral("Сдавший %1").arg(n));
        DayArchive archive;
        QVERIFY(archive.prepare(m_dir->path() + QLatin1Char('/'), kToday, reg).ok);
    } else if (earlier) {
        DayRegisterArray reg{};
        reg[1] = finished(1, 2, QStringLiteral("Первый П.П."));
        reg[2] = finished(2, 7, QStringLiteral("Второй В.В."));
        reg[3] = finished(3, 3, QStringLiteral("Третий Т.Т."));
        DayArchive archive;
        QVERIFY(archive.prepare(m_dir->path() + QLatin1Char('/'), kToday, reg).ok);
    }
    m_core = std::make_unique<AppCore>(std::make_unique<SeededRandom>(5), [] { return kToday; });
    m_window = std::make_unique<MainWindow>(*m_core, MainWindowOptions{m_dir->path()});
    // The designed size, whatever the test screen's size.
    m_window->resize(m_window->sizeHint());
    QVERIFY(m_messages.isEmpty());
    Database& db = coreDatabase(*m_core);
    for (int i = 1; i <= kProfileCount; ++i) {
        db.profiles[i].name = QStringLiteral("Профиль %1").arg(i);
        db.profiles[i].questionCount = static_cast<int16>(i % 15 + 1);
    }
    for (int q = 1; q <= 3; ++q) {
        db.questions(1, q, 0) = QStringLiteral("1111111111Вопрос %1").arg(q);
        for (int p = 1; p <= 5; ++p)
            db.questions(1, q, p) = QStringLiteral("Ответ %1").arg(p);
    }
    coreSelection(*m_core).shuffleAllThemes();
    m_reg = m_window->examMode().registrationArea();
    QCOMPARE(m_window->findChild<RegistrationArea*>(QStringLiteral("RegistrationArea")), m_reg);
    m_ctl = RegistrationControls(m_reg);
    QVERIFY(m_ctl.complete());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

bool TestRegistration::inputsEnabled() const {
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_ctl.fullNameBox, m_ctl.birthYearBox, m_ctl.jobTitleBox, m_ctl.seniorityBox,
             m_ctl.profileNameBox, m_ctl.personnelNumberBox, m_ctl.profileList}) {
        if (!w->isEnabled())
            return false;
    }
    return true;
}

bool TestRegistration::inputsDisabled() const {
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_ctl.fullNameBox, m_ctl.birthYearBox, m_ctl.jobTitleBox, m_ctl.seniorityBox,
             m_ctl.profileNameBox, m_ctl.personnelNumberBox, m_ctl.profileList}) {
        if (w->isEnabled())
            return false;
    }
    return true;
}

void TestRegistration::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QColor>("colour"); // invalid: not checked
    QTest::addColumn<bool>("result");   // a disabled, read-only result box

    const QColor none;
    QTest::newRow("RegistrationArea") << "RegistrationArea" << QRect(405, 0, 14475, 10065) << none << false;
    QTest::newRow("fullNameBox") << "fullNameBox" << QRect(4785, 435, 6855, 465) << kLightGreen << false;
    QTest::newRow("birthYearBox") << "birthYearBox" << QRect(4770, 1095, 1155, 465) << kLightGreen << false;
    QTest::newRow("jobTitleBox") << "jobTitleBox" << QRect(4770, 1770, 6900, 465) << kLightGreen << false;
    QTest::newRow("seniorityBox") << "seniorityBox" << QRect(4770, 2445, 1155, 465) << kLightGreen << false;
    QTest::newRow("personnelNumberBox")
        << "personnelNumberBox" << QRect(9750, 2445, 1965, 465) << kLightGreen << false;
    QTest::newRow("profileList") << "profileList" << QRect(4770, 3120, 1155, 405) << kLightGreen << false;
    QTest::newRow("profileNameBox") << "profileNameBox" << QRect(6120, 3090, 8250, 465) << kLightGreen
                                    << false;
    QTest::newRow("registerPositionList")
        << "registerPositionList" << QRect(810, 4095, 1245, 555) << none << false;
    QTest::newRow("startButton") << "startButton" << QRect(300, 4830, 2280, 570) << none << false;
    QTest::newRow("protocolNumberBox")
        << "protocolNumberBox" << QRect(4860, 5955, 1155, 465) << kLightYellow << true;
    QTest::newRow("resultProfileBox")
        << "resultProfileBox" << QRect(4860, 6570, 9435, 465) << kLightYellow << true;
    QTest::newRow("gradeBox") << "gradeBox" << QRect(4860, 7200, 1155, 465) << kLightYellow << true;
    QTest::newRow("askedCountBox") << "askedCountBox" << QRect(4860, 7815, 1155, 465) << kLightYellow << true;
    QTest::newRow("rightCountBox") << "rightCountBox" << QRect(4860, 8445, 1155, 465) << kLightYellow << true;
    QTest::newRow("timeSpentBox") << "timeSpentBox" << QRect(4860, 9060, 1155, 465) << kLightYellow << true;
}

void TestRegistration::layout() {
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QColor, colour);
    QFETCH(bool, result);
    start(false);
    // The profile editor has controls of the same names: look inside the area.
    QWidget* w = name == QLatin1String("RegistrationArea") ? m_reg : m_reg->findChild<QWidget*>(name);
    QVERIFY(w);
    QCOMPARE(w->geometry(), QRect(zet::ui::twips(twips.x()), zet::ui::twips(twips.y()),
                                  zet::ui::twips(twips.width()), zet::ui::twips(twips.height())));
    if (colour.isValid())
        QCOMPARE(w->palette().color(QPalette::Base), colour);
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QListWidget*>(w))
        QVERIFY(!w->accessibleName().isEmpty());
    if (auto* box = qobject_cast<QLineEdit*>(w)) {
        m_window->toggleExamMode();
        QCOMPARE(box->isEnabled(), !result);
        QCOMPARE(box->isReadOnly(), result || name == QStringLiteral("profileNameBox"));
    }
}

void TestRegistration::captions_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("caption");
    QTest::newRow("fullNameBox") << "fullNameBox"
                                 << "Ф.И.О. сдающего:";
    QTest::newRow("birthYearBox") << "birthYearBox"
                                  << "Год рождения:";
    QTest::newRow("jobTitleBox") << "jobTitleBox"
                                 << "Должность:";
    QTest::newRow("seniorityBox") << "seniorityBox"
                                  << "Стаж работы:";
    QTest::newRow("personnelNumberBox") << "personnelNumberBox"
                                        << "Табел. номер:";
    QTest::newRow("profileList") << "profileList"
                                 << "Профиль экзамена:";
    QTest::newRow("registerPositionList") << "registerPositionList"
                                          << "Порядковый номер:";
    QTest::newRow("protocolNumberBox") << "protocolNumberBox"
                                       << "Номер протокола:";
    QTest::newRow("resultProfileBox") << "resultProfileBox"
                                      << "Профиль экзамена:";
    QTest::newRow("gradeBox") << "gradeBox"
                              << "Оценка:";
    QTest::newRow("askedCountBox") << "askedCountBox"
                                   << "Количество заданых вопросов:";
    QTest::newRow("rightCountBox") << "rightCountBox"
                                   << "Правильных ответов:";
    QTest::newRow("timeSpentBox") << "timeSpentBox"
                                  << "Затраченое время:";
}

void TestRegistration::captions() {
    QFETCH(QString, box);
    QFETCH(QString, caption);
    start(false);
    QWidget* w = m_reg->findChild<QWidget*>(box);
    QVERIFY(w);
    QStringList found;
    for (QLabel* label : m_reg->findChildren<QLabel*>()) {
        if (label->buddy() == w)
            found << label->text();
    }
    QCOMPARE(found, QStringList{caption});

    QCOMPARE(m_reg->title(), QStringLiteral("Персональные сведенья"));
    QCOMPARE(m_ctl.startButton->text(), QStringLiteral("Начать экзамен"));
    QVERIFY(zet::ui::serifFamilies().contains(m_reg->font().family()));
    QCOMPARE(m_reg->font().pointSizeF(), 15.75);
    QCOMPARE(m_ctl.registerPositionList->font().pointSizeF(), 21.75);
    QVERIFY(m_reg->findChild<QLabel*>(QStringLiteral("resultsLabel")));
    QCOMPARE(m_reg->findChild<QLabel*>(QStringLiteral("resultsLabel"))->text(),
             QStringLiteral("Результаты экзамена:"));
}

void TestRegistration::freshDay() {
    start(false);
    QCOMPARE(int(coreExam(*m_core).currentExaminee), 1);
    // Start-up showed the empty slot 1.
    for (QLineEdit* box : {m_ctl.birthYearBox, m_ctl.seniorityBox, m_ctl.protocolNumberBox, m_ctl.gradeBox,
                           m_ctl.askedCountBox, m_ctl.rightCountBox, m_ctl.timeSpentBox})
        QCOMPARE(box->text(), QStringLiteral("0"));
    QVERIFY(m_ctl.fullNameBox->text().isEmpty());
    QCOMPARE(m_ctl.profileList->count(), 20);
    QCOMPARE(m_ctl.registerPositionList->count(), 100);
    QCOMPARE(m_ctl.profileList->item(19)->text(), QStringLiteral("20"));
    QCOMPARE(m_ctl.registerPositionList->item(99)->text(), QStringLiteral("100"));
    QCOMPARE(m_ctl.profileList->currentItem()->text(), QStringLiteral("1"));
    QCOMPARE(m_ctl.registerPositionList->currentItem()->text(), QStringLiteral("1"));

    m_window->toggleExamMode();
    QVERIFY(m_reg->isVisible());
    QCOMPARE(m_reg->topRow(), 0);
    QVERIFY(inputsEnabled());
    QCOMPARE(m_ctl.profileNameBox->text(), QStringLiteral("Профиль 1"));
    QCOMPARE(m_ctl.resultProfileBox->text(), QStringLiteral("Профиль 1"));
    QCOMPARE(m_ctl.askedCountBox->text(), QStringLiteral("2"));
    QCOMPARE(m_ctl.protocolNumberBox->text(), QStringLiteral("1"));
}

void TestRegistration::restartAfterThreeExams() {
    start(true);
    QCOMPARE(int(coreExam(*m_core).currentExaminee), 4);
    QCOMPARE(coreExam(*m_core).dayRegister[2].fullName, QStringLiteral("Второй В.В."));
    m_ctl.birthYearBox->setText(QStringLiteral("1999"));
    m_ctl.fullNameBox->setText(QStringLiteral("Кто-то"));

    m_window->toggleExamMode();
    QCOMPARE(m_reg->topRow(), 3);
    QCOMPARE(m_ctl.registerPositionList->currentRow(), 3);
    QVERIFY(inputsEnabled());
    // An empty form for examinee 4 with the profile chosen last.
    QVERIFY(m_ctl.fullNameBox->text().isEmpty());
    QCOMPARE(m_ctl.birthYearBox->text(), QStringLiteral("0"));
    QCOMPARE(m_ctl.profileList->currentItem()->text(), QStringLiteral("1"));
    QCOMPARE(m_ctl.profileNameBox->text(), QStringLiteral("Профиль 1"));
    QCOMPARE(m_ctl.askedCountBox->text(), QStringLiteral("2"));
    QCOMPARE(m_ctl.protocolNumberBox->text(), QStringLiteral("4"));

    // Leaving and entering again keeps a profile picked meanwhile.
    m_ctl.profileList->setCurrentRow(5);
    m_window->toggleExamMode();
    m_window->toggleExamMode();
    QCOMPARE(m_ctl.profileList->currentItem()->text(), QStringLiteral("6"));
    QCOMPARE(m_ctl.profileNameBox->text(), QStringLiteral("Профиль 6"));
    QCOMPARE(m_ctl.askedCountBox->text(), QStringLiteral("7"));
}

void TestRegistration::scrollBack_data() {
    QTest::addColumn<int>("top");
    QTest::addColumn<bool>("earlier");
    QTest::newRow("examinee 1") << 0 << true;
    QTest::newRow("examinee 2") << 1 << true;
    QTest::newRow("examinee 3") << 2 << true;
    QTest::newRow("examinee 4 (current)") << 3 << false;
    QTest::newRow("examinee 6 (later)") << 5 << false;
}

void TestRegistration::scrollBack() {
    QFETCH(int, top);
    QFETCH(bool, earlier);
    start(true);
    m_window->toggleExamMode();
    m_ctl.profileList->setCurrentRow(8);
    bar()->setValue(10);
    m_ctl.fullNameBox->setText(QStringLiteral("Набранное имя"));

    bar()->setValue(top);
    // The examiner's scroll stands: the program's re-selection of the current row does not
    // bring it back into view.
    QCOMPARE(m_reg->topRow(), top);
    QCOMPARE(bar()->value(), top);
    QCOMPARE(m_ctl.registerPositionList->currentRow(), 3);
    QCOMPARE(m_ctl.registerPositionList->currentItem()->isSelected(), true);

    const int n = top + 1;
    if (earlier) {
        const ExamineeRecord& r = coreExam(*m_core).dayRegister[n];
        QVERIFY(inputsDisabled());
        QVERIFY(m_ctl.startButton->isEnabled());
        QCOMPARE(m_ctl.fullNameBox->text(), r.fullName);
        QCOMPARE(m_ctl.birthYearBox->text(), QString::number(r.birthYear));
        QCOMPARE(m_ctl.jobTitleBox->text(), r.jobTitle);
        QCOMPARE(m_ctl.seniorityBox->text(), QString::number(r.seniority));
        QCOMPARE(m_ctl.personnelNumberBox->text(), r.personnelNo);
        QCOMPARE(m_ctl.profileList->currentItem()->text(), QString::number(r.profileNo));
        QCOMPARE(m_ctl.profileNameBox->text(), r.profileName);
        QCOMPARE(m_ctl.protocolNumberBox->text(), QString::number(n));
        QCOMPARE(m_ctl.resultProfileBox->text(), r.profileName);
        QCOMPARE(m_ctl.gradeBox->text(), QString::number(r.grade));
        QCOMPARE(m_ctl.askedCountBox->text(), QStringLiteral("10"));
        QCOMPARE(m_ctl.rightCountBox->text(), QString::number(r.rightCount));
        QCOMPARE(m_ctl.timeSpentBox->text(), QString::number(r.timeSpent));
        // The program's own selection in the profile list is no profile choice.
        QCOMPARE(int(coreExam(*m_core).currentProfile), 9);
    } else {
        // A slot still to come: an empty form with the chosen profile.
        QVERIFY(inputsEnabled());
        QVERIFY(m_ctl.fullNameBox->text().isEmpty());
        QCOMPARE(m_ctl.birthYearBox->text(), QStringLiteral("0"));
        QCOMPARE(m_ctl.profileList->currentItem()->text(), QStringLiteral("9"));
        QCOMPARE(m_ctl.profileNameBox->text(), QStringLiteral("Профиль 9"));
        QCOMPARE(m_ctl.askedCountBox->text(), QStringLiteral("10"));
        QCOMPARE(m_ctl.protocolNumberBox->text(), QStringLiteral("4"));
    }

    // Back to the current examinee: editable again.
    bar()->setValue(3);
    QVERIFY(inputsEnabled());
    QCOMPARE(m_ctl.protocolNumberBox->text(), QStringLiteral("4"));
}

void TestRegistration::profileChoiceKeepsTheScroll() {
    start(true);
    m_window->toggleExamMode();
    bar()->setValue(6);
    QListWidgetItem* item = m_ctl.profileList->item(2);
    m_ctl.profileList->scrollToItem(item, QAbstractItemView::PositionAtTop);
    QTest::mouseClick(m_ctl.profileList->viewport(), Qt::LeftButton, {},
                      m_ctl.profileList->visualItemRect(item).center());
    QCOMPARE(int(coreExam(*m_core).currentProfile), 3);
    QCOMPARE(m_ctl.profileNameBox->text(), QStringLiteral("Профиль 3"));
    QCOMPARE(m_ctl.resultProfileBox->text(), QStringLiteral("Профиль 3"));
    QCOMPARE(m_ctl.askedCountBox->text(), QStringLiteral("4"));
    QCOMPARE(m_ctl.protocolNumberBox->text(), QStringLiteral("4"));
    QCOMPARE(m_ctl.registerPositionList->currentRow(), 3);
    QCOMPARE(m_reg->topRow(), 6);
}

void TestRegistration::scrollAfterClickingARow() {
    start(true);
    m_window->toggleExamMode();
    bar()->setValue(1);
    // The examiner clicks the number in sight, then scrolls on: the list stays where the
    // scroll took it although the current examinee's row is selected again.
    QTest::mouseClick(
        m_ctl.registerPositionList->viewport(), Qt::LeftButton, {},
        m_ctl.registerPositionList->visualItemRect(m_ctl.registerPositionList->item(1)).center());
    QCOMPARE(m_ctl.registerPositionList->currentRow(), 1);
    bar()->setValue(0);
    QCOMPARE(m_reg->topRow(), 0);
    QCOMPARE(m_ctl.registerPositionList->currentRow(), 3);
    QCOMPARE(m_ctl.fullNameBox->text(), QStringLiteral("Первый П.П."));
    QVERIFY(inputsDisabled());
}

void TestRegistration::nameBoxClickEmptiesIt() {
    start(true);
    m_window->toggleExamMode();
    m_ctl.fullNameBox->setText(QStringLiteral("Иванов"));
    QTest::mouseClick(m_ctl.fullNameBox, Qt::LeftButton);
    QVERIFY(m_ctl.fullNameBox->text().isEmpty());
    m_ctl.fullNameBox->setText(QStringLiteral("Иванов И."));
    QTest::mouseClick(m_ctl.fullNameBox, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(m_ctl.fullNameBox->text().isEmpty());

    // An earlier examinee's name cannot be erased.
    bar()->setValue(1);
    QTest::mouseClick(m_ctl.fullNameBox, Qt::LeftButton);
    QCOMPARE(m_ctl.fullNameBox->text(), QStringLiteral("Второй В.В."));
}

void TestRegistration::wholeTextSelectedOnEntry_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("byClick");
    for (const char* name : {"birthYearBox", "jobTitleBox", "seniorityBox", "personnelNumberBox"}) {
        QTest::newRow(QByteArray(name).append(" by click").constData()) << name << true;
        QTest::newRow(QByteArray(name).append(" by program").constData()) << name << false;
    }
}

void TestRegistration::wholeTextSelectedOnEntry() {
    QFETCH(QString, box);
    QFETCH(bool, byClick);
    start(false);
    m_window->toggleExamMode();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_ctl.fullNameBox->setFocus();

    auto* edit = m_reg->findChild<QLineEdit*>(box);
    QVERIFY(edit);
    edit->setText(QStringLiteral("текст в поле"));
    edit->setCursorPosition(3);
    if (byClick)
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() / 3, edit->height() / 2));
    else
        edit->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(edit->selectedText(), QStringLiteral("текст в поле"));
    QVERIFY(edit->hasFocus());
}

void TestRegistration::startWhileEarlierExamineeShown() {
    start(true);
    m_window->toggleExamMode();
    bar()->setValue(1);
    QCOMPARE(m_ctl.fullNameBox->text(), QStringLiteral("Второй В.В."));
    const DayRegisterArray before = coreExam(*m_core).dayRegister;
    QTest::mouseClick(m_ctl.startButton, Qt::LeftButton);
    // Nothing of examinee 2 is taken: the area is back at slot 4, empty, and asks for the data.
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.front().contains(QStringLiteral("№ 4")), qPrintable(m_messages.front()));
    QCOMPARE(int(coreExam(*m_core).examRunning), 0);
    QCOMPARE(m_reg->topRow(), 3);
    QVERIFY(inputsEnabled());
    QCOMPARE(m_ctl.fullNameBox->text(), QString());
    QVERIFY(coreExam(*m_core).dayRegister == before);
    QCOMPARE(int(coreExam(*m_core).currentExaminee), 4);
}

// A register filled on an earlier run looks as one filled in this session: the last
// record, read-only, and a notice instead of record 1 open for input.
void TestRegistration::fullRegisterAtStartUp() {
    start(false, true);
    auto* notice = m_reg->findChild<QLabel*>(QStringLiteral("registerFullLabel"));
    QVERIFY(notice);

    m_window->toggleExamMode();
    QCOMPARE(m_reg->topRow(), kRegisterSlots - 1);
    QVERIFY(inputsDisabled());
    QCOMPARE(m_ctl.fullNameBox->text(), QStringLiteral("Сдавший 100"));
    QCOMPARE(m_ctl.protocolNumberBox->text(), QStringLiteral("100"));
    // The number list shows the examinee the boxes show, also once it has been laid out.
    QCoreApplication::processEvents();
    QCOMPARE(m_ctl.registerPositionList->currentItem()->text(), QStringLiteral("100"));
    QCOMPARE(m_reg->topRow(), kRegisterSlots - 1);
    QVERIFY(notice->isVisible());
    QVERIFY(notice->text().contains(QStringLiteral("заполнен")));

    QTest::mouseClick(m_ctl.startButton, Qt::LeftButton);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages[0].contains(QStringLiteral("заполнен")));
    QVERIFY(!coreExam(*m_core).examRunning);
}

void TestRegistration::wheelNeedsTheFocus_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("onTheBar");
    QTest::newRow("register, no focus") << "registerPositionList" << false << false;
    QTest::newRow("register, no focus, on the bar") << "registerPositionList" << false << true;
    QTest::newRow("register, focus") << "registerPositionList" << true << false;
    QTest::newRow("profile, no focus") << "profileList" << false << false;
    QTest::newRow("profile, focus") << "profileList" << true << true;
}

void TestRegistration::wheelNeedsTheFocus() {
    QFETCH(QString, list);
    QFETCH(bool, focused);
    QFETCH(bool, onTheBar);
    start(true);
    m_window->toggleExamMode();
    auto* numbers = m_reg->findChild<QListWidget*>(list);
    QVERIFY(numbers);
    numbers->verticalScrollBar()->setValue(numbers->verticalScrollBar()->value() + 2);
    const int top = numbers->verticalScrollBar()->value();
    const QString shownName = m_ctl.fullNameBox->text();
    if (focused)
        numbers->setFocus(Qt::MouseFocusReason);
    else
        m_ctl.fullNameBox->setFocus(Qt::MouseFocusReason);
    QWidget* target = onTheBar ? static_cast<QWidget*>(numbers->verticalScrollBar()) : numbers->viewport();
    const QPointF at = target->rect().center();
    // One notch up: towards an earlier examinee or profile.
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
    QCOMPARE(numbers->verticalScrollBar()->value() != top, focused);
    QCOMPARE(numbers->hasFocus(), focused);
    if (!focused)
        QCOMPARE(m_ctl.fullNameBox->text(), shownName);
}

QTEST_MAIN(TestRegistration)
#include "tst_registration.moc"
