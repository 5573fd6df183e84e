#include "core/hint.h"

#include <algorithm>
#include <vector>

#include "core/cards.h"
#include "core/patterns.h"

namespace krvo {

namespace {

// Appends candidates, giving the red aces back their own codes (the search
// runs on plain aces). Only as many plain aces turn red as the hand holds red
// aces of that suit: a malformed hand may also hold the plain codes, and a
// candidate must stay made of cards in the hand. A candidate that does not fit
// is left out whole: a shortened play would be no play at all.
class TipWriter {
public:
    TipWriter(TipList& tips, std::span<const std::uint8_t> hand)
        : tips_(tips),
          redAces_{static_cast<std::size_t>(std::count(hand.begin(), hand.end(), kRedAceSuit0)),
                   static_cast<std::size_t>(std::count(hand.begin(), hand.end(), kRedAceSuit3))} {}

    bool full() const { return tips_.lngTipCount >= static_cast<std::int32_t>(kMaxTipPai); }

    void add(std::span<const std::uint8_t> cards) {
        if (full() || cards.empty() || cards.size() > kMaxTipPaiCards) return;
        TipPai& tip = tips_.udtTipPai[static_cast<std::size_t>(tips_.lngTipCount)];
        std::array<std::size_t, 2> restored{};
        std::transform(cards.begin(), cards.end(), tip.btePai.begin(),
                       [&](std::uint8_t card) { return restoreRedAce(card, restored); });
        tip.lngCount = static_cast<std::int32_t>(cards.size());
        ++tips_.lngTipCount;
    }

private:
    std::uint8_t restoreRedAce(std::uint8_t card, std::array<std::size_t, 2>& restored) const {
        if (card == kPlainAceSuit0 && restored[0] < redAces_[0]) {
            ++restored[0];
            return kRedAceSuit0;
        }
        if (card == kPlainAceSuit3 && restored[1] < redAces_[1]) {
            ++restored[1];
            return kRedAceSuit3;
        }
        return card;
    }

    TipList& tips_;
    std::array<std::size_t, 2> redAces_;  // held: 63, 76
};

bool isAbove(std::uint8_t card, std::uint8_t topCard) {
    return IsPaiSmaller(topCard, card);
}

std::span<const std::uint8_t> firstCards(const PaiGroup& group, std::size_t n) {
    return std::span(group.btePai).first(n);
}

void addFours(TipWriter& out, const std::vector<PaiGroup>& groups, const std::uint8_t* above) {
    for (const PaiGroup& group : groups) {
        if (group.bteCount() != 4) continue;
        if (above != nullptr && !isAbove(group.first(), *above)) continue;
        out.add(group.btePai);
    }
}

void addTriples(TipWriter& out, const std::vector<PaiGroup>& groups, const std::uint8_t* above) {
    for (const PaiGroup& group : groups) {
        if (group.bteCount() < 3) continue;
        if (above != nullptr && !isAbove(group.first(), *above)) continue;
        out.add(firstCards(group, 3));
    }
}

// Cards of exactly-sized groups above the top card: singles take one card of
// a pair or a single, pairs take the whole pair.
void addFromGroupsOf(TipWriter& out, const std::vector<PaiGroup>& groups, std::size_t groupSize,
                     std::size_t take, std::uint8_t topCard) {
    for (const PaiGroup& group : groups) {
        if (group.bteCount() == groupSize && isAbove(group.first(), topCard)) {
            out.add(firstCards(group, take));
        }
    }
}

// Runs of runLength consecutive ranks in heads (one card per rank, highest
// first), calling addRun(start) for each, highest first. The first start whose
// opening step is not above the top card ends the search: the lower ones
// cannot be above it either.
template <typename AddRun>
void forEachRun(std::span<const std::uint8_t> heads, std::size_t runLength, std::uint8_t topCard,
                AddRun addRun) {
    if (heads.empty() || !isAbove(heads[0], topCard)) return;
    for (std::size_t s = 0; s < heads.size(); ++s) {
        for (std::size_t k = s + 1; k < heads.size(); ++k) {
            if (PaiRank(heads[k - 1]) != PaiRank(heads[k]) + 1) break;
            if (k == s + 1 && !isAbove(heads[s], topCard)) return;
            if (k - s + 1 == runLength) {
                addRun(s);
                break;
            }
        }
    }
}

void addStraights(TipWriter& out, const std::vector<PaiGroup>& groups, std::size_t length,
                  std::uint8_t topCard) {
    if (groups.size() < length) return;
    CardList heads;
    for (const PaiGroup& group : groups) heads.push_back(group.first());
    SortPaiByRank(heads);
    forEachRun(heads, length, topCard,
               [&](std::size_t s) { out.add(std::span(heads).subspan(s, length)); });
}

void addDoubleStraights(TipWriter& out, const std::vector<PaiGroup>& groups, std::size_t length,
                        std::uint8_t topCard) {
    // An odd count cannot be made of pairs; only a malformed report gives one.
    if (length % 2 != 0) return;
    const std::size_t pairs = length / 2;
    if (groups.size() < pairs) return;
    CardList firsts;
    CardList seconds;
    for (const PaiGroup& group : groups) {
        if (group.bteCount() < 2) continue;
        firsts.push_back(group.btePai[0]);
        seconds.push_back(group.btePai[1]);
    }
    SortPaiByRank(firsts);
    SortPaiByRank(seconds);
    forEachRun(firsts, pairs, topCard, [&](std::size_t s) {
        CardList run;
        for (std::size_t k = s; k < s + pairs; ++k) run.insert(run.end(), {firsts[k], seconds[k]});
        out.add(run);
    });
}

// The red aces held: the first two cards of a hand sorted by rank, when both
// are special. They are listed in code order, so one of each gives (63, 76).
void addRedAcePair(TipWriter& out, std::span<const std::uint8_t> sortedHand) {
    if (sortedHand.size() < 2 || !IsSpecialPai(sortedHand[0]) || !IsSpecialPai(sortedHand[1])) {
        return;
    }
    const std::uint8_t pair[2] = {std::min(sortedHand[0], sortedHand[1]),
                                  std::max(sortedHand[0], sortedHand[1])};
    out.add(pair);
}

void addByType(TipWriter& out, const std::vector<PaiGroup>& groups, std::uint8_t type,
               std::uint8_t count, std::uint8_t topCard) {
    if (type == kPaiBombFour) return addFours(out, groups, &topCard);
    addFours(out, groups, nullptr);
    if (type == kPaiBombThree) return addTriples(out, groups, &topCard);
    if (type == kPaiDoubleStraight) return addDoubleStraights(out, groups, count, topCard);
    addTriples(out, groups, nullptr);
    if (type == kPaiSingle) {
        addFromGroupsOf(out, groups, 2, 1, topCard);
        addFromGroupsOf(out, groups, 1, 1, topCard);
    } else if (type == kPaiPair) {
        addFromGroupsOf(out, groups, 2, 2, topCard);
    } else if (type == kPaiStraight) {
        addStraights(out, groups, count, topCard);
    }
}

}  // namespace

bool FindTipPai(TipList& tips, std::span<const std::uint8_t> hand, std::uint8_t topType,
                std::uint8_t topCount, std::uint8_t topCard) {
    tips.lngTipCount = 0;
    tips.lngTipIndex = 0;
    // Nothing beats the red aces, and an unknown type offers nothing to match.
    if (topType >= kPaiRedAcePair) return false;
    // A hand shorter than the top play is still searched: its bombs and red
    // aces beat a longer play.
    CardList work(hand.begin(), hand.end());
    SortPaiByRank(work);
    TipWriter out(tips, hand);
    addRedAcePair(out, work);
    for (std::uint8_t& card : work) {
        if (card == kRedAceSuit0) card = kPlainAceSuit0;
        if (card == kRedAceSuit3) card = kPlainAceSuit3;
    }
    SortPaiByGroup(work);
    addByType(out, GroupPai(work), topType, topCount, topCard);
    tips.lngTipIndex = tips.lngTipCount;
    return tips.lngTipCount > 0;
}

}  // namespace krvo
