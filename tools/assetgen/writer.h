#pragma once
// Writes the manifest's files into the runtime layout.

#include <QString>

#include <string>
#include <vector>

#include "manifest.h"

namespace krvo::assets {

struct OutputDirs {
    QString app;       // the program directory: Res/...
    QString platform;  // the directory above it: UserRes/..., DaoJuMaket/...
    QString icons;     // the icon themes for the desktop: hicolor/...
};

QString OutputPath(const AssetEntry& entry, const OutputDirs& dirs);

// Draws or synthesises one file and writes it; false with a reason on failure
// (including a picture whose drawn size differs from the manifest's).
bool WriteAsset(const AssetEntry& entry, const OutputDirs& dirs, std::string& error);

// Writes every file; returns the failures (empty when all were written).
std::vector<std::string> WriteAll(const OutputDirs& dirs);

}  // namespace krvo::assets
