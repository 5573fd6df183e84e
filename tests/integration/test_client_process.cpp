// The real client binary as the lobby starts it.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "state/command_line.h"
#include "support/qt_test_application.h"
#include "support/temporary_platform.h"

namespace {

constexpr int kLimitMs = 30000;

QStringList validFields(quint16 port) {
    return {QString::fromUtf8(krvo::kLaunchToken.data(), krvo::kLaunchToken.size()),
            "127.0.0.1",
            QString::number(port),
            QStringLiteral("测试牌桌"),
            QStringLiteral("新手_0`老手_100"),
            "x",
            "y",
            QStringLiteral("玩家甲"),
            "0"};
}

struct Outcome {
    int exitCode = -1;
    QString standardError;
};

class ClientProcess : public ::testing::Test {
protected:
    static void SetUpTestSuite() { krvo::testing::EnsureQtApplication(); }

    static QProcessEnvironment offscreen() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        return env;
    }

    void start(const QStringList& args, const QProcessEnvironment& env = offscreen()) {
        ASSERT_TRUE(platform.isValid());
        process.setProcessEnvironment(env);
        process.start(platform.client(), args);
        ASSERT_TRUE(process.waitForStarted(kLimitMs));
    }

    // The client beside its own preferences, never the ones a person left in
    // the build's program directory.
    krvo::testing::TemporaryPlatform platform{QFileInfo(KRVO_CLIENT_BINARY).path(),
                                              QFileInfo(KRVO_CLIENT_BINARY).fileName()};

    Outcome finish() {
        Outcome run;
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, kLimitMs));
        run.exitCode = process.exitCode();
        run.standardError = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    QProcess process;
};

TEST_F(ClientProcess, WrongFieldCountIsError1) {
    for (int extra : {-1, 1}) {
        QStringList args = validFields(1);
        if (extra < 0)
            args.removeLast();
        else
            args << "more";
        start(args);
        const Outcome run = finish();
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.standardError.contains(QStringLiteral("1号错误，无法正常启动游戏！")))
            << run.standardError.toStdString();
    }
}

TEST_F(ClientProcess, WrongTokenIsError2) {
    QStringList args = validFields(1);
    args[0] = args[0].toUpper();
    start(args);
    const Outcome run = finish();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.standardError.contains(QStringLiteral("2号错误，无法正常启动游戏！")))
        << run.standardError.toStdString();
}

// A display name that no X server answers on this machine.
QString UnservedDisplay() {
    for (int n = 200; n < 400; ++n) {
        if (!QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) &&
            !QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n))) {
            return QStringLiteral(":%1").arg(n);
        }
    }
    return QStringLiteral(":399");
}

TEST_F(ClientProcess, StartErrorOnADisplayThatCannotBeOpenedIsPrintedAndEndsWith1) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"}) {
        env.remove(name);
    }
    env.insert("DISPLAY", UnservedDisplay());
    QStringList args = validFields(1);
    args.removeLast();
    start(args, env);
    const Outcome run = finish();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.standardError.contains(QStringLiteral("1号错误，无法正常启动游戏！")))
        << run.standardError.toStdString();
}

TEST_F(ClientProcess, LogsInWithOneFrameFromItsOwnPreferencesAndEndsWhenTheServerCloses) {
    struct Case {
        const char* preferences;  // null: no file
        const char* watchCards;
    };
    for (const Case& c : {Case{nullptr, "0"}, Case{"1\r\n0\r\n1\r\n1\r\n1\r\n", "1"}}) {
        SCOPED_TRACE(c.watchCards);
        QFile file(platform.appDir() + "/UserSet.ini");
        file.remove();
        if (c.preferences != nullptr) {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.preferences);
            file.close();
        }
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        start(validFields(server.serverPort()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.hasPendingConnections(); }, kLimitMs));
        QTcpSocket* peer = server.nextPendingConnection();
        const QByteArray expected =
            QByteArray::fromHex("0000000c8200") + "500`KRVO`" + c.watchCards;
        QByteArray received;
        (void)QTest::qWaitFor(
            [&] {
                received += peer->readAll();
                return received.size() >= expected.size();
            },
            kLimitMs);
        // Nothing more may follow the login frame.
        QTest::qWait(200);
        received += peer->readAll();
        EXPECT_EQ(received.toHex().toStdString(), expected.toHex().toStdString());
        peer->close();
        const Outcome run = finish();
        EXPECT_EQ(run.exitCode, 0) << run.standardError.toStdString();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    }
}

TEST_F(ClientProcess, RefusedConnectionEndsTheProgramWithStatus0) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();  // nothing listens there now
    start(validFields(port));
    const Outcome run = finish();
    EXPECT_EQ(run.exitCode, 0) << run.standardError.toStdString();
}

}  // namespace
