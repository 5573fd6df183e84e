// The room's table-state report on arbitrary bytes, for a player and for an
// onlooker, read as the room handler reads it: whatever is read applies the
// same way twice and can be used by the hint search and the checks.

#include <cstdint>
#include <optional>
#include <span>

#include "core/hint.h"
#include "core/patterns.h"
#include "fuzz_check.h"
#include "state/table_state.h"
#include "wire/table_snapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using krvo::fuzz::Require;
    if (size == 0) return 0;
    const bool onlooker = (data[0] & 1) != 0;
    const std::span<const std::uint8_t> packet(data + 1, size - 1);

    krvo::TableState state;
    krvo::ResetAll(state);
    state.arrSeat[1].strUserName = "west";
    state.bteMyPai = {3, 4, 5};
    const std::optional<krvo::TableSnapshot> report = krvo::ParseTableSnapshot(packet);
    if (!report) return 0;
    krvo::ApplyTableSnapshot(state, *report, onlooker);
    const krvo::TableState once = state;
    krvo::ApplyTableSnapshot(state, *report, onlooker);
    Require(state == once, "a report applies the same way twice");
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
