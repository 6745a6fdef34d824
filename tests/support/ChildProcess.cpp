#include "support/ChildProcess.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

ChildResult runInChild(const std::function<void()>& body) {
    ChildResult result;
    char path[] = "/tmp/moorglide-child-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return result;
    std::fflush(stdout);
    std::fflush(stderr);
    pid_t pid = fork();
    if (pid == 0) {
        int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, STDIN_FILENO);
        dup2(fd, STDOUT_FILENO);
        dup2(fd, STDERR_FILENO);
        std::setvbuf(stdout, nullptr, _IONBF, 0);
        body();
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    close(fd);
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    result.output = text.str();
    unlink(path);
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    return result;
}

testing::AssertionResult printed(const ChildResult& result, const std::string& text) {
    if (result.output.find(text) != std::string::npos) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "\"" << text << "\" not in:\n" << result.output;
}
