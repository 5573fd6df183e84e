#pragma once
// The command line of krvo-server and the fixed-deals file it may name.

#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/cards.h"
#include "server/computer_brain.h"

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
    // --prop-shows on|off: computers now and then use a prop at a round's end.
    bool propShows = true;
    // --level: how each chair plays when a computer sits in it.
    std::array<ComputerLevel, 4> levels{ComputerLevel::Normal, ComputerLevel::Normal,
                                        ComputerLevel::Normal, ComputerLevel::Normal};
    // --think-ms MIN-MAX: how long a computer waits before it acts.
    std::uint32_t thinkMinMs = 400;
    std::uint32_t thinkMaxMs = 800;
    // --trick-pause-ms: how long a won trick stays before the next lead.
    std::uint32_t trickPauseMs = 2000;
    // Limits that keep one client from wearing down the server for the others.
    std::uint32_t maxConnections = 200;
    std::uint32_t loginTime = 30;  // seconds from connecting to logging in
    std::uint32_t idleTime = 10;   // seconds a connection may stay silent before its login
    std::uint32_t capacity = 100;  // people and computers at the table
    std::uint32_t chatLines = 10;  // per person in any ten seconds
    // --password: a login must carry it to take a place at the table (empty: none needed).
    std::string password;
};

// More decks would fit the wire (a hand of 12 cards per deck travels with a
// count byte, enough for 21), but the own hand is a row of cards 18 pixels
// apart: four decks make 48 cards and a row of 926 pixels, about what the
// table offers on a 1280-pixel screen.
inline constexpr long kMaxTableDecks = 4;
// Longer would look like a computer that has hung.
inline constexpr long kMaxThinkMs = 10000;

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
