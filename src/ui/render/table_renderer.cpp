#include "render/table_renderer.h"

#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QScreen>
#include <string>

#include "core/clock.h"
#include "core/waits.h"
#include "render/table_surface.h"
#include "state/public_state.h"
#include "state/table_state.h"

namespace krvo {
namespace {

constexpr int kSmallScreenWidth = 800;

struct BombKind {
    const char* directory;
    int frames;
    QSize size;
    QRgb key;
    int delayMs;
};

constexpr BombKind kBombKinds[] = {
    {"Res\\Bomb\\b1\\Blast0", 9, {180, 135}, qRgb(0, 0, 0), 30},
    {"Res\\Bomb\\b2\\Blast0", 15, {88, 80}, qRgb(255, 255, 255), 40},
};

std::string frameName(const BombKind& kind, int frame) {
    return kind.directory + std::string(frame < 10 ? "0" : "") + std::to_string(frame) + ".jpg";
}

// The widget's part of the buffer the painter draws into, when the table can
// be painted there pixel for pixel: a 32-bit image, nothing scaled, the
// widget at a whole-pixel offset and wholly inside it. Null otherwise (a
// grab into a pixmap, a scaled screen).
QImage windowPixels(QPainter& painter, QSize size) {
    QPaintEngine* engine = painter.paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image) return {};
    auto& buffer = *static_cast<QImage*>(device);
    // Every pixel the table paints is opaque, and an opaque premultiplied
    // pixel has the same 32 bits as the same colour without alpha.
    const bool wide = buffer.format() == QImage::Format_RGB32 ||
                      buffer.format() == QImage::Format_ARGB32_Premultiplied;
    if (!wide || buffer.devicePixelRatio() != 1.0) return {};
    const QTransform transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxTranslate) return {};
    const QPoint offset(qRound(transform.dx()), qRound(transform.dy()));
    if (QPointF(offset) != QPointF(transform.dx(), transform.dy())) return {};
    if (!buffer.rect().contains(QRect(offset, size))) return {};
    const qsizetype stride = buffer.bytesPerLine();
    uchar* first = buffer.bits() + offset.y() * stride + offset.x() * qsizetype(sizeof(QRgb));
    QImage view(first, size.width(), size.height(), stride, QImage::Format_RGB32);
    // Texts are laid out at the table's fixed resolution, as in image().
    const QImage table = NewTableImage(QSize(1, 1));
    view.setDotsPerMeterX(table.dotsPerMeterX());
    view.setDotsPerMeterY(table.dotsPerMeterY());
    return view;
}

}  // namespace

TableRenderer::TableRenderer(const TableState& table, const PublicState& pub, Waiter& waiter)
    : table_(table), pub_(pub), waiter_(waiter) {}

TableRenderer::~TableRenderer() {
    if (surface_) {
        surface_->paintTable = nullptr;
        surface_->onResize = nullptr;
    }
}

void TableRenderer::attach(TableSurface* surface) {
    surface_ = surface;
    if (!surface_) return;
    surface_->paintTable = [this](QPainter& painter, const QRegion& area) {
        paintOn(painter, area);
    };
    surface_->onResize = [this](QSize size) { resize(size); };
    if (!screenWidth) {
        screenWidth = [this] {
            const QScreen* screen =
                surface_ ? surface_->screen() : QGuiApplication::primaryScreen();
            return screen ? screen->geometry().width() : kSmallScreenWidth + 1;
        };
    }
    resize(surface_->size());
}

void TableRenderer::resize(QSize size) {
    size_ = size.expandedTo(QSize(1, 1));
    image_ = QImage();
    dirty_ = QRegion();
    waiting_.clear();
    layoutTable();
    invalidateTable();
}

PictureCache& TableRenderer::pictures() {
    if (!pictures_)
        pictures_ = std::make_unique<PictureCache>(pub_.strAppPath, pub_.strPlatformPath);
    return *pictures_;
}

void TableRenderer::reloadPictures() {
    pictures_.reset();
    invalidate(QRect(QPoint(), size_));
}

void TableRenderer::setClock(Clock& clock) {
    timeSource_ = &clock;
    propTimer_ = clock.createTimer([this] { endPropShows(); });
}

SceneSources TableRenderer::sources() {
    return {layout_, table_, pub_, pictures(), fonts_, clock_, overlays_};
}

const QImage& TableRenderer::image() {
    if (image_.isNull()) {
        image_ = NewTableImage(size_);
        dirty_ = QRegion(image_.rect());
    }
    flush();
    return image_;
}

void TableRenderer::paintOn(QPainter& painter, const QRegion& area) {
    const QRegion region = area & QRect(QPoint(), size_);
    if (painting_ || region.isEmpty()) return;
    QImage window = windowPixels(painter, size_);
    if (window.isNull()) {
        const QImage& picture = image();
        // One rectangle at a time, each as the only clip: a plain rectangle of
        // the same format is a straight copy of rows, where a clip of many
        // rectangles would send every pixel through the general blending.
        for (const QRect& rect : region) {
            painter.setClipRect(rect);
            painter.drawImage(rect.topLeft(), picture, rect);
        }
        return;
    }
    painting_ = true;
    // Whatever is waiting is part of this paint or of one already asked for.
    waiting_.clear();
    TableCanvas canvas(window, region, &fonts_);
    PaintTableLayers(canvas, sources());
    painting_ = false;
}

void TableRenderer::invalidate(const QRect& area) {
    const QRect visible = area.intersected(QRect(QPoint(), size_));
    if (visible.isEmpty()) return;
    // Most changes repeat a rectangle already waiting (a seat's play erased and
    // drawn, the buttons after every message): there is nothing more to mark.
    for (const QRect& waiting : waiting_) {
        if (waiting.contains(visible)) return;
    }
    if (waiting_.size() < kMostWaiting) waiting_.append(visible);
    if (!image_.isNull()) dirty_ += visible;
    if (surface_) surface_->update(visible);
}

// Repaints what changed, from the state as it is now. Never nested: painting
// runs no events.
void TableRenderer::flush() {
    if (painting_ || dirty_.isEmpty() || image_.isNull()) return;
    painting_ = true;
    const QRegion region = std::exchange(dirty_, QRegion());
    waiting_.clear();
    TableCanvas canvas(image_, region, &fonts_);
    PaintTableLayers(canvas, sources());
    painting_ = false;
}

void TableRenderer::layoutTable() {
    const bool smallScreen = screenWidth && screenWidth() <= kSmallScreenWidth;
    layout_ = ComputeTableLayout(size_, smallScreen, table_.blnShowOtherPai != 0);
    if (placeCountdownBar) placeCountdownBar(kKoClockGeometry);
}

void TableRenderer::invalidateTable() {
    // The full repaint shows the current trick and nothing lying over the table.
    overlays_.trickView = TrickView::Current;
    overlays_.result.reset();
    overlays_.firstPlayerChair = -1;
    invalidate(QRect(QPoint(), size_));
    if (placeStartButton) placeStartButton(layout_.ptUserFace[kBottom] + QPoint(150, 5));
    notifyButtonsDrawn();
}

std::optional<QPoint> TableRenderer::pointer() const {
    return surface_ ? surface_->pointer() : std::nullopt;
}

void TableRenderer::notifyButtonsDrawn() {
    if (buttonsDrawn) buttonsDrawn();
}

void TableRenderer::invalidateSeat(std::uint8_t chair) {
    if (chair < kChairCount) invalidate(SeatArea(sources(), chair));
}

void TableRenderer::invalidateOfflineMark(std::uint8_t chair) {
    if (chair < kChairCount) invalidate(OfflineMarkRect(layout_, sources().position(chair)));
}

void TableRenderer::invalidateReadyMark(std::uint8_t chair) {
    if (chair < kChairCount) invalidate(ReadyMarkRect(layout_, sources().position(chair)));
}

void TableRenderer::invalidateSeatHand(std::uint8_t chair) {
    if (chair >= kChairCount) return;
    const SceneSources scene = sources();
    invalidate(SeatHandArea(scene, chair));
    invalidate(RemainingCountArea(scene, chair));
}

void TableRenderer::invalidateOwnHand() {
    const SceneSources scene = sources();
    invalidate(OwnHandArea(scene));
    if (pub_.bteMyChair < kChairCount) invalidate(RemainingCountArea(scene, pub_.bteMyChair));
}

void TableRenderer::invalidateToggledCard(std::size_t index) {
    if (index > table_.bteMyPai.size()) return;
    invalidate(ToggledCardArea(sources(), static_cast<int>(index)));
}

void TableRenderer::invalidateTableCentre(TrickView which) {
    if (which == TrickView::Previous) {
        overlays_.currentPlaySeats = 0;
        overlays_.playButtonsOverTrick = false;
    }
    overlays_.trickView = which;
    invalidate(CentreArea(sources()));
    invalidate(playButtonsArea());
    invalidate(anyWaitingNoticeArea());
}

// A seat whose play changes while the previous trick shows shows its current
// play from then on: the player sees every play as it comes.
void TableRenderer::seatPlayChanged(std::uint8_t chair) {
    if (!sources().showsPreviousPlay(chair)) return;
    const int position = sources().position(chair);
    invalidate(PlayRect(layout_, position, table_.arrSeat[chair].bteLastOutPai));
    overlays_.currentPlaySeats =
        static_cast<std::uint8_t>(overlays_.currentPlaySeats | 1u << chair);
}

void TableRenderer::invalidateSeatPlay(std::uint8_t chair) {
    if (chair >= kChairCount) return;
    seatPlayChanged(chair);
    invalidate(SeatPlayArea(sources(), chair));
}

void TableRenderer::eraseSeatPlay(std::uint8_t chair) {
    if (chair >= kChairCount) return;
    // Measured now, while the plays are still there; painted once they are gone.
    seatPlayChanged(chair);
    invalidate(SeatPlayArea(sources(), chair));
}

void TableRenderer::invalidateDeclarationMarks(std::uint8_t chair) {
    if (chair < kChairCount) invalidate(DeclarationMarksArea(sources(), chair));
}

void TableRenderer::invalidatePlaceMark(std::uint8_t chair) {
    if (chair < kChairCount) invalidate(PlaceMarkArea(sources(), chair));
}

void TableRenderer::invalidateFirstPlayerMark(std::uint8_t chair) {
    if (chair >= kChairCount) return;
    overlays_.firstPlayerChair = chair;
    invalidate(FirstPlayerBubbleArea(sources(), chair));
}

void TableRenderer::invalidateToolButtons() {
    invalidate(ToolButtonsArea(sources()));
    notifyButtonsDrawn();
}

QRect TableRenderer::playButtonsArea() {
    QRect area = PlayButtonsArea(layout_);
    for (int i = 0; i < 3; ++i) area = area.united(PlayButtonRect(layout_, 3, i));
    return area.united(PlayButtonRect(layout_, 1, 0));
}

void TableRenderer::invalidatePlayButtons() {
    if (overlays_.trickView == TrickView::Previous) overlays_.playButtonsOverTrick = true;
    invalidate(playButtonsArea());
    notifyButtonsDrawn();
}

void TableRenderer::erasePlayButtons() {
    invalidate(playButtonsArea());
}

void TableRenderer::invalidateDecisionButtons() {
    invalidate(DecisionButtonsArea(layout_));
    notifyButtonsDrawn();
}

void TableRenderer::eraseDecisionButtons() {
    invalidate(DecisionButtonsArea(layout_));
    invalidate(CentreArea(sources()));
}

QRect TableRenderer::anyWaitingNoticeArea() {
    QRect area;
    for (std::uint8_t state : {kRoundShowRedAces, kRoundSurrender, kRoundJue, kRoundZhi}) {
        area = area.united(WaitingNoticeArea(layout_, fonts_.width(WaitingNoticeText(state), {})));
    }
    return area.adjusted(0, 0, 2, 4);
}

void TableRenderer::invalidateWaitingNotice() {
    invalidate(anyWaitingNoticeArea());
}

void TableRenderer::invalidateDeclarationPanel() {
    invalidate(DeclarationPanelArea());
}

void TableRenderer::invalidateScorePanel() {
    invalidate(ScorePanelArea(sources()));
}

void TableRenderer::invalidateRoundResult(const std::array<std::int32_t, 4>& scores) {
    overlays_.result = scores;
    invalidate(ResultArea(sources(), scores));
}

void TableRenderer::showPropUsed(std::uint8_t chair, std::int32_t propId) {
    if (chair >= kChairCount || !timeSource_) return;
    if (pictures().app(PropPictureName(propId)).isNull()) return;
    std::optional<PropShow>& show = overlays_.props[chair];
    show = PropShow{propId, timeSource_->nowMs() + kPropShowMs};
    invalidate(PropShowArea(sources(), chair));
    endPropShows();
}

// Takes away what has had its moment and waits for the next to end.
void TableRenderer::endPropShows() {
    if (!timeSource_ || !propTimer_) return;
    const std::int64_t now = timeSource_->nowMs();
    std::optional<std::int64_t> next;
    for (std::uint8_t chair = 0; chair < kChairCount; ++chair) {
        std::optional<PropShow>& show = overlays_.props[chair];
        if (!show) continue;
        if (show->untilMs <= now) {
            invalidate(PropShowArea(sources(), chair));
            show.reset();
            continue;
        }
        next = std::min(next.value_or(show->untilMs), show->untilMs);
    }
    if (next) {
        propTimer_->start(*next - now, true);
    } else {
        propTimer_->stop();
    }
}

void TableRenderer::invalidateClock(std::uint8_t chair, std::int32_t ticks) {
    if (chair >= kChairCount) return;
    clock_ = {chair, ticks};
    invalidate(ClockArea(sources(), chair));
    invalidate(SecondsArea());
}

void TableRenderer::eraseClock(std::uint8_t chair) {
    const bool shown = clock_.chair >= 0 && clock_.chair < static_cast<int>(kChairCount);
    if (shown) invalidate(ClockArea(sources(), static_cast<std::uint8_t>(clock_.chair)));
    clock_ = {};
    if (chair < kChairCount) invalidate(ClockArea(sources(), chair));
    if (shown || chair < kChairCount) invalidate(SecondsArea());
}

// Frame by frame over the seat's play, each frame replacing the one before;
// between frames the events flow. The table under the frames is repainted
// from the state, so it comes back exactly as it was, and anything that
// changed meanwhile shows as it is now.
void TableRenderer::playBombAnimation(std::uint8_t chair, std::uint8_t kind) {
    if (chair >= kChairCount || kind < 1 || kind > 2) return;
    const BombKind& bomb = kBombKinds[kind - 1];
    const int cards = static_cast<int>(table_.arrSeat[chair].bteOutPai.size());
    for (int frame = 1; frame <= bomb.frames; ++frame) {
        const QImage& picture = pictures().app(frameName(bomb, frame));
        if (picture.isNull()) continue;
        const QPoint origin =
            BombFrameOrigin(layout_, sources().position(chair), kind, bomb.size, cards);
        if (overlays_.bomb) invalidate(overlays_.bomb->area());
        overlays_.bomb = BombFrame{picture, bomb.key, origin};
        invalidate(overlays_.bomb->area());
        // Behind a backlog the frames nobody would see go by at once.
        if (!waiter_.pause(bomb.delayMs)) break;
    }
    if (!overlays_.bomb) return;
    invalidate(overlays_.bomb->area());
    overlays_.bomb.reset();
}

}  // namespace krvo
