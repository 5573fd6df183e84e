#include "props/props_data.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "core/gbk.h"
#include "core/ini_file.h"
#include "core/packet.h"
#include "core/resource_path.h"
#include "ports/packet_sender.h"
#include "wire/props_protocol.h"

namespace krvo {
namespace {

constexpr std::size_t kCatalogueGroupSize = 10;
constexpr char kOwnedSeparator = ':';
constexpr std::size_t kOwnedGroupSize = 3;
// The profile reader's buffer holds 1024 bytes including the terminator.
constexpr std::size_t kNoteBytes = 1023;
// A note of at most 1023 bytes for each of hundreds of props; a bigger file
// is not the platform's, and reading it would freeze the window.
constexpr std::size_t kNoteFileBytes = std::size_t{1} << 20;

// Expiry numbers (YYYYMMDDHH) pass the 32-bit range from the year 2148 on.
std::int64_t leadingInt64(std::string_view text) {
    const double value = LeadingNumber(text);
    if (std::isnan(value)) return 0;
    constexpr double kLimit = 9.0e18;
    return std::llround(std::clamp(value, -kLimit, kLimit));
}

std::int32_t toInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

void setExpiry(OwnedProp& prop, std::int64_t yyyymmddhh) {
    prop.lngYear = toInt32(yyyymmddhh / 1000000);
    prop.lngMonth = toInt32(yyyymmddhh % 1000000 / 10000);
    prop.lngDay = toInt32(yyyymmddhh % 10000 / 100);
    prop.lngHour = toInt32(yyyymmddhh % 100);
}

PropItem catalogueItem(std::span<const std::string> group) {
    PropItem item;
    item.lngID = LeadingInt32(group[0]);
    item.strName = group[2];
    item.lngCount = LeadingInt32(group[3]);
    item.lngHours = LeadingInt32(group[4]);
    item.lngPrice = LeadingInt32(group[5]);
    item.lngPriceNow = LeadingInt32(group[6]);
    item.lngMemberPrice = LeadingInt32(group[7]);
    item.lngMemberPriceNow = LeadingInt32(group[8]);
    item.bteTarget = LeadingByte(group[9]);
    return item;
}

// At most kNoteBytes bytes, never ending inside a two-byte character.
std::vector<std::uint8_t> noteBytes(std::string_view raw) {
    std::vector<std::uint8_t> bytes;
    for (const char c : raw) {
        if (c != '\0') bytes.push_back(static_cast<std::uint8_t>(c));
    }
    std::size_t kept = 0;
    while (kept < bytes.size()) {
        const std::size_t width = bytes[kept] > 127 ? 2 : 1;
        if (kept + width > kNoteBytes) break;
        kept += width;
    }
    bytes.resize(std::min(kept, bytes.size()));
    return bytes;
}

std::string noteFrom(const IniFile& notes, std::int32_t id) {
    const auto raw = notes.value("DaoJuInfo_ID_" + std::to_string(id), "Note");
    if (!raw) return {};
    return std::string(TrimBlanks(DecodeGbk(noteBytes(*raw))));
}

}  // namespace

std::string ReadPropNote(const std::string& iniPath, std::int32_t id) {
    if (iniPath.empty()) return {};
    return noteFrom(IniFile::load(iniPath, kNoteFileBytes), id);
}

void PropsData::resetMarket() {
    blnMarketOpen = false;
    strPropTypeNames.assign(1, std::string());
    arrPropTabs.assign(1, PropTab{});
    arrOwnedTabs.assign(1, OwnedTab{});
    bteCurPropTab = 1;
    bteCurOwnedTab = 1;
}

void PropsData::readCatalogue(std::string_view body) {
    const std::vector<std::string> fields = SplitFields(body);
    if (fields.empty()) return;
    const std::size_t types = static_cast<std::size_t>(std::max(0, LeadingInt32(fields[0])));
    // The type names and the count of props must all be there; a body that
    // promises more than it holds leaves the old catalogue alone.
    if (fields.size() - 1 < types + 1) return;
    const std::size_t promised =
        static_cast<std::size_t>(std::max(0, LeadingInt32(fields[types + 1])));
    const std::size_t first = types + 2;
    const std::size_t whole = (fields.size() - first) / kCatalogueGroupSize;

    std::vector<OwnedProp> owned;
    for (std::size_t tab = 1; tab < arrOwnedTabs.size(); ++tab) {
        const auto& items = arrOwnedTabs[tab].arrItems;
        owned.insert(owned.end(), items.begin() + 1, items.end());
    }

    strPropTypeNames.assign(fields.begin(),
                            fields.begin() + static_cast<std::ptrdiff_t>(first - 1));
    strPropTypeNames[0].clear();
    arrPropTabs.assign(types + 1, PropTab{});
    bteCurPropTab = 1;
    // Read once for the whole catalogue, not once per prop.
    const IniFile notes = IniFile::load(noteFilePath(), kNoteFileBytes);
    const std::span<const std::string> all(fields);
    for (std::size_t group = 0; group < std::min(promised, whole); ++group) {
        PropItem item =
            catalogueItem(all.subspan(first + group * kCatalogueGroupSize, kCatalogueGroupSize));
        const std::int32_t type = LeadingInt32(fields[first + group * kCatalogueGroupSize + 1]);
        // A prop of a type the catalogue does not name has no tab to go to.
        if (type < 0 || static_cast<std::size_t>(type) >= types) continue;
        item.strNote = noteFrom(notes, item.lngID);
        arrPropTabs[static_cast<std::size_t>(type) + 1].arrItems.push_back(std::move(item));
    }

    clearOwnedTabs();
    bteCurOwnedTab = 1;
    for (OwnedProp& prop : owned) {
        const std::int32_t tab = tabOfProp(prop.lngID, nullptr);
        fileOwned(std::move(prop), tab == 0 ? 1 : tab);
    }
    repaintIfOpen();
}

void PropsData::readOwnedProps(std::string_view body) {
    const std::vector<std::string> fields = SplitFields(body, kOwnedSeparator);
    if (fields.size() % kOwnedGroupSize != 0) return;
    clearOwnedTabs();
    for (std::size_t i = 0; i < fields.size(); i += kOwnedGroupSize) {
        OwnedProp prop;
        prop.lngID = LeadingInt32(fields[i]);
        prop.lngLeft = LeadingInt32(fields[i + 1]);
        setExpiry(prop, leadingInt64(fields[i + 2]));
        const PropItem* item = nullptr;
        std::int32_t tab = tabOfProp(prop.lngID, &item);
        if (item != nullptr) {
            prop.strName = item->strName;
            prop.bteTarget = item->bteTarget;
        } else {
            prop.strName = kUnknownPropName;
            prop.bteTarget = 1;
            tab = 1;
        }
        fileOwned(std::move(prop), tab);
    }
    repaintIfOpen();
}

void PropsData::buyProp(int cell) {
    if (bteCurPropTab < 1 || bteCurPropTab > typeCount()) return;
    const PropTab& tab = arrPropTabs[bteCurPropTab];
    const std::int64_t index = std::int64_t{cell} + tab.lngFirstShown;
    if (index < 1 || index >= static_cast<std::int64_t>(tab.arrItems.size())) return;
    links_.sender.sendPacket(BuyPropPacket(tab.arrItems[static_cast<std::size_t>(index)].lngID));
}

std::int32_t PropsData::tabOfProp(std::int32_t id, const PropItem** item) const {
    for (std::size_t tab = 1; tab < arrPropTabs.size(); ++tab) {
        const auto& items = arrPropTabs[tab].arrItems;
        const auto found = std::find_if(items.begin() + 1, items.end(),
                                        [id](const PropItem& p) { return p.lngID == id; });
        if (found == items.end()) continue;
        if (item != nullptr) *item = &*found;
        return static_cast<std::int32_t>(tab);
    }
    return 0;
}

void PropsData::clearOwnedTabs() {
    arrOwnedTabs.assign(strPropTypeNames.size(), OwnedTab{});
}

void PropsData::fileOwned(OwnedProp prop, std::int32_t tab) {
    // Without a catalogue there is no tab 1 and the prop cannot be shown.
    if (tab < 1 || static_cast<std::size_t>(tab) >= arrOwnedTabs.size()) return;
    arrOwnedTabs[static_cast<std::size_t>(tab)].arrItems.push_back(std::move(prop));
}

void PropsData::repaintIfOpen() {
    if (blnMarketOpen && repaintMarket_) repaintMarket_();
}

std::string PropsData::noteFilePath() const {
    return FindResourceFile(links_.strAppPath, kPropNoteFile);
}

}  // namespace krvo
