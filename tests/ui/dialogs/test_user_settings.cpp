#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <sstream>

#include "dialogs/user_set_dialog.h"
#include "room/room_requests.h"
#include "state/command_line.h"
#include "state/user_settings.h"
#include "support/qt_test_application.h"
#include "support/recording_alerts.h"
#include "support/recording_sender.h"

namespace krvo {
namespace {

namespace fs = std::filesystem;

UserSettings Flags(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d, std::uint8_t e) {
    return UserSettings{a, b, c, d, e};
}

class UserSettingsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureQtApplication(); }

    void writeFile(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

    std::string readFile() const {
        std::ostringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    }

    std::size_t entriesInDirectory() const {
        const fs::directory_iterator entries(directory.path().toStdString());
        return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
    }

    void openDialog(UserSettings initial) {
        settings = initial;
        dialog = std::make_unique<UserSetDialog>(settings, path, requests, alerts);
        QObject::connect(dialog.get(), &UserSetDialog::ended, [this] { ++finished; });
        dialog->show();
    }

    QTemporaryDir directory;
    fs::path path = UserSettingsPath(directory.path().toStdString() + "/");
    UserSettings settings;
    testing::RecordingSender sender;
    LaunchParams launch{.strMyUserName = "张三"};
    RoomRequests requests{{.launch = launch, .sender = sender}};
    testing::RecordingAlerts alerts;
    std::unique_ptr<UserSetDialog> dialog;
    int finished = 0;
};

TEST_F(UserSettingsTest, MissingOrDamagedFilesGiveAllFiveDefaults) {
    const UserSettings defaults = Flags(0, 1, 1, 1, 1);
    EXPECT_EQ(path.filename(), "UserSet.ini");
    EXPECT_EQ(LoadUserSettings(path), defaults);
    for (const char* text :
         {"1\r\n0\r\n0\r\n", "1\r\nabc\r\n0\r\n0\r\n0\r\n", "1\r\n\r\n0\r\n0\r\n0\r\n0\r\n",
          "1\r\n0\r\n0.5\r\n0\r\n0\r\n", "1\r\n0\r\n-1\r\n0\r\n0\r\n",
          "1\r\n0\r\n256\r\n0\r\n0\r\n", "1 0\r\n0\r\n0\r\n0\r\n0\r\n", ""}) {
        writeFile(text);
        EXPECT_EQ(LoadUserSettings(path), defaults) << text;
    }
    writeFile(" 1 \r\n\t0\r\n  1\n0  \n2");
    EXPECT_EQ(LoadUserSettings(path), Flags(1, 0, 1, 0, 2));
}

// Good lines in something that is not a small regular file are not read: a
// FIFO (here with a writer and the lines waiting in it, so that reading it
// would not block but take them) and a sparse 1 GiB file.
TEST_F(UserSettingsTest, OnlyASmallRegularFileIsRead) {
    const std::string lines = "1\r\n0\r\n1\r\n0\r\n1\r\n";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const int writer = ::open(path.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::write(writer, lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
    EXPECT_EQ(LoadUserSettings(path), DefaultUserSettings());
    ::close(writer);
    fs::remove(path);

    writeFile(lines);
    fs::resize_file(path, std::uintmax_t{1} << 30);
    EXPECT_EQ(LoadUserSettings(path), DefaultUserSettings());
    fs::resize_file(path, 4096);  // the largest file that is read
    EXPECT_EQ(LoadUserSettings(path), Flags(1, 0, 1, 0, 1));
}

TEST_F(UserSettingsTest, SaveReplacesTheFileWithCrLfLinesOrLeavesItAlone) {
    writeFile("something much longer than the new content\r\n\r\n\r\n\r\n\r\n\r\n");
    ASSERT_TRUE(SaveUserSettings(path, Flags(1, 0, 1, 0, 0)));
    EXPECT_EQ(readFile(), "1\r\n0\r\n1\r\n0\r\n0\r\n");
    EXPECT_EQ(entriesInDirectory(), 1u);

    EXPECT_FALSE(SaveUserSettings(path.parent_path() / "missing" / "x.ini", Flags(1, 1, 1, 1, 1)));
    fs::remove(path);
    fs::create_directory(path);  // a non-empty directory cannot be renamed over
    std::ofstream(path / "keep") << "x";
    EXPECT_FALSE(SaveUserSettings(path, Flags(1, 1, 1, 1, 1)));
    EXPECT_EQ(entriesInDirectory(), 1u);
    EXPECT_TRUE(fs::exists(path / "keep"));
}

TEST_F(UserSettingsTest, DialogCaptionsAndOpeningState) {
    openDialog(Flags(2, 0, 1, 0, 1));
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("用户设置"));
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(dialog->group(0)->title() + dialog->group(1)->title(),
              QString::fromUtf8("基本设置提示设置"));
    const char* boxes[] = {"允许旁观者看我的牌", "启用音效", "显示用户进出消息", "强退时给出提示",
                           "出牌不对时给出提示"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(dialog->checkBox(i)->text(), QString::fromUtf8(boxes[i]));
        EXPECT_TRUE(dialog->group(i < 3 ? 0 : 1)->isAncestorOf(dialog->checkBox(i))) << i;
        EXPECT_EQ(dialog->checkBox(i)->isChecked(), i % 2 == 0) << i;
    }
    EXPECT_EQ(dialog->button(0)->text() + dialog->button(1)->text() + dialog->button(2)->text(),
              QString::fromUtf8("默认值(&D)确定(&Y)取消(&C)"));
}

TEST_F(UserSettingsTest, DefaultsThenCancelOrCloseChangeNothing) {
    openDialog(Flags(0, 0, 0, 0, 0));
    dialog->button(0)->click();
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(dialog->checkBox(i)->isChecked()) << i;
    EXPECT_TRUE(dialog->isVisible());
    dialog->button(2)->click();
    EXPECT_FALSE(dialog->isVisible());

    openDialog(Flags(0, 0, 0, 0, 0));
    dialog->checkBox(0)->setChecked(true);
    dialog->close();
    EXPECT_EQ(finished, 2);
    EXPECT_EQ(settings, Flags(0, 0, 0, 0, 0));
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(sender.packets.empty());
}

TEST_F(UserSettingsTest, ConfirmSavesAndSendsOnlyAWatchCardsChange) {
    openDialog(Flags(0, 1, 1, 1, 1));
    dialog->checkBox(1)->setChecked(false);
    dialog->button(1)->click();
    EXPECT_EQ(readFile(), "0\r\n0\r\n1\r\n1\r\n1\r\n");
    EXPECT_TRUE(sender.packets.empty());

    openDialog(settings);
    dialog->checkBox(0)->setChecked(true);
    dialog->button(1)->click();
    ASSERT_EQ(sender.packets.size(), 1u);
    EXPECT_EQ(sender.packets[0],
              (std::vector<std::uint8_t>{113, 1, 0xD5, 0xC5, 0xC8, 0xFD, '`', '1'}));
    EXPECT_EQ(LoadUserSettings(path), Flags(1, 0, 1, 1, 1));
    EXPECT_EQ(settings, Flags(1, 0, 1, 1, 1));

    openDialog(settings);  // already on and left on: the room knows it
    dialog->button(1)->click();
    EXPECT_EQ(sender.packets.size(), 1u);
    EXPECT_EQ(finished, 3);
    EXPECT_TRUE(alerts.notices.empty());
}

// A directory that is a file cannot be written even by root, as a full or
// read-only disk cannot.
TEST_F(UserSettingsTest, AChangeTheFileCannotTakeHoldsForTheRunAndThePersonIsTold) {
    writeFile("not a directory");
    path /= "UserSet.ini";
    openDialog(Flags(0, 1, 1, 1, 1));
    dialog->checkBox(3)->setChecked(false);
    dialog->button(1)->click();
    EXPECT_EQ(settings, Flags(0, 1, 1, 0, 1));
    ASSERT_EQ(alerts.notices.size(), 1u);
    EXPECT_EQ(alerts.notices[0].caption, "系统提示");
    EXPECT_NE(alerts.notices[0].text.find("无法保存"), std::string::npos);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(UserSettingsTest, EnterConfirmsWhatTheBoxesShowAndEscapeCancels) {
    openDialog(Flags(0, 1, 1, 1, 1));
    dialog->checkBox(2)->setChecked(false);
    dialog->checkBox(0)->setFocus();
    QTest::keyClick(dialog->checkBox(0), Qt::Key_Return);
    EXPECT_EQ(settings, Flags(0, 1, 0, 1, 1));  // nothing ticked behind the person's back
    EXPECT_EQ(readFile(), "0\r\n1\r\n0\r\n1\r\n1\r\n");
    EXPECT_TRUE(sender.packets.empty());
    EXPECT_FALSE(dialog->isVisible());

    openDialog(settings);
    dialog->checkBox(0)->setChecked(true);
    QTest::keyClick(dialog->checkBox(4), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(settings, Flags(0, 1, 0, 1, 1));
    EXPECT_TRUE(sender.packets.empty());
    EXPECT_EQ(finished, 2);
}

}  // namespace
}  // namespace krvo
