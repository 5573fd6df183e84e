#include "server/deals.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "server/rules_round.h"

namespace krvo::server {
namespace {

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '\r';
}

// One hand line; false on anything that is not a code 0-255.
bool parseHand(std::string_view line, CardList& hand) {
    std::size_t i = 0;
    while (i < line.size()) {
        if (isSeparator(line[i])) {
            ++i;
            continue;
        }
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(line.data() + i, line.data() + line.size(), value);
        if (ec != std::errc{} || value > 255) return false;
        const auto used = static_cast<std::size_t>(end - (line.data() + i));
        if (used == 0) return false;
        hand.push_back(static_cast<std::uint8_t>(value));
        i += used;
    }
    return true;
}

std::string_view withoutComment(std::string_view line) {
    const std::size_t hash = line.find('#');
    return hash == std::string_view::npos ? line : line.substr(0, hash);
}

bool isBlank(std::string_view line) {
    return line.find_first_not_of(" \t\r,") == std::string_view::npos;
}

}  // namespace

bool ParseDeals(std::string_view text, std::uint8_t decks, std::vector<FixedDeal>& deals,
                std::string& error) {
    std::vector<FixedDeal> parsed;
    FixedDeal current;
    std::size_t handsInRound = 0;
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = withoutComment(text.substr(start, end - start));
        start = end + 1;
        ++lineNumber;
        if (isBlank(line)) continue;
        CardList hand;
        if (!parseHand(line, hand)) {
            error = "line " + std::to_string(lineNumber) + ": not a list of card codes";
            return false;
        }
        current[handsInRound++] = std::move(hand);
        if (handsInRound < kChairs) continue;
        if (!IsValidDeal(current, decks)) {
            error = "line " + std::to_string(lineNumber) + ": the four hands are not a deal";
            return false;
        }
        parsed.push_back(std::move(current));
        current = {};
        handsInRound = 0;
    }
    if (handsInRound != 0) {
        error = "the last round has fewer than four hands";
        return false;
    }
    deals.insert(deals.end(), parsed.begin(), parsed.end());
    return true;
}

bool LoadDealsFile(const std::string& path, std::uint8_t decks, std::vector<FixedDeal>& deals,
                   std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return ParseDeals(text.str(), decks, deals, error);
}

}  // namespace krvo::server
