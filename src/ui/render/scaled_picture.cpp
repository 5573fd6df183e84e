#include "render/scaled_picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace krvo {
namespace {

// Weights are fractions of 256: a colour channel times its weight stays
// within sixteen bits, and so does the sum of a pixel's weighted channels.
constexpr int kWhole = 256;
// A pixel of the result covers at most three of the picture's in each
// direction while the picture is shown at half its size or larger.
constexpr int kTaps = 3;

// Along one direction: for each pixel of the result, the picture's pixels
// under it, from first[i] on, and their weights (kTaps for each pixel, unused
// ones zero), which sum to kWhole. Past the picture lies `beyond`.
struct Taps {
    std::vector<int> first;
    std::vector<std::array<std::uint16_t, kTaps>> weights;
    int begin = 0;  // the first and one past the last pixel any of them reads
    int end = 0;
    // The weights as sixteen lanes a pixel, each weight once per channel: the
    // first two for the first two pixels, then the third and none.
    struct alignas(16) Lanes {
        std::array<std::uint16_t, 16> weight;
    };
    std::vector<Lanes> lanes;

    void spreadIntoLanes() {
        lanes.resize(weights.size());
        for (std::size_t i = 0; i < weights.size(); ++i) {
            for (std::size_t lane = 0; lane < 16; ++lane) {
                lanes[i].weight[lane] = lane < 12 ? weights[i][lane / 4] : 0;
            }
        }
    }

    // False when a pixel covers more than kTaps of the picture's.
    bool build(int start, int count, double factor) {
        const double step = 1.0 / factor;
        first.resize(static_cast<std::size_t>(count));
        weights.resize(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            // Computed from the result's pixel alone, wherever the part starts.
            const double from = (start + i) * step;
            const double to = (start + i + 1) * step;
            const int low = static_cast<int>(std::floor(from));
            const int high = std::max(low + 1, static_cast<int>(std::ceil(to)));
            if (high - low > kTaps) return false;
            std::array<std::uint16_t, kTaps>& weight = weights[static_cast<std::size_t>(i)];
            weight.fill(0);
            // Rounded as a running total, so that the weights sum to kWhole.
            int given = 0;
            for (int pixel = low; pixel < high; ++pixel) {
                const double upTo = std::min(to, pixel + 1.0) - from;
                const int total = pixel + 1 == high
                                      ? kWhole
                                      : static_cast<int>(std::lround(upTo * factor * kWhole));
                weight[static_cast<std::size_t>(pixel - low)] =
                    static_cast<std::uint16_t>(total - given);
                given = total;
            }
            first[static_cast<std::size_t>(i)] = low;
            end = std::max(end, high);
        }
        begin = first.empty() ? 0 : first.front();
        return true;
    }
};

// Red and blue, and alpha and green, each pair in the low bytes of its halves.
inline std::uint32_t redBlue(QRgb pixel) {
    return pixel & 0x00ff00ffu;
}
inline std::uint32_t alphaGreen(QRgb pixel) {
    return (pixel >> 8) & 0x00ff00ffu;
}
inline QRgb rounded(std::uint32_t redBlueSum, std::uint32_t alphaGreenSum) {
    return (((redBlueSum + 0x00800080u) >> 8) & 0x00ff00ffu) |
           ((alphaGreenSum + 0x00800080u) & 0xff00ff00u);
}

// The first `used` of three rows weighted into one, pixel by pixel (the
// others weigh nothing).
template <int used>
void blendRows(const std::array<const QRgb*, kTaps>& rows,
               const std::array<std::uint16_t, kTaps>& weight, QRgb* out, int width) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(kWhole / 2);
    // A plain array: std::array would drop the vector type's alignment.
    __m128i weights[kTaps];
    for (std::size_t t = 0; t < kTaps; ++t) {
        weights[t] = _mm_set1_epi16(static_cast<short>(weight[t]));
    }
    for (; x + 4 <= width; x += 4) {
        __m128i low = half;
        __m128i high = half;
        for (std::size_t t = 0; t < static_cast<std::size_t>(used); ++t) {
            const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[t] + x));
            low = _mm_add_epi16(low, _mm_mullo_epi16(_mm_unpacklo_epi8(pixels, zero), weights[t]));
            high =
                _mm_add_epi16(high, _mm_mullo_epi16(_mm_unpackhi_epi8(pixels, zero), weights[t]));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                         _mm_packus_epi16(_mm_srli_epi16(low, 8), _mm_srli_epi16(high, 8)));
    }
#endif
    for (; x < width; ++x) {
        std::uint32_t redBlueSum = 0;
        std::uint32_t alphaGreenSum = 0;
        for (std::size_t t = 0; t < static_cast<std::size_t>(used); ++t) {
            redBlueSum += redBlue(rows[t][x]) * weight[t];
            alphaGreenSum += alphaGreen(rows[t][x]) * weight[t];
        }
        out[x] = rounded(redBlueSum, alphaGreenSum);
    }
}

void blendRows(const std::array<const QRgb*, kTaps>& rows,
               const std::array<std::uint16_t, kTaps>& weight, QRgb* out, int width) {
    if (weight[2] != 0) return blendRows<3>(rows, weight, out, width);
    if (weight[1] != 0) return blendRows<2>(rows, weight, out, width);
    blendRows<1>(rows, weight, out, width);
}

// Each pixel of the result from three neighbours of a row. row must hold
// kTaps pixels past the last one read.
void blendAcross(const QRgb* row, const Taps& columns, QRgb* out, int width) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(kWhole / 2);
    const auto* lanes = reinterpret_cast<const __m128i*>(columns.lanes.data());
    // Pixels 0 and 1 under a pixel of the result by their weights, pixels 2
    // and 3 by the third weight and none, added: the pixel's sum is the sum
    // of the two halves.
    const auto weighted = [&](int at) {
        const std::size_t i = static_cast<std::size_t>(at);
        const __m128i pixels =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + columns.first[i]));
        return _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(pixels, zero), lanes[2 * i]),
                             _mm_mullo_epi16(_mm_unpackhi_epi8(pixels, zero), lanes[2 * i + 1]));
    };
    // Two pixels of the result at a time: their halves side by side, added,
    // rounded and packed together.
    for (; x + 2 <= width; x += 2) {
        const __m128i a = weighted(x);
        const __m128i b = weighted(x + 1);
        __m128i sum = _mm_add_epi16(_mm_unpacklo_epi64(a, b), _mm_unpackhi_epi64(a, b));
        sum = _mm_srli_epi16(_mm_add_epi16(sum, half), 8);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(sum, sum));
    }
#endif
    for (; x < width; ++x) {
        const std::size_t i = static_cast<std::size_t>(x);
        const QRgb* in = row + columns.first[i];
        std::uint32_t redBlueSum = 0;
        std::uint32_t alphaGreenSum = 0;
        for (std::size_t t = 0; t < kTaps; ++t) {
            redBlueSum += redBlue(in[t]) * columns.weights[i][t];
            alphaGreenSum += alphaGreen(in[t]) * columns.weights[i][t];
        }
        out[x] = rounded(redBlueSum, alphaGreenSum);
    }
}

// Any factor: every pixel of the picture under a pixel of the result, one by one.
void scaleEveryTap(const QImage& picture, double factor, const QRect& part, QRgb beyond,
                   uchar* into, qsizetype stride) {
    const double step = 1.0 / factor;
    const auto coverage = [factor, step](int i, int pixel) {
        const double from = i * step;
        const double to = (i + 1) * step;
        return std::max(0.0, std::min(to, pixel + 1.0) - std::max(from, double(pixel))) * factor;
    };
    for (int y = 0; y < part.height(); ++y) {
        const int v = part.top() + y;
        const int rowsFrom = static_cast<int>(std::floor(v * step));
        const int rowsTo = std::max(rowsFrom + 1, static_cast<int>(std::ceil((v + 1) * step)));
        auto* out = reinterpret_cast<QRgb*>(into + y * stride);
        for (int x = 0; x < part.width(); ++x) {
            const int u = part.left() + x;
            const int columnsFrom = static_cast<int>(std::floor(u * step));
            const int columnsTo =
                std::max(columnsFrom + 1, static_cast<int>(std::ceil((u + 1) * step)));
            double sum[4] = {0, 0, 0, 0};
            for (int row = rowsFrom; row < rowsTo; ++row) {
                const double rowWeight = coverage(v, row);
                for (int column = columnsFrom; column < columnsTo; ++column) {
                    const bool inside = row < picture.height() && column < picture.width();
                    const QRgb colour = inside ? picture.pixel(column, row) : beyond;
                    const double weight = rowWeight * coverage(u, column);
                    sum[0] += qAlpha(colour) * weight;
                    sum[1] += qRed(colour) * weight;
                    sum[2] += qGreen(colour) * weight;
                    sum[3] += qBlue(colour) * weight;
                }
            }
            const auto channel = [](double value) {
                return std::clamp(static_cast<int>(std::lround(value)), 0, 255);
            };
            out[x] = qRgba(channel(sum[1]), channel(sum[2]), channel(sum[3]), channel(sum[0]));
        }
    }
}

}  // namespace

QImage ScaledPart(const QImage& picture, double factor, const QRect& part, QRgb beyond) {
    QImage result(part.size().expandedTo(QSize(0, 0)), QImage::Format_RGB32);
    if (result.isNull()) return result;
    ScalePart(picture, factor, part, beyond, result.bits(), result.bytesPerLine());
    return result;
}

void ScalePart(const QImage& picture, double factor, const QRect& part, QRgb beyond, uchar* into,
               qsizetype stride) {
    if (part.isEmpty()) return;
    const bool wide = picture.format() == QImage::Format_RGB32 ||
                      picture.format() == QImage::Format_ARGB32 ||
                      picture.format() == QImage::Format_ARGB32_Premultiplied;
    if (!wide || !(factor > 0) || part.left() < 0 || part.top() < 0) {
        for (int y = 0; y < part.height(); ++y) {
            auto* out = reinterpret_cast<QRgb*>(into + y * stride);
            std::fill(out, out + part.width(), beyond);
        }
        return;
    }
    Taps columns;
    Taps rows;
    if (!columns.build(part.left(), part.width(), factor) ||
        !rows.build(part.top(), part.height(), factor)) {
        return scaleEveryTap(picture, factor, part, beyond, into, stride);
    }
    // The picture's columns the part reads; those past its edge, and kTaps
    // more for reading past the last, are `beyond`.
    const int first = columns.begin;
    const int count = columns.end - first;
    const int inside = std::clamp(picture.width() - first, 0, count);
    const std::size_t stored = static_cast<std::size_t>(count + kTaps + 1);
    const std::vector<QRgb> beyondRow(stored, beyond);
    std::vector<const QRgb*> sourceRows;
    for (int row = rows.begin; row < rows.end; ++row) {
        sourceRows.push_back(row < picture.height()
                                 ? reinterpret_cast<const QRgb*>(picture.constScanLine(row)) + first
                                 : beyondRow.data());
    }
    for (std::size_t i = 0; i < columns.first.size(); ++i) columns.first[i] -= first;
    columns.spreadIntoLanes();

    std::vector<QRgb> down(stored, beyond);
    for (int y = 0; y < part.height(); ++y) {
        const std::size_t i = static_cast<std::size_t>(y);
        const int top = rows.first[i] - rows.begin;
        std::array<const QRgb*, kTaps> three{};
        for (std::size_t t = 0; t < kTaps; ++t) {
            // A tap past the last row read weighs nothing.
            const std::size_t at =
                std::min(static_cast<std::size_t>(top) + t, sourceRows.size() - 1);
            three[t] = sourceRows[at];
        }
        blendRows(three, rows.weights[i], down.data(), inside);
        blendAcross(down.data(), columns, reinterpret_cast<QRgb*>(into + y * stride), part.width());
    }
}

}  // namespace krvo
