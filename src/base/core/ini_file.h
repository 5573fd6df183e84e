#pragma once
// Reading a profile file ([section] and key=value lines) the way the system's
// profile API reads it: section and key names compared ignoring the case of
// ASCII letters, the first section and the first key of that name win, blanks
// around names and values are dropped and one pair of matching quotes around a
// value is removed. Values are returned as the file's bytes, in whatever code
// page it was written.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace krvo {

class IniFile {
public:
    explicit IniFile(std::string text) : text_(std::move(text)) {}

    // The file's content; a missing or unreadable file reads as an empty one.
    static IniFile Load(const std::filesystem::path& path);

    // The value's bytes, or nothing when the section or the key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

private:
    std::string text_;
};

}  // namespace krvo
