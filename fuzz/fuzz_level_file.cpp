// Fuzz target for the level reader: any text either reads as a level whose every value the game
// can use, or is refused with a message that names the file and the line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include "fuzz_check.h"
#include "game/level_file.h"

namespace {

bool onLattice(int v) {
    return v % zib::kCellSize == 0;
}

void checkStart(const zib::LevelStart& s) {
    ZIB_FUZZ_CHECK(s.x >= 0 && s.x <= zib::kFieldWidth - zib::kCellSize && onLattice(s.x),
                   "start x inside the field, on the lattice");
    ZIB_FUZZ_CHECK(s.y >= 0 && s.y <= zib::kFieldHeight - zib::kCellSize && onLattice(s.y),
                   "start y inside the field, on the lattice");
    ZIB_FUZZ_CHECK(s.dx >= -1 && s.dx <= 1 && s.dy >= -1 && s.dy <= 1, "directions -1, 0 or 1");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    auto parsed = zib::parseLevel(text, "fuzz.zq7");
    if (const auto* error = std::get_if<zib::LevelError>(&parsed)) {
        ZIB_FUZZ_CHECK(!error->message.empty(), "a refused level carries a message");
        ZIB_FUZZ_CHECK(error->message.find("fuzz.zq7") != std::string::npos,
                       "the message names the file");
        return 0;
    }
    const zib::LevelFile& level = std::get<zib::LevelFile>(parsed);
    checkStart(level.red);
    checkStart(level.blue);
    int lastLine = 0;
    for (const zib::LevelWall& w : level.walls) {
        ZIB_FUZZ_CHECK(
            w.x1 >= 0 && w.x1 <= zib::kFieldWidth && w.x2 >= 0 && w.x2 <= zib::kFieldWidth,
            "wall x inside the field");
        ZIB_FUZZ_CHECK(
            w.y1 >= 0 && w.y1 <= zib::kFieldHeight && w.y2 >= 0 && w.y2 <= zib::kFieldHeight,
            "wall y inside the field");
        ZIB_FUZZ_CHECK(w.line >= lastLine && w.line >= 1, "wall lines in file order");
        lastLine = w.line;
        // Every cell the wall blocks is one the board has.
        for (int x = w.x1; x <= w.x2 - zib::kCellSize; x += zib::kCellSize)
            for (int y = w.y1; y <= w.y2 - zib::kCellSize; y += zib::kCellSize)
                ZIB_FUZZ_CHECK(w.blocks(x, y) && x < zib::kFieldWidth && y < zib::kFieldHeight,
                               "blocked cells lie on the board");
    }
    return 0;
}
