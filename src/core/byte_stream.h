// A stream over bytes held in memory, for the readers and writers of files that can work on a
// buffer as well: reading and writing go to the bytes at their own positions, and writing past
// the end makes them grow (a gap filled with zero bytes), as a file does.
#pragma once

#include <iostream>
#include <streambuf>
#include <vector>

namespace vdl {

class ByteBuf : public std::streambuf {
public:
    explicit ByteBuf(std::vector<char>& bytes) : d_(bytes) {}

protected:
    int_type underflow() override;
    int_type uflow() override;
    std::streamsize showmanyc() override;
    std::streamsize xsgetn(char* s, std::streamsize n) override;
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    pos_type seekoff(off_type off, std::ios_base::seekdir dir,
                     std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

private:
    std::vector<char>& d_;
    size_t get_ = 0;
    size_t put_ = 0;
};

class ByteStream : public std::iostream {
public:
    explicit ByteStream(std::vector<char>& bytes) : std::iostream(nullptr), buf_(bytes) {
        rdbuf(&buf_);
    }

private:
    ByteBuf buf_;
};

} // namespace vdl
