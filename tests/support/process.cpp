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
    std::string cmd = "(" + commandLine + ") <" + Quote(in) + " >" + Quote(out) + " 2>" + Quote(err);
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

} // namespace vdl::test
