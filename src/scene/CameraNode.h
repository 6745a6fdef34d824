#pragma once

#include <glm/glm.hpp>

#include "scene/Node.h"
#include "scene/PicturePlanes.h"

// The one camera. It hangs under the player and supplies the view matrix
// (its inverse world matrix), the projection and the culling frustum.
class CameraNode : public Node {
public:
    // A new camera's planes are computed afresh.
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
// Computed with frustumPlanes, once a frame: the active camera's projection
// times view, and the planes of its picture in world space. The drawing of
// the snow, the tiles and the terrain's patches reads them from here.
extern glm::mat4 frameViewProjection;
extern PicturePlanes framePicture;

// The game's projection: the usual perspective values with the two z/w
// coupling entries swapped (m[2][3] = B, m[3][2] = -1).
glm::mat4 buildProjectionMatrix();

// Recomputes frustumPlanes, frameViewProjection and framePicture from the
// active camera; the caller sets frustumUpToDate.
void computeFrustum();
// Brings the planes up to date for this frame if they are not.
void ensureFrustum();

bool sphereOutsideFrustum(const glm::vec3& center, float radius);
