#include "render/table_surface.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

namespace krvo {
namespace {

int buttonNumber(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return kLeftButton;
        case Qt::RightButton:
            return kRightButton;
        default:
            return kOtherButton;
    }
}

}  // namespace

TableSurface::TableSurface(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picGameBack"));
    // The back buffer covers every pixel: nothing to clear before showing it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void TableSurface::paintEvent(QPaintEvent* event) {
    if (!picture) return;
    const QImage& image = picture();
    QPainter painter(this);
    // One rectangle at a time, each as the only clip: a plain rectangle of the
    // same format is a straight copy of rows, where a clip of many rectangles
    // would send every pixel through the general blending (and its threads).
    for (const QRect& rect : event->region()) {
        painter.setClipRect(rect);
        painter.drawImage(rect.topLeft(), image, rect);
    }
}

void TableSurface::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (onResize) onResize(event->size());
}

void TableSurface::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove) onMouseMove(buttonNumber(event->button()), event->position().toPoint());
}

void TableSurface::mouseReleaseEvent(QMouseEvent* event) {
    if (onMouseUp) onMouseUp(buttonNumber(event->button()), event->position().toPoint());
}

}  // namespace krvo
