// The editor window: opening a level, the pointer on the field, the keys, saving and leaving.
#include "editor/editor_window.h"

#include <algorithm>

#include "platform/texts.h"

namespace zib {

namespace {

// Windows virtual-key codes.
constexpr int kEscape = 27;
constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr int kF5 = 0x74;
constexpr int kShift = 1, kCtrl = 2;
constexpr int kGripReach = 4;  // pixels around a corner that take it for resizing

}  // namespace

EditorWindow::EditorWindow(Application& app, GameState& state, GameWindow& game,
                           LevelFolders folders)
    : Form(app), state_(state), game_(game), folders_(std::move(folders)) {
    setSize(kEditorWidth, kHeight);
    backColour = rgb(64, 64, 64);
}

void EditorWindow::open(const std::string& name) {
    name_ = name;
    savedName_.clear();
    pictureNames_ = levelPictures(folders_);
    // A new level starts on earth with brick walls when the data folder has them.
    auto prefer = [this](const char* name) {
        for (const std::string& p : pictureNames_)
            if (p == name) return p;
        return pictureNames_.empty() ? std::string() : pictureNames_.front();
    };
    OpenedLevel opened = openLevel(name, folders_, prefer("hlina.jpg"));
    model_ = LevelModel(opened.level);
    model_.wallTexture =
        opened.level.walls.empty() ? prefer("cihla.bmp") : opened.level.walls.back().texture;
    tool_ = EditorTool::Wall;
    selected_.reset();
    show();
    if (!opened.fault.empty()) {
        // The checker says what is wrong with the file; the editor starts on an empty level.
        check_ = checkLevelText(opened.text, folders_.player, services().graphics, folders_.shipped,
                                &pictureLoads_);
        showFindings();
        setStatus(opened.fault);
    } else if (opened.origin == OpenedLevel::Origin::Shipped) {
        setStatus(tr("Úpravy se uloží jako tvoje vlastní mapa."));
    } else if (opened.origin == OpenedLevel::Origin::New) {
        setStatus(tr("Nová mapa."));
    }
}

void EditorWindow::design() {
    field_ = &addPictureBox();
    field_->move(0, 0);
    field_->width = kFieldWidth;
    field_->height = kFieldHeight;
    field_->resizeCanvas(kFieldWidth, kFieldHeight);
    field_->doubleClicks = false;  // quick clicks put starts or erase walls one by one
    field_->onMouseDown = [this](int button, int, int x, int y) { fieldMouseDown(button, x, y); };
    field_->onMouseMove = [this](int buttons, int, int x, int y) { fieldMouseMove(buttons, x, y); };
    field_->onMouseUp = [this](int button, int, int x, int y) { fieldMouseUp(button, x, y); };
    designPanel();
    designDialog();
}

void EditorWindow::Form_Load() {
    backgroundPainted_.clear();
    showPanel();
    levelChanged();
}

void EditorWindow::Form_Unload() {
    field_ = nullptr;
    nameLabel_ = mirrorLabel_ = backgroundName_ = textureName_ = undoLabel_ = redoLabel_ =
        statusLabel_ = nullptr;
    backgroundPreview_ = texturePreview_ = nullptr;
    dialog_ = nullptr;
    toolLabels_.clear();
    findingRows_.clear();
    rowFinding_.clear();
}

// ---- the pointer on the field

void EditorWindow::fieldMouseDown(int button, int x, int y) {
    if (askingToSave()) return;
    if ((button == kWheelAway || button == kWheelToward) && !dragging_) {
        turnWithWheel(button == kWheelAway ? 1 : -1);
        return;
    }
    if (button != 1) return;
    selected_.reset();
    switch (tool_) {
        case EditorTool::Wall:
            dragging_ = true;
            dragX0_ = dragX_ = x;
            dragY0_ = dragY_ = y;
            drawField();
            return;
        case EditorTool::Eraser:
            if (model_.eraseAt(x, y)) levelChanged();
            return;
        case EditorTool::Move: {
            const int index = wallAt(model_.level(), x, y);
            if (index < 0) return;
            const LevelWall& w = model_.level().walls[static_cast<size_t>(index)];
            auto near = [](int a, int b) { return std::abs(a - b) <= kGripReach; };
            const bool left = near(x, w.x1), right = near(x, w.x2 - 1);
            const bool top = near(y, w.y1), bottom = near(y, w.y2 - 1);
            grip_ = top && left       ? Grip::TopLeft
                    : top && right    ? Grip::TopRight
                    : bottom && left  ? Grip::BottomLeft
                    : bottom && right ? Grip::BottomRight
                                      : Grip::Body;
            dragStartWall_ = w;
            model_.beginWallDrag(index);
            dragging_ = true;
            dragX0_ = dragX_ = x;
            dragY0_ = dragY_ = y;
            return;
        }
        case EditorTool::RedStart:
        case EditorTool::BlueStart:
            model_.placeStart(tool_ == EditorTool::RedStart ? StartOf::Red : StartOf::Blue, x, y);
            levelChanged();
            return;
    }
}

void EditorWindow::fieldMouseMove(int buttons, int x, int y) {
    if (!dragging_ || !(buttons & 1)) return;
    dragX_ = std::clamp(x, 0, kFieldWidth);
    dragY_ = std::clamp(y, 0, kFieldHeight);
    if (tool_ == EditorTool::Move) {
        const LevelWall& w = dragStartWall_;
        LevelWall moved = w;
        const int dx = dragX_ - dragX0_, dy = dragY_ - dragY0_;
        if (grip_ == Grip::Body) {
            // The whole wall moves by whole cells and stays on the field.
            const int sx = std::clamp((dx + (dx < 0 ? -5 : 5)) / kCellSize * kCellSize, -w.x1,
                                      kFieldWidth - w.x2);
            const int sy = std::clamp((dy + (dy < 0 ? -5 : 5)) / kCellSize * kCellSize, -w.y1,
                                      kFieldHeight - w.y2);
            moved.x1 += sx;
            moved.x2 += sx;
            moved.y1 += sy;
            moved.y2 += sy;
        } else {
            // The opposite corner stays; the gripped one follows the pointer.
            const bool left = grip_ == Grip::TopLeft || grip_ == Grip::BottomLeft;
            const bool top = grip_ == Grip::TopLeft || grip_ == Grip::TopRight;
            moved = wallOfDrag(left ? w.x2 : w.x1, top ? w.y2 : w.y1, dragX_, dragY_, w.texture);
        }
        model_.dragWallTo(moved);
        paintLevelLayer();
    }
    drawField();
}

void EditorWindow::fieldMouseUp(int button, int x, int y) {
    if (!dragging_ || button != 1) return;
    fieldMouseMove(1, x, y);
    dragging_ = false;
    if (tool_ == EditorTool::Wall)
        model_.addWall(wallOfDrag(dragX0_, dragY0_, dragX_, dragY_, model_.wallTexture));
    else if (tool_ == EditorTool::Move)
        model_.endWallDrag();
    levelChanged();
}

// ---- keys

void EditorWindow::Form_KeyDown(int code, int shift) {
    if (askingToSave()) {
        if (code == 'A' || code == 13) answerDialog(0);
        if (code == 'N') answerDialog(1);
        if (code == kEscape) answerDialog(2);
        return;
    }
    if (dragging_) return;
    if (shift & kCtrl) {
        if (code == 'Z' && (shift & kShift))
            redo();
        else if (code == 'Z')
            undo();
        else if (code == 'Y')
            redo();
        else if (code == 'S')
            save();
        return;
    }
    switch (code) {
        case kF5:
            testPlay((shift & kShift) != 0);
            return;
        case kEscape:
            leave();
            return;
        case 'Z':
            chooseTool(EditorTool::Wall);
            return;
        case 'G':
            chooseTool(EditorTool::Eraser);
            return;
        case 'P':
            chooseTool(EditorTool::Move);
            return;
        case 'C':
            chooseTool(EditorTool::RedStart);
            return;
        case 'M':
            chooseTool(EditorTool::BlueStart);
            return;
        case 'B':
            stepBackground(1);
            return;
        case 'T':
            stepWallTexture(1);
            return;
        case 'R':
            cycleMirror();
            return;
        default:
            break;
    }
    if (code >= kLeft && code <= kDown &&
        (tool_ == EditorTool::RedStart || tool_ == EditorTool::BlueStart)) {
        const int dx = code == kLeft ? -1 : code == kRight ? 1 : 0;
        const int dy = code == kUp ? -1 : code == kDown ? 1 : 0;
        model_.turnStart(tool_ == EditorTool::RedStart ? StartOf::Red : StartOf::Blue, dx, dy);
        levelChanged();
    }
}

// The wheel turns the start of the start tool chosen: a quarter turn clockwise a notch away.
void EditorWindow::turnWithWheel(int quarters) {
    if (tool_ != EditorTool::RedStart && tool_ != EditorTool::BlueStart) return;
    const StartOf snake = tool_ == EditorTool::RedStart ? StartOf::Red : StartOf::Blue;
    const LevelStart& s = snake == StartOf::Red ? model_.level().red : model_.level().blue;
    constexpr int kTurns[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};  // right, down, left, up
    int at = 0;
    for (int i = 0; i < 4; ++i)
        if (kTurns[i][0] == s.dx && kTurns[i][1] == s.dy) at = i;
    const int next = (at + quarters + 4) % 4;
    model_.turnStart(snake, kTurns[next][0], kTurns[next][1]);
    levelChanged();
}

// ---- what the buttons do

void EditorWindow::chooseTool(EditorTool tool) {
    tool_ = tool;
    showPanel();
}

void EditorWindow::undo() {
    if (model_.undo()) levelChanged();
}

void EditorWindow::redo() {
    if (model_.redo()) levelChanged();
}

void EditorWindow::cycleMirror() {
    model_.mirror = static_cast<Mirror>((static_cast<int>(model_.mirror) + 1) % 4);
    showPanel();
}

namespace {

// The name after (step 1) or before (step -1) current in names, round; current when names is empty.
std::string stepName(const std::vector<std::string>& names, const std::string& current, int step) {
    if (names.empty()) return current;
    auto at = std::find(names.begin(), names.end(), current);
    const int n = static_cast<int>(names.size());
    const int i = at == names.end() ? (step > 0 ? -1 : 0) : static_cast<int>(at - names.begin());
    return names[static_cast<size_t>(((i + step) % n + n) % n)];
}

}  // namespace

void EditorWindow::stepBackground(int step) {
    model_.setBackground(stepName(pictureNames_, model_.level().background, step));
    levelChanged();
}

void EditorWindow::stepWallTexture(int step) {
    model_.wallTexture = stepName(pictureNames_, model_.wallTexture, step);
    showPanel();
}

bool EditorWindow::save() {
    const Canvas preview =
        levelPreview(model_.level(), [this](const std::string& name) { return picture(name); });
    SaveOutcome outcome =
        saveLevel(name_, model_.level(), preview, folders_.player, services().graphics);
    if (outcome.saved) {
        model_.markSaved();
        savedName_ = name_;
    }
    if (!outcome.message.empty())
        setStatus(outcome.message);
    else if (!check_.playable())
        setStatus(tr("Uloženo, ale mapa má chyby: hra ji nepřijme."));
    else
        setStatus(format(tr("Uloženo: {}"), outcome.path.substr(outcome.path.rfind('/') + 1)));
    showPanel();
    return outcome.saved;
}

void EditorWindow::leave() {
    if (model_.modified()) {
        dialog_->visible = true;
        refresh();
        return;
    }
    endVisit();
}

void EditorWindow::answerDialog(int answer) {
    dialog_->visible = false;
    refresh();
    if (answer == 2) return;
    if (answer == 0 && !save()) return;
    endVisit();
}

void EditorWindow::endVisit() {
    const std::string saved = savedName_;
    unload();
    if (onLeave) onLeave(saved);
}

// ---- test play through the game window

void EditorWindow::testPlay(bool againstComputer) {
    if (playing_) return;
    onePlayerBefore_ = state_.settings.onePlayer;
    state_.settings.onePlayer = againstComputer;
    state_.demoMode = false;
    menuBefore_ = &game_.menuLink();
    game_.setMenuLink(*this);
    game_.setNetworkLevel(NetworkLevel{name_ + ".zq7", levelText(model_.level())});
    playing_ = true;
    game_.show();
    if (!game_.loadError().empty()) {
        const std::string error = game_.loadError();
        finishTestPlay();
        setStatus(error);
        return;
    }
    hide();
}

void EditorWindow::finishTestPlay() {
    if (!playing_) return;
    playing_ = false;
    game_.setNetworkLevel(std::nullopt);
    if (menuBefore_) game_.setMenuLink(*menuBefore_);
    menuBefore_ = nullptr;
    state_.settings.onePlayer = onePlayerBefore_;
}

void EditorWindow::showMenu() {
    show();
}

void EditorWindow::hideMenu() {
    hide();
}

// The game window's last word after a game that ends for good.
void EditorWindow::enableIdleTimer() {
    finishTestPlay();
    show();
}

void EditorWindow::showMessage(const std::string& text) {
    if (isLoaded()) setStatus(text);
}

}  // namespace zib
