// Frame animation on sprites.

#include "ActionTestSupport.h"
#include "engine/Errors.h"
#include "engine/IntervalAction.h"
#include "engine/Sprite.h"

namespace {
// Four small single-colour textures, distinguishable by their address.
std::vector<RefPtr<Texture2D>> frameTextures(int n) {
    std::vector<RefPtr<Texture2D>> out;
    for (int i = 0; i < n; ++i) {
        platform::Bitmap b;
        b.width = b.height = 4;
        b.pixels.assign(64, static_cast<uint8_t>(40 * (i + 1)));
        out.push_back(construct<Texture2D>([&](Texture2D& t) { return t.initWithImage(&b); }));
    }
    return out;
}

class AnimateTest : public ActionTest {
  protected:
    void SetUp() override {
        ActionTest::SetUp();
        frames = frameTextures(4);
        animation = Animation::animationWithName(
            "walk", 0.1f, {frames[0].get(), frames[1].get(), frames[2].get(), frames[3].get()});
        original = frameTextures(5)[4];
        sprite = Sprite::spriteWithTexture(original);
        scene_->add(sprite);
    }
    int shown() const {
        for (size_t i = 0; i < frames.size(); ++i)
            if (sprite->texture() == frames[i].get()) return static_cast<int>(i);
        return sprite->texture() == original.get() ? -1 : -2;
    }
    std::vector<RefPtr<Texture2D>> frames;
    RefPtr<Texture2D> original;
    RefPtr<Animation> animation;
    RefPtr<Sprite> sprite;
};
} // namespace

TEST_F(AnimateTest, FramesFollowTheTimeAndTheOriginalComesBack) {
    RefPtr<Animate> animate = Animate::actionWithAnimation(animation);
    EXPECT_FLOAT_EQ(animate->duration(), 0.4f);
    sprite->runAction(animate);
    std::vector<int> seen;
    for (int i = 0; i < 8; ++i) {
        step(0.05f);
        seen.push_back(shown());
    }
    // t = 0.125, 0.25, ... 1: each frame from k/4 on, the last one up to the end.
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 1, 2, 2, 3, 3, -1}))
        << "the original is back once the node stops it";
    EXPECT_EQ(animate->origFrame(), original.get());
}

TEST_F(AnimateTest, KeepingTheLastFrameAndSharingTheFrameList) {
    RefPtr<Animate> keep = Animate::actionWithAnimation(animation, false);
    RefPtr<Animate> copy = copyOf(keep.get());
    EXPECT_FALSE(copy->restoreOriginalFrame());
    EXPECT_EQ(copy->animation(), animation.get()) << "the animation is shared, not copied";
    sprite->runAction(copy);
    stepFrames(10, 0.05f);
    EXPECT_EQ(sprite->numberOfRunningActions(), 0);
    EXPECT_EQ(shown(), 3);

    // A frame added later counts for actions already made (their duration stays as built).
    animation->addFrameWithTexture(original);
    RefPtr<Animate> again = Animate::actionWithAnimation(animation, false);
    EXPECT_FLOAT_EQ(again->duration(), 0.5f);
    sprite->runAction(keep);
    step(0.4f); // keep's own time is up (0.4 s): t = 1 shows the last of now five frames
    EXPECT_EQ(sprite->texture(), original.get());
}

TEST_F(AnimateTest, TextureReferencesStayBalanced) {
    uint32_t before = frames[2]->retainCount();
    sprite->runAction(Animate::actionWithAnimation(animation, false));
    step(0.25f); // frame 2 shown: the sprite holds one more reference
    EXPECT_EQ(shown(), 2);
    EXPECT_EQ(frames[2]->retainCount(), before + 1);
    step(0.1f);
    EXPECT_EQ(frames[2]->retainCount(), before);
    EXPECT_THAT([&] { Animate::actionWithAnimation(nullptr); },
                Fails<AssertionFailure>("Animate: argument Animation must be non-nil"));
    EXPECT_THROW(Animate::actionWithAnimation(animation)->reverse(), NamedException);
}

TEST_F(AnimateTest, StoppedByHandItDoesNotRestore) {
    RefPtr<Animate> animate = Animate::actionWithAnimation(animation);
    sprite->runAction(animate);
    step(0.15f);
    sprite->stopAction(animate);
    stepFrames(3, 0.1f);
    EXPECT_EQ(shown(), 1);
}
