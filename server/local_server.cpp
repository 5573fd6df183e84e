#include "server/local_server.h"

#include <QCoreApplication>

#include <utility>
#include <vector>

#include "wire/game_protocol.h"

namespace krvo::server {
namespace {

constexpr int kRaiseHandsEveryMs = 500;

// The hand of each person seated goes up as the start button would raise it;
// the game ignores a hand raised during a round or raised twice.
void RaiseHands(Room& room) {
    std::vector<std::pair<ClientId, std::uint8_t>> seated;
    for (const Member& member : room.members()) {
        if (member.chair && !member.computer && member.client != 0) {
            seated.emplace_back(member.client, *member.chair);
        }
    }
    for (const auto& [client, chair] : seated) {
        room.packetArrived(client, HandUpPacket(chair));
    }
}

}  // namespace

EngineSettings EngineSettingsFrom(const ServerOptions& options) {
    EngineSettings settings;
    settings.seed = options.seed;
    settings.decks = options.decks;
    settings.playTime = options.playTime;
    settings.declareTime = options.declareTime;
    settings.autoPlayLimit = options.autoPlayLimit;
    settings.maxLeaveRequests = options.maxLeaveRequests;
    settings.deals = options.deals;
    settings.levels = options.levels;
    settings.thinkMinMs = options.thinkMinMs;
    settings.thinkSpreadMs = std::int64_t{options.thinkMaxMs} - options.thinkMinMs;
    settings.trickPauseMs = options.trickPauseMs;
    return settings;
}

RoomSettings RoomSettingsFrom(const ServerOptions& options) {
    RoomSettings settings;
    settings.humans = options.humans;
    settings.names = options.names;
    settings.settingsRound = options.settingsRound;
    settings.seed = options.seed;
    settings.capacity = options.capacity;
    settings.chatLines = options.chatLines;
    settings.propShows = options.propShows;
    settings.password = options.password;
    // As long as the automatic plays that make an offline player a runaway take.
    settings.returnWindowMs = std::int64_t{options.autoPlayLimit} * options.playTime * 1000;
    return settings;
}

ConnectionLimits ConnectionLimitsFrom(const ServerOptions& options) {
    ConnectionLimits limits;
    limits.maxConnections = options.maxConnections;
    limits.loginMs = std::int64_t{options.loginTime} * 1000;
    limits.idleMs = std::int64_t{options.idleTime} * 1000;
    return limits;
}

LocalServer::LocalServer(const ServerOptions& options)
    : options_(options),
      game_(std::make_unique<EngineTableGame>(EngineSettingsFrom(options))),
      shop_(std::make_unique<PropsShop>(options.seed)),
      network_(clock_, ConnectionLimitsFrom(options)),
      room_(std::make_unique<Room>(RoomSettingsFrom(options), *game_, *shop_, clock_, network_)) {
    network_.setRoom(room_.get());
    if (options_.exitWhenEmpty) {
        room_->setEmptyHandler([] { QCoreApplication::exit(0); });
    }
    game_->setEventObserver([this](const EngineEvent& event) {
        if (event.kind != EngineEventKind::RoundStarted) return;
        ++rounds_;
        if (roundStarted_) roundStarted_(rounds_);
    });
    if (options_.autoStart) {
        QObject::connect(&raiseHands_, &QTimer::timeout, [this] { RaiseHands(*room_); });
        raiseHands_.start(kRaiseHandsEveryMs);
    }
}

LocalServer::~LocalServer() {
    network_.setRoom(nullptr);
}

bool LocalServer::listen(std::string& error) {
    if (network_.listen(QHostAddress(QString::fromStdString(options_.bindAddress)),
                        options_.port)) {
        return true;
    }
    error = network_.errorString().toStdString();
    return false;
}

std::string LocalServer::endpoint() const {
    return options_.bindAddress + ":" + std::to_string(network_.port());
}

}  // namespace krvo::server
