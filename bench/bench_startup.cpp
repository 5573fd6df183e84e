// Start-up as a person meets it: the Release client started the way the lobby
// starts it (its nine-field command line, against the local room server), from
// the start of the process to its first painted window, and its resident
// memory once it has settled; beside a bare Qt window with one QSoundEffect,
// which this program starts from itself (--bare-window) in the same way.
//
// Figures, medians of seven starts of each, the programs taking turns:
//   BM_ClientStart   time to the first paint (goal: at most 2 x the bare
//                    window) and rss_MiB, the resident memory one second after
//                    it (goal: at most 1.5 x).
//   BM_ClientDealt   rss_MiB at a dealt table: the client against a room that
//                    raises every hand, read once the round is under way, the
//                    cards, seats and countdown painted (goal: at most 1.5 x).
//   BM_ClientInPlay  rss_MiB in play: against a room with one-second turns, read
//                    once a whole round has been played (plays, trick pauses,
//                    bombs, the result and whatever props the computers use at
//                    its end) and the next one dealt; median of three (goal: at
//                    most 1.5 x).
//
// Last measured: the bare window 36.6 MiB; the client seated 48.7 MiB (1.33 x),
// at a dealt table 50.8 MiB (1.39 x), in play 53.6 MiB (1.47 x).
//
// Both run on a virtual X server of their own (1920 x 1080, no window
// manager), so nothing else draws: the first damage report after a window of
// the started process is mapped is its first paint.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QScreen>
#include <QSoundEffect>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "baseline_reporter.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPaintTimeout = std::chrono::seconds(30);
// Long enough for the client to have connected, logged in and shown the table.
constexpr auto kSettleTime = std::chrono::seconds(1);
// Long enough for a round to have been dealt and its first plays shown.
constexpr auto kDealtTime = std::chrono::seconds(5);
constexpr int kRounds = 7;
// A round of one-second turns takes about a minute; three of them are enough
// for a median of a figure that hardly moves from start to start.
constexpr int kInPlayRounds = 3;
constexpr auto kRoundTimeout = std::chrono::seconds(180);
// After the next deal, for the table to show it.
constexpr auto kInPlaySettle = std::chrono::seconds(2);

// Thrown, so that the processes started so far are ended on the way out.
[[noreturn]] void fail(const std::string& message) {
    throw std::runtime_error(message);
}

// A child process, ended (and reaped) with the object.
class Process {
public:
    explicit Process(const std::vector<std::string>& argv, int stdoutFd = -1) {
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
        const int error = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) fail("cannot start " + argv[0] + ": " + std::strerror(error));
    }
    ~Process() {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t pid() const { return pid_; }
    bool running() const {
        int status = 0;
        return waitpid(pid_, &status, WNOHANG) == 0;
    }

private:
    pid_t pid_ = 0;
};

// Reads the first line a child writes to the pipe; the pipe stays open, so a
// child that writes more never meets a closed pipe.
class LineReader {
public:
    LineReader() {
        // Close-on-exec: only the child it is handed to as its output keeps it.
        if (pipe2(fds_, O_CLOEXEC) != 0) fail("cannot create a pipe");
    }
    ~LineReader() {
        close(fds_[0]);
        if (fds_[1] >= 0) close(fds_[1]);
    }
    int writeEnd() const { return fds_[1]; }
    std::string firstLine() {
        close(fds_[1]);
        fds_[1] = -1;
        std::string line;
        char c = 0;
        while (read(fds_[0], &c, 1) == 1 && c != '\n') line.push_back(c);
        return line;
    }
    // Reads on after the first line until one equals wanted; false at the
    // deadline or when the child has closed its end.
    bool waitForLine(const std::string& wanted, Clock::time_point deadline) {
        std::string line;
        while (Clock::now() < deadline) {
            pollfd ready{fds_[0], POLLIN, 0};
            if (poll(&ready, 1, 100) <= 0) continue;
            char c = 0;
            if (read(fds_[0], &c, 1) != 1) return false;
            if (c != '\n') {
                line.push_back(c);
                continue;
            }
            if (line == wanted) return true;
            line.clear();
        }
        return false;
    }

private:
    int fds_[2] = {-1, -1};
};

std::size_t residentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            std::size_t kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

// The first paint of a process's window, seen through the damage reports of
// the whole screen: one damage object on the root exists before the process
// starts, so no paint can come before anybody listens.
class PaintWatcher {
public:
    explicit PaintWatcher(const std::string& display) {
        connection_ = xcb_connect(display.c_str(), nullptr);
        if (xcb_connection_has_error(connection_)) fail("cannot connect to X display " + display);
        const xcb_query_extension_reply_t* damage =
            xcb_get_extension_data(connection_, &xcb_damage_id);
        if (damage == nullptr || !damage->present) fail("the X server has no DAMAGE extension");
        damageNotify_ = static_cast<std::uint8_t>(damage->first_event + XCB_DAMAGE_NOTIFY);
        std::free(xcb_damage_query_version_reply(
            connection_, xcb_damage_query_version(connection_, 1, 1), nullptr));
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_damage_create(connection_, xcb_generate_id(connection_), root_,
                          XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
        pidAtom_ = atom("_NET_WM_PID");
        xcb_flush(connection_);
    }
    ~PaintWatcher() { xcb_disconnect(connection_); }
    PaintWatcher(const PaintWatcher&) = delete;
    PaintWatcher& operator=(const PaintWatcher&) = delete;

    // Drops what earlier processes left in the queue.
    void drain() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) std::free(event);
    }

    // Waits until a window of process pid has been mapped and then drawn into.
    std::optional<Clock::time_point> firstPaint(const Process& process) {
        const Clock::time_point deadline = Clock::now() + kPaintTimeout;
        bool mapped = false;
        while (Clock::now() < deadline) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                const std::uint8_t type = event->response_type & 0x7F;
                if (type == XCB_MAP_NOTIFY) {
                    const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                    mapped = mapped || pidOf(map->window) == process.pid();
                } else if (type == damageNotify_ && mapped) {
                    std::free(event);
                    return Clock::now();
                }
                std::free(event);
            }
            if (xcb_connection_has_error(connection_)) fail("lost the X connection");
            if (!process.running()) return std::nullopt;
            pollfd wait{xcb_get_file_descriptor(connection_), POLLIN, 0};
            poll(&wait, 1, 50);
        }
        return std::nullopt;
    }

private:
    xcb_atom_t atom(const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t value = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return value;
    }

    pid_t pidOf(xcb_window_t window) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            connection_,
            xcb_get_property(connection_, 0, window, pidAtom_, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        pid_t pid = 0;
        if (reply != nullptr && xcb_get_property_value_length(reply) == 4) {
            std::uint32_t value = 0;
            std::memcpy(&value, xcb_get_property_value(reply), 4);
            pid = static_cast<pid_t>(value);
        }
        std::free(reply);
        return pid;
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_atom_t pidAtom_ = XCB_ATOM_NONE;
    std::uint8_t damageNotify_ = 0;
};

// A local room server with one chair for a person; its output stays open, so
// that it never writes to a closed pipe.
struct Room {
    explicit Room(std::vector<std::string> extra = {}) {
        std::vector<std::string> argv{KRVO_SERVER_BINARY, "--port", "0", "--humans", "1"};
        argv.insert(argv.end(), extra.begin(), extra.end());
        process = std::make_unique<Process>(argv, output.writeEnd());
        const std::string listening = output.firstLine();
        const std::size_t colon = listening.rfind(':');
        if (listening.rfind("listening on ", 0) != 0 || colon == std::string::npos) {
            fail("krvo-server did not start: " + listening);
        }
        port = listening.substr(colon + 1);
    }
    LineReader output;
    std::unique_ptr<Process> process;
    std::string port;
};

// The virtual X server, the local room server and the watcher, for the whole run.
struct Stage {
    Stage() {
        // Xvfb picks a free display and writes its number to standard output.
        xserver = std::make_unique<Process>(
            std::vector<std::string>{"/usr/bin/Xvfb", "-displayfd", "1", "-screen", "0",
                                     "1920x1080x24", "-nolisten", "tcp", "-noreset"},
            xserverOutput.writeEnd());
        const std::string number = xserverOutput.firstLine();
        if (number.empty()) fail("Xvfb did not start (is the xvfb package installed?)");
        display = ":" + number;
        setenv("DISPLAY", display.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        unsetenv("WAYLAND_DISPLAY");
        // A desktop session has a runtime directory; Qt asks for it at start-up.
        if (mkdtemp(runtimeDir.data()) == nullptr) fail("cannot create a runtime directory");
        setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);

        server = std::make_unique<Room>();
        watcher = std::make_unique<PaintWatcher>(display);
    }

    ~Stage() {
        watcher.reset();
        server.reset();
        xserver.reset();
        std::error_code error;
        std::filesystem::remove_all(runtimeDir, error);
    }

    std::string runtimeDir = "/tmp/krvo-bench-runtime-XXXXXX";
    LineReader xserverOutput;
    std::unique_ptr<Process> xserver;
    std::string display;
    std::unique_ptr<Room> server;
    std::unique_ptr<PaintWatcher> watcher;
};

Stage& stage() {
    static Stage instance;
    return instance;
}

std::string selfPath() {
    std::vector<char> path(4096);
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) fail("cannot find this program's own path");
    return std::string(path.data(), static_cast<std::size_t>(length));
}

std::vector<std::string> bareWindowCommand() {
    return {selfPath(), "--bare-window", KRVO_APP_DIR "/Res/Sound/Start.wav"};
}

// The lobby's command line, as tools/run.sh gives it.
std::vector<std::string> clientCommand(const std::string& port) {
    return {KRVO_CLIENT_BINARY,
            "q@!%tb)*&m[]:zp;{/hd{|kx73WQLMR8!$@~41",
            "127.0.0.1",
            port,
            "krvo演示牌桌",
            "新手_0`学徒_100`熟手_300`好手_800`高手_2000`大师_5000",
            "-",
            "-",
            "玩家",
            "1"};
}

struct Start {
    double seconds = 0;  // to the first paint
    double residentMiB = 0;
};

Start measureStart(const std::vector<std::string>& argv, Clock::duration settle = kSettleTime) {
    Stage& s = stage();
    s.watcher->drain();
    const Clock::time_point begin = Clock::now();
    Process process(argv);
    const auto painted = s.watcher->firstPaint(process);
    if (!painted) fail("no window painted by " + argv[0]);
    std::this_thread::sleep_for(settle);
    if (!process.running()) fail("the client ended before its memory was read");
    return {std::chrono::duration<double>(*painted - begin).count(),
            static_cast<double>(residentKiB(process.pid())) / 1024.0};
}

struct Medians {
    Start bareWindow;
    Start client;
    Start dealt;
    Start inPlay;
};

// A room of its own for each start, so that every client meets a fresh round.
Start measureDealt() {
    const Room room({"--auto-start"});
    return measureStart(clientCommand(room.port), kDealtTime);
}

// A room of its own with one-second turns, which the client plays on its
// time-outs as a person slow to click would: read once the first round has
// been played to its end and the second dealt.
Start measureInPlay() {
    Room room(
        {"--auto-start", "--play-time", "1", "--declare-time", "1", "--autoplay-limit", "255"});
    Stage& s = stage();
    s.watcher->drain();
    const Clock::time_point begin = Clock::now();
    Process process(clientCommand(room.port));
    const auto painted = s.watcher->firstPaint(process);
    if (!painted) fail("no window painted by the client");
    if (!room.output.waitForLine("dealt round 2", Clock::now() + kRoundTimeout)) {
        fail("the room did not deal a second round");
    }
    std::this_thread::sleep_for(kInPlaySettle);
    if (!process.running()) fail("the client ended before its memory was read");
    return {std::chrono::duration<double>(*painted - begin).count(),
            static_cast<double>(residentKiB(process.pid())) / 1024.0};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The two programs start by turns, so that a machine that slows down or speeds
// up on the way touches both alike; the medians are the figures.
const Medians& alternatingStarts() {
    static const Medians medians = [] {
        std::vector<double> bareTimes, bareMemory, clientTimes, clientMemory, dealtTimes,
            dealtMemory, inPlayTimes, inPlayMemory;
        for (int round = 0; round < kRounds; ++round) {
            const Start bare = measureStart(bareWindowCommand());
            const Start client = measureStart(clientCommand(stage().server->port));
            const Start dealt = measureDealt();
            bareTimes.push_back(bare.seconds);
            bareMemory.push_back(bare.residentMiB);
            clientTimes.push_back(client.seconds);
            clientMemory.push_back(client.residentMiB);
            dealtTimes.push_back(dealt.seconds);
            dealtMemory.push_back(dealt.residentMiB);
            if (round < kInPlayRounds) {
                const Start inPlay = measureInPlay();
                inPlayTimes.push_back(inPlay.seconds);
                inPlayMemory.push_back(inPlay.residentMiB);
            }
        }
        return Medians{{median(bareTimes), median(bareMemory)},
                       {median(clientTimes), median(clientMemory)},
                       {median(dealtTimes), median(dealtMemory)},
                       {median(inPlayTimes), median(inPlayMemory)}};
    }();
    return medians;
}

void report(benchmark::State& state, const Start& start, int starts = kRounds) {
    for (auto _ : state) state.SetIterationTime(start.seconds);
    state.counters["rss_MiB"] = start.residentMiB;
    state.SetLabel("median of " + std::to_string(starts) + " starts, taking turns");
}

void BM_BareWindowBaseline(benchmark::State& state) {
    report(state, alternatingStarts().bareWindow);
}
BENCHMARK(BM_BareWindowBaseline)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ClientStart(benchmark::State& state) {
    report(state, alternatingStarts().client);
}
BENCHMARK(BM_ClientStart)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ClientDealt(benchmark::State& state) {
    report(state, alternatingStarts().dealt);
}
BENCHMARK(BM_ClientDealt)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ClientInPlay(benchmark::State& state) {
    report(state, alternatingStarts().inPlay, kInPlayRounds);
}
BENCHMARK(BM_ClientInPlay)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// The baseline process: a window as large as the client's, and one sound
// effect loaded, so that Qt Multimedia is in memory as it is in the client.
int bareWindow(int argc, char** argv) {
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    QSoundEffect sound;
    if (argc > 2) sound.setSource(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[2])));
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare window"));
    const QRect area = QGuiApplication::primaryScreen()->geometry();
    window.setGeometry(area.left(), area.top(), area.width(), std::max(area.height() - 32, 1));
    window.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--bare-window") == 0) return bareWindow(argc, argv);
    try {
        stage();
        return krvo::bench::RunWithBaselines(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_startup: %s\n", error.what());
        return 1;
    }
}
