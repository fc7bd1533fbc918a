#pragma once
// The game of two machines as each one plays it ahead of the other's keys: this machine's keys
// count at once (after its own small input delay), the other side's keys of the ticks not yet
// heard from are guessed as "no key", and when they come and differ from the guess, the state of
// the first wrong tick is put back and the ticks up to the present are stepped again with the real
// keys. No window, no clock and no network: the caller hands it both sides' keys of each tick and
// asks it to move on; it keeps the states since the last tick whose keys both sides have given
// (the confirmed tick) and never runs more than kMaxPredicted ticks past it.
//
// A game ends only on a confirmed tick: a crash (or an Esc) in a guessed tick is shown, and the
// game stands still there until the tick is confirmed or put right. Sounds come once, from the
// first time a tick is stepped; a tick stepped again is silent.
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <vector>

#include "game/game_step.h"
#include "state/game_state.h"

namespace zib {

enum class Side : uint8_t { Red = 0, Blue = 1 };

class Rollback {
  public:
    static constexpr uint32_t kMaxPredicted = 8;
    // The deepest rollback counted on its own; deeper ones share the last count.
    static constexpr size_t kDepthCounts = 16;

    // A tick whose keys both sides gave, with both sides' keys as they were applied (red's first:
    // the first redKeys of them) and the state after it. The last confirmed tick of a game is the
    // one that ended it.
    using ConfirmedSink = std::function<void(uint32_t tick, std::span<const TickKey> keys,
                                             size_t redKeys, const GameState& state)>;

    // The game as it starts (after startGame): tick 0, confirmed.
    Rollback(const GameState& start, ComputerMoves moves);

    // One side's keys of the next tick it has not given yet (ticks from 1, in order): false (and
    // nothing kept) for any other tick, more than kMaxKeys keys, or a tick more than kKeysAhead
    // past the confirmed one.
    static constexpr size_t kMaxKeys = 16;
    static constexpr uint32_t kKeysAhead = 1024;
    bool addKeys(Side side, uint32_t tick, std::span<const TickKey> keys);
    // The last tick a side's keys are known for.
    uint32_t known(Side side) const { return known_[static_cast<size_t>(side)]; }

    // Puts right the ticks stepped with a guess that turned out wrong, then moves the confirmed
    // tick up as far as both sides' keys go (telling the sink of each). Returns the depth of the
    // rollback (the ticks stepped again; 0 when every guess was right).
    int settle();
    // Whether the next tick may be stepped: not past the guessing limit, not after a game's end.
    bool canAdvance() const;
    // Steps the next tick with the keys known and "no key" for the side not yet heard from; its
    // sounds, as the tick's first drawing plays them. settle() first, so that the guesses are
    // right as far as known.
    TickResult advance();

    uint32_t present() const { return present_; }
    uint32_t confirmed() const { return confirmed_; }
    const GameState& state() const { return frame(present_).state; }
    const GameState& confirmedState() const { return frame(confirmed_).state; }
    // The present tick ended the game (maybe still waiting for its confirmation).
    bool ended() const { return state().stopRequested; }
    // The game ended on a confirmed tick: its result counts.
    bool endConfirmed() const { return ended() && confirmed_ == present_; }

    void setConfirmedSink(ConfirmedSink sink) { sink_ = std::move(sink); }

    // What the rollbacks cost so far.
    struct Stats {
        uint64_t rollbacks = 0;        // corrections
        uint64_t recomputedTicks = 0;  // ticks stepped again
        uint32_t deepest = 0;
        std::array<uint64_t, kDepthCounts + 1> depths{};  // corrections by depth (index 0 unused)
    };
    const Stats& stats() const { return stats_; }

  private:
    // A stepped tick: the state after it and whether each side's keys were a guess.
    struct Frame {
        uint32_t tick = 0;
        GameState state;
        std::array<bool, 2> guessed{};
    };
    static constexpr size_t kFrames = kMaxPredicted + 2;

    Frame& frame(uint32_t tick) { return frames_[tick % kFrames]; }
    const Frame& frame(uint32_t tick) const { return frames_[tick % kFrames]; }
    const std::vector<TickKey>& keysOf(Side side, uint32_t tick) const;
    // Steps tick (present_ + 1 or a tick being stepped again) from the frame before it.
    TickResult stepTick(uint32_t tick);
    void confirmUpTo(uint32_t tick);

    ComputerMoves moves_;
    std::array<Frame, kFrames> frames_;
    uint32_t present_ = 0;
    uint32_t confirmed_ = 0;
    std::array<uint32_t, 2> known_{};
    // Each side's keys from the tick after the confirmed one on: keys_[side][t - confirmed_ - 1].
    std::array<std::deque<std::vector<TickKey>>, 2> keys_;
    uint32_t wrongFrom_ = 0;  // the first tick stepped with a wrong guess (0: none)
    std::vector<TickKey> merged_;
    ConfirmedSink sink_;
    Stats stats_;
};

}  // namespace zib
