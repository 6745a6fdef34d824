#include "world/LevelLoader.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include <lodepng.h>

#include "core/Console.h"
#include "core/GameState.h"
#include "core/SafeFile.h"
#include "render/Environment.h"
#include "render/GeometryNode.h"
#include "render/Mesh.h"
#include "render/PlainTexture.h"
#include "render/PostProcessing.h"
#include "render/ShaderLoader.h"
#include "world/TerrainMesh.h"
#include "world/LevelMap.h"
#include "world/LevelObjects.h"
#include "world/TerrainGrid.h"
#include "world/TerrainTiles.h"

namespace {

// The bake reads exactly this many pixels of the map.
constexpr unsigned BAKE_SIZE = 512;
// 256 tiles on a 512 x 512 map: few enough draw ranges, small enough that
// little ground beside the view is drawn.
constexpr uint32_t TERRAIN_TILE_CELLS = 32;

template <typename T>
T* copyToArray(const std::vector<T>& values) {
    T* array = new T[values.size()];
    std::memcpy(array, values.data(), values.size() * sizeof(T));
    return array;
}

// Only a regular file counts: a FIFO named like a light map would block.
bool fileReadable(const std::string& name) {
    FILE* file = openRegularFile(name);
    if (!file) return false;
    std::fclose(file);
    return true;
}

// A light map that exists but does not decode would give a 0 x 0 texture and
// black ground. Once cached, the file decoded before.
bool lightMapUsable(const std::string& name) {
    if (textureCache.count(name)) return true;
    std::vector<unsigned char> file, image;
    unsigned width = 0, height = 0;
    return readRegularFile(name, file) == FileRead::Done && lodepng::decode(image, width, height, file, LCT_RGBA, 8) == 0;
}

GeometryNode* buildTerrainOrThrow(const std::string& mapName, const std::string& lightMapName, float x,
                                  float heightScale, float z, const LevelMap* decoded, ShaderFailure& failure);

// The map read from `mapName`, or the one already decoded, built into a
// terrain; a shader failure ends the game here, out of memory gives a line.
GeometryNode* buildTerrainFrom(const std::string& mapName, const std::string& lightMapName, float x, float heightScale,
                               float z, const LevelMap* decoded);

void silenceDeletion(Node* node) {
    if (GeometryNode* geometry = dynamic_cast<GeometryNode*>(node)) geometry->reportsDeletion = false;
    for (Node* child : node->children) silenceDeletion(child);
}

// A half-built level whose programs failed: the game ends with the reason as
// the last thing said, not under "Deleting Geometry" lines.
GeometryNode* dropQuietly(std::unique_ptr<GeometryNode>& terrain) {
    silenceDeletion(terrain.get());
    terrain.reset();
    return nullptr;
}

// An own course: its map, and no light map of its own. One console line
// when the map cannot be used; the caller then flies another level.
GeometryNode* buildOwnCourse(const GameState::OwnCourse& course, float x, float heightScale, float z) {
    LevelMap map;
    if (!map.load(course.map)) {
        std::printf("Course %s cannot be flown: %s\n", course.name.c_str(), map.error().c_str());
        std::fflush(stdout);
        forgetTerrain();
        return nullptr;
    }
    return buildTerrainFrom(course.map, "", x, heightScale, z, &map);
}

}  // namespace

GeometryNode* loadLevel() {
    const int level = gameState.levelNumber;
    const float x = float(gameState.terrainExtent[0]);
    const float z = float(gameState.terrainExtent[1]);
    GeometryNode* terrain =
        level > LEVEL_COUNT
            ? buildOwnCourse(gameState.ownCourse, x, LEVEL_HEIGHT_SCALE, z)
            : buildTerrain(levelMapFileName(level), levelLightMapFileName(level), x, LEVEL_HEIGHT_SCALE, z);
    if (!terrain) {
        gameState.sceneRoot = nullptr;
        return nullptr;
    }
    CourseBuilder::placeTerrain(terrain);
    Node* root = new Node();
    root->addChild(terrain);
    gameState.sceneRoot = root;
    return terrain;
}

GeometryNode* buildTerrain(const std::string& mapName, const std::string& lightMapName, float x, float heightScale,
                           float z) {
    return buildTerrainFrom(mapName, lightMapName, x, heightScale, z, nullptr);
}

namespace {

GeometryNode* buildTerrainFrom(const std::string& mapName, const std::string& lightMapName, float x, float heightScale,
                               float z, const LevelMap* decoded) {
    ShaderFailure failure;
    try {
        GeometryNode* terrain = buildTerrainOrThrow(mapName, lightMapName, x, heightScale, z, decoded, failure);
        // A level without its programs cannot be flown: the game ends here.
        if (failure) console::fail(failure.lines());
        return terrain;
    } catch (const std::bad_alloc&) {
        std::printf("Cannot build the level: %s: out of memory\n", mapName.c_str());
        std::fflush(stdout);
        forgetTerrain();
        return nullptr;
    }
}

GeometryNode* buildTerrainOrThrow(const std::string& mapName, const std::string& lightMapName, float x,
                                  float heightScale, float z, const LevelMap* decoded, ShaderFailure& failure) {
    LevelMap read;
    TerrainGrid grid;
    if (decoded) {
        grid.build(*decoded, x, heightScale, z);
    } else if (!CourseBuilder::readGrid(mapName, x, heightScale, z, read, grid)) {
        return nullptr;
    }
    const LevelMap& map = decoded ? *decoded : read;

    // Held here until the terrain node takes them, so that running out of
    // memory half-way leaks nothing.
    std::unique_ptr<float[]> positions(copyToArray(grid.positions));
    std::unique_ptr<float[]> normals(copyToArray(grid.normals));
    std::unique_ptr<uint32_t[]> indices(copyToArray(grid.indices));
    std::unique_ptr<float[]> uvs(copyToArray(grid.uvs));
    std::unique_ptr<GeometryNode> terrain(new GeometryNode());
    Mesh* mesh = new TerrainMesh(positions.release(), normals.release(), indices.release(), uvs.release(),
                                 grid.vertexCount(), grid.triangleCount(), grid.columns, grid.rows);
    terrain->meshes.push_back(mesh);

    GLuint program = loadBasicProgram("Shaders/terrainShader.frag", failure);
    if (failure) return dropQuietly(terrain);
    std::printf("ShP2: %i\n", int(program));
    if (!TerrainMesh::buildVariants(program, failure)) {
        glDeleteProgram(program);
        return dropQuietly(terrain);
    }
    // Drawn in tiles so that the ground out of view costs nothing.
    mesh->uploadTiled(terrainTiles(grid.columns, grid.rows, TERRAIN_TILE_CELLS));
    mesh->setOwnShader(program);
    mesh->loadTexture("Textures/snow.png");
    mesh->loadTexture("Textures/green02.png");

    // Day lighting first: the bake shades the map with the default lights.
    environment.setLighting(LightingMode::Day);

    bool ownLightMap = false;
    if (!lightMapName.empty() && fileReadable(lightMapName)) {
        ownLightMap = lightMapUsable(lightMapName);
        if (!ownLightMap) std::printf("%s cannot be decoded: the light map is baked instead\n", lightMapName.c_str());
    }
    if (ownLightMap) {
        mesh->loadTexture(lightMapName.c_str());
    } else if (map.width() == BAKE_SIZE && map.height() == BAKE_SIZE) {
        mesh->addTexture(bakeLightMap(map.rgb().data()));
    } else {
        std::printf("%s has no light map and is %ux%u pixels, not %ux%u: no light map baked, the terrain is lit "
                    "evenly\n",
                    mapName.c_str(), map.width(), map.height(), BAKE_SIZE, BAKE_SIZE);
        mesh->addTexture(plainWhiteTexture());
    }

    if (!buildLevelObjects(terrain.get(), map, grid, x, heightScale, z, failure)) return dropQuietly(terrain);

    setTerrain(terrain.get(), mesh->positions(), grid.columns, grid.rows, x, z);
    return terrain.release();
}

}  // namespace
