#pragma once
// State every part of the table reads: directories, level titles, member
// levels and the seat/view bookkeeping. Owned by the application object.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/level_titles.h"
#include "state/command_line.h"

namespace krvo {

struct PublicState {
    std::string strAppPath;       // program directory, ends in "/"
    std::string strPlatformPath;  // its parent, ends in "/"
    LevelTitleTable levelTitles;
    std::array<std::string, 5> strMemberLevels;

    std::string strViewUserName;
    std::uint8_t bteMyChair = 0;
    bool blnIsOnlooker = false;
    std::array<std::uint8_t, 4> bteViewPos{};
    std::uint8_t bteGameState = 0;
    bool blnCanStart = false;
    bool blnEndRequested = false;
};

// The parent directory, ending in "/". A program in the file-system root uses
// the root itself as its platform directory, having no parent to go to.
std::string PlatformPathOf(std::string_view appPath);
// Appends "/" when missing.
std::string WithTrailingSlash(std::string_view directory);

void InitPublicDefine(PublicState& state, const LaunchParams& launch, std::string_view appDir);

// Turns the table so the chair of strViewUserName is at the bottom (place 2).
// seatNames[c] is the name in chair c ("" for a free chair). Nothing changes
// when no chair holds the viewed name.
void ComputeViewPositions(PublicState& state, const std::array<std::string, 4>& seatNames,
                          std::string_view myUserName);

}  // namespace krvo
