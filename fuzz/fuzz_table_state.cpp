// The room's table-state report on arbitrary bytes, for a player and for an
// onlooker: a report that is not applied leaves the state exactly as it was,
// and whatever is applied can be used by the hint search and the checks.

#include <cstdint>
#include <span>

#include "core/hint.h"
#include "core/patterns.h"
#include "fuzz_check.h"
#include "state/table_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using krvo::fuzz::Require;
    if (size == 0) return 0;
    const bool onlooker = (data[0] & 1) != 0;
    const std::span<const std::uint8_t> packet(data + 1, size - 1);

    krvo::TableState state;
    krvo::ResetAll(state);
    state.arrSeat[1].strUserName = "west";
    state.bteMyPai = {3, 4, 5};
    const krvo::TableState before = state;
    if (!krvo::LoadTableState(state, packet, onlooker)) {
        Require(state == before, "a refused report changes nothing");
        return 0;
    }
    Require(krvo::LoadTableState(state, packet, onlooker), "a report applies twice");
    Require(state.bteSelected.size() == state.bteMyPai.size() || state.bteSelected.empty(),
            "one selection mark per card");
    krvo::TipList tips;
    const krvo::OutPaiInfo& top = state.udtMaxOutPai;
    krvo::FindTipPai(tips, state.bteMyPai, top.btePaiType, top.btePaiCount, top.bteMaxPai);
    (void)krvo::CheckFollowPai(state.bteMyPai, top);
    for (const krvo::SeatInfo& seat : state.arrSeat) {
        (void)krvo::GetPaiType(seat.bteOutPai);
        (void)krvo::GetPaiType(seat.bteLastOutPai);
    }
    return 0;
}
