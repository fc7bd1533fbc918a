#pragma once
// The game window form1: its design, Form_Load with the level, the game loop in Timer1_Timer, the
// key handlers and the end-of-game pause in Timer2_Timer. The object outlives every unload, so its
// own fields (frame counter, stop and restart requests) carry over from one game to the next.
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

#include "game/game_step.h"
#include "game/game_timings.h"
#include "game/level_loader.h"
#include "game/menu_link.h"
#include "game/tick_link.h"
#include "platform/toolkit.h"
#include "snakes/play_field.h"
#include "snakes/sprite_pictures.h"
#include "state/game_state.h"

namespace zib {

// Watches a running game: the simulator prints its trace from these calls.
class GameObserver {
  public:
    virtual ~GameObserver() = default;
    virtual void gameStarting() {}  // Timer1_Timer on entry, before anything of the game runs
    virtual void gameStarted() {}   // Timer1_Timer before the loop (food placed, routes planned)
    virtual void tickCompleted(int) {}  // after the end test of tick n (n from 1)
    virtual void gameFinished() {}      // after the result step, or the early return of a demo
    virtual void keyDown(int) {}        // a key event reaches the window, before it acts on it
    virtual void keyPress(int) {}
    // A tick of a game whose link confirms its ticks (TickLink::confirmsTicks): its keys as they
    // were applied and the state after it.
    virtual void tickConfirmed(int, std::span<const TickKey>, const GameState&) {}
};

class GameWindow : public Form {
  public:
    GameWindow(Application& app, GameState& state, MenuLink& menu);

    void setObserver(GameObserver* observer) { observer_ = observer; }
    // Who hears the game's end and its win counts: the menu given at construction, or another
    // window that plays a game through this one (the level editor's test play).
    void setMenuLink(MenuLink& menu) { menu_ = &menu; }
    MenuLink& menuLink() { return *menu_; }
    // A second observer, told first: the replay recorder.
    void setRecorder(GameObserver* recorder) { recorder_ = recorder; }
    // A game linked with another program: keys go through the link (none unless set).
    void setTickLink(TickLink* link) { tickLink_ = link; }
    TickLink* tickLink() const { return tickLink_; }
    // A key as if it had come from the keyboard, past the link: how the link applies keys.
    void applyKeyDown(int code);
    void applyKeyPress(int character);
    // The link's word that tick n is final: the recorder (and the observer) hear of it.
    void confirmTick(int n, std::span<const TickKey> keys, const GameState& state) {
        if (recorder_) recorder_->tickConfirmed(n, keys, state);
        if (observer_) observer_->tickConfirmed(n, keys, state);
    }
    // A level that failed to load: the message, else empty. The window stays unloaded then.
    const std::string& loadError() const { return loadError_; }

    // The folder of the level files and their pictures; dataFolder() unless set.
    void setLevelFolder(std::string folder) { levelFolder_ = std::move(folder); }
    // The player's own levels (none unless set): a level there is read from there, and its
    // pictures from there or else from the level folder.
    void setPlayerLevelFolder(std::string folder) { playerLevelFolder_ = std::move(folder); }
    const std::string& levelFolder() const { return levelFolder_; }
    // A level from the other player's machine: while set, Form_Load reads it (see
    // readNetworkLevel; its pictures from the player's folder, then the level folder) instead of
    // the file of settings.levelName. nullopt goes back to the file.
    void setNetworkLevel(std::optional<NetworkLevel> level) { networkLevel_ = std::move(level); }
    const std::optional<NetworkLevel>& networkLevel() const { return networkLevel_; }
    const std::string& playerLevelFolder() const { return playerLevelFolder_; }
    // Where the lines about a network level's missing pictures go; std::cerr unless set (null
    // sets std::cerr again).
    void setWarningStream(std::ostream* stream);

    // Read access for the simulator and tests (valid while the window is loaded).
    const Image& food() const;
    ImageArray& redSprites();
    ImageArray& blueSprites();
    // 1..10: the picture holder whose picture an image shows (C1..C10 / CM1..CM10); the design
    // picture of element 0 counts as 1; 0 for none.
    int pictureHolderOf(const Image& sprite, bool blue) const;
    std::string fpsCaption() const;
    std::string resultCaption() const;
    bool gameTimerEnabled() const;
    bool endPauseTimerEnabled() const;
    uint32_t endPauseInterval() const;
    bool stopRequested() const { return state_.stopRequested; }
    bool restartRequested() const { return restartRequested_; }
    int frameCount() const { return frameCount_; }
    // Whether the food could be placed (false only when no candidate cell was free).
    bool foodPresent() const { return state_.foodPresent; }
    // Moves every sprite to where the state says: the snakes' segments (a sprite whose index is
    // no longer in a body is hidden) and the food. A state put back from a copy is drawn so.
    void drawState();
    // Shows a state changed outside the game loop (a step taken by hand, a state put back) and
    // plays the given sounds.
    void present(const TickSounds& sounds) {
        playSounds(sounds);
        drawState();
    }
    // The game loop of Timer1_Timer is running now; it has run and ended in this load.
    bool loopRunning() const { return phase_ == Phase::Playing; }
    bool gameEnded() const { return phase_ == Phase::Finished; }
    // The window's controls as the snakes' steps see them (valid while loaded).
    PlayField& playField() { return *field_; }
    Label& fpsLabel() { return loaded(fpsLabel_); }
    // The frame counter shows in the games loaded from now on (typing FPS in the menu).
    void setFpsShown(bool on) { fpsShown_ = on; }
    bool fpsShown() const { return fpsShown_; }
    Label& resultLabel() { return loaded(resultLabel_); }
    Label& redWinsLabel() { return loaded(redWinsLabel_); }
    Label& blueWinsLabel() { return loaded(blueWinsLabel_); }
    const Canvas& textureCanvas();  // drawn when first asked for

    // The event handlers, in the window's own names.
    void Timer1_Timer();
    void Timer2_Timer();
    void Form_KeyDown(int code, int shift) override;
    void Form_KeyPress(int character) override;
    void Form_Pad(int pad, PadInput input) override;  // game_pad.cpp
    void AnimateFood();

  protected:
    void design() override;
    void Form_Load() override;
    void Form_Unload() override;

  private:
    enum class Phase { Loaded, Starting, Playing, Finished };

    void LoadLevel(const ReadyLevel& level);
    void failLoad(std::string message);
    void resetPlayState();
    // After a tick: the segments the step moved or repictured (the old and the new head of each
    // snake) and the food.
    void drawTick(int redNeck, int blueNeck);
    void drawPiece(ImageArray& sprites, const SnakeRecord& snake, const SnakePictures& art,
                   int index);
    void drawFood();
    void playSounds(const TickSounds& sounds);
    void showResult();
    static Label& loaded(Label* label);

    GameState& state_;
    MenuLink* menu_;
    GameObserver* observer_ = nullptr;
    GameObserver* recorder_ = nullptr;
    TickLink* tickLink_ = nullptr;
    std::string loadError_;
    std::string levelFolder_;
    std::string playerLevelFolder_;
    std::optional<NetworkLevel> networkLevel_;
    std::ostream* warnings_;
    // Fields of the window object, kept across unloads.
    int lastFpsSecond_ = 0;
    int frameCount_ = 0;
    bool restartRequested_ = false;
    bool fpsShown_ = false;
    Phase phase_ = Phase::Loaded;

    // Pictures drawn once for the program: C1..C10, CM1..CM10 and the food's frames.
    SnakePictures redArt_;
    SnakePictures blueArt_;
    Picture foodRing_;
    Picture foodDot_;

    // Controls of the current load (null while unloaded).
    Label* fpsLabel_ = nullptr;              // Label1
    Label* resultLabel_ = nullptr;           // Label2
    Label* redWinsLabel_ = nullptr;          // Label3
    Label* blueWinsLabel_ = nullptr;         // Label4
    PictureBox* levelPictureBox_ = nullptr;  // Picture2: loads the background and wall textures
    PictureBox* textureBox_ = nullptr;       // Picture3: the texture canvas the walls show
    ImageArray* redSprites_ = nullptr;       // vh
    ImageArray* blueSprites_ = nullptr;      // vhM
    ImageArray* foodSprites_ = nullptr;      // Picture1: the food and its frames
    Image* redHolders_[11] = {};             // C1..C10
    Image* blueHolders_[11] = {};            // CM1..CM10
    Timer* gameTimer_ = nullptr;             // Timer1
    Timer* endPauseTimer_ = nullptr;         // Timer2: the pause after a game
    std::optional<PlayField> field_;
    std::string turnSound_;  // resolved once per load, never per step
    std::string eatSound_;
    // The texture that the texture box's canvas shows tiled once it is drawn (null: white).
    Picture textureToDraw_;
};

}  // namespace zib
