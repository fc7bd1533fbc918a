// LoadLevel and what it needs: the level file and its pictures are read and checked first (see
// readLevel), then the snakes are placed, the background tiled over the window, each wall painted
// from the texture canvas and its cells marked on the board.
#include "game/level_loader.h"

#include <optional>

#include "game/game_window.h"
#include "platform/files.h"

namespace zib {

namespace {

std::string quoted(const std::string& s) {
    return "„" + s + "“";
}

// Loads a picture named by the level from the level folder. what: how the message names it.
std::variant<Picture, std::string> loadLevelPicture(const std::string& folder,
                                                    const std::string& name,
                                                    const std::string& what, Graphics& graphics) {
    if (name.empty()) return what + " nemá uveden název souboru.";
    const std::optional<std::string> path = resolvePath(folder, name);
    if (!path)
        return what + " " + quoted(name) + " nebyl nalezen ve složce " + quoted(folder) + ".";
    try {
        return graphics.loadPicture(*path);
    } catch (const PictureError&) {
        return what + " " + quoted(*path) + " nelze načíst: soubor není obrázek nebo je poškozený.";
    }
}

int tileStep(int size) {
    return size > 2 ? size - 2 : 1;
}

}  // namespace

std::variant<ReadyLevel, std::string> readLevel(const std::string& folder,
                                                const std::string& levelName, Graphics& graphics) {
    if (levelName.empty()) return std::string("Není vybrána žádná mapa.");
    const std::optional<std::string> path = resolvePath(folder, levelName);
    if (!path)
        return "Mapa " + quoted(levelName) + " nebyla nalezena ve složce " + quoted(folder) + ".";
    std::string text;
    if (!readWholeFile(*path, text)) return "Mapu " + quoted(*path) + " nelze přečíst.";
    auto parsed = parseLevel(text, levelName);
    if (auto* error = std::get_if<LevelError>(&parsed)) return error->message;

    ReadyLevel ready;
    ready.file = std::move(std::get<LevelFile>(parsed));
    auto background = loadLevelPicture(folder, ready.file.background,
                                       "Obrázek pozadí mapy " + quoted(levelName), graphics);
    if (auto* message = std::get_if<std::string>(&background)) return *message;
    ready.background = std::get<Picture>(background);

    // A texture is loaded only where the name changes from one wall to the next, as LoadLevel
    // tiles it.
    std::string remembered;
    for (const LevelWall& wall : ready.file.walls) {
        if (wall.texture == remembered) {
            ready.textures.push_back(nullptr);
            continue;
        }
        auto texture = loadLevelPicture(
            folder, wall.texture,
            "Textura zdi v mapě " + quoted(levelName) + " na řádku " + std::to_string(wall.line),
            graphics);
        if (auto* message = std::get_if<std::string>(&texture)) return *message;
        ready.textures.push_back(std::get<Picture>(texture));
        remembered = wall.texture;
    }
    return ready;
}

void tilePicture(Canvas& target, const Canvas& picture, int limitW, int limitH) {
    const int w = picture.width(), h = picture.height();
    if (picture.empty()) return;
    for (int tx = 0; tx <= limitW; tx += tileStep(w))
        for (int ty = 0; ty <= limitH; ty += tileStep(h)) target.blit(picture, 0, 0, w, h, tx, ty);
}

void GameWindow::LoadLevel(const ReadyLevel& level) {
    const LevelFile& file = level.file;
    SnakeRecord& red = state_.red;
    SnakeRecord& blue = state_.blue;

    red.dx = file.red.dx;
    red.dy = file.red.dy;
    (*vh_)[0].move(file.red.x, file.red.y);
    red.headX = file.red.x;
    red.headY = file.red.y;
    picture2_->setPicture(level.background);
    picture2_->autoSize = true;

    blue.dx = file.blue.dx;
    blue.dy = file.blue.dy;
    (*vhM_)[0].move(file.blue.x, file.blue.y);
    blue.headX = file.blue.x;
    blue.headY = file.blue.y;

    Canvas& screen = canvas();
    tilePicture(screen, *level.background, kWidth, kHeight);

    Canvas& texture = picture3_->canvas();
    for (size_t i = 0; i < file.walls.size(); ++i) {
        const LevelWall& wall = file.walls[i];
        if (const Picture& next = level.textures[i]) {
            picture2_->setPicture(next);
            // Always tiled from (0, 0): walls that share a texture join without seams.
            tilePicture(texture, *next, kFieldWidth, kFieldHeight);
        }
        screen.blit(texture, wall.x1, wall.y1, wall.x2 - wall.x1, wall.y2 - wall.y1, wall.x1,
                    wall.y1);
        for (int x = wall.x1; x <= wall.x2 - kCellSize; x += kCellSize)
            for (int y = wall.y1; y <= wall.y2 - kCellSize; y += kCellSize)
                state_.board.set(x, y, 1);
    }
    refresh();
}

}  // namespace zib
