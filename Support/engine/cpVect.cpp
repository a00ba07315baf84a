#include "engine/cpVect.h"

float cpvtoangle(cpVect v) {
    return atan2f(v.y, v.x);
}

float cpvlength(cpVect v) {
    return sqrtf(v.x * v.x + v.y * v.y);
}

cpVect cpvnormalize(cpVect v) {
    return cpvmult(v, 1.0f / sqrtf(v.x * v.x + v.y * v.y));
}
