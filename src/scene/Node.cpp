#include "scene/Node.h"

#include <unordered_set>

#include <glm/gtc/matrix_transform.hpp>

#include "scene/CameraNode.h"

namespace {
const glm::mat4 dirtyMatrix(0.0f);
}

Node::Node() = default;

Node::~Node() {
    if (parent) parent->removeChild(this);
    deleteChildren();
}

void Node::update(double dt) {
    forgetWorldMatrices();
    for (Node* child : children) child->update(dt);
}

void Node::frameUpdate() {
    for (Node* child : children) child->frameUpdate();
}

void Node::draw() {
    for (Node* child : children) child->draw();
}

void Node::drawTransparent() {
    for (Node* child : children) child->drawTransparent();
}

void Node::addChild(Node* child) {
    child->parent = this;
    children.push_back(child);
}

void Node::removeChild(Node* child) {
    child->parent = nullptr;
    children.remove(child);
}

void Node::deleteChildren() {
    // Take the list first: a child's destructor must not find itself in it.
    // A child added twice is deleted once.
    std::list<Node*> doomed;
    doomed.swap(children);
    std::unordered_set<Node*> deleted;
    for (Node* child : doomed) {
        if (!deleted.insert(child).second) continue;
        child->parent = nullptr;
        delete child;
    }
}

void Node::setPosition(const glm::vec3& position) {
    translationMatrix = glm::translate(glm::mat4(1.0f), position);
}

void Node::translate(const glm::vec3& offset) { translationMatrix = glm::translate(translationMatrix, offset); }

void Node::moveLocal(const glm::vec3& offset) {
    const glm::mat4& r = rotationMatrix;
    glm::vec3 along = offset.x * glm::vec3(r[0]) + offset.y * glm::vec3(r[1]) + offset.z * glm::vec3(r[2]);
    translate(-along);
}

void Node::scaleBy(const glm::vec3& factors) { scaleMatrix = glm::scale(scaleMatrix, factors); }

void Node::setRotation(float x, float y, float z) {
    glm::mat4 m(1.0f);
    m = glm::rotate(m, glm::radians(x), glm::vec3(1, 0, 0));
    m = glm::rotate(m, glm::radians(y), glm::vec3(0, 1, 0));
    m = glm::rotate(m, glm::radians(z), glm::vec3(0, 0, 1));
    rotationMatrix = m;
    rotationAngles = glm::vec3(x, y, z);
}

void Node::rotateAbout(float angle, const glm::vec3& axis) {
    rotationMatrix = glm::rotate(glm::mat4(1.0f), glm::radians(angle), axis) * rotationMatrix;
}

void Node::placeAt(const glm::vec3& position, const glm::vec3& angles) {
    setPosition(position);
    setRotation(angles.x, angles.y, angles.z);
    forgetSubtreeMatrices();
}

void Node::placeAt(const glm::mat4& pose) {
    translationMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(pose[3]));
    rotationMatrix = glm::mat4(glm::mat3(pose));
    forgetSubtreeMatrices();
}

glm::mat4 Node::getWorldMatrix() {
    if (worldMatrix == dirtyMatrix) {
        glm::mat4 parentMatrix = parent ? parent->getWorldMatrix() : glm::mat4(1.0f);
        worldMatrix = parentMatrix * translationMatrix * rotationMatrix * scaleMatrix;
    }
    return worldMatrix;
}

glm::mat4 Node::getInverseWorldMatrix() {
    if (inverseWorldMatrix == dirtyMatrix) {
        glm::mat4 parentInverse = parent ? parent->getInverseWorldMatrix() : glm::mat4(1.0f);
        inverseWorldMatrix = glm::inverse(scaleMatrix) * glm::inverse(rotationMatrix) *
                             glm::inverse(translationMatrix) * parentInverse;
    }
    return inverseWorldMatrix;
}

void Node::forgetWorldMatrices() {
    worldMatrix = dirtyMatrix;
    inverseWorldMatrix = dirtyMatrix;
}

void Node::forgetSubtreeMatrices() {
    forgetWorldMatrices();
    // The view's planes follow the camera wherever it is put.
    if (this == activeCamera) frustumUpToDate = false;
    for (Node* child : children) child->forgetSubtreeMatrices();
}
