#include "services/qt_sound_player.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>
#include <string>

#include "state/user_settings.h"
#include "support/qt_test_application.h"

namespace krvo {
namespace {

class SoundPlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureQtApplication(); }

    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        appPath_ = dir_.path().toStdString() + "/";
        QDir(dir_.path()).mkpath(QStringLiteral("res/sound"));
        // The lookup ignores the names' case.
        for (const char* name : {"start.wav", "Public.wav", "END.WAV"}) writeWave(name);
    }

    void writeWave(const char* name) {
        // An empty 8 kHz mono PCM wave.
        const QByteArray wave = QByteArray::fromHex(
            "52494646240000005741564566"
            "6D74201000000001000100401F0000803E00000200100064617461"
            "00000000"
            "0");
        QFile file(dir_.path() + "/res/sound/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(wave);
    }

    QTemporaryDir dir_;
    std::string appPath_;
    UserSettings settings_;
    bool shown_ = true;
    bool audio_ = true;
    int audioAsked_ = 0;
    QMediaDevices devices_;
    QtSoundPlayer player_{{appPath_, settings_, [this] { return shown_; },
                           [this] {
                               ++audioAsked_;
                               return audio_;
                           },
                           &devices_}};
};

TEST_F(SoundPlayerTest, PlaysOnlyWhenEveryConditionHolds) {
    player_.playGameSound(0);
    settings_.bteSoundOn = 0;
    player_.playGameSound(0);
    settings_.bteSoundOn = 1;
    shown_ = false;
    player_.playGameSound(0);
    shown_ = true;
    audio_ = false;
    emit devices_.audioOutputsChanged();
    player_.playGameSound(0);
    audio_ = true;
    emit devices_.audioOutputsChanged();
    player_.playGameSound(1);   // Liang.wav is not there
    player_.playGameSound(15);  // no such sound
    player_.playGameSound(-1);
    EXPECT_EQ(player_.playsStarted(), 1);
    // Devices are looked for only once everything else allows a sound.
    EXPECT_EQ(audioAsked_, 2);
}

TEST_F(SoundPlayerTest, EachFileIsLoadedOnceAndReused) {
    for (int index = 10; index <= 14; ++index) player_.playGameSound(index);
    player_.playGameSound(0);
    player_.playGameSound(7);
    player_.playGameSound(0);
    EXPECT_EQ(player_.playsStarted(), 8);
    EXPECT_EQ(player_.loadedSounds(), 3u);
}

TEST_F(SoundPlayerTest, EachSoundLooksAtTheDiskOnce) {
    player_.playGameSound(0);
    player_.playGameSound(1);  // Liang.wav is not there
    ASSERT_TRUE(QFile::remove(dir_.path() + "/res/sound/start.wav"));
    writeWave("Liang.wav");
    player_.playGameSound(0);
    EXPECT_EQ(player_.playsStarted(), 2);
    player_.playGameSound(1);
    EXPECT_EQ(player_.playsStarted(), 2);
}

TEST_F(SoundPlayerTest, OutputsAreFollowedThroughTheChangeSignal) {
    audio_ = false;
    player_.playGameSound(0);
    audio_ = true;  // not announced: the first answer stands
    player_.playGameSound(0);
    EXPECT_EQ(player_.playsStarted(), 0);
    emit devices_.audioOutputsChanged();
    player_.playGameSound(0);
    player_.playGameSound(7);
    EXPECT_EQ(player_.playsStarted(), 2);
    EXPECT_EQ(audioAsked_, 2);
}

TEST_F(SoundPlayerTest, RealDeviceCheckDecidesWithoutFailing) {
    // Without sound hardware (this machine, CI) the sound is skipped.
    QtSoundPlayer player({appPath_, settings_, [] { return true; }, {}});
    player.playGameSound(0);
    EXPECT_EQ(player.playsStarted(), QtSoundPlayer::anyAudioOutput() ? 1 : 0);
}

TEST_F(SoundPlayerTest, WindowProbeFollowsVisibilityAndMinimising) {
    auto window = std::make_unique<QWidget>();
    const auto shown = QtSoundPlayer::windowShownProbe(window.get());
    EXPECT_FALSE(shown());
    window->show();
    EXPECT_TRUE(shown());
    window->showMinimized();
    EXPECT_FALSE(shown());
    window.reset();
    EXPECT_FALSE(shown());
}

}  // namespace
}  // namespace krvo
