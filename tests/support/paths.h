// Where the tests find the source tree, the built programs and the program texts.
#pragma once

#include <string>

namespace vdl::test {

std::string SourceDir(); // with a trailing separator
std::string BinDir();    // the folder of the built programs and their texts, with separator
std::string TextsDir();  // the texts folder of the source tree, with separator
// A fresh empty folder below the system's temporary folder, removed by the next call with the
// same name.
std::string TempDir(const std::string& name);
// The whole content of a file; empty when it cannot be read.
std::string FileContents(const std::string& path);

} // namespace vdl::test
