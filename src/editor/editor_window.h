#pragma once
// The level editor's window: the field at its real size on the left (800 x 600, cells of 10, a
// faint grid) and a 200-pixel tool panel on the right in the menu's look. The level is checked
// after every change by the game's level checker, whose findings the panel lists. Hrát (F5)
// plays the level as it is through the game window, Shift+F5 against the computer; the game's end
// comes back here with the history intact. Uložit (Ctrl+S) writes the level and its preview into
// the player's level folder.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "editor/level_model.h"
#include "editor/level_store.h"
#include "game/game_window.h"
#include "game/level_check.h"
#include "game/menu_link.h"
#include "platform/toolkit.h"
#include "state/game_state.h"

namespace zib {

enum class EditorTool { Wall, Eraser, Move, RedStart, BlueStart };

class EditorWindow : public Form, public MenuLink {
  public:
    static constexpr int kEditorWidth = 1000;
    static constexpr int kPanelLeft = 800;

    EditorWindow(Application& app, GameState& state, GameWindow& game, LevelFolders folders);

    // Shows the editor on the level NAME (see openLevel). onLeave hears when the player leaves,
    // with the name of the level if it was ever saved in this visit, else empty.
    void open(const std::string& name);
    std::function<void(const std::string& savedName)> onLeave;

    // What the editor does, for its keys, its buttons and the tests.
    void chooseTool(EditorTool tool);
    void testPlay(bool againstComputer);
    bool save();
    void leave();  // asks "Uložit změny?" first when the level has unsaved changes
    void undo();
    void redo();
    void cycleMirror();
    void stepBackground(int step);
    void stepWallTexture(int step);
    void selectFinding(int index);

    // Read access for the tests and the benchmarks.
    const LevelModel& model() const { return model_; }
    EditorTool tool() const { return tool_; }
    const std::string& levelName() const { return name_; }
    const LevelCheck& check() const { return check_; }
    const std::string& status() const;
    bool askingToSave() const { return dialog_ && dialog_->visible; }
    bool testPlaying() const { return playing_; }
    // The pointer on the field, as the field's picture box hears it (field coordinates).
    void fieldMouseDown(int button, int x, int y);
    void fieldMouseMove(int buttons, int x, int y);
    void fieldMouseUp(int button, int x, int y);

    void Form_KeyDown(int code, int shift) override;

    // MenuLink: the game window during a test play.
    void showMenu() override;
    void hideMenu() override;
    long long redWins() override { return redWins_; }
    long long blueWins() override { return blueWins_; }
    void setRedWins(long long count) override { redWins_ = count; }
    void setBlueWins(long long count) override { blueWins_ = count; }
    void enableIdleTimer() override;
    // The editor keeps no copies for a demo: its own settings are put back when test play ends.
    void demoEnded() override {}
    void showMessage(const std::string& text) override;

  protected:
    void design() override;
    void Form_Load() override;
    void Form_Unload() override;

  private:
    // editor_panel.cpp: the panel's controls and what they show.
    void designPanel();
    void designDialog();
    Label& panelLabel(int left, int top, int width, const std::string& caption,
                      std::function<void()> click = nullptr);
    void showPanel();
    void showFindings();
    void setStatus(const std::string& text);
    void answerDialog(int answer);  // 0 Ano, 1 Ne, 2 Zpět

    // editor_field.cpp: painting the field.
    Picture picture(const std::string& name);
    void paintBackground();
    void paintLevelLayer();
    void drawField();
    void levelChanged();  // after every change of the model: paint, check, show

    void turnWithWheel(int quarters);
    void finishTestPlay();
    void endVisit();

    GameState& state_;
    GameWindow& game_;
    LevelFolders folders_;
    LevelModel model_;
    std::string name_;
    std::string savedName_;
    EditorTool tool_ = EditorTool::Wall;
    LevelCheck check_;
    PictureLoads pictureLoads_;
    std::map<std::string, Picture> pictures_;
    std::vector<std::string> pictureNames_;
    std::optional<int> selected_;  // the finding clicked in the list

    // The drag in progress on the field.
    bool dragging_ = false;
    int dragX0_ = 0, dragY0_ = 0, dragX_ = 0, dragY_ = 0;
    enum class Grip { Body, TopLeft, TopRight, BottomLeft, BottomRight } grip_ = Grip::Body;
    LevelWall dragStartWall_;

    // The field's layers: the background with the grid, then the walls and starts on it.
    Canvas backgroundLayer_;
    std::string backgroundPainted_;
    Canvas levelLayer_;

    // Test play.
    bool playing_ = false;
    MenuLink* menuBefore_ = nullptr;
    bool onePlayerBefore_ = false;
    long long redWins_ = 0, blueWins_ = 0;

    // Controls (null while unloaded).
    PictureBox* field_ = nullptr;
    Label* nameLabel_ = nullptr;
    std::vector<Label*> toolLabels_;
    Label* mirrorLabel_ = nullptr;
    Label* backgroundName_ = nullptr;
    Label* textureName_ = nullptr;
    Image* backgroundPreview_ = nullptr;
    Image* texturePreview_ = nullptr;
    Label* undoLabel_ = nullptr;
    Label* redoLabel_ = nullptr;
    std::vector<Label*> findingRows_;
    std::vector<int> rowFinding_;  // the finding each row shows, -1 for none
    Label* statusLabel_ = nullptr;
    PictureBox* dialog_ = nullptr;
    std::string status_;
};

}  // namespace zib
