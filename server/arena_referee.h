#pragma once
// The arena's referee: follows one table through the packets everybody sees
// (and each chair's deal) with its own copy of the rules, and notes every
// step the rules do not allow: an answer or a play out of turn or of the
// wrong kind, cards not held, a play that does not beat the table, the wrong
// next chair, state or place, a round that ends too early or too late, and
// scores that are not the rules' scores. One deck: the arena deals one.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/cards.h"
#include "core/patterns.h"
#include "server/game_engine.h"

namespace krvo::server {

class ArenaReferee {
public:
    void see(const Delivery& delivery);

    const std::vector<std::string>& faults() const { return faults_; }
    bool ended() const { return ended_; }
    const std::array<std::int32_t, 4>& scores() const { return scores_; }
    // The red aces each chair was dealt (bit 1: a 63, bit 2: a 76).
    const std::array<std::uint8_t, 4>& redAces() const { return redAces_; }

private:
    void fault(std::string what);
    void roundStart(const Packet& packet);
    void deal(const Packet& packet);
    void declaration(const Packet& packet);
    void play(const Packet& packet);
    void roundEnd(const Packet& packet);

    // The declaration steps as the rules order them.
    void openStep(std::uint8_t state);
    std::vector<std::uint8_t> chairsAskedIn(std::uint8_t state) const;
    void expectNext(std::uint8_t chair, std::uint8_t state);
    bool over() const;
    std::array<std::int32_t, 4> expectedScores() const;

    std::vector<std::string> faults_;
    std::array<CardList, 4> hands_;
    std::array<std::uint8_t, 4> redAces_{};
    std::array<bool, 4> shown_{};
    std::array<std::uint8_t, 4> places_{};
    int dealt_ = 0;
    bool running_ = false;
    bool ended_ = false;
    std::uint8_t first_ = 0;
    std::uint8_t state_ = 0;
    std::uint8_t cur_ = 0;
    std::vector<std::uint8_t> asked_;  // still to be asked in this step
    bool jue_ = false;
    int accepted_ = 0;
    std::uint8_t nextPlace_ = 1;
    OutPaiInfo top_;
    int passes_ = 0;
    bool surrendered_ = false;
    std::uint8_t surrenderChair_ = 0;
    std::array<std::int32_t, 4> scores_{};
};

}  // namespace krvo::server
