#include "game/turn_clock.h"

#include <string>

#include "core/packet.h"
#include "game/round_flow.h"
#include "game/table_actions.h"
#include "ports/countdown_bar.h"
#include "ports/packet_sender.h"
#include "ports/table_scene.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "wire/game_protocol.h"

namespace krvo {
namespace {

constexpr int kWarningSeconds = 5;

}  // namespace

TurnClock::TurnClock(Links links, CountdownBar& bar) : links_(std::move(links)), KoClock_(bar) {
    KoClock_.setEvents(
        {[this] { secondPassed(); }, [this] { soundWarning(); }, [this] { turnRanOut(); }});
}

// The bar belongs to the main window and may outlive the round flow.
TurnClock::~TurnClock() {
    KoClock_.setEvents({});
}

void TurnClock::startClock(std::uint8_t chair) {
    if (chair >= kChairCount) return;
    stopClock();
    const TableState& table = links_.table;
    if (table.bteRoundState != kRoundBetween) clockChair_ = chair;
    const int seconds =
        IsDeclarationState(table.bteRoundState) ? table.bteDeclareTime : table.btePlayTime;
    lngClockTicks_ = 0;
    KoClock_.start(kWarningSeconds, seconds);
}

void TurnClock::stopClock() {
    KoClock_.stop();
    const int chair = clockChair();
    // The clock face is erased at the seat it was drawn for, so before the tag goes.
    if (chair >= 0 && chair < static_cast<int>(kChairCount)) {
        links_.scene.eraseClock(static_cast<std::uint8_t>(chair));
    }
    clockChair_ = kNoClockChair;
}

void TurnClock::secondPassed() {
    ++lngClockTicks_;
    const int chair = clockChair();
    if (chair >= 0 && chair < static_cast<int>(kChairCount)) {
        links_.scene.invalidateClock(static_cast<std::uint8_t>(chair), lngClockTicks_);
    }
}

void TurnClock::soundWarning() {
    links_.sounds.play(kSoundWarning);
}

void TurnClock::turnRanOut() {
    links_.table.tipList.lngTipCount = 0;
    const int chair = clockChair();
    stopClock();
    if (auto handler = onTimeOut) handler(chair);
}

AutoPlay::AutoPlay(Links links, TurnClock& clock, TableActions& actions)
    : links_(std::move(links)), actions_(actions) {
    clock.onTimeOut = [this](int chair) { actForTimedOutTurn(chair); };
}

void AutoPlay::actForTimedOutTurn(int chair) {
    if (!IsPlayer(links_.pub) || chair != links_.pub.bteMyChair) return;
    // Once the limit is reached the player is leaving: while the last notice
    // is up, further turns must not play on, nor stack up further notices.
    const TableState& table = links_.table;
    if (table.bteAutoPlayCount > 0 && table.bteAutoPlayCount >= table.bteAutoPlayLimit) return;
    switch (links_.table.bteRoundState) {
        case kRoundBetween:
            return;
        case kRoundLead:
            leadLastCard();
            countAutoPlay();
            return;
        case kRoundFollow:
            actions_.playAction(kPlayPass);
            countAutoPlay();
            return;
        default:
            // Declining a declaration is no play: it is not counted.
            actions_.sendAnswer(0);
            return;
    }
}

void AutoPlay::leadLastCard() {
    const TableState& table = links_.table;
    // The server's report of the play takes the card out of the hand; an empty
    // hand has nothing to play (the hand has been asked for already).
    if (!table.bteMyPai.empty()) {
        const std::uint8_t lastCard[] = {table.bteMyPai.back()};
        links_.sender.sendPacket(PlayPacket(links_.pub.bteMyChair, lastCard));
    }
    HidePlayButtons(links_.table, links_.scene);
}

void AutoPlay::countAutoPlay() {
    TableState& table = links_.table;
    if (table.bteAutoPlayCount < 255) ++table.bteAutoPlayCount;
    const int count = table.bteAutoPlayCount;
    const int limit = table.bteAutoPlayLimit;
    const std::string prefix = "注意：系统帮你自动出牌的次数累计已达 " + std::to_string(count);
    if (limit == count + 1) {
        links_.notice.show(prefix + " 次，再出现一次就算你逃跑！", "系统提示");
        return;
    }
    if (count < limit) return;
    if (!links_.notice.show(prefix + " 次，现在算你逃跑！", "系统提示")) return;
    if (links_.closeMainWindow) links_.closeMainWindow(ExitReason::AutoPlayLimit);
}

}  // namespace krvo
