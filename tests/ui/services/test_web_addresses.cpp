#include "services/web_addresses.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <string>

namespace krvo {
namespace {

class WebAddressesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(directory_.isValid()); }

    std::string appPath() const { return directory_.path().toStdString() + "/"; }
    QString inApp(const QString& name) const { return directory_.filePath(name); }

    void writeIni(const QByteArray& text) {
        QFile file(inApp("krvo.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir directory_;
};

TEST_F(WebAddressesTest, BasesFromTheIniGetTheGamesPages) {
    // A missing closing "/" is meant all the same; a directory is a file address.
    writeIni("[Web]\r\nHelpBase=http://games.example.org/help/Mygame\r\nAdvBase = pages/adv\r\n");

    const WebAddresses addresses = LoadWebAddresses(appPath());

    EXPECT_EQ(addresses.help, QUrl("http://games.example.org/help/Mygame/KRVO.htm"));
    EXPECT_EQ(addresses.advertisement, QUrl::fromLocalFile(inApp("pages/adv/KRVO/ga.htm")));
}

TEST_F(WebAddressesTest, MissingSettingsPointAtThePagesBesideTheProgram) {
    const QUrl shippedHelp = QUrl::fromLocalFile(inApp("docs/help/KRVO.htm"));
    const QUrl shippedAdv = QUrl::fromLocalFile(inApp("docs/adv/KRVO/ga.htm"));

    const WebAddresses withoutFile = LoadWebAddresses(appPath());
    EXPECT_EQ(withoutFile.help, shippedHelp);
    EXPECT_EQ(withoutFile.advertisement, shippedAdv);

    writeIni(
        "[Other]\nAdvBase=http://elsewhere.example.org/adv/\n"
        "[Web]\nHelpBase=http://games.example.org/help/\nAdvBase=\n");
    const WebAddresses partly = LoadWebAddresses(appPath());
    EXPECT_EQ(partly.help, QUrl("http://games.example.org/help/KRVO.htm"));
    EXPECT_EQ(partly.advertisement, shippedAdv);
}

// The build copies the pages where the defaults point, pictures included.
TEST(ShippedWebPages, AreWhereTheDefaultAddressesPoint) {
    const WebAddresses addresses = LoadWebAddresses(KRVO_TEST_APP_DIR "/");
    const QString helpFile = addresses.help.toLocalFile();
    ASSERT_TRUE(QFileInfo::exists(helpFile)) << helpFile.toStdString();

    QFile help(helpFile);
    ASSERT_TRUE(help.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(help.readAll());
    const QRegularExpression picture(QStringLiteral("<img src=\"([^\"]+)\""));
    int pictures = 0;
    for (const auto& match : picture.globalMatch(page)) {
        const QUrl address = addresses.help.resolved(QUrl(match.captured(1)));
        EXPECT_TRUE(QFileInfo::exists(address.toLocalFile())) << address.toString().toStdString();
        ++pictures;
    }
    EXPECT_GE(pictures, 3);

    EXPECT_TRUE(QFileInfo::exists(addresses.advertisement.toLocalFile()));
}

}  // namespace
}  // namespace krvo
