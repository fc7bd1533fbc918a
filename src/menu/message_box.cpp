// Messages for the player: a framed panel over the menu with the text and an "OK", closed by a
// click on it or by Enter or Esc. While it is open the rest of the menu does not react. Every
// message also goes to standard error.
#include <algorithm>
#include <iostream>
#include <sstream>
#include <vector>

#include "menu/menu_window.h"
#include "menu/status_lines.h"

namespace zib {

namespace {

constexpr int kBoxWidth = 520;
constexpr int kPadding = 20;
constexpr int kOkHeight = 44;
constexpr uint32_t kPanel = rgb(214, 214, 218);
constexpr uint32_t kFrameDark = rgb(32, 32, 36);
constexpr uint32_t kFrameLight = rgb(250, 250, 250);
const FontSpec kTextFont{"Arial", 14, true};
const FontSpec kOkFont{"Arial", 24, true};

// Splits a message into lines no wider than `width` pixels, breaking between words (and at line
// ends of the text). A word wider than a line is broken between its characters.
std::vector<Canvas> wrapText(Graphics& g, const std::string& text, int width) {
    const auto measure = [&](const std::string& t) {
        return g.renderText(t, kTextFont, kBlack).width();
    };
    std::vector<Canvas> lines;
    std::istringstream paragraphs(text);
    std::string paragraph;
    while (std::getline(paragraphs, paragraph)) {
        std::istringstream words(paragraph);
        std::string word, line;
        while (words >> word) {
            std::string candidate = line.empty() ? word : line + " " + word;
            if (!line.empty() && measure(candidate) > width) {
                lines.push_back(g.renderText(line, kTextFont, kBlack));
                line = word;
            } else {
                line = candidate;
            }
            if (measure(line) > width) {
                std::vector<std::string> pieces = splitWord(line, width, measure);
                line = pieces.back();
                pieces.pop_back();
                for (const std::string& piece : pieces)
                    lines.push_back(g.renderText(piece, kTextFont, kBlack));
            }
        }
        lines.push_back(g.renderText(line, kTextFont, kBlack));
    }
    return lines;
}

}  // namespace

void MenuWindow::designMessageBox() {
    c_.messageBox = &addPictureBox();
    c_.messageBox->visible = false;
    c_.messageBox->onClick = [this] { closeMessage(); };
    c_.messageOk = &makeLabel(0, 0, 120, kOkHeight, "OK", kOkFont, c_.messageBox);
    c_.messageOk->align = Label::Align::Center;
    c_.messageOk->onClick = [this] { closeMessage(); };
}

bool MenuWindow::messageOpen() const {
    return c_.messageBox && c_.messageBox->visible;
}

std::string MenuWindow::openMessage() const {
    return messageOpen() && !messages_.empty() ? messages_.front() : std::string();
}

void MenuWindow::showMessage(const std::string& text) {
    // The same message reported twice in a row (by the game window and by the menu) shows once.
    if (std::find(messages_.begin(), messages_.end(), text) != messages_.end()) return;
    std::cerr << "ZIB: " << text << std::endl;
    messages_.push_back(text);
    if (!messageOpen()) openNextMessage();
}

void MenuWindow::openNextMessage() {
    if (!c_.messageBox || messages_.empty()) return;
    Graphics& g = services().graphics;
    std::vector<Canvas> lines = wrapText(g, messages_.front(), kBoxWidth - 2 * kPadding);
    int lineHeight = g.renderText("ÁŽgj", kTextFont, kBlack).height() + 2;
    int height = kPadding + static_cast<int>(lines.size()) * lineHeight + kPadding + kOkHeight +
                 kPadding / 2;
    height = std::min(height, kHeight);

    PictureBox& box = *c_.messageBox;
    box.width = kBoxWidth;
    box.height = height;
    box.move((kWidth - kBoxWidth) / 2, (kHeight - height) / 2);
    box.resizeCanvas(kBoxWidth, height);
    Canvas& paper = box.canvas();
    paper.fill(kFrameDark);
    paper.fillRect(2, 2, kBoxWidth - 4, height - 4, kFrameLight);
    paper.fillRect(4, 4, kBoxWidth - 8, height - 8, kPanel);
    int y = kPadding;
    for (const Canvas& line : lines) {
        paper.drawOver(line, (kBoxWidth - line.width()) / 2, y);
        y += lineHeight;
    }
    c_.messageOk->move((kBoxWidth - c_.messageOk->width) / 2, height - kOkHeight - kPadding / 2);
    box.visible = true;
    refresh();
}

void MenuWindow::closeMessage() {
    if (!messages_.empty()) messages_.pop_front();
    c_.messageBox->visible = false;
    refresh();
    if (!messages_.empty()) {
        openNextMessage();
        return;
    }
    if (quitAfterMessages_) app().quit();
}

ClickHandler MenuWindow::guarded(std::function<void()> f) {
    return [this, f = std::move(f)] {
        if (!messageOpen()) f();
    };
}

MouseHandler MenuWindow::guardedMove(std::function<void(int buttons, int x, int y)> f) {
    return [this, f = std::move(f)](int buttons, int, int x, int y) {
        if (!messageOpen()) f(buttons, x, y);
    };
}

}  // namespace zib
