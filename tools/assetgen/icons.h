#pragma once
// The program's icon: the two snakes of the game, drawn with the game's own sprite pieces, curled
// around a food ring on a dark rounded square. A 48 x 48 drawing, reduced or enlarged by area for
// each bitmap size, and the same drawing as SVG (one rectangle per run of pixels) for the scalable
// icon.
#include <iosfwd>
#include <string>

#include "platform/canvas.h"

namespace zib::assetgen {

constexpr int kIconArtSize = 48;
constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

Canvas iconArt();              // 48 x 48, transparent outside the rounded square
Canvas iconPicture(int size);  // size x size, partial alpha at the edges
std::string iconSvg();

// Writes outDir/hicolor/NxN/apps/NAME.png for every size and outDir/hicolor/scalable/apps/NAME.svg.
bool writeIcons(const std::string& outDir, const std::string& name, std::ostream& log);

}  // namespace zib::assetgen
