#include "app/OwnCourses.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "support/MapImage.h"
#include "support/ProcessState.h"
#include "support/TempDir.h"

namespace {

// A folder of own courses painted in the test, 64 x 64 like the checker's.
class OwnCoursesTest : public ::testing::Test {
protected:
    void SetUp() override { testing::internal::CaptureStdout(); }
    void TearDown() override { console(); }
    // What the courses said so far; said once, then nothing.
    std::string console() {
        if (captured) return "";
        captured = true;
        return testing::internal::GetCapturedStdout();
    }

    static MapImage course(unsigned goalRow = 6) {
        MapImage map(64, 64, 10);
        map.mark(goalRow, 31, 0, 255);
        return map;
    }
    // Works until nothing is due; the steps a frame gives it in the game.
    int workOut() {
        int frames = 0;
        while (courses.busy() && frames < 10000) {
            courses.work(240);
            ++frames;
        }
        return frames;
    }
    const LevelCatalogue::Entry& entry(const std::string& name) const {
        for (const LevelCatalogue::Entry& e : courses.entries())
            if (e.name == name) return e;
        ADD_FAILURE() << "no course " << name;
        return courses.entries().front();
    }

    bool captured = false;
    ProcessState state;
    TempDir dir;
    OwnCourses courses{dir.path()};
};

}  // namespace

// The board's list: PNG files by name after the ten, each checked without a
// flight first and then given a par; a bad one says why once and stays
// unplayable.
TEST_F(OwnCoursesTest, ListsChecksAndWorksOutEachCourseOnce) {
    course().save(dir.file("valley.png"));
    MapImage noGoal(64, 64, 10);
    noGoal.save(dir.file("blank.png"));
    dir.write("broken.png", "no image");
    dir.write("notes.txt", "not a course");
    mkdir(dir.file("folder.png").c_str(), 0777);

    courses.list();
    ASSERT_EQ(courses.entries().size(), 4u);
    EXPECT_EQ(courses.entries()[0].name, "blank");
    EXPECT_EQ(courses.entries()[0].number, LEVEL_COUNT + 1);
    EXPECT_EQ(courses.entries()[3].name, "valley");
    EXPECT_EQ(entry("valley").mapPath, dir.file("valley.png"));
    EXPECT_EQ(entry("valley").kind, LevelCatalogue::Kind::Own);
    EXPECT_TRUE(entry("valley").parPending);
    EXPECT_FALSE(entry("folder").playable);
    EXPECT_EQ(entry("folder").unplayableReason, "cannot be read");

    // The checks come first: every verdict stands before any par is flown.
    courses.work(240);
    courses.work(240);
    courses.work(240);
    EXPECT_FALSE(entry("blank").playable);
    EXPECT_EQ(entry("blank").unplayableReason, "no goal gate");
    EXPECT_EQ(entry("broken").unplayableReason, "not a PNG image");
    EXPECT_TRUE(entry("valley").playable);
    EXPECT_FALSE(entry("valley").hasPar);

    EXPECT_GT(workOut(), 1) << "the par flight was not worked in pieces";
    EXPECT_TRUE(entry("valley").hasPar);
    EXPECT_FALSE(entry("valley").parPending);
    EXPECT_GT(entry("valley").par, 0.0);

    // Listed again: nothing is worked out or said twice.
    courses.list();
    EXPECT_FALSE(courses.busy());
    const std::string said = console();
    for (const char* name : {"blank", "broken", "folder"}) {
        const std::string line = std::string("Course ") + name + " cannot be flown: ";
        const size_t first = said.find(line);
        EXPECT_NE(first, std::string::npos) << said;
        EXPECT_EQ(said.find(line, first + 1), std::string::npos) << said;
    }
    EXPECT_NE(said.find("Course valley: par "), std::string::npos) << said;
}

// A course keeps its number for the run when others join the folder, and is
// worked out again once repainted; one chosen before its check is checked
// at once.
TEST_F(OwnCoursesTest, NumbersStayAndARepaintedCourseIsWorkedOutAgain) {
    course().save(dir.file("m.png"));
    courses.list();
    workOut();
    const std::string key = entry("m").key;
    ASSERT_TRUE(entry("m").hasPar);

    course(20).save(dir.file("m.png"));
    MapImage buried(64, 64, 250);
    buried.mark(6, 31, 0, 255);
    buried.save(dir.file("a.png"));
    courses.list();
    ASSERT_EQ(courses.entries().size(), 2u);
    EXPECT_EQ(entry("a").number, LEVEL_COUNT + 2);
    EXPECT_EQ(entry("m").number, LEVEL_COUNT + 1);
    EXPECT_NE(entry("m").key, key);
    EXPECT_TRUE(entry("m").parPending);

    EXPECT_FALSE(courses.checkNow(LEVEL_COUNT + 2));
    EXPECT_EQ(entry("a").unplayableReason, "start inside the ground");
    EXPECT_TRUE(courses.checkNow(LEVEL_COUNT + 1));
}
