// The game window draws the state: every sprite follows the segment of the same index, and the
// food sprite the food's cell. After a tick only what the step moved is touched; a full draw puts
// every sprite where the state says, so that a state put back from a copy shows as it is.
#include <vector>

#include "game/game_window.h"

namespace zib {

void GameWindow::drawPiece(ImageArray& sprites, const SnakeRecord& snake, const SnakePictures& art,
                           int index) {
    Image& sprite = sprites.exists(index) ? sprites[index] : sprites.create(index);
    const Piece& piece = snake.pieces[static_cast<size_t>(index)];
    sprite.move(piece.x, piece.y);
    sprite.visible = piece.visible;
    if (piece.holder >= 1 && piece.holder <= 10) {
        const Picture& picture = art[piece.holder];
        if (sprite.picture() != picture) sprite.setPicture(picture);
    }
}

void GameWindow::drawFood() {
    Image& food = (*foodSprites_)[0];
    food.move(state_.food.x, state_.food.y);
    food.visible = state_.foodPresent;
}

void GameWindow::drawState() {
    const auto drawSnake = [this](ImageArray& sprites, const SnakeRecord& snake,
                                  const SnakePictures& art) {
        std::vector<bool> inBody(snake.pieces.size(), false);
        for (size_t i = 0; i < snake.segments.size(); ++i) {
            const int index = snake.segments.at(i);
            inBody[static_cast<size_t>(index)] = true;
            drawPiece(sprites, snake, art, index);
        }
        for (int index = 1; index <= sprites.upperBound(); ++index)
            if (sprites.exists(index) && (static_cast<size_t>(index) >= inBody.size() ||
                                          !inBody[static_cast<size_t>(index)]))
                sprites[index].visible = false;
    };
    drawSnake(*redSprites_, state_.red, redArt_);
    drawSnake(*blueSprites_, state_.blue, blueArt_);
    drawFood();
}

void GameWindow::drawTick(int redNeck, int blueNeck) {
    drawPiece(*redSprites_, state_.red, redArt_, redNeck);
    drawPiece(*redSprites_, state_.red, redArt_, state_.red.headIndex);
    drawPiece(*blueSprites_, state_.blue, blueArt_, blueNeck);
    drawPiece(*blueSprites_, state_.blue, blueArt_, state_.blue.headIndex);
    drawFood();
}

void GameWindow::playSounds(const TickSounds& sounds) {
    for (int i = 0; i < sounds.count; ++i)
        services().sound.play(sounds.cues[static_cast<size_t>(i)] == SoundCue::Turn ? turnSound_
                                                                                    : eatSound_);
}

}  // namespace zib
