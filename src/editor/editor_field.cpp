// The editor's field: the background with a faint grid, the walls and the starts as the game
// paints them, and above them the outline of a wall being drawn and the thing a finding concerns.
#include <algorithm>

#include "editor/editor_window.h"
#include "game/picture_tiling.h"
#include "platform/files.h"
#include "snakes/sprite_pictures.h"

namespace zib {

namespace {

constexpr uint32_t kOutline = rgb(255, 255, 0);
constexpr uint32_t kMarked = rgb(255, 0, 255);

// Draws the border of r, thick pixels wide, inside r.
void frame(Canvas& c, const Rect& r, int thick, uint32_t colour) {
    c.fillRect(r.x, r.y, r.w, thick, colour);
    c.fillRect(r.x, r.y + r.h - thick, r.w, thick, colour);
    c.fillRect(r.x, r.y, thick, r.h, colour);
    c.fillRect(r.x + r.w - thick, r.y, thick, r.h, colour);
}

// A pixel a quarter of the way to white.
uint32_t lighter(uint32_t p) {
    const uint32_t r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
    return rgb(static_cast<int>(r + (255 - r) / 4), static_cast<int>(g + (255 - g) / 4),
               static_cast<int>(b + (255 - b) / 4));
}

// The head piece that faces (dx, dy): 7 right, 8 down, 9 left, 10 up.
int headHolder(const LevelStart& s) {
    if (s.dx < 0) return 9;
    if (s.dx == 0 && s.dy > 0) return 8;
    if (s.dx == 0 && s.dy < 0) return 10;
    return 7;
}

Rect wallRect(const LevelWall& w) {
    return Rect{w.x1, w.y1, w.x2 - w.x1, w.y2 - w.y1};
}

}  // namespace

Picture EditorWindow::picture(const std::string& name) {
    auto [at, inserted] = pictures_.try_emplace(name, nullptr);
    if (!inserted || name.empty()) return at->second;
    std::optional<std::string> path;
    if (!folders_.player.empty()) path = resolvePath(folders_.player, name);
    if (!path && !folders_.shipped.empty()) path = resolvePath(folders_.shipped, name);
    if (path) {
        try {
            at->second = app().loadPicture(*path);
        } catch (const PictureError&) {
            at->second = nullptr;
        }
    }
    return at->second;
}

void EditorWindow::paintBackground() {
    const EditedLevel& level = model_.level();
    if (backgroundPainted_ == level.background && !backgroundLayer_.empty()) return;
    backgroundPainted_ = level.background;
    backgroundLayer_ = Canvas(kFieldWidth, kFieldHeight, kBlack);
    paintLevel(backgroundLayer_, EditedLevel{level.background, {}, {}, {}},
               [this](const std::string& name) { return picture(name); });
    for (int y = 0; y < kFieldHeight; ++y) {
        uint32_t* row = backgroundLayer_.row(y);
        if (y % kCellSize == 0) {
            for (int x = 0; x < kFieldWidth; ++x) row[x] = lighter(row[x]);
        } else {
            for (int x = 0; x < kFieldWidth; x += kCellSize) row[x] = lighter(row[x]);
        }
    }
}

void EditorWindow::paintLevelLayer() {
    paintBackground();
    levelLayer_ = backgroundLayer_;
    const EditedLevel& level = model_.level();
    const Rect field{0, 0, kFieldWidth, kFieldHeight};
    constexpr uint32_t kNoTexture = rgb(150, 150, 150);
    for (const LevelWall& wall : level.walls) {
        const Rect area = wallRect(wall).intersect(field);
        const Picture texture = picture(wall.texture);
        if (texture && !texture->empty())
            tilePicture(levelLayer_, *texture, kFieldWidth, kFieldHeight, area);
        else
            levelLayer_.fillRect(area.x, area.y, area.w, area.h, kNoTexture);
    }
    const std::pair<const LevelStart*, uint32_t> starts[] = {{&level.red, kRedSnakeColour},
                                                             {&level.blue, kBlueSnakeColour}};
    for (const auto& [start, colour] : starts) {
        levelLayer_.fillRect(start->x - 1, start->y - 1, kCellSize + 2, kCellSize + 2, kWhite);
        levelLayer_.drawOver(drawSnakePiece(headHolder(*start), colour), start->x, start->y);
    }
}

void EditorWindow::drawField() {
    if (!field_) return;
    Canvas& c = field_->canvas();
    c.copyFrom(levelLayer_, 0, 0, c.bounds());
    if (dragging_ && tool_ == EditorTool::Wall) {
        const LevelWall w = wallOfDrag(dragX0_, dragY0_, dragX_, dragY_, "");
        frame(c, wallRect(w), 1, kOutline);
    }
    if (dragging_ && tool_ == EditorTool::Move && model_.draggedWall() >= 0)
        frame(c, wallRect(model_.level().walls[static_cast<size_t>(model_.draggedWall())]), 1,
              kOutline);
    if (selected_ && *selected_ < static_cast<int>(check_.findings.size())) {
        const LevelFinding& f = check_.findings[static_cast<size_t>(*selected_)];
        const EditedLevel& level = model_.level();
        if (f.subject == LevelFinding::Subject::Wall && f.wall >= 0 &&
            f.wall < static_cast<int>(level.walls.size()))
            frame(c, wallRect(level.walls[static_cast<size_t>(f.wall)]), 3, kMarked);
        if (f.subject == LevelFinding::Subject::Red || f.subject == LevelFinding::Subject::Blue) {
            const LevelStart& s = f.subject == LevelFinding::Subject::Red ? level.red : level.blue;
            frame(c, Rect{s.x - 5, s.y - 5, kCellSize + 10, kCellSize + 10}, 3, kMarked);
        }
    }
}

void EditorWindow::levelChanged() {
    if (!isLoaded()) return;
    paintLevelLayer();
    check_ = checkLevelText(levelText(model_.level()), folders_.player, services().graphics,
                            folders_.shipped, &pictureLoads_);
    if (selected_ && *selected_ >= static_cast<int>(check_.findings.size())) selected_.reset();
    drawField();
    showFindings();
    showPanel();
}

}  // namespace zib
