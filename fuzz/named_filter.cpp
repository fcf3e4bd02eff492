// Fuzzes the named filter reader: a filter file of the fuzzer's bytes (its length field set
// right when the first byte says so) under an address layout chosen by that byte, then used as
// the display filter on records of the fuzzer's bytes: the filter test, the display test, the
// rendering with the filter's object criteria, and the dialog's row rules.
#include "fuzz_common.h"
#include "log/filter_form.h"
#include "log/log_file.h"

using namespace vdl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 + sizeof(T_Filter)) return 0;
    fuzz::Input in(data, size);
    Program& p = fuzz::FreshProgram();
    const uint8_t cfg = in.Byte();
    p.ap.lgla = cfg % 3;
    p.ap.mitori = (cfg >> 2) & 1;
    if (cfg & 8) p.ap.castr = T_AdrStruktur{3, {4, 4, 8, 0, 0}};
    if (cfg & 16) p.ap.oastr = T_AdrStruktur{5, {1, 7, 8, 4, 4}};
    fuzz::Derive(p);
    size_t n = sizeof(T_Filter);
    const uint8_t* d = in.Take(n);
    std::vector<uint8_t> file(d, d + n);
    if (cfg & 32) {
        const uint16_t lg = kFilterLen;
        std::memcpy(file.data() + offsetof(T_Filter, lg), &lg, 2);
    }
    T_Filter f{};
    if (!TakeNamedFilter(file, f, p.ap)) return 0;
    for (int k = 0; k < kFilterRows; ++k) {
        (void)FilterFieldMax(f.z[k].feld, p.ap);
        (void)FilterRowLabel(p.texts, f.z[k].feld);
    }
    (void)SameFilterCriteria(f, p.ap.afilt);
    f.aktiv = 1;
    p.ap.afilt = f;
    p.av.LogAusg = (cfg & 64) != 0;
    while (in.Left() > 0) {
        size_t m = 30 + (in.Byte() & 0x3F);
        const uint8_t* r = in.Take(m);
        T_Telegramm te = fuzz::RecordFrom(r, m);
        te.lga = static_cast<uint16_t>(EntryLen(te.lg));
        FilterEnv env = p.Filters();
        env.linkLine = (cfg & 128) != 0;
        (void)FilterAccepts(f, te, env, true);
        (void)FilterAccepts(f, te, env, false);
        if (DisplayAccepts(te, env)) fuzz::RenderAll(p, te);
    }
    return 0;
}
