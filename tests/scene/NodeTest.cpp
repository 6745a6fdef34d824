#include "scene/Node.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace {

glm::vec3 position(Node& node) { return glm::vec3(node.getWorldMatrix()[3]); }

glm::vec3 forward(Node& node) { return -glm::vec3(node.getWorldMatrix()[2]); }

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// Counts the updates and deletions it sees.
class CountingNode : public Node {
public:
    explicit CountingNode(int* deleted = nullptr) : deleted(deleted) {}
    ~CountingNode() override {
        if (deleted) ++*deleted;
    }
    void update(double dt) override {
        ++updates;
        Node::update(dt);
    }
    int updates = 0;
    int* deleted;
};

}  // namespace

TEST(Node, CachesHoldIdentityUntilTheFirstUpdate) {
    Node node;
    node.setPosition({1, 2, 3});
    EXPECT_EQ(node.getWorldMatrix(), glm::mat4(1.0f));
    EXPECT_EQ(node.getInverseWorldMatrix(), glm::mat4(1.0f));
    node.update(0.0);
    expectNear(position(node), {1, 2, 3});
    expectNear(glm::vec3(node.getInverseWorldMatrix()[3]), {-1, -2, -3});
}

TEST(Node, WorldMatrixIsCachedWithinAFrame) {
    Node node;
    node.update(0.0);
    expectNear(position(node), {0, 0, 0});
    node.translate({1, 0, 0});
    expectNear(position(node), {0, 0, 0});
    node.update(0.0);
    expectNear(position(node), {1, 0, 0});
}

TEST(Node, ChildComposesParentTransform) {
    Node root;
    Node* child = new Node;
    root.addChild(child);
    root.setPosition({10, 0, 0});
    root.setRotation(0, 90, 0);
    child->setPosition({0, 0, -1});
    root.update(0.0);
    // The child sits one unit ahead of the turned parent: ahead is -x.
    expectNear(position(*child), {9, 0, 0});
    glm::mat4 product = child->getWorldMatrix() * child->getInverseWorldMatrix();
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) EXPECT_NEAR(product[c][r], c == r ? 1.0f : 0.0f, 1e-5f);
}

TEST(Node, PlacingANodeShowsItsNewPoseAtOnceDownItsSubtree) {
    Node root;
    Node* child = new Node;
    root.addChild(child);
    child->setPosition({0, 0, -1});
    root.update(0.0);
    root.placeAt({10, 0, 0}, {0, 90, 0});
    EXPECT_EQ(root.rotationAngles, glm::vec3(0, 90, 0));
    expectNear(position(*child), {9, 0, 0});
    expectNear(glm::vec3(child->getInverseWorldMatrix() * glm::vec4(9, 0, 0, 1)), {0, 0, 0});
    // A pose's translation and rotation, its angles left as they were.
    root.placeAt(glm::translate(glm::mat4(1.0f), glm::vec3(0, 5, 0)));
    expectNear(position(*child), {0, 5, -1});
    EXPECT_EQ(root.rotationAngles, glm::vec3(0, 90, 0));
}

TEST(Node, LocalTransformAppliesScaleFirst) {
    Node node;
    node.setPosition({0, 5, 0});
    node.setRotation(0, 0, 90);
    node.scaleBy({2, 2, 2});
    node.scaleBy({1.5f, 1.5f, 1.5f});
    node.update(0.0);
    glm::vec4 p = node.getWorldMatrix() * glm::vec4(1, 0, 0, 1);
    expectNear(glm::vec3(p), {0, 8, 0});
}

TEST(Node, RotationDirections) {
    Node node;
    node.setRotation(0, 90, 0);
    node.update(0.0);
    expectNear(forward(node), {-1, 0, 0});

    Node pitch;
    pitch.setRotation(10, 0, 0);
    pitch.update(0.0);
    EXPECT_GT(forward(pitch).y, 0.0f);  // nose up

    Node bank;
    bank.setRotation(0, 0, 10);
    bank.update(0.0);
    EXPECT_GT(glm::vec3(bank.getWorldMatrix()[0]).y, 0.0f);  // right side raised

    Node yaw;
    yaw.setRotation(0, 10, 0);
    yaw.update(0.0);
    EXPECT_LT(forward(yaw).x, 0.0f);  // turned to the left
}

TEST(Node, SetRotationResetsAfterRotateAbout) {
    Node node;
    node.rotateAbout(30, {0, 1, 0});
    node.rotateAbout(20, {1, 0, 0});
    EXPECT_EQ(node.rotationAngles, glm::vec3(0.0f));
    node.setRotation(0, 0, 0);
    EXPECT_EQ(node.rotationMatrix, glm::mat4(1.0f));
    node.setRotation(1, 2, 3);
    EXPECT_EQ(node.rotationAngles, glm::vec3(1, 2, 3));
}

TEST(Node, RotateAboutActsInParentSpace) {
    Node node;
    node.setRotation(0, 90, 0);  // facing -x
    node.rotateAbout(90, {0, 0, 1});  // about world z: the nose turns down toward -y
    node.update(0.0);
    expectNear(forward(node), {0, -1, 0});
}

TEST(Node, MoveLocalIsNegatedAlongOwnAxes) {
    Node plain;
    plain.moveLocal({0, 0, 2});
    plain.update(0.0);
    expectNear(position(plain), {0, 0, -2});

    Node turned;
    turned.setRotation(0, 180, 0);
    turned.moveLocal({0, 0, 2});
    turned.update(0.0);
    expectNear(position(turned), {0, 0, 2});

    Node down;
    down.moveLocal({1, 1, 0});
    down.update(0.0);
    expectNear(position(down), {-1, -1, 0});
}

TEST(Node, RemoveChildClearsParentEvenWhenAbsent) {
    Node root;
    Node stranger;
    Node other;
    other.addChild(&stranger);
    root.removeChild(&stranger);
    EXPECT_EQ(stranger.parent, nullptr);
    EXPECT_EQ(other.children.size(), 1u);
    other.children.clear();
}

TEST(Node, ChildAddedTwiceIsUpdatedTwiceAndRemovedOnce) {
    Node root;
    CountingNode* child = new CountingNode;
    root.addChild(child);
    root.addChild(child);
    root.update(0.0);
    EXPECT_EQ(child->updates, 2);
    root.removeChild(child);
    EXPECT_TRUE(root.children.empty());
    EXPECT_EQ(child->parent, nullptr);
    delete child;
}

TEST(Node, ChildAddedTwiceIsDeletedOnce) {
    int deleted = 0;
    Node* root = new Node;
    CountingNode* child = new CountingNode(&deleted);
    root->addChild(child);
    root->addChild(child);
    delete root;
    EXPECT_EQ(deleted, 1);
}

TEST(Node, DeletingUnlinksFromParentAndDeletesSubtree) {
    int deleted = 0;
    Node root;
    CountingNode* a = new CountingNode(&deleted);
    CountingNode* b = new CountingNode(&deleted);
    root.addChild(a);
    a->addChild(b);
    a->addChild(new CountingNode(&deleted));
    delete a;
    EXPECT_TRUE(root.children.empty());
    EXPECT_EQ(deleted, 3);
}

TEST(Node, DeleteChildrenEmptiesTheList) {
    int deleted = 0;
    Node root;
    root.addChild(new CountingNode(&deleted));
    root.addChild(new CountingNode(&deleted));
    root.deleteChildren();
    EXPECT_TRUE(root.children.empty());
    EXPECT_EQ(deleted, 2);
}

TEST(Node, ZeroScaleIsRecomputedEveryQuery) {
    Node root;
    Node* child = new Node;
    root.addChild(child);
    root.scaleMatrix = glm::mat4(0.0f);
    root.update(0.0);
    EXPECT_EQ(root.getWorldMatrix(), glm::mat4(0.0f));
    // The cache of an all-zero world never sticks, so a move shows at once.
    root.scaleMatrix = glm::mat4(1.0f);
    root.setPosition({3, 0, 0});
    EXPECT_EQ(root.getWorldMatrix()[3], glm::vec4(3, 0, 0, 1));
}

TEST(Node, TinyEntryIsNotAllZero) {
    glm::mat4 m(0.0f);
    m[1][2] = 1e-30f;
    EXPECT_FALSE(m == glm::mat4(0.0f));
}
