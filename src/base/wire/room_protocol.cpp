#include "wire/room_protocol.h"

#include "wire/wire_bytes.h"

namespace krvo {
namespace {

constexpr char kListRowSeparator = '\n';

std::string withName(std::string_view name, std::string_view rest) {
    std::string body(name);
    body.push_back(kFieldSeparator);
    body += rest;
    return body;
}

const char* flag(bool on) {
    return on ? "1" : "0";
}

}  // namespace

Packet BuildLoginPacket(std::uint8_t bteAllowWatchCards, std::string_view tablePassword) {
    std::string body = std::string(kLoginVersion) + kFieldSeparator + kGameCode + kFieldSeparator +
                       std::to_string(bteAllowWatchCards);
    if (!tablePassword.empty()) {
        body.push_back(kFieldSeparator);
        body += tablePassword;
    }
    return HeaderAndText({RoomMsg::kLogin, LoginSub::kLogin}, body);
}

Packet GameOnPacket() {
    return {RoomMsg::kLogin, LoginSub::kGameOn};
}

Packet AgreedPacket(std::string_view myUserName) {
    return HeaderAndText({RoomMsg::kAgree, AgreeSub::kAgreed}, myUserName);
}

Packet PreferencePacket(std::string_view myUserName, std::uint8_t bteAllowWatchCards) {
    return HeaderAndText({RoomMsg::kPreferences, SeePaiSub::kPreference},
                         withName(myUserName, std::to_string(bteAllowWatchCards)));
}

Packet LeaveTablePacket(std::string_view name) {
    return HeaderAndText({RoomMsg::kLeave, kOnlySub}, name);
}

Packet OwnerSettingsPacket(std::string_view name, std::string_view settings) {
    return HeaderAndText({RoomMsg::kAgree, AgreeSub::kOwnerSettings}, withName(name, settings));
}

Packet IdentityPacket(std::string_view myUserName, std::string_view viewUserName) {
    return HeaderAndText({RoomMsg::kLogin, LoginSub::kIdentity},
                         withName(myUserName, viewUserName));
}

Packet UserListPacket(std::span<const std::string> rows) {
    return HeaderAndText({RoomMsg::kLogin, LoginSub::kUserList},
                         JoinFields(rows, kListRowSeparator));
}

Packet PlayerArrivesPacket(std::string_view row) {
    return HeaderAndText({RoomMsg::kLogin, LoginSub::kPlayerArrives}, row);
}

Packet OnlookerArrivesPacket(std::string_view row) {
    return HeaderAndText({RoomMsg::kLogin, LoginSub::kOnlookerArrives}, row);
}

Packet UserOnlinePacket(std::string_view name) {
    return HeaderAndText({RoomMsg::kUser, UserSub::kOnline}, name);
}

Packet UserOfflinePacket(std::string_view name) {
    return HeaderAndText({RoomMsg::kUser, UserSub::kOffline}, name);
}

Packet OnlookerLeavesPacket(std::string_view name) {
    return HeaderAndText({RoomMsg::kUser, UserSub::kOnlookerLeaves}, name);
}

Packet UserUpdatePacket(std::string_view row) {
    return HeaderAndText({RoomMsg::kUser, UserSub::kUpdate}, row);
}

Packet AllAgreedPacket(std::string_view name) {
    return HeaderAndText({RoomMsg::kAgree, AgreeSub::kAllAgreed}, name);
}

Packet ChatTextPacket(std::string_view text) {
    return HeaderAndText({RoomMsg::kChatText, kOnlySub, 0}, text);
}

Packet SettingsAnnouncementPacket(const SettingsAnnouncement& announcement) {
    std::vector<std::string> fields = {announcement.name,
                                       std::to_string(announcement.chair),
                                       "0",
                                       flag(announcement.owner),
                                       "0",
                                       flag(announcement.settingsRound),
                                       flag(announcement.agreeNow)};
    for (std::string& setting : SplitFields(announcement.settings)) {
        fields.push_back(std::move(setting));
    }
    return HeaderAndText({RoomMsg::kSettings, kOnlySub}, JoinFields(fields));
}

std::optional<LoginRequest> ParseLogin(std::string_view body) {
    const std::vector<std::string> fields = SplitFields(body);
    if (fields.size() < 2 || fields[1] != kGameCode) return std::nullopt;
    LoginRequest request;
    request.allowWatch = fields.size() > 2 && LeadingNumber(fields[2]) > 0;
    request.tablePassword = JoinFieldsFrom(fields, 3);
    return request;
}

std::optional<Identity> ParseIdentity(std::string_view body) {
    std::vector<std::string> fields = SplitFields(body);
    if (fields.size() != 2) return std::nullopt;
    return Identity{std::move(fields[0]), std::move(fields[1])};
}

std::optional<SettingsAnnouncement> ParseSettingsAnnouncement(std::string_view body) {
    const std::vector<std::string> fields = SplitFields(body);
    if (fields.size() < kTableSettingsFields) return std::nullopt;
    const auto number = [&](std::size_t i) {
        return i < fields.size() ? LeadingNumber(fields[i]) : 0.0;
    };
    SettingsAnnouncement announcement;
    announcement.owner = number(3) > 0;
    announcement.settingsRound = !(number(5) <= 0);
    announcement.agreeNow = number(6) != 0;
    announcement.settings = JoinFieldsFrom(fields, 7);
    return announcement;
}

std::optional<Agreement> ParseAgreement(std::string_view body) {
    std::vector<std::string> fields = SplitFields(body);
    if (fields.empty()) return std::nullopt;
    Agreement agreement;
    if (fields.size() > 1) agreement.settings = JoinFieldsFrom(fields, 1);
    agreement.name = std::move(fields[0]);
    return agreement;
}

std::optional<OwnerSettings> ParseOwnerSettings(std::string_view body) {
    std::vector<std::string> fields = SplitFields(body);
    if (fields.size() != kTableSettingsFields + 1) return std::nullopt;
    OwnerSettings owner;
    owner.name = std::move(fields[0]);
    owner.settings.assign(fields.begin() + 1, fields.end());
    return owner;
}

std::optional<Preference> ParsePreference(std::string_view body) {
    const std::vector<std::string> fields = SplitFields(body);
    if (fields.size() != 2) return std::nullopt;
    return Preference{fields[0], LeadingNumber(fields[1]) > 0};
}

}  // namespace krvo
