#pragma once
// Notices for the people at the table besides the round itself: the votes when
// a player asks to leave a running game, the notice that a player cannot go on,
// and the props messages (catalogue, owned props, a server notice, a prop used
// at the table).

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>

#include "state/exit_reason.h"
#include "wire/message_ids.h"

namespace krvo {

struct LaunchParams;
struct PublicState;
struct TableState;
class ChatOps;
class MessageBoxService;
class PacketSender;
class PropsData;
class SystemAlerts;
class TableScene;

class TableNotices {
public:
    struct Links {
        TableState& table;
        const PublicState& pub;
        // The own name may be replaced after start-up; read through the reference.
        const LaunchParams& launch;
        MessageBoxService& boxes;
        ChatOps& chat;
        PacketSender& sender;
        SystemAlerts& alerts;
        PropsData& props;
        // The picture of a prop over the seat it was used on.
        TableScene& scene;
        // The client leaves the table for the reason given: the program ends.
        std::function<void(ExitReason)> closeMainWindow;
    };

    explicit TableNotices(Links links) : links_(std::move(links)) {}

    // Game messages 24, 5 and 133; any other code is ignored.
    void handleMessage(std::span<const std::uint8_t> packet);

private:
    void onLeave(std::span<const std::uint8_t> packet);
    void leaveRequested(std::uint8_t requester, const std::string& reason);
    void leaveAnswered(std::uint8_t answerer, std::uint8_t requester, bool agreed);
    void leaveGranted(std::uint8_t requester);
    void onCannotGoOn(std::span<const std::uint8_t> packet);
    void onDaoJu(std::span<const std::uint8_t> packet);
    void onPropUsed(std::span<const std::uint8_t> packet);
    // The name of the player a prop message numbers; the number itself for
    // an empty or unknown chair.
    std::string userCalled(std::uint8_t number) const;
    // "道具" and the prop's catalogue name; the number for an unknown prop.
    std::string propCalled(std::int32_t id) const;
    void sendVote(std::uint8_t answer, std::uint8_t answeringChair, std::uint8_t requester);
    // "" for a chair outside 0-3.
    std::string nameOf(std::uint8_t chair) const;

    Links links_;
};

}  // namespace krvo
