// The game's rules as functions of the state, with no window: the level's set-up, the start, the
// keys and the tick.
#include "game/game_step.h"

#include <algorithm>
#include <limits>

#include "computer/computer_player.h"
#include "game/key_slots.h"
#include "snakes/food.h"
#include "snakes/snake_step.h"

namespace zib {

namespace {

// The game loop turns owed growth into a grow flag for the next step; in endless growth every step
// grows and the owed count keeps falling below 0, but not past the int limit (a large negative
// growth per food can take it there).
void owedGrowth(SnakeRecord& snake, bool endlessGrowth) {
    if (snake.pendingGrowth > 0 || endlessGrowth) {
        snake.growNow = true;
        if (snake.pendingGrowth > std::numeric_limits<int>::min()) snake.pendingGrowth -= 1;
    }
}

bool steer(SnakeRecord& snake, bool blue, const Settings& settings, int code) {
    for (Heading h : kSteeringOrder) {
        if (code != settings.keyBindings[static_cast<size_t>(keySlot(h, blue))]) continue;
        const CellStep d = cellStep(h);
        snake.dx = d.dx;
        snake.dy = d.dy;
        return true;
    }
    return false;
}

// A new game's body: segment 0 where the design put it, showing the horizontal piece, and the
// start segments hidden on the same spot.
void createBody(SnakeRecord& snake, int startLength, int designLeft, int designTop) {
    const int n = startLength;
    snake.segments.clear();
    snake.segments.pushFront(0);
    snake.pieces.assign(
        static_cast<size_t>(std::max(n, 0)) + 1,
        Piece{static_cast<int16_t>(designLeft), static_cast<int16_t>(designTop), 1, false});
    snake.pieces[0].visible = true;
    for (int i = 1; i <= n; ++i) snake.segments.pushFront(i);
    snake.headX = designLeft;
    snake.headY = designTop;
    snake.nextIndex = (n < 1 ? 0 : n) + 1;
    // A route planned in the game before (a demo's red) is no part of this one.
    snake.path.clear();
    snake.pathValid = false;
}

void putAtStart(SnakeRecord& snake, const LevelStart& start) {
    snake.dx = start.dx;
    snake.dy = start.dy;
    snake.pieces[0].x = static_cast<int16_t>(start.x);
    snake.pieces[0].y = static_cast<int16_t>(start.y);
    snake.headX = start.x;
    snake.headY = start.y;
}

}  // namespace

ComputerMoves computerMoves() {
    ComputerMoves moves;
    moves.steerRed = SteerRed;
    moves.steerBlue = SteerBlue;
    moves.routeRed = [](GameState& s, int foodX, int foodY) {
        FindPath(s, s.red.headX, s.red.headY, foodX, foodY, Player::Red);
    };
    moves.routeBlue = [](GameState& s, int foodX, int foodY) {
        FindPath(s, s.blue.headX, s.blue.headY, foodX, foodY, Player::Blue);
    };
    return moves;
}

KeyOutcome applyKey(GameState& state, TickKey key) {
    KeyOutcome out;
    if (key.kind == TickKey::Kind::Press) {
        if (key.code == kEsc) {
            state.stopRequested = true;
            state.demoMode = true;
        }
        return out;
    }
    // A key bound to both snakes steers both.
    steer(state.red, false, state.settings, key.code);
    const bool blueMatched = steer(state.blue, true, state.settings, key.code);
    out.restartAsked = !blueMatched && key.code == kEnter;
    if (state.demoMode) {
        state.demoKeyPressed = true;
        out.demoEnded = true;
    }
    return out;
}

void setUpLevel(GameState& state, const LevelFile& level) {
    const int n = state.settings.startLength;
    createBody(state.red, n, kRedDesignLeft, kRedDesignTop);
    state.red.dx = 1;
    createBody(state.blue, n, kBlueDesignLeft, kBlueDesignTop);
    state.blue.dx = -1;
    state.demoKeyPressed = false;
    state.food = {};
    state.foodPresent = false;
    putAtStart(state.red, level.red);
    putAtStart(state.blue, level.blue);
    for (const LevelWall& wall : level.walls)
        for (int x = wall.x1; x <= wall.x2 - kCellSize; x += kCellSize)
            for (int y = wall.y1; y <= wall.y2 - kCellSize; y += kCellSize)
                state.board.set(x, y, kCellBlocked);
}

void startGame(PlayField& f) {
    GameState& s = f.state;
    putFoodOnFreeCell(f);
    if (s.settings.onePlayer)
        FindPath(s, s.blue.headX, s.blue.headY, s.food.x, s.food.y, Player::Blue);
    if (s.demoMode) FindPath(s, s.red.headX, s.red.headY, s.food.x, s.food.y, Player::Red);
}

void moveSnakes(PlayField& f) {
    GameState& s = f.state;
    owedGrowth(s.red, s.settings.endlessGrowth);
    owedGrowth(s.blue, s.settings.endlessGrowth);
    StepRed(f);
    StepBlue(f);
}

bool gameEnds(const GameState& state) {
    return !state.freeMode && (state.gameOver != GameOver::None || state.demoKeyPressed);
}

GameResult decideResult(GameState& state) {
    const Piece& redHead = state.red.pieces[static_cast<size_t>(state.red.headIndex)];
    const Piece& blueHead = state.blue.pieces[static_cast<size_t>(state.blue.headIndex)];
    if (redHead.y == blueHead.y && redHead.x == blueHead.x) {
        state.red.dead = true;
        state.blue.dead = true;
    }
    if (state.demoMode) return GameResult::NoResult;
    if (state.red.dead && state.blue.dead) return GameResult::Draw;
    return state.red.dead ? GameResult::BlueWon : GameResult::RedWon;
}

TickResult step(PlayField& f, TickInput input) {
    f.sounds.clear();
    moveSnakes(f);
    TickResult result;
    for (const TickKey& key : input) {
        const KeyOutcome k = applyKey(f.state, key);
        result.keys.restartAsked |= k.restartAsked;
        result.keys.demoEnded |= k.demoEnded;
    }
    if (gameEnds(f.state)) f.state.stopRequested = true;
    result.sounds = f.sounds;
    for (int i = 0; i < result.sounds.count; ++i) {
        const SoundCue cue = result.sounds.cues[static_cast<size_t>(i)];
        result.ate |= cue == SoundCue::Eat;
        result.turned |= cue == SoundCue::Turn;
    }
    result.ended = f.state.stopRequested;
    result.redDead = f.state.red.dead;
    result.blueDead = f.state.blue.dead;
    if (result.ended) result.result = decideResult(f.state);
    return result;
}

}  // namespace zib
