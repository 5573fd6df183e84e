#pragma once
// frmDaoJuMaket: the props market. A frameless window shaped by the magenta
// key of its background picture, painted entirely from pictures and text: the
// catalogue in pages of four cells under one tab per prop type, a detail panel
// for the cell under the pointer, and the strip of owned props under a second
// row of tabs. It is created when shown and destroyed when closed; while it
// exists, every new catalogue or owned list repaints it. It belongs to the main
// window and stays above it.

#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "market/market_elements.h"
#include "market/market_layout.h"

namespace krvo {

class PropsData;

class PropsMarketWindow final : public QWidget {
    Q_OBJECT
public:
    struct Links {
        PropsData& props;
        std::string strAppPath;       // the props' own pictures lie below it
        std::string strPlatformPath;  // the window's pictures lie below it
        std::string strGameTitle;
    };

    // owner: the main window. The market is a tool window of it: it stays
    // above the main window until it closes, whichever of the two is active.
    explicit PropsMarketWindow(Links links, QWidget* owner = nullptr);
    ~PropsMarketWindow() override;
    PropsMarketWindow(const PropsMarketWindow&) = delete;
    PropsMarketWindow& operator=(const PropsMarketWindow&) = delete;

    // The whole window: background, title, catalogue page, owned strip and
    // detail panel.
    void paintMarket();
    // Places every element and builds the tabs anew, selecting tab 1 of both rows.
    void layoutMarket();
    // Black text in lines of about maxUnits units, 15 pixels apart; maxLines
    // lines at most, the last one marked when the text goes on.
    void drawWrappedText(int x, int y, std::string_view text, int maxUnits, int maxLines = -1);
    // Puts the window in the middle of area (the main window), on its screen.
    void placeOver(const QRect& area);

    const QImage& canvas() const { return canvas_; }
    int intHoverCell() const { return intHoverCell_; }
    MarketPane* systemButton(int index) const;
    MarketPane* buyButton(int cell) const;
    MarketPane* scrollButton(int index) const;
    MarketPane* ownedProp(int slot) const;
    // Tab b (1..n) of the catalogue or the owned row; null when there is none.
    MarketPane* catalogueTab(int tab) const;
    MarketPane* ownedTab(int tab) const;
    MarketLabel* pageLabel(int index) const;

signals:
    // The window has closed; the owner destroys it.
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class ButtonKind { System, Buy, Scroll };

    void createElements();
    MarketPane* createButton(ButtonKind kind, int index, int width, int height);
    void paintCataloguePage();
    void paintOwnedStrip();
    void paintDetailPanel();
    void paintButton(ButtonKind kind, int index);
    void setHover(ButtonKind kind, int index, bool hover);
    void clearHovers();
    void showHoverCell(int cell);
    // Makes one tab element per type (none for fewer than two types) and draws them.
    void buildTabs(bool ownedRow);
    void paintTabs(bool ownedRow);
    void selectTab(bool ownedRow, int tab);
    void clickPage(PageLink link);
    void scrollOwned(int button);
    void clickSysButton(int index);
    void chainFocus();
    void onPropsChanged();
    void unhook();

    QImage propPicture(bool owned, std::int32_t id) const;
    QImage platformPicture(std::string_view name) const;
    QFont textFont() const;
    void printText(QPainter& painter, int x, int y, const QString& text, QColor colour) const;

    Links links_;
    QImage canvas_;
    std::array<MarketPane*, 2> picSysBut_{};
    std::array<MarketPane*, kCatalogueCells> imgBuyBut_{};
    std::array<MarketPane*, 2> imgMeBut_{};
    std::array<MarketPane*, kOwnedSlots> imgMyDaoJu_{};
    std::array<MarketLabel*, kPageLabelCount> labPage_{};
    // Element 0 of each row is the hidden template; tab b is element b.
    std::vector<MarketPane*> picTypeBut_;
    std::vector<MarketPane*> picMeTypeBut_;
    int intHoverCell_ = -1;
    bool hooked_ = false;
    // Set while the window is dragged by hand, where the window manager cannot move it.
    bool dragging_ = false;
    QPoint dragOffset_;
};

}  // namespace krvo
