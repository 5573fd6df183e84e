#include "manifest.h"

#include <algorithm>
#include <set>

#include "art.h"

namespace krvo::assets {
namespace {

constexpr QRgb kBlackKey = 0xff000000;
constexpr QRgb kWhiteKey = 0xffffffff;

AssetEntry picture(std::string name, int width, int height, PictureMaker maker,
                   std::string layout = "one picture, copied plainly") {
    AssetEntry entry;
    entry.name = std::move(name);
    entry.width = width;
    entry.height = height;
    entry.picture = maker;
    entry.layout = std::move(layout);
    return entry;
}

// Image in the left half, its mask in the right half.
AssetEntry halfStrip(std::string name, int cellWidth, int height, PictureMaker maker) {
    AssetEntry entry = picture(std::move(name), cellWidth * 2, height, maker,
                               "image left, mask right, each " + std::to_string(cellWidth) + " x " +
                                   std::to_string(height));
    entry.maskedCells.push_back({0, 0, cellWidth, 0, cellWidth, height});
    return entry;
}

AssetEntry bytesFile(std::string name, Format format, BytesMaker maker, std::string layout) {
    AssetEntry entry;
    entry.name = std::move(name);
    entry.format = format;
    entry.bytes = maker;
    entry.layout = std::move(layout);
    return entry;
}

AssetEntry numbered(AssetEntry entry, int index) {
    entry.index = index;
    return entry;
}

void addCards(std::vector<AssetEntry>& out) {
    out.push_back(picture("Res\\ResPk\\PkMask.bmp", 80, 105, &DrawCardMask,
                          "black card with rounded corners on white"));
    for (int face : CardFaceNumbers()) {
        AssetEntry card = picture("Res\\ResPk\\Pk" + std::to_string(face) + ".bmp", 80, 105,
                                  &DrawCardFace, "card face, black outside the card");
        card.sharedMask = "Res\\ResPk\\PkMask.bmp";
        out.push_back(numbered(card, face));
    }
    AssetEntry back =
        picture("Res\\PkBack.bmp", 80, 105, &DrawCardBack, "card back, black outside the card");
    back.sharedMask = "Res\\ResPk\\PkMask.bmp";
    out.push_back(back);
}

void addTable(std::vector<AssetEntry>& out) {
    out.push_back(picture("Res\\GameBackMid.bmp", 300, 230, &DrawTableCentre));
    out.push_back(picture("Res\\GameBackVsBian.bmp", 8, 5, &DrawTableSideEdge,
                          "right edge piece, tiled every 5 px downwards"));
    out.push_back(picture("Res\\GameBackHsBian.bmp", 5, 8, &DrawTableTopEdge,
                          "top edge piece, tiled every 5 px across"));
    out.push_back(picture("Res\\GameBackJiao.bmp", 18, 18, &DrawTableCorner, "top-right corner"));
    out.push_back(halfStrip("Res\\BuChu.bmp", 67, 34, &DrawPassMark));
    out.push_back(numbered(picture("Res\\Liang1.bmp", 32, 32, &DrawRedAceMark), 1));
    out.push_back(numbered(picture("Res\\Liang2.bmp", 32, 32, &DrawRedAceMark), 2));
    out.push_back(picture("Res\\UserLiang.bmp", 37, 144, &DrawDeclarationMarks,
                          "cells 37 x 36 stacked downwards: 亮 揪 撅 直"));
    out.push_back(picture("Res\\GameLiang.bmp", 312, 72, &DrawDeclarationPanel,
                          "cells 78 x 36: x = k * 78 for 亮 揪 撅 直; y = 0 dim, y = 36 lit"));
    out.push_back(picture("Res\\MingCi.bmp", 144, 46, &DrawPlaces,
                          "cells 48 x 46: x = (place - 1) * 48, places 1-3"));
    out.push_back(halfStrip("Res\\Hand.bmp", 80, 35, &DrawReadyMark));
    for (int position = 0; position < 4; ++position) {
        out.push_back(numbered(
            halfStrip("Res\\Chat" + std::to_string(position) + ".bmp", 111, 96, &DrawLeadBubble),
            position));
    }
    out.push_back(picture("Res\\NetBreak.bmp", 32, 32, &DrawOfflineMark,
                          "offline mark, copied plainly on the table"));
}

void addButtons(std::vector<AssetEntry>& out) {
    out.push_back(picture("Res\\UserOptBut.bmp", 176, 24, &DrawToolButtons,
                          "cells 44 x 24: button i in state s at x = (i + (s - 1) * 2) * 44; "
                          "0 sort, 1 previous trick"));
    AssetEntry play = picture("Res\\UserOutBut.bmp", 427, 28, &DrawPlayButtons,
                              "faces 61 x 28: button i in state s at x = (i + (s - 1) * 3) * 61, "
                              "mask at x = 366; 0 play, 1 pass, 2 hint");
    for (int face = 0; face < 6; ++face) play.maskedCells.push_back({face * 61, 0, 366, 0, 61, 28});
    out.push_back(play);
    AssetEntry decide = picture("Res\\UserLiangBut.bmp", 270, 20, &DrawDecisionButtons,
                                "faces 90 x 20: state s at x = (s - 1) * 90, mask at x = 180; "
                                "no caption, the program prints it");
    for (int face = 0; face < 2; ++face)
        decide.maskedCells.push_back({face * 90, 0, 180, 0, 90, 20});
    out.push_back(decide);
}

void addPanels(std::vector<AssetEntry>& out) {
    out.push_back(picture("Res\\TimeBarHead.bmp", 52, 15, &DrawTimeBarHead));
    out.push_back(picture("Res\\TimeBarEnd.bmp", 8, 15, &DrawTimeBarEnd));
    AssetEntry clock = picture("Res\\Clock.bmp", 279, 38, &DrawClock,
                               "eight faces 31 x 38 at x = k * 31, mask at x = 248");
    for (int face = 0; face < 8; ++face)
        clock.maskedCells.push_back({face * 31, 0, 248, 0, 31, 38});
    out.push_back(clock);
    out.push_back(picture("Res\\MsgMid.bmp", 6, 51, &DrawNoticeMiddle,
                          "waiting notice middle, tiled every 6 px"));
    out.push_back(halfStrip("Res\\MsgBian.bmp", 18, 51, &DrawNoticeEnd));
    AssetEntry frame = picture("Res\\ModeMsg.bmp", 180, 28, &DrawResultFrame,
                               "pieces 18 wide x 28 high, each image then its mask: x = 0 top-left "
                               "corner, 36 bottom-left corner, 72 left edge (tile downwards), "
                               "108 top edge (tile across), 144 bottom edge (tile across)");
    for (int piece = 0; piece < 5; ++piece) {
        frame.maskedCells.push_back({piece * 36, 0, piece * 36 + 18, 0, 18, 28});
    }
    out.push_back(frame);
    out.push_back(picture("Res\\GameScore.bmp", 189, 99, &DrawScorePanel));
}

void addMessageBox(std::vector<AssetEntry>& out) {
    out.push_back(picture("Res\\MsgForm.bmp", 276, 175, &DrawMessageBoxBack));
    AssetEntry buttons =
        picture("Res\\MsgBut.bmp", 1300, 24, &DrawMessageBoxButtons,
                "faces 50 x 24: face k in state s at x = k * 50 + (s - 1) * 300, mask at x = 600; "
                "faces 0 ask to leave, 1 quit anyway, 2 keep playing, 3 yes, 4 no, 5 OK; "
                "state 3 of face 13 (x = 1250) is the disabled ask-to-leave face");
    for (int state = 1; state <= 2; ++state) {
        for (int face = 0; face < 6; ++face) {
            buttons.maskedCells.push_back({face * 50 + (state - 1) * 300, 0, 600, 0, 50, 24});
        }
    }
    for (int face = 1; face <= 13; ++face)
        buttons.maskedCells.push_back({600 + face * 50, 0, 600, 0, 50, 24});
    out.push_back(buttons);
}

void addChrome(std::vector<AssetEntry>& out) {
    out.push_back(picture("Res\\CaptionMid.bmp", 12, 33, &DrawCaptionMiddle,
                          "caption tile, repeated every 12 px"));
    out.push_back(picture("Res\\CaptionLR.bmp", 15, 33, &DrawCaptionEnd,
                          "right end cap; mirrored for the left end"));
    out.push_back(picture("Res\\SysMenu.bmp", 168, 21, &DrawCaptionButtons,
                          "cells 21 x 21: minimise, maximise, restore, close; hover looks at +84"));
    out.push_back(picture("Res\\UserButton.bmp", 164, 25, &DrawColumnButtons,
                          "cells 41 x 25: settings, help; hover looks at +82"));
    out.push_back(picture("Res\\UserButtonShop.bmp", 82, 25, &DrawShopColumnButton,
                          "the props market button beside them: normal, hover at +41"));
    out.push_back(
        picture("Res\\VSpliterBk.bmp", 12, 3, &DrawSplitterTile, "splitter bar tile, every 3 px"));
    out.push_back(numbered(picture("Res\\VSpliterMidBk.bmp", 12, 3, &DrawSplitterTile,
                                   "middle section tile, every 3 px"),
                           1));
    out.push_back(numbered(picture("Res\\VSpliterMid_Right.bmp", 12, 8, &DrawSplitterArrow,
                                   "arrow pointing right: collapse the column"),
                           1));
    out.push_back(numbered(picture("Res\\VSpliterMid_Left.bmp", 12, 8, &DrawSplitterArrow,
                                   "arrow pointing left: restore the column"),
                           -1));
    AssetEntry logo = picture("Res\\Logo.ico", 24, 24, &DrawLogo, "window logo and icon");
    logo.format = Format::Ico;
    out.push_back(logo);
}

void addBombs(std::vector<AssetEntry>& out) {
    auto frameName = [](int kind, int frame) {
        std::string number = frame < 10 ? "0" + std::to_string(frame) : std::to_string(frame);
        return "Res\\Bomb\\b" + std::to_string(kind) + "\\Blast0" + number + ".jpg";
    };
    for (int frame = 1; frame <= 9; ++frame) {
        AssetEntry entry = picture(frameName(1, frame), 180, 135, &DrawExplosionFrame,
                                   "explosion frame on an exact black key");
        entry.format = Format::Jpeg;
        entry.keyColour = kBlackKey;
        out.push_back(numbered(entry, frame));
    }
    for (int frame = 1; frame <= 15; ++frame) {
        AssetEntry entry = picture(frameName(2, frame), 88, 80, &DrawLightBurstFrame,
                                   "burst of light frame on an exact white key");
        entry.format = Format::Jpeg;
        entry.keyColour = kWhiteKey;
        out.push_back(numbered(entry, frame));
    }
}

void addProps(std::vector<AssetEntry>& out) {
    for (int id = 1; id <= kPropCount; ++id) {
        out.push_back(numbered(picture("Res\\DaoJu\\DaoJuInfo_" + std::to_string(id) + ".bmp", 112,
                                       112, &DrawPropPicture, "catalogue picture of a prop"),
                               id));
        out.push_back(numbered(picture("Res\\DaoJu\\MyDaoJu_" + std::to_string(id) + ".bmp", 79, 81,
                                       &DrawOwnedPropPicture, "owned-strip picture of a prop"),
                               id));
    }
    out.push_back(bytesFile("Res\\DaoJu\\DaoJuInfo.ini", Format::Ini, &WritePropNotes,
                            "[DaoJuInfo_ID_<id>] Name=, Note=; GBK"));
}

void addMarket(std::vector<AssetEntry>& out) {
    auto market = [&](std::string name, int width, int height, PictureMaker maker, int index,
                      std::string layout) {
        AssetEntry entry =
            picture("DaoJuMaket\\" + std::move(name), width, height, maker, std::move(layout));
        entry.root = Root::Platform;
        out.push_back(numbered(entry, index));
    };
    market("DaoJuMain.bmp", 727, 541, &DrawMarketBack, 0,
           "window background; RGB(255, 0, 255) outside the window's shape");
    market("SysBut.bmp", 68, 17, &DrawMarketSysButtons, 0,
           "cells 17 x 17: minimise, close, then both in hover look");
    market("TabBut.bmp", 85, 20, &DrawMarketTab, 0, "tab, not selected");
    market("TabButM.bmp", 85, 20, &DrawMarketTab, 1, "tab, selected");
    market("BuyBut.bmp", 55, 23, &DrawMarketBuyButton, 0, "buy button");
    market("BuyButM.bmp", 55, 23, &DrawMarketBuyButton, 1, "buy button, hover");
    market("Move0.bmp", 38, 94, &DrawMarketScrollButton, 0, "scroll back");
    market("Move1.bmp", 38, 94, &DrawMarketScrollButton, 1, "scroll forward");
    market("move0M.bmp", 38, 94, &DrawMarketScrollButton, 2, "scroll back, hover");
    market("move1M.bmp", 38, 94, &DrawMarketScrollButton, 3, "scroll forward, hover");
    market("DaoJuInfoBk.bmp", 566, 345, &DrawMarketCatalogueBack, 0,
           "catalogue area, drawn at (10, 63)");
    market("DaoJuNo.bmp", 112, 112, &DrawPropPicture, 0, "prop without a picture");
    market("MyDaoJuBk.bmp", 79, 81, &DrawOwnedPropPicture, -1, "empty owned slot");
    market("MeNo.bmp", 79, 81, &DrawOwnedPropPicture, 0, "owned prop without a picture");
}

void addPeople(std::vector<AssetEntry>& out) {
    for (int icon = 1; icon <= kPlayerIconCount; ++icon) {
        AssetEntry entry = picture("UserRes\\LargeUser\\" + std::to_string(icon) + ".ico", 32, 32,
                                   &DrawPlayerIcon, "player icon");
        entry.root = Root::Platform;
        entry.format = Format::Ico;
        out.push_back(numbered(entry, icon));
    }
    for (int face = 1; face <= kChatFaceCount; ++face) {
        AssetEntry entry = picture("UserRes\\face\\" + std::to_string(face) + ".png", 24, 24,
                                   &DrawChatFace, "chat face, transparent around it");
        entry.root = Root::Platform;
        entry.format = Format::Png;
        out.push_back(numbered(entry, face));
    }
}

// The program's icon for the desktop, in the sizes an icon theme looks for.
void addAppIcon(std::vector<AssetEntry>& out) {
    for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
        const std::string box = std::to_string(size) + "x" + std::to_string(size);
        AssetEntry entry = picture("hicolor\\" + box + "\\apps\\krvo.png", size, size, &DrawAppIcon,
                                   "program icon: a fan of cards with the red aces");
        entry.root = Root::Icons;
        entry.format = Format::Png;
        out.push_back(entry);
    }
    AssetEntry scalable = bytesFile("hicolor\\scalable\\apps\\krvo.svg", Format::Svg,
                                    &WriteAppIconSvg, "program icon as paths, 256 x 256 units");
    scalable.root = Root::Icons;
    out.push_back(scalable);
}

// The twin of a picture of the client: the same layout with every size, cell
// and offset doubled, drawn afresh at that resolution.
AssetEntry highScaleTwin(const AssetEntry& entry) {
    AssetEntry twin = entry;
    twin.name = HighScaleName(entry.name);
    twin.width = entry.width * kHighScale;
    twin.height = entry.height * kHighScale;
    twin.scale = kHighScale;
    for (MaskedCell& cell : twin.maskedCells) {
        cell = {cell.imageX * kHighScale, cell.imageY * kHighScale, cell.maskX * kHighScale,
                cell.maskY * kHighScale,  cell.width * kHighScale,  cell.height * kHighScale};
    }
    if (!entry.sharedMask.empty()) twin.sharedMask = HighScaleName(entry.sharedMask);
    twin.layout = entry.layout + "; at twice the resolution";
    return twin;
}

void addHighScaleTwins(std::vector<AssetEntry>& out) {
    const std::size_t originals = out.size();
    for (std::size_t i = 0; i < originals; ++i) {
        if (IsPicture(out[i]) && out[i].root != Root::Icons) out.push_back(highScaleTwin(out[i]));
    }
}

void addSounds(std::vector<AssetEntry>& out) {
    const char* names[] = {"Start",   "Liang", "OutPai",     "Pass",        "Hong10", "ZhaDan",
                           "Warning", "End",   "PangGuanIn", "PangGuanOut", "Public"};
    int index = 0;
    for (const char* name : names) {
        out.push_back(numbered(bytesFile(std::string("Res\\Sound\\") + name + ".wav", Format::Wav,
                                         &SynthesiseSound, "PCM, 16-bit mono, 22,050 Hz"),
                               index++));
    }
}

std::vector<AssetEntry> buildManifest() {
    std::vector<AssetEntry> out;
    addCards(out);
    addTable(out);
    addButtons(out);
    addPanels(out);
    addMessageBox(out);
    addChrome(out);
    addBombs(out);
    addProps(out);
    addMarket(out);
    addPeople(out);
    addHighScaleTwins(out);
    addSounds(out);
    addAppIcon(out);
    return out;
}

}  // namespace

const std::vector<AssetEntry>& Manifest() {
    static const std::vector<AssetEntry> manifest = buildManifest();
    return manifest;
}

const AssetEntry* FindAsset(std::string_view name) {
    const auto& all = Manifest();
    auto it =
        std::find_if(all.begin(), all.end(), [&](const AssetEntry& e) { return e.name == name; });
    return it == all.end() ? nullptr : &*it;
}

std::string DiskName(const AssetEntry& entry) {
    std::string name = entry.name;
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

bool IsPicture(const AssetEntry& entry) {
    return entry.picture != nullptr;
}

int LayoutWidth(const AssetEntry& entry) {
    return entry.width / entry.scale;
}

int LayoutHeight(const AssetEntry& entry) {
    return entry.height / entry.scale;
}

std::string HighScaleName(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    const std::size_t folder = name.rfind('\\');
    const bool hasExtension =
        dot != std::string_view::npos && (folder == std::string_view::npos || dot > folder);
    const std::size_t cut = hasExtension ? dot : name.size();
    return std::string(name.substr(0, cut)) + "@" + std::to_string(kHighScale) + "x" +
           std::string(name.substr(cut));
}

int CardFaceNumber(int code) {
    constexpr int kRedAceSuit0 = 63;
    constexpr int kRedAceSuit3 = 76;
    int plain = code == kRedAceSuit0 ? 11 : code == kRedAceSuit3 ? 50 : code;
    return plain % 13 == 11 ? plain - 11 : plain + 2;
}

std::vector<int> CardFaceNumbers() {
    std::set<int> faces;
    for (int code = 0; code < 52; ++code) faces.insert(CardFaceNumber(code));
    faces.insert(CardFaceNumber(63));
    faces.insert(CardFaceNumber(76));
    return {faces.begin(), faces.end()};
}

}  // namespace krvo::assets
