// What the launcher hands the client and remembers: the nine fields, the
// password in the environment, the exit reasons, the fields kept between runs
// and where the programs are found.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "launcher/launch_line.h"
#include "launcher/launcher_fields.h"
#include "launcher/program_paths.h"
#include "state/command_line.h"

namespace krvo::launcher {
namespace {

const QString kToken =
    QString::fromUtf8(kLaunchToken.data(), static_cast<qsizetype>(kLaunchToken.size()));
const QString kTitle = QString::fromUtf8(kTableTitle);
const QString kLevels = QString::fromUtf8(kLevelTitles);

// The fields the launcher builds are the ones the client reads back.
TEST(LaunchLine, BuildsTheNineFieldsTheClientReadsBack) {
    const struct {
        ClientLaunch launch;
        QStringList fields;
    } cases[] = {
        {{"玩家", "127.0.0.1", 40123, {}},
         {kToken, "127.0.0.1", "40123", kTitle, kLevels, "-", "-", "玩家", "1"}},
        {{"小明", "192.168.1.20", 16800, "门开了"},
         {kToken, "192.168.1.20", "16800", kTitle, kLevels, "-", "-", "小明", "1"}},
        {{"a", "table.local", 1, {}},
         {kToken, "table.local", "1", kTitle, kLevels, "-", "-", "a", "1"}},
    };
    for (const auto& c : cases) {
        const QStringList arguments = ClientArguments(c.launch);
        EXPECT_EQ(arguments, c.fields);
        const LaunchResult read = ParseLaunch(arguments.join(' ').toStdString());
        ASSERT_EQ(read.error, LaunchError::None) << arguments.join(' ').toStdString();
        EXPECT_EQ(read.params.strRoomServerAddress, c.launch.host.toStdString());
        EXPECT_EQ(read.params.strRoomServerPort, std::to_string(c.launch.port));
        EXPECT_EQ(read.params.strMyUserName, c.launch.name.toStdString());
        EXPECT_EQ(read.params.bteUseScore, 1);
    }
}

TEST(LaunchLine, RefusesFieldsTheClientWouldSplitOrCouldNotUse) {
    const struct {
        ClientLaunch launch;
        bool usable;
    } cases[] = {
        {{"玩家", "127.0.0.1", 5000, "x y"}, true},  // the password is not a field
        {{"", "127.0.0.1", 5000, {}}, false},
        {{"张 三", "127.0.0.1", 5000, {}}, false},
        {{"张\t三", "127.0.0.1", 5000, {}}, false},
        {{"张,三", "127.0.0.1", 5000, {}}, false},
        {{"张`三", "127.0.0.1", 5000, {}}, false},
        {{"玩家", "", 5000, {}}, false},
        {{"玩家", "a b", 5000, {}}, false},
        {{"玩家", "127.0.0.1", 0, {}}, false},
        {{"玩家", "127.0.0.1", 65536, {}}, false},
        {{"玩家", "127.0.0.1", 5000, " lead"}, false},
        {{"玩家", "127.0.0.1", 5000, "trail "}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckClientLaunch(c.launch).isEmpty(), c.usable)
            << c.launch.name.toStdString() << "|" << c.launch.host.toStdString() << "|"
            << c.launch.port << "|" << c.launch.password.toStdString();
    }
}

// The password travels in the environment; without one, none inherited from
// the launcher's own environment reaches the client.
TEST(LaunchLine, ThePasswordIsSetInTheClientsEnvironmentOrRemoved) {
    QProcessEnvironment base;
    base.insert(kTablePasswordVariable, "stale");
    base.insert("HOME", "/home/x");
    const QProcessEnvironment with = ClientEnvironment({"a", "h", 1, "门 开"}, base);
    EXPECT_EQ(with.value(kTablePasswordVariable), "门 开");
    const QProcessEnvironment without = ClientEnvironment({"a", "h", 1, {}}, base);
    EXPECT_FALSE(without.contains(kTablePasswordVariable));
    EXPECT_EQ(without.value("HOME"), "/home/x");
}

TEST(LaunchLine, EachExitStatusHasItsOwnReason) {
    QStringList reasons;
    for (int status = 0; status <= 8; ++status) reasons.append(ClientExitText(status, false));
    reasons.append(ClientExitText(0, true));
    reasons.removeDuplicates();
    EXPECT_EQ(reasons.size(), 10);
    EXPECT_EQ(ClientExitText(2, false), "20 秒内没有按“可以开始”，你已离开牌桌。");
    EXPECT_TRUE(ClientExitText(139, false).contains("139"));
}

TEST(LauncherFields, AreRememberedAndUnusableValuesKeepTheirDefaults) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("krvo/krvo-launcher.conf");
    LauncherFields saved;
    saved.page = 2;
    saved.name = "小明";
    saved.hostAddress = "0.0.0.0";
    saved.hostPort = 20000;
    saved.hostPeople = 2;
    saved.joinHost = "192.168.1.20";
    saved.joinPort = 20001;
    {
        QSettings settings(path, QSettings::IniFormat);
        SaveFields(settings, saved);
    }
    {
        QSettings settings(path, QSettings::IniFormat);
        const LauncherFields read = LoadFields(settings);
        EXPECT_EQ(read.page, 2);
        EXPECT_EQ(read.name, "小明");
        EXPECT_EQ(read.hostAddress, "0.0.0.0");
        EXPECT_EQ(read.hostPort, 20000);
        EXPECT_EQ(read.hostPeople, 2);
        EXPECT_EQ(read.joinHost, "192.168.1.20");
        EXPECT_EQ(read.joinPort, 20001);
        EXPECT_FALSE(settings.allKeys().join(' ').contains("password"));
        settings.setValue("page", 7);
        settings.setValue("host/port", "many");
        settings.setValue("host/people", 0);
        settings.setValue("join/port", 70000);
        settings.setValue("name", "  ");
    }
    QSettings settings(path, QSettings::IniFormat);
    const LauncherFields read = LoadFields(settings);
    const LauncherFields defaults;
    EXPECT_EQ(read.page, defaults.page);
    EXPECT_EQ(read.hostPort, defaults.hostPort);
    EXPECT_EQ(read.hostPeople, defaults.hostPeople);
    EXPECT_EQ(read.joinPort, defaults.joinPort);
    EXPECT_EQ(read.name, defaults.name);
    EXPECT_EQ(read.joinHost, "192.168.1.20");
}

// Installed, the programs lie beside the launcher; in a build tree the client
// lies in platform/krvo/ and the server beside the launcher in bin/.
TEST(ProgramPaths, AreFoundInstalledAndInTheBuildTree) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const auto program = [&](const QString& path) {
        QDir().mkpath(QFileInfo(root.filePath(path)).path());
        QFile file(root.filePath(path));
        file.open(QIODevice::WriteOnly);
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        return QFileInfo(file).canonicalFilePath();
    };
    const QString installedClient = program("usr/bin/krvo");
    const QString installedServer = program("usr/bin/krvo-server");
    const QString builtClient = program("build/platform/krvo/krvo");
    const QString builtServer = program("build/bin/krvo-server");
    const Programs installed = FindPrograms(root.filePath("usr/bin"));
    EXPECT_EQ(installed.client, installedClient);
    EXPECT_EQ(installed.server, installedServer);
    const Programs built = FindPrograms(root.filePath("build/bin"));
    EXPECT_EQ(built.client, builtClient);
    EXPECT_EQ(built.server, builtServer);
    const Programs none = FindPrograms(root.filePath("usr"));
    EXPECT_TRUE(none.client.isEmpty());
    EXPECT_TRUE(none.server.isEmpty());
}

}  // namespace
}  // namespace krvo::launcher
