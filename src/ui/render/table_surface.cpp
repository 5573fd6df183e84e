#include "render/table_surface.h"

#include <QFocusEvent>
#include <QKeyEvent>
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
    // The table covers every pixel: nothing to clear before painting it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("牌桌"));
}

void TableSurface::paintEvent(QPaintEvent* event) {
    if (!paintTable) return;
    QPainter painter(this);
    paintTable(painter, event->region());
}

void TableSurface::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (onResize) onResize(event->size());
}

QPoint TableSurface::onTable(const QMouseEvent& event) const {
    const QPoint point = event.position().toPoint();
    return toTable ? toTable(point) : point;
}

void TableSurface::mouseMoveEvent(QMouseEvent* event) {
    pointer_ = onTable(*event);
    if (onMouseMove) onMouseMove(buttonNumber(event->button()), *pointer_);
}

void TableSurface::mousePressEvent(QMouseEvent* event) {
    pointer_ = onTable(*event);
    QWidget::mousePressEvent(event);
}

void TableSurface::mouseReleaseEvent(QMouseEvent* event) {
    pointer_ = onTable(*event);
    if (onMouseUp) onMouseUp(buttonNumber(event->button()), *pointer_);
}

void TableSurface::leaveEvent(QEvent* event) {
    pointer_.reset();
    QWidget::leaveEvent(event);
}

void TableSurface::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (onFocusChanged) onFocusChanged(true);
}

void TableSurface::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    if (onFocusChanged) onFocusChanged(false);
}

void TableSurface::keyPressEvent(QKeyEvent* event) {
    constexpr Qt::KeyboardModifiers command =
        Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (onKeyPress &&
        onKeyPress(event->key(), (event->modifiers() & command) != 0, event->isAutoRepeat())) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace krvo
