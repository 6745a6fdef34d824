#include "app/CourseTimes.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "app/Highscores.h"
#include "support/MapImage.h"
#include "support/TempDir.h"

namespace {

std::vector<unsigned char> fileBytes(const std::string& path) {
    const std::string text = readFileText(path);
    return std::vector<unsigned char>(text.begin(), text.end());
}

class CourseTimesTest : public ::testing::Test {
protected:
    // A course painted and saved as `name`; its key.
    std::string paint(const std::string& name, unsigned char red) {
        MapImage map(32, 32, red);
        map.mark(4, 16, 0, 255);
        map.save(dir.file(name));
        std::string key;
        EXPECT_TRUE(CourseTimes::keyOfFile(dir.file(name), key));
        return key;
    }
    TempDir dir;
};

// Only a faster time replaces the best, and it is read back from its own
// file; the levels' highscores.ini is never written.
TEST_F(CourseTimesTest, KeepsEachCoursesBestInItsOwnFile) {
    const std::string key = paint("valley.png", 10);
    CourseTimes times(dir.file("courses.ini"));
    EXPECT_FALSE(times.load());
    EXPECT_EQ(times.best(key), NO_HIGHSCORE);
    EXPECT_TRUE(times.record(key, 30.5));
    EXPECT_FALSE(times.record(key, 31.0));
    EXPECT_FALSE(times.record(key, 30.5));
    EXPECT_FALSE(times.record(key, 0.0));
    EXPECT_TRUE(times.record(key, 24.1234567));
    ASSERT_TRUE(times.save());
    EXPECT_EQ(readFileText(dir.file("courses.ini")), key + "=24.1235\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("highscores.ini")));

    CourseTimes again(dir.file("courses.ini"));
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.best(key), 24.1235);
    EXPECT_EQ(CourseTimes::ghostFileName(key), "course-" + key + ".ghost");
}

// A course is its map's content: repainted under the same name it starts
// afresh, copied under another name it keeps its time.
TEST_F(CourseTimesTest, ARepaintedCourseStartsAfresh) {
    const std::string first = paint("valley.png", 10);
    CourseTimes times(dir.file("courses.ini"));
    ASSERT_TRUE(times.record(first, 20.0));
    std::filesystem::copy_file(dir.file("valley.png"), dir.file("copy.png"));
    std::string copy;
    ASSERT_TRUE(CourseTimes::keyOfFile(dir.file("copy.png"), copy));
    EXPECT_EQ(copy, first);
    EXPECT_EQ(times.best(copy), 20.0);

    const std::string repainted = paint("valley.png", 11);
    EXPECT_NE(repainted, first);
    EXPECT_EQ(repainted, CourseTimes::keyOf(fileBytes(dir.file("valley.png"))));
    EXPECT_EQ(times.best(repainted), NO_HIGHSCORE);
    std::string none;
    EXPECT_FALSE(CourseTimes::keyOfFile(dir.file("missing.png"), none));
}

TEST_F(CourseTimesTest, SkipsLinesThatAreNoCourseTime) {
    CourseTimes times;
    std::istringstream in("0123456789abcdef=12.5\n"
                          "0123456789abcde=3\n"        // too short
                          "0123456789ABCDEF=3\n"       // not as keys are made
                          "1=4\n"                      // a level's line
                          "fedcba9876543210=abc\n"
                          "fedcba9876543210=inf\n"
                          "0123456789abcdef=11\n");  // a later line wins
    times.read(in);
    EXPECT_EQ(times.format(), "0123456789abcdef=11\n");
}

// The same safe write as the highscores: a file the player made read-only
// stays as it is, and the console says so.
TEST_F(CourseTimesTest, AReadOnlyFileIsLeftAlone) {
    dir.write("courses.ini", "0123456789abcdef=9\n");
    chmod(dir.file("courses.ini").c_str(), 0444);
    CourseTimes times(dir.file("courses.ini"));
    ASSERT_TRUE(times.load());
    ASSERT_TRUE(times.record("0123456789abcdef", 8.0));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(times.save());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), dir.file("courses.ini") + " could not be written\n");
    EXPECT_EQ(readFileText(dir.file("courses.ini")), "0123456789abcdef=9\n");
}

}  // namespace
