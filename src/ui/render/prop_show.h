#pragma once
// A prop used at the table, shown for a moment: its catalogue picture, framed,
// over the face of the player it was used on. The table goes on underneath;
// the renderer takes the picture away again when its time is up.

#include <QColor>
#include <QRect>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace krvo {

class TableCanvas;
struct SceneSources;

inline constexpr std::int64_t kPropShowMs = 2500;
inline constexpr int kPropPictureSize = 112;
inline constexpr int kPropFrameWidth = 2;
inline constexpr QRgb kPropFrameColour = qRgb(255, 214, 64);

struct PropShow {
    std::int32_t propId = 0;
    std::int64_t untilMs = 0;  // on the program's clock
};

// One per chair: props used on different players show side by side.
using PropShows = std::array<std::optional<PropShow>, 4>;

// The picture file of a prop, below the program directory.
std::string PropPictureName(std::int32_t propId);
// The framed picture over the seat of a chair, kept inside the table.
QRect PropShowArea(const SceneSources& scene, std::uint8_t chair);
void PaintPropShows(TableCanvas& canvas, const SceneSources& scene);

}  // namespace krvo
