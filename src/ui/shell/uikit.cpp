#include "ui/shell/uikit.h"

#include "model/textvalue.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QScreen>
#include <QScrollBar>
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

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, int left, int top, int width,
                  int height, const LabelOptions& options) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    if (options.alignment)
        label->setAlignment(*options.alignment);
    if (options.font)
        label->setFont(*options.font);
    placeTwips(label, left, top, width, height);
    if (options.buddy) {
        label->setBuddy(options.buddy);
        if (options.buddy->accessibleName().isEmpty())
            options.buddy->setAccessibleName(text.simplified());
    }
    return label;
}

QListWidget* makeNumberList(QWidget* parent, const QString& name, const QString& accessibleName, int first,
                            int last, int left, int top, int width, int height,
                            const NumberListOptions& options) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessibleName);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    if (options.scrollBarAlwaysOn)
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    if (options.background)
        setBoxColor(list, *options.background);
    placeTwips(list, left, top, width, height);
    list->setUniformItemSizes(true);
    const QSize row(twips(width), list->height() - 2 * list->frameWidth());
    for (int n = first; n <= last; ++n) {
        auto* item = new QListWidgetItem(numberText(n), list);
        item->setSizeHint(row);
    }
    if (!options.selectShownNumber)
        return list;

    // Rows scroll one item at a time, so the bar's position is the row shown. Selecting it runs
    // the list's click reaction as a key or a click does.
    QScrollBar* bar = list->verticalScrollBar();
    QObject::connect(bar, &QAbstractSlider::actionTriggered, list, [list, bar] {
        const int shown = bar->sliderPosition();
        if (shown >= 0 && shown < list->count())
            list->setCurrentRow(shown);
    });
    // Ctrl and a click or the space bar would deselect the shown number.
    QObject::connect(list, &QListWidget::itemSelectionChanged, list, [list] {
        if (list->selectedItems().isEmpty() && list->currentItem())
            list->currentItem()->setSelected(true);
    });
    return list;
}

} // namespace zet::ui
