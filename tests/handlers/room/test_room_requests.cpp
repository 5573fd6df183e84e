#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "room/room_requests.h"
#include "state/command_line.h"
#include "support/recording_sender.h"
#include "wire/game_protocol.h"

namespace krvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes With(Bytes head, const std::string& body) {
    head.insert(head.end(), body.begin(), body.end());
    return head;
}

// Each window request goes out as its packet under the name the room gave
// last; a leave before any name, or a chat set that is not ten texts, sends
// nothing.
TEST(RoomRequests, EachRequestSendsItsPacketUnderTheCurrentName) {
    const std::vector<std::string> tenTexts(10, "a");
    const std::vector<std::string> nineTexts(9, "a");
    struct Case {
        const char* what;
        std::string name;
        std::function<void(RoomActions&)> act;
        std::vector<Bytes> sent;
    };
    const Case cases[] = {
        {"agree", "me", [](RoomActions& r) { r.agreeToSettings(); }, {With({112, 1}, "me")}},
        {"owner settings",
         "me",
         [](RoomActions& r) { r.sendOwnerSettings("1`2`3`4`5`6"); },
         {With({112, 0}, "me`1`2`3`4`5`6")}},
        {"leave", "me", [](RoomActions& r) { r.leaveTable(); }, {With({110, 0}, "me")}},
        {"leave before a name", "", [](RoomActions& r) { r.leaveTable(); }, {}},
        {"watch cards",
         "me",
         [](RoomActions& r) { r.sendWatchCardsPreference(0); },
         {With({113, 1}, "me`0")}},
        {"chat of ten",
         "me",
         [&](RoomActions& r) { r.sendChatLine(tenTexts); },
         {ChatLinePacket(tenTexts)}},
        {"chat of nine", "me", [&](RoomActions& r) { r.sendChatLine(nineTexts); }, {}},
    };
    for (const Case& c : cases) {
        LaunchParams launch;
        launch.strMyUserName = "before";
        testing::RecordingSender sender;
        RoomRequests requests({.launch = launch, .sender = sender});
        launch.strMyUserName = c.name;
        c.act(requests);
        ASSERT_EQ(sender.packets.size(), c.sent.size()) << c.what;
        EXPECT_EQ(sender.packets, c.sent) << c.what;
    }
}

}  // namespace
}  // namespace krvo
