#pragma once
// The ZIB server's command line.
#include <string>
#include <vector>

#include "net/invite_server.h"

namespace zib::server {

struct ServerCommandLine {
    enum class Action { Serve, Help, Version, Error };
    Action action = Action::Serve;
    std::string error;  // Czech, for Action::Error
    net::InviteServerOptions options;
};

ServerCommandLine parseServerCommandLine(const std::vector<std::string>& args);
std::string serverUsageText();

}  // namespace zib::server
