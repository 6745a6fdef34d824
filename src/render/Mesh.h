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
// program with cached uniform locations, and the textures it samples.
class Mesh {
public:
    // Takes ownership of the new[] arrays (3 floats per vertex for
    // positions/normals/uvs, 3 indices per triangle).
    Mesh(float* positions, float* normals, uint32_t* indices, float* uvs, uint32_t vertexCount,
         uint32_t triangleCount);
    // Deletes the buffers, the vertex array and the arrays; textures stay alive.
    virtual ~Mesh();

    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // Records the program, fetches the uniform locations and uploads the
    // buffers; must be called once before the first draw.
    void setShader(GLuint program);
    // Attaches the texture of that file on the next unit, through the
    // texture cache; backslashes in the name are opened as '/'.
    void loadTexture(const char* fileName);
    void setModelMatrix(const glm::mat4& m);
    void draw(float alpha);

    // Set before setShader to hand the triangles to GL last first; the
    // indices array keeps its order. For a mesh built from its far end
    // (the terrain), this draws near ground first so depth testing skips
    // the hidden fragments behind it.
    bool uploadReversed = false;
    // Set before setShader to draw in tiles: triangle numbers (into indices)
    // grouped tile by tile, in the order they go to GL (it replaces
    // uploadReversed). setShader turns it into `tiles` and empties it. While
    // frustum culling is on, only the tiles that can reach the picture are
    // drawn; the others could not have given a pixel.
    std::vector<std::vector<uint32_t>> tileTriangles;
    std::vector<MeshTile> tiles;
    float boundingExtent = 0;
    float* positions;
    float* normals;
    uint32_t* indices;
    float* uvs;
    GLuint positionBuffer = 0, normalBuffer = 0, indexBuffer = 0, uvBuffer = 0;
    uint32_t vertexCount, triangleCount;
    GLuint program = 0;
    // Set for a program made for this mesh alone (the terrain's, built anew
    // with every level): it then goes with the mesh instead of piling up.
    bool ownsProgram = false;
    GLuint vao = 0;
    GLint projectionMatrixLocation = -1, transformationMatrixLocation = -1, viewMatrixLocation = -1,
          normalMatrixLocation = -1, lightCountLocation = -1, lightTypeLocation = -1, lightPositionLocation = -1,
          lightDirectionLocation = -1, lightIntensityLocation = -1, lightRangeLocation = -1,
          lightAngleLocation = -1, textureCountLocation = -1;
    GLint iMvpLocation = -1, lastMvpLocation = -1, alphaLocation = -1, fogEnabledLocation = -1,
          fogColorLocation = -1, fogRangeLocation = -1, fogDensityLocation = -1, cameraWorldPosLocation = -1;
    uint32_t textureCount = 0;
    std::vector<GLuint> textures;
    glm::mat4 modelMatrix{1};
    glm::mat3 normalMatrix{1};
    glm::mat4 frameMvp{1}, inverseMvp{1}, lastMvp{1};

protected:
    // Called by draw once the program, uniforms and textures are set: hands
    // the triangles to GL (the tiles in view while culling is on, else all).
    virtual void drawTriangles(const glm::mat4& mvp);

private:
    void uploadIndices();
    void drawVisibleTiles(const glm::mat4& mvp);

    // Draw ranges of the visible tiles, kept to avoid allocating each frame.
    std::vector<GLsizei> rangeCounts;
    std::vector<const void*> rangeOffsets;
};

// File name (as given) to GL texture; only ever grows.
extern std::map<std::string, GLuint> textureCache;

// Loads a PNG into a new mip-mapped RGBA texture bound on the active unit;
// a file that cannot be read or decoded gives a 0x0 texture. Backslashes in
// the name are read as '/'.
GLuint uploadPngTexture(const std::string& fileName);
