#pragma once
// The elements the market window is built of, and the small conversions its
// parts share.

#include <QImage>
#include <QLabel>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>
#include <string_view>

#include "market/market_layout.h"

namespace krvo {

// Shown where a picture is missing.
inline constexpr QRgb kMarketBodyColour = qRgb(238, 232, 218);

inline QString MarketText(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline QPoint MarketQPoint(MarketPoint point) {
    return {point.x, point.y};
}

// One picture element of the market (button, tab or owned slot) that keeps
// the picture last drawn into it. Buttons hold their hover look in it too.
class MarketPane final : public QWidget {
public:
    MarketPane(QWidget* parent, int width, int height);

    QImage face;
    bool hover = false;
    // A mouse button released over the pane (with the point in the pane), or
    // Space or Enter while it has the focus (with the point (0, 0)).
    std::function<void(QPoint)> onRelease;
    // The pointer moved over the pane, or it lost the pointer.
    std::function<void()> onHover;
    std::function<void()> onLeave;
    // The pane took the keyboard focus.
    std::function<void()> onFocus;

    void setFace(QImage picture);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// A caption on the window's own background; the paging links take a click.
class MarketLabel final : public QLabel {
public:
    explicit MarketLabel(QWidget* parent);

    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool pressed_ = false;
};

}  // namespace krvo
