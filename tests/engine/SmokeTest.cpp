#include "support/EngineTest.h"
#include "engine/Layer.h"

TEST_F(EngineTest, ColorLayerFillsTheScreen) {
    RefPtr<Scene> scene = Scene::node();
    scene->add(ColorLayer::layerWithColor(0xff0000ff));
    runScene(scene);
    step();
    EXPECT_TRUE(colorNear(pixelAt(10, 10), {255, 0, 0, 255}));
}
