#pragma once
// The About area, and the texts that name the program and its maker.

#include <QFrame>
#include <QIcon>

class QLabel;
class QPlainTextEdit;

namespace zet::ui {

// The program's own icon and picture from the resources linked into the program.
QIcon programIcon();
QPixmap programPicture();

QString makerWebAddress();
QString makerEmail();
// Six lines joined by CR LF: maker, product and version, web address, e-mail, an empty
// line and the rights notice.
QString aboutIdentityText();
// The six clauses of the terms of use.
QString usageTermsText();
// The message of "Базы тестов".
QString helpText();

class AboutArea : public QFrame {
    Q_OBJECT
public:
    explicit AboutArea(QWidget* parent);

    // The menu item: fills the texts, then shows the area or hides it when it is open.
    void toggle();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* m_identityBox = nullptr;
    QPlainTextEdit* m_termsBox = nullptr;
    QLabel* m_webAddressLabel = nullptr;
    QLabel* m_picture = nullptr;
};

} // namespace zet::ui
