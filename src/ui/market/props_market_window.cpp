#include "market/props_market_window.h"

#include <QBitmap>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QWindow>
#include <algorithm>

#include "props/props_data.h"

namespace krvo {
namespace {

constexpr QRgb kShapeKey = qRgb(255, 0, 255);
// The tab number is kept in a byte, so no further tab could be selected.
constexpr int kMostTabs = 255;
constexpr int kPageLinkWidth = 36;
// Room below the 12-pixel text for a fallback font with a deeper descent.
constexpr int kPageLabelHeight = 20;

// Releases count inside up to and including the far edges.
bool releasedInside(QPoint at, int width, int height) {
    return at.x() >= 0 && at.x() <= width && at.y() >= 0 && at.y() <= height;
}

}  // namespace

PropsMarketWindow::PropsMarketWindow(Links links, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint),
      links_(std::move(links)) {
    setWindowTitle(QStringLiteral("道具商城"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFont(textFont());

    const QImage back = platformPicture("DaoJuMaket\\DaoJuMain.bmp");
    setFixedSize(std::max(kMarketWidth, back.width()), std::max(kMarketHeight, back.height()));
    canvas_ = QImage(size(), QImage::Format_RGB32);
    canvas_.fill(kMarketBodyColour);
    // Everything of the background's key colour lies outside the window.
    if (!back.isNull()) {
        const QImage outside = back.createMaskFromColor(kShapeKey, Qt::MaskInColor);
        setMask(QRegion(QBitmap::fromImage(outside)));
    }

    links_.props.blnMarketOpen = true;
    links_.props.setMarketRepaint([this] { onPropsChanged(); });
    hooked_ = true;
    createElements();
    // The window itself holds the focus when it opens, so that no button is
    // pressed by a stray Space; Tab leads to the buttons.
    setFocusPolicy(Qt::ClickFocus);
    setFocus();
}

PropsMarketWindow::~PropsMarketWindow() {
    unhook();
}

void PropsMarketWindow::unhook() {
    if (!hooked_) return;
    hooked_ = false;
    links_.props.blnMarketOpen = false;
    links_.props.setMarketRepaint(nullptr);
}

MarketPane* PropsMarketWindow::createButton(ButtonKind kind, int index, int width, int height) {
    auto* pane = new MarketPane(this, width, height);
    pane->setFocusPolicy(Qt::TabFocus);
    pane->onHover = [this, kind, index] { setHover(kind, index, true); };
    pane->onLeave = [this, kind, index] { setHover(kind, index, false); };
    pane->onRelease = [this, kind, index, width, height](QPoint at) {
        if (!releasedInside(at, width, height)) return;
        switch (kind) {
            case ButtonKind::System:
                clickSysButton(index);
                return;
            case ButtonKind::Buy:
                links_.props.buyProp(index);
                return;
            case ButtonKind::Scroll:
                scrollOwned(index);
                return;
        }
    };
    return pane;
}

void PropsMarketWindow::createElements() {
    for (int index = 0; index < 2; ++index) {
        picSysBut_[index] =
            createButton(ButtonKind::System, index, kMarketSysButtonSize, kMarketSysButtonSize);
        picSysBut_[index]->setToolTip(index == 0 ? QStringLiteral("最小化")
                                                 : QStringLiteral("关闭"));
        imgMeBut_[index] =
            createButton(ButtonKind::Scroll, index, kScrollButtonWidth, kScrollButtonHeight);
    }
    for (int cell = 0; cell < kCatalogueCells; ++cell) {
        imgBuyBut_[cell] = createButton(ButtonKind::Buy, cell, kBuyButtonWidth, kBuyButtonHeight);
        // The keyboard's way to a cell: the detail panel shows the prop of
        // the buy button that takes the focus.
        imgBuyBut_[cell]->onFocus = [this, cell] { showHoverCell(cell); };
    }
    for (bool ownedRow : {false, true}) {
        auto* templateTab = new MarketPane(this, kTabWidth, kTabHeight);
        templateTab->move(-1000, -1000);
        templateTab->hide();
        (ownedRow ? picMeTypeBut_ : picTypeBut_).push_back(templateTab);
    }
    static constexpr std::array<const char*, kPageLabelCount> kCaptions{"", "首页", "上页", "下页",
                                                                        "末页"};
    for (int index = 0; index < kPageLabelCount; ++index) {
        auto* label = new MarketLabel(this);
        label->setText(QString::fromUtf8(kCaptions[index]));
        label->setFixedSize(index == 0 ? 3 * kPageLinkWidth : kPageLinkWidth, kPageLabelHeight);
        if (index > 0) {
            label->setCursor(Qt::PointingHandCursor);
            label->setFocusPolicy(Qt::TabFocus);
            label->onClick = [this, index] { clickPage(static_cast<PageLink>(index)); };
        }
        labPage_[index] = label;
    }
    for (int slot = 0; slot < kOwnedSlots; ++slot) {
        imgMyDaoJu_[slot] = new MarketPane(this, kOwnedSlotWidth, kOwnedSlotHeight);
    }
    intHoverCell_ = -1;
}

void PropsMarketWindow::layoutMarket() {
    for (int index = 0; index < 2; ++index) {
        picSysBut_[index]->move(MarketQPoint(SysButtonPlace(index)));
        imgMeBut_[index]->move(MarketQPoint(ScrollButtonPlace(index)));
    }
    for (int cell = 0; cell < kCatalogueCells; ++cell) {
        imgBuyBut_[cell]->move(MarketQPoint(BuyButtonPlace(cell)));
    }
    for (int index = 0; index < kPageLabelCount; ++index) {
        labPage_[index]->move(MarketQPoint(PageLabelPlace(index)));
    }
    for (int slot = 0; slot < kOwnedSlots; ++slot) {
        imgMyDaoJu_[slot]->move(MarketQPoint(OwnedSlotPlace(slot)));
    }
    for (int index = 0; index < 2; ++index) {
        paintButton(ButtonKind::System, index);
        paintButton(ButtonKind::Scroll, index);
    }
    for (int cell = 0; cell < kCatalogueCells; ++cell) paintButton(ButtonKind::Buy, cell);

    if (TabsShown(links_.props.typeCount())) {
        links_.props.bteCurPropTab = 1;
        links_.props.bteCurOwnedTab = 1;
    }
    for (bool ownedRow : {false, true}) {
        buildTabs(ownedRow);
        paintTabs(ownedRow);
    }
    chainFocus();
}

void PropsMarketWindow::buildTabs(bool ownedRow) {
    std::vector<MarketPane*>& tabs = ownedRow ? picMeTypeBut_ : picTypeBut_;
    for (std::size_t tab = 1; tab < tabs.size(); ++tab) tabs[tab]->hide();
    const int count = std::min(links_.props.typeCount(), kMostTabs);
    if (!TabsShown(count)) return;
    while (tabs.size() <= static_cast<std::size_t>(count)) {
        const int tab = static_cast<int>(tabs.size());
        auto* pane = new MarketPane(this, kTabWidth, kTabHeight);
        pane->setFocusPolicy(Qt::TabFocus);
        pane->onRelease = [this, ownedRow, tab](QPoint at) {
            if (releasedInside(at, kTabWidth, kTabHeight)) selectTab(ownedRow, tab);
        };
        tabs.push_back(pane);
    }
    for (int tab = 1; tab <= count; ++tab) {
        tabs[static_cast<std::size_t>(tab)]->move(MarketQPoint(TabPlace(ownedRow, tab)));
        tabs[static_cast<std::size_t>(tab)]->show();
    }
}

void PropsMarketWindow::selectTab(bool ownedRow, int tab) {
    std::uint8_t& selected = ownedRow ? links_.props.bteCurOwnedTab : links_.props.bteCurPropTab;
    if (tab == selected || tab < 1 || tab > kMostTabs) return;
    selected = static_cast<std::uint8_t>(tab);
    paintTabs(ownedRow);
    if (ownedRow) {
        paintOwnedStrip();
    } else {
        paintCataloguePage();
        // The panel would otherwise describe a prop of the other tab.
        paintDetailPanel();
    }
    update();
}

void PropsMarketWindow::chainFocus() {
    std::vector<QWidget*> order;
    auto addTabs = [&order](const std::vector<MarketPane*>& tabs) {
        for (std::size_t tab = 1; tab < tabs.size(); ++tab) {
            if (!tabs[tab]->isHidden()) order.push_back(tabs[tab]);
        }
    };
    addTabs(picTypeBut_);
    order.insert(order.end(), imgBuyBut_.begin(), imgBuyBut_.end());
    order.insert(order.end(), labPage_.begin() + 1, labPage_.end());
    addTabs(picMeTypeBut_);
    order.insert(order.end(), imgMeBut_.begin(), imgMeBut_.end());
    order.insert(order.end(), picSysBut_.begin(), picSysBut_.end());
    for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void PropsMarketWindow::setHover(ButtonKind kind, int index, bool hover) {
    MarketPane* pane = kind == ButtonKind::System ? picSysBut_[index]
                       : kind == ButtonKind::Buy  ? imgBuyBut_[index]
                                                  : imgMeBut_[index];
    if (pane->hover == hover) return;
    pane->hover = hover;
    paintButton(kind, index);
}

void PropsMarketWindow::clearHovers() {
    for (int index = 0; index < 2; ++index) {
        setHover(ButtonKind::System, index, false);
        setHover(ButtonKind::Scroll, index, false);
    }
    for (int cell = 0; cell < kCatalogueCells; ++cell) setHover(ButtonKind::Buy, cell, false);
}

void PropsMarketWindow::showHoverCell(int cell) {
    if (cell == intHoverCell_) return;
    intHoverCell_ = cell;
    paintDetailPanel();
}

void PropsMarketWindow::clickPage(PageLink link) {
    PropTab* shown = SelectedPropTab(links_.props);
    if (shown == nullptr) return;
    const std::int32_t first = PagedFirstShown(link, shown->lngFirstShown, PropCount(*shown));
    if (first == shown->lngFirstShown) return;
    shown->lngFirstShown = first;
    paintCataloguePage();
    // The cell under the pointer now holds another prop.
    paintDetailPanel();
}

void PropsMarketWindow::scrollOwned(int button) {
    OwnedTab* shown = SelectedOwnedTab(links_.props);
    if (shown == nullptr) return;
    const std::int32_t first = ScrolledFirstShown(button, shown->lngFirstShown, PropCount(*shown));
    if (first == shown->lngFirstShown) return;
    shown->lngFirstShown = first;
    paintOwnedStrip();
}

void PropsMarketWindow::clickSysButton(int index) {
    if (index == 0) {
        setHover(ButtonKind::System, 0, false);
        showMinimized();
        return;
    }
    close();
}

void PropsMarketWindow::onPropsChanged() {
    // A catalogue with another number of types needs other tabs; the
    // selections stay as the props data keeps them.
    const int count = std::min(links_.props.typeCount(), kMostTabs);
    const int shown = static_cast<int>(std::count_if(
        picTypeBut_.begin() + 1, picTypeBut_.end(), [](QWidget* tab) { return !tab->isHidden(); }));
    if (shown != (TabsShown(count) ? count : 0)) {
        buildTabs(false);
        buildTabs(true);
        chainFocus();
    }
    paintTabs(false);
    paintTabs(true);
    paintMarket();
}

void PropsMarketWindow::placeOver(const QRect& area) {
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(area.center());
    QScreen* screen = QGuiApplication::screenAt(area.center());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QRect available = screen->availableGeometry();
        frame.moveLeft(std::max(available.left(),
                                std::min(frame.left(), available.right() + 1 - frame.width())));
        frame.moveTop(std::max(available.top(),
                               std::min(frame.top(), available.bottom() + 1 - frame.height())));
    }
    move(frame.topLeft());
}

MarketPane* PropsMarketWindow::systemButton(int index) const {
    return index >= 0 && index < 2 ? picSysBut_[index] : nullptr;
}

MarketPane* PropsMarketWindow::buyButton(int cell) const {
    return cell >= 0 && cell < kCatalogueCells ? imgBuyBut_[cell] : nullptr;
}

MarketPane* PropsMarketWindow::scrollButton(int index) const {
    return index >= 0 && index < 2 ? imgMeBut_[index] : nullptr;
}

MarketPane* PropsMarketWindow::ownedProp(int slot) const {
    return slot >= 0 && slot < kOwnedSlots ? imgMyDaoJu_[slot] : nullptr;
}

MarketPane* PropsMarketWindow::catalogueTab(int tab) const {
    if (tab < 1 || static_cast<std::size_t>(tab) >= picTypeBut_.size()) return nullptr;
    MarketPane* pane = picTypeBut_[static_cast<std::size_t>(tab)];
    return pane->isHidden() ? nullptr : pane;
}

MarketPane* PropsMarketWindow::ownedTab(int tab) const {
    if (tab < 1 || static_cast<std::size_t>(tab) >= picMeTypeBut_.size()) return nullptr;
    MarketPane* pane = picMeTypeBut_[static_cast<std::size_t>(tab)];
    return pane->isHidden() ? nullptr : pane;
}

MarketLabel* PropsMarketWindow::pageLabel(int index) const {
    return index >= 0 && index < kPageLabelCount ? labPage_[index] : nullptr;
}

void PropsMarketWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), canvas_, event->rect());
}

void PropsMarketWindow::resizeEvent(QResizeEvent* /*event*/) {
    layoutMarket();
    paintMarket();
}

void PropsMarketWindow::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        if (event->buttons() & Qt::LeftButton) {
            move(event->globalPosition().toPoint() - dragOffset_);
            return;
        }
        dragging_ = false;
    }
    clearHovers();
    const QPoint at = event->position().toPoint();
    showHoverCell(CellAt(at.x(), at.y()));
}

void PropsMarketWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || event->position().y() > kMarketDragBand) return;
    QWindow* window = windowHandle();
    if (window != nullptr && window->startSystemMove()) return;
    // Without a window manager that moves windows, the window follows the pointer itself.
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - pos();
}

void PropsMarketWindow::mouseReleaseEvent(QMouseEvent* /*event*/) {
    dragging_ = false;
}

void PropsMarketWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PropsMarketWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    dragging_ = false;
    unhook();
    emit closed();
}

}  // namespace krvo
