#include "editor/level_model.h"

#include <algorithm>
#include <utility>

namespace zib {

namespace {

bool sameStart(const LevelStart& a, const LevelStart& b) {
    return a.x == b.x && a.y == b.y && a.dx == b.dx && a.dy == b.dy;
}

bool flipsX(Mirror m) {
    return m == Mirror::LeftRight || m == Mirror::Centre;
}
bool flipsY(Mirror m) {
    return m == Mirror::TopBottom || m == Mirror::Centre;
}

}  // namespace

bool sameRect(const LevelWall& a, const LevelWall& b) {
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

bool sameLevel(const EditedLevel& a, const EditedLevel& b) {
    if (a.background != b.background || !sameStart(a.red, b.red) || !sameStart(a.blue, b.blue) ||
        a.walls.size() != b.walls.size())
        return false;
    for (size_t i = 0; i < a.walls.size(); ++i)
        if (!sameRect(a.walls[i], b.walls[i]) || a.walls[i].texture != b.walls[i].texture)
            return false;
    return true;
}

EditedLevel emptyLevel(const std::string& background) {
    EditedLevel level;
    level.background = background;
    level.red = LevelStart{100, 290, 1, 0};
    level.blue = LevelStart{kFieldWidth - kCellSize - 100, 290, -1, 0};
    return level;
}

EditedLevel levelOfFile(const LevelFile& file) {
    return EditedLevel{file.background, file.red, file.blue, file.walls};
}

std::string levelText(const EditedLevel& level) {
    auto start = [](const LevelStart& s) {
        return std::to_string(s.x) + "," + std::to_string(s.y) + "," + std::to_string(s.dx) + "," +
               std::to_string(s.dy);
    };
    std::string text = "\"" + level.background + "\"," + start(level.red) + "\n";
    text += start(level.blue) + "\n";
    for (const LevelWall& w : level.walls)
        text += std::to_string(w.x1) + "," + std::to_string(w.y1) + "," + std::to_string(w.x2) +
                "," + std::to_string(w.y2) + ",\"" + w.texture + "\"\n";
    return text;
}

int snapToGrid(int value, int high) {
    const int snapped = (std::clamp(value, 0, high) + kCellSize / 2) / kCellSize * kCellSize;
    return std::min(snapped, high / kCellSize * kCellSize);
}

LevelWall wallOfDrag(int x0, int y0, int x1, int y1, const std::string& texture) {
    LevelWall wall;
    wall.x1 = snapToGrid(std::min(x0, x1), kFieldWidth);
    wall.y1 = snapToGrid(std::min(y0, y1), kFieldHeight);
    wall.x2 = snapToGrid(std::max(x0, x1), kFieldWidth);
    wall.y2 = snapToGrid(std::max(y0, y1), kFieldHeight);
    // At least one cell, kept inside the field.
    if (wall.x2 - wall.x1 < kCellSize) {
        if (wall.x1 + kCellSize <= kFieldWidth)
            wall.x2 = wall.x1 + kCellSize;
        else
            wall.x1 = wall.x2 - kCellSize;
    }
    if (wall.y2 - wall.y1 < kCellSize) {
        if (wall.y1 + kCellSize <= kFieldHeight)
            wall.y2 = wall.y1 + kCellSize;
        else
            wall.y1 = wall.y2 - kCellSize;
    }
    wall.texture = texture;
    return wall;
}

LevelWall mirrorWall(const LevelWall& wall, Mirror mirror) {
    LevelWall image = wall;
    if (flipsX(mirror)) {
        image.x1 = kFieldWidth - wall.x2;
        image.x2 = kFieldWidth - wall.x1;
    }
    if (flipsY(mirror)) {
        image.y1 = kFieldHeight - wall.y2;
        image.y2 = kFieldHeight - wall.y1;
    }
    return image;
}

LevelStart mirrorStart(const LevelStart& start, Mirror mirror) {
    LevelStart image = start;
    if (flipsX(mirror)) {
        image.x = kFieldWidth - kCellSize - start.x;
        image.dx = -start.dx;
    }
    if (flipsY(mirror)) {
        image.y = kFieldHeight - kCellSize - start.y;
        image.dy = -start.dy;
    }
    return image;
}

int wallAt(const EditedLevel& level, int x, int y) {
    for (int i = static_cast<int>(level.walls.size()) - 1; i >= 0; --i) {
        const LevelWall& w = level.walls[static_cast<size_t>(i)];
        if (x >= w.x1 && x < w.x2 && y >= w.y1 && y < w.y2) return i;
    }
    return -1;
}

LevelModel::LevelModel(EditedLevel level) : level_(std::move(level)), saved_(level_) {}

void LevelModel::remember() {
    undo_.push_back(level_);
    if (undo_.size() > kUndoSteps) undo_.pop_front();
    redo_.clear();
}

int LevelModel::partnerOf(int index) const {
    if (mirror == Mirror::Off || index < 0) return -1;
    const LevelWall& wall = level_.walls[static_cast<size_t>(index)];
    const LevelWall image = mirrorWall(wall, mirror);
    if (sameRect(image, wall)) return -1;
    for (int i = static_cast<int>(level_.walls.size()) - 1; i >= 0; --i)
        if (i != index && sameRect(level_.walls[static_cast<size_t>(i)], image)) return i;
    return -1;
}

void LevelModel::addWall(const LevelWall& wall) {
    remember();
    level_.walls.push_back(wall);
    if (mirror == Mirror::Off) return;
    const LevelWall image = mirrorWall(wall, mirror);
    if (!sameRect(image, wall)) level_.walls.push_back(image);
}

bool LevelModel::eraseAt(int x, int y) {
    const int index = wallAt(level_, x, y);
    if (index < 0) return false;
    const int partner = partnerOf(index);
    remember();
    // The later one first, so that the earlier index stays valid.
    for (int i : {std::max(index, partner), std::min(index, partner)})
        if (i >= 0) level_.walls.erase(level_.walls.begin() + i);
    return true;
}

void LevelModel::placeStart(StartOf snake, int x, int y) {
    remember();
    LevelStart& s = start(snake);
    s.x = std::clamp(x, 0, kFieldWidth - 1) / kCellSize * kCellSize;
    s.y = std::clamp(y, 0, kFieldHeight - 1) / kCellSize * kCellSize;
    if (mirror != Mirror::Off)
        start(snake == StartOf::Red ? StartOf::Blue : StartOf::Red) = mirrorStart(s, mirror);
}

void LevelModel::turnStart(StartOf snake, int dx, int dy) {
    remember();
    LevelStart& s = start(snake);
    s.dx = dx;
    s.dy = dy;
    if (mirror != Mirror::Off) {
        LevelStart& other = start(snake == StartOf::Red ? StartOf::Blue : StartOf::Red);
        const LevelStart image = mirrorStart(s, mirror);
        other.dx = image.dx;
        other.dy = image.dy;
    }
}

void LevelModel::setBackground(const std::string& name) {
    if (name == level_.background) return;
    remember();
    level_.background = name;
}

void LevelModel::beginWallDrag(int index) {
    if (index < 0 || index >= static_cast<int>(level_.walls.size())) return;
    dragStart_ = level_;
    dragged_ = index;
    dragPartner_ = partnerOf(index);
}

void LevelModel::dragWallTo(const LevelWall& where) {
    if (dragged_ < 0) return;
    LevelWall& wall = level_.walls[static_cast<size_t>(dragged_)];
    const std::string texture = wall.texture;
    wall = where;
    wall.texture = texture;
    if (dragPartner_ >= 0) {
        LevelWall& image = level_.walls[static_cast<size_t>(dragPartner_)];
        const std::string imageTexture = image.texture;
        image = mirrorWall(wall, mirror);
        image.texture = imageTexture;
    }
}

void LevelModel::endWallDrag() {
    if (dragged_ < 0) return;
    dragged_ = dragPartner_ = -1;
    // A drag that ended where it began is no step.
    if (sameLevel(dragStart_, level_)) return;
    std::swap(level_, dragStart_);
    remember();
    std::swap(level_, dragStart_);
}

bool LevelModel::undo() {
    if (undo_.empty()) return false;
    redo_.push_back(std::move(level_));
    level_ = std::move(undo_.back());
    undo_.pop_back();
    return true;
}

bool LevelModel::redo() {
    if (redo_.empty()) return false;
    undo_.push_back(std::move(level_));
    level_ = std::move(redo_.back());
    redo_.pop_back();
    return true;
}

}  // namespace zib
