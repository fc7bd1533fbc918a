// Reading a level for the game window: the level file (see level_file.h) and the pictures it
// names, each fault a Czech message. A level from the player's disk and one that came over the
// network go through the same reading; they differ only in where the pictures are looked for,
// which picture names are allowed, and what a missing picture does.
#include "game/level_loader.h"

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <set>

#include "platform/files.h"
#include "platform/texts.h"

namespace zib {

namespace {

// The plain colours drawn for a picture of a network level that this machine lacks.
constexpr uint32_t kPlainBackground = rgb(0, 64, 0);
constexpr uint32_t kPlainTexture = rgb(128, 128, 128);
constexpr int kPlainTextureSize = 10;

std::string quoted(const std::string& s) {
    return "„" + s + "“";
}

// How the pictures of one level are found.
struct PicturePolicy {
    std::vector<std::string> folders;  // looked up in order; the first names the folder in messages
    // A level from another machine: a picture name must be a bare file name, and a picture that
    // is missing or unreadable is drawn as a plain colour, with one line for it in warnings.
    bool fromNetwork = false;
    size_t mostWalls = SIZE_MAX;
    std::vector<std::string> warnings;  // collected, written only when the level is accepted
    std::set<std::string> warned;
};

// Loads a picture named by the level. what: how the message names it; plain: what a network
// level draws instead of a picture this machine lacks.
std::variant<Picture, std::string> loadLevelPicture(PicturePolicy& policy,
                                                    const std::string& levelName,
                                                    const std::string& name,
                                                    const std::string& what, const Canvas& plain,
                                                    Graphics& graphics) {
    if (name.empty()) return format(tr("{} nemá uveden název souboru."), what);
    if (policy.fromNetwork && !isBareFileName(name))
        return format(
            tr("{} {} není prostý název souboru: mapa od soupeře smí jmenovat jen soubory "
               "bez cesty."),
            what, quoted(name));
    std::optional<std::string> path;
    for (const std::string& folder : policy.folders)
        if ((path = resolvePath(folder, name))) break;

    const auto drawPlain = [&](const char* pattern) -> Picture {
        if (policy.warned.insert(name).second)
            policy.warnings.push_back(format(pattern, quoted(name), quoted(levelName)));
        return std::make_shared<const Canvas>(plain);
    };
    if (!path) {
        if (policy.fromNetwork)
            return drawPlain(
                tr("ZIB: obrázek {} mapy {} chybí, místo něj se kreslí jednolitá barva."));
        const std::string folder = policy.folders.empty() ? "" : policy.folders.front();
        return format(tr("{} {} nebyl nalezen ve složce {}."), what, quoted(name), quoted(folder));
    }
    try {
        return graphics.loadPicture(*path);
    } catch (const PictureError&) {
        if (policy.fromNetwork)
            return drawPlain(
                tr("ZIB: obrázek {} mapy {} nelze načíst, místo něj se kreslí jednolitá barva."));
        return format(tr("{} {} nelze načíst: soubor není obrázek nebo je poškozený."), what,
                      quoted(*path));
    }
}

std::string wallsFault(const std::string& levelName, const LevelFile& file) {
    return format(tr("Mapa {} má {} zdí; ve hře po síti smí mít nejvýše {}."), quoted(levelName),
                  std::to_string(file.walls.size()), std::to_string(kMostOnlineWalls));
}

// Parses the level's text and loads every picture it names.
std::variant<ReadyLevel, std::string> readLevelText(const std::string& text,
                                                    const std::string& levelName,
                                                    PicturePolicy& policy, Graphics& graphics) {
    auto parsed = parseLevel(text, levelName);
    if (auto* error = std::get_if<LevelError>(&parsed)) return error->message;

    ReadyLevel ready;
    ready.file = std::move(std::get<LevelFile>(parsed));
    if (ready.file.walls.size() > policy.mostWalls) return wallsFault(levelName, ready.file);
    auto background =
        loadLevelPicture(policy, levelName, ready.file.background,
                         format(tr("Obrázek pozadí mapy {}"), quoted(levelName)),
                         Canvas(kFieldWidth, kFieldHeight, kPlainBackground), graphics);
    if (auto* message = std::get_if<std::string>(&background)) return *message;
    ready.background = std::get<Picture>(background);

    // A texture is handed over only where the name changes from one wall to the next, as
    // LoadLevel tiles it; each name is read and decoded once.
    const Canvas plainTexture(kPlainTextureSize, kPlainTextureSize, kPlainTexture);
    std::map<std::string, Picture> decoded;
    std::string remembered;
    for (const LevelWall& wall : ready.file.walls) {
        if (wall.texture == remembered) {
            ready.textures.push_back(nullptr);
            continue;
        }
        remembered = wall.texture;
        if (auto known = decoded.find(wall.texture); known != decoded.end()) {
            ready.textures.push_back(known->second);
            continue;
        }
        auto texture = loadLevelPicture(policy, levelName, wall.texture,
                                        format(tr("Textura zdi v mapě {} na řádku {}"),
                                               quoted(levelName), std::to_string(wall.line)),
                                        plainTexture, graphics);
        if (auto* message = std::get_if<std::string>(&texture)) return *message;
        decoded.emplace(wall.texture, std::get<Picture>(texture));
        ready.textures.push_back(std::get<Picture>(texture));
    }
    return ready;
}

}  // namespace

std::string onlineWallsFault(const std::string& levelName, const std::string& text) {
    const auto parsed = parseLevel(text, levelName);
    const auto* file = std::get_if<LevelFile>(&parsed);
    if (!file || file->walls.size() <= kMostOnlineWalls) return {};
    return wallsFault(levelName, *file);
}

std::string folderOfLevel(const std::string& levelName, const std::string& playerFolder,
                          const std::string& shippedFolder) {
    if (!playerFolder.empty() && !levelName.empty() && resolvePath(playerFolder, levelName))
        return playerFolder;
    return shippedFolder;
}

std::variant<ReadyLevel, std::string> readLevel(const std::string& folder,
                                                const std::string& levelName, Graphics& graphics,
                                                const std::string& sharedFolder) {
    if (levelName.empty()) return std::string(tr("Není vybrána žádná mapa."));
    const std::optional<std::string> path = resolvePath(folder, levelName);
    if (!path)
        return format(tr("Mapa {} nebyla nalezena ve složce {}."), quoted(levelName),
                      quoted(folder));
    std::string text;
    switch (readRegularFile(*path, text, kLargestLevelFile)) {
        case FileRead::Ok:
            break;
        case FileRead::TooLarge:
            return format(tr("Mapu {} nelze přečíst: soubor je větší než 1 MiB."), quoted(*path));
        default:  // also a FIFO or a device: it is never opened for reading
            return format(tr("Mapu {} nelze přečíst."), quoted(*path));
    }
    PicturePolicy policy;
    policy.folders.push_back(folder);
    if (!sharedFolder.empty()) policy.folders.push_back(sharedFolder);
    return readLevelText(text, levelName, policy, graphics);
}

std::variant<ReadyLevel, std::string> readNetworkLevel(
    const NetworkLevel& level, const std::vector<std::string>& pictureFolders, Graphics& graphics,
    std::ostream& warnings) {
    PicturePolicy policy;
    policy.fromNetwork = true;
    if (level.online) policy.mostWalls = kMostOnlineWalls;
    // An empty folder would mean the current directory: it is no folder here.
    for (const std::string& folder : pictureFolders)
        if (!folder.empty()) policy.folders.push_back(folder);
    auto ready = readLevelText(level.text, level.name, policy, graphics);
    if (std::holds_alternative<ReadyLevel>(ready))
        for (const std::string& line : policy.warnings) warnings << line << '\n';
    return ready;
}

}  // namespace zib
