#pragma once

#include <string>

// Why a program could not be built: the console lines that say so, empty
// while nothing failed. The loaders hand it back instead of ending the game;
// whoever asked for the program (the start-up, the level build) shows it
// and decides what follows.
class ShaderFailure {
public:
    // Keeps the first failure: what comes after it is only its consequence.
    void set(const std::string& lines);
    const std::string& lines() const { return text; }
    explicit operator bool() const { return failed; }

private:
    std::string text;
    bool failed = false;
};
