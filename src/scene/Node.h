#pragma once

#include <list>

#include <glm/glm.hpp>

// A node of the scene tree: a local transform split into translation,
// rotation and scale, owned children, and world matrices cached per frame.
// Angles are in degrees; objects look along their local -z.
class Node {
public:
    Node();
    // Unlinks from the parent, then deletes the whole subtree.
    virtual ~Node();

    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    // Called once per simulation step with the step's length in seconds.
    virtual void update(double dt);
    // Called once per drawn frame, after that frame's simulation steps.
    virtual void frameUpdate();
    // Called in the opaque pass of every frame.
    virtual void draw();
    // Called in the transparent pass of every frame, after all opaque drawing.
    virtual void drawTransparent();

    void addChild(Node* child);
    void removeChild(Node* child);
    void deleteChildren();

    void setPosition(const glm::vec3& position);
    void translate(const glm::vec3& offset);
    void moveLocal(const glm::vec3& offset);
    void scaleBy(const glm::vec3& factors);
    void setRotation(float x, float y, float z);
    void rotateAbout(float angle, const glm::vec3& axis);

    // A node placed anew between two tree updates (a reset, a new level, a
    // ghost's next pose) must not be seen in its old pose or as the identity:
    // these put it at `position`, turned as setRotation turns it, or in the
    // translation and rotation of `pose`, and drop the cached world matrices
    // of it and everything under it. The other setters leave the caches
    // alone: a node that moves itself in its update sees, until the tree is
    // updated, the pose it started the step in.
    void placeAt(const glm::vec3& position, const glm::vec3& angles);
    void placeAt(const glm::mat4& pose);

    glm::mat4 getWorldMatrix();
    glm::mat4 getInverseWorldMatrix();

    Node* parent = nullptr;
    glm::mat4 rotationMatrix{1.0f};
    std::list<Node*> children;
    glm::mat4 scaleMatrix{1.0f};
    glm::mat4 translationMatrix{1.0f};
    // All-zero marks a cache that must be recomputed.
    glm::mat4 worldMatrix{1.0f};
    glm::mat4 inverseWorldMatrix{1.0f};
    glm::vec3 rotationAngles{0.0f};

private:
    void forgetWorldMatrices();
    void forgetSubtreeMatrices();
};
