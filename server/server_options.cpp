#include "server/server_options.h"

#include "server/deals.h"
#include "server/room.h"

#include <QCommandLineParser>
#include <QHostAddress>

namespace krvo::server {
namespace {

// Reads a number option within [low, high]; false with an error when it is not one.
bool ReadNumber(const QCommandLineParser& parser, const QString& name, long low, long high,
                long& out, std::string& error) {
    if (!parser.isSet(name)) return true;
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

struct NumberOption {
    const char* name;
    long low;
    long high;
    long value;  // the default until the command line says otherwise
};

}  // namespace

ParsedOptions ParseServerOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription("krvo local room server");
    const QCommandLineOption help = parser.addHelpOption();
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
    });
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
    NumberOption numbers[] = {
        {"port", 0, 65535, 0},
        {"seed", 0, 4294967295L, 1},
        {"humans", 0, 4, 1},
        {"decks", 1, kMaxTableDecks, 1},
        {"play-time", 1, 255, 30},
        {"declare-time", 1, 255, 15},
        {"autoplay-limit", 1, 255, 5},
        {"max-leave-requests", 0, 255, 2},
        {"max-connections", 1, 10000, 200},
        {"login-time", 1, 3600, 30},
        {"idle-time", 1, 3600, 10},
        {"capacity", 4, static_cast<long>(kMaxCapacity), 100},
        {"chat-lines", 1, 1000, 10},
    };
    for (NumberOption& number : numbers) {
        if (!ReadNumber(parser, number.name, number.low, number.high, number.value, result.error)) {
            return result;
        }
    }
    options.port = static_cast<std::uint16_t>(numbers[0].value);
    options.seed = static_cast<std::uint32_t>(numbers[1].value);
    options.humans = static_cast<std::uint8_t>(numbers[2].value);
    options.decks = static_cast<std::uint8_t>(numbers[3].value);
    options.playTime = static_cast<std::uint8_t>(numbers[4].value);
    options.declareTime = static_cast<std::uint8_t>(numbers[5].value);
    options.autoPlayLimit = static_cast<std::uint8_t>(numbers[6].value);
    options.maxLeaveRequests = static_cast<std::uint8_t>(numbers[7].value);
    options.maxConnections = static_cast<std::uint32_t>(numbers[8].value);
    options.loginTime = static_cast<std::uint32_t>(numbers[9].value);
    options.idleTime = static_cast<std::uint32_t>(numbers[10].value);
    options.capacity = static_cast<std::uint32_t>(numbers[11].value);
    options.chatLines = static_cast<std::uint32_t>(numbers[12].value);
    for (const QString& list : parser.values("names")) {
        for (const QString& name : list.split(',', Qt::SkipEmptyParts)) {
            const QString trimmed = name.trimmed();
            if (!trimmed.isEmpty()) options.names.push_back(trimmed.toStdString());
        }
    }
    options.settingsRound = parser.isSet("settings-round");
    options.exitWhenEmpty = parser.isSet("exit-when-empty");
    options.autoStart = parser.isSet("auto-start");
    if (options.autoStart && options.settingsRound) {
        result.error = "--auto-start cannot be used with --settings-round";
        return result;
    }
    const QString propShows = parser.value("prop-shows");
    if (propShows != "on" && propShows != "off") {
        result.error = "--prop-shows must be on or off";
        return result;
    }
    options.propShows = propShows == "on";
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
