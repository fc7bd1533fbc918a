#pragma once
// Lettering for the menu artwork: smooth caption masks and the metal, enamel and glow looks.
#include <string>

#include "assetgen/paint.h"
#include "platform/services.h"

namespace zib::assetgen {

// The coverage of a caption. The font service draws hard-edged glyphs, so the caption is drawn
// `oversample` times larger and reduced, which gives smooth edges.
Mask captionMask(Graphics& graphics, const std::string& text, const FontSpec& font,
                 int oversample = 4);

// The box that holds all ink of a mask (coverage above a trace); empty when there is none.
struct InkBox {
    int x = 0, y = 0, w = 0, h = 0;
};
InkBox inkBox(const Mask& m);

// The mask m moved so that the top-left of its ink lies at (x, y) of a w x h mask.
Mask placeInk(const Mask& m, int w, int h, int x, int y);

// The look of raised letters: a face whose colour runs from top through middle to bottom of the
// letters, lit edges, a dark rim and a soft shadow cast to the lower right.
struct LetterLook {
    Rgb top, middle, bottom;
    Rgb rim{34, 36, 40};
    double shadow = 0.55;  // darkening under the shadow
    int shadowOffset = 3;
    int bevel = 3;      // width of the lit slope
    double light = 90;  // brightness added on the lit side, taken on the other
};

LetterLook steelLook();
LetterLook goldLook();

// Paints raised letters over the canvas.
void raisedLetters(Canvas& c, const Mask& letters, const LetterLook& look);
// Letters cut into the surface: dark inside, lit lower-right edge.
void engravedLetters(Canvas& c, const Mask& letters, double depth);
// A soft coloured halo around the mask.
void glowAround(Canvas& c, const Mask& letters, const Rgb& colour, int radius, double strength);

}  // namespace zib::assetgen
