#pragma once
// Places the game's frame on a screen of another size: centred, scaled by one factor both ways so
// that its aspect is kept, with black bars in what it leaves free. Each screen pixel shows the
// frame pixel it falls on (no smoothing): cell edges stay sharp, and a part of the frame redrawn
// alone gives exactly the pixels a redraw of the whole frame gives.
#include <cstdint>
#include <vector>

#include "platform/canvas.h"

namespace zib {

class FrameScaler {
  public:
    void setSizes(int frameWidth, int frameHeight, int screenWidth, int screenHeight);
    int frameWidth() const { return frameWidth_; }
    int frameHeight() const { return frameHeight_; }
    int screenWidth() const { return screenWidth_; }
    int screenHeight() const { return screenHeight_; }
    // Where the frame lies on the screen.
    const Rect& picture() const { return picture_; }

    // Writes the screen pixels that show area of the frame (frame coordinates) into screen, rows
    // of pitch pixels; returns the screen rectangle written (empty when area shows nowhere).
    Rect draw(const Canvas& frame, const Rect& area, uint32_t* screen, int pitch) const;
    // The whole screen: bars in black and the whole frame.
    void drawAll(const Canvas& frame, uint32_t* screen, int pitch) const;
    // The frame pixel shown at a screen point; a point on a bar gives the nearest edge pixel.
    void toFrame(int screenX, int screenY, int& frameX, int& frameY) const;

  private:
    int frameWidth_ = 0, frameHeight_ = 0;
    int screenWidth_ = 0, screenHeight_ = 0;
    Rect picture_;
    std::vector<int> columnOf_;  // the frame column each picture column shows
    std::vector<int> rowOf_;     // the frame row each picture row shows
};

}  // namespace zib
