#pragma once
// Pictures loaded by the program's relative names (see core/resource_path.h).

#include <QImage>
#include <string_view>

#include "core/resource_path.h"

namespace krvo {

// The picture, or a null image when the file is missing or unreadable.
QImage LoadPicture(std::string_view base, std::string_view relativeName);

}  // namespace krvo
