#pragma once
// Game sounds through Qt Multimedia. A sound plays only while the main window
// is shown and not minimised, the user's sound preference is on, its file
// exists and the system has an audio output; otherwise it is skipped silently.
// Each sound's file is looked up on disk once (a missing one stays missing)
// and its effect reused; whether an output exists is asked once and then
// followed through Qt's device-change signal. Playing never waits: a burst of
// messages may start a sound for each.

#include <QMetaObject>
#include <QString>
#include <array>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ports/sound_player.h"

class QMediaDevices;
class QSoundEffect;
class QWidget;

namespace krvo {

struct UserSettings;

inline constexpr std::size_t kGameSoundCount = 15;

// The file of sound n under Res\Sound\, or "" for a number without one.
std::string_view GameSoundFile(int index);

class QtSoundPlayer final : public SoundPlayer {
public:
    struct Links {
        const std::string& strAppPath;  // program directory, ends in "/"
        const UserSettings& settings;   // bteSoundOn
        // True while the main window is visible and not minimised.
        std::function<bool()> windowShown;
        // True when the system has at least one audio output; defaults to
        // asking Qt Multimedia. Asked at the first sound that could play and
        // again after each change announced by devices.
        std::function<bool()> audioOutputPresent;
        // Announces audio output changes; defaults to a QMediaDevices of the
        // player's own, made at the first sound that could play so that a
        // table without sounds never loads the audio back end.
        QMediaDevices* devices = nullptr;
    };

    explicit QtSoundPlayer(Links links);
    ~QtSoundPlayer() override;
    QtSoundPlayer(const QtSoundPlayer&) = delete;
    QtSoundPlayer& operator=(const QtSoundPlayer&) = delete;

    void playGameSound(int index) override;

    // How many sound files have been loaded, and how many plays were started.
    std::size_t loadedSounds() const { return effects_.size(); }
    int playsStarted() const { return playsStarted_; }

    // Asks Qt Multimedia whether any audio output exists.
    static bool anyAudioOutput();
    // A probe for Links::windowShown that follows the window while it exists.
    static std::function<bool()> windowShownProbe(QWidget* window);

private:
    // A sound's file as first looked up (an empty path when it is missing)
    // and, once it has played, its effect.
    struct SoundFile {
        bool lookedUp = false;
        QString path;
        QSoundEffect* effect = nullptr;
    };

    bool mayPlay() const;
    SoundFile& soundAt(std::size_t index);
    bool audioOutputPresent();
    QSoundEffect& effectFor(const QString& file);

    Links links_;
    std::array<SoundFile, kGameSoundCount> files_;
    std::map<QString, std::unique_ptr<QSoundEffect>> effects_;
    std::unique_ptr<QMediaDevices> ownDevices_;
    QMetaObject::Connection deviceWatch_;
    std::optional<bool> audioPresent_;  // unknown until asked, and after a change
    int playsStarted_ = 0;
};

}  // namespace krvo
