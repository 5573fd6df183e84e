#include <gtest/gtest.h>

#include "core/cards.h"

namespace krvo {
namespace {

// Ordinary code of a rank (0 = 3 ... 11 = A) in a suit.
constexpr std::uint8_t card(int suit, int rank) {
    return static_cast<std::uint8_t>(suit * 13 + rank);
}

TEST(Cards, SpecialsOutrankOrdinaryAndTieAmongThemselves) {
    EXPECT_TRUE(IsPaiSmaller(card(1, 10), card(2, 11)));
    EXPECT_FALSE(IsPaiSmaller(card(1, 11), card(2, 11)));
    EXPECT_TRUE(IsPaiSmaller(card(1, 11), kRedAceSuit0));
    EXPECT_FALSE(IsPaiSmaller(kRedAceSuit3, card(1, 11)) ||
                 IsPaiSmaller(kRedAceSuit0, kRedAceSuit3));
    EXPECT_TRUE(IsPaiSameRank(kRedAceSuit0, kRedAceSuit3) && IsPaiSameRank(card(0, 4), card(3, 4)));
    EXPECT_FALSE(IsPaiSameRank(kRedAceSuit0, card(1, 11)));
}

TEST(Cards, RankSortFollowsTheExchangeOrder) {
    CardList aces = {card(0, 2), card(1, 11), kRedAceSuit3, card(2, 11), kRedAceSuit0};
    SortPaiByRank(aces);
    EXPECT_EQ(aces, (CardList{kRedAceSuit3, kRedAceSuit0, card(2, 11), card(1, 11), card(0, 2)}));
    // Not stable: the 4 swaps with the first 3, which lands behind the second.
    CardList threes = {card(0, 0), card(1, 0), card(0, 1)};
    SortPaiByRank(threes);
    EXPECT_EQ(threes, (CardList{card(0, 1), card(1, 0), card(0, 0)}));
}

TEST(Cards, GroupSortKeepsRedAcesInFrontThenBySizeAndRank) {
    CardList hand = {card(0, 1), kRedAceSuit0, card(1, 10), card(2, 5), kRedAceSuit3, card(0, 10)};
    SortPaiByGroup(hand);
    EXPECT_EQ(hand, (CardList{kRedAceSuit0, kRedAceSuit3, card(1, 10), card(0, 10), card(2, 5),
                              card(0, 1)}));
    // A lone red ace stays in front of the bigger group of black aces.
    CardList oneRed = {card(1, 11), card(0, 3), kRedAceSuit3, card(2, 11)};
    SortPaiByGroup(oneRed);
    EXPECT_EQ(oneRed, (CardList{kRedAceSuit3, card(1, 11), card(2, 11), card(0, 3)}));
    CardList sizes = {card(0, 9), card(0, 2), card(1, 2), card(2, 2), card(3, 2),
                      card(0, 6), card(1, 6), card(2, 6), card(1, 9), card(0, 11)};
    SortPaiByGroup(sizes);
    const std::vector<int> ranks = {2, 2, 2, 2, 6, 6, 6, 9, 9, 11};
    for (std::size_t i = 0; i < ranks.size(); ++i) EXPECT_EQ(PaiRank(sizes[i]), ranks[i]) << i;
}

TEST(Cards, GroupsHoldAnyNumberOfCards) {
    CardList manyDecks(40, card(1, 7));
    manyDecks.push_back(card(0, 3));
    const std::vector<PaiGroup> groups = GroupPai(manyDecks);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].bteCount(), 40u);
    EXPECT_EQ(groups[1].btePai, (CardList{card(0, 3)}));
    EXPECT_TRUE(GroupPai({}).empty());
}

TEST(Cards, RemoveTakesOneCardPerEntry) {
    CardList hand = {card(0, 5), card(1, 5), card(0, 5), card(2, 9)};
    RemovePai(hand, CardList{card(3, 3)});
    EXPECT_EQ(hand.size(), 4u);
    RemovePai(hand, CardList{card(0, 5), card(0, 5)});
    EXPECT_EQ(hand, (CardList{card(1, 5), card(2, 9)}));
    RemovePai(hand, hand);
    EXPECT_TRUE(hand.empty());
}

}  // namespace
}  // namespace krvo
