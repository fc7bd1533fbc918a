// The full-screen preference file.
#include "app/screen_preference.h"

#include <filesystem>

#include "platform/files.h"
#include "platform/user_folders.h"

namespace zib {
namespace {

constexpr const char* kFileName = "ZIB-obrazovka.ini";
constexpr const char* kFullScreen = "celá obrazovka";
constexpr const char* kWindow = "okno";

std::string trimmed(const std::string& s) {
    const char* space = " \t\r\n";
    const size_t first = s.find_first_not_of(space);
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(space) - first + 1);
}

}  // namespace

std::string screenPreferencePath(const std::string& configurationPath) {
    return (std::filesystem::path(configurationPath).parent_path() / kFileName).string();
}

std::optional<bool> readFullScreenPreference(const std::string& path) {
    const Result<std::string> text = readWholeFile(path);
    if (!text) return std::nullopt;
    const std::string line = trimmed(text->substr(0, text->find('\n')));
    if (line == kFullScreen) return true;
    if (line == kWindow) return false;
    return std::nullopt;
}

bool writeFullScreenPreference(const std::string& path, bool fullScreen) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    if (!folder.empty() && !makeFolders(folder)) return false;
    return writeFileAtomically(path, std::string(fullScreen ? kFullScreen : kWindow) + "\r\n");
}

}  // namespace zib
