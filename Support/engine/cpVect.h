#pragma once
// 2-D points and vectors, and the small value types shared across the engine.

#include <cmath>
#include <cstdint>

struct cpVect {
    float x = 0;
    float y = 0;
    friend bool operator==(const cpVect&, const cpVect&) = default;
};

inline constexpr cpVect cpv(float x, float y) {
    return cpVect{x, y};
}
inline constexpr cpVect cpvzero{0, 0};

inline cpVect cpvadd(cpVect a, cpVect b) {
    return {a.x + b.x, a.y + b.y};
}
inline cpVect cpvsub(cpVect a, cpVect b) {
    return {a.x - b.x, a.y - b.y};
}
inline cpVect cpvmult(cpVect v, float s) {
    return {v.x * s, v.y * s};
}

float cpvtoangle(cpVect v);
float cpvlength(cpVect v);
// Callers never pass the zero vector.
cpVect cpvnormalize(cpVect v);

// Width and height in points.
struct ccSize {
    float width = 0;
    float height = 0;
    friend bool operator==(const ccSize&, const ccSize&) = default;
};

// Origin and size in points.
struct ccRect {
    cpVect origin;
    ccSize size;
    friend bool operator==(const ccRect&, const ccRect&) = default;
};

inline constexpr ccRect ccRectMake(float x, float y, float w, float h) {
    return ccRect{{x, y}, {w, h}};
}

// Columns and rows of a grid.
struct ccGridSize {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const ccGridSize&, const ccGridSize&) = default;
};

struct ccColorF {
    float r = 0, g = 0, b = 0, a = 0;
};

struct ccVertex3D {
    float x = 0, y = 0, z = 0;
};

// One quad's texture coordinates and vertices; corners bottom-left,
// bottom-right, top-left, top-right.
struct ccQuad2 {
    float bl_x, bl_y, br_x, br_y, tl_x, tl_y, tr_x, tr_y;
};
struct ccQuad3 {
    float bl_x, bl_y, bl_z, br_x, br_y, br_z, tl_x, tl_y, tl_z, tr_x, tr_y, tr_z;
};

// Tags: -1 means no tag.
inline constexpr int32_t kInvalidTag = -1;
