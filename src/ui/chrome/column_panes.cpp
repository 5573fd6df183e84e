#include "chrome/column_panes.h"

#include <QMouseEvent>
#include <QPainter>

#include "services/resources.h"

namespace krvo {

UserButtonPane::UserButtonPane(const std::string& appPath, QWidget* parent)
    : QWidget(parent),
      buttons_(LoadPicturePair(appPath, "Res\\UserButton.bmp")),
      market_(LoadPicturePair(appPath, "Res\\UserButtonShop.bmp")) {
    setObjectName(QStringLiteral("picUserButBk"));
    setMouseTracking(true);
    setAutoFillBackground(true);
}

void UserButtonPane::resizeEvent(QResizeEvent*) {
    places_ = UserButtonPlaces(width());
    update();
}

void UserButtonPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QImage& market = market_.at(devicePixelRatioF());
    const QImage& buttons = buttons_.at(devicePixelRatioF());
    for (int i = 0; i < kUserButtonCount; ++i) {
        const int hover = i == hover_ ? 1 : 0;
        const QPointF at = places_[static_cast<std::size_t>(i)];
        if (i == kMarket) {
            if (!market.isNull()) {
                painter.drawImage(at, market,
                                  CellOf(market, QRect(QPoint(hover * 41, 0), kUserButtonSize)));
            }
        } else if (!buttons.isNull()) {
            painter.drawImage(
                at, buttons,
                CellOf(buttons, QRect(QPoint(i * 41 + hover * 82, 0), kUserButtonSize)));
        }
    }
}

void UserButtonPane::hoverOver(int button) {
    if (button == hover_) return;
    hover_ = button;
    static const char* const tips[] = {"用户设置", "帮助", "道具商城"};
    setToolTip(button >= 0 ? QString::fromUtf8(tips[button]) : QString());
    update();
}

void UserButtonPane::mouseMoveEvent(QMouseEvent* event) {
    hoverOver(UserButtonAt(places_, event->position().toPoint()));
}

void UserButtonPane::leaveEvent(QEvent*) {
    hoverOver(-1);
}

void UserButtonPane::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (frameZoneEmpty && !frameZoneEmpty()) return;
    const int button = UserButtonAt(places_, event->position().toPoint());
    if (button >= 0) emit clicked(button);
}

AdvertisementPane::AdvertisementPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picAdvBack"));
}

void AdvertisementPane::setView(QWidget* view) {
    view_ = view;
    if (view_) view_->setParent(this);
    resizeEvent(nullptr);
}

void AdvertisementPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int p = width();
    const int q = height();
    painter.fillRect(rect(), palette().window());
    const QColor lines[] = {QColor(0, 0, 150), QColor(192, 192, 190), QColor(0, 0, 250)};
    for (int i = 0; i < 3; ++i) {
        painter.setPen(lines[i]);
        painter.drawRect(i, i, p - 1 - 2 * i, q - 1 - 2 * i);
    }
}

void AdvertisementPane::resizeEvent(QResizeEvent*) {
    // A pane too small for the view leaves it where it was.
    if (!view_ || width() < 10 || height() < 10) return;
    view_->setGeometry(4, 3, width() - 8, height() - 6);
}

}  // namespace krvo
