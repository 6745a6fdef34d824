#pragma once

#include <functional>
#include <string>

// Runs `body` in a forked child whose standard output (and error) go to a
// file and whose standard input is empty, so code that ends the process or
// waits for a key can be tested. Fork before any GL or X state exists.
struct ChildResult {
    int exitCode = -1000;  // -1000: did not exit normally
    std::string output;
};

ChildResult runInChild(const std::function<void()>& body);
