// Fuzzes the log reader on logs held in memory. The first byte chooses how the log is made:
// the fuzzer's bytes as the file (its head's marks set right when a bit says so), or a log
// written by the store itself from records of the fuzzer's bytes, then patched and cut where the
// fuzzer says. The log is then opened for looking, walked forward and back, every record
// rendered, the text export run over it; then it is opened for writing, records are appended,
// and reading it back must give them as the last records, numbered on.
#include "core/file_head.h"
#include "fuzz_common.h"
#include "log/log_output.h"

#include <cmath>

using namespace vdl;

namespace {

class FuzzClock : public Clock {
public:
    uint32_t Millis() override { return ms; }
    double LocalNow() override { return 46000.5 + ms / kMsPerDay; }
    uint32_t ms = 0;
};

class NullSink : public OutputSink {
public:
    bool Line(const std::string& s) override {
        n += s.size();
        return true;
    }
    size_t n = 0;
};

// Every record from the oldest on: rendered (in a view format that changes with the record),
// counted; the walk back from the newest must meet as many.
size_t Walk(Program& p, size_t renderMax) {
    auto c = p.log->NewCursor();
    size_t fwd = 0;
    for (bool ok = c->SeekOldest(); ok && fwd < 100000; ok = c->Forward(), ++fwd) {
        if (fwd < renderMax) {
            p.pp.format = VF_FULL + static_cast<int>(fwd % 5);
            p.pp.zeitzl = (fwd / 5) & 1;
            p.pp.linkzl = (fwd / 10) & 1;
            fuzz::Render(p, c->Current());
        }
    }
    size_t back = 0;
    for (bool ok = c->SeekNewest(); ok && back < 100000; ok = c->Back()) ++back;
    (void)back; // a block cut in the middle reads forward and back alike, but may end a ring walk
    c->SeekNewest();
    c->Move(-7, [](const T_Telegramm& te) { return te.stat >= ST_OK; });
    c->Move(3, nullptr);
    c->Move(-6000, nullptr);
    return fwd;
}

void Export(Program& p, FuzzClock& clock, int format) {
    static const FixedLocale loc;
    p.pp.format = format;
    RenderEnv render = p.Rendering(loc);
    LogOutputEnv env{*p.log,
                     render,
                     loc,
                     LogEnv{clock, p.msg, p.texts, p.av, p.ap, p.pp, p.com[0].bp, p.com[1].bp},
                     [&p](const T_Telegramm& te) { return DisplayAccepts(te, p.Filters()); },
                     nullptr};
    NullSink sink;
    WriteLogLines(env, sink);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    fuzz::Input in(data, size);
    Program& p = fuzz::FreshProgram();
    static FuzzClock clock;
    clock.ms = 0;
    if (!p.log) p.CreateLog(clock);
    const uint8_t cfg = in.Byte();
    static std::vector<char> file;
    file.clear();

    if (cfg & 1) {
        // The fuzzer's bytes are the file.
        size_t n = in.Left();
        const uint8_t* d = in.Take(n);
        file.assign(d, d + n);
        if ((cfg & 2) && file.size() >= static_cast<size_t>(kLogDataOfs)) {
            const uint32_t head[3] = {kFileMagic, 0, static_cast<uint32_t>(kFileHeadLen)};
            std::memcpy(file.data(), &head[0], 4);
            std::memcpy(file.data() + 8, &head[2], 4);
            const int32_t lk[2] = {kLogKopfLen, 1 + (cfg >> 4)};
            std::memcpy(file.data() + kLogKopfOfs, lk, sizeof lk);
        }
    } else {
        // A log the store writes: records of the fuzzer's bytes, a short ring.
        p.ap.MaxLog = 0;
        p.ap.lgla = (cfg >> 2) % 3;
        p.ap.mitori = (cfg >> 4) & 1;
        fuzz::Derive(p);
        if (!p.log->OpenBuffer(file, "fuzz.lg1", false)) return 0;
        const int records = in.Byte();
        for (int i = 0; i < records && in.Left() > 0; ++i) {
            size_t m = 30 + (in.Byte() & 0x7F);
            const uint8_t* r = in.Take(m);
            T_Telegramm te = fuzz::RecordFrom(r, m);
            if (cfg & 0x40) te.dt = 46000 + i / 100.0;
            p.log->AppendCopy(te);
            clock.ms += 700;
            p.log->Periodic();
        }
        // Without its close, the log is what an abrupt end leaves.
        std::vector<char> crashed = file;
        p.log->CloseLog();
        if (!(cfg & 0x20)) file = crashed;
        // Patches and a cut.
        while (in.Left() > 3) {
            size_t ofs = in.Word() % (file.size() + 1);
            size_t len = std::min<size_t>(in.Byte() & 0x0F, file.size() - ofs);
            const uint8_t* d = in.Take(len);
            std::memcpy(file.data() + ofs, d, len);
        }
        if (cfg & 0x80) file.resize(file.size() - std::min<size_t>(file.size(), in.Word()));
    }

    // Looking.
    if (!p.log->OpenBuffer(file, "fuzz.lg1", true)) return 0;
    fuzz::Derive(p);
    const size_t readable = Walk(p, 12);
    LogTally t = p.log->Tally();
    if (static_cast<size_t>(t.records) != readable) std::abort();
    // The export renders every record: on short logs only, so that a run stays short.
    if (t.records <= 64) {
        Export(p, clock, VF_FULL);
        Export(p, clock, VF_CSV);
    }
    p.log->CloseLog();

    // Writing: the records appended are read back as the newest, numbered on.
    std::vector<char> copy = file;
    if (!p.log->OpenBuffer(copy, "fuzz.lg1", false)) return 0;
    fuzz::Derive(p);
    T_Telegramm a[3];
    for (int i = 0; i < 3; ++i) {
        a[i] = fuzz::Sample(i + 1);
        clock.ms += 400;
        p.log->AppendTelegram(a[i]);
    }
    p.log->FlushLog();
    p.log->CloseLog();
    if (!p.log->OpenBuffer(copy, "fuzz.lg1", true)) std::abort();
    auto c = p.log->NewCursor();
    if (!c->SeekNewest()) std::abort();
    for (int i = 2; i >= 0; --i) {
        T_Telegramm te = c->Current();
        if (te.nr != a[i].nr || std::memcmp(te.b, a[i].b, static_cast<size_t>(a[i].lg)) != 0)
            std::abort();
        if (i > 0 && !c->Back()) std::abort();
    }
    p.log->CloseLog();
    return 0;
}
