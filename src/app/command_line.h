// The program's command line: log, parameter set and object text files by their extension,
// the online and offline words, the switches "t1" and "t2", and a data directory.
#pragma once

#include "core/text_table.h"

#include <functional>
#include <string>
#include <vector>

namespace vdl {

struct CommandLine {
    std::string dtLog;        // log file named (without its leading "-")
    std::string dtStartLog;   // the same when it carried a leading "-"
    std::string dtSeTeLi;     // parameter set file named and existing
    bool seTeLiNamed = false; // a parameter set file was named (existing or not)
    std::string dtOaTxt;      // object text file named and existing
    int online = -1;          // -1 unchanged, 0 offline word, 1 online word
    bool t2 = false;
    std::string dataDir;             // accepted data directory (with a trailing separator), or ""
    std::vector<std::string> errors; // messages to show, in order
};

struct CommandLineEnv {
    std::string dataDir; // the present data directory, with a trailing separator
    std::function<bool(const std::string&)> fileExists;
    std::function<bool(const std::string&)> dirExists;
    std::function<bool(const std::string&)> isWritable;
};

// Classifies the arguments (without the program name).
CommandLine EvaluateCommandLine(const std::vector<std::string>& args, const TextTable& texts,
                                const CommandLineEnv& env);

// True for an absolute path: a drive letter and colon, two backslashes, or (Unix) a leading "/".
bool IsAbsolutePath(const std::string& p);
// Case-insensitive comparison of a file's extension with an extension text (with or without
// its leading dot).
bool HasExtension(const std::string& file, const std::string& ext);

} // namespace vdl
