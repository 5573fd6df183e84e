#pragma once
// The client's room handler wired to recorders: every effect it has on the
// list, the chat, dialogs, the scene, the game flow, sounds and boxes is a line
// in one call log; packets and main-window hides are kept apart.

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
    RoomHandler handler{{.launch = launch,
                         .pub = pub,
                         .table = table,
                         .sender = sender,
                         .users = users,
                         .chat = chat,
                         .dialogs = dialogs,
                         .scene = scene,
                         .flow = flow,
                         .sound = sound,
                         .boxes = boxes,
                         .hideMainWindow = [this](bool hide) { hides.push_back(hide); }}};
};

}  // namespace krvo::testing
