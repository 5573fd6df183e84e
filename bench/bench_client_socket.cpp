// The real client over a real socket: a burst of two captured rounds (the
// traffic a player at the local room server receives) written to the table
// program by a loopback server, until the client has handled every message;
// beside the same bytes read by a plain socket reader that only splits the
// frames, measured in the same run.
//
// Figures (wall time; items_per_second is messages per second):
//   BM_ClientBurst      against BM_SocketReaderBaseline (goal: at least 100 k
//                       messages/s).
//   BM_ClientChatFlood  against BM_SocketReaderChatBaseline: a flood of chat
//                       lines to everybody, the slowest traffic the client
//                       receives (goal: at least 100 k lines/s).
//
// Wall time, because part of the cost is not this process's: the window's
// pictures go to the X server (`make bench` runs this program on a virtual
// 1920 x 1080 one when there is no display; without any it paints off screen,
// on a smaller screen). The loop never sleeps while it waits for the client.
//
// The client is the table program as main.cpp builds it: command line, the
// main window with its renderer, sounds, the socket and the handlers. Only its
// clock differs. The table's own pauses (2 s after a won trick, the bomb
// animation) would make a burst last as long as the round itself; they run on
// a clock that the waits move on at once, as in the end-to-end tests. Each
// wait still lets Qt handle its events, paints included, as the program's own
// pump does, so the figure is the cost of receiving, handling and showing.
// The window paints at most once per display frame and chat lines wait for
// the frame, so a burst pays for the frames it spans, not for every pause in
// it.
//
// The end of a burst is a message that replaces the own hand with three cards
// that differ from burst to burst; the client handles messages in order, so
// once the hand shows them, everything before has been handled.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/table_app.h"
#include "core/clock.h"
#include "core/framing.h"
#include "services/fonts.h"
#include "services/qt_system_alerts.h"
#include "ports/system_alerts.h"
#include "state/command_line.h"
#include "state/table_state.h"
#include "support/captured_rounds.h"
#include "wire/game_protocol.h"

namespace {

using krvo::Packet;
using krvo::testing::CapturedRounds;

constexpr std::uint8_t kRoundStart = 17;
constexpr int kBurstTimeoutMs = 30000;

[[noreturn]] void fail(const char* message) {
    std::fprintf(stderr, "bench_client_socket: %s\n", message);
    std::exit(1);
}

// The traffic of the player in chair 2: what comes before the first round
// (logging in, the user list, the props) and the rounds themselves.
struct Traffic {
    Traffic() {
        const CapturedRounds captured = krvo::testing::CaptureRounds({.seed = 7, .rounds = 2});
        const std::vector<Packet> packets = captured.receivedBy(CapturedRounds::kMe);
        bool inRounds = false;
        for (const Packet& packet : packets) {
            inRounds = inRounds || packet[0] == kRoundStart;
            std::vector<std::uint8_t>& to = inRounds ? burst : login;
            const std::vector<std::uint8_t> frame = krvo::EncodeFrame(packet);
            to.insert(to.end(), frame.begin(), frame.end());
            burstMessages += inRounds ? 1 : 0;
        }
        if (burstMessages == 0) fail("the captured traffic holds no round");
    }

    std::vector<std::uint8_t> login;
    std::vector<std::uint8_t> burst;
    std::int64_t burstMessages = 0;
};

const Traffic& traffic() {
    static const Traffic captured;
    return captured;
}

// Chat lines to everybody from the people at the table, as the room relays
// them: different senders, lengths, colours and styles.
struct ChatFlood {
    // Also the benchmarks' argument, which pairs the flood with its baseline.
    static constexpr std::int64_t kLines = 2000;
    ChatFlood() {
        const char* const senders[] = {"甲", "乙", "丙", "电脑丁"};
        const char* const styles[] = {"0", "B", "I", "BU"};
        for (std::int64_t i = 0; i < kLines; ++i) {
            const std::string from = senders[i % 4];
            const std::string text =
                "第" + std::to_string(i) + "句：这一手打得" + std::string(i % 7 * 3, '!');
            const std::string fields[] = {from,
                                          "所有人",
                                          from,
                                          "所有人",
                                          text,
                                          "宋体",
                                          std::to_string(9 + i % 4),
                                          std::to_string(i * 2654435761 % 0x1000000),
                                          styles[i % 4],
                                          "12:00:00"};
            const std::vector<std::uint8_t> frame = krvo::EncodeFrame(krvo::ChatLinePacket(fields));
            bytes.insert(bytes.end(), frame.begin(), frame.end());
        }
    }
    std::vector<std::uint8_t> bytes;
};

const ChatFlood& chatFlood() {
    static const ChatFlood flood;
    return flood;
}

// Three ordinary cards, different for consecutive bursts.
krvo::CardList endMark(std::int64_t burst) {
    return {static_cast<std::uint8_t>(burst % 12), static_cast<std::uint8_t>(13 + burst / 12 % 12),
            static_cast<std::uint8_t>(26 + burst / 144 % 12)};
}

std::vector<std::uint8_t> endMarkFrame(std::int64_t burst) {
    const krvo::CardList cards = endMark(burst);
    Packet myCards = {2, 0, static_cast<std::uint8_t>(cards.size())};
    myCards.insert(myCards.end(), cards.begin(), cards.end());
    return krvo::EncodeFrame(myCards);
}

QByteArray bytesOf(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

// Runs the event loop until done() holds; false after the time-out. It never
// blocks: the last message may be handled inside a nested loop of the client
// (a pause, a box), after which no further event would wake a blocking wait.
bool pumpUntil(const std::function<bool()>& done) {
    QDeadlineTimer deadline(kBurstTimeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}

class QuietAlerts final : public krvo::SystemAlerts {
public:
    void warning(std::string_view, std::string_view, QWidget*) override {}
    void notify(std::string_view, std::string_view, QWidget*) override {}
};

// A loopback listener and the connection of the one client it accepts.
class Listener {
public:
    Listener() {
        if (!server_.listen(QHostAddress::LocalHost, 0)) fail("cannot listen on 127.0.0.1");
    }
    quint16 port() const { return server_.serverPort(); }
    QTcpSocket& accept() {
        if (!pumpUntil([this] { return server_.hasPendingConnections(); })) {
            fail("the client did not connect");
        }
        connection_ = server_.nextPendingConnection();
        // What the client sends (its login, acknowledgements) is read and dropped.
        QObject::connect(connection_, &QTcpSocket::readyRead, connection_,
                         [socket = connection_] { socket->readAll(); });
        return *connection_;
    }

private:
    QTcpServer server_;
    QTcpSocket* connection_ = nullptr;
};

// The table program started as the lobby starts it, against the listener.
class Client {
public:
    Client() {
        const std::string port = std::to_string(listener_.port());
        const char* const argv[] = {"krvo",
                                    "q@!%tb)*&m[]:zp;{/hd{|kx73WQLMR8!$@~41",
                                    "127.0.0.1",
                                    port.c_str(),
                                    "krvo演示牌桌",
                                    "新手_0`学徒_100`熟手_300`好手_800`高手_2000`大师_5000",
                                    "-",
                                    "-",
                                    "me",
                                    "1"};
        const krvo::LaunchResult launch = krvo::ParseLaunch(krvo::JoinArguments(10, argv));
        if (launch.error != krvo::LaunchError::None) fail("the command line was refused");
        app_ = std::make_unique<krvo::TableApp>(
            launch.params, KRVO_APP_DIR, clock_,
            [this](std::int64_t maxMs) {
                clock_.advance(std::max<std::int64_t>(maxMs, 0));
                QCoreApplication::processEvents();
            },
            alerts_);
        app_->start();
        connection_ = &listener_.accept();
        connection_->write(bytesOf(traffic().login));
        deliver(endMarkFrame(0), 1, 0);
    }

    // Writes the bytes and waits until the client has handled them, the end
    // mark of this burst last.
    void deliver(const std::vector<std::uint8_t>& bytes, std::int64_t, std::int64_t burst) {
        connection_->write(bytesOf(bytes));
        connection_->write(bytesOf(endMarkFrame(burst)));
        const krvo::CardList mark = endMark(burst);
        const bool handled =
            pumpUntil([&] { return app_->ended() || app_->table().bteMyPai == mark; });
        if (app_->ended()) fail("the client left the table during a burst");
        if (!handled) fail("the client did not handle a burst in time");
    }

    krvo::TableApp& app() { return *app_; }

private:
    Listener listener_;
    krvo::ManualClock clock_;
    QuietAlerts alerts_;
    std::unique_ptr<krvo::TableApp> app_;
    QTcpSocket* connection_ = nullptr;
};

// The same bytes read by a socket that splits frames and counts packets.
class PlainReader {
public:
    PlainReader() {
        reader_.connectToHost(QHostAddress::LocalHost, listener_.port());
        writer_ = &listener_.accept();
        if (!pumpUntil([this] { return reader_.state() == QAbstractSocket::ConnectedState; })) {
            fail("the plain reader did not connect");
        }
        QObject::connect(&reader_, &QTcpSocket::readyRead, &reader_, [this] {
            const QByteArray data = reader_.readAll();
            decoder_.feed({reinterpret_cast<const std::uint8_t*>(data.constData()),
                           static_cast<std::size_t>(data.size())});
            while (decoder_.next()) ++packets_;
        });
    }

    void deliver(const std::vector<std::uint8_t>& bytes, std::int64_t messages,
                 std::int64_t burst) {
        const std::int64_t expected = packets_ + messages + 1;
        writer_->write(bytesOf(bytes));
        writer_->write(bytesOf(endMarkFrame(burst)));
        if (!pumpUntil([&] { return packets_ >= expected; })) fail("the plain reader fell behind");
    }

private:
    Listener listener_;
    QTcpSocket reader_;
    QTcpSocket* writer_ = nullptr;
    krvo::FrameDecoder decoder_;
    std::int64_t packets_ = 0;
};

// Counted across runs and benchmarks: a burst must not end with the mark
// the last one left in the hand.
std::int64_t burstNumber = 0;

template <typename Receiver>
void measureBursts(benchmark::State& state, Receiver& receiver,
                   const std::vector<std::uint8_t>& bytes, std::int64_t messages) {
    for (auto _ : state) receiver.deliver(bytes, messages, ++burstNumber);
    state.SetItemsProcessed(state.iterations() * (messages + 1));
    state.SetLabel(std::to_string(messages + 1) + " messages a burst");
}

template <typename Receiver>
void measureRounds(benchmark::State& state, Receiver& receiver) {
    measureBursts(state, receiver, traffic().burst, traffic().burstMessages);
}

template <typename Receiver>
void measureChat(benchmark::State& state, Receiver& receiver) {
    measureBursts(state, receiver, chatFlood().bytes, ChatFlood::kLines);
}

void BM_SocketReaderBaseline(benchmark::State& state) {
    PlainReader reader;
    measureRounds(state, reader);
}
BENCHMARK(BM_SocketReaderBaseline)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Started once: the first burst meets a client that has logged in and
// painted its table, as a burst during a session does.
std::unique_ptr<Client> client;

void BM_ClientBurst(benchmark::State& state) {
    if (!client) client = std::make_unique<Client>();
    measureRounds(state, *client);
}
BENCHMARK(BM_ClientBurst)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_SocketReaderChatBaseline(benchmark::State& state) {
    PlainReader reader;
    measureChat(state, reader);
}
BENCHMARK(BM_SocketReaderChatBaseline)
    ->Arg(ChatFlood::kLines)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

void BM_ClientChatFlood(benchmark::State& state) {
    if (!client) client = std::make_unique<Client>();
    measureChat(state, *client);
}
BENCHMARK(BM_ClientChatFlood)->Arg(ChatFlood::kLines)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

#include "baseline_reporter.h"

int main(int argc, char** argv) {
    // The window needs a display to be painted for real; without one it is
    // painted off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    krvo::InstallFontSubstitutions();
    krvo::InstallQtChineseTexts();
    traffic();
    const int status = krvo::bench::RunWithBaselines(argc, argv);
    client.reset();
    return status;
}
