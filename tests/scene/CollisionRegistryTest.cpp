#include <gtest/gtest.h>

#include <vector>

#include <glm/glm.hpp>

#include "scene/CollisionNode.h"
#include "scene/CollisionRegistry.h"
#include "support/MapImage.h"
#include "support/ProcessState.h"
#include "world/LevelMap.h"
#include "world/TerrainGrid.h"

namespace {

std::vector<int> calls;
void hitA() { calls.push_back(1); }
void hitB() { calls.push_back(2); }
void hitC() { calls.push_back(3); }

// An 8 x 8 grid over 8 x 8 units: vertex (i, j) at x = j - 4, z = 4 - i, so
// a terrain-space point (x, z) lies in cell gx = x + 4, gz = 4 - z.
class CollisionRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        calls.clear();
        heights.assign(8 * 8 * 3, 0.0f);
        for (unsigned i = 0; i < 8; ++i) {
            for (unsigned j = 0; j < 8; ++j) {
                vertex(i, j)[0] = float(j) - 4.0f;
                vertex(i, j)[2] = 4.0f - float(i);
            }
        }
        setAllHeights(10.0f);
        collisionRegistry = CollisionRegistry();
        collisionRegistry.setTerrain(&terrain, heights.data(), 8, 8, 8.0f, 8.0f);
    }
    void TearDown() override { root.deleteChildren(); }

    float* vertex(unsigned i, unsigned j) { return &heights[(i * 8 + j) * 3]; }
    void setAllHeights(float y) {
        for (size_t v = 0; v < 64; ++v) heights[v * 3 + 1] = y;
    }
    // A point under the root at terrain-space (x, y, z), updated once so that
    // it registers.
    CollisionNode* pointAt(float x, float y, float z, CollisionCallback callback = hitA) {
        CollisionNode* node = new CollisionNode(callback);
        node->setPosition(glm::vec3(x, y, z));
        root.addChild(node);
        return node;
    }
    bool contact(float x, float y, float z) {
        calls.clear();
        root.deleteChildren();
        pointAt(x, y, z);
        root.update(0.016);
        collisionRegistry.testCollisions();
        return !calls.empty();
    }

    ProcessState state;
    std::vector<float> heights;
    Node terrain;
    Node root;
};

TEST_F(CollisionRegistryTest, FlatTerrainReportsJustBelowButNotOnTheSurface) {
    EXPECT_TRUE(contact(0.25f, 9.99f, -0.25f));
    EXPECT_FALSE(contact(0.25f, 10.0f, -0.25f));
    EXPECT_FALSE(contact(0.25f, 10.01f, -0.25f));
    // Grid lines and vertices themselves.
    EXPECT_TRUE(contact(0.0f, 9.99f, 0.0f));
    EXPECT_FALSE(contact(0.0f, 10.0f, 0.0f));
}

TEST_F(CollisionRegistryTest, OuterRowsAndColumnsAndBeyondNeverReport) {
    const float deep = -1000.0f;
    EXPECT_FALSE(contact(-3.5f, deep, 0.0f));   // column 0
    EXPECT_FALSE(contact(-4.0f, deep, 0.0f));   // exactly on column 0
    EXPECT_TRUE(contact(-3.0f, deep, 0.0f));    // column 1
    EXPECT_FALSE(contact(3.0f, deep, 0.0f));    // last column (j = 7)
    EXPECT_TRUE(contact(2.99f, deep, 0.0f));    // column 6
    EXPECT_FALSE(contact(0.0f, deep, 3.5f));    // row 0
    EXPECT_FALSE(contact(0.0f, deep, -3.0f));   // last row (i = 7)
    EXPECT_TRUE(contact(0.0f, deep, -2.99f));   // row 6
    EXPECT_FALSE(contact(100.0f, deep, 0.0f));
    EXPECT_FALSE(contact(-100.0f, deep, 0.0f));
    EXPECT_FALSE(contact(0.0f, deep, 1e30f));
    EXPECT_FALSE(contact(1e30f, deep, -1e30f));
}

TEST_F(CollisionRegistryTest, InterpolatesOnTheMeshTriangles) {
    // Cell (i 3, j 4): corners y(3,4) = 1, y(4,4) = 2, y(3,5) = 4, y(4,5) = 8.
    vertex(3, 4)[1] = 1.0f;
    vertex(4, 4)[1] = 2.0f;
    vertex(3, 5)[1] = 4.0f;
    vertex(4, 5)[1] = 8.0f;
    float h = 0;
    // fx 0.25, fz 0.25: first triangle (i,j), (i+1,j), (i,j+1).
    ASSERT_TRUE(collisionRegistry.heightAt(0.25f, 0.75f, h));
    EXPECT_FLOAT_EQ(h, 1.0f * 0.5f + 2.0f * 0.25f + 4.0f * 0.25f);
    // fx 0.75, fz 0.5: second triangle (i+1,j), (i+1,j+1), (i,j+1).
    ASSERT_TRUE(collisionRegistry.heightAt(0.75f, 0.5f, h));
    EXPECT_FLOAT_EQ(h, 2.0f * 0.25f + 8.0f * 0.25f + 4.0f * 0.5f);
    // On the diagonal both triangles agree.
    ASSERT_TRUE(collisionRegistry.heightAt(0.5f, 0.5f, h));
    EXPECT_FLOAT_EQ(h, 2.0f * 0.5f + 4.0f * 0.5f);

    // A point exactly on the interpolated surface is no contact.
    EXPECT_FALSE(contact(0.75f, 4.5f, 0.5f));
    EXPECT_TRUE(contact(0.75f, 4.49f, 0.5f));
    EXPECT_TRUE(contact(0.25f, 1.99f, 0.75f));
    EXPECT_FALSE(contact(0.25f, 2.0f, 0.75f));
}

TEST_F(CollisionRegistryTest, GridFromALevelMapAgreesWithTheMeshVertices) {
    // 4 x 4 map with one high pixel; the collision grid shares the mesh array.
    MapImage image(4, 4, 0);
    image.setHeight(1, 1, 255);
    LevelMap map;
    ASSERT_TRUE(map.assign(4, 4, image.rgb));
    TerrainGrid grid;
    grid.build(map, 2048.0f, 256.0f, 2048.0f);
    collisionRegistry.setTerrain(&terrain, grid.positions.data(), 4, 4, 2048.0f, 2048.0f);
    const glm::vec3 top = grid.position(1, 1);
    float h = 0;
    ASSERT_TRUE(collisionRegistry.heightAt(top.x, top.z, h));
    EXPECT_FLOAT_EQ(h, 256.0f);
    EXPECT_TRUE(contact(top.x, 255.9f, top.z));
    EXPECT_FALSE(contact(top.x, 256.0f, top.z));
}

TEST_F(CollisionRegistryTest, CallbacksRunInRegistrationOrderAndRegistrationsAreDropped) {
    Node* branch = new Node();
    root.addChild(branch);
    branch->addChild(new CollisionNode(hitB));
    root.addChild(new CollisionNode(hitC));
    branch->addChild(new CollisionNode(hitA));
    CollisionNode* silent = new CollisionNode(nullptr);
    root.addChild(silent);
    root.update(0.016);
    ASSERT_EQ(collisionRegistry.volumes.size(), 4u);
    collisionRegistry.testCollisions();  // all at y 0, below the surface at 10
    EXPECT_EQ(calls, (std::vector<int>{2, 1, 3}));
    EXPECT_TRUE(collisionRegistry.volumes.empty());
    calls.clear();
    collisionRegistry.testCollisions();
    EXPECT_TRUE(calls.empty());
}

TEST_F(CollisionRegistryTest, NodesOutsideTheTreeAreNeverTested) {
    CollisionNode loose(hitA);
    Node detached;
    CollisionNode* underDetached = new CollisionNode(hitB);
    detached.addChild(underDetached);
    root.addChild(new CollisionNode(hitC));
    root.update(0.016);
    collisionRegistry.testCollisions();
    EXPECT_EQ(calls, (std::vector<int>{3}));

    // A point that leaves the tree stops registering at the next update.
    calls.clear();
    CollisionNode* leaving = pointAt(0.0f, 0.0f, 0.0f, hitB);
    root.removeChild(leaving);
    root.update(0.016);
    collisionRegistry.testCollisions();
    EXPECT_EQ(calls, (std::vector<int>{3}));
    delete leaving;
}

TEST_F(CollisionRegistryTest, WorksInTheSpaceOfAMovedAndTiltedTerrain) {
    Node world;
    Node* placed = new Node();
    placed->setPosition(glm::vec3(0.0f, -200.0f, 1000.0f));
    placed->setRotation(15.0f, 0.0f, 0.0f);
    world.addChild(placed);
    world.update(0.016);
    collisionRegistry.terrainNode = placed;
    const glm::mat4 toWorld = placed->getWorldMatrix();
    for (float y : {9.9f, 10.1f}) {
        calls.clear();
        root.deleteChildren();
        const glm::vec3 p(toWorld * glm::vec4(0.25f, y, -0.25f, 1.0f));
        pointAt(p.x, p.y, p.z);
        root.update(0.016);
        collisionRegistry.testCollisions();
        EXPECT_EQ(calls.size(), y < 10.0f ? 1u : 0u) << "y " << y;
    }
}

TEST_F(CollisionRegistryTest, WithoutTerrainNothingCollidesAndVolumesAreStillDropped) {
    collisionRegistry.clearTerrain();
    pointAt(0.0f, -100.0f, 0.0f);
    root.update(0.016);
    collisionRegistry.testCollisions();
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(collisionRegistry.volumes.empty());
}

}  // namespace
