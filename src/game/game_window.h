#pragma once
// The game window form1: its design, Form_Load with the level, the game loop in Timer1_Timer, the
// key handlers and the end-of-game pause in Timer2_Timer. The object outlives every unload, so its
// own fields (frame counter, stop and restart requests) carry over from one game to the next.
#include <optional>
#include <string>

#include "game/game_state.h"
#include "game/level_loader.h"
#include "game/menu_link.h"
#include "platform/toolkit.h"
#include "snakes/play_field.h"

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
};

class GameWindow : public Form {
  public:
    GameWindow(Application& app, GameState& state, MenuLink& menu);

    void setObserver(GameObserver* observer) { observer_ = observer; }
    // A second observer, told first: the replay recorder.
    void setRecorder(GameObserver* recorder) { recorder_ = recorder; }
    // A level that failed to load: the message, else empty. The window stays unloaded then.
    const std::string& loadError() const { return loadError_; }

    // The folder of the level files and their pictures; programFolder() + "/baseq7" unless set.
    void setLevelFolder(std::string folder) { levelFolder_ = std::move(folder); }
    const std::string& levelFolder() const { return levelFolder_; }

    // Read access for the simulator and tests (valid while the window is loaded).
    const Image& food() const;
    ImageArray& redSprites();
    ImageArray& blueSprites();
    // 1..10: the picture holder whose picture an image shows (C1..C10 / CM1..CM10); the design
    // picture of element 0 counts as 1; 0 for none.
    int pictureHolderOf(const Image& sprite, bool blue) const;
    std::string fpsCaption() const;     // Label1
    std::string resultCaption() const;  // Label2
    bool timer1Enabled() const;
    bool timer2Enabled() const;
    uint32_t timer2Interval() const;
    int stopRequested() const { return stopRequested_; }
    int restartRequested() const { return restartRequested_; }
    int frameCount() const { return frameCount_; }
    // Whether the food could be placed (false only when no candidate cell was free).
    bool foodPresent() const;
    // The game loop of Timer1_Timer is running now; it has run and ended in this load.
    bool loopRunning() const { return phase_ == Phase::Playing; }
    bool gameEnded() const { return phase_ == Phase::Finished; }
    // The window's controls as the snakes' steps see them (valid while loaded).
    PlayField& playField() { return *field_; }
    Label& label(int n);            // Label1..Label4
    const Canvas& textureCanvas();  // Picture3, drawn when first asked for
    const PictureBox& picture2() const { return *picture2_; }

    // The event handlers, in the window's own names.
    void Timer1_Timer();
    void Timer2_Timer();
    void Form_KeyDown(int code, int shift) override;
    void Form_KeyPress(int character) override;
    void AnimateFood();

  protected:
    void design() override;
    void Form_Load() override;
    void Form_Unload() override;

  private:
    enum class Phase { Loaded, Starting, Playing, Finished };

    void LoadLevel(const ReadyLevel& level);
    void failLoad(std::string message);
    void createBody(ImageArray& sprites, SnakeRecord& snake);
    void resetPlayState();
    void showResult();

    GameState& state_;
    MenuLink& menu_;
    GameObserver* observer_ = nullptr;
    GameObserver* recorder_ = nullptr;
    std::string loadError_;
    std::string levelFolder_;
    // Fields of the window object, kept across unloads.
    int lastFpsSecond_ = 0;
    int frameCount_ = 0;
    int stopRequested_ = 0;
    int restartRequested_ = 0;
    Phase phase_ = Phase::Loaded;

    // Pictures drawn once for the program: C1..C10, CM1..CM10 and the food's frames.
    SnakePictures redArt_;
    SnakePictures blueArt_;
    Picture foodRing_;
    Picture foodDot_;

    // Controls of the current load (null while unloaded).
    Label* label1_ = nullptr;
    Label* label2_ = nullptr;
    Label* label3_ = nullptr;
    Label* label4_ = nullptr;
    PictureBox* picture2_ = nullptr;
    PictureBox* picture3_ = nullptr;
    ImageArray* vh_ = nullptr;
    ImageArray* vhM_ = nullptr;
    ImageArray* picture1_ = nullptr;
    Image* c_[11] = {};   // C1..C10
    Image* cm_[11] = {};  // CM1..CM10
    Timer* timer1_ = nullptr;
    Timer* timer2_ = nullptr;
    std::optional<PlayField> field_;
    // The texture that Picture3's canvas shows tiled once it is drawn (null: white).
    Picture textureToDraw_;
};

}  // namespace zib
