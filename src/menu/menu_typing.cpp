// The keyboard of the menu: Enter starts a game, a key release binds an armed key slot, and the
// typed words DEMO, EDIT, EXIT, FREE, LANG and FPS. Also the idle countdown that starts a demo
// game.
#include "menu/menu_window.h"
#include "platform/key_codes.h"
#include "platform/texts.h"

namespace zib {

namespace {

constexpr const char* kClickSound = "BaseQ7\\Sound\\click.wav";

// The upper-case form of a typed character (Latin-1 letters included; others stay as they are).
char32_t upperCase(int k) {
    char32_t c = static_cast<char32_t>(k);
    if (c >= U'a' && c <= U'z') return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    return c;
}

// The characters of s from 1-based position p, at most n of them, as Mid$ gives them.
std::u32string mid(const std::u32string& s, size_t p, size_t n) {
    if (p < 1 || p > s.size()) return {};
    return s.substr(p - 1, n);
}

}  // namespace

void MenuWindow::Form_KeyUp(int code, int /*shift*/) {
    if (messageOpen()) {
        // Enter and Esc close the message and do nothing else.
        if (code == kEnter || code == kEsc) closeMessage();
        return;
    }
    if (captureSlot_) {
        bindKey(code);
        return;
    }
    if (code == kEnter) activateItem(0);
}

void MenuWindow::Form_KeyPress(int character) {
    if (messageOpen()) return;
    if (watch_ && character == kEsc) return activateItem(4);  // a spectator leaves with Esc
    typedKeys_ += upperCase(character);
    if (typedKeys_.size() > 2) searchTypedWords();
    if (!typedKeys_.empty()) restartIdleTimer();
}

// Looks at every position from 1 to length - 2 in turn. The text is never shortened otherwise:
// characters that form no word stay and take part in later searches (so "DEMXDEMO" still finds
// DEMO at position 5), and a word found empties it all.
void MenuWindow::searchTypedWords() {
    const size_t last = typedKeys_.size() - 2;
    // While a player is connected, EXIT is the only word.
    const bool onlyExit = (online_ && online_->connected()) || watch_;
    for (size_t p = 1; p <= last; ++p) {
        std::u32string four = mid(typedKeys_, p, 4);
        if (onlyExit && four != U"EXIT") continue;
        if (four == U"DEMO") {
            typedKeys_.clear();
            c_.helpTimer->setEnabled(false);  // stop the help scroll, or the demo would wait for it
            Timer2_Timer();
            return;
        }
        if (four == U"EDIT") {
            typedKeys_.clear();
            playClick();
            // The editor opens on the chosen level, by its name without the extension.
            std::string name = state_.settings.levelName;
            if (name.size() > 4) name.resize(name.size() - 4);
            openEditor(validLevelName(name) ? name : "Nova");
            return;
        }
        if (four == U"EXIT") {
            typedKeys_.clear();
            activateItem(4);
            return;
        }
        if (four == U"LANG") {
            typedKeys_.clear();
            switchLanguage();
            services().sound.play(kClickSound);
            return;
        }
        if (four == U"FREE") {
            switchFreeMode();
            typedKeys_.clear();
            services().sound.play(kClickSound);
        }
        if (mid(typedKeys_, p, 3) == U"FPS") {
            game_->setFpsShown(!game_->fpsShown());
            services().sound.play(kClickSound);
            typedKeys_.clear();
        }
    }
}

void MenuWindow::switchFreeMode() {
    if (!state_.freeMode) {
        state_.freeMode = true;
        // The copies the game window puts back after Esc.
        copies_.levelName = state_.settings.levelName;
        copies_.onePlayer = state_.settings.onePlayer;
    } else {
        state_.freeMode = false;
    }
}

// The idle action: a demo game on a random level with the computer steering both snakes. While the
// help scrolls (or a message waits) the countdown just goes on.
void MenuWindow::Timer2_Timer() {
    // No demo games while a player is connected, nor for a spectator.
    if ((online_ && online_->connected()) || watch_) return;
    if (c_.helpTimer->enabled() || messageOpen()) return;
    std::optional<std::string> level = randomLevelName(levels_, state_.random.next());
    if (!level) {
        showMessage(tr(kNoLevelsMessage));
        return;
    }
    Settings& s = state_.settings;
    copies_.onePlayer = s.onePlayer;
    s.onePlayer = true;
    state_.demoMode = true;
    c_.idleTimer->setEnabled(false);
    copies_.levelName = s.levelName;
    s.levelName = *level;
    activateItem(0);
}

}  // namespace zib
