#include "ui/shell/scaledsurface.h"

#include "ui/shell/uikit.h"

#include <algorithm>
#include <cmath>

namespace zet::ui {

namespace {

// Below half the designed size the texts can no longer be read.
constexpr double kSmallestScale = 0.5;
// How far off the designed size a window may be and still be drawn unscaled.
constexpr double kSnapPixels = 2.5;

} // namespace

ScaledSurface::ScaledSurface(int designWidth, int designHeight, QWidget* parent)
    : QWidget(parent), m_designWidth(designWidth), m_designHeight(designHeight) {
    setObjectName(QStringLiteral("SurfaceFrame"));
    m_canvas = new QWidget(this);
    m_canvas->setObjectName(QStringLiteral("Surface"));
    m_canvas->setGeometry(QRect(QPoint(0, 0), designSize()));
}

QSize ScaledSurface::designSize() const {
    return {twips(m_designWidth), twips(m_designHeight)};
}

QSize ScaledSurface::sizeHint() const {
    return designSize();
}

QSize ScaledSurface::minimumSizeHint() const {
    return designSize() * kSmallestScale;
}

void ScaledSurface::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QSize design = designSize();
    // The designed size divided by itself is exactly 1: nothing moves by a pixel there. A window
    // a pixel or two off it (a menu bar of another height) keeps the designed size as well.
    double scale = std::max(kSmallestScale,
                            std::min(double(width()) / design.width(), double(height()) / design.height()));
    if (std::abs(scale - 1.0) * std::max(design.width(), design.height()) < kSnapPixels)
        scale = 1.0;
    const QSize canvas(scaledTwips(m_designWidth, scale), scaledTwips(m_designHeight, scale));
    m_canvas->setGeometry(std::max(0, (width() - canvas.width()) / 2), 0, canvas.width(), canvas.height());
    if (scale == m_scale)
        return;
    m_scale = scale;
    rescale();
    emit scaled();
}

void ScaledSurface::rescale() {
    scaleTwips(m_canvas, m_scale);
}

} // namespace zet::ui
