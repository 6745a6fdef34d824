#include "core/Console.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace console {

void waitForKey() {
    if (!isatty(STDIN_FILENO)) return;
    std::cout << "Press Enter to continue..." << std::endl;
    int c;
    do {
        c = std::getchar();
    } while (c != '\n' && c != EOF);
}

void pauseAndExit() {
    std::cout.flush();
    std::fflush(stdout);
    waitForKey();
    std::exit(-1);
}

void report(const std::string& message) {
    std::cout << message << std::endl;
    waitForKey();
}

void fail(const std::string& message) {
    std::cout << message << std::endl;
    pauseAndExit();
}

}  // namespace console
