#include "core/file_io.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace vdl {

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& data, size_t maxSize) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    auto size = fs::file_size(path, ec);
    if (ec || size > maxSize) return false;
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    data.resize(static_cast<size_t>(size));
    if (size > 0) f.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(size));
    return static_cast<uint64_t>(f.gcount()) == size || size == 0;
}

size_t WriteWholeFile(const std::string& path, const void* data, size_t size, std::string& error) {
    std::string tmp = path + ".~tmp";
    size_t written = 0;
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        if (!f) {
            error = path + ": " + std::strerror(errno);
            return 0;
        }
        f.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        f.flush();
        if (f)
            written = size;
        else
            error = path + ": " + std::strerror(errno);
    }
    std::error_code ec;
    if (written != size) {
        fs::remove(tmp, ec);
        return 0;
    }
    fs::rename(tmp, path, ec);
    if (ec) {
        error = path + ": " + ec.message();
        fs::remove(tmp, ec);
        return 0;
    }
    return written;
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    std::error_code ea, eb;
    if (fs::exists(a, ea) && fs::exists(b, eb)) {
        bool same = fs::equivalent(a, b, ea);
        if (!ea) return same;
    }
    auto full = [](const std::string& p) {
        std::error_code ec;
        fs::path c = fs::weakly_canonical(p, ec);
        return ec ? fs::absolute(p, ec).lexically_normal() : c;
    };
    return full(a) == full(b);
}

bool DirExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

} // namespace vdl
