// The registration area: its controls, the look of the current and of earlier examinees,
// the profile choice, looking back through the day with the number list, and the small
// conveniences of the input boxes.

#include "app/module1.h"
#include "archive/dayfile.h"
#include "ui/exam/examarea.h"
#include "ui/exam/exammode.h"
#include "ui/exam/registrationarea.h"
#include "ui/shell/form1.h"
#include "ui/shell/messages.h"
#include "ui/shell/uikit.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace zet;
using namespace zet::ui;

namespace {

const QDate kToday(2010, 12, 3);

ExamineeRecord Finished(int n, int profile, const QString& name) {
    ExamineeRecord r;
    r.ProtocolNo = static_cast<int16>(n);
    r.ProfileNo = static_cast<int16>(profile);
    r.ProfileName = QStringLiteral("Профиль %1").arg(profile);
    r.FullName = name;
    r.BirthYear = static_cast<int16>(1960 + n);
    r.JobTitle = QStringLiteral("электрик");
    r.Seniority = static_cast<int16>(n * 3);
    r.Grade = static_cast<int16>(2 + n);
    r.AskedCount = 10;
    r.RightCount = static_cast<int16>(5 + n);
    r.TimeSpent = static_cast<int16>(100 * n);
    r.PersonnelNo = QStringLiteral("№%1").arg(n);
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

private:
    // Starts the main window; with earlier set, today's day file already holds three exams.
    void Start(bool earlier);
    QScrollBar* Bar() const { return m_reg->List24->verticalScrollBar(); }
    bool InputsEnabled() const;
    bool InputsDisabled() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Module1> m_core;
    std::unique_ptr<Form1> m_window;
    RegistrationArea* m_reg = nullptr;
    QStringList m_messages;
};

void TestRegistration::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages.clear();
    Hooks().message = [this](const QString& text) { m_messages << text; };
}

void TestRegistration::cleanup() {
    m_window.reset();
    m_core.reset();
    m_dir.reset();
    Hooks() = MessageHooks{};
}

void TestRegistration::Start(bool earlier) {
    if (earlier) {
        DayRegisterArray reg{};
        reg[1] = Finished(1, 2, QStringLiteral("Первый П.П."));
        reg[2] = Finished(2, 7, QStringLiteral("Второй В.В."));
        reg[3] = Finished(3, 3, QStringLiteral("Третий Т.Т."));
        DayArchive archive;
        QVERIFY(archive.Prepare(m_dir->path() + QLatin1Char('/'), kToday, reg).ok);
    }
    m_core = std::make_unique<Module1>(std::make_unique<SeededRandom>(5), [] { return kToday; });
    m_window = std::make_unique<Form1>(*m_core, Form1Options{m_dir->path()});
    QVERIFY(m_messages.isEmpty());
    Database& db = m_core->db;
    for (int i = 1; i <= kProfileCount; ++i) {
        db.Profiles[i].Name = QStringLiteral("Профиль %1").arg(i);
        db.Profiles[i].QuestionCount = static_cast<int16>(i % 15 + 1);
    }
    for (int q = 1; q <= 3; ++q) {
        db.Questions(1, q, 0) = QStringLiteral("1111111111Вопрос %1").arg(q);
        for (int p = 1; p <= 5; ++p)
            db.Questions(1, q, p) = QStringLiteral("Ответ %1").arg(p);
    }
    m_core->selection.ShuffleAllThemes();
    m_reg = m_window->findChild<RegistrationArea*>(QStringLiteral("Frame2"));
    QVERIFY(m_reg);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

bool TestRegistration::InputsEnabled() const {
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_reg->Text2, m_reg->Text11, m_reg->Text12, m_reg->Text13,
                                         m_reg->Text14, m_reg->Text21, m_reg->List23}) {
        if (!w->isEnabled())
            return false;
    }
    return true;
}

bool TestRegistration::InputsDisabled() const {
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_reg->Text2, m_reg->Text11, m_reg->Text12, m_reg->Text13,
                                         m_reg->Text14, m_reg->Text21, m_reg->List23}) {
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
    QTest::newRow("Frame2") << "Frame2" << QRect(405, 0, 14475, 10065) << none << false;
    QTest::newRow("Text2") << "Text2" << QRect(4785, 435, 6855, 465) << kLightGreen << false;
    QTest::newRow("Text11") << "Text11" << QRect(4770, 1095, 1155, 465) << kLightGreen << false;
    QTest::newRow("Text12") << "Text12" << QRect(4770, 1770, 6900, 465) << kLightGreen << false;
    QTest::newRow("Text13") << "Text13" << QRect(4770, 2445, 1155, 465) << kLightGreen << false;
    QTest::newRow("Text21") << "Text21" << QRect(9750, 2445, 1965, 465) << kLightGreen << false;
    QTest::newRow("List23") << "List23" << QRect(4770, 3120, 1155, 405) << kLightGreen << false;
    QTest::newRow("Text14") << "Text14" << QRect(6120, 3090, 8250, 465) << kLightGreen << false;
    QTest::newRow("List24") << "List24" << QRect(810, 4095, 1245, 555) << none << false;
    QTest::newRow("Command3") << "Command3" << QRect(300, 4830, 2280, 570) << none << false;
    QTest::newRow("Text15") << "Text15" << QRect(4860, 5955, 1155, 465) << kLightYellow << true;
    QTest::newRow("Text16") << "Text16" << QRect(4860, 6570, 9435, 465) << kLightYellow << true;
    QTest::newRow("Text17") << "Text17" << QRect(4860, 7200, 1155, 465) << kLightYellow << true;
    QTest::newRow("Text18") << "Text18" << QRect(4860, 7815, 1155, 465) << kLightYellow << true;
    QTest::newRow("Text19") << "Text19" << QRect(4860, 8445, 1155, 465) << kLightYellow << true;
    QTest::newRow("Text20") << "Text20" << QRect(4860, 9060, 1155, 465) << kLightYellow << true;
}

void TestRegistration::layout() {
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QColor, colour);
    QFETCH(bool, result);
    Start(false);
    auto* w = m_window->findChild<QWidget*>(name);
    QVERIFY(w);
    QCOMPARE(w->geometry(),
             QRect(Twips(twips.x()), Twips(twips.y()), Twips(twips.width()), Twips(twips.height())));
    if (colour.isValid())
        QCOMPARE(w->palette().color(QPalette::Base), colour);
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QListWidget*>(w))
        QVERIFY(!w->accessibleName().isEmpty());
    if (auto* box = qobject_cast<QLineEdit*>(w)) {
        m_window->mnu_Exam_Click();
        QCOMPARE(box->isEnabled(), !result);
        QCOMPARE(box->isReadOnly(), result || name == QStringLiteral("Text14"));
    }
}

void TestRegistration::captions_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Text2") << "Text2"
                           << "Ф.И.О. сдающего:";
    QTest::newRow("Text11") << "Text11"
                            << "Год рождения:";
    QTest::newRow("Text12") << "Text12"
                            << "Должность:";
    QTest::newRow("Text13") << "Text13"
                            << "Стаж работы:";
    QTest::newRow("Text21") << "Text21"
                            << "Табел. номер:";
    QTest::newRow("List23") << "List23"
                            << "Профиль экзамена:";
    QTest::newRow("List24") << "List24"
                            << "Порядковый номер:";
    QTest::newRow("Text15") << "Text15"
                            << "Номер протокола:";
    QTest::newRow("Text16") << "Text16"
                            << "Профиль экзамена:";
    QTest::newRow("Text17") << "Text17"
                            << "Оценка:";
    QTest::newRow("Text18") << "Text18"
                            << "Количество заданых вопросов:";
    QTest::newRow("Text19") << "Text19"
                            << "Правильных ответов:";
    QTest::newRow("Text20") << "Text20"
                            << "Затраченое время:";
}

void TestRegistration::captions() {
    QFETCH(QString, box);
    QFETCH(QString, caption);
    Start(false);
    QWidget* w = m_reg->findChild<QWidget*>(box);
    QVERIFY(w);
    QStringList found;
    for (QLabel* label : m_reg->findChildren<QLabel*>()) {
        if (label->buddy() == w)
            found << label->text();
    }
    QCOMPARE(found, QStringList{caption});

    QCOMPARE(m_reg->title(), QStringLiteral("Персональные сведенья"));
    QCOMPARE(m_reg->Command3->text(), QStringLiteral("Начать экзамен"));
    QCOMPARE(m_reg->font().family(), QStringLiteral("Times New Roman"));
    QCOMPARE(m_reg->font().pointSizeF(), 15.75);
    QCOMPARE(m_reg->List24->font().pointSizeF(), 21.75);
    QVERIFY(m_reg->findChild<QLabel*>(QStringLiteral("Label_Results")));
    QCOMPARE(m_reg->findChild<QLabel*>(QStringLiteral("Label_Results"))->text(),
             QStringLiteral("Результаты экзамена:"));
}

void TestRegistration::freshDay() {
    Start(false);
    QCOMPARE(int(m_core->exam.CurrentExaminee), 1);
    // Start-up showed the empty slot 1.
    for (QLineEdit* box : {m_reg->Text11, m_reg->Text13, m_reg->Text15, m_reg->Text17, m_reg->Text18,
                           m_reg->Text19, m_reg->Text20})
        QCOMPARE(box->text(), QStringLiteral("0"));
    QVERIFY(m_reg->Text2->text().isEmpty());
    QCOMPARE(m_reg->List23->count(), 20);
    QCOMPARE(m_reg->List24->count(), 100);
    QCOMPARE(m_reg->List23->item(19)->text(), QStringLiteral("20"));
    QCOMPARE(m_reg->List24->item(99)->text(), QStringLiteral("100"));
    QCOMPARE(m_reg->List23->currentItem()->text(), QStringLiteral("1"));
    QCOMPARE(m_reg->List24->currentItem()->text(), QStringLiteral("1"));

    m_window->mnu_Exam_Click();
    QVERIFY(m_reg->isVisible());
    QCOMPARE(m_reg->TopRow(), 0);
    QVERIFY(InputsEnabled());
    QCOMPARE(m_reg->Text14->text(), QStringLiteral("Профиль 1"));
    QCOMPARE(m_reg->Text16->text(), QStringLiteral("Профиль 1"));
    QCOMPARE(m_reg->Text18->text(), QStringLiteral("2"));
    QCOMPARE(m_reg->Text15->text(), QStringLiteral("1"));
}

void TestRegistration::restartAfterThreeExams() {
    Start(true);
    QCOMPARE(int(m_core->exam.CurrentExaminee), 4);
    QCOMPARE(m_core->exam.DayRegister[2].FullName, QStringLiteral("Второй В.В."));
    m_reg->Text11->setText(QStringLiteral("1999"));
    m_reg->Text2->setText(QStringLiteral("Кто-то"));

    m_window->mnu_Exam_Click();
    QCOMPARE(m_reg->TopRow(), 3);
    QCOMPARE(m_reg->List24->currentRow(), 3);
    QVERIFY(InputsEnabled());
    // An empty form for examinee 4 with the profile chosen last.
    QVERIFY(m_reg->Text2->text().isEmpty());
    QCOMPARE(m_reg->Text11->text(), QStringLiteral("0"));
    QCOMPARE(m_reg->List23->currentItem()->text(), QStringLiteral("1"));
    QCOMPARE(m_reg->Text14->text(), QStringLiteral("Профиль 1"));
    QCOMPARE(m_reg->Text18->text(), QStringLiteral("2"));
    QCOMPARE(m_reg->Text15->text(), QStringLiteral("4"));

    // Leaving and entering again keeps a profile picked meanwhile.
    m_reg->List23->setCurrentRow(5);
    m_window->mnu_Exam_Click();
    m_window->mnu_Exam_Click();
    QCOMPARE(m_reg->List23->currentItem()->text(), QStringLiteral("6"));
    QCOMPARE(m_reg->Text14->text(), QStringLiteral("Профиль 6"));
    QCOMPARE(m_reg->Text18->text(), QStringLiteral("7"));
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
    Start(true);
    m_window->mnu_Exam_Click();
    m_reg->List23->setCurrentRow(8);
    Bar()->setValue(10);
    m_reg->Text2->setText(QStringLiteral("Набранное имя"));

    Bar()->setValue(top);
    // The examiner's scroll stands: the program's re-selection of the current row does not
    // bring it back into view.
    QCOMPARE(m_reg->TopRow(), top);
    QCOMPARE(Bar()->value(), top);
    QCOMPARE(m_reg->List24->currentRow(), 3);
    QCOMPARE(m_reg->List24->currentItem()->isSelected(), true);

    const int n = top + 1;
    if (earlier) {
        const ExamineeRecord& r = m_core->exam.DayRegister[n];
        QVERIFY(InputsDisabled());
        QVERIFY(m_reg->Command3->isEnabled());
        QCOMPARE(m_reg->Text2->text(), r.FullName);
        QCOMPARE(m_reg->Text11->text(), QString::number(r.BirthYear));
        QCOMPARE(m_reg->Text12->text(), r.JobTitle);
        QCOMPARE(m_reg->Text13->text(), QString::number(r.Seniority));
        QCOMPARE(m_reg->Text21->text(), r.PersonnelNo);
        QCOMPARE(m_reg->List23->currentItem()->text(), QString::number(r.ProfileNo));
        QCOMPARE(m_reg->Text14->text(), r.ProfileName);
        QCOMPARE(m_reg->Text15->text(), QString::number(n));
        QCOMPARE(m_reg->Text16->text(), r.ProfileName);
        QCOMPARE(m_reg->Text17->text(), QString::number(r.Grade));
        QCOMPARE(m_reg->Text18->text(), QStringLiteral("10"));
        QCOMPARE(m_reg->Text19->text(), QString::number(r.RightCount));
        QCOMPARE(m_reg->Text20->text(), QString::number(r.TimeSpent));
        // The program's selection in List23 is no profile choice.
        QCOMPARE(int(m_core->exam.CurrentProfile), 9);
    } else {
        // A slot still to come: an empty form with the chosen profile.
        QVERIFY(InputsEnabled());
        QVERIFY(m_reg->Text2->text().isEmpty());
        QCOMPARE(m_reg->Text11->text(), QStringLiteral("0"));
        QCOMPARE(m_reg->List23->currentItem()->text(), QStringLiteral("9"));
        QCOMPARE(m_reg->Text14->text(), QStringLiteral("Профиль 9"));
        QCOMPARE(m_reg->Text18->text(), QStringLiteral("10"));
        QCOMPARE(m_reg->Text15->text(), QStringLiteral("4"));
    }

    // Back to the current examinee: editable again.
    Bar()->setValue(3);
    QVERIFY(InputsEnabled());
    QCOMPARE(m_reg->Text15->text(), QStringLiteral("4"));
}

void TestRegistration::profileChoiceKeepsTheScroll() {
    Start(true);
    m_window->mnu_Exam_Click();
    Bar()->setValue(6);
    QListWidgetItem* item = m_reg->List23->item(2);
    m_reg->List23->scrollToItem(item, QAbstractItemView::PositionAtTop);
    QTest::mouseClick(m_reg->List23->viewport(), Qt::LeftButton, {},
                      m_reg->List23->visualItemRect(item).center());
    QCOMPARE(int(m_core->exam.CurrentProfile), 3);
    QCOMPARE(m_reg->Text14->text(), QStringLiteral("Профиль 3"));
    QCOMPARE(m_reg->Text16->text(), QStringLiteral("Профиль 3"));
    QCOMPARE(m_reg->Text18->text(), QStringLiteral("4"));
    QCOMPARE(m_reg->Text15->text(), QStringLiteral("4"));
    QCOMPARE(m_reg->List24->currentRow(), 3);
    QCOMPARE(m_reg->TopRow(), 6);
}

void TestRegistration::scrollAfterClickingARow() {
    Start(true);
    m_window->mnu_Exam_Click();
    Bar()->setValue(1);
    // The examiner clicks the number in sight, then scrolls on: the list stays where the
    // scroll took it although the current examinee's row is selected again.
    QTest::mouseClick(m_reg->List24->viewport(), Qt::LeftButton, {},
                      m_reg->List24->visualItemRect(m_reg->List24->item(1)).center());
    QCOMPARE(m_reg->List24->currentRow(), 1);
    Bar()->setValue(0);
    QCOMPARE(m_reg->TopRow(), 0);
    QCOMPARE(m_reg->List24->currentRow(), 3);
    QCOMPARE(m_reg->Text2->text(), QStringLiteral("Первый П.П."));
    QVERIFY(InputsDisabled());
}

void TestRegistration::nameBoxClickEmptiesIt() {
    Start(true);
    m_window->mnu_Exam_Click();
    m_reg->Text2->setText(QStringLiteral("Иванов"));
    QTest::mouseClick(m_reg->Text2, Qt::LeftButton);
    QVERIFY(m_reg->Text2->text().isEmpty());
    m_reg->Text2->setText(QStringLiteral("Иванов И."));
    QTest::mouseClick(m_reg->Text2, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(m_reg->Text2->text().isEmpty());

    // An earlier examinee's name cannot be erased.
    Bar()->setValue(1);
    QTest::mouseClick(m_reg->Text2, Qt::LeftButton);
    QCOMPARE(m_reg->Text2->text(), QStringLiteral("Второй В.В."));
}

void TestRegistration::wholeTextSelectedOnEntry_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("byClick");
    for (const char* name : {"Text11", "Text12", "Text13", "Text21"}) {
        QTest::newRow(QByteArray(name).append(" by click").constData()) << name << true;
        QTest::newRow(QByteArray(name).append(" by program").constData()) << name << false;
    }
}

void TestRegistration::wholeTextSelectedOnEntry() {
    QFETCH(QString, box);
    QFETCH(bool, byClick);
    Start(false);
    m_window->mnu_Exam_Click();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_reg->Text2->setFocus();

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
    Start(true);
    m_window->mnu_Exam_Click();
    Bar()->setValue(1);
    QCOMPARE(m_reg->Text2->text(), QStringLiteral("Второй В.В."));
    const DayRegisterArray before = m_core->exam.DayRegister;
    QTest::mouseClick(m_reg->Command3, Qt::LeftButton);
    // Nothing of examinee 2 is taken: the area is back at slot 4, empty, and asks for the data.
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.front().contains(QStringLiteral("№ 4")), qPrintable(m_messages.front()));
    QCOMPARE(int(m_core->exam.ExamRunning), 0);
    QCOMPARE(m_reg->TopRow(), 3);
    QVERIFY(InputsEnabled());
    QCOMPARE(m_reg->Text2->text(), QString());
    QVERIFY(m_core->exam.DayRegister == before);
    QCOMPARE(int(m_core->exam.CurrentExaminee), 4);
}

QTEST_MAIN(TestRegistration)
#include "tst_registration.moc"
