#include "chrome/game_main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

namespace krvo {

GameMainWindow::GameMainWindow(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMinimumSize(640, 480);
    setStyleSheet(QStringLiteral("background-color: #1f5130;"));
}

void GameMainWindow::placeOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->geometry();
    setGeometry(area.left(), area.top(), area.width(), std::max(area.height() - 32, 1));
}

void GameMainWindow::closeEvent(QCloseEvent* event) {
    if (closeRequest_ && !closeRequest_()) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace krvo
