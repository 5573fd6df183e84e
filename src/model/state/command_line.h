#pragma once
// The lobby's command line: nine blank-separated fields, no quoting.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace krvo {

inline constexpr std::string_view kLaunchToken = "q@!%tb)*&m[]:zp;{/hd{|kx73WQLMR8!$@~41";
inline constexpr std::string_view kStartErrorTitle = "游戏提示";
inline constexpr std::string_view kStartError1 = "1号错误，无法正常启动游戏！";
inline constexpr std::string_view kStartError2 = "2号错误，无法正常启动游戏！";

// Element 0 stays empty; elements 1..n are the fields. Blanks and TABs separate,
// runs count as one, and scanning stops once lngMaxArgs fields are collected.
std::vector<std::string> GetCommandLineArgs(std::string_view text, std::size_t lngMaxArgs = 10);

// The argument text the lobby gave: the arguments after the program joined by
// single blanks (a shell's quoting therefore protects no blank).
std::string JoinArguments(int argc, const char* const* argv);

struct LaunchParams {
    // Initialised, so that tests may name only the fields they need.
    std::string strRoomServerAddress{};
    std::string strRoomServerPort{};
    std::string strGameTitle{};
    std::string strLevelTitles{};
    std::string strField6{};  // passed by the lobby, read by nothing
    std::string strField7{};
    std::string strMyUserName{};
    std::uint8_t bteUseScore = 0;  // 0: experience, otherwise score
    // Not a field: krvo-launcher hands a friends' table password over in the
    // environment (kTablePasswordVariable), which the lobby never sets, so the
    // lobby's login stays as it was. The environment, unlike the arguments, is
    // not shown to other users in the process list and is not split at blanks.
    std::string strTablePassword{};
};

inline constexpr const char* kTablePasswordVariable = "KRVO_TABLE_PASSWORD";

enum class LaunchError { None, FieldCount, Token };

struct LaunchResult {
    LaunchError error = LaunchError::None;
    LaunchParams params;
};

// Field 9 is a byte: numbers outside 0..255 are clamped, so a negative mode is
// experience and anything above 255 is score.
LaunchResult ParseLaunch(std::string_view argumentText);

std::string_view LaunchErrorText(LaunchError error);

}  // namespace krvo
