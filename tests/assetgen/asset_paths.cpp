#include "asset_paths.h"

#include <QFile>

namespace krvo::assets::testing {

QImage LoadPicture(const std::string& name) {
    const AssetEntry* entry = FindAsset(name);
    if (!entry) return {};
    return QImage(PathOf(*entry)).convertToFormat(QImage::Format_RGB32);
}

QByteArray LoadBytes(const std::string& name) {
    const AssetEntry* entry = FindAsset(name);
    if (!entry) return {};
    QFile file(PathOf(*entry));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

}  // namespace krvo::assets::testing
