#pragma once
// A renderer over the generated artwork with a table in play, the local
// player in chair 2 at the bottom, and a manual clock for its waits. The
// expected pixels of the tests come from the picture files and the geometry
// formulas, not from the renderer.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <string>

#include "render/table_canvas.h"
#include "render/table_renderer.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "support/manual_event_loop.h"
#include "support/qt_test_application.h"

namespace krvo::testing {

inline const std::string kAppDir = std::string(KRVO_TEST_APP_DIR) + "/";
inline const std::string kPlatformDir = std::string(KRVO_TEST_PLATFORM_DIR) + "/";

// A picture of the artwork, read straight from its file.
inline QImage Artwork(const QString& relative) {
    return QImage(QString::fromStdString(kAppDir) + relative).convertToFormat(QImage::Format_RGB32);
}

inline QRgb Rgb(QRgb pixel) {
    return pixel & 0xffffffu;
}

// What AND with the mask and OR with the face leave of `below`.
inline QRgb Composite(QRgb below, QRgb mask, QRgb face) {
    return Rgb((below & mask) | face);
}

class TablePictureTest : public ::testing::Test {
protected:
    static constexpr std::uint8_t kMe = 2;
    static void SetUpTestSuite() { EnsureQtApplication(); }

    TablePictureTest() {
        pub.strAppPath = kAppDir;
        pub.strPlatformPath = kPlatformDir;
        pub.strViewUserName = "me";
        pub.bteMyChair = kMe;
        pub.bteViewPos = {0, 3, 2, 1};  // chair 1 on the right, chair 3 on the left
        const char* names[] = {"北家", "西家", "me", "东家"};
        for (std::size_t chair = 0; chair < kChairCount; ++chair) {
            table.arrSeat[chair].strUserName = names[chair];
            table.arrSeat[chair].lngIconNo = static_cast<std::int32_t>(chair);
            table.arrSeat[chair].btePaiCount = 12;
        }
        table.blnNoGame = false;
        table.blnShowOtherPai = 1;
        table.bteRoundState = kRoundFollow;
        renderer.screenWidth = [] { return 1920; };
        renderer.resize({1000, 700});
    }

    // Lays the table out for the state and repaints it whole.
    const QImage& repaint() {
        renderer.layoutTable();
        renderer.invalidateTable();
        return renderer.image();
    }
    const TableLayout& layout() const { return renderer.layout(); }

    ManualEventLoop loop{10};
    TableState table;
    PublicState pub;
    TableRenderer renderer{table, pub, loop.waiter()};
};

}  // namespace krvo::testing
