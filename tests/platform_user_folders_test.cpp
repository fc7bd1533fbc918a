// The player's own folders after the XDG variables and HOME: a variable counts only as an absolute
// path, and without any the player has no folder at all (never one under /tmp, which every user of
// the machine shares).
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/data_folder.h"
#include "platform/user_folders.h"
#include "replay/replay_file.h"

namespace zib {
namespace {

// Sets (or, for nullopt, unsets) an environment variable and puts the old value back at the end.
class Variable {
  public:
    Variable(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    ~Variable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }
    Variable(const Variable&) = delete;
    Variable& operator=(const Variable&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(UserFolders, FollowTheVariablesAndNeverFallBackToASharedFolder) {
    using V = std::optional<std::string>;
    const struct {
        V home, config, data;
        std::string configFolder, dataFolder;
    } cases[] = {
        {"/home/p", V(), V(), "/home/p/.config/zib", "/home/p/.local/share/zib"},
        {"/home/p", "/c", "/d", "/c/zib", "/d/zib"},
        {"/home/p", "relative", "", "/home/p/.config/zib", "/home/p/.local/share/zib"},
        {V(), "/c", "/d", "/c/zib", "/d/zib"},
        {V(), V(), V(), "", ""},
        {"", V(), V(), "", ""},
        {"home/p", V(), V(), "", ""},
        {"home/p", "/c", "d", "/c/zib", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("HOME " + c.home.value_or("unset") + ", XDG_CONFIG_HOME " +
                     c.config.value_or("unset") + ", XDG_DATA_HOME " + c.data.value_or("unset"));
        Variable home("HOME", c.home), config("XDG_CONFIG_HOME", c.config),
            data("XDG_DATA_HOME", c.data);
        EXPECT_EQ(userConfigFolder(), c.configFolder);
        EXPECT_EQ(userDataFolder(), c.dataFolder);
        const bool none = c.dataFolder.empty();
        EXPECT_EQ(playerLevelFolder(), none ? "" : c.dataFolder + "/levels");
        EXPECT_EQ(replayFolder(), none ? "" : c.dataFolder + "/replays");
        EXPECT_EQ(noUserDataFolderNotice().empty(), !none);
    }
}

}  // namespace
}  // namespace zib
