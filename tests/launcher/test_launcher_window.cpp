// The window's own wiring: Enter starts what the page in front offers, a
// table that cannot be hosted says why in the window and leaves nothing
// running, and Escape closes the window.

#include <gtest/gtest.h>

#include <QSettings>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include "launcher/launch_line.h"
#include "launcher/launcher_fields.h"
#include "launcher/launcher_window.h"
#include "support/qt_test_application.h"

namespace krvo::launcher {
namespace {

TEST(LauncherWindow, EnterHostsTheTableAndABusyPortIsToldInTheWindow) {
    krvo::testing::EnsureQtApplication();
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::LocalHost, 0));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSettings settings(dir.filePath("krvo-launcher.conf"), QSettings::IniFormat);
    LauncherFields fields;
    fields.page = 1;
    fields.hostPort = occupant.serverPort();
    SaveFields(settings, fields);

    LauncherWindow window({.client = KRVO_CLIENT_BINARY, .server = KRVO_SERVER_BINARY}, settings);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(&window, Qt::Key_Return);
    const QString busy = QString("端口 %1 已被占用，请换一个端口。").arg(occupant.serverPort());
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.statusText() == busy; }, 30'000))
        << window.statusText().toStdString();
    EXPECT_FALSE(window.hostedServer().running());

    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace krvo::launcher
