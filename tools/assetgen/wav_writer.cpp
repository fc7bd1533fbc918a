#include "assetgen/wav_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zib::assetgen {
namespace {

void put(std::string& s, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 255));
}

}  // namespace

std::string encodeWav(const std::vector<double>& samples) {
    const uint32_t dataSize = static_cast<uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    put(out, 36 + dataSize, 4);
    out += "WAVEfmt ";
    put(out, 16, 4);
    put(out, 1, 2);  // PCM
    put(out, 1, 2);  // mono
    put(out, kSampleRate, 4);
    put(out, kSampleRate * 2, 4);  // bytes per second
    put(out, 2, 2);                // block align
    put(out, 16, 2);               // bits per sample
    out += "data";
    put(out, dataSize, 4);
    for (double s : samples) {
        long v = std::lround(std::clamp(s, -1.0, 1.0) * 32767.0);
        put(out, static_cast<uint32_t>(static_cast<int16_t>(v)) & 0xFFFF, 2);
    }
    return out;
}

}  // namespace zib::assetgen
