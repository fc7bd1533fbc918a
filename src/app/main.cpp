// ZIB: reads the command line, then wires the SDL backend, the game state, the game window and the
// menu window together. The program opens in the menu; EXIT in the menu ends the message loop.
// Every game played is recorded as a replay; zib --replay FILE plays one back.
#include <ctime>
#include <exception>
#include <iostream>
#include <memory>

#include "app/command_line.h"
#include "app/replay_playback.h"
#include "app/screen_preference.h"
#include "menu/configuration.h"
#include "menu/menu_window.h"
#include "net/session.h"
#include "online/online_play.h"
#include "online/watch_play.h"
#include "platform/backend/backends.h"
#include "platform/stop_signals.h"
#include "platform/texts.h"
#include "platform/toolkit.h"
#include "platform/user_folders.h"
#include "replay/replay_file.h"
#include "replay/replay_recorder.h"
#include "state/game_state.h"
#include "zib_version.h"

namespace {

using zib::tr;

void reportNoDisplay(const zib::NoDisplayError& e) {
    if (e.reason == zib::NoDisplayError::Reason::NoScreen) {
        std::cerr << tr("ZIB: hru není kde zobrazit: chybí grafické prostředí (není nastavena "
                        "proměnná DISPLAY ani WAYLAND_DISPLAY).")
                  << std::endl;
    } else {
        std::cerr << zib::format(tr("ZIB: okno hry nelze otevřít ({})."), e.what()) << std::endl;
    }
}

// A replay that cannot be written costs one line on standard error and nothing else.
void saveQuietly(const zib::Scenario& record) {
    try {
        zib::ReplaySave save = zib::saveReplay(zib::replayFolder(), record, std::time(nullptr));
        if (!save.path) std::cerr << "ZIB: " << save.error << std::endl;
    } catch (const std::exception& e) {
        std::cerr << zib::format(tr("ZIB: záznam hry nelze uložit: {}"), e.what()) << std::endl;
    }
}

// --host or --join: the session, or null when none was asked for; a Czech message when it could not
// open.
zib::Result<std::unique_ptr<zib::net::Session>> openSession(const zib::CommandLine& line) {
    zib::net::SessionOptions options;
    options.gameVersion = ZIB_VERSION;
    options.server = line.server;
    if (line.serverPort) options.serverPort = line.serverPort;
    if (line.hostPort) {
        options.port = *line.hostPort;
        options.bindHost = line.hostBind;
        // A host bound to loopback is not asking to be reached from elsewhere.
        options.portMapping = line.portMapping && line.hostBind.rfind("127.", 0) != 0;
        // The address to give out, also for a player who started the host from a terminal.
        options.onAddressLine = [](const std::string& text) {
            std::cout << "ZIB: " << text << std::endl;
        };
        return zib::net::Session::host(options);
    }
    if (!line.inviteCode.empty()) {
        // Why the server did not pair it, or how it reached the host, also for a player who typed
        // the code in a terminal.
        options.onAddressLine = [](const std::string& text) {
            std::cerr << "ZIB: " << text << std::endl;
        };
        return zib::net::Session::joinByCode(line.inviteCode, options);
    }
    if (line.joinHost.empty()) return std::unique_ptr<zib::net::Session>();
    options.port = line.joinPort;
    return zib::net::Session::join(line.joinHost, options);
}

// The language of this run: --language, ZIB_LANGUAGE, the choice remembered beside ZIB.ini, the
// locale.
void chooseRunLanguage(const zib::CommandLine& line) {
    zib::LanguageSources sources = zib::environmentLanguageSources();
    sources.option = line.language;
    sources.saved = zib::readSavedLanguage(zib::languageFilePath(zib::configurationFilePath()));
    zib::setLanguage(zib::chooseLanguage(sources));
}

int run(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    zib::CommandLine line = zib::parseCommandLine(args);
    chooseRunLanguage(line);
    // A refusal is worded once the language is known.
    if (line.action == zib::CommandLine::Action::Error) line = zib::parseCommandLine(args);
    if (const int status = zib::answerCommandLine(line); status >= 0) return status;
    if (!line.replayFile.empty()) return zib::playReplay(line.replayFile, std::cerr, !line.window);
    try {
        std::unique_ptr<zib::Backend> backend;
        try {
            backend = zib::makeSdlBackend(zib::SdlOptions{!line.window, "ZIB"});
        } catch (const zib::NoDisplayError& e) {
            reportNoDisplay(e);
            return 1;
        }
        // Only once there is a screen: a program that cannot show itself neither takes the port
        // nor greets the other player.
        zib::Result<std::unique_ptr<zib::net::Session>> opened = openSession(line);
        if (!opened) {
            std::cerr << "ZIB: " << opened.error() << std::endl;
            return 1;
        }
        std::unique_ptr<zib::net::Session> session = std::move(*opened);
        std::unique_ptr<zib::net::WatchSession> watching;
        if (!line.watchHost.empty() || !line.watchCode.empty()) {
            auto watched =
                line.watchCode.empty()
                    ? zib::net::WatchSession::open(line.watchHost, line.watchPort, ZIB_VERSION)
                    : zib::net::WatchSession::openByCode(line.watchCode, line.server,
                                                         line.serverPort, ZIB_VERSION);
            if (!watched) {
                std::cerr << "ZIB: " << watched.error() << std::endl;
                return 1;
            }
            watching = std::move(*watched);
        }
        zib::Application app(backend->services());
        auto state = std::make_unique<zib::GameState>();
        zib::MenuWindow menu(app, *state);
        // A player without a folder of their own gets no replays.
        std::unique_ptr<zib::ReplayRecorder> recorder;
        if (const std::string notice = zib::noUserDataFolderNotice(); !notice.empty()) {
            std::cerr << notice << std::endl;
        } else {
            recorder =
                std::make_unique<zib::ReplayRecorder>(menu.gameWindow(), *state, menu, saveQuietly);
            menu.gameWindow().setRecorder(recorder.get());
        }
        std::unique_ptr<zib::OnlinePlay> online;
        if (session) {
            online = std::make_unique<zib::OnlinePlay>(std::move(session), app, *state,
                                                       menu.gameWindow(), menu);
            if (line.inputDelay) online->setInputDelay(*line.inputDelay);
            menu.setOnline(online.get());
        }
        std::unique_ptr<zib::WatchPlay> watch;
        if (watching) {
            watch = std::make_unique<zib::WatchPlay>(std::move(watching), *state, menu.gameWindow(),
                                                     menu);
            menu.setWatch(watch.get());
        }
        menu.show();
        if (line.editLevel) menu.openEditor(*line.editLevel);

        // The window shows with the first frame: until then the remembered choice between full
        // screen and a window may still apply. --window wins for this run; Alt+Enter is
        // remembered either way.
        const std::string preference = zib::screenPreferencePath(menu.configurationPath());
        zib::Display& display = backend->services().display;
        if (!line.window) {
            if (const auto full = zib::readFullScreenPreference(preference))
                display.setFullScreen(*full);
        }
        app.onScreenToggled = [&preference](bool fullScreen) {
            if (!zib::writeFullScreenPreference(preference, fullScreen)) {
                std::cerr << zib::format(
                                 tr("ZIB: volbu obrazovky se nepodařilo uložit do souboru {}."),
                                 preference)
                          << std::endl;
            }
        };
        app.run();
        return 0;
    } catch (const std::exception& e) {
        std::cerr << zib::format(tr("ZIB: hra skončila kvůli neočekávané chybě: {}"), e.what())
                  << std::endl;
    } catch (...) {
        std::cerr << tr("ZIB: hra skončila kvůli neočekávané chybě.") << std::endl;
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    // SIGINT and SIGTERM end the program the way its window's close button does, with its
    // temporary folders removed on the way out.
    zib::catchStopSignals();
    return zib::exitAfterStopSignal(run(argc, argv));
}
