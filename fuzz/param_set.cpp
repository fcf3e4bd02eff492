// Fuzzes the parameter set reader: a file of one of the three accepted sizes, its head (2000
// bytes) from the fuzzer and patches of the fuzzer's bytes anywhere behind it (the block length
// fields set right when the first byte says so), then what the program derives from the settings
// taken: the channels' run-time values, the filters' rows, and the rendering of frames.
#include "core/param_set.h"
#include "core/file_head.h"
#include "fuzz_common.h"

using namespace vdl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 + kFileHeadLen) return 0;
    fuzz::Input in(data, size);
    Program& p = fuzz::FreshProgram();
    const uint8_t cfg = in.Byte();
    static const size_t sizes[] = {kParamSetLen, kParamSetLenNoCa, kParamSetLenOld};
    static std::vector<uint8_t> file;
    file.assign(sizes[cfg % 3], 0);
    size_t n = kFileHeadLen;
    const uint8_t* head = in.Take(n);
    std::memcpy(file.data(), head, n);
    if (cfg & 4) {
        const uint32_t h[3] = {(cfg & 8) ? kFileMagicNoSettings : kFileMagic,
                               static_cast<uint32_t>(file.size()), kFileHeadLen};
        std::memcpy(file.data(), h, sizeof h);
    }
    if (cfg & 16) {
        const std::pair<size_t, uint32_t> blocks[] = {{2000, kRmBlockLen},
                                                      {62020, kSeTeBlockLen},
                                                      {68552, kSeLiBlockLen},
                                                      {502668 + 520, kTypUrsFarbenLen},
                                                      {503204 + 520, kTypUrsFarbenLen},
                                                      {503740, 192},
                                                      {504448, kCaSeLiBlockLen}};
        for (auto [ofs, len] : blocks)
            if (ofs + 4 <= file.size()) std::memcpy(file.data() + ofs, &len, 4);
    }
    while (in.Left() > 4) {
        size_t ofs = (in.Word() | (static_cast<size_t>(in.Byte()) << 16)) % file.size();
        size_t len = std::min<size_t>(in.Byte(), file.size() - ofs);
        const uint8_t* d = in.Take(len);
        std::memcpy(file.data() + ofs, d, len);
    }
    ParamSetEnv env = p.ParamEnv();
    if (!TakeParameterSet(env, file, "fuzz")) return 0;
    fuzz::Derive(p);
    for (int k = 0; k < 4; ++k) fuzz::RenderAll(p, fuzz::Sample(k));
    std::vector<uint8_t> back = BuildParameterSet(env);
    if (back.size() != kParamSetLen) std::abort();
    return 0;
}
