#pragma once
// The round's wire values, shared by the table program and the local server:
// the round states the server announces and the kinds of a declaration answer.

#include <cstdint>

namespace krvo {

// "Not decided yet" for a chair's 亮 and "not asked yet" for its 揪, 撅 and 直.
inline constexpr std::uint8_t kAnswerPending = 4;

enum RoundStateCode : std::uint8_t {
    kRoundBetween = 0,
    kRoundShowRedAces = 1,
    kRoundFollowShow = 2,
    kRoundJiu = 3,
    kRoundSurrender = 4,
    kRoundJue = 5,
    kRoundFollowJue = 6,
    kRoundZhi = 7,
    kRoundFollowZhi = 8,
    kRoundLead = 9,
    kRoundFollow = 10,
    kRoundNone = 100,  // an idle table reported on entering
};

// The kind byte of a declaration answer.
enum AnswerKind : std::uint8_t {
    kAnswerLiang = 0,
    kAnswerJiu = 1,
    kAnswerJue = 2,
    kAnswerZhi = 3,
    kAnswerSurrender = 4,
};

constexpr bool IsDeclarationState(std::uint8_t state) {
    return state >= kRoundShowRedAces && state <= kRoundFollowZhi;
}

// The answer kind a declaration state asks for; 亮 outside states 1-8.
constexpr std::uint8_t AnswerKindOf(std::uint8_t state) {
    switch (state) {
        case kRoundJiu:
            return kAnswerJiu;
        case kRoundSurrender:
            return kAnswerSurrender;
        case kRoundJue:
        case kRoundFollowJue:
            return kAnswerJue;
        case kRoundZhi:
        case kRoundFollowZhi:
            return kAnswerZhi;
        default:
            return kAnswerLiang;
    }
}

}  // namespace krvo
