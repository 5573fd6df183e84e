// Cards on the table: the hands, the counts of cards left and the plays in
// the centre.

#include <QVarLengthArray>
#include <algorithm>
#include <array>
#include <string>

#include "core/cards.h"
#include "render/scene_paint.h"
#include "state/public_state.h"
#include "state/table_state.h"

namespace krvo {
namespace {

const QRect kCardRect(0, 0, lngPkWidth, lngPkHeight);
const QString kRemainingLabel = QStringLiteral("余牌:");
constexpr TextStyle kRemainingLabelStyle{qRgb(0, 180, 200), 11, false};
constexpr TextStyle kRemainingNumberStyle{qRgb(250, 0, 200), 13, true};
constexpr QPoint kRemainingNumberOffset(40, -3);
// The keyboard's mark: a short bar in the gold of the table's frames over a
// line of the texts' shadow, in the gap between the lowered row and the seat.
constexpr int kHandMarkGap = 2;
constexpr int kHandMarkBar = 3;
constexpr int kHandMarkHeight = kHandMarkBar + 1;

// Up to a hand and a half of cards fanned out in one run.
using CardRun = QVarLengthArray<CardPlace, 40>;

const QImage& cardFace(PictureCache& pictures, std::uint8_t code) {
    // Named once: every repaint of a hand looks its cards up one by one.
    static const auto names = [] {
        std::array<std::string, 256> all;
        for (int code = 0; code < 256; ++code) {
            all[static_cast<std::size_t>(code)] =
                "Res\\ResPk\\Pk" + std::to_string(CardFaceNumber(static_cast<std::uint8_t>(code))) +
                ".bmp";
        }
        return all;
    }();
    return pictures.app(names[code]);
}

const QImage& cardMask(PictureCache& pictures) {
    return pictures.app("Res\\ResPk\\PkMask.bmp");
}
const QImage& cardBack(PictureCache& pictures) {
    return pictures.app("Res\\PkBack.bmp");
}

bool isPass(const CardList& play) {
    return play.size() == 1 && play[0] == kPassMarker;
}

// Cards in order, each over the one before.
void paintCards(TableCanvas& canvas, PictureCache& pictures, const CardRun& run) {
    const QImage& mask = cardMask(pictures);
    canvas.cards(run, mask, kCardRect, pictures.solidRuns(mask, kCardRect));
}

// Cards left to right from `at`, 18 pixels apart; a card without a face file
// leaves its place empty.
void paintCardRow(TableCanvas& canvas, PictureCache& pictures, const CardList& cards, QPoint at) {
    const QRect row(at, QSize(RowWidth(static_cast<int>(cards.size())), lngPkHeight));
    if (!canvas.touches(row)) return;
    CardRun run;
    for (const std::uint8_t code : cards) {
        run.append({&cardFace(pictures, code), at});
        at.rx() += lngPkSpace;
    }
    paintCards(canvas, pictures, run);
}

void paintSeatPlay(TableCanvas& canvas, const SceneSources& scene, const CardList& play,
                   int position) {
    if (play.empty()) return;
    if (isPass(play)) {
        const QImage& mark = scene.pictures.app("Res\\BuChu.bmp");
        canvas.masked(mark, QRect(0, 0, kPassMarkWidth, kPassMarkHeight), QPoint(kPassMarkWidth, 0),
                      PassMarkOrigin(scene.layout, position));
        return;
    }
    paintCardRow(canvas, scene.pictures, play,
                 PlayOrigin(scene.layout, position, static_cast<int>(play.size())));
}

void paintOwnHand(TableCanvas& canvas, const SceneSources& scene) {
    const TableState& table = scene.table;
    canvas.erase(OwnHandEraseRect(scene.layout, table.bteDeckCount));
    PictureCache& pictures = scene.pictures;
    const QImage& mask = cardMask(pictures);
    if (mask.isNull()) return;
    const int n = static_cast<int>(table.bteMyPai.size());
    const QPoint anchor = scene.layout.ptHandCards[kBottom];
    int x = RowLeft(anchor, n);
    CardRun run;
    for (int i = 0; i < n; ++i, x += lngPkSpace) {
        const std::size_t at = static_cast<std::size_t>(i);
        const bool raised = at < table.bteSelected.size() && table.bteSelected[at] != 0;
        const QImage& face =
            table.blnCanSeeMyPai != 0 ? cardFace(pictures, table.bteMyPai[at]) : cardBack(pictures);
        run.append({&face, QPoint(x, raised ? anchor.y() - kRaise : anchor.y())});
    }
    paintCards(canvas, pictures, run);
}

void paintOtherHand(TableCanvas& canvas, const SceneSources& scene, const SeatInfo& seat,
                    int position) {
    PictureCache& pictures = scene.pictures;
    const QImage& back = cardBack(pictures);
    const QImage& mask = cardMask(pictures);
    if (back.isNull() || mask.isNull()) return;
    const QPoint anchor = scene.layout.ptHandCards[static_cast<std::size_t>(position)];
    const bool row = position == kTop;
    if (!seat.bteLeftPai.empty()) {
        const int n = static_cast<int>(seat.bteLeftPai.size());
        if (row)
            return paintCardRow(canvas, pictures, seat.bteLeftPai,
                                {RowLeft(anchor, n), anchor.y()});
        // Revealed side hands spread a little wider than backs, centred as backs are.
        QPoint at(anchor.x(), anchor.y() - ColumnHeight(n) / 2);
        CardRun run;
        for (const std::uint8_t code : seat.bteLeftPai) {
            run.append({&cardFace(pictures, code), at});
            at.ry() += kRevealedSideStep;
        }
        return paintCards(canvas, pictures, run);
    }
    if (scene.table.blnShowOtherPai == 0) return;
    canvas.erase(OtherHandEraseRect(scene.layout, position, scene.table.bteDeckCount));
    const int k = seat.btePaiCount;
    QPoint at = row ? QPoint(RowLeft(anchor, k), anchor.y())
                    : QPoint(anchor.x(), anchor.y() - ColumnHeight(k) / 2);
    const QPoint step = row ? QPoint(lngPkSpace, 0) : QPoint(0, lngPkVSpace);
    CardRun run;
    for (int i = 0; i < k; ++i, at += step) run.append({&back, at});
    paintCards(canvas, pictures, run);
}

void paintRemainingCount(TableCanvas& canvas, const SceneSources& scene, const SeatInfo& seat,
                         int position) {
    const QPoint place = RemainingCountPlace(scene.layout, position);
    canvas.erase(EraseRect(place.x(), place.y(), 63, 13));
    // A dark shadow under both: their colours alone hardly stand out from the blue.
    ShadowedText(canvas, place, kRemainingLabel, kRemainingLabelStyle);
    ShadowedText(canvas, place + kRemainingNumberOffset, QString::number(seat.btePaiCount),
                 kRemainingNumberStyle);
}

// Under the card's strip that shows (the whole card at the row's end), so that
// no card loses a pixel: the rank and suit corners stay as they are.
void paintHandMark(TableCanvas& canvas, const SceneSources& scene) {
    const QRect mark = HandMarkRect(scene);
    if (mark.isEmpty() || !canvas.touches(mark)) return;
    canvas.fill(QRect(mark.topLeft(), QSize(mark.width(), kHandMarkBar)), kPropFrameColour);
    canvas.fill(QRect(mark.left(), mark.top() + kHandMarkBar, mark.width(), 1), kTextShadow);
}

}  // namespace

void PaintCentre(TableCanvas& canvas, const SceneSources& scene) {
    // The erase and the middle picture would lay again exactly the pixels the
    // background has just laid, unless one of them reaches its edge pieces.
    const QRect centre = CentreRect(scene.layout);
    const QImage& middle = scene.pictures.app("Res\\GameBackMid.bmp");
    const QRect picture(scene.layout.centrePicture(), middle.size());
    if (ReachesBackgroundPieces(scene, centre) || ReachesBackgroundPieces(scene, picture)) {
        canvas.erase(centre);
        if (!middle.isNull()) canvas.copy(middle, picture.topLeft());
    }
    for (std::uint8_t chair = 0; chair < kChairCount; ++chair) {
        const SeatInfo& seat = scene.table.arrSeat[chair];
        paintSeatPlay(canvas, scene,
                      scene.showsPreviousPlay(chair) ? seat.bteLastOutPai : seat.bteOutPai,
                      scene.position(chair));
    }
}

void PaintSeatHand(TableCanvas& canvas, const SceneSources& scene, std::uint8_t chair) {
    const int position = scene.position(chair);
    if (position == kBottom) {
        paintOwnHand(canvas, scene);
        return paintHandMark(canvas, scene);
    }
    paintOtherHand(canvas, scene, scene.table.arrSeat[chair], position);
}

void PaintRemainingCount(TableCanvas& canvas, const SceneSources& scene, std::uint8_t chair) {
    paintRemainingCount(canvas, scene, scene.table.arrSeat[chair], scene.position(chair));
}

QRect OwnHandArea(const SceneSources& scene) {
    const TableState& table = scene.table;
    const QPoint anchor = scene.layout.ptHandCards[kBottom];
    const int n = static_cast<int>(table.bteMyPai.size());
    // A hand longer than the widest one expected still repaints whole.
    const QRect hand(RowLeft(anchor, n), anchor.y() - kRaise, RowWidth(n), lngPkHeight + kRaise);
    const QRect area =
        OwnHandEraseRect(scene.layout, table.bteDeckCount).united(n > 0 ? hand : QRect());
    if (scene.overlays.handMark < 1) return area;
    // The mark moves with the hand's length: its whole band goes with the hand.
    const int top = anchor.y() + lngPkHeight + kHandMarkGap;
    return area.united(QRect(area.left(), top, area.width(), kHandMarkHeight));
}

QRect HandMarkRect(const SceneSources& scene) {
    const int n = static_cast<int>(scene.table.bteMyPai.size());
    if (scene.overlays.handMark < 1 || n < 1 || scene.pub.blnIsOnlooker) return {};
    const int k = std::min(scene.overlays.handMark, n);
    const int shows = k == n ? lngPkWidth : lngPkSpace;
    const QPoint anchor = scene.layout.ptHandCards[kBottom];
    return {OwnCardLeft(scene.layout, n, k) + 1, anchor.y() + lngPkHeight + kHandMarkGap, shows - 2,
            kHandMarkHeight};
}

QRect ToggledCardArea(const SceneSources& scene, int index) {
    const int n = static_cast<int>(scene.table.bteMyPai.size());
    if (index < 1 || index > n) return {};
    const QPoint anchor = scene.layout.ptHandCards[kBottom];
    // The card's own columns; its rounded corners end 3 pixels into the next card.
    return {OwnCardLeft(scene.layout, n, index), anchor.y() - kRaise, lngPkWidth + 3,
            lngPkHeight + kRaise};
}

QRect SeatHandArea(const SceneSources& scene, std::uint8_t chair) {
    const int position = scene.position(chair);
    if (position == kBottom) return OwnHandArea(scene);
    const SeatInfo& seat = scene.table.arrSeat[chair];
    const QPoint anchor = scene.layout.ptHandCards[static_cast<std::size_t>(position)];
    QRect area = OtherHandEraseRect(scene.layout, position, scene.table.bteDeckCount);
    const int shown = std::max<int>(seat.btePaiCount, static_cast<int>(seat.bteLeftPai.size()));
    if (position == kTop) {
        return area.united(QRect(RowLeft(anchor, shown), anchor.y(), RowWidth(shown), lngPkHeight));
    }
    const int n = std::max(shown, 1);
    const int top = anchor.y() - ColumnHeight(n) / 2;
    return area.united(
        QRect(anchor.x(), top, lngPkWidth, (n - 1) * kRevealedSideStep + lngPkHeight));
}

QRect RemainingCountArea(const SceneSources& scene, std::uint8_t chair) {
    const QPoint place = RemainingCountPlace(scene.layout, scene.position(chair));
    const QString count = QString::number(scene.table.arrSeat[chair].btePaiCount);
    // Each text as high as its face draws it, and its shadow a pixel further.
    const QRect label(place, QSize(scene.fonts.width(kRemainingLabel, kRemainingLabelStyle) + 2,
                                   scene.fonts.height(kRemainingLabelStyle) + 1));
    const QRect number(place + kRemainingNumberOffset,
                       QSize(scene.fonts.width(count, kRemainingNumberStyle) + 3,
                             std::max(20, scene.fonts.height(kRemainingNumberStyle) + 1)));
    return EraseRect(place.x(), place.y(), 63, 13).united(label).united(number);
}

QRect SeatPlayArea(const SceneSources& scene, std::uint8_t chair) {
    const SeatInfo& seat = scene.table.arrSeat[chair];
    return PlayRect(scene.layout, scene.position(chair), seat.bteOutPai);
}

QRect CentreArea(const SceneSources& scene) {
    QRect area = CentreRect(scene.layout).united(scene.layout.centrePictureRect());
    for (std::uint8_t chair = 0; chair < kChairCount; ++chair) {
        const SeatInfo& seat = scene.table.arrSeat[chair];
        const int position = scene.position(chair);
        area = area.united(PlayRect(scene.layout, position, seat.bteOutPai))
                   .united(PlayRect(scene.layout, position, seat.bteLastOutPai));
    }
    return area;
}

}  // namespace krvo
