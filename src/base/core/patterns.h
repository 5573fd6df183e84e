#pragma once
// Play types, classifying a set of cards, and checking a lead or a follow
// against the play to beat. The server has the last word; these checks keep
// bad plays from being sent and tell the player why.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace krvo {

// Play type codes as the server sends them (btePaiType).
enum PaiTypeCode : std::uint8_t {
    kPaiSingle = 0,
    kPaiPair = 1,            // a red ace pairs with a black ace
    kPaiStraight = 2,        // three or more consecutive ranks, one card each
    kPaiDoubleStraight = 3,  // three or more consecutive pairs
    kPaiBombThree = 4,
    kPaiBombFour = 5,
    kPaiRedAcePair = 6,  // beats everything
    kPaiNone = 100,      // not a play
};

// The play the next play must beat (udtMaxOutPai).
struct OutPaiInfo {
    std::uint8_t bteChair = 0;
    std::uint8_t btePaiType = 0;
    std::uint8_t bteMaxPai = 0;  // the card by whose rank plays of one type compare
    std::uint8_t btePaiCount = 0;

    friend bool operator==(const OutPaiInfo&, const OutPaiInfo&) = default;
};

struct PaiTypeResult {
    std::uint8_t btePaiType = kPaiNone;
    std::uint8_t bteMaxPai = 0;
};

struct PlayCheck {
    bool ok = false;
    std::uint8_t btePaiType = kPaiNone;
    std::uint8_t bteMaxPai = 0;
    std::string message;  // the refusal shown to the player; empty when ok
};

// Cards past the 54th are never looked at; no play comes near that length.
inline constexpr std::size_t kMaxClassifiedPai = 54;

PaiTypeResult GetPaiType(std::span<const std::uint8_t> cards);
PlayCheck CheckLeadPai(std::span<const std::uint8_t> cards);
PlayCheck CheckFollowPai(std::span<const std::uint8_t> cards, const OutPaiInfo& top);
// The name used in messages; "未知的牌型" for any code above 6.
std::string_view GetPaiTypeName(std::uint8_t type);

}  // namespace krvo
