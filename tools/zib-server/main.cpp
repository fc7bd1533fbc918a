// zib-server: serves invite codes until SIGINT or SIGTERM.
#include <sys/resource.h>

#include <csignal>
#include <iostream>

#include "platform/texts.h"
#include "zib-server/server_options.h"
#include "zib_version.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

// Each relayed side has a socket of its own: the server may open as many as the system lets it.
void allowAllFiles() {
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }
}

}  // namespace

int main(int argc, char** argv) {
    zib::setLanguage(zib::chooseLanguage(zib::environmentLanguageSources()));
    const std::vector<std::string> args(argv + 1, argv + argc);
    zib::server::ServerCommandLine line = zib::server::parseServerCommandLine(args);
    switch (line.action) {
        case zib::server::ServerCommandLine::Action::Help:
            std::cout << zib::server::serverUsageText();
            return 0;
        case zib::server::ServerCommandLine::Action::Version:
            std::cout << "zib-server " << ZIB_VERSION << "\n";
            return 0;
        case zib::server::ServerCommandLine::Action::Error:
            std::cerr << "zib-server: " << line.error << "\n\n" << zib::server::serverUsageText();
            return 2;
        case zib::server::ServerCommandLine::Action::Serve:
            break;
    }
    allowAllFiles();
    line.options.log = [](const std::string& text) { std::cerr << text << std::endl; };
    std::string error;
    auto server = zib::net::InviteServer::start(line.options, error);
    if (!server) {
        std::cerr << "zib-server: " << error << "\n";
        return 1;
    }
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    std::cerr << zib::format(zib::tr("zib-server {} naslouchá na UDP portu {}"), ZIB_VERSION,
                             std::to_string(server->localPort()))
              << std::endl;
    while (!stopRequested) server->poll(100);
    return 0;
}
