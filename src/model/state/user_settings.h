#pragma once
// The local user's five on/off preferences and the small text file that keeps
// them beside the program: five lines, one decimal flag per line.

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace krvo {

inline constexpr std::string_view kUserSettingsFileName = "UserSet.ini";

// 1 = on, 0 = off; the order is the file's line order and the dialog's box order.
struct UserSettings {
    std::uint8_t bteAllowWatchCards = 0;
    std::uint8_t bteSoundOn = 1;
    std::uint8_t bteShowInOut = 1;
    std::uint8_t bteForceQuitPrompt = 1;
    std::uint8_t bteWrongPlayPrompt = 1;

    bool operator==(const UserSettings&) const = default;
};

inline constexpr int kUserSettingsCount = 5;

UserSettings DefaultUserSettings();

// Flag by its index 0..4 (the file and dialog order); nullptr outside that range.
std::uint8_t* UserSettingAt(UserSettings& settings, int index);

// strAppPath + "UserSet.ini".
std::filesystem::path UserSettingsPath(std::string_view strAppPath);

// A missing file, a missing line or a line that is not a number gives the
// defaults for all five flags, never a mix of read and default values.
UserSettings LoadUserSettings(const std::filesystem::path& path);

// Writes a temporary file beside the target and renames it over the old one,
// so a crash mid-write leaves either the old file or the new one. False on any
// failure; the old file is then untouched.
bool SaveUserSettings(const std::filesystem::path& path, const UserSettings& settings);

}  // namespace krvo
