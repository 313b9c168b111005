#include "ui/shell/programstyle.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <optional>

namespace zet::ui {

namespace {

// An icon whose images are made by the base style the first time they are asked for.
class DeferredIconEngine : public QIconEngine {
public:
    DeferredIconEngine(const QStyle* base, QStyle::StandardPixmap icon, const QWidget* widget)
        : m_base(const_cast<QStyle*>(base)), m_icon(icon), m_widget(const_cast<QWidget*>(widget)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        real().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return real().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return real().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return real().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return real().availableSizes(mode, state);
    }
    bool isNull() override { return real().isNull(); }
    QString key() const override { return QStringLiteral("zetDeferred"); }
    QIconEngine* clone() const override {
        auto* copy = new DeferredIconEngine(m_base, m_icon, m_widget);
        copy->m_real = m_real;
        return copy;
    }

private:
    QIcon& real() {
        if (!m_real)
            m_real = m_base ? m_base->standardIcon(m_icon, nullptr, m_widget) : QIcon();
        return *m_real;
    }

    QPointer<QStyle> m_base;
    QStyle::StandardPixmap m_icon;
    QPointer<QWidget> m_widget;
    std::optional<QIcon> m_real;
};

} // namespace

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const {
    // An icon drawn from a style option (a given state or palette) is made at once.
    if (option)
        return QProxyStyle::standardIcon(icon, option, widget);
    return QIcon(new DeferredIconEngine(baseStyle(), icon, widget));
}

void useProgramStyle() {
    // Over the style the platform or -style chose, made when it is first needed.
    QApplication::setStyle(new ProgramStyle);
}

} // namespace zet::ui
