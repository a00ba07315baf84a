#pragma once
// Playing the game as a player does: screens built as the game builds them,
// touches at screen points, frames of 1/60 s, the store in a scratch folder,
// sounds and vibrations recorded.

#include "GameLayer.h"
#include "GameScenes.h"
#include "Progress.h"
#include "support/EngineTest.h"

#include "engine/Label.h"
#include "engine/Menu.h"
#include "engine/MenuItem.h"
#include "engine/Sprite.h"
#include "engine/TextureMgr.h"
#include "support/TestSounds.h"

#include <cmath>

class GameFixture : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        registerGameTransitions();
    }

    // Time passes: whole frames of 1/60 s.
    void wait(float seconds) { stepFrames(static_cast<int>(std::ceil(seconds * 60 - 1e-4f))); }
    // Down at `from`, `steps` moves to `to` one frame apart, up at `to`, a frame after each.
    void drag(cpVect from, cpVect to, int steps = 6);

    // The layer the running scene's multiplexer shows (after a frame), or null.
    Layer* shownLayer() const;
    template <class T> T* shown() const { return dynamic_cast<T*>(shownLayer()); }

    // Opens the play screen for `levelIndex` as the level selection does,
    // presses "Continue" and lets the sticks arrive. The board, or null.
    GameLayer* playLevel(int levelIndex);
    // Where stick `i` of Level 1 starts.
    static cpVect start(int i) {
        const StickPlacement& p = levelAt(0)->start[static_cast<size_t>(i)];
        return cpv(p.x, p.y);
    }

    // The text item showing `text` anywhere under `root`, or null.
    static MenuItemFont* findItem(CocosNode* root, const std::string& text);
    // The text a label shows.
    static std::string textOf(Label* label) { return label ? label->string() : std::string(); }
    // Whether a sprite shows the picture file `picture` (the cache's texture for it).
    static bool shows(Sprite* sprite, const std::string& picture) {
        Texture2D* shown = sprite ? sprite->texture() : nullptr;
        return shown && shown == TextureMgr::sharedTextureMgr()->addImage(picture);
    }

    SoundRecorder sounds_;
};
