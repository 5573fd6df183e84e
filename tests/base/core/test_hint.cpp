#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/cards.h"
#include "core/hint.h"
#include "core/patterns.h"

namespace krvo {
namespace {

// The code a card is dealt under: the red aces never come as 11 or 50.
constexpr std::uint8_t card(int suit, int rank) {
    if (rank == kRankAce && suit == 0) return kRedAceSuit0;
    if (rank == kRankAce && suit == 3) return kRedAceSuit3;
    return static_cast<std::uint8_t>(suit * 13 + rank);
}

std::vector<CardList> candidates(const TipList& tips) {
    std::vector<CardList> out;
    for (std::int32_t i = 0; i < tips.lngTipCount; ++i) {
        const auto cards = tips.udtTipPai[static_cast<std::size_t>(i)].cards();
        out.emplace_back(cards.begin(), cards.end());
    }
    return out;
}

// Every candidate must be made of cards the hand holds and must pass the very
// check the play button applies.
void expectPlayable(const TipList& tips, const CardList& hand, const OutPaiInfo& top) {
    EXPECT_EQ(tips.lngTipIndex, tips.lngTipCount);
    for (const CardList& tip : candidates(tips)) {
        CardList rest = hand;
        RemovePai(rest, tip);
        EXPECT_EQ(rest.size() + tip.size(), hand.size()) << ::testing::PrintToString(tip);
        EXPECT_TRUE(CheckFollowPai(tip, top).ok) << ::testing::PrintToString(tip);
    }
}

std::vector<CardList> search(const CardList& hand, const OutPaiInfo& top) {
    TipList tips;
    const bool found = FindTipPai(tips, hand, top.btePaiType, top.btePaiCount, top.bteMaxPai);
    EXPECT_EQ(found, tips.lngTipCount > 0);
    expectPlayable(tips, hand, top);
    return candidates(tips);
}

TEST(Hint, SingleAgainstFiveListsKingNineSix) {
    const CardList hand = {card(0, 10), card(0, 6), card(1, 10), card(2, 3)};
    const auto tips = search(hand, {0, kPaiSingle, card(1, 2), 1});
    ASSERT_EQ(tips.size(), 3u);
    EXPECT_EQ(PaiRank(tips[0][0]), 10);
    EXPECT_EQ(tips[1], (CardList{card(0, 6)}));
    EXPECT_EQ(tips[2], (CardList{card(2, 3)}));
}

TEST(Hint, RedAcesComeFirstAndNothingBeatsThem) {
    const CardList hand = {card(0, 4), kRedAceSuit3, card(1, 11), kRedAceSuit0};
    const auto tips = search(hand, {0, kPaiPair, card(0, 9), 2});
    ASSERT_FALSE(tips.empty());
    EXPECT_EQ(tips[0], (CardList{kRedAceSuit0, kRedAceSuit3}));
    EXPECT_TRUE(search(hand, {0, kPaiRedAcePair, kRedAceSuit0, 2}).empty());
    EXPECT_TRUE(search(hand, {0, kPaiNone, 0, 1}).empty());
    // A red ace stands in for a plain ace and comes back under its own code.
    const CardList oneRed = {kRedAceSuit0, card(2, 11), card(1, 2)};
    const auto aces = search(oneRed, {0, kPaiPair, card(0, 10), 2});
    ASSERT_EQ(aces.size(), 1u);
    EXPECT_NE(std::find(aces[0].begin(), aces[0].end(), kRedAceSuit0), aces[0].end());
}

TEST(Hint, OnlyHigherFourBombsAgainstFourSevens) {
    CardList hand;
    for (int suit = 0; suit < 4; ++suit) hand.insert(hand.end(), {card(suit, 2), card(suit, 6)});
    const OutPaiInfo sevens = {0, kPaiBombFour, card(0, 4), 4};
    const auto tips = search(hand, sevens);
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(PaiRank(tips[0][0]), 6);
    hand.insert(hand.end(), {kRedAceSuit3, kRedAceSuit0});
    EXPECT_EQ(search(hand, sevens).size(), 2u);
}

TEST(Hint, DoubleStraightGetsNoTripleBomb) {
    const CardList hand = {card(0, 9), card(1, 9), card(2, 9), card(0, 7), card(1, 7),
                           card(0, 6), card(1, 6), card(0, 5), card(1, 5), card(0, 4)};
    const auto tips = search(hand, {0, kPaiDoubleStraight, card(0, 3), 6});
    // Only 10-10-9-9-8-8 runs three pairs; the queens make no bomb against it.
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(tips[0].size(), 6u);
}

TEST(Hint, StraightsFromHighestToTheLastAboveTheTop) {
    CardList hand;
    for (int rank = 0; rank <= 5; ++rank) hand.push_back(card(rank % 4, rank));
    const auto tips = search(hand, {0, kPaiStraight, card(0, 2), 3});
    ASSERT_EQ(tips.size(), 3u);
    EXPECT_EQ(PaiRank(tips[0][0]), 5);
    EXPECT_EQ(PaiRank(tips[2][0]), 3);
}

TEST(Hint, HandShorterThanTheTopStillOffersItsBombs) {
    const CardList hand = {card(0, 6), card(1, 6), card(2, 6), card(3, 6)};
    const auto tips = search(hand, {0, kPaiStraight, card(0, 8), 6});
    ASSERT_FALSE(tips.empty());
    EXPECT_EQ(tips[0].size(), 4u);
}

TEST(Hint, ListStopsAtSixteenCandidates) {
    CardList hand;  // every rank in all four suits: 12 four-bombs and 12 triples
    for (int rank = 0; rank < 12; ++rank) {
        for (int suit = 0; suit < 4; ++suit) hand.push_back(card(suit, rank));
    }
    EXPECT_EQ(search(hand, {0, kPaiSingle, card(0, 0), 1}).size(), 16u);
}

TEST(Hint, CandidateTooLongToHoldIsLeftOut) {
    CardList hand;  // a pair of every rank: twelve pairs in a row
    for (int rank = 0; rank < 12; ++rank) hand.insert(hand.end(), {card(0, rank), card(1, rank)});
    const auto eightPairs = search(hand, {0, kPaiDoubleStraight, card(0, 8), 16});
    ASSERT_FALSE(eightPairs.empty());
    for (const CardList& tip : eightPairs) EXPECT_EQ(tip.size(), 16u);
    EXPECT_TRUE(search(hand, {0, kPaiDoubleStraight, card(0, 8), 18}).empty());
}

// A faulty report may put the plain codes of the red aces in a hand. The
// search treats them as aces, but a candidate must still be made of cards the
// hand holds: only as many aces come back red as the hand has red ones.
TEST(Hint, PlainAceCodesInAHandStayPlain) {
    const CardList alone = {kPlainAceSuit3, card(1, 5)};
    const OutPaiInfo single{0, kPaiSingle, card(0, 2), 1};
    TipList tips;
    ASSERT_TRUE(FindTipPai(tips, alone, single.btePaiType, single.btePaiCount, single.bteMaxPai));
    expectPlayable(tips, alone, single);
    const std::vector<CardList> singles = candidates(tips);
    EXPECT_EQ(std::ranges::count(singles, CardList{kPlainAceSuit3}), 1);

    const CardList mixed = {kRedAceSuit0, kPlainAceSuit0, card(2, 3)};
    const OutPaiInfo pair{0, kPaiPair, card(0, 2), 2};
    ASSERT_TRUE(FindTipPai(tips, mixed, pair.btePaiType, pair.btePaiCount, pair.bteMaxPai));
    expectPlayable(tips, mixed, pair);
    ASSERT_EQ(tips.lngTipCount, 1);
    EXPECT_TRUE(std::ranges::is_permutation(tips.udtTipPai[0].cards(),
                                            CardList{kRedAceSuit0, kPlainAceSuit0}));
}

}  // namespace
}  // namespace krvo
