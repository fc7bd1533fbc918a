// The manual pages of zib, in English and in Czech, name every option that zib --help lists, and
// every environment variable it mentions.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "app/command_line.h"

namespace zib {
namespace {

std::string manualPage(const char* language) {
    std::ifstream in(std::string(ZIB_SOURCE_DIR) + "/packaging/man/" + language + "/zib.6");
    std::ostringstream s;
    s << in.rdbuf();
    // roff writes a minus as "\-".
    return std::regex_replace(s.str(), std::regex(R"(\\-)"), "-");
}

// The options ("--name") and the variables (ZIB_NAME) a text names.
std::set<std::string> namesIn(const std::string& text) {
    std::set<std::string> names;
    const std::regex name(R"(--[a-z][a-z-]*|\bZIB_[A-Z_]+)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), name);
         it != std::sregex_iterator(); ++it)
        names.insert(it->str());
    return names;
}

TEST(ManualPages, NameEveryOptionOfTheHelp) {
    const std::set<std::string> help = namesIn(usageText());
    ASSERT_GT(help.size(), 8u);
    for (const char* language : {"en", "cs"}) {
        SCOPED_TRACE(language);
        const std::string page = manualPage(language);
        ASSERT_FALSE(page.empty());
        const std::set<std::string> named = namesIn(page);
        for (const std::string& option : help) EXPECT_TRUE(named.count(option)) << option;
    }
}

}  // namespace
}  // namespace zib
