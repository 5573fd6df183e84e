#pragma once
// The table as people see it: logins, chairs and onlookers, the user list, the
// settings round, chat, preferences and props. The round itself belongs to the
// game; the room turns what the game produces into packets for the right people.
// Qt-free: connections are numbers, sending goes through RoomOutput, time
// through a Clock.

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/packet.h"
#include "server/props_shop.h"
#include "server/table_game.h"

namespace krvo::server {

using ClientId = std::uint32_t;

// None of these calls re-enters the room: a connection that ends while the room
// is sending is reported through Room::clientClosed afterwards, so the room may
// send from inside any loop over its members.
class RoomOutput {
public:
    virtual ~RoomOutput() = default;
    virtual void send(ClientId client, const Packet& packet) = 0;
    // A packet the client can do without (a chat line): the network may skip
    // it for a client that is behind in reading, so that chat never costs a
    // member the connection.
    virtual void sendExpendable(ClientId client, const Packet& packet) { send(client, packet); }
    // Ends a connection the room has already let go of; the room is not told again.
    virtual void disconnect(ClientId client) = 0;
    // The client is at the table now; until then the network may end the
    // connection on its own deadlines.
    virtual void loggedIn(ClientId) {}
    // Where the connection comes from, as the network sees it: the only thing
    // that tells one person's connection from another's, since the login
    // carries no identity. Empty when unknown.
    virtual std::string peerAddress(ClientId) const { return {}; }
};

// People and computers at one table, the four chairs included. The largest
// capacity still lets the full user list of a full table travel in one frame.
inline constexpr std::size_t kDefaultCapacity = 100;
inline constexpr std::size_t kMaxCapacity = 200;
// Longer names are cut (at a character boundary), which keeps every user row short.
inline constexpr std::size_t kMaxNameBytes = 32;
// Chat lines one person may send in any such window; the rest are dropped.
inline constexpr std::int64_t kChatWindowMs = 10'000;
inline constexpr std::size_t kDefaultChatLines = 10;
// A chat line's message is cut to this many bytes (at a character boundary),
// every other field of it to kMaxChatFieldBytes: a line stays small, so that
// lines from a crowd of onlookers cannot swamp anybody's connection.
inline constexpr std::size_t kMaxChatTextBytes = 1000;
inline constexpr std::size_t kMaxChatFieldBytes = 64;
// How long a player who dropped out during a round may come back to the
// chair: about as long as the round waits for an offline player before the
// automatic plays count as running away (five plays of 30 seconds).
inline constexpr std::int64_t kDefaultReturnWindowMs = 150'000;

// The text cut to at most maxBytes, never inside a UTF-8 character.
std::string CutAtCharacter(std::string text, std::size_t maxBytes);

struct RoomSettings {
    std::uint8_t humans = 1;  // chairs 0..humans-1 wait for people
    std::vector<std::string> names;
    bool settingsRound = false;
    std::uint32_t seed = 1;
    std::size_t capacity = kDefaultCapacity;
    std::size_t chatLines = kDefaultChatLines;
    // Computers now and then use a prop on somebody at a round's end.
    bool propShows = true;
    // A login must carry it to take a place; empty: anybody may sit down.
    std::string password;
    // A dropped player's chair goes back only to a login from the same
    // address within this time.
    std::int64_t returnWindowMs = kDefaultReturnWindowMs;
};

// What the host of a table is told about the people at it.
enum class Presence { Arrived, Left, Refused };

struct UserStats {
    std::int32_t score = 0;
    std::int32_t games = 0;
    std::int32_t wins = 0;
    std::int32_t losses = 0;
    std::int32_t draws = 0;
    std::int32_t escapes = 0;
};

struct Member {
    std::string name;
    std::int32_t userId = 0;
    std::int32_t iconNo = 1;
    ClientId client = 0;  // 0: no connection (a computer, or a player who dropped)
    bool computer = false;
    bool allowWatch = false;            // onlookers of this player may see the hand
    std::optional<std::uint8_t> chair;  // set for players
    std::uint8_t watchedChair = 0;      // onlookers only
    std::string watchedName;
    std::deque<std::int64_t> chatTimes;  // lines relayed within the chat window
    bool chatRefused = false;            // told that the rest are dropped
    std::string address;                 // where the member logged in from
    std::int64_t droppedAtMs = 0;        // when a seated player's connection ended
};

// The stakes offered in the settings round: stake, its maximum and minimum,
// runaway penalty, its maximum and minimum.
inline constexpr std::array<std::int32_t, 6> kDefaultTableSettings = {10, 1000, 1, 30, 300, 0};

class Room {
public:
    Room(RoomSettings settings, TableGame& game, PropsShop& shop, Clock& clock, RoomOutput& output);
    ~Room();
    Room(const Room&) = delete;
    Room& operator=(const Room&) = delete;

    void packetArrived(ClientId client, std::span<const std::uint8_t> packet);
    void clientClosed(ClientId client);

    // Called once when the last person has gone after somebody had logged in.
    void setEmptyHandler(std::function<void()> handler) { onEmpty_ = std::move(handler); }
    // Told of each person who takes a place or comes back (Arrived), goes or
    // drops out (Left), and of each login refused for its password (Refused,
    // with no name: the room never learnt one).
    void setPresenceHandler(std::function<void(Presence, const std::string& name)> handler) {
        onPresence_ = std::move(handler);
    }

    const Member* findMember(std::string_view name) const;
    const std::vector<Member>& members() const { return members_; }
    UserStats stats(const std::string& name) const;
    // The addresses of seated players who dropped out and may still come back:
    // the network keeps room for them.
    std::vector<std::string> awaitedAddresses() const;
    // The settings the owner fixed, as six fields; the defaults until then.
    const std::string& tableSettings() const { return settingsText_; }
    std::string userRow(const Member& member) const;

private:
    enum class SettingsPhase { WaitingForOwner, Agreeing, Done };

    Member* memberOfClient(ClientId client);
    Member* memberInChair(std::uint8_t chair);
    const Member* memberInChair(std::uint8_t chair) const;
    std::size_t indexOf(const Member& member) const;

    // Logging in and leaving.
    void login(ClientId client, std::span<const std::uint8_t> packet);
    bool hasRoomForNewcomer() const;
    bool mayReturn(const Member& member, const std::string& address) const;
    std::string nextName();
    void seatPlayer(Member member, std::uint8_t chair);
    void addOnlooker(Member member);
    void welcomeBack(Member& member, ClientId client, bool allowWatch);
    void greet(const Member& member);
    void leave(Member& member, bool asked);
    void removeMember(const Member& member);
    void checkEmpty();
    void tellPresence(Presence presence, const std::string& name);

    // The settings round and the start button.
    void offerStart(const Member& member);
    void announceSettings(const Member& member);
    void ownerSettings(Member& member, std::string_view body);
    void agree(std::uint8_t chair, bool withSettings);
    bool everybodyAgreed() const;
    void readyOrAgree(Member& member);

    // Messages that stay in the room.
    void relayChat(Member& sender, std::span<const std::uint8_t> packet);
    bool takeChatTurn(Member& sender);
    void preferenceChanged(Member& member, std::string_view body);
    void tellOnlookers(std::uint8_t chair, const Packet& packet);

    // The game's output and clock.
    void catchUp();
    void flush();
    void noteEvents();
    void deliver(const Delivery& delivery);
    void noteRoundEnd(const Packet& packet);
    void roundEnded();
    void schedule();
    void onDeadline();

    void sendTo(const Member& member, const Packet& packet);
    void sendToAll(const Packet& packet, const Member* except = nullptr);
    bool canSee(std::uint8_t chair) const;

    RoomSettings settings_;
    TableGame& game_;
    PropsShop& shop_;
    Clock& clock_;
    RoomOutput& output_;
    std::unique_ptr<Timer> timer_;
    std::function<void()> onEmpty_;
    std::function<void(Presence, const std::string&)> onPresence_;
    // Connections that gave a wrong password: one guess each, the rest of
    // their logins are ignored until the network's deadline ends them.
    std::set<ClientId> refused_;

    std::vector<Member> members_;  // in list order
    std::map<std::string, UserStats> stats_;
    std::uint32_t logins_ = 0;
    std::size_t nextNameIndex_ = 0;
    std::uint8_t nextWatchedChair_ = 0;
    bool emptyReported_ = false;

    SettingsPhase phase_ = SettingsPhase::Done;
    std::array<bool, 4> agreed_{};
    std::string settingsText_;

    bool flushing_ = false;
    bool roundEndPending_ = false;
    bool roundScored_ = false;
    std::array<bool, 4> ranAway_{};  // escapes already counted this round
};

}  // namespace krvo::server
