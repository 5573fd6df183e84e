#pragma once
// The props sold at the table: the catalogue (IDs 1-12, the names the asset
// generator gave them), a coin balance and the owned props of every user, and
// the occasional prop a computer player throws. Qt-free.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/packet.h"

namespace krvo::server {

struct ShopItem {
    std::int32_t lngID = 0;
    std::string_view strName;  // UTF-8
    std::int32_t lngCount = 1;
    std::int32_t lngHours = 24;
    std::int32_t lngPrice = 0;
    std::int32_t lngPriceNow = 0;
    std::int32_t lngMemberPrice = 0;
    std::int32_t lngMemberPriceNow = 0;
    bool onSelf = false;
};

class PropsShop {
public:
    using WallClock = std::function<std::chrono::sys_seconds()>;

    static constexpr std::int32_t kStartingCoins = 300;

    // now gives the wall time that expiry moments count from; the system clock
    // when left empty.
    explicit PropsShop(std::uint32_t seed, WallClock now = {});

    static const ShopItem* findItem(std::int32_t id);

    Packet cataloguePacket() const;                     // 133/0
    Packet ownedPacket(const std::string& user) const;  // 133/1
    std::int32_t coins(const std::string& user) const;

    // A buy request (the body of 133/0): the new owned list when the purchase
    // went through, always followed by a notice (133/2) that says how it went.
    std::vector<Packet> buy(const std::string& user, std::string_view body);

    // Called once per table at the end of a round, with the chairs of the
    // computers and of everybody seated: about one round in kPropRounds one
    // of the computers uses a prop on one of the others (133/3 for everyone),
    // all chosen from the seed.
    static constexpr int kPropRounds = 10;
    std::optional<Packet> maybeComputerProp(std::span<const std::uint8_t> computers,
                                            std::span<const std::uint8_t> seated);

private:
    struct Owned {
        std::int32_t left = 0;
        std::chrono::sys_seconds expires{};
    };

    std::int32_t& balance(const std::string& user);

    WallClock now_;
    std::mt19937 random_;
    std::map<std::string, std::int32_t> coins_;
    std::map<std::string, std::map<std::int32_t, Owned>> owned_;
};

// YYYYMMDDHH of a moment (UTC), the expiry form of the owned list.
std::int64_t ExpiryStamp(std::chrono::sys_seconds moment);

}  // namespace krvo::server
