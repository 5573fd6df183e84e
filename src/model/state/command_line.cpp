#include "state/command_line.h"

#include "core/packet.h"

namespace krvo {

std::vector<std::string> GetCommandLineArgs(std::string_view text, std::size_t lngMaxArgs) {
    std::vector<std::string> args(1);
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i >= text.size()) break;
        if (args.size() - 1 >= lngMaxArgs) break;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
        args.emplace_back(text.substr(start, i - start));
    }
    return args;
}

std::string JoinArguments(int argc, const char* const* argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text.push_back(' ');
        if (argv[i] != nullptr) text += argv[i];
    }
    return text;
}

LaunchResult ParseLaunch(std::string_view argumentText) {
    const std::vector<std::string> fields = GetCommandLineArgs(argumentText, 10);
    LaunchResult result;
    if (fields.size() != 10) {
        result.error = LaunchError::FieldCount;
        return result;
    }
    if (fields[1] != kLaunchToken) {
        result.error = LaunchError::Token;
        return result;
    }
    LaunchParams& p = result.params;
    p.strRoomServerAddress = fields[2];
    p.strRoomServerPort = fields[3];
    p.strGameTitle = fields[4];
    p.strLevelTitles = fields[5];
    p.strField6 = fields[6];
    p.strField7 = fields[7];
    p.strMyUserName = fields[8];
    p.bteUseScore = LeadingByte(fields[9]);
    return result;
}

std::string_view LaunchErrorText(LaunchError error) {
    switch (error) {
        case LaunchError::FieldCount:
            return kStartError1;
        case LaunchError::Token:
            return kStartError2;
        case LaunchError::None:
            break;
    }
    return {};
}

}  // namespace krvo
