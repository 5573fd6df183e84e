#include "services/resources.h"

#include <QString>

namespace krvo {

QImage LoadPicture(std::string_view base, std::string_view relativeName) {
    const std::string file = FindResourceFile(base, relativeName);
    if (file.empty()) return {};
    return QImage(QString::fromStdString(file));
}

}  // namespace krvo
