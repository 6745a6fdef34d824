#pragma once

#include <glm/glm.hpp>

// The planes of the picture itself, in the space `mvp` maps from: a point is
// shown only where -w <= x <= w, -w <= y <= w and -w <= z in clip space.
// They open wider than the culling frustum of the scene nodes, which could
// drop a piece that shows at the picture's edge. There is no far plane: this
// projection clips nothing by distance.
class PicturePlanes {
public:
    explicit PicturePlanes(const glm::mat4& mvp = glm::mat4(1.0f));

    // The same planes seen from a space that `model` maps into this one's
    // (a mesh's own, for the world's planes and its model matrix).
    PicturePlanes inSpaceOf(const glm::mat4& model) const;
    // A sphere wholly outside one of the planes cannot show.
    bool excludes(const glm::vec3& center, float radius) const;
    // Nor can such a box, given by its centre and half its size along each axis.
    bool excludesBox(const glm::vec3& center, const glm::vec3& halfSize) const;

    glm::vec4 planes[5];

private:
    void normalise();
};
