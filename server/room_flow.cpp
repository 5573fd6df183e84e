// The room's side of a round: the settings round, the start button, chat and
// preferences, and the game's output turned into packets.

#include <algorithm>

#include "server/room.h"
#include "wire/game_protocol.h"
#include "wire/room_protocol.h"

namespace krvo::server {
namespace {

constexpr std::size_t kMaxSettingDigits = 7;
// Fields of a chat line: the sender as shown, and the message.
constexpr std::size_t kChatShownSender = 2;
constexpr std::size_t kChatMessage = 4;

// A stake typed by the owner: digits only (empty counts as 0), within limits.
std::optional<std::int32_t> CheckedSetting(const std::string& text, std::int32_t low,
                                           std::int32_t high) {
    if (text.size() > kMaxSettingDigits) return std::nullopt;
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const std::int32_t value = text.empty() ? 0 : std::stoi(text);
    if (value < low || value > high) return std::nullopt;
    return value;
}

}  // namespace

void Room::offerStart(const Member& member) {
    if (!member.chair || game_.roundRunning()) return;
    SettingsAnnouncement offer;
    offer.name = member.name;
    offer.chair = *member.chair;
    sendTo(member, SettingsAnnouncementPacket(offer));
}

void Room::announceSettings(const Member& member) {
    if (!member.chair || member.computer) return;
    if (phase_ == SettingsPhase::Done) return offerStart(member);
    SettingsAnnouncement announcement;
    announcement.name = member.name;
    announcement.chair = *member.chair;
    announcement.owner = phase_ == SettingsPhase::WaitingForOwner && *member.chair == 0;
    announcement.settingsRound = true;
    announcement.agreeNow = phase_ == SettingsPhase::Agreeing;
    announcement.settings = settingsText_;
    sendTo(member, SettingsAnnouncementPacket(announcement));
}

void Room::ownerSettings(Member& member, std::string_view body) {
    if (phase_ != SettingsPhase::WaitingForOwner || member.chair != std::uint8_t{0}) return;
    const auto& limits = kDefaultTableSettings;
    std::optional<std::int32_t> stake;
    std::optional<std::int32_t> penalty;
    if (const std::optional<OwnerSettings> answer = ParseOwnerSettings(body)) {
        stake = CheckedSetting(answer->settings[0], limits[2], limits[1]);
        penalty = CheckedSetting(answer->settings[3], limits[5], limits[4]);
    }
    if (!stake || !penalty) {
        // The dialog checks the same limits; a bad answer gets the question again.
        return announceSettings(member);
    }
    // The limits are ours, whatever came back with the values.
    const std::vector<std::string> settings = {
        std::to_string(*stake),   std::to_string(limits[1]), std::to_string(limits[2]),
        std::to_string(*penalty), std::to_string(limits[4]), std::to_string(limits[5])};
    settingsText_ = JoinFields(settings);
    phase_ = SettingsPhase::Agreeing;
    agreed_ = {};
    agree(0, true);
    for (const Member& computer : members_) {
        if (phase_ == SettingsPhase::Agreeing && computer.computer && computer.chair) {
            agree(*computer.chair, false);
        }
    }
}

// 112 marks the chair's agreement; the one that completes the round goes out
// with sub id 2, which clears every mark for the start button that follows.
void Room::agree(std::uint8_t chair, bool withSettings) {
    const Member* member = memberInChair(chair);
    if (member == nullptr || agreed_[chair]) return;
    agreed_[chair] = true;
    const std::string name = member->name;
    const bool complete = everybodyAgreed();
    if (withSettings) {
        sendToAll(OwnerSettingsPacket(name, settingsText_));
        if (complete) sendToAll(AllAgreedPacket(name));
    } else {
        sendToAll(complete ? AllAgreedPacket(name) : AgreedPacket(name));
    }
    if (!complete) return;
    phase_ = SettingsPhase::Done;
    for (const Member& present : members_) {
        if (!present.computer) offerStart(present);
    }
}

bool Room::everybodyAgreed() const {
    for (std::uint8_t chair = 0; chair < 4; ++chair) {
        const Member* member = memberInChair(chair);
        if (member == nullptr || !agreed_[chair]) return false;
        if (!member->computer && member->client == 0) return false;
    }
    return true;
}

// 112/1 is the agreement during the settings round and, between rounds with
// the client's room state still idle, the start button.
void Room::readyOrAgree(Member& member) {
    if (!member.chair) return;
    if (phase_ == SettingsPhase::Agreeing) return agree(*member.chair, false);
    if (phase_ != SettingsPhase::Done || game_.roundRunning()) return;
    game_.setReady(*member.chair);
    flush();
}

void Room::relayChat(Member& sender, std::span<const std::uint8_t> packet) {
    std::vector<std::string> fields = SplitFields(PacketToString(packet, 1));
    if (fields.size() < kChatLineFields || fields[0] != sender.name) return;
    if (!takeChatTurn(sender)) return;
    // The receivers read the first ten fields. The sender as shown is the
    // server's to write, or an onlooker's line could claim to be the
    // system's; every field is cut so that a line stays small.
    fields.resize(kChatLineFields);
    const std::string recipient = fields[1];
    fields[kChatShownSender] = sender.name;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t most = i == kChatMessage ? kMaxChatTextBytes : kMaxChatFieldBytes;
        fields[i] = CutAtCharacter(std::move(fields[i]), most);
    }
    const Packet line = ChatLinePacket(fields);
    if (line.empty()) return;
    if (recipient.empty() || recipient == kEverybody) {
        for (const Member& member : members_) {
            if (member.client != 0) output_.sendExpendable(member.client, line);
        }
        return;
    }
    output_.sendExpendable(sender.client, line);
    const Member* target = findMember(recipient);
    if (target != nullptr && target != &sender && target->client != 0) {
        output_.sendExpendable(target->client, line);
    }
}

// A flood from one person is dropped rather than relayed, so the others never
// fall behind on it. The sender keeps the seat: cutting the connection would
// count a seated player as running away for typing too fast, and a dropped
// line costs nothing once it has been read. One notice says what happens.
bool Room::takeChatTurn(Member& sender) {
    const std::int64_t now = clock_.nowMs();
    std::deque<std::int64_t>& times = sender.chatTimes;
    while (!times.empty() && now - times.front() >= kChatWindowMs) times.pop_front();
    if (times.size() < settings_.chatLines) {
        times.push_back(now);
        sender.chatRefused = false;
        return true;
    }
    if (!sender.chatRefused) sendTo(sender, ChatTextPacket("您说话太快了，请稍后再说。"));
    sender.chatRefused = true;
    return false;
}

void Room::preferenceChanged(Member& member, std::string_view body) {
    const std::optional<Preference> preference = ParsePreference(body);
    if (!preference) return;
    member.allowWatch = preference->allowWatch;
    if (!member.chair) return;
    tellOnlookers(*member.chair, SeePaiPacket(member.allowWatch));
}

// The game works with the time of its last advanceTo, so it is brought up to
// date before it is handed anything.
void Room::catchUp() {
    game_.advanceTo(clock_.nowMs());
}

void Room::flush() {
    if (flushing_) return;
    flushing_ = true;
    for (;;) {
        const std::vector<Delivery> deliveries = game_.takeDeliveries();
        for (const Delivery& delivery : deliveries) deliver(delivery);
        noteEvents();
        if (roundEndPending_) {
            roundEndPending_ = false;
            roundEnded();
            continue;
        }
        if (deliveries.empty()) break;
    }
    flushing_ = false;
    schedule();
}

void Room::deliver(const Delivery& delivery) {
    const Packet& packet = delivery.packet;
    if (packet.empty()) return;
    if (packet[0] == GMSG_ROUND_START) {
        roundScored_ = false;
        ranAway_ = {};
    }
    if (packet[0] == GMSG_ROUND_END) noteRoundEnd(packet);
    switch (delivery.audience) {
        case Audience::Everyone:
            return sendToAll(packet);
        case Audience::Player:
            if (const Member* player = memberInChair(delivery.chair)) sendTo(*player, packet);
            return;
        case Audience::PlayerAndViewers:
            if (const Member* player = memberInChair(delivery.chair)) sendTo(*player, packet);
            return tellOnlookers(delivery.chair, packet);
    }
}

// The first round-end report of a round carries the scores; every copy after
// it is the same round.
void Room::noteRoundEnd(const Packet& packet) {
    if (roundScored_) return;
    roundScored_ = true;
    roundEndPending_ = true;
    const std::optional<RoundEndReport> report = ParseRoundEnd(packet);
    if (!report || !report->withScores) return;
    for (std::uint8_t chair = 0; chair < 4; ++chair) {
        const std::int32_t score = report->scores[chair];
        const Member* player = memberInChair(chair);
        if (player == nullptr) continue;
        UserStats& s = stats_[player->name];
        ++s.games;
        s.score += score;
        s.wins += score > 0 ? 1 : 0;
        s.losses += score < 0 ? 1 : 0;
        s.draws += score == 0 ? 1 : 0;
    }
}

// Between rounds nobody can wait for a player who is gone: the chair is
// freed (counted as running away). Now and then a computer celebrates with a
// prop: with the result, at the start of the time people have to press start,
// never later, so that a person is never surprised in the last seconds.
void Room::roundEnded() {
    std::vector<std::string> gone;
    for (const Member& member : members_) {
        if (member.chair && !member.computer && member.client == 0) gone.push_back(member.name);
    }
    for (const std::string& name : gone) {
        const Member* member = findMember(name);
        const std::uint8_t chair = *member->chair;
        if (!ranAway_[chair]) ++stats_[name].escapes;
        ranAway_[chair] = true;
        sendToAll(LeaveTablePacket(name));
        removeMember(*member);
        agreed_[chair] = false;
        game_.clearSeat(chair);
    }
    for (const Member& member : members_) {
        if (member.chair) sendToAll(UserUpdatePacket(userRow(member)));
    }
    std::vector<std::uint8_t> seated;
    std::vector<std::uint8_t> computers;
    for (const Member& member : members_) {
        if (!member.chair) continue;
        seated.push_back(*member.chair);
        if (member.computer) computers.push_back(*member.chair);
    }
    if (settings_.propShows) {
        if (auto used = shop_.maybeComputerProp(computers, seated)) sendToAll(*used);
    }
    checkEmpty();
}

void Room::noteEvents() {
    for (const EngineEvent& event : game_.takeEvents()) {
        if (event.kind == EngineEventKind::RoundEnded) roundEndPending_ = true;
        if (event.kind != EngineEventKind::PlayerRanAway || event.chair >= 4) continue;
        const Member* player = memberInChair(event.chair);
        if (player == nullptr || ranAway_[event.chair]) continue;
        ranAway_[event.chair] = true;
        ++stats_[player->name].escapes;
    }
}

void Room::schedule() {
    const std::optional<std::int64_t> deadline = game_.nextDeadline();
    if (!deadline) return timer_->stop();
    timer_->start(std::max<std::int64_t>(0, *deadline - clock_.nowMs()), true);
}

void Room::onDeadline() {
    game_.advanceTo(clock_.nowMs());
    flush();
}

}  // namespace krvo::server
