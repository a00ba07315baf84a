#include "Demo.h"

#include "demos/Demos.h"

#include "engine/Transition.h"

namespace {
// How long a transition demo takes: the first page, the transition, the second page.
constexpr float kTransitionLength = 3.5f;

std::vector<Demo> makeDemos() {
    std::vector<Demo> list;
    // Every class of the transition table, so newly registered ones appear by themselves.
    for (const std::string& name : TransitionScene::registeredClassNames())
        list.push_back(
            {"Transitions", name, [name] { return transitionDemo(name); }, kTransitionLength, 1.05f});

    list.push_back({"Actions", "Actions", actionsDemo, 4, 1.2f});
    list.push_back({"Actions", "EaseCurves", easeCurvesDemo, 4, 1.1f});
    list.push_back({"Camera", "OrbitCamera", orbitCameraDemo, 4, 1.3f});
    list.push_back({"Animation", "FrameAnimation", frameAnimationDemo, 4, 1.1f});
    list.push_back({"Text and menus", "Labels", labelsDemo, 4, 1});
    list.push_back({"Text and menus", "Menus", menusDemo, 4, 1});
    for (const std::string& name : particlePresetNames())
        list.push_back({"Particles", name, [name] { return particleDemo(name); }, 4, 1});
    list.push_back({"Tile maps", "TileMapAtlas", tileMapDemo, 6, 1});
    list.push_back({"Trails", "MotionStreak", motionStreakDemo, 8, 1.5f});
    list.push_back({"Trails", "Ribbon", ribbonDemo, 5, 2.5f});
    for (const EffectDemo& e : effectDemos())
        list.push_back({e.group, e.name, [name = e.name] { return effectDemo(name); }, 4, e.pictureAt});
    list.push_back({"Grid actions", "ReuseGrid", reuseGridDemo, 4, 1.6f});
    for (std::string wrapper : {"AccelAmplitude", "DeccelAmplitude", "AccelDeccelAmplitude"})
        list.push_back({"Grid actions", wrapper, [wrapper] { return amplitudeDemo(wrapper); }, 4, 0.9f});
    return list;
}
} // namespace

const std::vector<Demo>& demos() {
    static const std::vector<Demo> list = makeDemos();
    return list;
}

int demoIndex(const std::string& name) {
    const std::vector<Demo>& list = demos();
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].name == name) return static_cast<int>(i);
    return -1;
}
