#pragma once
// What the room needs of the game: the calls of GameEngine, behind an
// interface so that the room can be tried out against a scripted game.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "server/game_engine.h"

namespace krvo::server {

class TableGame {
public:
    virtual ~TableGame() = default;
    virtual void setSeat(std::uint8_t chair, std::string name, bool computer) = 0;
    virtual void clearSeat(std::uint8_t chair) = 0;
    virtual void setOffline(std::uint8_t chair, bool offline) = 0;
    virtual bool roundRunning() const = 0;
    virtual void setReady(std::uint8_t chair) = 0;
    virtual bool isReady(std::uint8_t chair) const = 0;
    virtual void handlePlayerPacket(std::uint8_t chair, std::span<const std::uint8_t> packet) = 0;
    virtual void advanceTo(std::int64_t nowMs) = 0;
    virtual std::optional<std::int64_t> nextDeadline() const = 0;
    virtual std::vector<Delivery> takeDeliveries() = 0;
    virtual std::vector<EngineEvent> takeEvents() { return {}; }
    virtual Packet snapshot(std::uint8_t chair, bool onlooker, bool canSee) const = 0;
};

// The real game. Header-only so that code which never plays a real round
// (the room's own tests) does not need the engine linked in.
class EngineTableGame final : public TableGame {
public:
    explicit EngineTableGame(EngineSettings settings) : engine_(std::move(settings)) {}
    void setSeat(std::uint8_t chair, std::string name, bool computer) override {
        engine_.setSeat(chair, std::move(name), computer);
    }
    void clearSeat(std::uint8_t chair) override { engine_.clearSeat(chair); }
    void setOffline(std::uint8_t chair, bool offline) override {
        engine_.setOffline(chair, offline);
    }
    bool roundRunning() const override { return engine_.roundRunning(); }
    void setReady(std::uint8_t chair) override { engine_.setReady(chair); }
    bool isReady(std::uint8_t chair) const override { return engine_.isReady(chair); }
    void handlePlayerPacket(std::uint8_t chair, std::span<const std::uint8_t> packet) override {
        if (packetObserver_) packetObserver_(chair, packet);
        engine_.handlePlayerPacket(chair, packet);
    }
    void advanceTo(std::int64_t nowMs) override { engine_.advanceTo(nowMs); }
    std::optional<std::int64_t> nextDeadline() const override { return engine_.nextDeadline(); }
    std::vector<Delivery> takeDeliveries() override { return engine_.takeDeliveries(); }
    std::vector<EngineEvent> takeEvents() override {
        std::vector<EngineEvent> events = engine_.takeEvents();
        if (observer_) {
            for (const EngineEvent& event : events) observer_(event);
        }
        return events;
    }
    const GameEngine& engine() const { return engine_; }
    // Sees every event as the room takes it.
    void setEventObserver(std::function<void(const EngineEvent&)> observer) {
        observer_ = std::move(observer);
    }
    // Sees every packet a player sends the game, before the game does.
    using PacketObserver = std::function<void(std::uint8_t chair, std::span<const std::uint8_t>)>;
    void setPacketObserver(PacketObserver observer) { packetObserver_ = std::move(observer); }
    Packet snapshot(std::uint8_t chair, bool onlooker, bool canSee) const override {
        return engine_.snapshot(chair, onlooker, canSee);
    }

private:
    GameEngine engine_;
    std::function<void(const EngineEvent&)> observer_;
    PacketObserver packetObserver_;
};

}  // namespace krvo::server
