// The command line: each option, the environment's alias of --window, and the mistakes that end
// the program with its usage; the screen preference file beside ZIB.ini.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/command_line.h"
#include "app/screen_preference.h"
#include "platform/files.h"

namespace zib {
namespace {

const char* noEnvironment(const char*) {
    return nullptr;
}
const char* windowedOne(const char* name) {
    return std::string_view(name) == "ZIB_WINDOWED" ? "1" : nullptr;
}
const char* windowedZero(const char* name) {
    return std::string_view(name) == "ZIB_WINDOWED" ? "0" : nullptr;
}
const char* noMappingOne(const char* name) {
    return std::string_view(name) == "ZIB_NO_PORT_MAPPING" ? "1" : nullptr;
}
const char* noMappingZero(const char* name) {
    return std::string_view(name) == "ZIB_NO_PORT_MAPPING" ? "0" : nullptr;
}

TEST(CommandLine, ReadsOptionsAndRefusesMistakes) {
    using A = CommandLine::Action;
    struct Case {
        std::vector<std::string> args;
        const char* (*env)(const char*);
        A action;
        bool window;
        const char* errorPart;  // a part of the error message
    };
    const Case cases[] = {
        {{}, noEnvironment, A::Play, false, ""},
        {{"--window"}, noEnvironment, A::Play, true, ""},
        {{}, windowedOne, A::Play, true, ""},
        {{}, windowedZero, A::Play, false, ""},
        {{"--help"}, noEnvironment, A::Help, false, ""},
        {{"-h"}, noEnvironment, A::Help, false, ""},
        {{"--version"}, noEnvironment, A::Version, false, ""},
        {{"--window", "--version", "--bogus"}, noEnvironment, A::Version, true, ""},
        {{"--bogus"}, noEnvironment, A::Error, false, "neznámá volba „--bogus“"},
        {{"-x"}, noEnvironment, A::Error, false, "neznámá volba „-x“"},
        {{"level.zq7"}, noEnvironment, A::Error, false, "nečekaný argument „level.zq7“"},
        {{""}, noEnvironment, A::Error, false, "nečekaný argument"},
        {{"--window=1"}, noEnvironment, A::Error, false, "nemá hodnotu"},
        {{"--window", "--help=x"}, noEnvironment, A::Error, false, "„--help“ nemá hodnotu"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CommandLine line = parseCommandLine(c.args, c.env);
        EXPECT_EQ(line.action, c.action);
        if (c.action != A::Error) {
            EXPECT_EQ(line.window, c.window);
        }
        EXPECT_NE(line.error.find(c.errorPart), std::string::npos) << line.error;
    }
}

TEST(CommandLine, ReadsHostAndJoin) {
    struct Case {
        std::vector<std::string> args;
        std::optional<uint16_t> hostPort;
        std::string joinHost;
        uint16_t joinPort;
        bool error;
    };
    const Case cases[] = {
        {{"--host"}, 47777, "", 0, false},
        {{"--host", "5000"}, 5000, "", 0, false},
        {{"--host=65535", "--window"}, 65535, "", 0, false},
        {{"--host", "--window"}, 47777, "", 0, false},
        {{"--host", "127.0.0.1:5001"}, 5001, "", 0, false},
        {{"--join", "example.org"}, std::nullopt, "example.org", 47777, false},
        {{"--join", "10.0.0.2:4000"}, std::nullopt, "10.0.0.2", 4000, false},
        {{"--host", "0"}, std::nullopt, "", 0, true},
        {{"--host", "65536"}, std::nullopt, "", 0, true},
        {{"--host", "12ab"}, std::nullopt, "", 0, true},
        {{"--join"}, std::nullopt, "", 0, true},
        {{"--join", "a:"}, std::nullopt, "", 0, true},
        {{"--join", ":80"}, std::nullopt, "", 0, true},
        {{"--host", "--join", "a"}, std::nullopt, "", 0, true},
        // Online play is IPv4 only: an IPv6 address is refused, never taken as a host name.
        {{"--join=[::1]:4001"}, std::nullopt, "", 0, true},
        {{"--join", "::1"}, std::nullopt, "", 0, true},
        {{"--host", "[::]:5000"}, std::nullopt, "", 0, true},
        {{"--watch", "[::1]:4000"}, std::nullopt, "", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CommandLine line = parseCommandLine(c.args, noEnvironment);
        EXPECT_EQ(line.action == CommandLine::Action::Error, c.error) << line.error;
        if (c.args.back().find("::") != std::string::npos) {
            EXPECT_NE(line.error.find("adresu IPv6 „"), std::string::npos) << line.error;
        }
        if (c.error) continue;
        EXPECT_EQ(line.hostPort, c.hostPort);
        EXPECT_EQ(line.joinHost, c.joinHost);
        if (!c.joinHost.empty()) {
            EXPECT_EQ(line.joinPort, c.joinPort);
        }
    }
}

TEST(CommandLine, ReadsWatch) {
    struct Case {
        std::vector<std::string> args;
        std::string host;
        uint16_t port;
        std::string code;  // with a server, a code instead of the host
        bool error;
    };
    const Case cases[] = {
        {{"--watch", "example.org"}, "example.org", 47777, "", false},
        {{"--watch=10.0.0.2:4000", "--window"}, "10.0.0.2", 4000, "", false},
        {{"--watch", "k7q-m3d", "--server", "b"}, "", 0, "K7QM3D", false},
        {{"--server", "b", "--watch", "K7QM3D:47777"}, "K7QM3D", 47777, "", false},
        {{"--watch", "example.org", "--server", "b"}, "example.org", 47777, "", false},
        {{"--watch", "K7QM3D"}, "K7QM3D", 47777, "", false},
        {{"--watch"}, "", 0, "", true},
        {{"--watch", "a:"}, "", 0, "", true},
        {{"--watch", "a", "--join", "b"}, "", 0, "", true},
        {{"--host", "--watch", "a"}, "", 0, "", true},
        {{"--watch", "a", "--input-delay", "1"}, "", 0, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CommandLine line = parseCommandLine(c.args, noEnvironment);
        EXPECT_EQ(line.action == CommandLine::Action::Error, c.error) << line.error;
        if (c.error) continue;
        EXPECT_EQ(line.watchHost, c.host);
        EXPECT_EQ(line.watchPort, c.port);
        EXPECT_EQ(line.watchCode, c.code);
        EXPECT_TRUE(line.joinHost.empty() && line.inviteCode.empty() && !line.hostPort);
    }
}

const char* serverInEnvironment(const char* name) {
    return std::string_view(name) == "ZIB_SERVER" ? "zib.example.org:5000" : nullptr;
}
const char* badServerInEnvironment(const char* name) {
    return std::string_view(name) == "ZIB_SERVER" ? "a b" : nullptr;
}

TEST(CommandLine, ReadsTheServerAndInviteCodes) {
    struct Case {
        std::vector<std::string> args;
        const char* (*env)(const char*);
        std::string server;  // empty with error: refused
        uint16_t serverPort;
        std::string code;
        std::string joinHost;
        bool error;
    };
    const Case cases[] = {
        {{"--host", "--server", "10.0.0.9"}, noEnvironment, "10.0.0.9", 47778, "", "", false},
        {{"--server=10.0.0.9:1234", "--join", "abc-234"},
         noEnvironment,
         "10.0.0.9",
         1234,
         "ABC234",
         "",
         false},
        {{"--join", "ABC234"}, serverInEnvironment, "zib.example.org", 5000, "ABC234", "", false},
        {{"--join", "10.0.0.2:4000"},
         serverInEnvironment,
         "zib.example.org",
         5000,
         "",
         "10.0.0.2",
         false},
        {{"--join", "ABC234:47777"},
         serverInEnvironment,
         "zib.example.org",
         5000,
         "",
         "ABC234",
         false},
        {{"--join", "ABC234"}, noEnvironment, "", 0, "", "ABC234", false},
        {{"--watch", "ABC234"}, serverInEnvironment, "zib.example.org", 5000, "", "", false},
        {{}, serverInEnvironment, "zib.example.org", 5000, "", "", false},
        {{"--server", "10.0.0.9"}, noEnvironment, "", 0, "", "", true},
        {{"--host", "--server"}, noEnvironment, "", 0, "", "", true},
        {{"--host", "--server", "a:0"}, noEnvironment, "", 0, "", "", true},
        {{"--host"}, badServerInEnvironment, "", 0, "", "", true},
        {{"--host", "--server", "[2001:db8::1]"}, noEnvironment, "", 0, "", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CommandLine line = parseCommandLine(c.args, c.env);
        EXPECT_EQ(line.action == CommandLine::Action::Error, c.error) << line.error;
        if (c.error) continue;
        EXPECT_EQ(line.server, c.server);
        EXPECT_EQ(line.serverPort, c.serverPort);
        EXPECT_EQ(line.inviteCode, c.code);
        EXPECT_EQ(line.joinHost, c.joinHost);
    }
}

TEST(CommandLine, PortMappingIsOnUnlessSwitchedOff) {
    struct Case {
        std::vector<std::string> args;
        const char* (*env)(const char*);
        bool mapping;
    };
    const Case cases[] = {
        {{"--host"}, noEnvironment, true},
        {{"--host", "--no-port-mapping"}, noEnvironment, false},
        {{"--no-port-mapping", "--host", "5000"}, noEnvironment, false},
        {{"--host"}, noMappingOne, false},
        {{"--host"}, noMappingZero, true},
        {{"--host"}, windowedOne, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CommandLine line = parseCommandLine(c.args, c.env);
        EXPECT_EQ(line.action, CommandLine::Action::Play) << line.error;
        EXPECT_EQ(line.portMapping, c.mapping);
    }
    EXPECT_EQ(parseCommandLine({"--no-port-mapping=1"}, noEnvironment).action,
              CommandLine::Action::Error);
}

// The local input delay of online play: 0 to 4 ticks, with --host or --join only.
TEST(CommandLine, ReadsTheInputDelay) {
    struct Case {
        std::vector<std::string> args;
        std::optional<int> delay;  // nullopt with an error
    };
    const Case cases[] = {
        {{"--host", "--input-delay", "0"}, 0},
        {{"--join", "10.0.0.9", "--input-delay=4"}, 4},
        {{"--input-delay", "3", "--host"}, 3},
        {{"--host", "--input-delay", "5"}, std::nullopt},
        {{"--host", "--input-delay", "-1"}, std::nullopt},
        {{"--host", "--input-delay", "02"}, std::nullopt},
        {{"--host", "--input-delay"}, std::nullopt},
        {{"--input-delay", "2"}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CommandLine line = parseCommandLine(c.args, noEnvironment);
        if (c.delay) {
            EXPECT_EQ(line.action, CommandLine::Action::Play) << line.error;
            EXPECT_EQ(line.inputDelay, c.delay);
        } else {
            EXPECT_EQ(line.action, CommandLine::Action::Error);
            EXPECT_NE(line.error.find("--input-delay"), std::string::npos) << line.error;
        }
    }
    EXPECT_EQ(parseCommandLine({"--host"}, noEnvironment).inputDelay, std::nullopt);
}

TEST(CommandLine, AnswersWithUsageVersionAndExitStatus) {
    EXPECT_EQ(versionText(), "zib 1.1.0\n");
    const std::string usage = usageText();
    for (const char* option : {"--window", "--help", "--version"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    for (size_t start = 0, end; start < usage.size(); start = end + 1) {
        end = usage.find('\n', start);
        EXPECT_LE(end - start, 100u) << "a usage line too long to read on a terminal";
    }

    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(answerCommandLine(parseCommandLine({"--help"}, noEnvironment)), 0);
    EXPECT_EQ(answerCommandLine(parseCommandLine({"--bogus"}, noEnvironment)), 2);
    EXPECT_EQ(answerCommandLine(parseCommandLine({}, noEnvironment)), -1);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, usage);
    EXPECT_EQ(err.rfind("zib: neznámá volba", 0), 0u) << err;
    EXPECT_NE(err.find(usage), std::string::npos);
}

TEST(ScreenPreference, LivesBesideZibIniAndRemembersTheLastChoice) {
    char pattern[] = "/tmp/zib-screen-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::filesystem::path folder = pattern;
    const std::string path = screenPreferencePath((folder / "sub" / "ZIB.ini").string());
    EXPECT_EQ(path, (folder / "sub" / "ZIB-obrazovka.ini").string());
    EXPECT_EQ(readFullScreenPreference(path), std::nullopt);

    ASSERT_TRUE(writeFullScreenPreference(path, false));  // makes the missing folder
    EXPECT_EQ(readFullScreenPreference(path), false);
    ASSERT_TRUE(writeFullScreenPreference(path, true));
    EXPECT_EQ(readFullScreenPreference(path), true);
    ASSERT_TRUE(writeFileAtomically(path, "něco jiného\r\n"));
    EXPECT_EQ(readFullScreenPreference(path), std::nullopt);
    EXPECT_EQ(screenPreferencePath("ZIB.ini"), "ZIB-obrazovka.ini");
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace zib
