#include "zibsim/level_check.h"

#include <ostream>

#include "platform/stop_signals.h"

namespace zibsim {

int runLevelCheck(const std::vector<std::string>& paths, std::ostream& out,
                  zib::Graphics& graphics) {
    if (paths.empty()) return 2;
    bool allPlayable = true;
    for (const std::string& path : paths) {
        if (zib::stopSignal()) break;
        LevelCheck check = checkLevelFile(path, graphics);
        int errors = 0, warnings = 0;
        for (const LevelFinding& f : check.findings) {
            const bool isError = f.severity == LevelFinding::Severity::Error;
            (isError ? errors : warnings) += 1;
            out << path;
            if (f.line > 0) out << ':' << f.line;
            out << (isError ? ": error: " : ": warning: ") << f.message << '\n';
        }
        out << path << ": " << (errors == 0 ? "playable" : "NOT playable") << " (" << errors
            << " errors, " << warnings << " warnings)\n";
        allPlayable = allPlayable && errors == 0;
    }
    return allPlayable ? 0 : 1;
}

}  // namespace zibsim
