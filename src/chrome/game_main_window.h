#pragma once
// The table's main window: the table surface on the left, the user list and
// the chat in the right column. Every close request goes through the owner's
// close procedure.

#include <QWidget>
#include <functional>

class QPushButton;

namespace krvo {

class ChatControl;
class TableSurface;
class UserListControl;

class GameMainWindow : public QWidget {
    Q_OBJECT
public:
    explicit GameMainWindow(QWidget* parent = nullptr);

    // Asked when the user or the window manager closes the window; the window
    // closes only when the handler returns true.
    void setCloseRequestHandler(std::function<bool()> handler) {
        closeRequest_ = std::move(handler);
    }
    // Places the window over the whole screen less 32 pixels at the bottom.
    void placeOnScreen();

    TableSurface& tableSurface() { return *tableSurface_; }
    UserListControl& lstUser() { return *lstUser_; }
    ChatControl& VexChat() { return *VexChat_; }

signals:
    void UserSettingsRequested();
    void PropsMarketRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<bool()> closeRequest_;
    TableSurface* tableSurface_ = nullptr;
    UserListControl* lstUser_ = nullptr;
    ChatControl* VexChat_ = nullptr;
};

}  // namespace krvo
