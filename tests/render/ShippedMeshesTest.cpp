// Imports every shipped model the way the game does and checks what the
// player assembly and the level objects rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include <assimp/cimport.h>
#include <assimp/material.h>
#include <assimp/scene.h>

#include "render/GeometryNode.h"

namespace {

constexpr unsigned importFlags = MESH_IMPORT_FLAGS;

struct Bounds
{
    aiVector3D lo{1e9f, 1e9f, 1e9f};
    aiVector3D hi{-1e9f, -1e9f, -1e9f};
    float width() const { return hi.x - lo.x; }
    float height() const { return hi.y - lo.y; }
};

class ImportedModel
{
public:
    explicit ImportedModel(const std::string& name)
        : path(std::string(MOORGLIDE_DATA_DIR) + "/Meshes/" + name + ".obj"),
          scene(aiImportFile(path.c_str(), importFlags))
    {
    }
    ~ImportedModel()
    {
        if (scene)
            aiReleaseImport(scene);
    }
    ImportedModel(const ImportedModel&) = delete;
    ImportedModel& operator=(const ImportedModel&) = delete;

    Bounds bounds() const
    {
        Bounds b;
        for (unsigned m = 0; m < scene->mNumMeshes; ++m)
            for (unsigned v = 0; v < scene->mMeshes[m]->mNumVertices; ++v) {
                const aiVector3D& p = scene->mMeshes[m]->mVertices[v];
                b.lo = aiVector3D(std::min(b.lo.x, p.x), std::min(b.lo.y, p.y), std::min(b.lo.z, p.z));
                b.hi = aiVector3D(std::max(b.hi.x, p.x), std::max(b.hi.y, p.y), std::max(b.hi.z, p.z));
            }
        return b;
    }

    std::string path;
    const aiScene* scene;
};

const char* const modelNames[] = {"body",   "lwing",  "rwing",  "lwing_broken", "rwing_broken", "leg_lf",
                                  "leg_rf", "leg_lb", "leg_rb", "lamp",         "goalpost"};

} // namespace

TEST(ShippedMeshes, ImportAsTexturedTriangleMeshes)
{
    for (const char* name : modelNames) {
        SCOPED_TRACE(name);
        ImportedModel model(name);
        ASSERT_NE(model.scene, nullptr) << aiGetErrorString();
        ASSERT_EQ(model.scene->mNumMeshes, 1u);
        const aiMesh* mesh = model.scene->mMeshes[0];
        EXPECT_EQ(mesh->mPrimitiveTypes, unsigned(aiPrimitiveType_TRIANGLE));
        EXPECT_GT(mesh->mNumFaces, 10u);
        for (unsigned f = 0; f < mesh->mNumFaces; ++f)
            ASSERT_EQ(mesh->mFaces[f].mNumIndices, 3u);
        ASSERT_TRUE(mesh->HasNormals());
        ASSERT_TRUE(mesh->HasTextureCoords(0));
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            const aiVector3D& p = mesh->mVertices[v];
            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
            const aiVector3D& n = mesh->mNormals[v];
            ASSERT_NEAR(n.Length(), 1.0f, 1e-3f);
            const aiVector3D& t = mesh->mTextureCoords[0][v];
            ASSERT_TRUE(t.x >= 0.0f && t.x <= 1.0f && t.y >= 0.0f && t.y <= 1.0f);
        }

        // One diffuse texture, named without a folder, present under Textures.
        const aiMaterial* material = model.scene->mMaterials[mesh->mMaterialIndex];
        ASSERT_EQ(aiGetMaterialTextureCount(material, aiTextureType_DIFFUSE), 1u);
        aiString texture;
        ASSERT_EQ(aiGetMaterialTexture(material, aiTextureType_DIFFUSE, 0, &texture, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr),
                  aiReturn_SUCCESS);
        const std::string file = texture.C_Str();
        EXPECT_EQ(file.find_first_of("/\\"), std::string::npos) << file;
        FILE* f = std::fopen((std::string(MOORGLIDE_DATA_DIR) + "/Textures/" + file).c_str(), "rb");
        EXPECT_NE(f, nullptr) << file;
        if (f)
            std::fclose(f);
    }
}

TEST(ShippedMeshes, FigurePartsFitThePlayerOffsets)
{
    // Body centred on the origin, head towards -z.
    const Bounds body = ImportedModel("body").bounds();
    EXPECT_NEAR((body.lo.x + body.hi.x) * 0.5f, 0.0f, 0.01f);
    EXPECT_LT(body.lo.z, -0.5f);
    EXPECT_LT(body.width(), 0.5f);

    // Wings hang from the shoulder (their node sits at y 0.15): the tips reach
    // x = -1 and +1, where the wing lamps sit at z 0.55, and the collision
    // points at x = -0.9 and +0.9, z 0.35, lie on the wing.
    const Bounds left = ImportedModel("lwing").bounds();
    const Bounds right = ImportedModel("rwing").bounds();
    EXPECT_NEAR(left.lo.x, -1.0f, 0.03f);
    EXPECT_NEAR(right.hi.x, 1.0f, 0.03f);
    EXPECT_GT(left.hi.x, -0.15f);
    EXPECT_LT(right.lo.x, 0.15f);
    EXPECT_LE(left.hi.x, 0.0f);
    EXPECT_GE(right.lo.x, 0.0f);
    for (const Bounds* wing : {&left, &right}) {
        EXPECT_LT(wing->lo.z, 0.35f);
        EXPECT_GT(wing->hi.z, 0.5f);
        EXPECT_LT(std::abs(wing->lo.y), 0.1f);
    }

    // The torn stumps are the inner part of the same wings.
    const Bounds leftStump = ImportedModel("lwing_broken").bounds();
    const Bounds rightStump = ImportedModel("rwing_broken").bounds();
    EXPECT_GT(leftStump.lo.x, -0.5f);
    EXPECT_LT(rightStump.hi.x, 0.5f);
    EXPECT_LE(leftStump.hi.x, 0.0f);
    EXPECT_GE(rightStump.lo.x, 0.0f);
    EXPECT_NEAR(leftStump.hi.x, left.hi.x, 0.01f);

    // Legs hang down from their hip at the node's origin.
    for (const char* name : {"leg_lf", "leg_rf", "leg_lb", "leg_rb"}) {
        const Bounds leg = ImportedModel(name).bounds();
        EXPECT_LT(leg.lo.y, -0.2f) << name;
        EXPECT_LT(leg.hi.y, 0.1f) << name;
        EXPECT_LT(leg.width(), 0.15f) << name;
    }
}

TEST(ShippedMeshes, LampAndGateStandOnTheirOrigin)
{
    const Bounds lamp = ImportedModel("lamp").bounds();
    EXPECT_NEAR(lamp.lo.y, 0.0f, 1e-4f);
    EXPECT_GT(lamp.height(), 2.0f);
    EXPECT_NEAR((lamp.lo.x + lamp.hi.x) * 0.5f, 0.0f, 0.01f);

    // Scaled by 50 in the game: a gate some 150 units wide and high, spanning
    // x so that the course runs through it along z.
    const Bounds gate = ImportedModel("goalpost").bounds();
    EXPECT_NEAR(gate.lo.y, 0.0f, 1e-4f);
    EXPECT_NEAR((gate.lo.x + gate.hi.x) * 0.5f, 0.0f, 0.01f);
    EXPECT_GT(gate.width(), 2.0f);
    EXPECT_LT(gate.width(), 4.5f);
    EXPECT_GT(gate.height(), 2.0f);
    EXPECT_LT(gate.height(), 4.5f);
    EXPECT_LT(gate.hi.z - gate.lo.z, 1.0f);
}

TEST(ShippedMeshes, MissingModelIsReportedNotCrashed)
{
    ImportedModel missing("no_such_model");
    EXPECT_EQ(missing.scene, nullptr);
    EXPECT_GT(std::string(aiGetErrorString()).size(), 0u);
}
