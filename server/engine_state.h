#pragma once
// The engine's own state, shared by its implementation files only.

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "server/engine_packets.h"
#include "server/game_engine.h"
#include "server/rules_round.h"

namespace krvo::server {

// A person (or computer) in a chair, as far as the game cares.
struct ChairPerson {
    bool seated = false;
    std::string name;
    bool computer = false;
    bool offline = false;
    bool ready = false;
    std::optional<std::int64_t> readyDue;  // a computer raises its hand then
    std::optional<std::int64_t> voteDue;   // a computer or offline chair votes then
};

struct LeaveVote {
    std::uint8_t requester = 0;
    std::array<std::uint8_t, kChairs> answers{};  // 0 none yet, 1 agreed, 2 refused
    std::int64_t expiresAt = 0;
};

// An online player's own program plays on time-out; the engine steps in only
// when that play has not come some time later.
inline constexpr std::int64_t kOnlineGraceMs = 3000;
// The clients' leave question agrees by itself after ten seconds.
inline constexpr std::int64_t kVoteWaitMs = 12000;

struct GameEngine::State {
    explicit State(EngineSettings engineSettings);

    EngineSettings settings;
    std::mt19937 rng;
    std::array<ChairPerson, kChairs> chairs;
    bool running = false;
    Round round;
    std::size_t nextDeal = 0;
    std::int64_t now = 0;
    std::optional<std::int64_t> turnDue;
    std::int64_t turnStartedAt = 0;
    std::optional<LeaveVote> vote;
    std::vector<Delivery> out;
    std::vector<EngineEvent> events;
    std::array<std::int32_t, kChairs> lastScores{};
    std::array<std::int32_t, kChairs> totalScores{};
    // What each chair's computer thinks with (easy plays without one).
    std::array<ComputerBrain, kChairs> brains;

    RoundSettingsBytes settingsBytes() const;
    std::int64_t computerDelay();
    void send(Audience audience, std::uint8_t chair, Packet packet);
    void sendAll(Packet packet) { send(Audience::Everyone, 0, std::move(packet)); }
    void reject(std::uint8_t chair, std::string_view reason);

    // Seats and the start of a round (game_engine.cpp).
    void markReady(std::uint8_t chair);
    void startRoundIfReady();
    void startRound();
    void scheduleComputerReady();
    void scheduleTurn(std::int64_t pauseMs);
    std::int64_t turnDueFor(std::uint8_t chair) const;
    bool runOneDue(std::int64_t limit);
    std::optional<std::int64_t> earliestDue() const;

    // What players and computers do (engine_turns.cpp).
    void handlePacket(std::uint8_t chair, std::span<const std::uint8_t> packet);
    void handleAnswer(std::uint8_t chair, std::span<const std::uint8_t> packet);
    void handlePlay(std::uint8_t chair, std::span<const std::uint8_t> packet);
    void doAnswer(std::uint8_t chair, bool accept);
    void doPlay(std::uint8_t chair, std::span<const std::uint8_t> cards);
    void actForTurn();
    void computerAct(std::uint8_t chair);
    void brainAct(std::uint8_t chair);
    void automaticAct(std::uint8_t chair);
    void endRound(const std::array<std::int32_t, kChairs>& scores);
    void runAway(std::uint8_t chair, std::string_view reason);

    // Leave requests and votes (engine_leave.cpp).
    void handleLeave(std::uint8_t chair, std::span<const std::uint8_t> packet);
    void recordVote(std::uint8_t voter, bool agree);
    void expireVote();
    void dissolve(std::uint8_t requester);
};

}  // namespace krvo::server
