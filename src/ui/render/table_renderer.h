#pragma once
// The table scene drawn for real. Each call of the table handling says what
// changed; the renderer marks the rectangles that this touches and repaints
// them from the state (through the layer routine) when they are shown or
// read. Erasing and drawing are therefore one thing: a rectangle always ends
// up exactly as a full repaint would draw it.
//
// On the screen the table is painted straight into the window's own buffer;
// a picture of its own (image()) is kept only for those who read the table's
// pixels, or where the window's buffer cannot be drawn on pixel for pixel.

#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QVarLengthArray>
#include <functional>
#include <memory>
#include <optional>

#include "ports/table_scene.h"
#include "render/scene_paint.h"
#include "render/table_layout.h"

class QPainter;

namespace krvo {

struct PublicState;
struct TableState;
class Clock;
class TableSurface;
class Timer;
class Waiter;

class TableRenderer final : public TableScene {
public:
    TableRenderer(const TableState& table, const PublicState& pub, Waiter& waiter);
    ~TableRenderer() override;

    // The widget that shows the table; its size is the table's size from
    // then on. Without one (in tests) the size comes from resize().
    void attach(TableSurface* surface);
    void resize(QSize size);
    // Where the start button stands after a full repaint, and where the
    // countdown bar goes after a layout.
    std::function<void(QPoint)> placeStartButton;
    std::function<void(QRect)> placeCountdownBar;
    // The width of the screen the table is on; small screens draw the plays
    // closer to the hands.
    std::function<int()> screenWidth;
    // After buttons were drawn, placed or set back to their plain look: the
    // mouse lights again what lies under a pointer that has not moved.
    std::function<void()> buttonsDrawn;
    // Where the pointer rests over the table, if it does.
    std::optional<QPoint> pointer() const;

    // The whole table as a picture, with every change painted.
    const QImage& image();
    // The area of the table, in table coordinates, onto the painter of its
    // widget: straight into the widget's buffer when that is a 32-bit image
    // at one pixel per pixel, through image() otherwise.
    void paintOn(QPainter& painter, const QRegion& area);
    const TableLayout& layout() const { return layout_; }
    const SceneOverlays& overlays() const { return overlays_; }
    // Files are read again on their next use.
    void reloadPictures();
    // The clock that times what shows for a moment (props used at the table);
    // without one, such pictures are not shown.
    void setClock(Clock& clock);

    void invalidateSeat(std::uint8_t chair) override;
    void invalidateOfflineMark(std::uint8_t chair) override;
    void invalidateReadyMark(std::uint8_t chair) override;
    void layoutTable() override;
    void invalidateTable() override;
    void invalidateSeatHand(std::uint8_t chair) override;
    void invalidateOwnHand() override;
    void invalidateToggledCard(std::size_t index) override;
    void invalidateTableCentre(TrickView which) override;
    void invalidateSeatPlay(std::uint8_t chair) override;
    void eraseSeatPlay(std::uint8_t chair) override;
    void invalidateDeclarationMarks(std::uint8_t chair) override;
    void invalidatePlaceMark(std::uint8_t chair) override;
    void invalidateFirstPlayerMark(std::uint8_t chair) override;
    void invalidateToolButtons() override;
    void invalidatePlayButtons() override;
    void erasePlayButtons() override;
    void invalidateDecisionButtons() override;
    void eraseDecisionButtons() override;
    void invalidateWaitingNotice() override;
    void invalidateDeclarationPanel() override;
    void invalidateScorePanel() override;
    void invalidateRoundResult(const std::array<std::int32_t, 4>& scores) override;
    void playBombAnimation(std::uint8_t chair, std::uint8_t kind) override;
    void showPropUsed(std::uint8_t chair, std::int32_t propId) override;
    void invalidateClock(std::uint8_t chair, std::int32_t ticks) override;
    void eraseClock(std::uint8_t chair) override;

private:
    SceneSources sources();
    PictureCache& pictures();
    void invalidate(const QRect& area);
    void flush();
    QRect anyWaitingNoticeArea();
    QRect playButtonsArea();
    void seatPlayChanged(std::uint8_t chair);
    void notifyButtonsDrawn();
    void endPropShows();

    const TableState& table_;
    const PublicState& pub_;
    Waiter& waiter_;
    QPointer<TableSurface> surface_;
    std::unique_ptr<PictureCache> pictures_;
    TableFonts fonts_;
    QSize size_{1, 1};
    // The picture behind image(), made on its first use.
    QImage image_;
    TableLayout layout_;
    SceneOverlays overlays_;
    ClockFace clock_;
    Clock* timeSource_ = nullptr;
    std::unique_ptr<Timer> propTimer_;
    QRegion dirty_;
    // The rectangles marked since the last repaint, as far as kMostWaiting.
    static constexpr qsizetype kMostWaiting = 32;
    QVarLengthArray<QRect, kMostWaiting> waiting_;
    bool painting_ = false;
};

}  // namespace krvo
