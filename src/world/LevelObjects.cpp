#include "world/LevelObjects.h"

#include <GL/glew.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "core/Audio.h"
#include "effects/BillboardNode.h"
#include "effects/EmitterNode.h"
#include "render/Environment.h"
#include "render/GeometryNode.h"
#include "render/LightBlinkingNode.h"
#include "render/LightNode.h"
#include "render/ModelCache.h"
#include "world/CourseBuilder.h"
#include "world/LevelMap.h"
#include "world/LevelMarkers.h"
#include "world/TerrainGrid.h"

namespace {

bool addLamp(GeometryNode* terrain, const glm::vec3& position, const glm::vec3& normal, ShaderFailure& failure) {
    // Asked for at every lamp, so each reports its model (or its failure).
    const std::shared_ptr<GeometryNode> model = ModelCache::get("Meshes/lamp.obj", failure);
    // Without its model the lamp is left out, light, hum and all.
    if (!model) return false;
    GeometryNode* lamp = GeometryNode::sharing(model);
    lamp->scaleBy(glm::vec3(5.0f));
    lamp->setPosition(position);
    // Leans with the slope it stands on.
    lamp->setRotation(normal.z * 180.0f / 3.14f, normal.y * 180.0f / 3.14f, -normal.x * 180.0f / 3.14f);
    terrain->addChild(lamp);

    LightNode* light = new LightNode(LightType::Point, position, glm::vec3(1.0f), 10.0f, 0.0f);
    LightBlinkingNode* blinker = new LightBlinkingNode(glm::vec3(1.0f), glm::vec3(0.2f), 1.0f, 0.0f);
    blinker->lights.push_back(light);
    blinker->addChild(light);
    terrain->addChild(blinker);
    std::printf("Added lamp at %f/%f/%f\n", position.x, position.y, position.z);
    return true;
}

// False when the emitter's programs cannot be built (`failure` says why).
bool addSnowEmitter(GeometryNode* terrain, const glm::vec3& position, GLuint snowflake,
                    const std::shared_ptr<const SnowGround>& ground, ShaderFailure& failure) {
    EmitterNode* emitter = new EmitterNode(position.x, LevelMarkers::emitterHeight, position.z);
    if (emitter->failure) {
        failure = emitter->failure;
        delete emitter;
        return false;
    }
    emitter->ground = ground;
    emitter->textures.push_back(snowflake);
    emitter->textureCount += 1;
    terrain->addChild(emitter);
    std::printf("Added snow emitter at %f/%f/%f\n", position.x, double(LevelMarkers::emitterHeight), position.z);
    return true;
}

}  // namespace

bool buildLevelObjects(GeometryNode* terrain, const LevelMap& map, const TerrainGrid& grid, float extentX,
                       float heightScale, float extentZ, ShaderFailure& failure) {
    // Both made before the scan, snow or not: broken billboard shaders end the
    // game at the first level, and a missing snowflake is reported at every
    // build until it is there.
    if (!buildEmitterBillboardProgram(failure)) return false;
    const GLuint snowflake = sharedSnowflakeTexture();
    environment.fogEnabled = false;

    LevelMarkers markers;
    markers.scan(map, extentX, heightScale, extentZ);
    const std::string dropped = markers.droppedReport();
    if (!dropped.empty()) std::printf("%s\n", dropped.c_str());
    std::vector<glm::vec3> humming;
    bool snow = false;
    std::shared_ptr<const SnowGround> snowGround;
    for (const LevelMarkers::Event& event : markers.events()) {
        switch (event.kind) {
            case LevelMarkers::Kind::Lamp:
                if (addLamp(terrain, event.position, grid.normal(event.row, event.column), failure))
                    humming.push_back(event.position);
                if (failure) return false;
                break;
            case LevelMarkers::Kind::Snow:
                if (!snowGround)
                    snowGround = std::make_shared<SnowGround>(grid.positions, int(grid.columns), int(grid.rows),
                                                              extentX, extentZ);
                if (!addSnowEmitter(terrain, event.position, snowflake, snowGround, failure)) return false;
                snow = true;
                break;
            case LevelMarkers::Kind::Goal:
                break;  // no event: the scan keeps the last one
            case LevelMarkers::Kind::Fog:
                std::printf("Fog enabled on %i/%i\n", int(event.column), int(event.row));
                environment.fogEnabled = true;
                break;
            case LevelMarkers::Kind::Night:
                environment.setLighting(LightingMode::Night);
                break;
        }
    }

    CourseBuilder::placeGoal(markers);
    if (markers.goalFound()) {
        std::shared_ptr<GeometryNode> model = ModelCache::get("Meshes/goalpost.obj", failure);
        if (failure) return false;
        if (model) {
            GeometryNode* post = GeometryNode::sharing(model);
            post->setPosition(goalPosition);
            post->scaleBy(glm::vec3(50.0f));
            terrain->addChild(post);
            std::printf("Added goal post at %f/%f/%f\n", goalPosition.x, goalPosition.y, goalPosition.z);
        }
    }
    // The sky follows the level's night and fog markers.
    environment.applyClearColor();
    std::fflush(stdout);
    Audio::current().levelBuilt(humming, snow);
    return true;
}
