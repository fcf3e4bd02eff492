// Shared pieces of the fuzz targets: a program text table with the permitted function codes and
// causes, and a reader of the fuzzer's bytes.
#pragma once

#include "asdu/catalogue.h"
#include "core/text_table.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace vdl::fuzz {

inline TextTable MakeTexts() {
    std::string file;
    char line[48];
    for (int i = 0; i < 1300; ++i) {
        const char* t = "";
        if (i == 26) t = ".";
        if (i == 66) t = "2211200002000000";
        if (i == 67) t = "2201200022110000";
        if (i == 68) t = "1100000000010000";
        if (i == 69) t = "1100000011010000";
        std::snprintf(line, sizeof line, "%04d  %s;\r\n", i, t);
        file += line;
    }
    TextTable texts;
    texts.LoadBytes(file, "fuzz");
    // Every type permits the causes 1..13 and 20; the general list 44..47.
    std::string causes;
    for (int c = 1; c <= 13; ++c) causes += static_cast<char>(c);
    causes += static_cast<char>(20);
    texts.Replace(1009, std::string("\x2C\x2D\x2E\x2F"));
    for (int p = 1; p <= TypeListCount(); ++p) texts.Replace(1009 + p, causes);
    return texts;
}

class Input {
public:
    Input(const uint8_t* d, size_t n) : d_(d), n_(n) {}
    uint8_t Byte() { return i_ < n_ ? d_[i_++] : 0; }
    size_t Left() const { return n_ - i_; }
    const uint8_t* Take(size_t& n) {
        if (n > Left()) n = Left();
        const uint8_t* p = d_ + i_;
        i_ += n;
        return p;
    }

private:
    const uint8_t* d_;
    size_t n_;
    size_t i_ = 0;
};

} // namespace vdl::fuzz
