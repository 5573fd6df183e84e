// The table repaint with the real renderer and the generated pictures, on a
// 1920 x 1048 surface in the middle of a round: four hands of 12, a play of
// every seat in the centre, every panel, the buttons and the clock.
//
// Figures, each beside a baseline of the same run:
//   BM_FullRepaint        against a plain copy of the same 32-bit surface
//                         (goal: at most 5 x);
//   BM_ToggledCardRepaint against the full repaint, measured again as a
//                         baseline just before it (goal: at most 1/20);
//   BM_ScaledFullRepaint  the table on the 786 x 530 place of a 1024 x 600
//                         window: laid out at the design height, drawn and
//                         shown scaled down, against a plain copy of that
//                         surface (goal: at most 3 x);
//   BM_TwiceFullRepaint   the 1920 x 1048 table at two device pixels per
//                         pixel, drawn straight into a window buffer of that
//                         ratio, against a plain copy of the same device
//                         size (goal: at most 3 x);
//   BM_OneAndAHalfFullRepaint  the same at a ratio of 1.5: drawn at twice
//                         and filtered down, against a copy at 1.5 (goal:
//                         at most 3 x).
//
// Before measuring, the program checks once that painting reads no file once
// the pictures are cached: it paints from a copy of the picture directories,
// deletes the copy and paints again; the two images must be equal.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "state/public_state.h"
#include "core/cards.h"
#include "core/clock.h"
#include "core/waits.h"
#include "state/table_state.h"
#include "services/fonts.h"
#include "render/table_renderer.h"

namespace {

namespace fs = std::filesystem;
using krvo::CardList;

constexpr QSize kSurface(1920, 1048);
// The table's place in a 1024 x 600 window.
constexpr QSize kSmallSurface(786, 530);
constexpr std::uint8_t kMyChair = 2;

std::uint8_t card(int suit, int rank) {
    return static_cast<std::uint8_t>(krvo::kRanksPerSuit * suit + rank);
}

// A run of ranks in one suit: a straight, or part of a hand.
CardList run(int suit, int firstRank, int length) {
    CardList cards;
    for (int rank = firstRank; rank < firstRank + length; ++rank) cards.push_back(card(suit, rank));
    return cards;
}

// The table in the middle of a follow turn of the local player, with every
// element of a round on it.
void fillRound(krvo::TableState& table, krvo::PublicState& pub) {
    const std::array<std::string, 4> names{"电脑丙", "电脑丁", "玩家", "电脑乙"};
    const std::array<std::int32_t, 4> icons{4, 17, 22, 35};
    // Plays of several cards, none of them in the local hand.
    const std::array<CardList, 4> plays{run(0, 1, 5), run(1, 6, 5), run(3, 0, 4), run(3, 5, 5)};
    for (std::size_t chair = 0; chair < krvo::kChairCount; ++chair) {
        krvo::SeatInfo& seat = table.arrSeat[chair];
        seat.strUserName = names[chair];
        seat.lngIconNo = icons[chair];
        seat.btePaiCount = krvo::kCardsPerDeckAndPlayer;
        seat.bteOutPai = plays[chair];
        seat.bteJiu = 0;
        seat.bteJue = 0;
    }
    pub.strViewUserName = names[kMyChair];
    krvo::ComputeViewPositions(pub, names, names[kMyChair]);

    table.bteMyPai = run(1, 0, 6);
    const CardList high = run(2, 6, 5);
    table.bteMyPai.insert(table.bteMyPai.end(), high.begin(), high.end());
    table.bteMyPai.push_back(krvo::kRedAceSuit3);
    krvo::SortPaiByRank(table.bteMyPai);
    table.bteSelected.assign(table.bteMyPai.size(), 0);
    for (const std::size_t raised : {3u, 4u, 9u}) table.bteSelected[raised] = 1;

    table.blnShowOtherPai = 1;
    table.blnNoGame = false;
    table.bteRoundState = krvo::kRoundFollow;
    table.bteCurChair = kMyChair;
    table.arrSeat[1].bteLiang = 1;
    table.arrSeat[kMyChair].bteLiang = 2;
    table.arrSeat[3].bteJiu = 1;
    table.arrSeat[0].bteJue = 1;
    table.bteRoundLiang = 1;
    table.bteRoundJiu = 1;
    table.bteRoundJue = 1;
    table.lngRoundScore = {2, -2, 2, -2};
    table.lngTotalScore = {14, -9, 6, -11};
    table.bteToolBut = {krvo::kButtonShown, krvo::kButtonShown};
    table.bteOutBut = {krvo::kButtonHover, krvo::kButtonShown, krvo::kButtonShown};
}

// A renderer over a filled table, with a waiter whose pump moves a manual clock.
// `surface`: fitted to a surface of that size, with `ratio` device pixels per pixel.
struct PaintedTable {
    PaintedTable(const std::string& appDir, const std::string& platformDir,
                 std::optional<QSize> surface = {}, qreal ratio = 1.0) {
        pub.strAppPath = krvo::WithTrailingSlash(appDir);
        pub.strPlatformPath = krvo::WithTrailingSlash(platformDir);
        fillRound(table, pub);
        renderer = std::make_unique<krvo::TableRenderer>(table, pub, waiter);
        renderer->screenWidth = [] { return 1920; };
        renderer->setDevicePixelRatio(ratio);
        if (surface) {
            renderer->fitTo(*surface);
        } else {
            renderer->resize(kSurface);
        }
        renderer->invalidateClock(kMyChair, 7);
        renderer->layoutTable();
        renderer->invalidateTable();
    }

    krvo::TableState table;
    krvo::PublicState pub;
    krvo::ManualClock clock;
    krvo::Waiter waiter{clock, [this](std::int64_t ms) { clock.advance(ms); }, [] { return false; },
                        [] {}};
    std::unique_ptr<krvo::TableRenderer> renderer;
};

PaintedTable& benchTable() {
    static PaintedTable table(KRVO_APP_DIR, KRVO_PLATFORM_DIR);
    return table;
}

PaintedTable& scaledTable() {
    static PaintedTable table(KRVO_APP_DIR, KRVO_PLATFORM_DIR, kSmallSurface);
    return table;
}

PaintedTable& hiDpiTable(qreal ratio) {
    static PaintedTable twice(KRVO_APP_DIR, KRVO_PLATFORM_DIR, kSurface, 2.0);
    static PaintedTable oneAndAHalf(KRVO_APP_DIR, KRVO_PLATFORM_DIR, kSurface, 1.5);
    return ratio == 2.0 ? twice : oneAndAHalf;
}

// A window's buffer for a surface at a ratio, as the windowing system gives it.
QImage windowBuffer(QSize surface, qreal ratio) {
    QImage window((QSizeF(surface) * ratio).toSize(), QImage::Format_RGB32);
    window.setDevicePixelRatio(ratio);
    window.fill(Qt::black);
    return window;
}

// Row by row, as a window buffer takes a finished picture: what any repaint
// costs at the least.
void copyRows(benchmark::State& state, const QImage& source) {
    QImage target(source.size(), source.format());
    uchar* to = target.bits();
    const uchar* from = source.constBits();
    const auto line = static_cast<std::size_t>(source.bytesPerLine());
    for (auto _ : state) {
        for (int y = 0; y < source.height(); ++y) {
            std::memcpy(to + y * target.bytesPerLine(), from + y * source.bytesPerLine(), line);
        }
        benchmark::DoNotOptimize(to);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * source.sizeInBytes());
}

void copyBaseline(benchmark::State& state, QSize pixels) {
    QImage source(pixels, QImage::Format_RGB32);
    source.fill(Qt::darkBlue);
    copyRows(state, source);
}

// Everything changed, repainted and shown in the window's buffer.
void repaintIntoWindow(benchmark::State& state, PaintedTable& painted, QSize surface, qreal ratio) {
    krvo::TableRenderer& renderer = *painted.renderer;
    QImage window = windowBuffer(surface, ratio);
    for (auto _ : state) {
        renderer.invalidateTable();
        QPainter painter(&window);
        renderer.paintOn(painter, QRect(QPoint(), surface));
        painter.end();
        benchmark::DoNotOptimize(window.constBits());
    }
    state.SetBytesProcessed(state.iterations() * window.sizeInBytes());
}

[[noreturn]] void fail(const char* message) {
    std::fprintf(stderr, "bench_table_paint: %s\n", message);
    std::exit(1);
}

// Paints from a copy of the picture directories, removes the copy and paints
// again: a picture read from file while painting would now be missing.
void checkPaintingReadsNoFile() {
    const QImage reference = benchTable().renderer->image().copy();
    QTemporaryDir scratch;
    if (!scratch.isValid()) fail("cannot create a temporary directory for the file check");
    const fs::path platform = fs::path(scratch.path().toStdString()) / "platform";
    const fs::path app = platform / "krvo";
    std::error_code error;
    fs::create_directories(app, error);
    fs::copy(fs::path(KRVO_PLATFORM_DIR) / "UserRes", platform / "UserRes",
             fs::copy_options::recursive, error);
    if (!error) {
        fs::copy(fs::path(KRVO_APP_DIR) / "Res", app / "Res", fs::copy_options::recursive, error);
    }
    if (error) fail("cannot copy the generated pictures for the file check");

    PaintedTable copied(app.string(), platform.string());
    if (copied.renderer->image() != reference) {
        fail("the table painted from a copy of the pictures differs from the original");
    }
    fs::remove_all(platform, error);
    if (error || fs::exists(platform)) fail("cannot remove the copied pictures");
    copied.renderer->invalidateTable();
    if (copied.renderer->image() != reference) {
        fail("a repaint read a file after the pictures were cached");
    }
}

void checkPicturesExist() {
    const QImage back(QString::fromStdString(std::string(KRVO_APP_DIR) + "/Res/PkBack.bmp"));
    if (back.isNull()) {
        fail("no generated pictures under " KRVO_APP_DIR "; build the assets target");
    }
}

void BM_SurfaceCopyBaseline(benchmark::State& state) {
    copyRows(state, benchTable().renderer->image());
}
BENCHMARK(BM_SurfaceCopyBaseline);

void fullRepaint(benchmark::State& state) {
    krvo::TableRenderer& renderer = *benchTable().renderer;
    for (auto _ : state) {
        renderer.invalidateTable();
        benchmark::DoNotOptimize(renderer.image().constBits());
    }
    state.SetBytesProcessed(state.iterations() * renderer.image().sizeInBytes());
}

void BM_FullRepaint(benchmark::State& state) {
    fullRepaint(state);
}
BENCHMARK(BM_FullRepaint);

// The same full repaint, as the baseline of the card toggle that follows.
void BM_FullRepaintBaseline(benchmark::State& state) {
    fullRepaint(state);
}
BENCHMARK(BM_FullRepaintBaseline);

// Raises or lowers one card after another along the hand, each shown at once.
void BM_ToggledCardRepaint(benchmark::State& state) {
    PaintedTable& painted = benchTable();
    krvo::TableRenderer& renderer = *painted.renderer;
    CardList& selected = painted.table.bteSelected;
    const CardList before = selected;
    std::size_t index = 0;
    for (auto _ : state) {
        index = index % selected.size() + 1;
        selected[index - 1] ^= 1;
        renderer.invalidateToggledCard(index);
        benchmark::DoNotOptimize(renderer.image().constBits());
    }
    selected = before;
    renderer.invalidateOwnHand();
}
BENCHMARK(BM_ToggledCardRepaint);

void BM_ScaledSurfaceCopyBaseline(benchmark::State& state) {
    copyBaseline(state, kSmallSurface);
}
BENCHMARK(BM_ScaledSurfaceCopyBaseline);

void BM_ScaledFullRepaint(benchmark::State& state) {
    repaintIntoWindow(state, scaledTable(), kSmallSurface, 1.0);
}
BENCHMARK(BM_ScaledFullRepaint);

void BM_TwiceSurfaceCopyBaseline(benchmark::State& state) {
    copyBaseline(state, kSurface * 2);
}
BENCHMARK(BM_TwiceSurfaceCopyBaseline);

void BM_TwiceFullRepaint(benchmark::State& state) {
    repaintIntoWindow(state, hiDpiTable(2.0), kSurface, 2.0);
}
BENCHMARK(BM_TwiceFullRepaint);

void BM_OneAndAHalfSurfaceCopyBaseline(benchmark::State& state) {
    copyBaseline(state, (QSizeF(kSurface) * 1.5).toSize());
}
BENCHMARK(BM_OneAndAHalfSurfaceCopyBaseline);

void BM_OneAndAHalfFullRepaint(benchmark::State& state) {
    repaintIntoWindow(state, hiDpiTable(1.5), kSurface, 1.5);
}
BENCHMARK(BM_OneAndAHalfFullRepaint);

}  // namespace

#include "baseline_reporter.h"

int main(int argc, char** argv) {
    // Painting text needs a GUI application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication application(qtArgc, argv);
    krvo::InstallFontSubstitutions();
    checkPicturesExist();
    checkPaintingReadsNoFile();
    return krvo::bench::RunWithBaselines(argc, argv);
}
