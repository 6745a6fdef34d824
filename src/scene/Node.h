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

    glm::mat4 getWorldMatrix();
    glm::mat4 getInverseWorldMatrix();
    // Drops this node's cached world matrices, for a node placed anew between
    // two tree updates (a reset, a new level) that must not be seen in its
    // old pose or as the identity.
    void forgetWorldMatrices();

    Node* parent = nullptr;
    glm::mat4 rotationMatrix{1.0f};
    std::list<Node*> children;
    glm::mat4 scaleMatrix{1.0f};
    glm::mat4 translationMatrix{1.0f};
    // All-zero marks a cache that must be recomputed.
    glm::mat4 worldMatrix{1.0f};
    glm::mat4 inverseWorldMatrix{1.0f};
    glm::vec3 rotationAngles{0.0f};
};
