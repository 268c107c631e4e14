// Runs each case folder of tests/cases through tallyon-cli. A case holds `command` (the
// arguments, one line), `input/` (the files of the folder the command runs in) and `expected/`:
// the files the run leaves that are new or changed, `stdout` and `stderr` unless empty, and
// `status`, the exit status. An optional `locale` names the LC_ALL to run in (C otherwise); such
// cases need a POSIX shell. Where Windows words a cause differently, `stderr.windows` holds its
// line.

#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

#ifdef _WIN32
constexpr bool onWindows = true;
const std::string changeDirectory = "cd /d"; // the temporary folder may be on another drive

// A command in UTF-16, so that every character of its arguments reaches the program: read as
// UTF-8 where it is valid UTF-8, else as the Shift-JIS that some cases give.
std::wstring wideCommand(const std::string& command) {
    const char* text = command.c_str();
    UINT codePage =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0) ? CP_UTF8 : 932;
    std::wstring wide(MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, wide.data(), static_cast<int>(wide.size()));
    return wide;
}
#else
constexpr bool onWindows = false;
const std::string changeDirectory = "cd";
#endif

Files filesIn(const fs::path& folder) {
    Files files;
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).generic_u8string()] =
                readBytes(entry.path().u8string());
    return files;
}

// stderr is a text stream, whose lines end in CR LF on Windows; stdout is binary everywhere.
std::string withLfLineEnds(std::string text) {
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    return text;
}

std::string withoutLineEnd(std::string text) {
    text.erase(text.find_last_not_of("\r\n") + 1);
    return text;
}

int runInFolder(const fs::path& folder, const std::string& arguments, const std::string& locale) {
    const std::string environment =
        onWindows ? "" : "LC_ALL=" + (locale.empty() ? "C" : locale) + " ";
    const std::string command = changeDirectory + " \"" + folder.u8string() + "\" && " +
                                environment + "\"" TALLYON_CLI "\" " + arguments +
                                " >stdout 2>stderr";
#ifndef _WIN32
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#else
    return _wsystem(wideCommand(command).c_str());
#endif
}

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, LeavesTheExpectedFiles) {
    const fs::path source = fs::path(TALLYON_CASES) / GetParam();
    const std::string locale = withoutLineEnd(readBytes((source / "locale").string()));
    if (onWindows && !locale.empty()) GTEST_SKIP() << "needs a POSIX shell to set LC_ALL";
    TemporaryFolder folder;
    const Files input = filesIn(source / "input");
    for (const auto& [name, bytes] : input) {
        fs::create_directories(fs::u8path(folder.file(name)).parent_path());
        writeBytes(folder.file(name), bytes);
    }
    const int status =
        runInFolder(folder.path, withoutLineEnd(readBytes((source / "command").string())), locale);
    Files left = {{"status", std::to_string(status) + "\n"}};
    for (const auto& [name, bytes] : filesIn(folder.path)) {
        const bool emptyStream = (name == "stdout" || name == "stderr") && bytes.empty();
        const auto original = input.find(name);
        if (!emptyStream && (original == input.end() || original->second != bytes))
            left[name] = name == "stderr" ? withLfLineEnds(bytes) : bytes;
    }
    Files expected = filesIn(source / "expected");
    const auto windowsStderr = expected.extract("stderr.windows");
    if (onWindows && windowsStderr) expected["stderr"] = windowsStderr.mapped();
    EXPECT_EQ(left, expected);
}

std::vector<std::string> caseNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(TALLYON_CASES))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, testing::ValuesIn(caseNames()),
                         [](const auto& info) { return info.param; });

} // namespace
