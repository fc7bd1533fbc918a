#pragma once
// The level being edited, without any window: its walls, the two starts and the pictures, the
// mirror that keeps a level fair for two players, the grid every wall snaps to, and the undo
// history. Each edit is one step of the history; a drag is one step however far it went.
#include <deque>
#include <string>
#include <vector>

#include "game/level_file.h"

namespace zib {

// What a wall drawn, moved or erased takes with it: its image through the middle of the field
// left to right, top to bottom, or through the centre point.
enum class Mirror { Off, LeftRight, TopBottom, Centre };

struct EditedLevel {
    std::string background;
    LevelStart red;
    LevelStart blue;
    std::vector<LevelWall> walls;  // the first drawn first, the last on top
};

bool sameLevel(const EditedLevel& a, const EditedLevel& b);
// A new level: the first picture names given, the snakes heading towards each other from the left
// and the right, no walls.
EditedLevel emptyLevel(const std::string& background);
EditedLevel levelOfFile(const LevelFile& file);
// The level file's text: the background and red's start on the first line, blue's on the second,
// then one wall a line; picture names in double quotes. parseLevel reads it back as it was.
std::string levelText(const EditedLevel& level);

// A pixel coordinate taken to the nearest grid line in 0..high.
int snapToGrid(int value, int high);
// The wall a drag from (x0, y0) to (x1, y1) draws: its corners snapped to the grid, at least one
// cell wide and high, inside the field.
LevelWall wallOfDrag(int x0, int y0, int x1, int y1, const std::string& texture);
// The image of a wall or of a start through the mirror (a start's direction is mirrored too).
LevelWall mirrorWall(const LevelWall& wall, Mirror mirror);
LevelStart mirrorStart(const LevelStart& start, Mirror mirror);
bool sameRect(const LevelWall& a, const LevelWall& b);
// The topmost wall that covers the pixel (x, y), or -1.
int wallAt(const EditedLevel& level, int x, int y);

enum class StartOf { Red, Blue };

class LevelModel {
  public:
    static constexpr size_t kUndoSteps = 500;

    explicit LevelModel(EditedLevel level = emptyLevel(""));

    const EditedLevel& level() const { return level_; }
    Mirror mirror = Mirror::Off;
    std::string wallTexture;  // the picture new walls get

    // Edits, each one step of the history. A wall whose mirror image is itself is drawn once.
    void addWall(const LevelWall& wall);
    // Removes the topmost wall under (x, y) and its mirror image; false when none is there.
    bool eraseAt(int x, int y);
    // Puts a snake's start on the cell of (x, y); with the mirror on, the other snake's start
    // goes to the image of that cell, heading the mirrored way.
    void placeStart(StartOf snake, int x, int y);
    // Turns a snake's start to (dx, dy) (and the other's to the image of it, with the mirror on).
    void turnStart(StartOf snake, int dx, int dy);
    void setBackground(const std::string& name);

    // A drag of a wall (moving or resizing it) is one step: begin it, change the wall as often as
    // the pointer moves, then end it. The wall's mirror image follows it.
    void beginWallDrag(int index);
    void dragWallTo(const LevelWall& where);
    void endWallDrag();
    int draggedWall() const { return dragged_; }

    bool undo();
    bool redo();
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    size_t undoSteps() const { return undo_.size(); }

    // Whether the level differs from what was last saved (or opened).
    bool modified() const { return !sameLevel(level_, saved_); }
    void markSaved() { saved_ = level_; }

  private:
    void remember();  // the level as it is now becomes one step back
    LevelStart& start(StartOf snake) { return snake == StartOf::Red ? level_.red : level_.blue; }
    int partnerOf(int index) const;  // the wall that is index's mirror image, or -1

    EditedLevel level_;
    EditedLevel saved_;
    std::deque<EditedLevel> undo_;
    std::vector<EditedLevel> redo_;
    EditedLevel dragStart_;  // the level when the drag began
    int dragged_ = -1;
    int dragPartner_ = -1;
};

}  // namespace zib
