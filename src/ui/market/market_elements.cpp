#include "market/market_elements.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace krvo {
namespace {

bool isActivationKey(int key) {
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

void drawFocusFrame(QWidget& widget) {
    QPainter painter(&widget);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(widget.rect().adjusted(1, 1, -2, -2));
}

}  // namespace

MarketPane::MarketPane(QWidget* parent, int width, int height) : QWidget(parent) {
    setFixedSize(width, height);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    face = QImage(width, height, QImage::Format_RGB32);
    face.fill(kMarketBodyColour);
}

void MarketPane::setFace(QImage picture) {
    face = std::move(picture);
    update();
}

void MarketPane::paintEvent(QPaintEvent* /*event*/) {
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(kMarketBodyColour));
        if (!face.isNull()) painter.drawImage(0, 0, face);
    }
    if (hasFocus()) drawFocusFrame(*this);
}

void MarketPane::mouseMoveEvent(QMouseEvent* event) {
    if (!hover && onHover) onHover();
    event->accept();
}

// Taken here: passed on, a press on a button of the top band would move the window.
void MarketPane::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void MarketPane::mouseReleaseEvent(QMouseEvent* event) {
    if (onRelease) onRelease(event->position().toPoint());
}

void MarketPane::leaveEvent(QEvent* /*event*/) {
    if (hover && onLeave) onLeave();
}

void MarketPane::keyPressEvent(QKeyEvent* event) {
    if (!isActivationKey(event->key()) || !onRelease) {
        QWidget::keyPressEvent(event);
        return;
    }
    onRelease(QPoint(0, 0));
}

void MarketPane::focusInEvent(QFocusEvent* /*event*/) {
    update();
    if (onFocus) onFocus();
}

void MarketPane::focusOutEvent(QFocusEvent* /*event*/) {
    update();
}

MarketLabel::MarketLabel(QWidget* parent) : QLabel(parent) {}

void MarketLabel::paintEvent(QPaintEvent* /*event*/) {
    // Through an image, as the window prints its other texts: a screen whose
    // font resolution differs would otherwise pick other glyphs for the links.
    QImage caption(size(), QImage::Format_ARGB32_Premultiplied);
    caption.fill(Qt::transparent);
    {
        QPainter painter(&caption);
        painter.setFont(font());
        painter.setPen(Qt::black);
        painter.drawText(0, painter.fontMetrics().ascent(), text());
    }
    {
        QPainter painter(this);
        painter.drawImage(0, 0, caption);
    }
    if (hasFocus()) drawFocusFrame(*this);
}

void MarketLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

void MarketLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click && onClick) onClick();
}

void MarketLabel::keyPressEvent(QKeyEvent* event) {
    if (!isActivationKey(event->key()) || !onClick) {
        QLabel::keyPressEvent(event);
        return;
    }
    onClick();
}

}  // namespace krvo
