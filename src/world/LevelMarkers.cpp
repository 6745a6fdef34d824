#include "world/LevelMarkers.h"

#include "world/LevelMap.h"

const glm::vec3 LevelMarkers::defaultGoal(0.0f, 1024.0f, 900.0f);

bool LevelMarkers::blueMarker(unsigned char blue, Kind& kind)
{
    if (blue == snowBlue)
        kind = Kind::Snow;
    else if (blue > bright)
        kind = Kind::Goal;
    else if (blue == fogBlue)
        kind = Kind::Fog;
    else if (blue == nightBlue)
        kind = Kind::Night;
    else
        return false;
    return true;
}

void LevelMarkers::scan(const LevelMap& map, float extentX, float heightScale, float extentZ)
{
    found.clear();
    for (unsigned& n : kept) n = 0;
    for (unsigned& n : dropped) n = 0;
    hasGoal = false;
    goal = defaultGoal;
    if (map.empty())
        return;
    for (unsigned i = 0; i < map.height(); ++i) {
        for (unsigned j = 0; j < map.width(); ++j) {
            const LevelMap::Pixel pixel = map.vertexPixel(i, j);
            Kind blue = Kind::Lamp;
            const bool hasBlue = blueMarker(pixel.b, blue);
            if (!isLamp(pixel.g) && !hasBlue)
                continue;
            const glm::vec3 position = map.vertexPosition(i, j, extentX, heightScale, extentZ);
            if (isLamp(pixel.g))
                add(Event{Kind::Lamp, i, j, position});
            if (hasBlue)
                add(Event{blue, i, j, position});
        }
    }
}

void LevelMarkers::add(const Event& event)
{
    const int k = int(event.kind);
    if (kept[k] >= cap(event.kind)) {
        ++dropped[k];
        return;
    }
    ++kept[k];
    if (event.kind == Kind::Goal) {
        hasGoal = true;
        goal = event.position;
        return;
    }
    found.push_back(event);
}

std::string LevelMarkers::droppedReport() const
{
    static const char* const names[5] = {"lamps", "snow clouds", "goals", "fog markers", "night markers"};
    std::string report;
    for (int k = 0; k < 5; ++k) {
        if (dropped[k] == 0)
            continue;
        report += report.empty() ? "Too many markers on the map, dropped: " : ", ";
        report += std::to_string(dropped[k]) + " " + names[k] + " (at most "
            + std::to_string(cap(Kind(k))) + ")";
    }
    return report;
}
