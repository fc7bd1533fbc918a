// The level editor: one frame while a wall is dragged (the pointer's move handled, the field
// drawn and the screen composed), for a new wall's outline and for moving a wall of a full level,
// and opening a level of 256 walls (read, pictures loaded, painted, checked, shown).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "editor/editor_window.h"
#include "game/game_window.h"
#include "game/stand_in_menu.h"
#include "platform/backend/backends.h"
#include "platform/data_folder.h"
#include "zibsim/temp_folder.h"

namespace zib {
namespace {

// The shipped pictures, and a player's folder holding "Plna": 256 walls of one cell and
// two textures taking turns.
struct EditorBench {
    EditorBench() {
        std::string text = "\"hlina.jpg\",100,100,1,0\n200,200,1,0\n";
        for (int i = 0; i < kMostWalls; ++i) {
            const int x = 300 + i % 32 * 10, y = 250 + i / 32 * 20;
            text += std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(x + 10) +
                    "," + std::to_string(y + 10) +
                    (i % 2 ? ",\"cihla.bmp\"\n" : ",\"kamen.gif\"\n");
        }
        std::ofstream(std::filesystem::path(player.path()) / "Plna.zq7") << text;
    }
    LevelFolders folders() const { return {dataFolder(), player.path()}; }
    zibsim::TempFolder player;
    HeadlessBackend backend{makeSdlGraphics()};
    Application app{backend.services()};
    GameState state;
    StandInMenu menu;
    GameWindow game{app, state, menu};
};

void dragFrames(benchmark::State& state, EditorTool tool) {
    EditorBench b;
    EditorWindow editor(b.app, b.state, b.game, b.folders());
    editor.open("Plna");
    editor.chooseTool(tool);
    b.app.doEvents();
    // The wall tool drags from free space, the move tool takes the first wall.
    const int x0 = tool == EditorTool::Move ? 305 : 100, y0 = tool == EditorTool::Move ? 255 : 400;
    b.backend.queue(InputEvent{InputEvent::Type::MouseDown, 1, x0, y0, 1, 0});
    b.app.doEvents();
    int step = 0;
    for (auto _ : state) {
        step = (step + 7) % 200;
        b.backend.mouseMove(x0 + step, y0 + step / 2, 1);
        b.backend.setNow(b.backend.now() + 17);  // a frame is due
        b.app.doEvents();
    }
}

void BM_EditorDragFrameNewWall(benchmark::State& state) {
    dragFrames(state, EditorTool::Wall);
}
BENCHMARK(BM_EditorDragFrameNewWall)->Unit(benchmark::kMicrosecond);

void BM_EditorDragFrameMoveWall(benchmark::State& state) {
    dragFrames(state, EditorTool::Move);
}
BENCHMARK(BM_EditorDragFrameMoveWall)->Unit(benchmark::kMicrosecond);

void BM_EditorOpen256Walls(benchmark::State& state) {
    EditorBench b;
    for (auto _ : state) {
        // A new window each time: its pictures are loaded anew.
        EditorWindow editor(b.app, b.state, b.game, b.folders());
        editor.open("Plna");
        b.app.doEvents();
        benchmark::DoNotOptimize(editor.check().findings.size());
        state.PauseTiming();
        editor.unload();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditorOpen256Walls)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zib
