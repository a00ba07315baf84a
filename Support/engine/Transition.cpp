#include "engine/Transition.h"

#include "engine/CameraAction.h"
#include "engine/Director.h"
#include "engine/EaseAction.h"
#include "engine/Errors.h"
#include "engine/InstantAction.h"
#include "engine/IntervalAction.h"
#include "engine/Layer.h"
#include "engine/TiledGridAction.h"
#include "platform/Log.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// Back to rest: in place, full size, upright, seen through the default camera.
void rest(Scene* scene) {
    if (!scene) return;
    scene->setPosition(cpvzero);
    scene->setScale(1);
    scene->setRotation(0);
    if (Camera* camera = scene->camera()) camera->restore();
}

ccSize winSize() {
    return Director::sharedDirector()->winSize();
}

} // namespace

// ---- TransitionScene

RefPtr<TransitionScene> TransitionScene::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<TransitionScene>(duration, scene);
}

bool TransitionScene::initWithDuration(float duration, Scene* scene) {
    ccAssert(scene != nullptr, "Argument scene must be non-nil");
    if (!Scene::init()) return false;
    Director* director = Director::sharedDirector();
    Scene* running = director->runningScene();
    if (scene == running)
        ccRaise("TransitionWithInvalidScene", "Incoming scene must be different from the outgoing scene");
    // Adding the missing outgoing scene would fail anyway; failing here
    // leaves touches on and the incoming scene untouched.
    ccAssert(running != nullptr, "Argument must be non-nil");
    if (!std::isfinite(duration) || duration < 0) {
        // A transition that never ends would keep touches off for good.
        platform::ccLogf("TransitionScene: duration %g is not a usable time; the change is made at once",
                         duration);
        duration = 0;
    }
    duration_ = duration;
    inScene_ = scene;
    outScene_ = running;
    director->setEventsEnabled(false);
    addScenes();
    return true;
}

void TransitionScene::addScenes() {
    add(inScene_, 1);
    add(outScene_, 0);
}

void TransitionScene::hideOutShowIn() {
    if (!inScene_) return;
    inScene_->setVisible(true);
    outScene_->setVisible(false);
}

void TransitionScene::finish() {
    if (!inScene_) return; // already handed over
    inScene_->setVisible(true);
    outScene_->setVisible(false);
    // The choreography ends here, also the members of a Spawn still running
    // behind the chain after a long frame: they must not go on in the scene
    // once it runs on its own.
    inScene_->stopAllActions();
    outScene_->stopAllActions();
    rest(inScene_);
    rest(outScene_);
    schedule("step", [this](float dt) { step(dt); });
}

void TransitionScene::step(float) {
    unschedule("step");
    if (!inScene_) return;
    RefPtr<Scene> in = inScene_;
    RefPtr<Scene> out = outScene_;
    // Actions later in the list than the chain that called finish still had
    // their update in that tick, after it.
    rest(in);
    rest(out);
    Director* director = Director::sharedDirector();
    director->replaceScene(in);
    director->setEventsEnabled(true);
    remove(in);
    remove(out);
    inScene_ = nullptr;
    outScene_ = nullptr;
    // An outgoing scene waiting on the scene stack (we were pushed) comes
    // back with popScene: it must be seen then.
    const auto& stack = director->scenes();
    if (std::find(stack.begin(), stack.end(), out) != stack.end()) out->setVisible(true);
}

void TransitionScene::onEnter() {
    // Touches stay off while we run, also when we come back from the scene stack.
    if (inScene_)
        Director::sharedDirector()->setEventsEnabled(false);
    else
        platform::ccLog("TransitionScene: run again after its hand-over; it has no scenes to show");
    Scene::onEnter();
}

void TransitionScene::onExit() {
    Scene::onExit();
    if (!inScene_) return;
    // Left before the hand-over: the director ended, or another scene took
    // our place. The choreography still attached to the two scenes is
    // dropped (its callbacks keep us alive), the scenes are put back to rest
    // for a fresh start should we run again, and touches come back (a
    // transition taking our place switches them off again as it enters).
    unschedule("step");
    for (Scene* scene : {inScene_, outScene_}) {
        scene->cleanup();
        rest(scene);
        scene->setVisible(true);
    }
    Director::sharedDirector()->setEventsEnabled(true);
}

// ---- the class table

namespace {

using ClassTable = std::map<std::string, TransitionFactory>;

template <class T> void enter(ClassTable& table, const char* name) {
    table[name] = TransitionScene::factoryOf<T>();
}

ClassTable& classTable() {
    static ClassTable table = [] {
        ClassTable t;
        enter<FadeTransition>(t, "FadeTransition");
        enter<FlipXTransition>(t, "FlipXTransition");
        enter<FlipYTransition>(t, "FlipYTransition");
        enter<FlipAngularTransition>(t, "FlipAngularTransition");
        enter<ZoomFlipXTransition>(t, "ZoomFlipXTransition");
        enter<ZoomFlipYTransition>(t, "ZoomFlipYTransition");
        enter<ZoomFlipAngularTransition>(t, "ZoomFlipAngularTransition");
        enter<MoveInLTransition>(t, "MoveInLTransition");
        enter<MoveInRTransition>(t, "MoveInRTransition");
        enter<MoveInTTransition>(t, "MoveInTTransition");
        enter<MoveInBTransition>(t, "MoveInBTransition");
        enter<SlideInLTransition>(t, "SlideInLTransition");
        enter<SlideInRTransition>(t, "SlideInRTransition");
        enter<SlideInTTransition>(t, "SlideInTTransition");
        enter<SlideInBTransition>(t, "SlideInBTransition");
        enter<ShrinkGrowTransition>(t, "ShrinkGrowTransition");
        enter<RotoZoomTransition>(t, "RotoZoomTransition");
        enter<JumpZoomTransition>(t, "JumpZoomTransition");
        enter<TurnOffTilesTransition>(t, "TurnOffTilesTransition");
        enter<SplitColsTransition>(t, "SplitColsTransition");
        enter<SplitRowsTransition>(t, "SplitRowsTransition");
        enter<FadeTRTransition>(t, "FadeTRTransition");
        enter<FadeBLTransition>(t, "FadeBLTransition");
        enter<FadeUpTransition>(t, "FadeUpTransition");
        enter<FadeDownTransition>(t, "FadeDownTransition");
        return t;
    }();
    return table;
}

} // namespace

void TransitionScene::registerClass(const std::string& name, TransitionFactory factory) {
    if (name.empty() || !factory) {
        platform::ccLogf(
            "TransitionScene: a transition class needs a name and a factory; \"%s\" not registered",
            name.c_str());
        return;
    }
    classTable()[name] = std::move(factory);
}

TransitionFactory TransitionScene::classNamed(const std::string& name) {
    const ClassTable& table = classTable();
    auto it = table.find(name);
    return it == table.end() ? TransitionFactory() : it->second;
}

RefPtr<TransitionScene> TransitionScene::transitionNamed(const std::string& name, float duration,
                                                         Scene* scene) {
    TransitionFactory factory = classNamed(name);
    if (!factory) {
        platform::ccLogf("TransitionScene: no transition class named \"%s\"", name.c_str());
        return nullptr;
    }
    return factory(duration, scene);
}

std::vector<std::string> TransitionScene::registeredClassNames() {
    std::vector<std::string> names;
    for (const auto& [name, factory] : classTable())
        names.push_back(name);
    return names;
}

// ---- OrientedTransitionScene

RefPtr<OrientedTransitionScene> OrientedTransitionScene::transitionWithDuration(float duration,
                                                                                Scene* scene) {
    return transitionOf<OrientedTransitionScene>(duration, scene);
}

RefPtr<OrientedTransitionScene> OrientedTransitionScene::transitionWithDuration(float duration, Scene* scene,
                                                                                int32_t orientation) {
    return transitionOf<OrientedTransitionScene>(duration, scene, orientation);
}

bool OrientedTransitionScene::initWithDuration(float duration, Scene* scene, int32_t orientation) {
    if (!TransitionScene::initWithDuration(duration, scene)) return false;
    orientation_ = orientation;
    return true;
}

// ---- FadeTransition

RefPtr<FadeTransition> FadeTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<FadeTransition>(duration, scene);
}

RefPtr<FadeTransition> FadeTransition::transitionWithDuration(float duration, Scene* scene, uint32_t rgb) {
    return construct<FadeTransition>(
        [&](FadeTransition& t) { return t.initWithDuration(duration, scene, rgb); });
}

bool FadeTransition::initWithDuration(float duration, Scene* scene) {
    return initWithDuration(duration, scene, 0);
}

bool FadeTransition::initWithDuration(float duration, Scene* scene, uint32_t rgb) {
    if (!TransitionScene::initWithDuration(duration, scene)) return false;
    RGBA_ = rgb << 8;
    return true;
}

void FadeTransition::onEnter() {
    TransitionScene::onEnter();
    if (!inScene_) return;
    RefPtr<ColorLayer> layer = ColorLayer::layerWithColor(RGBA_);
    inScene_->setVisible(false);
    add(layer, 2, kSceneFade);
    float half = duration_ / 2;
    layer->runAction(Sequence::actions(
        {FadeIn::actionWithDuration(half), CallFunc::actionWithTarget(this, &TransitionScene::hideOutShowIn),
         FadeOut::actionWithDuration(half), CallFunc::actionWithTarget(this, &TransitionScene::finish)}));
}

void FadeTransition::onExit() {
    TransitionScene::onExit();
    removeByTag(kSceneFade);
}

// ---- flips

namespace {

struct FlipAngles {
    float startZ; // A: the incoming camera's zenith at the half
    float deltaZ; // D: the quarter turn each camera makes
    float inX;    // the incoming camera's azimuth
    float outX;   // the outgoing camera's azimuth
};

// X and angular flips turn right over for orientation 1, left over otherwise.
FlipAngles horizontalFlip(int32_t orientation, float inX, float outX) {
    if (orientation == OrientationRightOver) return {270, 90, inX, outX};
    return {90, -90, inX, outX};
}

// Y flips turn down over for any orientation but 0.
FlipAngles verticalFlip(int32_t orientation) {
    if (orientation != OrientationUpOver) return {90, -90, 90, 90};
    return {270, 90, 90, 90};
}

// The outgoing scene turns away in the first half and is hidden; the
// incoming one is shown at the half and turns in. The zoom flips shrink the
// outgoing scene to half and grow the incoming one from half.
void runFlip(TransitionScene& t, const FlipAngles& a, bool zoom) {
    Scene* in = t.inScene();
    Scene* out = t.outScene();
    if (!in) return;
    float half = t.duration() / 2;
    in->setVisible(false);
    auto orbitIn = OrbitCamera::actionWithDuration(half, 1, 0, a.startZ, a.deltaZ, a.inX, 0);
    auto orbitOut = OrbitCamera::actionWithDuration(half, 1, 0, 0, a.deltaZ, a.outX, 0);
    auto finish = CallFunc::actionWithTarget(&t, &TransitionScene::finish);
    if (!zoom) {
        in->runAction(
            Sequence::actions({DelayTime::actionWithDuration(half), Show::action(), orbitIn, finish}));
        out->runAction(Sequence::actions({orbitOut, Hide::action(), DelayTime::actionWithDuration(half)}));
        return;
    }
    in->setScale(0.5f);
    in->runAction(Sequence::actions(
        {DelayTime::actionWithDuration(half),
         Spawn::actions({orbitIn, ScaleTo::actionWithDuration(half, 1), Show::action()}), finish}));
    out->runAction(Sequence::actions({Spawn::actions({orbitOut, ScaleTo::actionWithDuration(half, 0.5f)}),
                                      Hide::action(), DelayTime::actionWithDuration(half)}));
}

} // namespace

RefPtr<FlipXTransition> FlipXTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<FlipXTransition>(duration, scene);
}

RefPtr<FlipXTransition> FlipXTransition::transitionWithDuration(float duration, Scene* scene,
                                                                int32_t orientation) {
    return transitionOf<FlipXTransition>(duration, scene, orientation);
}

RefPtr<FlipYTransition> FlipYTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<FlipYTransition>(duration, scene);
}

RefPtr<FlipYTransition> FlipYTransition::transitionWithDuration(float duration, Scene* scene,
                                                                int32_t orientation) {
    return transitionOf<FlipYTransition>(duration, scene, orientation);
}

RefPtr<FlipAngularTransition> FlipAngularTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<FlipAngularTransition>(duration, scene);
}

RefPtr<FlipAngularTransition> FlipAngularTransition::transitionWithDuration(float duration, Scene* scene,
                                                                            int32_t orientation) {
    return transitionOf<FlipAngularTransition>(duration, scene, orientation);
}

RefPtr<ZoomFlipXTransition> ZoomFlipXTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<ZoomFlipXTransition>(duration, scene);
}

RefPtr<ZoomFlipXTransition> ZoomFlipXTransition::transitionWithDuration(float duration, Scene* scene,
                                                                        int32_t orientation) {
    return transitionOf<ZoomFlipXTransition>(duration, scene, orientation);
}

RefPtr<ZoomFlipYTransition> ZoomFlipYTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<ZoomFlipYTransition>(duration, scene);
}

RefPtr<ZoomFlipYTransition> ZoomFlipYTransition::transitionWithDuration(float duration, Scene* scene,
                                                                        int32_t orientation) {
    return transitionOf<ZoomFlipYTransition>(duration, scene, orientation);
}

RefPtr<ZoomFlipAngularTransition> ZoomFlipAngularTransition::transitionWithDuration(float duration,
                                                                                    Scene* scene) {
    return transitionOf<ZoomFlipAngularTransition>(duration, scene);
}

RefPtr<ZoomFlipAngularTransition>
ZoomFlipAngularTransition::transitionWithDuration(float duration, Scene* scene, int32_t orientation) {
    return transitionOf<ZoomFlipAngularTransition>(duration, scene, orientation);
}

void FlipXTransition::onEnter() {
    OrientedTransitionScene::onEnter();
    runFlip(*this, horizontalFlip(orientation_, 0, 0), false);
}

void FlipYTransition::onEnter() {
    OrientedTransitionScene::onEnter();
    runFlip(*this, verticalFlip(orientation_), false);
}

void FlipAngularTransition::onEnter() {
    OrientedTransitionScene::onEnter();
    runFlip(*this, horizontalFlip(orientation_, -45, 45), false);
}

void ZoomFlipXTransition::onEnter() {
    OrientedTransitionScene::onEnter();
    runFlip(*this, horizontalFlip(orientation_, 0, 0), true);
}

void ZoomFlipYTransition::onEnter() {
    OrientedTransitionScene::onEnter();
    runFlip(*this, verticalFlip(orientation_), true);
}

void ZoomFlipAngularTransition::onEnter() {
    OrientedTransitionScene::onEnter();
    runFlip(*this, horizontalFlip(orientation_, -45, 45), true);
}

// ---- move-in

RefPtr<MoveInLTransition> MoveInLTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<MoveInLTransition>(duration, scene);
}

void MoveInLTransition::onEnter() {
    TransitionScene::onEnter();
    if (!inScene_) return;
    initScenes();
    inScene_->runAction(Sequence::actions({EaseOut::actionWithAction(action(), 2),
                                           CallFunc::actionWithTarget(this, &TransitionScene::finish)}));
}

void MoveInLTransition::initScenes() {
    inScene_->setPosition(cpv(-winSize().width, 0));
}

RefPtr<IntervalAction> MoveInLTransition::action() {
    return MoveTo::actionWithDuration(duration_, cpvzero);
}

RefPtr<MoveInRTransition> MoveInRTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<MoveInRTransition>(duration, scene);
}

void MoveInRTransition::initScenes() {
    inScene_->setPosition(cpv(winSize().width, 0));
}

RefPtr<MoveInTTransition> MoveInTTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<MoveInTTransition>(duration, scene);
}

void MoveInTTransition::initScenes() {
    inScene_->setPosition(cpv(0, winSize().height));
}

RefPtr<MoveInBTransition> MoveInBTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<MoveInBTransition>(duration, scene);
}

void MoveInBTransition::initScenes() {
    inScene_->setPosition(cpv(0, -winSize().height));
}

// ---- slide-in

RefPtr<SlideInLTransition> SlideInLTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<SlideInLTransition>(duration, scene);
}

void SlideInLTransition::onEnter() {
    TransitionScene::onEnter();
    if (!inScene_) return;
    initScenes();
    RefPtr<IntervalAction> move = action();
    inScene_->runAction(EaseOut::actionWithAction(move, 2));
    outScene_->runAction(Sequence::actions({EaseOut::actionWithAction(copyOf(move.get()), 2),
                                            CallFunc::actionWithTarget(this, &TransitionScene::finish)}));
}

void SlideInLTransition::initScenes() {
    inScene_->setPosition(cpv(-winSize().width, 0));
}

RefPtr<IntervalAction> SlideInLTransition::action() {
    return MoveBy::actionWithDuration(duration_, cpv(winSize().width, 0));
}

RefPtr<SlideInRTransition> SlideInRTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<SlideInRTransition>(duration, scene);
}

void SlideInRTransition::initScenes() {
    inScene_->setPosition(cpv(winSize().width, 0));
}

RefPtr<IntervalAction> SlideInRTransition::action() {
    return MoveBy::actionWithDuration(duration_, cpv(-winSize().width, 0));
}

RefPtr<SlideInTTransition> SlideInTTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<SlideInTTransition>(duration, scene);
}

void SlideInTTransition::initScenes() {
    inScene_->setPosition(cpv(0, winSize().height));
}

RefPtr<IntervalAction> SlideInTTransition::action() {
    return MoveBy::actionWithDuration(duration_, cpv(0, -winSize().height));
}

RefPtr<SlideInBTransition> SlideInBTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<SlideInBTransition>(duration, scene);
}

void SlideInBTransition::initScenes() {
    inScene_->setPosition(cpv(0, -winSize().height));
}

RefPtr<IntervalAction> SlideInBTransition::action() {
    return MoveBy::actionWithDuration(duration_, cpv(0, winSize().height));
}

// ---- shrink-grow, roto-zoom, jump-zoom

RefPtr<ShrinkGrowTransition> ShrinkGrowTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<ShrinkGrowTransition>(duration, scene);
}

void ShrinkGrowTransition::onEnter() {
    TransitionScene::onEnter();
    if (!inScene_) return;
    ccSize s = winSize();
    inScene_->setScale(0.001f);
    outScene_->setScale(1);
    inScene_->setTransformAnchor(cpv(2 * s.width / 3, s.height / 2));
    outScene_->setTransformAnchor(cpv(s.width / 3, s.height / 2));
    inScene_->runAction(EaseOut::actionWithAction(ScaleTo::actionWithDuration(duration_, 1), 2));
    outScene_->runAction(
        Sequence::actions({EaseOut::actionWithAction(ScaleTo::actionWithDuration(duration_, 0.01f), 2),
                           CallFunc::actionWithTarget(this, &TransitionScene::finish)}));
}

RefPtr<RotoZoomTransition> RotoZoomTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<RotoZoomTransition>(duration, scene);
}

void RotoZoomTransition::onEnter() {
    TransitionScene::onEnter();
    if (!inScene_) return;
    ccSize s = winSize();
    float half = duration_ / 2;
    inScene_->setScale(0.001f);
    outScene_->setScale(1);
    inScene_->setTransformAnchor(cpv(s.width / 2, s.height / 2));
    outScene_->setTransformAnchor(cpv(s.width / 2, s.height / 2));
    RefPtr<TimedAction> spin = Sequence::actions(
        {Spawn::actions({ScaleBy::actionWithDuration(half, 0.001f), RotateBy::actionWithDuration(half, 720)}),
         DelayTime::actionWithDuration(half)});
    outScene_->runAction(spin);
    inScene_->runAction(
        Sequence::actions({spin->reverse(), CallFunc::actionWithTarget(this, &TransitionScene::finish)}));
}

RefPtr<JumpZoomTransition> JumpZoomTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<JumpZoomTransition>(duration, scene);
}

void JumpZoomTransition::onEnter() {
    TransitionScene::onEnter();
    if (!inScene_) return;
    ccSize s = winSize();
    float quarter = duration_ / 4;
    inScene_->setScale(0.5f);
    inScene_->setPosition(cpv(s.width, 0));
    inScene_->setTransformAnchor(cpv(s.width / 2, s.height / 2));
    outScene_->setTransformAnchor(cpv(s.width / 2, s.height / 2));
    // One jump for each scene: the two runs never share an action object.
    RefPtr<JumpBy> jumpOut = JumpBy::actionWithDuration(quarter, cpv(-s.width, 0), s.width / 4, 2);
    RefPtr<JumpBy> jumpIn = copyOf(jumpOut.get());
    inScene_->runAction(
        Sequence::actions({DelayTime::actionWithDuration(duration_ / 2),
                           Sequence::actions({jumpIn, ScaleTo::actionWithDuration(quarter, 1)}),
                           CallFunc::actionWithTarget(this, &TransitionScene::finish)}));
    outScene_->runAction(Sequence::actions({ScaleTo::actionWithDuration(quarter, 0.5f), jumpOut}));
}

// ---- tile-grid transitions

namespace {

// 12 rows, and as many columns as keep the tiles about square (at least
// one, however narrow the window).
ccGridSize tileGridSize() {
    ccSize s = winSize();
    return {std::max(1, static_cast<int32_t>(12.0f * (s.width / s.height))), 12};
}

// The grid's chain: the action, then the hand-over, then the grid off.
RefPtr<TimedAction> endingWithStopGrid(TimedAction* action, TransitionScene* t) {
    return Sequence::actions(
        {action, CallFunc::actionWithTarget(t, &TransitionScene::finish), StopGrid::action()});
}

} // namespace

RefPtr<TurnOffTilesTransition> TurnOffTilesTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<TurnOffTilesTransition>(duration, scene);
}

void TurnOffTilesTransition::addScenes() {
    add(inScene_, 0);
    add(outScene_, 1);
}

void TurnOffTilesTransition::onEnter() {
    TransitionScene::onEnter();
    if (!inScene_) return;
    outScene_->runAction(endingWithStopGrid(TurnOffTiles::actionWithSize(tileGridSize(), duration_), this));
}

RefPtr<SplitColsTransition> SplitColsTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<SplitColsTransition>(duration, scene);
}

void SplitColsTransition::onEnter() {
    TransitionScene::onEnter();
    if (!inScene_) return;
    inScene_->setVisible(false);
    RefPtr<IntervalAction> split = action();
    RefPtr<TimedAction> there = Sequence::actions(
        {split, CallFunc::actionWithTarget(this, &TransitionScene::hideOutShowIn), split->reverse()});
    runAction(endingWithStopGrid(EaseInOut::actionWithAction(there, 3), this));
}

void SplitColsTransition::onExit() {
    bool handedOver = inScene_ == nullptr;
    TransitionScene::onExit();
    // Our own chain calls back to us: drop it, or it keeps us alive.
    if (!handedOver) cleanup();
}

RefPtr<IntervalAction> SplitColsTransition::action() {
    return SplitCols::actionWithCols(3, duration_ / 2);
}

RefPtr<SplitRowsTransition> SplitRowsTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<SplitRowsTransition>(duration, scene);
}

RefPtr<IntervalAction> SplitRowsTransition::action() {
    return SplitRows::actionWithRows(3, duration_ / 2);
}

RefPtr<FadeTRTransition> FadeTRTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<FadeTRTransition>(duration, scene);
}

void FadeTRTransition::addScenes() {
    add(inScene_, 0);
    add(outScene_, 1);
}

void FadeTRTransition::onEnter() {
    TransitionScene::onEnter();
    if (!inScene_) return;
    outScene_->runAction(endingWithStopGrid(actionWithSize(tileGridSize()), this));
}

RefPtr<IntervalAction> FadeTRTransition::actionWithSize(ccGridSize size) {
    return FadeOutTRTiles::actionWithSize(size, duration_);
}

RefPtr<FadeBLTransition> FadeBLTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<FadeBLTransition>(duration, scene);
}

RefPtr<IntervalAction> FadeBLTransition::actionWithSize(ccGridSize size) {
    return FadeOutBLTiles::actionWithSize(size, duration_);
}

RefPtr<FadeUpTransition> FadeUpTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<FadeUpTransition>(duration, scene);
}

RefPtr<IntervalAction> FadeUpTransition::actionWithSize(ccGridSize size) {
    return FadeOutUpTiles::actionWithSize(size, duration_);
}

RefPtr<FadeDownTransition> FadeDownTransition::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<FadeDownTransition>(duration, scene);
}

RefPtr<IntervalAction> FadeDownTransition::actionWithSize(ccGridSize size) {
    return FadeOutDownTiles::actionWithSize(size, duration_);
}
