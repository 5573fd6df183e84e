#include "platform/qt_sound_player.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>
#include <QWidget>
#include <array>

#include "platform/resources.h"
#include "state/user_settings.h"

namespace krvo {
namespace {

constexpr std::array<std::string_view, 15> kSoundFiles = {
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
    if (!links_.audioOutputPresent) links_.audioOutputPresent = &QtSoundPlayer::AnyAudioOutput;
}

QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::PlayGameSound(int index) {
    const std::string_view name = GameSoundFile(index);
    if (name.empty() || !mayPlay()) return;
    const QString file = QString::fromStdString(
        FindResourceFile(links_.strAppPath, "Res\\Sound\\" + std::string(name)));
    if (file.isEmpty()) return;
    // Asked last: looking for devices is the dearest check.
    if (!links_.audioOutputPresent()) return;
    QSoundEffect& effect = effectFor(file);
    // A sound cut short by its own next play is what the table has always done.
    effect.play();
    ++playsStarted_;
}

bool QtSoundPlayer::AnyAudioOutput() {
    return !QMediaDevices::audioOutputs().isEmpty();
}

std::function<bool()> QtSoundPlayer::WindowShownProbe(QWidget* window) {
    return [guarded = QPointer<QWidget>(window)] {
        return guarded && guarded->isVisible() && !guarded->isMinimized();
    };
}

bool QtSoundPlayer::mayPlay() const {
    if (links_.settings.bteSoundOn == 0) return false;
    return links_.windowShown && links_.windowShown();
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
