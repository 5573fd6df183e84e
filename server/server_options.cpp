#include "server/server_options.h"

#include "server/deals.h"

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
        {"names", "Names given to logins, in order, comma-separated.", "names"},
        {"decks", "Decks per table (1-4).", "count", "1"},
        {"play-time", "Seconds for a play.", "seconds", "30"},
        {"declare-time", "Seconds for a declaration.", "seconds", "15"},
        {"autoplay-limit", "Automatic plays that count as running away.", "count", "5"},
        {"max-leave-requests", "Leave requests per player and round.", "count", "2"},
        {"deals", "File of fixed deals: one hand per line, four lines a round.", "file"},
        {"settings-round", "The first person sets the stakes."},
        {"auto-start", "Raise every seated person's hand for them (not with --settings-round)."},
        {"exit-when-empty", "Quit when the last person has left."},
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
    const NumberOption numbers[] = {
        {"port", 0, 65535},         {"seed", 0, 4294967295L},
        {"humans", 0, 4},           {"decks", 1, 4},
        {"play-time", 1, 255},      {"declare-time", 1, 255},
        {"autoplay-limit", 1, 255}, {"max-leave-requests", 0, 255},
    };
    long values[std::size(numbers)] = {0, 1, 1, 1, 30, 15, 5, 2};
    for (std::size_t i = 0; i < std::size(numbers); ++i) {
        if (!ReadNumber(parser, numbers[i].name, numbers[i].low, numbers[i].high, values[i],
                        result.error)) {
            return result;
        }
    }
    options.port = static_cast<std::uint16_t>(values[0]);
    options.seed = static_cast<std::uint32_t>(values[1]);
    options.humans = static_cast<std::uint8_t>(values[2]);
    options.decks = static_cast<std::uint8_t>(values[3]);
    options.playTime = static_cast<std::uint8_t>(values[4]);
    options.declareTime = static_cast<std::uint8_t>(values[5]);
    options.autoPlayLimit = static_cast<std::uint8_t>(values[6]);
    options.maxLeaveRequests = static_cast<std::uint8_t>(values[7]);
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
