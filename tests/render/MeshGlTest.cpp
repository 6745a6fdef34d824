#include "render/Mesh.h"

#include <sys/stat.h>

#include <cmath>
#include <memory>

#include <gtest/gtest.h>
#include <lodepng.h>

#include "core/RenderSettings.h"
#include "render/GeometryNode.h"
#include "scene/CameraNode.h"
#include "support/GlContext.h"
#include "support/MustBuild.h"

namespace {

class MeshGlTest : public GlCameraTest {
protected:
    void SetUp() override {
        GlCameraTest::SetUp();
        if (HasFatalFailure()) return;
        // Built while the working directory still holds Shaders/.
        ensureBasicShader(MustBuild());
        mkdir(temp.file("Textures").c_str(), 0755);
    }
    // A w x h PNG whose first row is red, the last blue, the rest green.
    void writePng(const std::string& path, unsigned w, unsigned h) {
        std::vector<unsigned char> pixels(w * h * 4, 255);
        for (unsigned y = 0; y < h; ++y) {
            for (unsigned x = 0; x < w; ++x) {
                unsigned char* p = &pixels[(y * w + x) * 4];
                p[0] = y == 0 ? 255 : 0;
                p[1] = (y != 0 && y != h - 1) ? 255 : 0;
                p[2] = y == h - 1 ? 255 : 0;
            }
        }
        ASSERT_EQ(lodepng::encode(path, pixels, w, h), 0u);
    }
    GLint textureWidth(GLuint id) {
        GLint width = -1;
        glBindTexture(GL_TEXTURE_2D, id);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        return width;
    }
    GeometryNode* cube() { return createCubeNode(MustBuild()); }
    // The index buffer as GL holds it, nine indices.
    static std::vector<uint32_t> uploadedIndices(const Mesh& mesh) {
        std::vector<uint32_t> uploaded(9);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.buffers().index);
        glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, 9 * sizeof(uint32_t), uploaded.data());
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        return uploaded;
    }

    TempDir temp;
};

// Three triangles over a quad with corners (0, 0) and (w, h) in the z = 0
// plane, facing +z, the last one repeating the first's area.
Mesh* threeTriangles(float w, float h) {
    float* positions = new float[12]{0, 0, 0, w, 0, 0, 0, h, 0, w, h, 0};
    float* normals = new float[12]{0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
    return new Mesh(positions, normals, new uint32_t[9]{0, 1, 2, 2, 1, 3, 1, 3, 0}, new float[12](), 4, 3);
}

const std::vector<uint32_t> THREE_TRIANGLES = {0, 1, 2, 2, 1, 3, 1, 3, 0};

TEST_F(MeshGlTest, OneFileNameGivesOneTextureForEveryLoad) {
    writePng(temp.file("Textures/rock.png"), 4, 4);
    ScopedDirectory inTemp(temp.path());
    GeometryNode* a = cube();
    GeometryNode* b = cube();
    a->meshes[0]->loadTexture("Textures/rock.png");
    testing::internal::CaptureStdout();
    b->meshes[0]->loadTexture("Textures/rock.png");
    b->meshes[0]->loadTexture("Textures/rock.png");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("-->>Texture found: "), std::string::npos);
    EXPECT_EQ(textureCache.size(), 1u);
    ASSERT_EQ(a->meshes[0]->textures().size(), 1u);
    EXPECT_TRUE(glIsTexture(a->meshes[0]->textures()[0]));
    EXPECT_EQ(textureWidth(a->meshes[0]->textures()[0]), 4);
    EXPECT_EQ(b->meshes[0]->textureCount(), 2u) << "the same texture on units 0 and 1";
    EXPECT_EQ(b->meshes[0]->textures()[0], a->meshes[0]->textures()[0]);
    EXPECT_EQ(b->meshes[0]->textures()[1], a->meshes[0]->textures()[0]);
    delete a;
    delete b;
    EXPECT_TRUE(glIsTexture(textureCache["Textures/rock.png"])) << "meshes do not own their textures";
}

TEST_F(MeshGlTest, FirstFileRowIsTheFirstTextureRow) {
    writePng(temp.file("Textures/rows.png"), 2, 3);
    ScopedDirectory inTemp(temp.path());
    GeometryNode* node = cube();
    node->meshes[0]->loadTexture("Textures/rows.png");
    std::vector<unsigned char> texels(2 * 3 * 4);
    glBindTexture(GL_TEXTURE_2D, node->meshes[0]->textures()[0]);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[0], 255);
    EXPECT_EQ(texels[2], 0);
    EXPECT_EQ(texels[5 * 4 + 2], 255) << "last row blue";
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
    delete node;
}

TEST_F(MeshGlTest, MissingTextureIsEmptyButKeepsItsUnit) {
    ScopedDirectory inTemp(temp.path());
    writePng(temp.file("Textures/second.png"), 2, 2);
    GeometryNode* node = cube();
    Mesh* mesh = node->meshes[0];
    testing::internal::CaptureStdout();
    mesh->loadTexture("Textures/nothere.png");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("lodepng failed to load image: Textures/nothere.png"), std::string::npos);
    mesh->loadTexture("Textures/second.png");
    ASSERT_EQ(mesh->textureCount(), 2u);
    EXPECT_NE(mesh->textures()[0], 0u);
    EXPECT_EQ(textureWidth(mesh->textures()[0]), 0);
    EXPECT_EQ(textureWidth(mesh->textures()[1]), 2) << "the next texture lands on unit 1";

    // The empty texture is cached: a later load does not retry the file.
    writePng(temp.file("Textures/nothere.png"), 2, 2);
    GeometryNode* other = cube();
    other->meshes[0]->loadTexture("Textures/nothere.png");
    EXPECT_EQ(other->meshes[0]->textures()[0], mesh->textures()[0]);
    delete node;
    delete other;
}

TEST_F(MeshGlTest, BackslashNamesOpenWithForwardSlashesButKeepTheirKey) {
    writePng(temp.file("Textures/wing.png"), 8, 2);
    ScopedDirectory inTemp(temp.path());
    GeometryNode* node = cube();
    node->meshes[0]->loadTexture("Textures\\wing.png");
    node->meshes[0]->loadTexture("Textures/wing.png");
    EXPECT_EQ(textureWidth(node->meshes[0]->textures()[0]), 8);
    EXPECT_EQ(textureCache.count("Textures\\wing.png"), 1u);
    EXPECT_EQ(textureCache.size(), 2u) << "the two spellings are separate entries";
    EXPECT_NE(node->meshes[0]->textures()[0], node->meshes[0]->textures()[1]);
    delete node;
}

TEST_F(MeshGlTest, DrawSetsSamplingStateFromTheRenderSettings) {
    writePng(temp.file("Textures/tile.png"), 4, 4);
    ScopedDirectory inTemp(temp.path());
    GeometryNode* node = cube();
    node->setPosition(glm::vec3(0, 0, -3));
    node->update(0.0);
    Mesh* mesh = node->meshes[0];
    mesh->loadTexture("Textures/tile.png");
    GLuint id = mesh->textures()[0];
    auto filters = [&]() {
        GLint mag = 0, min = 0;
        glBindTexture(GL_TEXTURE_2D, id);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
        return std::make_pair(mag, min);
    };
    RenderSettings& settings = RenderSettings::instance();
    settings.textureSampling = TextureSampling::Nearest;
    settings.mipMapping = MipMapping::Off;
    node->draw();
    EXPECT_EQ(filters(), std::make_pair(GL_NEAREST, GL_LINEAR));
    settings.mipMapping = MipMapping::Nearest;
    node->draw();
    EXPECT_EQ(filters(), std::make_pair(GL_NEAREST, GL_LINEAR_MIPMAP_NEAREST));
    settings.textureSampling = TextureSampling::Bilinear;
    settings.mipMapping = MipMapping::Linear;
    node->draw();
    EXPECT_EQ(filters(), std::make_pair(GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR));
    settings.textureSampling = static_cast<TextureSampling>(2);
    settings.mipMapping = static_cast<MipMapping>(7);
    node->draw();
    EXPECT_EQ(filters(), std::make_pair(GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR));
    GLint unit = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    EXPECT_EQ(unit, GL_TEXTURE0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    delete node;
}

TEST_F(MeshGlTest, ModelMatrixGivesTheTransposedNormalMatrix) {
    GeometryNode* node = cube();
    glm::mat4 m(1.0f);
    m[0][1] = 2.0f;
    m[3][0] = 7.0f;
    node->meshes[0]->setModelMatrix(m);
    EXPECT_EQ(node->meshes[0]->modelMatrix, m);
    EXPECT_FLOAT_EQ(node->meshes[0]->normalMatrix[1][0], 2.0f);
    EXPECT_FLOAT_EQ(node->meshes[0]->normalMatrix[0][1], 0.0f);
    delete node;
}

TEST_F(MeshGlTest, ReversedUploadDrawsTheLastTriangleFirstAndKeepsTheArray) {
    std::unique_ptr<Mesh> owned(threeTriangles(1, 1));
    Mesh& mesh = *owned;
    mesh.uploadReversed();
    mesh.setShader(ensureBasicShader(MustBuild()));
    // Whole triangles swap places; each keeps its winding.
    EXPECT_EQ(uploadedIndices(mesh), (std::vector<uint32_t>{1, 3, 0, 2, 1, 3, 0, 1, 2}));
    EXPECT_EQ(std::vector<uint32_t>(mesh.indices(), mesh.indices() + 9), THREE_TRIANGLES);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshGlTest, TilesGoToGlTileByTileWithSpheresAroundThem) {
    std::unique_ptr<Mesh> owned(threeTriangles(4, 2));
    Mesh& mesh = *owned;
    mesh.uploadTiled({{2}, {1, 0}});
    mesh.setShader(ensureBasicShader(MustBuild()));
    ASSERT_EQ(mesh.tiles().size(), 2u);
    EXPECT_EQ(mesh.tiles()[0].firstTriangle, 0u);
    EXPECT_EQ(mesh.tiles()[0].triangleCount, 1u);
    EXPECT_EQ(mesh.tiles()[1].firstTriangle, 1u);
    EXPECT_EQ(mesh.tiles()[1].triangleCount, 2u);
    // The second tile spans the whole 4 x 2 rectangle.
    EXPECT_EQ(mesh.tiles()[1].center, glm::vec3(2, 1, 0));
    EXPECT_FLOAT_EQ(mesh.tiles()[1].radius, std::sqrt(5.0f));
    EXPECT_EQ(uploadedIndices(mesh), (std::vector<uint32_t>{1, 3, 0, 2, 1, 3, 0, 1, 2}));
    EXPECT_EQ(std::vector<uint32_t>(mesh.indices(), mesh.indices() + 9), THREE_TRIANGLES);
}

TEST_F(MeshGlTest, ATileTableThatMissesOrRepeatsATriangleIsDropped) {
    const std::vector<std::vector<std::vector<uint32_t>>> broken = {
        {{0}, {1}},        // the last triangle missing
        {{0, 1}, {1, 2}},  // one twice
        {{0, 1}, {5}},     // beyond the mesh
    };
    for (const auto& table : broken) {
        Mesh mesh(new float[12](), new float[12](), new uint32_t[9]{0, 1, 2, 2, 1, 3, 1, 3, 0}, new float[12](), 4, 3);
        testing::internal::CaptureStdout();
        mesh.uploadTiled(table);
        mesh.setShader(ensureBasicShader(MustBuild()));
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_TRUE(mesh.tiles().empty());
        EXPECT_NE(out.find("drawn without tiles"), std::string::npos);
        EXPECT_EQ(uploadedIndices(mesh), THREE_TRIANGLES);
    }
}

const char* TWO_PART_OBJ =
    "mtllib parts.mtl\n"
    "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 -2\nv 3 0 -2\nv 0 1 -2\n"
    "vt 0 0\nvt 1 0\nvt 0 1\n"
    "o first\nusemtl painted\nf 1/1 2/2 3/3\n"
    "o second\nusemtl plain\nf 4 5 6\n";
const char* TWO_PART_MTL =
    "newmtl painted\nKd 1 1 1\nmap_Kd sub/spots.png\n"
    "newmtl plain\nKd 0.5 0.5 0.5\n";

TEST_F(MeshGlTest, ImportBuildsOneMeshPerPartWithItsTextures) {
    temp.write("parts.obj", TWO_PART_OBJ);
    temp.write("parts.mtl", TWO_PART_MTL);
    mkdir(temp.file("Textures/sub").c_str(), 0755);
    writePng(temp.file("Textures/sub/spots.png"), 4, 2);
    ScopedDirectory inTemp(temp.path());
    GeometryNode* node = importGeometryNode("parts.obj", MustBuild());
    ASSERT_NE(node, nullptr);
    ASSERT_EQ(node->meshes.size(), 2u);
    Mesh* painted = node->meshes[0]->textureCount() ? node->meshes[0] : node->meshes[1];
    Mesh* plain = painted == node->meshes[0] ? node->meshes[1] : node->meshes[0];
    EXPECT_EQ(plain->textureCount(), 0u);
    EXPECT_FLOAT_EQ(plain->boundingExtent, 3.0f);
    EXPECT_EQ(plain->triangleCount(), 1u);
    for (uint32_t i = 0; i < 3 * plain->vertexCount(); ++i) EXPECT_EQ(plain->uvs()[i], 0.0f) << "no uvs in the file";
    ASSERT_EQ(painted->textureCount(), 1u);
    EXPECT_EQ(textureCache.count("Textures\\sub/spots.png"), 1u) << "the material's own folder stays after the prefix";
    EXPECT_EQ(textureWidth(painted->textures()[0]), 4);
    // Normals are generated by the import and face +z for this triangle.
    EXPECT_NEAR(painted->normals()[2], 1.0f, 1e-4f);
    delete node;
}

TEST_F(MeshGlTest, ImportSkipsLineAndPointPartsAndNeverReadsTheirNormals) {
    temp.write("mixed.obj",
               "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 5 5 5\nv 6 6 6\n"
               "o tri\nf 1 2 3\n"
               "o wire\nl 4 5\n"
               "o dot\np 5\n");
    ScopedDirectory inTemp(temp.path());
    GeometryNode* node = importGeometryNode("mixed.obj", MustBuild());
    ASSERT_NE(node, nullptr);
    ASSERT_EQ(node->meshes.size(), 1u);
    EXPECT_EQ(node->meshes[0]->triangleCount(), 1u);
    EXPECT_FLOAT_EQ(node->meshes[0]->boundingExtent, 1.0f);
    delete node;
}

TEST_F(MeshGlTest, ImportOfAMissingFileSaysWhy) {
    ScopedDirectory inTemp(temp.path());
    testing::internal::CaptureStdout();
    GeometryNode* node = importGeometryNode("Meshes/none.obj", MustBuild());
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(node, nullptr);
    EXPECT_NE(out.find("Error loading mesh Meshes/none.obj: "), std::string::npos);
}

TEST_F(MeshGlTest, RepeatedImportsAndDeletesLeaveNoGlObjectsBehind) {
    temp.write("tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    ScopedDirectory inTemp(temp.path());
    GeometryNode* first = importGeometryNode("tri.obj", MustBuild());
    ASSERT_NE(first, nullptr);
    GLuint vao = first->meshes[0]->buffers().vertexArray;
    GLuint buffer = first->meshes[0]->buffers().position;
    EXPECT_TRUE(glIsVertexArray(vao));
    testing::internal::CaptureStdout();
    delete first;
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Deleting Geometry"), std::string::npos);
    EXPECT_FALSE(glIsVertexArray(vao));
    EXPECT_FALSE(glIsBuffer(buffer));
    for (int i = 0; i < 20; ++i) delete importGeometryNode("tri.obj", MustBuild());
    EXPECT_EQ(basicShader, ensureBasicShader(MustBuild())) << "one shared program";
    EXPECT_TRUE(glIsProgram(basicShader)) << "a shared program outlives its meshes";
}

TEST_F(MeshGlTest, AnOwnedProgramGoesWithItsMesh) {
    // The terrain builds a program per level; it must not outlive its level.
    GLuint program = glCreateProgram();
    float* positions = new float[9]{0, 0, 0, 1, 0, 0, 0, 1, 0};
    Mesh* mesh = new Mesh(positions, new float[9](), new uint32_t[3]{0, 1, 2}, new float[9](), 3, 1);
    mesh->setOwnShader(program);
    delete mesh;
    EXPECT_FALSE(glIsProgram(program));
}

}  // namespace
