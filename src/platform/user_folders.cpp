#include "platform/user_folders.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "platform/texts.h"

namespace zib {
namespace {

bool isAbsolute(const char* path) {
    return path && path[0] == '/';
}

// variable/zib, else HOME/underHome/zib, else "".
std::string gameFolder(const char* variable, const char* underHome) {
    if (const char* v = std::getenv(variable); isAbsolute(v)) return std::string(v) + "/zib";
    if (const char* home = std::getenv("HOME"); isAbsolute(home))
        return std::string(home) + underHome + "/zib";
    return {};
}

}  // namespace

std::string userConfigFolder() {
    return gameFolder("XDG_CONFIG_HOME", "/.config");
}

std::string userDataFolder() {
    return gameFolder("XDG_DATA_HOME", "/.local/share");
}

std::string noUserDataFolderNotice() {
    if (!userDataFolder().empty()) return {};
    return tr(
        "ZIB: domovská složka není známa (HOME ani XDG_DATA_HOME není absolutní cesta), hry "
        "se proto nezaznamenávají a vlastní mapy se nenačítají.");
}

bool makeFolders(const std::string& folder) {
    if (folder.empty()) return false;
    for (size_t i = 1; i <= folder.size(); ++i) {
        if (i < folder.size() && folder[i] != '/') continue;
        const std::string part = folder.substr(0, i);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace zib
