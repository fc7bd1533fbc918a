#pragma once
// The program's command line, read in one place. Each option is one row of the table in
// command_line.cpp and one field here: an option with a value names it (SOUBOR, PORT...) and says
// whether the value may be left out.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zib {

struct CommandLine {
    enum class Action { Play, Help, Version, Error };
    Action action = Action::Play;
    std::string error;  // Czech, for Action::Error: what was wrong

    bool window = false;     // --window, or ZIB_WINDOWED=1 in the environment
    std::string replayFile;  // --replay SOUBOR: play a recorded game back instead of the menu
    // --edit [JMÉNO]: open the level editor on that level (kNewLevelName when left out).
    std::optional<std::string> editLevel;
    // --host [PORT]: wait for another player on this port (all interfaces).
    std::optional<uint16_t> hostPort;
    std::string hostBind;  // --host ADDRESS:PORT: listen on that address only
    // The host asks the router to open its port unless --no-port-mapping or
    // ZIB_NO_PORT_MAPPING=1 says no.
    bool portMapping = true;
    // --join HOST[:PORT]: play with the program hosting on that machine.
    std::string joinHost;
    uint16_t joinPort = 0;
    // --server ADDRESS[:PORT], or ZIB_SERVER in the environment: the ZIB server with which the host
    // registers for an invite code. There is no server unless one is named.
    std::string server;
    uint16_t serverPort = 0;
    // --join CODE with a server: the host's invite code (joinHost stays empty).
    std::string inviteCode;
    // --watch HOST[:PORT]: watch the games of the program hosting on that machine.
    std::string watchHost;
    uint16_t watchPort = 0;
    // --watch CODE with a server: the invite code of the host to watch (watchHost stays empty).
    std::string watchCode;
    // --input-delay N (0..4): in an online game this player's keys act N ticks later.
    std::optional<int> inputDelay;
    std::string language;  // --language cs|en: the language of this run
};

// The level the editor opens when --edit names none.
inline constexpr const char* kNewLevelName = "Nova";

// Reads the arguments after the program's name. getenv looks up environment variables (null when
// unset); the environment's aliases of options are applied before the arguments.
CommandLine parseCommandLine(const std::vector<std::string>& args,
                             const char* (*getenv)(const char*) = nullptr);

// A port number 1..65535 in decimal.
std::optional<uint16_t> parsePort(const std::string& text);
// HOST or HOST:PORT (a name or an IPv4 address); the port is defaultPort when left out.
bool parseHostAndPort(const std::string& text, uint16_t defaultPort, std::string& host,
                      uint16_t& port);

// The usage text, one option a line.
std::string usageText();
// What --version prints: "zib 1.1.0".
std::string versionText();

// Acts on --help, --version and errors: prints to standard output (help, version) or standard
// error (usage after a mistake) and returns the exit status; returns -1 when the game is to run.
int answerCommandLine(const CommandLine& line);

}  // namespace zib
