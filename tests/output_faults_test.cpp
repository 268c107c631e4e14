// A run whose output file cannot be completed fails with the output error, exit status 1, also
// when only the closing banner no longer fits.
#include "test_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs tallyon-cli with files limited to `maxFileBytes`; a write past the limit fails instead of
// ending the program.
int runLimited(rlim_t maxFileBytes, std::vector<std::string> arguments) {
    pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{maxFileBytes, maxFileBytes};
        setrlimit(RLIMIT_FSIZE, &limit);
        if (!std::freopen("/dev/null", "w", stdout)) _exit(126);
        std::vector<char*> argv = {const_cast<char*>(TALLYON_CLI)};
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        execv(TALLYON_CLI, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(OutputFaults, OutputThatDoesNotFitIsAnOutputError) {
    TemporaryFolder folder;
    const std::string target = folder.file("target.txt"), output = folder.file("output.txt");
    writeBytes(target, "abc. def abc.\n");
    const std::vector<std::string> search = {"search", "-o", output, target, "abc"};
    ASSERT_EQ(runLimited(RLIM_INFINITY, search), 0);
    const std::string whole = readBytes(output);

    // Every hit fits, the last byte of the closing banner does not.
    EXPECT_EQ(runLimited(whole.size() - 1, search), 1);
    EXPECT_EQ(runLimited(whole.size(), search), 0);
    EXPECT_EQ(readBytes(output), whole);
}

} // namespace
