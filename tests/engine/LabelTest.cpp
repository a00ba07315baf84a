// Labels: text rendered into a texture of their own, centred on the position.

#include "engine/Label.h"
#include "engine/Errors.h"
#include "engine/Layer.h"
#include "engine/TextureMgr.h"
#include "platform/Text.h"
#include "support/EngineTest.h"

using LabelTest = EngineTest;

TEST_F(LabelTest, ALabelFitsItsTextAndCentresItsAnchorOnIt) {
    RefPtr<Label> label = Label::labelWithString("Level 12", "Marker Felt", 32);
    platform::TextExtent e = platform::measureText("Level 12", "Marker Felt", 32);
    Texture2D* texture = label->texture();
    ASSERT_TRUE(texture);
    EXPECT_EQ(label->contentSize(), (ccSize{e.width, e.height}));
    EXPECT_EQ(label->transformAnchor(), cpv(e.width * 0.5f, e.height * 0.5f));
    EXPECT_EQ(texture->pixelFormat(), Texture2DPixelFormatA8);
    EXPECT_GE(texture->pixelsWide(), e.width);
    EXPECT_LT(texture->pixelsWide(), 2 * e.width);
    EXPECT_EQ(label->string(), "Level 12");

    // The label alone holds its texture (the cache has only the frame-rate counter's); every text
    // gets a new one, the same text too.
    EXPECT_EQ(texture->retainCount(), 1u);
    EXPECT_EQ(TextureMgr::sharedTextureMgr()->textures().size(), 1u);
    RefPtr<Texture2D> first = texture;
    label->setString("Level 12");
    EXPECT_NE(label->texture(), first.get());
    EXPECT_EQ(first->retainCount(), 1u);
    label->setString("Moves 100");
    EXPECT_GT(label->contentSize().width, e.width);
    EXPECT_EQ(label->transformAnchor().x, label->contentSize().width * 0.5f);
    label->setString("");
    EXPECT_EQ(label->contentSize().width, 0.0f);
    EXPECT_TRUE(label->texture());

    try {
        nodeOf<Label>();
        FAIL() << "a label without text was made";
    } catch (const NamedException& e) {
        EXPECT_EQ(e.name(), "LabelInit");
        EXPECT_EQ(e.reason(), "Use initWithString:dimensions:aligment:fontName:font instead");
    }
}

TEST_F(LabelTest, ABoxedLabelWrapsItsTextAndCutsItOffBelowTheBox) {
    RefPtr<Label> label = Label::labelWithString("Move 3 sticks to form 4 squares and then some more words",
                                                 {280, 60}, 0, "Marker Felt", 24);
    EXPECT_EQ(label->contentSize(), (ccSize{280, 60}));
    EXPECT_EQ(label->texture()->pixelsWide(), 512u);
    EXPECT_EQ(label->texture()->pixelsHigh(), 64u);
    EXPECT_EQ(label->transformAnchor(), cpv(140, 30));

    label->setPosition(cpv(160, 240));
    label->setRGB(255, 220, 0);
    RefPtr<Scene> scene = Scene::node();
    scene->add(label);
    runScene(scene);
    step();
    // Left-aligned from the box's left edge (x = 20), two lines in 60 points, yellow where inked.
    platform::Bitmap frame = readFrame();
    int yellow = 0, other = 0;
    auto inked = [&](int x0, int x1, int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const uint8_t* p = frame.pixel(x, frame.height - 1 - y);
                if (p[0] < 128) continue;
                ++n;
                ++(p[1] > 100 && p[2] < 60 ? yellow : other);
            }
        return n;
    };
    EXPECT_GT(inked(20, 40, 240, 270), 0) << "the first line starts at the left edge";
    EXPECT_EQ(inked(0, 20, 200, 280), 0);
    EXPECT_GT(inked(20, 300, 210, 240), 0) << "the text wraps to a second line";
    EXPECT_EQ(inked(0, 320, 150, 210), 0) << "nothing below the box";
    EXPECT_EQ(other, 0);
    EXPECT_GT(yellow, 0);
}
