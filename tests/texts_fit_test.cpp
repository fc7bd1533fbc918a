// Every text fits where it is shown, in Czech and in English, drawn in the game's own fonts: the
// captions of the menu's and the game window's labels (found by walking the real forms), and every
// text of the catalogue as a status line and in a message box, with long values in its gaps.
#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>

#include "game/game_texts.h"
#include "lang_guard.h"
#include "menu/status_lines.h"
#include "menu_window_fixture.h"
#include "platform/texts.h"

namespace zib::test {
namespace {

constexpr Language kLanguages[] = {Language::Czech, Language::English};

// Reads a quoted po string and the quoted lines that continue it.
std::string poString(std::istream& in, std::string line) {
    std::string text;
    for (;;) {
        const size_t open = line.find('"'), close = line.rfind('"');
        for (size_t i = open + 1; open != std::string::npos && i < close; ++i) {
            if (line[i] != '\\' || i + 1 >= close) {
                text += line[i];
                continue;
            }
            const char next = line[++i];
            text += next == 'n' ? '\n' : next == 't' ? '\t' : next;
        }
        if (in.peek() != '"') return text;
        std::getline(in, line);
    }
}

// Every text of the English catalogue, the Czech originals and their English, without the header.
std::vector<std::string> catalogueTexts() {
    std::ifstream in(std::string(ZIB_SOURCE_DIR) + "/po/en.po");
    std::vector<std::string> texts;
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("msgid", 0) == 0 || line.rfind("msgstr", 0) == 0) {
            std::string text = poString(in, line);
            if (!text.empty() && text.find("Content-Type:") == std::string::npos)
                texts.push_back(text);
        }
    return texts;
}

// The text with every gap "{}" filled with value.
std::string filled(std::string text, const std::string& value) {
    for (size_t at = text.find("{}"); at != std::string::npos; at = text.find("{}", at))
        text.replace(at, 2, value), at += value.size();
    return text;
}

class TextsFit : public MenuWindowTest {
  protected:
    int widthOf(const std::string& text, const FontSpec& font) {
        return backend.services().graphics.renderText(text, font, kBlack).width();
    }
    // The labels of the form whose caption runs past the label's width or the form's edge.
    std::vector<std::string> overflowing(const Form& form) {
        std::vector<std::string> out;
        for (const Label* label : form.labels()) {
            if (label->caption().empty()) continue;
            int x = 0, y = 0;
            label->formPosition(x, y);
            const int w = widthOf(label->caption(), label->font());
            if ((label->width > 0 && w > label->width) || x + w > form.width())
                out.push_back(label->caption() + " (" + std::to_string(w) + " px in " +
                              std::to_string(label->width) + " at x " + std::to_string(x) + ")");
        }
        return out;
    }
};

TEST_F(TextsFit, EveryCaptionOfTheMenuFitsItsLabel) {
    for (Language language : kLanguages) {
        SCOPED_TRACE(languageCode(language));
        LanguageGuard chosen(language);
        addLevels({"Alpha"});
        writeIni("46,Alpha.zq7,5,10,2");
        start();
        EXPECT_GT(menu->labels().size(), 10u);
        EXPECT_EQ(overflowing(*menu), std::vector<std::string>{}) << "title panel";
        for (int item : {1, 2}) {  // MODS, OPTIONS
            clickAt(kItem[item]);
            EXPECT_EQ(overflowing(*menu), std::vector<std::string>{}) << "panel " << item;
        }
        menu.reset();
    }
}

// A game that ends by itself on its third tick: red runs into a wall. Then every label of the
// game window fits, and every result would fit the label that shows the result.
TEST_F(TextsFit, EveryCaptionOfTheGameWindowFitsItsLabel) {
    game.pressOn(1000, kVkEscape);
    addLevel("Alpha");  // the background
    writeFile(levels() / "Crash.zq7",
              "grey.bmp,100,100,1,0\r\n100,300,1,0\r\n120,100,130,110,\"\"\r\n");
    for (Language language : kLanguages) {
        SCOPED_TRACE(languageCode(language));
        LanguageGuard chosen(language);
        writeIni("46,Crash.zq7,5,10,2");
        start();
        clickAt(kItem[0]);
        for (int i = 0; i < 50 && game.finished == 0; ++i) advance(100);
        ASSERT_EQ(game.finished, 1);
        GameWindow& window = menu->gameWindow();
        EXPECT_EQ(overflowing(window), std::vector<std::string>{});
        const std::vector<const Label*> labels = window.labels();
        const auto shown = std::find_if(labels.begin(), labels.end(), [&](const Label* l) {
            return l->caption() == tr(resultCaption(GameResult::BlueWon));
        });
        ASSERT_NE(shown, labels.end());
        for (GameResult result : {GameResult::RedWon, GameResult::BlueWon, GameResult::Draw})
            EXPECT_LE(widthOf(tr(resultCaption(result)), (*shown)->font()), (*shown)->width)
                << tr(resultCaption(result));
        menu.reset();
        game.finished = 0;
    }
}

// Long values in the gaps: an address with the highest port, and the longest level name the
// network carries (64 bytes with ".zq7").
const std::string kLongAddress = "255.255.255.255:65535";
const std::string kLongLevelName(60, 'W');

TEST_F(TextsFit, EveryCatalogueTextFitsTheStatusCorner) {
    const std::vector<std::string> texts = catalogueTexts();
    ASSERT_GT(texts.size(), 100u);
    const auto measure = [&](const std::string& t) { return widthOf(t, MenuWindow::statusFont()); };
    for (const std::string& text : texts)
        for (const std::string& value : {kLongAddress, kLongLevelName}) {
            const std::string line = filled(text, value);
            for (const std::string& l :
                 fitLines(line, MenuWindow::kStatusWidth, MenuWindow::kStatusLines, measure))
                EXPECT_LE(measure(l), MenuWindow::kStatusWidth) << l << "\n  of: " << line;
        }
}

// The message box never draws past its frame: its left and right frame columns keep their colour
// on every row, whatever the text.
TEST_F(TextsFit, EveryCatalogueTextStaysInsideTheMessageBox) {
    addLevels({"Alpha"});
    writeIni("46,Alpha.zq7,5,10,2");
    start();
    // Every message also goes to standard error; not hundreds of them here.
    std::ostringstream quiet;
    std::streambuf* const errors = std::cerr.rdbuf(quiet.rdbuf());
    for (const std::string& text : catalogueTexts()) {
        const std::string message = filled(text, kLongLevelName);
        menu->showMessage(message);
        ASSERT_TRUE(c().messageBox->visible) << message;
        const PictureBox& box = *c().messageBox;
        const Canvas& paper = box.canvas();
        const uint32_t frame = paper.pixel(0, 0);
        int spoilt = 0;
        for (int y = 0; y < paper.height(); ++y)
            spoilt += paper.pixel(0, y) != frame || paper.pixel(paper.width() - 1, y) != frame;
        EXPECT_EQ(spoilt, 0) << message;
        press(kVkEnter);
        ASSERT_FALSE(c().messageBox->visible);
    }
    std::cerr.rdbuf(errors);
}

}  // namespace
}  // namespace zib::test
