#include "services/resources.h"

#include <QString>

namespace krvo {

QImage LoadPicture(std::string_view base, std::string_view relativeName) {
    const std::string file = FindResourceFile(base, relativeName);
    if (file.empty()) return {};
    return QImage(QString::fromStdString(file));
}

std::string TwinName(std::string_view relativeName) {
    const std::size_t component = relativeName.find_last_of("\\/");
    const std::size_t dot = relativeName.rfind('.');
    const bool extension =
        dot != std::string_view::npos && (component == std::string_view::npos || dot > component);
    const std::size_t at = extension ? dot : relativeName.size();
    return std::string(relativeName.substr(0, at)) + "@2x" + std::string(relativeName.substr(at));
}

PicturePair LoadPicturePair(std::string_view base, std::string_view relativeName) {
    PicturePair pair{LoadPicture(base, relativeName), LoadPicture(base, TwinName(relativeName))};
    // A twin of another layout would misplace every cell cut from it.
    if (pair.plain.isNull() || pair.twice.size() != pair.plain.size() * 2) {
        pair.twice = QImage();
    } else {
        pair.twice.setDevicePixelRatio(2.0);
    }
    return pair;
}

}  // namespace krvo
