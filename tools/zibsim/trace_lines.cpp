#include "zibsim/trace_lines.h"

#include "zibsim/json_line.h"

namespace zibsim {
namespace {

// The game-over marker as the game writes it: "C" red died, "M" blue died, "" while both live.
std::string gameOverMark(zib::GameOver gameOver) {
    switch (gameOver) {
        case zib::GameOver::RedDied:
            return "C";
        case zib::GameOver::BlueDied:
            return "M";
        case zib::GameOver::None:
            break;
    }
    return "";
}

void appendSnake(JsonLine& line, const zib::SnakeRecord& snake, bool dead) {
    line.beginObject();
    line.key("head");
    line.pair(snake.headX, snake.headY);
    line.key("dir");
    line.pair(snake.dx, snake.dy);
    line.key("prev");
    line.pair(snake.prevDx, snake.prevDy);
    line.key("headIndex");
    line.value(snake.headIndex);
    line.key("nextIndex");
    line.value(snake.nextIndex);
    line.key("grow");
    line.value(snake.growNow ? 1 : 0);
    line.key("pending");
    line.value(snake.pendingGrowth);
    line.key("dead");
    line.value(dead ? 1 : 0);

    line.key("body");
    line.beginArray();
    for (size_t i = 0; i < snake.segments.size(); ++i) {
        int index = snake.segments.at(i);
        const zib::Piece& piece = snake.pieces[static_cast<size_t>(index)];
        line.beginArray();
        line.value(index);
        line.value(piece.x);
        line.value(piece.y);
        line.value(piece.holder);
        line.value(piece.visible ? 1 : 0);
        line.endArray();
    }
    line.endArray();

    line.key("path");
    line.beginArray();
    for (size_t i = 0; i < snake.path.size(); ++i) line.pair(snake.path[i].x, snake.path[i].y);
    line.endArray();
    line.key("pathValid");
    line.value(snake.pathValid ? 1 : 0);
    line.endObject();
}

}  // namespace

std::string soundFileName(const std::string& path) {
    auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void appendTickLine(std::string& out, int t, const zib::GameState& state, const WindowView& view) {
    JsonLine line(out);
    line.beginObject();
    line.key("t");
    line.value(t);
    line.key("food");
    line.pair(state.food.x, state.food.y);
    line.key("foodVisible");
    line.value(state.foodPresent ? 1 : 0);
    line.key("foodFrame");
    line.value(state.foodFrame);
    line.key("red");
    appendSnake(line, state.red, view.redDead);
    line.key("blue");
    appendSnake(line, state.blue, view.blueDead);
    line.key("gameOver");
    line.value(gameOverMark(state.gameOver));
    line.key("stop");
    line.value(state.stopRequested ? 1 : 0);
    line.key("timer1");
    line.value(view.timer1 ? 1 : 0);
    line.key("sounds");
    line.beginArray();
    for (const auto& name : view.sounds) line.value(name);
    line.endArray();
    line.key("fps");
    line.value(view.fps);
    line.endObject();
    out += '\n';
}

void appendEndLine(std::string& out, const GameEnd& end) {
    JsonLine line(out);
    line.beginObject();
    line.key("end");
    line.beginObject();
    line.key("result");
    line.value(end.result);
    line.key("redWins");
    line.value(end.redWins);
    line.key("blueWins");
    line.value(end.blueWins);
    line.key("redDead");
    line.value(end.redDead ? 1 : 0);
    line.key("blueDead");
    line.value(end.blueDead ? 1 : 0);
    line.key("ticks");
    line.value(end.ticks);
    line.endObject();
    line.endObject();
    out += '\n';
}

void appendUnfinishedLine(std::string& out, int maxTicks) {
    JsonLine line(out);
    line.beginObject();
    line.key("end");
    line.null();
    line.key("ticks");
    line.value(maxTicks);
    line.endObject();
    out += '\n';
}

}  // namespace zibsim
