#pragma once
// The controls of the registration and exam areas, found by their object names, for tests that
// type into them and click them as the examiner and the examinee do.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <array>

struct RegistrationControls {
    RegistrationControls() = default;
    explicit RegistrationControls(const QWidget* area)
        : fullNameBox(box(area, "fullNameBox")), birthYearBox(box(area, "birthYearBox")),
          jobTitleBox(box(area, "jobTitleBox")), seniorityBox(box(area, "seniorityBox")),
          personnelNumberBox(box(area, "personnelNumberBox")),
          profileList(area->findChild<QListWidget*>(QStringLiteral("profileList"))),
          profileNameBox(box(area, "profileNameBox")),
          registerPositionList(area->findChild<QListWidget*>(QStringLiteral("registerPositionList"))),
          startButton(area->findChild<QPushButton*>(QStringLiteral("startButton"))),
          protocolNumberBox(box(area, "protocolNumberBox")), resultProfileBox(box(area, "resultProfileBox")),
          gradeBox(box(area, "gradeBox")), askedCountBox(box(area, "askedCountBox")),
          rightCountBox(box(area, "rightCountBox")), timeSpentBox(box(area, "timeSpentBox")) {}

    // True when every control was found.
    bool complete() const {
        const std::initializer_list<const QObject*> all = {
            fullNameBox,      birthYearBox,   jobTitleBox,          seniorityBox,  personnelNumberBox,
            profileList,      profileNameBox, registerPositionList, startButton,   protocolNumberBox,
            resultProfileBox, gradeBox,       askedCountBox,        rightCountBox, timeSpentBox};
        for (const QObject* w : all) {
            if (!w)
                return false;
        }
        return true;
    }

    QLineEdit* fullNameBox = nullptr;
    QLineEdit* birthYearBox = nullptr;
    QLineEdit* jobTitleBox = nullptr;
    QLineEdit* seniorityBox = nullptr;
    QLineEdit* personnelNumberBox = nullptr;
    QListWidget* profileList = nullptr;
    QLineEdit* profileNameBox = nullptr;
    QListWidget* registerPositionList = nullptr;
    QPushButton* startButton = nullptr;
    QLineEdit* protocolNumberBox = nullptr;
    QLineEdit* resultProfileBox = nullptr;
    QLineEdit* gradeBox = nullptr;
    QLineEdit* askedCountBox = nullptr;
    QLineEdit* rightCountBox = nullptr;
    QLineEdit* timeSpentBox = nullptr;

private:
    static QLineEdit* box(const QWidget* area, const char* name) {
        return area->findChild<QLineEdit*>(QString::fromLatin1(name));
    }
};

struct ExamAreaControls {
    ExamAreaControls() = default;
    explicit ExamAreaControls(const QWidget* area)
        : questionNumberLabel(area->findChild<QLabel*>(QStringLiteral("questionNumberLabel"))),
          examineeLabel(area->findChild<QLabel*>(QStringLiteral("examineeLabel"))),
          questionBox(area->findChild<QPlainTextEdit*>(QStringLiteral("questionBox"))),
          answerPromptLabel(area->findChild<QLabel*>(QStringLiteral("answerPromptLabel"))),
          timeLeftLabel(area->findChild<QLabel*>(QStringLiteral("timeLeftLabel"))) {
        for (int p = 1; p <= 5; ++p)
            answerBoxes[p] = area->findChild<QPlainTextEdit*>(QStringLiteral("answerBox_%1").arg(p));
    }

    bool complete() const {
        for (int p = 1; p <= 5; ++p) {
            if (!answerBoxes[p])
                return false;
        }
        return questionNumberLabel && examineeLabel && questionBox && answerPromptLabel && timeLeftLabel;
    }

    QLabel* questionNumberLabel = nullptr;
    QLabel* examineeLabel = nullptr;
    QPlainTextEdit* questionBox = nullptr;
    QLabel* answerPromptLabel = nullptr;
    QLabel* timeLeftLabel = nullptr;
    // By position 1..5; element 0 is unused.
    std::array<QPlainTextEdit*, 6> answerBoxes{};
};
