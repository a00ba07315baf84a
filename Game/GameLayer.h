#pragma once
// The puzzle board: lays the current level's sticks out, lets the player pick
// them up and drag them, counts and undoes moves, and once the allowed moves
// are made judges the board against the level's solutions.

#include "Levels.h"
#include "SoundEffect.h"

#include "engine/Layer.h"

#include <array>
#include <cstdint>

class Label;
class MenuItemFont;
class Sprite;

class GameLayer : public Layer {
  public:
    enum State : int32_t { kIdle = 0, kPlaying = 1, kSolved = 2, kNotSolved = 3 };
    // One undo record: the stick picked up and where it was, in whole points.
    struct UndoRecord {
        int32_t index = 0;
        int32_t x = 0;
        int32_t y = 0;
    };

    static RefPtr<GameLayer> node();
    // Loads the three sounds once.
    bool init() override;
    // Lays the level named by the stored "CurrentLevel" out afresh.
    void onEnter() override;
    // Drops the whole board; the next entry builds it again.
    void onExit() override;

    void resetGame();

    bool ccTouchesBegan(TouchSet& touches, Event* event) override;
    bool ccTouchesMoved(TouchSet& touches, Event* event) override;
    bool ccTouchesEnded(TouchSet& touches, Event* event) override;
    // Escape: "Main Menu"; Ctrl+Z, Backspace: "Undo"; R: "Replay"; Enter, Space: "Next level".
    bool keyDown(const KeyPress& key) override;
    // The per-frame update: follows the finger, judges a finished board,
    // refreshes the title and the moves left.
    void draw() override;
    // The board's draw moves and relabels, through nodes; it makes no GL calls.
    bool drawsWithoutGL() const override { return true; }

    // Menu callbacks.
    void GoBack(Ref* sender);
    void mission(Ref* sender);
    void sameLevel(Ref* sender);
    void undo(Ref* sender);
    void levelComplated(Ref* sender);
    void nextLevel(Ref* sender);

    // Judges the board: kSolved or kNotSolved.
    void checkForStatus();

    // Seen from outside (tests, the objective screen).
    int32_t state() const { return state_; }
    int32_t currlevel() const { return currlevel_; }
    int32_t movesMade() const { return tmpTouches_; }
    int32_t stickCount() const { return level_ ? level_->stickCount : 0; }
    Sprite* stickAt(int i) const { return stick_[static_cast<size_t>(i)].get(); }
    bool isHolding() const { return imageSelected_; }
    int32_t selectedIndex() const { return selectedImageIndex_; }
    Label* titleLabel() const { return levelLabel_.get(); }
    Label* movesLabel() const { return movesLabel_.get(); }
    Label* banner() const { return levelComplete_.get(); }
    MenuItemFont* replayItem() const { return replay_.get(); }
    const std::array<UndoRecord, kMaxMoves>& undoRecords() const { return Undo_; }

  private:
    // Picks a stick under the touch (or notes where the held one goes).
    void pick(TouchSet& touches);
    void judge();
    void switchScreenTo(uint32_t index);

    int32_t selectedImageIndex_ = 0;
    int32_t touchCount_ = 0;
    int32_t tmpTouches_ = 0;
    int32_t currlevel_ = 0;
    int32_t lastAvailLevel_ = 0;
    bool imageSelected_ = false;
    bool isSoundEnabled_ = false;
    bool imageMoved_ = false;
    int32_t state_ = kIdle;
    std::array<RefPtr<Sprite>, kMaxSticks> stick_;
    cpVect tmpLoc_;
    RefPtr<Label> levelLabel_;
    RefPtr<Label> movesLabel_;
    // What the two labels show, so that an idle frame renders no text.
    int32_t shownLevel_ = -1;
    int32_t shownMoves_ = -1;
    RefPtr<Label> levelComplete_;
    RefPtr<SoundEffect> soundSuccess_;
    RefPtr<SoundEffect> soundMove_;
    RefPtr<SoundEffect> soundWin_;
    RefPtr<MenuItemFont> replay_;
    std::array<UndoRecord, kMaxMoves> Undo_{};
    const Level* level_ = nullptr;
};
