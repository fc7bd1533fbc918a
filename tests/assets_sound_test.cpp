// The generated sounds: valid 16-bit mono PCM at 22050 Hz, of the intended length, audible and
// without clicks at either end.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "assetgen/wav_writer.h"

namespace zib::assetgen {
namespace {
namespace fs = std::filesystem;

uint32_t le(const std::string& s, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= uint32_t(uint8_t(s[at + i])) << (8 * i);
    return v;
}

struct Wav {
    int channels = 0, rate = 0, bits = 0;
    std::vector<double> samples;
};

// Reads a canonical PCM WAV file; fails the test on anything else.
Wav parseWav(const std::string& s) {
    Wav w;
    EXPECT_GE(s.size(), 44u);
    if (s.size() < 44) return w;
    EXPECT_EQ(s.substr(0, 4), "RIFF");
    EXPECT_EQ(le(s, 4, 4), s.size() - 8);
    EXPECT_EQ(s.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le(s, 16, 4), 16u);
    EXPECT_EQ(le(s, 20, 2), 1u);  // PCM
    w.channels = int(le(s, 22, 2));
    w.rate = int(le(s, 24, 4));
    w.bits = int(le(s, 34, 2));
    EXPECT_EQ(le(s, 28, 4), uint32_t(w.rate * w.channels * w.bits / 8));
    EXPECT_EQ(le(s, 32, 2), uint32_t(w.channels * w.bits / 8));
    EXPECT_EQ(s.substr(36, 4), "data");
    const uint32_t size = le(s, 40, 4);
    EXPECT_EQ(size, s.size() - 44);
    for (size_t i = 44; i + 1 < s.size(); i += 2)
        w.samples.push_back(int16_t(le(s, i, 2)) / 32768.0);
    return w;
}

struct SoundCase {
    const char* file;
    double minSeconds, maxSeconds;
};

class GeneratedSound : public testing::TestWithParam<SoundCase> {};

TEST_P(GeneratedSound, IsShortCleanPcm) {
    const SoundCase& c = GetParam();
    const fs::path path = fs::path(ZIB_BINARY_DIR) / "baseq7" / "Sound" / c.file;
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    std::stringstream bytes;
    bytes << in.rdbuf();
    Wav w = parseWav(bytes.str());
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.rate, 22050);
    EXPECT_EQ(w.bits, 16);
    ASSERT_FALSE(w.samples.empty());
    const double seconds = double(w.samples.size()) / w.rate;
    EXPECT_GE(seconds, c.minSeconds);
    EXPECT_LE(seconds, c.maxSeconds);
    double peak = 0, energy = 0;
    for (double v : w.samples) {
        peak = std::max(peak, std::abs(v));
        energy += v * v;
    }
    EXPECT_GT(peak, 0.1) << "too quiet";
    EXPECT_LT(peak, 0.99) << "clipped";
    EXPECT_GT(std::sqrt(energy / w.samples.size()), 0.01);
    // No click: the first and the last samples are near silence.
    EXPECT_LT(std::abs(w.samples.front()), 0.05);
    EXPECT_LT(std::abs(w.samples.back()), 0.02);
}

INSTANTIATE_TEST_SUITE_P(Sounds, GeneratedSound,
                         testing::Values(SoundCase{"turnII.wav", 0.04, 0.08},
                                         SoundCase{"UP.wav", 0.12, 0.2},
                                         SoundCase{"click.wav", 0.025, 0.06},
                                         SoundCase{"tink1.wav", 0.09, 0.16}),
                         [](const auto& info) {
                             std::string n = info.param.file;
                             return n.substr(0, n.find('.'));
                         });

TEST(WavWriter, WritesSamplesAsClippedLittleEndianIntegers) {
    const std::vector<double> in = {0.0, 0.5, -0.5, 1.0, -1.0, 2.0, -3.0};
    Wav w = parseWav(encodeWav(in));
    ASSERT_EQ(w.samples.size(), in.size());
    const int expected[] = {0, 16384, -16384, 32767, -32767, 32767, -32767};
    for (size_t i = 0; i < in.size(); ++i)
        EXPECT_EQ(std::lround(w.samples[i] * 32768.0), expected[i]) << i;
}

}  // namespace
}  // namespace zib::assetgen
