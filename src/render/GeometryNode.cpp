#include "render/GeometryNode.h"

#include <algorithm>
#include <cstdio>

#include <assimp/cimport.h>
#include <assimp/material.h>
#include <assimp/scene.h>

#include "core/RenderSettings.h"
#include "core/SafeFile.h"
#include "render/ImportReport.h"
#include "render/RenderResources.h"
#include "render/ShaderLoader.h"
#include "scene/CameraNode.h"

GLuint basicShader = 0;

namespace {

// One program for every model of the run.
[[maybe_unused]] const bool basicShaderRegistered = RenderResources::addProgram(&basicShader);

}  // namespace

GLuint ensureBasicShader(ShaderFailure& failure) {
    if (basicShader == 0) basicShader = loadBasicProgram("Shaders/basicShader.frag", failure);
    return basicShader;
}

GeometryNode::GeometryNode() = default;

GeometryNode::~GeometryNode() {
    if (reportsDeletion) printf("Deleting Geometry\n");
    if (!meshOwner) {
        for (Mesh* mesh : meshes) delete mesh;
    }
    meshes.clear();
}

GeometryNode* GeometryNode::sharing(const std::shared_ptr<GeometryNode>& model) {
    GeometryNode* node = new GeometryNode();
    node->meshes = model->meshes;
    node->meshOwner = model;
    // The first motion-blur frame compares against the view at creation, as
    // a mesh of its own would.
    if (activeCamera) node->sharedLastMvp = activeCamera->projectionMatrix * activeCamera->getInverseWorldMatrix();
    return node;
}

void GeometryNode::drawMesh(Mesh* mesh, float opacity) {
    if (!meshOwner) {
        mesh->draw(opacity);
        return;
    }
    mesh->frameMvp = sharedFrameMvp;
    mesh->lastMvp = sharedLastMvp;
    mesh->draw(opacity);
    sharedLastMvp = mesh->lastMvp;
}

void GeometryNode::draw() {
    Node::draw();
    if (alpha < 1.0f || isCulled()) return;
    const glm::mat4 world = getWorldMatrix();
    const glm::mat4 mvp = modelViewProjection();
    const glm::mat4 inverseMvp = glm::inverse(mvp);
    sharedFrameMvp = mvp;
    for (Mesh* mesh : meshes) {
        mesh->setModelMatrix(world);
        mesh->frameMvp = mvp;
        mesh->inverseMvp = inverseMvp;
        drawMesh(mesh, 1.0f);
    }
}

void GeometryNode::drawTransparent() {
    Node::drawTransparent();
    if (alpha >= 1.0f || isCulled()) return;
    const glm::mat4 world = getWorldMatrix();
    for (Mesh* mesh : meshes) {
        mesh->setModelMatrix(world);
        drawMesh(mesh, alpha);
    }
}

bool GeometryNode::isCulled() {
    // Without a camera there is no view to draw into.
    if (!activeCamera) return true;
    // A mesh drawn in tiles tests each tile against the picture itself. The
    // node's own test would drop the whole terrain seen from near a corner
    // (the largest coordinate is no radius), or from beyond the far plane.
    bool tiled = false;
    for (const Mesh* mesh : meshes) tiled = tiled || !mesh->tiles().empty();
    if (!RenderSettings::instance().frustumCulling || tiled) return false;
    ensureFrustum();
    float radius = 0;
    for (const Mesh* mesh : meshes) {
        if (mesh->boundingExtent > radius) radius = mesh->boundingExtent;
    }
    // The extent is in the model's own units: the goal post, scaled 50
    // times, would vanish while most of it was still in view.
    const glm::mat4& world = getWorldMatrix();
    const float scale = std::max({glm::length(glm::vec3(world[0])), glm::length(glm::vec3(world[1])),
                                  glm::length(glm::vec3(world[2]))});
    return sphereOutsideFrustum(glm::vec3(world[3]), radius * scale);
}

glm::mat4 GeometryNode::modelViewProjection() {
    return activeCamera->projectionMatrix * activeCamera->getInverseWorldMatrix() * getWorldMatrix();
}

namespace {

// Null when the mesh holds no triangles (the importer splits degenerate faces
// into separate point or line meshes, which have no normals), or when the
// basic program cannot be built (then `failure` says why).
Mesh* createMesh(const aiMesh* source, const aiScene* scene, ImportReport& report, ShaderFailure& failure) {
    if (!(source->mPrimitiveTypes & aiPrimitiveType_TRIANGLE)) {
        report.line("Skipping mesh without triangles (" + std::to_string(source->mNumFaces) + " faces)");
        return nullptr;
    }
    report.line("Vertices: " + std::to_string(static_cast<int>(source->mNumVertices)));
    report.line("Indices: " + std::to_string(static_cast<int>(source->mNumFaces)));

    const uint32_t vertexCount = source->mNumVertices;
    const uint32_t faceCount = source->mNumFaces;
    float* positions = new float[3 * vertexCount];
    float* normals = new float[3 * vertexCount];
    float* uvs = new float[3 * vertexCount];
    uint32_t* indices = new uint32_t[3 * faceCount];
    const bool hasNormals = source->mNormals != nullptr;
    const bool hasUvs = source->mTextureCoords[0] != nullptr;
    for (uint32_t i = 0; i < vertexCount; ++i) {
        const aiVector3D& p = source->mVertices[i];
        positions[3 * i] = p.x;
        positions[3 * i + 1] = p.y;
        positions[3 * i + 2] = p.z;
        aiVector3D n = hasNormals ? source->mNormals[i] : aiVector3D(0, 0, 0);
        normals[3 * i] = n.x;
        normals[3 * i + 1] = n.y;
        normals[3 * i + 2] = n.z;
        aiVector3D uv = hasUvs ? source->mTextureCoords[0][i] : aiVector3D(0, 0, 0);
        uvs[3 * i] = uv.x;
        uvs[3 * i + 1] = uv.y;
        uvs[3 * i + 2] = 0;
    }
    for (uint32_t f = 0; f < faceCount; ++f) {
        const aiFace& face = source->mFaces[f];
        if (face.mNumIndices != 3)
            report.line("Wrong # of indices: " + std::to_string(static_cast<int>(face.mNumIndices)));
        // A short face repeats its last index rather than reading past its list.
        for (uint32_t k = 0; k < 3; ++k) {
            uint32_t index = 0;
            if (face.mNumIndices > 0) index = face.mIndices[k < face.mNumIndices ? k : face.mNumIndices - 1];
            indices[3 * f + k] = index;
        }
    }

    Mesh* mesh = new Mesh(positions, normals, indices, uvs, vertexCount, faceCount);
    mesh->upload();
    const GLuint program = ensureBasicShader(failure);
    if (program == 0) {
        delete mesh;
        return nullptr;
    }
    mesh->setShader(program);

    if (scene->mMaterials && source->mMaterialIndex < scene->mNumMaterials) {
        const aiMaterial* material = scene->mMaterials[source->mMaterialIndex];
        const unsigned count = aiGetMaterialTextureCount(material, aiTextureType_DIFFUSE);
        for (unsigned k = 0; k < count; ++k) {
            aiString path;
            if (aiGetMaterialTexture(material, aiTextureType_DIFFUSE, k, &path, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr) != AI_SUCCESS) {
                continue;
            }
            const std::string name = std::string("Textures\\") + path.C_Str();
            report.texture(path.C_Str(), name);
            mesh->loadTexture(name.c_str());
        }
    }
    return mesh;
}

}  // namespace

GeometryNode* createGeometryNode(const aiScene* scene, ShaderFailure& failure, ImportReport* report) {
    ImportReport unkept;
    ImportReport& lines = report ? *report : unkept;
    GeometryNode* node = new GeometryNode();
    lines.line("Meshes: " + std::to_string(static_cast<int>(scene->mNumMeshes)) +
               ", Mats: " + std::to_string(static_cast<int>(scene->mNumMaterials)));
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
        Mesh* mesh = createMesh(scene->mMeshes[i], scene, lines, failure);
        if (failure) {
            // Never handed out: its deletion is no news.
            node->reportsDeletion = false;
            delete node;
            return nullptr;
        }
        if (mesh) node->meshes.push_back(mesh);
    }
    return node;
}

GeometryNode* createCubeNode(ShaderFailure& failure) {
    // Normals point out of each face so the lit side is the one facing the light.
    static const float cubePositions[72] = {
        -0.5f, -0.5f, -0.5f, 0.5f,  -0.5f, -0.5f, -0.5f, 0.5f,  -0.5f, 0.5f,  0.5f,  -0.5f,  // back
        -0.5f, -0.5f, 0.5f,  0.5f,  -0.5f, 0.5f,  -0.5f, 0.5f,  0.5f,  0.5f,  0.5f,  0.5f,   // front
        -0.5f, -0.5f, -0.5f, 0.5f,  -0.5f, -0.5f, -0.5f, -0.5f, 0.5f,  0.5f,  -0.5f, 0.5f,   // bottom
        -0.5f, 0.5f,  -0.5f, 0.5f,  0.5f,  -0.5f, -0.5f, 0.5f,  0.5f,  0.5f,  0.5f,  0.5f,   // top
        -0.5f, -0.5f, -0.5f, -0.5f, 0.5f,  -0.5f, -0.5f, -0.5f, 0.5f,  -0.5f, 0.5f,  0.5f,   // left
        0.5f,  -0.5f, -0.5f, 0.5f,  0.5f,  -0.5f, 0.5f,  -0.5f, 0.5f,  0.5f,  0.5f,  0.5f,   // right
    };
    static const float faceNormals[6][3] = {{0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {0, 1, 0}, {-1, 0, 0}, {1, 0, 0}};
    static const uint32_t cubeIndices[36] = {0,  2,  1,  1,  2,  3,  4,  5,  6,  5,  7,  6,  8,  9,  10, 9,  11, 10,
                                             12, 14, 13, 13, 14, 15, 16, 18, 17, 17, 18, 19, 20, 21, 22, 21, 23, 22};
    float* positions = new float[72];
    float* normals = new float[72];
    float* uvs = new float[72];
    uint32_t* indices = new uint32_t[36];
    for (int i = 0; i < 72; ++i) {
        positions[i] = cubePositions[i];
        normals[i] = faceNormals[i / 12][i % 3];
        uvs[i] = 0;
    }
    for (int i = 0; i < 36; ++i) indices[i] = cubeIndices[i];

    Mesh* mesh = new Mesh(positions, normals, indices, uvs, 24, 12);
    mesh->upload();
    const GLuint program = ensureBasicShader(failure);
    if (program == 0) {
        delete mesh;
        return nullptr;
    }
    mesh->setShader(program);
    GeometryNode* node = new GeometryNode();
    node->meshes.push_back(mesh);
    return node;
}

GeometryNode* importGeometryNode(const std::string& path, ShaderFailure& failure, ImportReport* report) {
    // The importer would wait for ever on a FIFO; only a regular file goes
    // in. A missing one is left to the importer to report.
    FileRead opened = FileRead::Done;
    if (std::FILE* file = openRegularFile(path, &opened)) std::fclose(file);
    if (opened == FileRead::NotRegular) {
        printf("Error loading mesh %s: %s\n", path.c_str(), fileReadError(opened).c_str());
        return nullptr;
    }
    const aiScene* scene = aiImportFile(path.c_str(), MESH_IMPORT_FLAGS);
    if (!scene) {
        printf("Error loading mesh %s: %s\n", path.c_str(), aiGetErrorString());
        return nullptr;
    }
    GeometryNode* node = createGeometryNode(scene, failure, report);
    // The node holds copies of everything it needs.
    aiReleaseImport(scene);
    return node;
}
