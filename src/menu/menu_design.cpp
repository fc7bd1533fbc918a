// The design of the menu window: every control with its place, size, caption and font. Panels other
// than the title start hidden; the handlers are wired here and written in the other menu files.
#include <array>

#include "menu/menu_window.h"
#include "platform/files.h"

namespace zib {

namespace {

FontSpec arial(double points) {
    return FontSpec{"Arial", points, true};
}
FontSpec sansSerif(double points) {
    return FontSpec{"MS Sans Serif", points, true};
}

struct ItemPlace {
    int left, top, width, height;
};

// Hot areas of START, MODS, OPTIONS, HELP, EXIT on the menu picture, and their highlights.
constexpr std::array<ItemPlace, 5> kItemHotAreas{{
    {40, 56, 217, 49},
    {48, 128, 193, 49},
    {48, 200, 273, 49},
    {48, 272, 161, 49},
    {48, 344, 137, 49},
}};
constexpr std::array<ItemPlace, 5> kItemHighlights{{
    {0, 48, 266, 70},
    {0, 120, 242, 65},
    {0, 190, 330, 67},
    {0, 264, 213, 65},
    {0, 337, 188, 63},
}};
constexpr std::array<const char*, 5> kHighlightFiles{"start.png", "mods.png", "options.png",
                                                     "help.png", "exit.png"};

// The key slots: blue column at x 488, red at 624, rows up, down, right, left.
constexpr std::array<const char*, 8> kKeyCaptions{"W", "UP",    "S", "DOWN",
                                                  "D", "RIGHT", "A", "LEFT"};
constexpr std::array<const char*, 4> kRowCaptions{"Nahoru", "Dolu", "Pravo", "Levo"};
constexpr std::array<int, 4> kKeyRows{56, 88, 120, 152};

}  // namespace

Picture MenuWindow::loadAsset(const std::string& name) {
    auto found = findDataFile("baseq7/menu/" + name);
    if (!found) return nullptr;  // a missing picture leaves its control empty
    try {
        return app().loadPicture(*found);
    } catch (const PictureError&) {
        return nullptr;
    }
}

Label& MenuWindow::makeLabel(int left, int top, int width, int height, const char* caption,
                             const FontSpec& font, PictureBox* inside) {
    Label& l = addLabel(inside);
    l.move(left, top);
    l.width = width;
    l.height = height;
    l.setFont(font);
    l.setCaption(caption);
    return l;
}

void MenuWindow::design() {
    c_ = MenuControls{};
    // Hidden holders of the texture and of the help picture.
    c_.Picture1 = &addPictureBox();
    c_.Picture1->autoSize = true;
    c_.Picture1->visible = false;
    c_.Picture10 = &addPictureBox();
    c_.Picture10->autoSize = true;
    c_.Picture10->visible = false;
    if (Picture help = loadAsset("helptext.bmp")) c_.Picture10->setPicture(help);

    designItems();
    c_.Picture4 = &addPictureBox();
    c_.Picture4->move(320, 0);
    c_.Picture4->width = 27;
    c_.Picture4->height = 600;
    c_.Picture4->setPicture(loadAsset("divider.png"));

    designScorePanel();
    designOptionsPanel();
    designModsPanel();
    designMessageBox();

    c_.Timer1 = &addTimer(kHelpTickMs, false);
    c_.Timer1->onTick = [this] { Timer1_Timer(); };
    c_.Timer2 = &addTimer(kIdleMs, true);
    c_.Timer2->onTick = [this] { Timer2_Timer(); };
}

void MenuWindow::designItems() {
    c_.Picture2 = &addPictureBox();
    c_.Picture2->move(0, 0);
    c_.Picture2->width = 330;
    c_.Picture2->height = 400;
    c_.Picture2->setPicture(loadAsset("menu.png"));
    c_.Picture2->onMouseMove = guardedMove([this](int, int, int) { Picture2_MouseMove(); });

    // The highlights lie below the hot areas, so a pointer over a word reaches its hot area.
    c_.MEN = &addImageArray(c_.Picture2);
    for (int i = 0; i < 5; ++i) {
        Image& m = i == 0 ? (*c_.MEN)[0] : c_.MEN->create(i);
        m.setPicture(loadAsset(kHighlightFiles[static_cast<size_t>(i)]));
        const ItemPlace& p = kItemHighlights[static_cast<size_t>(i)];
        m.move(p.left, p.top);
        m.visible = false;
        m.onMouseMove = guardedMove([this, i](int, int, int) { MEN_MouseMove(i); });
    }
    for (int i = 0; i < 5; ++i) {
        const ItemPlace& p = kItemHotAreas[static_cast<size_t>(i)];
        Label& hot = makeLabel(p.left, p.top, p.width, p.height, "", sansSerif(8.25), c_.Picture2);
        hot.onMouseMove = guardedMove([this, i](int, int, int) { LB_MouseMove(i); });
        hot.onClick = guarded([this, i] { LB_Click(i); });
        c_.LB[static_cast<size_t>(i)] = &hot;
    }
}

void MenuWindow::designScorePanel() {
    c_.Label1 = &makeLabel(672, 40, 121, 65, "0", arial(48));
    c_.Label2 = &makeLabel(672, 120, 121, 65, "0", arial(48));
    c_.Picture3 = &addPictureBox();
    c_.Picture3->width = 333;
    c_.Picture3->height = 157;
    c_.Picture3->setPicture(loadAsset("score.png"));
    c_.Picture5 = &addPictureBox();
    c_.Picture5->width = 401;
    c_.Picture5->height = 344;
    c_.Picture5->setPicture(loadAsset("logo.png"));
    c_.Picture5->onMouseMove = guardedMove([this](int, int, int) { restartIdleTimer(); });
}

void MenuWindow::designOptionsPanel() {
    c_.Label4 = &makeLabel(488, 8, 130, 29, "Modrý", arial(18));
    c_.Label3 = &makeLabel(624, 8, 150, 29, "Červený", arial(18));
    for (int i = 0; i < 13; ++i) {
        Label* l = nullptr;
        if (i < 8) {
            int left = i % 2 == 0 ? 488 : 624;
            l = &makeLabel(left, kKeyRows[static_cast<size_t>(i / 2)], 75, 29,
                           kKeyCaptions[static_cast<size_t>(i)], arial(18));
        } else if (i < 12) {
            l = &makeLabel(360, kKeyRows[static_cast<size_t>(i - 8)], 120, 29,
                           kRowCaptions[static_cast<size_t>(i - 8)], arial(18));
        } else {
            l = &makeLabel(368, 219, 405, 37, "RYCHLOST HRY", arial(24));
        }
        l->onClick = guarded([this, i] { OP_Click(i); });
        c_.OP[static_cast<size_t>(i)] = l;
    }
    c_.Label6 = &makeLabel(688, 528, 105, 65, "OK", arial(48));
    c_.Label6->onClick = guarded([this] {
        showOptionsPanel(false);
        showScorePanel(true);
    });

    c_.Picture6 = &addPictureBox();
    c_.Picture6->width = 406;
    c_.Picture6->height = 76;
    c_.Picture6->setPicture(loadAsset("gauge.png"));
    // The three pictures a cell can show: filled, handle, and none.
    c_.DC = &addImage(c_.Picture6);
    c_.DC->setPicture(loadAsset("cell.png"));
    c_.HLC = &addImage(c_.Picture6);
    c_.HLC->setPicture(loadAsset("handle.png"));
    c_.Image1 = &addImage(c_.Picture6);
    for (Image* hidden : {c_.DC, c_.HLC, c_.Image1}) hidden->visible = false;
    c_.UR = &addImageArray(c_.Picture6);
    for (int i = 0; i < kSpeedPositions; ++i) {
        Image& cell = i == 0 ? (*c_.UR)[0] : c_.UR->create(i);
        cell.move(45 + 20 * i, 30);
        cell.visible = true;
    }
    // The hot area over the cells takes the pointer.
    c_.Label5 = &makeLabel(45, 30, 320, 20, "", sansSerif(8.25), c_.Picture6);
    c_.Label5->onMouseMove =
        guardedMove([this](int buttons, int x, int) { Label5_MouseMove(buttons, x); });
    showOptionsPanel(false);
}

void MenuWindow::designModsPanel() {
    c_.SM[0] = &makeLabel(376, 80, 190, 29, "Label10", sansSerif(17.25));
    c_.SM[0]->onClick = guarded([this] { SM_Click(0); });
    c_.Label9 = &makeLabel(616, 80, 175, 24, "NEKONEČNÝ ZIB", sansSerif(13.5));
    c_.Label10 = &makeLabel(648, 104, 140, 24, "ZIB KLASIK", sansSerif(13.5));
    c_.Label11 = &makeLabel(668, 128, 120, 24, "1 HRÁC", sansSerif(13.5));
    c_.Label13 = &makeLabel(424, 280, 276, 24, "NÁRUST PŘI SEBRÁNÍ:", sansSerif(13.5));
    c_.Label14 = &makeLabel(704, 280, 18, 24, "+", sansSerif(13.5));
    c_.Label15 = &makeLabel(723, 279, 18, 24, "-", sansSerif(13.5));
    c_.Label12 = &makeLabel(360, 304, 340, 24, "POČET ČLÁNKÚ PŘI STARTU:", sansSerif(13.5));
    c_.Label16 = &makeLabel(704, 305, 18, 24, "+", sansSerif(13.5));
    c_.Label17 = &makeLabel(723, 304, 18, 24, "-", sansSerif(13.5));
    c_.Image2 = &addImage();
    c_.Image2->move(352, 336);
    c_.Label8 = &makeLabel(688, 528, 105, 65, "OK", arial(48));

    c_.Label9->onClick = guarded([this] { chooseMode(1); });
    c_.Label10->onClick = guarded([this] { chooseMode(2); });
    c_.Label11->onClick = guarded([this] { chooseMode(3); });
    // Each press applies one step: a double click gives two.
    auto both = [this](Label* l, std::function<void()> step) {
        l->onClick = guarded(step);
        l->onDblClick = guarded(step);
    };
    both(c_.Label14, [this] { stepGrowth(+1); });
    both(c_.Label15, [this] { stepGrowth(-1); });
    both(c_.Label16, [this] { stepStartLength(+10); });
    both(c_.Label17, [this] { stepStartLength(-10); });
    c_.Label8->onClick = guarded([this] {
        showModsPanel(false);
        showScorePanel(true);
    });

    c_.Picture7 = &addPictureBox();
    c_.Picture7->move(359, 10);
    c_.Picture7->width = 431;
    c_.Picture7->height = 64;
    c_.Picture7->setPicture(loadAsset("heading.png"));
    c_.Label7 = &makeLabel(0, 0, 215, 64, "", sansSerif(8.25), c_.Picture7);
    c_.Picture8 = &addPictureBox();
    c_.Picture8->move(530, 80);
    c_.Picture8->width = 47;
    c_.Picture8->height = 52;
    c_.Picture8->setPicture(loadAsset("up.png"));
    c_.Picture9 = &addPictureBox();
    c_.Picture9->move(530, 220);
    c_.Picture9->width = 45;
    c_.Picture9->height = 52;
    c_.Picture9->setPicture(loadAsset("down.png"));
    // Click and double click both scroll, so a double click moves the list twice.
    c_.Picture8->onClick = guarded([this] { scrollLevels(-1); });
    c_.Picture8->onDblClick = guarded([this] { scrollLevels(-1); });
    c_.Picture9->onClick = guarded([this] { scrollLevels(+1); });
    c_.Picture9->onDblClick = guarded([this] { scrollLevels(+1); });
    showModsPanel(false);
}

}  // namespace zib
