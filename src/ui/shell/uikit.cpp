#include "ui/shell/uikit.h"

#include "model/textvalue.h"

#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QScreen>
#include <QScrollBar>
#include <QtMath>

#include <algorithm>

namespace zet::ui {

namespace {

// Where placeTwips() keeps a widget's rectangle and scaleTwips() its designed font.
constexpr char kTwipsRect[] = "zetTwipsRect";
constexpr char kDesignFont[] = "zetDesignFont";

double screenDpi() {
    double dpi = 96.0;
    if (auto* screen = QGuiApplication::primaryScreen())
        dpi = screen->logicalDotsPerInch();
    return dpi;
}

QRect scaledRect(const QRect& twipsRect, double scale) {
    return {scaledTwips(twipsRect.left(), scale), scaledTwips(twipsRect.top(), scale),
            scaledTwips(twipsRect.width(), scale), scaledTwips(twipsRect.height(), scale)};
}

QFont scaledFont(QFont font, double scale) {
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * scale);
    else if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, qRound(font.pixelSize() * scale)));
    return font;
}

} // namespace

int twips(int twips) {
    return scaledTwips(twips, 1.0);
}

int scaledTwips(int twips, double scale) {
    return qRound(twips * screenDpi() * scale / 1440.0);
}

void placeTwips(QWidget* w, int left, int top, int width, int height) {
    const QRect rect(left, top, width, height);
    w->setProperty(kTwipsRect, rect);
    w->setGeometry(scaledRect(rect, 1.0));
}

void scaleTwips(QWidget* root, double scale) {
    // Parents before their children, so that each widget's font is taken before anything above
    // it changed; the designed fonts of the whole tree are noted before any font changes.
    QList<QWidget*> widgets;
    auto collect = [&widgets](QWidget* parent, auto& self) -> void {
        for (QObject* child : parent->children()) {
            auto* w = qobject_cast<QWidget*>(child);
            if (!w || w->isWindow())
                continue;
            widgets.append(w);
            self(w, self);
        }
    };
    collect(root, collect);
    for (QWidget* w : std::as_const(widgets)) {
        if (!w->property(kDesignFont).isValid())
            w->setProperty(kDesignFont, w->font());
    }
    for (QWidget* w : std::as_const(widgets)) {
        const QFont font = scaledFont(w->property(kDesignFont).value<QFont>(), scale);
        if (w->font() != font)
            w->setFont(font);
        const QVariant rect = w->property(kTwipsRect);
        if (rect.isValid())
            w->setGeometry(scaledRect(rect.toRect(), scale));
    }
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

namespace {

// The designed family (the first) when this computer has it, else the first stand-in that it
// has. Qt finds a family that is not installed only after asking fontconfig for all of its
// fallbacks, which costs milliseconds for each family at every start.
QString installedFamily(const QStringList& families) {
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : families) {
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    }
    return families.first();
}

} // namespace

const QStringList& serifFamilies() {
    static const QStringList families{QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                                      QStringLiteral("DejaVu Serif")};
    return families;
}

const QStringList& sansFamilies() {
    static const QStringList families{QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                                      QStringLiteral("DejaVu Sans")};
    return families;
}

QFont timesFont(double pointSize) {
    static const QString family = installedFamily(serifFamilies());
    QFont f(family);
    f.setPointSizeF(pointSize);
    return f;
}

QFont sansFont(double pointSize) {
    static const QString family = installedFamily(sansFamilies());
    QFont f(family);
    f.setPointSizeF(pointSize);
    return f;
}

void registerFontSubstitutions() {
    QFont::insertSubstitutions(serifFamilies().first(), serifFamilies().mid(1));
    QFont::insertSubstitutions(sansFamilies().first(), sansFamilies().mid(1));
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

namespace {

void fitRowsToList(QListWidget* list) {
    const QSize row(list->width(), list->height() - 2 * list->frameWidth());
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->sizeHint() != row)
            list->item(i)->setSizeHint(row);
    }
}

class OneRowKeeper : public QObject {
public:
    explicit OneRowKeeper(QListWidget* list) : QObject(list), m_list(list) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize && watched == m_list) {
            fitRowsToList(m_list);
        } else if (event->type() == QEvent::Wheel && !m_list->hasFocus()) {
            event->ignore();
            return true;
        }
        return false;
    }

private:
    QListWidget* m_list;
};

} // namespace

QListWidget* makeNumberList(QWidget* parent, const QString& name, const QString& accessibleName, int first,
                            int last, int left, int top, int width, int height,
                            const NumberListOptions& options) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessibleName);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    // A click or Tab gives it the keyboard, the wheel does not.
    list->setFocusPolicy(Qt::StrongFocus);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    if (options.scrollBarAlwaysOn)
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // Scaled down, the row loses more to the scroll bar than to the scale: a number a little
    // wider than what is left shows cut, not as "…".
    list->setTextElideMode(Qt::ElideNone);
    if (options.background)
        setBoxColor(list, *options.background);
    placeTwips(list, left, top, width, height);
    list->setUniformItemSizes(true);
    for (int n = first; n <= last; ++n)
        new QListWidgetItem(numberText(n), list);
    fitRowsToList(list);
    // Every row stays as high as the list when the list is scaled; a turn of the wheel over a
    // list without focus goes to what lies beneath, so that a stray turn changes nothing.
    auto* keeper = new OneRowKeeper(list);
    list->installEventFilter(keeper);
    list->viewport()->installEventFilter(keeper);
    list->verticalScrollBar()->installEventFilter(keeper);
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
