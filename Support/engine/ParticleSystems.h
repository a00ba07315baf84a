#pragma once
// Eleven ready-made particle systems. Each only sets the emitter's values
// (the emission rate from the count it was given, positions from the
// window's size) and shares the glow "fire.png" from the texture cache.

#include "engine/Particle.h"

#define TV_PARTICLE_PRESET(Name)                                                                             \
    class Name : public ParticleSystem {                                                                     \
      public:                                                                                                \
        /* The preset's own count. */                                                                        \
        static RefPtr<Name> node() { return nodeOf<Name>(); }                                                \
        static RefPtr<Name> particleWithTotalParticles(int32_t count) {                                      \
            return particleSystemOf<Name>(count);                                                            \
        }                                                                                                    \
        bool init() override;                                                                                \
        bool initWithTotalParticles(int32_t count) override;                                                 \
    }

TV_PARTICLE_PRESET(ParticleFireworks);
TV_PARTICLE_PRESET(ParticleFire);
TV_PARTICLE_PRESET(ParticleSun);
TV_PARTICLE_PRESET(ParticleGalaxy);
TV_PARTICLE_PRESET(ParticleFlower);
TV_PARTICLE_PRESET(ParticleMeteor);
TV_PARTICLE_PRESET(ParticleSpiral);
TV_PARTICLE_PRESET(ParticleExplosion);
TV_PARTICLE_PRESET(ParticleSmoke);
TV_PARTICLE_PRESET(ParticleSnow);
TV_PARTICLE_PRESET(ParticleRain);

#undef TV_PARTICLE_PRESET
