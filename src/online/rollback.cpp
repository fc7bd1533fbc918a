// The rollback of a game played ahead of the other side's keys: the ring of stepped ticks since the
// confirmed one, the guesses, the corrections and the confirmations.
#include "online/rollback.h"

#include <algorithm>

namespace zib {

Rollback::Rollback(const GameState& start, ComputerMoves moves) : moves_(moves) {
    frames_[0].state = start;
}

bool Rollback::addKeys(Side side, uint32_t tick, std::span<const TickKey> keys) {
    const auto s = static_cast<size_t>(side);
    if (tick != known_[s] + 1 || keys.size() > kMaxKeys || tick > confirmed_ + kKeysAhead)
        return false;
    keys_[s].emplace_back(keys.begin(), keys.end());
    known_[s] = tick;
    // "No key" was the guess: the same keys change nothing already stepped.
    if (tick <= present_ && frame(tick).guessed[s] && !keys.empty())
        wrongFrom_ = wrongFrom_ == 0 ? tick : std::min(wrongFrom_, tick);
    return true;
}

const std::vector<TickKey>& Rollback::keysOf(Side side, uint32_t tick) const {
    static const std::vector<TickKey> none;
    const auto s = static_cast<size_t>(side);
    if (tick <= confirmed_ || tick > known_[s]) return none;
    return keys_[s][tick - confirmed_ - 1];
}

TickResult Rollback::stepTick(uint32_t tick) {
    Frame& f = frame(tick);
    f.tick = tick;
    f.state = frame(tick - 1).state;
    f.guessed = {tick > known_[0], tick > known_[1]};
    merged_.clear();
    for (const Side side : {Side::Red, Side::Blue}) {
        const std::vector<TickKey>& keys = keysOf(side, tick);
        merged_.insert(merged_.end(), keys.begin(), keys.end());
    }
    PlayField field{f.state, moves_, {}};
    return step(field, merged_);
}

int Rollback::settle() {
    int depth = 0;
    if (wrongFrom_ != 0) {
        const uint32_t top = present_;
        // Stepped again from the first wrong tick with what is known now; silent. A game that now
        // ends earlier stands at its new end; the ticks after it are gone.
        for (uint32_t t = wrongFrom_; t <= top; ++t) {
            stepTick(t);
            present_ = t;
            ++depth;
            if (frame(t).state.stopRequested) break;
        }
        wrongFrom_ = 0;
        ++stats_.rollbacks;
        stats_.recomputedTicks += static_cast<uint64_t>(depth);
        stats_.deepest = std::max(stats_.deepest, static_cast<uint32_t>(depth));
        stats_.depths[std::min(static_cast<size_t>(depth), kDepthCounts)] += 1;
    }
    confirmUpTo(std::min({known_[0], known_[1], present_}));
    return depth;
}

void Rollback::confirmUpTo(uint32_t tick) {
    while (confirmed_ < tick) {
        const uint32_t t = confirmed_ + 1;
        if (sink_) {
            merged_.clear();
            for (const auto& keys : keys_)
                merged_.insert(merged_.end(), keys.front().begin(), keys.front().end());
            sink_(t, merged_, keys_[0].front().size(), frame(t).state);
        }
        for (auto& keys : keys_) keys.pop_front();
        confirmed_ = t;
    }
}

bool Rollback::canAdvance() const {
    return wrongFrom_ == 0 && !ended() && present_ < confirmed_ + kMaxPredicted;
}

TickResult Rollback::advance() {
    if (!canAdvance()) return {};
    TickResult result = stepTick(present_ + 1);
    present_ += 1;
    confirmUpTo(std::min({known_[0], known_[1], present_}));
    return result;
}

}  // namespace zib
