#include "platform/backend/backends.h"
#include "zibsim/sim_host.h"

namespace zibsim {
namespace {

class HeadlessHost : public SimHost {
  public:
    explicit HeadlessHost(uint64_t seed) : backend_(nullptr, seed) {}
    zib::Services& services() override { return backend_.services(); }
    void keyDown(int code) override { backend_.keyDown(code); }
    void keyPress(int character) override { backend_.keyPress(character); }
    std::vector<std::string> takeSounds() override { return backend_.takeSounds(); }
    void startGameClock() override { backend_.setNow(0); }

  private:
    zib::HeadlessBackend backend_;
};

}  // namespace

std::unique_ptr<SimHost> makeHeadlessHost(uint64_t seed) {
    return std::make_unique<HeadlessHost>(seed);
}

}  // namespace zibsim
