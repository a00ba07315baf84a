// Labels: text rendered into a texture of their own, centred on the position.

#include "engine/Label.h"
#include "engine/Errors.h"
#include "platform/Text.h"
#include "support/EngineTest.h"

using LabelTest = EngineTest;

TEST_F(LabelTest, ALabelFitsItsTextOrItsBoxCentresOnItAndRendersOnlyANewText) {
    RefPtr<Label> label = Label::labelWithString("Level 12", "Marker Felt", 32);
    platform::TextExtent e = platform::measureText("Level 12", "Marker Felt", 32);
    EXPECT_EQ(label->contentSize(), (ccSize{e.width, e.height}));
    EXPECT_EQ(label->transformAnchor(), cpv(e.width * 0.5f, e.height * 0.5f));
    RefPtr<Texture2D> first = label->texture();
    EXPECT_EQ(first->retainCount(), 2u) << "the label's reference and ours, none in the cache";
    label->setTransformAnchor(cpv(0, 0));
    label->setString("Level 12"); // the board does this every frame: nothing is rendered or uploaded
    EXPECT_EQ(label->texture(), first.get());
    EXPECT_EQ(label->transformAnchor(), cpv(e.width * 0.5f, e.height * 0.5f));
    label->setString("Moves 100");
    EXPECT_NE(label->texture(), first.get());
    EXPECT_EQ(first->retainCount(), 1u);
    EXPECT_EQ(label->transformAnchor().x, label->contentSize().width * 0.5f);
    EXPECT_THROW(nodeOf<Label>(), NamedException); // "LabelInit"

    // A boxed label keeps its box whatever its text.
    RefPtr<Label> boxed =
        Label::labelWithString("Move 3 sticks to form 4 squares", {280, 60}, 0, "Marker Felt", 24);
    EXPECT_EQ(boxed->contentSize(), (ccSize{280, 60}));
    EXPECT_EQ(boxed->transformAnchor(), cpv(140, 30));
    EXPECT_EQ(boxed->texture()->pixelsWide(), 512u);
    EXPECT_EQ(boxed->texture()->pixelsHigh(), 64u);
    boxed->setString("");
    EXPECT_EQ(boxed->contentSize(), (ccSize{280, 60}));
}
