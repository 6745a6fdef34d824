#pragma once

#include <string>
#include <vector>

#include <glm/vec3.hpp>

class LevelMap;

// The marker colours of a level map, read without GL. A pixel's green above
// 250 is a lamp; its blue is at most one of: 180 snow, above 250 the goal,
// 230 fog, 240 night (the values below, which the generator writes). The GL
// level builder walks events() in order and creates the objects; nothing here
// touches the scene. Goal pixels are counted but are no events: they only
// move goalPosition().
class LevelMarkers
{
public:
    enum class Kind { Lamp, Snow, Goal, Fog, Night };

    struct Event
    {
        Kind kind;
        unsigned row;      // vertex row i (= image row)
        unsigned column;   // vertex column j (= image column w-1-j)
        glm::vec3 position; // vertex position in terrain space (a snow emitter
                            // itself hangs at height emitterHeight above x, z)
    };

    // Green and the goal's blue count from above `bright`, so the generator
    // writes full 255; the other blues must match exactly.
    static constexpr unsigned char bright = 250;
    static constexpr unsigned char lampGreen = 255;
    static constexpr unsigned char goalBlue = 255;
    static constexpr unsigned char snowBlue = 180;
    static constexpr unsigned char fogBlue = 230;
    static constexpr unsigned char nightBlue = 240;

    static constexpr float emitterHeight = 250.0f;
    // Where the goal stands when a map has none: far beyond the course.
    static const glm::vec3 defaultGoal;

    static bool isLamp(unsigned char green) { return green > bright; }
    // The blue marker of a pixel, tested in the game's order; false for none.
    static bool blueMarker(unsigned char blue, Kind& kind);

    // How many markers of a kind a level places; the scan drops the rest.
    // Each lamp is a model and a light, each snow cloud a particle system,
    // each fog marker a console line: a map that is no level map (a grey
    // picture has green and blue equal to red) could otherwise ask for
    // hundreds of thousands. No hand-painted course comes near. The goal is
    // one position whatever its pixels, so a gate painted with a brush
    // places it at its last pixel: it has no cap.
    static constexpr unsigned noCap = ~0u;
    static unsigned cap(Kind kind)
    {
        switch (kind) {
        case Kind::Lamp: return 1024;
        case Kind::Snow: return 64;
        case Kind::Goal: return noCap;
        default: return 16;
        }
    }

    // Scans vertices row by row, columns within a row; per vertex the lamp
    // first, then at most one blue marker.
    void scan(const LevelMap& map, float extentX, float heightScale, float extentZ);

    const std::vector<Event>& events() const { return found; }
    unsigned count(Kind kind) const { return kept[int(kind)]; }
    unsigned droppedCount(Kind kind) const { return dropped[int(kind)]; }
    // One line naming how many markers of each kind were dropped over the
    // cap; empty when none were.
    std::string droppedReport() const;

    // The last goal pixel scanned wins; without one, defaultGoal.
    bool goalFound() const { return hasGoal; }
    glm::vec3 goalPosition() const { return goal; }
    bool fog() const { return count(Kind::Fog) > 0; }
    bool night() const { return count(Kind::Night) > 0; }

private:
    void add(const Event& event);

    std::vector<Event> found;
    unsigned kept[5] = {};
    unsigned dropped[5] = {};
    bool hasGoal = false;
    glm::vec3 goal = defaultGoal;
};
