#include "render/GeometryNode.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/RenderSettings.h"
#include "render/Environment.h"
#include "render/LightNode.h"
#include "render/LightRegistry.h"
#include "scene/CameraNode.h"
#include "support/GlContext.h"
#include "support/MustBuild.h"

namespace {

// A camera at the origin looking along -z, no lights, no fog, black clear
// colour, render settings at their defaults.
class GeometryGlTest : public GlCameraTest {
protected:
    void SetUp() override {
        GlCameraTest::SetUp();
        if (HasFatalFailure()) return;
        environment.fogEnabled = false;
        RenderSettings& settings = RenderSettings::instance();
        settings.transparency = true;
        settings.frustumCulling = true;
        root = new Node();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override {
        for (LightNode* light : lights) delete light;
        delete root;
        GlCameraTest::TearDown();
    }

    GeometryNode* addCube(const glm::vec3& position, const glm::vec3& scale = glm::vec3(1.0f)) {
        GeometryNode* cube = createCubeNode(MustBuild());
        cube->setPosition(position);
        cube->scaleBy(scale);
        root->addChild(cube);
        return cube;
    }
    void addLight(LightNode* light) { lights.push_back(light); }
    // Brings matrices and lights up to date, as one frame's update does.
    void update() {
        camera->update(0.0);
        root->update(0.0);
        for (LightNode* light : lights) light->update(0.0);
    }
    void drawFrame() {
        update();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        root->draw();
        root->drawTransparent();
    }
    // The window pixel where a point of the view plane at depth `depth`
    // and height 0 lands (camera at the origin looking along -z).
    int columnFor(float x, float depth) {
        glm::vec4 clip = camera->projectionMatrix * glm::vec4(x, 0.0f, -depth, 1.0f);
        return static_cast<int>((clip.x / clip.w * 0.5f + 0.5f) * 800.0f);
    }
    int grey(int x, int y) { return readPixel(x, y)[1]; }

    Node* root = nullptr;
    std::vector<LightNode*> lights;
};

TEST_F(GeometryGlTest, CubeIsLitOnTheSideFacingTheLightAndDarkBehind) {
    environment.setLighting(LightingMode::Day);  // ambient 0.6 and a light shining along -z
    glClearColor(0, 0, 0, 0);
    addCube(glm::vec3(0, 0, -3));
    drawFrame();
    auto front = readPixel(400, 300);
    EXPECT_GE(front[0], 245);
    EXPECT_EQ(front[0], front[2]) << "untextured geometry is white";
    EXPECT_EQ(readPixel(5, 5)[0], 0) << "background keeps the clear colour";

    // Look at the cube from behind: that face only gets the ambient light.
    camera->setPosition(glm::vec3(0, 0, -6));
    camera->setRotation(0, 180, 0);
    drawFrame();
    int back = grey(400, 300);
    EXPECT_NEAR(back, 153, 4);

    // The sides are lit edge-on by the directional light: ambient only too.
    camera->setPosition(glm::vec3(3, 0, -3));
    camera->setRotation(0, 90, 0);
    drawFrame();
    EXPECT_NEAR(grey(400, 300), 153, 4);
}

TEST_F(GeometryGlTest, PointLightReachesExactlyItsRange) {
    // A wall whose front face is at depth 9.5, a point light 2 in front of it
    // with range 5: lit out to sqrt(5^2 - 2^2) = 4.58 from the centre.
    GeometryNode* wall = addCube(glm::vec3(0, 0, -10), glm::vec3(20, 20, 1));
    addLight(new LightNode(LightType::Point, glm::vec3(0, 0, -7.5f), glm::vec3(10.0f), 5.0f, 0.0f));
    drawFrame();
    ASSERT_EQ(lightRegistry.size(), 1);
    EXPECT_EQ(grey(400, 300), 255);
    int inside = grey(columnFor(3.0f, 9.5f), 300);
    int nearEdge = grey(columnFor(4.3f, 9.5f), 300);
    EXPECT_GT(inside, 20);
    EXPECT_LT(inside, 255) << "falls off with distance";
    EXPECT_LT(nearEdge, inside);
    EXPECT_EQ(grey(columnFor(4.8f, 9.5f), 300), 0) << "beyond the range nothing";
    EXPECT_EQ(grey(columnFor(-6.0f, 9.5f), 300), 0);

    // Disabled, it stays registered but gives nothing.
    lights[0]->enabled = false;
    drawFrame();
    EXPECT_EQ(lightRegistry.lightTypes[0], LightType::Off);
    EXPECT_EQ(grey(400, 300), 0);

    // A wall whose centre lies 12 units aside, beyond the range, is still lit
    // where its edge comes within it.
    lights[0]->enabled = true;
    wall->setPosition(glm::vec3(12, 0, -10));
    drawFrame();
    EXPECT_GT(grey(columnFor(3.0f, 9.5f), 300), 20);
}

TEST_F(GeometryGlTest, SpotLightsOnlyItsCone) {
    // Spot 4.5 in front of the wall, 20 degrees: a lit disc of radius 1.64.
    addCube(glm::vec3(0, 0, -10), glm::vec3(20, 20, 1));
    LightNode* spot = LightNode::spot(glm::vec3(0, 0, -5), glm::vec3(2.0f), 50.0f, 20.0f);
    addLight(spot);
    drawFrame();
    EXPECT_GT(grey(400, 300), 200);
    EXPECT_GT(grey(columnFor(1.0f, 9.5f), 300), 150) << "inside the cone";
    EXPECT_EQ(grey(columnFor(2.0f, 9.5f), 300), 0) << "just outside the cone";
    EXPECT_EQ(grey(columnFor(-3.0f, 9.5f), 300), 0);

    // Turned 30 degrees to the left, the centre falls out of the cone and
    // the disc moves left.
    spot->setRotation(0, 30, 0);
    drawFrame();
    EXPECT_EQ(grey(400, 300), 0);
    EXPECT_GT(grey(columnFor(-4.5f * 0.57735f, 9.5f), 300), 100);
}

TEST_F(GeometryGlTest, FogTurnsDistantGeometryToTheFogColour) {
    addLight(LightNode::ambient(glm::vec3(1.0f)));
    addCube(glm::vec3(0, 0, -950), glm::vec3(800, 800, 1));
    addCube(glm::vec3(-1.5f, 0, -10));
    environment.fogEnabled = true;
    drawFrame();
    int far = grey(columnFor(3.0f, 10.0f), 300);
    int near = grey(columnFor(-1.5f, 9.5f), 300);
    EXPECT_NEAR(far, 102, 6) << "fog grey 0.4 at 950 units";
    EXPECT_GE(near, 250) << "hardly any fog at 10 units";

    environment.fogEnabled = false;
    drawFrame();
    EXPECT_EQ(grey(columnFor(3.0f, 10.0f), 300), 255);
}

TEST_F(GeometryGlTest, TranslucentNodeIsDrawnBlendedInTheTransparentPassOnly) {
    addLight(LightNode::ambient(glm::vec3(1.0f)));
    GeometryNode* cube = addCube(glm::vec3(0, 0, -3));
    cube->alpha = 0.99f;
    update();
    root->draw();
    EXPECT_EQ(grey(400, 300), 0) << "not in the opaque pass";
    root->drawTransparent();
    EXPECT_EQ(grey(400, 300), 252) << "0.99 of white over black";

    glClearColor(0, 0, 1, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    cube->alpha = 0.5f;
    root->drawTransparent();
    auto half = readPixel(400, 300);
    EXPECT_NEAR(half[0], 128, 2);
    EXPECT_NEAR(half[2], 255, 1);

    // With transparency off it is still drawn late, but opaque.
    RenderSettings::instance().transparency = false;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    root->draw();
    EXPECT_EQ(readPixel(400, 300)[0], 0);
    root->drawTransparent();
    EXPECT_EQ(readPixel(400, 300)[0], 255);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    // An opaque node is not drawn again by the transparent pass.
    RenderSettings::instance().transparency = true;
    cube->alpha = 1.0f;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    root->drawTransparent();
    EXPECT_EQ(readPixel(400, 300)[0], 0);
    root->draw();
    EXPECT_EQ(readPixel(400, 300)[0], 255);
}

TEST_F(GeometryGlTest, CullingUsesTheLargestExtentAndCanBeSwitchedOff) {
    GeometryNode* node = addCube(glm::vec3(0, 0, 9));  // 10 behind the near plane
    EXPECT_FLOAT_EQ(node->meshes[0]->boundingExtent, 0.5f);
    update();
    node->meshes[0]->boundingExtent = 12.0f;
    EXPECT_FALSE(node->isCulled());

    node->meshes[0]->boundingExtent = 9.0f;
    EXPECT_TRUE(node->isCulled());
    // The node's scale reaches as far: twice 9 is more than 10.
    node->scaleBy(glm::vec3(2.0f));
    update();
    EXPECT_FALSE(node->isCulled());
    node->scaleBy(glm::vec3(0.5f));
    update();

    // A culled node is not drawn and its meshes keep last frame's matrices.
    glm::mat4 before = node->meshes[0]->lastMvp;
    node->draw();
    EXPECT_EQ(node->meshes[0]->lastMvp, before);
    EXPECT_EQ(node->meshes[0]->frameMvp, glm::mat4(1.0f)) << "a culled node writes no matrices";

    RenderSettings::instance().frustumCulling = false;
    EXPECT_FALSE(node->isCulled());
    const glm::mat4 mvp = node->modelViewProjection();
    EXPECT_EQ(mvp, camera->projectionMatrix * camera->getInverseWorldMatrix() * node->getWorldMatrix());
    node->draw();
    EXPECT_EQ(node->meshes[0]->inverseMvp, glm::inverse(mvp));
    EXPECT_EQ(node->meshes[0]->lastMvp, mvp) << "drawn: this frame's matrix is kept for the next";
}

TEST_F(GeometryGlTest, FirstDrawComparesAgainstTheViewAtCreation) {
    camera->setPosition(glm::vec3(1, 2, 3));
    camera->update(0.0);
    GeometryNode* cube = addCube(glm::vec3(0, 0, -3));
    EXPECT_EQ(cube->meshes[0]->lastMvp, camera->projectionMatrix * camera->getInverseWorldMatrix());
    EXPECT_EQ(cube->meshes[0]->frameMvp, glm::mat4(1.0f));
}

TEST_F(GeometryGlTest, SharingNodesKeepTheirOwnMotionViewsAndReleaseTheModelOnce) {
    std::shared_ptr<GeometryNode> model(createCubeNode(MustBuild()));
    std::weak_ptr<GeometryNode> modelAlive = model;
    GeometryNode* a = GeometryNode::sharing(model);
    GeometryNode* b = GeometryNode::sharing(model);
    model.reset();
    a->setPosition(glm::vec3(-1, 0, -4));
    b->setPosition(glm::vec3(1, 0, -4));
    root->addChild(a);
    root->addChild(b);
    Mesh* mesh = a->meshes[0];
    ASSERT_EQ(b->meshes[0], mesh);

    update();
    a->draw();
    const glm::mat4 firstA = a->modelViewProjection();
    b->draw();
    const glm::mat4 firstB = b->modelViewProjection();
    ASSERT_NE(firstA, firstB);
    // Next frame: each draw compares against its own node's previous view.
    camera->setPosition(glm::vec3(0.5f, 0, 0));
    update();
    glm::mat4 uploaded;
    a->draw();
    glGetUniformfv(mesh->program(), glGetUniformLocation(mesh->program(), "lastMvp"), &uploaded[0][0]);
    EXPECT_EQ(uploaded, firstA);
    b->draw();
    glGetUniformfv(mesh->program(), glGetUniformLocation(mesh->program(), "lastMvp"), &uploaded[0][0]);
    EXPECT_EQ(uploaded, firstB);

    delete a;
    EXPECT_FALSE(modelAlive.expired());
    delete b;
    EXPECT_TRUE(modelAlive.expired());
}

TEST_F(GeometryGlTest, WideSceneDrawsWithoutGlErrorsAndCapsTheLights) {
    // More lights than the shader arrays hold: the upload stops at the cap.
    environment.setLighting(LightingMode::Day);
    glClearColor(0, 0, 0, 0);
    for (int i = 0; i < MAX_SHADER_LIGHTS + 10; ++i) {
        addLight(new LightNode(LightType::Point, glm::vec3(0.1f * i, 0, -5), glm::vec3(0.01f), 3.0f, 0.0f));
    }
    addCube(glm::vec3(0, 0, -3));
    testing::internal::CaptureStdout();
    drawFrame();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(lightRegistry.size(), MAX_SHADER_LIGHTS + 12);
    EXPECT_NE(out.find("Too many lights"), std::string::npos);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_GE(grey(400, 300), 245);
    lightRegistry.droppedReported = false;
}

}  // namespace
