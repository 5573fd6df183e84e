// The window's own wiring: Enter starts what the page in front offers, a
// table that cannot be hosted says why in the window and leaves nothing
// running, the remembered computer level reaches the server, and Escape
// closes the window.

#include <gtest/gtest.h>

#include <QFile>
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

TEST(LauncherWindow, TheRememberedComputerLevelIsTheOneTheServerIsStartedWith) {
    krvo::testing::EnsureQtApplication();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A stand-in server that keeps its command line and reports a port.
    const QString server = dir.filePath("server.sh");
    QFile script(server);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QString("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1'\n"
                         "echo 'listening on 127.0.0.1:40000'\nexec sleep 30\n")
                     .arg(dir.filePath("arguments"))
                     .toUtf8());
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    QSettings settings(dir.filePath("krvo-launcher.conf"), QSettings::IniFormat);
    LauncherFields fields;
    fields.page = 1;
    fields.level = "hard";
    SaveFields(settings, fields);

    LauncherWindow window({.client = KRVO_CLIENT_BINARY, .server = server}, settings);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(&window, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.hostedServer().listening(); }, 30'000));
    QFile arguments(dir.filePath("arguments"));
    ASSERT_TRUE(arguments.open(QIODevice::ReadOnly));
    const QString line = QString::fromUtf8(arguments.readAll()).split(QChar(10)).join(QChar(32));
    EXPECT_TRUE(line.contains("--level hard")) << line.toStdString();
}

}  // namespace
}  // namespace krvo::launcher
