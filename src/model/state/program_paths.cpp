#include "state/program_paths.h"

#include <unistd.h>

#include <string>
#include <system_error>

#include "state/user_settings.h"

namespace krvo {
namespace {

bool HasResources(const std::filesystem::path& directory) {
    std::error_code error;
    return std::filesystem::is_directory(directory / "Res", error);
}

}  // namespace

std::filesystem::path ProgramDirectoryFor(const std::filesystem::path& exeDir) {
    if (HasResources(exeDir)) return exeDir;
    const std::filesystem::path installed =
        (exeDir / std::string(kInstalledProgramDir)).lexically_normal();
    if (HasResources(installed)) return installed;
    return exeDir;
}

bool IsInstalledProgramDirectory(const std::filesystem::path& directory) {
    std::filesystem::path path = directory.lexically_normal();
    if (!path.has_filename()) path = path.parent_path();  // a trailing "/"
    const std::filesystem::path tail[] = {"krvo", "krvo", "share"};
    for (const std::filesystem::path& name : tail) {
        if (path.filename() != name) return false;
        path = path.parent_path();
    }
    return true;
}

std::filesystem::path UserConfigDirectory(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome && xdgConfigHome[0] == '/') return std::filesystem::path(xdgConfigHome) / "krvo";
    if (home && home[0] == '/') return std::filesystem::path(home) / ".config" / "krvo";
    return {};
}

UserSettingsFiles UserSettingsFilesFor(std::string_view strAppPath,
                                       const std::filesystem::path& configDir) {
    const std::filesystem::path beside = UserSettingsPath(strAppPath);
    const std::string directory(strAppPath.empty() ? std::string_view(".") : strAppPath);
    const bool keepBeside = !IsInstalledProgramDirectory(directory) &&
                            ::access(directory.c_str(), W_OK) == 0;
    if (keepBeside || configDir.empty()) return {beside, beside};
    const std::filesystem::path own = configDir / std::string(kUserSettingsFileName);
    std::error_code error;
    // Created now, so that the first save has somewhere to go.
    std::filesystem::create_directories(configDir, error);
    return {std::filesystem::exists(own, error) ? own : beside, own};
}

}  // namespace krvo
