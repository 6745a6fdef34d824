#pragma once

#include <glm/glm.hpp>

#include "scene/Node.h"

// The one camera. It hangs under the player and supplies the view matrix
// (its inverse world matrix), the projection and the culling frustum.
class CameraNode : public Node {
public:
    CameraNode();
    ~CameraNode() override;

    // Called once per frame; marks the frustum as stale.
    void update(double dt) override;

    glm::mat4 projectionMatrix;
};

struct FrustumPlane {
    glm::vec3 normal;  // points into the frustum
    glm::vec3 point;
};

extern CameraNode* activeCamera;
extern float fieldOfView;
extern float nearPlane;
extern float farPlane;
extern float aspectRatio;
extern FrustumPlane frustumPlanes[6];
extern bool frustumUpToDate;

// The game's projection: the usual perspective values with the two z/w
// coupling entries swapped (m[2][3] = B, m[3][2] = -1).
glm::mat4 buildProjectionMatrix();

// Recomputes frustumPlanes from the active camera's world matrix; the caller
// sets frustumUpToDate.
void computeFrustum();
// Brings the planes up to date for this frame if they are not.
void ensureFrustum();

bool sphereOutsideFrustum(const glm::vec3& center, float radius);
