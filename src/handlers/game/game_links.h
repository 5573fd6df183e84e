#pragma once
// What the game side of the table works on and through: the shared state, the
// packet sender, the table surface, sounds, message boxes, the chat pane, the
// user's preferences, the event-pumping waits and the clock. Every part of the
// round flow takes the same links; the owner wires them once.

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace krvo {

struct LaunchParams;
struct PublicState;
struct TableState;
struct UserSettings;
class ChatOps;
class Clock;
class MessageBoxService;
class PacketSender;
class SoundPlayer;
class TableScene;
class Waiter;

struct GameLinks {
    // strGameTitle and strMyUserName; the own name may change after start-up,
    // so it is read through the reference each time.
    const LaunchParams& launch;
    PublicState& pub;
    TableState& table;
    PacketSender& sender;
    TableScene& scene;
    SoundPlayer& sound;
    MessageBoxService& boxes;
    ChatOps& chat;
    const UserSettings& settings;
    Waiter& waiter;
    Clock& clock;
    // Unloads the main window: the program ends (the client leaves the table).
    std::function<void()> closeMainWindow;
};

// Game sounds by number.
enum GameSound : int {
    kSoundDeal = 0,
    kSoundShowRedAces = 1,
    kSoundPlay = 2,
    kSoundPass = 3,
    kSoundRedAcePair = 4,
    kSoundBomb = 5,
    kSoundWarning = 6,
    kSoundRoundEnd = 7,
    kSoundJiu = 10,
    kSoundJue = 11,
    kSoundZhi = 12,
    kSoundSurrender = 13,
    kSoundDeclined = 14,
};

// Plays the sound when the user has sounds on.
void PlayGameSound(const GameLinks& links, GameSound sound);
void SendGamePacket(const GameLinks& links, std::span<const std::uint8_t> packet);
// The one-button box of the table: group 0, 10 seconds, "确定". False when the
// program ended while it was open; the caller must then return at once.
bool ShowNotice(const GameLinks& links, std::string_view text, std::string_view caption);
// The local user plays (is no onlooker) and sits in a real chair.
bool IsPlayer(const GameLinks& links);
bool IsMyTurn(const GameLinks& links);

}  // namespace krvo
