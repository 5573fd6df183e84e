#pragma once
// The drawing functions the manifest points at. Each returns the finished
// picture at the entry's exact size (the writer checks it), drawn at the
// entry's scale; the entry's index says which one of a numbered family to draw.

#include <QByteArray>
#include <QImage>

namespace krvo::assets {

struct AssetEntry;

// Cards (cards_art.cpp).
QImage DrawCardMask(const AssetEntry& entry);
QImage DrawCardFace(const AssetEntry& entry);
QImage DrawCardBack(const AssetEntry& entry);

// Table pieces and seat marks (table_art.cpp).
QImage DrawTableCentre(const AssetEntry& entry);
QImage DrawTableSideEdge(const AssetEntry& entry);
QImage DrawTableTopEdge(const AssetEntry& entry);
QImage DrawTableCorner(const AssetEntry& entry);
QImage DrawPassMark(const AssetEntry& entry);
QImage DrawRedAceMark(const AssetEntry& entry);
QImage DrawDeclarationMarks(const AssetEntry& entry);
QImage DrawDeclarationPanel(const AssetEntry& entry);
QImage DrawPlaces(const AssetEntry& entry);
QImage DrawReadyMark(const AssetEntry& entry);
QImage DrawLeadBubble(const AssetEntry& entry);
QImage DrawOfflineMark(const AssetEntry& entry);

// Buttons on the table (buttons_art.cpp).
QImage DrawToolButtons(const AssetEntry& entry);
QImage DrawPlayButtons(const AssetEntry& entry);
QImage DrawDecisionButtons(const AssetEntry& entry);

// Clock, notices and panels (panels_art.cpp).
QImage DrawTimeBarHead(const AssetEntry& entry);
QImage DrawTimeBarEnd(const AssetEntry& entry);
QImage DrawClock(const AssetEntry& entry);
QImage DrawNoticeMiddle(const AssetEntry& entry);
QImage DrawNoticeEnd(const AssetEntry& entry);
QImage DrawResultFrame(const AssetEntry& entry);
QImage DrawScorePanel(const AssetEntry& entry);
QImage DrawMessageBoxBack(const AssetEntry& entry);
QImage DrawMessageBoxButtons(const AssetEntry& entry);

// Window frame (chrome_art.cpp).
QImage DrawCaptionMiddle(const AssetEntry& entry);
QImage DrawCaptionEnd(const AssetEntry& entry);
QImage DrawCaptionButtons(const AssetEntry& entry);
QImage DrawColumnButtons(const AssetEntry& entry);
QImage DrawShopColumnButton(const AssetEntry& entry);
QImage DrawSplitterTile(const AssetEntry& entry);
QImage DrawSplitterArrow(const AssetEntry& entry);
QImage DrawLogo(const AssetEntry& entry);

// Bomb animations (bomb_art.cpp).
QImage DrawExplosionFrame(const AssetEntry& entry);
QImage DrawLightBurstFrame(const AssetEntry& entry);

// Props market (market_art.cpp) and prop pictures (props_art.cpp).
QImage DrawMarketBack(const AssetEntry& entry);
QImage DrawMarketSysButtons(const AssetEntry& entry);
QImage DrawMarketTab(const AssetEntry& entry);
QImage DrawMarketBuyButton(const AssetEntry& entry);
QImage DrawMarketScrollButton(const AssetEntry& entry);
QImage DrawMarketCatalogueBack(const AssetEntry& entry);
QImage DrawPropPicture(const AssetEntry& entry);
QImage DrawOwnedPropPicture(const AssetEntry& entry);
QByteArray WritePropNotes(const AssetEntry& entry);

// Players (people_art.cpp).
QImage DrawPlayerIcon(const AssetEntry& entry);
QImage DrawChatFace(const AssetEntry& entry);

// The program's icon for the desktop (icon_art.cpp).
QImage DrawAppIcon(const AssetEntry& entry);
QByteArray WriteAppIconSvg(const AssetEntry& entry);

// Sounds (sounds.cpp).
QByteArray SynthesiseSound(const AssetEntry& entry);

}  // namespace krvo::assets
