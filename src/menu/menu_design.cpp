// The design of the menu window: every control with its place, size, caption and font. Panels other
// than the title start hidden; the handlers are wired here and written in the other menu files.
#include <array>

#include "menu/menu_window.h"
#include "menu/speed_gauge.h"
#include "platform/files.h"
#include "platform/texts.h"
#include "state/game_mode.h"

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
constexpr std::array<const char*, 4> kRowCaptions{N_("Nahoru"), N_("Dolu"), N_("Pravo"),
                                                  N_("Levo")};
constexpr std::array<int, 4> kKeyRows{56, 88, 120, 152};

}  // namespace

Picture MenuWindow::loadAsset(const std::string& name) {
    // A picture with words in it may have an English twin: NAME-en.EXT beside it.
    std::optional<std::string> found;
    if (currentLanguage() == Language::English) {
        const size_t dot = name.rfind('.');
        if (dot != std::string::npos)
            found = findDataFile("baseq7/menu/" + name.substr(0, dot) + "-en" + name.substr(dot));
    }
    if (!found) found = findDataFile("baseq7/menu/" + name);
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
    c_.textureBox = &addPictureBox();
    c_.textureBox->autoSize = true;
    c_.textureBox->visible = false;
    c_.helpBox = &addPictureBox();
    c_.helpBox->autoSize = true;
    c_.helpBox->visible = false;
    if (Picture help = loadAsset("helptext.bmp")) c_.helpBox->setPicture(help);

    designItems();
    c_.divider = &addPictureBox();
    c_.divider->move(320, 0);
    c_.divider->width = 27;
    c_.divider->height = 600;
    c_.divider->setPicture(loadAsset("divider.png"));

    designScorePanel();
    designOptionsPanel();
    designModsPanel();
    designMessageBox();

    c_.helpTimer = &addTimer(kHelpTickMs, false);
    c_.helpTimer->onTick = [this] { Timer1_Timer(); };
    c_.idleTimer = &addTimer(kIdleMs, true);
    c_.idleTimer->onTick = [this] { Timer2_Timer(); };
}

void MenuWindow::designItems() {
    c_.itemsPicture = &addPictureBox();
    c_.itemsPicture->move(0, 0);
    c_.itemsPicture->width = 330;
    c_.itemsPicture->height = 400;
    c_.itemsPicture->setPicture(loadAsset("menu.png"));
    c_.itemsPicture->onMouseMove = guardedMove([this](int, int, int) { Picture2_MouseMove(); });

    // The highlights lie below the hot areas, so a pointer over a word reaches its hot area.
    c_.itemHighlights = &addImageArray(c_.itemsPicture);
    for (int i = 0; i < 5; ++i) {
        Image& m = i == 0 ? (*c_.itemHighlights)[0] : c_.itemHighlights->create(i);
        m.setPicture(loadAsset(kHighlightFiles[static_cast<size_t>(i)]));
        const ItemPlace& p = kItemHighlights[static_cast<size_t>(i)];
        m.move(p.left, p.top);
        m.visible = false;
        m.onMouseMove = guardedMove([this, i](int, int, int) { MEN_MouseMove(i); });
    }
    for (int i = 0; i < 5; ++i) {
        const ItemPlace& p = kItemHotAreas[static_cast<size_t>(i)];
        Label& hot =
            makeLabel(p.left, p.top, p.width, p.height, "", sansSerif(8.25), c_.itemsPicture);
        hot.onMouseMove = guardedMove([this, i](int, int, int) { LB_MouseMove(i); });
        hot.onClick = guarded([this, i] { LB_Click(i); });
        c_.itemHotAreas[static_cast<size_t>(i)] = &hot;
    }
}

void MenuWindow::designScorePanel() {
    c_.redWinsLabel = &makeLabel(672, 40, 121, 65, std::to_string(redWins_).c_str(), arial(48));
    c_.blueWinsLabel = &makeLabel(672, 120, 121, 65, std::to_string(blueWins_).c_str(), arial(48));
    c_.scorePicture = &addPictureBox();
    c_.scorePicture->width = 333;
    c_.scorePicture->height = 157;
    c_.scorePicture->setPicture(loadAsset("score.png"));
    c_.titleLogo = &addPictureBox();
    c_.titleLogo->width = 401;
    c_.titleLogo->height = 344;
    c_.titleLogo->setPicture(loadAsset("logo.png"));
    c_.titleLogo->onMouseMove = guardedMove([this](int, int, int) { restartIdleTimer(); });
}

void MenuWindow::designOptionsPanel() {
    c_.blueKeysHeading = &makeLabel(488, 8, 130, 29, tr("Modrý"), arial(18));
    c_.redKeysHeading = &makeLabel(624, 8, 150, 29, tr("Červený"), arial(18));
    for (int i = 0; i < 13; ++i) {
        Label* l = nullptr;
        if (i < 8) {
            int left = i % 2 == 0 ? 488 : 624;
            l = &makeLabel(left, kKeyRows[static_cast<size_t>(i / 2)], 75, 29,
                           kKeyCaptions[static_cast<size_t>(i)], arial(18));
            c_.keySlots[static_cast<size_t>(i)] = l;
        } else if (i < 12) {
            l = &makeLabel(360, kKeyRows[static_cast<size_t>(i - 8)], 120, 29,
                           tr(kRowCaptions[static_cast<size_t>(i - 8)]), arial(18));
            c_.keyRowCaptions[static_cast<size_t>(i - 8)] = l;
        } else {
            l = &makeLabel(368, 219, 405, 37, tr("RYCHLOST HRY"), arial(24));
            c_.speedCaption = l;
        }
        l->onClick = guarded([this, i] { OP_Click(i); });
    }
    c_.optionsOk = &makeLabel(688, 528, 105, 65, "OK", arial(48));
    c_.optionsOk->onClick = guarded([this] {
        showOptionsPanel(false);
        showScorePanel(true);
    });

    c_.speedGauge = &addPictureBox();
    c_.speedGauge->width = 406;
    c_.speedGauge->height = 76;
    c_.speedGauge->setPicture(loadAsset("gauge.png"));
    // The three pictures a cell can show: filled, handle, and none.
    c_.filledCell = &addImage(c_.speedGauge);
    c_.filledCell->setPicture(loadAsset("cell.png"));
    c_.handleCell = &addImage(c_.speedGauge);
    c_.handleCell->setPicture(loadAsset("handle.png"));
    c_.emptyCell = &addImage(c_.speedGauge);
    for (Image* hidden : {c_.filledCell, c_.handleCell, c_.emptyCell}) hidden->visible = false;
    c_.gaugeCells = &addImageArray(c_.speedGauge);
    for (int i = 0; i < kSpeedPositions; ++i) {
        Image& cell = i == 0 ? (*c_.gaugeCells)[0] : c_.gaugeCells->create(i);
        cell.move(45 + 20 * i, 30);
        cell.visible = true;
    }
    // The hot area over the cells takes the pointer.
    c_.gaugeHotArea = &makeLabel(45, 30, 320, 20, "", sansSerif(8.25), c_.speedGauge);
    c_.gaugeHotArea->onMouseMove =
        guardedMove([this](int buttons, int x, int) { Label5_MouseMove(buttons, x); });
    showOptionsPanel(false);
}

void MenuWindow::designModsPanel() {
    c_.levelRows[0] = &makeLabel(376, 80, 190, 29, "Label10", sansSerif(17.25));
    c_.levelRows[0]->onClick = guarded([this] { SM_Click(0); });
    c_.endlessModeLabel = &makeLabel(616, 80, 175, 24, tr("NEKONEČNÝ ZIB"), sansSerif(13.5));
    c_.classicModeLabel = &makeLabel(648, 104, 140, 24, tr("ZIB KLASIK"), sansSerif(13.5));
    c_.onePlayerModeLabel = &makeLabel(668, 128, 120, 24, tr("1 HRÁC"), sansSerif(13.5));
    c_.growthLabel = &makeLabel(424, 280, 276, 24, tr("NÁRUST PŘI SEBRÁNÍ:"), sansSerif(13.5));
    c_.growthUp = &makeLabel(704, 280, 18, 24, "+", sansSerif(13.5));
    c_.growthDown = &makeLabel(723, 279, 18, 24, "-", sansSerif(13.5));
    c_.startLengthLabel =
        &makeLabel(360, 304, 340, 24, tr("POČET ČLÁNKÚ PŘI STARTU:"), sansSerif(13.5));
    c_.startLengthUp = &makeLabel(704, 305, 18, 24, "+", sansSerif(13.5));
    c_.startLengthDown = &makeLabel(723, 304, 18, 24, "-", sansSerif(13.5));
    c_.previewImage = &addImage();
    c_.previewImage->move(352, 336);
    c_.modsOk = &makeLabel(688, 528, 105, 65, "OK", arial(48));

    c_.endlessModeLabel->onClick = guarded([this] { chooseMode(GameMode::EndlessGrowth); });
    c_.classicModeLabel->onClick = guarded([this] { chooseMode(GameMode::Classic); });
    c_.onePlayerModeLabel->onClick = guarded([this] { chooseMode(GameMode::OnePlayer); });
    // Each press applies one step: a double click gives two.
    auto both = [this](Label* l, std::function<void()> step) {
        l->onClick = guarded(step);
        l->onDblClick = guarded(step);
    };
    both(c_.growthUp, [this] { stepGrowth(+1); });
    both(c_.growthDown, [this] { stepGrowth(-1); });
    both(c_.startLengthUp, [this] { stepStartLength(+10); });
    both(c_.startLengthDown, [this] { stepStartLength(-10); });
    c_.modsOk->onClick = guarded([this] {
        showModsPanel(false);
        showScorePanel(true);
    });

    c_.modsHeading = &addPictureBox();
    c_.modsHeading->move(359, 10);
    c_.modsHeading->width = 431;
    c_.modsHeading->height = 64;
    c_.modsHeading->setPicture(loadAsset("heading.png"));
    c_.modsHeadingCover = &makeLabel(0, 0, 215, 64, "", sansSerif(8.25), c_.modsHeading);
    c_.upArrow = &addPictureBox();
    c_.upArrow->move(530, 80);
    c_.upArrow->width = 47;
    c_.upArrow->height = 52;
    c_.upArrow->setPicture(loadAsset("up.png"));
    c_.downArrow = &addPictureBox();
    c_.downArrow->move(530, 220);
    c_.downArrow->width = 45;
    c_.downArrow->height = 52;
    c_.downArrow->setPicture(loadAsset("down.png"));
    // Click and double click both scroll, so a double click moves the list twice.
    c_.upArrow->onClick = guarded([this] { scrollLevels(-1); });
    c_.upArrow->onDblClick = guarded([this] { scrollLevels(-1); });
    c_.downArrow->onClick = guarded([this] { scrollLevels(+1); });
    c_.downArrow->onDblClick = guarded([this] { scrollLevels(+1); });
    showModsPanel(false);
}

// The captions the menu wrote at its design, in the current language; the pictures with words in
// them (loadAsset takes their English twins).
void MenuWindow::showTexts() {
    if (!c_.speedCaption) return;  // not designed yet
    c_.blueKeysHeading->setCaption(tr("Modrý"));
    c_.redKeysHeading->setCaption(tr("Červený"));
    for (size_t i = 0; i < c_.keyRowCaptions.size(); ++i)
        c_.keyRowCaptions[i]->setCaption(tr(kRowCaptions[i]));
    c_.endlessModeLabel->setCaption(tr("NEKONEČNÝ ZIB"));
    c_.classicModeLabel->setCaption(tr("ZIB KLASIK"));
    c_.onePlayerModeLabel->setCaption(tr("1 HRÁC"));
    refreshSettingCaptions();
    c_.speedCaption->setCaption(
        speedCaption(gaugeForSpeed(state_.settings.gameSpeed, gaugeCells_).captionValue));
    c_.scorePicture->setPicture(loadAsset("score.png"));
    c_.modsHeading->setPicture(loadAsset("heading.png"));
    if (Picture help = loadAsset("helptext.bmp")) c_.helpBox->setPicture(help);
    refresh();
}

}  // namespace zib
