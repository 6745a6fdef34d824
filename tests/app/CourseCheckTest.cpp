#include "app/CourseCheck.h"

#include <gtest/gtest.h>
#include <lodepng.h>
#include <sys/wait.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "app/RoutePicture.h"
#include "support/MapImage.h"
#include "support/ProcessState.h"
#include "support/TempDir.h"

namespace {

// Courses painted in the test, 64 x 64: the figure starts over the bottom
// row's middle (column 31) and flies up the image.
class CourseCheckTest : public ::testing::Test {
protected:
    static MapImage course(unsigned char red = 10) {
        MapImage map(64, 64, red);
        map.mark(6, 31, 0, 255);
        return map;
    }
    int check(const MapImage& map) {
        map.save(dir.file("course.png"));
        return checker.run(dir.file("course.png"));
    }
    int checkBytes(const std::vector<unsigned char>& png) {
        dir.write("course.png", std::string(png.begin(), png.end()));
        return checker.run(dir.file("course.png"));
    }
    // The line that starts with `lead`, or "" when none does.
    std::string line(const std::string& lead) const {
        for (const std::string& text : checker.lines())
            if (text.compare(0, lead.size(), lead) == 0) return text;
        return "";
    }
    std::string lastLine() const { return checker.lines().empty() ? "" : checker.lines().back(); }
    std::string all() const {
        std::string text;
        for (const std::string& l : checker.lines()) text += l + "\n";
        return text;
    }

    ProcessState state;
    TempDir dir;
    CourseCheck checker;
};

TEST_F(CourseCheckTest, AGoodCourseHasAParTimeAndAPictureOfItsPath) {
    ASSERT_EQ(check(course()), CourseCheck::PLAYABLE) << all();
    EXPECT_TRUE(std::regex_match(lastLine(), std::regex("par [0-9]+\\.[0-9]{2} s"))) << all();
    EXPECT_EQ(line("size:"), "size: 64 x 64 pixels (not 512 x 512: the game bakes no light map for it, the ground is lit "
                             "evenly)");
    EXPECT_EQ(line("markers:"), "markers: 0 lamps, 0 snow clouds, 1 goal pixel, 0 fog markers, 0 night markers; "
                                "dropped over the caps: none");
    EXPECT_EQ(line("night:"), "night: no, fog: no, snow: no");
    EXPECT_FALSE(checker.has(CourseCheck::Kind::Problem)) << all();
    EXPECT_FALSE(checker.has(CourseCheck::Kind::Warning)) << all();

    const RoutePicture picture(checker);
    EXPECT_EQ(picture.width(), 512u);
    EXPECT_EQ(picture.height(), 512u);
    const std::vector<glm::vec3>& path = checker.flight().path();
    const glm::vec2 halfway = picture.pictureOf(path[path.size() / 2]);
    EXPECT_EQ(picture.at(unsigned(halfway.x), unsigned(halfway.y)), RoutePicture::pathColour);
    ASSERT_TRUE(picture.save(dir.file("route.png")));
    std::vector<unsigned char> rgb;
    unsigned w = 0, h = 0;
    EXPECT_EQ(lodepng::decode(rgb, w, h, dir.file("route.png"), LCT_RGB, 8), 0u);
    EXPECT_EQ(rgb, picture.rgb());
}

TEST_F(CourseCheckTest, WarningsLeaveAShortCrowdedCoursePlayable) {
    MapImage map = course();
    map.mark(6, 31, 0, 0);
    map.mark(58, 31, 0, 255);
    for (unsigned k = 0; k < 70; ++k) map.mark(20 + k / 10, 10 + k % 10, 0, 180);
    ASSERT_EQ(check(map), CourseCheck::PLAYABLE) << all();
    EXPECT_NE(line("warning: 6 snow clouds over the cap of 64"), "") << all();
    EXPECT_NE(line("warning: the course is shorter than 5 s"), "") << all();
    EXPECT_EQ(line("night:"), "night: no, fog: no, snow: yes");
    EXPECT_NE(line("markers: 0 lamps, 70 snow clouds, 1 goal pixel"), "") << all();
}

TEST_F(CourseCheckTest, NoGoalGateIsAProblem) {
    MapImage map = course();
    map.mark(6, 31, 0, 0);
    EXPECT_EQ(check(map), CourseCheck::PROBLEMS);
    EXPECT_NE(line("problem: no goal gate"), "") << all();
}

TEST_F(CourseCheckTest, AStartInOrNearTheGroundIsAProblem) {
    EXPECT_EQ(check(course(120)), CourseCheck::PROBLEMS);
    EXPECT_NE(line("problem: the start at column 31, row 63 is inside the ground"), "") << all();
    EXPECT_EQ(lastLine().rfind("not finished: the body hit the ground at column ", 0), 0u) << all();

    MapImage near = course();
    near.setHeight(63, 32, 66);
    EXPECT_EQ(check(near), CourseCheck::PROBLEMS);
    EXPECT_NE(line("problem: the start at column 31, row 63 is too near the ground"), "") << all();
}

TEST_F(CourseCheckTest, ABlockedCourseTellsWhereTheWayEnds) {
    MapImage map = course();
    for (unsigned j = 0; j < 64; ++j) map.setHeight(30, j, 255), map.setHeight(31, j, 230);
    EXPECT_EQ(check(map), CourseCheck::PROBLEMS);
    EXPECT_NE(line("warning: a wall too high to fly over (red 215 and more) crosses the whole width at rows 30 to 31"), "")
        << all();
    EXPECT_NE(line("problem: the goal is unreachable"), "") << all();
    std::smatch where;
    const std::string last = lastLine();
    ASSERT_TRUE(std::regex_match(last, where, std::regex("not finished: no way on to the goal gate at column ([0-9]+), "
                                                         "row ([0-9]+)")))
        << all();
    // The way ends just short of the wall, on the start's side.
    EXPECT_GT(std::stoi(where[2]), 31);
    EXPECT_LT(std::stoi(where[2]), 36);

    const RoutePicture picture(checker);
    const glm::vec2 ring = picture.pictureOf(checker.flight().where());
    EXPECT_EQ(picture.at(unsigned(ring.x + 22.5f), unsigned(ring.y)), RoutePicture::failureColour);
}

// 2: nothing to read or not a PNG image; 1: a PNG that cannot be a map.
TEST_F(CourseCheckTest, ExitStatusesTellMissingAndBrokenFilesFromBadMaps) {
    EXPECT_EQ(checker.run(dir.file("missing.png")), CourseCheck::UNREADABLE);
    dir.write("text.png", "not a picture\n");
    EXPECT_EQ(checker.run(dir.file("text.png")), CourseCheck::UNREADABLE);
    EXPECT_NE(all().find("is not a PNG image"), std::string::npos) << all();

    std::vector<unsigned char> png;
    ASSERT_EQ(lodepng::encode(png, std::vector<unsigned char>(3 * 2 * 3, 0), 3, 2, LCT_RGB, 8), 0u);
    EXPECT_EQ(checkBytes(std::vector<unsigned char>(png.begin(), png.end() - 20)), CourseCheck::UNREADABLE) << all();
    // The size is in the header: one far over the limit is a map too large.
    std::vector<unsigned char> huge = png;
    huge[18] = 0x10, huge[19] = 0, huge[22] = 0x10, huge[23] = 0;  // 4096 x 4096
    lodepng_chunk_generate_crc(huge.data() + 8);
    EXPECT_EQ(checkBytes(huge), CourseCheck::PROBLEMS);
    EXPECT_EQ(lastLine(), "problem: size: 4096 x 4096 pixels, more than the 4194304 pixels in all (2048 x 2048) a map may "
                          "have");

    std::vector<unsigned char> dot;
    ASSERT_EQ(lodepng::encode(dot, std::vector<unsigned char>(3, 0), 1, 1, LCT_RGB, 8), 0u);
    EXPECT_EQ(checkBytes(dot), CourseCheck::PROBLEMS);
    EXPECT_EQ(lastLine(), "problem: size: 1 x 1 pixels, a terrain needs at least 2 x 2");
}

// The program itself: its exit status is the check's, and --help shows the colours.
TEST_F(CourseCheckTest, TheProgramExitsWithTheChecksStatus) {
    const std::string program = std::string(MOORGLIDE_BINARY_DIR) + "/moorglide-check";
    auto exitOf = [](const std::string& command, std::string* output = nullptr) {
        std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
        if (!pipe) return -1;
        char buffer[4096];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            if (output) output->append(buffer, n);
        const int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    std::string help;
    EXPECT_EQ(exitOf(program + " --help", &help), 0);
    EXPECT_NE(help.find("blue 180            a snow cloud (at most 64)"), std::string::npos) << help;
    EXPECT_EQ(exitOf(program + " " + dir.file("missing.png")), CourseCheck::UNREADABLE);
    EXPECT_EQ(exitOf(program), CourseCheck::UNREADABLE);
    MapImage map = course();
    map.mark(6, 31, 0, 0);
    map.save(dir.file("nogoal.png"));
    std::string output;
    EXPECT_EQ(exitOf(program + " " + dir.file("nogoal.png") + " --route " + dir.file("route.png"), &output),
              CourseCheck::PROBLEMS);
    EXPECT_NE(output.find("problem: no goal gate"), std::string::npos) << output;
    unsigned w = 0, h = 0;
    std::vector<unsigned char> rgb;
    EXPECT_EQ(lodepng::decode(rgb, w, h, dir.file("route.png"), LCT_RGB, 8), 0u);
}

}  // namespace
