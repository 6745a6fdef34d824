#pragma once

#include <string>
#include <vector>

#include <glm/glm.hpp>

class CourseCheck;
class TerrainGrid;

// The picture of a checked course: the map's heights shaded (ground too high
// to fly over in brown), the markers (lamps yellow, snow clouds cyan, fog
// grey, night dark blue), the start magenta, the goal gate red, the
// autopilot's planned route in blue and the path it flew in white, and where
// it could not finish an orange ring. Small maps are scaled up so that the
// picture is at least 512 pixels across; each map pixel stays a square.
class RoutePicture {
public:
    explicit RoutePicture(const CourseCheck& check);

    struct Colour {
        unsigned char r, g, b;
        bool operator==(const Colour& o) const { return r == o.r && g == o.g && b == o.b; }
    };

    // False when the PNG could not be written (or the map was unreadable).
    bool save(const std::string& path) const;

    unsigned width() const { return pictureWidth; }
    unsigned height() const { return pictureHeight; }
    // Picture pixels per map pixel.
    unsigned scale() const { return pixelsPerCell; }
    // RGB, rows top to bottom.
    const std::vector<unsigned char>& rgb() const { return pixels; }
    Colour at(unsigned x, unsigned y) const;

    // Where a terrain-space point lies in the picture.
    glm::vec2 pictureOf(const glm::vec3& point) const;

    static constexpr Colour lampColour{255, 220, 0};
    static constexpr Colour snowColour{0, 230, 255};
    static constexpr Colour fogColour{170, 170, 170};
    static constexpr Colour nightColour{30, 30, 140};
    static constexpr Colour startColour{255, 0, 255};
    static constexpr Colour goalColour{230, 0, 0};
    static constexpr Colour routeColour{60, 120, 255};
    static constexpr Colour pathColour{255, 255, 255};
    static constexpr Colour failureColour{255, 130, 0};

private:
    void shadeHeights(const CourseCheck& check);
    // The ground's slope at vertex (i, j), from the heights alone.
    glm::vec3 normalAt(const TerrainGrid& grid, unsigned i, unsigned j) const;
    void dot(const glm::vec2& centre, float radius, Colour colour);
    void ring(const glm::vec2& centre, float radius, float thickness, Colour colour);
    void line(const glm::vec2& from, const glm::vec2& to, float radius, Colour colour);

    unsigned columns = 0, rows = 0;
    unsigned pixelsPerCell = 1;
    unsigned pictureWidth = 0, pictureHeight = 0;
    float extentX = 0.0f, extentZ = 0.0f;
    std::vector<unsigned char> pixels;
};
