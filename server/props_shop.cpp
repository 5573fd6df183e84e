#include "server/props_shop.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "wire/props_protocol.h"

namespace krvo::server {
namespace {

// Props used on another player come in bundles and last a day; the ones kept
// for oneself are single pieces that last a week.
constexpr ShopItem Other(std::int32_t id, std::string_view name, std::int32_t price) {
    return {id, name, 5, 24, price, price * 4 / 5, price * 4 / 5, price * 3 / 5, false};
}
constexpr ShopItem Self(std::int32_t id, std::string_view name, std::int32_t price) {
    return {id, name, 1, 168, price, price * 4 / 5, price * 4 / 5, price * 3 / 5, true};
}

constexpr std::array<ShopItem, 12> kItems = {{
    Other(1, "鲜花", 10),
    Other(2, "鸡蛋", 10),
    Other(3, "红包", 50),
    Other(4, "掌声", 20),
    Other(5, "烟花", 40),
    Other(6, "香茶", 20),
    Self(7, "幸运星", 60),
    Self(8, "金边头像", 100),
    Self(9, "招财猫", 80),
    Self(10, "护身符", 70),
    Self(11, "喇叭", 30),
    Self(12, "奖杯", 120),
}};

constexpr std::array<std::string_view, 2> kTypeNames = {"互动道具", "个人道具"};

}  // namespace

std::int64_t ExpiryStamp(std::chrono::sys_seconds moment) {
    using namespace std::chrono;
    const sys_days day = floor<days>(moment);
    const year_month_day date(day);
    const auto hour = duration_cast<hours>(moment - day).count();
    return static_cast<std::int64_t>(static_cast<int>(date.year())) * 1000000 +
           static_cast<std::int64_t>(static_cast<unsigned>(date.month())) * 10000 +
           static_cast<std::int64_t>(static_cast<unsigned>(date.day())) * 100 + hour;
}

PropsShop::PropsShop(std::uint32_t seed, WallClock now)
    : now_(std::move(now)), random_(seed ^ 0x5eedu) {
    if (!now_) {
        now_ = [] {
            return std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
        };
    }
}

const ShopItem* PropsShop::findItem(std::int32_t id) {
    const auto it = std::find_if(kItems.begin(), kItems.end(),
                                 [id](const ShopItem& item) { return item.lngID == id; });
    return it == kItems.end() ? nullptr : &*it;
}

Packet PropsShop::cataloguePacket() const {
    std::vector<std::string> fields;
    fields.push_back(std::to_string(kTypeNames.size()));
    for (std::string_view name : kTypeNames) fields.emplace_back(name);
    fields.push_back(std::to_string(kItems.size()));
    for (const ShopItem& item : kItems) {
        const std::int32_t values[] = {
            item.lngID,         item.onSelf ? 1 : 0, 0,
            item.lngCount,      item.lngHours,       item.lngPrice,
            item.lngPriceNow,   item.lngMemberPrice, item.lngMemberPriceNow,
            item.onSelf ? 1 : 0};
        for (std::size_t i = 0; i < std::size(values); ++i) {
            fields.push_back(i == 2 ? std::string(item.strName) : std::to_string(values[i]));
        }
    }
    return PropCataloguePacket(JoinFields(fields));
}

Packet PropsShop::ownedPacket(const std::string& user) const {
    std::vector<std::string> fields;
    const auto found = owned_.find(user);
    if (found != owned_.end()) {
        for (const auto& [id, owned] : found->second) {
            fields.push_back(std::to_string(id));
            fields.push_back(std::to_string(owned.left));
            fields.push_back(std::to_string(ExpiryStamp(owned.expires)));
        }
    }
    return OwnedPropsPacket(JoinFields(fields, ':'));
}

std::int32_t PropsShop::coins(const std::string& user) const {
    const auto found = coins_.find(user);
    return found == coins_.end() ? kStartingCoins : found->second;
}

std::int32_t& PropsShop::balance(const std::string& user) {
    return coins_.try_emplace(user, kStartingCoins).first->second;
}

std::vector<Packet> PropsShop::buy(const std::string& user, std::string_view body) {
    const ShopItem* item = body.empty() ? nullptr : findItem(LeadingInt32(body));
    if (item == nullptr) return {PropsNoticePacket("没有这种道具，购买失败！")};
    std::int32_t& coins = balance(user);
    const std::int32_t price = item->lngPriceNow;
    if (coins < price) {
        return {PropsNoticePacket("金币不足，购买" + std::string(item->strName) + "需要 " +
                                  std::to_string(price) + " 金币，您只有 " + std::to_string(coins) +
                                  " 金币。")};
    }
    coins -= price;
    Owned& owned = owned_[user][item->lngID];
    // A second purchase adds pieces and time on top of what is left.
    const auto start = std::max(owned.expires, now_());
    owned.expires = start + std::chrono::hours(item->lngHours);
    owned.left += item->lngCount;
    return {ownedPacket(user),
            PropsNoticePacket("购买成功！您买了" + std::to_string(item->lngCount) + "个" +
                              std::string(item->strName) + "，花费 " + std::to_string(price) +
                              " 金币，还剩 " + std::to_string(coins) + " 金币。")};
}

std::optional<Packet> PropsShop::maybeComputerProp(std::span<const std::uint8_t> computers,
                                                   std::span<const std::uint8_t> seated) {
    if (computers.empty() || seated.size() < 2) return std::nullopt;
    // Now and then, so that the table sees it as a surprise, not a routine.
    if (std::uniform_int_distribution<int>(1, kPropRounds)(random_) != 1) return std::nullopt;
    const std::uint8_t chair =
        computers[std::uniform_int_distribution<std::size_t>(0, computers.size() - 1)(random_)];
    std::vector<std::uint8_t> others;
    std::copy_if(seated.begin(), seated.end(), std::back_inserter(others),
                 [chair](std::uint8_t other) { return other != chair; });
    if (others.empty()) return std::nullopt;
    const std::uint8_t target =
        others[std::uniform_int_distribution<std::size_t>(0, others.size() - 1)(random_)];
    const auto id = static_cast<std::uint32_t>(std::uniform_int_distribution<int>(1, 6)(random_));
    return PropUsedPacket({chair, target, static_cast<std::int32_t>(id)});
}

}  // namespace krvo::server
