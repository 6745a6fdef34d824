#include "scene/CameraNode.h"

#include <cmath>

CameraNode* activeCamera = nullptr;
float fieldOfView = 45.0f;
float nearPlane = 1.0f;
float farPlane = 1000.0f;
float aspectRatio = 4.0f / 3.0f;
FrustumPlane frustumPlanes[6] = {};
bool frustumUpToDate = false;
glm::mat4 frameViewProjection(1.0f);
PicturePlanes framePicture;

glm::mat4 buildProjectionMatrix() {
    const float n = -nearPlane;
    const float f = -farPlane;
    const float cot = 1.0f / std::tan(glm::radians(fieldOfView) / 2.0f);
    glm::mat4 m(0.0f);
    m[0][0] = cot / aspectRatio;
    m[1][1] = cot;
    m[2][2] = (n + f) / (n - f);
    m[2][3] = -2.0f * f * n / (n - f);
    m[3][2] = -1.0f;
    return m;
}

CameraNode::CameraNode() : projectionMatrix(buildProjectionMatrix()) {
    activeCamera = this;
    frustumUpToDate = false;
}

CameraNode::~CameraNode() {
    if (activeCamera == this) activeCamera = nullptr;
}

void CameraNode::update(double dt) {
    Node::update(dt);
    frustumUpToDate = false;
}

void computeFrustum() {
    if (!activeCamera) return;
    glm::mat4 w = activeCamera->getWorldMatrix();
    glm::vec3 p(w[3]);
    glm::vec3 d = glm::normalize(-glm::vec3(w[2]));
    glm::vec3 up = glm::normalize(glm::vec3(w[1]));
    glm::vec3 right = glm::normalize(glm::vec3(w[0]));

    // The whole field of view is used as the half-opening on purpose: the
    // culling volume is a little narrower than the picture.
    float h = nearPlane * std::tan(glm::radians(fieldOfView));
    float wd = h / aspectRatio;
    glm::vec3 nc = p + d * nearPlane;
    glm::vec3 fc = p + d * farPlane;

    frustumPlanes[0] = {d, nc};
    frustumPlanes[1] = {-d, fc};
    frustumPlanes[2] = {glm::cross(up, glm::normalize(nc + right * h - p)), p};
    frustumPlanes[3] = {glm::cross(glm::normalize(nc + up * wd - p), right), p};
    frustumPlanes[4] = {glm::cross(glm::normalize(nc - right * h - p), up), p};
    frustumPlanes[5] = {glm::cross(right, glm::normalize(nc - up * wd - p)), p};

    frameViewProjection = activeCamera->projectionMatrix * activeCamera->getInverseWorldMatrix();
    framePicture = PicturePlanes(frameViewProjection);
}

void ensureFrustum() {
    if (frustumUpToDate) return;
    computeFrustum();
    frustumUpToDate = true;
}

bool sphereOutsideFrustum(const glm::vec3& center, float radius) {
    for (const FrustumPlane& plane : frustumPlanes) {
        float length = glm::length(plane.normal);
        if (length == 0.0f) continue;
        float s = (glm::dot(plane.normal, center) - glm::dot(plane.normal, plane.point)) / length;
        if (s < 0.0f && s < -radius) return true;
    }
    return false;
}
