#pragma once

#include "scene/Node.h"

using CollisionCallback = void (*)();

// A point tested against the terrain every frame: it registers itself with
// the collision registry while it is reached by the tree update.
class CollisionNode : public Node {
public:
    explicit CollisionNode(CollisionCallback callback);

    // Called once per frame; registers the point for this frame's test.
    void update(double dt) override;

    CollisionCallback callback;
};
