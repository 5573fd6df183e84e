#include <gtest/gtest.h>

#include <QCoreApplication>

#include "services/qt_system_alerts.h"
#include "state/command_line.h"
#include "state/public_state.h"
#include "support/qt_test_application.h"

namespace krvo {
namespace {

std::string line(std::string_view token, std::string_view mode = "1") {
    return std::string(token) + " 127.0.0.1 4700 标题 长工_100`短工_200 a b 张三 " +
           std::string(mode);
}

TEST(CommandLine, SplitsOnBlankAndTabRunsWithoutQuoting) {
    const auto args = GetCommandLineArgs("  a\t\tb  \"c d\"  ");
    EXPECT_EQ(args, (std::vector<std::string>{"", "a", "b", "\"c", "d\""}));
    EXPECT_EQ(GetCommandLineArgs(""), std::vector<std::string>{""});
    EXPECT_EQ(GetCommandLineArgs("1 2 3 4", 2), (std::vector<std::string>{"", "1", "2"}));
    const char* argv[] = {"/x/krvo", "a b", "c"};
    EXPECT_EQ(JoinArguments(3, argv), "a b c");
}

TEST(CommandLine, FieldCountAndTokenErrors) {
    EXPECT_EQ(ParseLaunch(line(kLaunchToken)).error, LaunchError::None);
    EXPECT_EQ(ParseLaunch(line(kLaunchToken) + " extra").error, LaunchError::FieldCount);
    EXPECT_EQ(ParseLaunch(line(kLaunchToken) + " x y z").error, LaunchError::FieldCount);
    EXPECT_EQ(ParseLaunch(line(kLaunchToken, "")).error, LaunchError::FieldCount);
    std::string upper(kLaunchToken);
    upper[0] = 'Q';
    EXPECT_EQ(ParseLaunch(line(upper)).error, LaunchError::Token);
    EXPECT_EQ(ParseLaunch(line(std::string(kLaunchToken) + "x")).error, LaunchError::Token);
    EXPECT_EQ(LaunchErrorText(LaunchError::FieldCount), "1号错误，无法正常启动游戏！");
    EXPECT_EQ(LaunchErrorText(LaunchError::Token), "2号错误，无法正常启动游戏！");
}

TEST(CommandLine, FieldsLandInTheLaunchParameters) {
    const LaunchResult r = ParseLaunch("\t" + line(kLaunchToken, "7") + "  ");
    ASSERT_EQ(r.error, LaunchError::None);
    EXPECT_EQ(r.params.strRoomServerAddress, "127.0.0.1");
    EXPECT_EQ(r.params.strRoomServerPort, "4700");
    EXPECT_EQ(r.params.strGameTitle, "标题");
    EXPECT_EQ(r.params.strLevelTitles, "长工_100`短工_200");
    EXPECT_EQ(r.params.strMyUserName, "张三");
    EXPECT_EQ(r.params.bteUseScore, 7);
    EXPECT_EQ(ParseLaunch(line(kLaunchToken, "abc")).params.bteUseScore, 0);
    EXPECT_EQ(ParseLaunch(line(kLaunchToken, "256")).params.bteUseScore, 255);
    EXPECT_EQ(ParseLaunch(line(kLaunchToken, "-3")).params.bteUseScore, 0);
}

TEST(Directories, PlatformIsTheParentAndTheRootIsItsOwn) {
    EXPECT_EQ(PlatformPathOf("/opt/plat/krvo/"), "/opt/plat/");
    EXPECT_EQ(PlatformPathOf("/opt/plat/krvo"), "/opt/plat/");
    EXPECT_EQ(PlatformPathOf("/krvo/"), "/");
    EXPECT_EQ(PlatformPathOf("/"), "/");
    EXPECT_EQ(WithTrailingSlash("/a"), "/a/");
    EXPECT_EQ(WithTrailingSlash("/a/"), "/a/");

    PublicState state;
    state.bteViewPos = {1, 2, 3, 0};
    state.blnCanStart = true;
    state.blnEndRequested = true;
    state.bteGameState = 1;
    LaunchParams launch;
    launch.strLevelTitles = "甲_0`乙_10";
    InitPublicDefine(state, launch, "/p/krvo");
    EXPECT_EQ(state.strAppPath, "/p/krvo/");
    EXPECT_EQ(state.strPlatformPath, "/p/");
    EXPECT_EQ(state.bteViewPos, (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_FALSE(state.blnCanStart);
    EXPECT_FALSE(state.blnEndRequested);
    EXPECT_EQ(state.bteGameState, 0);
    EXPECT_EQ(state.levelTitles.size(), 2u);
    EXPECT_EQ(state.strMemberLevels[4], "三星会员");
}

TEST(ViewPositions, ViewedChairAtTheBottomAndOnlookerFlag) {
    PublicState state;
    state.strViewUserName = "乙";
    ComputeViewPositions(state, {"甲", "乙", "", "丁"}, "乙");
    EXPECT_EQ(state.bteMyChair, 1);
    EXPECT_EQ(state.bteViewPos, (std::array<std::uint8_t, 4>{1, 2, 3, 0}));
    EXPECT_FALSE(state.blnIsOnlooker);

    ComputeViewPositions(state, {"乙", "x", "", "乙"}, "看客");
    EXPECT_EQ(state.bteMyChair, 0);  // the first chair holding the name
    EXPECT_EQ(state.bteViewPos, (std::array<std::uint8_t, 4>{2, 3, 0, 1}));
    EXPECT_TRUE(state.blnIsOnlooker);

    state.strViewUserName = "nobody";
    ComputeViewPositions(state, {"a", "b", "c", "d"}, "nobody");
    EXPECT_EQ(state.bteMyChair, 0);
    EXPECT_TRUE(state.blnIsOnlooker);
}

// The system's own boxes and edit menus speak Chinese, as the program does.
TEST(QtTexts, ChineseTranslationsAreInstalled) {
    testing::EnsureQtApplication();
    ASSERT_TRUE(InstallQtChineseTexts());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "OK"), QString::fromUtf8("确定"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("取消"));
}

}  // namespace
}  // namespace krvo
