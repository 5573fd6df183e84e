#include "state/user_settings.h"

#include <array>
#include <charconv>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <system_error>

namespace krvo {
namespace {

std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// A flag line holds one unsigned decimal number that fits a byte; anything else
// means the file is damaged.
std::optional<std::uint8_t> ParseFlag(std::string_view line) {
    const std::string_view text = TrimBlanks(line);
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
    std::ifstream in(path, std::ios::binary);
    if (!in) return DefaultUserSettings();
    UserSettings settings;
    std::string line;
    for (int i = 0; i < kUserSettingsCount; ++i) {
        if (!std::getline(in, line)) return DefaultUserSettings();
        const std::optional<std::uint8_t> flag = ParseFlag(line);
        if (!flag) return DefaultUserSettings();
        *UserSettingAt(settings, i) = *flag;
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
