// Fuzzes the settings reader: a settings file of the fuzzer's bytes (magic, length and format
// mark set right when the first byte says so) and a file-name list of the bytes behind it, then
// what the program derives from them: the display settings, the status panels, the statistics
// grid, the function keys, the window placement, the recent files and the rendering with the
// stored view format and colour tables.
#include "app/main_state.h"
#include "fuzz_common.h"
#include "log/log_output.h"

using namespace vdl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 + static_cast<size_t>(kProgParLen)) return 0;
    fuzz::Input in(data, size);
    Program& p = fuzz::FreshProgram();
    const uint8_t cfg = in.Byte();
    size_t n = kProgParLen;
    const uint8_t* d = in.Take(n);
    std::vector<uint8_t> file(d, d + n);
    if (cfg & 1) {
        const uint32_t head[3] = {kProgParMagic, static_cast<uint32_t>(kProgParLen), 16};
        std::memcpy(file.data(), head, sizeof head);
    }
    if (!TakeSettingsBytes(file, p.pp)) return 0;
    p.ApplyDisplaySettings();

    size_t m = in.Left();
    const uint8_t* t = in.Take(m);
    std::string text(reinterpret_cast<const char*>(t), m);
    std::vector<std::string> lines;
    size_t a = 0;
    for (size_t e; (e = text.find('\n', a)) != std::string::npos; a = e + 1)
        lines.push_back(text.substr(a, e - a));
    lines.push_back(text.substr(a));
    TakeFileNames(p.av, lines);
    AddRecentFile(p.av, "fuzz.lg1");
    for (int i = 0; i < 8; ++i) (void)KindOf(p.av.mru[static_cast<size_t>(i)], p.texts);

    for (int panel = 0; panel < 8; ++panel) (void)StatusPanel(p, panel);
    for (int r = 0; r < kGridRows; ++r)
        for (int c = 0; c < kGridColumns; ++c) (void)GridCell(p, r, c);
    (void)FunctionKeysOf(p.pp.opt);
    (void)ViewFontSize(p.pp.ausg.size);
    (void)MainWindowPlace(p.pp.wstate, p.pp.wtop, p.pp.wleft, p.pp.wwidth, 1920, 1080);
    (void)ViewHeaderText(p.texts, p.pp, p.ap);
    for (int k = 0; k < 4; ++k) fuzz::Render(p, fuzz::Sample(k));
    return 0;
}
