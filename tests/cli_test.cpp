#include "test_files.h"

#include <gtest/gtest.h>

#include <cstdlib>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace {

#ifdef _WIN32
const std::string changeDirectory = "cd /d"; // the temporary folder may be on another drive
#else
const std::string changeDirectory = "cd";
#endif

struct Invocation {
    int status;
    std::string out;
    std::string err;
};

// Runs tallyon-cli in a fresh folder, which is its current directory.
class Cli : public testing::Test {
  protected:
    Invocation run(const std::string& arguments) {
        std::string command = changeDirectory + " \"" + folder.path.string() +
                              "\" && \"" TALLYON_CLI "\" " + arguments + " >out.txt 2>err.txt";
        int status = std::system(command.c_str());
#ifndef _WIN32
        status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
        return {status, readBytes(folder.file("out.txt")), readBytes(folder.file("err.txt"))};
    }

    TemporaryFolder folder;
};

TEST_F(Cli, KeywordRunPrintsTheRowsAndWritesTheLog) {
    writeBytes(folder.file("t.txt"), "b a b c c c\r\n");
    Invocation result = run("keywords t.txt");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "3\tc\n2\tb\n1\ta\n");
    EXPECT_EQ(readBytes(folder.file("keyword.log")), "3 : c\r\n2 : b\r\n1 : a\r\n");
}

TEST_F(Cli, KeywordOptionsReachTheEngine) {
    writeBytes(folder.file("t.txt"), "aa aa aa bbb bbb c x x xyz\r\n");
    writeBytes(folder.file("user.lst"), "y\r\n");
    writeBytes(folder.file("ignore.lst"), "x\r\n");
    Invocation result = run("keywords --rows 2 --min-count 2 --min-bytes 2,0,0,0,0,0 "
                            "--user-words user.lst --ignore-words ignore.lst -o log.txt t.txt");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "3\taa\n2\tbbb\n");
    EXPECT_EQ(readBytes(folder.file("log.txt")), "3 : aa\r\n2 : bbb\r\n");

    result = run("keywords --to-upper --english --min-bytes 0,0,0,0,0,-1 t.txt");
    EXPECT_EQ(readBytes(folder.file("keyword.log")).substr(0, 14), "3 : aa\r\n3 : AA");

    std::string text;
    for (int i = 0; i < 60; ++i) text += "w" + std::to_string(i) + " ";
    writeBytes(folder.file("t.txt"), text + "\n");
    result = run("keywords --rows 80 t.txt");
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 50);
    EXPECT_EQ(run("keywords --rows -3 t.txt").out, "");
}

TEST_F(Cli, SearchWritesTheResultFile) {
    writeBytes(folder.file("t.txt"), "abc.\r\nxyz\r\n");
    Invocation result = run("search --to-upper -o r.txt t.txt ABC");
    EXPECT_EQ(result.status, 0);
    std::string file = readBytes(folder.file("r.txt"));
    EXPECT_NE(file.find("\r\n\r\n0L : abc.\r\n\r\n//"), std::string::npos);
    EXPECT_EQ(run("search t.txt \"\"").status, 0);
    EXPECT_NE(readBytes(folder.file("result.txt")).find("1L : \r\n\r\n2L : xyz\r\n"),
              std::string::npos);
}

TEST_F(Cli, ExitStatusIsTheRunResult) {
    EXPECT_EQ(run("keywords missing.txt").status, 2);
    EXPECT_EQ(run("search missing.txt a").status, 2);
    writeBytes(folder.file("long.txt"), std::string(1024, 'a'));
    EXPECT_EQ(run("keywords long.txt").status, 4);
    EXPECT_EQ(run("keywords -o no/such/dir/k.log long.txt").status, 1);
}

TEST_F(Cli, UsageErrorsExit64WithOneLineAndHelpPrintsUsage) {
    writeBytes(folder.file("t.txt"), "a\n");
    for (const char* arguments :
         {"", "count t.txt", "keywords", "keywords t.txt t.txt", "keywords --bogus t.txt",
          "keywords --rows", "keywords --rows ten t.txt", "keywords --rows 99999999999 t.txt",
          "keywords --min-bytes 1,2,3 t.txt", "keywords --min-bytes 1,2,3,4,5,6,7 t.txt",
          "keywords --min-bytes 1,2,,4,5,6 t.txt", "keywords --user-words missing.lst t.txt",
          "search t.txt", "search --english t.txt a"}) {
        Invocation result = run(arguments);
        EXPECT_EQ(result.status, 64) << arguments;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << arguments;
        EXPECT_EQ(result.out, "") << arguments;
    }
    Invocation help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: tallyon-cli keywords"), std::string::npos);
    EXPECT_EQ(run("search --help").status, 0);
}

} // namespace
