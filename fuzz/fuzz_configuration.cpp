// Fuzz target for the ZIB.ini reader: any text is read or refused as damaged with a message and
// the defaults; what was read is written back and reads back as itself.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "menu/configuration.h"

namespace {

bool sameSettings(const zib::Settings& a, const zib::Settings& b) {
    return a.keyBindings == b.keyBindings && a.gameSpeed == b.gameSpeed &&
           a.levelName == b.levelName && a.growthPerFood == b.growthPerFood &&
           a.startLength == b.startLength && a.gameMode == b.gameMode;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const zib::ConfigurationLoad load = zib::readConfiguration(text);
    if (load.status != zib::ConfigurationStatus::Ok) {
        ZIB_FUZZ_CHECK(load.status == zib::ConfigurationStatus::Damaged,
                       "a text read is Ok or Damaged");
        ZIB_FUZZ_CHECK(!load.message.empty(), "a damaged file carries a message");
        ZIB_FUZZ_CHECK(sameSettings(load.settings, zib::defaultSettings()),
                       "a damaged file gives the defaults");
        return 0;
    }
    ZIB_FUZZ_CHECK(load.message.empty(), "a file read without fault has no message");
    for (int key : load.settings.keyBindings)
        ZIB_FUZZ_CHECK(key >= -32768 && key <= 32767, "key codes are 16-bit");
    ZIB_FUZZ_CHECK(load.settings.gameSpeed <= zib::kLargestGameSpeed,
                   "a step sleeps a second at most");
    ZIB_FUZZ_CHECK(load.settings.growthPerFood <= zib::kLargestGrowthPerFood,
                   "growth per food within four digits");
    ZIB_FUZZ_CHECK(load.settings.startLength <= zib::kLargestStartLength,
                   "start length within four digits");
    const zib::ConfigurationLoad again =
        zib::readConfiguration(zib::writeConfiguration(load.settings));
    ZIB_FUZZ_CHECK(again.status == zib::ConfigurationStatus::Ok, "a written file reads back");
    ZIB_FUZZ_CHECK(sameSettings(again.settings, load.settings),
                   "a written file reads back as the settings written");
    return 0;
}
