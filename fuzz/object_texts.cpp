// Fuzzes the object text reader: the content of an object text file under an address layout
// chosen by the first byte, then the lookups and the rendering of frames whose addresses the
// file names.
#include "fuzz_common.h"

using namespace vdl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    fuzz::Input in(data, size);
    Program& p = fuzz::FreshProgram();
    const uint8_t cfg = in.Byte();
    p.ap.castr = (cfg & 1) ? T_AdrStruktur{2, {8, 8, 0, 0, 0}} : T_AdrStruktur{1, {8, 0, 0, 0, 0}};
    p.ap.oastr = (cfg & 2) ? T_AdrStruktur{3, {8, 8, 8, 0, 0}} : T_AdrStruktur{2, {4, 12, 0, 0, 0}};
    if (cfg & 4) p.ap.oastr = T_AdrStruktur{1, {16, 0, 0, 0, 0}};
    p.ap.lgca = (cfg & 1) ? 2 : 1;
    p.ap.lgoa = (cfg & 4) ? 2 : ((cfg & 2) ? 3 : 2);
    const uint8_t ioa = in.Byte();
    size_t n = in.Left();
    const uint8_t* d = in.Take(n);
    std::string content(reinterpret_cast<const char*>(d), n);
    ObjectTextEnv env{p.texts, p.av, p.ap, p.msg, &p.pp.frburs, nullptr};
    p.objects.LoadContent(content, "fuzz", env);
    for (int i = 0; i < p.objects.ObjectCount(); ++i) {
        const T_Element* e = p.objects.ObjectAt(i);
        if (!e) std::abort();
    }
    (void)FaultyLineList(p.objects.FaultyLines(), p.texts);
    T_Telegramm te = fuzz::Sample(2);
    te.b[11] = ioa; // the object address of the single point
    te.b[9] = static_cast<uint8_t>(cfg >> 3);
    te.ca = te.b[9];
    fuzz::RenderAll(p, te);
    fuzz::RenderAll(p, fuzz::Sample(3));
    return 0;
}
