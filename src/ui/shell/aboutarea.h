#pragma once
// Frame7, the About area, and the texts that name the program and its maker.

#include <QFrame>
#include <QIcon>

class QLabel;
class QPlainTextEdit;

namespace zet::ui {

// The program's own icon and picture from the resources linked into the program.
QIcon ProgramIcon();
QPixmap ProgramPicture();

QString MakerWebAddress();
QString MakerEmail();
// Six lines joined by CR LF: maker, product and version, web address, e-mail, an empty
// line and the rights notice.
QString AboutIdentityText();
// The six clauses of the terms of use.
QString UsageTermsText();
// The message of "Базы тестов".
QString HelpText();

class AboutArea : public QFrame {
    Q_OBJECT
public:
    explicit AboutArea(QWidget* parent);

    // The menu item: fills the texts, then shows the area or hides it when it is open.
    void Toggle();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* Text38 = nullptr;
    QPlainTextEdit* Text39 = nullptr;
    QLabel* Label47 = nullptr;
    QLabel* Image2 = nullptr;
};

} // namespace zet::ui
