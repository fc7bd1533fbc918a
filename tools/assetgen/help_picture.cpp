#include "assetgen/help_picture.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "assetgen/lettering.h"
#include "assetgen/paint.h"

namespace zib::assetgen {
namespace {

const Rgb kInk{24, 24, 28};
const Rgb kRedInk{200, 0, 0};
const Rgb kBlueInk{0, 0, 210};
const Rgb kHeadingInk{90, 44, 0};

// A run of text in one font and colour; a line is one or more runs.
struct Run {
    std::string text;
    Rgb colour = kInk;
    bool bold = false;
};

class HelpWriter {
  public:
    explicit HelpWriter(Graphics& graphics) : graphics_(graphics), page_(kHelpWidth, kHelpHeight) {}

    void centred(const std::string& text, double points, const Rgb& colour, int lineHeight) {
        Mask m = mask(text, points, true);
        put(m, (kHelpWidth - m.w) / 2, colour, lineHeight);
    }

    void heading(const std::string& text) {
        y_ += 6;
        Mask m = mask(text, 11.5, true);
        put(m, kMargin, kHeadingInk, 19);
        // A thin rule under the heading.
        for (int x = kMargin; x < kHelpWidth - kMargin; ++x)
            page_.setPixel(x, y_ - 2, toPixel(Rgb{200, 186, 170}));
    }

    // A paragraph, wrapped at the margins.
    void paragraph(const std::string& text) {
        std::vector<std::string> words;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find(' ', start);
            if (end == std::string::npos) end = text.size();
            words.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        std::string line;
        for (const std::string& w : words) {
            std::string candidate = line.empty() ? w : line + " " + w;
            if (!line.empty() && mask(candidate, kBody, false).w > kHelpWidth - 2 * kMargin) {
                put(mask(line, kBody, false), kMargin, kInk, kLine);
                line = w;
            } else {
                line = candidate;
            }
        }
        if (!line.empty()) put(mask(line, kBody, false), kMargin, kInk, kLine);
    }

    // One line of runs, e.g. a bold word followed by plain text.
    void line(const std::vector<Run>& runs, int indent = 0) {
        int x = kMargin + indent;
        for (const Run& r : runs) {
            Mask m = mask(r.text, kBody, r.bold);
            draw(m, x, r.colour);
            x += m.w;
        }
        if (x > kHelpWidth - kMargin / 2)
            throw std::runtime_error("help line too long: " + runs[0].text);
        y_ += kLine;
    }

    void space(int pixels) { y_ += pixels; }

    Canvas finish() {
        if (y_ > kHelpHeight) throw std::runtime_error("the help text does not fit its picture");
        return std::move(page_);
    }

  private:
    static constexpr int kMargin = 14;
    static constexpr double kBody = 10.5;
    static constexpr int kLine = 17;

    Mask mask(const std::string& text, double points, bool bold) {
        return captionMask(graphics_, text, FontSpec{"Arial", points, bold}, 3);
    }

    void draw(const Mask& m, int x, const Rgb& colour) {
        for (int yy = 0; yy < m.h; ++yy)
            for (int xx = 0; xx < m.w; ++xx) {
                float a = m.at(xx, yy);
                if (a <= 0) continue;
                int px = x + xx, py = y_ + yy;
                page_.setPixel(px, py, toPixel(mix(toRgb(page_.pixel(px, py)), colour, a)));
            }
    }

    void put(const Mask& m, int x, const Rgb& colour, int lineHeight) {
        draw(m, x, colour);
        y_ += lineHeight;
    }

    Graphics& graphics_;
    Canvas page_;
    int y_ = 8;
};

}  // namespace

Canvas helpPicture(Graphics& graphics) {
    HelpWriter w(graphics);
    w.centred("ZIB", 30, kInk, 46);
    w.centred("hra pro dva hráče", 11, Rgb{80, 80, 86}, 22);

    w.heading("Cíl hry");
    w.paragraph(
        "Každý hráč řídí svého hada. Doveď ho k potravě – každé sousto ho prodlouží. "
        "Nenaraz do zdi, do soupeře ani do vlastního těla. Kdo narazí první, prohrává; "
        "narazí-li oba naráz, je to remíza. Had, který vyjede za okraj plochy, se objeví "
        "na protější straně.");

    w.heading("Ovládání");
    w.line({{"Modrý:", kBlueInk, true}, {"  W nahoru, S dolů, A doleva, D doprava"}});
    w.line({{"Červený:", kRedInk, true}, {"  šipky"}});
    w.line({{"Esc", kInk, true},
            {" ukončí hru. "},
            {"Enter", kInk, true},
            {" během hry: po jejím konci"}});
    w.line({{"se stejná mapa spustí znovu. Klávesy změníš v OPTIONS."}});

    w.heading("Nabídka");
    w.line({{"START", kInk, true}, {" nebo "}, {"Enter", kInk, true}, {" – nová hra"}});
    w.line({{"MODS", kInk, true}, {" – mapa, herní režim, růst a délka hada"}});
    w.line({{"OPTIONS", kInk, true}, {" – klávesy a rychlost hry"}});
    w.line({{"HELP", kInk, true}, {" – tato nápověda"}});
    w.line({{"EXIT", kInk, true}, {" – konec hry, nastavení se uloží"}});

    w.heading("Tajná slova (napiš je v nabídce)");
    w.line({{"DEMO", kInk, true}, {" – ukázková hra dvou počítačových hadů"}});
    w.line({{"EXIT", kInk, true}, {" – okamžitý konec"}});
    w.line({{"FREE", kInk, true}, {" – nárazy nekončí hru; opakováním se vypne"}});
    w.line({{"FPS", kInk, true}, {" – počítadlo snímků během hry"}});
    w.space(4);
    w.paragraph("Po 20 sekundách bez pohybu v nabídce začne ukázková hra.");

    w.space(10);
    w.centred("ZIB — hra pro dva hráče", 10.5, kInk, 18);
    w.centred("Programování a grafika: tým ZIB", 9.75, Rgb{80, 80, 86}, 16);
    return w.finish();
}

}  // namespace zib::assetgen
