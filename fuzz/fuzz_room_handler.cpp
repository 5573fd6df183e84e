// The client's room-message handling fed arbitrary packet sequences, with
// every effect recorded instead of shown: no packet may read out of bounds,
// and the seats and the local chair stay within the table.

#include <cstdint>

#include "state/command_line.h"
#include "state/public_state.h"
#include "fuzz_check.h"
#include "state/table_state.h"
#include "room/room_handler.h"
#include "packet_script.h"
#include "target_ids.h"
#include "support/recording_room.h"
#include "support/recording_sender.h"

namespace {

constexpr auto& kRoomIds = krvo::fuzz::kRoomHandlerIds;

struct RoomSide {
    RoomSide() {
        launch.strMyUserName = "me";
        pub.strAppPath = "/app/krvo/";
        krvo::ResetAll(table);
    }

    krvo::testing::CallLog log;
    krvo::LaunchParams launch;
    krvo::PublicState pub;
    krvo::TableState table;
    krvo::testing::RecordingSender sender;
    krvo::testing::RecordingUserList users{log};
    krvo::testing::RecordingChat chat{log};
    krvo::testing::RecordingDialogs dialogs{log};
    krvo::testing::RecordingScene scene{log};
    krvo::testing::RecordingFlow flow{log};
    krvo::testing::RecordingSound sound{log};
    krvo::testing::RecordingBoxes boxes{log};
    krvo::RoomHandler handler{
        {launch, pub, table, sender, users, chat, dialogs, scene, flow, sound, boxes, [](bool) {}}};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    krvo::fuzz::PacketScript script({data, size}, kRoomIds);
    RoomSide side;
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
