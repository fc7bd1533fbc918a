// zibsim: runs one game headless with the game's own code and prints a trace of it, one JSON
// line per tick. Usage: zibsim [--quiet] SCENARIO.json, or "-" for standard input.
#include <signal.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "zibsim/simulator.h"

namespace {

int usage() {
    std::cerr << "usage: zibsim [--quiet] SCENARIO.json | -\n";
    return zibsim::kBadScenario;
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that closes the pipe early makes the writes fail; the run then ends and cleans up.
    signal(SIGPIPE, SIG_IGN);
    std::ios::sync_with_stdio(false);
    bool quiet = false;
    std::string source;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--quiet") {
            quiet = true;
        } else if (source.empty() && (arg == "-" || arg.rfind("--", 0) != 0)) {
            source = arg;
        } else {
            return usage();
        }
    }
    if (source.empty()) return usage();

    std::string text;
    if (source == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        std::ifstream file(source, std::ios::binary);
        if (!file) {
            std::cerr << "zibsim: cannot read " << source << '\n';
            return zibsim::kBadScenario;
        }
        std::ostringstream content;
        content << file.rdbuf();
        text = content.str();
    }
    return zibsim::runScenarioText(text, std::cout, std::cerr, quiet);
}
