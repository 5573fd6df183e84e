#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/cards.h"
#include "core/patterns.h"

namespace krvo {
namespace {

constexpr std::uint8_t card(int suit, int rank) {
    return static_cast<std::uint8_t>(suit * 13 + rank);
}

struct TypeCase {
    std::vector<std::uint8_t> cards;
    std::uint8_t type;
    std::uint8_t maxPai;
};

TEST(Patterns, ClassifiesPlays) {
    const std::vector<TypeCase> cases = {
        {{kRedAceSuit0}, kPaiSingle, kRedAceSuit0},
        {{kRedAceSuit0, card(1, 11)}, kPaiPair, card(1, 11)},
        {{card(2, 11), kRedAceSuit3}, kPaiPair, card(2, 11)},
        {{kRedAceSuit0, kRedAceSuit3}, kPaiRedAcePair, kRedAceSuit0},
        {{card(0, 4), card(1, 5)}, kPaiNone, 0},
        {{kRedAceSuit0, card(1, 11), kRedAceSuit3}, kPaiBombThree, kPlainAceSuit0},
        {{kRedAceSuit3, card(1, 11), card(2, 11), kRedAceSuit0}, kPaiBombFour, card(1, 11)},
        {{card(0, 0), card(1, 1), card(2, 2)}, kPaiStraight, card(2, 2)},
        {{card(0, 9), kRedAceSuit3, card(1, 10)}, kPaiStraight, card(1, 11)},
        {{card(0, 10), card(1, 11), card(2, 0)}, kPaiNone, 0},
        {{card(0, 0), card(1, 0), card(0, 1), card(1, 1)}, kPaiNone, 0},
        {{card(0, 0), card(1, 0), card(0, 1), card(1, 1), card(0, 2), card(1, 2)},
         kPaiDoubleStraight,
         card(0, 2)},
        {{card(0, 0), card(1, 0), card(0, 1), card(1, 1), card(0, 3), card(1, 3)}, kPaiNone, 0},
        {{card(0, 5), card(1, 5), card(2, 5), card(0, 6)}, kPaiNone, 0},
        {{card(0, 1), card(1, 2), card(2, 3), card(3, 3), card(0, 4)}, kPaiNone, 0},
        {{}, kPaiNone, 0},
    };
    for (const TypeCase& c : cases) {
        const PaiTypeResult got = GetPaiType(c.cards);
        EXPECT_EQ(got.btePaiType, c.type) << ::testing::PrintToString(c.cards);
        if (c.type != kPaiNone) {
            EXPECT_EQ(got.bteMaxPai, c.maxPai);
        }
    }
    std::vector<std::uint8_t> wholeSuit;
    for (int rank = 0; rank < 12; ++rank) wholeSuit.push_back(card(rank % 4, rank));
    EXPECT_EQ(GetPaiType(wholeSuit).btePaiType, kPaiStraight);
    EXPECT_EQ(GetPaiType(std::vector<std::uint8_t>(60, card(0, 1))).btePaiType, kPaiNone);
}

TEST(Patterns, LeadAcceptsEveryPlayAndNamesABadOne) {
    EXPECT_TRUE(CheckLeadPai(std::vector<std::uint8_t>{card(0, 3)}).ok);
    const PlayCheck bad = CheckLeadPai(std::vector<std::uint8_t>{card(0, 3), card(0, 4)});
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.message, "出牌错误：牌型不对！");
    EXPECT_EQ(CheckLeadPai({}).message, "出牌错误：牌型不对！");
}

struct FollowCase {
    std::vector<std::uint8_t> cards;
    OutPaiInfo top;
    std::string message;  // empty: passes
};

TEST(Patterns, FollowRulesAndRefusals) {
    const std::string bigger = "出牌错误：你出牌必须比上一家出牌还要大！";
    const std::string bombSmall = "出牌错误：你的炸弹太小！";
    const std::vector<std::uint8_t> straight5 = {card(0, 0), card(1, 1), card(2, 2), card(3, 3),
                                                 card(0, 4)};
    const std::vector<std::uint8_t> tripleNines = {card(0, 6), card(1, 6), card(2, 6)};
    const std::vector<std::uint8_t> fourFives = {card(0, 2), card(1, 2), card(2, 2), card(3, 2)};
    const std::vector<FollowCase> cases = {
        {{card(0, 0), card(0, 1)},
         {0, kPaiRedAcePair, kRedAceSuit0, 2},
         "无法出牌：当前最大出牌是 对红A！"},
        {{card(0, 3), card(1, 4)}, {0, kPaiSingle, card(0, 2), 1}, "出牌错误：牌型不对！"},
        {{kRedAceSuit0}, {0, kPaiSingle, card(1, 11), 1}, bigger},
        {{card(1, 11)}, {0, kPaiSingle, kRedAceSuit3, 1}, bigger},
        {{card(1, 11)}, {0, kPaiSingle, card(2, 10), 1}, ""},
        {{card(1, 5)}, {0, kPaiSingle, card(2, 5), 1}, bigger},
        {straight5,
         {0, kPaiStraight, card(0, 5), 6},
         "出牌错误：出牌张数必须和上一家出牌张数相同！"},
        {tripleNines, {0, kPaiDoubleStraight, card(0, 2), 6}, bombSmall},
        {tripleNines, {0, kPaiStraight, card(0, 11), 12}, ""},
        {tripleNines, {0, kPaiBombThree, card(0, 6), 3}, bombSmall},
        {tripleNines, {0, kPaiBombThree, card(0, 5), 3}, ""},
        {tripleNines, {0, kPaiBombFour, card(0, 0), 4}, bombSmall},
        {{card(0, 3)}, {0, kPaiBombThree, card(0, 1), 3}, "出牌错误：必须出 三同张炸弹 !"},
        {{card(0, 3), card(1, 3)}, {0, kPaiSingle, card(0, 1), 1}, "出牌错误：必须出 单牌 !"},
        {{card(0, 3)}, {0, kPaiNone, card(0, 1), 1}, "出牌错误：必须出 未知的牌型 !"},
        {fourFives, {0, kPaiBombThree, card(0, 11), 3}, ""},
        {fourFives, {0, kPaiBombFour, card(0, 1), 4}, ""},
        {fourFives, {0, kPaiBombFour, card(1, 2), 4}, bombSmall},
        {{kRedAceSuit3, kRedAceSuit0}, {0, kPaiBombFour, card(0, 11), 4}, ""},
    };
    for (const FollowCase& c : cases) {
        const PlayCheck got = CheckFollowPai(c.cards, c.top);
        EXPECT_EQ(got.ok, c.message.empty()) << ::testing::PrintToString(c.cards);
        EXPECT_EQ(got.message, c.message) << ::testing::PrintToString(c.cards);
    }
}

TEST(Patterns, TypeNames) {
    EXPECT_EQ(GetPaiTypeName(kPaiPair), "对牌");
    EXPECT_EQ(GetPaiTypeName(kPaiRedAcePair), "对红A");
    EXPECT_EQ(GetPaiTypeName(7), "未知的牌型");
    EXPECT_EQ(GetPaiTypeName(kPaiNone), "未知的牌型");
}

}  // namespace
}  // namespace krvo
