#include "scene/CollisionNode.h"

#include "scene/CollisionRegistry.h"

CollisionNode::CollisionNode(CollisionCallback callback) : callback(callback) {}

void CollisionNode::update(double dt) {
    Node::update(dt);
    collisionRegistry.volumes.push_back(this);
}
