#include "link/transfer_files.h"

#include "core/clock.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace vdl {

namespace {

class StdFile : public TransferFile {
public:
    StdFile(std::FILE* f, std::string path) : f_(f), path_(std::move(path)) {}
    ~StdFile() override { std::fclose(f_); }
    StdFile(const StdFile&) = delete;
    StdFile& operator=(const StdFile&) = delete;

    int Read(int64_t pos, uint8_t* d, int n) override {
        if (!Seek(pos)) return -1;
        const size_t got = std::fread(d, 1, static_cast<size_t>(n < 0 ? 0 : n), f_);
        if (got < static_cast<size_t>(n) && std::ferror(f_)) return Fail(EIO, -1);
        return static_cast<int>(got);
    }
    bool Write(int64_t pos, const uint8_t* d, int n) override {
        if (!Seek(pos)) return false;
        if (n > 0 && std::fwrite(d, 1, static_cast<size_t>(n), f_) != static_cast<size_t>(n))
            return Fail(errno ? errno : EIO, false);
        // Written through at once, so that a full disk is seen at this segment.
        if (std::fflush(f_) != 0) return Fail(errno ? errno : EIO, false);
        return true;
    }
    bool Truncate(int64_t size) override {
        if (std::fflush(f_) != 0) return Fail(errno ? errno : EIO, false);
        std::error_code ec;
        fs::resize_file(path_, static_cast<uintmax_t>(size < 0 ? 0 : size), ec);
        if (ec) return Fail(ec.value(), false);
        return true;
    }
    int Error() const override { return error_; }

private:
    bool Seek(int64_t pos) {
        errno = 0;
        if (std::fseek(f_, static_cast<long>(pos), SEEK_SET) != 0)
            return Fail(errno ? errno : EIO, false);
        return true;
    }
    template <typename T> T Fail(int code, T result) {
        error_ = code;
        std::clearerr(f_);
        return result;
    }

    std::FILE* f_;
    std::string path_;
    int error_ = 0;
};

double LocalDayNumber(fs::file_time_type t) {
    const auto sys = std::chrono::file_clock::to_sys(t);
    const std::time_t tt = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys));
    const std::tm* lt = std::localtime(&tt);
    if (!lt) return 0;
    return EncodeDateTime(lt->tm_year + 1900, lt->tm_mon + 1, lt->tm_mday, lt->tm_hour, lt->tm_min,
                          lt->tm_sec);
}

} // namespace

std::shared_ptr<TransferFile> StdTransferFiles::Create(const std::string& path, int& error) {
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "w+b");
    if (!f) {
        error = errno ? errno : EIO;
        return nullptr;
    }
    return std::make_shared<StdFile>(f, path);
}

std::shared_ptr<TransferFile> StdTransferFiles::Open(const std::string& path, int64_t& size,
                                                     int& error) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        error = ec ? ec.value() : ENOENT;
        return nullptr;
    }
    const auto n = fs::file_size(path, ec);
    if (ec) {
        error = ec.value();
        return nullptr;
    }
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = errno ? errno : EIO;
        return nullptr;
    }
    size = static_cast<int64_t>(n);
    return std::make_shared<StdFile>(f, path);
}

bool StdTransferFiles::Remove(const std::string& path) {
    std::error_code ec;
    return fs::remove(path, ec);
}

std::vector<TransferFileInfo> StdTransferFiles::List(const std::string& dir) {
    std::vector<TransferFileInfo> out;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        TransferFileInfo e;
        e.name = it->path().filename().string();
        std::error_code e2;
        e.dir = it->is_directory(e2);
        if (!e.dir && !it->is_regular_file(e2)) continue;
        if (!e.dir) e.size = static_cast<int64_t>(it->file_size(e2));
        const auto t = it->last_write_time(e2);
        if (!e2) e.modified = LocalDayNumber(t);
        out.push_back(std::move(e));
    }
    return out;
}

} // namespace vdl
