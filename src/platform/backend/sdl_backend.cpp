// The SDL backend: the real window, audio, clock and display modes in one bundle.
#include <memory>

#include "platform/backend/backends.h"
#include "platform/backend/sdl_clock.h"
#include "platform/backend/sdl_display.h"
#include "platform/backend/sdl_sound.h"

namespace zib {
namespace {

class SdlBackend : public Backend {
  public:
    explicit SdlBackend(const SdlOptions& options)
        : graphics_(makeSdlGraphics()),
          display_(options),
          services_{clock_, random_, sound_, *graphics_, display_} {}
    Services& services() override { return services_; }

  private:
    SdlClock clock_;
    ClockSeededRandom random_;
    std::unique_ptr<Graphics> graphics_;
    SdlDisplay display_;  // before the sound: the window opens first and closes last
    SdlSound sound_;
    Services services_;
};

}  // namespace

std::unique_ptr<Backend> makeSdlBackend(const SdlOptions& options) {
    checkForScreen();  // at once, before fonts, sound and controllers take their time
    return std::make_unique<SdlBackend>(options);
}

}  // namespace zib
