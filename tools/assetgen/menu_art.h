#pragma once
// The menu window's pictures. Each is composed at its place in the window: opaque pictures over the
// metal texture as the menu tiles it from the window's (0, 0), so that they join it without a seam;
// the highlights over the menu picture they cover, transparent where they do not glow.
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/services.h"

namespace zib::assetgen {

struct MenuPicture {
    std::string file;  // in the folder "menu"
    Canvas picture;
};

// A picture's place in the menu window.
struct Placement {
    const char* file;
    int left, top, width, height;
};

// The places of the menu's pictures (the cell and the handle sit in the first gauge cell).
const std::vector<Placement>& menuPlacements();
const Placement& placementOf(const std::string& file);

// The hot areas of the five menu words in the window, START to EXIT, and their highlights.
struct MenuItemPlace {
    const char* word;
    int hotLeft, hotTop, hotWidth, hotHeight;
    const char* highlightFile;
};
const std::vector<MenuItemPlace>& menuItems();

std::vector<MenuPicture> menuArtwork(Graphics& graphics, const Canvas& metal);

// The parts, for the mock-up and the tests.
Canvas menuWordsPicture(Graphics& graphics, const Canvas& metal);
std::vector<MenuPicture> menuHighlights(Graphics& graphics, const Canvas& menuWords);
Canvas scorePanel(Graphics& graphics, const Canvas& metal, bool english = false);
Canvas modsHeading(Graphics& graphics, const Canvas& metal);
Canvas titleLogo(Graphics& graphics, const Canvas& metal);
Canvas dividerStrip(const Canvas& metal);
Canvas speedGauge(Graphics& graphics, const Canvas& metal);
Canvas gaugeCell();
Canvas gaugeHandle();
Canvas arrowButton(const Canvas& metal, bool up);

}  // namespace zib::assetgen
