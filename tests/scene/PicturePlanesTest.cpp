#include "scene/PicturePlanes.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

// The world's planes carried into a mesh's space are the planes of the
// mesh's own projection x view x model, so a mesh culls the same against
// the frame's picture as against its own.
TEST(PicturePlanes, TheWorldsPlanesInAMeshsSpaceAreThoseOfItsOwnView) {
    const glm::mat4 viewProjection = glm::perspective(glm::radians(45.0f), 4.0f / 3.0f, 1.0f, 1000.0f) *
                                     glm::lookAt(glm::vec3(5, 40, 0), glm::vec3(0, 0, -100), glm::vec3(0, 1, 0));
    glm::mat4 model = glm::translate(glm::mat4(1.0f), glm::vec3(0, -200, 1000));
    model = glm::rotate(model, glm::radians(15.0f), glm::vec3(1, 0, 0));
    model = glm::scale(model, glm::vec3(4.0f));
    const PicturePlanes carried = PicturePlanes(viewProjection).inSpaceOf(model);
    const PicturePlanes own(viewProjection * model);
    for (int k = 0; k < 5; ++k)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(carried.planes[k][c], own.planes[k][c], 1e-4f) << k << " " << c;
    // Distances are the mesh's own units: a sphere of radius 1 whose centre
    // lies 1.5 units beyond the right edge is out, one of radius 2 is in.
    const glm::vec4 middle = glm::inverse(viewProjection * model) * glm::vec4(0, 0, 0.99f, 1);
    const glm::vec3 centre = glm::vec3(middle) / middle.w;
    const glm::vec3 normal(own.planes[1]);
    const glm::vec3 beyond = centre - (glm::dot(normal, centre) + own.planes[1].w + 1.5f) * normal;
    EXPECT_TRUE(carried.excludes(beyond, 1.0f));
    EXPECT_FALSE(carried.excludes(beyond, 2.0f));
}
