#include "assetgen/help_picture.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "assetgen/lettering.h"
#include "assetgen/paint.h"
#include "platform/texts.h"

namespace zib::assetgen {

std::vector<HelpRun> helpRuns(std::string_view text) {
    std::vector<HelpRun> runs;
    bool bold = false;
    std::string word;
    auto flush = [&] {
        if (!word.empty()) runs.push_back({word, bold});
        word.clear();
    };
    for (char ch : text) {
        if (ch == '*') {
            flush();
            bold = !bold;
        } else if (ch == ' ') {
            flush();
            runs.push_back({" ", bold});
        } else {
            word += ch;
        }
    }
    flush();
    return runs;
}

namespace {

const Rgb kInk{24, 24, 28};
const Rgb kRedInk{200, 0, 0};
const Rgb kBlueInk{0, 0, 210};
const Rgb kHeadingInk{90, 44, 0};

class HelpWriter {
  public:
    explicit HelpWriter(Graphics& graphics) : graphics_(graphics), page_(kHelpWidth, kHelpHeight) {}

    void centred(const std::string& text, double points, const Rgb& colour, int lineHeight) {
        Mask m = mask(text, points, true);
        if (m.w > kHelpWidth - 2 * kMargin)
            throw std::runtime_error("help title too long: " + text);
        put(m, (kHelpWidth - m.w) / 2, colour, lineHeight);
    }

    void heading(const std::string& text) {
        y_ += 6;
        Mask m = mask(text, 11.5, true);
        if (m.w > kHelpWidth - 2 * kMargin)
            throw std::runtime_error("help heading too long: " + text);
        put(m, kMargin, kHeadingInk, 19);
        // A thin rule under the heading.
        for (int x = kMargin; x < kHelpWidth - kMargin; ++x)
            page_.setPixel(x, y_ - 2, toPixel(Rgb{200, 186, 170}));
    }

    // A paragraph wrapped at the margins; words between asterisks are bold, in boldInk. Lines
    // after the first are indented by `hanging` pixels.
    void paragraph(const std::string& text, const Rgb& boldInk = kInk, int hanging = 0) {
        int x = kMargin;
        bool lineStart = true;
        for (const HelpRun& run : helpRuns(text)) {
            if (run.text == " ") {
                if (!lineStart) x += spaceWidth(run.bold);
                continue;
            }
            Mask m = mask(run.text, kBody, run.bold);
            if (x + m.w > kHelpWidth - kMargin && !lineStart) {
                y_ += kLine;
                x = kMargin + hanging;
            }
            if (x + m.w > kHelpWidth - kMargin / 2)
                throw std::runtime_error("help word too long: " + run.text);
            draw(m, x, run.bold ? boldInk : kInk);
            x += m.w;
            lineStart = false;
        }
        y_ += kLine;
    }

    void space(int pixels) { y_ += pixels; }

    Canvas finish() {
        if (y_ > kHelpHeight)
            throw std::runtime_error(
                "the help text does not fit its picture: " + std::to_string(y_) + " rows of " +
                std::to_string(kHelpHeight));
        return std::move(page_);
    }

  private:
    static constexpr int kMargin = 14;
    static constexpr double kBody = 10.5;
    static constexpr int kLine = 16;

    Mask mask(const std::string& text, double points, bool bold) {
        return captionMask(graphics_, text, FontSpec{"Arial", points, bold}, 3);
    }

    int spaceWidth(bool bold) { return mask("n n", kBody, bold).w - mask("nn", kBody, bold).w; }

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
    constexpr int kHang = 16;
    w.centred("ZIB", 30, kInk, 46);
    w.centred(tr("hra pro dva hráče"), 11, Rgb{80, 80, 86}, 22);

    w.heading(tr("Cíl hry"));
    w.paragraph(
        tr("Každý hráč řídí svého hada. Doveď ho k potravě – každé sousto ho prodlouží. "
           "Nenaraz do zdi, do soupeře ani do vlastního těla. Kdo narazí první, prohrává; "
           "narazí-li oba naráz, je to remíza. Had, který vyjede za okraj plochy, se objeví "
           "na protější straně."));

    w.heading(tr("Ovládání"));
    w.paragraph(tr("*Modrý:*  W nahoru, S dolů, A doleva, D doprava"), kBlueInk, kHang);
    w.paragraph(tr("*Červený:*  šipky"), kRedInk, kHang);
    w.paragraph(
        tr("*Esc* ukončí hru. *Enter* během hry: po jejím konci se stejná mapa spustí "
           "znovu. Klávesy změníš v OPTIONS."));

    w.heading(tr("Nabídka"));
    w.paragraph(tr("*START* nebo *Enter* – nová hra"), kInk, kHang);
    w.paragraph(tr("*MODS* – mapa, herní režim, růst a délka hada"), kInk, kHang);
    w.paragraph(tr("*OPTIONS* – klávesy a rychlost hry"), kInk, kHang);
    w.paragraph(tr("*HELP* – tato nápověda"), kInk, kHang);
    w.paragraph(tr("*EXIT* – konec hry, nastavení se uloží"), kInk, kHang);

    w.heading(tr("Tajná slova (napiš je v nabídce)"));
    w.paragraph(tr("*DEMO* – ukázková hra dvou počítačových hadů"), kInk, kHang);
    w.paragraph(tr("*EXIT* – okamžitý konec"), kInk, kHang);
    w.paragraph(tr("*FREE* – nárazy nekončí hru; opakováním se vypne"), kInk, kHang);
    w.paragraph(tr("*FPS* – počítadlo snímků během hry"), kInk, kHang);
    w.paragraph(tr("*LANG* – přepne jazyk: česky, anglicky"), kInk, kHang);
    w.space(4);
    w.paragraph(tr("Po 20 sekundách bez pohybu v nabídce začne ukázková hra."));

    w.space(10);
    w.centred(tr("ZIB — hra pro dva hráče"), 10.5, kInk, 18);
    w.centred(tr("Programování a grafika: tým ZIB"), 9.75, Rgb{80, 80, 86}, 16);
    return w.finish();
}

}  // namespace zib::assetgen
