#pragma once

#include <string>

class GhostTrack;

// The best run's ghost of each level, kept beside highscores.ini as
// ghosts/levelN.ghost.
std::string ghostFilePath(const std::string& folder, int level);
// Reads `folder`'s file of `level`. False with the reason in `why` when it
// is missing, unreadable, not a regular file, broken or of another level.
bool readGhostFile(const std::string& folder, int level, GhostTrack& track, std::string& why);
// Writes the track's file through a temporary file and a rename, making the
// folder when it is missing. False with the reason in `why`; an old file is
// then left as it was.
bool writeGhostFile(const std::string& folder, const GhostTrack& track, std::string& why);

// The same for a file of any name in `folder` (an own course's
// "course-<key>.ghost"); `level` 0 reads a run of any level, as the
// numbers of own courses can change from one run to the next.
bool readGhostFileNamed(const std::string& folder, const std::string& name, int level, GhostTrack& track,
                        std::string& why);
bool writeGhostFileNamed(const std::string& folder, const std::string& name, const GhostTrack& track,
                         std::string& why);
