#include "zibsim/level_check.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <variant>

#include "game/level_file.h"
#include "platform/data_folder.h"
#include "platform/fields.h"
#include "platform/files.h"
#include "platform/stop_signals.h"
#include "snakes/food_placement.h"
#include "state/board.h"

namespace zibsim {

bool LevelCheck::playable() const {
    for (const LevelFinding& f : findings)
        if (f.severity == LevelFinding::Severity::Error) return false;
    return true;
}

namespace {

using zib::kCellSize;
using zib::kFieldHeight;
using zib::kFieldWidth;

std::string inQuotes(const std::string& s) {
    return "\"" + s + "\"";
}

struct Start {
    std::optional<int> x, y, dx, dy;
    int line = 0;
};

struct Wall {
    std::optional<int> x1, y1, x2, y2;
    std::string texture;
    int line = 0;
    bool complete() const { return x1 && y1 && x2 && y2; }
};

// Reads the fields of a level and collects findings; a field that does not read is reported and
// the reading goes on with the next one, so one run shows every problem.
class Checker {
  public:
    Checker(const std::string& text, const std::string& folder, const std::string& sharedFolder,
            zib::Graphics& graphics)
        : text_(text),
          fields_(text),
          folder_(folder),
          sharedFolder_(sharedFolder),
          graphics_(graphics) {}

    LevelCheck run() {
        readRecords();
        checkPictures();
        checkField();
        crossCheck();
        // In the order of the file; findings about the whole file last.
        std::stable_sort(result_.findings.begin(), result_.findings.end(),
                         [](const LevelFinding& a, const LevelFinding& b) {
                             auto key = [](int line) { return line == 0 ? INT_MAX : line; };
                             return key(a.line) < key(b.line);
                         });
        return std::move(result_);
    }

  private:
    void error(int line, std::string message) {
        result_.findings.push_back({LevelFinding::Severity::Error, line, std::move(message)});
    }
    void warning(int line, std::string message) {
        result_.findings.push_back({LevelFinding::Severity::Warning, line, std::move(message)});
    }

    std::optional<std::string> text(const std::string& name) {
        if (ended_) return std::nullopt;
        std::optional<std::string> value = fields_.readText();
        if (!value) {
            ended_ = true;
            error(line_, "the file ends early: " + name + " is missing");
            return std::nullopt;
        }
        line_ = fields_.line();
        return value;
    }

    // A whole number; nullopt (reported) when the field is missing or does not read.
    std::optional<long long> number(const std::string& name) {
        std::optional<std::string> field = text(name);
        if (!field) return std::nullopt;
        std::optional<long long> value = zib::FieldReader::parseNumber(*field);
        if (!value) error(line_, name + " does not read as a whole number: " + inQuotes(*field));
        return value;
    }

    // A coordinate in 0..high; nullopt (reported) otherwise.
    std::optional<int> coordinate(const std::string& name, long long high) {
        std::optional<long long> value = number(name);
        if (!value) return std::nullopt;
        if (*value < 0 || *value > high) {
            error(line_, name + " = " + std::to_string(*value) + " lies outside the field (0.." +
                             std::to_string(high) + ")");
            return std::nullopt;
        }
        return static_cast<int>(*value);
    }

    // A start coordinate: inside the field and on the 10-pixel lattice.
    std::optional<int> startCoordinate(const std::string& name, long long high) {
        std::optional<int> value = coordinate(name, high);
        if (value && *value % kCellSize != 0) {
            error(line_, name + " = " + std::to_string(*value) + " is off the 10-pixel lattice");
            return std::nullopt;
        }
        return value;
    }

    std::optional<int> direction(const std::string& name) {
        std::optional<long long> value = number(name);
        if (!value) return std::nullopt;
        if (*value < -1 || *value > 1) {
            error(line_, name + " = " + std::to_string(*value) + " must be -1, 0 or 1");
            return std::nullopt;
        }
        return static_cast<int>(*value);
    }

    void readStart(const std::string& snake, Start& start) {
        const int before = line_;
        start.x = startCoordinate("x of the " + snake, kFieldWidth - kCellSize);
        start.line = ended_ ? before : line_;
        start.y = startCoordinate("y of the " + snake, kFieldHeight - kCellSize);
        start.dx = direction("dx of the " + snake);
        start.dy = direction("dy of the " + snake);
    }

    void readWall() {
        Wall wall;
        wall.x1 = coordinate("x1 of a wall", kFieldWidth);
        wall.line = line_;
        wall.y1 = coordinate("y1 of a wall", kFieldHeight);
        wall.x2 = coordinate("x2 of a wall", kFieldWidth);
        wall.y2 = coordinate("y2 of a wall", kFieldHeight);
        std::optional<std::string> texture = text("the texture of a wall");
        if (!texture) return;
        wall.texture = *texture;
        if (wall.complete()) {
            const int x1 = *wall.x1, y1 = *wall.y1, x2 = *wall.x2, y2 = *wall.y2;
            if (x1 >= x2 || y1 >= y2) {
                warning(wall.line, "the wall is empty (x1 >= x2 or y1 >= y2): it blocks nothing");
            } else if (x1 % kCellSize != 0 || y1 % kCellSize != 0) {
                warning(wall.line, "the wall's corner (" + std::to_string(x1) + ", " +
                                       std::to_string(y1) +
                                       ") is off the 10-pixel lattice: it is painted but blocks "
                                       "no cell");
            } else if ((x2 - x1) % kCellSize != 0 || (y2 - y1) % kCellSize != 0) {
                warning(wall.line, "the wall paints more than it blocks: its size " +
                                       std::to_string(x2 - x1) + " x " + std::to_string(y2 - y1) +
                                       " is no multiple of 10");
            }
        }
        walls_.push_back(std::move(wall));
    }

    void readRecords() {
        background_ = text("the background picture");
        backgroundLine_ = line_;
        readStart("red snake", red_);
        readStart("blue snake", blue_);
        while (!ended_ && !fields_.atEnd()) readWall();
    }

    // Loads a picture as the game would: looked up beside the level, else in the shared folder,
    // any case of the name.
    void checkPicture(const std::string& name, int line, const std::string& what) {
        if (name.empty()) {
            error(line, what + " has no file name");
            return;
        }
        std::optional<std::string> path = zib::resolvePath(folder_, name);
        if (!path && !sharedFolder_.empty()) path = zib::resolvePath(sharedFolder_, name);
        if (!path) {
            error(line, what + " " + inQuotes(name) + " is not in the folder " + inQuotes(folder_));
            return;
        }
        auto [known, inserted] = loads_.try_emplace(*path, true);
        if (inserted) {
            try {
                graphics_.loadPicture(*path);
            } catch (const zib::PictureError&) {
                known->second = false;
            }
        }
        if (!known->second)
            error(line, what + " " + inQuotes(*path) + " does not load: not a picture or damaged");
    }

    void checkPictures() {
        if (!background_) return;  // an empty file: said already
        checkPicture(*background_, backgroundLine_, "the background picture");
        // The game loads a texture only where the name changes from one wall to the next.
        std::string remembered;
        for (const Wall& wall : walls_) {
            if (wall.texture == remembered) continue;
            checkPicture(wall.texture, wall.line, "the wall texture");
            remembered = wall.texture;
        }
    }

    // The line of the first wall that blocks the cell (x, y), or 0.
    int wallAt(int x, int y) const {
        for (const Wall& wall : walls_) {
            if (!wall.complete()) continue;
            zib::LevelWall w{*wall.x1, *wall.y1, *wall.x2, *wall.y2, wall.texture, wall.line};
            if (w.blocks(x, y)) return wall.line;
        }
        return 0;
    }

    void checkStart(const std::string& snake, const Start& start) {
        if (!start.x || !start.y) return;
        const int x = *start.x, y = *start.y;
        if (int line = wallAt(x, y)) {
            error(start.line, "the " + snake + " starts on the wall of line " +
                                  std::to_string(line) + " at (" + std::to_string(x) + ", " +
                                  std::to_string(y) + ")");
            return;
        }
        if (!start.dx || !start.dy) return;
        if (*start.dx == 0 && *start.dy == 0) {
            error(
                start.line,
                "the " + snake + " does not move (dx = dy = 0): it runs into its own body at once");
            return;
        }
        // The first step, brought back onto the field as the snakes wrap at the edges.
        int nx = x + kCellSize * *start.dx, ny = y + kCellSize * *start.dy;
        if (nx == kFieldWidth) nx = 0;
        if (ny == kFieldHeight) ny = 0;
        if (nx < 0) nx = kFieldWidth - kCellSize;
        if (ny < 0) ny = kFieldHeight - kCellSize;
        if (int line = wallAt(nx, ny))
            error(start.line, "the " + snake + "'s first step (to " + std::to_string(nx) + ", " +
                                  std::to_string(ny) + ") runs straight into the wall of line " +
                                  std::to_string(line));
    }

    void checkField() {
        checkStart("red snake", red_);
        checkStart("blue snake", blue_);
        if (red_.x && red_.y && blue_.x && blue_.y && *red_.x == *blue_.x && *red_.y == *blue_.y)
            error(blue_.line, "both snakes start on the same cell (" + std::to_string(*red_.x) +
                                  ", " + std::to_string(*red_.y) + ")");
        zib::Board board;
        for (const Wall& wall : walls_) {
            if (!wall.complete()) continue;
            for (int x = *wall.x1; x <= *wall.x2 - kCellSize; x += kCellSize)
                for (int y = *wall.y1; y <= *wall.y2 - kCellSize; y += kCellSize)
                    board.set(x, y, 1);
        }
        if (zib::countFreeFoodCells(board) == 0)
            error(0, "no free cell for food: walls cover every cell of x 10..700, y 10..500");
    }

    // The game's own reader decides what it accepts; anything it refuses that was not reported
    // above is reported with its message.
    void crossCheck() {
        auto parsed = zib::parseLevel(text_, "level");
        if (std::holds_alternative<zib::LevelFile>(parsed) || !result_.playable()) return;
        error(0, "the game refuses the level: " + std::get<zib::LevelError>(parsed).message);
    }

    const std::string& text_;
    zib::FieldReader fields_;
    const std::string folder_;
    const std::string sharedFolder_;
    zib::Graphics& graphics_;
    LevelCheck result_;
    bool ended_ = false;
    int line_ = 1;
    std::optional<std::string> background_;
    int backgroundLine_ = 1;
    Start red_, blue_;
    std::vector<Wall> walls_;
    std::map<std::string, bool> loads_;  // resolved path -> whether it loads
};

}  // namespace

LevelCheck checkLevelText(const std::string& text, const std::string& folder,
                          zib::Graphics& graphics, const std::string& sharedFolder) {
    return Checker(text, folder, sharedFolder, graphics).run();
}

LevelCheck checkLevelFile(const std::string& path, zib::Graphics& graphics) {
    std::string text;
    const zib::FileRead read = zib::readRegularFile(path, text, zib::kLargestLevelFile);
    if (read != zib::FileRead::Ok) {
        LevelCheck check;
        const char* why = read == zib::FileRead::TooLarge   ? "the file is larger than 1 MiB"
                          : read == zib::FileRead::NotAFile ? "it is not a regular file"
                                                            : "the file cannot be read";
        check.findings.push_back({LevelFinding::Severity::Error, 0, why});
        return check;
    }
    std::string folder = std::filesystem::path(path).parent_path().string();
    // The game finds a player's level's pictures in the shipped data folder too.
    return checkLevelText(text, folder.empty() ? "." : folder, graphics, zib::dataFolder());
}

int runLevelCheck(const std::vector<std::string>& paths, std::ostream& out,
                  zib::Graphics& graphics) {
    if (paths.empty()) return 2;
    bool allPlayable = true;
    for (const std::string& path : paths) {
        if (zib::stopSignal()) break;
        LevelCheck check = checkLevelFile(path, graphics);
        int errors = 0, warnings = 0;
        for (const LevelFinding& f : check.findings) {
            const bool isError = f.severity == LevelFinding::Severity::Error;
            (isError ? errors : warnings) += 1;
            out << path;
            if (f.line > 0) out << ':' << f.line;
            out << (isError ? ": error: " : ": warning: ") << f.message << '\n';
        }
        out << path << ": " << (errors == 0 ? "playable" : "NOT playable") << " (" << errors
            << " errors, " << warnings << " warnings)\n";
        allPlayable = allPlayable && errors == 0;
    }
    return allPlayable ? 0 : 1;
}

}  // namespace zibsim
