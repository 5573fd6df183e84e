// The client's room-message handling fed arbitrary packet sequences, with
// every effect recorded instead of shown: no packet may read out of bounds,
// and the seats and the local chair stay within the table.

#include <cstdint>

#include "fuzz_check.h"
#include "packet_script.h"
#include "support/room_wiring.h"
#include "target_ids.h"

namespace {

constexpr auto& kRoomIds = krvo::fuzz::kRoomHandlerIds;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    krvo::fuzz::PacketScript script({data, size}, kRoomIds);
    krvo::testing::RoomWiring side("me");
    const std::uint8_t flags = script.byte();
    side.pub.blnIsOnlooker = (flags & 1) != 0;
    side.dialogs.accept = (flags & 2) != 0;
    side.boxes.answerYes = (flags & 4) != 0;
    if (flags & 8) side.table.arrSeat[flags >> 6].strUserName = "me";
    while (!script.done()) {
        side.handler.handleRoomMessage(script.packet());
        side.log.clear();
    }
    krvo::fuzz::Require(side.pub.bteMyChair < krvo::kChairCount, "the local chair is a chair");
    return 0;
}
