// Cameras and the two matrix helpers.

#include "support/EngineTest.h"

#include "engine/glu.h"
#include "platform/GL.h"

#include <array>
#include <cmath>

using CameraTest = EngineTest;

namespace {
std::array<GLfloat, 16> modelview() {
    std::array<GLfloat, 16> m{};
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

class ModelviewProbe : public CocosNode {
  public:
    std::array<GLfloat, 16> seen{};
    void draw() override { seen = modelview(); }
};
} // namespace

TEST_F(CameraTest, ADirtyCameraReplacesTheAncestorsTransformAndLookAtStaysFinite) {
    auto scene = Scene::node();
    auto parent = CocosNode::node();
    parent->setPosition(cpv(50, 50));
    auto child = nodeOf<ModelviewProbe>();
    auto reference = nodeOf<ModelviewProbe>();
    parent->add(child);
    scene->add(parent);
    scene->add(reference);
    float x, y, z;
    child->camera()->eyeX(&x, &y, &z);
    child->camera()->setEyeX(x, y, z); // the same values, but now dirty
    EXPECT_TRUE(child->camera()->dirty());
    runScene(scene);
    step();
    EXPECT_THAT(child->seen, ::testing::Pointwise(::testing::FloatNear(1e-4), reference->seen));

    child->camera()->restore();
    EXPECT_FALSE(child->camera()->dirty());
    step();
    EXPECT_NEAR(child->seen[12] - reference->seen[12], 50, 1e-3) << "the parent's position applies again";

    // Looking at a centre the eye sits on gives no infinities.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(10, 10, 10, 10, 10, 10, 0, 0, 0);
    EXPECT_THAT(modelview(), ::testing::Each(::testing::Truly([](float v) { return std::isfinite(v); })));
}
