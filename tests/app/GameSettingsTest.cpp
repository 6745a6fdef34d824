#include "core/GameSettings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <tuple>

#include <gtest/gtest.h>

#include "support/ChildProcess.h"
#include "support/GlContext.h"
#include "support/ProcessState.h"

namespace {

// The settings read from a file with `content`; the game's own are kept.
GameSettings readFrom(const std::string& content, std::string* console = nullptr) {
    ProcessState state;
    TempDir dir;
    dir.write("config.ini", content);
    testing::internal::CaptureStdout();
    readConfig(dir.file("config.ini"));
    std::string out = testing::internal::GetCapturedStdout();
    if (console) *console = out;
    return gameSettings;
}

// Width, height, refresh rate and full screen, to be compared at once.
std::tuple<int, int, int, bool> window(const GameSettings& s) {
    return {s.width, s.height, s.refreshRate, s.fullscreen};
}

}  // namespace

TEST(GameSettings, MissingFileGivesDefaultsAndOneLine) {
    ProcessState state;
    gameSettings.width = 1;
    testing::internal::CaptureStdout();
    readConfig("/nonexistent/config.ini");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "config.ini not found\n");
    EXPECT_EQ(window(gameSettings), std::make_tuple(800, 600, 60, false));
}

TEST(GameSettings, ANonRegularFileIsNotFound) {
    ProcessState state;
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.file("config.ini").c_str(), 0644), 0);
    ASSERT_EQ(mkdir(dir.file("folder").c_str(), 0755), 0);
    // With no writer at the other end, opening the FIFO would wait for ever.
    ChildResult run = runInChild([&] {
        alarm(60);
        readConfig(dir.file("config.ini"));
        readConfig(dir.file("folder"));
        _exit(0);
    });
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "config.ini not found\nconfig.ini not found\n");
}

TEST(GameSettings, FullFileAndSummary) {
    std::string console;
    GameSettings s = readFrom("WIDTH=1280\nHEIGHT=720\nREFRESH_RATE=75\nFULLSCREEN=1\n", &console);
    EXPECT_EQ(window(s), std::make_tuple(1280, 720, 75, true));
    EXPECT_EQ(console, "WIDTH=1280\nHEIGHT=720\nREFRESH_RATE=75\nFULLSCREEN=true\n");
}

TEST(GameSettings, NumbersAreReadAsByPercentI) {
    EXPECT_EQ(readFrom("WIDTH=0x400\n").width, 1024);
    EXPECT_EQ(readFrom("WIDTH=010\n").width, 8);
    EXPECT_EQ(readFrom("WIDTH= -12px\n").width, -12);
    EXPECT_EQ(readFrom("HEIGHT=+480abc\n").height, 480);
    // Absurd values saturate instead of overflowing.
    EXPECT_EQ(readFrom("WIDTH=99999999999999999999\n").width, 2147483647);
}

TEST(GameSettings, SoundVolumeIsClampedToZeroToHundred) {
    EXPECT_EQ(readFrom("").soundVolume, 80);
    EXPECT_EQ(readFrom("SOUND_VOLUME=0x20\n").soundVolume, 32);
    EXPECT_EQ(readFrom("SOUND_VOLUME=0\n").soundVolume, 0);
    EXPECT_EQ(readFrom("SOUND_VOLUME=250\n").soundVolume, 100);
    EXPECT_EQ(readFrom("SOUND_VOLUME=-3\n").soundVolume, 0);
    EXPECT_EQ(readFrom("SOUND_VOLUME=loud\n").soundVolume, 80);
}

TEST(GameSettings, WordsAndEmptyValuesChangeNothing) {
    std::string console;
    GameSettings s = readFrom("FULLSCREEN=true\n", &console);
    EXPECT_FALSE(s.fullscreen);
    EXPECT_NE(console.find("FULLSCREEN=false"), std::string::npos);
    s = readFrom("WIDTH=1024\n\nREFRESH_RATE=\nHEIGHT=abc\nHEIGHT=700\n");
    EXPECT_EQ(s.width, 1024);
    EXPECT_EQ(s.refreshRate, 60);
    EXPECT_EQ(s.height, 700);
}

TEST(GameSettings, KeysMustStartTheLineInExactCase) {
    GameSettings s = readFrom(" WIDTH=1024\nwidth=1024\nWIDTH =1024\nXWIDTH=5\n");
    EXPECT_EQ(s.width, 800);
}

TEST(GameSettings, LaterLineWinsAndWindowsLineEndsAreFine) {
    GameSettings s = readFrom("WIDTH=640\r\nWIDTH=1024\r\nFULLSCREEN=0\r\n");
    EXPECT_EQ(s.width, 1024);
    EXPECT_FALSE(s.fullscreen);
}

TEST(GameSettings, EmptyFilePrintsDefaults) {
    std::string console;
    GameSettings s = readFrom("", &console);
    EXPECT_EQ(s.width, 800);
    EXPECT_EQ(console, "WIDTH=800\nHEIGHT=600\nREFRESH_RATE=60\nFULLSCREEN=false\n");
}

TEST(GameSettings, DefaultsAreRestoredBeforeEachRead) {
    readFrom("WIDTH=1234\n");
    EXPECT_EQ(readFrom("HEIGHT=10\n").width, 800);
}

TEST(GameSettings, WindowSizeFitsTheLimits) {
    GameSettings s;
    EXPECT_FALSE(fitWindowSize(s, 1280, 1024));
    EXPECT_EQ(s.width, 800);
    // Above the limit: the limit; no limit: as asked; below 1: as asked, for
    // start-up to refuse.
    s.width = -5;
    s.height = 100000;
    EXPECT_TRUE(fitWindowSize(s, 1280, 1024));
    EXPECT_EQ(s.width, -5);
    EXPECT_EQ(s.height, 1024);
    s.width = 0;
    s.height = 5000;
    EXPECT_FALSE(fitWindowSize(s, 0, 0));
    EXPECT_EQ(s.width, 0);
    EXPECT_EQ(s.height, 5000);
    s.width = 20000;
    EXPECT_TRUE(fitWindowSize(s, 640, 480));
    EXPECT_EQ(s.width, 640);
    EXPECT_EQ(s.height, 480);
}
