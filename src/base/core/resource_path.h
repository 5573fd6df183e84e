#pragma once
// Pictures, sounds and notes are files found by the program's relative names,
// which use "\" ("Res\ResPk\Pk0.bmp"). Here "\" becomes "/", and a path
// component that does not exist with its exact spelling is matched ignoring
// (ASCII) case, because the names were written for a case-blind file system.

#include <string>
#include <string_view>

namespace krvo {

// The existing regular file for base + relativeName, or "" when there is none.
// base is a directory ending in "/" (strAppPath or strPlatformPath); names
// never climb out of it.
std::string FindResourceFile(std::string_view base, std::string_view relativeName);

}  // namespace krvo
