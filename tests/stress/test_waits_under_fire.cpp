// The whole client on the manual clock, against a scripted server on
// 127.0.0.1, over many seeded schedules. Each schedule seats the client in a
// captured round, opens one kind of wait or box (a kind per schedule in turn)
// and, inside it and inside whatever opens within it, delivers random valid
// and damaged packets, table resets, box answers, close requests, a lost
// connection or the program's end. Whatever happens, the client must come out
// whole: every wait unwound and nothing held; and when the program ends,
// every box closed and the connection closed.
//
// A schedule that ends quietly (its waits run out, and the client has caught
// up with what was sent) leaves the client running for the next one after a
// table reset; a session is the run of schedules sharing one client, at most
// kSessionSchedules long. A failure
// names its seed and the seed its session started from: running from that
// seed repeats it.
//
//   krvo_stress_tests [schedules [first seed]]   (10000 schedules from seed 1)

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDialog>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "app/table_app.h"
#include "chrome/game_main_window.h"
#include "core/framing.h"
#include "core/packet.h"
#include "dialogs/message_box_registry.h"
#include "stress/stress_packets.h"
#include "support/qt_test_application.h"
#include "support/recording_alerts.h"
#include "support/temporary_platform.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace krvo::stress {
namespace {

struct RunSettings {
    int schedules = 10000;
    std::uint32_t firstSeed = 1;
};

RunSettings& runSettings() {
    static RunSettings settings;
    return settings;
}

// The running schedule's seed and its session's first, written out when the
// program dies inside it (a sanitizer's report or a signal).
volatile std::uint32_t runningSeed = 0;
volatile std::uint32_t sessionSeed = 0;

void appendNumber(char* text, std::size_t& length, std::uint32_t number) {
    char digits[12];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    while (count > 0) text[length++] = digits[--count];
}

extern "C" void reportRunningSeed() {
    char text[80] = "\nstress seed ";
    std::size_t length = 13;
    appendNumber(text, length, runningSeed);
    for (const char c : std::string_view(", session from seed ")) text[length++] = c;
    appendNumber(text, length, sessionSeed);
    text[length++] = '\n';
    (void)!::write(STDERR_FILENO, text, length);
}

#if defined(__SANITIZE_ADDRESS__)
void reportSeedOnDeath() {
    // The sanitizers keep their own handlers, which print the stack.
    __sanitizer_set_death_callback(reportRunningSeed);
}
#else
void onFatalSignal(int signal) {
    reportRunningSeed();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void reportSeedOnDeath() {
    for (const int signal : {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL}) {
        std::signal(signal, onFatalSignal);
    }
}
#endif

constexpr std::int64_t kStepMs = 100;
constexpr std::int64_t kSettleStepMs = 1000;
constexpr int kSessionSchedules = 8;
// Drawing the table is the biggest part of a schedule that draws it; one
// schedule in this many does, when its opening is open, at some of its
// actions and before its end.
constexpr std::uint32_t kDrawEvery = 8;
// A schedule whose waits have not all run out after this many steps (over an
// hour on the clock) is ended by the program's own end.
constexpr int kSettleSteps = 5000;
// The opening packet is handled within a few steps of its arrival.
constexpr int kStepsToOpen = 20;
// Once the program has ended, every wait returns at once; a few steps remain
// for the ones already between two steps.
constexpr int kStepsAfterEnd = 50;
// Turns of the event loop, of up to 10 ms each, given to the sockets.
constexpr int kSocketTurns = 1000;

enum class Ending : std::uint8_t { Quiet, ConnectionLost, ProgramEnd };

// Turns the event loop until done() holds. The sockets are local, so the
// first turns do not block; later ones wait up to 10 ms each for the socket
// (returning as soon as it has something), for a machine under load.
template <typename Done, typename WaitForSocket>
bool turnUntil(Done done, WaitForSocket waitForSocket) {
    constexpr int kQuickTurns = 200;
    for (int turn = 0; turn < kQuickTurns + kSocketTurns; ++turn) {
        if (done()) return true;
        QCoreApplication::processEvents();
        waitForSocket(turn < kQuickTurns ? 0 : 10);
    }
    return done();
}

struct Totals {
    std::array<int, kOpeningCount> planned{};
    std::array<int, kOpeningCount> opened{};
    std::array<int, 3> endings{};
    int sessions = 0;
    int actions = 0;
    int packets = 0;
    int steps = 0;
    int maxDepth = 0;
};

// One client, connected to the scripted server, for a run of schedules.
class Session {
public:
    Session(QTcpServer& server, const std::string& appDir) : server_(server), appDir_(appDir) {}
    ~Session() {
        app_.reset();
        if (peer_ != nullptr) peer_->abort();
        delete peer_;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    bool start() {
        std::filesystem::remove(appDir_ + "UserSet.ini");
        LaunchParams launch;
        launch.strRoomServerAddress = "127.0.0.1";
        launch.strRoomServerPort = std::to_string(server_.serverPort());
        launch.strGameTitle = "压力";
        launch.strLevelTitles = "新手_0`老手_100";
        launch.strMyUserName = "me";
        app_ = std::make_unique<TableApp>(
            launch, appDir_, clock_,
            [this](std::int64_t maxMs) {
                if (step) {
                    step(maxMs);
                    return;
                }
                QCoreApplication::processEvents();
                clock_.advance(std::min(maxMs, kStepMs));
            },
            alerts_);
        app_->start();
        // Off the screen, the table is drawn only when a schedule reads the
        // picture, not at every step as well.
        app_->mainWindow()->hide();
        turnUntil([this] { return server_.hasPendingConnections(); },
                  [this](int ms) { server_.waitForNewConnection(ms); });
        peer_ = server_.nextPendingConnection();
        if (peer_ == nullptr) return false;
        peer_->setParent(nullptr);
        peer_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        return true;
    }

    TableApp& app() { return *app_; }
    QTcpSocket& peer() { return *peer_; }
    ManualClock& clock() { return clock_; }
    int schedules = 0;
    // What the client sent, across schedules (a frame may span two).
    FrameDecoder replies;
    // The running schedule's turn of a loop; the client's waits call it.
    std::function<void(std::int64_t)> step;

private:
    QTcpServer& server_;
    std::string appDir_;
    ManualClock clock_;
    testing::RecordingAlerts alerts_;
    std::unique_ptr<TableApp> app_;
    QTcpSocket* peer_ = nullptr;
};

// Two schedules in three end quietly (and keep their client for the next),
// one in six loses the connection, one in six ends the program.
Ending endingFor(Random& random) {
    const auto roll = random() % 6;
    return roll < 4 ? Ending::Quiet : roll == 4 ? Ending::ConnectionLost : Ending::ProgramEnd;
}

class Schedule {
public:
    Schedule(const PacketPool& pool, Session& session, std::uint32_t seed)
        : pool_(pool),
          session_(session),
          seed_(seed),
          app_(session.app()),
          peer_(session.peer()),
          random_(seed),
          opening_(static_cast<Opening>(seed % kOpeningCount)),
          ending_(endingFor(random_)),
          actionsLeft_(2 + static_cast<int>(random_() % 9)),
          drawing_(seed % kDrawEvery == 0) {
        // The last schedule of a session ends the program, between waits.
        if (session.schedules + 1 == kSessionSchedules && ending_ == Ending::Quiet) {
            ending_ = Ending::ProgramEnd;
            endBetweenWaits_ = true;
        }
    }

    // Runs the schedule and checks that the client came out whole.
    void run(Totals& totals) {
        session_.step = [this](std::int64_t maxMs) { step(maxMs); };
        // A new client gets the whole of the captured start; one that ran an
        // earlier schedule is only seated again.
        const std::vector<Packet>& setup =
            session_.schedules++ == 0 ? pool_.setup() : pool_.reseat();
        for (const Packet& packet : setup) send(packet);
        open();
        while (!app_.ended() && actionsLeft_ > 0) step(kStepMs);
        finish();
        session_.step = nullptr;

        EXPECT_EQ(depth_, 0);
        EXPECT_FALSE(app_.waiter().holdingPackets());
        EXPECT_EQ(waitingBoxes(), 0);
        if (app_.ended()) {
            EXPECT_EQ(registry().openBoxCount(), 0);
            EXPECT_LE(stepsAfterEnd_, kStepsAfterEnd);
            EXPECT_NE(peer_.state(), QAbstractSocket::ConnectedState);
        } else {
            EXPECT_EQ(ending_, Ending::Quiet);
        }
        const auto opening = static_cast<std::size_t>(opening_);
        totals.planned[opening] += 1;
        totals.opened[opening] += openingSeen_ ? 1 : 0;
        totals.endings[static_cast<std::size_t>(ending_)] += 1;
        totals.actions += actionsDone_;
        totals.packets += packetsSent_;
        totals.steps += steps_;
        totals.maxDepth = std::max(totals.maxDepth, maxDepth_);
    }

private:
    MessageBoxRegistry& registry() { return dynamic_cast<MessageBoxRegistry&>(app_.boxes()); }

    std::vector<MessageBoxWindow*> openBoxes() {
        std::vector<MessageBoxWindow*> boxes;
        for (std::int32_t slot = 0; slot <= registry().lngMaxMsgObjectIdx(); ++slot) {
            if (MessageBoxWindow* box = registry().openBox(slot)) boxes.push_back(box);
        }
        return boxes;
    }

    // Boxes that run a loop of their own (all but the notice that does not wait).
    int waitingBoxes() {
        const std::vector<MessageBoxWindow*> boxes = openBoxes();
        return static_cast<int>(std::count_if(boxes.begin(), boxes.end(), [](const auto* box) {
            return box->bteMsgType() != MsgType::Notice;
        }));
    }

    void send(const Packet& packet) {
        if (packet.empty() || peer_.state() != QAbstractSocket::ConnectedState) return;
        const std::vector<std::uint8_t> frame = EncodeFrame(packet);
        peer_.write(reinterpret_cast<const char*>(frame.data()), static_cast<qint64>(frame.size()));
        peer_.flush();
        ++packetsSent_;
    }

    // The wait or box of this schedule. The two the person opens wait until
    // the client has acknowledged the round start of the setup.
    void open() {
        if (opening_ != Opening::ReasonBox && opening_ != Opening::Preferences) {
            send(pool_.opening(opening_, random_));
            return;
        }
        awaitRoundStartAcknowledged();
        if (opening_ == Opening::Preferences) {
            app_.openUserSettings();
        } else {
            app_.requestClose();
        }
    }

    void awaitRoundStartAcknowledged() {
        turnUntil(
            [this] {
                readReplies();
                return acknowledged_ || app_.ended();
            },
            [this](int ms) { peer_.waitForReadyRead(ms); });
    }

    // What the client sent: the acknowledgement of a round start (19) is
    // looked for.
    void readReplies() {
        if (!peer_.isOpen()) return;
        const QByteArray bytes = peer_.readAll();
        FrameDecoder& replies = session_.replies;
        replies.feed(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                               static_cast<std::size_t>(bytes.size())));
        while (const auto reply = replies.next()) {
            if (reply->empty()) continue;
            acknowledged_ = acknowledged_ || reply->front() == 19;
        }
    }

    bool openingIsOpen() {
        if (app_.ended()) return false;
        switch (opening_) {
            case Opening::TrickPause:
                return app_.waiter().holdingPackets() && !app_.table().blnBombShow;
            case Opening::BombAnimation:
                return app_.table().blnBombShow;
            case Opening::RefusalBox:
            case Opening::Notice:
                return boxOpen(MsgType::OneButton);
            case Opening::LeaveQuestion:
                return boxOpen(MsgType::TwoButtons);
            case Opening::ReasonBox:
                return boxOpen(MsgType::Reason);
            case Opening::SettingsDialog:
            case Opening::Preferences:
                return visibleDialog() != nullptr;
        }
        return false;
    }

    bool boxOpen(MsgType type) {
        const std::vector<MessageBoxWindow*> boxes = openBoxes();
        return std::any_of(boxes.begin(), boxes.end(),
                           [type](const auto* box) { return box->bteMsgType() == type; });
    }

    QDialog* visibleDialog() {
        if (app_.mainWindow() == nullptr) return nullptr;
        for (QDialog* dialog : app_.mainWindow()->findChildren<QDialog*>()) {
            if (dialog->isVisible()) return dialog;
        }
        return nullptr;
    }

    // One turn of any loop: the driver's own, or a step of a wait inside the
    // client, where the next action runs inside that wait.
    void step(std::int64_t maxMs) {
        ++depth_;
        ++steps_;
        maxDepth_ = std::max(maxDepth_, depth_);
        if (app_.ended()) {
            ++stepsAfterEnd_;
        } else {
            if (!openingSeen_ && openingIsOpen()) {
                openingSeen_ = true;
                drawTable();
            }
            // The first actions go inside the opened wait, not before it.
            const bool mayAct = openingSeen_ || ++stepsBeforeOpening_ > kStepsToOpen;
            if (actionsLeft_ > 0) {
                if (mayAct && random_() % 3 == 0) {
                    --actionsLeft_;
                    ++actionsDone_;
                    act();
                }
            } else if ((ending_ != Ending::Quiet && !endBetweenWaits_) ||
                       ++settleSteps_ > kSettleSteps) {
                end(ending_ == Ending::ConnectionLost);
            }
        }
        QCoreApplication::processEvents();
        readReplies();
        // Once the actions are spent, the waits are left to run out in steps
        // of a second, as on a machine too busy to wake them sooner.
        const std::int64_t passed = actionsLeft_ > 0 ? std::min(maxMs, kStepMs) : kSettleStepMs;
        session_.clock().advance(maxMs > 0 ? passed : 0);
        --depth_;
    }

    // The renderer paints what changed since it was last read.
    void drawTable() {
        if (drawing_) (void)app_.renderer().image();
    }

    void act() {
        if (random_() % 4 == 0) drawTable();
        const unsigned roll = random_() % 100;
        if (roll < 30) {
            const std::vector<Packet>& round = pool_.round();
            send(nextRoundPacket_ < round.size() ? round[nextRoundPacket_++]
                                                 : pool_.valid(random_));
        } else if (roll < 55) {
            send(pool_.valid(random_));
        } else if (roll < 70) {
            send(pool_.mutated(random_));
        } else if (roll < 74) {
            send(Packet{130, 1});  // the table reset
        } else if (roll < 84) {
            answer();
        } else if (roll < 87) {
            app_.openUserSettings();
        } else if (roll < 89) {
            app_.requestClose();
        } else if (roll < 94) {
            send(pool_.opening(static_cast<Opening>(random_() % 5), random_));
        } else if (roll < 95) {
            end(random_() % 2 == 0);
        } else {
            session_.clock().advance(1000);
        }
    }

    // Answers an open box with any of its buttons, or presses a button of an
    // open dialog, as a person would.
    void answer() {
        const std::vector<MessageBoxWindow*> boxes = openBoxes();
        if (!boxes.empty()) {
            MessageBoxWindow* box = boxes[random_() % boxes.size()];
            if (box->bteMsgType() == MsgType::Reason && random_() % 2 == 0) {
                box->setReasonText(QStringLiteral("有事先走"));
            }
            box->answer(static_cast<int>(random_() % 3));
            return;
        }
        if (QDialog* dialog = visibleDialog()) {
            const QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
            if (buttons.isEmpty() || random_() % 4 == 0) {
                dialog->close();
            } else {
                buttons[static_cast<qsizetype>(random_() % buttons.size())]->click();
            }
        }
    }

    void end(bool connectionLost) {
        if (connectionLost) {
            peer_.abort();
        } else {
            app_.exitProgram();
        }
    }

    // Back in the driver's loop with every wait unwound. A quiet schedule
    // leaves the client to the next once it has caught up; the others see
    // their ending through, and the client's side of the connection must then
    // be closed too.
    void finish() {
        if (!app_.ended()) drawTable();
        if (!app_.ended() && ending_ != Ending::Quiet) end(ending_ == Ending::ConnectionLost);
        for (int i = 0; i < kStepsAfterEnd && ending_ != Ending::Quiet && !app_.ended(); ++i) {
            step(kStepMs);
        }
        if (!app_.ended()) catchUp();
        if (!app_.ended()) return;
        turnUntil([this] { return peer_.state() != QAbstractSocket::ConnectedState; },
                  [this](int ms) { peer_.waitForReadyRead(ms); });
    }

    // Packets held in the last waits may still be on their way in. A table
    // reset and then the own name with a viewed name of this schedule's own:
    // once the client shows that name, it has handled everything before it.
    void catchUp() {
        const std::string marker = "caught-up-" + std::to_string(seed_);
        send(Packet{130, 1});
        send(withBody(130, 3, "me`" + marker));
        for (int i = 0; i < kSettleSteps && app_.pub().strViewUserName != marker && !app_.ended();
             ++i) {
            step(kStepMs);
        }
        EXPECT_TRUE(app_.pub().strViewUserName == marker || app_.ended())
            << "the client no longer handles packets";
    }

    static Packet withBody(std::uint8_t id, std::uint8_t sub, std::string_view body) {
        const std::uint8_t header[] = {id, sub};
        Packet packet;
        BuildPacket(body, packet, 2, header);
        return packet;
    }

    const PacketPool& pool_;
    Session& session_;
    std::uint32_t seed_;
    TableApp& app_;
    QTcpSocket& peer_;
    Random random_;
    Opening opening_;
    Ending ending_;
    int actionsLeft_;
    bool drawing_;
    bool endBetweenWaits_ = false;
    std::size_t nextRoundPacket_ = 0;
    bool acknowledged_ = false;
    bool openingSeen_ = false;
    int depth_ = 0;
    int maxDepth_ = 0;
    int settleSteps_ = 0;
    int stepsBeforeOpening_ = 0;
    int stepsAfterEnd_ = 0;
    int actionsDone_ = 0;
    int steps_ = 0;
    int packetsSent_ = 0;
};

void printTotals(const Totals& totals, const RunSettings& settings, double seconds) {
    std::printf(
        "%d schedules from seed %u in %d sessions, %.1f s: %d steps, %d actions, %d "
        "packets, deepest loop %d\n",
        settings.schedules, settings.firstSeed, totals.sessions, seconds, totals.steps,
        totals.actions, totals.packets, totals.maxDepth);
    std::printf("endings: %d quiet, %d connection lost, %d program end\n", totals.endings[0],
                totals.endings[1], totals.endings[2]);
    for (int kind = 0; kind < kOpeningCount; ++kind) {
        std::printf("  %-20s opened in %d of %d\n",
                    std::string(OpeningName(static_cast<Opening>(kind))).c_str(),
                    totals.opened[static_cast<std::size_t>(kind)],
                    totals.planned[static_cast<std::size_t>(kind)]);
    }
}

TEST(WaitsUnderFire, EverySeededScheduleEndsCleanly) {
    testing::EnsureQtApplication();
    const testing::TemporaryPlatform platform(QStringLiteral(KRVO_TEST_APP_DIR));
    ASSERT_TRUE(platform.isValid());
    const std::string appDir = platform.appDir().toStdString() + "/";
    // No advertisement page: reading and laying it out for every session
    // would only slow the schedules down. (A link to a built krvo.ini goes
    // first, so that nothing is written through it.)
    std::filesystem::remove(appDir + "krvo.ini");
    std::ofstream(appDir + "krvo.ini") << "[Web]\nAdvBase=/nonexistent/\n";
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    const PacketPool pool;
    ASSERT_FALSE(pool.setup().empty());

    const RunSettings& settings = runSettings();
    Totals totals;
    const auto started = std::chrono::steady_clock::now();
    std::unique_ptr<Session> session;
    for (int i = 0; i < settings.schedules && !::testing::Test::HasFailure(); ++i) {
        const std::uint32_t seed = settings.firstSeed + static_cast<std::uint32_t>(i);
        if (!session) {
            session = std::make_unique<Session>(server, appDir);
            ASSERT_TRUE(session->start()) << "seed " << seed;
            sessionSeed = seed;
            ++totals.sessions;
        }
        runningSeed = seed;
        SCOPED_TRACE("seed " + std::to_string(seed) + ", session from seed " +
                     std::to_string(sessionSeed));
        Schedule(pool, *session, seed).run(totals);
        if (session->app().ended()) session.reset();
    }
    if (session) {
        session->app().exitProgram();
        session.reset();
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - started;
    printTotals(totals, settings, seconds.count());
    // Each kind must really have been opened in most of its schedules, or the
    // schedules stress nothing.
    for (int kind = 0; kind < kOpeningCount; ++kind) {
        const auto index = static_cast<std::size_t>(kind);
        EXPECT_GE(totals.opened[index] * 10, totals.planned[index] * 9)
            << OpeningName(static_cast<Opening>(kind));
    }
}

}  // namespace
}  // namespace krvo::stress

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    krvo::stress::RunSettings& settings = krvo::stress::runSettings();
    const auto number = [](const char* text, auto& out) {
        const std::string_view view(text);
        return std::from_chars(view.data(), view.data() + view.size(), out).ec == std::errc();
    };
    if ((argc > 1 && !number(argv[1], settings.schedules)) ||
        (argc > 2 && !number(argv[2], settings.firstSeed))) {
        std::fprintf(stderr, "usage: %s [schedules [first seed]]\n", argv[0]);
        return 2;
    }
    krvo::stress::reportSeedOnDeath();
    return RUN_ALL_TESTS();
}
