#include "world/LevelLoader.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <lodepng.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/GameState.h"
#include "effects/EmitterNode.h"
#include "render/Environment.h"
#include "render/GeometryNode.h"
#include "render/LightBlinkingNode.h"
#include "render/Mesh.h"
#include "render/ModelCache.h"
#include "render/PostProcessing.h"
#include "render/FBORenderer.h"
#include "render/RenderResources.h"
#include "render/ShaderLoader.h"
#include "scene/CameraNode.h"
#include "scene/CollisionRegistry.h"
#include "support/ChildProcess.h"
#include "support/GlContext.h"
#include "support/MapImage.h"
#include "support/MustBuild.h"
#include "support/RecordingAudio.h"
#include "world/LevelMarkers.h"
#include "world/LevelObjects.h"

namespace {

// A copy of the game data in a temporary folder (the maps replaced by the
// test's own), entered as the working directory.
class LevelLoaderGlTest : public GlCameraTest {
protected:
    void SetUp() override {
        GlCameraTest::SetUp();
        if (HasFatalFailure()) return;
        enterDataCopy(true);
    }

    GeometryNode* load(int level, std::string* console = nullptr) {
        gameState.levelNumber = level;
        testing::internal::CaptureStdout();
        GeometryNode* terrain = loadLevel();
        const std::string out = testing::internal::GetCapturedStdout();
        if (console) *console = out;
        return terrain;
    }
    glm::vec4 clearColour() {
        glm::vec4 c;
        glGetFloatv(GL_COLOR_CLEAR_VALUE, &c[0]);
        return c;
    }
    std::vector<Node*> childrenOf(Node* node) { return std::vector<Node*>(node->children.begin(), node->children.end()); }
    static size_t occurrences(const std::string& text, const std::string& part) {
        size_t count = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
        return count;
    }
};

TEST_F(LevelLoaderGlTest, BuildsTheTerrainAndItsObjectsInScanOrder) {
    MapImage map(4, 4);
    map.mark(1, 1, 255, 180);  // lamp and snow at one vertex
    map.mark(2, 2, 0, 255);    // goal
    map.mark(0, 2, 0, 252);    // an earlier goal pixel: the later one wins
    map.mark(3, 0, 200, 100);  // no marker
    map.save("Maps/map3.png");

    RecordingAudio audio;
    std::string out;
    GeometryNode* terrain = load(3, &out);
    ASSERT_NE(terrain, nullptr) << out;
    ASSERT_NE(gameState.sceneRoot, nullptr);
    EXPECT_EQ(childrenOf(gameState.sceneRoot), std::vector<Node*>{terrain});
    EXPECT_EQ(terrain->parent, gameState.sceneRoot);
    EXPECT_EQ(currentTerrain, terrain);
    EXPECT_EQ(gameState.terrain, terrain);
    EXPECT_EQ(glm::vec3(terrain->translationMatrix[3]), glm::vec3(0.0f, -200.0f, 1000.0f));
    EXPECT_EQ(terrain->rotationAngles, glm::vec3(15.0f, 0.0f, 0.0f));

    // The lamp geometry, its blinking light, the emitter, the goal post last.
    const std::vector<Node*> objects = childrenOf(terrain);
    ASSERT_EQ(objects.size(), 4u) << out;
    GeometryNode* lamp = dynamic_cast<GeometryNode*>(objects[0]);
    ASSERT_NE(lamp, nullptr);
    LightBlinkingNode* blinker = dynamic_cast<LightBlinkingNode*>(objects[1]);
    ASSERT_NE(blinker, nullptr);
    ASSERT_EQ(blinker->lights.size(), 1u);
    EXPECT_EQ(blinker->lights[0]->type, LightType::Point);
    EXPECT_EQ(blinker->lights[0]->parent, blinker);
    EmitterNode* emitter = dynamic_cast<EmitterNode*>(objects[2]);
    ASSERT_NE(emitter, nullptr);
    EXPECT_EQ(emitter->textureCount, 1u);
    GeometryNode* post = dynamic_cast<GeometryNode*>(objects[3]);
    ASSERT_NE(post, nullptr);

    // Vertex (1, 1) of a 4 x 4 map: x = -512, z = 512; vertex (2, 2): x = 0, z = 0.
    const glm::vec3 lampAt(-512.0f, 40.0f * 256.0f / 255.0f, 512.0f);
    EXPECT_EQ(glm::vec3(lamp->translationMatrix[3]), lampAt);
    EXPECT_EQ(glm::vec3(blinker->lights[0]->translationMatrix[3]), lampAt);
    // The lamp hums where it stands; the snow hisses.
    EXPECT_EQ(audio.lamps, std::vector<glm::vec3>{lampAt});
    EXPECT_TRUE(audio.snow);
    EXPECT_FLOAT_EQ(lamp->scaleMatrix[0][0], 5.0f);
    EXPECT_EQ(goalPosition, glm::vec3(0.0f, 40.0f * 256.0f / 255.0f, 0.0f));
    EXPECT_FLOAT_EQ(finishLine, 0.0f);
    EXPECT_EQ(glm::vec3(post->translationMatrix[3]), goalPosition);
    EXPECT_FLOAT_EQ(post->scaleMatrix[1][1], 50.0f);

    EXPECT_NE(out.find("ShP2: "), std::string::npos);
    EXPECT_NE(out.find("Added lamp at -512.000000/40.156864/512.000000\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Added snow emitter at -512.000000/250.000000/512.000000\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Added goal post at 0.000000/40.156864/"), std::string::npos) << out;
    EXPECT_LT(out.find("Added lamp"), out.find("Added snow emitter"));

    // The mesh, its textures and the collision grid.
    ASSERT_EQ(terrain->meshes.size(), 1u);
    const Mesh* mesh = terrain->meshes[0];
    EXPECT_EQ(mesh->vertexCount(), 16u);
    EXPECT_EQ(mesh->triangleCount(), 18u);
    EXPECT_NE(mesh->program(), 0u);
    EXPECT_NE(mesh->program(), basicShader);
    ASSERT_EQ(mesh->textureCount(), 3u);
    ASSERT_EQ(mesh->textures().size(), 3u);
    EXPECT_EQ(mesh->textures()[0], textureCache["Textures/snow.png"]);
    EXPECT_EQ(mesh->textures()[1], textureCache["Textures/green02.png"]);
    EXPECT_EQ(collisionRegistry.terrainNode, terrain);
    EXPECT_EQ(collisionRegistry.vertices, mesh->positions());
    EXPECT_EQ(collisionRegistry.columns, 4u);
    EXPECT_EQ(collisionRegistry.rows, 4u);
    EXPECT_EQ(collisionRegistry.extentX, 2048.0f);
    EXPECT_EQ(collisionRegistry.extentZ, 2048.0f);
    EXPECT_FALSE(environment.fogEnabled);
    EXPECT_EQ(environment.lightingMode, LightingMode::Day);
    EXPECT_EQ(environment.levelLights.size(), 2u);
}

TEST_F(LevelLoaderGlTest, AMapWithoutGoalKeepsTheFarGoalAndHasNoPost) {
    MapImage(3, 3).save("Maps/map10.png");
    goalPosition = glm::vec3(1.0f, 2.0f, 3.0f);
    GeometryNode* terrain = load(10);
    ASSERT_NE(terrain, nullptr);
    EXPECT_TRUE(terrain->children.empty());
    EXPECT_EQ(goalPosition, glm::vec3(0.0f, 1024.0f, 900.0f));
    EXPECT_FLOAT_EQ(finishLine, 900.0f);
}

TEST_F(LevelLoaderGlTest, FogAndNightTogetherGiveNightUnderGreyWhateverTheirOrder) {
    for (bool fogFirst : {true, false}) {
        MapImage map(4, 4);
        map.mark(1, 1, 0, fogFirst ? 230 : 240);
        map.mark(2, 2, 0, fogFirst ? 240 : 230);
        map.save("Maps/map2.png");
        delete gameState.sceneRoot;
        gameState.sceneRoot = nullptr;
        std::string out;
        ASSERT_NE(load(2, &out), nullptr);
        EXPECT_TRUE(environment.fogEnabled);
        EXPECT_EQ(environment.lightingMode, LightingMode::Night);
        EXPECT_EQ(environment.levelLights.size(), 1u);
        const glm::vec4 c = clearColour();
        EXPECT_NEAR(c.r, 0.4f, 1e-6f);
        EXPECT_NEAR(c.g, 0.4f, 1e-6f);
        EXPECT_NEAR(c.b, 0.4f, 1e-6f);
        EXPECT_NE(out.find(fogFirst ? "Fog enabled on 1/1\n" : "Fog enabled on 2/2\n"), std::string::npos) << out;
    }
}

TEST_F(LevelLoaderGlTest, EachBuildStartsFromDayWithoutFog) {
    MapImage night(4, 4);
    night.mark(1, 1, 0, 240);
    night.save("Maps/map4.png");
    ASSERT_NE(load(4), nullptr);
    glm::vec4 c = clearColour();
    EXPECT_NEAR(c.b, 0.344f, 1e-6f);
    EXPECT_FALSE(environment.fogEnabled);

    MapImage(4, 4).save("Maps/map5.png");
    delete gameState.sceneRoot;
    gameState.sceneRoot = nullptr;
    ASSERT_NE(load(5), nullptr);
    EXPECT_EQ(environment.lightingMode, LightingMode::Day);
    EXPECT_FALSE(environment.fogEnabled);
    c = clearColour();
    EXPECT_NEAR(c.r, 0.43f, 1e-6f);
    EXPECT_NEAR(c.g, 0.65f, 1e-6f);
    EXPECT_NEAR(c.b, 0.87f, 1e-6f);
}

TEST_F(LevelLoaderGlTest, UnusableMapsAreReportedByNameAndBuildNothing) {
    {
        std::ofstream("Maps/map6.png") << "this is no png";
    }
    MapImage(1, 5).save("Maps/map8.png");
    for (int level : {7, 6, 8}) {
        gameState.sceneRoot = nullptr;
        currentTerrain = reinterpret_cast<GeometryNode*>(this);  // must be cleared
        collisionRegistry.vertices = reinterpret_cast<const float*>(this);
        gameState.terrain = reinterpret_cast<Node*>(this);
        std::string out;
        EXPECT_EQ(load(level, &out), nullptr);
        const std::string name = "Maps/map" + std::to_string(level) + ".png";
        EXPECT_NE(out.find("Cannot build the level: " + name), std::string::npos) << out;
        EXPECT_EQ(gameState.sceneRoot, nullptr);
        EXPECT_EQ(currentTerrain, nullptr);
        EXPECT_EQ(collisionRegistry.vertices, nullptr);
        EXPECT_EQ(gameState.terrain, nullptr);
        EXPECT_EQ(out.find("ShP2"), std::string::npos);
    }
}

TEST_F(LevelLoaderGlTest, ALevelsOwnLightMapIsLoadedInsteadOfBaked) {
    MapImage(4, 4).save("Maps/map1.png");
    MapImage(8, 8, 200).save("Maps/map1Lightmap.png");
    std::string out;
    GeometryNode* terrain = load(1, &out);
    ASSERT_NE(terrain, nullptr);
    const Mesh* mesh = terrain->meshes[0];
    ASSERT_EQ(mesh->textureCount(), 3u);
    EXPECT_EQ(mesh->textures()[2], textureCache["Maps/map1Lightmap.png"]);
    EXPECT_EQ(out.find("no light map"), std::string::npos);
}

TEST_F(LevelLoaderGlTest, AnOddSizedMapWithoutLightMapPlaysEvenlyLit) {
    MapImage(4, 4).save("Maps/map1.png");
    std::string out;
    GeometryNode* terrain = load(1, &out);
    ASSERT_NE(terrain, nullptr);
    EXPECT_NE(out.find("Maps/map1.png has no light map and is 4x4 pixels, not 512x512"), std::string::npos) << out;
    const Mesh* mesh = terrain->meshes[0];
    ASSERT_EQ(mesh->textureCount(), 3u);
    // A plain white texture: one texel of full intensity.
    glBindTexture(GL_TEXTURE_2D, mesh->textures()[2]);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 1);
    unsigned char texel[4] = {};
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    EXPECT_EQ(texel[0], 255);
    EXPECT_EQ(texel[1], 255);
    EXPECT_EQ(texel[2], 255);

    // A long, narrow map within the pixel limit builds like any other.
    MapImage(4096, 2).save("Maps/map2.png");
    delete gameState.sceneRoot;
    gameState.sceneRoot = nullptr;
    ASSERT_NE(load(2, &out), nullptr) << out;
    EXPECT_EQ(collisionRegistry.columns, 4096u);
    EXPECT_EQ(collisionRegistry.rows, 2u);
}

TEST_F(LevelLoaderGlTest, A512MapWithoutAUsableLightMapIsBaked) {
    FBORenderer* motionBlur = setUpPostProcessing(MustBuild());
    MapImage map(512, 512);
    for (unsigned i = 0; i < 512; ++i)
        for (unsigned j = 0; j < 512; ++j) map.rgb[(size_t(i) * 512 + j) * 3] = (unsigned char)((i * 7 + j * 3) % 256);
    map.save("Maps/map9.png");
    map.save("Maps/map1.png");
    // Level 1's own light map is there but does not decode.
    std::ofstream("Maps/map1Lightmap.png") << "\x89PNG damaged";
    for (int level : {9, 1}) {
        delete gameState.sceneRoot;
        gameState.sceneRoot = nullptr;
        std::string out;
        GeometryNode* terrain = load(level, &out);
        ASSERT_NE(terrain, nullptr);
        const Mesh* mesh = terrain->meshes[0];
        ASSERT_EQ(mesh->textureCount(), 3u);
        EXPECT_EQ(mesh->textures()[2], lightMapTexture);
        EXPECT_NE(lightMapTexture, 0u);
        EXPECT_EQ(out.find("no light map"), std::string::npos);
        EXPECT_EQ(out.find("cannot be decoded: the light map is baked instead") != std::string::npos, level == 1)
            << out;
        EXPECT_EQ(collisionRegistry.columns, 512u);
    }
    delete motionBlur;
}

TEST_F(LevelLoaderGlTest, AGreyMapIsCappedAndItsLampsShareOneModel) {
    // Map 1's heights as 16-bit grey: green and blue follow red, so tens of
    // thousands of bright pixels ask for a lamp and a goal each.
    FBORenderer* motionBlur = setUpPostProcessing(MustBuild());
    std::vector<unsigned char> rgb;
    unsigned w = 0, h = 0;
    ASSERT_EQ(lodepng::decode(rgb, w, h, std::string(MOORGLIDE_DATA_DIR) + "/Maps/map1.png", LCT_RGB, 8), 0u);
    std::vector<unsigned char> grey(size_t(w) * h * 2);
    for (size_t p = 0; p < size_t(w) * h; ++p) grey[2 * p] = grey[2 * p + 1] = rgb[3 * p];
    ASSERT_EQ(lodepng::encode("Maps/map2.png", grey, w, h, LCT_GREY, 16), 0u);

    std::string out;
    GeometryNode* terrain = load(2, &out);
    ASSERT_NE(terrain, nullptr);
    EXPECT_NE(out.find("Too many markers on the map, dropped: "), std::string::npos) << out.substr(0, 2000);
    // The lamps share one model, the goal post another: one import each.
    std::map<const GeometryNode*, size_t> sharers;
    for (Node* child : terrain->children) {
        GeometryNode* node = dynamic_cast<GeometryNode*>(child);
        if (node && node->meshOwner) ++sharers[node->meshOwner.get()];
    }
    size_t brightPixels = 0;
    for (size_t p = 0; p < size_t(w) * h; ++p) brightPixels += rgb[3 * p] > LevelMarkers::bright ? 1 : 0;
    const size_t lamps = std::min<size_t>(brightPixels, LevelMarkers::cap(LevelMarkers::Kind::Lamp));
    ASSERT_GT(lamps, 64u);
    std::shared_ptr<GeometryNode> lampModel = ModelCache::get("Meshes/lamp.obj", MustBuild());
    ASSERT_EQ(sharers.size(), 2u);
    EXPECT_EQ(sharers[lampModel.get()], lamps);
    EXPECT_EQ(sharers[ModelCache::get("Meshes/goalpost.obj", MustBuild()).get()], 1u);
    // Each lamp and the post still print their model's lines.
    EXPECT_EQ(occurrences(out, "Meshes: "), lamps + 1);

    // The next build imports nothing; the models go with the GL resources,
    // and print nothing as they go: they are no level's objects.
    std::weak_ptr<GeometryNode> model = lampModel;
    lampModel.reset();
    delete gameState.sceneRoot;
    gameState.sceneRoot = nullptr;
    ASSERT_FALSE(model.expired());
    ASSERT_NE(load(2, &out), nullptr);
    EXPECT_EQ(occurrences(out, "Meshes: "), lamps + 1);
    testing::internal::CaptureStdout();
    delete gameState.sceneRoot;
    gameState.sceneRoot = nullptr;
    const std::string levelDeleted = testing::internal::GetCapturedStdout();
    EXPECT_EQ(occurrences(levelDeleted, "Deleting Geometry\n"), lamps + 2);  // and the terrain
    delete motionBlur;
    testing::internal::CaptureStdout();
    RenderResources::release();
    EXPECT_EQ(testing::internal::GetCapturedStdout().find("Deleting Geometry"), std::string::npos);
    EXPECT_TRUE(model.expired());
}

TEST_F(LevelLoaderGlTest, EveryLampAndGoalPostPrintsTheLinesOfItsImport) {
    MapImage map(4, 4);
    map.mark(1, 1, 255, 0);
    map.mark(1, 2, 255, 0);
    map.mark(2, 1, 255, 255);
    map.save("Maps/map3.png");
    // What each object printed for its model: from "Meshes: " to its own line.
    auto modelLines = [](const std::string& out, const std::string& added) {
        std::vector<std::string> blocks;
        for (size_t end = out.find(added); end != std::string::npos; end = out.find(added, end + 1)) {
            const size_t begin = out.rfind("Meshes: ", end);
            blocks.push_back(begin == std::string::npos ? "" : out.substr(begin, end - begin));
        }
        return blocks;
    };
    std::vector<std::string> lamps, posts;
    for (int build = 0; build < 2; ++build) {
        delete gameState.sceneRoot;
        gameState.sceneRoot = nullptr;
        std::string out;
        ASSERT_NE(load(3, &out), nullptr);
        for (const std::string& block : modelLines(out, "Added lamp at ")) lamps.push_back(block);
        for (const std::string& block : modelLines(out, "Added goal post at ")) posts.push_back(block);
    }
    ASSERT_EQ(lamps.size(), 6u);
    ASSERT_EQ(posts.size(), 2u);
    // The first import may be the first to load the model's texture.
    EXPECT_NE(lamps[1].find("Vertices: "), std::string::npos) << lamps[1];
    EXPECT_NE(lamps[1].find("Indices: "), std::string::npos) << lamps[1];
    EXPECT_NE(lamps[1].find("lamp.png\n-->>Texture found: "), std::string::npos) << lamps[1];
    EXPECT_NE(lamps[1].find("\nTextures\\lamp.png\n"), std::string::npos) << lamps[1];
    for (size_t k = 2; k < lamps.size(); ++k) EXPECT_EQ(lamps[k], lamps[1]);
    EXPECT_NE(posts[1].find("goalpost.png\n-->>Texture found: "), std::string::npos) << posts[1];
    EXPECT_EQ(posts[0].substr(0, posts[0].find("-->>")), posts[1].substr(0, posts[1].find("-->>")));
}

TEST_F(LevelLoaderGlTest, LampsAndGoalPostsWithoutTheirModelsAreLeftOut) {
    std::filesystem::remove("Meshes/lamp.obj");
    std::filesystem::remove("Meshes/goalpost.obj");
    MapImage map(4, 4);
    map.mark(1, 1, 255, 180);
    map.mark(1, 2, 255, 0);
    map.mark(2, 2, 0, 255);
    map.save("Maps/map1.png");
    RecordingAudio audio;
    std::string out;
    GeometryNode* terrain = load(1, &out);
    ASSERT_NE(terrain, nullptr);
    EXPECT_EQ(audio.count("level"), 1);
    EXPECT_TRUE(audio.lamps.empty());
    // Only the snow emitter of the lamp's vertex is left; the goal still counts.
    ASSERT_EQ(terrain->children.size(), 1u);
    EXPECT_NE(dynamic_cast<EmitterNode*>(terrain->children.front()), nullptr);
    EXPECT_EQ(occurrences(out, "Error loading mesh Meshes/lamp.obj"), 2u) << out;  // once per lamp
    EXPECT_NE(out.find("Error loading mesh Meshes/goalpost.obj"), std::string::npos) << out;
    EXPECT_EQ(out.find("Added lamp"), std::string::npos);
    EXPECT_EQ(out.find("Added goal post"), std::string::npos);
    EXPECT_FLOAT_EQ(finishLine, 0.0f);
}

TEST_F(LevelLoaderGlTest, AMissingSnowflakeIsReportedAtEveryBuildUntilItLoads) {
    const std::string saved = dataCopy->file("snowflake.png");
    std::filesystem::rename("Textures/snowflake.png", saved);
    MapImage(4, 4).save("Maps/map1.png");
    MapImage snowy(4, 4);
    snowy.mark(1, 1, 0, 180);
    snowy.save("Maps/map2.png");
    const std::string line = "lodepng failed to load image: Textures/snowflake.png";
    std::string out;
    ASSERT_NE(load(1, &out), nullptr);
    EXPECT_NE(out.find(line), std::string::npos) << out;
    // The emitters' billboard program is made at the first build, snow or not,
    // and kept.
    BillboardProgram* billboards = emitterBillboardProgram;
    ASSERT_NE(billboards, nullptr);
    for (int level : {2, 1}) {
        delete gameState.sceneRoot;
        gameState.sceneRoot = nullptr;
        ASSERT_NE(load(level, &out), nullptr);
        EXPECT_NE(out.find(line), std::string::npos) << level << ": " << out;
    }
    EXPECT_EQ(emitterBillboardProgram, billboards);

    // Back in place, it loads at the next build and is then kept.
    std::filesystem::rename(saved, "Textures/snowflake.png");
    GLuint snowflake = 0;
    for (int build = 0; build < 2; ++build) {
        delete gameState.sceneRoot;
        gameState.sceneRoot = nullptr;
        GeometryNode* terrain = load(2, &out);
        ASSERT_NE(terrain, nullptr);
        EXPECT_EQ(out.find(line), std::string::npos) << out;
        EmitterNode* emitter = dynamic_cast<EmitterNode*>(terrain->children.front());
        ASSERT_NE(emitter, nullptr);
        ASSERT_EQ(emitter->textures.size(), 1u);
        if (build == 1) {
            EXPECT_EQ(emitter->textures[0], snowflake);
        }
        snowflake = emitter->textures[0];
        glBindTexture(GL_TEXTURE_2D, snowflake);
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_GT(width, 1);
    }
    // Removed once loaded, it is not read again.
    std::filesystem::remove("Textures/snowflake.png");
    delete gameState.sceneRoot;
    gameState.sceneRoot = nullptr;
    ASSERT_NE(load(1, &out), nullptr);
    EXPECT_EQ(out.find(line), std::string::npos) << out;
}

}  // namespace

// Broken billboard shaders end the game at the first level build, though it
// has no snow, with the billboard loader's line.
// Builds level 1, a small map (snowless unless `snow`), from `data` in a
// child process.
ChildResult buildSmallFirstLevel(TempDir& data, bool snow = false) {
    std::filesystem::remove_all(data.file("Maps"));
    std::filesystem::create_directory(data.file("Maps"));
    MapImage map(4, 4);
    if (snow) map.mark(1, 1, 0, 180);
    map.save(data.file("Maps/map1.png"));
    return runWithContextIn(data.path(), [] {
        gameState.levelNumber = 1;
        loadLevel();
    });
}

TEST(LevelLoaderStart, AMissingBillboardShaderEndsTheFirstBuild) {
    TempDir data;
    copyDataTo(data.path());
    std::filesystem::remove(data.file("Shaders/Billboard.geometryshader"));
    ChildResult result = buildSmallFirstLevel(data);
    EXPECT_EQ(result.exitCode, 255) << result.output;
    EXPECT_TRUE(printed(result, "Failed to open shader file: \n"));
}

// The failure is the last thing said, and the half-built level goes quietly.
TEST(LevelLoaderStart, AMissingParticleShaderEndsTheBuildAtTheFirstEmitter) {
    TempDir data;
    copyDataTo(data.path());
    std::filesystem::remove(data.file("Shaders/ps.gs"));
    ChildResult result = buildSmallFirstLevel(data, true);
    EXPECT_EQ(result.exitCode, 255) << result.output;
    const std::string line = "Failed to open shader file: Shaders/ps.gs\n";
    ASSERT_GE(result.output.size(), line.size()) << result.output;
    EXPECT_EQ(result.output.substr(result.output.size() - line.size()), line) << result.output;
    EXPECT_EQ(result.output.find("Added snow emitter"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("Deleting Geometry"), std::string::npos) << result.output;
}

// Every variant of the terrain program is compiled at the level build, so a
// variant that does not compile ends the game there, not in flight.
TEST(LevelLoaderStart, ABrokenTerrainVariantEndsTheBuild) {
    TempDir data;
    copyDataTo(data.path());
    std::string source;
    ASSERT_TRUE(readShaderSource(data.file("Shaders/terrainShader.frag"), source));
    source.insert(source.find('\n') + 1, "#if defined(LAMP_SLOTS) && LAMP_SLOTS == 3\nbroken;\n#endif\n");
    data.write("Shaders/terrainShader.frag", source);
    ChildResult result = buildSmallFirstLevel(data);
    EXPECT_EQ(result.exitCode, 255) << result.output;
    EXPECT_TRUE(printed(result, "ShP2: "));
    EXPECT_TRUE(printed(result, "Failed to compile shader\n"));
}
