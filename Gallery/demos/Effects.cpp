// Grid effects: an action gives its node a grid, the node's drawing is
// captured and drawn through the grid's mesh, and the effect moves the mesh.
// Mesh effects bend one continuous surface; tile effects move separate tiles.
// Each demo runs one effect on the same page of picture and text, so the
// distortion reads.

#include "Demos.h"

#include "engine/Action.h"
#include "engine/Grid3DAction.h"
#include "engine/GridAction.h"
#include "engine/InstantAction.h"
#include "engine/IntervalAction.h"
#include "engine/Label.h"
#include "engine/Sprite.h"
#include "engine/TiledGridAction.h"

namespace {
constexpr float kDuration = 3;
const cpVect kCentre = {160, 240};

// The page the effects distort: wood, a title, a paragraph and three pictures.
RefPtr<Layer> picturePage(const std::string& caption) {
    RefPtr<Layer> layer = Layer::node();
    RefPtr<Sprite> wood = Sprite::spriteWithFile("Default.png");
    wood->setPosition(kCentre);
    layer->add(wood);
    RefPtr<Label> title = Label::labelWithString("Tindervale", "Helvetica-Bold", 46);
    title->setPosition(cpv(160, 370));
    layer->add(title);
    RefPtr<Label> text = Label::labelWithString(
        "Every line of this page is drawn into a texture, then through the grid of the effect.",
        ccSize{260, 60}, 1, "Helvetica", 16);
    text->setPosition(cpv(160, 300));
    layer->add(text);
    for (int i = 0; i < 3; ++i) {
        RefPtr<Sprite> level = Sprite::spriteWithFile("level" + std::to_string(i + 1) + ".png");
        level->setScale(0.8f);
        level->setPosition(cpv(60 + 100 * i, 200));
        layer->add(level);
    }
    RefPtr<Label> line = Label::labelWithString(caption, ccSize{300, 40}, 1, "Helvetica-Bold", 15);
    line->setPosition(cpv(160, 110));
    line->setRGB(255, 220, 120);
    layer->add(line);
    return layer;
}

struct Effect {
    const char* group;
    const char* name;
    RefPtr<TimedAction> (*make)();
    const char* caption;
    float pictureAt; // seconds into the effect
};

// clang-format off
const Effect kEffects[] = {
    {"Mesh effects", "Waves3D", [] { return RefPtr<TimedAction>(Waves3D::actionWithWaves(4, 30, {15, 10}, kDuration)); },
     "Waves3D: waves through the surface, towards you and away", 1.1f},
    {"Mesh effects", "FlipX3D", [] { return RefPtr<TimedAction>(FlipX3D::actionWithDuration(kDuration)); },
     "FlipX3D: the page turns about its vertical line", 1.1f},
    {"Mesh effects", "FlipY3D", [] { return RefPtr<TimedAction>(FlipY3D::actionWithDuration(kDuration)); },
     "FlipY3D: the page turns about its horizontal line", 1.1f},
    {"Mesh effects", "Lens3D", [] { return RefPtr<TimedAction>(Lens3D::actionWithPosition(cpv(160, 300), 150, {15, 10}, kDuration)); },
     "Lens3D: a lens over the title", 1},
    {"Mesh effects", "Ripple3D", [] { return RefPtr<TimedAction>(Ripple3D::actionWithPosition(kCentre, 240, 4, 160, {32, 24}, kDuration)); },
     "Ripple3D: rings from the middle", 1},
    {"Mesh effects", "Shaky3D", [] { return RefPtr<TimedAction>(Shaky3D::actionWithRange(5, false, {15, 10}, kDuration)); },
     "Shaky3D: every point shakes", 1},
    {"Mesh effects", "Liquid", [] { return RefPtr<TimedAction>(Liquid::actionWithWaves(4, 40, {15, 10}, kDuration)); },
     "Liquid: the inside stretches and sways, the edges hold", 1.1f},
    {"Mesh effects", "Waves", [] { return RefPtr<TimedAction>(Waves::actionWithWaves(4, 20, true, true, {16, 12}, kDuration)); },
     "Waves: waves across and down", 1.1f},
    {"Mesh effects", "Twirl", [] { return RefPtr<TimedAction>(Twirl::actionWithPosition(kCentre, 1, 2.5f, {12, 8}, kDuration)); },
     "Twirl: turning round the middle", 0.4f},

    {"Tile effects", "ShakyTiles3D", [] { return RefPtr<TimedAction>(ShakyTiles3D::actionWithRange(5, false, {16, 12}, kDuration)); },
     "ShakyTiles3D: every tile shakes", 1},
    {"Tile effects", "ShatteredTiles3D", [] { return RefPtr<TimedAction>(ShatteredTiles3D::actionWithRange(5, false, {16, 12}, kDuration)); },
     "ShatteredTiles3D: tiles thrown out once", 1},
    {"Tile effects", "ShuffleTiles", [] { return RefPtr<TimedAction>(ShuffleTiles::actionWithSeed(25, {16, 12}, kDuration)); },
     "ShuffleTiles: each tile travels to another's place", 1.2f},
    {"Tile effects", "TurnOffTiles", [] { return RefPtr<TimedAction>(TurnOffTiles::actionWithSeed(25, {16, 12}, kDuration)); },
     "TurnOffTiles: tiles go out one by one", 1.2f},
    {"Tile effects", "WavesTiles3D", [] { return RefPtr<TimedAction>(WavesTiles3D::actionWithWaves(4, 120, {16, 12}, kDuration)); },
     "WavesTiles3D: tiles rise and sink in waves", 1.1f},
    {"Tile effects", "JumpTiles3D", [] { return RefPtr<TimedAction>(JumpTiles3D::actionWithJumps(2, 30, {16, 12}, kDuration)); },
     "JumpTiles3D: neighbours jump in turn", 0.4f},
    {"Tile effects", "SplitRows", [] { return RefPtr<TimedAction>(SplitRows::actionWithRows(9, kDuration)); },
     "SplitRows: rows slide out, left and right", 1},
    {"Tile effects", "SplitCols", [] { return RefPtr<TimedAction>(SplitCols::actionWithCols(9, kDuration)); },
     "SplitCols: columns slide out, up and down", 1},
    {"Tile effects", "FadeOutTRTiles", [] { return RefPtr<TimedAction>(FadeOutTRTiles::actionWithSize({16, 12}, kDuration)); },
     "FadeOutTRTiles: tiles shrink away towards the top right", 1.8f},
    {"Tile effects", "FadeOutBLTiles", [] { return RefPtr<TimedAction>(FadeOutBLTiles::actionWithSize({16, 12}, kDuration)); },
     "FadeOutBLTiles: tiles shrink away towards the bottom left", 1.8f},
    {"Tile effects", "FadeOutUpTiles", [] { return RefPtr<TimedAction>(FadeOutUpTiles::actionWithSize({16, 12}, kDuration)); },
     "FadeOutUpTiles: rows thin away upwards", 1.8f},
    {"Tile effects", "FadeOutDownTiles", [] { return RefPtr<TimedAction>(FadeOutDownTiles::actionWithSize({16, 12}, kDuration)); },
     "FadeOutDownTiles: rows thin away downwards", 1.8f},
};
// clang-format on

const Effect* effectNamed(const std::string& name) {
    for (const Effect& e : kEffects)
        if (name == e.name) return &e;
    return nullptr;
}
} // namespace

std::vector<EffectDemo> effectDemos() {
    std::vector<EffectDemo> list;
    for (const Effect& e : kEffects)
        list.push_back({e.group, e.name, e.pictureAt});
    return list;
}

RefPtr<Layer> effectDemo(const std::string& name) {
    const Effect* effect = effectNamed(name);
    if (!effect) return Layer::node();
    RefPtr<Layer> page = picturePage(effect->caption);
    page->runAction(effect->make().get());
    return page;
}

RefPtr<Layer> reuseGridDemo() {
    RefPtr<Layer> page = picturePage("ReuseGrid: a lens, then Liquid bends the lens's shape");
    // Without ReuseGrid the second effect would start from a flat grid; with it, from where the first
    // stopped.
    RefPtr<TimedAction> lens = Lens3D::actionWithPosition(cpv(160, 300), 150, {15, 10}, 0.5f);
    RefPtr<TimedAction> liquid = Liquid::actionWithWaves(3, 20, {15, 10}, 2.5f);
    page->runAction(Sequence::actions({lens.get(), ReuseGrid::actionWithTimes(1).get(), liquid.get(),
                                       StopGrid::action().get()})
                        .get());
    return page;
}

RefPtr<Layer> amplitudeDemo(const std::string& wrapper) {
    // The wrapper sets the effect's amplitude rate as its time runs; the bar shows the rate.
    RefPtr<Waves> waves = Waves::actionWithWaves(4, 24, true, true, {16, 12}, kDuration);
    RefPtr<TimedAction> ramped;
    if (wrapper == "AccelAmplitude")
        ramped = AccelAmplitude::actionWithAction(waves.get(), kDuration);
    else if (wrapper == "DeccelAmplitude")
        ramped = DeccelAmplitude::actionWithAction(waves.get(), kDuration);
    else
        ramped = AccelDeccelAmplitude::actionWithAction(waves.get(), kDuration);

    RefPtr<Layer> layer = Layer::node();
    RefPtr<Layer> page = picturePage(wrapper + " around Waves");
    layer->add(page);
    page->runAction(ramped.get());

    RefPtr<ColorLayer> track = ColorLayer::layerWithColor(0x00000080, 220, 14);
    track->setPosition(cpv(50, 72));
    layer->add(track);
    RefPtr<ColorLayer> bar = ColorLayer::layerWithColor(0xffc040ff, 0, 14);
    bar->setPosition(cpv(50, 72));
    layer->add(bar);
    RefPtr<Label> label = Label::labelWithString("rate", "Helvetica", 13);
    label->setPosition(cpv(25, 79));
    layer->add(label);
    ColorLayer* shown = bar.get(); // the layer keeps the bar; the action keeps the effect
    Waves* effect = waves.get();
    layer->schedule("rate", [shown, effect](float) { shown->changeWidth(220 * effect->amplitudeRate()); });
    return layer;
}
