#include "core/patterns.h"

#include <algorithm>
#include <array>

#include "core/cards.h"

namespace krvo {

namespace {

constexpr std::string_view kWrongPattern = "出牌错误：牌型不对！";
constexpr std::string_view kTopIsRedAcePair = "无法出牌：当前最大出牌是 对红A！";
constexpr std::string_view kBombTooSmall = "出牌错误：你的炸弹太小！";
constexpr std::string_view kCountMismatch = "出牌错误：出牌张数必须和上一家出牌张数相同！";
constexpr std::string_view kNotBigger = "出牌错误：你出牌必须比上一家出牌还要大！";

PaiTypeResult classifyTwo(std::uint8_t first, std::uint8_t second) {
    if (PaiRank(first) != PaiRank(second)) return {};
    if (IsSpecialPai(first) && IsSpecialPai(second)) return {kPaiRedAcePair, first};
    return {kPaiPair, IsSpecialPai(first) ? second : first};
}

bool allSameRank(std::span<const std::uint8_t> cards) {
    return std::all_of(cards.begin(), cards.end(),
                       [&](std::uint8_t card) { return IsPaiSameRank(cards.front(), card); });
}

bool isRunOfRanks(std::span<const std::uint8_t> sorted) {
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        if (PaiRank(sorted[i - 1]) != PaiRank(sorted[i]) + 1) return false;
    }
    return true;
}

bool isRunOfPairs(std::span<const std::uint8_t> sorted) {
    const std::vector<PaiGroup> groups = GroupPai(sorted);
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (groups[i].bteCount() != 2) return false;
        if (i > 0 && PaiRank(groups[i - 1].first()) != PaiRank(groups[i].first()) + 1) return false;
    }
    return true;
}

// Three or more cards: red aces count as plain aces from here on.
PaiTypeResult classifyMany(std::span<std::uint8_t> work) {
    for (std::uint8_t& card : work) {
        if (IsSpecialPai(card)) card = static_cast<std::uint8_t>(card - kSpecialCodeFloor);
    }
    if (work.size() == 3 && allSameRank(work)) return {kPaiBombThree, work[0]};
    if (work.size() == 4 && allSameRank(work)) return {kPaiBombFour, work[0]};
    SortPaiByRank(work);
    if (isRunOfRanks(work)) return {kPaiStraight, work[0]};
    if (work.size() >= 6 && isRunOfPairs(work)) return {kPaiDoubleStraight, work[0]};
    return {};
}

PlayCheck refuse(std::string message) {
    return PlayCheck{false, kPaiNone, 0, std::move(message)};
}

PlayCheck accept(const PaiTypeResult& type) {
    return PlayCheck{true, type.btePaiType, type.bteMaxPai, {}};
}

// A red ace played alone is an ordinary ace.
std::uint8_t asPlainAce(std::uint8_t card) {
    if (card == kRedAceSuit0) return kPlainAceSuit0;
    if (card == kRedAceSuit3) return kPlainAceSuit3;
    return card;
}

PlayCheck checkBomb(const PaiTypeResult& mine, const OutPaiInfo& top) {
    if (mine.btePaiType == kPaiBombFour && top.btePaiType < kPaiBombFour) return accept(mine);
    if (mine.btePaiType == kPaiBombThree) {
        if (top.btePaiType < kPaiDoubleStraight) return accept(mine);
        // By the rules of the game a triple does not beat a double straight.
        if (top.btePaiType != kPaiBombThree) return refuse(std::string(kBombTooSmall));
    }
    if (IsPaiSmaller(top.bteMaxPai, mine.bteMaxPai)) return accept(mine);
    return refuse(std::string(kBombTooSmall));
}

PlayCheck checkSameShape(const PaiTypeResult& mine, std::size_t count, const OutPaiInfo& top) {
    if (mine.btePaiType != top.btePaiType) {
        return refuse("出牌错误：必须出 " + std::string(GetPaiTypeName(top.btePaiType)) + " !");
    }
    if (count != top.btePaiCount) return refuse(std::string(kCountMismatch));
    std::uint8_t topCard = top.bteMaxPai;
    std::uint8_t myCard = mine.bteMaxPai;
    if (mine.btePaiType == kPaiSingle) {
        topCard = asPlainAce(topCard);
        myCard = asPlainAce(myCard);
    }
    if (IsPaiSmaller(topCard, myCard)) return accept(mine);
    return refuse(std::string(kNotBigger));
}

}  // namespace

PaiTypeResult GetPaiType(std::span<const std::uint8_t> cards) {
    const std::size_t n = std::min(cards.size(), kMaxClassifiedPai);
    if (n == 1) return {kPaiSingle, cards[0]};
    if (n == 2) return classifyTwo(cards[0], cards[1]);
    if (n < 3) return {};
    std::array<std::uint8_t, kMaxClassifiedPai> work{};
    std::copy_n(cards.begin(), n, work.begin());
    return classifyMany(std::span(work).first(n));
}

PlayCheck CheckLeadPai(std::span<const std::uint8_t> cards) {
    const PaiTypeResult type = GetPaiType(cards);
    if (type.btePaiType > kPaiRedAcePair) return refuse(std::string(kWrongPattern));
    return accept(type);
}

PlayCheck CheckFollowPai(std::span<const std::uint8_t> cards, const OutPaiInfo& top) {
    if (top.btePaiType == kPaiRedAcePair) return refuse(std::string(kTopIsRedAcePair));
    const PaiTypeResult mine = GetPaiType(cards);
    if (mine.btePaiType > kPaiRedAcePair) return refuse(std::string(kWrongPattern));
    if (mine.btePaiType == kPaiRedAcePair) return accept(mine);
    if (mine.btePaiType >= kPaiBombThree) return checkBomb(mine, top);
    return checkSameShape(mine, cards.size(), top);
}

std::string_view GetPaiTypeName(std::uint8_t type) {
    static constexpr std::array<std::string_view, 7> kNames = {
        "单牌", "对牌", "顺子", "双顺", "三同张炸弹", "四同张炸弹", "对红A"};
    if (type < kNames.size()) return kNames[type];
    return "未知的牌型";
}

}  // namespace krvo
