// The game window's design, its load (Form_Load) and the read access the simulator and the tests
// use.
#include "game/game_window.h"

#include <iostream>
#include <memory>
#include <stdexcept>

#include "computer/computer_player.h"
#include "game/game_texts.h"
#include "game/game_timings.h"
#include "game/picture_tiling.h"
#include "platform/data_folder.h"
#include "platform/files.h"
#include "platform/texts.h"
#include "snakes/sprite_pictures.h"

namespace zib {

namespace {

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

std::string soundPath(const std::string& name) {
    return findDataFile(name).value_or(name);
}

GameWindow::GameWindow(Application& app, GameState& state, MenuLink& menu)
    : Form(app),
      state_(state),
      menu_(&menu),
      levelFolder_(dataFolder()),
      warnings_(&std::cerr),
      redArt_(drawnPictures().red),
      blueArt_(drawnPictures().blue),
      foodRing_(drawnPictures().foodRing),
      foodDot_(drawnPictures().foodDot) {
    backColour = kBlack;  // black until the level paints the background
}

void GameWindow::design() {
    // The picture holders C1..C10 and CM1..CM10: hidden, the snakes' sprites copy their pictures.
    for (int k = 1; k <= 10; ++k) {
        redHolders_[k] = &addImage();
        redHolders_[k]->setPicture(redArt_[static_cast<size_t>(k)]);
        redHolders_[k]->visible = false;
        blueHolders_[k] = &addImage();
        blueHolders_[k]->setPicture(blueArt_[static_cast<size_t>(k)]);
        blueHolders_[k]->visible = false;
    }
    // The snakes' element 0, showing the horizontal body piece.
    redSprites_ = &addImageArray();
    (*redSprites_)[0].setPicture(redArt_[1]);
    (*redSprites_)[0].move(kRedDesignLeft, kRedDesignTop);
    blueSprites_ = &addImageArray();
    (*blueSprites_)[0].setPicture(blueArt_[1]);
    (*blueSprites_)[0].move(kBlueDesignLeft, kBlueDesignTop);

    // The food: element 0 shows the ring and is hidden until the food is placed; 1 and 2 are the
    // animation frames (ring, dot); 3 is part of the design and unused.
    foodSprites_ = &addImageArray();
    (*foodSprites_)[0].setPicture(foodRing_);
    (*foodSprites_)[0].visible = false;
    foodSprites_->create(1).setPicture(foodRing_);
    foodSprites_->create(2).setPicture(foodDot_);
    foodSprites_->create(3).setPicture(foodRing_);

    fpsLabel_ = &addLabel();
    placeLabel(*fpsLabel_, 680, 0, 121, 25, rgb(255, 255, 0), 17.25, false, false);
    fpsLabel_->setCaption("FPS:");
    resultLabel_ = &addLabel();
    // Wide enough for the longest result in either language ("Červený vyhrál" is 231 pixels); its
    // text starts where it always did, above the red win count.
    placeLabel(*resultLabel_, 288, 282, 320, 37, kWhite, 24, true, true);
    redWinsLabel_ = &addLabel();
    placeLabel(*redWinsLabel_, 288, 320, 57, 41, rgb(255, 0, 0), 24, true, true);
    blueWinsLabel_ = &addLabel();
    placeLabel(*blueWinsLabel_, 456, 320, 57, 41, rgb(0, 0, 192), 24, true, true);

    // The level picture box loads the background and the wall textures; the texture box is the
    // off-screen texture canvas (see LoadLevel). Neither is shown.
    levelPictureBox_ = &addPictureBox();
    levelPictureBox_->visible = false;
    textureBox_ = &addPictureBox();
    textureBox_->visible = false;
    // Its 800 x 600 canvas comes into being (white) when it is first drawn.
    textureBox_->width = kFieldWidth;
    textureBox_->height = kFieldHeight;

    gameTimer_ = &addTimer(kGameTimerMs, true);
    gameTimer_->onTick = [this] { Timer1_Timer(); };
    endPauseTimer_ = &addTimer(kEndPauseMs, false);
    endPauseTimer_->onTick = [this] { Timer2_Timer(); };
}

void GameWindow::Form_Load() {
    loadError_.clear();
    phase_ = Phase::Loaded;
    // Everything the level needs is read and checked first; a fault stops the load before any
    // state is touched.
    // A player's level is read from the player's folder; its pictures may be the shipped ones.
    // A level from the other machine brings its text; only its pictures are looked up here.
    auto level = [&] {
        if (networkLevel_)
            return readNetworkLevel(*networkLevel_, {playerLevelFolder_, levelFolder_},
                                    services().graphics, *warnings_);
        const std::string& name = state_.settings.levelName;
        const std::string folder = folderOfLevel(name, playerLevelFolder_, levelFolder_);
        return readLevel(folder, name, services().graphics, levelFolder_);
    }();
    if (auto* message = std::get_if<std::string>(&level)) {
        failLoad(*message);
        return;
    }
    field_.emplace(PlayField{state_, computerMoves(), {}});
    turnSound_ = soundPath(kTurnSoundName);
    eatSound_ = soundPath(kEatSoundName);

    fpsLabel_->visible = fpsShown_;
    lastFpsSecond_ = services().clock.secondOfMinute();
    // The start segments' sprites, made in order of their index as the game always made them.
    for (ImageArray* sprites : {redSprites_, blueSprites_})
        for (int i = 1; i <= state_.settings.startLength; ++i) sprites->create(i);
    LoadLevel(std::get<ReadyLevel>(level));
}

void GameWindow::setWarningStream(std::ostream* stream) {
    warnings_ = stream ? stream : &std::cerr;
}

void GameWindow::failLoad(std::string message) {
    loadError_ = std::move(message);
    gameTimer_->setEnabled(false);
    unload();
}

void GameWindow::Form_Unload() {
    field_.reset();
    textureToDraw_ = nullptr;
    fpsLabel_ = resultLabel_ = redWinsLabel_ = blueWinsLabel_ = nullptr;
    levelPictureBox_ = textureBox_ = nullptr;
    redSprites_ = blueSprites_ = foodSprites_ = nullptr;
    for (int k = 0; k <= 10; ++k) redHolders_[k] = blueHolders_[k] = nullptr;
    gameTimer_ = endPauseTimer_ = nullptr;
}

const Image& GameWindow::food() const {
    return (*foodSprites_)[0];
}
ImageArray& GameWindow::redSprites() {
    return *redSprites_;
}
ImageArray& GameWindow::blueSprites() {
    return *blueSprites_;
}

int GameWindow::pictureHolderOf(const Image& sprite, bool blue) const {
    const SnakePictures& art = blue ? blueArt_ : redArt_;
    for (int k = 1; k <= 10; ++k)
        if (sprite.picture() == art[static_cast<size_t>(k)]) return k;
    return 0;
}

std::string GameWindow::fpsCaption() const {
    return fpsLabel_ ? fpsLabel_->caption() : "";
}
std::string GameWindow::resultCaption() const {
    if (!resultLabel_) return "";
    // Replays and traces keep a result in the game's own words, whatever language it is shown in.
    const std::string shown = resultLabel_->caption();
    for (GameResult r : {GameResult::Draw, GameResult::RedWon, GameResult::BlueWon}) {
        if (shown == tr(zib::resultCaption(r))) return zib::resultCaption(r);
    }
    return shown;
}
bool GameWindow::gameTimerEnabled() const {
    return gameTimer_ && gameTimer_->enabled();
}
bool GameWindow::endPauseTimerEnabled() const {
    return endPauseTimer_ && endPauseTimer_->enabled();
}
uint32_t GameWindow::endPauseInterval() const {
    return endPauseTimer_ ? endPauseTimer_->interval() : 0;
}

Label& GameWindow::loaded(Label* label) {
    if (!label) throw std::logic_error("the game window is not loaded");
    return *label;
}

const Canvas& GameWindow::textureCanvas() {
    Canvas& texture = textureBox_->canvas();  // white when it first comes into being
    if (textureToDraw_) {
        tilePicture(texture, *textureToDraw_, kFieldWidth, kFieldHeight);
        textureToDraw_ = nullptr;
    }
    return texture;
}

}  // namespace zib
