#pragma once
// Where the build wrote the assets, and small readers shared by the tests.

#include <QByteArray>
#include <QImage>
#include <QString>

#include "manifest.h"
#include "writer.h"

namespace krvo::assets::testing {

inline OutputDirs BuildOutput() {
    return {KRVO_TEST_APP_DIR, KRVO_TEST_PLATFORM_DIR, KRVO_TEST_ICON_DIR};
}

inline QString PathOf(const AssetEntry& entry) {
    return OutputPath(entry, BuildOutput());
}

QImage LoadPicture(const std::string& name);  // by manifest name; null when missing
QByteArray LoadBytes(const std::string& name);

}  // namespace krvo::assets::testing
