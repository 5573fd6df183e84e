#include "server/room.h"

#include <algorithm>

#include "core/framing.h"
#include "core/gbk.h"
#include "core/user_row.h"
#include "wire/game_protocol.h"
#include "wire/room_protocol.h"
#include "wire/table_snapshot.h"

namespace krvo::server {
namespace {

constexpr std::array<std::string_view, 4> kComputerNames = {"电脑甲", "电脑乙", "电脑丙", "电脑丁"};
// The client shows icon number n as picture (n mod 1000) + 1, and the
// platform holds pictures 1 to 40: the numbers dealt are 0 to 39.
constexpr std::int32_t kIconCount = 40;

// The full list of a full table fits one frame whatever the statistics grow
// to: a row holds 14 numbers of at most 11 characters, two names (each cut,
// then perhaps told apart by a number) and 16 separators.
constexpr std::size_t kWorstRowBytes = 14 * 11 + 2 * (kMaxNameBytes + 10) + 16;
static_assert(kMaxCapacity * kWorstRowBytes + 2 <= kMaxPacketLength);

constexpr std::string_view kTableFull = "本桌人数已满，不能再进入！";
constexpr std::string_view kWrongPassword = "牌桌密码不对，无法入座。";

// A user row's yes/no field. Returned as a string, not assigned from a
// literal: GCC 12 misreads that assignment as an overlapping copy at -O2.
std::string FlagText(bool on) {
    return on ? "1" : "0";
}

// Names end up in backtick-joined rows and LF-joined lists, and in every
// user list and chat pane: control characters (an escape, a tab) would reach
// each of them, so they go; a backtick would split a row.
std::string CleanName(const std::string& name) {
    std::string clean;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) continue;
        clean.push_back(c == '`' ? '_' : c);
    }
    return CutAtCharacter(std::move(clean), kMaxNameBytes);
}

std::int32_t IconFor(std::uint32_t seed, std::uint32_t number) {
    return static_cast<std::int32_t>((seed + number * 7) % kIconCount);
}

std::string JoinSettings(std::span<const std::int32_t> values) {
    std::vector<std::string> fields;
    for (std::int32_t value : values) fields.push_back(std::to_string(value));
    return JoinFields(fields);
}

}  // namespace

std::string CutAtCharacter(std::string text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
    return text;
}

Room::Room(RoomSettings settings, TableGame& game, PropsShop& shop, Clock& clock,
           RoomOutput& output)
    : settings_(std::move(settings)),
      game_(game),
      shop_(shop),
      clock_(clock),
      output_(output),
      settingsText_(JoinSettings(kDefaultTableSettings)) {
    settings_.humans = std::min<std::uint8_t>(settings_.humans, 4);
    settings_.capacity = std::clamp<std::size_t>(settings_.capacity, 4, kMaxCapacity);
    timer_ = clock_.createTimer([this] { onDeadline(); });
    if (settings_.settingsRound && settings_.humans > 0) phase_ = SettingsPhase::WaitingForOwner;
    catchUp();
    for (std::uint8_t chair = settings_.humans; chair < 4; ++chair) {
        Member computer;
        computer.name = std::string(kComputerNames[chair]);
        computer.userId = 9000 + chair;
        computer.iconNo = IconFor(settings_.seed + 20, chair);
        computer.computer = true;
        computer.allowWatch = true;
        computer.chair = chair;
        members_.push_back(computer);
        game_.setSeat(chair, computer.name, true);
    }
    flush();
}

Room::~Room() = default;

Member* Room::memberOfClient(ClientId client) {
    if (client == 0) return nullptr;
    for (Member& member : members_) {
        if (member.client == client) return &member;
    }
    return nullptr;
}

Member* Room::memberInChair(std::uint8_t chair) {
    for (Member& member : members_) {
        if (member.chair == chair) return &member;
    }
    return nullptr;
}

const Member* Room::memberInChair(std::uint8_t chair) const {
    return const_cast<Room*>(this)->memberInChair(chair);
}

const Member* Room::findMember(std::string_view name) const {
    for (const Member& member : members_) {
        if (member.name == name) return &member;
    }
    return nullptr;
}

std::size_t Room::indexOf(const Member& member) const {
    return static_cast<std::size_t>(&member - members_.data());
}

UserStats Room::stats(const std::string& name) const {
    const auto found = stats_.find(name);
    return found == stats_.end() ? UserStats{} : found->second;
}

void Room::packetArrived(ClientId client, std::span<const std::uint8_t> packet) {
    if (packet.size() < 1 || client == 0) return;
    catchUp();
    Member* member = memberOfClient(client);
    const std::uint8_t main = packet[0];
    const std::uint8_t sub = packet.size() > 1 ? packet[1] : 0xFF;
    if (member == nullptr) {
        // Nothing counts before the login.
        if (main == RoomMsg::kLogin && sub == LoginSub::kLogin) login(client, packet);
        return;
    }
    if (main == GMSG_CHAT) return relayChat(*member, packet);
    if (main < RoomMsg::kFirstRoomId) {
        if (!member->chair) return;  // onlookers watch, they do not play
        game_.handlePlayerPacket(*member->chair, packet);
        return flush();
    }
    const std::string body = PacketToString(packet, 2);
    if (main == RoomMsg::kLeave && sub == kOnlySub) return leave(*member, true);
    if (main == RoomMsg::kAgree && sub == AgreeSub::kOwnerSettings) {
        return ownerSettings(*member, body);
    }
    if (main == RoomMsg::kAgree && sub == AgreeSub::kAgreed) return readyOrAgree(*member);
    if (main == RoomMsg::kPreferences && sub == SeePaiSub::kPreference) {
        return preferenceChanged(*member, body);
    }
    if (main == RoomMsg::kProps && sub == DaoJuSub::kBuy) {
        for (const Packet& answer : shop_.buy(member->name, body)) {
            sendTo(*member, answer);
        }
    }
}

void Room::clientClosed(ClientId client) {
    refused_.erase(client);
    Member* member = memberOfClient(client);
    if (member == nullptr) return;
    catchUp();
    leave(*member, false);
}

void Room::login(ClientId client, std::span<const std::uint8_t> packet) {
    const std::optional<LoginRequest> request = ParseLogin(PacketToString(packet, 2));
    if (!request) {
        output_.disconnect(client);
        return;
    }
    if (refused_.contains(client)) return;
    // Checked before a dropped-out player's place is given back: the place is
    // the password's to protect as much as an empty chair.
    if (!settings_.password.empty() && request->tablePassword != settings_.password) {
        // Like a full table, the connection is left to its deadlines so that the
        // notice can be read; it gets no second guess meanwhile.
        refused_.insert(client);
        output_.send(client, RejectPacket(kWrongPassword));
        tellPresence(Presence::Refused, {});
        return;
    }
    const bool allowWatch = request->allowWatch;
    // The login carries no name, so the address is all that tells a player
    // who dropped out from a stranger: only a login from there, and soon
    // enough, gets the chair and its hand back. Anybody else comes in as any
    // newcomer would while the chairs are taken.
    const std::string address = output_.peerAddress(client);
    const auto returning = std::find_if(members_.begin(), members_.end(),
                                        [&](const Member& m) { return mayReturn(m, address); });
    if (returning == members_.end() && !hasRoomForNewcomer()) {
        // The connection is left to the network's login deadlines, so that the
        // person can read why before the program ends with the connection.
        output_.send(client, RejectPacket(kTableFull));
        return;
    }
    output_.loggedIn(client);
    ++logins_;
    emptyReported_ = false;
    if (returning != members_.end()) return welcomeBack(*returning, client, allowWatch);
    Member member;
    member.name = nextName();
    member.userId = static_cast<std::int32_t>(10000 + logins_);
    member.iconNo = IconFor(settings_.seed, logins_);
    member.client = client;
    member.allowWatch = allowWatch;
    member.address = address;
    for (std::uint8_t chair = 0; chair < settings_.humans; ++chair) {
        if (memberInChair(chair) == nullptr) return seatPlayer(std::move(member), chair);
    }
    addOnlooker(std::move(member));
}

// A free chair always takes a newcomer; onlookers fill what the chairs leave.
bool Room::hasRoomForNewcomer() const {
    for (std::uint8_t chair = 0; chair < settings_.humans; ++chair) {
        if (memberInChair(chair) == nullptr) return true;
    }
    const auto onlookers = std::count_if(members_.begin(), members_.end(),
                                         [](const Member& member) { return !member.chair; });
    return static_cast<std::size_t>(onlookers) + 4 < settings_.capacity;
}

bool Room::mayReturn(const Member& member, const std::string& address) const {
    return member.chair && !member.computer && member.client == 0 && member.address == address &&
           clock_.nowMs() - member.droppedAtMs <= settings_.returnWindowMs;
}

std::vector<std::string> Room::awaitedAddresses() const {
    std::vector<std::string> addresses;
    for (const Member& member : members_) {
        if (mayReturn(member, member.address)) addresses.push_back(member.address);
    }
    return addresses;
}

std::string Room::nextName() {
    std::string name;
    if (nextNameIndex_ < settings_.names.size())
        name = CleanName(settings_.names[nextNameIndex_++]);
    if (name.empty()) name = "玩家" + std::to_string(logins_);
    const std::string base = name;
    for (int suffix = 2; findMember(name) != nullptr; ++suffix) {
        name = base + std::to_string(suffix);
    }
    return name;
}

void Room::seatPlayer(Member member, std::uint8_t chair) {
    member.chair = chair;
    members_.push_back(std::move(member));
    const Member& seated = members_.back();
    tellPresence(Presence::Arrived, seated.name);
    game_.setSeat(chair, seated.name, false);
    sendTo(seated, IdentityPacket(seated.name, seated.name));
    greet(seated);
    sendToAll(PlayerArrivesPacket(userRow(seated)), &seated);
    announceSettings(members_.back());
    flush();
}

void Room::addOnlooker(Member member) {
    // Onlookers spread over the chairs in turn.
    for (int step = 0; step < 4; ++step) {
        const auto chair = static_cast<std::uint8_t>((nextWatchedChair_ + step) % 4);
        if (const Member* player = memberInChair(chair)) {
            member.watchedChair = chair;
            member.watchedName = player->name;
            nextWatchedChair_ = static_cast<std::uint8_t>((chair + 1) % 4);
            break;
        }
    }
    members_.push_back(std::move(member));
    const Member& onlooker = members_.back();
    tellPresence(Presence::Arrived, onlooker.name);
    sendTo(onlooker, IdentityPacket(onlooker.name, onlooker.watchedName));
    greet(onlooker);
    sendToAll(OnlookerArrivesPacket(userRow(onlooker)), &onlooker);
    if (game_.roundRunning()) {
        sendTo(onlooker,
               game_.snapshot(onlooker.watchedChair, true, canSee(onlooker.watchedChair)));
    }
}

void Room::welcomeBack(Member& member, ClientId client, bool allowWatch) {
    const std::uint8_t chair = *member.chair;
    const bool seeChanged = member.allowWatch != allowWatch;
    member.client = client;
    member.allowWatch = allowWatch;
    tellPresence(Presence::Arrived, member.name);
    game_.setOffline(chair, false);
    sendTo(member, IdentityPacket(member.name, member.name));
    greet(member);
    sendToAll(UserOnlinePacket(member.name), &member);
    if (seeChanged) tellOnlookers(chair, SeePaiPacket(allowWatch));
    if (game_.roundRunning()) {
        sendTo(member, game_.snapshot(chair, false, true));
    } else {
        announceSettings(member);
    }
    flush();
}

// What every newcomer gets: the list (after the identity, so the client
// centres its view on the right chair), a welcome line and the props.
void Room::greet(const Member& member) {
    std::vector<std::string> rows;
    for (const Member& present : members_) rows.push_back(userRow(present));
    sendTo(member, UserListPacket(rows));
    sendTo(member, ChatTextPacket("欢迎 " + member.name + " 来到本桌，祝您玩得开心！"));
    sendTo(member, shop_.cataloguePacket());
    sendTo(member, shop_.ownedPacket(member.name));
}

void Room::leave(Member& member, bool asked) {
    const ClientId client = member.client;
    tellPresence(Presence::Left, member.name);
    if (!member.chair) {
        const std::string name = member.name;
        removeMember(member);
        sendToAll(OnlookerLeavesPacket(name));
    } else if (game_.roundRunning()) {
        // The round goes on: the game answers for the chair until its player
        // logs in again or the round ends.
        member.client = 0;
        member.droppedAtMs = clock_.nowMs();
        game_.setOffline(*member.chair, true);
        sendToAll(UserOfflinePacket(member.name));
    } else {
        const std::uint8_t chair = *member.chair;
        const std::string name = member.name;
        sendToAll(LeaveTablePacket(name));
        removeMember(member);
        agreed_[chair] = false;
        game_.clearSeat(chair);
    }
    if (asked && client != 0) output_.disconnect(client);
    flush();
    checkEmpty();
}

void Room::tellPresence(Presence presence, const std::string& name) {
    if (onPresence_) onPresence_(presence, name);
}

void Room::removeMember(const Member& member) {
    members_.erase(members_.begin() + static_cast<std::ptrdiff_t>(indexOf(member)));
}

void Room::checkEmpty() {
    if (logins_ == 0 || emptyReported_) return;
    const bool anybody = std::any_of(members_.begin(), members_.end(),
                                     [](const Member& member) { return member.client != 0; });
    if (anybody) return;
    emptyReported_ = true;
    if (onEmpty_) onEmpty_();
}

std::string Room::userRow(const Member& member) const {
    const UserStats s = stats(member.name);
    const auto percent = [&s](std::int32_t part) {
        return std::to_string(s.games == 0 ? 0 : part * 100 / s.games);
    };
    const bool player = member.chair.has_value();
    const std::uint8_t chair = player ? *member.chair : member.watchedChair;
    const bool ready = player && !game_.roundRunning() && game_.isReady(chair);
    const bool offline = player && !member.computer && member.client == 0;
    UserRow row;
    row.userName = member.name;
    row.userId = std::to_string(member.userId);
    row.score = std::to_string(s.score);
    row.level = std::to_string(s.score);
    row.watchedUser = player ? std::string() : member.watchedName;
    row.rounds = std::to_string(s.games);
    row.winRate = percent(s.wins);
    row.runAwayRate = percent(s.escapes);
    row.wins = std::to_string(s.wins);
    row.losses = std::to_string(s.losses);
    row.draws = std::to_string(s.draws);
    row.kind = FlagText(member.computer);
    row.icon = std::to_string(member.iconNo);
    row.chair = std::to_string(chair);
    row.handRaised = FlagText(ready);
    row.offline = FlagText(offline);
    return JoinUserRow(row);
}

void Room::sendTo(const Member& member, const Packet& packet) {
    if (member.client != 0) output_.send(member.client, packet);
}

void Room::sendToAll(const Packet& packet, const Member* except) {
    for (const Member& member : members_) {
        if (&member != except) sendTo(member, packet);
    }
}

bool Room::canSee(std::uint8_t chair) const {
    const Member* player = memberInChair(chair);
    return player != nullptr && player->allowWatch;
}

void Room::tellOnlookers(std::uint8_t chair, const Packet& packet) {
    for (const Member& member : members_) {
        if (!member.chair && member.watchedChair == chair) sendTo(member, packet);
    }
}

}  // namespace krvo::server
