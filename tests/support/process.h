// Runs one of the built programs and collects what it printed.
#pragma once

#include <string>

namespace vdl::test {

struct ProcessResult {
    int exitCode = -1;
    std::string out; // standard output
    std::string err; // standard error
};

// Runs a shell command line; stdin is empty unless input is given.
ProcessResult RunProgram(const std::string& commandLine, const std::string& input = "");

// Quotes an argument for the shell.
std::string Quote(const std::string& s);

} // namespace vdl::test
