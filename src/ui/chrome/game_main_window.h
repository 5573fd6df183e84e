#pragma once
// frmGameMain: the table's main window, without the window manager's frame.
// It draws its own caption (tiles, end caps, logo, title with a light halo),
// a bevelled border and the caption buttons; a press near an edge or in the
// caption hands a resize or move to the window manager. Below the caption the
// table surface fills the left, and the right column holds the buttons, the
// user list, the advertisement pane and the chat between its splitters. Every
// close request goes through the owner's close procedure.

#include <QImage>
#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "chrome/frame_layout.h"

namespace krvo {

class AdvertisementPane;
class ChatControl;
class Clock;
class HelpWindow;
class HorizontalSplitter;
class SplitterBar;
class TableSurface;
class Timer;
class UserButtonPane;
class UserListControl;

class GameMainWindow : public QWidget {
    Q_OBJECT
public:
    // appPath: the program's directory, where the frame's pictures lie.
    GameMainWindow(Clock& clock, const std::string& appPath, QWidget* parent = nullptr);
    ~GameMainWindow() override;

    // Asked when the user or the window manager closes the window; the window
    // closes only when the handler returns true.
    void setCloseRequestHandler(std::function<bool()> handler) {
        closeRequest_ = std::move(handler);
    }
    // While a bomb plays the window's frame and the bar take no pointer.
    std::function<bool()> bombShowing;
    // The help page opened by the column's help button.
    QUrl helpPage;
    // A page on disk opens in the program's own help window (one for the
    // window, raised when asked again); a web address in the desktop's browser.
    void showHelpPage(const QUrl& page);
    HelpWindow* helpWindow() const;

    // Places the window over the whole screen less 32 pixels at the bottom.
    void placeOnScreen();

    TableSurface& tableSurface() { return *tableSurface_; }
    UserListControl& userList() { return *lstUser_; }
    ChatControl& chatPane() { return *VexChat_; }
    AdvertisementPane& advertisementPane() { return *picAdvBack_; }

    // The 100 ms tick: the minimum size, the zone under the pointer and the
    // pointer's shape. The pointer is given on the screen.
    void trackFrameHit(QPoint pointer);
    FrameZone frameZone() const { return strFrameHitZone_; }
    int hoverSysButton() const { return lngHoverSysButton_; }
    const std::array<QPoint, 3>& sysButtonSlots() const { return ptSysButton_; }
    const SplitterPositions& splitters() const { return splitters_; }
    void clickSysButton(int slot);
    void layoutWindow();

signals:
    void userSettingsRequested();
    void propsMarketRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool bombPlaying() const { return bombShowing && bombShowing(); }
    int sysButtonGlyph(int slot) const;
    void setHoverSysButton(int slot);
    void paintCaption(QPainter& painter);
    void paintBorderBevel(QPainter& painter);
    void applyLayout(const MainLayout& layout);
    void clickUserButton(int button);
    void setPointerShape(FrameZone zone);

    std::function<bool()> closeRequest_;
    QPointer<HelpWindow> help_;
    std::unique_ptr<Timer> tmrForm_;
    // Where the pointer was last seen by the program's own mouse events.
    std::optional<QPoint> pointer_;
    QImage captionMid_;
    QImage captionEnd_;
    QImage sysMenu_;
    QImage logo_;

    QWidget* famGameBack_ = nullptr;
    TableSurface* tableSurface_ = nullptr;
    SplitterBar* picSplitter_ = nullptr;
    UserButtonPane* picUserButBk_ = nullptr;
    UserListControl* lstUser_ = nullptr;
    HorizontalSplitter* HSplitterBar_ = nullptr;
    AdvertisementPane* picAdvBack_ = nullptr;
    HorizontalSplitter* HSplitterBar1_ = nullptr;
    ChatControl* VexChat_ = nullptr;

    SplitterPositions splitters_;
    FrameZone strFrameHitZone_ = FrameZone::None;
    std::array<QPoint, 3> ptSysButton_{};
    int lngHoverSysButton_ = -1;
    bool pointerOverridden_ = false;
    // The maximise slot shows the restore glyph from the click on, before the
    // window manager has changed the state.
    int pendingSlot1Glyph_ = -1;
};

}  // namespace krvo
