#include "chrome/game_main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QVBoxLayout>

#include "platform/chat_control.h"
#include "platform/user_list_control.h"
#include "render/table_surface.h"

namespace krvo {

GameMainWindow::GameMainWindow(QWidget* parent) : QWidget(parent) {
    setMinimumSize(640, 480);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(250, 250, 250));
    setPalette(background);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    tableSurface_ = new TableSurface(splitter);

    auto* column = new QWidget(splitter);
    auto* columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    auto* settings = new QPushButton(QStringLiteral("用户设置"), column);
    connect(settings, &QPushButton::clicked, this, &GameMainWindow::UserSettingsRequested);
    auto* market = new QPushButton(QStringLiteral("道具商城"), column);
    connect(market, &QPushButton::clicked, this, &GameMainWindow::PropsMarketRequested);
    auto* rightSplitter = new QSplitter(Qt::Vertical, column);
    lstUser_ = new UserListControl(rightSplitter);
    VexChat_ = new ChatControl(rightSplitter);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(market);
    buttons->addWidget(settings);
    columnLayout->addLayout(buttons);
    columnLayout->addWidget(rightSplitter, 1);

    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    // The table takes three quarters of the width from the start; the
    // column's lists would otherwise claim half of it.
    splitter->setSizes({3000, 1000});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);
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
