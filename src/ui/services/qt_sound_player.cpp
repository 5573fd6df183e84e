#include "services/qt_sound_player.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>
#include <QWidget>
#include <array>

#include "services/resources.h"
#include "state/user_settings.h"

namespace krvo {
namespace {

constexpr std::array<std::string_view, kGameSoundCount> kSoundFiles = {
    "Start.wav",  "Liang.wav",   "OutPai.wav", "Pass.wav",       "Hong10.wav",
    "ZhaDan.wav", "Warning.wav", "End.wav",    "PangGuanIn.wav", "PangGuanOut.wav",
    "Public.wav", "Public.wav",  "Public.wav", "Public.wav",     "Public.wav",
};

}  // namespace

std::string_view GameSoundFile(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= kSoundFiles.size()) return {};
    return kSoundFiles[static_cast<std::size_t>(index)];
}

QtSoundPlayer::QtSoundPlayer(Links links) : links_(std::move(links)) {
    if (!links_.audioOutputPresent) links_.audioOutputPresent = &QtSoundPlayer::anyAudioOutput;
}

QtSoundPlayer::~QtSoundPlayer() {
    // A devices object handed in may outlive the player.
    QObject::disconnect(deviceWatch_);
}

void QtSoundPlayer::playGameSound(int index) {
    if (GameSoundFile(index).empty() || !mayPlay()) return;
    SoundFile& sound = soundAt(static_cast<std::size_t>(index));
    if (sound.path.isEmpty()) return;
    // Asked last: the first answer loads the audio back end.
    if (!audioOutputPresent()) return;
    if (!sound.effect) sound.effect = &effectFor(sound.path);
    // A sound cut short by its own next play is what the table has always done.
    sound.effect->play();
    ++playsStarted_;
}

bool QtSoundPlayer::anyAudioOutput() {
    return !QMediaDevices::audioOutputs().isEmpty();
}

std::function<bool()> QtSoundPlayer::windowShownProbe(QWidget* window) {
    return [guarded = QPointer<QWidget>(window)] {
        return guarded && guarded->isVisible() && !guarded->isMinimized();
    };
}

bool QtSoundPlayer::mayPlay() const {
    if (links_.settings.bteSoundOn == 0) return false;
    return links_.windowShown && links_.windowShown();
}

QtSoundPlayer::SoundFile& QtSoundPlayer::soundAt(std::size_t index) {
    SoundFile& sound = files_[index];
    if (!sound.lookedUp) {
        // The sound files ship with the program and do not change while it
        // runs, so one look at the disk decides for the whole session.
        sound.path = QString::fromStdString(
            FindResourceFile(links_.strAppPath, "Res\\Sound\\" + std::string(kSoundFiles[index])));
        sound.lookedUp = true;
    }
    return sound;
}

bool QtSoundPlayer::audioOutputPresent() {
    if (!deviceWatch_) {
        QMediaDevices* devices = links_.devices;
        if (!devices) {
            ownDevices_ = std::make_unique<QMediaDevices>();
            devices = ownDevices_.get();
        }
        // Watched before the first answer, so no change falls between them.
        deviceWatch_ = QObject::connect(devices, &QMediaDevices::audioOutputsChanged,
                                        [this] { audioPresent_.reset(); });
    }
    if (!audioPresent_) audioPresent_ = links_.audioOutputPresent();
    return *audioPresent_;
}

QSoundEffect& QtSoundPlayer::effectFor(const QString& file) {
    auto& slot = effects_[file];
    if (!slot) {
        slot = std::make_unique<QSoundEffect>();
        // Loads in the background; a play asked before it is ready starts
        // once the file is loaded.
        slot->setSource(QUrl::fromLocalFile(file));
    }
    return *slot;
}

}  // namespace krvo
