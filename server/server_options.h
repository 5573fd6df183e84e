#pragma once
// The command line of krvo-server and the fixed-deals file it may name.

#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/cards.h"

namespace krvo::server {

struct ServerOptions {
    std::string bindAddress = "127.0.0.1";
    std::uint16_t port = 0;  // 0: the system picks a free port
    std::uint32_t seed = 1;
    std::uint8_t humans = 1;  // chairs 0..humans-1 wait for people
    std::vector<std::string> names;
    std::uint8_t decks = 1;
    std::uint8_t playTime = 30;
    std::uint8_t declareTime = 15;
    std::uint8_t autoPlayLimit = 5;
    std::uint8_t maxLeaveRequests = 2;
    std::vector<std::array<CardList, 4>> deals;  // --deals: the file format is in deals.h
    bool settingsRound = false;
    bool exitWhenEmpty = false;
    // Raises the hand of every person seated, as their start button would, so
    // rounds start with nobody at a screen (demos, process tests).
    bool autoStart = false;
};

struct ParsedOptions {
    std::optional<ServerOptions> options;  // empty when the command line is unusable
    std::string error;                     // why, for the user
    bool helpRequested = false;
    std::string helpText;
};

// Parses arguments (the program name first, as QCoreApplication::arguments()
// gives them) and reads the deals file when one is named.
ParsedOptions ParseServerOptions(const QStringList& arguments);

}  // namespace krvo::server
