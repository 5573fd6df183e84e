// Four minimal clients, written here from the wire description alone and
// sharing no code with the table program, play whole rounds against the
// server: every play they make from their own view must be accepted, the deck
// must be whole at the end and the scores must agree and sum to zero.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <algorithm>
#include <array>
#include <map>
#include <memory>

#include "core/cards.h"
#include "core/framing.h"
#include "core/hint.h"
#include "core/packet.h"
#include "core/patterns.h"
#include "server/local_server.h"

namespace krvo::server {
namespace {

void EnsureApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "krvo_server_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* application = new QCoreApplication(argc, argv);
    (void)application;
}

std::uint8_t answerKind(std::uint8_t state) {
    switch (state) {
        case 1:
        case 2:
            return 0;
        case 3:
            return 1;
        case 4:
            return 4;
        case 5:
        case 6:
            return 2;
        default:
            return 3;
    }
}

class Bot {
public:
    explicit Bot(quint16 port) {
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { read(); });
        QObject::connect(&socket_, &QTcpSocket::connected, [this] {
            send(Packet{130, 0, '5', '0', '0', '`', 'K', 'R', 'V', 'O', '`', '0'});
        });
        socket_.connectToHost(QHostAddress::LocalHost, port);
    }

    bool roundEnded = false;
    bool rejected = false;
    std::array<std::int32_t, 4> scores{};
    std::map<std::uint8_t, CardList> revealed;  // chair -> cards left at the end
    CardList played;                            // every card this bot saw played
    CardList hand;
    int chair = -1;

private:
    void send(const Packet& packet) {
        const auto frame = EncodeFrame(packet);
        socket_.write(reinterpret_cast<const char*>(frame.data()),
                      static_cast<qint64>(frame.size()));
    }
    void read() {
        const QByteArray bytes = socket_.readAll();
        decoder_.feed(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                static_cast<std::size_t>(bytes.size())));
        while (auto packet = decoder_.next()) handle(Packet(packet->begin(), packet->end()));
    }
    void handle(const Packet& p) {
        if (p.size() < 2) return;
        switch (p[0]) {
            case 130:
                return room(p);
            case 111:
                return startOffered(p);
            case 17:
                return roundStart(p);
            case 19:
                hand.assign(p.begin() + 2, p.end());
                return act();
            case 20:
                if (p.size() == 11) turn(p[4], p[5]);
                return;
            case 21:
                return outPai(p);
            case 22:
                rejected = true;
                return;
            case 23:
                return roundEnd(p);
            default:
                return;
        }
    }
    void room(const Packet& p) {
        const std::vector<std::string> fields = SplitFields(PacketToString(p, 2));
        if (p[1] == 3 && fields.size() == 2) name_ = fields[0];
        if (p[1] != 2) return;
        for (const std::string& line : SplitFields(PacketToString(p, 2), '\n')) {
            const std::vector<std::string> row = SplitFields(line);
            if (row.size() == 16 && row[0] == name_) chair = LeadingInt32(row[13]) % 4;
        }
    }
    void startOffered(const Packet& p) {
        const std::vector<std::string> fields = SplitFields(PacketToString(p, 2));
        if (fields.size() < 6 || LeadingNumber(fields[5]) > 0) return;
        Packet ready;
        const std::uint8_t header[] = {112, 1};
        BuildPacket(name_, ready, 2, header);
        send(ready);
    }
    void roundStart(const Packet& p) {
        send(Packet{130, 1});
        send(Packet{19, static_cast<std::uint8_t>(chair)});
        if (p.size() == 20) turn(p[15], p[16]);
    }
    void turn(std::uint8_t next, std::uint8_t state) {
        next_ = next;
        state_ = state;
        act();
    }
    void outPai(const Packet& p) {
        if (p.size() < 9 || p.size() != 8u + p[7]) return;
        const std::uint8_t who = p[6];
        const CardList cards(p.begin() + 8, p.end());
        if (cards.front() != kPassMarker) {
            played.insert(played.end(), cards.begin(), cards.end());
            const PaiTypeResult type = GetPaiType(cards);
            top_ = {who, type.btePaiType, type.bteMaxPai, static_cast<std::uint8_t>(cards.size())};
            if (who == chair) RemovePai(hand, cards);
        }
        if (p[4] != 0 || p[3] == 9) top_ = {};
        turn(p[2], p[3]);
    }
    void act() {
        if (chair < 0 || next_ != chair || hand.empty() || roundEnded) return;
        const auto me = static_cast<std::uint8_t>(chair);
        if (state_ >= 1 && state_ <= 8) {
            send(Packet{20, answerKind(state_), me, 0, 0, 0, 0, 0, 0, 0, 0});
        } else if (state_ == 9) {
            CardList sorted = hand;
            SortPaiByRank(sorted);
            send(Packet{21, 0, 0, 0, 0, 0, me, 1, sorted.back()});
        } else if (state_ == 10) {
            TipList tips;
            Packet play{21, 0, 0, 0, 0, 0, me};
            if (FindTipPai(tips, hand, top_.btePaiType, top_.btePaiCount, top_.bteMaxPai)) {
                const TipPai& cheapest = tips.udtTipPai[tips.lngTipCount - 1];
                play.push_back(static_cast<std::uint8_t>(cheapest.lngCount));
                for (std::uint8_t card : cheapest.cards()) play.push_back(card);
            } else {
                play.insert(play.end(), {1, kPassMarker});
            }
            send(play);
        }
        next_ = 255;  // one action per turn
    }
    void roundEnd(const Packet& p) {
        roundEnded = true;
        if (p.size() < 18 || p[1] != 1) return;
        std::size_t q = 2;
        for (auto& score : scores) {
            ReadLongBE(score, p, q);
            q += 4;
        }
        for (std::uint8_t c = 0; c < 4 && q < p.size(); ++c) {
            const std::size_t count = p[q++];
            if (q + count > p.size()) return;
            revealed[c] = CardList(p.begin() + static_cast<std::ptrdiff_t>(q),
                                   p.begin() + static_cast<std::ptrdiff_t>(q + count));
            q += count;
        }
    }

    QTcpSocket socket_;
    FrameDecoder decoder_;
    std::string name_;
    std::uint8_t next_ = 255;
    std::uint8_t state_ = 0;
    OutPaiInfo top_{};
};

CardList wholeDeck() {
    CardList deck;
    for (std::uint8_t code = 0; code < 52; ++code) {
        if (code % 13 == 12) continue;
        deck.push_back(code == 11 ? kRedAceSuit0 : code == 50 ? kRedAceSuit3 : code);
    }
    std::sort(deck.begin(), deck.end());
    return deck;
}

TEST(IndependentClients, FourPlayRoundsToAConsistentEnd) {
    EnsureApplication();
    for (std::uint32_t seed : {3u, 11u, 29u}) {
        ServerOptions options;
        options.humans = 4;
        options.seed = seed;
        LocalServer server(options);
        std::string error;
        ASSERT_TRUE(server.listen(error)) << error;
        const quint16 port = static_cast<quint16>(
            std::stoi(server.endpoint().substr(server.endpoint().rfind(':') + 1)));
        std::vector<std::unique_ptr<Bot>> bots;
        for (int i = 0; i < 4; ++i) bots.push_back(std::make_unique<Bot>(port));

        QElapsedTimer waited;
        waited.start();
        const auto allEnded = [&] {
            return std::all_of(bots.begin(), bots.end(), [](auto& b) { return b->roundEnded; });
        };
        while (!allEnded() && waited.elapsed() < 60000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        ASSERT_TRUE(allEnded()) << "seed " << seed;
        std::int64_t sum = 0;
        for (const auto& bot : bots) {
            EXPECT_FALSE(bot->rejected) << "seed " << seed << " chair " << bot->chair;
            EXPECT_EQ(bot->scores, bots[0]->scores) << "seed " << seed;
        }
        for (std::int32_t s : bots[0]->scores) sum += s;
        EXPECT_EQ(sum, 0) << "seed " << seed;
        EXPECT_NE(bots[0]->scores, (std::array<std::int32_t, 4>{}));

        // Everything played plus everything left is exactly one deck.
        CardList cards = bots[0]->played;
        for (const auto& bot : bots) {
            const auto it = bots[0]->revealed.find(static_cast<std::uint8_t>(bot->chair));
            const CardList& left = bot->chair == bots[0]->chair || it == bots[0]->revealed.end()
                                       ? bot->hand
                                       : it->second;
            cards.insert(cards.end(), left.begin(), left.end());
        }
        std::sort(cards.begin(), cards.end());
        EXPECT_EQ(cards, wholeDeck()) << "seed " << seed;
    }
}

}  // namespace
}  // namespace krvo::server
