#include "server/seat_view.h"

#include <algorithm>

namespace krvo::server {
namespace {

int redAcesIn(const CardList& cards) {
    return static_cast<int>(std::count_if(cards.begin(), cards.end(), IsRedAce));
}

int bitCount(std::uint8_t bits) {
    return (bits & 1) + ((bits >> 1) & 1);
}

// How many chairs the red side has, when the table has told: with one deck
// the surrender question is asked exactly when one chair holds both red aces.
std::optional<int> redSideSize(const SeatView& view) {
    if (view.decks != 1) return std::nullopt;
    if (view.surrenderAsked) return 1;
    if (view.pastSurrenderStep()) return 2;
    return std::nullopt;
}

}  // namespace

bool SeatView::pastSurrenderStep() const {
    if (IsDeclarationState(bteRoundState)) return bteRoundState >= kRoundJue;
    return bteRoundState == kRoundLead || bteRoundState == kRoundFollow;
}

SeatView SeatViewOf(const Round& round, std::uint8_t chair) {
    SeatView view;
    view.me = static_cast<std::uint8_t>(chair % kChairs);
    view.decks = round.decks;
    view.bteRoundState = round.bteRoundState;
    view.bteCurChair = round.bteCurChair;
    view.bteShouJiaChair = round.bteShouJiaChair;
    view.stake = StakeOf(round);
    view.hand = round.seats[view.me].hand;
    view.udtMaxOutPai = round.udtMaxOutPai;
    view.passes = round.passes;
    view.surrenderAsked = round.surrenderAsked;
    for (std::uint8_t each = 0; each < kChairs; ++each) {
        const SeatRound& seat = round.seats[each];
        ChairView& seen = view.chairs[each];
        seen.cardsLeft = static_cast<std::uint8_t>(std::min<std::size_t>(seat.hand.size(), 255));
        seen.played = seat.played;
        seen.bteLiang = seat.bteLiang;
        seen.bteJiu = seat.bteJiu;
        seen.bteJue = seat.bteJue;
        seen.bteZhi = seat.bteZhi;
        seen.redShown = seat.shown ? seat.redAces : 0;
        seen.bteMingCi = seat.bteMingCi;
    }
    return view;
}

std::array<SideKnown, kChairs> KnownSides(const SeatView& view) {
    std::array<SideKnown, kChairs> sides{};
    int located = 0;  // red aces whose chair everybody (or this chair) knows
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        const ChairView& seen = view.chairs[chair];
        const int played = redAcesIn(seen.played);
        if (chair == view.me) {
            const int held = redAcesIn(view.hand) + played;
            located += held;
            sides[chair] = held > 0 ? SideKnown::Red : SideKnown::Black;
            continue;
        }
        located += std::max(played, bitCount(seen.redShown));
        if (seen.redShown != 0 || played > 0 || seen.bteZhi == 1) sides[chair] = SideKnown::Red;
        if (seen.bteJiu == 1 || seen.bteJue == 1) sides[chair] = SideKnown::Black;
    }
    if (view.surrenderAsked) {
        for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
            sides[chair] = chair == *view.surrenderAsked ? SideKnown::Red : SideKnown::Black;
        }
        return sides;
    }
    // Every red ace found: whoever is left holds none.
    if (located >= RedAceCount(view.decks)) {
        for (SideKnown& side : sides) {
            if (side == SideKnown::Unknown) side = SideKnown::Black;
        }
        return sides;
    }
    const std::optional<int> size = redSideSize(view);
    if (!size) return sides;
    const auto count = [&sides](SideKnown which) {
        return static_cast<int>(std::count(sides.begin(), sides.end(), which));
    };
    const int red = count(SideKnown::Red);
    const int unknown = count(SideKnown::Unknown);
    if (red == *size || red + unknown == *size) {
        const SideKnown rest = red == *size ? SideKnown::Black : SideKnown::Red;
        for (SideKnown& side : sides) {
            if (side == SideKnown::Unknown) side = rest;
        }
    }
    return sides;
}

}  // namespace krvo::server
