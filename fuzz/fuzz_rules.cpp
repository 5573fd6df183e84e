// The card rules on arbitrary hands and plays to beat: classifying, checking a
// lead or a follow, sorting, grouping, and the hint search, whose list never
// holds more than 16 candidates of 16 cards, each made of cards in the hand.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "core/cards.h"
#include "core/hint.h"
#include "core/patterns.h"
#include "fuzz_check.h"

namespace {

using krvo::fuzz::Require;

bool HeldIn(std::span<const std::uint8_t> cards, std::span<const std::uint8_t> hand) {
    std::map<std::uint8_t, int> left;
    for (const std::uint8_t card : hand) ++left[card];
    for (const std::uint8_t card : cards) {
        if (--left[card] < 0) return false;
    }
    return true;
}

void CheckClassify(std::span<const std::uint8_t> cards, const krvo::OutPaiInfo& top) {
    const krvo::PaiTypeResult type = krvo::GetPaiType(cards);
    Require(type.btePaiType <= krvo::kPaiRedAcePair || type.btePaiType == krvo::kPaiNone,
            "a known play type");
    if (type.btePaiType != krvo::kPaiNone) {
        // Longer plays count a special card by its plain code (52 below).
        const bool fromPlay = std::any_of(cards.begin(), cards.end(), [&](std::uint8_t card) {
            return card == type.bteMaxPai ||
                   (krvo::IsSpecialPai(card) && card - krvo::kSpecialCodeFloor == type.bteMaxPai);
        });
        Require(fromPlay, "the deciding card comes from the play");
    }
    const krvo::PlayCheck lead = krvo::CheckLeadPai(cards);
    Require(lead.ok == lead.message.empty(), "a refusal says why");
    const krvo::PlayCheck follow = krvo::CheckFollowPai(cards, top);
    Require(follow.ok == follow.message.empty(), "a refused follow says why");
    if (follow.ok) Require(follow.btePaiType != krvo::kPaiNone, "an accepted follow has a type");
    (void)krvo::GetPaiTypeName(type.btePaiType);
    (void)krvo::GetPaiTypeName(top.btePaiType);
}

void CheckSorting(std::vector<std::uint8_t> hand) {
    std::vector<std::uint8_t> byRank = hand;
    krvo::SortPaiByRank(byRank);
    Require(std::is_permutation(byRank.begin(), byRank.end(), hand.begin(), hand.end()),
            "sorting by rank keeps the cards");
    for (std::size_t i = 1; i < byRank.size(); ++i) {
        Require(!krvo::IsPaiSmaller(byRank[i - 1], byRank[i]), "strongest first");
    }
    std::size_t grouped = 0;
    for (const krvo::PaiGroup& group : krvo::GroupPai(byRank)) {
        Require(group.bteCount() > 0, "no empty group");
        for (const std::uint8_t card : group.btePai) {
            Require(krvo::IsPaiSameRank(card, group.first()), "one rank per group");
        }
        grouped += group.bteCount();
    }
    Require(grouped == hand.size(), "groups hold every card");
    std::vector<std::uint8_t> byGroup = hand;
    krvo::SortPaiByGroup(byGroup);
    Require(std::is_permutation(byGroup.begin(), byGroup.end(), hand.begin(), hand.end()),
            "sorting by group keeps the cards");
}

void CheckTips(std::span<const std::uint8_t> hand, const krvo::OutPaiInfo& top) {
    krvo::TipList tips;
    const bool found = krvo::FindTipPai(tips, hand, top.btePaiType, top.btePaiCount, top.bteMaxPai);
    Require(tips.lngTipCount >= 0 && tips.lngTipCount <= 16, "at most 16 candidates");
    Require(found == (tips.lngTipCount > 0), "found means listed");
    Require(tips.lngTipIndex == tips.lngTipCount, "the first hint shows the last candidate");
    for (std::int32_t i = 0; i < tips.lngTipCount; ++i) {
        const krvo::TipPai& tip = tips.udtTipPai[static_cast<std::size_t>(i)];
        Require(tip.lngCount > 0 && tip.lngCount <= 16, "a candidate of 1-16 cards");
        Require(HeldIn(tip.cards(), hand), "a candidate is made of cards in the hand");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    krvo::OutPaiInfo top;
    top.bteChair = input.ConsumeIntegral<std::uint8_t>();
    top.btePaiType = input.ConsumeIntegral<std::uint8_t>();
    top.bteMaxPai = input.ConsumeIntegral<std::uint8_t>();
    top.btePaiCount = input.ConsumeIntegral<std::uint8_t>();
    // Mostly real card codes, so the search meets real plays; sometimes any byte.
    const bool anyByte = input.ConsumeBool();
    const std::vector<std::uint8_t> raw =
        input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 12 * 8));
    std::vector<std::uint8_t> hand;
    for (const std::uint8_t byte : raw) {
        if (anyByte) {
            hand.push_back(byte);
            continue;
        }
        const auto code = static_cast<std::uint8_t>(13 * (byte % 48 / 12) + byte % 12);
        hand.push_back(code == krvo::kPlainAceSuit0   ? krvo::kRedAceSuit0
                       : code == krvo::kPlainAceSuit3 ? krvo::kRedAceSuit3
                                                      : code);
    }
    const std::vector<std::uint8_t> play = input.ConsumeRemainingBytes<std::uint8_t>();

    CheckClassify(play, top);
    CheckClassify(hand, top);
    CheckSorting(hand);
    CheckTips(hand, top);

    krvo::CardList rest = hand;
    krvo::RemovePai(rest, play);
    Require(rest.size() + play.size() >= hand.size(), "removes at most one card per entry");
    Require(HeldIn(rest, hand), "removing leaves cards of the hand");
    return 0;
}
