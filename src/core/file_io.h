// Small file helpers of the settings and parameter files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vdl {

// Reads a whole file when it is not larger than maxSize. False when it cannot be opened or
// read, or is larger.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& data, size_t maxSize);

// Writes data as the new content of path: first into a temporary file beside it, which then
// replaces path, so that a failed write leaves the previous file as it was. Returns the
// number of bytes that reached the file (size on success); error gets the system's text.
size_t WriteWholeFile(const std::string& path, const void* data, size_t size, std::string& error);

bool FileExists(const std::string& path);
// True when both names lead to one file: the same file system object (device and inode) after
// links are resolved, or, while one of them does not exist, the same full path.
bool SameFile(const std::string& a, const std::string& b);
bool DirExists(const std::string& path);

} // namespace vdl
