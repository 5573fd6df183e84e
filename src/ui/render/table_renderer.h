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
//
// A surface smaller than the design size (kTableDesignSize) gets a table laid
// out at least at that size in both directions, in the surface's shape, and
// shown scaled down to fit it with smooth filtering; pointer positions go back
// through the same scale, so every hit test holds. On a screen with more than
// one device pixel per pixel the table is drawn at twice the resolution and
// shown as it is at a ratio of exactly 2, filtered to the screen otherwise.

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

    // The widget that shows the table; its size decides the table's from
    // then on. Without one (in tests) the size comes from resize().
    void attach(TableSurface* surface);
    // The table at this size, shown as it is.
    void resize(QSize size);
    // The table for a surface of this size: at least the design size, shown
    // scaled down where the surface is smaller.
    void fitTo(QSize surface);
    // Device pixels per pixel of the surface. Above 1 the table is drawn at
    // twice the resolution. A paint takes its device's; tests set it.
    void setDevicePixelRatio(qreal ratio);
    // Where a point of the surface lies on the table, and the pixels of the
    // surface a rectangle of the table reaches, rounded outwards.
    QPoint toTable(QPoint surfacePoint) const;
    QRect toSurface(const QRect& tableArea) const;
    // Where a point of the table shows on the surface (to place a widget there).
    QPoint onSurface(QPoint tablePoint) const;
    // The surface's pixels per pixel of the table: 1 unless it is smaller
    // than the design size.
    qreal shownScale() const { return scale_; }
    QSize tableSize() const { return size_; }
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

    // The whole table as a picture, with every change painted; at twice the
    // resolution (device pixel ratio 2) on a screen of more than one device
    // pixel per pixel.
    const QImage& image();
    // The area of the surface onto the painter of its widget: straight into
    // the widget's buffer when that is a 32-bit image at the resolution of
    // the table's drawing and nothing is scaled, through image() otherwise.
    void paintOn(QPainter& painter, const QRegion& area);
    const TableLayout& layout() const { return layout_; }
    const SceneOverlays& overlays() const { return overlays_; }
    // Files are read again on their next use.
    void reloadPictures();
    // The clock that times what shows for a moment (props used at the table);
    // without one, such pictures are not shown.
    void setClock(Clock& clock);
    // The keyboard's mark under card `index` (from 1) of the own hand; 0 takes it away.
    void setHandMark(int index);

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

    // How many pictures are held decoded, for the memory they take.
    std::size_t keptPictures() const { return pictures_ ? pictures_->size() : 0; }

private:
    SceneSources sources();
    PictureCache& pictures();
    void invalidate(const QRect& area);
    void flush();
    void setTableSize(QSize size);
    // Through image(), scaled to the surface where it has to be.
    void present(QPainter& painter, const QRegion& area);
    bool shownAsDrawn() const;
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
    // The table's size, the surface's, and how the one shows on the other:
    // scaled by scale_ from the surface's top-left corner.
    QSize size_{1, 1};
    QSize surfaceSize_{1, 1};
    qreal scale_ = 1.0;
    qreal deviceRatio_ = 1.0;
    // Device pixels of the back buffer per pixel of the table: 1 or 2.
    int bufferScale_ = 1;
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
