#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <list>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "core/GameState.h"
#include "core/RenderSettings.h"
#include "render/GeometryNode.h"
#include "render/Mesh.h"
#include "scene/CameraNode.h"
#include "support/GlContext.h"
#include "world/LevelLoader.h"

namespace {

// The shipped first level, its terrain drawn alone (its lamps and posts have
// culling of their own) from cameras placed by hand.
class TerrainTilesGlTest : public GlCameraTest {
protected:
    void SetUp() override {
        GlCameraTest::SetUp();
        if (HasFatalFailure()) return;
        gameState.levelNumber = 1;
        // The tiles draw the full grid; detail that falls with distance has
        // tests of its own.
        RenderSettings::instance().fullTerrainDetail = true;
        testing::internal::CaptureStdout();
        terrain = loadLevel();
        testing::internal::GetCapturedStdout();
        ASSERT_NE(terrain, nullptr);
        ASSERT_EQ(terrain->meshes.size(), 1u);
        // The terrain's children keep their parent pointer; they are given
        // back before the level is deleted.
        objects.swap(terrain->children);
        // Places the terrain: world matrices are cached per frame.
        gameState.sceneRoot->update(0.0);
        glGenQueries(1, &query);
    }
    void TearDown() override {
        if (query) glDeleteQueries(1, &query);
        if (terrain) objects.swap(terrain->children);
        GlCameraTest::TearDown();
    }

    // World position `height` above the terrain's grid vertex (i, j).
    glm::vec3 aboveGround(uint32_t i, uint32_t j, float height) {
        const float* p = terrain->meshes[0]->positions() + 3 * (size_t(i) * 512 + j);
        return glm::vec3(terrain->getWorldMatrix() * glm::vec4(p[0], p[1] + height, p[2], 1.0f));
    }

    void placeCamera(glm::vec3 position, float pitch, float yaw, float roll = 0.0f) {
        // Turned, then tilted, then banked, as the game's camera under the
        // player.
        camera->setPosition(position);
        camera->rotationMatrix = glm::rotate(glm::mat4(1.0f), glm::radians(yaw), glm::vec3(0, 1, 0)) *
                                 glm::rotate(glm::mat4(1.0f), glm::radians(pitch), glm::vec3(1, 0, 0)) *
                                 glm::rotate(glm::mat4(1.0f), glm::radians(roll), glm::vec3(0, 0, 1));
        camera->update(0.0);
    }

    // The picture of the terrain with tile culling on or off, and the number
    // of triangles that reached the vertex stage.
    std::vector<unsigned char> render(bool culling, GLuint* triangles = nullptr) {
        RenderSettings::instance().frustumCulling = culling;
        glViewport(0, 0, context->width, context->height);
        glClearColor(0.1f, 0.2f, 0.9f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        terrain->draw();
        glEndQuery(GL_PRIMITIVES_GENERATED);
        GLuint generated = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &generated);
        if (triangles) *triangles = generated;
        std::vector<unsigned char> pixels(size_t(context->width) * context->height * 4);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, context->width, context->height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // Compares the two pictures; returns the triangles drawn with culling.
    GLuint expectSamePicture(const char* view) {
        GLuint all = 0, culled = 0;
        const std::vector<unsigned char> full = render(false, &all);
        const std::vector<unsigned char> tiled = render(true, &culled);
        EXPECT_EQ(all, terrain->meshes[0]->triangleCount()) << view;
        size_t differing = 0, ground = 0;
        for (size_t p = 0; p < full.size(); p += 4) {
            if (full[p] != tiled[p] || full[p + 1] != tiled[p + 1] || full[p + 2] != tiled[p + 2]) ++differing;
            if (full[p + 2] < 200) ++ground;  // not the blue clear colour
        }
        EXPECT_EQ(differing, 0u) << view;
        // A view that shows no ground would compare two empty pictures.
        EXPECT_GT(ground, full.size() / 4 / 100) << view;
        EXPECT_LE(culled, all) << view;
        return culled;
    }

    GeometryNode* terrain = nullptr;
    std::list<Node*> objects;
    GLuint query = 0;
};

// The terrain lies 200 below the origin, centred 1000 along z, tilted 15
// degrees; the ground in its middle is well below this point.
const glm::vec3 MIDDLE(0.0f, 60.0f, 1000.0f);

}  // namespace

TEST_F(TerrainTilesGlTest, MidTerrainViewsAreTheSameWithAndWithoutTileCulling) {
    const float yaws[] = {0.0f, 45.0f, 90.0f, 180.0f, 270.0f};
    for (float yaw : yaws) {
        placeCamera(MIDDLE, -15.0f, yaw);
        char view[64];
        std::snprintf(view, sizeof view, "middle, yaw %.0f", yaw);
        const GLuint culled = expectSamePicture(view);
        // Looking sideways from the middle leaves well over half the ground out.
        EXPECT_LT(culled, terrain->meshes[0]->triangleCount() / 2) << view;
    }
}

TEST_F(TerrainTilesGlTest, SteepAndBankedViewsAreTheSameWithAndWithoutTileCulling) {
    placeCamera(MIDDLE + glm::vec3(0.0f, 150.0f, 0.0f), -70.0f, 30.0f);
    expectSamePicture("middle, looking steeply down");
    placeCamera(MIDDLE, -10.0f, 120.0f, 35.0f);
    expectSamePicture("middle, banked");
    // Low over the ground: tiles beside and under the camera reach into the
    // picture's corners.
    placeCamera(glm::vec3(300.0f, 20.0f, 700.0f), -5.0f, 200.0f, -20.0f);
    expectSamePicture("low, banked");
}

TEST_F(TerrainTilesGlTest, ViewsAlongAndOverTheEdgeAreTheSame) {
    // Column 500 lies 44 units inside the edge at x = 1020.
    placeCamera(aboveGround(256, 500, 60.0f), -15.0f, 0.0f);
    expectSamePicture("east edge, looking along it");
    placeCamera(aboveGround(256, 500, 60.0f), -30.0f, -60.0f);
    expectSamePicture("east edge, looking half out");
    placeCamera(aboveGround(500, 10, 30.0f), -10.0f, 45.0f);
    expectSamePicture("near corner, looking diagonally in");
    placeCamera(glm::vec3(0.0f, 100.0f, 2100.0f), -20.0f, 0.0f);
    expectSamePicture("beyond the near end, looking over the whole map");
}

TEST_F(TerrainTilesGlTest, LookingAwayFromTheTerrainDrawsFewTriangles) {
    // At the east edge, looking out and down past it: only the tiles along
    // the edge can show.
    placeCamera(aboveGround(256, 500, 60.0f), -60.0f, -90.0f);
    const GLuint culled = expectSamePicture("east edge, looking out");
    EXPECT_GT(culled, 0u);
    EXPECT_LT(culled, terrain->meshes[0]->triangleCount() / 8);
}

TEST_F(TerrainTilesGlTest, TheTerrainIsTiledAndKeepsItsIndexArray) {
    const Mesh* mesh = terrain->meshes[0];
    ASSERT_EQ(mesh->tiles().size(), 256u);
    uint32_t next = 0;
    for (const MeshTile& tile : mesh->tiles()) {
        EXPECT_EQ(tile.firstTriangle, next);
        next += tile.triangleCount;
        EXPECT_GT(tile.radius, 0.0f);
    }
    EXPECT_EQ(next, mesh->triangleCount());
    // The array keeps the grid order the collision and the tests read.
    EXPECT_EQ(mesh->indices()[0], 0u);
    EXPECT_EQ(mesh->indices()[1], 1u);
    EXPECT_EQ(mesh->indices()[2], 512u);
    // The first tile drawn is the grid's last corner, its last triangle first,
    // and its first vertex holds that corner's position.
    std::vector<uint32_t> uploaded(3);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh->buffers().index);
    glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, 3 * sizeof(uint32_t), uploaded.data());
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    const uint32_t last = 3 * (mesh->triangleCount() - 1);
    const uint32_t* corner = mesh->indices() + last;
    EXPECT_EQ(uploaded, (std::vector<uint32_t>{mesh->bufferSlot(corner[0]), mesh->bufferSlot(corner[1]),
                                               mesh->bufferSlot(corner[2])}));
    float position[3] = {0, 0, 0};
    glBindBuffer(GL_ARRAY_BUFFER, mesh->buffers().position);
    glGetBufferSubData(GL_ARRAY_BUFFER, 3 * sizeof(float) * uploaded[0], sizeof position, position);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(position[k], mesh->positions()[3 * corner[0] + k]);
}
