#pragma once
// Where the editor reads a level from and writes it to. The player's levels live in the player's
// level folder; a shipped level is opened as a copy and saved there too, so the shipped file is
// never touched. A save writes the level file and the preview the mods panel shows, each to a
// temporary file first that is then renamed over the old one.
#include <functional>
#include <string>
#include <vector>

#include "editor/level_model.h"
#include "platform/services.h"

namespace zib {

// A name the player may give a level: 1 to 64 letters (Czech ones too), digits, '-' and '_'.
bool validLevelName(const std::string& name);

struct LevelFolders {
    std::string shipped;  // the data folder: levels and pictures that come with the game
    std::string player;   // the player's own levels and pictures
};

struct OpenedLevel {
    enum class Origin { Player, Shipped, New };
    EditedLevel level;
    Origin origin = Origin::New;
    std::string text;   // the file's text when there was a file
    std::string fault;  // the reader's message when the file did not read (the level is empty)
};

// The player's level NAME, else a copy of the shipped one, else a new level whose background is
// newBackground. A file that does not read gives an empty level and the reader's message.
OpenedLevel openLevel(const std::string& name, const LevelFolders& folders,
                      const std::string& newBackground);

// The picture files (.bmp, .gif, .jpg, .png) of both folders, sorted, each name once (the
// player's spelling first).
std::vector<std::string> levelPictures(const LevelFolders& folders);

// The 800 x 600 field as the game paints it: the background tiled, each wall showing its texture
// tiled from the field's top-left corner. picture gives a picture by name, null when it has none.
using PictureLookup = std::function<Picture(const std::string& name)>;
void paintLevel(Canvas& target, const EditedLevel& level, const PictureLookup& picture);
// The mods panel's 330 x 250 preview of a level: the field reduced, the starts marked.
Canvas levelPreview(const EditedLevel& level, const PictureLookup& picture);

struct SaveOutcome {
    bool saved = false;
    std::string path;     // the level file written
    std::string message;  // Czech: what went wrong
};

// Writes NAME.zq7 (any existing spelling of it is replaced) and NAME.dat into the player's folder,
// making the folder when it is missing.
SaveOutcome saveLevel(const std::string& name, const EditedLevel& level, const Canvas& preview,
                      const std::string& playerFolder, Graphics& graphics);

}  // namespace zib
