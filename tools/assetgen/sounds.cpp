#include "assetgen/sounds.h"

#include <cmath>
#include <numbers>

#include "assetgen/noise.h"
#include "assetgen/wav_writer.h"

namespace zib::assetgen {
namespace {

constexpr double kTau = 2.0 * std::numbers::pi;

int samplesFor(double seconds) {
    return static_cast<int>(std::lround(seconds * kSampleRate));
}

// Attack rises linearly, then the level decays exponentially with the given time constant; the
// last few milliseconds fade to silence so the sound never ends on a step.
double envelope(double t, double length, double attack, double decay) {
    double level = t < attack ? t / attack : std::exp(-(t - attack) / decay);
    const double fade = 0.004;
    if (t > length - fade) level *= std::max(0.0, (length - t) / fade);
    return level;
}

// Turning: a soft, short blip that drops from 900 to 600 Hz, with a touch of its octave.
std::vector<double> turnTick() {
    const double length = 0.060;
    std::vector<double> out(samplesFor(length));
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / kSampleRate;
        double f = 600.0 + 300.0 * std::exp(-t / 0.015);
        phase += kTau * f / kSampleRate;
        double tone = std::sin(phase) + 0.2 * std::sin(2 * phase);
        out[i] = 0.30 * envelope(t, length, 0.003, 0.018) * tone;
    }
    return out;
}

// Eating: a bright chirp rising from 500 to 1500 Hz, with a second voice a fifth above that
// enters halfway.
std::vector<double> eatChirp() {
    const double length = 0.150;
    std::vector<double> out(samplesFor(length));
    double phase = 0, phase2 = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / kSampleRate;
        double f = 500.0 * std::pow(3.0, t / length);
        phase += kTau * f / kSampleRate;
        phase2 += kTau * 1.5 * f / kSampleRate;
        double second = t > length / 2 ? 0.35 * std::sin(phase2) : 0.0;
        double tone = std::sin(phase) + 0.25 * std::sin(2 * phase) + second;
        out[i] = 0.32 * envelope(t, length, 0.006, 0.09) * tone;
    }
    return out;
}

// A menu click: a burst of filtered noise over a quickly dying 2 kHz knock.
std::vector<double> menuClick() {
    const double length = 0.040;
    std::vector<double> out(samplesFor(length));
    Rng rng(0xC11C);
    double low = 0, phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / kSampleRate;
        low += 0.35 * (rng.uniform(-1, 1) - low);  // a gentle low-pass over white noise
        phase += kTau * 2000.0 / kSampleRate;
        double noise = low * envelope(t, length, 0.0005, 0.004);
        double knock = std::sin(phase) * envelope(t, length, 0.001, 0.008);
        out[i] = 0.45 * noise + 0.35 * knock;
    }
    return out;
}

// The highlight: a small bell, three inharmonic partials that die away at their own pace.
std::vector<double> lightBell() {
    const double length = 0.120;
    std::vector<double> out(samplesFor(length));
    struct Partial {
        double ratio, weight, decay;
    };
    const Partial partials[] = {{1.0, 1.0, 0.060}, {2.76, 0.45, 0.030}, {5.40, 0.20, 0.015}};
    const double base = 1760.0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / kSampleRate;
        double sum = 0;
        for (const Partial& p : partials)
            sum += p.weight * std::sin(kTau * base * p.ratio * t) *
                   envelope(t, length, 0.002, p.decay);
        out[i] = 0.22 * sum;
    }
    return out;
}

}  // namespace

std::vector<SoundFile> gameSounds() {
    return {{"turnII.wav", turnTick()},
            {"UP.wav", eatChirp()},
            {"click.wav", menuClick()},
            {"tink1.wav", lightBell()}};
}

}  // namespace zib::assetgen
