#include "platform/frame_scaler.h"

#include <algorithm>
#include <cstring>

namespace zib {
namespace {

// The first picture pixel (of size picture) whose frame pixel (of size frame) is at or beyond
// frameCoordinate: the ceiling of frameCoordinate * picture / frame.
int firstShowing(int frameCoordinate, int picture, int frame) {
    const long long n = static_cast<long long>(frameCoordinate) * picture;
    return static_cast<int>((n + frame - 1) / frame);
}

}  // namespace

void FrameScaler::setSizes(int frameWidth, int frameHeight, int screenWidth, int screenHeight) {
    frameWidth_ = std::max(0, frameWidth);
    frameHeight_ = std::max(0, frameHeight);
    screenWidth_ = std::max(0, screenWidth);
    screenHeight_ = std::max(0, screenHeight);
    picture_ = Rect{};
    columnOf_.clear();
    rowOf_.clear();
    if (frameWidth_ == 0 || frameHeight_ == 0 || screenWidth_ == 0 || screenHeight_ == 0) return;

    // The factor is the smaller of the two screen-to-frame ratios.
    int w, h;
    if (static_cast<long long>(screenWidth_) * frameHeight_ <=
        static_cast<long long>(screenHeight_) * frameWidth_) {
        w = screenWidth_;
        h = static_cast<int>(static_cast<long long>(frameHeight_) * screenWidth_ / frameWidth_);
    } else {
        h = screenHeight_;
        w = static_cast<int>(static_cast<long long>(frameWidth_) * screenHeight_ / frameHeight_);
    }
    w = std::max(1, w);
    h = std::max(1, h);
    picture_ = Rect{(screenWidth_ - w) / 2, (screenHeight_ - h) / 2, w, h};
    columnOf_.resize(static_cast<size_t>(w));
    for (int i = 0; i < w; ++i)
        columnOf_[static_cast<size_t>(i)] =
            static_cast<int>(static_cast<long long>(i) * frameWidth_ / w);
    rowOf_.resize(static_cast<size_t>(h));
    for (int i = 0; i < h; ++i)
        rowOf_[static_cast<size_t>(i)] =
            static_cast<int>(static_cast<long long>(i) * frameHeight_ / h);
}

Rect FrameScaler::draw(const Canvas& frame, const Rect& area, uint32_t* screen, int pitch) const {
    if (frame.width() != frameWidth_ || frame.height() != frameHeight_ || picture_.empty())
        return Rect{};
    const Rect a = area.intersect(frame.bounds());
    if (a.empty()) return Rect{};
    const int x0 = firstShowing(a.x, picture_.w, frameWidth_);
    const int x1 = firstShowing(a.x + a.w, picture_.w, frameWidth_);
    const int y0 = firstShowing(a.y, picture_.h, frameHeight_);
    const int y1 = firstShowing(a.y + a.h, picture_.h, frameHeight_);
    const Rect out{picture_.x + x0, picture_.y + y0, x1 - x0, y1 - y0};
    if (out.empty()) return Rect{};

    const bool unscaled = picture_.w == frameWidth_ && picture_.h == frameHeight_;
    for (int y = y0; y < y1; ++y) {
        const uint32_t* from = frame.row(rowOf_[static_cast<size_t>(y)]);
        uint32_t* to = screen + static_cast<size_t>(picture_.y + y) * pitch + picture_.x;
        if (unscaled) {
            std::memcpy(to + x0, from + x0, static_cast<size_t>(x1 - x0) * sizeof(uint32_t));
        } else {
            for (int x = x0; x < x1; ++x) to[x] = from[columnOf_[static_cast<size_t>(x)]];
        }
    }
    return out;
}

void FrameScaler::drawAll(const Canvas& frame, uint32_t* screen, int pitch) const {
    for (int y = 0; y < screenHeight_; ++y)
        std::fill_n(screen + static_cast<size_t>(y) * pitch, screenWidth_, kBlack);
    draw(frame, frame.bounds(), screen, pitch);
}

void FrameScaler::toFrame(int screenX, int screenY, int& frameX, int& frameY) const {
    if (picture_.empty()) {
        frameX = std::clamp(screenX, 0, std::max(0, frameWidth_ - 1));
        frameY = std::clamp(screenY, 0, std::max(0, frameHeight_ - 1));
        return;
    }
    const int px = std::clamp(screenX - picture_.x, 0, picture_.w - 1);
    const int py = std::clamp(screenY - picture_.y, 0, picture_.h - 1);
    frameX = columnOf_[static_cast<size_t>(px)];
    frameY = rowOf_[static_cast<size_t>(py)];
}

}  // namespace zib
