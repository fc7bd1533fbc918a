// The menu window's background: the metal texture tiled from the top-left corner, a plain dark
// grey without it, and the picture boxes whose pictures are missing filled with what they cover.
#include "menu/menu_window.h"
#include "platform/files.h"
#include "platform/texts.h"

namespace zib {

namespace {
constexpr const char* kTextureFile = "BASEQ7\\kovy\\plech2.jpg";
constexpr uint32_t kMissingTextureGrey = rgb(64, 64, 64);
}  // namespace

void MenuWindow::loadTexture() {
    texture_ = nullptr;
    if (auto found = findDataFile(kTextureFile)) {
        try {
            c_.textureBox->setPicture(app().loadPicture(*found));
            texture_ = c_.textureBox->picture();
        } catch (const PictureError&) {
            texture_ = nullptr;
        }
    }
    // Without the texture the menu still works, on a plain dark background.
    if (!texture_)
        showMessage(
            tr("Nelze načíst obrázek pozadí menu \"BASEQ7\\kovy\\plech2.jpg\", menu bude "
               "bez textury."));
    tileBackground();
}

void MenuWindow::tileBackground() {
    Canvas& back = canvas();
    if (!texture_ || texture_->empty()) {
        back.fill(kMissingTextureGrey);
        return;
    }
    int w = texture_->width();
    int h = texture_->height();
    for (int x = 0; x < kWidth; x += w)
        for (int y = 0; y < kHeight; y += h) back.blit(*texture_, 0, 0, w, h, x, y);
}

// A picture box whose picture is missing shows the background it covers rather than a white hole.
void MenuWindow::fillEmptyBoxes() {
    for (PictureBox* box : {c_.itemsPicture, c_.scorePicture, c_.divider, c_.titleLogo,
                            c_.speedGauge, c_.modsHeading, c_.upArrow, c_.downArrow}) {
        if (box->picture()) continue;
        box->resizeCanvas(box->width, box->height);
        box->canvas().blit(canvas(), box->left, box->top, box->width, box->height, 0, 0);
    }
}

}  // namespace zib
