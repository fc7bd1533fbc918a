#pragma once
// The configuration file ZIB.ini: two lines, the eight key codes and then the game speed, the
// level name, the growth per food item, the start length and the game mode, joined by commas.
#include <string>

#include "platform/result.h"
#include "state/game_state.h"
#include "state/settings_limits.h"

namespace zib {

enum class ConfigurationStatus {
    Ok,       // the file was read
    Missing,  // no ZIB.ini (a first start): defaults
    Damaged,  // too few fields, a number that does not read or is out of range, or the file
              // cannot be read: defaults
};

// Line 2 with a value above the limits of state/settings_limits.h counts as damaged.

struct ConfigurationLoad {
    ConfigurationStatus status = ConfigurationStatus::Missing;
    // The values read, or the defaults. endlessGrowth and onePlayer are not set here: the menu
    // applies gameMode as a click on its mode label would. The level name is not checked here:
    // run checkLevelName (level_list.h) on it, which also fills in the first level for the
    // defaults' empty name.
    Settings settings;
    // Czech text for the user, empty when Ok. Missing is normal on a first start; Damaged should
    // be shown once at start.
    std::string message;
    // Where EXIT writes the file: the place it was found, else ZIB.ini in the current folder.
    std::string path;
};

// The settings of a first start: keys W, UP, S, DOWN, D, RIGHT, A, LEFT; speed position 8
// (gameSpeed 46); no level name (the level check puts the first listed level there); growth 5;
// start length 10; classic mode.
Settings defaultSettings();

// Parses the text of the file. status is Ok or Damaged (with the defaults and a message).
ConfigurationLoad readConfiguration(const std::string& text);

// Reads the file at path (Missing when there is none); path becomes the place EXIT writes to.
ConfigurationLoad loadConfigurationFile(const std::string& path);

// Finds "ZIB.ini" (current folder first, any case of the name) and reads it. Without one there,
// the file is settingsFile("ZIB.ini"): an installed game's is in the player's configuration
// folder, a portable copy's beside the program or else in the current folder.
ConfigurationLoad loadConfiguration();

// The path loadConfiguration() reads (the file may not exist).
std::string configurationFilePath();

// The content of the file: exactly two lines, each ended by CR LF.
std::string writeConfiguration(const Settings& settings);

// Writes the file at EXIT, replacing it atomically; when that fails the old file stays.
// keepDamagedCopy (pass status == Damaged from the load): first copy the file found at path to
// "ZIB.ini.bad" in the same folder. Fails with a Czech message when the file could not be written
// or the damaged one could not be kept (the message then says whether the new settings were
// saved): the player must learn of either before the program ends.
Status saveConfiguration(const std::string& path, const Settings& settings, bool keepDamagedCopy);

// Sets endlessGrowth and onePlayer from gameMode 1, 2 or 3; any other mode leaves them as they are.
void applyGameModeFlags(Settings& settings);

}  // namespace zib
