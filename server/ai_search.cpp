#include "server/ai_search.h"

#include <algorithm>
#include <vector>

namespace krvo::server::ai {
namespace {

constexpr int kSampleAttempts = 24;
constexpr int kMaxSteps = 600;

int redAcesIn(std::span<const std::uint8_t> cards) {
    return static_cast<int>(std::count_if(cards.begin(), cards.end(), IsRedAce));
}

std::uint8_t kindBit(std::uint8_t redAce) {
    return redAce == kRedAceSuit0 ? 1 : 2;
}

// The cards nobody but their holders has seen: the decks less the own hand
// and every card played.
CardList unseenCards(const SeatView& view) {
    std::array<int, 256> count{};
    for (int deck = 0; deck < view.decks; ++deck) {
        for (int suit = 0; suit < 4; ++suit) {
            for (int rank = 0; rank < kRanks; ++rank) {
                auto code = static_cast<std::uint8_t>(kRanksPerSuit * suit + rank);
                if (code == kPlainAceSuit0) code = kRedAceSuit0;
                if (code == kPlainAceSuit3) code = kRedAceSuit3;
                ++count[code];
            }
        }
    }
    for (const std::uint8_t card : view.hand) --count[card];
    for (const ChairView& chair : view.chairs) {
        for (const std::uint8_t card : chair.played) --count[card];
    }
    CardList unseen;
    for (int code = 0; code < 256; ++code) {
        for (int copy = 0; copy < count[static_cast<std::size_t>(code)]; ++copy) {
            unseen.push_back(static_cast<std::uint8_t>(code));
        }
    }
    return unseen;
}

// What the answers and the surrender question told about where red aces are.
struct RedAceClues {
    explicit RedAceClues(const SeatView& view) : view_(view) {
        const std::array<SideKnown, kChairs> sides = KnownSides(view);
        for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
            const ChairView& seen = view.chairs[chair];
            black[chair] = seen.bteJiu == 1 || seen.bteJue == 1 || sides[chair] == SideKnown::Black;
            mustHold[chair] = seen.bteZhi == 1 || sides[chair] == SideKnown::Red;
            played[chair] = redAcesIn(seen.played);
        }
        // One deck: a shown red ace is that chair's only copy.
        if (view.decks == 1) {
            for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
                ownerOf[0] = (view.chairs[chair].redShown & 1) ? chair : ownerOf[0];
                ownerOf[1] = (view.chairs[chair].redShown & 2) ? chair : ownerOf[1];
            }
        }
        noBoth = view.decks == 1 && view.pastSurrenderStep() && !view.surrenderAsked;
    }

    bool allowed(std::uint8_t chair, std::uint8_t redAce) const {
        if (view_.surrenderAsked) return chair == *view_.surrenderAsked;
        if (black[chair]) return false;
        const std::uint8_t owner = ownerOf[kindBit(redAce) - 1];
        if (owner < kChairs) return owner == chair;
        const std::uint8_t shown = view_.chairs[chair].redShown;
        return shown == 0 || (shown & kindBit(redAce)) != 0;
    }

    bool agrees(const std::array<CardList, kChairs>& dealt) const {
        for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
            if (chair == view_.me) continue;
            const int held = redAcesIn(dealt[chair]) + played[chair];
            if (noBoth && held >= 2) return false;
            if (mustHold[chair] && held == 0) return false;
        }
        return true;
    }

    std::array<bool, kChairs> black{};
    std::array<bool, kChairs> mustHold{};
    std::array<int, kChairs> played{};
    std::array<std::uint8_t, 2> ownerOf{kChairs, kChairs};
    bool noBoth = false;

private:
    const SeatView& view_;
};

template <typename Allowed>
bool placeRedAces(const CardList& reds, std::array<int, kChairs>& room,
                  std::array<CardList, kChairs>& dealt, std::mt19937& rng, Allowed allowed) {
    for (const std::uint8_t card : reds) {
        std::array<int, kChairs> weight{};
        int total = 0;
        for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
            weight[chair] = allowed(chair, card) ? room[chair] : 0;
            total += weight[chair];
        }
        if (total == 0) return false;
        int pick = static_cast<int>(rng() % static_cast<unsigned>(total));
        std::uint8_t chair = 0;
        while (pick >= weight[chair]) pick -= weight[chair++];
        dealt[chair].push_back(card);
        --room[chair];
    }
    return true;
}

void addToRemaining(World& world, const Hand& hand) {
    for (int rank = 0; rank < kRanks; ++rank) {
        world.remaining[static_cast<std::size_t>(rank)] += hand.n[static_cast<std::size_t>(rank)];
    }
    world.remaining[kRankAce] += 2 * hand.redPairs;
}

void takeFromRemaining(World& world, const Move& move) {
    if (move.type == kPaiRedAcePair) {
        world.remaining[kRankAce] -= 2;
        return;
    }
    const int each = move.cards() / move.len;
    for (int rank = move.top - move.len + 1; rank <= move.top; ++rank) {
        world.remaining[static_cast<std::size_t>(rank)] -= each;
    }
}

std::uint8_t nextActive(const World& world, std::uint8_t chair) {
    for (std::uint8_t step = 1; step <= kChairs; ++step) {
        const auto next = static_cast<std::uint8_t>((chair + step) % kChairs);
        if (world.hands[next].size > 0) return next;
    }
    return chair;
}

int activeOthers(const World& world, std::uint8_t chair) {
    int count = 0;
    for (std::uint8_t each = 0; each < kChairs; ++each) {
        if (each != chair && world.hands[each].size > 0) ++count;
    }
    return count;
}

bool roundOver(const World& world) {
    int red = 0;
    int redDone = 0;
    int blackDone = 0;
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        red += world.red[chair] ? 1 : 0;
        if (world.hands[chair].size == 0) (world.red[chair] ? redDone : blackDone) += 1;
    }
    const int black = kChairs - red;
    if (red <= 1 || black <= 1) return redDone + blackDone > 0;
    return redDone == red || blackDone == black;
}

Situation situationIn(const World& world) {
    Situation at;
    const std::uint8_t me = world.cur;
    at.me = me;
    at.hand = world.hands[me];
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        at.left[chair] = world.hands[chair].size;
        at.relation[chair] =
            world.red[chair] == world.red[me] ? Relation::Partner : Relation::Opponent;
        if (chair != me && world.hands[chair].redPairs > 0) at.outsideRedPair = true;
    }
    for (int rank = 0; rank < kRanks; ++rank) {
        const auto r = static_cast<std::size_t>(rank);
        const int own = at.hand.n[r] + (rank == kRankAce ? 2 * at.hand.redPairs : 0);
        at.outside[r] = static_cast<std::uint8_t>(std::max(0, world.remaining[r] - own));
    }
    at.lead = world.lead;
    at.top = world.top;
    at.topChair = world.topChair;
    return at;
}

}  // namespace

Situation SituationOf(const SeatView& view) {
    Situation at;
    at.me = view.me;
    at.hand = HandOf(view.hand);
    const std::array<SideKnown, kChairs> sides = KnownSides(view);
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        at.left[chair] = view.chairs[chair].cardsLeft;
        if (chair == view.me) {
            at.relation[chair] = Relation::Partner;
        } else if (sides[chair] == SideKnown::Unknown) {
            at.relation[chair] = Relation::Unknown;
        } else {
            at.relation[chair] =
                sides[chair] == sides[view.me] ? Relation::Partner : Relation::Opponent;
        }
    }
    const CardList unseen = unseenCards(view);
    int hearts = 0;
    int other = 0;
    for (const std::uint8_t card : unseen) {
        ++at.outside[PaiRank(card) % kRanks];
        hearts += card == kRedAceSuit0 ? 1 : 0;
        other += card == kRedAceSuit3 ? 1 : 0;
    }
    // With one deck the surrender question tells whether one chair holds both.
    at.outsideRedPair = hearts > 0 && other > 0;
    if (at.outsideRedPair && view.decks == 1 && view.pastSurrenderStep() && !view.surrenderAsked) {
        at.outsideRedPair = false;
    }
    at.lead = view.bteRoundState == kRoundLead;
    at.top = at.lead ? kPass : MoveOf(view.udtMaxOutPai);
    at.topChair = view.udtMaxOutPai.bteChair % kChairs;
    return at;
}

World SampleWorld(const SeatView& view, std::mt19937& rng) {
    const CardList unseen = unseenCards(view);
    CardList reds;
    CardList plain;
    for (const std::uint8_t card : unseen) (IsRedAce(card) ? reds : plain).push_back(card);
    std::array<int, kChairs> room{};
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        room[chair] = chair == view.me ? 0 : view.chairs[chair].cardsLeft;
    }
    const RedAceClues clues(view);
    std::array<CardList, kChairs> dealt;
    std::array<int, kChairs> left = room;
    bool placed = false;
    for (int attempt = 0; attempt < kSampleAttempts && !placed; ++attempt) {
        dealt = {};
        left = room;
        std::shuffle(reds.begin(), reds.end(), rng);
        placed = placeRedAces(reds, left, dealt, rng,
                              [&](std::uint8_t chair, std::uint8_t card) {
                                  return clues.allowed(chair, card);
                              }) &&
                 clues.agrees(dealt);
    }
    if (!placed) {
        // The clues contradict each other (only a malformed view does that):
        // deal the red aces by room alone rather than not at all.
        dealt = {};
        left = room;
        placeRedAces(reds, left, dealt, rng, [](std::uint8_t, std::uint8_t) { return true; });
    }
    std::shuffle(plain.begin(), plain.end(), rng);
    std::size_t next = 0;
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        for (; left[chair] > 0 && next < plain.size(); --left[chair])
            dealt[chair].push_back(plain[next++]);
    }
    World world;
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        const CardList& cards = chair == view.me ? view.hand : dealt[chair];
        world.hands[chair] = HandOf(cards);
        world.red[chair] = redAcesIn(cards) + redAcesIn(view.chairs[chair].played) > 0;
        world.place[chair] = view.chairs[chair].bteMingCi;
        if (world.place[chair] > 0) ++world.nextPlace;
        addToRemaining(world, world.hands[chair]);
    }
    if (IsDeclarationState(view.bteRoundState)) {
        world.cur = view.bteShouJiaChair % kChairs;
        world.topChair = world.cur;
        return world;
    }
    world.cur = view.bteCurChair % kChairs;
    world.lead = view.bteRoundState == kRoundLead;
    world.top = world.lead ? kPass : MoveOf(view.udtMaxOutPai);
    world.topChair = view.udtMaxOutPai.bteChair % kChairs;
    world.passes = view.passes;
    return world;
}

void Apply(World& world, const Move& move) {
    const std::uint8_t chair = world.cur;
    if (move.isPass()) {
        ++world.passes;
    } else {
        Take(world.hands[chair], move);
        takeFromRemaining(world, move);
        world.top = move;
        world.topChair = chair;
        world.passes = 0;
        if (world.hands[chair].size == 0) world.place[chair] = world.nextPlace++;
    }
    if (roundOver(world)) {
        world.over = true;
        return;
    }
    const bool trickFlag = move.type == kPaiRedAcePair;
    if (trickFlag || world.passes >= activeOthers(world, world.topChair)) {
        const std::uint8_t winner = trickFlag ? chair : world.topChair;
        world.cur = world.hands[winner].size > 0 ? winner : nextActive(world, winner);
        world.lead = true;
        world.top = kPass;
        world.topChair = world.cur;
        world.passes = 0;
        return;
    }
    world.cur = nextActive(world, chair);
    world.lead = false;
}

double ScoreOf(const World& world, std::uint8_t chair) {
    const int red = static_cast<int>(std::count(world.red.begin(), world.red.end(), true));
    if (red == 0 || red == kChairs) return 0;
    bool redWins = true;
    if (red == 1 || red == kChairs - 1) {
        for (std::uint8_t each = 0; each < kChairs; ++each) {
            if (world.place[each] == 1) redWins = world.red[each];
        }
    } else {
        for (std::uint8_t each = 0; each < kChairs; ++each) {
            if (world.red[each] && world.hands[each].size > 0) redWins = false;
        }
    }
    int winners = 0;
    bool sweep = red == 2;
    for (std::uint8_t each = 0; each < kChairs; ++each) {
        if (world.red[each] != redWins) continue;
        ++winners;
        if (world.place[each] == 0 || world.place[each] > 2) sweep = false;
    }
    const int unit = sweep ? 2 : 1;
    const bool won = world.red[chair] == redWins;
    return won ? (kChairs - winners) * unit : -winners * unit;
}

double PlayOut(World world, std::uint8_t chair) {
    for (int step = 0; step < kMaxSteps && !world.over; ++step) {
        Apply(world, ChooseMove(situationIn(world)));
    }
    return ScoreOf(world, chair);
}

Move SearchMove(const SeatView& view, std::mt19937& rng, const SearchBudget& budget) {
    const Situation at = SituationOf(view);
    thread_local std::vector<Move> candidates;
    CandidateMoves(at, candidates, 8);
    if (candidates.empty()) return kPass;
    if (candidates.size() == 1 || candidates.front().cards() == at.hand.size) {
        return candidates.front();
    }
    // A round of several decks takes as many times longer to play out.
    const int playouts = budget.playouts / std::max<int>(1, view.decks);
    const int perCandidate = playouts / static_cast<int>(candidates.size());
    const int samples = std::max(1, std::min(budget.samples, perCandidate));
    std::vector<double> totals(candidates.size(), 0.0);
    for (int sample = 0; sample < samples; ++sample) {
        const World world = SampleWorld(view, rng);
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            World tried = world;
            Apply(tried, candidates[i]);
            totals[i] += PlayOut(tried, view.me);
        }
    }
    const auto best = std::max_element(totals.begin(), totals.end());
    return candidates[static_cast<std::size_t>(best - totals.begin())];
}

double ExpectedScore(const SeatView& view, std::mt19937& rng, int samples) {
    samples = std::max(1, samples);
    double total = 0;
    for (int sample = 0; sample < samples; ++sample) {
        total += PlayOut(SampleWorld(view, rng), view.me);
    }
    return total / samples;
}

}  // namespace krvo::server::ai
