#pragma once
// The demo functions, one family per file. Each builds a demo's picture on a
// layer of the 320 x 480 screen (origin bottom left) with the engine's public
// interface only.

#include "engine/Layer.h"

#include <string>

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
