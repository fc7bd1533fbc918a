// Reading a level for the game window: the level file (see level_file.h) and the pictures it
// names, each fault a Czech message.
#include "game/level_loader.h"

#include <optional>

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
    return readNetworkLevel(NetworkLevel{levelName, text}, folder, graphics, sharedFolder);
}

std::variant<ReadyLevel, std::string> readNetworkLevel(const NetworkLevel& level,
                                                       const std::string& folder,
                                                       Graphics& graphics,
                                                       const std::string& sharedFolder) {
    const std::string& levelName = level.name;
    auto parsed = parseLevel(level.text, levelName);
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

}  // namespace zib
