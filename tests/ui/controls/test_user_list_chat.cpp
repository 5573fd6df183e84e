#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTextBlock>

#include "core/packet.h"
#include "controls/chat_control.h"
#include "controls/user_list_control.h"
#include "support/qt_test_application.h"

namespace krvo {
namespace {

std::string userRow(const std::string& name, const std::string& level = "0",
                    const std::string& games = "0") {
    const std::array<std::string, 16> fields{name, "7", "0", level, "",  games, "0", "0",
                                             "0",  "0", "0", "0",   "0", "0",   "0", "0"};
    return JoinFields(fields);
}

class UserListTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureQtApplication(); }

    // Laid out and receiving events like a shown window, with no need for a
    // window system to expose it.
    void showOffScreen(int width) {
        list_.setAttribute(Qt::WA_DontShowOnScreen);
        list_.resize(width, 200);
        list_.show();
        QCoreApplication::processEvents();
    }

    UserListControl list_;
};

TEST_F(UserListTest, BulkLoadSkipsBadLinesAndReportsNamesInOrder) {
    QSignalSpy names(&list_, &UserListControl::namesLoaded);
    const std::string fifteen = userRow("short").substr(0, userRow("short").rfind('`'));
    const std::string text = userRow("amy") + "\r\n\r\n\n" + fifteen + "\n" + userRow("bo") +
                             "`x\n" + userRow("cy") + "\r\n" + userRow("amy", "9") + "\n" +
                             userRow("") + "\n" + userRow("dee");
    list_.loadUsers(text);

    ASSERT_EQ(names.count(), 1);
    EXPECT_EQ(names[0][0].toString(), QStringLiteral("amy`cy`dee"));
    ASSERT_EQ(list_.userCount(), 3);
    // No CR survives in the last field, and the first of two same-named rows wins.
    EXPECT_EQ(list_.findUser("cy"), userRow("cy"));
    EXPECT_EQ(list_.findUser("amy"), userRow("amy"));
    EXPECT_EQ(list_.findUser("bo"), "");

    // A load replaces the content; an empty one still reports (no names).
    list_.loadUsers("");
    ASSERT_EQ(names.count(), 2);
    EXPECT_TRUE(names[1][0].toString().isEmpty());
    EXPECT_EQ(list_.userCount(), 0);
}

TEST_F(UserListTest, AddRemoveAndUpdateKeepOneRowPerName) {
    EXPECT_TRUE(list_.addUser(userRow("amy")));
    EXPECT_FALSE(list_.addUser(userRow("amy", "5")));
    EXPECT_FALSE(list_.addUser(userRow("bo") + "`"));
    EXPECT_FALSE(list_.addUser(""));
    EXPECT_TRUE(list_.addUser(userRow("bo")));
    EXPECT_EQ(list_.userCount(), 2);

    EXPECT_TRUE(list_.updateUser(userRow("bo", "0", "77")));
    EXPECT_EQ(list_.findUser("bo"), userRow("bo", "0", "77"));
    EXPECT_EQ(list_.cellText(1, 5), QStringLiteral("77"));
    EXPECT_FALSE(list_.updateUser(userRow("ghost")));
    EXPECT_FALSE(list_.updateUser("bo`1`2"));
    EXPECT_EQ(list_.userCount(), 2);
    EXPECT_EQ(list_.findUser("ghost"), "");

    EXPECT_TRUE(list_.removeUser("amy"));
    EXPECT_FALSE(list_.removeUser("amy"));
    EXPECT_EQ(list_.userName(0), "bo");
    list_.clearUsers();
    EXPECT_EQ(list_.userCount(), 0);
}

TEST_F(UserListTest, ColumnsTitlesAndTheOwnRow) {
    list_.setColumns("a`b`经验`d`e`f`g`h`i`j`k`l`m`n`o`p", 11);
    list_.setScoreColumnName("积分");
    list_.setColumnWidths("100`90`70`80`80`60`50`50`50`50`50");
    list_.setLevelTitles("新手_0`熟手_100`高手_500");
    list_.setOwnName("bo");
    list_.addUser(userRow("amy", "120"));
    list_.addUser(userRow("bo", "9999"));

    const QAbstractItemModel* model = list_.model();
    ASSERT_EQ(model->columnCount(), 16);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("a"));
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("积分"));
    EXPECT_EQ(model->headerData(15, Qt::Horizontal).toString(), QStringLiteral("p"));
    for (int column = 0; column < 16; ++column) {
        EXPECT_EQ(list_.view()->isColumnHidden(column), column >= 11) << column;
    }
    EXPECT_EQ(list_.view()->columnWidth(0), 100);
    EXPECT_EQ(list_.view()->columnWidth(5), 60);

    EXPECT_EQ(list_.cellText(0, 3), QStringLiteral("熟手"));
    EXPECT_EQ(list_.cellText(1, 3), QStringLiteral("高手"));
    EXPECT_FALSE(model->data(model->index(0, 0), Qt::FontRole).value<QFont>().bold());
    EXPECT_TRUE(model->data(model->index(1, 0), Qt::FontRole).value<QFont>().bold());
    list_.setOwnName("amy");
    EXPECT_TRUE(model->data(model->index(0, 0), Qt::FontRole).value<QFont>().bold());
}

TEST_F(UserListTest, BandColoursAreDrawn) {
    const QColor back(0, 138, 140);
    list_.setBandColors(back, QColor(255, 255, 255));
    list_.setTitle("用户列表");
    list_.setColumns("用户名`b", 2);
    showOffScreen(300);
    const QImage title = list_.titleLabel()->grab().toImage();
    EXPECT_EQ(title.pixelColor(1, 1), back);
    EXPECT_EQ(list_.titleLabel()->text(), QStringLiteral("用户列表"));
    QHeaderView* header = list_.view()->horizontalHeader();
    const QImage headerImage = header->grab().toImage();
    EXPECT_EQ(headerImage.pixelColor(header->sectionSize(0) - 4, 1), back);
}

TEST_F(UserListTest, RightClickSetsTheFlagLeftClickDoesNot) {
    list_.addUser(userRow("amy"));
    list_.addUser(userRow("bo"));
    showOffScreen(600);
    QSignalSpy clicks(&list_, &UserListControl::userClicked);
    QWidget* viewport = list_.view()->viewport();
    const QRect second = list_.view()->visualRect(list_.model()->index(1, 2));

    QTest::mouseClick(viewport, Qt::RightButton, {}, second.center());
    QTest::mouseClick(viewport, Qt::LeftButton, {}, second.center());
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(5, viewport->height() - 5));
    QTest::mouseClick(viewport, Qt::MiddleButton, {}, second.center());

    ASSERT_EQ(clicks.count(), 2);
    EXPECT_TRUE(clicks[0][0].toBool());
    EXPECT_FALSE(clicks[1][0].toBool());
    EXPECT_EQ(clicks[1][1].toInt(), 0);
    EXPECT_EQ(clicks[1][2].toString(), QStringLiteral("bo"));
    EXPECT_EQ(clicks[1][3].toString().toStdString(), userRow("bo"));
}

class ChatTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureQtApplication(); }

    void SetUp() override {
        chat_.setOwnName("amy");
        chat_.setTimeSource([] { return QTime(21, 4, 9); });
    }

    // The character format at the first occurrence of text in the line.
    QTextCharFormat formatOf(int lineIndex, const QString& text) const {
        const QTextBlock block = chat_.lineView()->document()->findBlockByNumber(lineIndex);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().text().contains(text)) return it.fragment().charFormat();
        }
        ADD_FAILURE() << "no fragment with " << text.toStdString();
        return {};
    }

    ChatControl chat_;
};

// Lines given in one go (a flood within a frame) and lines given after the
// view was read both land in order, and the view keeps the latest, scrolled
// to the newest.
TEST_F(ChatTest, ViewKeepsOnlyTheLatestLines) {
    chat_.resize(200, 300);
    for (int i = 0; i < 5; ++i) chat_.showChatText("line " + std::to_string(i));
    EXPECT_EQ(chat_.lineCount(), 5);
    for (int i = 5; i < 2 * kMaxChatLines + 100; ++i) {
        chat_.showChatText("line " + std::to_string(i));
    }
    EXPECT_EQ(chat_.lineCount(), kMaxChatLines);
    EXPECT_EQ(chat_.lineText(0), QStringLiteral("line %1").arg(kMaxChatLines + 100));
    EXPECT_EQ(chat_.lineText(kMaxChatLines - 1),
              QStringLiteral("line %1").arg(2 * kMaxChatLines + 99));
    const QScrollBar* bar = chat_.lineView()->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(chat_.lineView()->isReadOnly());
}

// However the lines come in batches around the view's limit, exactly the
// latest stay, in order and in their own formats.
TEST_F(ChatTest, BatchesAroundTheLimitKeepExactlyTheLatestLines) {
    struct Case {
        int before;  // lines shown and read first
        int batch;   // then given in one go
    };
    const Case cases[] = {{1, kMaxChatLines - 1},
                          {1, kMaxChatLines},
                          {2, kMaxChatLines},
                          {kMaxChatLines, 1},
                          {kMaxChatLines - 1, 2},
                          {kMaxChatLines, 2},
                          {300, 299},
                          {kMaxChatLines, kMaxChatLines}};
    // Even lines are system lines, odd ones chat texts, told apart by colour.
    const auto text = [](int n) {
        return n % 2 == 0 ? QStringLiteral("【系统】%1").arg(n) : QString::number(n);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.before << " then " << c.batch);
        ChatControl chat;
        int shown = 0;
        const auto show = [&](int lines) {
            for (const int end = shown + lines; shown < end; ++shown) {
                if (shown % 2 == 0) chat.showSystemLine(std::to_string(shown));
                if (shown % 2 != 0) chat.showChatText(std::to_string(shown));
            }
        };
        show(c.before);
        ASSERT_EQ(chat.lineCount(), c.before);
        show(c.batch);
        const int kept = std::min(shown, kMaxChatLines);
        ASSERT_EQ(chat.lineCount(), kept);
        for (int i = 0; i < kept; ++i) ASSERT_EQ(chat.lineText(i), text(shown - kept + i)) << i;
        const QTextBlock top = chat.lineView()->document()->firstBlock();
        const QColor first = top.begin().fragment().charFormat().foreground().color();
        EXPECT_EQ(first, (shown - kept) % 2 == 0 ? QColor(0xB00000) : QColor(0x000080));
    }
}

TEST_F(ChatTest, NetworkTextIsShownLiterallyOnOneLine) {
    chat_.showSystemLine("<b>bo</b> 进来了...");
    const std::array<std::string, 8> texts{
        "<i>bo</i>", "所有人", "one\ntwo\u2029three", "黑体", "14", "16711680", "BIU", "10:00:00"};
    chat_.showChatMessage(texts);
    ASSERT_EQ(chat_.lineCount(), 2);
    EXPECT_TRUE(chat_.lineText(0).contains("<b>bo</b> 进来了..."));
    const QString line = chat_.lineText(1);
    EXPECT_TRUE(line.contains("<i>bo</i>"));
    EXPECT_TRUE(line.contains("one two three"));
    EXPECT_TRUE(line.contains("10:00:00"));

    const QTextCharFormat format = formatOf(1, "one two");
    EXPECT_EQ(format.fontPointSize(), 14);
    EXPECT_EQ(format.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(format.fontWeight(), QFont::Bold);
    EXPECT_TRUE(format.fontItalic());
    EXPECT_TRUE(format.fontUnderline());
    EXPECT_EQ(format.fontFamilies().toStringList(), QStringList{"黑体"});

    chat_.showChatMessage(std::span(texts).first(7));
    EXPECT_EQ(chat_.lineCount(), 2);
}

TEST(ChatStyleTest, SizesColoursAndStylesAreClamped) {
    ChatStyle style = ParseChatStyle("", "1000", "99999999", "0");
    EXPECT_EQ(style.family, QStringLiteral("宋体"));
    EXPECT_EQ(style.points, 32);
    EXPECT_EQ(style.rgb, 0xFFFFFFu);
    EXPECT_FALSE(style.bold || style.italic || style.underline);

    style = ParseChatStyle("  Sans\nSerif  ", "2", "-5", "u");
    EXPECT_EQ(style.family, QStringLiteral("Sans Serif"));
    EXPECT_EQ(style.points, 6);
    EXPECT_EQ(style.rgb, 0u);
    EXPECT_TRUE(style.underline);
    EXPECT_FALSE(style.bold);

    style = ParseChatStyle(std::string(200, 'f'), "big", "1e300", "B");
    EXPECT_EQ(style.family.size(), 32);
    EXPECT_EQ(style.points, 10);
    EXPECT_EQ(style.rgb, 0xFFFFFFu);
    EXPECT_TRUE(style.bold);
}

TEST_F(ChatTest, RecipientsFollowTheUsersPresent) {
    chat_.updateRecipient("bo", "ADD");
    chat_.updateRecipient("bo", "ADD");
    chat_.updateRecipient("cy", "ADD");
    chat_.updateRecipient("所有人", "ADD");
    chat_.updateRecipient("", "ADD");
    chat_.updateRecipient("dee", "add");
    EXPECT_EQ(chat_.recipients(), (std::vector<std::string>{"所有人", "bo", "cy"}));

    EXPECT_TRUE(chat_.setCurrentRecipient("cy"));
    EXPECT_FALSE(chat_.setCurrentRecipient("ghost"));
    EXPECT_EQ(chat_.currentRecipient(), "cy");
    chat_.updateRecipient("bo", "DEL");
    EXPECT_EQ(chat_.currentRecipient(), "cy");
    chat_.updateRecipient("cy", "DEL");
    EXPECT_EQ(chat_.currentRecipient(), "所有人");
    chat_.updateRecipient("所有人", "DEL");
    EXPECT_EQ(chat_.recipients(), (std::vector<std::string>{"所有人"}));

    chat_.updateRecipient("eve", "ADD");
    chat_.setCurrentRecipient("eve");
    chat_.clearRecipients();
    EXPECT_EQ(chat_.recipients(), (std::vector<std::string>{"所有人"}));
    EXPECT_EQ(chat_.currentRecipient(), "所有人");
}

TEST_F(ChatTest, SendCarriesTenTextsAndRefusesEmptyMessages) {
    QSignalSpy sent(&chat_, &ChatControl::sendRequested);
    chat_.setSendStyle("黑体", 12, qRgb(1, 2, 3), "BU");
    chat_.updateRecipient("bo", "ADD");
    chat_.setCurrentRecipient("bo");

    QTest::keyClick(chat_.input(), Qt::Key_Return);
    chat_.input()->setText("   ");
    QTest::mouseClick(chat_.sendButton(), Qt::LeftButton);
    EXPECT_EQ(sent.count(), 0);

    chat_.input()->setText("it`s `fine`");
    QTest::keyClick(chat_.input(), Qt::Key_Return);
    ASSERT_EQ(sent.count(), 1);
    const QStringList texts = sent[0][0].toStringList();
    const QStringList expected{"amy",  "bo", "amy",   "bo", "it's 'fine'",
                               "黑体", "12", "66051", "BU", "21:04:09"};
    EXPECT_EQ(texts, expected);
    EXPECT_TRUE(chat_.input()->text().isEmpty());
    EXPECT_EQ(chat_.lineCount(), 0);

    chat_.setEchoOwnLines(true);
    chat_.setCurrentRecipient("所有人");
    chat_.input()->setText("x");
    QTest::mouseClick(chat_.sendButton(), Qt::LeftButton);
    ASSERT_EQ(sent.count(), 2);
    EXPECT_EQ(sent[1][0].toStringList()[1], QStringLiteral("所有人"));
    EXPECT_EQ(sent[1][0].toStringList()[8], QStringLiteral("BU"));
    EXPECT_EQ(chat_.lineCount(), 1);
}

}  // namespace
}  // namespace krvo
