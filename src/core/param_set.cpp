#include "core/param_set.h"

#include "core/file_head.h"
#include "core/file_io.h"
#include "core/settings.h"

#include <cstring>

namespace vdl {

namespace {

constexpr size_t kOfsRm = 2000;
constexpr size_t kOfsSeTe = 62020;
constexpr size_t kOfsSeLi = 68552;
constexpr size_t kOfsFrbTyp = 502668;
constexpr size_t kOfsFrbUrs = 503204;
constexpr size_t kOfsModem = 503740;
constexpr size_t kOfsCaSeLi = 504448;
static_assert(kOfsSeTe == kOfsRm + kRmBlockLen && kOfsSeLi == kOfsSeTe + kSeTeBlockLen);
static_assert(kOfsCaSeLi + kCaSeLiBlockLen <= kParamSetLen && kOfsCaSeLi <= kParamSetLenNoCa);
static_assert(kOfsFrbTyp == kOfsSeLi + kSeLiBlockLen);

// The oldest form.
constexpr size_t kOldRmLen = 6020;
constexpr size_t kOldOfsSeTe = 12000;
constexpr size_t kOldOfsSeLi = 20004;
constexpr size_t kOldSeLiLen = 4976;
constexpr size_t kSeLiHeadLen = 176;
constexpr size_t kSeLiObjLen = 12;
static_assert(kOldOfsSeLi + 12 * kOldSeLiLen == kParamSetLenOld);

uint32_t U32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

std::vector<uint8_t> Block(uint32_t len) {
    std::vector<uint8_t> b(len, 0);
    std::memcpy(b.data(), &len, 4);
    return b;
}

// A list of the oldest form (400 objects) brought to the present length: the further objects
// are default objects (oa 0, inf 1, inactive, type 2, cause 3).
void ConvertOldList(const uint8_t* old, uint8_t* list) {
    std::memcpy(list, old, kOldSeLiLen);
    std::memcpy(list, &kSeLiBlockLen, 4);
    const uint8_t def[kSeLiObjLen] = {0, 0, 0, 0, 1, 0, 0, 0, 0, 2, 3, 0};
    for (size_t p = kOldSeLiLen; p + kSeLiObjLen <= kSeLiLen; p += kSeLiObjLen)
        std::memcpy(list + p, def, kSeLiObjLen);
}

bool Refuse(ParamSetEnv& env, const std::string& name) {
    env.msg.Error(env.texts.tx(1216) + "\n" + name);
    return false;
}

} // namespace

T_ParaBlocks DefaultParaBlocks() {
    return {Block(kRmBlockLen), Block(kSeTeBlockLen), Block(kSeLiBlockLen), EmptyCaSeLiBlock()};
}

std::vector<uint8_t> EmptyCaSeLiBlock() {
    return Block(kCaSeLiBlockLen);
}

bool LoadParameterSet(ParamSetEnv& env, const std::string& name) {
    if (!FileExists(name)) {
        if (SameNameNoCase(name, StandardFileName(env.av, env.texts, kTxParamSetFile))) {
            env.av.setelisav = true;
            return true;
        }
        return Refuse(env, name);
    }
    std::vector<uint8_t> d;
    if (!ReadWholeFile(name, d, kParamSetLen)) return Refuse(env, name);
    return TakeParameterSet(env, d, name);
}

bool TakeParameterSet(ParamSetEnv& env, const std::vector<uint8_t>& d, const std::string& name) {
    size_t size = d.size();
    if (size != kParamSetLen && size != kParamSetLenNoCa && size != kParamSetLenOld)
        return Refuse(env, name);
    uint32_t magic = U32(d.data());
    if (U32(d.data() + 8) != kFileHeadLen) return Refuse(env, name);
    if (magic != kFileMagic && magic != kFileMagicNoSettings) return Refuse(env, name);

    // Everything is checked before anything is taken.
    T_ParaBlocks nb;
    if (size == kParamSetLenOld) {
        nb.rm = Block(kRmBlockLen);
        std::memcpy(nb.rm.data() + 4, d.data() + kOfsRm + 4, kOldRmLen - 4);
        nb.sete.assign(d.begin() + kOldOfsSeTe, d.begin() + kOldOfsSeTe + kSeTeBlockLen);
        std::memcpy(nb.sete.data(), &kSeTeBlockLen, 4);
        nb.seli = Block(kSeLiBlockLen);
        for (size_t i = 0; i < 12; ++i)
            ConvertOldList(d.data() + kOldOfsSeLi + i * kOldSeLiLen,
                           nb.seli.data() + 4 + i * kSeLiLen);
        nb.casl = EmptyCaSeLiBlock();
    } else {
        if (U32(d.data() + kOfsRm) != kRmBlockLen || U32(d.data() + kOfsSeTe) != kSeTeBlockLen ||
            U32(d.data() + kOfsSeLi) != kSeLiBlockLen)
            return Refuse(env, name);
        nb.rm.assign(d.begin() + kOfsRm, d.begin() + kOfsRm + kRmBlockLen);
        nb.sete.assign(d.begin() + kOfsSeTe, d.begin() + kOfsSeTe + kSeTeBlockLen);
        nb.seli.assign(d.begin() + kOfsSeLi, d.begin() + kOfsSeLi + kSeLiBlockLen);
        nb.casl = EmptyCaSeLiBlock();
    }

    if (magic == kFileMagic) TakeSettingsFromHead(d.data(), env.ap, env.bp1, env.bp2, true);
    if (size != kParamSetLenOld) {
        T_TypUrsFarben ft, fu;
        std::memcpy(&ft, d.data() + kOfsFrbTyp, sizeof ft);
        std::memcpy(&fu, d.data() + kOfsFrbUrs, sizeof fu);
        if (ft.lg == kTypUrsFarbenLen && fu.lg == kTypUrsFarbenLen) {
            env.pp.frbtyp = ft;
            env.pp.frburs = fu;
            T_Modem m;
            std::memcpy(&m, d.data() + kOfsModem, sizeof m);
            if (m.id == static_cast<int32_t>(sizeof(T_Modem))) {
                env.modem = m;
                if (size == kParamSetLen && U32(d.data() + kOfsCaSeLi) == kCaSeLiBlockLen)
                    nb.casl.assign(d.begin() + kOfsCaSeLi,
                                   d.begin() + kOfsCaSeLi + kCaSeLiBlockLen);
            }
        }
    }
    env.blocks = std::move(nb);
    env.av.dtSeTeLi = name;
    env.av.setelisav = false;
    return true;
}

std::vector<uint8_t> BuildParameterSet(const ParamSetEnv& env) {
    std::vector<uint8_t> d(kParamSetLen, 0);
    T_DateiKopf k =
        BuildFileHead(static_cast<int32_t>(kParamSetLen), kFileHeadLen, env.ap, env.bp1, env.bp2);
    std::memcpy(d.data(), &k, sizeof k);
    auto put = [&](size_t ofs, const std::vector<uint8_t>& b, uint32_t len) {
        std::vector<uint8_t> blk = b.size() == len ? b : Block(len);
        std::memcpy(blk.data(), &len, 4);
        std::memcpy(d.data() + ofs, blk.data(), len);
    };
    put(kOfsRm, env.blocks.rm, kRmBlockLen);
    put(kOfsSeTe, env.blocks.sete, kSeTeBlockLen);
    put(kOfsSeLi, env.blocks.seli, kSeLiBlockLen);
    put(kOfsCaSeLi, env.blocks.casl, kCaSeLiBlockLen);
    T_TypUrsFarben ft = env.pp.frbtyp, fu = env.pp.frburs;
    ft.lg = fu.lg = kTypUrsFarbenLen;
    std::memcpy(d.data() + kOfsFrbTyp, &ft, sizeof ft);
    std::memcpy(d.data() + kOfsFrbUrs, &fu, sizeof fu);
    T_Modem m = env.modem;
    m.id = sizeof(T_Modem);
    std::memcpy(d.data() + kOfsModem, &m, sizeof m);
    return d;
}

bool SaveParameterSet(ParamSetEnv& env, const std::string& name) {
    std::vector<uint8_t> d = BuildParameterSet(env);
    std::string error;
    if (WriteWholeFile(name, d.data(), d.size(), error) != d.size()) {
        env.msg.Error(env.texts.tx(1217) + "\n" + name);
        return false;
    }
    env.av.setelisav = false;
    return true;
}

} // namespace vdl
