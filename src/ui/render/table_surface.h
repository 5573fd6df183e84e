#pragma once
// picGameBack: the widget that shows the table. Its owner paints the
// rectangles that changed, so a single element's repaint shows without
// redrawing the rest. The widget reports its size, the mouse, the keyboard
// focus and keys to its owner, and keeps where its own mouse events last
// placed the pointer. It takes the focus from a click or from Tab, never by
// itself: keys typed elsewhere never reach the table. Points go out in the
// table's coordinates, which differ from the widget's where the table is
// shown scaled.

#include <QWidget>
#include <functional>
#include <optional>

namespace krvo {

// The mouse buttons as the table's click rules number them.
enum TableMouseButton : int { kOtherButton = 0, kLeftButton = 1, kRightButton = 2 };

class TableSurface : public QWidget {
    Q_OBJECT
public:
    explicit TableSurface(QWidget* parent = nullptr);

    // Paints an area of the table, in the widget's coordinates, with the painter.
    std::function<void(QPainter&, const QRegion&)> paintTable;
    std::function<void(QSize)> onResize;
    std::function<void(int button, QPoint)> onMouseMove;
    std::function<void(int button, QPoint)> onMouseUp;
    std::function<void(bool focused)> onFocusChanged;
    // True when the table took the key; others go on to the window.
    std::function<bool(int key, bool withCommandModifier, bool autoRepeat)> onKeyPress;
    // A point of the widget in the table's coordinates; the same without it.
    std::function<QPoint(QPoint)> toTable;

    // Where the pointer rests over the table, in the table's coordinates, as
    // its mouse events last placed it; none once it has left the widget.
    std::optional<QPoint> pointer() const { return pointer_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPoint onTable(const QMouseEvent& event) const;

    std::optional<QPoint> pointer_;
};

}  // namespace krvo
