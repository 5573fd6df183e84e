#pragma once
// One picture that shows every generated picture, as read back from disk, with
// its name: for looking at the whole set at once.

#include <QImage>

#include "writer.h"

namespace krvo::assets {

QImage RenderContactSheet(const OutputDirs& dirs, int width = 1320);

}  // namespace krvo::assets
