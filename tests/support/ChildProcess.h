#pragma once

#include <functional>
#include <string>

#include <gtest/gtest.h>

// Runs `body` in a forked child whose standard output (and error) go to a
// file and whose standard input is empty, so code that ends the process or
// waits for a key can be tested. Fork before any GL or X state exists.
struct ChildResult {
    int exitCode = -1000;  // -1000: did not exit normally
    std::string output;
};

ChildResult runInChild(const std::function<void()>& body);

// runInChild working in `folder` with a fresh GL context of its own; the
// child exits with 90 when it cannot enter the folder, 91 without a context.
ChildResult runWithContextIn(const std::string& folder, const std::function<void()>& body);

// Passes when the child printed `text`; shows all it printed when not.
testing::AssertionResult printed(const ChildResult& result, const std::string& text);
