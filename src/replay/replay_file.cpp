#include "replay/replay_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/texts.h"
#include "platform/user_folders.h"
#include "state/game_mode.h"
#include "zib_version.h"

namespace zib {
namespace {

namespace fs = std::filesystem;

// A JSON string; bytes that are not UTF-8 become U+FFFD.
std::string quoted(const std::string& text) {
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

const char* boolean(bool b) {
    return b ? "true" : "false";
}

std::string pair(int a, int b) {
    return "[" + std::to_string(a) + ", " + std::to_string(b) + "]";
}

std::string hex(uint64_t v) {
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, v);
    return text;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string isoDate(std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    return text;
}

// Writes a temporary file beside path and renames it over path, so that no half-written replay
// is ever seen under its name. Unlike the settings file, a replay is not flushed to the disk
// first: that flush would cost a game's end several milliseconds on a busy disk, and a replay lost
// in a power cut is no great loss.
bool writeQuickly(const std::string& path, const std::string& content) {
    const fs::path target(path);
    std::string temp =
        (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    ::fchmod(fd, 0644);
    bool ok = true;
    size_t done = 0;
    while (ok && done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

// Removes the oldest of the game's replays, by the time of their files, beyond the newest kept;
// never the one just written, nor a file of another name.
void keepNewest(const std::string& folder, size_t kept, const std::string& justWritten) {
    struct Replay {
        fs::file_time_type time;
        std::string name;
    };
    std::vector<Replay> replays;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code unknown;
        if (!isReplayFileName(name) || it->symlink_status(unknown).type() != fs::file_type::regular)
            continue;
        const fs::file_time_type time = it->last_write_time(unknown);
        if (!unknown) replays.push_back({time, std::move(name)});
    }
    if (replays.size() <= kept) return;
    std::sort(replays.begin(), replays.end(), [](const Replay& a, const Replay& b) {
        return a.time != b.time ? a.time < b.time : a.name < b.name;
    });
    size_t excess = replays.size() - kept;
    for (const Replay& r : replays) {
        if (excess == 0) break;
        if (r.name == justWritten) continue;
        fs::remove(fs::path(folder) / r.name, ec);
        --excess;
    }
}

}  // namespace

std::string replayFolder() {
    const std::string folder = userDataFolder();
    return folder.empty() ? folder : folder + "/replays";
}

std::string replayText(const Scenario& r) {
    const Scenario start;  // what a program holds as it starts
    std::string out = "{\n";
    auto field = [&out](const std::string& name, const std::string& value) {
        if (out.size() > 2) out += ",\n";
        out += "  \"" + name + "\": " + value;
    };
    field("level", quoted(r.level));
    if (!r.levelFile.empty()) field("levelFile", quoted(r.levelFile));
    field("gameSpeed", std::to_string(r.gameSpeed));
    field("growthPerFood", std::to_string(r.growthPerFood));
    field("startLength", std::to_string(r.startLength));
    field("gameMode", std::to_string(r.gameMode));
    field("demo", boolean(r.demo));
    field("free", boolean(r.freeMode));
    // The flags the game reads, where they do not follow from the mode.
    if (r.endlessGrowth && *r.endlessGrowth != (gameModeOf(r.gameMode) == GameMode::EndlessGrowth))
        field("endlessGrowth", boolean(*r.endlessGrowth));
    if (r.onePlayer && *r.onePlayer != (gameModeOf(r.gameMode) == GameMode::OnePlayer || r.demo))
        field("onePlayer", boolean(*r.onePlayer));
    if (r.keyBindings != start.keyBindings) {
        std::string keys = "[";
        for (size_t i = 0; i < r.keyBindings.size(); ++i)
            keys += (i ? ", " : "") + std::to_string(r.keyBindings[i]);
        field("keyBindings", keys + "]");
    }
    field("seed", std::to_string(r.seed));
    if (r.carried.redPrevDx != 0 || r.carried.redPrevDy != 0)
        field("redPrev", pair(r.carried.redPrevDx, r.carried.redPrevDy));
    if (r.carried.bluePrevDx != 0 || r.carried.bluePrevDy != 0)
        field("bluePrev", pair(r.carried.bluePrevDx, r.carried.bluePrevDy));
    if (r.carried.redGrowNow) field("redGrowNow", "true");
    if (r.carried.blueGrowNow) field("blueGrowNow", "true");
    if (r.carried.foodFrame != start.carried.foodFrame)
        field("foodFrame", std::to_string(r.carried.foodFrame));
    if (r.carried.redWins != 0) field("redWins", std::to_string(r.carried.redWins));
    if (r.carried.blueWins != 0) field("blueWins", std::to_string(r.carried.blueWins));
    field("maxTicks", std::to_string(r.maxTicks));
    std::string events = "[";
    for (const ScenarioEvent& e : r.events) {
        events += events.size() > 1 ? ",\n    " : "\n    ";
        events += "{\"tick\": " + std::to_string(e.tick) +
                  (e.kind == ScenarioEvent::Kind::Down ? ", \"down\": " : ", \"press\": ") +
                  std::to_string(e.code) + "}";
    }
    field("events", events + (r.events.empty() ? "]" : "\n  ]"));
    if (r.outcome) {
        const RecordedOutcome& o = *r.outcome;
        std::string checks = "[";
        for (const StateCheck& c : o.checks)
            checks += (checks.size() > 1 ? ", [" : "[") + std::to_string(c.tick) + ", \"" +
                      hex(c.hash) + "\"]";
        field("outcome",
              "{\"result\": " + quoted(o.result) + ", \"ticks\": " + std::to_string(o.ticks) +
                  ", \"redWins\": " + std::to_string(o.redWins) + ", \"blueWins\": " +
                  std::to_string(o.blueWins) + ", \"redDead\": " + boolean(o.redDead) +
                  ", \"blueDead\": " + boolean(o.blueDead) + ",\n    \"checks\": " + checks + "]}");
    }
    if (!r.version.empty()) field("version", quoted(r.version));
    if (!r.date.empty()) field("date", quoted(r.date));
    return out + "\n}\n";
}

std::string replayFileName(const std::tm& local, const std::string& levelFile, int suffix) {
    char time[32];
    std::strftime(time, sizeof time, "%Y-%m-%d_%H-%M-%S", &local);
    std::string level = levelFile;
    const size_t dot = level.rfind('.');
    if (dot != std::string::npos && dot > 0) level.erase(dot);
    for (char& c : level) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80 && !std::isalnum(u) && c != '-' && c != '_') c = '_';
    }
    if (level.empty()) level = "level";
    std::string name = std::string(time) + "_" + level;
    if (suffix > 1) name += "_" + std::to_string(suffix);
    return name + kReplaySuffix;
}

bool isReplayFileName(const std::string& name) {
    // "YYYY-MM-DD_HH-MM-SS_", then the level with characters as replayFileName leaves them.
    constexpr std::string_view kTime = "dddd-dd-dd_dd-dd-dd_";
    const std::string_view suffix(kReplaySuffix);
    if (name.size() <= kTime.size() + suffix.size() || !endsWith(name, kReplaySuffix)) return false;
    for (size_t i = 0; i < kTime.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (kTime[i] == 'd' ? !std::isdigit(c) : name[i] != kTime[i]) return false;
    }
    for (size_t i = kTime.size(); i < name.size() - suffix.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c < 0x80 && !std::isalnum(c) && c != '-' && c != '_') return false;
    }
    return true;
}

ReplaySave saveReplay(const std::string& folder, Scenario record, std::time_t now) {
    ReplaySave save;
    record.version = ZIB_VERSION;
    record.date = isoDate(now);
    if (!makeFolders(folder)) {
        save.error = format(tr("složku pro záznamy {} nelze vytvořit"), folder);
        return save;
    }
    std::tm local{};
    localtime_r(&now, &local);
    std::string path;
    std::error_code ec;
    for (int suffix = 1;; ++suffix) {
        path = folder + "/" + replayFileName(local, record.levelFile, suffix);
        if (!fs::exists(path, ec) || suffix == 1000) break;
    }
    if (!writeQuickly(path, replayText(record))) {
        save.error = format(tr("záznam hry {} nelze uložit"), path);
        return save;
    }
    save.path = path;
    keepNewest(folder, kKeptReplays, fs::path(path).filename().string());
    return save;
}

}  // namespace zib
