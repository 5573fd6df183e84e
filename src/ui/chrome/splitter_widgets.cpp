#include "chrome/splitter_widgets.h"

#include <QMouseEvent>
#include <QPainter>

#include "chrome/frame_layout.h"
#include "services/resources.h"

namespace krvo {
namespace {

constexpr int kTileStep = 3;

void tileDown(QPainter& painter, const QImage& tile, int from, int to) {
    if (tile.isNull()) return;
    for (int y = from; y <= to; y += kTileStep) painter.drawImage(0, y, tile);
}

}  // namespace

DragGhost::DragGhost(QWidget* window) : QWidget(window) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void DragGhost::showAt(const QRect& area) {
    hide();
    QWidget* window = parentWidget();
    if (window == nullptr) return;
    inverted_ = window->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    inverted_.invertPixels();
    setGeometry(area);
    raise();
    show();
}

void DragGhost::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, inverted_);
}

SplitterBar::SplitterBar(const std::string& appPath, QWidget* parent)
    : QWidget(parent),
      tile_(LoadPicturePair(appPath, "res\\VSpliterBk.bmp")),
      middleTile_(LoadPicturePair(appPath, "res\\VSpliterMidBk.bmp")),
      arrowRight_(LoadPicturePair(appPath, "res\\VSpliterMid_Right.bmp")),
      arrowLeft_(LoadPicturePair(appPath, "res\\VSpliterMid_Left.bmp")),
      ghost_(new DragGhost(parent)) {
    setObjectName(QStringLiteral("picSplitter"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SplitterBar::setCollapsed(bool collapsed) {
    collapsed_ = collapsed;
    update();
}

void SplitterBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const int hb = height();
    const qreal ratio = devicePixelRatioF();
    tileDown(painter, tile_.at(ratio), 0, hb);
    const int middle = (hb - kSplitterMiddleZone) / 2;
    tileDown(painter, middleTile_.at(ratio), middle, middle + kSplitterMiddleZone);
    const QImage& arrow = (collapsed_ ? arrowLeft_ : arrowRight_).at(ratio);
    if (!arrow.isNull()) painter.drawImage(0, hb / 2 - 4, arrow);
}

void SplitterBar::mousePressEvent(QMouseEvent* event) {
    if (blocked()) return;
    const QPoint at = event->position().toPoint();
    if (InMiddleZone(at.y(), height(), false)) {
        dragging_ = false;
        emit toggleRequested();
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    pressOffset_ = at;
    lastX_ = x();
    dragging_ = true;
    if (ghost_) ghost_->showAt(QRect(pos(), QSize(width() - 4, height())));
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event) {
    if (blocked()) return;
    const QPoint at = event->position().toPoint();
    setCursor(InMiddleZone(at.y(), height(), true) ? Qt::ArrowCursor : Qt::SplitHCursor);
    if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return;
    lastX_ = x() + (at.x() - pressOffset_.x());
    const int clientWidth = parentWidget() ? parentWidget()->width() : 0;
    // Beyond the limits the band stays where it was; the release clamps.
    if (ghost_ && SplitterDragAllowed(lastX_, clientWidth, rightMargin)) {
        ghost_->showAt(QRect(QPoint(lastX_, y()), QSize(width() - 4, height())));
    }
}

void SplitterBar::mouseReleaseEvent(QMouseEvent* event) {
    if (blocked() || event->button() != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    if (ghost_) ghost_->hide();
    emit dropped(lastX_);
}

HorizontalSplitter::HorizontalSplitter(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::SplitVCursor);
    setAutoFillBackground(true);
}

void HorizontalSplitter::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = true;
    pressY_ = event->position().toPoint().y();
    raise();
}

void HorizontalSplitter::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    move(x(), y() + event->position().toPoint().y() - pressY_);
}

void HorizontalSplitter::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) return;
    dragging_ = false;
    emit dropped(y());
}

}  // namespace krvo
