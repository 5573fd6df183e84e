// krvo-arena: one level of computer player against three of another over
// fixed deals, with the paired control and a referee on every move. Exits 1
// when the referee found a rules fault, 2 on a bad command line.

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "server/arena.h"

namespace {

using krvo::server::ArenaOptions;
using krvo::server::ComputerLevel;

constexpr const char* kUsage =
    "usage: krvo-arena [options]\n"
    "  --deals N       fixed deals to play, each 4 x tested and 4 x control (default 2000)\n"
    "  --seed N        seed of the deals and of every game (default 1)\n"
    "  --tested LEVEL  the player under test: easy, normal or hard (default hard)\n"
    "  --opponent LEVEL  the three others and the control (default easy)\n"
    "  --threads N     deals played at once (default 1)\n"
    "  --samples N     hard: sampled deals per play (default 120)\n"
    "  --playouts N    hard: rounds played out per play (default 1000)\n"
    "  --declaration-samples N  hard: rounds played out per declaration (default 160)\n";

bool readNumber(std::string_view text, long low, long high, long& out) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < low || value > high) {
        return false;
    }
    out = value;
    return true;
}

bool readOption(std::string_view name, std::string_view value, ArenaOptions& options) {
    long number = 0;
    if (name == "--tested" || name == "--opponent") {
        const auto level = krvo::server::ParseComputerLevel(value);
        if (!level) return false;
        (name == "--tested" ? options.tested : options.opponent) = *level;
        return true;
    }
    if (name == "--deals" && readNumber(value, 1, 1000000, number)) {
        options.deals = static_cast<int>(number);
    } else if (name == "--seed" && readNumber(value, 0, 4294967295L, number)) {
        options.seed = static_cast<std::uint32_t>(number);
    } else if (name == "--threads" && readNumber(value, 1, 64, number)) {
        options.threads = static_cast<int>(number);
    } else if (name == "--samples" && readNumber(value, 1, 100000, number)) {
        options.budget.samples = static_cast<int>(number);
    } else if (name == "--playouts" && readNumber(value, 1, 1000000, number)) {
        options.budget.playouts = static_cast<int>(number);
    } else if (name == "--declaration-samples" && readNumber(value, 1, 100000, number)) {
        options.budget.declarationSamples = static_cast<int>(number);
    } else {
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    ArenaOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name == "--help" || name == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (i + 1 >= argc || !readOption(name, argv[i + 1], options)) {
            std::fprintf(stderr, "krvo-arena: bad option %s\n%s", argv[i], kUsage);
            return 2;
        }
        ++i;
    }
    const krvo::server::ArenaReport report = krvo::server::RunArena(options);
    std::fputs(krvo::server::FormatArenaReport(report, options).c_str(), stdout);
    return report.faults.empty() ? 0 : 1;
}
