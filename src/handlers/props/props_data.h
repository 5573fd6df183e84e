#pragma once
// The props the platform sells and the props the player owns, both grouped by
// the catalogue's types, as the server last sent them. Every list keeps an
// unused element 0, so tab and item numbers count from 1 as the market window
// shows them.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace krvo {

class PacketSender;

struct PropItem {
    std::int32_t lngID = 0;
    std::string strName;
    std::int32_t lngCount = 0;     // pieces per purchase
    std::uint8_t bteTarget = 0;    // non-zero: used on oneself; 0: on another player
    std::int32_t lngHours = 0;     // validity after purchase
    std::int32_t lngPrice = 0;     // ordinary users: list price
    std::int32_t lngPriceNow = 0;  // ordinary users: current price
    std::int32_t lngMemberPrice = 0;
    std::int32_t lngMemberPriceNow = 0;
    std::string strNote;  // from the local note file, may be empty

    friend bool operator==(const PropItem&, const PropItem&) = default;
};

struct PropTab {
    std::vector<PropItem> arrItems{PropItem{}};  // element 0 unused
    std::int32_t lngFirstShown = 1;
};

struct OwnedProp {
    std::int32_t lngID = 0;
    std::string strName;
    std::int32_t lngLeft = 0;
    std::uint8_t bteTarget = 0;
    // The hour at which the prop expires.
    std::int32_t lngYear = 0;
    std::int32_t lngMonth = 0;
    std::int32_t lngDay = 0;
    std::int32_t lngHour = 0;

    friend bool operator==(const OwnedProp&, const OwnedProp&) = default;
};

struct OwnedTab {
    std::vector<OwnedProp> arrItems{OwnedProp{}};  // element 0 unused
    std::int32_t lngFirstShown = 1;
};

inline constexpr std::string_view kPropNoteFile = "Res\\DaoJu\\DaoJuInfo.ini";
inline constexpr std::string_view kUnknownPropName = "未知名称";

class PropsData {
public:
    struct Links {
        PacketSender& sender;
        // Program directory ending in "/"; the note file is looked up below it.
        const std::string& strAppPath;
    };

    explicit PropsData(Links links) : links_(links) {}

    // Start-up: no types, no props, tab 1 selected, market closed.
    void resetMarket();
    // Message 133/0: replaces the catalogue and files the owned props anew.
    void readCatalogue(std::string_view body);
    // Message 133/1: replaces the owned props ("id:left:expiry" triples).
    void readOwnedProps(std::string_view body);
    // The buy button of catalogue cell 0..3 of the visible page.
    void buyProp(int cell);

    // Set by the market window while it exists; called after every change
    // while blnMarketOpen is set.
    void setMarketRepaint(std::function<void()> repaint) { repaintMarket_ = std::move(repaint); }

    // Number of catalogue types (tabs 1..n).
    std::int32_t typeCount() const {
        return static_cast<std::int32_t>(strPropTypeNames.size()) - 1;
    }

    std::vector<std::string> strPropTypeNames{std::string()};
    std::vector<PropTab> arrPropTabs{PropTab{}};
    std::vector<OwnedTab> arrOwnedTabs{OwnedTab{}};
    std::uint8_t bteCurPropTab = 1;
    std::uint8_t bteCurOwnedTab = 1;
    bool blnMarketOpen = false;

private:
    // The tab of the first catalogue item with this ID; 0 when there is none.
    std::int32_t tabOfProp(std::int32_t id, const PropItem** item) const;
    void clearOwnedTabs();
    void fileOwned(OwnedProp prop, std::int32_t tab);
    void repaintIfOpen();
    std::string noteFilePath() const;

    Links links_;
    std::function<void()> repaintMarket_;
};

// The "Note" of section "DaoJuInfo_ID_<id>" of a GBK note file, as UTF-8:
// at most 1023 bytes of the file's value, blanks trimmed, NULs dropped. A
// missing file, section or key gives "", and so does a file that is not a
// regular one of at most 1 MiB (the catalogue reads the file the same way).
std::string ReadPropNote(const std::string& iniPath, std::int32_t id);

}  // namespace krvo
