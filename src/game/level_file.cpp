#include "game/level_file.h"

#include <optional>

#include "platform/fields.h"
#include "platform/texts.h"

namespace zib {

bool LevelWall::blocks(int x, int y) const {
    return x >= x1 && x <= x2 - kCellSize && y >= y1 && y <= y2 - kCellSize &&
           (x - x1) % kCellSize == 0 && (y - y1) % kCellSize == 0;
}

bool isBareFileName(const std::string& name) {
    if (name.empty() || name == "." || name.find("..") != std::string::npos) return false;
    for (unsigned char c : name)
        if (c == '/' || c == '\\' || c < 0x20) return false;
    return true;
}

namespace {

// A fault found while reading: what is wrong and on which line.
struct Fault {
    int line;
    std::string what;
};

// Reads fields one by one and remembers the line of the last field read, so that a fault at the end
// of the file still names the line of its record.
class LevelReader {
  public:
    explicit LevelReader(const std::string& text) : fields_(text) {}

    bool atEnd() const { return fields_.atEnd(); }
    int line() const { return line_; }

    std::optional<Fault> text(const std::string& name, std::string& out) {
        std::optional<std::string> value = fields_.readText();
        if (!value) return missing(name);
        line_ = fields_.line();
        out = *value;
        return std::nullopt;
    }

    std::optional<Fault> number(const std::string& name, long long& out) {
        std::optional<std::string> field = fields_.readText();
        if (!field) return missing(name);
        line_ = fields_.line();
        std::optional<long long> value = FieldReader::parseNumber(*field);
        if (!value)
            return Fault{line_, format(tr("{} má být celé číslo, ale je „{}“."), name, *field)};
        out = *value;
        return std::nullopt;
    }

  private:
    std::optional<Fault> missing(const std::string& name) const {
        return Fault{line_, format(tr("soubor končí předčasně, chybí {}."), name)};
    }

    FieldReader fields_;
    int line_ = 1;
};

std::optional<Fault> outside(const std::string& name, long long value, int line, long long high) {
    if (value >= 0 && value <= high) return std::nullopt;
    return Fault{line, format(tr("{} = {} leží mimo hrací plochu (0..{})."), name,
                              std::to_string(value), std::to_string(high))};
}

// A snake's start: x, y on the 10-pixel lattice inside the field, directions -1, 0 or 1.
std::optional<Fault> readStart(LevelReader& in, const std::string& snake, LevelStart& start) {
    struct Coordinate {
        const char* axis;
        long long high;
        int* target;
    };
    const Coordinate coordinates[] = {{"x", kFieldWidth - kCellSize, &start.x},
                                      {"y", kFieldHeight - kCellSize, &start.y}};
    for (const Coordinate& c : coordinates) {
        const std::string name = format(tr("souřadnice {} {}"), c.axis, snake);
        long long value = 0;
        if (auto fault = in.number(name, value)) return fault;
        if (auto fault = outside(name, value, in.line(), c.high)) return fault;
        if (value % kCellSize != 0)
            return Fault{in.line(), format(tr("{} = {} neleží na mřížce po 10 bodech."), name,
                                           std::to_string(value))};
        *c.target = static_cast<int>(value);
    }
    const std::pair<const char*, int*> directions[] = {{"dx", &start.dx}, {"dy", &start.dy}};
    for (const auto& [axis, target] : directions) {
        const std::string name = format(tr("směr {} {}"), axis, snake);
        long long value = 0;
        if (auto fault = in.number(name, value)) return fault;
        if (value < -1 || value > 1)
            return Fault{in.line(),
                         format(tr("{} = {} musí být −1, 0 nebo 1."), name, std::to_string(value))};
        *target = static_cast<int>(value);
    }
    return std::nullopt;
}

std::optional<Fault> readWall(LevelReader& in, LevelWall& wall) {
    struct Coordinate {
        const char* name;
        long long high;
        int* target;
    };
    const Coordinate coordinates[] = {{"x1", kFieldWidth, &wall.x1},
                                      {"y1", kFieldHeight, &wall.y1},
                                      {"x2", kFieldWidth, &wall.x2},
                                      {"y2", kFieldHeight, &wall.y2}};
    bool first = true;
    for (const Coordinate& c : coordinates) {
        const std::string name = format(tr("souřadnice {}"), c.name);
        long long value = 0;
        if (auto fault = in.number(name, value)) return fault;
        if (first) wall.line = in.line();
        first = false;
        if (auto fault = outside(name, value, in.line(), c.high)) return fault;
        *c.target = static_cast<int>(value);
    }
    return in.text(tr("textura zdi"), wall.texture);
}

std::optional<Fault> readLevel(const std::string& text, LevelFile& level) {
    LevelReader in(text);
    if (auto fault = in.text(tr("obrázek pozadí"), level.background)) return fault;
    if (auto fault = readStart(in, tr("červeného hada"), level.red)) return fault;
    if (auto fault = readStart(in, tr("modrého hada"), level.blue)) return fault;
    while (!in.atEnd()) {
        LevelWall wall;
        if (auto fault = readWall(in, wall)) return fault;
        level.walls.push_back(std::move(wall));
    }
    return std::nullopt;
}

}  // namespace

std::variant<LevelFile, LevelError> parseLevel(const std::string& text,
                                               const std::string& fileName) {
    LevelFile level;
    if (auto fault = readLevel(text, level))
        return LevelError{format(tr("Chyba v mapě „{}“, řádek {}: {}"), fileName,
                                 std::to_string(fault->line), fault->what)};
    return level;
}

}  // namespace zib
