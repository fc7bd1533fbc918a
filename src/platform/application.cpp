// The message loop: input events, timer ticks and frames, and the list of windows.
#include <algorithm>
#include <climits>

#include "platform/files.h"
#include "platform/key_codes.h"
#include "platform/stop_signals.h"
#include "platform/toolkit.h"

namespace zib {

namespace {
// Without an explicit repaint request, control changes are looked for at most this often.
constexpr uint32_t kChangeCheckMs = 8;
// While a frame is still owed, the loop waits at most this long.
constexpr uint32_t kFrameWaitMs = 5;
// The longest single wait of an idle loop.
constexpr uint32_t kIdleWaitMs = 1000;
// More changed areas than this in one frame are sent as the whole screen.
constexpr size_t kMostAreas = 64;

inline int32_t lateness(uint32_t now, uint32_t due) {
    return static_cast<int32_t>(now - due);
}
}  // namespace

Application::Application(Services& services) : services_(services) {}

Application::~Application() = default;

// ---- windows

void Application::attach(Form* f) {
    forms_.insert(forms_.begin(), f);
}

void Application::detach(Form* f) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
    invalidate();
}

void Application::bringToTop(Form* f) {
    auto it = std::find(forms_.begin(), forms_.end(), f);
    if (it != forms_.end()) forms_.erase(it);
    forms_.push_back(f);
}

Form* Application::topForm() const {
    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it)
        if ((*it)->isVisible()) return *it;
    return nullptr;
}

Picture Application::loadPicture(const std::string& path) {
    auto found = findDataFile(path);
    return services_.graphics.loadPicture(found ? *found : path);
}

// ---- timers

void Timer::restart() {
    dueAt_ = app_->services().clock.tickCount() + interval_;
}

void Timer::setEnabled(bool on) {
    if (!alive_ || on == enabled_) return;
    enabled_ = on;
    if (on) restart();
    app_->timersChanged();
}

void Timer::setInterval(uint32_t ms) {
    interval_ = ms;
    if (!alive_) return;
    if (enabled_) restart();
    app_->timersChanged();
}

void Application::registerTimer(const std::shared_ptr<Timer>& t) {
    timers_.push_back(t);
}

void Application::timersChanged() {
    uint32_t now = services_.clock.tickCount();
    anyDue_ = false;
    int32_t soonest = INT32_MAX;
    auto dead = [](const std::weak_ptr<Timer>& w) { return w.expired(); };
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(), dead), timers_.end());
    for (const auto& w : timers_) {
        auto t = w.lock();
        if (!t->alive_ || !t->enabled_ || t->running_ || t->interval_ == 0) continue;
        int32_t wait = -lateness(now, t->dueAt_);
        if (!anyDue_ || wait < soonest) {
            soonest = wait;
            nextDueAt_ = t->dueAt_;
            anyDue_ = true;
        }
    }
}

uint32_t Application::msUntilNextTimer() {
    if (!anyDue_) return UINT32_MAX;
    int32_t late = lateness(services_.clock.tickCount(), nextDueAt_);
    return late >= 0 ? 0 : static_cast<uint32_t>(-late);
}

void Application::fireDueTimers() {
    if (!anyDue_) return;
    uint32_t now = services_.clock.tickCount();
    if (lateness(now, nextDueAt_) < 0) return;
    uint64_t pass = ++pass_;
    // Each due timer ticks once in this pass, the most overdue first. A handler may disable or
    // discard timers that have not ticked yet; those are skipped.
    for (;;) {
        std::shared_ptr<Timer> next;
        int32_t mostLate = -1;
        for (const auto& w : timers_) {
            auto t = w.lock();
            if (!t || !t->alive_ || !t->enabled_ || t->running_ || t->interval_ == 0 ||
                t->lastPass_ == pass)
                continue;
            int32_t late = lateness(now, t->dueAt_);
            if (late > mostLate) {
                mostLate = late;
                next = std::move(t);
            }
        }
        if (!next) break;
        next->lastPass_ = pass;
        next->running_ = true;
        timersChanged();
        busySinceFrame_ = true;
        // The handler may unload the timer's form; the reference held here keeps the timer (and
        // its handler) alive until it returns.
        struct Finish {
            Application& app;
            Timer& t;
            ~Finish() {
                t.running_ = false;
                if (t.enabled_ && t.alive_) t.restart();
                app.timersChanged();
            }
        } finish{*this, *next};
        if (next->onTick) next->onTick();
    }
}

// ---- input

namespace {
constexpr int kAltShift = 4;
}  // namespace

void Application::toggleFullScreen() {
    Display& display = services_.display;
    if (!display.setFullScreen(!display.fullScreen())) return;
    invalidate();
    if (onScreenToggled) onScreenToggled(display.fullScreen());
}

bool Application::screenToggleKey(const InputEvent& e) {
    switch (e.type) {
        case InputEvent::Type::KeyDown:
            toggleCharacterDue_ = false;
            if (e.code != kEnter) return false;
            if (!(e.shift & kAltShift)) {
                toggleEnterHeld_ = false;  // a plain Enter: its key up was lost
                return false;
            }
            // A held Enter repeats its key down: the screen switches once.
            if (!toggleEnterHeld_) toggleFullScreen();
            toggleEnterHeld_ = true;
            toggleCharacterDue_ = true;
            return true;
        case InputEvent::Type::KeyPress:
            if (!toggleCharacterDue_) return false;
            toggleCharacterDue_ = false;
            return e.code == kEnter;
        case InputEvent::Type::KeyUp:
            if (e.code != kEnter || !toggleEnterHeld_) return false;
            toggleEnterHeld_ = false;
            return true;
        default:
            return false;
    }
}

void Application::dispatch(const InputEvent& e) {
    busySinceFrame_ = true;
    if (screenToggleKey(e)) return;
    Form* f = topForm();
    switch (e.type) {
        case InputEvent::Type::KeyDown:
            if (f) f->Form_KeyDown(e.code, e.shift);
            break;
        case InputEvent::Type::KeyUp:
            if (f) f->Form_KeyUp(e.code, e.shift);
            break;
        case InputEvent::Type::KeyPress:
            if (f) f->Form_KeyPress(e.code);
            break;
        case InputEvent::Type::MouseMove:
        case InputEvent::Type::MouseDown:
        case InputEvent::Type::MouseUp:
            dispatchMouse(e);
            break;
        case InputEvent::Type::Quit:
            quit();
            break;
        case InputEvent::Type::Pad:
            if (f) f->Form_Pad(e.pad, static_cast<PadInput>(e.code));
            break;
    }
}

void Application::dispatchMouse(const InputEvent& e) {
    // The control that got a press captures the pointer until the buttons are released.
    std::shared_ptr<Control> captured = pressed_.lock();
    if (captured && !captured->form()) {
        captured.reset();  // its form was unloaded
        pressed_.reset();
    }
    Form* f = topForm();
    std::shared_ptr<Control> target;
    int x = 0, y = 0;
    if (captured) {
        int fx, fy;
        captured->formPosition(fx, fy);
        x = e.x - fx;
        y = e.y - fy;
        target = captured;
    } else if (f) {
        target = f->controlAt(e.x, e.y, x, y);
    }

    switch (e.type) {
        case InputEvent::Type::MouseMove:
            if (target) {
                if (target->onMouseMove) target->onMouseMove(e.buttons, e.shift, x, y);
            } else if (f) {
                f->Form_MouseMove(e.buttons, e.shift, e.x, e.y);
            }
            break;
        case InputEvent::Type::MouseDown: {
            if (!target) {
                lastClicked_.reset();
                break;
            }
            if (!captured) {
                pressed_ = target;
                swallowClick_ = false;
            }
            if (e.code != 1) {
                if (target->onMouseDown) target->onMouseDown(e.code, e.shift, x, y);
                break;
            }
            uint32_t now = services_.clock.tickCount();
            bool twice =
                target->doubleClicks && lastClicked_.lock() == target &&
                now - lastClickAt_ <= static_cast<uint32_t>(services_.display.doubleClickTimeMs());
            if (twice) {
                // The second press of a double click raises DblClick in place of MouseDown, and
                // its release raises no Click, whether or not the control handles DblClick.
                lastClicked_.reset();
                swallowClick_ = true;
                if (target->onDblClick) target->onDblClick();
            } else {
                lastClicked_ = target;
                lastClickAt_ = now;
                if (target->onMouseDown) target->onMouseDown(e.code, e.shift, x, y);
            }
            break;
        }
        case InputEvent::Type::MouseUp: {
            if (e.buttons == 0) pressed_.reset();
            if (!target) break;
            bool inside = x >= 0 && y >= 0 && x < target->width && y < target->height;
            if (target->onMouseUp) target->onMouseUp(e.code, e.shift, x, y);
            bool click = e.code == 1 && captured == target && inside && !swallowClick_;
            if (e.code == 1) swallowClick_ = false;
            if (click && target->form() && target->onClick) target->onClick();
            break;
        }
        default:
            break;
    }
}

// ---- frames

void Application::compose(Canvas& target, const Rect& area) {
    // A loaded form's background covers the whole screen: nothing below the topmost one shows.
    auto covers = [&target](const Form* f) {
        return f->isVisible() && f->isLoaded() && f->canvas_.width() >= target.width() &&
               f->canvas_.height() >= target.height();
    };
    auto first = std::find_if(forms_.rbegin(), forms_.rend(), covers).base();  // one past it
    if (first == forms_.begin())
        target.fillRect(area.x, area.y, area.w, area.h, kBlack);  // none covers the screen
    else
        --first;
    for (auto it = first; it != forms_.end(); ++it)
        if ((*it)->isVisible()) (*it)->compose(target, area);
}

namespace {

// Many small areas cost more to send one by one than the rectangle around them: areas are joined
// when the joined rectangle is not much larger than the two.
void simplify(std::vector<Rect>& areas) {
    auto bounding = [](const Rect& a, const Rect& b) {
        const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
        const int x1 = std::max(a.x + a.w, b.x + b.w), y1 = std::max(a.y + a.h, b.y + b.h);
        return Rect{x0, y0, x1 - x0, y1 - y0};
    };
    auto size = [](const Rect& r) { return static_cast<long long>(r.w) * r.h; };
    for (size_t i = 0; i < areas.size(); ++i) {
        for (size_t j = i + 1; j < areas.size();) {
            const Rect joined = bounding(areas[i], areas[j]);
            if (size(joined) <= size(areas[i]) + size(areas[j]) + 256) {
                areas[i] = joined;
                areas.erase(areas.begin() + static_cast<std::ptrdiff_t>(j));
                j = i + 1;  // the larger area may now take in earlier ones
            } else {
                ++j;
            }
        }
    }
}

}  // namespace

void Application::presentIfReady() {
    if (!services_.display.readyForFrame()) return;
    const uint32_t now = services_.clock.tickCount();
    // Moves and visibility changes only write fields; look for them now and then.
    if (!dirty_ && !busySinceFrame_ && now - lastCheckAt_ < kChangeCheckMs) return;
    lastCheckAt_ = now;
    busySinceFrame_ = false;
    dirty_ = false;

    const Rect screen = screenArea();
    damage_.clear();
    for (Form* f : forms_)
        if (f->isVisible() && f->isLoaded()) f->layer_.noteChanges(0, 0, screen, true, damage_);
    if (frame_.width() != screen.w || frame_.height() != screen.h) {
        frame_ = Canvas(screen.w, screen.h, kBlack);
        wholeScreen_ = true;
    }
    if (wholeScreen_) {
        damage_.assign(1, screen);
        wholeScreen_ = false;
    } else {
        for (Rect& r : damage_) r = r.intersect(screen);
        damage_.erase(
            std::remove_if(damage_.begin(), damage_.end(), [](const Rect& r) { return r.empty(); }),
            damage_.end());
        if (damage_.empty()) return;
        if (damage_.size() > kMostAreas)
            damage_.assign(1, screen);
        else
            simplify(damage_);
    }
    for (const Rect& r : damage_) compose(frame_, r);
    services_.display.present(frame_, damage_);
}

Rect Application::screenArea() const {
    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it)
        if ((*it)->isVisible() && (*it)->isLoaded())
            return Rect{0, 0, (*it)->width(), (*it)->height()};
    return Rect{0, 0, Form::kWidth, Form::kHeight};
}

Canvas Application::screenshot() {
    const Rect screen = screenArea();
    Canvas shot(screen.w, screen.h, kBlack);
    compose(shot, shot.bounds());
    return shot;
}

// ---- the loop

void Application::doEvents() {
    if (stopSignal()) quit();
    Display& display = services_.display;
    while (auto e = display.pollEvent()) dispatch(*e);
    fireDueTimers();
    presentIfReady();
}

void Application::run() {
    while (!quitRequested_) {
        doEvents();
        if (quitRequested_) break;
        uint32_t wait = std::min(msUntilNextTimer(), kIdleWaitMs);
        if (dirty_ || busySinceFrame_) wait = std::min(wait, kFrameWaitMs);
        if (wait > 0) services_.display.waitEvent(wait);
    }
}

}  // namespace zib
