// The table's background and everything that is not a card or a seat mark:
// buttons, panels, the clock, the waiting notice and what lies over the
// table for a while (the round's result, the first-player bubble, a bomb).

#include <algorithm>
#include <string>

#include "render/scene_paint.h"
#include "state/public_state.h"
#include "state/table_state.h"

namespace krvo {
namespace {

constexpr int kEdgeStep = 5;
constexpr QSize kFramePiece(18, 28);
constexpr QRgb kResultInside = qRgb(247, 207, 156);
constexpr QRgb kResultText = qRgb(0, 0, 250);
constexpr QRgb kYellow = qRgb(255, 255, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);
// The seconds beside the seat's clock: read from across the table, so larger
// than the digits under the time bar, on a dark shadow against the blue, and
// warmer in the last seconds.
constexpr QRgb kSeatSecondsWarning = qRgb(255, 120, 80);
constexpr int kSeatSecondsPoints = 12;
constexpr int kSeatSecondsGap = 2;
constexpr int kSeatSecondsTop = 12;
constexpr int kLastSeconds = 5;
// As wide as three digits of the seat's seconds, so that "-10" fits too.
constexpr int kSeatSecondsWidth = 3 * kSeatSecondsPoints + 4;

// The tile positions 0, step, 2 step, ... up to and including `last` whose
// tile of `size` may reach into [from, to].
template <typename Draw>
void forEachTile(int from, int to, int last, int size, const Draw& draw) {
    int first = std::max(0, (from - size + 1) / kEdgeStep * kEdgeStep);
    for (int at = first; at <= last && at <= to; at += kEdgeStep) draw(at);
}

// A ModeMsg piece: its image at x = 36 k, its mask right beside it.
void framePiece(TableCanvas& canvas, const QImage& pieces, int piece, int x, int y, int width,
                int height, bool mirrored) {
    const QRect face(piece * 36, 0, std::min(width, 18), std::min(height, 28));
    const QRect mask(face.topLeft() + QPoint(18, 0), face.size());
    if (!mirrored) {
        canvas.blit(pieces, mask, {x, y}, BlitOp::And);
        canvas.blit(pieces, face, {x, y}, BlitOp::Or);
        return;
    }
    // Mirrored pieces are the left-hand ones drawn with a negative width, ending at x.
    canvas.copyMirrored(pieces, mask, x, y, -face.width(), face.height(), BlitOp::And);
    canvas.copyMirrored(pieces, face, x, y, -face.width(), face.height(), BlitOp::Or);
}

void paintResultFrame(TableCanvas& canvas, const QImage& pieces, const QRect& box) {
    const int x = box.x();
    const int y = box.y();
    const int right = box.x() + box.width() - 1;
    const int bottom = box.y() + box.height() - kFramePiece.height();
    canvas.fill(box.adjusted(kFramePiece.width(), kFramePiece.height(), -kFramePiece.width(),
                             -kFramePiece.height()),
                kResultInside);
    if (pieces.isNull()) return;
    for (int at = x + 18; at < right + 1 - 18; at += 18) {
        const int width = std::min(18, right + 1 - 18 - at);
        framePiece(canvas, pieces, 3, at, y, width, 28, false);
        framePiece(canvas, pieces, 4, at, bottom, width, 28, false);
    }
    for (int at = y + 28; at < bottom; at += 28) {
        const int height = std::min(28, bottom - at);
        framePiece(canvas, pieces, 2, x, at, 18, height, false);
        framePiece(canvas, pieces, 2, right, at, 18, height, true);
    }
    framePiece(canvas, pieces, 0, x, y, 18, 28, false);
    framePiece(canvas, pieces, 0, right, y, 18, 28, true);
    framePiece(canvas, pieces, 1, x, bottom, 18, 28, false);
    framePiece(canvas, pieces, 1, right, bottom, 18, 28, true);
}

void paintResult(TableCanvas& canvas, const SceneSources& scene,
                 const std::array<std::int32_t, 4>& scores) {
    const bool draw = scores[0] == 0;
    const QRect box = ResultBox(scene.layout, draw);
    if (!canvas.touches(box)) return;
    paintResultFrame(canvas, scene.pictures.app("Res\\ModeMsg.bmp"), box);
    const TextStyle title{kResultText, 20, false, true};
    const int x = box.x();
    const int y = box.y();
    if (draw) {
        canvas.text({x + 60, y + 60}, QStringLiteral("本轮和局！"), title);
        return;
    }
    canvas.text({x + 110, y + 35}, QStringLiteral("游戏结束"), title);
    canvas.line({x + 30, y + 69}, {x + 310, y + 69}, qRgb(230, 230, 230));
    canvas.line({x + 30, y + 70}, {x + 310, y + 70}, qRgb(30, 30, 30));
    // The names and scores keep the title's colour, in the table's font.
    const TextStyle rows{kResultText, 10};
    for (std::size_t chair = 0; chair < kChairCount; ++chair) {
        const int row = y + 90 + static_cast<int>(chair) * 25;
        canvas.text({x + 60, row}, QString::fromStdString(scene.table.arrSeat[chair].strUserName),
                    rows);
        canvas.text({x + 240, row}, QString::number(scores[chair]), rows);
    }
}

int clockSeconds(const TableState& table, std::int32_t ticks) {
    const bool declaring =
        table.bteRoundState >= kRoundShowRedAces && table.bteRoundState <= kRoundFollowZhi;
    return (declaring ? table.bteDeclareTime : table.btePlayTime) - ticks;
}

// The seconds beside the clock: right of it, but left of the right-hand seat's
// clock, which stands close to the table's edge.
QRect seatSecondsBox(const SceneSources& scene, int position) {
    const QPoint clock = ClockOrigin(scene.layout, position);
    const int height = scene.fonts.height({kYellow, kSeatSecondsPoints, true, true}) + 1;
    const int x = position == kRight ? clock.x() - kSeatSecondsGap - kSeatSecondsWidth
                                     : clock.x() + kClockFaceWidth + kSeatSecondsGap;
    return {x, clock.y() + kSeatSecondsTop, kSeatSecondsWidth, height};
}

void paintSeatSeconds(TableCanvas& canvas, const SceneSources& scene, int position, int seconds) {
    const QRect box = seatSecondsBox(scene, position);
    if (!canvas.touches(box)) return;
    const QString text = QString::number(seconds);
    const TextStyle style{seconds <= kLastSeconds ? kSeatSecondsWarning : kYellow,
                          kSeatSecondsPoints, true, true};
    const int x = position == kRight ? box.right() - scene.fonts.width(text, style) : box.x();
    ShadowedText(canvas, {x, box.y()}, text, style);
}

}  // namespace

void ShadowedText(TableCanvas& canvas, QPoint at, const QString& text, const TextStyle& style) {
    TextStyle shadow = style;
    shadow.colour = kTextShadow;
    canvas.text(at + QPoint(1, 1), text, shadow);
    canvas.text(at, text, style);
}

void PaintBackground(TableCanvas& canvas, const SceneSources& scene) {
    const int sw = scene.layout.surfaceWidth();
    const int sh = scene.layout.surfaceHeight();
    PictureCache& pictures = scene.pictures;
    const QImage& middle = pictures.app("Res\\GameBackMid.bmp");
    const QRect table = EraseRect(0, 0, sw, sh);
    // The middle picture replaces every pixel it covers: the erase goes around it.
    const QRect picture =
        middle.isNull() ? QRect() : QRect(scene.layout.centrePicture(), middle.size()) & table;
    if (picture.isEmpty()) {
        canvas.erase(table);
    } else {
        canvas.fill({table.left(), table.top(), table.width(), picture.top() - table.top()},
                    kTableColour);
        canvas.fill(
            {table.left(), picture.bottom() + 1, table.width(), table.bottom() - picture.bottom()},
            kTableColour);
        canvas.fill({table.left(), picture.top(), picture.left() - table.left(), picture.height()},
                    kTableColour);
        canvas.fill(
            {picture.right() + 1, picture.top(), table.right() - picture.right(), picture.height()},
            kTableColour);
    }
    if (!middle.isNull()) canvas.copy(middle, scene.layout.centrePicture());
    // Each band of edge pieces only as far as the repainted rectangles reach
    // into it: the pieces anywhere else would land nowhere.
    const QImage& side = pictures.app("Res\\GameBackVsBian.bmp");
    if (!side.isNull()) {
        const QRect left = canvas.reach({0, 0, 8, sh + side.height()});
        if (!left.isEmpty()) {
            forEachTile(left.top(), left.bottom(), sh, side.height(), [&](int y) {
                canvas.copyMirrored(side, side.rect(), 7, y, -8, side.height());
            });
        }
        const QRect right = canvas.reach({sw - 8, 0, side.width(), sh + side.height()});
        if (!right.isEmpty()) {
            forEachTile(right.top(), right.bottom(), sh, side.height(), [&](int y) {
                canvas.copy(side, {sw - 8, y});
            });
        }
    }
    const QImage& top = pictures.app("Res\\GameBackHsBian.bmp");
    if (!top.isNull()) {
        const QRect upper = canvas.reach({0, 0, sw + top.width(), top.height()});
        if (!upper.isEmpty()) {
            forEachTile(upper.left(), upper.right(), sw, top.width(), [&](int x) {
                canvas.copy(top, {x, 0});
            });
        }
        const QRect lower = canvas.reach({0, sh - 8, sw + 5, 8});
        if (!lower.isEmpty()) {
            forEachTile(lower.left(), lower.right(), sw, top.width(),
                        [&](int x) { canvas.copyMirrored(top, top.rect(), x, sh - 1, 5, -8); });
        }
    }
    const QImage& corner = pictures.app("Res\\GameBackJiao.bmp");
    if (!corner.isNull()) {
        canvas.copyMirrored(corner, corner.rect(), 18, 0, -18, 18);
        canvas.copyMirrored(corner, corner.rect(), 18, sh - 1, -18, -18);
        canvas.copy(corner, {sw - 18 - 1, 0});
        canvas.copyMirrored(corner, corner.rect(), sw - 18 - 1, sh - 1, 18, -18);
    }
}

bool ReachesBackgroundPieces(const SceneSources& scene, const QRect& area) {
    const int sw = scene.layout.surfaceWidth();
    const int sh = scene.layout.surfaceHeight();
    PictureCache& pictures = scene.pictures;
    const QSize side = pictures.app("Res\\GameBackVsBian.bmp").size();
    const QSize edge = pictures.app("Res\\GameBackHsBian.bmp").size();
    const QSize corner = pictures.app("Res\\GameBackJiao.bmp").size().expandedTo({19, 18});
    // Generous bands: the pieces, however large their pictures, lie inside them.
    const QRect pieces[] = {
        {0, 0, std::max(8, corner.width()), sh + 1},
        {sw - std::max(19, corner.width()), 0, std::max({19, corner.width(), side.width()}) + 1,
         sh + 1},
        {0, 0, sw + 1, std::max({corner.height(), edge.height(), 8})},
        {0, sh - std::max(18, corner.height()), sw + 1, std::max(18, corner.height()) + 1},
        {kTimeBarHead, pictures.app("Res\\TimeBarHead.bmp").size()},
        {kTimeBarEnd, pictures.app("Res\\TimeBarEnd.bmp").size()},
    };
    return std::any_of(std::begin(pieces), std::end(pieces),
                       [&](const QRect& piece) { return piece.intersects(area); });
}

void PaintTimeBarEnds(TableCanvas& canvas, const SceneSources& scene) {
    canvas.copy(scene.pictures.app("Res\\TimeBarHead.bmp"), kTimeBarHead);
    canvas.copy(scene.pictures.app("Res\\TimeBarEnd.bmp"), kTimeBarEnd);
}

void PaintPanels(TableCanvas& canvas, const SceneSources& scene) {
    const TableState& table = scene.table;
    if (!table.blnNoGame) {
        const QImage& labels = scene.pictures.app("Res\\GameLiang.bmp");
        const std::uint8_t marks[] = {table.bteRoundLiang, table.bteRoundJiu, table.bteRoundJue,
                                      table.bteRoundZhi};
        for (int k = 0; k < 4; ++k) {
            canvas.blit(labels, QRect(k * 78, marks[k] != 0 ? 36 : 0, 78, 36), {10, 30 + k * 36});
        }
    }
    const QPoint panel = ScorePanelOrigin(scene.layout);
    canvas.copy(scene.pictures.app("Res\\GameScore.bmp"), panel);
    for (std::size_t chair = 0; chair < kChairCount; ++chair) {
        const int y = panel.y() + 25 + static_cast<int>(chair) * 19;
        canvas.text({panel.x() + 6, y}, QString::fromStdString(table.arrSeat[chair].strUserName),
                    {kWhite});
        canvas.text({panel.x() + 95 + 6, y}, QString::number(table.lngRoundScore[chair]),
                    {qRgb(0, 255, 255)});
        canvas.text({panel.x() + 142 + 6, y}, QString::number(table.lngTotalScore[chair]),
                    {kYellow});
    }
}

void PaintButtons(TableCanvas& canvas, const SceneSources& scene) {
    const TableState& table = scene.table;
    const TableLayout& layout = scene.layout;
    const auto shown = [](std::uint8_t state) { return state == 1 || state == 2; };
    const QImage& tools = scene.pictures.app("Res\\UserOptBut.bmp");
    for (int i = 0; i < kToolButtonCount; ++i) {
        const int s = table.bteToolBut[static_cast<std::size_t>(i)];
        if (!shown(s)) continue;
        canvas.blit(tools, QRect((i + (s - 1) * 2) * 44, 0, 44, 24),
                    ToolButtonRect(layout, i).topLeft());
    }
    const QImage& plays = scene.pictures.app("Res\\UserOutBut.bmp");
    const int count = table.bteRoundState == kRoundFollow ? 3 : 1;
    for (int i = 0; i < 3 && !scene.playButtonsHidden(); ++i) {
        const int s = table.bteOutBut[static_cast<std::size_t>(i)];
        if (!shown(s)) continue;
        canvas.masked(plays, QRect((i + (s - 1) * 3) * 61, 0, 61, 28), {366, 0},
                      PlayButtonRect(layout, count, i).topLeft());
    }
    const QImage& decisions = scene.pictures.app("Res\\UserLiangBut.bmp");
    for (int i = 0; i < 2; ++i) {
        const int s = table.bteLiangBut[static_cast<std::size_t>(i)];
        if (!shown(s)) continue;
        const QPoint at = DecisionButtonRect(layout, i).topLeft();
        canvas.masked(decisions, QRect((s - 1) * 90, 0, 90, 20), {180, 0}, at);
        const QString caption = DecisionCaption(table.bteRoundState, i);
        canvas.text(at + QPoint(29 + 1, 4 + 1), caption, {kWhite});
        canvas.text(at + QPoint(29, 4), caption, {qRgb(0, 0, 50)});
    }
}

void PaintClock(TableCanvas& canvas, const SceneSources& scene) {
    const ClockFace& clock = scene.clock;
    if (scene.table.bteRoundState == kRoundBetween) return;
    if (clock.chair < 0 || clock.chair >= static_cast<int>(kChairCount)) return;
    const QPoint at =
        ClockOrigin(scene.layout, scene.position(static_cast<std::uint8_t>(clock.chair)));
    const int face = static_cast<int>(((clock.ticks % 8) + 8) % 8);
    canvas.masked(scene.pictures.app("Res\\Clock.bmp"),
                  QRect(face * kClockFaceWidth, 0, kClockFaceWidth, kClockFaceHeight), {248, 0},
                  at);
    const int seconds = clockSeconds(scene.table, clock.ticks);
    paintSeatSeconds(canvas, scene, scene.position(static_cast<std::uint8_t>(clock.chair)),
                     seconds);
    canvas.erase(EraseRect(kSecondsText.x(), kSecondsText.y(), 30, 30));
    canvas.text(kSecondsText, QString::number(seconds), {kYellow, 9, true, true});
}

void PaintWaitingNotice(TableCanvas& canvas, const SceneSources& scene) {
    if (!scene.table.blnShowWait) return;
    const QString text = WaitingNoticeText(scene.table.bteRoundState);
    const QRect box = WaitingNoticeBox(scene.layout, scene.fonts.width(text, {}));
    if (!canvas.touches(WaitingNoticeAreaOf(scene))) return;
    const int x0 = box.x();
    const int y0 = box.y();
    const QImage& middle = scene.pictures.app("Res\\MsgMid.bmp");
    const int tiles = 41 + (box.width() - 250) / kNoticeTileWidth;
    for (int k = 0; k < tiles; ++k) canvas.copy(middle, {x0 + 4 + kNoticeTileWidth * k, y0});
    const QImage& end = scene.pictures.app("Res\\MsgBian.bmp");
    canvas.masked(end, QRect(0, 0, 18, 51), {18, 0}, {x0, y0 - 5});
    // The right end is the left one mirrored, ending 16 pixels past the box.
    const int right = x0 + box.width() + 18 - 2;
    canvas.copyMirrored(end, QRect(18, 0, 18, 51), right, y0 - 5, -18, 51, BlitOp::And);
    canvas.copyMirrored(end, QRect(0, 0, 18, 51), right, y0 - 5, -18, 51, BlitOp::Or);
    canvas.text({x0 + kNoticeTextInset, y0 + 11}, text, {});
}

void PaintOverlays(TableCanvas& canvas, const SceneSources& scene) {
    const SceneOverlays& overlays = scene.overlays;
    if (overlays.result) paintResult(canvas, scene, *overlays.result);
    const int first = overlays.firstPlayerChair;
    if (first >= 0 && first < static_cast<int>(kChairCount)) {
        const int position = scene.position(static_cast<std::uint8_t>(first));
        if (position != kBottom) {
            const QImage& bubble =
                scene.pictures.app("Res\\Chat" + std::to_string(position) + ".bmp");
            canvas.masked(bubble, QRect(0, 0, 111, 96), {111, 0},
                          FirstPlayerBubbleOrigin(scene.layout, position));
        }
    }
    if (overlays.bomb)
        canvas.colourKeyed(overlays.bomb->image, overlays.bomb->key, overlays.bomb->origin);
}

QRect ToolButtonsArea(const SceneSources& scene) {
    return ToolButtonRect(scene.layout, 0).united(ToolButtonRect(scene.layout, 1));
}

QRect WaitingNoticeAreaOf(const SceneSources& scene) {
    const QString text = WaitingNoticeText(scene.table.bteRoundState);
    const int width = scene.fonts.width(text, {});
    return WaitingNoticeArea(scene.layout, width)
        .united(
            QRect(WaitingNoticeBox(scene.layout, width).topLeft() + QPoint(kNoticeTextInset, 11),
                  QSize(width + 2, 16)));
}

QRect DeclarationPanelArea() {
    return {10, 30, 78, 4 * 36};
}

QRect ScorePanelArea(const SceneSources& scene) {
    const QPoint panel = ScorePanelOrigin(scene.layout);
    // Long names and large totals may run past the picture's right edge.
    return {panel.x(), panel.y(), scene.layout.surfaceWidth() - panel.x(), 99 + 4};
}

QRect ResultArea(const SceneSources& scene, const std::array<std::int32_t, 4>& scores) {
    return ResultBox(scene.layout, scores[0] == 0).adjusted(0, 0, 120, 0);
}

QRect FirstPlayerBubbleArea(const SceneSources& scene, std::uint8_t chair) {
    const int position = scene.position(chair);
    if (position == kBottom) return {};
    return {FirstPlayerBubbleOrigin(scene.layout, position), QSize(111, 96)};
}

QRect ClockArea(const SceneSources& scene, std::uint8_t chair) {
    const int position = scene.position(chair);
    return ClockRect(scene.layout, position).united(seatSecondsBox(scene, position));
}

QRect SecondsArea() {
    return {kSecondsText.x(), kSecondsText.y(), 48, 31};
}

}  // namespace krvo
