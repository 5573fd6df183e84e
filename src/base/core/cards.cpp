#include "core/cards.h"

#include <algorithm>
#include <utility>

namespace krvo {

bool IsPaiSmaller(std::uint8_t a, std::uint8_t b) {
    if (IsSpecialPai(a)) return false;
    if (IsSpecialPai(b)) return true;
    return PaiRank(a) < PaiRank(b);
}

bool IsPaiSameRank(std::uint8_t a, std::uint8_t b) {
    if (IsSpecialPai(a) || IsSpecialPai(b)) return IsSpecialPai(a) && IsSpecialPai(b);
    return PaiRank(a) == PaiRank(b);
}

void SortPaiByRank(std::span<std::uint8_t> cards) {
    for (std::size_t j = 0; j + 1 < cards.size(); ++j) {
        for (std::size_t i = j + 1; i < cards.size(); ++i) {
            if (IsPaiSmaller(cards[j], cards[i])) std::swap(cards[j], cards[i]);
        }
    }
}

std::vector<PaiGroup> GroupPai(std::span<const std::uint8_t> sortedCards) {
    std::vector<PaiGroup> groups;
    for (const std::uint8_t card : sortedCards) {
        if (groups.empty() || !IsPaiSameRank(card, groups.back().first())) {
            groups.push_back(PaiGroup{CardList{card}});
        } else {
            groups.back().btePai.push_back(card);
        }
    }
    return groups;
}

namespace {

bool groupGoesBefore(const PaiGroup& later, const PaiGroup& earlier) {
    if (earlier.bteCount() != later.bteCount()) return earlier.bteCount() < later.bteCount();
    return IsPaiSmaller(earlier.first(), later.first());
}

}  // namespace

void SortPaiByGroup(std::span<std::uint8_t> cards) {
    SortPaiByRank(cards);
    std::vector<PaiGroup> groups = GroupPai(cards);
    if (groups.empty()) return;
    const std::uint8_t lead = groups.front().first();
    const std::size_t start = (lead == kRedAceSuit0 || lead == kRedAceSuit3) ? 1 : 0;
    for (std::size_t j = start; j + 1 < groups.size(); ++j) {
        for (std::size_t i = j + 1; i < groups.size(); ++i) {
            if (groupGoesBefore(groups[i], groups[j])) std::swap(groups[j], groups[i]);
        }
    }
    auto out = cards.begin();
    for (const PaiGroup& group : groups)
        out = std::copy(group.btePai.begin(), group.btePai.end(), out);
}

void RemovePai(CardList& cards, std::span<const std::uint8_t> toRemove) {
    // A copy, so that removing a hand's own cards from itself is safe.
    const CardList wanted(toRemove.begin(), toRemove.end());
    for (const std::uint8_t card : wanted) {
        const auto found = std::find(cards.begin(), cards.end(), card);
        if (found != cards.end()) cards.erase(found);
    }
}

}  // namespace krvo
