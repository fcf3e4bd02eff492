// The files of file transfer, behind a small interface: a file is created, sized, written and
// read at an offset, truncated, removed, and a directory is listed. The program uses the
// standard library's file system; tests use a fake that can refuse any step.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vdl {

// One open file. Every call says whether it worked; Error() gives the system's code of the
// last failure.
class TransferFile {
public:
    virtual ~TransferFile() = default;
    // Reads up to n octets at pos into d: the number read (0 at the end), -1 on an error.
    virtual int Read(int64_t pos, uint8_t* d, int n) = 0;
    virtual bool Write(int64_t pos, const uint8_t* d, int n) = 0;
    virtual bool Truncate(int64_t size) = 0;
    virtual int Error() const = 0;
};

// An entry of a listed directory.
struct TransferFileInfo {
    std::string name; // without the directory
    bool dir = false; // a sub-directory
    int64_t size = 0;
    double modified = 0; // local day number of the last change
};

class TransferFiles {
public:
    virtual ~TransferFiles() = default;
    // Creates path for reading and writing, empty (an existing file is overwritten); null
    // with error set when it cannot be.
    virtual std::shared_ptr<TransferFile> Create(const std::string& path, int& error) = 0;
    // Opens an existing file for reading; its size in size.
    virtual std::shared_ptr<TransferFile> Open(const std::string& path, int64_t& size,
                                               int& error) = 0;
    virtual bool Remove(const std::string& path) = 0;
    // The entries of a directory (empty when it cannot be read).
    virtual std::vector<TransferFileInfo> List(const std::string& dir) = 0;
};

// The files of the system, through the standard library.
class StdTransferFiles : public TransferFiles {
public:
    std::shared_ptr<TransferFile> Create(const std::string& path, int& error) override;
    std::shared_ptr<TransferFile> Open(const std::string& path, int64_t& size, int& error) override;
    bool Remove(const std::string& path) override;
    std::vector<TransferFileInfo> List(const std::string& dir) override;
};

} // namespace vdl
