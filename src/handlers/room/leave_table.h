#pragma once
// Asking the other players for leave during a running round, within the
// per-round limit.

#include <cstdint>
#include <string>

namespace krvo {

struct LaunchParams;
struct PublicState;
struct TableState;
class ChatOps;
class MessageBoxService;
class PacketSender;

class LeaveTable {
public:
    struct Links {
        const PublicState& pub;
        const TableState& table;
        MessageBoxService& boxes;
        ChatOps& chat;
        PacketSender& sender;
    };
    explicit LeaveTable(Links links) : links_(links) {}

    // Shows the reason box and, when the player asks to leave, sends the
    // request. The outcome stays in the boxes' leave answer; never closes the
    // window itself.
    void askToLeave();

private:
    Links links_;
};

}  // namespace krvo
