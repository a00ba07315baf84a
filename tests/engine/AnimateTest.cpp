// Frame animation on sprites.

#include "ActionTestSupport.h"
#include "engine/Sprite.h"

namespace {
class AnimateTest : public ActionTest {
  protected:
    void SetUp() override {
        ActionTest::SetUp();
        for (int i = 0; i < 5; ++i) { // small single-colour textures, told apart by their address
            platform::Bitmap b;
            b.width = b.height = 4;
            b.pixels.assign(64, static_cast<uint8_t>(40 * (i + 1)));
            textures.push_back(construct<Texture2D>([&](Texture2D& t) { return t.initWithImage(&b); }));
        }
        animation = Animation::animationWithName(
            "walk", 0.1f, {textures[0].get(), textures[1].get(), textures[2].get(), textures[3].get()});
        sprite = Sprite::spriteWithTexture(textures[4]);
        scene_->add(sprite);
    }
    // Which texture the sprite shows: a frame, or 4 for its own.
    int shown() const {
        for (size_t i = 0; i < textures.size(); ++i)
            if (sprite->texture() == textures[i].get()) return static_cast<int>(i);
        return -1;
    }
    std::vector<RefPtr<Texture2D>> textures;
    RefPtr<Animation> animation;
    RefPtr<Sprite> sprite;
};
} // namespace

// The frames follow the time and the original comes back unless stopped by hand or asked to keep
// the last frame; the frame list is shared and the frames' references balance.
TEST_F(AnimateTest, FramesFollowTheTimeAndTheLastOrTheOriginalStays) {
    RefPtr<Animate> animate = Animate::actionWithAnimation(animation);
    sprite->runAction(animate);
    std::vector<int> seen;
    for (int i = 0; i < 8; ++i) {
        step(0.05f);
        seen.push_back(shown());
    }
    // t = 0.125, 0.25, ... 1: each frame from k/4 on, the last one up to the end.
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 1, 2, 2, 3, 3, 4}))
        << "the original is back once the node stops it";

    sprite->runAction(animate);
    step(0.15f);
    sprite->stopAction(animate);
    stepFrames(3, 0.1f);
    EXPECT_EQ(shown(), 1);

    RefPtr<Animate> keep = Animate::actionWithAnimation(animation, false);
    RefPtr<Animate> copy = copyOf(keep.get());
    EXPECT_FALSE(copy->restoreOriginalFrame());
    EXPECT_EQ(copy->animation(), animation.get()) << "the animation is shared, not copied";
    uint32_t before = textures[2]->retainCount();
    sprite->runAction(copy);
    step(0.25f); // frame 2 shown: the sprite holds one more reference
    EXPECT_EQ(shown(), 2);
    EXPECT_EQ(textures[2]->retainCount(), before + 1);
    stepFrames(10, 0.05f);
    EXPECT_EQ(sprite->numberOfRunningActions(), 0);
    EXPECT_EQ(shown(), 3);
    EXPECT_EQ(textures[2]->retainCount(), before);

    // A frame added later counts for actions already made (their duration stays as built).
    animation->addFrameWithTexture(textures[4]);
    RefPtr<Animate> again = Animate::actionWithAnimation(animation, false);
    EXPECT_FLOAT_EQ(again->duration(), 0.5f);
    sprite->runAction(keep);
    step(0.4f); // keep's own time is up (0.4 s): t = 1 shows the last of now five frames
    EXPECT_EQ(shown(), 4);

    EXPECT_THAT([&] { Animate::actionWithAnimation(nullptr); },
                Fails<AssertionFailure>("Animate: argument Animation must be non-nil"));
    EXPECT_THROW(Animate::actionWithAnimation(animation)->reverse(), NamedException);
}
