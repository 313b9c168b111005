#pragma once
// The result window ("Результат"): the outcome of the exam just finished, shown to
// the examinee beside the main window. "Выход" hides it and ends the exam mode.

#include "app/appcore.h"

#include <QWidget>

#include <array>

class QLabel;
class QPushButton;

namespace zet::ui {

class ResultWindow : public QWidget {
    Q_OBJECT
public:
    // A window of its own, kept above owner.
    explicit ResultWindow(QWidget* owner);

    // Shows the window and fills it: the examinee's sequence number, the test name and
    // the stored record.
    void showResult(int16 examinee, const QString& testName, const ExamineeRecord& record);
    // The text of value box k, 0..7: sequence number, test name, profile, full name, grade,
    // questions asked, right answers, time spent.
    QString value(int k) const;

    // "Выход".
    void acknowledge();

signals:
    // The examinee closed the window.
    void acknowledged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setValue(int k, const QString& text);

    // The captions by index: test name, profile, full name, grade, questions asked, right
    // answers, time spent, sequence number.
    std::array<QLabel*, 8> m_captionLabels{};
    // The value boxes, numbered as value(k); box 1, the test name, has several lines.
    std::array<QWidget*, 8> m_valueBoxes{};
    QPushButton* m_exitButton = nullptr;
};

} // namespace zet::ui
