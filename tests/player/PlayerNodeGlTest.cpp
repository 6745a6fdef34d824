#include "player/PlayerFigure.h"
#include "player/PlayerNode.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "render/GeometryNode.h"
#include "scene/CameraNode.h"
#include "support/GlContext.h"
#include "support/MustBuild.h"

namespace {

using PlayerNodeGlTest = GlCameraTest;

TEST_F(PlayerNodeGlTest, AssemblesTheShippedFigure) {
    testing::internal::CaptureStdout();
    PlayerNode* player = assemblePlayer(context->window, MustBuild());
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_NE(player, nullptr) << out;
    EXPECT_EQ(player->window, context->window);
    for (Node* part : player->limbs) {
        GeometryNode* limb = dynamic_cast<GeometryNode*>(part);
        ASSERT_NE(limb, nullptr);
        EXPECT_FALSE(limb->meshes.empty());
    }
    GeometryNode* brokenLeftWing = dynamic_cast<GeometryNode*>(player->brokenLeftWing);
    ASSERT_NE(brokenLeftWing, nullptr);
    EXPECT_FALSE(brokenLeftWing->meshes.empty());
    // Each intact wing carries a lamp cube and a collision point.
    for (Limb wing : {Limb::LeftWing, Limb::RightWing}) {
        ASSERT_EQ(player->limb(wing)->children.size(), 2u);
        GeometryNode* lamp = dynamic_cast<GeometryNode*>(player->limb(wing)->children.front());
        ASSERT_NE(lamp, nullptr);
        EXPECT_FLOAT_EQ(lamp->meshes.at(0)->boundingExtent, 0.5f);
    }
    EXPECT_EQ(player->children.size(), 9u);
    player->breakWing(WingSide::Left);  // the intact left wing is now out of the tree: freed with the player
    delete player;
}

TEST_F(PlayerNodeGlTest, AMissingPartIsReportedByNameAndNothingIsBuilt) {
    TempDir temp;
    copyDataTo(temp.path());
    std::filesystem::remove(temp.file("Meshes/leg_rf.obj"));
    ScopedDirectory inTemp(temp.path());
    testing::internal::CaptureStdout();
    PlayerNode* player = assemblePlayer(context->window, MustBuild());
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(player, nullptr);
    EXPECT_NE(out.find("Error loading mesh Meshes/leg_rf.obj"), std::string::npos) << out;
    EXPECT_NE(out.find("Cannot assemble the player: Meshes/leg_rf.obj could not be imported"), std::string::npos)
        << out;
    delete player;
}

}  // namespace
