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

#include "editor/editor_window.h"
#include "game/game_window.h"
#include "game/menu_link.h"
#include "menu/configuration.h"
#include "menu/level_list.h"
#include "menu/speed_gauge.h"
#include "online/online_play.h"
#include "online/watch_play.h"
#include "platform/texts.h"
#include "platform/toolkit.h"
#include "state/game_mode.h"
#include "state/game_state.h"

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

// The controls of the window, named by their role; the handlers named after a control keep its
// layout name, given beside it. Valid while the window is loaded.
struct MenuControls {
    PictureBox* textureBox = nullptr;    // hidden: the metal texture
    PictureBox* itemsPicture = nullptr;  // Picture2: the menu picture with the five words
    PictureBox* scorePicture = nullptr;  // ČERVENÝ: / MODRÝ: panel
    PictureBox* divider = nullptr;       // divider strip
    PictureBox* titleLogo = nullptr;
    PictureBox* speedGauge = nullptr;
    PictureBox* modsHeading = nullptr;  // MAPY / MÓDY heading
    PictureBox* upArrow = nullptr;
    PictureBox* downArrow = nullptr;
    PictureBox* helpBox = nullptr;               // hidden: the help picture
    std::array<Label*, 5> itemHotAreas{};        // LB
    ImageArray* itemHighlights = nullptr;        // MEN: highlighted words
    std::array<Label*, 8> keySlots{};            // OP 0..7
    std::array<Label*, 4> keyRowCaptions{};      // OP 8..11
    Label* speedCaption = nullptr;               // OP 12
    ImageArray* gaugeCells = nullptr;            // UR
    Image* filledCell = nullptr;                 // picture of a filled cell
    Image* handleCell = nullptr;                 // picture of the handle
    Image* emptyCell = nullptr;                  // no picture: an empty cell
    Image* previewImage = nullptr;               // level preview
    std::array<Label*, kLevelRows> levelRows{};  // SM
    Label* redWinsLabel = nullptr;               // Label1
    Label* blueWinsLabel = nullptr;              // Label2
    Label* redKeysHeading = nullptr;             // "Červený" over the red key column
    Label* blueKeysHeading = nullptr;            // "Modrý"
    Label* gaugeHotArea = nullptr;               // Label5: takes the pointer over the cells
    Label* optionsOk = nullptr;
    Label* modsHeadingCover = nullptr;  // empty, over the MAPY half of the heading
    Label* modsOk = nullptr;
    Label* endlessModeLabel = nullptr;    // NEKONEČNÝ ZIB
    Label* classicModeLabel = nullptr;    // ZIB KLASIK
    Label* onePlayerModeLabel = nullptr;  // 1 HRÁC
    Label* startLengthLabel = nullptr;
    Label* growthLabel = nullptr;
    Label *growthUp = nullptr, *growthDown = nullptr;            // "+" and "-"
    Label *startLengthUp = nullptr, *startLengthDown = nullptr;  // "+" and "-"
    Timer* helpTimer = nullptr;                                  // Timer1: help scroll, 100 ms
    Timer* idleTimer = nullptr;                                  // Timer2: idle countdown, 20 s
    PictureBox* messageBox = nullptr;                            // the message dialog
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
    long long redWins() override { return redWins_; }
    long long blueWins() override { return blueWins_; }
    void setRedWins(long long count) override;
    void setBlueWins(long long count) override;
    void enableIdleTimer() override;
    void showMessage(const std::string& text) override;
    void demoEnded() override;

    // Online play (none unless set before the window loads): a status line, the host's START
    // starts the game on both machines, no demo games while a player is connected.
    void setOnline(OnlinePlay* online);
    // Watching a host's games instead (none unless set before the window loads): a status line
    // saying what is watched, no START, no demo games, Esc or EXIT leaves.
    void setWatch(WatchPlay* watch);
    // The status line sits in the bottom right corner: up to kStatusLines lines of
    // kStatusWidth pixels, filled from the bottom, never cut at the window's edge.
    static constexpr size_t kStatusLines = 4;
    static constexpr int kStatusWidth = 440;
    static FontSpec statusFont() { return FontSpec{"MS Sans Serif", 9.75, true}; }
    const std::string& onlineStatusText() const { return onlineStatusText_; }
    const std::array<Label*, kStatusLines>& onlineStatusLabels() const { return onlineStatus_; }

    // Opens the level editor on the level NAME (see EditorWindow::open); the menu hides until the
    // player leaves it, then lists the levels anew and chooses the one saved.
    void openEditor(const std::string& name);
    EditorWindow* editor() { return editor_.get(); }

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
    // The settings a demo game or FREE mode replaced, put back once when it ends; empty until
    // one is taken, and after the player chooses anew.
    struct DemoCopies {
        std::optional<bool> onePlayer;
        std::optional<std::string> levelName;
    };
    const DemoCopies& demoCopies() const { return copies_; }
    // Where EXIT writes ZIB.ini (known once the window is loaded).
    const std::string& configurationPath() const { return configurationPath_; }
    // The message shown now, empty when none.
    std::string openMessage() const;

    void Form_KeyUp(int code, int shift) override;
    void Form_KeyPress(int character) override;
    void Form_MouseMove(int buttons, int shift, int x, int y) override;
    void Form_Pad(int pad, PadInput input) override;  // menu_pad.cpp

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

    // menu_background.cpp: the metal texture behind the window (tileBackground above).
    void loadTexture();
    void fillEmptyBoxes();

    // menu_window.cpp: load, items, hover, the game.
    void applyConfiguration();
    void LB_Click(int index);
    void LB_MouseMove(int index);
    void Picture2_MouseMove();
    void MEN_MouseMove(int index);
    void backgroundRule();
    void startGame();
    void launchGame();
    void pollOnline();
    void failedStart(const std::string& message);
    void exitProgram();
    void playClick();
    void backFromEditor(const std::string& savedName);

    // menu_typing.cpp: typed words and the idle demo.
    void Timer2_Timer();
    void searchTypedWords();
    void switchFreeMode();
    // menu_language.cpp: LANG switches between Czech and English at once and remembers it.
    void switchLanguage();
    void showTexts();

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
    void chooseMode(GameMode mode);
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
    long long redWins_ = 0;  // shown in the win labels
    long long blueWins_ = 0;
    MenuPaths paths_;
    std::unique_ptr<GameWindow> game_;
    std::unique_ptr<EditorWindow> editor_;
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
    DemoCopies copies_;

    OnlinePlay* online_ = nullptr;
    WatchPlay* watch_ = nullptr;
    std::array<Label*, kStatusLines> onlineStatus_{};
    std::string onlineStatusText_;
    Timer* onlineTimer_ = nullptr;

    std::deque<std::string> messages_;  // the first one is shown
    bool quitAfterMessages_ = false;
};

}  // namespace zib
