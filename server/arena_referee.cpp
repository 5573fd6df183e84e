#include "server/arena_referee.h"

#include <algorithm>

#include "core/round_codes.h"
#include "wire/game_protocol.h"

namespace krvo::server {
namespace {

constexpr std::uint8_t kHeartThreeCode = 0;

std::uint8_t redAcesOf(const CardList& cards) {
    std::uint8_t bits = 0;
    for (const std::uint8_t card : cards) {
        if (card == kRedAceSuit0) bits |= 1;
        if (card == kRedAceSuit3) bits |= 2;
    }
    return bits;
}

CardList sorted(CardList cards) {
    std::sort(cards.begin(), cards.end());
    return cards;
}

std::uint8_t followStateOf(std::uint8_t state) {
    switch (state) {
        case kRoundShowRedAces:
            return kRoundFollowShow;
        case kRoundJue:
            return kRoundFollowJue;
        case kRoundZhi:
            return kRoundFollowZhi;
        default:
            return state;
    }
}

std::uint8_t stepAfter(std::uint8_t state) {
    if (state <= kRoundFollowShow) return kRoundJiu;
    if (state == kRoundJiu) return kRoundSurrender;
    if (state == kRoundSurrender) return kRoundJue;
    if (state <= kRoundFollowJue) return kRoundZhi;
    return kRoundLead;
}

}  // namespace

void ArenaReferee::fault(std::string what) {
    faults_.push_back(std::move(what));
}

void ArenaReferee::see(const Delivery& delivery) {
    const Packet& packet = delivery.packet;
    if (packet.empty()) return fault("an empty packet");
    if (packet[0] == GMSG_DEAL) return deal(packet);
    if (delivery.audience != Audience::Everyone) return;
    switch (packet[0]) {
        case GMSG_ROUND_START:
            return roundStart(packet);
        case GMSG_DECLARE:
            return declaration(packet);
        case GMSG_OUT_PAI:
            return play(packet);
        case GMSG_ROUND_END:
            return roundEnd(packet);
        case GMSG_OUT_REJECT:
            return fault("a refusal: " + std::string(packet.begin() + 1, packet.end()));
        case GMSG_CANNOT_GO_ON:
            return fault("a chair ran away");
        default:
            return;
    }
}

void ArenaReferee::roundStart(const Packet& packet) {
    const std::optional<RoundStartInfo> info = ParseRoundStart(packet);
    if (!info) return fault("a malformed round start");
    std::vector<std::string> faults = std::move(faults_);
    *this = ArenaReferee{};
    faults_ = std::move(faults);
    running_ = true;
    first_ = info->bteShouJiaChair;
    cur_ = info->bteCurChair;
    state_ = info->bteRoundState;
}

void ArenaReferee::deal(const Packet& packet) {
    if (!running_ || packet.size() != 2 + kCardsPerDeckAndPlayer || packet[1] >= 4) {
        return fault("a deal out of place or of the wrong size");
    }
    const std::uint8_t chair = packet[1];
    hands_[chair].assign(packet.begin() + 2, packet.end());
    redAces_[chair] = redAcesOf(hands_[chair]);
    if (++dealt_ != 4) return;
    CardList all;
    for (const CardList& hand : hands_) all.insert(all.end(), hand.begin(), hand.end());
    CardList deck;
    for (std::uint8_t suit = 0; suit < 4; ++suit) {
        for (std::uint8_t rank = 0; rank <= kRankAce; ++rank) {
            const auto code = static_cast<std::uint8_t>(kRanksPerSuit * suit + rank);
            deck.push_back(code == kPlainAceSuit0   ? kRedAceSuit0
                           : code == kPlainAceSuit3 ? kRedAceSuit3
                                                    : code);
        }
    }
    if (sorted(all) != sorted(deck)) fault("the deal is not one deck");
    std::uint8_t holder = 0;
    for (std::uint8_t each = 4; each-- > 0;) {
        if (std::count(hands_[each].begin(), hands_[each].end(), kHeartThreeCode)) holder = each;
    }
    if (holder != first_) fault("the first player does not hold the heart 3");
    const std::uint8_t announcedChair = cur_;
    const std::uint8_t announcedState = state_;
    openStep(kRoundShowRedAces);
    if (announcedChair != cur_ || announcedState != state_)
        fault("the round opens at the wrong step");
}

std::vector<std::uint8_t> ArenaReferee::chairsAskedIn(std::uint8_t state) const {
    std::vector<std::uint8_t> chairs;
    for (std::uint8_t step = 0; step < 4; ++step) {
        const auto chair = static_cast<std::uint8_t>((first_ + step) % 4);
        switch (state) {
            case kRoundShowRedAces:
            case kRoundJue:
                chairs.push_back(chair);
                break;
            case kRoundJiu:
                if (!shown_[chair]) chairs.push_back(chair);
                break;
            case kRoundSurrender: {
                const auto holders = std::count_if(redAces_.begin(), redAces_.end(),
                                                   [](std::uint8_t bits) { return bits != 0; });
                if (holders == 1 && redAces_[chair] == 3) chairs.push_back(chair);
                break;
            }
            case kRoundZhi:
                if (jue_) chairs.push_back(chair);
                break;
            default:
                break;
        }
    }
    if (state == kRoundJiu) {
        bool hidden = false;
        for (std::uint8_t chair = 0; chair < 4; ++chair)
            hidden |= redAces_[chair] != 0 && !shown_[chair];
        if (!hidden) chairs.clear();
    }
    return chairs;
}

void ArenaReferee::openStep(std::uint8_t state) {
    for (; state < kRoundLead; state = stepAfter(state)) {
        std::vector<std::uint8_t> chairs = chairsAskedIn(state);
        if (chairs.empty()) continue;
        state_ = state;
        cur_ = chairs.front();
        asked_.assign(chairs.begin() + 1, chairs.end());
        return;
    }
    state_ = kRoundLead;
    cur_ = first_;
    asked_.clear();
    top_ = {};
    passes_ = 0;
}

void ArenaReferee::expectNext(std::uint8_t chair, std::uint8_t state) {
    if (chair != cur_ || state != state_) {
        fault("next turn " + std::to_string(chair) + "/" + std::to_string(state) + " instead of " +
              std::to_string(cur_) + "/" + std::to_string(state_));
        cur_ = chair;
        state_ = state;
    }
}

void ArenaReferee::declaration(const Packet& packet) {
    const std::optional<DeclareReport> report = ParseDeclare(packet);
    if (!report) return fault("a malformed declaration");
    if (!running_ || !IsDeclarationState(state_))
        return fault("an answer outside the declarations");
    if (report->chair != cur_) return fault("an answer out of turn");
    if (report->kind != AnswerKindOf(state_)) return fault("an answer of the wrong kind");
    const std::uint8_t chair = report->chair;
    const bool accept = report->value != 0;
    const bool red = redAces_[chair] != 0;
    bool stepEnds = false;
    switch (report->kind) {
        case kAnswerLiang:
            if (accept && (!red || report->value != redAces_[chair]))
                fault("a show without red aces");
            shown_[chair] = shown_[chair] || accept;
            break;
        case kAnswerJiu:
            if (accept && red) fault("a 揪 by a red-ace holder");
            if (accept) {
                std::vector<std::pair<std::uint8_t, std::uint8_t>> revealed;
                for (std::uint8_t step = 0; step < 4; ++step) {
                    const auto each = static_cast<std::uint8_t>((first_ + step) % 4);
                    if (redAces_[each] == 0 || shown_[each]) continue;
                    shown_[each] = true;
                    revealed.emplace_back(each, redAces_[each]);
                }
                if (revealed != report->revealed) fault("a 揪 revealed the wrong red aces");
                stepEnds = true;
            }
            break;
        case kAnswerJue:
            if (accept && red) fault("a 撅 by the red side");
            jue_ = jue_ || accept;
            break;
        case kAnswerZhi:
            if (accept && !red) fault("a 直 by the black side");
            break;
        default:
            if (accept) {
                surrendered_ = true;
                surrenderChair_ = chair;
                running_ = false;
                state_ = kRoundBetween;
                if (report->nextState != kRoundBetween) fault("the round goes on after giving up");
                return;
            }
            break;
    }
    if (accept && report->kind != kAnswerSurrender) ++accepted_;
    if (stepEnds || asked_.empty()) {
        openStep(stepAfter(state_));
    } else {
        if (accept) state_ = followStateOf(state_);
        cur_ = asked_.front();
        asked_.erase(asked_.begin());
    }
    expectNext(report->nextChair, report->nextState);
}

bool ArenaReferee::over() const {
    int red = 0;
    int redDone = 0;
    int blackDone = 0;
    for (std::uint8_t chair = 0; chair < 4; ++chair) {
        red += redAces_[chair] != 0 ? 1 : 0;
        if (hands_[chair].empty()) (redAces_[chair] != 0 ? redDone : blackDone) += 1;
    }
    if (red <= 1 || red >= 3) return redDone + blackDone > 0;
    return redDone == red || blackDone == 4 - red;
}

void ArenaReferee::play(const Packet& packet) {
    const std::optional<OutPai> parsed = ParseOutPai(packet);
    if (!parsed) return fault("a malformed play");
    const PlayReport& report = parsed->report;
    if (!running_ || (state_ != kRoundLead && state_ != kRoundFollow)) {
        return fault("a play outside trick play");
    }
    if (report.chair != cur_) return fault("a play out of turn");
    const std::uint8_t chair = report.chair;
    const CardList cards(parsed->cards.begin(), parsed->cards.end());
    const bool pass = cards.size() == 1 && cards[0] == kPassMarker;
    bool trick = false;
    if (pass) {
        if (state_ == kRoundLead) fault("a pass on the lead");
        ++passes_;
    } else {
        const PlayCheck check =
            state_ == kRoundLead ? CheckLeadPai(cards) : CheckFollowPai(cards, top_);
        if (!check.ok) fault("a play the rules refuse: " + check.message);
        CardList hand = hands_[chair];
        RemovePai(hand, cards);
        if (hand.size() + cards.size() != hands_[chair].size()) fault("a play of cards not held");
        hands_[chair] = hand;
        top_ = {chair, check.btePaiType, check.bteMaxPai, static_cast<std::uint8_t>(cards.size())};
        passes_ = 0;
        if (hand.empty()) places_[chair] = nextPlace_++;
        trick = check.btePaiType == kPaiRedAcePair;
    }
    if (report.place != places_[chair]) fault("the wrong finishing place");
    if ((report.trickFlag != 0) != trick) fault("the trick flag is wrong");
    const auto nextActive = [this](std::uint8_t from) {
        for (std::uint8_t step = 1; step <= 4; ++step) {
            const auto next = static_cast<std::uint8_t>((from + step) % 4);
            if (!hands_[next].empty()) return next;
        }
        return from;
    };
    if (over()) {
        running_ = false;
        cur_ = report.nextChair;
        state_ = kRoundBetween;
        if (report.nextState != kRoundBetween) fault("the round goes on when it is over");
        return;
    }
    int others = 0;
    for (std::uint8_t each = 0; each < 4; ++each)
        others += each != top_.bteChair && !hands_[each].empty();
    if (trick || passes_ >= others) {
        const std::uint8_t winner = trick ? chair : top_.bteChair;
        cur_ = hands_[winner].empty() ? nextActive(winner) : winner;
        state_ = kRoundLead;
        top_ = {};
        passes_ = 0;
    } else {
        cur_ = nextActive(chair);
        state_ = kRoundFollow;
    }
    expectNext(report.nextChair, report.nextState);
}

std::array<std::int32_t, 4> ArenaReferee::expectedScores() const {
    const std::int32_t stake = std::int32_t{1} << std::min(accepted_, 20);
    std::array<bool, 4> winners{};
    if (surrendered_) {
        for (std::uint8_t chair = 0; chair < 4; ++chair) winners[chair] = chair != surrenderChair_;
    } else {
        int red = 0;
        for (const std::uint8_t bits : redAces_) red += bits != 0 ? 1 : 0;
        bool redWins = true;
        for (std::uint8_t chair = 0; chair < 4; ++chair) {
            if (red == 2 && redAces_[chair] != 0 && !hands_[chair].empty()) redWins = false;
            if (red != 2 && places_[chair] == 1) redWins = redAces_[chair] != 0;
        }
        for (std::uint8_t chair = 0; chair < 4; ++chair)
            winners[chair] = (redAces_[chair] != 0) == redWins;
    }
    const auto winnerCount =
        static_cast<std::int32_t>(std::count(winners.begin(), winners.end(), true));
    bool sweep = !surrendered_ && std::count_if(redAces_.begin(), redAces_.end(),
                                                [](std::uint8_t bits) { return bits != 0; }) == 2;
    for (std::uint8_t chair = 0; chair < 4; ++chair) {
        if (winners[chair] && (places_[chair] == 0 || places_[chair] > 2)) sweep = false;
    }
    const std::int32_t unit = stake * (sweep ? 2 : 1);
    std::array<std::int32_t, 4> scores{};
    for (std::uint8_t chair = 0; chair < 4; ++chair) {
        scores[chair] = winners[chair] ? unit * (4 - winnerCount) : -unit * winnerCount;
    }
    return scores;
}

void ArenaReferee::roundEnd(const Packet& packet) {
    const std::optional<RoundEndReport> report = ParseRoundEnd(packet);
    if (!report || !report->withScores) return fault("a round end without scores");
    if (running_) fault("the round ended before it was over");
    if (report->scores != expectedScores()) fault("the scores are not the rules' scores");
    for (std::size_t chair = 0; chair < 4 && chair < report->hands.size(); ++chair) {
        const CardList shown(report->hands[chair].begin(), report->hands[chair].end());
        if (sorted(shown) != sorted(hands_[chair])) fault("a revealed hand is not what was left");
    }
    scores_ = report->scores;
    ended_ = true;
    running_ = false;
}

}  // namespace krvo::server
