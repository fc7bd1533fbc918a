// LoadLevel and what it needs: the level file and its pictures are read and checked first (see
// readLevel), then the snakes are placed, the background tiled over the window, each wall painted
// as the texture canvas shows it there and its cells marked on the board.
#include "game/level_loader.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "game/game_window.h"
#include "platform/files.h"

namespace zib {

namespace {

std::string quoted(const std::string& s) {
    return "„" + s + "“";
}

// Loads a picture named by the level from the level folder, else from the shared folder (when one
// is given). what: how the message names it.
std::variant<Picture, std::string> loadLevelPicture(const std::string& folder,
                                                    const std::string& sharedFolder,
                                                    const std::string& name,
                                                    const std::string& what, Graphics& graphics) {
    if (name.empty()) return what + " nemá uveden název souboru.";
    std::optional<std::string> path = resolvePath(folder, name);
    if (!path && !sharedFolder.empty()) path = resolvePath(sharedFolder, name);
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

std::string folderOfLevel(const std::string& levelName, const std::string& playerFolder,
                          const std::string& shippedFolder) {
    if (!playerFolder.empty() && !levelName.empty() && resolvePath(playerFolder, levelName))
        return playerFolder;
    return shippedFolder;
}

std::variant<ReadyLevel, std::string> readLevel(const std::string& folder,
                                                const std::string& levelName, Graphics& graphics,
                                                const std::string& sharedFolder) {
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
    auto background = loadLevelPicture(folder, sharedFolder, ready.file.background,
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
            folder, sharedFolder, wall.texture,
            "Textura zdi v mapě " + quoted(levelName) + " na řádku " + std::to_string(wall.line),
            graphics);
        if (auto* message = std::get_if<std::string>(&texture)) return *message;
        ready.textures.push_back(std::get<Picture>(texture));
        remembered = wall.texture;
    }
    return ready;
}

void tilePicture(Canvas& target, const Canvas& picture, int limitW, int limitH) {
    tilePicture(target, picture, limitW, limitH, target.bounds());
}

void tilePicture(Canvas& target, const Canvas& picture, int limitW, int limitH, const Rect& area) {
    const int w = picture.width(), h = picture.height();
    if (picture.empty() || limitW < 0 || limitH < 0) return;
    // Tiles are drawn column by column, each column top to bottom, so a pixel shows the last tile
    // that starts at or before it in both directions: the picture's rows and columns repeat with
    // the steps. So each target row is put together once per picture row and copied after that,
    // instead of drawing the tiles one by one.
    const int stepX = tileStep(w), stepY = tileStep(h);
    const int lastX = limitW / stepX * stepX, lastY = limitH / stepY * stepY;
    const Rect covered{0, 0,
                       static_cast<int>(std::min<int64_t>(target.width(), int64_t{lastX} + w)),
                       static_cast<int>(std::min<int64_t>(target.height(), int64_t{lastY} + h))};
    const Rect a = area.intersect(covered);
    if (a.empty()) return;
    std::vector<int> column(static_cast<size_t>(a.w));  // the picture column of each target column
    for (int x = 0; x < a.w; ++x)
        column[static_cast<size_t>(x)] = a.x + x - std::min((a.x + x) / stepX * stepX, lastX);
    std::vector<int> shownAt(static_cast<size_t>(h), -1);  // the target row showing a picture row
    for (int y = a.y; y < a.y + a.h; ++y) {
        const int r = y - std::min(y / stepY * stepY, lastY);
        int& first = shownAt[static_cast<size_t>(r)];
        uint32_t* out = target.row(y) + a.x;
        if (first >= 0) {
            std::copy_n(target.row(first) + a.x, a.w, out);
            continue;
        }
        const uint32_t* in = picture.row(r);
        for (int x = 0; x < a.w; ++x) out[x] = in[column[static_cast<size_t>(x)]];
        first = y;
    }
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

    // Each wall shows the texture canvas Picture3 at its own place. Picture3 holds the latest
    // texture, always tiled from (0, 0) over the whole field so that walls sharing a texture join
    // without seams, and is white before the first. The walls are painted straight from that
    // tiling; the canvas itself is drawn only when someone looks at it (textureCanvas).
    textureToDraw_ = nullptr;
    const Rect field{0, 0, kFieldWidth, kFieldHeight};
    for (size_t i = 0; i < file.walls.size(); ++i) {
        const LevelWall& wall = file.walls[i];
        if (const Picture& next = level.textures[i]) {
            picture2_->setPicture(next);
            if (!next->empty()) textureToDraw_ = next;  // an empty picture leaves the tiling
        }
        const Rect area =
            Rect{wall.x1, wall.y1, wall.x2 - wall.x1, wall.y2 - wall.y1}.intersect(field);
        if (textureToDraw_)
            tilePicture(screen, *textureToDraw_, kFieldWidth, kFieldHeight, area);
        else
            screen.fillRect(area.x, area.y, area.w, area.h, kWhite);
        for (int x = wall.x1; x <= wall.x2 - kCellSize; x += kCellSize)
            for (int y = wall.y1; y <= wall.y2 - kCellSize; y += kCellSize)
                state_.board.set(x, y, 1);
    }
    refresh();
}

}  // namespace zib
