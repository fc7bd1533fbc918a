#include "platform/user_folders.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

namespace zib {
namespace {

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    return home && home[0] == '/' ? home : "/tmp";
}

std::string baseFolder(const char* variable, const char* fallbackUnderHome) {
    const char* v = std::getenv(variable);
    if (v && v[0] == '/') return v;
    return homeFolder() + fallbackUnderHome;
}

}  // namespace

std::string userConfigFolder() {
    return baseFolder("XDG_CONFIG_HOME", "/.config") + "/zib";
}

std::string userDataFolder() {
    return baseFolder("XDG_DATA_HOME", "/.local/share") + "/zib";
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
