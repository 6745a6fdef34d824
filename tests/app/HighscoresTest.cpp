#include "app/Highscores.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "support/ChildProcess.h"
#include "support/GlContext.h"
#include "support/ProcessState.h"
#include "support/TempDir.h"

namespace {

std::string loadFrom(const std::string& content) {
    TempDir dir;
    dir.write("highscores.ini", content);
    testing::internal::CaptureStdout();
    loadHighscores(dir.file("highscores.ini"));
    return testing::internal::GetCapturedStdout();
}

const char* const FIRST_RUN_FILE =
    "1=50000\n2=50000\n3=50000\n4=50000\n5=50000\n6=50000\n7=50000\n8=50000\n9=50000\n10=50000\n";

class Highscores : public ::testing::Test {
protected:
    void SetUp() override { presetHighscores(); }
    ProcessState state;
};

}  // namespace

TEST_F(Highscores, PresetCoversLevelsOneToTenOnly) {
    highscores.clear();
    highscores[12] = 3.0;
    highscores[4] = 1.0;
    presetHighscores();
    ASSERT_EQ(highscores.size(), 11u);
    for (int level = 1; level <= 10; ++level) EXPECT_EQ(highscores[level], NO_HIGHSCORE) << level;
    EXPECT_EQ(highscores[12], 3.0);
    EXPECT_EQ(highscores.count(0), 0u);
}

TEST_F(Highscores, ReadsEntriesAndPrintsEach) {
    std::string console = loadFrom("1=42.5\n2=12.25\n");
    EXPECT_EQ(console, "Map 1: 42.500000\nMap 2: 12.250000\n");
    EXPECT_EQ(highscores[1], 42.5);
    EXPECT_EQ(highscores[2], 12.25);
    EXPECT_EQ(highscores[3], NO_HIGHSCORE);
}

TEST_F(Highscores, LinesAreReadAsByScanf) {
    std::string console = loadFrom(
        "3 = 12.5\n"      // blanks around '=': skipped
        "  4=7.5\n"       // blanks before the level: read
        "5=abc\n"         // no time: skipped
        "6=\n"
        "=6\n"
        "\n"
        "garbage\n"
        "0x7=1.5\n"       // hexadecimal level
        "010=2.5\n"       // octal level: 8
        "9=3.5 trailing\n"
        "2=nan\n");       // a NaN best time could never be beaten
    EXPECT_EQ(highscores[3], NO_HIGHSCORE);
    EXPECT_EQ(highscores[4], 7.5);
    EXPECT_EQ(highscores[5], NO_HIGHSCORE);
    EXPECT_EQ(highscores[6], NO_HIGHSCORE);
    EXPECT_EQ(highscores[7], 1.5);
    EXPECT_EQ(highscores[8], 2.5);
    EXPECT_EQ(highscores[9], 3.5);
    EXPECT_EQ(highscores[2], NO_HIGHSCORE);
    EXPECT_EQ(highscores.size(), 10u);
    EXPECT_EQ(console, "Map 4: 7.500000\nMap 7: 1.500000\nMap 8: 2.500000\nMap 9: 3.500000\n");
}

TEST_F(Highscores, LaterLineWinsAndOddLevelsStay) {
    loadFrom("1=30\n1=20\n12=99.5\n0=4\n-3=5\n");
    EXPECT_EQ(highscores[1], 20.0);
    EXPECT_EQ(highscores[12], 99.5);
    EXPECT_EQ(highscores[0], 4.0);
    EXPECT_EQ(highscores[-3], 5.0);
    EXPECT_EQ(highscores.size(), 13u);
}

TEST_F(Highscores, EveryFiniteTimeIsKeptAndOtherNumbersAreDropped) {
    std::string console = loadFrom(
        "99999999999999999999=1e400\n"  // level beyond int, infinite time
        "-99999999999999999999=5\n"
        "2147483648=5\n"
        "1=-1e400\n"                   // an unbeatable -inf
        "2=inf\n"
        "3=0\n"                        // times of zero and below are times
        "4=-2\n"
        "5=1e-400\n"                   // too small for a double: 0, as scanf reads it
        "-2147483648=7\n"              // still an int: kept
        "12=8.5\n");
    EXPECT_EQ(console,
              "Map 3: 0.000000\nMap 4: -2.000000\nMap 5: 0.000000\nMap -2147483648: 7.000000\nMap 12: 8.500000\n");
    EXPECT_EQ(formatHighscores(),
              "-2147483648=7\n1=50000\n2=50000\n3=0\n4=-2\n5=0\n6=50000\n7=50000\n8=50000\n9=50000\n"
              "10=50000\n12=8.5\n");
}

TEST_F(Highscores, MissingFileKeepsPresetAndSaysSo) {
    testing::internal::CaptureStdout();
    loadHighscores("/nonexistent/highscores.ini");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "highscore.ini not found\n");
    EXPECT_EQ(highscores.size(), 10u);
    EXPECT_EQ(highscores[1], NO_HIGHSCORE);
}

TEST_F(Highscores, WrittenFormatIsTheStreamDefault) {
    EXPECT_EQ(formatHighscores(), FIRST_RUN_FILE);
    highscores[1] = 42.123456;
    highscores[2] = 12.34567;
    highscores[3] = 0.0;
    highscores[4] = 1234567.0;
    highscores[5] = 0.0000123;
    highscores[6] = 7.5;
    highscores[-1] = 1.0;
    EXPECT_EQ(formatHighscores(),
              "-1=1\n1=42.1235\n2=12.3457\n3=0\n4=1.23457e+06\n5=1.23e-05\n6=7.5\n7=50000\n8=50000\n9=50000\n"
              "10=50000\n");
}

TEST_F(Highscores, SaveWritesEveryEntryAndRoundTrips) {
    TempDir dir;
    loadFrom("12=99.5\n");
    highscores[1] = 42.123456;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(saveHighscores(dir.file("highscores.ini")));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(readFileText(dir.file("highscores.ini")),
              "1=42.1235\n2=50000\n3=50000\n4=50000\n5=50000\n6=50000\n7=50000\n8=50000\n9=50000\n10=50000\n"
              "12=99.5\n");
    EXPECT_NE(access(dir.file("highscores.ini.tmp").c_str(), F_OK), 0);

    // The next run reads the rounded value.
    highscores.clear();
    presetHighscores();
    testing::internal::CaptureStdout();
    loadHighscores(dir.file("highscores.ini"));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(highscores[1], 42.1235);
    EXPECT_EQ(highscores[12], 99.5);
}

TEST_F(Highscores, SaveReplacesAnOlderFile) {
    TempDir dir;
    dir.write("highscores.ini", "1=10\n2=20\n3=30\n4=40\n5=50\n6=60\n7=70\n8=80\n9=90\n10=100\n11=110\n");
    EXPECT_TRUE(saveHighscores(dir.file("highscores.ini")));
    EXPECT_EQ(readFileText(dir.file("highscores.ini")), FIRST_RUN_FILE);
}

TEST_F(Highscores, WithoutATemporaryFileTheFileIsRewrittenInPlace) {
    TempDir dir;
    dir.write("highscores.ini", "1=12.5\n");
    // The temporary file cannot be created: a folder is in its way.
    ASSERT_EQ(mkdir(dir.file("highscores.ini.tmp").c_str(), 0755), 0);
    dir.write("highscores.ini.tmp/keep", "x");
    highscores[1] = 11.0;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(saveHighscores(dir.file("highscores.ini")));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(readFileText(dir.file("highscores.ini")).substr(0, 7), "1=11\n2=");
    EXPECT_EQ(readFileText(dir.file("highscores.ini.tmp/keep")), "x");
}

TEST_F(Highscores, ReplacementKeepsPermissionsAndSymlinks) {
    TempDir dir;
    dir.write("scores", "1=12.5\n");
    ASSERT_EQ(chmod(dir.file("scores").c_str(), 0604), 0);
    ASSERT_EQ(symlink("scores", dir.file("highscores.ini").c_str()), 0);
    EXPECT_TRUE(saveHighscores(dir.file("highscores.ini")));
    struct stat link;
    ASSERT_EQ(lstat(dir.file("highscores.ini").c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode)) << "the link was replaced";
    EXPECT_EQ(readFileText(dir.file("scores")), FIRST_RUN_FILE);
    struct stat target;
    ASSERT_EQ(stat(dir.file("scores").c_str(), &target), 0);
    EXPECT_EQ(target.st_mode & 0777, 0604u);
}

TEST_F(Highscores, FailedRenameRemovesTheTemporaryFile) {
    TempDir dir;
    // The target is a folder with content: the rename cannot replace it.
    ASSERT_EQ(mkdir(dir.file("highscores.ini").c_str(), 0755), 0);
    dir.write("highscores.ini/inside", "keep");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(saveHighscores(dir.file("highscores.ini")));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "highscore.ini could not be written\n");
    EXPECT_EQ(readFileText(dir.file("highscores.ini/inside")), "keep");
    EXPECT_NE(access(dir.file("highscores.ini.tmp").c_str(), F_OK), 0);
}

TEST_F(Highscores, MissingFolderFails) {
    testing::internal::CaptureStdout();
    EXPECT_FALSE(saveHighscores("/nonexistent/folder/highscores.ini"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "highscore.ini could not be written\n");
}

TEST_F(Highscores, AFileThatMayNotBeWrittenStaysAsItIs) {
    TempDir dir;
    dir.write("highscores.ini", "1=12.5\n");
    // No write permission for anyone: the player's lock, kept even by root.
    ASSERT_EQ(chmod(dir.file("highscores.ini").c_str(), 0444), 0);
    highscores[1] = 11.0;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(saveHighscores(dir.file("highscores.ini")));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "highscore.ini could not be written\n");
    EXPECT_EQ(readFileText(dir.file("highscores.ini")), "1=12.5\n");
    struct stat info;
    ASSERT_EQ(stat(dir.file("highscores.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
    EXPECT_NE(access(dir.file("highscores.ini.tmp").c_str(), F_OK), 0);
}

TEST_F(Highscores, ReadOnlyFolder) {
    TempDir dir;
    dir.write("highscores.ini", "1=12.5\n");
    ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
    // Root may make files in any folder: it writes as an ordinary user, so
    // that no temporary file can be made there in either case.
    auto saveAsUser = [&] {
        return runInChild([&] {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(20);
            highscores[1] = 11.0;
            _exit(saveHighscores(dir.file("highscores.ini")) ? 10 : 0);
        });
    };
    ASSERT_EQ(chmod(dir.file("highscores.ini").c_str(), 0444), 0);
    ChildResult locked = saveAsUser();
    EXPECT_EQ(locked.exitCode, 0) << locked.output;
    EXPECT_TRUE(printed(locked, "highscore.ini could not be written"));
    EXPECT_EQ(readFileText(dir.file("highscores.ini")), "1=12.5\n");
    // A file the writer may write, in the read-only folder, gets the new time.
    ASSERT_EQ(chmod(dir.file("highscores.ini").c_str(), 0666), 0);
    ChildResult writable = saveAsUser();
    chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(writable.exitCode, 10) << writable.output;
    EXPECT_EQ(readFileText(dir.file("highscores.ini")).substr(0, 5), "1=11\n");
}

TEST_F(Highscores, AFifoReadsAsMissingAndIsLeftAlone) {
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.file("highscores.ini").c_str(), 0644), 0);
    // With no writer at the other end, opening it would wait for ever.
    ChildResult run = runInChild([&] {
        alarm(60);
        loadHighscores(dir.file("highscores.ini"));
        _exit(saveHighscores(dir.file("highscores.ini")) ? 10 : 0);
    });
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "highscore.ini not found\nhighscore.ini could not be written\n");
    struct stat info;
    ASSERT_EQ(lstat(dir.file("highscores.ini").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}
