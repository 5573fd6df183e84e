#pragma once
// Every picture, sound and note file the client may ask for, with the exact
// size and cell layout its painting code relies on, each picture's twin drawn
// at twice the resolution ("<name>@2x.<ext>"), and the program's desktop icon.
// The generator draws from this table, the test checks the output against it,
// and the contact sheet lists it; nothing else decides which files exist.

#include <QByteArray>
#include <QImage>
#include <QRgb>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace krvo::assets {

// Which output directory a name is relative to: the two runtime directories,
// or the icon theme the desktop finds the program's icon in.
enum class Root { App, Platform, Icons };

enum class Format { Bmp, Jpeg, Ico, Png, Wav, Ini, Svg };

// One look of a transparent element: the scene ANDs the mask cell onto the
// table, then ORs the image cell. Both cells have the same size.
struct MaskedCell {
    int imageX = 0;
    int imageY = 0;
    int maskX = 0;
    int maskY = 0;
    int width = 0;
    int height = 0;
};

struct AssetEntry;
using PictureMaker = QImage (*)(const AssetEntry&);
using BytesMaker = QByteArray (*)(const AssetEntry&);

struct AssetEntry {
    std::string name;  // as the program spells it, "\" between components
    Root root = Root::App;
    Format format = Format::Bmp;
    int width = 0;  // pictures only, in the file's own pixels
    int height = 0;
    int scale = 1;  // file pixels per pixel of the layout: 2 for an "@2x" twin
    std::vector<MaskedCell> maskedCells;  // cells composited with a mask inside this file
    std::string sharedMask;               // a mask kept in another file (the cards)
    std::optional<QRgb> keyColour;        // colour left out when painted (bomb frames)
    std::string layout;                   // the cell layout in words
    int index = 0;                        // which one of a numbered family
    PictureMaker picture = nullptr;       // exactly one of these two is set
    BytesMaker bytes = nullptr;
};

const std::vector<AssetEntry>& Manifest();

// The entry with exactly this name, or nullptr.
const AssetEntry* FindAsset(std::string_view name);

// The name with "/" separators, as it lies on disk below its root.
std::string DiskName(const AssetEntry& entry);

bool IsPicture(const AssetEntry& entry);

// The size the drawing code lays the picture out in (the file's size over its scale).
int LayoutWidth(const AssetEntry& entry);
int LayoutHeight(const AssetEntry& entry);

// Pictures of the client are also drawn at this many times their resolution,
// for screens that show two pixels for each of the layout's.
inline constexpr int kHighScale = 2;

// "Res\\PkBack.bmp" -> "Res\\PkBack@2x.bmp": the name of a picture's twin.
std::string HighScaleName(std::string_view name);

// The face file number of a card code: the red aces borrow the faces of the
// ordinary aces, and face numbers start with the ace of each suit.
int CardFaceNumber(int code);

// Every face number some card code can ask for, ascending.
std::vector<int> CardFaceNumbers();

// Props sold by the local table server: IDs 1 to this number.
inline constexpr int kPropCount = 12;
inline constexpr int kPlayerIconCount = 40;
inline constexpr int kChatFaceCount = 12;

}  // namespace krvo::assets
