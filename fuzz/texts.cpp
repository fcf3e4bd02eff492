// Fuzzes the program text loader and the use of what it loads. The first byte chooses: the
// fuzzer's bytes as a text file; a small well-formed file (1000 texts) with lines replaced by
// the fuzzer's bytes; or the English texts of the source tree with texts replaced, then
// post-processed and used: a frame of each kind rendered in every view format reads the format
// strings and words of the table.
#include "asdu/address_text.h"
#include "fuzz_common.h"

#include <vector>

using namespace vdl;

namespace {

// Replacements: a text number (two bytes) and a length-prefixed text, until the input ends.
template <typename Put> void Replacements(fuzz::Input& in, Put put) {
    while (in.Left() > 2) {
        int at = in.Word();
        size_t n = in.Byte();
        const uint8_t* p = in.Take(n);
        put(at, std::string(reinterpret_cast<const char*>(p), n));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    fuzz::Input in(data, size);
    const uint8_t mode = in.Byte() % 3;
    TextTable t;
    if (mode == 0) {
        size_t n = in.Left();
        const uint8_t* p = in.Take(n);
        (void)t.LoadBytes(std::string(reinterpret_cast<const char*>(p), n), "fuzz");
        return 0;
    }
    if (mode == 1) {
        std::vector<std::string> lines(kMinTexts);
        char line[16];
        for (int i = 0; i < kMinTexts; ++i) {
            std::snprintf(line, sizeof line, "%04d  ;", i);
            lines[static_cast<size_t>(i)] = line;
        }
        Replacements(in, [&](int at, const std::string& s) {
            lines[static_cast<size_t>(at) % lines.size()] = s;
        });
        std::string file;
        for (const std::string& l : lines) file += l + "\r\n";
        (void)t.LoadBytes(file, "fuzz");
        return 0;
    }
    // The English file as loaded, before its post-processing.
    static const TextTable raw = [] {
        TextTable r;
        if (!r.LoadFile(VDL_SOURCE_DIR "/texts/VdlText.usa").ok()) std::abort();
        return r;
    }();
    Program& p = fuzz::FreshProgram();
    t = raw;
    Replacements(in, [&](int at, const std::string& s) { t.Replace(at % t.Count(), s); });
    PostProcessTexts(t, p.av);
    InstallAsduTexts(t, p.av, p.ap);
    for (int k = 0; k < 4; ++k) fuzz::RenderAll(p, fuzz::Sample(k), &t);
    return 0;
}
