#include "server/game_engine.h"

#include <algorithm>
#include <utility>

#include "server/engine_state.h"

namespace krvo::server {
namespace {

// Each brain draws from a generator of its own, so that a computer thinking
// harder does not change what the easy ones or the shuffle draw.
std::array<ComputerBrain, kChairs> brainsFor(const EngineSettings& settings) {
    const auto brain = [&settings](std::uint8_t chair) {
        const std::uint32_t seed = settings.seed * 2654435761u + 7919u * (chair + 1u);
        return ComputerBrain(settings.levels[chair], seed, settings.searchBudget);
    };
    return {brain(0), brain(1), brain(2), brain(3)};
}

}  // namespace

GameEngine::State::State(EngineSettings engineSettings)
    : settings(std::move(engineSettings)), rng(settings.seed), brains(brainsFor(settings)) {
    settings.decks = std::clamp<std::uint8_t>(settings.decks, 1, kMaxDecks);
}

RoundSettingsBytes GameEngine::State::settingsBytes() const {
    return {settings.autoPlayLimit, settings.decks, settings.declareTime, settings.playTime,
            settings.maxLeaveRequests};
}

std::int64_t GameEngine::State::computerDelay() {
    const auto spread =
        static_cast<std::uint64_t>(std::max<std::int64_t>(0, settings.thinkSpreadMs));
    return std::max<std::int64_t>(0, settings.thinkMinMs) +
           static_cast<std::int64_t>(rng() % (spread + 1));
}

void GameEngine::State::send(Audience audience, std::uint8_t chair, Packet packet) {
    out.push_back({audience, chair, std::move(packet)});
}

void GameEngine::State::reject(std::uint8_t chair, std::string_view reason) {
    send(Audience::Player, chair, RejectPacket(reason));
}

void GameEngine::State::markReady(std::uint8_t chair) {
    ChairPerson& person = chairs[chair];
    person.readyDue.reset();
    if (running || !person.seated || person.ready) return;
    person.ready = true;
    sendAll(HandUpPacket(chair));
    startRoundIfReady();
}

void GameEngine::State::startRoundIfReady() {
    if (running) return;
    const bool allReady = std::all_of(chairs.begin(), chairs.end(), [](const ChairPerson& person) {
        return person.seated && person.ready;
    });
    if (allReady) startRound();
}

void GameEngine::State::startRound() {
    std::array<CardList, kChairs> hands;
    const bool fixed =
        nextDeal < settings.deals.size() && IsValidDeal(settings.deals[nextDeal], settings.decks);
    if (fixed) {
        hands = settings.deals[nextDeal];
    } else {
        hands = ShuffleDeal(rng, settings.decks);
    }
    ++nextDeal;
    round = StartRound(std::move(hands), settings.decks);
    running = true;
    vote.reset();
    for (ChairPerson& person : chairs) {
        person.ready = false;
        person.readyDue.reset();
        person.voteDue.reset();
    }
    sendAll(RoundStartPacket(RoundStartOf(round, settingsBytes())));
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        send(Audience::PlayerAndViewers, chair, DealPacket(chair, round.seats[chair].hand));
    }
    events.push_back({EngineEventKind::RoundStarted, 0});
    scheduleTurn(0);
}

void GameEngine::State::scheduleComputerReady() {
    for (ChairPerson& person : chairs) {
        if (person.seated && person.computer && !person.ready && !person.readyDue) {
            person.readyDue = now + computerDelay();
        }
    }
}

std::int64_t GameEngine::State::turnDueFor(std::uint8_t chair) const {
    const ChairPerson& person = chairs[chair];
    const std::uint8_t seconds =
        IsDeclarationState(round.bteRoundState) ? settings.declareTime : settings.playTime;
    const std::int64_t grace = person.offline ? 0 : kOnlineGraceMs;
    return turnStartedAt + std::int64_t{seconds} * 1000 + grace;
}

// pauseMs: how long the clients are busy before the turn shows (a won trick).
void GameEngine::State::scheduleTurn(std::int64_t pauseMs) {
    turnDue.reset();
    const std::uint8_t state = round.bteRoundState;
    if (!running || state < kRoundShowRedAces || state > kRoundFollow) return;
    turnStartedAt = now + pauseMs;
    const std::uint8_t chair = round.bteCurChair;
    turnDue = chairs[chair].computer ? turnStartedAt + computerDelay() : turnDueFor(chair);
}

std::optional<std::int64_t> GameEngine::State::earliestDue() const {
    std::optional<std::int64_t> earliest = turnDue;
    const auto consider = [&earliest](const std::optional<std::int64_t>& due) {
        if (due && (!earliest || *due < *earliest)) earliest = due;
    };
    if (vote) consider(vote->expiresAt);
    for (const ChairPerson& person : chairs) {
        consider(person.readyDue);
        consider(person.voteDue);
    }
    return earliest;
}

// Runs the earliest thing due by limit; false when nothing is.
bool GameEngine::State::runOneDue(std::int64_t limit) {
    const std::optional<std::int64_t> due = earliestDue();
    if (!due || *due > limit) return false;
    now = std::max(now, *due);
    if (turnDue && *turnDue == *due) {
        actForTurn();
        return true;
    }
    if (vote && vote->expiresAt == *due) {
        expireVote();
        return true;
    }
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        ChairPerson& person = chairs[chair];
        if (person.voteDue == due) {
            person.voteDue.reset();
            recordVote(chair, true);
            return true;
        }
        if (person.readyDue == due) {
            markReady(chair);
            return true;
        }
    }
    return false;
}

GameEngine::GameEngine(EngineSettings settings)
    : state_(std::make_unique<State>(std::move(settings))) {}

GameEngine::~GameEngine() = default;

void GameEngine::setSeat(std::uint8_t chair, std::string name, bool computer) {
    if (chair >= kChairs) return;
    State& s = *state_;
    ChairPerson& person = s.chairs[chair];
    person.seated = true;
    person.name = std::move(name);
    person.computer = computer;
    person.offline = false;
    if (s.running && s.round.bteCurChair == chair) s.scheduleTurn(0);
    if (s.running && computer && s.vote && s.vote->requester != chair &&
        s.vote->answers[chair] == 0) {
        person.voteDue = s.now + s.computerDelay();
    }
    if (!s.running) s.scheduleComputerReady();
}

void GameEngine::clearSeat(std::uint8_t chair) {
    if (chair >= kChairs) return;
    State& s = *state_;
    if (!s.chairs[chair].seated) return;
    if (s.running) s.runAway(chair, "离开了游戏桌");
    s.chairs[chair] = ChairPerson{};
}

void GameEngine::setOffline(std::uint8_t chair, bool offline) {
    if (chair >= kChairs) return;
    State& s = *state_;
    ChairPerson& person = s.chairs[chair];
    if (!person.seated || person.offline == offline) return;
    person.offline = offline;
    if (!s.running) return;
    if (s.round.bteCurChair == chair && s.turnDue && !person.computer) {
        s.turnDue = std::max(s.now, s.turnDueFor(chair));
    }
    if (offline && s.vote && s.vote->requester != chair && s.vote->answers[chair] == 0) {
        person.voteDue = s.now + s.computerDelay();
    }
    // A returning player gets the hand again with the table report.
    if (!offline) s.send(Audience::Player, chair, MyPaiPacket(s.round.seats[chair].hand));
}

bool GameEngine::roundRunning() const {
    return state_->running;
}

void GameEngine::setReady(std::uint8_t chair) {
    if (chair >= kChairs) return;
    state_->markReady(chair);
}

bool GameEngine::isReady(std::uint8_t chair) const {
    return chair < kChairs && state_->chairs[chair].ready;
}

void GameEngine::handlePlayerPacket(std::uint8_t chair, std::span<const std::uint8_t> packet) {
    if (chair >= kChairs || packet.empty() || !state_->chairs[chair].seated) return;
    state_->handlePacket(chair, packet);
}

void GameEngine::advanceTo(std::int64_t nowMs) {
    State& s = *state_;
    // Bounded, so that a fault in the rules can never hang the server.
    for (int step = 0; step < 100000 && s.runOneDue(nowMs); ++step) {
    }
    s.now = std::max(s.now, nowMs);
}

std::optional<std::int64_t> GameEngine::nextDeadline() const {
    return state_->earliestDue();
}

std::vector<Delivery> GameEngine::takeDeliveries() {
    return std::exchange(state_->out, {});
}

std::vector<EngineEvent> GameEngine::takeEvents() {
    return std::exchange(state_->events, {});
}

TableView GameEngine::view() const {
    const State& s = *state_;
    TableView view;
    view.running = s.running;
    view.bteRoundState = s.round.bteRoundState;
    view.bteCurChair = s.round.bteCurChair;
    view.bteShouJiaChair = s.round.bteShouJiaChair;
    view.stake = StakeOf(s.round);
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        const SeatRound& seat = s.round.seats[chair];
        view.hands[chair] = seat.hand;
        view.redAces[chair] = seat.redAces;
        view.places[chair] = seat.bteMingCi;
        view.autoPlays[chair] = seat.autoPlays;
    }
    view.lastScores = s.lastScores;
    view.totalScores = s.totalScores;
    return view;
}

Packet GameEngine::snapshot(std::uint8_t chair, bool onlooker, bool canSee) const {
    const State& s = *state_;
    const bool sees = !onlooker || canSee;
    if (!s.running) {
        std::array<bool, kChairs> ready{};
        for (std::uint8_t each = 0; each < kChairs; ++each) ready[each] = s.chairs[each].ready;
        return TableSnapshotPacket(IdleSnapshotOf(ready, sees));
    }
    const std::uint8_t viewed = chair < kChairs ? chair : 0;
    SnapshotView view{sees, s.round.seats[viewed].leaveRequests, viewed};
    return TableSnapshotPacket(RunningSnapshotOf(s.round, s.settingsBytes(), view));
}

}  // namespace krvo::server
