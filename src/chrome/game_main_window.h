#pragma once
// The table's main window. Its frame, layout and table surface grow around
// this; every close request goes through the owner's close procedure.

#include <QWidget>
#include <functional>

namespace krvo {

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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<bool()> closeRequest_;
};

}  // namespace krvo
