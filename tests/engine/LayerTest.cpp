// Layers: touch registration order, colour layers on screen, multiplexing, the accelerometer's
// single delegate.

#include "InputRecorder.h"
#include "support/EngineTest.h"

#include "engine/Errors.h"

using LayerTest = EngineTest;

TEST_F(LayerTest, LayersOnTopAndInsideGetTouchesFirstAndTheLastToEnterTheAccelerometer) {
    auto journal = std::make_shared<Journal>();
    auto scene = Scene::node();
    auto a = InputRecorder::make("A", journal, false);
    auto b = InputRecorder::make("B", journal, false);
    auto inner = InputRecorder::make("inner", journal, false);
    a->setIsAccelerometerEnabled(true);
    b->setIsAccelerometerEnabled(true);
    a->add(inner);
    scene->add(a, 0);
    scene->add(b, 1);
    runScene(scene);
    step();
    auto touch = [&] { // who is offered a finger put down
        journal->clear();
        touchDown(cpv(5, 5));
        step();
        Journal offered = *journal;
        touchUp(cpv(5, 5));
        step();
        return offered;
    };
    EXPECT_EQ(touch(), (Journal{"B.began 5,475", "inner.began 5,475", "A.began 5,475"}))
        << "B on top first, a child before its parent";
    journal->clear();
    Accelerometer::sharedAccelerometer().deliver({0.5, 0, 0, 0});
    EXPECT_EQ(*journal, (Journal{"B.tilt 0.5"}));

    // A layer entering later goes to the front, even though it is drawn at the bottom; leaving
    // unregisters, and any accelerometer layer leaving clears the delegate for all.
    scene->add(InputRecorder::make("late", journal, false), -5);
    scene->remove(a);
    EXPECT_EQ(Accelerometer::sharedAccelerometer().delegate(), nullptr);
    EXPECT_EQ(touch(), (Journal{"late.began 5,475", "B.began 5,475"}));
}

TEST_F(LayerTest, ColorLayersDrawTheirColourWithItsOpacity) {
    auto scene = Scene::node();
    scene->add(ColorLayer::layerWithColor(0x0000ffff), 0); // opaque blue, whole screen
    auto red = ColorLayer::layerWithColor(0xff000080, 100, 50);
    red->setPosition(cpv(20, 30));
    scene->add(red, 1);
    runScene(scene);
    step();
    EXPECT_TRUE(matchesGolden("color-layers")); // half red over blue, blue all round

    red->setColor(0x00ff00ff); // the property alone changes nothing drawn
    step();
    EXPECT_TRUE(colorNear(pixelAt(70, 55), {128, 0, 127, 255}));
    red->setOpacity(255);
    step();
    EXPECT_TRUE(colorNear(pixelAt(70, 55), {0, 255, 0, 255})) << "setOpacity rewrites the vertex colours";
    red->changeWidth(10);
    step();
    EXPECT_TRUE(colorNear(pixelAt(70, 55), {0, 0, 255, 255}));

    EXPECT_THAT([&] { nodeOf<ColorLayer>(); },
                Fails<NamedException>("ColorLayerInit: Use ColorLayer initWithColor instead"));
}

TEST_F(LayerTest, MultiplexShowsOneLayerAtATime) {
    auto journal = std::make_shared<Journal>();
    auto first = InputRecorder::make("first", journal, false);
    auto second = InputRecorder::make("second", journal, false);
    auto plex = MultiplexLayer::layerWithLayers({first.get(), second.get()});
    auto scene = Scene::node();
    scene->add(plex);
    runScene(scene);
    step();
    plex->switchTo(1);
    plex->switchTo(1); // the same index: out and in again, registered anew at the front
    EXPECT_EQ(*journal,
              (Journal{"first.enter", "first.exit", "second.enter", "second.exit", "second.enter"}));
    EXPECT_EQ(first->parent(), nullptr);
    EXPECT_EQ(director()->eventHandlers().front(), second.get());

    EXPECT_THAT([&] { plex->switchTo(2); },
                Fails<NamedException>(
                    "MultiplexLayerInvalidIndex: Invalid index in MultiplexLayer switchTo message"));
    EXPECT_THROW(plex->switchToAndReleaseMe(2), NamedException);

    WeakPtr<Layer> watch(second.get());
    second = nullptr;
    plex->switchToAndReleaseMe(0);
    EXPECT_FALSE(watch) << "the multiplexer no longer holds the layer it left";
    EXPECT_EQ(plex->layers()[1], nullptr);
    plex->switchTo(1); // a released index shows nothing
    EXPECT_TRUE(plex->children().empty());
    step();
}
