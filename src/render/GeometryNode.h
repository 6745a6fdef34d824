#pragma once

#include <GL/glew.h>

#include <memory>
#include <string>
#include <vector>

#include <assimp/postprocess.h>
#include <glm/glm.hpp>

#include "render/Mesh.h"
#include "render/ShaderFailure.h"
#include "scene/Node.h"

struct aiScene;
class ImportReport;

// A scene node drawn from one or more owned meshes; alpha below 1 moves it
// from the opaque pass to the transparent one.
class GeometryNode : public Node {
public:
    GeometryNode();
    // Prints "Deleting Geometry" (unless reportsDeletion is off) and deletes
    // the meshes it owns.
    ~GeometryNode() override;

    // A node that draws the meshes of `model` (a node in no scene) without
    // owning them: the model, and with it the meshes, goes with the last
    // holder. The lamps and goal posts share one import this way (ModelCache).
    static GeometryNode* sharing(const std::shared_ptr<GeometryNode>& model);

    // Called in the opaque pass of every frame.
    void draw() override;
    // Called in the transparent pass of every frame, after all opaque drawing.
    void drawTransparent() override;

    // True when the node lies wholly outside the frustum, or there is no
    // camera to see it.
    bool isCulled();
    // The active camera's projection and view times the node's world matrix;
    // needs a camera.
    glm::mat4 modelViewProjection();

    std::vector<Mesh*> meshes;  // owned, unless meshOwner is set
    float alpha = 1.0f;
    // Set on a node made by sharing(): keeps the model with the meshes alive.
    std::shared_ptr<GeometryNode> meshOwner;
    // Off for a model kept only to be shared (ModelCache): it is no object of
    // any level, and the console reports the deletion of objects.
    bool reportsDeletion = true;

private:
    void drawMesh(Mesh* mesh, float opacity);

    // A shared mesh holds the motion-blur views of whichever node drew it
    // last; a sharing node keeps its own here and lends them for its draw.
    glm::mat4 sharedFrameMvp{1}, sharedLastMvp{1};
};

// The program shared by imported meshes and cubes; made on first need.
// 0 when it cannot be built, with the reason in `failure`.
extern GLuint basicShader;
GLuint ensureBasicShader(ShaderFailure& failure);

// The makers below give nullptr, with the reason in `failure`, when the
// basic program cannot be built; what they printed up to then stays.
// Prints the import's lines, and keeps them in `report` when one is given.
GeometryNode* createGeometryNode(const aiScene* scene, ShaderFailure& failure, ImportReport* report = nullptr);
GeometryNode* createCubeNode(ShaderFailure& failure);
// Imports a model file; on failure prints "Error loading mesh %s: %s\n" and
// returns nullptr. The imported scene is released once the node is built.
// The import's lines are kept in `report` when one is given.
GeometryNode* importGeometryNode(const std::string& path, ShaderFailure& failure, ImportReport* report = nullptr);

// The flags every model import uses: triangles with smooth normals, tangents
// and uvs, cleaned of degenerate and invalid data, merged and cache-ordered.
constexpr unsigned MESH_IMPORT_FLAGS =
    aiProcess_CalcTangentSpace | aiProcess_JoinIdenticalVertices | aiProcess_Triangulate |
    aiProcess_GenSmoothNormals | aiProcess_SplitLargeMeshes | aiProcess_LimitBoneWeights |
    aiProcess_ValidateDataStructure | aiProcess_ImproveCacheLocality | aiProcess_RemoveRedundantMaterials |
    aiProcess_SortByPType | aiProcess_FindDegenerates | aiProcess_FindInvalidData | aiProcess_GenUVCoords |
    aiProcess_FindInstances | aiProcess_OptimizeMeshes | aiProcess_Debone;
static_assert(MESH_IMPORT_FLAGS == 0x4379ECB, "the import flags the shipped models were checked with");
