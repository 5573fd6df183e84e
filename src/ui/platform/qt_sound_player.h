#pragma once
// Game sounds through Qt Multimedia. A sound plays only while the main window
// is shown and not minimised, the user's sound preference is on, its file
// exists and the system has an audio output; otherwise it is skipped silently.
// Each file is loaded once and its effect reused; playing never waits.

#include <QString>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "ports/sound_player.h"

class QSoundEffect;
class QWidget;

namespace krvo {

struct UserSettings;

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
        // asking Qt Multimedia.
        std::function<bool()> audioOutputPresent;
    };

    explicit QtSoundPlayer(Links links);
    ~QtSoundPlayer() override;
    QtSoundPlayer(const QtSoundPlayer&) = delete;
    QtSoundPlayer& operator=(const QtSoundPlayer&) = delete;

    void PlayGameSound(int index) override;

    // How many sound files have been loaded, and how many plays were started.
    std::size_t loadedSounds() const { return effects_.size(); }
    int playsStarted() const { return playsStarted_; }

    // Asks Qt Multimedia whether any audio output exists.
    static bool AnyAudioOutput();
    // A probe for Links::windowShown that follows the window while it exists.
    static std::function<bool()> WindowShownProbe(QWidget* window);

private:
    bool mayPlay() const;
    QSoundEffect& effectFor(const QString& file);

    Links links_;
    std::map<QString, std::unique_ptr<QSoundEffect>> effects_;
    int playsStarted_ = 0;
};

}  // namespace krvo
