#pragma once
// The game's four short sounds, synthesised: a soft tick for turning, a rising chirp for eating, a
// click for the menu items and a light bell for the highlight.
#include <string>
#include <vector>

namespace zib::assetgen {

struct SoundFile {
    std::string name;  // file name in the folder "Sound"
    std::vector<double> samples;
};

std::vector<SoundFile> gameSounds();

}  // namespace zib::assetgen
