// The mods panel: six level rows with the arrows and the preview, the three game modes, and the
// growth per food item and the start length with their "+" and "-".
#include "game/level_loader.h"
#include "menu/menu_window.h"
#include "platform/files.h"
#include "platform/texts.h"

namespace zib {

namespace {
constexpr uint32_t kBlue = rgb(0, 0, 255);
constexpr int kMaxGrowth = 20;
constexpr int kMinGrowth = 1;
constexpr int kMaxStartLength = 200;
constexpr int kMinStartLength = 10;
}  // namespace

void MenuWindow::showModsPanel(bool flag) {
    for (Control* c : std::initializer_list<Control*>{
             c_.modsHeadingCover, c_.modsOk, c_.endlessModeLabel, c_.classicModeLabel,
             c_.onePlayerModeLabel, c_.startLengthLabel, c_.growthLabel, c_.growthUp, c_.growthDown,
             c_.startLengthUp, c_.startLengthDown, c_.previewImage, c_.modsHeading, c_.upArrow,
             c_.downArrow})
        c->visible = flag;
    for (Label* row : c_.levelRows)
        if (row) row->visible = flag;
    refresh();
}

void MenuWindow::showLevelRows() {
    std::array<std::string, kLevelRows> captions = levelRowCaptions(levels_);
    for (int k = 0; k < kLevelRows; ++k)
        c_.levelRows[static_cast<size_t>(k)]->setCaption(captions[static_cast<size_t>(k)]);
}

void MenuWindow::scrollLevels(int direction) {
    restartIdleTimer();
    scrollLevelList(levels_, direction);
    showLevelRows();
}

// A click on a level name shows its preview and chooses it. An empty row does nothing; a preview
// that cannot be loaded leaves the frame empty.
void MenuWindow::SM_Click(int row) {
    std::optional<std::string> name = levelNameForRow(levels_, row);
    if (!name) return;
    const std::string caption = c_.levelRows[static_cast<size_t>(row)]->caption();
    Picture preview;
    std::optional<std::string> file;
    const std::string folder = folderOfLevel(*name, paths_.playerLevelFolder, paths_.levelFolder);
    if (folder != paths_.levelFolder) {
        file = resolvePath(folder, caption + ".dat");  // a player's level: only its own preview
    } else {
        file = findDataFile("baseq7\\" + caption + ".dat");
        if (!file && !paths_.levelFolder.empty())
            file = resolvePath(paths_.levelFolder, caption + ".dat");
    }
    if (file) {
        try {
            preview = app().loadPicture(*file);
        } catch (const PictureError&) {
            preview = nullptr;
        }
    }
    c_.previewImage->setPicture(preview);
    refresh();
    state_.settings.levelName = *name;
    copies_.levelName.reset();  // the player's choice; Esc must not put an older one back
    restartIdleTimer();
}

void MenuWindow::chooseMode(GameMode mode) {
    Settings& s = state_.settings;
    s.gameMode = modeNumber(mode);
    applyGameModeFlags(s);
    // Esc must not put back an older one-player setting under this highlight.
    copies_.onePlayer.reset();
    c_.endlessModeLabel->setColour(mode == GameMode::EndlessGrowth ? kBlue : kBlack);
    c_.classicModeLabel->setColour(mode == GameMode::Classic ? kBlue : kBlack);
    c_.onePlayerModeLabel->setColour(mode == GameMode::OnePlayer ? kBlue : kBlack);
    restartIdleTimer();
}

// Values read from the file outside the menu's range stay; the buttons move them only as far as
// their conditions allow (a start length of 195 goes to 205 and no further).
void MenuWindow::stepGrowth(int delta) {
    int& growth = state_.settings.growthPerFood;
    if (delta > 0 && growth < kMaxGrowth) growth += delta;
    if (delta < 0 && growth > kMinGrowth) growth += delta;
    refreshSettingCaptions();
}

void MenuWindow::stepStartLength(int delta) {
    int& length = state_.settings.startLength;
    if (delta > 0 && length < kMaxStartLength) length += delta;
    if (delta < 0 && length > kMinStartLength) length += delta;
    refreshSettingCaptions();
}

void MenuWindow::refreshSettingCaptions() {
    const Settings& s = state_.settings;
    c_.startLengthLabel->setCaption(
        format(tr("POČET ČLÁNKÚ PŘI STARTU:{}"), std::to_string(s.startLength)));
    c_.growthLabel->setCaption(
        format(tr("NÁRUST PŘI SEBRÁNÍ:{}"), std::to_string(s.growthPerFood)));
}

}  // namespace zib
