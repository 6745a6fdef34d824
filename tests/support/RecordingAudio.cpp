#include "support/RecordingAudio.h"

#include <algorithm>

int RecordingAudio::count(const std::string& event) const {
    return int(std::count(events.begin(), events.end(), event));
}

void RecordingAudio::levelBuilt(const std::vector<glm::vec3>& lampPositions, bool snowing) {
    events.push_back("level");
    lamps = lampPositions;
    snow = snowing;
}
