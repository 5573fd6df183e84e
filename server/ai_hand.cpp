#include "server/ai_hand.h"

#include <algorithm>

namespace krvo::server::ai {
namespace {

constexpr std::uint8_t kAceRank = kRankAce;
constexpr int kMinRun = 3;

// Cards of a rank the move may use: a held pair of red aces counts as two
// more aces for any play but the red-ace pair itself.
int available(const Hand& hand, int rank) {
    return hand.n[static_cast<std::size_t>(rank)] + (rank == kAceRank ? 2 * hand.redPairs : 0);
}

int perRank(const Move& move) {
    switch (move.type) {
        case kPaiPair:
        case kPaiDoubleStraight:
            return 2;
        case kPaiBombThree:
            return 3;
        case kPaiBombFour:
            return 4;
        default:
            return 1;
    }
}

int lowestRank(const Move& move) {
    return move.top - move.len + 1;
}

void AddGroup(Plan& plan, const Move& move) {
    if (plan.count < plan.groups.size()) plan.groups[plan.count++] = move;
}

// Plans the counts left after the bombs: runs of pairs, runs, then the rest.
class Planner {
public:
    Planner(std::array<int, kRanks> counts, Plan& plan) : c_(counts), plan_(plan) {}

    void run() {
        takeRuns(kPaiDoubleStraight, 2);
        for (int pass = 0; pass < 3 && takeRuns(kPaiStraight, 1); ++pass) {
        }
        for (int rank = 0; rank < kRanks; ++rank) {
            // Bombs are gone, so at most a pair is left of a rank.
            const int left = c_[static_cast<std::size_t>(rank)];
            if (left >= 2) AddGroup(plan_, {kPaiPair, static_cast<std::uint8_t>(rank), 1});
            if (left == 1) AddGroup(plan_, {kPaiSingle, static_cast<std::uint8_t>(rank), 1});
        }
    }

private:
    // Maximal runs of ranks holding at least `need` cards; a run of singles
    // drops pairs at its ends, which stay whole as pairs.
    bool takeRuns(std::uint8_t type, int need) {
        bool took = false;
        int rank = 0;
        while (rank < kRanks) {
            if (c_[static_cast<std::size_t>(rank)] < need) {
                ++rank;
                continue;
            }
            int end = rank;
            while (end + 1 < kRanks && c_[static_cast<std::size_t>(end + 1)] >= need) ++end;
            int low = rank;
            int high = end;
            if (need == 1) {
                while (high - low + 1 > kMinRun && c_[static_cast<std::size_t>(low)] == 2) ++low;
                while (high - low + 1 > kMinRun && c_[static_cast<std::size_t>(high)] == 2) --high;
            }
            if (high - low + 1 >= kMinRun) {
                for (int r = low; r <= high; ++r) c_[static_cast<std::size_t>(r)] -= need;
                AddGroup(plan_, {type, static_cast<std::uint8_t>(high),
                                 static_cast<std::uint8_t>(high - low + 1)});
                took = true;
            }
            rank = end + 1;
        }
        return took;
    }

    std::array<int, kRanks> c_;
    Plan& plan_;
};

}  // namespace

int Move::cards() const {
    switch (type) {
        case kPaiNone:
            return 0;
        case kPaiRedAcePair:
            return 2;
        default:
            return perRank(*this) * len;
    }
}

Hand HandOf(std::span<const std::uint8_t> cards) {
    Hand hand;
    int redHearts = 0;
    int redOther = 0;
    for (const std::uint8_t card : cards) {
        if (card == kRedAceSuit0) {
            ++redHearts;
        } else if (card == kRedAceSuit3) {
            ++redOther;
        } else {
            const std::uint8_t rank = PaiRank(card);
            if (rank < kRanks) ++hand.n[rank];
        }
    }
    const int pairs = std::min(redHearts, redOther);
    hand.redPairs = static_cast<std::uint8_t>(pairs);
    hand.n[kAceRank] =
        static_cast<std::uint8_t>(hand.n[kAceRank] + redHearts + redOther - 2 * pairs);
    hand.size = static_cast<std::uint8_t>(std::min<std::size_t>(cards.size(), 255));
    return hand;
}

Move MoveOf(const OutPaiInfo& top) {
    Move move{top.btePaiType, static_cast<std::uint8_t>(PaiRank(top.bteMaxPai) % kRanks), 1};
    if (top.btePaiType == kPaiStraight) move.len = top.btePaiCount;
    if (top.btePaiType == kPaiDoubleStraight)
        move.len = static_cast<std::uint8_t>(top.btePaiCount / 2);
    return move;
}

bool Beats(const Move& mine, const Move& top) {
    if (mine.isPass() || top.type == kPaiRedAcePair) return false;
    if (mine.type == kPaiRedAcePair) return true;
    if (mine.type == kPaiBombFour) {
        return top.type < kPaiBombFour || (top.type == kPaiBombFour && mine.top > top.top);
    }
    if (mine.type == kPaiBombThree) {
        if (top.type < kPaiDoubleStraight) return true;
        return top.type == kPaiBombThree && mine.top > top.top;
    }
    return mine.type == top.type && mine.len == top.len && mine.top > top.top;
}

bool Holds(const Hand& hand, const Move& move) {
    if (move.isPass()) return true;
    if (move.type == kPaiRedAcePair) return hand.redPairs > 0;
    const int need = perRank(move);
    for (int rank = lowestRank(move); rank <= move.top; ++rank) {
        if (rank < 0 || rank >= kRanks || available(hand, rank) < need) return false;
    }
    return true;
}

void Take(Hand& hand, const Move& move) {
    if (move.isPass()) return;
    if (move.type == kPaiRedAcePair) {
        if (hand.redPairs > 0) --hand.redPairs;
    } else {
        const int need = perRank(move);
        for (int rank = std::max(0, lowestRank(move)); rank <= move.top && rank < kRanks; ++rank) {
            auto& count = hand.n[static_cast<std::size_t>(rank)];
            while (count < need && rank == kAceRank && hand.redPairs > 0) {
                --hand.redPairs;
                count = static_cast<std::uint8_t>(count + 2);
            }
            count = static_cast<std::uint8_t>(count - std::min<int>(count, need));
        }
    }
    hand.size = static_cast<std::uint8_t>(hand.size - std::min<int>(hand.size, move.cards()));
}

bool IsOnePlay(const Hand& hand, Move& play) {
    if (hand.size == 0) return false;
    if (hand.redPairs == 1 && hand.size == 2) {
        play = {kPaiRedAcePair, kAceRank, 1};
        return true;
    }
    int low = -1;
    int high = -1;
    for (int rank = 0; rank < kRanks; ++rank) {
        if (available(hand, rank) == 0) continue;
        if (low < 0) low = rank;
        high = rank;
    }
    const int width = high - low + 1;
    const int first = available(hand, low);
    for (int rank = low; rank <= high; ++rank) {
        if (available(hand, rank) != first) return false;
    }
    const auto top = static_cast<std::uint8_t>(high);
    if (width == 1) {
        constexpr std::uint8_t kBySize[] = {kPaiNone, kPaiSingle, kPaiPair, kPaiBombThree,
                                            kPaiBombFour};
        if (first > 4) return false;
        play = {kBySize[first], top, 1};
        return true;
    }
    if (width < kMinRun || first > 2) return false;
    play = {first == 1 ? kPaiStraight : kPaiDoubleStraight, top, static_cast<std::uint8_t>(width)};
    return true;
}

void LegalMoves(const Hand& hand, const Move* top, std::vector<Move>& out) {
    out.clear();
    const auto offer = [&](const Move& move) {
        if (top == nullptr || Beats(move, *top)) out.push_back(move);
    };
    for (int rank = 0; rank < kRanks; ++rank) {
        const int count = hand.n[static_cast<std::size_t>(rank)];
        const auto r = static_cast<std::uint8_t>(rank);
        if (count >= 1) offer({kPaiSingle, r, 1});
        if (count >= 2) offer({kPaiPair, r, 1});
        if (count >= 3) offer({kPaiBombThree, r, 1});
        if (count >= 4) offer({kPaiBombFour, r, 1});
    }
    for (const auto& [type, need] :
         {std::pair{kPaiStraight, 1}, std::pair{kPaiDoubleStraight, 2}}) {
        if (top != nullptr && top->type != type && top->type != kPaiNone) continue;
        for (int low = 0; low + kMinRun <= kRanks; ++low) {
            for (int high = low; high < kRanks && hand.n[static_cast<std::size_t>(high)] >= need;
                 ++high) {
                if (high - low + 1 < kMinRun) continue;
                offer({static_cast<std::uint8_t>(type), static_cast<std::uint8_t>(high),
                       static_cast<std::uint8_t>(high - low + 1)});
            }
        }
    }
    if (hand.redPairs > 0) offer({kPaiRedAcePair, kAceRank, 1});
}

CardList CardsFor(std::span<const std::uint8_t> hand, const Move& move) {
    if (move.isPass()) return {};
    if (move.type == kPaiRedAcePair) return {kRedAceSuit0, kRedAceSuit3};
    std::array<CardList, kRanks> byRank;
    CardList redAces;
    for (const std::uint8_t card : hand) {
        if (card == kRedAceSuit0 || card == kRedAceSuit3) {
            redAces.push_back(card);
        } else if (PaiRank(card) < kRanks) {
            byRank[PaiRank(card)].push_back(card);
        }
    }
    // A red ace without its partner goes before the pair is broken up.
    std::sort(redAces.begin(), redAces.end());
    const auto hearts = std::count(redAces.begin(), redAces.end(), kRedAceSuit0);
    const auto other = static_cast<std::ptrdiff_t>(redAces.size()) - hearts;
    const auto pairs = std::min(hearts, other);
    CardList& aces = byRank[kAceRank];
    for (std::ptrdiff_t i = pairs; i < hearts; ++i) aces.push_back(kRedAceSuit0);
    for (std::ptrdiff_t i = pairs; i < other; ++i) aces.push_back(kRedAceSuit3);
    for (std::ptrdiff_t i = 0; i < pairs; ++i)
        aces.insert(aces.end(), {kRedAceSuit0, kRedAceSuit3});
    CardList cards;
    const int need = perRank(move);
    for (int rank = std::max(0, lowestRank(move)); rank <= move.top && rank < kRanks; ++rank) {
        const CardList& pool = byRank[static_cast<std::size_t>(rank)];
        if (static_cast<int>(pool.size()) < need) return {};
        cards.insert(cards.end(), pool.begin(), pool.begin() + need);
    }
    return cards;
}

int Plan::bombs() const {
    return static_cast<int>(std::count_if(groups.begin(), groups.begin() + count,
                                          [](const Move& move) { return move.isBomb(); }));
}

Plan PlanHand(const Hand& hand) {
    Plan plan;
    std::array<int, kRanks> counts{};
    for (int rank = 0; rank < kRanks; ++rank) {
        int left = hand.n[static_cast<std::size_t>(rank)];
        const auto r = static_cast<std::uint8_t>(rank);
        for (; left >= 4; left -= 4) AddGroup(plan, {kPaiBombFour, r, 1});
        if (left == 3) {
            AddGroup(plan, {kPaiBombThree, r, 1});
            left = 0;
        }
        counts[static_cast<std::size_t>(rank)] = left;
    }
    for (int pair = 0; pair < hand.redPairs; ++pair) AddGroup(plan, {kPaiRedAcePair, kAceRank, 1});
    Planner(counts, plan).run();
    std::sort(plan.groups.begin(), plan.groups.begin() + plan.count,
              [](const Move& a, const Move& b) { return a.top < b.top; });
    return plan;
}

}  // namespace krvo::server::ai
