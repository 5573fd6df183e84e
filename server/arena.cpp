#include "server/arena.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <thread>

#include "server/arena_referee.h"
#include "server/game_engine.h"
#include "server/rules_round.h"

namespace krvo::server {
namespace {

using Clock = std::chrono::steady_clock;

// The processor time of the calling thread: what a move costs on one core,
// whatever else the machine runs meanwhile.
double threadMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Far more virtual time than any round of computers takes (a round of
// computers takes a few minutes of it); beyond it the round is stuck.
constexpr std::int64_t kRoundTimeLimitMs = 6 * 3600 * 1000;
constexpr double kZ95 = 1.959964;

struct SeatRecord {
    ArenaRole role = ArenaRole::BlackPair;
    std::int32_t tested = 0;
    std::int32_t control = 0;
};

struct DealRecord {
    std::array<SeatRecord, 4> seats;
    std::vector<std::string> faults;
    SlowestMove slowest;
};

struct GameResult {
    std::array<std::int32_t, 4> scores{};
    std::vector<std::string> faults;
    SlowestMove slowest;
};

std::array<ArenaRole, 4> rolesOf(const std::array<CardList, 4>& deal) {
    std::array<int, 4> redAces{};
    int holders = 0;
    for (std::size_t chair = 0; chair < 4; ++chair) {
        redAces[chair] =
            static_cast<int>(std::count_if(deal[chair].begin(), deal[chair].end(), IsRedAce));
        holders += redAces[chair] > 0 ? 1 : 0;
    }
    std::array<ArenaRole, 4> roles{};
    for (std::size_t chair = 0; chair < 4; ++chair) {
        const bool red = redAces[chair] > 0;
        if (holders == 1) {
            roles[chair] = red ? ArenaRole::LoneRed : ArenaRole::BlackAgainstLone;
        } else {
            roles[chair] = red ? ArenaRole::RedPair : ArenaRole::BlackPair;
        }
    }
    return roles;
}

std::uint32_t gameSeed(std::uint32_t seed, int deal, int seat) {
    std::uint64_t mixed =
        (std::uint64_t{seed} << 32) ^ (std::uint64_t(deal) * 4 + std::uint64_t(seat));
    mixed ^= mixed >> 33;
    mixed *= 0xff51afd7ed558ccdULL;
    mixed ^= mixed >> 33;
    return static_cast<std::uint32_t>(mixed);
}

GameResult playGame(const std::array<CardList, 4>& deal, const std::array<ComputerLevel, 4>& levels,
                    std::uint32_t seed, const ai::SearchBudget& budget, int dealIndex) {
    EngineSettings settings;
    settings.seed = seed;
    settings.deals = {deal};
    settings.levels = levels;
    settings.searchBudget = budget;
    GameEngine engine(settings);
    for (std::uint8_t chair = 0; chair < 4; ++chair) {
        engine.setSeat(chair, "computer " + std::to_string(chair), true);
    }
    ArenaReferee referee;
    GameResult result;
    while (!referee.ended()) {
        const std::optional<std::int64_t> due = engine.nextDeadline();
        if (!due || *due > kRoundTimeLimitMs) {
            result.faults.push_back("the round never ended");
            break;
        }
        const TableView before = engine.view();
        const double start = threadMs();
        engine.advanceTo(*due);
        const double ms = threadMs() - start;
        const bool move = before.running && before.bteRoundState >= kRoundShowRedAces &&
                          before.bteRoundState <= kRoundFollow;
        if (move && ms > result.slowest.ms) {
            result.slowest = {ms, levels[before.bteCurChair % 4], dealIndex, before.bteCurChair,
                              before.bteRoundState};
        }
        for (const Delivery& delivery : engine.takeDeliveries()) referee.see(delivery);
        for (const EngineEvent& event : engine.takeEvents()) {
            if (event.kind == EngineEventKind::ComputerFault) {
                result.faults.push_back("chair " + std::to_string(event.chair) +
                                        " chose a move the rules refuse");
            }
        }
        if (!referee.faults().empty()) break;
    }
    result.faults.insert(result.faults.end(), referee.faults().begin(), referee.faults().end());
    result.scores = referee.scores();
    return result;
}

DealRecord playDeal(const ArenaOptions& options, const std::array<CardList, 4>& deal, int index) {
    DealRecord record;
    const std::array<ArenaRole, 4> roles = rolesOf(deal);
    const std::array<ComputerLevel, 4> control = {options.opponent, options.opponent,
                                                  options.opponent, options.opponent};
    const auto note = [&](const GameResult& game, int seat, const char* which) {
        for (const std::string& fault : game.faults) {
            record.faults.push_back("deal " + std::to_string(index) + ", " + which + " of seat " +
                                    std::to_string(seat) + ": " + fault);
        }
        if (game.slowest.ms > record.slowest.ms) record.slowest = game.slowest;
    };
    for (int seat = 0; seat < 4; ++seat) {
        std::array<ComputerLevel, 4> levels = control;
        levels[static_cast<std::size_t>(seat)] = options.tested;
        const std::uint32_t seed = gameSeed(options.seed, index, seat);
        const GameResult tested = playGame(deal, levels, seed, options.budget, index);
        const GameResult controlGame = playGame(deal, control, seed, options.budget, index);
        note(tested, seat, "tested game");
        note(controlGame, seat, "control game");
        SeatRecord& seatRecord = record.seats[static_cast<std::size_t>(seat)];
        seatRecord.role = roles[static_cast<std::size_t>(seat)];
        seatRecord.tested = tested.scores[static_cast<std::size_t>(seat)];
        seatRecord.control = controlGame.scores[static_cast<std::size_t>(seat)];
    }
    return record;
}

// Means over seats; the interval from the spread of per-deal means, since
// the four seats of one deal share its cards.
template <typename Value>
PairedFigure pairedFigure(const std::vector<DealRecord>& records, int role, Value value) {
    PairedFigure figure;
    double testedSum = 0;
    double controlSum = 0;
    int seats = 0;
    std::vector<double> perDeal;
    for (const DealRecord& record : records) {
        double difference = 0;
        int here = 0;
        for (const SeatRecord& seat : record.seats) {
            if (role >= 0 && static_cast<int>(seat.role) != role) continue;
            testedSum += value(seat.tested);
            controlSum += value(seat.control);
            difference += value(seat.tested) - value(seat.control);
            ++here;
        }
        if (here == 0) continue;
        seats += here;
        perDeal.push_back(difference / here);
    }
    if (seats == 0) return figure;
    figure.tested = testedSum / seats;
    figure.control = controlSum / seats;
    double mean = 0;
    for (const double each : perDeal) mean += each;
    mean /= static_cast<double>(perDeal.size());
    double squares = 0;
    for (const double each : perDeal) squares += (each - mean) * (each - mean);
    const double n = static_cast<double>(perDeal.size());
    const double half = n > 1 ? kZ95 * std::sqrt(squares / (n - 1) / n) : 0;
    figure.difference = mean;
    figure.low = mean - half;
    figure.high = mean + half;
    return figure;
}

double won(std::int32_t score) {
    return score > 0 ? 1.0 : 0.0;
}
double scored(std::int32_t score) {
    return score;
}

std::string formatted(const char* format, auto... values) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

std::string figureColumns(const PairedFigure& figure, const char* number,
                          const char* signedNumber) {
    const std::string pattern = std::string(number) + " " + number + " " + signedNumber + " [" +
                                signedNumber + ", " + signedNumber + "]";
    return formatted(pattern.c_str(), figure.tested, figure.control, figure.difference, figure.low,
                     figure.high);
}

}  // namespace

std::vector<std::array<CardList, 4>> ArenaDeals(std::uint32_t seed, int count) {
    std::mt19937 rng(seed);
    std::vector<std::array<CardList, 4>> deals;
    for (int i = 0; i < count; ++i) deals.push_back(ShuffleDeal(rng, 1));
    return deals;
}

ArenaReport RunArena(const ArenaOptions& options) {
    const Clock::time_point start = Clock::now();
    const int count = std::max(0, options.deals);
    const std::vector<std::array<CardList, 4>> deals = ArenaDeals(options.seed, count);
    std::vector<DealRecord> records(static_cast<std::size_t>(count));
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int index = next++; index < count; index = next++) {
            records[static_cast<std::size_t>(index)] =
                playDeal(options, deals[static_cast<std::size_t>(index)], index);
        }
    };
    std::vector<std::thread> workers;
    for (int thread = 1; thread < std::clamp(options.threads, 1, 64); ++thread)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers) worker.join();

    ArenaReport report;
    report.deals = count;
    report.rounds = count * 8;
    report.winRate = pairedFigure(records, -1, won);
    report.score = pairedFigure(records, -1, scored);
    for (int role = 0; role < kArenaRoles; ++role) {
        RoleFigures& figures = report.roles[static_cast<std::size_t>(role)];
        for (const DealRecord& record : records) {
            for (const SeatRecord& seat : record.seats)
                figures.seats += static_cast<int>(seat.role) == role;
        }
        figures.winRate = pairedFigure(records, role, won);
        figures.score = pairedFigure(records, role, scored);
    }
    for (const DealRecord& record : records) {
        report.faults.insert(report.faults.end(), record.faults.begin(), record.faults.end());
        if (record.slowest.ms > report.slowest.ms) report.slowest = record.slowest;
    }
    report.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return report;
}

std::string FormatArenaReport(const ArenaReport& report, const ArenaOptions& options) {
    std::string text = formatted(
        "%s against three %s: %d deals x 4 seats, seed %u, %d thread%s; "
        "%d rounds in %.1f s\n\n",
        ComputerLevelName(options.tested).data(), ComputerLevelName(options.opponent).data(),
        report.deals, options.seed, options.threads, options.threads == 1 ? "" : "s", report.rounds,
        report.seconds);
    text +=
        "                    seats | win rate: tested control  difference [95 % CI]   "
        "| score a round: tested control difference [95 % CI]\n";
    const auto row = [&](const char* name, int seats, const PairedFigure& win,
                         const PairedFigure& score) {
        text += formatted("%-18s %6d |           ", name, seats);
        text += figureColumns(win, "%6.3f ", "%+.3f");
        text += " |                ";
        text += figureColumns(score, "%+6.2f", "%+.2f");
        text += "\n";
    };
    row("all", report.deals * 4, report.winRate, report.score);
    static constexpr const char* kRoleNames[] = {"lone red", "red pair", "black vs lone red",
                                                 "black pair"};
    for (int role = 0; role < kArenaRoles; ++role) {
        const RoleFigures& figures = report.roles[static_cast<std::size_t>(role)];
        row(kRoleNames[role], figures.seats, figures.winRate, figures.score);
    }
    text += formatted("\nslowest move: %.1f ms (%s, deal %d, chair %d, state %d)\n",
                      report.slowest.ms, ComputerLevelName(report.slowest.level).data(),
                      report.slowest.deal, report.slowest.seat, report.slowest.state);
    if (report.faults.empty()) {
        text += formatted("rules: every move of %d rounds checked, no fault\n", report.rounds);
    } else {
        text += formatted("rules: %zu FAULTS\n", report.faults.size());
        for (std::size_t i = 0; i < report.faults.size() && i < 20; ++i) {
            text += "  " + report.faults[i] + "\n";
        }
    }
    return text;
}

}  // namespace krvo::server
