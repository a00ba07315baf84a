#pragma once
// The demo functions, one family per file. Each builds a demo's picture on a
// layer of the 320 x 480 screen (origin bottom left) with the engine's public
// interface only.

#include "engine/Layer.h"

#include <functional>
#include <string>
#include <vector>

// Transitions.cpp: two distinct pages and the transition `className` between them.
RefPtr<Layer> transitionDemo(const std::string& className);

// Actions.cpp
RefPtr<Layer> actionsDemo();
RefPtr<Layer> easeCurvesDemo();

// Camera.cpp
RefPtr<Layer> orbitCameraDemo();

// Animation.cpp
RefPtr<Layer> frameAnimationDemo();

// Text.cpp
RefPtr<Layer> labelsDemo();
RefPtr<Layer> menusDemo();

// Particles.cpp: the eleven ready-made particle systems by class name, and the demo of one.
const std::vector<std::string>& particlePresetNames();
RefPtr<Layer> particleDemo(const std::string& preset);

// TileMaps.cpp
RefPtr<Layer> tileMapDemo();

// Trails.cpp
RefPtr<Layer> motionStreakDemo();
RefPtr<Layer> ribbonDemo();

// Effects.cpp: one demo per mesh and tile effect, by class name (with its group
// and the moment its picture shows), a ReuseGrid chain and the amplitude wrappers.
struct EffectDemo {
    std::string group, name;
    float pictureAt;
};
std::vector<EffectDemo> effectDemos();
RefPtr<Layer> effectDemo(const std::string& name);
RefPtr<Layer> reuseGridDemo();
// `wrapper`: AccelAmplitude, DeccelAmplitude or AccelDeccelAmplitude.
RefPtr<Layer> amplitudeDemo(const std::string& wrapper);

// FingerLayer.cpp: a transparent layer that follows one finger. `call` gets the
// finger's place in scene points and whether it just came down (else it moved).
using FingerCall = std::function<void(cpVect where, bool down)>;
class FingerLayer : public Layer {
  public:
    static RefPtr<FingerLayer> layerWithCall(FingerCall call);

    bool ccTouchesBegan(TouchSet& touches, Event*) override { return follow(touches, true); }
    bool ccTouchesMoved(TouchSet& touches, Event*) override { return follow(touches, false); }

  private:
    bool follow(TouchSet& touches, bool down);
    FingerCall call_;
};
