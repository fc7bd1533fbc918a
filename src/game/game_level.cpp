// LoadLevel: with the level file and its pictures read and checked first (see readLevel), the
// snakes are placed and the walls marked on the board (setUpLevel), the background tiled over the
// window and each wall painted as the texture canvas shows it there.
#include "game/game_window.h"
#include "game/picture_tiling.h"

namespace zib {

void GameWindow::LoadLevel(const ReadyLevel& level) {
    const LevelFile& file = level.file;
    setUpLevel(state_, file);
    drawState();
    levelPictureBox_->setPicture(level.background);
    levelPictureBox_->autoSize = true;

    Canvas& screen = canvas();
    tilePicture(screen, *level.background, kWidth, kHeight);

    // Each wall shows the texture canvas Picture3 at its own place. Picture3 holds the latest
    // texture, always tiled from (0, 0) over the whole field so that walls sharing a texture join
    // without seams, and is white before the first. The walls are painted straight from that
    // tiling; the canvas itself is drawn only when someone looks at it (textureCanvas).
    textureToDraw_ = nullptr;
    const Rect field{0, 0, kFieldWidth, kFieldHeight};
    for (size_t i = 0; i < file.walls.size(); ++i) {
        const LevelWall& wall = file.walls[i];
        if (const Picture& next = level.textures[i]) {
            levelPictureBox_->setPicture(next);
            if (!next->empty()) textureToDraw_ = next;  // an empty picture leaves the tiling
        }
        const Rect area =
            Rect{wall.x1, wall.y1, wall.x2 - wall.x1, wall.y2 - wall.y1}.intersect(field);
        if (textureToDraw_)
            tilePicture(screen, *textureToDraw_, kFieldWidth, kFieldHeight, area);
        else
            screen.fillRect(area.x, area.y, area.w, area.h, kWhite);
    }
    refresh();
}

}  // namespace zib
