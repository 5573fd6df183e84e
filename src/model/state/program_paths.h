#pragma once
// Where the client finds its data and keeps the preferences it writes.
//
// In a build tree and in a lobby's platform the program directory is the
// client's own directory (Res/ beside the program, the shared pictures one
// level up). An installed client lies in <prefix>/bin while its data lies in
// <prefix>/share/krvo/krvo, the same layout one level down, so that the
// platform directory is <prefix>/share/krvo and every lookup stays relative.

#include <filesystem>
#include <string_view>

namespace krvo {

// The installed data directory, relative to the directory of the program.
inline constexpr std::string_view kInstalledProgramDir = "../share/krvo/krvo";

// exeDir when it holds Res/ (a build tree, a lobby's platform); otherwise
// exeDir/../share/krvo/krvo when that holds Res/ (an installed or staged
// tree, wherever it was moved); otherwise exeDir, which then shows the
// table without its pictures rather than refusing to start.
std::filesystem::path ProgramDirectoryFor(const std::filesystem::path& exeDir);

// True for a directory that ends in share/krvo/krvo: shared, read-only data
// that no user's preferences belong in, even when root could write there.
bool IsInstalledProgramDirectory(const std::filesystem::path& directory);

// $XDG_CONFIG_HOME/krvo, else $HOME/.config/krvo. A relative or empty
// XDG_CONFIG_HOME is ignored, as the base directory rules require; empty when
// there is no home either.
std::filesystem::path UserConfigDirectory(const char* xdgConfigHome, const char* home);

// The preferences file to read and the one to save to.
struct UserSettingsFiles {
    std::filesystem::path read;
    std::filesystem::path write;
};

// Beside the program (strAppPath + UserSet.ini) when its directory is
// writable and not installed, as the lobby's platform expects. Otherwise the
// file is saved into configDir (created when missing) and read from there
// first, falling back to one beside the program (a copy the platform shipped)
// until the user saves.
UserSettingsFiles UserSettingsFilesFor(std::string_view strAppPath,
                                       const std::filesystem::path& configDir);

}  // namespace krvo
