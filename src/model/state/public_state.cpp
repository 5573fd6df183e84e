#include "state/public_state.h"

namespace krvo {

std::string WithTrailingSlash(std::string_view directory) {
    std::string path(directory);
    if (path.empty() || path.back() != '/') path.push_back('/');
    return path;
}

std::string PlatformPathOf(std::string_view appPath) {
    std::string path = WithTrailingSlash(appPath);
    path.pop_back();
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "/";
    return path.substr(0, slash + 1);
}

void InitPublicDefine(PublicState& state, const LaunchParams& launch, std::string_view appDir) {
    state.strAppPath = WithTrailingSlash(appDir);
    state.strPlatformPath = PlatformPathOf(state.strAppPath);
    state.bteViewPos = {0, 0, 0, 0};
    state.blnCanStart = false;
    state.levelTitles = ParseLevelTitles(launch.strLevelTitles);
    state.strMemberLevels = {"普通用户", "普通会员", "一星会员", "二星会员", "三星会员"};
    state.blnEndRequested = false;
    state.bteGameState = 0;
}

void ComputeViewPositions(PublicState& state, const std::array<std::string, 4>& seatNames,
                          std::string_view myUserName) {
    for (std::uint8_t chair = 0; chair < 4; ++chair) {
        if (seatNames[chair] != state.strViewUserName) continue;
        state.bteMyChair = chair;
        state.bteViewPos[chair] = 2;
        state.bteViewPos[(chair + 1) % 4] = 3;
        state.bteViewPos[(chair + 2) % 4] = 0;
        state.bteViewPos[(chair + 3) % 4] = 1;
        state.blnIsOnlooker = state.strViewUserName != myUserName;
        return;
    }
}

}  // namespace krvo
