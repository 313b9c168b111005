#pragma once
// ResultWindow, the result window ("Результат"): the outcome of the exam just finished, shown to
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
    // The text of value box Text1(k), k = 0..7.
    QString value(int k) const;

    // "Выход".
    void command1Click();

    std::array<QLabel*, 8> label1{};
    // Text1(1), the test name, has several lines; the others are one-line boxes.
    std::array<QWidget*, 8> text1{};
    QPushButton* command1 = nullptr;

signals:
    // The examinee closed the window.
    void acknowledged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setValue(int k, const QString& text);
};

} // namespace zet::ui
