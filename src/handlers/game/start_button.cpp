#include "game/start_button.h"

#include <string>

#include "core/packet.h"
#include "game/turn_clock.h"
#include "ports/packet_sender.h"
#include "ports/table_button.h"
#include "ports/table_scene.h"
#include "state/command_line.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "wire/game_protocol.h"
#include "wire/room_protocol.h"

namespace krvo {
namespace {

constexpr std::string_view kStartCaption = "可以开始";
constexpr std::int64_t kSecondMs = 1000;

}  // namespace

StartButton::StartButton(Links links, TurnClock& clock, TableButton& button)
    : links_(std::move(links)),
      clock_(clock),
      cmdStart_(button),
      countdownTimer_(links_.clock.createTimer([this] { countdownTick(); })) {
    cmdStart_.setCaption(kStartCaption);
    cmdStart_.setVisible(false);
    cmdStart_.setOnClick([this] { pressStart(); });
}

StartButton::~StartButton() {
    // The button may live on; a click must not reach a flow that is gone.
    cmdStart_.setOnClick({});
}

void StartButton::showStartButton() {
    PublicState& pub = links_.pub;
    if (pub.blnIsOnlooker) pub.blnCanStart = false;
    cmdStart_.setVisible(pub.blnCanStart);
    if (!pub.blnCanStart) {
        countdownTimer_->stop();
        return;
    }
    if (countdownTimer_->isActive()) return;
    secondsLeft_ = kStartCountdownSeconds;
    // A fresh countdown waits again for somebody to be ready.
    cmdStart_.setCaption(kStartCaption);
    countdownTimer_->start(kSecondMs);
}

void StartButton::putUp() {
    links_.pub.blnCanStart = true;
    showStartButton();
}

void StartButton::takeDown() {
    links_.pub.blnCanStart = false;
    showStartButton();
}

bool StartButton::anybodyReady() const {
    for (const SeatInfo& seat : links_.table.arrSeat) {
        if (!seat.strUserName.empty() && seat.blnReady) return true;
    }
    return false;
}

void StartButton::countdownTick() {
    const std::string caption = cmdStart_.caption();
    const bool waiting = caption.empty() || caption == kStartCaption;
    if (waiting && !anybodyReady()) return;
    --secondsLeft_;
    cmdStart_.setCaption(std::string(kStartCaption) + ' ' + std::to_string(secondsLeft_));
    if (secondsLeft_ > 0) return;
    countdownTimer_->stop();
    if (links_.closeMainWindow) links_.closeMainWindow(ExitReason::StartCountdown);
}

void StartButton::pressStart() {
    PublicState& pub = links_.pub;
    if (pub.bteGameState != 0) {
        if (IsPlayer(links_.pub)) {
            ResetRound(links_.table, false);
            clock_.stopClock();
            takeDown();
            links_.scene.invalidateTable();
            links_.sender.sendPacket(HandUpPacket(pub.bteMyChair));
        } else {
            takeDown();
        }
    } else {
        const std::string& name = links_.launch.strMyUserName;
        if (!name.empty()) links_.sender.sendPacket(AgreedPacket(name));
    }
    takeDown();
}

}  // namespace krvo
