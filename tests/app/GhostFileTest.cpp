#include "app/GhostFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "support/ChildProcess.h"
#include "support/GhostPoses.h"

namespace {


}  // namespace

TEST(GhostFile, IsWrittenIntoANewFolderAndReadBackForItsLevelOnly) {
    char scratch[] = "/tmp/moorglide-ghost-XXXXXX";
    ASSERT_NE(mkdtemp(scratch), nullptr);
    const std::string folder = std::string(scratch) + "/ghosts";
    GhostTrack track;
    track.level = 4;
    track.samples = {poseAt(1.0f), poseAt(2.0f)};
    std::string why;
    ASSERT_TRUE(writeGhostFile(folder, track, why)) << why;
    EXPECT_NE(access((folder + "/level4.ghost.tmp").c_str(), F_OK), 0) << "temporary file left behind";

    GhostTrack read;
    ASSERT_TRUE(readGhostFile(folder, 4, read, why)) << why;
    EXPECT_EQ(read.samples.size(), 2u);
    // Another level's file copied over this one is not this level's ghost.
    std::rename((folder + "/level4.ghost").c_str(), (folder + "/level5.ghost").c_str());
    EXPECT_FALSE(readGhostFile(folder, 5, read, why));
    EXPECT_EQ(why, "recorded on level 4");
    EXPECT_FALSE(readGhostFile(folder, 4, read, why));
    EXPECT_EQ(why, "not found");

    // What is not a regular file says so; a FIFO is never waited on.
    ASSERT_EQ(mkdir((folder + "/level6.ghost").c_str(), 0755), 0);
    EXPECT_FALSE(readGhostFile(folder, 6, read, why));
    EXPECT_EQ(why, "not a regular file");
    ASSERT_EQ(mkfifo((folder + "/level7.ghost").c_str(), 0644), 0);
    ChildResult fifo = runInChild([&] {
        alarm(60);
        std::string reason;
        GhostTrack ignored;
        _exit(!readGhostFile(folder, 7, ignored, reason) && reason == "not a regular file" ? 0 : 1);
    });
    EXPECT_EQ(fifo.exitCode, 0) << fifo.output;

    // A folder that cannot be made: the reason names it.
    EXPECT_FALSE(writeGhostFile(folder + "/level5.ghost/sub", track, why));
    EXPECT_NE(why.find("cannot make"), std::string::npos) << why;

    std::remove((folder + "/level5.ghost").c_str());
    rmdir((folder + "/level6.ghost").c_str());
    std::remove((folder + "/level7.ghost").c_str());
    rmdir(folder.c_str());
    rmdir(scratch);
}
