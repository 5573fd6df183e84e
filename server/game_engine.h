#pragma once
// The card game as the local room server runs it: deals, declarations, trick
// play, finishing places, scores, leave votes and the computer players. It
// knows chairs, not connections: the room turns its deliveries into frames.
// Qt-free; time comes from the caller.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/cards.h"
#include "core/packet.h"
#include "server/computer_brain.h"

namespace krvo::server {

// Who receives a packet the engine produces.
enum class Audience : std::uint8_t {
    Everyone,         // every player and onlooker at the table
    Player,           // only the person in `chair`
    PlayerAndViewers  // the person in `chair` and the onlookers watching that chair
};

struct Delivery {
    Audience audience = Audience::Everyone;
    std::uint8_t chair = 0;
    Packet packet;
};

// Things the room may want to act on besides the packets (results for the
// user rows, a dissolved table, a runaway).
enum class EngineEventKind : std::uint8_t {
    RoundStarted,
    RoundEnded,      // chair unused; the scores are in view()
    TableDissolved,  // chair: the player whose leave request everybody agreed to
    PlayerRanAway,   // chair: left a running round or was played for too often
    ComputerFault,   // chair: a computer chose a move the rules refuse; it was played for
};

struct EngineEvent {
    EngineEventKind kind = EngineEventKind::RoundStarted;
    std::uint8_t chair = 0;
    friend bool operator==(const EngineEvent&, const EngineEvent&) = default;
};

// A read-only look at the table, for the room and for tests.
struct TableView {
    bool running = false;
    std::uint8_t bteRoundState = 0;
    std::uint8_t bteCurChair = 0;
    std::uint8_t bteShouJiaChair = 0;
    std::int32_t stake = 1;
    std::array<CardList, 4> hands;            // the last round's, also after it ended
    std::array<std::uint8_t, 4> redAces{};    // bit 1: holds 63, bit 2: holds 76
    std::array<std::uint8_t, 4> places{};     // bteMingCi
    std::array<std::uint8_t, 4> autoPlays{};  // plays the engine made for each human
    std::array<std::int32_t, 4> lastScores{};
    std::array<std::int32_t, 4> totalScores{};
};

struct EngineSettings {
    std::uint32_t seed = 1;
    std::uint8_t decks = 1;
    std::uint8_t playTime = 30;
    std::uint8_t declareTime = 15;
    std::uint8_t autoPlayLimit = 5;
    std::uint8_t maxLeaveRequests = 2;
    // Fixed deals for tests: each entry is four hands, used round by round.
    std::vector<std::array<CardList, 4>> deals;
    // How each chair plays when a computer sits in it.
    std::array<ComputerLevel, 4> levels{ComputerLevel::Easy, ComputerLevel::Easy,
                                        ComputerLevel::Easy, ComputerLevel::Easy};
    // What the hard computers may spend on one decision.
    ai::SearchBudget searchBudget;
    // Computers wait thinkMinMs plus up to thinkSpreadMs, so a person can
    // follow what they do; the clients hold a won trick trickPauseMs.
    std::int64_t thinkMinMs = 400;
    std::int64_t thinkSpreadMs = 400;
    std::int64_t trickPauseMs = 2000;
};

class GameEngine {
public:
    explicit GameEngine(EngineSettings settings);
    ~GameEngine();
    GameEngine(const GameEngine&) = delete;
    GameEngine& operator=(const GameEngine&) = delete;

    // Who sits where (names for notices), whether a chair is a computer, and
    // whether a human chair is offline (the engine then answers for it on
    // time-outs and in leave votes).
    void setSeat(std::uint8_t chair, std::string name, bool computer);
    void clearSeat(std::uint8_t chair);
    void setOffline(std::uint8_t chair, bool offline);

    bool roundRunning() const;
    // A chair raised its hand (start button / ready packet). When all four
    // chairs are taken and ready, the round starts.
    void setReady(std::uint8_t chair);
    bool isReady(std::uint8_t chair) const;

    // A game message (code 0-94) from the person in chair.
    void handlePlayerPacket(std::uint8_t chair, std::span<const std::uint8_t> packet);

    // Moves time on: computer players act, time-outs of offline players run.
    // The other calls take the time of the last advanceTo as "now", so the
    // room calls it before handing over what arrived.
    void advanceTo(std::int64_t nowMs);
    // The earliest time advanceTo has something to do, if any.
    std::optional<std::int64_t> nextDeadline() const;

    // Everything produced since the last call, in order.
    std::vector<Delivery> takeDeliveries();
    std::vector<EngineEvent> takeEvents();
    TableView view() const;

    // The table-state report (room message 109) for someone entering: an
    // onlooker of `chair` (hand shown when canSee) or the returning player.
    Packet snapshot(std::uint8_t chair, bool onlooker, bool canSee) const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace krvo::server
