// The menu window: its load, the five items, the highlight rule, and what the game window does to
// the menu (hide, show, win counts, idle timer, messages).
#include "menu/menu_window.h"

#include <algorithm>

#include "menu/display_mode.h"
#include "menu/player_levels.h"
#include "menu/status_lines.h"
#include "platform/data_folder.h"
#include "platform/files.h"
#include "platform/texts.h"
#include "state/game_mode.h"

namespace zib {

namespace {
constexpr const char* kClickSound = "BaseQ7\\Sound\\click.wav";
constexpr const char* kTinkSound = "BaseQ7\\Sound\\tink1.wav";
constexpr uint32_t kOnlineWaitMs = 50;  // the network's service while nobody is connected
}  // namespace

MenuWindow::MenuWindow(Application& app, GameState& state, MenuPaths paths)
    : Form(app), state_(state), paths_(std::move(paths)) {
    if (paths_.levelFolder.empty()) {
        paths_.levelFolder = levelFolder();
        if (paths_.playerLevelFolder.empty()) paths_.playerLevelFolder = playerLevelFolder();
    }
    game_ = std::make_unique<GameWindow>(app, state, *this);
    // The game loads from the folders the menu lists.
    game_->setLevelFolder(paths_.levelFolder);
    game_->setPlayerLevelFolder(paths_.playerLevelFolder);
}

MenuWindow::~MenuWindow() = default;

void MenuWindow::Form_Load() {
    Services& s = services();
    s.random.seedFromClock();
    state_.random.state = s.random.savedState().value_or(0);  // the games draw from here on
    DisplayMode screen = s.display.currentMode();
    savedScreenWidth_ = screen.width;
    savedScreenHeight_ = screen.height;
    loadTexture();
    SetDisplayMode(s.display, kWidth, kHeight);  // the window's size
    setTopmost(true);

    levels_ = listLevels(listLevelFolders(paths_.levelFolder, paths_.playerLevelFolder));
    for (int k = 1; k < kLevelRows; ++k) {
        Label& row = addLabel();
        const Label& above = *c_.levelRows[static_cast<size_t>(k - 1)];
        row.move(above.left, above.top + above.height + 2);
        row.width = above.width;
        row.height = above.height;
        row.setFont(above.font());
        row.visible = false;
        row.onClick = guarded([this, k] { SM_Click(k); });
        c_.levelRows[static_cast<size_t>(k)] = &row;
    }
    showLevelRows();
    c_.levelRows[0]->visible = true;  // lies behind the score panel until the mods panel shows

    gaugeCells_ = gaugeAtStart();
    showGaugeCells(gaugeCells_);
    refresh();

    c_.scorePicture->move(340, 30);
    c_.titleLogo->move(370, 200);
    c_.redWinsLabel->move(672, 40);
    c_.blueWinsLabel->move(672, 120);
    c_.speedGauge->move(369, 250);
    fillEmptyBoxes();

    applyConfiguration();
    if (online_ || watch_) {
        for (size_t i = 0; i < kStatusLines; ++i) {
            const int top = 574 - static_cast<int>(kStatusLines - 1 - i) * 16;
            onlineStatus_[i] = &makeLabel(352, top, kStatusWidth, 20, "", statusFont());
        }
        onlineTimer_ = &addTimer(kOnlineWaitMs, true);
        onlineTimer_->onTick = [this] { pollOnline(); };
        pollOnline();
    }
    if (!messageOpen()) openNextMessage();  // one that came before the window was loaded
}

// Our window is kept above the others by the toolkit as long as it is shown; the call stays so the
// load reads as the game always did.
void MenuWindow::setTopmost(bool /*on*/) {}

void MenuWindow::applyConfiguration() {
    ConfigurationLoad config;
    if (paths_.configurationFile.empty()) {
        config = loadConfiguration();
    } else {
        if (const Result<std::string> text = readWholeFile(paths_.configurationFile)) {
            config = readConfiguration(*text);
        } else {
            config.status = ConfigurationStatus::Missing;
            config.settings = defaultSettings();
        }
        config.path = paths_.configurationFile;
    }
    configurationPath_ = config.path;
    configurationDamaged_ = config.status == ConfigurationStatus::Damaged;
    if (configurationDamaged_) showMessage(config.message);

    Settings& s = state_.settings;
    // Each key caption goes through the capture path, as if the key had been pressed.
    for (int i = 0; i < 8; ++i) {
        captureSlot_ = i;
        bindKey(config.settings.keyBindings[static_cast<size_t>(i)]);
    }
    s.gameSpeed = config.settings.gameSpeed;
    s.levelName = config.settings.levelName;
    s.growthPerFood = config.settings.growthPerFood;
    s.startLength = config.settings.startLength;
    s.gameMode = config.settings.gameMode;
    checkLevelName(levels_, s.levelName);
    refreshSettingCaptions();
    if (const std::optional<GameMode> mode = gameModeOf(s.gameMode)) chooseMode(*mode);

    GaugeView gauge = gaugeForSpeed(s.gameSpeed, gaugeCells_);
    showGaugeCells(gauge.cells);
    c_.speedCaption->setCaption(speedCaption(gauge.captionValue));
}

void MenuWindow::playClick() {
    services().sound.play(kClickSound);
}

// ---- items

void MenuWindow::LB_Click(int index) {
    activateItem(index);
}

void MenuWindow::activateItem(int index) {
    playClick();
    switch (index) {
        case 0:
            startGame();
            break;
        case 1:
            if (c_.modsHeading->visible) break;  // the mods panel is already shown
            showScorePanel(false);
            showOptionsPanel(false);
            showModsPanel(true);
            setHelpScroll(false);
            restartIdleTimer();
            break;
        case 2:
            showScorePanel(false);
            showModsPanel(false);
            showOptionsPanel(true);
            setHelpScroll(false);
            restartIdleTimer();
            break;
        case 3:
            showScorePanel(false);
            showModsPanel(false);
            showOptionsPanel(false);
            setHelpScroll(true);
            restartIdleTimer();
            break;
        case 4:
            exitProgram();
            break;
        default:
            break;
    }
}

void MenuWindow::startGame() {
    if (watch_) {
        showMessage(tr(kWatcherStartMessage));
        return;
    }
    if (online_ && online_->connected()) {
        // Online, the host starts the games, on both machines.
        if (!online_->isHost()) {
            showMessage(tr(kJoinerStartMessage));
            return;
        }
        c_.idleTimer->setEnabled(false);
        if (std::string error = online_->startAsHost(); !error.empty()) failedStart(error);
        return;
    }
    launchGame();
}

void MenuWindow::launchGame() {
    c_.idleTimer->setEnabled(false);
    if (state_.settings.levelName.empty()) {
        failedStart(tr(kNoLevelsMessage));
        return;
    }
    game_->show();
    if (!game_->loadError().empty()) {
        failedStart(game_->loadError());
        return;
    }
    hide();
    // The title and the win counts show when the menu comes back.
    showScorePanel(true);
    showOptionsPanel(false);
    showModsPanel(false);
    setHelpScroll(false);
}

// The copies are taken when a demo game or FREE mode starts and are put back once: a later Esc
// keeps the current settings, as when none was ever taken, so it cannot undo a level or mode
// chosen since.
void MenuWindow::demoEnded() {
    if (copies_.onePlayer) state_.settings.onePlayer = *copies_.onePlayer;
    if (copies_.levelName) state_.settings.levelName = *copies_.levelName;
    copies_ = {};
}

// A game that could not start: the menu stays, a demo's temporary settings are put back.
void MenuWindow::failedStart(const std::string& message) {
    if (state_.demoMode) {
        state_.demoMode = false;
        demoEnded();
    }
    showMessage(message);
    show();
    c_.idleTimer->setEnabled(true);
}

void MenuWindow::exitProgram() {
    if (online_) online_->close();
    if (watch_) watch_->close();
    SetDisplayMode(services().display, static_cast<int16_t>(savedScreenWidth_),
                   static_cast<int16_t>(savedScreenHeight_));
    const Status saved =
        saveConfiguration(configurationPath_, state_.settings, configurationDamaged_);
    if (!saved) {
        // Say why before leaving: the old file stays as it was, or the damaged one was lost.
        quitAfterMessages_ = true;
        showMessage(saved.error());
        return;
    }
    app().quit();
}

// ---- the level editor

void MenuWindow::openEditor(const std::string& name) {
    if (!editor_) {
        editor_ = std::make_unique<EditorWindow>(
            app(), state_, *game_, LevelFolders{paths_.levelFolder, paths_.playerLevelFolder});
        editor_->onLeave = [this](const std::string& saved) { backFromEditor(saved); };
    }
    c_.idleTimer->setEnabled(false);
    c_.helpTimer->setEnabled(false);
    hide();
    editor_->open(name);
}

// The level list is read again, so that a level just saved is there at once, and chosen.
void MenuWindow::backFromEditor(const std::string& savedName) {
    levels_ = listLevels(listLevelFolders(paths_.levelFolder, paths_.playerLevelFolder));
    if (!savedName.empty()) {
        state_.settings.levelName = savedName + ".zq7";
        copies_.levelName.reset();
    }
    checkLevelName(levels_, state_.settings.levelName);
    showLevelRows();
    show();
    restartIdleTimer();
}

// ---- online play

void MenuWindow::setOnline(OnlinePlay* online) {
    online_ = online;
    if (online_) online_->setStartGame([this] { launchGame(); });
}

void MenuWindow::setWatch(WatchPlay* watch) {
    watch_ = watch;
    if (watch_) watch_->setStartGame([this] { launchGame(); });
}

void MenuWindow::pollOnline() {
    std::string line;
    if (watch_) {
        watch_->poll();
        c_.idleTimer->setEnabled(false);
        line = watch_->statusLine();
    } else {
        online_->poll();
        if (online_->connected()) c_.idleTimer->setEnabled(false);
        // Connected, the link is served every millisecond, so an answer to a round trip probe is
        // taken within about one and the round trip comes out as it is.
        const uint32_t interval = online_->connected() ? kServeMs : kOnlineWaitMs;
        if (onlineTimer_->interval() != interval) onlineTimer_->setInterval(interval);
        line = online_->statusLine();
        if (const std::string watchers = watchersLine(online_->session().watcherCount());
            !watchers.empty())
            line += " " + watchers;
    }
    if (onlineStatus_[0] && onlineStatusText_ != line) {
        onlineStatusText_ = line;
        Graphics& graphics = services().graphics;
        const std::vector<std::string> lines =
            fitLines(line, kStatusWidth, kStatusLines, [&](const std::string& text) {
                return graphics.renderText(text, statusFont(), kBlack).width();
            });
        // The last line stays at the bottom; the others go above it.
        const size_t skip = kStatusLines - std::min(lines.size(), kStatusLines);
        for (size_t i = 0; i < kStatusLines; ++i)
            onlineStatus_[i]->setCaption(i >= skip ? lines[i - skip] : "");
        refresh();
    }
}

// ---- panels

void MenuWindow::showScorePanel(bool flag) {
    for (Control* c : std::initializer_list<Control*>{c_.scorePicture, c_.titleLogo,
                                                      c_.redWinsLabel, c_.blueWinsLabel})
        c->visible = flag;
    refresh();
}

void MenuWindow::restartIdleTimer() {
    c_.idleTimer->setEnabled(false);
    c_.idleTimer->setEnabled(true);
}

// ---- highlight of the items

void MenuWindow::LB_MouseMove(int index) {
    if (hoverItem_ != index) backgroundRule();
    hoverItem_ = index;
    Image& highlight = (*c_.itemHighlights)[index];
    if (!highlight.visible) services().sound.play(kTinkSound);
    highlight.visible = true;
    refresh();
    restartIdleTimer();
}

// The first move over the background after an item only forgets the item; the next one hides the
// highlights. A quick pointer therefore leaves a highlight lit for a moment, as the game always
// did.
void MenuWindow::backgroundRule() {
    if (!hoverItem_) {
        for (int i = 0; i < 5; ++i) (*c_.itemHighlights)[i].visible = false;
        refresh();
    }
    hoverItem_.reset();
}

void MenuWindow::Picture2_MouseMove() {
    backgroundRule();
}

void MenuWindow::MEN_MouseMove(int /*index*/) {
    if (hoverItem_) backgroundRule();
    hoverItem_.reset();
}

void MenuWindow::Form_MouseMove(int /*buttons*/, int /*shift*/, int /*x*/, int /*y*/) {
    if (messageOpen()) return;
    backgroundRule();
    restartIdleTimer();
}

// ---- what the game window does to the menu

void MenuWindow::showMenu() {
    show();
}
void MenuWindow::hideMenu() {
    hide();
}
void MenuWindow::setRedWins(long long count) {
    redWins_ = count;
    if (c_.redWinsLabel) c_.redWinsLabel->setCaption(std::to_string(count));
}
void MenuWindow::setBlueWins(long long count) {
    blueWins_ = count;
    if (c_.blueWinsLabel) c_.blueWinsLabel->setCaption(std::to_string(count));
}
void MenuWindow::enableIdleTimer() {
    if (c_.idleTimer) c_.idleTimer->setEnabled(true);
}

}  // namespace zib
