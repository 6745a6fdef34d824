#include <GL/glew.h>
#include <gtest/gtest.h>

#include <lodepng.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Game.h"
#include "core/GameState.h"
#include "player/PlayerNode.h"
#include "render/GeometryNode.h"
#include "scene/CameraNode.h"
#include "support/GameGlTest.h"

// The first frame of a level as the player sees it, HUD included, against a
// picture stored with the tests: changes inside the game must not show.
//
// To make the stored pictures again (only when the picture is meant to
// change), run the test with MOORGLIDE_WRITE_GOLDEN=1 and commit
// tests/app/golden/.

namespace {

constexpr int WIDTH = 800, HEIGHT = 600, SCALE = 4;

std::string goldenPath(int level) {
    return std::string(MOORGLIDE_SOURCE_DIR) + "/tests/app/golden/start" + std::to_string(level) + ".png";
}

// Mean of each SCALE x SCALE block, RGB, rows top down as PNG wants them:
// small to store, and the mean evens out single pixels of rasteriser noise.
std::vector<unsigned char> downscale(const std::vector<unsigned char>& rgbaBottomUp) {
    const int w = WIDTH / SCALE, h = HEIGHT / SCALE;
    std::vector<unsigned char> rgb(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < SCALE; ++dy) {
                    for (int dx = 0; dx < SCALE; ++dx) {
                        const int row = HEIGHT - 1 - (y * SCALE + dy);
                        sum += rgbaBottomUp[(size_t(row) * WIDTH + x * SCALE + dx) * 4 + c];
                    }
                }
                rgb[(size_t(y) * w + x) * 3 + c] = static_cast<unsigned char>((sum + SCALE * SCALE / 2) / (SCALE * SCALE));
            }
        }
    }
    return rgb;
}

class StartViewGlTest : public GameGlTest, public testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        GameGlTest::SetUp();
        if (HasFatalFailure()) return;
        // A copy of the data without the player's best times and ghosts,
        // which the HUD and the ghost would show.
        enterDataCopy();
        std::filesystem::remove("highscores.ini");
        std::filesystem::remove_all("ghosts");
        startGame(GetParam());
    }
};

// The largest difference, over the channels of every 50 x 50 block of the
// window (the corners' too), between the blocks' means in two pictures.
int worstBlockMeanDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    const int BLOCK = 50;
    int worst = 0;
    for (int by = 0; by < HEIGHT / BLOCK; ++by) {
        for (int bx = 0; bx < WIDTH / BLOCK; ++bx) {
            for (size_t c = 0; c < 3; ++c) {
                long sumA = 0, sumB = 0;
                for (int y = by * BLOCK; y < (by + 1) * BLOCK; ++y) {
                    for (int x = bx * BLOCK; x < (bx + 1) * BLOCK; ++x) {
                        const size_t p = size_t(y) * WIDTH + x;
                        sumA += a[p * 4 + c];
                        sumB += b[p * 4 + c];
                    }
                }
                worst = std::max(worst, int(std::abs(sumA - sumB) / (BLOCK * BLOCK)));
            }
        }
    }
    return worst;
}

std::vector<unsigned char> windowPixels() {
    std::vector<unsigned char> rgba(size_t(WIDTH) * HEIGHT * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

}  // namespace

TEST_P(StartViewGlTest, FirstFrameMatchesTheStoredPicture) {
    const int level = GetParam();
    gameState.motionBlur = false;
    // One pass of the frame loop: the run starts and the first step is flown.
    game->startClock(0.0);
    testing::internal::CaptureStdout();
    game->update(1.0 / 60.0);
    game->draw();
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    std::vector<unsigned char> rgba(size_t(WIDTH) * HEIGHT * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const std::vector<unsigned char> picture = downscale(rgba);
    const unsigned w = WIDTH / SCALE, h = HEIGHT / SCALE;

    const char* write = std::getenv("MOORGLIDE_WRITE_GOLDEN");
    if (write && std::string(write) == "1") {
        std::filesystem::create_directories(std::filesystem::path(goldenPath(level)).parent_path());
        ASSERT_EQ(lodepng::encode(goldenPath(level), picture, w, h, LCT_RGB, 8), 0u);
    }

    std::vector<unsigned char> golden;
    unsigned gw = 0, gh = 0;
    ASSERT_EQ(lodepng::decode(golden, gw, gh, goldenPath(level), LCT_RGB, 8), 0u) << goldenPath(level);
    ASSERT_EQ(gw, w);
    ASSERT_EQ(gh, h);
    int worst = 0;
    size_t worstAt = 0;
    for (size_t i = 0; i < picture.size(); ++i) {
        const int d = std::abs(int(picture[i]) - int(golden[i]));
        if (d > worst) worst = d, worstAt = i;
    }
    if (worst > 1) {
        // Kept for a look at what changed.
        const std::string seen = std::string(MOORGLIDE_BINARY_DIR) + "/start" + std::to_string(level) + "-seen.png";
        lodepng::encode(seen, picture, w, h, LCT_RGB, 8);
        ADD_FAILURE() << "level " << level << ": a channel differs by " << worst << " at pixel ("
                      << worstAt / 3 % w << ", " << worstAt / 3 / w << "); the picture seen is " << seen;
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, StartViewGlTest, testing::Values(1, 5, 10));

// With motion blur on, the picture below blur speed is drawn straight into
// the window; the wings must still show over the body as through the blur.
TEST_F(GameGlTest, WingsLookTheSameBelowAndAboveBlurSpeed) {
    startFreshLevelOne(true);
    ASSERT_FALSE(HasFatalFailure());
    PlayerNode* player = gameState.player;
    // Seen from below, the body lies between the eye and the wings.
    activeCamera->setPosition(glm::vec3(0.0f, -3.0f, 0.0f));
    activeCamera->setRotation(90.0f, 0.0f, 0.0f);
    GeometryNode* wings[] = {static_cast<GeometryNode*>(player->limb(Limb::LeftWing)),
                             static_cast<GeometryNode*>(player->limb(Limb::RightWing))};
    auto frameAt = [&](float speed, float wingAlpha) {
        player->speed = speed;
        const float alpha = wings[0]->alpha;
        for (GeometryNode* wing : wings) wing->alpha = wingAlpha;
        game->draw();
        for (GeometryNode* wing : wings) wing->alpha = alpha;
        std::vector<unsigned char> rgba(size_t(WIDTH) * HEIGHT * 4);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    };
    const float wingAlpha = wings[0]->alpha;
    ASSERT_LT(wingAlpha, 1.0f);
    const std::vector<unsigned char> slow = frameAt(25.0f, wingAlpha);
    const std::vector<unsigned char> fast = frameAt(35.0f, wingAlpha);
    // Invisible wings show where the visible ones are.
    const std::vector<unsigned char> bare = frameAt(35.0f, 0.0f);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    auto differ = [](const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, size_t p, int by) {
        for (size_t c = 0; c < 3; ++c)
            if (std::abs(int(a[p * 4 + c]) - int(b[p * 4 + c])) > by) return true;
        return false;
    };
    size_t wingPixels = 0, changed = 0;
    for (size_t p = 0; p < size_t(WIDTH) * HEIGHT; ++p) {
        if (!differ(fast, bare, p, 8)) continue;
        ++wingPixels;
        // What little of the blurred ground shows through may differ.
        if (differ(slow, fast, p, 3)) ++changed;
    }
    ASSERT_GT(wingPixels, 500u);
    EXPECT_EQ(changed, 0u) << "of " << wingPixels << " wing pixels";
}

// At half the window's width and height the scene still fills the window,
// close to the picture at the full size, and the texts drawn over it are the
// same pixels: they are drawn after the scene at the window's own size.
TEST_F(GameGlTest, AHalfScaleSceneFillsTheWindowAndTheTextsStaySharp) {
    startFreshLevelOne();
    ASSERT_FALSE(HasFatalFailure());
    std::snprintf(gameState.statusMessage, sizeof gameState.statusMessage, "Render scale: auto (0.50)");
    auto frame = [&](float scale, bool texts) {
        gameState.showHints = texts;
        gameState.messageTime = texts ? 2.0 : 0.0;
        game->drawAtScale(scale);
        return windowPixels();
    };
    const std::vector<unsigned char> full = frame(1.0f, true), fullBare = frame(1.0f, false);
    const std::vector<unsigned char> half = frame(0.5f, true), halfBare = frame(0.5f, false);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    auto same = [](const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, size_t p) {
        return a[p * 4] == b[p * 4] && a[p * 4 + 1] == b[p * 4 + 1] && a[p * 4 + 2] == b[p * 4 + 2];
    };

    // Every block of the window shows the scene at about the same mean as at
    // the full size.
    EXPECT_LE(worstBlockMeanDifference(fullBare, halfBare), 12) << "a block's mean differs by that much";

    // The texts cover the same pixels at both sizes, and where the scene
    // behind them is the same, so is every pixel they touch.
    size_t footprint = 0, mismatched = 0, compared = 0, differing = 0;
    for (size_t p = 0; p < size_t(WIDTH) * HEIGHT; ++p) {
        const bool textAtFull = !same(full, fullBare, p), textAtHalf = !same(half, halfBare, p);
        footprint += textAtFull;
        mismatched += textAtFull != textAtHalf;
        if (!textAtFull || !same(fullBare, halfBare, p)) continue;
        ++compared;
        differing += !same(full, half, p);
    }
    ASSERT_GT(footprint, 2000u);
    EXPECT_LE(mismatched, footprint / 100);
    ASSERT_GT(compared, 500u);
    EXPECT_EQ(differing, 0u) << "of " << compared;
}

// Blurred at half the window's size and then scaled up, a turning view
// looks as blurred as at the full size, and the blur did take effect.
TEST_F(GameGlTest, AHalfScaleSceneIsBlurredAsTheFullOne) {
    startFreshLevelOne(true);
    ASSERT_FALSE(HasFatalFailure());
    gameState.showHints = false;
    gameState.messageTime = 0.0;
    const glm::vec3 eye(activeCamera->translationMatrix[3]);
    const glm::vec3 angles = activeCamera->rotationAngles;
    // Each picture follows one of the view turned a few degrees away, so the
    // ground moves across the screen between the two.
    auto frame = [&](float scale, float speed) {
        gameState.player->speed = speed;
        activeCamera->placeAt(eye, angles + glm::vec3(0.0f, 4.0f, 0.0f));
        game->drawAtScale(scale);
        activeCamera->placeAt(eye, angles);
        game->drawAtScale(scale);
        return windowPixels();
    };
    const std::vector<unsigned char> full = frame(1.0f, 39.0f), half = frame(0.5f, 39.0f),
                                     halfSharp = frame(0.5f, 25.0f);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_LE(worstBlockMeanDifference(full, half), 12) << "a block's mean differs by that much";
    size_t blurred = 0;
    for (size_t p = 0; p < size_t(WIDTH) * HEIGHT; ++p)
        for (size_t c = 0; c < 3; ++c)
            if (std::abs(int(half[p * 4 + c]) - int(halfSharp[p * 4 + c])) > 8) {
                ++blurred;
                break;
            }
    EXPECT_GT(blurred, size_t(WIDTH) * HEIGHT / 100) << "pixels changed by the blur";
}
