// The command line: a table of options, a reader that walks the arguments against it, and the
// answers that end the program before any window opens.
#include "app/command_line.h"

#include <cstdlib>
#include <functional>
#include <iostream>
#include <optional>
#include <string_view>

#include "editor/level_store.h"
#include "net/invite_code.h"
#include "net/server_messages.h"
#include "platform/texts.h"
#include "zib_version.h"

namespace zib {

std::optional<uint16_t> parsePort(const std::string& text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(ch - '0');
    }
    if (value < 1 || value > 65535) return std::nullopt;
    return static_cast<uint16_t>(value);
}

bool parseHostAndPort(const std::string& text, uint16_t defaultPort, std::string& host,
                      uint16_t& port) {
    std::string name = text;
    std::optional<std::string> portText;
    if (const size_t colon = text.find(':'); colon != std::string::npos) {
        name = text.substr(0, colon);
        portText = text.substr(colon + 1);
    }
    if (name.empty() || name.find_first_of(" \t/:[]") != std::string::npos) return false;
    std::optional<uint16_t> p = portText ? parsePort(*portText) : defaultPort;
    if (!p) return false;
    host = name;
    port = *p;
    return true;
}

namespace {

enum class Value { None, Required, Optional };

constexpr uint16_t kOnlinePort = 47777;

struct Option {
    const char* name;       // "--window"
    const char* alias;      // a short form ("-h"), or null
    Value value;            // whether the option takes a value
    const char* valueName;  // in the usage: N_("SOUBOR"), "[PORT]"
    const char* help;       // one short line
    // Stores the option (and its value, empty when left out) in the command line; returns false
    // when the value is not acceptable.
    std::function<bool(CommandLine&, const std::optional<std::string>&)> apply;
};

const std::vector<Option>& options() {
    static const std::vector<Option> table = {
        {"--window", nullptr, Value::None, "", N_("hra v okně místo celé obrazovky"),
         [](CommandLine& c, const auto&) { return c.window = true; }},
        {"--replay", nullptr, Value::Required, N_("SOUBOR"),
         N_("přehraje záznam hry (.zibreplay.json)"),
         [](CommandLine& c, const std::optional<std::string>& v) {
             c.replayFile = v.value_or("");
             return !c.replayFile.empty();
         }},
        {"--edit", nullptr, Value::Optional, N_("[JMÉNO]"),
         N_("otevře editor map na mapě JMÉNO (písmena, číslice, - a _)"),
         [](CommandLine& c, const std::optional<std::string>& v) {
             c.editLevel = v.value_or(kNewLevelName);
             return validLevelName(*c.editLevel);
         }},
        {"--host", nullptr, Value::Optional, "[PORT]",
         N_("čeká na druhého hráče ze sítě (port 47777, není-li uveden)"),
         [](CommandLine& c, const std::optional<std::string>& v) {
             if (v && v->find(':') != std::string::npos) {
                 uint16_t port = 0;
                 if (!parseHostAndPort(*v, kOnlinePort, c.hostBind, port)) return false;
                 c.hostPort = port;
                 return true;
             }
             c.hostPort = v ? parsePort(*v) : std::optional<uint16_t>(kOnlinePort);
             return c.hostPort.has_value();
         }},
        {"--join", nullptr, Value::Required, "HOST[:PORT]",
         N_("připojí se ke hře jiného počítače (se --server: KÓD pozvánky)"),
         [](CommandLine& c, const std::optional<std::string>& v) {
             return v && parseHostAndPort(*v, kOnlinePort, c.joinHost, c.joinPort);
         }},
        {"--watch", nullptr, Value::Required, "HOST[:PORT]",
         N_("sleduje hry jiného počítače jako divák (se --server: KÓD pozvánky)"),
         [](CommandLine& c, const std::optional<std::string>& v) {
             return v && parseHostAndPort(*v, kOnlinePort, c.watchHost, c.watchPort);
         }},
        {"--server", nullptr, Value::Required, N_("ADRESA[:PORT]"),
         N_("server ZIB pro kódy pozvánek (port 47778, není-li uveden)"),
         [](CommandLine& c, const std::optional<std::string>& v) {
             return v && parseHostAndPort(*v, net::kDefaultServerPort, c.server, c.serverPort);
         }},
        {"--input-delay", nullptr, Value::Required, "N",
         N_("v síťové hře působí vlastní klávesy o N tahů později (0 až 4, jinak 2)"),
         [](CommandLine& c, const std::optional<std::string>& v) {
             if (!v || v->size() != 1 || (*v)[0] < '0' || (*v)[0] > '4') return false;
             c.inputDelay = (*v)[0] - '0';
             return true;
         }},
        {"--no-port-mapping", nullptr, Value::None, "",
         N_("hostitel nežádá router o otevření portu (NAT-PMP, UPnP)"),
         [](CommandLine& c, const auto&) {
             c.portMapping = false;
             return true;
         }},
        {"--language", nullptr, Value::Required, "cs|en",
         N_("jazyk hry: cs česky, en anglicky (jinak podle prostředí)"),
         [](CommandLine& c, const std::optional<std::string>& v) {
             if (!v || !languageNamed(*v)) return false;
             c.language = *v;
             return true;
         }},
        {"--help", "-h", Value::None, "", N_("vypíše tuto nápovědu a skončí"),
         [](CommandLine& c, const auto&) {
             c.action = CommandLine::Action::Help;
             return true;
         }},
        {"--version", nullptr, Value::None, "", N_("vypíše verzi hry a skončí"),
         [](CommandLine& c, const auto&) {
             c.action = CommandLine::Action::Version;
             return true;
         }},
    };
    return table;
}

const Option* findOption(std::string_view name) {
    for (const Option& o : options())
        if (name == o.name || (o.alias && name == o.alias)) return &o;
    return nullptr;
}

CommandLine failure(std::string message) {
    CommandLine c;
    c.action = CommandLine::Action::Error;
    c.error = std::move(message);
    return c;
}

// The options that name a machine of online play.
bool namesMachine(std::string_view option) {
    return option == "--host" || option == "--join" || option == "--server" || option == "--watch";
}

// "[::1]:47777" or a bare "::1": ENet as the system has it keeps an address in 32 bits, so no
// IPv6 address could ever connect.
bool looksLikeIpv6(const std::string& text) {
    const size_t colon = text.find(':');
    return text.starts_with('[') ||
           (colon != std::string::npos && text.find(':', colon + 1) != std::string::npos);
}

std::string ipv6Refusal(const std::string& where, const std::string& text) {
    return format(tr("{}: adresu IPv6 „{}“ nelze použít, hra po síti jde jen přes IPv4 (např. "
                     "192.168.1.20:47777)"),
                  where, text);
}

bool environmentSays(const char* value) {
    return value && *value && std::string_view(value) != "0";
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args,
                             const char* (*getenv)(const char*)) {
    CommandLine line;
    if (!getenv) getenv = [](const char* name) -> const char* { return std::getenv(name); };
    if (environmentSays(getenv("ZIB_WINDOWED"))) line.window = true;
    if (environmentSays(getenv("ZIB_NO_PORT_MAPPING"))) line.portMapping = false;
    if (const char* server = getenv("ZIB_SERVER"); server && *server) {
        if (looksLikeIpv6(server)) return failure(ipv6Refusal("ZIB_SERVER", server));
        if (!parseHostAndPort(server, net::kDefaultServerPort, line.server, line.serverPort))
            return failure(format(tr("ZIB_SERVER: nepoužitelná hodnota „{}“"), server));
    }
    bool serverOption = false;
    std::string joinText, watchText;

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string name = arg;
        std::optional<std::string> value;
        if (const size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        const Option* option = findOption(name);
        if (!option) {
            if (arg.empty() || arg[0] != '-')
                return failure(format(tr("nečekaný argument „{}“"), arg));
            return failure(format(tr("neznámá volba „{}“"), name));
        }
        if (std::string_view(option->name) == "--server") serverOption = true;
        if (option->value == Value::None && value) {
            return failure(format(tr("volba „{}“ nemá hodnotu"), name));
        }
        if (option->value != Value::None && !value && i + 1 < args.size()) {
            // The next argument is the value unless it is another option.
            const std::string& next = args[i + 1];
            if (option->value == Value::Required || next.empty() || next[0] != '-') {
                value = next;
                ++i;
            }
        }
        if (option->value == Value::Required && !value) {
            return failure(
                format(tr("volba „{}“ potřebuje hodnotu {}"), name, tr(option->valueName)));
        }
        if (value && namesMachine(option->name) && looksLikeIpv6(*value))
            return failure(ipv6Refusal(format(tr("volba „{}“"), name), *value));
        if (!option->apply(line, value)) {
            return failure(
                format(tr("volba „{}“: nepoužitelná hodnota „{}“"), name, value.value_or("")));
        }
        if (std::string_view(option->name) == "--join") joinText = value.value_or("");
        if (std::string_view(option->name) == "--watch") watchText = value.value_or("");
        if (line.hostPort && !line.joinHost.empty())
            return failure(tr("volby „--host“ a „--join“ nelze použít zároveň"));
        if (!line.watchHost.empty() && (line.hostPort || !line.joinHost.empty()))
            return failure(tr("volbu „--watch“ nelze použít s „--host“ ani s „--join“"));
        // --help and --version answer at once, whatever follows.
        if (line.action != CommandLine::Action::Play) return line;
    }
    if (serverOption && !line.hostPort && line.joinHost.empty() && line.watchHost.empty())
        return failure(tr("volba „--server“ patří k „--host“, „--join“ nebo „--watch“"));
    if (line.inputDelay && !line.hostPort && line.joinHost.empty())
        return failure(tr("volba „--input-delay“ patří k „--host“ nebo „--join“"));
    if (!line.server.empty() && !line.joinHost.empty()) {
        // With a server, a six-character code is a code; anything else is still an address.
        if (const auto code = net::normalizeInviteCode(joinText)) {
            line.inviteCode = *code;
            line.joinHost.clear();
            line.joinPort = 0;
        }
    }
    if (!line.server.empty() && !line.watchHost.empty()) {
        if (const auto code = net::normalizeInviteCode(watchText)) {
            line.watchCode = *code;
            line.watchHost.clear();
            line.watchPort = 0;
        }
    }
    return line;
}

std::string usageText() {
    std::string text = tr("Použití: zib [VOLBA]...\nZIB, hra pro dva hady.\n");
    text += "\n";
    for (const Option& o : options()) {
        std::string left = o.name;
        if (o.alias) left = std::string(o.alias) + ", " + left;
        if (*o.valueName) left += std::string(" ") + tr(o.valueName);
        text += "  " + left;
        text += std::string(left.size() < 16 ? 16 - left.size() : 1, ' ');
        text += std::string(tr(o.help)) + "\n";
    }
    text += "\n";
    text += tr(
        "Alt+Enter přepíná mezi celou obrazovkou a oknem. ZIB_WINDOWED=1 je totéž co --window,\n"
        "ZIB_NO_PORT_MAPPING=1 totéž co --no-port-mapping, ZIB_SERVER=ADRESA totéž co --server.\n"
        "ZIB_LANGUAGE=cs|en je totéž co --language.\n");
    return text;
}

std::string versionText() {
    return std::string("zib ") + ZIB_VERSION + "\n";
}

int answerCommandLine(const CommandLine& line) {
    switch (line.action) {
        case CommandLine::Action::Play:
            return -1;
        case CommandLine::Action::Help:
            std::cout << usageText();
            return 0;
        case CommandLine::Action::Version:
            std::cout << versionText();
            return 0;
        case CommandLine::Action::Error:
            std::cerr << "zib: " << line.error << "\n\n" << usageText();
            return 2;
    }
    return 2;
}

}  // namespace zib
