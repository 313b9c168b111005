#pragma once
// The main window's work surface as a whole: laid out in twips at one designed size and scaled
// to the room the window gives it, fonts, boxes and gaps alike, so that nothing scrolls on a
// small screen and nothing stays small on a large one. At the designed size nothing is scaled.

#include <QWidget>

namespace zet::ui {

class ScaledSurface : public QWidget {
    Q_OBJECT
public:
    // The surface is designWidth x designHeight twips at scale 1.
    ScaledSurface(int designWidth, int designHeight, QWidget* parent = nullptr);

    // The widget the work areas are built on; it keeps the surface's proportions and stands
    // centred at the top of the room.
    QWidget* canvas() const { return m_canvas; }
    // The factor the twips layout is drawn at: 1 at the designed size.
    double scale() const { return m_scale; }
    // The designed size in pixels.
    QSize designSize() const;
    // Brings widgets built on the canvas since the last scaling to the present scale.
    void rescale();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The canvas was laid out at a new scale.
    void scaled();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int m_designWidth;
    int m_designHeight;
    double m_scale = 1.0;
    QWidget* m_canvas = nullptr;
};

} // namespace zet::ui
