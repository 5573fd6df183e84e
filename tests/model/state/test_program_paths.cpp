#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "state/program_paths.h"
#include "state/user_settings.h"

namespace krvo {
namespace {

namespace fs = std::filesystem;

// A scratch directory holding a build-tree layout and an installed one.
class ProgramPathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("krvo-paths-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "build/platform/krvo/Res");
        fs::create_directories(root_ / "usr/bin");
        fs::create_directories(root_ / "usr/share/krvo/krvo/Res");
        fs::create_directories(root_ / "empty");
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path root_;
};

TEST_F(ProgramPathsTest, ProgramDirectoryIsFoundBesideTheProgramOrInTheInstalledTree) {
    struct Case {
        const char* exeDir;
        const char* expected;
    };
    const Case cases[] = {
        {"build/platform/krvo", "build/platform/krvo"},
        {"usr/bin", "usr/share/krvo/krvo"},
        {"empty", "empty"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgramDirectoryFor(root_ / c.exeDir), root_ / c.expected) << c.exeDir;
    }
}

TEST(ProgramPaths, ConfigDirectoryFollowsTheBaseDirectoryRules) {
    EXPECT_EQ(UserConfigDirectory("/x/cfg", "/home/a"), fs::path("/x/cfg/krvo"));
    EXPECT_EQ(UserConfigDirectory("relative", "/home/a"), fs::path("/home/a/.config/krvo"));
    EXPECT_EQ(UserConfigDirectory("", "/home/a"), fs::path("/home/a/.config/krvo"));
    EXPECT_EQ(UserConfigDirectory(nullptr, nullptr), fs::path());
}

TEST_F(ProgramPathsTest, PreferencesStayBesideABuildTreeProgram) {
    const std::string app = (root_ / "build/platform/krvo/").string();
    const UserSettingsFiles files = UserSettingsFilesFor(app, root_ / "cfg/krvo");
    EXPECT_EQ(files.read, fs::path(app + "UserSet.ini"));
    EXPECT_EQ(files.write, fs::path(app + "UserSet.ini"));
}

// Saved into the configuration directory, which is created; read back from
// there ahead of a copy beside the program.
TEST_F(ProgramPathsTest, InstalledProgramKeepsPreferencesInTheConfigDirectory) {
    const std::string app = (root_ / "usr/share/krvo/krvo/").string();
    const fs::path config = root_ / "cfg/krvo";
    UserSettings shipped;
    shipped.bteSoundOn = 0;
    ASSERT_TRUE(SaveUserSettings(app + "UserSet.ini", shipped));

    UserSettingsFiles files = UserSettingsFilesFor(app, config);
    EXPECT_EQ(files.read, fs::path(app + "UserSet.ini"));
    EXPECT_EQ(files.write, config / "UserSet.ini");
    EXPECT_EQ(LoadUserSettings(files.read), shipped);

    UserSettings mine;
    mine.bteAllowWatchCards = 1;
    ASSERT_TRUE(SaveUserSettings(files.write, mine));
    files = UserSettingsFilesFor(app, config);
    EXPECT_EQ(files.read, config / "UserSet.ini");
    EXPECT_EQ(LoadUserSettings(files.read), mine);
    EXPECT_EQ(LoadUserSettings(app + "UserSet.ini"), shipped);
}

// A lobby's platform the user may not write to (root writes everywhere).
TEST_F(ProgramPathsTest, ReadOnlyProgramDirectoryKeepsPreferencesInTheConfigDirectory) {
    if (::geteuid() == 0) GTEST_SKIP() << "root can write into any directory";
    const fs::path app = root_ / "build/platform/krvo";
    fs::permissions(app, fs::perms::owner_write, fs::perm_options::remove);
    const UserSettingsFiles files = UserSettingsFilesFor(app.string() + "/", root_ / "cfg/krvo");
    fs::permissions(app, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(files.write, root_ / "cfg/krvo/UserSet.ini");
}

}  // namespace
}  // namespace krvo
