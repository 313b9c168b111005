#include "ui/shell/uikit.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QtMath>

namespace zet::ui {

int twips(int twips) {
    double dpi = 96.0;
    if (auto* screen = QGuiApplication::primaryScreen())
        dpi = screen->logicalDotsPerInch();
    return qRound(twips * dpi / 1440.0);
}

void placeTwips(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

void setBoxColor(QWidget* w, const QColor& background) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, background);
    w->setPalette(p);
}

void setWindowColor(QWidget* w, const QColor& background) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, background);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QFont timesFont(double pointSize) {
    QFont f(QStringLiteral("Times New Roman"));
    f.setPointSizeF(pointSize);
    return f;
}

QFont sansFont(double pointSize) {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSizeF(pointSize);
    return f;
}

void registerFontSubstitutions() {
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                               {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

} // namespace zet::ui
