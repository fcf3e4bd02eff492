#include "support/paths.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#ifdef _WIN32
#include <process.h>
#define vdl_getpid _getpid
#else
#include <unistd.h>
#define vdl_getpid getpid
#endif

namespace vdl::test {

std::string SourceDir() { return std::string(VDL_SOURCE_DIR) + "/"; }
std::string BinDir() { return std::string(VDL_BIN_DIR) + "/"; }
std::string TextsDir() { return SourceDir() + "texts/"; }

std::string TempDir(const std::string& name) {
    namespace fs = std::filesystem;
    fs::path p = fs::temp_directory_path() / ("vordal-test-" + name + "-" + std::to_string(vdl_getpid()));
    std::error_code ec;
    fs::remove_all(p, ec);
    fs::create_directories(p);
    return p.string() + "/";
}

std::string FileContents(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

} // namespace vdl::test
