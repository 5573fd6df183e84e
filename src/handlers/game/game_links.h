#pragma once
// What the game side of the table is wired with, and the small pieces its
// parts share. The owner hands GameTable the whole set once; GameTable gives
// each part (clock, start button, actions, round flow, automatic play, the
// message handler) only the references that part uses, in its own Links.

#include <cstdint>
#include <functional>
#include <string_view>

#include "state/exit_reason.h"

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
    // The client leaves the table on its own, for the reason given: the
    // program tells the player why and ends.
    std::function<void(ExitReason)> closeMainWindow;
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

// The game's sounds, played only when the user has sounds on.
struct GameSounds {
    SoundPlayer& sound;
    const UserSettings& settings;

    void play(GameSound which) const;
};

// The one-button box of the table: group 0, 10 seconds, "确定".
struct NoticeBox {
    MessageBoxService& boxes;
    Waiter& waiter;

    // False when the program ended while it was open; the caller must then
    // return at once.
    bool show(std::string_view text, std::string_view caption) const;
};

// The local user plays (is no onlooker) and sits in a real chair.
bool IsPlayer(const PublicState& pub);
bool IsMyTurn(const PublicState& pub, const TableState& table);

}  // namespace krvo
