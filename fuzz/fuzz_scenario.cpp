// Fuzz target for zibsim's scenario reader: any text is read as a scenario within the documented
// ranges or refused with a message.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "zibsim/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const zib::Result<zibsim::Scenario> scenario = zibsim::parseScenario(text);
    if (!scenario) {
        ZIB_FUZZ_CHECK(!scenario.error().empty(), "a refused scenario carries a message");
        return 0;
    }
    const zibsim::Scenario& s = *scenario;
    ZIB_FUZZ_CHECK(s.gameSpeed >= 0 && s.maxTicks >= 0, "counts are not negative");
    ZIB_FUZZ_CHECK(s.startLength >= 1 && s.startLength <= 100000, "start length in range");
    ZIB_FUZZ_CHECK(s.gameMode >= 1 && s.gameMode <= 3, "game mode 1..3");
    for (const zibsim::ScenarioEvent& e : s.events) {
        ZIB_FUZZ_CHECK(e.tick >= 0, "events from tick 0, before the start");
        ZIB_FUZZ_CHECK(e.code >= 0 && e.code <= 0xFFFF, "16-bit codes");
    }
    ZIB_FUZZ_CHECK(s.carried.foodFrame >= 0 && s.carried.foodFrame <= 2, "food frame 0..2");
    ZIB_FUZZ_CHECK(s.carried.redWins >= 0 && s.carried.blueWins >= 0,
                   "win counts are not negative");
    ZIB_FUZZ_CHECK(s.levelFile.find('/') == std::string::npos, "a bare level file name");
    for (int d :
         {s.carried.redPrevDx, s.carried.redPrevDy, s.carried.bluePrevDx, s.carried.bluePrevDy})
        ZIB_FUZZ_CHECK(d >= -79 && d <= 79, "directions within one wrap");
    if (s.outcome)
        for (size_t i = 1; i < s.outcome->checks.size(); ++i)
            ZIB_FUZZ_CHECK(s.outcome->checks[i - 1].tick < s.outcome->checks[i].tick,
                           "checks in order of ticks");
    return 0;
}
