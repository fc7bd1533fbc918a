#include "platform/data_folder.h"

#include "platform/files.h"
#include "platform/user_folders.h"

namespace zib {
namespace {

constexpr const char* kDataFolderName = "baseq7";

// PREFIX/share/games/zib for a program in PREFIX/games or PREFIX/bin.
std::string installedRoot() {
    const std::string program = programFolder();
    const size_t cut = program.find_last_of('/');
    const std::string prefix = cut == std::string::npos || cut == 0 ? "" : program.substr(0, cut);
    return prefix + "/share/games/zib";
}

struct Layout {
    std::string root;
    bool installed = false;
};

// The program and its data do not move while it runs: decided once.
const Layout& layout() {
    static const Layout decided = [] {
        const std::string beside = programFolder();
        if (resolvePath(beside, kDataFolderName)) return Layout{beside, false};
        const std::string installed = installedRoot();
        if (resolvePath(installed, kDataFolderName)) return Layout{installed, true};
        return Layout{beside, false};
    }();
    return decided;
}

}  // namespace

std::string dataRoot() {
    return layout().root;
}

std::string dataFolder() {
    const std::string root = dataRoot();
    if (auto found = resolvePath(root, kDataFolderName)) return *found;
    return root + "/" + kDataFolderName;
}

bool runsInstalled() {
    return layout().installed;
}

std::string settingsFile(const std::string& name) {
    if (runsInstalled()) {
        const std::string folder = userConfigFolder();
        return folder.empty() ? name : folder + "/" + name;
    }
    if (auto beside = resolvePath(programFolder(), name)) return *beside;
    return name;
}

std::string playerLevelFolder() {
    const std::string folder = userDataFolder();
    return folder.empty() ? folder : folder + "/levels";
}

}  // namespace zib
