#include "player/CourseFlight.h"

#include <utility>

#include "core/Audio.h"
#include "core/GameState.h"
#include "player/PlayerNode.h"
#include "player/RaceStep.h"
#include "player/WorldStep.h"
#include "world/CourseBuilder.h"
#include "world/LevelMap.h"
#include "world/WorldTerrain.h"

// Puts the flight's course into the process-wide records the world step
// works on, and the game's back when it goes.
class CourseFlight::Lend {
public:
    explicit Lend(CourseFlight& flight)
        : flight(flight), root(gameState.sceneRoot), terrain(gameState.terrain), flying(currentTerrain),
          player(gameState.player), raceTime(gameState.raceTime), goal(::goalPosition), audio(&Audio::current()) {
        gameState.sceneRoot = flight.root;
        gameState.terrain = flight.terrain;
        currentTerrain = flight.terrain;
        gameState.player = flight.player;
        gameState.raceTime = flight.raceTime;
        ::goalPosition = flight.goalPosition;
        std::swap(collisionRegistry, flight.registry);
        // A wing snapping on a course the player never sees is no sound of his.
        Audio::install(nullptr);
    }
    ~Lend() {
        flight.raceTime = gameState.raceTime;
        std::swap(collisionRegistry, flight.registry);
        gameState.sceneRoot = root;
        gameState.terrain = terrain;
        currentTerrain = flying;
        gameState.player = player;
        gameState.raceTime = raceTime;
        ::goalPosition = goal;
        Audio::install(audio);
    }
    Lend(const Lend&) = delete;
    Lend& operator=(const Lend&) = delete;

private:
    CourseFlight& flight;
    Node* root;
    Node* terrain;
    Node* flying;
    PlayerNode* player;
    double raceTime;
    glm::vec3 goal;
    Audio* audio;
};

CourseFlight::~CourseFlight() { delete root; }

bool CourseFlight::begin(const LevelMap& map) {
    delete root;
    root = terrain = nullptr;
    player = nullptr;
    track.clear();
    breaks = 0;
    raceTime = 0.0;
    result = Outcome::NoCourse;
    if (map.empty()) return false;

    const float extentX = float(gameState.terrainExtent[0]);
    const float extentZ = float(gameState.terrainExtent[1]);
    terrainGrid.buildPositions(map, extentX, LEVEL_HEIGHT_SCALE, extentZ);
    levelMarkers.scan(map, extentX, LEVEL_HEIGHT_SCALE, extentZ);
    goalPosition = CourseBuilder::goalOf(levelMarkers);

    terrain = new Node();
    CourseBuilder::placeTerrain(terrain);
    root = new Node();
    root->addChild(terrain);
    registry = CollisionRegistry();
    registry.setTerrain(terrain, terrainGrid.positions.data(), terrainGrid.columns, terrainGrid.rows, extentX,
                        extentZ);
    player = assemblePlayer(nullptr, PlayerParts::bare());
    root->addChild(player);

    place = start();
    autopilot.startLevel(*player, *terrain, goalPosition, registry);
    result = Outcome::Flying;
    return true;
}

glm::vec3 CourseFlight::start() const {
    if (!terrain || !player) return glm::vec3(0.0f);
    const glm::mat4 placement = terrain->translationMatrix * terrain->rotationMatrix * terrain->scaleMatrix;
    return glm::vec3(glm::inverse(placement) * glm::vec4(player->startPosition, 1.0f));
}

bool CourseFlight::advance(int steps) {
    if (over()) return true;
    if (!autopilot.planSome(long(steps) * PLAN_CELLS_PER_STEP)) return false;
    if (!autopilot.hasRoute()) {
        const glm::vec2 end = autopilot.blockedAt();
        float ground = 0.0f;
        registry.heightAt(end.x, end.y, ground);
        place = glm::vec3(end.x, ground, end.y);
        result = Outcome::NoRoute;
        return true;
    }
    static const std::vector<LightNode*> noLights;
    Lend lend(*this);
    bool leftWasBroken = player->leftWingBroken, rightWasBroken = player->rightWingBroken;
    for (int k = 0; k < steps && !over(); ++k) {
        worldStep(STEP, noLights);
        place = glm::vec3(player->poseIn(terrain)[3]);
        track.push_back(place);
        const int broke = (player->leftWingBroken && !leftWasBroken) + (player->rightWingBroken && !rightWasBroken);
        if (broke > 0 && breaks == 0) firstBreak = place;
        breaks += broke;
        leftWasBroken = player->leftWingBroken;
        rightWasBroken = player->rightWingBroken;
        // In the order the game's autopilot looks after a step.
        if (playerPastFinish()) {
            result = Outcome::Finished;
        } else if (player->stopped) {
            result = Outcome::BodyContact;
        } else if (gameState.raceTime > maxSeconds) {
            result = Outcome::OutOfTime;
        } else {
            player->controls = autopilot.steer(*player, *terrain);
        }
    }
    return over();
}

void CourseFlight::run() {
    while (!advance(600)) {
    }
}
