// Particles: the eleven ready-made systems, each one call. A finger moves the
// emitter (and everything it has emitted, which lives in the emitter's space).

#include "Demos.h"

#include "engine/Label.h"
#include "engine/ParticleSystems.h"

namespace {
struct Preset {
    const char* name;
    RefPtr<ParticleSystem> (*make)();
    const char* caption;
    // Where the emitter stands; none for the weather, which falls across the whole screen.
    bool placed;
    cpVect position;
    // Seconds of emission run before the first frame, for systems that take long to fill their picture.
    float warmUp;
};

template <class T> RefPtr<ParticleSystem> make() {
    return T::node();
}

const Preset kPresets[] = {
    {"ParticleFireworks", make<ParticleFireworks>, "a fountain falling back", true, {160, 160}, 1.5f},
    {"ParticleFire", make<ParticleFire>, "flames rising", true, {160, 110}, 1},
    {"ParticleSun", make<ParticleSun>, "a burning ball", true, {160, 260}, 0},
    {"ParticleGalaxy", make<ParticleGalaxy>, "a blue swirl", true, {160, 260}, 1},
    {"ParticleFlower", make<ParticleFlower>, "petals turning out", true, {160, 260}, 1},
    {"ParticleMeteor", make<ParticleMeteor>, "a head with its tail", true, {200, 220}, 0.5f},
    {"ParticleSpiral", make<ParticleSpiral>, "one looping path", true, {160, 260}, 3},
    {"ParticleExplosion", make<ParticleExplosion>, "one burst", true, {160, 280}, 0},
    {"ParticleSmoke", make<ParticleSmoke>, "smoke rising", true, {160, 80}, 2},
    {"ParticleSnow", make<ParticleSnow>, "snow drifting down", false, {}, 30},
    {"ParticleRain", make<ParticleRain>, "rain falling", false, {}, 4},
};

const Preset* presetNamed(const std::string& name) {
    for (const Preset& p : kPresets)
        if (name == p.name) return &p;
    return nullptr;
}
} // namespace

const std::vector<std::string>& particlePresetNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const Preset& p : kPresets)
            list.push_back(p.name);
        return list;
    }();
    return names;
}

RefPtr<Layer> particleDemo(const std::string& name) {
    RefPtr<Layer> layer = ColorLayer::layerWithColor(0x101828ff);
    const Preset* preset = presetNamed(name);
    if (!preset) return layer;
    RefPtr<ParticleSystem> system = preset->make();
    if (!system) return layer;
    if (preset->placed) system->setPosition(preset->position);
    // Run the emitter ahead so the picture is full from the start.
    for (float t = 0; t < preset->warmUp; t += 1.0f / 30)
        system->advance(1.0f / 30);
    layer->add(system);

    std::string text = preset->caption;
    if (preset->placed) {
        text += ": touch to move it";
        ParticleSystem* emitter = system.get(); // the layer keeps it
        layer->add(
            FingerLayer::layerWithCall([emitter](cpVect where, bool) { emitter->setPosition(where); }));
    }
    RefPtr<Label> label = Label::labelWithString(text, "Helvetica", 14);
    label->setPosition(cpv(160, 405));
    layer->add(label);
    return layer;
}
