#include "assetgen/data_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "assetgen/help_picture.h"
#include "assetgen/level_pictures.h"
#include "assetgen/menu_art.h"
#include "assetgen/metal.h"
#include "assetgen/picture_files.h"
#include "assetgen/previews.h"
#include "assetgen/sounds.h"
#include "assetgen/wav_writer.h"
#include "game/level_file.h"
#include "platform/backend/backends.h"
#include "platform/texts.h"

namespace zib::assetgen {
namespace fs = std::filesystem;

namespace {

struct Level {
    std::string name;  // without ".zq7"
    std::string text;
    LevelFile parsed;
};

bool readFile(const fs::path& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return true;
}

// The levels of data/levels in name order; false when one cannot be read or parsed.
bool readLevels(const fs::path& folder, std::vector<Level>& levels, std::ostream& log) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.is_regular_file() && entry.path().extension() == ".zq7")
            files.push_back(entry.path());
    if (ec || files.empty()) {
        log << "no levels in " << folder.string() << "\n";
        return false;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        Level level;
        level.name = file.stem().string();
        if (!readFile(file, level.text)) {
            log << "cannot read " << file.string() << "\n";
            return false;
        }
        auto parsed = parseLevel(level.text, file.filename().string());
        if (auto* error = std::get_if<LevelError>(&parsed)) {
            log << error->message << "\n";
            return false;
        }
        level.parsed = std::get<LevelFile>(parsed);
        levels.push_back(std::move(level));
    }
    return true;
}

// Every picture the levels name, made and written into the folder.
bool writeLevelPictures(Graphics& graphics, const std::vector<Level>& levels, const fs::path& base,
                        std::ostream& log) {
    std::set<std::string> names;
    for (const Level& level : levels) {
        names.insert(level.parsed.background);
        for (const LevelWall& wall : level.parsed.walls)
            if (!wall.texture.empty()) names.insert(wall.texture);
    }
    for (const std::string& name : names) {
        std::optional<Canvas> picture = levelPicture(name);
        if (!picture) {
            log << "no picture is made for \"" << name << "\", which a level names\n";
            return false;
        }
        if (!writePicture(graphics, *picture, (base / name).string())) {
            log << "cannot write " << (base / name).string() << "\n";
            return false;
        }
    }
    return true;
}

// The previews, painted from the pictures as written (so JPEG losses show as in the game).
bool writePreviews(Graphics& graphics, const std::vector<Level>& levels, const fs::path& base,
                   std::ostream& log) {
    std::map<std::string, Picture> loaded;
    PictureSource source = [&](const std::string& name) {
        auto found = loaded.find(name);
        if (found == loaded.end())
            found = loaded.emplace(name, graphics.loadPicture((base / name).string())).first;
        return found->second;
    };
    for (const Level& level : levels) {
        fs::path out = base / (level.name + ".dat");
        try {
            if (!writePicture(graphics, levelPreview(level.parsed, source), out.string())) {
                log << "cannot write " << out.string() << "\n";
                return false;
            }
        } catch (const std::exception& e) {
            log << "preview of " << level.name << ": " << e.what() << "\n";
            return false;
        }
    }
    return true;
}

bool writeSounds(const fs::path& folder, std::ostream& log) {
    for (const SoundFile& sound : gameSounds())
        if (!writeBytes((folder / sound.name).string(), encodeWav(sound.samples))) {
            log << "cannot write " << (folder / sound.name).string() << "\n";
            return false;
        }
    return true;
}

// The default settings: the keys W, up, S, down, D, right, A, left; speed 46, the first level,
// growth 5, start length 10, the classic mode. Never replaces a player's file.
bool writeDefaultSettings(const fs::path& buildDir, const std::string& firstLevel,
                          std::ostream& log) {
    fs::path ini = buildDir / "ZIB.ini";
    if (fs::exists(ini)) return true;
    std::string text = "87,38,83,40,68,39,65,37\r\n46," + firstLevel + ".zq7,5,10,2\r\n";
    if (!writeBytes(ini.string(), text)) {
        log << "cannot write " << ini.string() << "\n";
        return false;
    }
    return true;
}

}  // namespace

bool buildDataFolder(const std::string& dataDir, const std::string& buildDir, std::ostream& log) {
    const fs::path base = fs::path(buildDir) / "baseq7";
    std::error_code ec;
    for (const char* sub : {"", "Sound", "kovy", "menu"}) fs::create_directories(base / sub, ec);
    if (ec) {
        log << "cannot create " << base.string() << ": " << ec.message() << "\n";
        return false;
    }
    std::unique_ptr<Graphics> graphics = makeSdlGraphics();

    std::vector<Level> levels;
    if (!readLevels(fs::path(dataDir) / "levels", levels, log)) return false;
    for (const Level& level : levels)
        if (!writeBytes((base / (level.name + ".zq7")).string(), level.text)) {
            log << "cannot copy level " << level.name << "\n";
            return false;
        }
    if (!writeLevelPictures(*graphics, levels, base, log)) return false;
    if (!writePreviews(*graphics, levels, base, log)) return false;
    if (!writeSounds(base / "Sound", log)) return false;

    const std::string metalPath = (base / "kovy" / "plech2.jpg").string();
    if (!writePicture(*graphics, brushedMetal(), metalPath)) {
        log << "cannot write " << metalPath << "\n";
        return false;
    }
    try {
        // The menu pictures are composed over the texture as the menu will show it: decoded from
        // the very file the game loads.
        Picture metal = graphics->loadPicture(metalPath);
        for (const MenuPicture& piece : menuArtwork(*graphics, *metal)) {
            const std::string path = (base / "menu" / piece.file).string();
            if (!writePicture(*graphics, piece.picture, path)) {
                log << "cannot write " << path << "\n";
                return false;
            }
        }
        // The help in each language, from the catalogue's texts: English beside Czech with -en.
        const Language before = currentLanguage();
        for (const auto& [language, file] : {std::pair{Language::Czech, "helptext.bmp"},
                                             std::pair{Language::English, "helptext-en.bmp"}}) {
            setLanguage(language);
            const std::string helpPath = (base / "menu" / file).string();
            const bool written = writePicture(*graphics, helpPicture(*graphics), helpPath);
            setLanguage(before);
            if (!written) {
                log << "cannot write " << helpPath << "\n";
                return false;
            }
        }
    } catch (const std::exception& e) {
        log << "menu artwork: " << e.what() << "\n";
        return false;
    }
    return writeDefaultSettings(buildDir, levels.front().name, log);
}

}  // namespace zib::assetgen
