#include "core/data_dir_entry.h"

#include <filesystem>

namespace vdl {

namespace fs = std::filesystem;

DataDirState CheckDataDirEntry(const std::string& text) {
    if (text.empty()) return DataDirState::Invalid;
    fs::path p(text);
    // A relative directory would depend on where the program happens to be started.
    if (!p.is_absolute()) return DataDirState::Invalid;
    std::error_code ec;
    fs::file_status st = fs::status(p, ec);
    if (st.type() == fs::file_type::not_found) return DataDirState::Missing;
    if (ec) return DataDirState::Invalid;
    return fs::is_directory(st) ? DataDirState::Exists : DataDirState::Invalid;
}

bool CreateDataDir(const std::string& path) {
    std::error_code ec;
    fs::create_directories(fs::path(path), ec);
    return fs::is_directory(fs::path(path), ec);
}

} // namespace vdl
