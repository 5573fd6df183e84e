// The game's sounds, synthesised: 16-bit mono PCM at 22,050 Hz in a RIFF/WAVE
// file written here byte by byte. Noise comes from a fixed seed, so every build
// writes the same files.

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "art.h"
#include "manifest.h"

namespace krvo::assets {
namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

using Samples = std::vector<double>;

Samples silence(double seconds) {
    return Samples(static_cast<size_t>(seconds * kRate), 0.0);
}

void mixAt(Samples& into, const Samples& sound, double at, double gain = 1.0) {
    const size_t start = static_cast<size_t>(at * kRate);
    if (into.size() < start + sound.size()) into.resize(start + sound.size(), 0.0);
    for (size_t i = 0; i < sound.size(); ++i) into[start + i] += sound[i] * gain;
}

// A tone with a few harmonics, a short attack and an exponential decay.
Samples tone(double frequency, double seconds, double decay, std::vector<double> harmonics = {1.0},
             double attack = 0.005) {
    Samples out = silence(seconds);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kRate;
        double value = 0;
        for (size_t h = 0; h < harmonics.size(); ++h) {
            value += harmonics[h] * std::sin(2 * kPi * frequency * double(h + 1) * t);
        }
        const double envelope = std::min(1.0, t / attack) * std::exp(-t * decay);
        const double release = std::min(1.0, (seconds - t) / 0.01);
        out[i] = value * envelope * std::max(0.0, release);
    }
    return out;
}

// A bell: inharmonic partials that die away at different speeds.
Samples bell(double frequency, double seconds) {
    Samples out = silence(seconds);
    const double ratios[] = {1.0, 2.01, 2.76, 4.07};
    const double gains[] = {0.6, 0.25, 0.12, 0.06};
    const double decays[] = {4.0, 6.0, 9.0, 12.0};
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kRate;
        double value = 0;
        for (int p = 0; p < 4; ++p) {
            value +=
                gains[p] * std::sin(2 * kPi * frequency * ratios[p] * t) * std::exp(-t * decays[p]);
        }
        out[i] = value * std::min(1.0, t / 0.002) * std::min(1.0, (seconds - t) / 0.02);
    }
    return out;
}

// Noise shaped by a one-pole low-pass (cutoff in Hz) and a decay.
Samples noise(double seconds, double cutoff, double decay, std::mt19937& random,
              bool highPass = false) {
    std::uniform_real_distribution<double> white(-1.0, 1.0);
    Samples out = silence(seconds);
    const double a = std::exp(-2 * kPi * cutoff / kRate);
    double low = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kRate;
        const double x = white(random);
        low = (1 - a) * x + a * low;
        const double value = highPass ? x - low : low;
        out[i] = value * std::exp(-t * decay) * std::min(1.0, t / 0.001);
    }
    return out;
}

Samples sweep(double from, double to, double seconds, double decay) {
    Samples out = silence(seconds);
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kRate;
        const double frequency = from * std::pow(to / from, t / seconds);
        phase += 2 * kPi * frequency / kRate;
        out[i] = std::sin(phase) * std::exp(-t * decay) * std::min(1.0, t / 0.004);
    }
    return out;
}

Samples shuffle(std::mt19937& random) {
    Samples out = silence(0.1);
    double at = 0.02;
    for (int i = 0; i < 16; ++i) {
        mixAt(out, noise(0.03, 3500, 140, random, true), at, 0.55 - i * 0.015);
        at += 0.028 + 0.01 * std::sin(i * 1.7);
    }
    mixAt(out, noise(0.06, 900, 60, random), at + 0.05, 0.6);
    mixAt(out, tone(140, 0.08, 50), at + 0.05, 0.4);
    return out;
}

Samples snap(std::mt19937& random) {
    Samples out = silence(0.15);
    mixAt(out, noise(0.05, 2500, 90, random, true), 0.0, 0.8);
    mixAt(out, tone(160, 0.08, 45, {1.0, 0.3}), 0.0, 0.5);
    return out;
}

Samples knock(std::mt19937& random) {
    Samples out = silence(0.4);
    for (int k = 0; k < 2; ++k) {
        mixAt(out, tone(190, 0.12, 38, {1.0, 0.0, 0.35}), 0.02 + k * 0.16, 0.7);
        mixAt(out, noise(0.03, 1800, 120, random), 0.02 + k * 0.16, 0.4);
    }
    return out;
}

Samples boom(std::mt19937& random) {
    Samples out = silence(1.4);
    mixAt(out, noise(1.3, 380, 3.2, random), 0.0, 1.1);
    mixAt(out, noise(0.25, 4000, 18, random), 0.0, 0.5);
    mixAt(out, sweep(95, 32, 1.2, 3.0), 0.0, 0.9);
    return out;
}

Samples fanfare(const std::vector<double>& notes, double step, double hold) {
    Samples out = silence(0.1);
    const std::vector<double> brass = {1.0, 0.5, 0.33, 0.2, 0.12};
    for (size_t n = 0; n < notes.size(); ++n) {
        const bool last = n + 1 == notes.size();
        mixAt(out, tone(notes[n], last ? hold : step * 1.3, last ? 2.2 : 6.0, brass, 0.015),
              0.02 + n * step, 0.22);
    }
    if (!notes.empty()) {
        const double chordAt = 0.02 + (notes.size() - 1) * step;
        mixAt(out, tone(notes.back() * 0.75, hold, 2.2, brass, 0.02), chordAt, 0.14);
        mixAt(out, tone(notes.back() * 0.5, hold, 2.2, brass, 0.02), chordAt, 0.14);
    }
    return out;
}

Samples beeps() {
    Samples out = silence(0.45);
    for (int k = 0; k < 2; ++k)
        mixAt(out, tone(880, 0.13, 4, {1.0, 0.0, 0.25, 0.0, 0.1}, 0.004), 0.02 + k * 0.2, 0.5);
    return out;
}

Samples chimes(const std::vector<double>& notes, double step) {
    Samples out = silence(0.1);
    for (size_t n = 0; n < notes.size(); ++n)
        mixAt(out, bell(notes[n], 0.9), 0.01 + n * step, 0.55);
    return out;
}

Samples door(bool coming, std::mt19937& random) {
    Samples out = silence(0.1);
    mixAt(out, noise(0.09, 500, 35, random), coming ? 0.0 : 0.32, 0.35);
    mixAt(out, tone(110, 0.12, 30), coming ? 0.0 : 0.32, 0.3);
    const double low = 659.3, high = 880.0;
    mixAt(out, bell(coming ? low : high, 0.6), coming ? 0.08 : 0.0, 0.28);
    mixAt(out, bell(coming ? high : low, 0.6), coming ? 0.24 : 0.16, 0.28);
    return out;
}

Samples soundFor(int index) {
    std::mt19937 random(1000 + index);
    switch (index) {
        case 0:
            return shuffle(random);
        case 1:
            return chimes({1318.5, 1975.5}, 0.12);
        case 2:
            return snap(random);
        case 3:
            return knock(random);
        case 4:
            return fanfare({523.3, 659.3, 784.0, 1046.5}, 0.11, 0.9);
        case 5:
            return boom(random);
        case 6:
            return beeps();
        case 7:
            return fanfare({784.0, 659.3, 784.0, 1046.5}, 0.14, 0.8);
        case 8:
            return door(true, random);
        case 9:
            return door(false, random);
        default:
            return chimes({880.0}, 0.0);
    }
}

void putLe(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.append(static_cast<char>((value >> (8 * i)) & 0xff));
}

QByteArray waveFile(const Samples& samples) {
    double peak = 1e-9;
    for (double s : samples) peak = std::max(peak, std::abs(s));
    const double gain = 0.85 / peak;  // normalised, with headroom
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    QByteArray out;
    out.append("RIFF");
    putLe(out, 36 + dataBytes, 4);
    out.append("WAVE");
    out.append("fmt ");
    putLe(out, 16, 4);         // chunk size
    putLe(out, 1, 2);          // PCM
    putLe(out, 1, 2);          // mono
    putLe(out, kRate, 4);      // sample rate
    putLe(out, kRate * 2, 4);  // byte rate
    putLe(out, 2, 2);          // block align
    putLe(out, 16, 2);         // bits per sample
    out.append("data");
    putLe(out, dataBytes, 4);
    for (double s : samples) {
        const auto value =
            static_cast<std::int16_t>(std::lround(std::clamp(s * gain, -1.0, 1.0) * 32767));
        putLe(out, static_cast<std::uint16_t>(value), 2);
    }
    return out;
}

}  // namespace

QByteArray SynthesiseSound(const AssetEntry& entry) {
    return waveFile(soundFor(entry.index));
}

}  // namespace krvo::assets
