#pragma once
// Reading a profile file ([section] and key=value lines) the way the system's
// profile API reads it: section and key names compared ignoring the case of
// ASCII letters, the first section and the first key of that name win, blanks
// around names and values are dropped and one pair of matching quotes around a
// value is removed. Values are returned as the file's bytes, in whatever code
// page it was written.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace krvo {

class IniFile {
public:
    // The text is read once, here; lookups do not go through it again.
    explicit IniFile(std::string_view text);

    // The file's content. A missing or unreadable file, anything but a regular
    // file and a file over maxBytes read as an empty one.
    static IniFile load(const std::filesystem::path& path, std::size_t maxBytes);

    // The value's bytes, or nothing when the section or the key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

private:
    using Section = std::map<std::string, std::string, std::less<>>;
    // By names in lowercase: the first section of each name, holding the
    // first value of each of its keys.
    std::map<std::string, Section, std::less<>> sections_;
};

}  // namespace krvo
