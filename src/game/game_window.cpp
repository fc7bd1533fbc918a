// The game window's design, its load (Form_Load) and the read access the simulator and the tests
// use.
#include "game/game_window.h"

#include <memory>
#include <stdexcept>

#include "platform/data_folder.h"
#include "platform/files.h"
#include "snakes/sprite_pictures.h"

namespace zib {

namespace {

constexpr int kRedDesignLeft = 160, kRedDesignTop = 270;
constexpr int kBlueDesignLeft = 160, kBlueDesignTop = 250;

// A sound file the game names relative to the current directory, resolved once. A missing file
// is still handed to the sound service, which ignores what it cannot play.
std::string soundPath(const std::string& name) {
    return findDataFile(name).value_or(name);
}

void placeLabel(Label& label, int left, int top, int width, int height, uint32_t colour,
                double points, bool bold, bool visible) {
    label.left = left;
    label.top = top;
    label.width = width;
    label.height = height;
    label.setColour(colour);
    label.setFont(FontSpec{"MS Sans Serif", points, bold});
    label.visible = visible;
}

// The pictures the game draws itself never change, so they are drawn once for the program and
// shared by every game window.
struct DrawnPictures {
    SnakePictures red = makeSnakePictures(kRedSnakeColour);
    SnakePictures blue = makeSnakePictures(kBlueSnakeColour);
    Picture foodRing = std::make_shared<const Canvas>(drawFoodRing());
    Picture foodDot = std::make_shared<const Canvas>(drawFoodDot());
};

const DrawnPictures& drawnPictures() {
    static const DrawnPictures pictures;
    return pictures;
}

}  // namespace

GameWindow::GameWindow(Application& app, GameState& state, MenuLink& menu)
    : Form(app),
      state_(state),
      menu_(menu),
      levelFolder_(dataFolder()),
      redArt_(drawnPictures().red),
      blueArt_(drawnPictures().blue),
      foodRing_(drawnPictures().foodRing),
      foodDot_(drawnPictures().foodDot) {
    backColour = kBlack;  // black until the level paints the background
}

void GameWindow::design() {
    // The picture holders C1..C10 and CM1..CM10: hidden, the snakes' sprites copy their pictures.
    for (int k = 1; k <= 10; ++k) {
        c_[k] = &addImage();
        c_[k]->setPicture(redArt_[static_cast<size_t>(k)]);
        c_[k]->visible = false;
        cm_[k] = &addImage();
        cm_[k]->setPicture(blueArt_[static_cast<size_t>(k)]);
        cm_[k]->visible = false;
    }
    // The snakes' element 0, showing the horizontal body piece.
    vh_ = &addImageArray();
    (*vh_)[0].setPicture(redArt_[1]);
    (*vh_)[0].move(kRedDesignLeft, kRedDesignTop);
    vhM_ = &addImageArray();
    (*vhM_)[0].setPicture(blueArt_[1]);
    (*vhM_)[0].move(kBlueDesignLeft, kBlueDesignTop);

    // The food: element 0 shows the ring and is hidden until the food is placed; 1 and 2 are the
    // animation frames (ring, dot); 3 is part of the design and unused.
    picture1_ = &addImageArray();
    (*picture1_)[0].setPicture(foodRing_);
    (*picture1_)[0].visible = false;
    picture1_->create(1).setPicture(foodRing_);
    picture1_->create(2).setPicture(foodDot_);
    picture1_->create(3).setPicture(foodRing_);

    label1_ = &addLabel();
    placeLabel(*label1_, 680, 0, 121, 25, rgb(255, 255, 0), 17.25, false, false);
    label1_->setCaption("FPS:");
    label2_ = &addLabel();
    placeLabel(*label2_, 288, 282, 224, 37, kWhite, 24, true, true);
    label3_ = &addLabel();
    placeLabel(*label3_, 288, 320, 57, 41, rgb(255, 0, 0), 24, true, true);
    label4_ = &addLabel();
    placeLabel(*label4_, 456, 320, 57, 41, rgb(0, 0, 192), 24, true, true);

    // Picture2 loads the background and the wall textures; Picture3 is the off-screen texture
    // canvas (see LoadLevel). Neither is shown.
    picture2_ = &addPictureBox();
    picture2_->visible = false;
    picture3_ = &addPictureBox();
    picture3_->visible = false;
    // Its 800 x 600 canvas comes into being (white) when it is first drawn.
    picture3_->width = kFieldWidth;
    picture3_->height = kFieldHeight;

    timer1_ = &addTimer(1, true);
    timer1_->onTick = [this] { Timer1_Timer(); };
    timer2_ = &addTimer(2000, false);
    timer2_->onTick = [this] { Timer2_Timer(); };
}

void GameWindow::createBody(ImageArray& sprites, SnakeRecord& snake) {
    const int n = state_.settings.startLength;
    snake.segments.clear();
    snake.segments.pushFront(0);
    for (int i = 1; i <= n; ++i) {
        // Created at element 0's design position and invisible: the first steps unroll the snake
        // from there, one sprite per step.
        sprites.create(i);
        snake.segments.pushFront(i);
    }
    snake.headX = sprites[0].left;
    snake.headY = sprites[0].top;
    snake.nextIndex = (n < 1 ? 0 : n) + 1;
}

void GameWindow::Form_Load() {
    loadError_.clear();
    phase_ = Phase::Loaded;
    // Everything the level needs is read and checked first; a fault stops the load before any
    // state is touched.
    // A player's level is read from the player's folder; its pictures may be the shipped ones.
    const std::string& name = state_.settings.levelName;
    const std::string folder = folderOfLevel(name, playerLevelFolder_, levelFolder_);
    auto level = readLevel(folder, name, services().graphics, levelFolder_);
    if (auto* message = std::get_if<std::string>(&level)) {
        failLoad(*message);
        return;
    }
    field_.emplace(PlayField{state_, services(), *vh_, *vhM_, *picture1_, redArt_, blueArt_,
                             soundPath("BaseQ7\\Sound\\turnII.wav"),
                             soundPath("BaseQ7\\Sound\\UP.wav"), false});

    label1_->visible = state_.showFps;
    createBody(*vh_, state_.red);
    state_.red.dx = 1;
    createBody(*vhM_, state_.blue);
    lastFpsSecond_ = services().clock.secondOfMinute();
    state_.blue.dx = -1;
    LoadLevel(std::get<ReadyLevel>(level));
}

void GameWindow::failLoad(std::string message) {
    loadError_ = std::move(message);
    timer1_->setEnabled(false);
    unload();
}

void GameWindow::Form_Unload() {
    field_.reset();
    textureToDraw_ = nullptr;
    label1_ = label2_ = label3_ = label4_ = nullptr;
    picture2_ = picture3_ = nullptr;
    vh_ = vhM_ = picture1_ = nullptr;
    for (int k = 0; k <= 10; ++k) c_[k] = cm_[k] = nullptr;
    timer1_ = timer2_ = nullptr;
}

const Image& GameWindow::food() const {
    return (*picture1_)[0];
}
ImageArray& GameWindow::redSprites() {
    return *vh_;
}
ImageArray& GameWindow::blueSprites() {
    return *vhM_;
}

int GameWindow::pictureHolderOf(const Image& sprite, bool blue) const {
    const SnakePictures& art = blue ? blueArt_ : redArt_;
    for (int k = 1; k <= 10; ++k)
        if (sprite.picture() == art[static_cast<size_t>(k)]) return k;
    return 0;
}

std::string GameWindow::fpsCaption() const {
    return label1_ ? label1_->caption() : "";
}
std::string GameWindow::resultCaption() const {
    return label2_ ? label2_->caption() : "";
}
bool GameWindow::timer1Enabled() const {
    return timer1_ && timer1_->enabled();
}
bool GameWindow::timer2Enabled() const {
    return timer2_ && timer2_->enabled();
}
uint32_t GameWindow::timer2Interval() const {
    return timer2_ ? timer2_->interval() : 0;
}
bool GameWindow::foodPresent() const {
    return field_ && field_->foodPresent;
}

Label& GameWindow::label(int n) {
    Label* labels[] = {label1_, label2_, label3_, label4_};
    if (n < 1 || n > 4 || !labels[n - 1]) throw std::out_of_range("no such label");
    return *labels[n - 1];
}

const Canvas& GameWindow::textureCanvas() {
    Canvas& texture = picture3_->canvas();  // white when it first comes into being
    if (textureToDraw_) {
        tilePicture(texture, *textureToDraw_, kFieldWidth, kFieldHeight);
        textureToDraw_ = nullptr;
    }
    return texture;
}

}  // namespace zib
