#include "assetgen/mockup.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "assetgen/menu_art.h"
#include "assetgen/paint.h"
#include "assetgen/previews.h"
#include "game/level_file.h"
#include "platform/backend/backends.h"

namespace zib::assetgen {
namespace fs = std::filesystem;

namespace {

class Mockup {
  public:
    Mockup(Graphics& graphics, const fs::path& base) : graphics_(graphics), base_(base) {}

    Picture load(const std::string& name) { return graphics_.loadPicture((base_ / name).string()); }

    Canvas window() {
        Picture metal = load("kovy/plech2.jpg");
        Canvas w = tiledUnder(*metal, 0, 0, 800, 600);
        w.drawOver(*load("menu/menu.png"), 0, 0);
        return w;
    }

    void put(Canvas& w, const std::string& file) {
        const Placement& p = placementOf(file);
        w.drawOver(*load("menu/" + file), p.left, p.top);
    }

    void label(Canvas& w, const std::string& text, const FontSpec& font, uint32_t colour, int x,
               int y) {
        w.drawOver(graphics_.renderText(text, font, colour), x, y);
    }

  private:
    Graphics& graphics_;
    fs::path base_;
};

}  // namespace

bool writeMockups(const std::string& programDir, const std::string& outDir, std::ostream& log) {
    std::unique_ptr<Graphics> graphics = makeSdlGraphics();
    const fs::path base = fs::path(programDir) / "baseq7";
    fs::create_directories(outDir);
    Mockup m(*graphics, base);
    const FontSpec big{"Arial", 48, true}, mid{"Arial", 18, true},
        sans{"MS Sans Serif", 13.5, true};
    try {
        // The title view, with the START highlight lit.
        Canvas title = m.window();
        m.put(title, "start.png");
        m.put(title, "score.png");
        m.put(title, "logo.png");
        m.label(title, "3", big, rgb(255, 0, 0), 672, 40);
        m.label(title, "1", big, rgb(0, 0, 255), 672, 120);
        m.put(title, "divider.png");
        graphics->savePicture(title, (fs::path(outDir) / "menu_title.png").string());

        Canvas options = m.window();
        m.put(options, "options.png");
        m.label(options, "Modrý", mid, kBlack, 488, 8);
        m.label(options, "Červený", mid, kBlack, 624, 8);
        const char* rows[] = {"Nahoru", "Dolu", "Pravo", "Levo"};
        const char* blue[] = {"W", "S", "D", "A"};
        const char* red[] = {"UP", "DOWN", "RIGHT", "LEFT"};
        for (int i = 0; i < 4; ++i) {
            m.label(options, rows[i], mid, kBlack, 360, 56 + 32 * i);
            m.label(options, blue[i], mid, kBlack, 488, 56 + 32 * i);
            m.label(options, red[i], mid, kBlack, 624, 56 + 32 * i);
        }
        m.label(options, "RYCHLOST HRY: 54", FontSpec{"Arial", 24, true}, kBlack, 368, 219);
        m.put(options, "gauge.png");
        Picture cell = m.load("menu/cell.png"), handle = m.load("menu/handle.png");
        for (int i = 0; i < 7; ++i) options.drawOver(*cell, 369 + 45 + 20 * i, 250 + 30);
        options.drawOver(*handle, 369 + 45 + 20 * 7, 250 + 30);
        m.label(options, "OK", big, kBlack, 688, 528);
        m.put(options, "divider.png");
        graphics->savePicture(options, (fs::path(outDir) / "menu_options.png").string());

        Canvas mods = m.window();
        m.put(mods, "mods.png");
        m.put(mods, "heading.png");
        m.put(mods, "up.png");
        m.put(mods, "down.png");
        std::vector<std::string> levels;
        for (const auto& e : fs::directory_iterator(base))
            if (e.path().extension() == ".zq7") levels.push_back(e.path().stem().string());
        std::sort(levels.begin(), levels.end());
        for (size_t k = 0; k < 6 && k < levels.size(); ++k)
            m.label(mods, levels[k], sans, kBlack, 376, 80 + 31 * static_cast<int>(k));
        m.label(mods, "NEKONEČNÝ ZIB", FontSpec{"MS Sans Serif", 13.5, true}, kBlack, 616, 80);
        m.label(mods, "ZIB KLASIK", FontSpec{"MS Sans Serif", 13.5, true}, rgb(0, 0, 255), 648,
                104);
        m.label(mods, "1 HRÁC", FontSpec{"MS Sans Serif", 13.5, true}, kBlack, 668, 128);
        m.label(mods, "RŮST: 5", FontSpec{"MS Sans Serif", 13.5, true}, kBlack, 424, 280);
        m.label(mods, "DÉLKA NA ZAČÁTKU: 10", FontSpec{"MS Sans Serif", 13.5, true}, kBlack, 360,
                304);
        if (!levels.empty()) mods.drawOver(*m.load(levels[0] + ".dat"), 352, 336);
        m.label(mods, "OK", big, kBlack, 688, 528);
        m.put(mods, "divider.png");
        graphics->savePicture(mods, (fs::path(outDir) / "menu_mods.png").string());

        // The help scroll at its resting place.
        Canvas help = m.window();
        Picture text = m.load("menu/helptext.bmp");
        help.blit(*text, 0, 0, text->width(), text->height(), 360, -2, BlitMode::And);
        m.put(help, "help.png");
        m.put(help, "divider.png");
        graphics->savePicture(help, (fs::path(outDir) / "menu_help.png").string());

        // Details three times enlarged: the gauge, the arrows with the heading, a highlight.
        auto crop = [](const Canvas& from, int x, int y, int w, int h) {
            Canvas part(w, h);
            part.blit(from, x, y, w, h, 0, 0);
            return Canvas::scaled(part, 3 * w, 3 * h);
        };
        graphics->savePicture(crop(options, 369, 240, 406, 90),
                              (fs::path(outDir) / "zoom_gauge.png").string());
        graphics->savePicture(crop(mods, 350, 0, 260, 280),
                              (fs::path(outDir) / "zoom_mods.png").string());
        graphics->savePicture(crop(title, 370, 400, 401, 144),
                              (fs::path(outDir) / "zoom_snakes.png").string());
        graphics->savePicture(crop(title, 0, 40, 280, 90),
                              (fs::path(outDir) / "zoom_highlight.png").string());

        // All previews on one sheet, and the first one three times enlarged.
        Canvas sheet(2 * kPreviewWidth + 10, 5 * (kPreviewHeight + 10), kWhite);
        for (size_t k = 0; k < levels.size() && k < 10; ++k)
            sheet.drawOver(*m.load(levels[k] + ".dat"),
                           static_cast<int>(k % 2) * (kPreviewWidth + 10),
                           static_cast<int>(k / 2) * (kPreviewHeight + 10));
        graphics->savePicture(sheet, (fs::path(outDir) / "previews.png").string());
        if (!levels.empty())
            graphics->savePicture(
                Canvas::scaled(*m.load(levels[0] + ".dat"), 3 * kPreviewWidth, 3 * kPreviewHeight),
                (fs::path(outDir) / "preview_zoom.png").string());

        // Every level at full size, as the game paints it.
        for (const std::string& name : levels) {
            std::ifstream in(base / (name + ".zq7"), std::ios::binary);
            std::stringstream s;
            s << in.rdbuf();
            auto parsed = parseLevel(s.str(), name + ".zq7");
            if (auto* e = std::get_if<LevelError>(&parsed)) {
                log << e->message << "\n";
                return false;
            }
            Canvas field = paintLevel(std::get<LevelFile>(parsed),
                                      [&](const std::string& pic) { return m.load(pic); });
            graphics->savePicture(field, (fs::path(outDir) / ("level_" + name + ".png")).string());
        }
    } catch (const std::exception& e) {
        log << e.what() << "\n";
        return false;
    }
    return true;
}

}  // namespace zib::assetgen
