#include "server/server_options.h"

#include "server/deals.h"
#include "server/room.h"

#include <QCommandLineParser>
#include <QHostAddress>
#include <type_traits>

namespace krvo::server {
namespace {

// Reads a given number option within [low, high]; false with an error when it is not one.
bool ReadNumber(const QCommandLineParser& parser, const QString& name, long low, long high,
                long& out, std::string& error) {
    bool ok = false;
    const long value = parser.value(name).toLong(&ok);
    if (!ok || value < low || value > high) {
        error = "--" + name.toStdString() + " must be a number from " + std::to_string(low) +
                " to " + std::to_string(high);
        return false;
    }
    out = value;
    return true;
}

// A number option, its range and the field it sets; a field keeps its default
// from ServerOptions unless the option is given.
struct NumberOption {
    const char* name;
    long low;
    long high;
    void (*store)(ServerOptions& options, long value);
};

template <auto Field>
constexpr void Store(ServerOptions& options, long value) {
    using Type = std::remove_reference_t<decltype(options.*Field)>;
    options.*Field = static_cast<Type>(value);
}

constexpr NumberOption kNumberOptions[] = {
    {"port", 0, 65535, Store<&ServerOptions::port>},
    {"seed", 0, 4294967295L, Store<&ServerOptions::seed>},
    {"humans", 0, 4, Store<&ServerOptions::humans>},
    {"decks", 1, kMaxTableDecks, Store<&ServerOptions::decks>},
    {"play-time", 1, 255, Store<&ServerOptions::playTime>},
    {"declare-time", 1, 255, Store<&ServerOptions::declareTime>},
    {"autoplay-limit", 1, 255, Store<&ServerOptions::autoPlayLimit>},
    {"max-leave-requests", 0, 255, Store<&ServerOptions::maxLeaveRequests>},
    {"max-connections", 1, 10000, Store<&ServerOptions::maxConnections>},
    {"login-time", 1, 3600, Store<&ServerOptions::loginTime>},
    {"idle-time", 1, 3600, Store<&ServerOptions::idleTime>},
    {"capacity", 4, static_cast<long>(kMaxCapacity), Store<&ServerOptions::capacity>},
    {"chat-lines", 1, 1000, Store<&ServerOptions::chatLines>},
    {"trick-pause-ms", 0, kMaxThinkMs, Store<&ServerOptions::trickPauseMs>},
};

bool ReadNumbers(const QCommandLineParser& parser, ServerOptions& options, std::string& error) {
    for (const NumberOption& number : kNumberOptions) {
        long value = 0;
        if (!parser.isSet(number.name)) continue;  // the field keeps its default
        if (!ReadNumber(parser, number.name, number.low, number.high, value, error)) return false;
        number.store(options, value);
    }
    return true;
}

std::vector<std::string> ReadNames(const QCommandLineParser& parser) {
    std::vector<std::string> names;
    for (const QString& list : parser.values("names")) {
        for (const QString& name : list.split(',', Qt::SkipEmptyParts)) {
            const QString trimmed = name.trimmed();
            if (!trimmed.isEmpty()) names.push_back(trimmed.toStdString());
        }
    }
    return names;
}

// "normal" for every chair, "1=hard,2=easy" chair by chair, or both
// ("hard,0=easy"), read from left to right.
bool ReadLevels(const QCommandLineParser& parser, ServerOptions& options, std::string& error) {
    error =
        "--level takes easy, normal or hard, for every chair or as CHAIR=LEVEL with a chair "
        "from 0 to 3";
    for (const QString& list : parser.values("level")) {
        for (const QString& item : list.split(',', Qt::SkipEmptyParts)) {
            const QStringList parts = item.trimmed().split('=');
            if (parts.size() > 2) return false;
            bool chairOk = true;
            const int chair = parts.size() == 2 ? parts.front().trimmed().toInt(&chairOk) : -1;
            if (!chairOk || chair > 3 || (parts.size() == 2 && chair < 0)) return false;
            const auto level = ParseComputerLevel(parts.back().trimmed().toStdString());
            if (!level) return false;
            for (int each = 0; each < 4; ++each) {
                if (chair < 0 || chair == each)
                    options.levels[static_cast<std::size_t>(each)] = *level;
            }
        }
    }
    error.clear();
    return true;
}

// "500" or "300-900", within 0 to kMaxThinkMs.
bool ReadThinkTime(const QCommandLineParser& parser, ServerOptions& options, std::string& error) {
    if (!parser.isSet("think-ms")) return true;
    const QStringList parts = parser.value("think-ms").split('-');
    bool lowOk = false;
    bool highOk = false;
    const long low = parts.front().toLong(&lowOk);
    const long high = parts.size() == 2 ? parts.back().toLong(&highOk) : low;
    highOk = parts.size() == 2 ? highOk : lowOk;
    if (parts.size() > 2 || !lowOk || !highOk || low < 0 || high < low || high > kMaxThinkMs) {
        error = "--think-ms takes milliseconds from 0 to " + std::to_string(kMaxThinkMs) +
                ", one number or MIN-MAX";
        return false;
    }
    options.thinkMinMs = static_cast<std::uint32_t>(low);
    options.thinkMaxMs = static_cast<std::uint32_t>(high);
    return true;
}

// The flags and the on/off switch; the error names the offending option.
bool ReadSwitches(const QCommandLineParser& parser, ServerOptions& options, std::string& error) {
    options.settingsRound = parser.isSet("settings-round");
    options.exitWhenEmpty = parser.isSet("exit-when-empty");
    options.autoStart = parser.isSet("auto-start");
    if (options.autoStart && options.settingsRound) {
        error = "--auto-start cannot be used with --settings-round";
        return false;
    }
    const QString propShows = parser.value("prop-shows");
    if (propShows != "on" && propShows != "off") {
        error = "--prop-shows must be on or off";
        return false;
    }
    options.propShows = propShows == "on";
    return true;
}

// The client sends the password as the login's last text, which the wire
// keeps as it is; blanks at either end would be lost where people copy it.
bool ReadPassword(const QCommandLineParser& parser, ServerOptions& options, std::string& error) {
    if (!parser.isSet("password")) return true;
    const QString password = parser.value("password");
    if (password.isEmpty() || password.trimmed() != password) {
        error = "--password must not be empty nor start or end with a blank";
        return false;
    }
    options.password = password.toStdString();
    return true;
}

void DeclareOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {"bind", "Address to listen on.", "address", "127.0.0.1"},
        {"port", "Port; 0 picks a free one.", "port", "0"},
        {"seed", "Seed of every random choice.", "seed", "1"},
        {"humans", "Chairs that wait for people (0-4).", "count", "1"},
        {"names", "Names given to logins, in order, comma-separated (cut at 32 bytes).", "names"},
        {"decks", QString("Decks per table (1-%1).").arg(kMaxTableDecks), "count", "1"},
        {"play-time", "Seconds for a play.", "seconds", "30"},
        {"declare-time", "Seconds for a declaration.", "seconds", "15"},
        {"autoplay-limit", "Automatic plays that count as running away.", "count", "5"},
        {"max-leave-requests", "Leave requests per player and round.", "count", "2"},
        {"deals", "File of fixed deals: one hand per line, four lines a round.", "file"},
        {"settings-round", "The first person sets the stakes."},
        {"auto-start", "Raise every seated person's hand for them (not with --settings-round)."},
        {"exit-when-empty", "Quit when the last person has left."},
        {"prop-shows",
         "Computers now and then use a prop on somebody at a round's end (on or off, default on).",
         "on|off", "on"},
        {"max-connections", "Connections at once; more are closed at once (1-10000, default 200).",
         "count", "200"},
        {"login-time", "Seconds a new connection has to log in (1-3600, default 30).", "seconds",
         "30"},
        {"idle-time", "Seconds a connection may stay silent before its login (1-3600, default 10).",
         "seconds", "10"},
        {"capacity",
         QString("People and computers at the table, chairs included (4-%1, default 100).")
             .arg(kMaxCapacity),
         "count", "100"},
        {"chat-lines",
         "Chat lines a person may send in any 10 seconds; more are dropped (1-1000, default 10).",
         "count", "10"},
        {"password",
         "Table password a login must carry to take a place (no blanks at either end; "
         "default none).",
         "text"},
        {"level",
         "How the computers play: easy, normal or hard for every chair, or CHAIR=LEVEL, "
         "comma-separated (default normal).",
         "levels"},
        {"think-ms",
         "Milliseconds a computer waits before it acts: N or MIN-MAX (default 400-800).", "ms"},
        {"trick-pause-ms",
         QString("Milliseconds a won trick stays before the next lead (0-%1, default 2000).")
             .arg(kMaxThinkMs),
         "ms", "2000"},
    });
}

}  // namespace

ParsedOptions ParseServerOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription("krvo local room server");
    const QCommandLineOption help = parser.addHelpOption();
    DeclareOptions(parser);
    ParsedOptions result;
    if (!parser.parse(arguments)) {
        result.error = parser.errorText().toStdString();
        return result;
    }
    if (parser.isSet(help)) {
        result.helpRequested = true;
        result.helpText = parser.helpText().toStdString();
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error = "unexpected argument: " + parser.positionalArguments().front().toStdString();
        return result;
    }
    ServerOptions options;
    options.bindAddress = parser.value("bind").toStdString();
    if (QHostAddress(parser.value("bind")).isNull()) {
        result.error = "--bind needs an IP address";
        return result;
    }
    if (!ReadNumbers(parser, options, result.error)) return result;
    options.names = ReadNames(parser);
    if (!ReadSwitches(parser, options, result.error)) return result;
    if (!ReadPassword(parser, options, result.error)) return result;
    if (!ReadLevels(parser, options, result.error)) return result;
    if (!ReadThinkTime(parser, options, result.error)) return result;
    if (parser.isSet("deals")) {
        if (!LoadDealsFile(parser.value("deals").toStdString(), options.decks, options.deals,
                           result.error)) {
            return result;
        }
    }
    result.options = std::move(options);
    return result;
}

}  // namespace krvo::server
