#pragma once
// The player's last choice between full screen and a window (Alt+Enter), kept across runs in a file
// of its own beside ZIB.ini, so that ZIB.ini keeps exactly its two lines. The file holds one line:
// "celá obrazovka" or "okno".
#include <optional>
#include <string>

namespace zib {

// The preference file in the folder of the settings file at configurationPath.
std::string screenPreferencePath(const std::string& configurationPath);

// true for full screen, false for a window; nullopt when there is no file or it says neither.
std::optional<bool> readFullScreenPreference(const std::string& path);

// Replaces the file (making its folder when missing). False when it cannot be written.
bool writeFullScreenPreference(const std::string& path, bool fullScreen);

}  // namespace zib
