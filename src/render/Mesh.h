#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <glm/glm.hpp>

// A run of triangles in a mesh's GL index buffer with a sphere around them
// in the mesh's own space, so that a run wholly out of view can be skipped.
struct MeshTile {
    uint32_t firstTriangle = 0;
    uint32_t triangleCount = 0;
    glm::vec3 center{0};
    float radius = 0;
};

// One drawable triangle mesh: its vertex arrays, GL buffers, vertex array,
// program and the textures it samples. The geometry goes to GL with one of
// the upload calls (once) and the program is chosen with setShader, in
// either order; both must have happened before the first draw.
class Mesh {
public:
    // Takes ownership of the new[] arrays (3 floats per vertex for
    // positions/normals/uvs, 3 indices per triangle).
    Mesh(float* positions, float* normals, uint32_t* indices, float* uvs, uint32_t vertexCount,
         uint32_t triangleCount);
    // Deletes the buffers, the vertex array and the arrays; textures stay alive.
    virtual ~Mesh();

    static constexpr int MAX_TEXTURE_UNIFORMS = 8;
    // Uniform locations of a program, looked up once.
    struct Uniforms {
        GLint projectionMatrix = -1, transformationMatrix = -1, viewMatrix = -1, normalMatrix = -1;
        GLint lightCount = -1, lightType = -1, lightPosition = -1, lightDirection = -1, lightIntensity = -1,
              lightRange = -1, lightAngle = -1;
        GLint textureCount = -1, iMvp = -1, lastMvp = -1, alpha = -1;
        GLint fogEnabled = -1, fogColor = -1, fogRange = -1, fogDensity = -1, cameraWorldPos = -1;
        GLint textures[MAX_TEXTURE_UNIFORMS] = {-1, -1, -1, -1, -1, -1, -1, -1};
    };
    static Uniforms locateUniforms(GLuint program);

    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // Hands the arrays to GL, the triangles in the order the indices hold them.
    void upload();
    // The same, but the triangles go to GL last first; the indices array keeps
    // its order. For a mesh built from its far end (the terrain), this draws
    // near ground first so depth testing skips the hidden fragments behind it.
    void uploadReversed();
    // The same, drawn in tiles: triangle numbers (into indices) grouped tile by
    // tile, in the order they go to GL. While frustum culling is on, only the
    // tiles that can reach the picture are drawn; the others could not have
    // given a pixel. A table that does not hold every triangle exactly once is
    // reported and the mesh is uploaded untiled.
    void uploadTiled(const std::vector<std::vector<uint32_t>>& tileTriangles);

    // Chooses the program and looks up its uniforms once. The program is
    // shared: it outlives the mesh.
    void setShader(GLuint program);
    // As setShader, for a program made for this mesh alone (the terrain's,
    // built anew with every level): it goes with the mesh instead of piling up.
    void setOwnShader(GLuint program);

    // Attaches the texture of that file on the next unit, through the
    // texture cache; backslashes in the name are opened as '/'.
    void loadTexture(const char* fileName);
    // Attaches a texture made elsewhere on the next unit; the mesh does not
    // delete it.
    void addTexture(GLuint texture);
    const std::vector<GLuint>& textures() const { return textureIds; }
    uint32_t textureCount() const { return static_cast<uint32_t>(textureIds.size()); }

    void setModelMatrix(const glm::mat4& m);
    // Uploads the camera, model, light, fog and motion-blur uniforms and draws.
    void draw(float alpha);

    const float* positions() const { return positionArray; }
    const float* normals() const { return normalArray; }
    const uint32_t* indices() const { return indexArray; }
    const float* uvs() const { return uvArray; }
    uint32_t vertexCount() const { return vertices; }
    uint32_t triangleCount() const { return triangles; }
    // Where vertex v of the arrays sits in the GL vertex buffers.
    uint32_t bufferSlot(uint32_t v) const { return bufferSlots.empty() ? v : bufferSlots[v]; }
    // Empty unless uploaded in tiles.
    const std::vector<MeshTile>& tiles() const { return tileList; }

    GLuint program() const { return programId; }
    struct Buffers {
        GLuint position = 0, normal = 0, index = 0, uv = 0, vertexArray = 0;
    };
    const Buffers& buffers() const { return buffer; }

    // The largest coordinate of any vertex, found at construction: a radius
    // around the mesh's origin that holds it all.
    float boundingExtent = 0;
    glm::mat4 modelMatrix{1};
    glm::mat3 normalMatrix{1};
    // Motion blur: this frame's view of the mesh, its inverse, and the view
    // it was last drawn with.
    glm::mat4 frameMvp{1}, inverseMvp{1}, lastMvp{1};

protected:
    // Set before the upload to place the vertices in the GL buffers in
    // another order than the arrays': entry v is the place of vertex v, each
    // place taken once. The uploaded indices follow; the arrays keep theirs.
    std::vector<uint32_t> bufferSlots;

    // From drawTriangles: goes on with `program`, a variant of the mesh's own
    // program with the same inputs, after uploading this draw's uniforms to it
    // but the lights, which the caller uploads (uploadLights).
    void switchProgram(GLuint program, const Uniforms& locations);
    // The same, back to the mesh's own program.
    void switchToOwnProgram() { switchProgram(programId, uniforms); }

    // Called by draw once the program, uniforms and textures are set: hands
    // the triangles to GL (the tiles in the frame's picture while culling is
    // on, else all).
    virtual void drawTriangles();
    // Uploads the registry's lights in `indices` only (see uploadLightSubset).
    void uploadLights(const std::vector<int>& indices);

private:
    // Fills the vertex and index buffers, the triangles in the given order.
    void uploadBuffers(const uint32_t* orderedIndices);
    // Points the vertex array at the buffers, once both they and the program exist.
    void bindAttributes();
    void drawVisibleTiles();
    // The camera, model, fog and texture uniforms of this draw, but not the
    // lights.
    void uploadFrameUniforms(const Uniforms& locations, GLuint program);

    float* positionArray;
    float* normalArray;
    uint32_t* indexArray;
    float* uvArray;
    uint32_t vertices, triangles;
    std::vector<MeshTile> tileList;
    Buffers buffer;
    GLuint programId = 0;
    bool ownsProgram = false;
    Uniforms uniforms;
    // Those of the program the draw in progress uses, and its opacity.
    const Uniforms* activeUniforms = &uniforms;
    float frameOpacity = 1.0f;
    std::vector<GLuint> textureIds;
    std::vector<int> lightsHere;  // reused each draw

    // Draw ranges of the visible tiles, kept to avoid allocating each frame.
    std::vector<GLsizei> rangeCounts;
    std::vector<const void*> rangeOffsets;
};

// File name (as given) to GL texture; only ever grows.
extern std::map<std::string, GLuint> textureCache;

// The texture of that file from textureCache, loaded on texture unit `unit`
// when it is not there yet; prints whether it was found.
GLuint cachedTexture(const std::string& fileName, uint32_t unit);

// Loads a PNG into a new mip-mapped RGBA texture bound on the active unit;
// a file that cannot be read or decoded gives a 0x0 texture. Backslashes in
// the name are read as '/'.
GLuint uploadPngTexture(const std::string& fileName);
