// The benchmark's pacing of a game on the virtual clock keeps the window loop's schedule: a fixed
// period whatever a tick's work took, moved on by a wait of the tick link (the hold that levels
// two machines) and by a tick more than a period late.
#include "paced_link.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace zib::test {
namespace {

// Says no to tick n as often as `noes` says.
class WaitingLink : public TickLink {
  public:
    std::map<int, int> noes;
    bool takeKeyDown(int) override { return false; }
    bool takeKeyPress(int) override { return false; }
    bool takePad(PadInput) override { return false; }
    bool tickReady(int n) override { return noes[n]-- <= 0; }
    void tick(int) override {}
    void gameEnded() override {}
};

TEST(PacedLink, KeepsTheLoopsScheduleThatWaitsMoveOn) {
    using std::chrono::milliseconds;
    struct Case {
        const char* name;
        std::map<int, int> noes;    // by tick
        std::map<int, int> workMs;  // taken after the tick, by tick (5 ms unless given)
        std::vector<int> startsMs;  // when ticks 1..4 went on
    };
    const Case cases[] = {
        {"a fixed period", {}, {}, {0, 13, 26, 39}},
        {"a wait moves the schedule on", {{2, 3}}, {}, {0, 16, 29, 42}},
        {"the first tick waits for its moment", {{1, 4}}, {}, {4, 17, 30, 43}},
        {"a late tick does not make the next hurry", {}, {{2, 40}}, {0, 13, 53, 66}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Clock::time_point zero{};
        Clock::time_point now = zero;
        PacingTime time{[&] { return now; }, [&](Clock::time_point t) { now = std::max(now, t); }};
        WaitingLink link;
        link.noes = c.noes;
        PacedLink paced(link, 13, time);
        std::vector<int> starts;
        for (int n = 1; n <= 4; ++n) {
            while (!paced.tickReady(n)) {
            }
            starts.push_back(
                static_cast<int>(std::chrono::duration_cast<milliseconds>(now - zero).count()));
            const auto work = c.workMs.find(n);
            now += milliseconds(work == c.workMs.end() ? 5 : work->second);
        }
        EXPECT_EQ(starts, c.startsMs);
    }
}

}  // namespace
}  // namespace zib::test
