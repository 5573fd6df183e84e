#include "core/user_row.h"

#include <vector>

#include "core/packet.h"

namespace krvo {
namespace {

constexpr std::array<std::string UserRow::*, kUserRowFields> kColumns = {
    &UserRow::userName,    &UserRow::userId, &UserRow::score,      &UserRow::level,
    &UserRow::watchedUser, &UserRow::rounds, &UserRow::winRate,    &UserRow::runAwayRate,
    &UserRow::wins,        &UserRow::losses, &UserRow::draws,      &UserRow::kind,
    &UserRow::icon,        &UserRow::chair,  &UserRow::handRaised, &UserRow::offline,
};

constexpr int kChairsAtTable = 4;

}  // namespace

const std::string& UserRow::field(std::size_t i) const {
    return this->*kColumns[i];
}

bool UserRow::isOnlooker() const {
    return !TrimBlanks(watchedUser).empty();
}

std::optional<std::uint8_t> UserRow::seatChair() const {
    const int seat = LeadingInt32(chair) % kChairsAtTable;
    if (seat < 0) return std::nullopt;
    return static_cast<std::uint8_t>(seat);
}

std::int32_t UserRow::iconNo() const {
    return LeadingInt32(icon);
}

bool UserRow::isHandRaised() const {
    return LeadingNumber(handRaised) > 0;
}

bool UserRow::isOffline() const {
    return LeadingNumber(offline) > 0;
}

std::optional<UserRow> ParseUserRow(std::string_view text) {
    std::vector<std::string> fields = SplitFields(text);
    if (fields.size() != kUserRowFields) return std::nullopt;
    UserRow row;
    for (std::size_t i = 0; i < kUserRowFields; ++i) row.*kColumns[i] = std::move(fields[i]);
    return row;
}

std::string JoinUserRow(const UserRow& row) {
    std::vector<std::string> fields;
    fields.reserve(kUserRowFields);
    for (const auto column : kColumns) fields.push_back(row.*column);
    return JoinFields(fields);
}

}  // namespace krvo
