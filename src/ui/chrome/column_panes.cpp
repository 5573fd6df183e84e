#include "chrome/column_panes.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <array>

#include "services/resources.h"

namespace krvo {
namespace {

const char* const kButtonNames[] = {"用户设置", "帮助", "道具商城"};
// Left to right as they stand: the market between the other two.
constexpr std::array kButtonsAcross = {UserButtonPane::kSettings, UserButtonPane::kMarket,
                                       UserButtonPane::kHelp};

}  // namespace

UserButtonPane::UserButtonPane(const std::string& appPath, QWidget* parent)
    : QWidget(parent),
      buttons_(LoadPicturePair(appPath, "Res\\UserButton.bmp")),
      market_(LoadPicturePair(appPath, "Res\\UserButtonShop.bmp")) {
    setObjectName(QStringLiteral("picUserButBk"));
    setMouseTracking(true);
    setAutoFillBackground(true);
    // A click opens a window of its own: only the keyboard needs the focus here.
    setFocusPolicy(Qt::TabFocus);
    setAccessibleDescription(QStringLiteral("左右方向键换按钮，回车或空格按下"));
    setKeyButton(kSettings);
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
        const bool keyed = hasFocus() && i == keyButton_;
        const int hover = i == hover_ || keyed ? 1 : 0;
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
        if (keyed) {
            painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
            painter.drawRect(QRectF(at, QSizeF(kUserButtonSize)).adjusted(-2, -2, 1, 1));
        }
    }
}

void UserButtonPane::setKeyButton(int button) {
    keyButton_ = button;
    // The screen reader names the button the keyboard is on.
    setAccessibleName(QString::fromUtf8(kButtonNames[button]) + QStringLiteral("按钮"));
    if (hasFocus()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
    update();
}

void UserButtonPane::keyPressEvent(QKeyEvent* event) {
    const auto across = std::find(kButtonsAcross.begin(), kButtonsAcross.end(), keyButton_);
    const auto place = static_cast<int>(across - kButtonsAcross.begin());
    const int last = static_cast<int>(kButtonsAcross.size()) - 1;
    switch (event->key()) {
        case Qt::Key_Left:
            setKeyButton(kButtonsAcross[static_cast<std::size_t>(std::max(place - 1, 0))]);
            return;
        case Qt::Key_Right:
            setKeyButton(kButtonsAcross[static_cast<std::size_t>(std::min(place + 1, last))]);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (!event->isAutoRepeat()) emit clicked(keyButton_);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void UserButtonPane::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void UserButtonPane::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void UserButtonPane::hoverOver(int button) {
    if (button == hover_) return;
    hover_ = button;
    setToolTip(button >= 0 ? QString::fromUtf8(kButtonNames[button]) : QString());
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
