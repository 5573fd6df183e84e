#pragma once
// The whole table drawn from the state, layer by layer, into the part of the
// back buffer being repainted. Every change on the table repaints the
// rectangles it touched with this one routine, so a partial repaint gives
// exactly the pixels a full repaint would give there and an element that
// disappears can never leave stale pixels behind.
//
// Layer order: background; countdown bar ends; the centre with every seat's
// play; per chair its icon and name, offline and ready marks, and, during a
// round, its declaration marks, hand, place and count; the declaration and
// score panels; tool, play and decision buttons; the bar ends again; the
// clock; the waiting notice; then what lies over the table for a while: the
// round's result, the first-player bubble, a bomb frame and the pictures of
// props just used.

#include <QImage>
#include <QRect>
#include <array>
#include <cstdint>
#include <optional>

#include "ports/table_scene.h"
#include "render/prop_show.h"
#include "render/table_canvas.h"
#include "render/table_layout.h"

namespace krvo {

struct PublicState;
struct TableState;

inline constexpr int kNoClock = 100;

// The turn clock as the countdown reports it: the chair whose turn is timed
// (kNoClock for none) and the seconds gone.
struct ClockFace {
    int chair = kNoClock;
    std::int32_t ticks = 0;
};

struct BombFrame {
    QImage image;
    QRgb key = 0;
    QPoint origin;
    QRect area() const { return {origin, image.size()}; }
};

// What the table shows besides the state: which trick the centre shows, and
// the pictures that lie over the table until the next full repaint.
struct SceneOverlays {
    TrickView trickView = TrickView::Current;
    // While the previous trick shows, what changed since it was put up shows
    // at once: the chairs (a bit each) whose play changed show their current
    // play, and the play buttons show once drawn again over it.
    std::uint8_t currentPlaySeats = 0;
    bool playButtonsOverTrick = false;
    std::optional<std::array<std::int32_t, 4>> result;
    int firstPlayerChair = -1;
    std::optional<BombFrame> bomb;
    // Props used at the table stay for their moment, across full repaints.
    PropShows props;
    // The card of the own hand (from 1) the keyboard marks; 0 while the
    // table has no keyboard focus.
    int handMark = 0;
};

struct SceneSources {
    const TableLayout& layout;
    const TableState& table;
    const PublicState& pub;
    PictureCache& pictures;
    TableFonts& fonts;
    ClockFace clock;
    const SceneOverlays& overlays;

    // The screen position of a chair (0-3).
    int position(std::uint8_t chair) const;
    bool seatsShown() const;
    // Whether the centre shows this chair's play of the previous trick
    // rather than its current one.
    bool showsPreviousPlay(std::uint8_t chair) const;
    bool playButtonsHidden() const;
};

void PaintTableLayers(TableCanvas& canvas, const SceneSources& scene);

// What each element covers: where it draws and where it erases, so that a
// repaint of these rectangles shows its change whole.
QRect SeatArea(const SceneSources& scene, std::uint8_t chair);
QRect SeatHandArea(const SceneSources& scene, std::uint8_t chair);
QRect OwnHandArea(const SceneSources& scene);
QRect ToggledCardArea(const SceneSources& scene, int index);
// The keyboard's mark under a card of the own hand; empty when none shows.
QRect HandMarkRect(const SceneSources& scene);
QRect CentreArea(const SceneSources& scene);
QRect SeatPlayArea(const SceneSources& scene, std::uint8_t chair);
QRect DeclarationMarksArea(const SceneSources& scene, std::uint8_t chair);
QRect PlaceMarkArea(const SceneSources& scene, std::uint8_t chair);
QRect RemainingCountArea(const SceneSources& scene, std::uint8_t chair);
QRect ToolButtonsArea(const SceneSources& scene);
QRect WaitingNoticeAreaOf(const SceneSources& scene);
QRect DeclarationPanelArea();
QRect ScorePanelArea(const SceneSources& scene);
QRect ResultArea(const SceneSources& scene, const std::array<std::int32_t, 4>& scores);
QRect FirstPlayerBubbleArea(const SceneSources& scene, std::uint8_t chair);
// The clock beside a seat, and the seconds it shows by the time bar: far
// apart, so each is repainted on its own rather than all that lies between.
QRect ClockArea(const SceneSources& scene, std::uint8_t chair);
QRect SecondsArea();

// Whether area reaches what the background adds to the table colour and the
// middle picture: its edge pieces and corners, and the time bar's ends.
bool ReachesBackgroundPieces(const SceneSources& scene, const QRect& area);

// Texts of the table.
QString DecisionCaption(std::uint8_t roundState, int button);
QString WaitingNoticeText(std::uint8_t roundState);

// The element painters, in the order PaintTableLayers calls them.
void PaintBackground(TableCanvas& canvas, const SceneSources& scene);
void PaintTimeBarEnds(TableCanvas& canvas, const SceneSources& scene);
// Over the background of the same pass: where that already shows the
// centre's erase and middle picture, only the plays are drawn.
void PaintCentre(TableCanvas& canvas, const SceneSources& scene);
void PaintSeat(TableCanvas& canvas, const SceneSources& scene, std::uint8_t chair);
void PaintSeatRound(TableCanvas& canvas, const SceneSources& scene, std::uint8_t chair);
void PaintSeatHand(TableCanvas& canvas, const SceneSources& scene, std::uint8_t chair);
void PaintRemainingCount(TableCanvas& canvas, const SceneSources& scene, std::uint8_t chair);
void PaintPanels(TableCanvas& canvas, const SceneSources& scene);
void PaintButtons(TableCanvas& canvas, const SceneSources& scene);
void PaintClock(TableCanvas& canvas, const SceneSources& scene);

// Text over a dark shadow one pixel down and right, for texts on the blue
// table whose own colour stands out little from it.
inline constexpr QRgb kTextShadow = qRgb(0, 25, 50);
void ShadowedText(TableCanvas& canvas, QPoint at, const QString& text, const TextStyle& style);
void PaintWaitingNotice(TableCanvas& canvas, const SceneSources& scene);
void PaintOverlays(TableCanvas& canvas, const SceneSources& scene);

}  // namespace krvo
