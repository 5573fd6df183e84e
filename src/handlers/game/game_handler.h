#pragma once
// Game messages: the round as the server runs it. Each message updates the
// table state, asks the surface to draw what changed, plays its sound and
// brings the action area up to date. Chat lines and the table notices (leave
// votes, "cannot go on", props) are passed on.

#include <array>
#include <cstdint>
#include <span>

#include "game/game_links.h"
#include "state/table_state.h"
#include "wire/game_protocol.h"

namespace krvo {

class RoundFlow;
class StartButton;
class TableActions;
class TableNotices;
class TurnClock;

class GameHandler {
public:
    struct Parts {
        RoundFlow& flow;
        TurnClock& clock;
        StartButton& start;
        TableActions& actions;
        TableNotices& notices;
    };

    struct Links {
        const LaunchParams& launch;
        PublicState& pub;
        TableState& table;
        TableScene& scene;
        PacketSender& sender;
        GameSounds sounds;
        NoticeBox notice;
        ChatOps& chat;
        // Pauses and the bomb hold the network and pump events meanwhile.
        Waiter& waiter;
    };

    GameHandler(Links links, Parts parts) : links_(std::move(links)), parts_(parts) {}

    // One game message; malformed ones are ignored as each message says.
    void handleGameMessage(std::span<const std::uint8_t> packet);

private:
    void onMyPai(std::span<const std::uint8_t> packet);
    void onRoundStart(std::span<const std::uint8_t> packet);
    void onHandUp(std::span<const std::uint8_t> packet);
    void onDeal(std::span<const std::uint8_t> packet);
    void onDeclare(std::span<const std::uint8_t> packet);
    void revealRedAces(const DeclareReport& report);
    void showRedAces(std::uint8_t chair, std::uint8_t which);
    void onOutPai(std::span<const std::uint8_t> packet);
    void noteRedAcesPlayed(std::uint8_t chair, std::span<const std::uint8_t> cards);
    // Records a play (not a pass) as the one to beat; returns the bomb kind to show.
    std::uint8_t recordPlay(std::uint8_t chair, std::span<const std::uint8_t> cards);
    // The next chair's previous play leaves, or, when the trick is won, the
    // whole trick after a pause. False when the program ended meanwhile.
    bool moveTrickOn(bool trickWon);
    bool showTrickFlag();
    void onOutReject(std::span<const std::uint8_t> packet);
    void onRoundEnd(std::span<const std::uint8_t> packet);
    // Scores and revealed hands; false when the message is the short form.
    bool readRoundResult(std::span<const std::uint8_t> packet,
                         std::array<std::int32_t, kChairCount>& scores);
    void applyScores(const std::array<std::int32_t, kChairCount>& scores);
    void onSeePai(std::span<const std::uint8_t> packet);
    // Runs the animation with plays locked out; false when the program ended in it.
    bool playBomb(std::uint8_t chair, std::uint8_t kind);

    const Links& links() const { return links_; }
    const Parts& parts() const { return parts_; }

    Links links_;
    Parts parts_;
};

}  // namespace krvo
