// Draws the table pictures of the documentation with the real renderer and
// the pictures generated into this build tree, as the local player sees the
// table on a common screen: one moment of a round per picture.
//
//   krvo-table-shots <output directory>
//
// writes table-declaration.png, table-lead.png, table-follow-hint.png,
// table-bomb.png and table-result.png there.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "state/public_state.h"
#include "core/cards.h"
#include "core/clock.h"
#include "core/hint.h"
#include "core/patterns.h"
#include "core/waits.h"
#include "state/table_state.h"
#include "services/fonts.h"
#include "render/table_renderer.h"

namespace {

using krvo::CardList;

constexpr QSize kTableArea(1280, 768);
constexpr int kScreenWidth = 1920;

// Chairs as the server numbers them; the local player sits in chair 1, so the
// view turns chair 2 to the right, chair 3 to the top and chair 0 to the left.
constexpr std::uint8_t kLeftChair = 0;
constexpr std::uint8_t kMyChair = 1;
constexpr std::uint8_t kRightChair = 2;
constexpr std::uint8_t kTopChair = 3;
const std::array<std::string, 4> kNames{"电脑丁", "玩家", "电脑乙", "电脑丙"};
constexpr std::array<std::int32_t, 4> kIcons{11, 2, 26, 37};

enum Rank : int { r3, r4, r5, r6, r7, r8, r9, r10, rJ, rQ, rK, rA };
enum Suit : int { s0, s1, s2, s3 };

std::uint8_t card(Suit suit, Rank rank) {
    return static_cast<std::uint8_t>(krvo::kRanksPerSuit * suit + rank);
}

// One moment of a round: the state, and a renderer over it whose waits move
// a manual clock and call onStep at every step.
struct Shot {
    Shot() {
        pub.strAppPath = krvo::WithTrailingSlash(KRVO_APP_DIR);
        pub.strPlatformPath = krvo::WithTrailingSlash(KRVO_PLATFORM_DIR);
        pub.strViewUserName = kNames[kMyChair];
        krvo::ComputeViewPositions(pub, kNames, kNames[kMyChair]);
        for (std::size_t chair = 0; chair < krvo::kChairCount; ++chair) {
            table.arrSeat[chair].strUserName = kNames[chair];
            table.arrSeat[chair].lngIconNo = kIcons[chair];
        }
        table.blnShowOtherPai = 1;
        table.blnNoGame = false;
        table.lngRoundScore = {-2, 2, 2, -2};
        table.lngTotalScore = {-6, 8, 4, -6};
        renderer = std::make_unique<krvo::TableRenderer>(table, pub, waiter);
        renderer->screenWidth = [] { return kScreenWidth; };
        renderer->resize(kTableArea);
    }

    void setHand(CardList cards) {
        krvo::SortPaiByRank(cards);
        table.bteMyPai = std::move(cards);
        table.bteSelected.assign(table.bteMyPai.size(), 0);
        table.arrSeat[kMyChair].btePaiCount = static_cast<std::uint8_t>(table.bteMyPai.size());
    }
    void raise(std::uint8_t code) {
        for (std::size_t i = 0; i < table.bteMyPai.size(); ++i) {
            if (table.bteMyPai[i] == code && table.bteSelected[i] == 0) {
                table.bteSelected[i] = 1;
                return;
            }
        }
    }
    void setCounts(int left, int right, int top) {
        table.arrSeat[kLeftChair].btePaiCount = static_cast<std::uint8_t>(left);
        table.arrSeat[kRightChair].btePaiCount = static_cast<std::uint8_t>(right);
        table.arrSeat[kTopChair].btePaiCount = static_cast<std::uint8_t>(top);
    }
    // The red aces of the right seat and the local seat were shown this round.
    void redAcesShown() {
        table.bteRoundLiang = 1;
        table.arrSeat[kRightChair].bteLiang = 1;
        table.arrSeat[kMyChair].bteLiang = 2;
        for (const std::uint8_t chair : {kLeftChair, kTopChair}) table.arrSeat[chair].bteLiang = 0;
    }
    const QImage& draw() {
        renderer->layoutTable();
        renderer->invalidateTable();
        return renderer->image();
    }

    krvo::TableState table;
    krvo::PublicState pub;
    krvo::ManualClock clock;
    std::function<void()> onStep;
    krvo::Waiter waiter{clock,
                        [this](std::int64_t ms) {
                            clock.advance(ms);
                            if (onStep) onStep();
                        },
                        [] { return false; }, [] {}};
    std::unique_ptr<krvo::TableRenderer> renderer;
};

// Just dealt: the right seat has shown a red ace, the top seat holds the
// heart 3 and leads later, and the local player, holding the other red ace,
// is asked whether to show it.
QImage declarationTurn() {
    Shot shot;
    krvo::TableState& table = shot.table;
    shot.setHand({krvo::kRedAceSuit3, card(s1, rK), card(s2, rK), card(s0, rQ), card(s3, rJ),
                  card(s1, r10), card(s0, r9), card(s2, r8), card(s3, r7), card(s1, r6),
                  card(s0, r4), card(s3, r3)});
    shot.setCounts(12, 12, 12);
    table.bteRoundState = krvo::kRoundShowRedAces;
    table.bteCurChair = kMyChair;
    table.bteRoundLiang = 1;
    table.arrSeat[kRightChair].bteLiang = 1;
    table.arrSeat[kRightChair].bteOutPai = {krvo::kRedAceSuit0};
    table.bteLiangBut = {krvo::kButtonHover, krvo::kButtonShown};
    shot.draw();
    shot.renderer->invalidateClock(kMyChair, 3);
    shot.renderer->invalidateFirstPlayerMark(kTopChair);
    return shot.renderer->image();
}

// The local player won the last trick and leads, a straight raised.
QImage leadTurn() {
    Shot shot;
    krvo::TableState& table = shot.table;
    shot.setHand({krvo::kRedAceSuit3, card(s1, rK), card(s2, rK), card(s0, rQ), card(s3, rJ),
                  card(s1, r10), card(s0, r9), card(s2, r8), card(s3, r7), card(s0, r4)});
    for (const std::uint8_t code : {card(s3, r7), card(s2, r8), card(s0, r9)}) shot.raise(code);
    shot.setCounts(10, 9, 11);
    shot.redAcesShown();
    table.bteRoundState = krvo::kRoundLead;
    table.bteCurChair = kMyChair;
    table.bteToolBut = {krvo::kButtonShown, krvo::kButtonShown};
    table.bteOutBut = {krvo::kButtonShown, krvo::kButtonHidden, krvo::kButtonHidden};
    shot.draw();
    shot.renderer->invalidateClock(kMyChair, 6);
    return shot.renderer->image();
}

// The right seat led a pair of 9s, the top seat beat it with jacks, the left
// seat passed; the local player asked for a hint.
QImage followWithHint() {
    Shot shot;
    krvo::TableState& table = shot.table;
    shot.setHand({krvo::kRedAceSuit3, card(s1, rK), card(s2, rK), card(s0, rQ), card(s2, rQ),
                  card(s1, r10), card(s2, r8), card(s3, r7), card(s0, r4)});
    shot.setCounts(8, 5, 7);
    shot.redAcesShown();
    table.bteRoundState = krvo::kRoundFollow;
    table.bteCurChair = kMyChair;
    const CardList jacks{card(s0, rJ), card(s1, rJ)};
    table.arrSeat[kRightChair].bteOutPai = {card(s1, r9), card(s3, r9)};
    table.arrSeat[kTopChair].bteOutPai = jacks;
    table.arrSeat[kLeftChair].bteOutPai = {krvo::kPassMarker};
    const krvo::PaiTypeResult top = krvo::GetPaiType(jacks);
    table.udtMaxOutPai = {kTopChair, top.btePaiType, top.bteMaxPai,
                          static_cast<std::uint8_t>(jacks.size())};
    krvo::TipList& tips = table.tipList;
    if (krvo::FindTipPai(tips, table.bteMyPai, top.btePaiType, 2, top.bteMaxPai)) {
        // The first hint is the cheapest play, the last of the list.
        const auto cheapest = static_cast<std::size_t>(tips.lngTipCount - 1);
        for (const std::uint8_t code : tips.udtTipPai[cheapest].cards()) shot.raise(code);
    }
    table.bteToolBut = {krvo::kButtonShown, krvo::kButtonShown};
    table.bteOutBut = {krvo::kButtonShown, krvo::kButtonShown, krvo::kButtonHover};
    shot.draw();
    shot.renderer->invalidateClock(kMyChair, 9);
    return shot.renderer->image();
}

// The right seat answers the trick with four 7s; the picture is the fourth
// frame of the blast.
QImage bombFrame() {
    Shot shot;
    krvo::TableState& table = shot.table;
    shot.setHand({krvo::kRedAceSuit3, card(s0, rQ), card(s2, rQ), card(s1, r10), card(s2, r8),
                  card(s0, r4)});
    shot.setCounts(6, 4, 5);
    shot.redAcesShown();
    table.bteRoundState = krvo::kRoundFollow;
    table.bteCurChair = kTopChair;
    table.arrSeat[kTopChair].bteOutPai = {card(s0, r5), card(s1, r5)};
    table.arrSeat[kLeftChair].bteOutPai = {card(s2, r8), card(s3, r8)};
    table.arrSeat[kMyChair].bteOutPai = {card(s1, rK), card(s2, rK)};
    table.arrSeat[kRightChair].bteOutPai = {card(s0, r7), card(s1, r7), card(s2, r7), card(s3, r7)};
    table.bteToolBut = {krvo::kButtonShown, krvo::kButtonShown};
    shot.draw();
    QImage frame;
    int step = 0;
    shot.onStep = [&] {
        if (++step == 4) frame = shot.renderer->image().copy();
    };
    table.blnBombShow = true;
    shot.renderer->playBombAnimation(kRightChair, 1);
    table.blnBombShow = false;
    return frame;
}

// The local player went out first and the right seat second: the red aces'
// side wins, the other hands are shown and the result box is up.
QImage roundResult() {
    Shot shot;
    krvo::TableState& table = shot.table;
    shot.setHand({});
    shot.redAcesShown();
    table.bteRoundState = krvo::kRoundBetween;
    table.arrSeat[kMyChair].bteMingCi = 1;
    table.arrSeat[kRightChair].bteMingCi = 2;
    table.arrSeat[kRightChair].bteOutPai = {card(s1, rA), card(s2, rA)};
    table.arrSeat[kLeftChair].bteLeftPai = {card(s0, rK), card(s3, rQ), card(s1, rJ),
                                            card(s2, r9), card(s0, r6), card(s3, r4)};
    table.arrSeat[kTopChair].bteLeftPai = {card(s3, rK), card(s0, r10), card(s1, r8), card(s2, r3)};
    shot.setCounts(6, 0, 4);
    table.bteToolBut = {krvo::kButtonShown, krvo::kButtonShown};
    shot.draw();
    shot.renderer->invalidateRoundResult(table.lngRoundScore);
    return shot.renderer->image();
}

bool save(const QImage& image, const QDir& directory, const char* name) {
    const QString path = directory.filePath(QString::fromLatin1(name));
    if (!image.isNull() && image.save(path, "PNG")) return true;
    std::fprintf(stderr, "krvo-table-shots: cannot write %s\n", path.toLocal8Bit().constData());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
        return EXIT_FAILURE;
    }
    int qtArgc = 1;
    QGuiApplication application(qtArgc, argv);
    krvo::InstallFontSubstitutions();
    const QImage back(QString::fromUtf8(KRVO_APP_DIR "/Res/PkBack.bmp"));
    if (back.isNull()) {
        std::fprintf(stderr, "krvo-table-shots: no pictures under %s; build the assets target\n",
                     KRVO_APP_DIR);
        return EXIT_FAILURE;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "krvo-table-shots: cannot create %s\n", argv[1]);
        return EXIT_FAILURE;
    }
    bool ok = save(declarationTurn(), out, "table-declaration.png");
    ok = save(leadTurn(), out, "table-lead.png") && ok;
    ok = save(followWithHint(), out, "table-follow-hint.png") && ok;
    ok = save(bombFrame(), out, "table-bomb.png") && ok;
    ok = save(roundResult(), out, "table-result.png") && ok;
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
