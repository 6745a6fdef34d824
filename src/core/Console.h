#pragma once

#include <string>

// The console is the game's only report channel.
namespace console {

// Waits for Enter, but only when a person can press it: a run without a
// terminal (CI, a desktop launcher) must never hang here.
void waitForKey();

// Prints the message and waits as above; the game goes on.
void report(const std::string& message);

// Prints the message, waits as above and ends the process with exit code -1.
[[noreturn]] void fail(const std::string& message);

// Waits as above and ends the process with exit code -1; for callers that
// have printed their own lines already.
[[noreturn]] void pauseAndExit();

}  // namespace console
