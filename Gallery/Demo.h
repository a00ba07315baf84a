#pragma once
// The gallery's demos: one small scene per engine feature, in groups. A demo
// is a function that builds its picture on a layer; the gallery puts that
// layer in a page with the demo's title and the arrows.
//
// Adding a demo: write its function (one file per group under demos/) and
// add one line to the list in Demo.cpp.

#include "engine/Layer.h"

#include <functional>
#include <string>
#include <vector>

struct Demo {
    std::string group;
    std::string name;
    std::function<RefPtr<Layer>()> make;
    // Seconds the demo runs before it starts again.
    float length = 4;
    // The moment its picture on the contact sheet shows, in seconds from its start.
    float pictureAt = 1;
};

// Every demo, group by group, in the order the gallery shows them.
const std::vector<Demo>& demos();
// The index of the demo named `name`; -1 when there is none.
int demoIndex(const std::string& name);
