#pragma once
// Reading a small file of the program's own (preferences, notes, settings)
// that anybody may have replaced: with a FIFO or a device, which would block
// the one thread before the window is up, or with something huge, which would
// freeze it while reading. Only regular files are read, each up to a bound
// fit for what it holds.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace krvo {

// The whole content of a regular file of at most maxBytes bytes. Nothing for a
// missing or unreadable file, for anything but a regular file (checked before
// the file is opened and again on the open descriptor, which is opened
// non-blocking, so a FIFO swapped in between cannot block), and for a larger
// file: a file bigger than any the program writes or ships is not one of
// ours, and a part of it (a cut line, a cut note) would be read as if whole.
// The size the file reports must be what was read: kernel files that report
// none while holding text are not the program's files either.
std::optional<std::string> ReadLocalFile(const std::filesystem::path& path, std::size_t maxBytes);

}  // namespace krvo
