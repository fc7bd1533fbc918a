#pragma once
// A RIFF WAVE file: 16-bit PCM, mono, 22050 samples per second.
#include <string>
#include <vector>

namespace zib::assetgen {

constexpr int kSampleRate = 22050;

// Samples in -1..1 (clipped), written as 16-bit little-endian integers.
std::string encodeWav(const std::vector<double>& samples);

}  // namespace zib::assetgen
