#include "props/props_data.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/gbk.h"
#include "support/recording_sender.h"

namespace krvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

// One catalogue group of ten fields, in the order the server sends them.
std::string group(int id, int type, const std::string& name, int target, int price = 10) {
    return std::to_string(id) + "`" + std::to_string(type) + "`" + name + "`5`48`" +
           std::to_string(price) + "`" + std::to_string(price - 1) + "`8`7`" +
           std::to_string(target);
}

void writeGbk(const std::string& path, std::string_view utf8) {
    Bytes bytes;
    AppendGbk(utf8, bytes);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// Bytes this process has read from files so far, as the kernel counts them.
std::uint64_t bytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    std::uint64_t value = 0;
    while (io >> key >> value) {
        if (key == "rchar:") return value;
    }
    return 0;
}

std::vector<int> idsOf(const PropTab& tab) {
    std::vector<int> ids;
    for (std::size_t i = 1; i < tab.arrItems.size(); ++i) ids.push_back(tab.arrItems[i].lngID);
    return ids;
}

std::vector<int> idsOf(const OwnedTab& tab) {
    std::vector<int> ids;
    for (std::size_t i = 1; i < tab.arrItems.size(); ++i) ids.push_back(tab.arrItems[i].lngID);
    return ids;
}

class PropsDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        appPath_ = dir_.path().toStdString() + "/";
        props_.resetMarket();
        props_.setMarketRepaint([this] { ++repaints_; });
    }

    // Names in the program's spelling; the lookup ignores case.
    std::string noteFile() {
        QDir(dir_.path()).mkpath(QStringLiteral("res/daoju"));
        return appPath_ + "res/daoju/daojuinfo.ini";
    }

    QTemporaryDir dir_;
    std::string appPath_;
    testing::RecordingSender sender_;
    PropsData props_{{sender_, appPath_}};
    int repaints_ = 0;
};

TEST_F(PropsDataTest, CatalogueFilesEachPropUnderItsType) {
    writeGbk(noteFile(), "[DaoJuInfo_ID_7]\r\nName=幸运星\r\nNote= 带来好运 \r\n");
    props_.bteCurPropTab = 2;
    props_.readCatalogue("2`赠送`装饰`1`" + group(7, 1, "幸运星", 0));

    EXPECT_EQ(props_.strPropTypeNames, (std::vector<std::string>{"", "赠送", "装饰"}));
    ASSERT_EQ(props_.arrPropTabs.size(), 3u);
    EXPECT_EQ(props_.arrPropTabs[1].arrItems.size(), 1u);
    ASSERT_EQ(props_.arrPropTabs[2].arrItems.size(), 2u);
    PropItem expected{7, "幸运星", 5, 0, 48, 10, 9, 8, 7, "带来好运"};
    EXPECT_EQ(props_.arrPropTabs[2].arrItems[1], expected);
    EXPECT_EQ(props_.bteCurPropTab, 1);
    EXPECT_EQ(props_.arrOwnedTabs.size(), 3u);
    EXPECT_EQ(repaints_, 0);  // the market is closed
}

TEST_F(PropsDataTest, CataloguePropsThatCannotBeFiledAreRejected) {
    // Types -1 and 2 name no tab; the third group runs past the fields.
    props_.readCatalogue("2`甲`乙`4`" + group(1, 0, "a", 1) + "`" + group(2, -1, "b", 1) + "`" +
                         group(3, 2, "c", 1) + "`" + group(4, 1, "d", 1).substr(0, 8));
    EXPECT_EQ(idsOf(props_.arrPropTabs[1]), std::vector<int>{1});
    EXPECT_TRUE(idsOf(props_.arrPropTabs[2]).empty());

    // Fewer props than the groups present: the rest are not read.
    props_.readCatalogue("1`甲`1`" + group(5, 0, "e", 1) + "`" + group(6, 0, "f", 1));
    EXPECT_EQ(idsOf(props_.arrPropTabs[1]), std::vector<int>{5});

    // Type names running past the fields, or no count of props: the old
    // catalogue stays.
    props_.readCatalogue("3`甲`乙");
    props_.readCatalogue("2`甲`乙");
    props_.readCatalogue("");
    EXPECT_EQ(props_.typeCount(), 1);
    EXPECT_EQ(idsOf(props_.arrPropTabs[1]), std::vector<int>{5});

    // A negative count of types is none; negative props are none.
    props_.readCatalogue("-4`-1");
    EXPECT_EQ(props_.typeCount(), 0);
    EXPECT_EQ(props_.arrPropTabs.size(), 1u);
}

TEST_F(PropsDataTest, CatalogueCutAtEveryLengthKeepsOnlyWholeProps) {
    const std::string body = "2`甲`乙`3`" + group(11, 0, "x", 1, 20) + "`" +
                             group(12, 1, "y", 0, 30) + "`" + group(13, 1, "z", 0, 40);
    props_.readCatalogue(body);
    const PropsData whole = props_;
    for (std::size_t length = 0; length < body.size(); ++length) {
        const std::string cut = body.substr(0, length);
        props_.resetMarket();
        props_.readCatalogue(cut);
        // Each prop read from a cut equals the whole catalogue's, except that a
        // cut inside the last field of a group can shorten its target byte.
        for (std::size_t tab = 1; tab < props_.arrPropTabs.size(); ++tab) {
            const auto& items = props_.arrPropTabs[tab].arrItems;
            ASSERT_LE(items.size(), whole.arrPropTabs[tab].arrItems.size()) << length;
            for (std::size_t i = 1; i < items.size(); ++i) {
                PropItem expected = whole.arrPropTabs[tab].arrItems[i];
                expected.bteTarget = items[i].bteTarget;
                EXPECT_EQ(items[i], expected) << length;
            }
        }
    }
    // The longest cut still holds all three, the last with its target cut away.
    EXPECT_EQ(idsOf(props_.arrPropTabs[2]), (std::vector<int>{12, 13}));
    EXPECT_EQ(props_.arrPropTabs[2].arrItems[2].bteTarget, 0);
    EXPECT_EQ(idsOf(props_.arrPropTabs[1]), std::vector<int>{11});
}

TEST_F(PropsDataTest, OwnedPropsTakeNameTargetAndTabFromTheCatalogue) {
    props_.readOwnedProps("7:1:2024010100");
    EXPECT_EQ(props_.arrOwnedTabs.size(), 1u);  // no catalogue, no tab 1: dropped

    props_.readCatalogue("2`甲`乙`1`" + group(7, 1, "幸运星", 0));
    props_.blnMarketOpen = true;
    props_.readOwnedProps("7:3:2024123118:99:x:2999123123");

    ASSERT_EQ(props_.arrOwnedTabs.size(), 3u);
    ASSERT_EQ(props_.arrOwnedTabs[2].arrItems.size(), 2u);
    EXPECT_EQ(props_.arrOwnedTabs[2].arrItems[1], (OwnedProp{7, "幸运星", 3, 0, 2024, 12, 31, 18}));
    ASSERT_EQ(props_.arrOwnedTabs[1].arrItems.size(), 2u);
    EXPECT_EQ(props_.arrOwnedTabs[1].arrItems[1],
              (OwnedProp{99, "未知名称", 0, 1, 2999, 12, 31, 23}));
    EXPECT_EQ(repaints_, 1);

    // Two fields: ignored whole. An empty body: nothing owned.
    props_.arrOwnedTabs[2].lngFirstShown = 4;
    props_.readOwnedProps("7:3");
    EXPECT_EQ(props_.arrOwnedTabs[2].lngFirstShown, 4);
    EXPECT_EQ(idsOf(props_.arrOwnedTabs[2]), std::vector<int>{7});
    props_.readOwnedProps("");
    EXPECT_TRUE(idsOf(props_.arrOwnedTabs[1]).empty());
    EXPECT_TRUE(idsOf(props_.arrOwnedTabs[2]).empty());
    EXPECT_EQ(props_.arrOwnedTabs[2].lngFirstShown, 1);
    EXPECT_EQ(repaints_, 2);
}

TEST_F(PropsDataTest, NewCatalogueMovesOwnedPropsToTheirNewTabs) {
    props_.readCatalogue("2`甲`乙`2`" + group(1, 0, "a", 0) + "`" + group(2, 1, "b", 0));
    props_.readOwnedProps("1:1:2030010100:2:2:2030010100:9:1:2030010100");
    props_.bteCurOwnedTab = 2;
    props_.arrOwnedTabs[1].lngFirstShown = 2;

    props_.readCatalogue("3`甲`乙`丙`2`" + group(2, 2, "b2", 1) + "`" + group(1, 1, "a2", 1));
    ASSERT_EQ(props_.arrOwnedTabs.size(), 4u);
    EXPECT_EQ(idsOf(props_.arrOwnedTabs[1]), std::vector<int>{9});
    EXPECT_EQ(idsOf(props_.arrOwnedTabs[2]), std::vector<int>{1});
    EXPECT_EQ(idsOf(props_.arrOwnedTabs[3]), std::vector<int>{2});
    // Moved unchanged: the name stays what the owned list said.
    EXPECT_EQ(props_.arrOwnedTabs[2].arrItems[1].strName, "a");
    EXPECT_EQ(props_.bteCurOwnedTab, 1);
    EXPECT_EQ(props_.arrOwnedTabs[1].lngFirstShown, 1);

    // A catalogue without types has nowhere to put them.
    props_.readCatalogue("0`0");
    EXPECT_EQ(props_.arrOwnedTabs.size(), 1u);
}

TEST_F(PropsDataTest, ReadPropNoteReadsTheGeneratedNoteFile) {
    const std::string path = noteFile();
    std::string hanzi;
    for (int i = 0; i < 600; ++i) hanzi += "汉";
    writeGbk(path,
             "; Notes of the props.\r\n"
             "[DaoJuInfo_ID_1]\r\nName=鲜花\r\nNote=送给牌友一束鲜花。\r\n\r\n"
             "[daojuinfo_id_2]\r\n  NOTE  =   \"引号里\"  \r\n"
             "[DaoJuInfo_ID_3]\r\nName=空\r\nNote=\r\n"
             "[DaoJuInfo_ID_4]\r\nNote=a" +
                 hanzi +
                 "\r\n"
                 "[DaoJuInfo_ID_5]\r\nNote=" +
                 hanzi +
                 "\r\n"
                 "[DaoJuInfo_ID_6]\r\nName=无说明\r\n"
                 "[DaoJuInfo_ID_1]\r\nNote=second section\r\n");
    EXPECT_EQ(ReadPropNote(path, 1), "送给牌友一束鲜花。");
    EXPECT_EQ(ReadPropNote(path, 2), "引号里");
    EXPECT_EQ(ReadPropNote(path, 3), "");
    // 1023 bytes at most and never half a character.
    std::string expected4 = "a";
    for (int i = 0; i < 511; ++i) expected4 += "汉";
    EXPECT_EQ(ReadPropNote(path, 4), expected4);
    EXPECT_EQ(ReadPropNote(path, 5), expected4.substr(1));
    EXPECT_EQ(ReadPropNote(path, 6), "");
    EXPECT_EQ(ReadPropNote(path, 7), "");
    EXPECT_EQ(ReadPropNote(appPath_ + "missing.ini", 1), "");

    // Blanks around the value go; NULs inside it are dropped.
    std::ofstream(path, std::ios::binary) << std::string("[DaoJuInfo_ID_8]\nNote=\t a\0b \n", 29);
    EXPECT_EQ(ReadPropNote(path, 8), "ab");
}

// One read of the note file serves a whole catalogue of 40 props; a file
// past 1 MiB is not read, and its props have no notes.
TEST_F(PropsDataTest, NoteFileIsReadOncePerCatalogueAndOnlyUpToItsBound) {
    std::string notes;
    std::string body = "1`甲`40";
    for (int id = 1; id <= 40; ++id) {
        notes +=
            "[DaoJuInfo_ID_" + std::to_string(id) + "]\r\nNote=n" + std::to_string(id) + "\r\n";
        body += "`" + group(id, 0, "p", 1);
    }
    const std::string path = noteFile();
    writeGbk(path, notes);
    constexpr std::uintmax_t kBound = std::uintmax_t{1} << 20;
    std::filesystem::resize_file(path, kBound);
    const std::uint64_t before = bytesReadSoFar();
    props_.readCatalogue(body);
    const std::uint64_t read = bytesReadSoFar() - before;
    EXPECT_GE(read, kBound);
    EXPECT_LT(read, 2 * kBound);
    ASSERT_EQ(props_.arrPropTabs[1].arrItems.size(), 41u);
    EXPECT_EQ(props_.arrPropTabs[1].arrItems[40].strNote, "n40");

    std::filesystem::resize_file(path, kBound + 1);
    props_.readCatalogue(body);
    EXPECT_EQ(props_.arrPropTabs[1].arrItems[1].strNote, "");
    EXPECT_EQ(ReadPropNote(path, 1), "");
}

TEST_F(PropsDataTest, BuyPropSendsTheIdOfTheCellShown) {
    props_.readCatalogue("2`甲`乙`5`" + group(3, 0, "a", 0) + "`" + group(4, 1, "b", 0) + "`" +
                         group(1234, 1, "c", 0) + "`" + group(6, 1, "d", 0) + "`" +
                         group(-7, 1, "e", 0));
    props_.bteCurPropTab = 2;
    props_.buyProp(1);
    props_.arrPropTabs[2].lngFirstShown = 3;
    props_.buyProp(1);
    props_.buyProp(2);   // past the last item
    props_.buyProp(-3);  // before the first
    props_.bteCurPropTab = 3;
    props_.buyProp(0);
    props_.bteCurPropTab = 0;
    props_.buyProp(0);
    EXPECT_EQ(sender_.packets,
              (std::vector<Bytes>{{133, 0, '1', '2', '3', '4'}, {133, 0, '-', '7'}}));
}

}  // namespace
}  // namespace krvo
