// The options panel: the eight key slots (click a slot, then press the new key) and the speed
// gauge with its sixteen cells.
#include <algorithm>
#include <cstdint>

#include "menu/key_names.h"
#include "menu/menu_window.h"

namespace zib {

namespace {
constexpr uint32_t kBlue = rgb(0, 0, 255);
constexpr int kSlotWidth = 75;
}  // namespace

void MenuWindow::showOptionsPanel(bool flag) {
    c_.redKeysHeading->visible = flag;
    c_.blueKeysHeading->visible = flag;
    for (Label* l : c_.keySlots) l->visible = flag;
    for (Label* l : c_.keyRowCaptions) l->visible = flag;
    c_.speedCaption->visible = flag;
    c_.speedGauge->visible = flag;
    c_.optionsOk->visible = flag;
    refresh();
}

// A click on a slot arms it: its caption turns blue and the next key release anywhere in the menu
// binds it. A slot armed before stays blue until it is bound itself.
void MenuWindow::OP_Click(int index) {
    if (index < 8) {
        c_.keySlots[static_cast<size_t>(index)]->setColour(kBlue);
        captureSlot_ = index;
    }
    restartIdleTimer();
}

void MenuWindow::bindKey(int code) {
    int slot = *captureSlot_;
    // Codes are kept as 16-bit integers, as the game stores them.
    state_.settings.keyBindings[static_cast<size_t>(slot)] = static_cast<int16_t>(code);
    Label& l = *c_.keySlots[static_cast<size_t>(slot)];
    l.setColour(kBlack);
    setKeyCaption(slot, nameOfKey(code));
    captureSlot_.reset();
}

// A long key name ("BACKSPACE") would be cut by the slot's 75 pixels: the slot then grows to the
// right, up to the next column or the window's edge.
void MenuWindow::setKeyCaption(int slot, const std::string& caption) {
    Label& l = *c_.keySlots[static_cast<size_t>(slot)];
    l.setCaption(caption);
    int textWidth = services().graphics.renderText(caption, l.font(), kBlack).width();
    int room = (slot % 2 == 0 ? c_.keySlots[1]->left : kWidth) - l.left - 2;
    l.width = std::clamp(textWidth + 2, kSlotWidth, std::max(kSlotWidth, room));
}

// The gauge follows the pointer only while the left button alone is held.
void MenuWindow::Label5_MouseMove(int buttons, int x) {
    std::optional<GaugeDrag> drag = gaugeDrag(x, c_.gaugeHotArea->width, buttons);
    if (!drag) return;
    showGaugeCells(drag->cells);
    state_.settings.gameSpeed = drag->gameSpeed;
    c_.speedCaption->setCaption(speedCaption(drag->captionValue));
}

void MenuWindow::showGaugeCells(const GaugeCells& cells) {
    gaugeCells_ = cells;
    for (int i = 0; i < kSpeedPositions; ++i) {
        const Image* from = c_.emptyCell;
        if (cells[static_cast<size_t>(i)] == GaugeCell::Filled) from = c_.filledCell;
        if (cells[static_cast<size_t>(i)] == GaugeCell::Handle) from = c_.handleCell;
        Image& cell = (*c_.gaugeCells)[i];
        cell.setPicture(from->picture());
        cell.move(45 + 20 * i, 30);
    }
}

}  // namespace zib
