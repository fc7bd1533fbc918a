// The menu words, their highlights, the win-count panel and the heading of the mods panel.
#include "assetgen/menu_art.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "assetgen/lettering.h"
#include "assetgen/paint.h"

namespace zib::assetgen {

const std::vector<Placement>& menuPlacements() {
    static const std::vector<Placement> places = {
        {"menu.png", 0, 0, 330, 400},      {"start.png", 0, 48, 266, 70},
        {"mods.png", 0, 120, 242, 65},     {"options.png", 0, 190, 330, 67},
        {"help.png", 0, 264, 213, 65},     {"exit.png", 0, 337, 188, 63},
        {"logo.png", 370, 200, 401, 344},  {"score.png", 340, 30, 333, 157},
        {"divider.png", 320, 0, 27, 600},  {"gauge.png", 369, 250, 406, 76},
        {"cell.png", 414, 280, 20, 20},    {"handle.png", 414, 280, 20, 20},
        {"heading.png", 359, 10, 431, 64}, {"up.png", 530, 80, 47, 52},
        {"down.png", 530, 220, 45, 52},
    };
    return places;
}

const Placement& placementOf(const std::string& file) {
    for (const Placement& p : menuPlacements())
        if (file == p.file) return p;
    throw std::logic_error("no place for " + file);
}

const std::vector<MenuItemPlace>& menuItems() {
    static const std::vector<MenuItemPlace> items = {
        {"START", 40, 56, 217, 49, "start.png"},      {"MODS", 48, 128, 193, 49, "mods.png"},
        {"OPTIONS", 48, 200, 273, 49, "options.png"}, {"HELP", 48, 272, 161, 49, "help.png"},
        {"EXIT", 48, 344, 137, 49, "exit.png"},
    };
    return items;
}

namespace {

const FontSpec kArialBold{"Arial", 40, true};

Canvas textureAt(const Canvas& metal, const Placement& p) {
    return tiledUnder(metal, p.left, p.top, p.width, p.height);
}

// The five words in one size, the largest that lets every word fit its hot area with a margin.
std::vector<Mask> menuWordMasks(Graphics& graphics, int width, int height) {
    double scale = 1e9;
    for (const MenuItemPlace& item : menuItems()) {
        InkBox ink = inkBox(captionMask(graphics, item.word, kArialBold));
        scale = std::min({scale, (item.hotWidth - 14.0) / ink.w, (item.hotHeight - 10.0) / ink.h});
    }
    FontSpec font = kArialBold;
    font.points *= scale;
    std::vector<Mask> masks;
    // All words share the cap height and a left edge inside every hot area; each is centred
    // vertically in its hot area.
    int left = 0;
    for (const MenuItemPlace& item : menuItems()) left = std::max(left, item.hotLeft + 8);
    for (const MenuItemPlace& item : menuItems()) {
        Mask word = captionMask(graphics, item.word, font);
        InkBox ink = inkBox(word);
        if (left + ink.w > item.hotLeft + item.hotWidth)
            throw std::logic_error(std::string(item.word) + " does not fit its hot area");
        masks.push_back(
            placeInk(word, width, height, left, item.hotTop + (item.hotHeight - ink.h) / 2));
    }
    return masks;
}

// A recessed plate: darker metal inside a rounded rectangle, shadowed on its upper-left inner
// edge and lit on the lower right.
void recessedPlate(Canvas& c, int x, int y, int w, int h, int radius) {
    Mask plate(c.width(), c.height());
    for (int yy = 0; yy < c.height(); ++yy)
        for (int xx = 0; xx < c.width(); ++xx) {
            double dx = std::max({double(x + radius - xx), double(xx - (x + w - 1 - radius)), 0.0});
            double dy = std::max({double(y + radius - yy), double(yy - (y + h - 1 - radius)), 0.0});
            double d = std::sqrt(dx * dx + dy * dy) - radius;
            bool inside = xx >= x && yy >= y && xx < x + w && yy < y + h;
            plate.ref(xx, yy) = inside ? float(std::clamp(0.5 - d, 0.0, 1.0)) : 0.f;
        }
    darken(c, plate, 0.22);
    Mask wall = shifted(blurred(plate, 5), 3, 3);
    for (size_t i = 0; i < wall.a.size(); ++i) wall.a[i] = plate.a[i] * (1.f - wall.a[i]);
    darken(c, wall, 0.7);
    Mask edge = shifted(plate, -1, -1);
    for (size_t i = 0; i < edge.a.size(); ++i) edge.a[i] = plate.a[i] * (1.f - edge.a[i]);
    paintMask(c, edge, Rgb{240, 242, 246}, 0.8);
}

}  // namespace

Canvas menuWordsPicture(Graphics& graphics, const Canvas& metal) {
    const Placement& p = placementOf("menu.png");
    Canvas c = textureAt(metal, p);
    for (const Mask& word : menuWordMasks(graphics, p.width, p.height))
        raisedLetters(c, word, steelLook());
    return c;
}

std::vector<MenuPicture> menuHighlights(Graphics& graphics, const Canvas& menuWords) {
    const Placement& menu = placementOf("menu.png");
    std::vector<Mask> words = menuWordMasks(graphics, menu.width, menu.height);
    std::vector<MenuPicture> out;
    for (size_t i = 0; i < menuItems().size(); ++i) {
        const Placement& p = placementOf(menuItems()[i].highlightFile);
        Canvas c(p.width, p.height);
        c.blit(menuWords, p.left - menu.left, p.top - menu.top, p.width, p.height, 0, 0);
        Mask word = shifted(words[i], menu.left - p.left, menu.top - p.top);
        word = placeInk(word, p.width, p.height, inkBox(word).x, inkBox(word).y);
        Mask halo = blurred(dilated(word, 3), 10);
        glowAround(c, word, Rgb{255, 170, 40}, 10, 0.85);
        raisedLetters(c, word, goldLook());
        // Only where the glow reaches is the picture opaque; there it already shows the menu
        // picture beneath, so the highlight sits on it without an edge.
        cutOut(c, halo, 0.04f);
        out.push_back({menuItems()[i].highlightFile, std::move(c)});
    }
    return out;
}

Canvas scorePanel(Graphics& graphics, const Canvas& metal, bool english) {
    const Placement& p = placementOf("score.png");
    Canvas c = textureAt(metal, p);
    recessedPlate(c, 8, 6, p.width - 12, p.height - 12, 14);
    FontSpec font{"Arial", 30, true};
    // The counters (Arial 48) stand right of the panel at window rows 40 and 120; each word ends
    // close to the panel's right edge on the line of its counter.
    struct Word {
        const char* text;
        int centreY;
        LetterLook look;
    };
    const Word words[] = {
        {english ? "RED:" : "ČERVENÝ:", 46,
         LetterLook{Rgb{255, 150, 140}, Rgb{200, 20, 16}, Rgb{240, 80, 70}}},
        {english ? "BLUE:" : "MODRÝ:", 124,
         LetterLook{Rgb{150, 160, 255}, Rgb{14, 24, 210}, Rgb{90, 110, 250}}},
    };
    for (const Word& w : words) {
        Mask m = captionMask(graphics, w.text, font);
        InkBox ink = inkBox(m);
        Mask placed = placeInk(m, p.width, p.height, p.width - 24 - ink.w, w.centreY - ink.h / 2);
        LetterLook look = w.look;
        look.rim = Rgb{30, 20, 20};
        look.light = 70;
        raisedLetters(c, placed, look);
    }
    return c;
}

Canvas modsHeading(Graphics& graphics, const Canvas& metal) {
    const Placement& p = placementOf("heading.png");
    Canvas c = textureAt(metal, p);
    FontSpec font{"Arial", 28, true};
    // MAPY over the level rows (window x 376..566), MÓDY over the mode labels (from x 616).
    const std::pair<const char*, int> words[] = {{"MAPY", 471 - p.left}, {"MÓDY", 680 - p.left}};
    // Both words stand on one baseline: each is moved by the offset that puts the cap tops of
    // MAPY (which has no accent) at the same height.
    const InkBox caps = inkBox(captionMask(graphics, "MAPY", font));
    for (const auto& [text, centreX] : words) {
        Mask raw = captionMask(graphics, text, font);
        const InkBox ink = inkBox(raw);
        Mask m =
            placeInk(raw, p.width, p.height, centreX - ink.w / 2, 34 - caps.h / 2 + ink.y - caps.y);
        LetterLook look = steelLook();
        look.bevel = 2;
        look.shadowOffset = 2;
        raisedLetters(c, m, look);
    }
    // An engraved rule under each word.
    for (const auto& word : words) {
        const int centreX = word.second;
        Mask rule(p.width, p.height);
        for (int x = centreX - 80; x <= centreX + 80; ++x) rule.ref(x, 58) = 1.f;
        engravedLetters(c, rule, 1.0);
    }
    return c;
}

std::vector<MenuPicture> menuArtwork(Graphics& graphics, const Canvas& metal) {
    std::vector<MenuPicture> out;
    Canvas words = menuWordsPicture(graphics, metal);
    for (MenuPicture& h : menuHighlights(graphics, words)) out.push_back(std::move(h));
    out.push_back({"menu.png", std::move(words)});
    out.push_back({"logo.png", titleLogo(graphics, metal)});
    out.push_back({"score.png", scorePanel(graphics, metal)});
    // The menu shows NAME-en.png instead of NAME.png in English.
    out.push_back({"score-en.png", scorePanel(graphics, metal, true)});
    out.push_back({"divider.png", dividerStrip(metal)});
    out.push_back({"gauge.png", speedGauge(graphics, metal)});
    out.push_back({"cell.png", gaugeCell()});
    out.push_back({"handle.png", gaugeHandle()});
    out.push_back({"heading.png", modsHeading(graphics, metal)});
    out.push_back({"up.png", arrowButton(metal, true)});
    out.push_back({"down.png", arrowButton(metal, false)});
    return out;
}

}  // namespace zib::assetgen
