#pragma once
// Test support for the game engine: fixed deals built from a few wanted
// cards, the clients' size checks, and a referee that follows every packet
// and checks each play against the core's rules on its own copy of the hands.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <vector>

#include "core/cards.h"
#include "core/packet.h"
#include "core/patterns.h"
#include "server/game_engine.h"

namespace krvo::server::testing {

inline std::uint8_t Card(int suit, int rank) {
    if (suit == 0 && rank == kRankAce) return kRedAceSuit0;
    if (suit == 3 && rank == kRankAce) return kRedAceSuit3;
    return static_cast<std::uint8_t>(13 * suit + rank);
}

inline CardList FullDeck(int decks = 1) {
    CardList deck;
    for (int d = 0; d < decks; ++d) {
        for (int suit = 0; suit < 4; ++suit) {
            for (int rank = 0; rank <= kRankAce; ++rank) deck.push_back(Card(suit, rank));
        }
    }
    return deck;
}

// Each chair gets the wanted cards, then the rest of the deck in order.
inline std::array<CardList, 4> DealWith(std::array<CardList, 4> wanted, int decks = 1) {
    CardList rest = FullDeck(decks);
    for (const CardList& hand : wanted) RemovePai(rest, hand);
    const std::size_t size = 12 * static_cast<std::size_t>(decks);
    for (CardList& hand : wanted) {
        while (hand.size() < size && !rest.empty()) {
            hand.push_back(rest.front());
            rest.erase(rest.begin());
        }
    }
    return wanted;
}

inline CardList Sorted(CardList cards) {
    std::sort(cards.begin(), cards.end());
    return cards;
}

// The size checks of the clients' message handling, written from the wire
// layouts (not from the engine's builders).
inline bool PassesClientChecks(const Packet& p, int decks) {
    if (p.empty()) return false;
    switch (p[0]) {
        case 2:
            return p.size() >= 3 && p.size() == 3u + p[2];
        case 5:
            return p.size() > 3 && p[2] < 4;
        case 17:
            return p.size() == 20;
        case 18:
            return p.size() == 2 && p[1] < 4;
        case 19:
            return p.size() == 12u * decks + 2;
        case 20:
            return p.size() == 11 && p[2] < 4 && p[4] < 4;
        case 21:
            return p.size() > 8 && p.size() == 8u + p[7] && p[6] < 4 && p[2] < 4;
        case 22:
            return p.size() > 1;
        case 23: {
            if (p.size() <= 5) return true;  // the short form
            if (p[1] != 1) return false;
            std::size_t q = 2 + 16;
            for (int chair = 0; chair < 4; ++chair) {
                if (q >= p.size()) return false;
                q += 1 + p[q];
            }
            return q == p.size();
        }
        case 24:
            return p.size() >= 4;
        default:
            return false;
    }
}

// Follows a table through its packets like an all-seeing client.
class Referee {
public:
    void see(const Delivery& delivery) {
        const Packet& p = delivery.packet;
        ASSERT_TRUE(PassesClientChecks(p, decks_)) << "message " << int(p.empty() ? -1 : p[0]);
        messages.insert(p[0]);
        switch (p[0]) {
            case 17:
                return roundStart(p);
            case 19:
                hands[p[1]].assign(p.begin() + 2, p.end());
                if (++dealt_ == 4) checkDeck();
                return;
            case 20:
                EXPECT_EQ(p[2], cur_) << "an answer out of turn";
                moveTo(p[4], p[5]);
                return;
            case 21:
                return play(p);
            case 23:
                return roundEnd(p);
            default:
                return;
        }
    }
    void seeAll(const std::vector<Delivery>& deliveries) {
        for (const Delivery& each : deliveries) see(each);
    }

    std::array<CardList, 4> hands;
    std::set<int> states;
    std::set<int> messages;
    std::vector<std::array<std::int32_t, 4>> scores;
    int roundsStarted = 0;
    int plays = 0;
    bool running = false;

private:
    void roundStart(const Packet& p) {
        decks_ = p[11];
        running = true;
        dealt_ = 0;
        ++roundsStarted;
        top_ = {};
        moveTo(p[15], p[16]);
    }
    void moveTo(std::uint8_t chair, std::uint8_t state) {
        cur_ = chair;
        state_ = state;
        if (state != 0) states.insert(state);
    }
    void checkDeck() {
        CardList all;
        for (const CardList& hand : hands) all.insert(all.end(), hand.begin(), hand.end());
        EXPECT_EQ(Sorted(all), Sorted(FullDeck(decks_))) << "cards not conserved in the deal";
    }
    void play(const Packet& p) {
        const std::uint8_t chair = p[6];
        const CardList cards(p.begin() + 8, p.end());
        EXPECT_EQ(chair, cur_) << "a play out of turn";
        EXPECT_TRUE(state_ == 9 || state_ == 10);
        if (cards == CardList{kPassMarker}) {
            EXPECT_EQ(state_, 10) << "a pass on the lead";
        } else {
            const PlayCheck check = state_ == 9 ? CheckLeadPai(cards) : CheckFollowPai(cards, top_);
            EXPECT_TRUE(check.ok) << check.message;
            CardList hand = hands[chair];
            RemovePai(hand, cards);
            EXPECT_EQ(hand.size() + cards.size(), hands[chair].size()) << "cards not held";
            hands[chair] = hand;
            top_ = {chair, check.btePaiType, check.bteMaxPai,
                    static_cast<std::uint8_t>(cards.size())};
            EXPECT_EQ(p[5] != 0, hand.empty()) << "a place only for an empty hand";
        }
        ++plays;
        moveTo(p[2], p[3]);
    }
    void roundEnd(const Packet& p) {
        running = false;
        if (p.size() <= 5) return;
        std::array<std::int32_t, 4> round{};
        std::int64_t sum = 0;
        for (int chair = 0; chair < 4; ++chair) {
            ReadLongBE(round[chair], p, 2 + 4 * chair);
            sum += round[chair];
        }
        EXPECT_EQ(sum, 0) << "scores must sum to zero";
        scores.push_back(round);
        std::size_t q = 18;
        for (int chair = 0; chair < 4; ++chair) {
            const CardList left(p.begin() + q + 1, p.begin() + q + 1 + p[q]);
            EXPECT_EQ(Sorted(left), Sorted(hands[chair])) << "revealed hand of " << chair;
            q += 1 + p[q];
        }
    }

    int decks_ = 1;
    int dealt_ = 0;
    std::uint8_t cur_ = 0;
    std::uint8_t state_ = 0;
    OutPaiInfo top_;
};

// Runs the engine's clock forward until nothing is due or the time is up.
inline void RunUntil(
    GameEngine& engine, Referee& referee, std::int64_t& now, std::int64_t endMs,
    const std::function<bool()>& done = [] { return false; }) {
    while (!done()) {
        const auto due = engine.nextDeadline();
        if (!due || *due > endMs) break;
        now = std::max(now, *due);
        engine.advanceTo(now);
        referee.seeAll(engine.takeDeliveries());
    }
}

}  // namespace krvo::server::testing
