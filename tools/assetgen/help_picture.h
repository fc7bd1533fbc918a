#pragma once
// The help picture of the menu: 420 x 600, dark text on white (the menu combines it with the metal
// by a bitwise AND, so white leaves the metal as it is).
#include "platform/canvas.h"
#include "platform/services.h"

namespace zib::assetgen {

constexpr int kHelpWidth = 420;
constexpr int kHelpHeight = 600;

Canvas helpPicture(Graphics& graphics);

}  // namespace zib::assetgen
