#pragma once
// The root node of one screen.

#include "engine/CocosNode.h"

class Scene : public CocosNode {
  public:
    static RefPtr<Scene> node();
    // Turns and scales about the screen centre while position (0, 0) keeps it in place.
    bool init() override;
    bool drawsWithoutGL() const override { return typeid(*this) == typeid(Scene); }
};
