#include "scene/PicturePlanes.h"

PicturePlanes::PicturePlanes(const glm::mat4& mvp) {
    const glm::mat4 rows = glm::transpose(mvp);
    planes[0] = rows[3] + rows[0];
    planes[1] = rows[3] - rows[0];
    planes[2] = rows[3] + rows[1];
    planes[3] = rows[3] - rows[1];
    planes[4] = rows[3] + rows[2];
    normalise();
}

PicturePlanes PicturePlanes::inSpaceOf(const glm::mat4& model) const {
    // A plane is a row that multiplies points: carried through `model`, it
    // is the plane times `model`.
    PicturePlanes seen;
    const glm::mat4 transposed = glm::transpose(model);
    for (int k = 0; k < 5; ++k) seen.planes[k] = transposed * planes[k];
    seen.normalise();
    return seen;
}

void PicturePlanes::normalise() {
    for (glm::vec4& plane : planes) {
        const float length = glm::length(glm::vec3(plane));
        if (length > 0.0f) plane /= length;
    }
}

bool PicturePlanes::excludes(const glm::vec3& center, float radius) const {
    for (const glm::vec4& plane : planes) {
        if (glm::dot(glm::vec3(plane), center) + plane.w < -radius) return true;
    }
    return false;
}

bool PicturePlanes::excludesBox(const glm::vec3& center, const glm::vec3& halfSize) const {
    for (const glm::vec4& plane : planes) {
        const glm::vec3 normal(plane);
        if (glm::dot(normal, center) + plane.w < -glm::dot(glm::abs(normal), halfSize)) return true;
    }
    return false;
}
