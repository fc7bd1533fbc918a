#pragma once
// The menu window Form2: the five items on the left (START, MODS, OPTIONS, HELP, EXIT), and on the
// right the title panel with the win counts, the options panel, the mods panel or the scrolling
// help. It stays loaded for the whole run, hides while a game runs and owns the game window.
#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "game/game_state.h"
#include "game/game_window.h"
#include "game/menu_link.h"
#include "menu/configuration.h"
#include "menu/level_list.h"
#include "menu/speed_gauge.h"
#include "platform/toolkit.h"

namespace zib {

// Where the menu finds its files. The defaults are the shipped folder "baseq7", the player's own
// level folder and ZIB.ini as loadConfiguration() finds it.
struct MenuPaths {
    std::string levelFolder;        // empty: levelFolder()
    std::string configurationFile;  // empty: loadConfiguration() decides
    // The player's levels, listed with the shipped ones. Empty: playerLevelFolder() when
    // levelFolder is empty too, else none.
    std::string playerLevelFolder = {};
};

// The controls of the window, under their design names. Valid while the window is loaded.
struct MenuControls {
    PictureBox* Picture1 = nullptr;   // hidden: the metal texture
    PictureBox* Picture2 = nullptr;   // the menu picture with the five words
    PictureBox* Picture3 = nullptr;   // ČERVENÝ: / MODRÝ: panel
    PictureBox* Picture4 = nullptr;   // divider strip
    PictureBox* Picture5 = nullptr;   // title logo
    PictureBox* Picture6 = nullptr;   // speed gauge
    PictureBox* Picture7 = nullptr;   // MAPY / MÓDY heading
    PictureBox* Picture8 = nullptr;   // up arrow
    PictureBox* Picture9 = nullptr;   // down arrow
    PictureBox* Picture10 = nullptr;  // hidden: the help picture
    std::array<Label*, 5> LB{};       // hot areas of the items
    ImageArray* MEN = nullptr;        // highlighted words
    std::array<Label*, 13> OP{};      // key slots 0..7, row captions 8..11, speed caption 12
    ImageArray* UR = nullptr;         // gauge cells
    Image* DC = nullptr;              // filled cell picture
    Image* HLC = nullptr;             // handle picture
    Image* Image1 = nullptr;          // no picture: an empty cell
    Image* Image2 = nullptr;          // level preview
    std::array<Label*, 6> SM{};       // level rows
    Label *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
          *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr,
          *Label9 = nullptr, *Label10 = nullptr, *Label11 = nullptr, *Label12 = nullptr,
          *Label13 = nullptr, *Label14 = nullptr, *Label15 = nullptr, *Label16 = nullptr,
          *Label17 = nullptr;
    Timer* Timer1 = nullptr;           // help scroll, 100 ms
    Timer* Timer2 = nullptr;           // idle countdown, 20 s
    PictureBox* messageBox = nullptr;  // the message dialog
    Label* messageOk = nullptr;
};

class MenuWindow : public Form, public MenuLink {
  public:
    static constexpr int kIdleMs = 20000;
    static constexpr int kHelpTickMs = 100;
    static constexpr int kHelpStartY = 550;
    static constexpr int kHelpStep = 4;
    static constexpr int kHelpX = 360;

    MenuWindow(Application& app, GameState& state, MenuPaths paths = {});
    ~MenuWindow() override;

    // MenuLink: what the game window does to the menu.
    void showMenu() override;
    void hideMenu() override;
    std::string redWins() override;
    std::string blueWins() override;
    void setRedWins(const std::string& caption) override;
    void setBlueWins(const std::string& caption) override;
    void enableIdleTimer() override;
    void showMessage(const std::string& text) override;

    // Menu operations.
    void activateItem(int index);
    void showScorePanel(bool flag);
    void showOptionsPanel(bool flag);
    void showModsPanel(bool flag);
    void setHelpScroll(bool flag);
    void restartIdleTimer();
    void setTopmost(bool on);
    void tileBackground();

    // Read access for the program and the tests.
    const MenuControls& controls() const { return c_; }
    GameWindow& gameWindow() { return *game_; }
    std::optional<int> hoverItem() const { return hoverItem_; }
    std::optional<int> captureSlot() const { return captureSlot_; }
    std::u32string typedKeys() const { return typedKeys_; }
    int helpScrollY() const { return helpScrollY_; }
    const LevelList& levels() const { return levels_; }
    int savedScreenWidth() const { return savedScreenWidth_; }
    int savedScreenHeight() const { return savedScreenHeight_; }
    // The message shown now, empty when none.
    std::string openMessage() const;

    void Form_KeyUp(int code, int shift) override;
    void Form_KeyPress(int character) override;
    void Form_MouseMove(int buttons, int shift, int x, int y) override;

  protected:
    void design() override;
    void Form_Load() override;

  private:
    // menu_design.cpp: the controls, their places, captions and fonts.
    void designItems();
    void designScorePanel();
    void designOptionsPanel();
    void designModsPanel();
    void designMessageBox();
    Label& makeLabel(int left, int top, int width, int height, const char* caption,
                     const FontSpec& font, PictureBox* inside = nullptr);
    Picture loadAsset(const std::string& name);

    // menu_window.cpp: load, items, hover, the game.
    void loadTexture();
    void fillEmptyBoxes();
    void applyConfiguration();
    void LB_Click(int index);
    void LB_MouseMove(int index);
    void Picture2_MouseMove();
    void MEN_MouseMove(int index);
    void backgroundRule();
    void startGame();
    void failedStart(const std::string& message);
    void exitProgram();
    void playClick();

    // menu_typing.cpp: typed words and the idle demo.
    void Timer2_Timer();
    void searchTypedWords();
    void switchFreeMode();

    // options_panel.cpp
    void OP_Click(int index);
    void bindKey(int code);
    void setKeyCaption(int slot, const std::string& caption);
    void Label5_MouseMove(int buttons, int x);
    void showGaugeCells(const GaugeCells& cells);

    // mods_panel.cpp
    void showLevelRows();
    void SM_Click(int row);
    void scrollLevels(int direction);
    void chooseMode(int mode);
    void stepGrowth(int delta);
    void stepStartLength(int delta);
    void refreshSettingCaptions();

    // help_scroll.cpp
    void Timer1_Timer();

    // message_box.cpp
    bool messageOpen() const;
    void openNextMessage();
    void closeMessage();
    // Wraps a handler so that it does nothing while a message is open (the dialog is modal).
    ClickHandler guarded(std::function<void()> f);
    MouseHandler guardedMove(std::function<void(int buttons, int x, int y)> f);

    GameState& state_;
    MenuPaths paths_;
    std::unique_ptr<GameWindow> game_;
    MenuControls c_;

    std::optional<int> hoverItem_;
    std::u32string typedKeys_;
    std::optional<int> captureSlot_;
    int savedScreenWidth_ = 0;
    int savedScreenHeight_ = 0;
    int helpScrollY_ = kHelpStartY;
    LevelList levels_;
    GaugeCells gaugeCells_{};
    Picture texture_;
    std::string configurationPath_;
    bool configurationDamaged_ = false;

    std::deque<std::string> messages_;  // the first one is shown
    bool quitAfterMessages_ = false;
};

}  // namespace zib
