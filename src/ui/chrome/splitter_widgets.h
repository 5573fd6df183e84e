#pragma once
// The splitters of the main window. The vertical bar between the table and the
// right column is drawn from its tiles; a press in its middle collapses or
// restores the column, a drag elsewhere shows an inverted band where the bar
// would go and moves the bar on release. The two horizontal splitters of the
// column follow the pointer while dragged and report where they were dropped.

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

#include "chrome/frame_layout.h"
#include "services/resources.h"

namespace krvo {

// The band shown while the vertical bar is dragged: the window's own pixels
// under it, inverted. (Drawing on other programs' pixels is not possible on
// today's desktops, so the band stays inside the window.)
class DragGhost : public QWidget {
    Q_OBJECT
public:
    explicit DragGhost(QWidget* window);
    void showAt(const QRect& area);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage inverted_;
};

class SplitterBar : public QWidget {
    Q_OBJECT
public:
    SplitterBar(const std::string& appPath, QWidget* parent);

    // Nothing reacts while a bomb plays on the table.
    std::function<bool()> bombShowing;
    void setCollapsed(bool collapsed);
    // How far from the window's right edge a drag may take it (BarRightMargin).
    int rightMargin = kSplitterRightMargin;
    bool dragging() const { return dragging_; }

signals:
    void toggleRequested();
    // The new left edge, as the pointer left it (the owner applies the limits).
    void dropped(int x);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool blocked() const { return bombShowing && bombShowing(); }

    PicturePair tile_;
    PicturePair middleTile_;
    PicturePair arrowRight_;
    PicturePair arrowLeft_;
    bool collapsed_ = false;
    bool dragging_ = false;
    QPoint pressOffset_;
    int lastX_ = 0;
    QPointer<DragGhost> ghost_;
};

class HorizontalSplitter : public QWidget {
    Q_OBJECT
public:
    explicit HorizontalSplitter(QWidget* parent);

signals:
    // The new top edge in the window.
    void dropped(int y);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool dragging_ = false;
    int pressY_ = 0;
};

}  // namespace krvo
