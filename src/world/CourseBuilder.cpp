#include "world/CourseBuilder.h"

#include <cstdio>

#include "core/GameState.h"
#include "scene/CollisionRegistry.h"
#include "scene/Node.h"
#include "world/LevelMap.h"
#include "world/LevelMarkers.h"
#include "world/WorldTerrain.h"

std::string levelMapFileName(int level) { return "Maps/map" + std::to_string(level) + ".png"; }

std::string levelLightMapFileName(int level) { return "Maps/map" + std::to_string(level) + "Lightmap.png"; }

bool CourseBuilder::readGrid(const std::string& mapName, float extentX, float heightScale, float extentZ,
                             LevelMap& map, TerrainGrid& grid) {
    if (!map.load(mapName)) {
        // A map that decodes but is too small was not lodepng's failure.
        if (map.error().find("cannot be") != std::string::npos)
            std::printf("lodepng failed to load image: %s\n", mapName.c_str());
        std::printf("Cannot build the level: %s\n", map.error().c_str());
        std::fflush(stdout);
        forgetTerrain();
        return false;
    }
    grid.build(map, extentX, heightScale, extentZ);
    return true;
}

void CourseBuilder::placeTerrain(Node* terrain) {
    // The first step measures the player against the terrain's placement
    // before any tree update has filled its caches: never as the identity.
    terrain->placeAt(glm::vec3(0.0f, -200.0f, 1000.0f), glm::vec3(15.0f, 0.0f, 0.0f));
}

void CourseBuilder::placeGoal(const LevelMarkers& markers) { goalPosition = goalOf(markers); }

glm::vec3 CourseBuilder::goalOf(const LevelMarkers& markers) {
    return markers.goalFound() ? markers.goalPosition() : LevelMarkers::defaultGoal;
}

bool CourseBuilder::build(int level) {
    const float extentX = float(gameState.terrainExtent[0]);
    const float extentZ = float(gameState.terrainExtent[1]);
    LevelMap map;
    gameState.sceneRoot = nullptr;
    if (!readGrid(levelMapFileName(level), extentX, LEVEL_HEIGHT_SCALE, extentZ, map, grid)) return false;
    LevelMarkers markers;
    markers.scan(map, extentX, LEVEL_HEIGHT_SCALE, extentZ);
    placeGoal(markers);

    Node* terrain = new Node();
    setTerrain(terrain, grid.positions.data(), grid.columns, grid.rows, extentX, extentZ);
    placeTerrain(terrain);
    gameState.sceneRoot = new Node();
    gameState.sceneRoot->addChild(terrain);
    return true;
}

CourseBuilder::~CourseBuilder() {
    if (collisionRegistry.vertices == grid.positions.data()) forgetTerrain();
}
