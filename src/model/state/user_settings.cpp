#include "state/user_settings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <system_error>

#include "core/local_file.h"
#include "core/packet.h"

namespace krvo {
namespace {

// Five short lines are about 20 bytes; the bound leaves room for an editor's
// blanks, and a file past it is not ours and falls back to the defaults.
constexpr std::size_t kUserSettingsFileBytes = 4096;

// A flag line holds one unsigned decimal number that fits a byte; anything else
// means the file is damaged.
std::optional<std::uint8_t> ParseFlag(std::string_view line) {
    // A file written on another system may end its lines with CR LF.
    const std::string_view text = TrimBlanks(line, " \t\r");
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > 255) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

// Another copy of the program in the same directory may be saving at the same
// moment, so the temporary name must not be shared.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& path) {
    std::random_device random;
    std::filesystem::path temporary = path;
    temporary += ".tmp" + std::to_string(random()) + std::to_string(random());
    return temporary;
}

bool WriteFlags(const std::filesystem::path& path, const UserSettings& settings) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    UserSettings copy = settings;
    for (int i = 0; i < kUserSettingsCount; ++i) {
        out << static_cast<unsigned>(*UserSettingAt(copy, i)) << "\r\n";
    }
    out.close();
    return !out.fail();
}

}  // namespace

UserSettings DefaultUserSettings() {
    return UserSettings{};
}

std::uint8_t* UserSettingAt(UserSettings& settings, int index) {
    switch (index) {
        case 0:
            return &settings.bteAllowWatchCards;
        case 1:
            return &settings.bteSoundOn;
        case 2:
            return &settings.bteShowInOut;
        case 3:
            return &settings.bteForceQuitPrompt;
        case 4:
            return &settings.bteWrongPlayPrompt;
        default:
            return nullptr;
    }
}

std::filesystem::path UserSettingsPath(std::string_view strAppPath) {
    return std::filesystem::path(std::string(strAppPath) + std::string(kUserSettingsFileName));
}

UserSettings LoadUserSettings(const std::filesystem::path& path) {
    const std::optional<std::string> text = ReadLocalFile(path, kUserSettingsFileBytes);
    if (!text) return DefaultUserSettings();
    UserSettings settings;
    std::string_view rest = *text;
    for (int i = 0; i < kUserSettingsCount; ++i) {
        // A line without its line end still counts, as the last line of a
        // file often has none; a file that ends before the fifth does not.
        if (rest.empty()) return DefaultUserSettings();
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        const std::optional<std::uint8_t> flag = ParseFlag(rest.substr(0, end));
        if (!flag) return DefaultUserSettings();
        *UserSettingAt(settings, i) = *flag;
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return settings;
}

bool SaveUserSettings(const std::filesystem::path& path, const UserSettings& settings) {
    const std::filesystem::path temporary = TemporaryPathFor(path);
    std::error_code error;
    if (!WriteFlags(temporary, settings)) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    std::filesystem::rename(temporary, path, error);
    if (!error) return true;
    std::filesystem::remove(temporary, error);
    return false;
}

}  // namespace krvo
