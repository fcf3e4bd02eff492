// Runs one of the built programs and collects what it printed.
#pragma once

#include <string>
#include <vector>

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

// What a program printed, line by line, without the line ends (LF or CR LF).
std::vector<std::string> OutputLines(const std::string& out);

} // namespace vdl::test
