#pragma once

#include <vector>

#include <glm/glm.hpp>

#include "player/Autopilot.h"
#include "scene/CollisionRegistry.h"
#include "world/LevelMarkers.h"
#include "world/TerrainGrid.h"

class LevelMap;
class Node;
class PlayerNode;

// A course flown by the autopilot without GL or a window: the map's terrain
// as a bare node placed as the game places it, its height grid and goal, the
// bare figure, and the game's own world step at 60 steps a second, so that
// the time it finishes in is the autopilot's par time.
//
// The world step works on the process-wide records (game state, current
// terrain, collision registry, goal); the flight lends them its own course
// only while advance() runs and gives the game's back afterwards, silencing
// the sound meanwhile. A game can so work a course out a few steps a frame
// while its own level plays.
class CourseFlight {
public:
    enum class Outcome {
        Flying,
        Finished,     // past the finish line: time() is the par time
        NoCourse,     // the map was empty
        NoRoute,      // the goal is walled off: where() is where the way ends
        BodyContact,  // the body hit the ground at where()
        OutOfTime,    // still flying after maxSeconds, at where()
    };

    // The game's fixed simulation step.
    static constexpr double STEP = 1.0 / 60.0;
    // The route is planned first, in slices: a step of advance()'s budget
    // buys this many cells of the search, about as long as a step takes.
    static constexpr long PLAN_CELLS_PER_STEP = 8;

    CourseFlight() = default;
    ~CourseFlight();
    CourseFlight(const CourseFlight&) = delete;
    CourseFlight& operator=(const CourseFlight&) = delete;

    // Sets the course up from a decoded map at the game's terrain extent and
    // height scale: its height grid, markers, goal and figure. False for an
    // empty map, which has nothing to fly.
    bool begin(const LevelMap& map);
    // Works for about `steps` steps: plans the route first (NoRoute when the
    // goal is walled off), then flies at most `steps` steps per call. True
    // once the flight is over.
    bool advance(int steps);
    // Flies to the end.
    void run();

    bool over() const { return result != Outcome::Flying; }
    Outcome outcome() const { return result; }
    // The race clock: the par time once finished.
    double time() const { return raceTime; }
    // Terrain space: where the flight is, or ended.
    glm::vec3 where() const { return place; }
    // Terrain-space positions after every step.
    const std::vector<glm::vec3>& path() const { return track; }
    int wingBreaks() const { return breaks; }
    // Where the first wing broke off (terrain space), when one did.
    glm::vec3 firstWingBreak() const { return firstBreak; }

    const LevelMarkers& markers() const { return levelMarkers; }
    // The course's vertex positions (the grid's other arrays stay empty).
    const TerrainGrid& grid() const { return terrainGrid; }
    // The course's heights as the collision test sees them.
    const CollisionRegistry& heights() const { return registry; }
    const Autopilot& pilot() const { return autopilot; }
    // Terrain space: the player's start and the goal.
    glm::vec3 start() const;
    glm::vec3 goal() const { return goalPosition; }

    // A flight that has not finished by then never will.
    double maxSeconds = 180.0;

private:
    class Lend;
    void finishStep();

    TerrainGrid terrainGrid;
    LevelMarkers levelMarkers;
    CollisionRegistry registry;
    Autopilot autopilot;
    Node* root = nullptr;
    Node* terrain = nullptr;
    PlayerNode* player = nullptr;
    glm::vec3 goalPosition{0.0f};
    double raceTime = 0.0;
    Outcome result = Outcome::NoCourse;
    glm::vec3 place{0.0f};
    std::vector<glm::vec3> track;
    int breaks = 0;
    glm::vec3 firstBreak{0.0f};
};
