// Shared pieces of the fuzz targets: a program text table with the permitted function codes and
// causes, a program with the real texts, the rendering of a record in every view format, and a
// reader of the fuzzer's bytes.
#pragma once

#include "app/program.h"
#include "asdu/catalogue.h"
#include "asdu/renderer.h"
#include "core/locale_formats.h"
#include "core/text_table.h"
#include "link/channel_init.h"
#include "log/filter.h"

#include <algorithm>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

class NullMessages : public Messages {
public:
    void Error(const std::string&) override {}
    void Info(const std::string&) override {}
    Answer Ask(const std::string&, bool) override { return Answer::No; }
};

// A program with the English texts of the source tree, loaded once; each run starts from a
// copy of its records (the texts are shared).
inline Program& FreshProgram() {
    static NullMessages msg;
    static const Program& base = *[] {
        Program* b = new Program(VDL_SOURCE_DIR "/texts/", msg);
        if (!b->LoadLanguage(1)) std::abort();
        return b;
    }();
    static Program& p = *[] {
        Program* q = new Program(base.av.ProgDir, msg);
        q->texts = base.texts;
        return q;
    }();
    p.av = base.av;
    p.ap = base.ap;
    p.pp = base.pp;
    p.com[0] = base.com[0];
    p.com[1] = base.com[1];
    p.av.pft = &p.pp.frbtyp;
    p.av.pfu = &p.pp.frburs;
    p.objects.Clear();
    return p;
}

// What the program derives after settings were taken: the channels' run-time values and the
// filters' rows.
inline void Derive(Program& p) {
    for (T_ComVar& c : p.com) InitChannel(c, p.av, p.ap);
    NormaliseFilter(p.ap.afilt, p.ap);
    NormaliseFilter(p.ap.lfilt, p.ap);
}

// A record from the fuzzer's bytes: the 30-byte head, then lg bytes (lg bounded).
inline T_Telegramm RecordFrom(const uint8_t* d, size_t n) {
    T_Telegramm te{};
    std::memcpy(&te, d, std::min<size_t>(n, sizeof te));
    if (te.lg < 0 || te.lg > kTeByteLen) te.lg = static_cast<int16_t>(te.lg & 0xFF);
    if (te.lg > kTeByteLen) te.lg = kTeByteLen;
    return te;
}

// Renders te with the present settings; every line is looked at, so that reads past a buffer
// show. texts: another table than the program's.
inline void Render(Program& p, const T_Telegramm& te, const TextTable* texts = nullptr) {
    static const FixedLocale loc;
    RenderEnv env = p.Rendering(loc);
    if (texts) env.texts = texts;
    T_TeleAusgabe ctx;
    ctx.env = &env;
    StartTelegram(ctx, te);
    size_t sum = 0;
    for (int guard = 0; guard < 20000; ++guard) {
        std::string s = NextLine(ctx);
        if (s.empty()) break;
        sum += static_cast<unsigned char>(s.back());
    }
    if (sum == 1) std::abort(); // keeps the lines from being optimised away
}

// Renders te in every view format, with the time and link lines on and off; every line is
// looked at, so that reads past a buffer show. texts: another table than the program's.
inline void RenderAll(Program& p, const T_Telegramm& te, const TextTable* texts = nullptr) {
    const T_ProgPar keep = p.pp;
    for (int f = VF_FULL; f <= VF_CSV; ++f) {
        for (int lines = 0; lines < 4; f == VF_CSV ? lines += 4 : ++lines) {
            p.pp.format = f;
            p.pp.zeitzl = (lines & 1) || f == VF_CSV;
            p.pp.linkzl = (lines & 2) ? 1 : 0;
            Render(p, te, texts);
        }
    }
    p.pp = keep;
}

// A frame of each kind: a fixed frame, the single character, a variable frame with a single
// point, an interrogation command.
inline T_Telegramm Sample(int k) {
    static const uint8_t frames[][24] = {{0x10, 0x49, 0x01, 0x4A, 0x16},
                                         {0xE5},
                                         {0x68, 0x0B, 0x0B, 0x68, 0x08, 0x01, 0x01, 0x01, 0x03,
                                          0x05, 0x00, 0x10, 0x00, 0x00, 0x01, 0x24, 0x16},
                                         {0x68, 0x0B, 0x0B, 0x68, 0x73, 0x01, 0x64, 0x01, 0x06,
                                          0x05, 0x00, 0x00, 0x00, 0x00, 0x14, 0xF8, 0x16}};
    static const int lens[] = {5, 1, 17, 17};
    static const uint8_t ta[] = {TA_FIXED, TA_FIXED, TA_VARIABLE, TA_VARIABLE};
    T_Telegramm te{};
    k %= 4;
    te.lg = static_cast<int16_t>(lens[k]);
    std::memcpy(te.b, frames[k], static_cast<size_t>(lens[k]));
    te.ta = ta[k];
    te.stat = ST_OK;
    te.ek = static_cast<uint8_t>(1 + k % 4);
    te.nr = 7;
    te.dt = 46000.5;
    if (te.ta == TA_VARIABLE) {
        te.lc = te.b[4];
        te.la = te.b[5];
        te.typ = te.b[6];
        te.struk = te.b[7];
        te.urs = te.b[8];
        te.ca = static_cast<uint16_t>(te.b[9] | (te.b[10] << 8));
    }
    return te;
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

    // A 16-bit value, low byte first.
    uint16_t Word() {
        uint16_t lo = Byte();
        return static_cast<uint16_t>(lo | (Byte() << 8));
    }

private:
    const uint8_t* d_;
    size_t n_;
    size_t i_ = 0;
};

} // namespace vdl::fuzz
