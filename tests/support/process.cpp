#include "support/process.h"

#include "support/paths.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace vdl::test {

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

ProcessResult RunProgram(const std::string& commandLine, const std::string& input) {
    std::string dir = TempDir("process");
    std::string in = dir + "in", out = dir + "out", err = dir + "err";
    {
        std::ofstream f(in, std::ios::binary);
        f << input;
    }
    std::string cmd =
        "(" + commandLine + ") <" + Quote(in) + " >" + Quote(out) + " 2>" + Quote(err);
    int status = std::system(cmd.c_str());
    ProcessResult r;
#ifdef _WIN32
    r.exitCode = status;
#else
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    r.out = FileContents(out);
    r.err = FileContents(err);
    return r;
}

std::vector<std::string> OutputLines(const std::string& out) {
    std::vector<std::string> v;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        v.push_back(line);
    }
    return v;
}

} // namespace vdl::test
