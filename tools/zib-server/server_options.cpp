// The ZIB server's options: --port N, --bind ADDRESS, --max-pairs N, --max-hosts N,
// --log-level error|info|debug, --help, --version. "--name=value" and "--name value" both work.
#include "zib-server/server_options.h"

#include <optional>

#include "platform/texts.h"

namespace zib::server {

namespace {

std::optional<unsigned long> number(const std::string& text, unsigned long low,
                                    unsigned long high) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    unsigned long value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned long>(ch - '0');
    }
    if (value < low || value > high) return std::nullopt;
    return value;
}

ServerCommandLine failure(const std::string& why) {
    ServerCommandLine c;
    c.action = ServerCommandLine::Action::Error;
    c.error = why;
    return c;
}

}  // namespace

ServerCommandLine parseServerCommandLine(const std::vector<std::string>& args) {
    ServerCommandLine line;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (name == "--help" || name == "-h") {
            line.action = ServerCommandLine::Action::Help;
            return line;
        }
        if (name == "--version") {
            line.action = ServerCommandLine::Action::Version;
            return line;
        }
        const bool takesValue = name == "--port" || name == "--bind" || name == "--max-pairs" ||
                                name == "--max-hosts" || name == "--log-level";
        if (!takesValue) {
            if (name.empty() || name[0] != '-')
                return failure(format(tr("nečekaný argument „{}“"), name));
            return failure(format(tr("neznámá volba „{}“"), name));
        }
        if (!value) {
            if (i + 1 >= args.size())
                return failure(format(tr("volba „{}“ potřebuje hodnotu"), name));
            value = args[++i];
        }
        const std::string bad = format(tr("volba „{}“: nepoužitelná hodnota „{}“"), name, *value);
        net::InviteServerOptions& o = line.options;
        if (name == "--port") {
            const auto n = number(*value, 1, 65535);
            if (!n) return failure(bad);
            o.port = static_cast<uint16_t>(*n);
        } else if (name == "--bind") {
            if (value->empty()) return failure(bad);
            o.bindHost = *value;
        } else if (name == "--max-pairs") {
            const auto n = number(*value, 1, 1000);
            if (!n) return failure(bad);
            o.maxPairs = *n;
        } else if (name == "--max-hosts") {
            const auto n = number(*value, 1, 2000);
            if (!n) return failure(bad);
            o.maxHosts = *n;
        } else if (*value == "error") {
            o.logLevel = net::ServerLogLevel::Error;
        } else if (*value == "info") {
            o.logLevel = net::ServerLogLevel::Info;
        } else if (*value == "debug") {
            o.logLevel = net::ServerLogLevel::Debug;
        } else {
            return failure(bad);
        }
    }
    return line;
}

std::string serverUsageText() {
    return tr(
        "Použití: zib-server [VOLBA]...\n"
        "Server ZIB: kódy pozvánek pro hru přes internet.\n\n"
        "  --port N          UDP port serveru (47778, není-li uveden)\n"
        "  --bind ADRESA     naslouchá jen na této adrese\n"
        "  --max-pairs N     nejvýše N párů najednou (200; 1 až 1000)\n"
        "  --max-hosts N     nejvýše N hostitelů s kódem najednou (1000; 1 až 2000)\n"
        "  --log-level ÚROVEŇ  error, info (řádek za každé spárování) nebo debug\n"
        "  -h, --help        vypíše tuto nápovědu a skončí\n"
        "  --version         vypíše verzi a skončí\n"
        "ZIB_LANGUAGE=cs|en volí jazyk zpráv.\n");
}

}  // namespace zib::server
