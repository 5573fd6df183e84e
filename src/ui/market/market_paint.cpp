// The market window's drawing: everything it shows comes from pictures and
// text printed into its canvas and into its panes.

#include <QPainter>
#include <algorithm>

#include "market/props_market_window.h"
#include "services/fonts.h"
#include "services/resources.h"
#include "props/props_data.h"

namespace krvo {
namespace {

constexpr QRgb kDetailColour = qRgb(214, 215, 214);
constexpr QRgb kOutlineLight = qRgb(250, 250, 255);
constexpr QRgb kOutlineDark = qRgb(150, 150, 160);
constexpr QRgb kCurrentPriceColour = qRgb(255, 0, 0);
// The note stops above the notice that closes the panel.
constexpr int kNoteLines = (kDetailNotice.y - kDetailNote.y) / kWrappedLineStep;

}  // namespace

QFont PropsMarketWindow::textFont() const {
    // The layout's pixel places fit 12-pixel text, whatever the screen's dpi.
    QFont font;
    font.setFamilies(PixelLayoutFaces());
    font.setPixelSize(12);
    // Crisp like the window's pictures, and the colours stay exact.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QImage PropsMarketWindow::platformPicture(std::string_view name) const {
    return LoadPicture(links_.strPlatformPath, name);
}

QImage PropsMarketWindow::propPicture(bool owned, std::int32_t id) const {
    const std::string own =
        (owned ? "Res\\DaoJu\\MyDaoJu_" : "Res\\DaoJu\\DaoJuInfo_") + std::to_string(id) + ".bmp";
    QImage picture = LoadPicture(links_.strAppPath, own);
    if (picture.isNull()) {
        picture = platformPicture(owned ? "DaoJuMaket\\MeNo.bmp" : "DaoJuMaket\\DaoJuNo.bmp");
    }
    return picture;
}

void PropsMarketWindow::printText(QPainter& painter, int x, int y, const QString& text,
                                  QColor colour) const {
    painter.setPen(colour);
    painter.drawText(x, y + painter.fontMetrics().ascent(), text);
}

void PropsMarketWindow::paintTabs(bool ownedRow) {
    const std::vector<MarketPane*>& tabs = ownedRow ? picMeTypeBut_ : picTypeBut_;
    const int selected = ownedRow ? links_.props.bteCurOwnedTab : links_.props.bteCurPropTab;
    const auto& names = links_.props.strPropTypeNames;
    for (std::size_t tab = 1; tab < tabs.size() && tab < names.size(); ++tab) {
        if (tabs[tab]->isHidden()) continue;
        QImage face = platformPicture(static_cast<int>(tab) == selected ? "DaoJuMaket\\TabButM.bmp"
                                                                        : "DaoJuMaket\\TabBut.bmp");
        if (face.isNull()) {
            face = QImage(kTabWidth, kTabHeight, QImage::Format_RGB32);
            face.fill(kMarketBodyColour);
        }
        QPainter painter(&face);
        painter.setFont(textFont());
        const QString name = painter.fontMetrics().elidedText(
            MarketText(names[tab]), Qt::ElideRight, kTabWidth - kTabText.x - 2);
        printText(painter, kTabText.x, kTabText.y, name, Qt::black);
        painter.end();
        tabs[tab]->setFace(std::move(face));
    }
}

void PropsMarketWindow::paintMarket() {
    {
        QPainter painter(&canvas_);
        canvas_.fill(kMarketBodyColour);
        const QImage back = platformPicture("DaoJuMaket\\DaoJuMain.bmp");
        if (!back.isNull()) painter.drawImage(0, 0, back);
        painter.setFont(textFont());
        const int room = SysButtonPlace(0).x - kTitleText.x - 8;
        const QString title = painter.fontMetrics().elidedText(
            MarketText(MarketTitleText(links_.strGameTitle)), Qt::ElideRight, room);
        printText(painter, kTitleText.x, kTitleText.y, title, Qt::black);
    }
    paintCataloguePage();
    paintOwnedStrip();
    paintDetailPanel();
    update();
}

void PropsMarketWindow::paintCataloguePage() {
    QPainter painter(&canvas_);
    const QImage back = platformPicture("DaoJuMaket\\DaoJuInfoBk.bmp");
    if (!back.isNull()) painter.drawImage(MarketQPoint(kCatalogueBack), back);
    update();
    const PropTab* tab = SelectedPropTab(links_.props);
    if (tab == nullptr) {
        labPage_[0]->clear();
        return;
    }
    const std::int32_t count = PropCount(*tab);
    labPage_[0]->setText(MarketText(PropCountText(count)));
    painter.setFont(textFont());
    QFont struck = textFont();
    struck.setStrikeOut(true);
    for (int cell = 0; cell < kCatalogueCells; ++cell) {
        const std::int64_t index = std::int64_t{tab->lngFirstShown} + cell;
        if (index > count) break;
        if (index < 1) continue;
        const PropItem& item = tab->arrItems[static_cast<std::size_t>(index)];
        const QPoint origin = MarketQPoint(CellOrigin(cell));
        const QImage picture = propPicture(false, item.lngID);
        if (!picture.isNull()) painter.drawImage(origin, picture);
        int y = origin.y() + kCellTextTop;
        for (const CellLine& line : CatalogueCellLines(item)) {
            painter.setFont(line.struck ? struck : textFont());
            const QString text = painter.fontMetrics().elidedText(MarketText(line.text),
                                                                  Qt::ElideRight, kCellTextWidth);
            printText(painter, origin.x() + kCellTextLeft, y, text,
                      line.red ? QColor(kCurrentPriceColour) : QColor(Qt::black));
            y += kCellLineStep;
        }
    }
}

void PropsMarketWindow::paintOwnedStrip() {
    const QImage empty = platformPicture("DaoJuMaket\\MyDaoJuBk.bmp");
    for (MarketPane* slot : imgMyDaoJu_) {
        slot->setFace(empty);
        // An empty slot must not go on naming the prop it showed before.
        slot->setToolTip(QString());
    }
    const OwnedTab* tab = SelectedOwnedTab(links_.props);
    if (tab == nullptr) return;
    const std::int32_t count = PropCount(*tab);
    for (int slot = 0; slot < kOwnedSlots; ++slot) {
        const std::int64_t index = std::int64_t{tab->lngFirstShown} + slot;
        if (index > count) break;
        if (index < 1) continue;
        const OwnedProp& prop = tab->arrItems[static_cast<std::size_t>(index)];
        imgMyDaoJu_[slot]->setFace(propPicture(true, prop.lngID));
        imgMyDaoJu_[slot]->setToolTip(MarketText(OwnedPropToolTip(prop)));
    }
}

void PropsMarketWindow::paintDetailPanel() {
    const QRect panel(MarketQPoint(kDetailTopLeft), MarketQPoint(kDetailBottomRight));
    {
        QPainter painter(&canvas_);
        painter.fillRect(panel, QColor(kDetailColour));
        painter.setPen(QColor(kOutlineLight));
        painter.drawRect(QRect(QPoint(592, 76), QPoint(707, 194)).adjusted(0, 0, -1, -1));
        painter.setPen(QColor(kOutlineDark));
        painter.drawRect(QRect(QPoint(593, 77), QPoint(708, 195)).adjusted(0, 0, -1, -1));
    }
    update(panel);
    drawWrappedText(kDetailNotice.x, kDetailNotice.y, MarketNoticeText(links_.strGameTitle),
                    kDetailUnitsPerLine);
    const PropTab* tab = SelectedPropTab(links_.props);
    if (intHoverCell_ < 0 || tab == nullptr) return;
    const std::int64_t index = std::int64_t{tab->lngFirstShown} + intHoverCell_;
    if (index < 1 || index > PropCount(*tab)) return;
    const PropItem& item = tab->arrItems[static_cast<std::size_t>(index)];
    const QImage picture = propPicture(false, item.lngID);
    if (!picture.isNull()) {
        QPainter painter(&canvas_);
        painter.drawImage(MarketQPoint(kDetailPicture), picture);
    }
    drawWrappedText(kDetailNote.x, kDetailNote.y, PropNoteText(item), kDetailUnitsPerLine,
                    kNoteLines);
}

void PropsMarketWindow::drawWrappedText(int x, int y, std::string_view text, int maxUnits,
                                        int maxLines) {
    std::vector<std::string> lines = WrapTextLines(text, maxUnits);
    const bool cut = maxLines >= 0 && lines.size() > static_cast<std::size_t>(maxLines);
    if (cut) lines.resize(static_cast<std::size_t>(maxLines));
    QPainter painter(&canvas_);
    painter.setFont(textFont());
    for (std::size_t k = 0; k < lines.size(); ++k) {
        QString line = MarketText(lines[k]);
        if (cut && k + 1 == lines.size() && !line.isEmpty()) {
            line.chop(1);
            line += QChar(0x2026);
        }
        const int top = y + kWrappedLineStep * static_cast<int>(k);
        printText(painter, x, top, line, Qt::black);
    }
    update();
}

void PropsMarketWindow::paintButton(ButtonKind kind, int index) {
    MarketPane* pane = nullptr;
    QImage face;
    switch (kind) {
        case ButtonKind::System: {
            pane = picSysBut_[index];
            const QImage strip = platformPicture("DaoJuMaket\\SysBut.bmp");
            const int left =
                (pane->hover ? 2 * kMarketSysButtonSize : 0) + index * kMarketSysButtonSize;
            if (!strip.isNull())
                face = strip.copy(left, 0, kMarketSysButtonSize, kMarketSysButtonSize);
            break;
        }
        case ButtonKind::Buy:
            pane = imgBuyBut_[index];
            face =
                platformPicture(pane->hover ? "DaoJuMaket\\BuyButM.bmp" : "DaoJuMaket\\BuyBut.bmp");
            break;
        case ButtonKind::Scroll: {
            pane = imgMeBut_[index];
            const std::string name = pane->hover
                                         ? "DaoJuMaket\\move" + std::to_string(index) + "M.bmp"
                                         : "DaoJuMaket\\Move" + std::to_string(index) + ".bmp";
            face = platformPicture(name);
            break;
        }
    }
    if (pane != nullptr) pane->setFace(std::move(face));
}

}  // namespace krvo
