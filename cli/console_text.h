#pragma once

#include <string>
#include <vector>

// How text crosses the command line and stdout, which differs by platform.
struct ConsoleText {
    bool utf8Arguments = false; // arguments are UTF-8 text rather than code page 932 bytes
    bool utf8Stdout = false;    // rows are printed in UTF-8 rather than code page 932
};

// Sets up stdout and the locale and tells how text crosses: on Windows the arguments are always
// UTF-8 (see programArguments) and stdout follows the console's output code page; elsewhere both
// follow the codeset of the locale's LC_CTYPE, as Unix tools do.
ConsoleText setUpConsole();

// The arguments after the program's name: on Windows read again from the UTF-16 command line and
// held in UTF-8, so that no typed character is lost and a path opens as it is; elsewhere the bytes
// as given.
std::vector<std::string> programArguments(int argc, char** argv);

// A path as the failure messages print it: on Windows in the console's output code page, from
// the UTF-8 that the engine opens; elsewhere the bytes as given.
std::string printedPath(const std::string& path);

// A file name as patterns are matched against it: on Windows, whose file names ignore case, with
// A-Z as a-z; elsewhere as it is.
std::string foldedFileName(const std::string& name);

// Whether stderr is a terminal, where a line that shows a run's progress can be redrawn.
bool stderrIsTerminal();
