#pragma once
// The client's room handler wired to recorders: every effect it has on the
// list, the chat, dialogs, the scene, the game flow, sounds and boxes is a line
// in one call log; packets and main-window hides are kept apart.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "room/room_handler.h"
#include "state/command_line.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "support/recording_room.h"
#include "support/recording_sender.h"

namespace krvo::testing {

// The room handler's links to the state and doubles of `owner`, which names
// them as the links do.
template <class Owner>
RoomHandler::Links roomLinks(Owner& owner, TableFlow& flow,
                             std::function<void(bool)> hideMainWindow) {
    return {.launch = owner.launch,
            .pub = owner.pub,
            .table = owner.table,
            .sender = owner.sender,
            .users = owner.users,
            .chat = owner.chat,
            .dialogs = owner.dialogs,
            .scene = owner.scene,
            .flow = flow,
            .sound = owner.sound,
            .boxes = owner.boxes,
            .hideMainWindow = std::move(hideMainWindow)};
}

struct RoomWiring {
    explicit RoomWiring(std::string myName) {
        launch.strMyUserName = std::move(myName);
        pub.strAppPath = "/app/krvo/";
        ResetAll(table);
    }

    CallLog log;
    LaunchParams launch;
    PublicState pub;
    TableState table;
    RecordingSender sender;
    RecordingUserList users{log};
    RecordingChat chat{log};
    RecordingDialogs dialogs{log};
    RecordingScene scene{log};
    RecordingFlow flow{log};
    RecordingSound sound{log};
    RecordingBoxes boxes{log};
    std::vector<bool> hides;
    RoomHandler handler{roomLinks(*this, flow, [this](bool hide) { hides.push_back(hide); })};
};

}  // namespace krvo::testing
