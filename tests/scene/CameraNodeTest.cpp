#include "scene/CameraNode.h"

#include <cmath>

#include <gtest/gtest.h>

TEST(CameraNode, ProjectionEntries) {
    CameraNode camera;
    const glm::mat4& m = camera.projectionMatrix;
    EXPECT_NEAR(m[0][0], 1.8106602f, 1e-5f);
    EXPECT_NEAR(m[1][1], 2.4142136f, 1e-5f);
    EXPECT_NEAR(m[2][2], -1.002002f, 1e-5f);
    EXPECT_NEAR(m[2][3], -2.002002f, 1e-5f);
    EXPECT_EQ(m[3][2], -1.0f);
    EXPECT_EQ(m[3][3], 0.0f);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            bool used = (c == r && c < 3) || (c == 2 && r == 3) || (c == 3 && r == 2);
            if (!used) {
                EXPECT_EQ(m[c][r], 0.0f) << c << "," << r;
            }
        }
}

TEST(CameraNode, ProjectionOfAPointAhead) {
    CameraNode camera;
    glm::vec4 clip = camera.projectionMatrix * glm::vec4(0, 0, -10, 1);
    EXPECT_NEAR(clip.w, 20.02002f, 1e-4f);
    EXPECT_NEAR(clip.z, 9.02002f, 1e-4f);
}

TEST(CameraNode, ConstructionAndDestructionSetActiveCamera) {
    {
        CameraNode camera;
        EXPECT_EQ(activeCamera, &camera);
    }
    EXPECT_EQ(activeCamera, nullptr);
}

TEST(CameraNode, UpdateMarksFrustumStale) {
    CameraNode camera;
    frustumUpToDate = true;
    camera.update(0.016);
    EXPECT_FALSE(frustumUpToDate);
    ensureFrustum();
    EXPECT_TRUE(frustumUpToDate);
    // So does placing anew whatever carries it.
    Node carrier;
    carrier.addChild(&camera);
    carrier.placeAt(glm::vec3(0, 0, 5), glm::vec3(0));
    EXPECT_FALSE(frustumUpToDate);
    carrier.removeChild(&camera);
}

TEST(CameraNode, FrustumCasesAtTheOrigin) {
    CameraNode camera;
    camera.update(0.0);
    computeFrustum();
    EXPECT_FALSE(sphereOutsideFrustum({0, 0, -10}, 0.5f));
    EXPECT_TRUE(sphereOutsideFrustum({20, 0, -10}, 0.5f));
    EXPECT_TRUE(sphereOutsideFrustum({0, 0, 0.8f}, 0.5f));
    EXPECT_FALSE(sphereOutsideFrustum({0, 0, -1000.4f}, 0.5f));
    EXPECT_TRUE(sphereOutsideFrustum({0, 0, -1002}, 0.5f));
    // A sphere whose rim only touches is inside.
    EXPECT_FALSE(sphereOutsideFrustum({0, 0, 1.0f}, 2.0f));
}

TEST(CameraNode, FrustumOpeningsAre45And36_87Degrees) {
    CameraNode camera;
    camera.update(0.0);
    computeFrustum();
    const float d = 100.0f;
    float halfH = d * std::tan(glm::radians(45.0f));
    float halfV = d * 0.75f;
    EXPECT_FALSE(sphereOutsideFrustum({halfH - 0.5f, 0, -d}, 0.1f));
    EXPECT_TRUE(sphereOutsideFrustum({halfH + 1.0f, 0, -d}, 0.1f));
    EXPECT_TRUE(sphereOutsideFrustum({-halfH - 1.0f, 0, -d}, 0.1f));
    EXPECT_FALSE(sphereOutsideFrustum({0, halfV - 0.5f, -d}, 0.1f));
    EXPECT_TRUE(sphereOutsideFrustum({0, halfV + 1.0f, -d}, 0.1f));
    EXPECT_TRUE(sphereOutsideFrustum({0, -halfV - 1.0f, -d}, 0.1f));
}

TEST(CameraNode, FrustumFollowsTheCameraPose) {
    Node root;
    CameraNode* camera = new CameraNode;
    root.addChild(camera);
    root.setPosition({100, 0, 0});
    root.setRotation(0, 180, 0);  // now looking along +z
    root.update(0.0);
    computeFrustum();
    EXPECT_FALSE(sphereOutsideFrustum({100, 0, 10}, 0.5f));
    EXPECT_TRUE(sphereOutsideFrustum({100, 0, -10}, 0.5f));
    EXPECT_TRUE(sphereOutsideFrustum({0, 0, -10}, 0.5f));
}

TEST(CameraNode, PlacementBehindThePlayer) {
    const int distances[] = {-2, -3, -5};
    const float behind[] = {1.75f, 2.72f, 4.65f};
    const float above[] = {1.19f, 1.45f, 1.97f};
    for (int k = 0; k < 3; ++k) {
        CameraNode camera;
        camera.setRotation(-15, 0, 0);
        camera.moveLocal({0, -0.7f, float(distances[k])});
        camera.update(0.0);
        glm::vec3 p(camera.getWorldMatrix()[3]);
        EXPECT_NEAR(p.z, behind[k], 0.01f);
        EXPECT_NEAR(p.y, above[k], 0.01f);
        EXPECT_NEAR(p.x, 0.0f, 1e-6f);
    }
}
