#include "render/prop_show.h"

#include <algorithm>

#include "render/scene_paint.h"
#include "state/table_state.h"

namespace krvo {
namespace {

constexpr int kFaceSize = 32;
// Clear of the table's edge pieces, so that the frame shows whole.
constexpr int kEdgeMargin = 12;

}  // namespace

std::string PropPictureName(std::int32_t propId) {
    return "Res\\DaoJu\\DaoJuInfo_" + std::to_string(propId) + ".bmp";
}

QRect PropShowArea(const SceneSources& scene, std::uint8_t chair) {
    if (chair >= kChairCount) return {};
    const int side = kPropPictureSize + 2 * kPropFrameWidth;
    const QPoint face = scene.layout.ptUserFace[static_cast<std::size_t>(scene.position(chair))] +
                        QPoint(kFaceSize / 2, kFaceSize / 2);
    QRect area(face - QPoint(side / 2, side / 2), QSize(side, side));
    // A seat by the table's edge still shows the whole picture.
    const QSize table = scene.layout.surface;
    const int right = std::max(kEdgeMargin, table.width() - side - kEdgeMargin);
    const int bottom = std::max(kEdgeMargin, table.height() - side - kEdgeMargin);
    area.moveLeft(std::clamp(area.left(), kEdgeMargin, right));
    area.moveTop(std::clamp(area.top(), kEdgeMargin, bottom));
    return area;
}

void PaintPropShows(TableCanvas& canvas, const SceneSources& scene) {
    for (std::uint8_t chair = 0; chair < kChairCount; ++chair) {
        const std::optional<PropShow>& show = scene.overlays.props[chair];
        if (!show) continue;
        const QRect area = PropShowArea(scene, chair);
        if (!canvas.touches(area)) continue;
        const QImage& picture = scene.pictures.app(PropPictureName(show->propId));
        if (picture.isNull()) continue;
        canvas.fill(area, kPropFrameColour);
        const QRect inside =
            area.adjusted(kPropFrameWidth, kPropFrameWidth, -kPropFrameWidth, -kPropFrameWidth);
        canvas.blit(picture, QRect(QPoint(), inside.size()), inside.topLeft());
    }
}

}  // namespace krvo
