#include "GameLayer.h"

#include "GameScenes.h"
#include "Progress.h"

#include "engine/Director.h"
#include "engine/InstantAction.h"
#include "engine/IntervalAction.h"
#include "engine/Label.h"
#include "engine/Menu.h"
#include "engine/MenuItem.h"
#include "engine/Sprite.h"
#include "platform/Log.h"
#include "platform/Sound.h"

#include <algorithm>
#include <cmath>

namespace {
// Whether a coordinate difference, truncated toward zero, is at most 20 points.
bool within20(float difference) {
    return std::fabs(std::trunc(difference)) <= 20.0f;
}

// The widest the result banner may be while it zooms: the screen less 10 points a side.
constexpr float kBannerMaxWidth = 300;

int32_t truncated(float v) {
    return static_cast<int32_t>(std::trunc(v));
}

// A one-item menu at `position`, added to `layer` at `z`.
void addMenu(Layer* layer, MenuItem* item, cpVect position, int32_t z) {
    RefPtr<Menu> menu = Menu::menuWithItems({item});
    menu->setPosition(position);
    layer->add(menu, z);
}
} // namespace

RefPtr<GameLayer> GameLayer::node() {
    return nodeOf<GameLayer>();
}

bool GameLayer::init() {
    if (!Layer::init()) return false;
    soundMove_ = SoundEffect::soundEffectWithContentsOfFile(pathForResource("Move", "caf"));
    soundSuccess_ = SoundEffect::soundEffectWithContentsOfFile(pathForResource("Success", "caf"));
    soundWin_ = SoundEffect::soundEffectWithContentsOfFile(pathForResource("Win", "caf"));
    return true;
}

void GameLayer::onEnter() {
    setIsTouchEnabled(true);
    Layer::onEnter();
    currlevel_ = progress::currentLevel();
    resetGame();
}

void GameLayer::onExit() {
    Layer::onExit();
    removeAll();
    // The banner's unfinished chain calls back into the board and so keeps it
    // alive; it can never run again (the next entry makes a new banner).
    if (levelComplete_) levelComplete_->cleanup();
}

void GameLayer::resetGame() {
    // After the last bonus level the index has moved past the catalogue: play that last level again.
    if (currlevel_ >= kLevelCount) currlevel_ = kLevelCount - 1;
    level_ = levelAt(currlevel_);
    isSoundEnabled_ = progress::soundOn();

    MenuItemFont::setFontSize(26);
    RefPtr<MenuItemFont> mainMenu = MenuItemFont::itemFromString("Main Menu", this, &GameLayer::GoBack);
    mainMenu->label()->setRGB(255, 0, 0);
    addMenu(this, mainMenu, cpv(80, 15), 0);

    MenuItemFont::setFontSize(21);
    RefPtr<MenuItemFont> objective =
        MenuItemFont::itemFromString("Mission Objective", this, &GameLayer::mission);
    objective->label()->setRGB(255, 0, 0);
    objective->runAction(RepeatForever::actionWithAction(
        Sequence::actions({FadeIn::actionWithDuration(1).get(), FadeOut::actionWithDuration(1).get()})));
    addMenu(this, objective, cpv(150, 460), 0);

    MenuItemFont::setFontSize(26);
    replay_ = MenuItemFont::itemFromString("Replay", this, &GameLayer::sameLevel);
    replay_->label()->setRGB(255, 0, 0);
    addMenu(this, replay_, cpv(260, 15), 1);
    addMenu(this, MenuItemFont::itemFromString("Undo", this, &GameLayer::undo), cpv(180, 15), 1);

    touchCount_ = level_->moveCount;
    tmpTouches_ = 0;
    state_ = kPlaying;
    tmpLoc_ = cpvzero;
    imageSelected_ = false;
    imageMoved_ = false;
    Undo_.fill(UndoRecord{});

    if (currlevel_ == 9) {
        RefPtr<Sprite> button = Sprite::spriteWithFile("kochak.png");
        button->setPosition(cpv(160, 240));
        add(button, 1);
    }
    for (auto& s : stick_)
        s = nullptr;
    for (int32_t i = 0; i < level_->stickCount; ++i) {
        const StickPlacement& place = level_->start[static_cast<size_t>(i)];
        RefPtr<Sprite> stick = Sprite::spriteWithFile("stick.png");
        stick->setRotation(place.rotation);
        stick->setPosition(cpv(160, 240)); // all fly out of the centre to their places
        add(stick, 1);
        stick->runAction(MoveTo::actionWithDuration(1, cpv(place.x, place.y)));
        stick_[static_cast<size_t>(i)] = stick;
    }

    levelLabel_ = Label::labelWithString(levelTitle(currlevel_), "Marker Felt", 24);
    levelLabel_->setPosition(cpv(40, 460));
    add(levelLabel_, 0);
    movesLabel_ = Label::labelWithString(platform::ccFormat("Moves %d", touchCount_ - tmpTouches_), "Marker Felt", 24);
    shownLevel_ = currlevel_;
    shownMoves_ = touchCount_ - tmpTouches_;
    movesLabel_->setPosition(cpv(270, 460));
    add(movesLabel_, 0);
    levelComplete_ = Label::labelWithString("Level Complete", "Marker Felt", 36);
    levelComplete_->setPosition(cpv(160, 500)); // above the top edge, out of sight
    add(levelComplete_, 2);
}

// ---- picking and dragging

void GameLayer::pick(TouchSet& touches) {
    if (state_ == kIdle || tmpTouches_ >= touchCount_) return; // no room for another undo record
    Touch* touch = touches.anyObject();
    if (!touch) return;
    cpVect p = Director::sharedDirector()->convertCoordinate(touch->locationInView(touch->view()));
    tmpLoc_ = p;
    if (imageSelected_) return; // the held stick follows to p at the next frame
    for (int32_t i = 0; i < level_->stickCount; ++i) {
        cpVect s = stick_[static_cast<size_t>(i)]->position();
        if (within20(s.x - p.x) && within20(s.y - p.y)) {
            selectedImageIndex_ = i;
            imageSelected_ = true;
            Undo_[static_cast<size_t>(tmpTouches_)] = UndoRecord{i, truncated(s.x), truncated(s.y)};
            return;
        }
        tmpLoc_ = cpvzero; // a stick after the first one stays put until the finger moves
    }
}

bool GameLayer::ccTouchesBegan(TouchSet& touches, Event*) {
    pick(touches);
    return true;
}

bool GameLayer::ccTouchesMoved(TouchSet& touches, Event*) {
    pick(touches);
    imageMoved_ = true;
    return true;
}

bool GameLayer::ccTouchesEnded(TouchSet&, Event*) {
    if (imageSelected_ && imageMoved_) {
        imageSelected_ = false;
        imageMoved_ = false;
        ++tmpTouches_;
        if (isSoundEnabled_ && soundMove_) soundMove_->play();
    }
    return true;
}

// ---- keys

bool GameLayer::keyDown(const KeyPress& key) {
    if (isKey(key, "Escape")) return pressItem(this, "Main Menu");
    if (isKey(key, "Z", true) || isKey(key, "Backspace")) return pressItem(this, "Undo");
    if (isKey(key, "R")) return pressItem(this, "Replay");
    if (isKey(key, "Return") || isKey(key, "Space")) return pressItem(this, "Next level");
    return false;
}

// ---- the per-frame update

void GameLayer::draw() {
    if (state_ == kIdle) return;
    if (tmpTouches_ >= touchCount_) {
        judge();
        return;
    }
    if (tmpLoc_.x != 0 && tmpLoc_.y != 0)
        stick_[static_cast<size_t>(selectedImageIndex_)]->setPosition(tmpLoc_);
    if (shownLevel_ != currlevel_) levelLabel_->setString(levelTitle(currlevel_));
    if (shownMoves_ != touchCount_ - tmpTouches_) movesLabel_->setString(platform::ccFormat("Moves %d", touchCount_ - tmpTouches_));
    shownLevel_ = currlevel_;
    shownMoves_ = touchCount_ - tmpTouches_;
}

void GameLayer::checkForStatus() {
    std::array<StickPlacement, kMaxSticks> board{};
    for (int32_t i = 0; i < level_->stickCount; ++i) {
        Sprite* s = stick_[static_cast<size_t>(i)].get();
        board[static_cast<size_t>(i)] = StickPlacement{s->position().x, s->position().y, s->rotation()};
    }
    bool solved =
        boardPassesAnySolution(std::span<const StickPlacement>(board.data(), level_->stickCount), *level_);
    state_ = solved ? kSolved : kNotSolved;
}

void GameLayer::judge() {
    checkForStatus();
    RefPtr<TimedAction> bannerAction;
    if (state_ == kNotSolved) {
        platform::playSystemSound(platform::kSystemSoundID_Vibrate); // whatever the sound setting
        levelComplete_->setString("Try again");
        bannerAction =
            Sequence::actions({ScaleTo::actionWithDuration(1, 1.0f).get(),
                               CallFunc::actionWithTarget(this, [this] { sameLevel(nullptr); }).get()});
    } else {
        if (currlevel_ == 9) {
            if (isSoundEnabled_ && soundWin_) soundWin_->play();
            levelComplete_->setString("You Win");
        } else if (isSoundEnabled_ && soundSuccess_) {
            soundSuccess_->play();
        }
        bannerAction =
            Sequence::actions({ScaleTo::actionWithDuration(2, 1.0f).get(),
                               CallFunc::actionWithTarget(this, [this] { levelComplated(nullptr); }).get()});
    }
    levelComplete_->setPosition(cpv(160, 240));
    // It zooms in from 2.5 times its size, but never from wider than the screen (less a margin).
    const float width = levelComplete_->contentSize().width;
    levelComplete_->setScale(width > 0 ? std::min(2.5f, kBannerMaxWidth / width) : 2.5f);
    levelComplete_->runAction(bannerAction);
    state_ = kIdle;
}

// ---- menu callbacks

void GameLayer::switchScreenTo(uint32_t index) {
    if (auto* screen = dynamic_cast<MultiplexLayer*>(parent())) screen->switchTo(index);
}

void GameLayer::GoBack(Ref*) {
    switchScreenTo(4);
}

void GameLayer::mission(Ref*) {
    switchScreenTo(0);
}

void GameLayer::sameLevel(Ref*) {
    removeAll();
    resetGame();
}

void GameLayer::undo(Ref*) {
    if (tmpTouches_ == 0) return;
    UndoRecord& r = Undo_[static_cast<size_t>(tmpTouches_ - 1)];
    selectedImageIndex_ = r.index;
    tmpLoc_ = cpv(static_cast<float>(r.x), static_cast<float>(r.y));
    r.index = 0;
    r.x = 0;
    --tmpTouches_;
    shownMoves_ = touchCount_ - tmpTouches_;
    movesLabel_->setString(platform::ccFormat("Moves %d", shownMoves_));
}

void GameLayer::levelComplated(Ref*) {
    levelComplete_->setVisible(false);
    state_ = kIdle;
    if (currlevel_ == 9 || currlevel_ == 14) {
        // The last level of a series: progress moves past it, whatever it was.
        ++currlevel_;
        lastAvailLevel_ = currlevel_;
        progress::setLastAvailLevel(lastAvailLevel_);
        return;
    }
    replay_->setVisible(false);
    RefPtr<MenuItemFont> next = MenuItemFont::itemFromString("Next level", this, &GameLayer::nextLevel);
    next->label()->setRGB(255, 0, 0);
    addMenu(this, next, cpv(260, 15), 1);
}

void GameLayer::nextLevel(Ref*) {
    lastAvailLevel_ = progress::lastAvailLevel();
    currlevel_ = currlevel_ > 9 ? 0 : currlevel_ + 1;
    if (lastAvailLevel_ < currlevel_) {
        lastAvailLevel_ = currlevel_;
        progress::setLastAvailLevel(lastAvailLevel_);
    }
    RefPtr<GameLayer> keep(this); // switching away removes our children, not us
    switchScreenTo(2);
    RefPtr<Scene> scene = sceneWithLayer(LevelLayer::node());
    transitions = "SlideInTTransition";
    replaceSceneWithTransition(transitions, 0.8f, scene);
}
