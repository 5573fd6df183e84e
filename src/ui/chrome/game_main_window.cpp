#include "chrome/game_main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLineEdit>
#include <QList>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>
#include <QWindow>

#include "chrome/column_panes.h"
#include "chrome/splitter_widgets.h"
#include "core/clock.h"
#include "dialogs/help_window.h"
#include "controls/chat_control.h"
#include "services/frame_pacer.h"
#include "services/resources.h"
#include "controls/user_list_control.h"
#include "render/table_surface.h"

namespace krvo {
namespace {

constexpr std::int64_t kTrackIntervalMs = 100;
constexpr int kCaptionTile = 12;
constexpr int kHoverOffset = 84;
const QColor kWindowBackground(250, 250, 250);

}  // namespace

GameMainWindow::GameMainWindow(Clock& clock, const std::string& appPath, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      tmrForm_(clock.createTimer([this] {
          // The pointer as the mouse events last placed it. Asking the X
          // server instead (QCursor::pos) is a round trip that would stall
          // the program at every tick, and for long over a remote display;
          // it is asked only before any event has come. Outside the
          // program's windows no events come, but there the zone shows and
          // does nothing.
          if (!pointer_) pointer_ = QCursor::pos();
          trackFrameHit(*pointer_);
      })),
      captionMid_(LoadPicturePair(appPath, "Res\\CaptionMid.bmp")),
      captionEnd_(LoadPicturePair(appPath, "Res\\CaptionLR.bmp")),
      sysMenu_(LoadPicturePair(appPath, "Res\\SysMenu.bmp")),
      logo_(LoadPicturePair(appPath, "Res\\Logo.ico")) {
    setObjectName(QStringLiteral("frmGameMain"));
    setMinimumSize(kMinimumWindowSize);
    setAutoFillBackground(true);
    setMouseTracking(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, kWindowBackground);
    setPalette(background);
    if (!logo_.plain.isNull()) {
        QIcon icon(QPixmap::fromImage(logo_.plain));
        if (!logo_.twice.isNull()) icon.addPixmap(QPixmap::fromImage(logo_.twice));
        setWindowIcon(icon);
    }

    famGameBack_ = new QWidget(this);
    famGameBack_->setObjectName(QStringLiteral("famGameBack"));
    auto* fill = new QVBoxLayout(famGameBack_);
    fill->setContentsMargins(0, 0, 0, 0);
    tableSurface_ = new TableSurface(famGameBack_);
    fill->addWidget(tableSurface_);

    picSplitter_ = new SplitterBar(appPath, this);
    picSplitter_->bombShowing = [this] { return bombPlaying(); };
    picUserButBk_ = new UserButtonPane(appPath, this);
    picUserButBk_->frameZoneEmpty = [this] { return strFrameHitZone_ == FrameZone::None; };
    lstUser_ = new UserListControl(this);
    HSplitterBar_ = new HorizontalSplitter(this);
    picAdvBack_ = new AdvertisementPane(this);
    HSplitterBar1_ = new HorizontalSplitter(this);
    VexChat_ = new ChatControl(this);
    picSplitter_->raise();
    // The keyboard goes round the window from the table: the chat's line, its
    // chooser and button, the user list, then the column's buttons.
    const QList<QWidget*> tabChain = {
        tableSurface_,          VexChat_->input(), VexChat_->recipientBox(),
        VexChat_->sendButton(), lstUser_->view(),  picUserButBk_};
    for (qsizetype i = 1; i < tabChain.size(); ++i) setTabOrder(tabChain[i - 1], tabChain[i]);

    const QScreen* screen = QGuiApplication::primaryScreen();
    auto* pacer = new FramePacer(this);
    if (screen) pacer->setRefreshRate(screen->refreshRate());
    splitters_ = InitialSplitters(screen ? screen->geometry().size() : QSize(1024, 768));

    connect(picSplitter_, &SplitterBar::toggleRequested, this, [this] {
        ToggleColumn(splitters_, width());
        layoutWindow();
    });
    connect(picSplitter_, &SplitterBar::dropped, this, [this](int x) {
        DropSplitterBar(splitters_, width(), x);
        layoutWindow();
    });
    connect(HSplitterBar_, &HorizontalSplitter::dropped, this, [this](int y) {
        applyLayout(DropListSplitter(splitters_, size(), lstUser_->geometry(), y));
    });
    connect(HSplitterBar1_, &HorizontalSplitter::dropped, this, [this](int y) {
        applyLayout(DropChatSplitter(splitters_, size(), lstUser_->geometry(), y));
    });
    connect(picUserButBk_, &UserButtonPane::clicked, this, &GameMainWindow::clickUserButton);
    // Every mouse event of the program, whichever widget it goes to, tells
    // where the pointer is.
    QCoreApplication::instance()->installEventFilter(this);
    tmrForm_->start(kTrackIntervalMs);
}

GameMainWindow::~GameMainWindow() {
    tmrForm_->stop();
    if (pointerOverridden_) QGuiApplication::restoreOverrideCursor();
}

void GameMainWindow::placeOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->geometry();
    setGeometry(area.left(), area.top(), area.width(), std::max(area.height() - 32, 1));
}

void GameMainWindow::layoutWindow() {
    if (isMinimized()) return;
    splitters_.columnMinimum = VexChat_->minimumSizeHint().width();
    picSplitter_->rightMargin = BarRightMargin(splitters_);
    applyLayout(krvo::LayoutMainWindow(splitters_, size()));
    picSplitter_->setCollapsed(splitters_.blnColumnCollapsed);
    ptSysButton_ = SysButtonSlots(width());
    update();
}

void GameMainWindow::applyLayout(const MainLayout& layout) {
    const auto place = [](QWidget* region, const std::optional<QRect>& rect) {
        if (rect) region->setGeometry(*rect);
    };
    place(picSplitter_, layout.splitterBar);
    place(famGameBack_, layout.gameBack);
    QWidget* const column[] = {picUserButBk_, lstUser_,       HSplitterBar_,
                               picAdvBack_,   HSplitterBar1_, VexChat_};
    for (QWidget* region : column) region->setVisible(layout.columnShown);
    if (!layout.columnShown) return;
    place(picUserButBk_, layout.userButtons);
    place(lstUser_, layout.userList);
    place(HSplitterBar_, layout.listSplitter);
    place(picAdvBack_, layout.advertisement);
    place(HSplitterBar1_, layout.chatSplitter);
    place(VexChat_, layout.chat);
}

void GameMainWindow::resizeEvent(QResizeEvent*) {
    layoutWindow();
}

void GameMainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    pendingSlot1Glyph_ = -1;
    layoutWindow();
}

int GameMainWindow::sysButtonGlyph(int slot) const {
    if (slot == 0) return 0;
    if (slot == 2) return 3;
    if (pendingSlot1Glyph_ >= 0) return pendingSlot1Glyph_;
    return isMaximized() || isMinimized() ? 2 : 1;
}

void GameMainWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kWindowBackground);
    paintCaption(painter);
    paintBorderBevel(painter);
}

void GameMainWindow::paintCaption(QPainter& painter) {
    const int w = width();
    if ((w - 2) - 5 < kCaptionTile) return;
    if (picSplitter_->x() + picSplitter_->width() >= w) return;
    // Each picture at the screen's resolution, where it has a twin for it.
    const qreal ratio = devicePixelRatioF();
    const QImage& middle = captionMid_.at(ratio);
    if (middle.isNull()) return;
    for (int x = 5; x <= w - 2; x += kCaptionTile) painter.drawImage(x, 2, middle);
    const QImage& end = captionEnd_.at(ratio);
    if (end.isNull()) return;
    // The left end is the right one mirrored, covering x 4 to 18.
    painter.drawImage(4, 2, end.mirrored(true, false));
    painter.drawImage(w - 19, 2, end);
    const QImage& sysMenu = sysMenu_.at(ratio);
    for (int slot = 0; slot < 3; ++slot) {
        const int glyph = sysButtonGlyph(slot);
        const int hover = slot == lngHoverSysButton_ ? kHoverOffset : 0;
        painter.drawImage(QPointF(ptSysButton_[static_cast<std::size_t>(slot)]), sysMenu,
                          CellOf(sysMenu, QRect(glyph * kSysButtonSize + hover, 0, kSysButtonSize,
                                                kSysButtonSize)));
    }
    if (!logo_.plain.isNull()) painter.drawImage(25, 6, logo_.at(ratio));
    const QString title = windowTitle();
    const QRect room(0, 0, std::max(w - 160, 0), 24);
    painter.setPen(QColor(230, 250, 240));
    painter.drawText(room.translated(55, 13), Qt::AlignLeft | Qt::AlignTop, title);
    painter.setPen(Qt::black);
    painter.drawText(room.translated(54, 12), Qt::AlignLeft | Qt::AlignTop, title);
}

void GameMainWindow::paintBorderBevel(QPainter& painter) {
    const QColor lines[] = {QColor(115, 113, 115), QColor(173, 174, 173), QColor(214, 211, 214),
                            QColor(231, 231, 231)};
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < 4; ++i) {
        painter.setPen(lines[i]);
        painter.drawRect(i, i, width() - 1 - 2 * i, height() - 1 - 2 * i);
    }
}

void GameMainWindow::setHoverSysButton(int slot) {
    if (slot >= 0 && slot == lngHoverSysButton_) return;
    lngHoverSysButton_ = slot < 0 ? -1 : slot;
    update(QRect(ptSysButton_[0], QSize(100, kSysButtonSize)));
}

void GameMainWindow::clickSysButton(int slot) {
    switch (slot) {
        case 0:
            showMinimized();
            return;
        case 1:
            if (!isMaximized() && !isMinimized()) {
                pendingSlot1Glyph_ = 2;
                repaint();
                showMaximized();
            } else {
                pendingSlot1Glyph_ = 1;
                repaint();
                showNormal();
            }
            return;
        case 2:
            close();
            return;
        default:
            return;
    }
}

void GameMainWindow::showHelpPage(const QUrl& page) {
    if (!page.isValid()) return;
    if (!page.isLocalFile()) {
        // The address comes from a settings file anybody may edit: the desktop
        // opener would run a javascript: or any handler's address as well.
        const QString scheme = page.scheme();
        if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
            QDesktopServices::openUrl(page);
        }
        return;
    }
    if (!help_) help_ = new HelpWindow(this);
    help_->showPage(page);
}

HelpWindow* GameMainWindow::helpWindow() const {
    return help_;
}

void GameMainWindow::clickUserButton(int button) {
    switch (button) {
        case UserButtonPane::kSettings:
            emit userSettingsRequested();
            return;
        case UserButtonPane::kHelp:
            showHelpPage(helpPage);
            return;
        case UserButtonPane::kMarket:
            emit propsMarketRequested();
            return;
        default:
            return;
    }
}

void GameMainWindow::trackFrameHit(QPoint pointer) {
    if (!isMaximized() && !isMinimized()) {
        const QSize wanted = size().expandedTo(kMinimumWindowSize);
        if (wanted != size()) resize(wanted);
    }
    const bool overButton = SysButtonAt(ptSysButton_, mapFromGlobal(pointer)) >= 0;
    strFrameHitZone_ = ClassifyFrameZone(frameGeometry(), pointer, overButton);
    setPointerShape(strFrameHitZone_);
}

// The shape holds for the whole program while a resize is possible; otherwise
// each area shows its own.
void GameMainWindow::setPointerShape(FrameZone zone) {
    const bool resize = zone != FrameZone::None && zone != FrameZone::Move;
    if (resize && !pointerOverridden_) {
        QGuiApplication::setOverrideCursor(ZoneCursor(zone));
        pointerOverridden_ = true;
    } else if (resize) {
        QGuiApplication::changeOverrideCursor(ZoneCursor(zone));
    } else if (pointerOverridden_) {
        QGuiApplication::restoreOverrideCursor();
        pointerOverridden_ = false;
    }
}

bool GameMainWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool placesPointer = type == QEvent::MouseMove || type == QEvent::MouseButtonPress ||
                               type == QEvent::MouseButtonRelease || type == QEvent::Enter;
    if (placesPointer && event->isSinglePointEvent()) {
        pointer_ = static_cast<QSinglePointEvent*>(event)->globalPosition().toPoint();
    }
    // The chat's least width changed (a longer name to send to): the column follows.
    if (watched == VexChat_ && type == QEvent::LayoutRequest &&
        VexChat_->minimumSizeHint().width() != splitters_.columnMinimum) {
        layoutWindow();
    }
    return QWidget::eventFilter(watched, event);
}

void GameMainWindow::mouseMoveEvent(QMouseEvent* event) {
    if (bombPlaying()) return;
    setHoverSysButton(SysButtonAt(ptSysButton_, event->position().toPoint()));
}

void GameMainWindow::mousePressEvent(QMouseEvent* event) {
    if (bombPlaying() || event->button() != Qt::LeftButton) return;
    // The zone of the last tick decides, as the pointer shape showed it.
    if (strFrameHitZone_ == FrameZone::None || isMaximized()) return;
    QWindow* window = windowHandle();
    if (window == nullptr) return;
    if (strFrameHitZone_ == FrameZone::Move) {
        window->startSystemMove();
    } else {
        window->startSystemResize(ResizeEdges(strFrameHitZone_));
    }
}

void GameMainWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (bombPlaying() || event->button() != Qt::LeftButton) return;
    if (strFrameHitZone_ != FrameZone::None) return;
    const int slot = SysButtonAt(ptSysButton_, event->position().toPoint());
    if (slot >= 0) clickSysButton(slot);
}

void GameMainWindow::closeEvent(QCloseEvent* event) {
    if (closeRequest_ && !closeRequest_()) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace krvo
