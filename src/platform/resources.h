#pragma once
// Pictures and sounds are files found by the program's relative names, which
// use "\" ("Res\ResPk\Pk0.bmp"). Here "\" becomes "/", and a path component
// that does not exist with its exact spelling is matched ignoring case.

#include <QImage>
#include <QString>
#include <string_view>

namespace krvo {

// The existing file for base + relativeName, or an empty string when there is
// none. base is a directory ending in "/" (strAppPath or strPlatformPath).
QString FindResourceFile(std::string_view base, std::string_view relativeName);

// The picture, or a null image when the file is missing or unreadable.
QImage LoadPicture(std::string_view base, std::string_view relativeName);

}  // namespace krvo
