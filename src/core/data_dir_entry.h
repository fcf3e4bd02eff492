// The data directory as the general settings take it from an entry field.
#pragma once

#include <string>

namespace vdl {

enum class DataDirState {
    Exists,  // an existing directory
    Missing, // an absolute path that does not exist yet (it may be created)
    Invalid, // empty, relative, or the name of something that is no directory
};

DataDirState CheckDataDirEntry(const std::string& text);
// Creates the directory with all its parents; true when it exists afterwards.
bool CreateDataDir(const std::string& path);

} // namespace vdl
