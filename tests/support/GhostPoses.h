#pragma once

#include "player/GhostTrack.h"

// A ghost pose at track position z, unturned: enough to tell samples apart.
inline GhostPose poseAt(float z) {
    GhostPose pose;
    pose.position = glm::vec3(0.0f, 0.0f, z);
    return pose;
}
