#include "server/computer_player.h"

#include <algorithm>

#include "core/hint.h"
#include "server/rules_round.h"

namespace krvo::server {
namespace {

// Out of a hundred; the follow-up steps (跟) are taken a little more often,
// so every step shows up now and then on a table of computers.
unsigned acceptChance(std::uint8_t state) {
    switch (state) {
        case kRoundShowRedAces:
        case kRoundZhi:
            return 25;
        case kRoundFollowShow:
        case kRoundFollowJue:
        case kRoundFollowZhi:
            return 35;
        case kRoundSurrender:
            return 20;
        default:
            return 15;
    }
}

bool isBomb(std::uint8_t type) {
    return type == kPaiBombThree || type == kPaiBombFour || type == kPaiRedAcePair;
}

}  // namespace

bool ComputerAccepts(std::uint8_t state, std::mt19937& rng) {
    return rng() % 100 < acceptChance(state);
}

CardList ComputerLead(const CardList& hand) {
    if (hand.empty()) return {};
    CardList sorted = hand;
    SortPaiByRank(sorted);
    const std::vector<PaiGroup> groups = GroupPai(sorted);
    // Groups run from the strongest down; the last small one is the cheapest.
    const auto small = std::find_if(groups.rbegin(), groups.rend(),
                                    [](const PaiGroup& group) { return group.bteCount() <= 2; });
    CardList lead = small != groups.rend() ? small->btePai : groups.back().btePai;
    if (lead.size() > 4) lead.resize(4);
    if (CheckLeadPai(lead).ok) return lead;
    return AutomaticLead(hand);
}

CardList ComputerFollow(const CardList& hand, const OutPaiInfo& top) {
    TipList tips;
    if (!FindTipPai(tips, hand, top.btePaiType, top.btePaiCount, top.bteMaxPai)) return {};
    // The list runs from the strongest means to the cheapest play.
    for (std::int32_t index = tips.lngTipCount; index >= 1; --index) {
        const auto cards = tips.udtTipPai[static_cast<std::size_t>(index - 1)].cards();
        const PlayCheck check = CheckFollowPai(cards, top);
        if (!check.ok) continue;
        if (isBomb(check.btePaiType) && cards.size() != hand.size()) continue;
        return CardList(cards.begin(), cards.end());
    }
    return {};
}

CardList AutomaticLead(const CardList& hand) {
    if (hand.empty()) return {};
    CardList sorted = hand;
    SortPaiByRank(sorted);
    return {sorted.back()};
}

}  // namespace krvo::server
