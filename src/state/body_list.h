#pragma once
// The body list of a snake: its sprite indices, tail first and head last. Kept as a ring so that
// moving the tail to the front is a constant-time rotation with no allocation; indices have no
// limit on their number of digits.
#include <string>
#include <vector>

namespace zib {

class BodyList {
  public:
    void clear() {
        ring_.clear();
        start_ = 0;
    }
    size_t size() const { return ring_.size(); }
    int tail() const { return ring_[start_]; }
    int head() const { return ring_[(start_ + ring_.size() - 1) % ring_.size()]; }
    int at(size_t i) const { return ring_[(start_ + i) % ring_.size()]; }  // 0 = tail

    // Takes the tail index and appends it as the new head ("3,2,1,0" -> "2,1,0,3", returns 3).
    int rotate() {
        int t = ring_[start_];
        start_ = (start_ + 1) % ring_.size();
        return t;
    }
    // Puts an index at the front, as the new tail.
    void pushFront(int index) {
        if (ring_.empty()) {
            ring_.push_back(index);
            start_ = 0;
            return;
        }
        ring_.insert(ring_.begin() + static_cast<long>(start_), index);
    }
    // The list as the game writes it: "2,1,0".
    std::string text() const {
        std::string s;
        for (size_t i = 0; i < ring_.size(); ++i) {
            if (i) s += ',';
            s += std::to_string(at(i));
        }
        return s;
    }

  private:
    std::vector<int> ring_;
    size_t start_ = 0;
};

}  // namespace zib
