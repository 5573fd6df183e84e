// Around each seat: the player's icon and name, the offline and ready marks,
// the declarations made this round and the finishing place.

#include <string>
#include <vector>

#include "render/scene_paint.h"
#include "state/public_state.h"
#include "state/table_state.h"

namespace krvo {
namespace {

constexpr int kSideNameUnits = 8;
constexpr int kSideNameLineStep = 12;
constexpr QSize kRedAceMark(32, 32);
constexpr QSize kDeclarationMark(37, 36);
constexpr QSize kPlaceCell(48, 46);

QString iconName(std::int32_t iconNo) {
    // The platform numbers its icon files from 1.
    return QStringLiteral("UserRes\\LargeUser\\%1.ico").arg(iconNo % 1000 + 1);
}

std::vector<QString> nameLines(const std::string& name, int position) {
    const QString text = QString::fromStdString(name);
    if (position == kTop || position == kBottom) return {text};
    std::vector<QString> lines;
    for (const std::u16string& line : WrapByWidthUnits(text.toStdU16String(), kSideNameUnits)) {
        lines.push_back(QString::fromStdU16String(line));
    }
    return lines;
}

struct Mark {
    enum Kind { RedAce1, RedAce2, Declared } kind;
    int cell = 0;  // for Declared: 0 亮, 1 揪, 2 撅, 3 直
    QRect rect;
};

// The marks of one seat in drawing order: at the top and bottom they run
// leftwards from the anchor, at the sides downwards.
std::vector<Mark> declarationMarks(const SceneSources& scene, std::uint8_t chair) {
    const TableState& table = scene.table;
    const SeatInfo& seat = table.arrSeat[chair];
    std::vector<Mark> marks;
    if (seat.strUserName.empty() || table.blnNoGame) return marks;
    const int position = scene.position(chair);
    const QPoint l = scene.layout.ptLiang[static_cast<std::size_t>(position)];
    QPoint point = position == kBottom  ? QPoint(l.x(), l.y() - 4)
                   : position == kRight ? QPoint(l.x() + 3, l.y())
                                        : l;
    const bool across = position == kTop || position == kBottom;
    const auto add = [&](Mark::Kind kind, int cell, QSize size) {
        if (across) {
            point.rx() -= size.width();
            marks.push_back({kind, cell, QRect(point, size)});
        } else {
            marks.push_back({kind, cell, QRect(point, size)});
            point.ry() += size.height();
        }
    };
    const bool knownRedAces = seat.bteLiang >= 1 && seat.bteLiang <= 3;
    if (seat.bteLiang == 1 || seat.bteLiang == 3) add(Mark::RedAce1, 0, kRedAceMark);
    if (seat.bteLiang == 2 || seat.bteLiang == 3) add(Mark::RedAce2, 0, kRedAceMark);
    if (table.bteRoundLiang != 0 && knownRedAces) add(Mark::Declared, 0, kDeclarationMark);
    if (table.bteRoundJiu != 0 && seat.bteJiu == 1) add(Mark::Declared, 1, kDeclarationMark);
    if (table.bteRoundJue != 0 && seat.bteJue == 1) add(Mark::Declared, 2, kDeclarationMark);
    if (table.bteRoundZhi != 0 && seat.bteZhi == 1) add(Mark::Declared, 3, kDeclarationMark);
    return marks;
}

void paintDeclarationMarks(TableCanvas& canvas, const SceneSources& scene, std::uint8_t chair) {
    canvas.erase(DeclarationMarksRect(scene.layout, scene.position(chair)));
    PictureCache& pictures = scene.pictures;
    for (const Mark& mark : declarationMarks(scene, chair)) {
        switch (mark.kind) {
            case Mark::RedAce1:
                canvas.copy(pictures.app("Res\\Liang1.bmp"), mark.rect.topLeft());
                break;
            case Mark::RedAce2:
                canvas.copy(pictures.app("Res\\Liang2.bmp"), mark.rect.topLeft());
                break;
            case Mark::Declared:
                canvas.blit(
                    pictures.app("Res\\UserLiang.bmp"),
                    QRect(QPoint(0, mark.cell * kDeclarationMark.height()), kDeclarationMark),
                    mark.rect.topLeft());
                break;
        }
    }
}

void paintPlaceMark(TableCanvas& canvas, const SceneSources& scene, std::uint8_t chair) {
    const int place = scene.table.arrSeat[chair].bteMingCi;
    if (place < 1 || place > 3) return;
    canvas.blit(scene.pictures.app("Res\\MingCi.bmp"),
                QRect(QPoint((place - 1) * kPlaceCell.width(), 0), kPlaceCell),
                PlaceMarkOrigin(scene.layout, scene.position(chair)));
}

}  // namespace

void PaintSeat(TableCanvas& canvas, const SceneSources& scene, std::uint8_t chair) {
    const SeatInfo& seat = scene.table.arrSeat[chair];
    const int position = scene.position(chair);
    const std::size_t p = static_cast<std::size_t>(position);
    const TableLayout& layout = scene.layout;
    if (!seat.strUserName.empty()) {
        canvas.copy(scene.pictures.platform(iconName(seat.lngIconNo).toStdString()),
                    layout.ptUserFace[p]);
        QPoint at = layout.ptUserName[p];
        for (const QString& line : nameLines(seat.strUserName, position)) {
            canvas.text(at, line, {qRgb(255, 255, 255)});
            at.ry() += kSideNameLineStep;
        }
    }
    if (seat.blnOffline) canvas.copy(scene.pictures.app("Res\\NetBreak.bmp"), layout.ptNetBreak[p]);
    if (seat.blnReady) {
        canvas.masked(scene.pictures.app("Res\\Hand.bmp"), QRect(0, 0, 80, 35), QPoint(80, 0),
                      layout.ptHandUp[p]);
    }
}

void PaintSeatRound(TableCanvas& canvas, const SceneSources& scene, std::uint8_t chair) {
    paintDeclarationMarks(canvas, scene, chair);
    PaintSeatHand(canvas, scene, chair);
    paintPlaceMark(canvas, scene, chair);
    PaintRemainingCount(canvas, scene, chair);
}

QRect SeatArea(const SceneSources& scene, std::uint8_t chair) {
    const int position = scene.position(chair);
    const QPoint name = scene.layout.ptUserName[static_cast<std::size_t>(position)];
    // Room for a long name too, so that the name of a player who left never
    // stays half drawn; the seat's own name is added whatever its length.
    QRect area = SeatNameArea(scene.layout, position);
    if (position == kTop || position == kBottom) {
        area = area.united(QRect(name, QSize(256, 16)));
    } else {
        area = area.united(QRect(name, QSize(64, 8 * kSideNameLineStep + 4)));
    }
    QPoint at = name;
    for (const QString& line : nameLines(scene.table.arrSeat[chair].strUserName, position)) {
        area = area.united(QRect(at, QSize(scene.fonts.width(line, {}) + 2, 16)));
        at.ry() += kSideNameLineStep;
    }
    return area;
}

QRect DeclarationMarksArea(const SceneSources& scene, std::uint8_t chair) {
    const int position = scene.position(chair);
    QRect area = DeclarationMarksRect(scene.layout, position);
    // Room for all six marks, so that marks that went away leave nothing behind.
    constexpr int most = 2 * kRedAceMark.width() + 4 * kDeclarationMark.width();
    const QPoint l = scene.layout.ptLiang[static_cast<std::size_t>(position)];
    if (position == kTop || position == kBottom) {
        area = area.united(QRect(l.x() - most, l.y() - 4, most, kDeclarationMark.height() + 4));
    } else {
        area = area.united(QRect(l.x(), l.y(), kDeclarationMark.width() + 3, most));
    }
    for (const Mark& mark : declarationMarks(scene, chair)) area = area.united(mark.rect);
    return area;
}

QRect PlaceMarkArea(const SceneSources& scene, std::uint8_t chair) {
    return {PlaceMarkOrigin(scene.layout, scene.position(chair)), kPlaceCell};
}

}  // namespace krvo
