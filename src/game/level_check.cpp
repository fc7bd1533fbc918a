#include "game/level_check.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <optional>
#include <variant>

#include "game/level_file.h"
#include "platform/data_folder.h"
#include "platform/fields.h"
#include "platform/files.h"
#include "snakes/food_placement.h"
#include "state/board.h"

namespace zib {

bool LevelCheck::playable() const {
    for (const LevelFinding& f : findings)
        if (f.severity == LevelFinding::Severity::Error) return false;
    return true;
}

namespace {

using Subject = LevelFinding::Subject;

std::string inQuotes(const std::string& s) {
    return "\"" + s + "\"";
}
std::string czechQuotes(const std::string& s) {
    return "„" + s + "“";
}
std::string cell(int x, int y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

// What a finding is about: the subject and the English and Czech names of a field in it.
struct About {
    Subject subject = Subject::File;
    int wall = -1;
};

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

// A snake's names in both languages.
struct Snake {
    const char* english;  // "red snake"
    const char* czech;    // "červený had"
    const char* czechOf;  // "červeného hada"
    Subject subject;
};
constexpr Snake kRed{"red snake", "červený had", "červeného hada", Subject::Red};
constexpr Snake kBlue{"blue snake", "modrý had", "modrého hada", Subject::Blue};

// Reads the fields of a level and collects findings; a field that does not read is reported and
// the reading goes on with the next one, so one run shows every problem.
class Checker {
  public:
    Checker(const std::string& text, const std::string& folder, const std::string& sharedFolder,
            Graphics& graphics, PictureLoads& loads)
        : text_(text),
          fields_(text),
          folder_(folder),
          sharedFolder_(sharedFolder),
          graphics_(graphics),
          loads_(loads) {}

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
    void add(LevelFinding::Severity severity, int line, std::string message, std::string czech) {
        result_.findings.push_back(
            {severity, line, std::move(message), std::move(czech), about_.subject, about_.wall});
    }
    void error(int line, std::string message, std::string czech) {
        add(LevelFinding::Severity::Error, line, std::move(message), std::move(czech));
    }
    void warning(int line, std::string message, std::string czech) {
        add(LevelFinding::Severity::Warning, line, std::move(message), std::move(czech));
    }

    // A field's names: English for the tool, Czech (in the nominative) for the player.
    struct Name {
        std::string english, czech;
    };

    std::optional<std::string> text(const Name& name) {
        if (ended_) return std::nullopt;
        std::optional<std::string> value = fields_.readText();
        if (!value) {
            ended_ = true;
            error(line_, "the file ends early: " + name.english + " is missing",
                  "soubor končí předčasně, chybí " + name.czech);
            return std::nullopt;
        }
        line_ = fields_.line();
        return value;
    }

    // A whole number; nullopt (reported) when the field is missing or does not read.
    std::optional<long long> number(const Name& name) {
        std::optional<std::string> field = text(name);
        if (!field) return std::nullopt;
        std::optional<long long> value = FieldReader::parseNumber(*field);
        if (!value)
            error(line_, name.english + " does not read as a whole number: " + inQuotes(*field),
                  name.czech + " není celé číslo: " + czechQuotes(*field));
        return value;
    }

    // A coordinate in 0..high; nullopt (reported) otherwise.
    std::optional<int> coordinate(const Name& name, long long high) {
        std::optional<long long> value = number(name);
        if (!value) return std::nullopt;
        if (*value < 0 || *value > high) {
            const std::string said = " = " + std::to_string(*value);
            error(line_,
                  name.english + said + " lies outside the field (0.." + std::to_string(high) + ")",
                  name.czech + said + " leží mimo hrací plochu (0.." + std::to_string(high) + ")");
            return std::nullopt;
        }
        return static_cast<int>(*value);
    }

    // A start coordinate: inside the field and on the 10-pixel lattice.
    std::optional<int> startCoordinate(const Name& name, long long high) {
        std::optional<int> value = coordinate(name, high);
        if (value && *value % kCellSize != 0) {
            const std::string said = " = " + std::to_string(*value);
            error(line_, name.english + said + " is off the 10-pixel lattice",
                  name.czech + said + " neleží na mřížce po 10 bodech");
            return std::nullopt;
        }
        return value;
    }

    std::optional<int> direction(const Name& name) {
        std::optional<long long> value = number(name);
        if (!value) return std::nullopt;
        if (*value < -1 || *value > 1) {
            const std::string said = " = " + std::to_string(*value);
            error(line_, name.english + said + " must be -1, 0 or 1",
                  name.czech + said + " musí být −1, 0 nebo 1");
            return std::nullopt;
        }
        return static_cast<int>(*value);
    }

    void readStart(const Snake& snake, Start& start) {
        about_ = {snake.subject, -1};
        const std::string of = std::string(" ") + snake.czechOf;
        const std::string english = std::string(" of the ") + snake.english;
        const int before = line_;
        start.x = startCoordinate({"x" + english, "souřadnice x" + of}, kFieldWidth - kCellSize);
        start.line = ended_ ? before : line_;
        start.y = startCoordinate({"y" + english, "souřadnice y" + of}, kFieldHeight - kCellSize);
        start.dx = direction({"dx" + english, "směr dx" + of});
        start.dy = direction({"dy" + english, "směr dy" + of});
    }

    void readWall() {
        about_ = {Subject::Wall, static_cast<int>(walls_.size())};
        Wall wall;
        wall.x1 = coordinate({"x1 of a wall", "souřadnice x1 zdi"}, kFieldWidth);
        wall.line = line_;
        wall.y1 = coordinate({"y1 of a wall", "souřadnice y1 zdi"}, kFieldHeight);
        wall.x2 = coordinate({"x2 of a wall", "souřadnice x2 zdi"}, kFieldWidth);
        wall.y2 = coordinate({"y2 of a wall", "souřadnice y2 zdi"}, kFieldHeight);
        std::optional<std::string> texture = text({"the texture of a wall", "textura zdi"});
        if (!texture) return;
        wall.texture = *texture;
        if (wall.complete()) {
            const int x1 = *wall.x1, y1 = *wall.y1, x2 = *wall.x2, y2 = *wall.y2;
            if (x1 >= x2 || y1 >= y2) {
                warning(wall.line, "the wall is empty (x1 >= x2 or y1 >= y2): it blocks nothing",
                        "zeď je prázdná (x1 ≥ x2 nebo y1 ≥ y2), nic neblokuje");
            } else if (x1 % kCellSize != 0 || y1 % kCellSize != 0) {
                warning(wall.line,
                        "the wall's corner " + cell(x1, y1) +
                            " is off the 10-pixel lattice: it is painted but blocks no cell",
                        "roh zdi " + cell(x1, y1) +
                            " neleží na mřížce po 10 bodech: zeď je vidět, ale nic neblokuje");
            } else if ((x2 - x1) % kCellSize != 0 || (y2 - y1) % kCellSize != 0) {
                const std::string size = std::to_string(x2 - x1) + " x " + std::to_string(y2 - y1);
                warning(wall.line,
                        "the wall paints more than it blocks: its size " + size +
                            " is no multiple of 10",
                        "zeď je vidět víc, než blokuje: její rozměr " + size + " není násobkem 10");
            }
        }
        walls_.push_back(std::move(wall));
    }

    void readRecords() {
        about_ = {Subject::Background, -1};
        background_ = text({"the background picture", "obrázek pozadí"});
        backgroundLine_ = line_;
        readStart(kRed, red_);
        readStart(kBlue, blue_);
        while (!ended_ && !fields_.atEnd()) readWall();
        if (walls_.size() > static_cast<size_t>(kMostWalls)) {
            about_ = {Subject::Wall, kMostWalls};
            const std::string count = std::to_string(walls_.size());
            warning(walls_[kMostWalls].line,
                    "the level has " + count + " walls, more than " + std::to_string(kMostWalls),
                    "mapa má " + count + " zdí, víc než " + std::to_string(kMostWalls));
        }
    }

    // Loads a picture as the game would: looked up beside the level, else in the shared folder,
    // any case of the name.
    void checkPicture(const std::string& name, int line, const Name& what) {
        if (name.empty()) {
            error(line, what.english + " has no file name", what.czech + " nemá jméno souboru");
            return;
        }
        std::optional<std::string> path = resolvePath(folder_, name);
        if (!path && !sharedFolder_.empty()) path = resolvePath(sharedFolder_, name);
        if (!path) {
            error(
                line,
                what.english + " " + inQuotes(name) + " is not in the folder " + inQuotes(folder_),
                what.czech + " " + czechQuotes(name) + " chybí ve složce " + czechQuotes(folder_));
            return;
        }
        auto [known, inserted] = loads_.try_emplace(*path, true);
        if (inserted) {
            try {
                graphics_.loadPicture(*path);
            } catch (const PictureError&) {
                known->second = false;
            }
        }
        if (!known->second)
            error(line,
                  what.english + " " + inQuotes(*path) + " does not load: not a picture or damaged",
                  what.czech + " " + czechQuotes(*path) +
                      " nejde načíst: není to obrázek, nebo je poškozený");
    }

    void checkPictures() {
        if (!background_) return;  // an empty file: said already
        about_ = {Subject::Background, -1};
        checkPicture(*background_, backgroundLine_, {"the background picture", "obrázek pozadí"});
        // The game loads a texture only where the name changes from one wall to the next.
        std::string remembered;
        for (size_t i = 0; i < walls_.size(); ++i) {
            const Wall& wall = walls_[i];
            if (wall.texture == remembered) continue;
            about_ = {Subject::Wall, static_cast<int>(i)};
            checkPicture(wall.texture, wall.line, {"the wall texture", "textura zdi"});
            remembered = wall.texture;
        }
    }

    // The index of the first wall that blocks the cell (x, y), or -1.
    int wallAt(int x, int y) const {
        for (size_t i = 0; i < walls_.size(); ++i) {
            const Wall& wall = walls_[i];
            if (!wall.complete()) continue;
            LevelWall w{*wall.x1, *wall.y1, *wall.x2, *wall.y2, wall.texture, wall.line};
            if (w.blocks(x, y)) return static_cast<int>(i);
        }
        return -1;
    }

    void checkStart(const Snake& snake, const Start& start) {
        if (!start.x || !start.y) return;
        about_ = {snake.subject, -1};
        const int x = *start.x, y = *start.y;
        const std::string czech = snake.czech;
        if (int i = wallAt(x, y); i >= 0) {
            const std::string line = std::to_string(walls_[static_cast<size_t>(i)].line);
            error(start.line,
                  std::string("the ") + snake.english + " starts on the wall of line " + line +
                      " at " + cell(x, y),
                  czech + " startuje na zdi z řádku " + line + " v " + cell(x, y));
            return;
        }
        if (!start.dx || !start.dy) return;
        if (*start.dx == 0 && *start.dy == 0) {
            error(start.line,
                  std::string("the ") + snake.english +
                      " does not move (dx = dy = 0): it runs into its own body at once",
                  czech + " se nehýbe (dx = dy = 0): hned narazí do vlastního těla");
            return;
        }
        // The first step, brought back onto the field as the snakes wrap at the edges.
        int nx = x + kCellSize * *start.dx, ny = y + kCellSize * *start.dy;
        if (nx == kFieldWidth) nx = 0;
        if (ny == kFieldHeight) ny = 0;
        if (nx < 0) nx = kFieldWidth - kCellSize;
        if (ny < 0) ny = kFieldHeight - kCellSize;
        if (int i = wallAt(nx, ny); i >= 0) {
            const std::string line = std::to_string(walls_[static_cast<size_t>(i)].line);
            error(start.line,
                  std::string("the ") + snake.english + "'s first step (to " + std::to_string(nx) +
                      ", " + std::to_string(ny) + ") runs straight into the wall of line " + line,
                  czech + " hned prvním krokem " + cell(nx, ny) + " narazí do zdi z řádku " + line);
        }
    }

    // Whether a snake starting at (x, y) can reach some cell where food may lie: a flood over the
    // free cells of the wrapped field.
    static bool reachesFood(const Board& board, int x, int y) {
        std::vector<char> seen(static_cast<size_t>(kGridCells), 0);
        std::vector<int> queue{y / kCellSize * kGridColumns + x / kCellSize};
        seen[static_cast<size_t>(queue[0])] = 1;
        for (size_t at = 0; at < queue.size(); ++at) {
            const int c = queue[at], cx = c % kGridColumns, cy = c / kGridColumns;
            const int px = cx * kCellSize, py = cy * kCellSize;
            if (at > 0 && px >= kFoodMinX && px <= kFoodMaxX && py >= kFoodMinY && py <= kFoodMaxY)
                return true;
            const int next[4][2] = {{(cx + 1) % kGridColumns, cy},
                                    {(cx + kGridColumns - 1) % kGridColumns, cy},
                                    {cx, (cy + 1) % kGridRows},
                                    {cx, (cy + kGridRows - 1) % kGridRows}};
            for (const auto& [nx, ny] : next) {
                const int n = ny * kGridColumns + nx;
                if (seen[static_cast<size_t>(n)] || board.gridBlocked(n)) continue;
                seen[static_cast<size_t>(n)] = 1;
                queue.push_back(n);
            }
        }
        return false;
    }

    void checkField() {
        checkStart(kRed, red_);
        checkStart(kBlue, blue_);
        if (red_.x && red_.y && blue_.x && blue_.y && *red_.x == *blue_.x && *red_.y == *blue_.y) {
            about_ = {Subject::Blue, -1};
            error(blue_.line, "both snakes start on the same cell " + cell(*red_.x, *red_.y),
                  "oba hadi startují na stejném místě " + cell(*red_.x, *red_.y));
        }
        Board board;
        for (const Wall& wall : walls_) {
            if (!wall.complete()) continue;
            for (int x = *wall.x1; x <= *wall.x2 - kCellSize; x += kCellSize)
                for (int y = *wall.y1; y <= *wall.y2 - kCellSize; y += kCellSize)
                    board.set(x, y, kCellBlocked);
        }
        about_ = {Subject::File, -1};
        if (countFreeFoodCells(board) == 0) {
            error(0, "no free cell for food: walls cover every cell of x 10..700, y 10..500",
                  "pro jídlo nezbývá volné místo: zdi zakrývají celé pole x 10..700, y 10..500");
            return;
        }
        for (const auto& [snake, start] : {std::pair{&kRed, &red_}, std::pair{&kBlue, &blue_}}) {
            if (!start->x || !start->y || wallAt(*start->x, *start->y) >= 0) continue;
            if (reachesFood(board, *start->x, *start->y)) continue;
            about_ = {snake->subject, -1};
            warning(start->line,
                    std::string("the ") + snake->english + " cannot reach any cell for food",
                    std::string(snake->czech) + " se ze startu nedostane k žádnému jídlu");
        }
    }

    // The game's own reader decides what it accepts; anything it refuses that was not reported
    // above is reported with its message.
    void crossCheck() {
        auto parsed = parseLevel(text_, "level");
        if (std::holds_alternative<LevelFile>(parsed) || !result_.playable()) return;
        about_ = {Subject::File, -1};
        const std::string& message = std::get<LevelError>(parsed).message;
        error(0, "the game refuses the level: " + message, "hra mapu odmítne: " + message);
    }

    const std::string& text_;
    FieldReader fields_;
    const std::string folder_;
    const std::string sharedFolder_;
    Graphics& graphics_;
    PictureLoads& loads_;
    LevelCheck result_;
    About about_;
    bool ended_ = false;
    int line_ = 1;
    std::optional<std::string> background_;
    int backgroundLine_ = 1;
    Start red_, blue_;
    std::vector<Wall> walls_;
};

}  // namespace

LevelCheck checkLevelText(const std::string& text, const std::string& folder, Graphics& graphics,
                          const std::string& sharedFolder, PictureLoads* loads) {
    PictureLoads once;
    return Checker(text, folder, sharedFolder, graphics, loads ? *loads : once).run();
}

LevelCheck checkLevelFile(const std::string& path, Graphics& graphics) {
    std::string text;
    const FileRead read = readRegularFile(path, text, kLargestLevelFile);
    if (read != FileRead::Ok) {
        LevelCheck check;
        const bool large = read == FileRead::TooLarge, notAFile = read == FileRead::NotAFile;
        check.findings.push_back({LevelFinding::Severity::Error, 0,
                                  large      ? "the file is larger than 1 MiB"
                                  : notAFile ? "it is not a regular file"
                                             : "the file cannot be read",
                                  large      ? "soubor je větší než 1 MiB"
                                  : notAFile ? "není to obyčejný soubor"
                                             : "soubor nejde přečíst",
                                  LevelFinding::Subject::File, -1});
        return check;
    }
    std::string folder = std::filesystem::path(path).parent_path().string();
    // The game finds a player's level's pictures in the shipped data folder too.
    return checkLevelText(text, folder.empty() ? "." : folder, graphics, dataFolder());
}

}  // namespace zib
