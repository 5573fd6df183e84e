#pragma once
// Room messages: who sits and who watches, offline marks, the table reset,
// the settings round, chat text and the snapshot of a running round.

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace krvo {

struct LaunchParams;
struct PublicState;
struct TableState;
class PacketSender;
class UserListOps;
class ChatOps;
class SettingsDialogOpener;
class TableScene;
class TableFlow;
class SoundPlayer;
class MessageBoxService;

class RoomHandler {
public:
    struct Links {
        LaunchParams& launch;
        PublicState& pub;
        TableState& table;
        PacketSender& sender;
        UserListOps& users;
        ChatOps& chat;
        SettingsDialogOpener& dialogs;
        TableScene& scene;
        TableFlow& flow;
        SoundPlayer& sound;
        MessageBoxService& boxes;
        // Hides (true) or shows (false) the main window.
        std::function<void(bool hide)> hideMainWindow;
    };

    explicit RoomHandler(Links links) : links_(links) {}

    void handleRoomMessage(std::span<const std::uint8_t> packet);
    // 110/0 with the own name: leave the table.
    void sendLeaveTable();
    void resetStartButtonState();

private:
    void onlookerArrives(std::string_view body);
    void tableReset();
    void ownNames(std::string_view body);
    void userArrives(std::string_view body);
    void offlineChanged(std::string_view name, bool offline);
    void onlookerLeaves(std::string_view name);
    void userLeaves(std::string_view name);
    void settingsAnnounced(std::string_view body);
    void settingsAgreed(std::uint8_t subId, std::string_view body);
    void roundSnapshot(std::span<const std::uint8_t> packet);
    // Opens the settings dialog; leaves the table when it cannot be opened.
    bool openSettings(bool owner, std::string_view settings);
    // The first chair whose player has this name; -1 for none (and for "").
    int seatOf(std::string_view name) const;

    Links links_;
};

}  // namespace krvo
