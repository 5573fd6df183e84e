#pragma once
// The arena: a level of computer player against three of another, over many
// fixed deals, on the engine with virtual time (no sockets, no waiting).
// Each deal is played once per seat with the tested player in that seat, and
// once per seat with the opponents' player there instead as the control, so
// that every figure is a paired difference on the same cards. Every packet
// goes through the arena's referee.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "server/computer_brain.h"

namespace krvo::server {

struct ArenaOptions {
    int deals = 2000;
    std::uint32_t seed = 1;
    ComputerLevel tested = ComputerLevel::Hard;
    ComputerLevel opponent = ComputerLevel::Easy;
    int threads = 1;
    ai::SearchBudget budget;
};

// The seat's side, from the deal: one chair holding both red aces against
// three, or two against two.
enum class ArenaRole : std::uint8_t { LoneRed, RedPair, BlackAgainstLone, BlackPair };
inline constexpr int kArenaRoles = 4;

// A mean of the tested player, the control's, and their paired difference
// with its 95 % confidence interval (deals are the independent units).
struct PairedFigure {
    double tested = 0;
    double control = 0;
    double difference = 0;
    double low = 0;
    double high = 0;
};

struct RoleFigures {
    int seats = 0;  // rounds the tested player played in this role
    PairedFigure winRate;
    PairedFigure score;
};

struct SlowestMove {
    double ms = 0;
    ComputerLevel level = ComputerLevel::Easy;
    int deal = 0;
    int seat = 0;
    std::uint8_t state = 0;
};

struct ArenaReport {
    int deals = 0;
    int rounds = 0;  // rounds played, the controls' included
    PairedFigure winRate;
    PairedFigure score;
    std::array<RoleFigures, kArenaRoles> roles;
    SlowestMove slowest;
    double seconds = 0;
    std::vector<std::string> faults;  // rule faults, with the deal and seat
};

// The deals the arena plays for a seed; the same seed always gives the same.
std::vector<std::array<CardList, 4>> ArenaDeals(std::uint32_t seed, int count);
ArenaReport RunArena(const ArenaOptions& options);
// The report as the krvo-arena program prints it.
std::string FormatArenaReport(const ArenaReport& report, const ArenaOptions& options);

}  // namespace krvo::server
