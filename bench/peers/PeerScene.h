#pragma once
// What every sprite peer draws: the same picture and the same motion, so that
// the programs differ only in how they put it on the screen.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace peer {

constexpr int kWidth = 320, kHeight = 480;

// A picture with soft edges, so that blending has work to do.
inline std::vector<uint8_t> picture(int size) {
    std::vector<uint8_t> p(static_cast<std::size_t>(size * size * 4));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            uint8_t* px = &p[static_cast<std::size_t>((y * size + x) * 4)];
            px[0] = static_cast<uint8_t>(x * 255 / size);
            px[1] = static_cast<uint8_t>(y * 255 / size);
            px[2] = 128;
            px[3] = (x == 0 || y == 0) ? 128 : 255;
        }
    return p;
}

// Positions and velocities shared by every mode: the same motion everywhere.
struct Mover {
    float x, y, vx, vy;
};
inline std::vector<Mover> movers(int count, int size) {
    std::vector<Mover> m(static_cast<std::size_t>(count));
    uint32_t seed = 12345;
    auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
    for (auto& v : m)
        v = {static_cast<float>(next() % static_cast<uint32_t>(kWidth - size)),
             static_cast<float>(next() % static_cast<uint32_t>(kHeight - size)), static_cast<float>(next() % 5) - 2,
             static_cast<float>(next() % 5) - 2};
    return m;
}
inline void move(std::vector<Mover>& m, int size) {
    for (auto& v : m) {
        v.x += v.vx;
        v.y += v.vy;
        if (v.x < 0 || v.x > static_cast<float>(kWidth - size)) v.vx = -v.vx;
        if (v.y < 0 || v.y > static_cast<float>(kHeight - size)) v.vy = -v.vy;
    }
}

} // namespace peer
