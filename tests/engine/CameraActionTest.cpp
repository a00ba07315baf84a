// The orbit camera action: where it puts the node's camera eye, the values it takes from the camera,
// and its reverse (how it looks: the gallery's camera demo).

#include "ActionTestSupport.h"

#include "engine/CameraAction.h"

#include <cmath>
#include <limits>

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

::testing::AssertionResult eyeNear(CocosNode* node, float x, float y, float z) {
    float ex, ey, ez;
    node->camera()->eyeX(&ex, &ey, &ez);
    if (std::fabs(ex - x) < 1e-3f && std::fabs(ey - y) < 1e-3f && std::fabs(ez - z) < 1e-3f)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "eye (" << ex << ", " << ey << ", " << ez << ") is not near ("
                                         << x << ", " << y << ", " << z << ")";
}
} // namespace

TEST_F(ActionTest, OrbitSwingsTheEyeAroundTheCentreAndItsReversePlaysTheSameObjectBackwards) {
    const float d = Camera::getZEye(), half = std::sqrt(0.5f);
    RefPtr<OrbitCamera> orbit = OrbitCamera::actionWithDuration(1, 1, 0, 0, 90, 0, 0);
    node_->runAction(orbit);
    step(0.5f);
    EXPECT_TRUE(eyeNear(node_, 160 + d * half, 240, d * half));
    EXPECT_TRUE(node_->camera()->dirty());
    step(0.5f);
    EXPECT_TRUE(eyeNear(node_, 160 + d, 240, 0));
    EXPECT_EQ(node_->position(), cpvzero) << "only the camera moves";
    EXPECT_EQ(node_->rotation(), 0);
    step(0);

    RefPtr<TimedAction> reversed = orbit->reverse();
    auto backwards = as<ReverseTime>(reversed);
    ASSERT_NE(backwards, nullptr);
    EXPECT_EQ(backwards->other(), orbit.get());
    // Starting the reverse starts the orbit itself, which records the camera as it is now.
    node_->camera()->setCenterX(100, 200, 0);
    node_->runAction(reversed);
    step(0.5f);
    EXPECT_TRUE(eyeNear(node_, 100 + d * half, 200, d * half));
    step(0.5f);
    EXPECT_TRUE(eyeNear(node_, 100, 200, d));
}

TEST_F(ActionTest, OrbitTakesMissingValuesFromTheCamera) {
    const float d = Camera::getZEye();
    node_->camera()->setEyeX(160, 240, 2 * d);
    RefPtr<OrbitCamera> farther = OrbitCamera::actionWithDuration(1, kNaN, 0, 0, 0, 0, 0);
    node_->runAction(farther);
    EXPECT_FLOAT_EQ(farther->radius(), 2);
    // A copy made after the start carries the number filled in.
    EXPECT_FLOAT_EQ(copyOf(farther.get())->radius(), 2);
    step(0.5f);
    EXPECT_TRUE(eyeNear(node_, 160, 240, 2 * d));
    step(1);

    // Edge-on to the left: zenith 90, azimuth 180 (x < 0).
    node_->camera()->setEyeX(160 - d, 240, 0);
    RefPtr<OrbitCamera> edgeOn = OrbitCamera::actionWithDuration(1, 1, 0, kNaN, 0, kNaN, 0);
    node_->runAction(edgeOn);
    EXPECT_FLOAT_EQ(edgeOn->angleZ(), 90);
    EXPECT_FLOAT_EQ(edgeOn->angleX(), 180);
    step(0.5f);
    EXPECT_TRUE(eyeNear(node_, 160 - d, 240, 0));
}
