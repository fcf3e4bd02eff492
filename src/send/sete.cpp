#include "send/sete.h"

#include "asdu/catalogue.h"
#include "asdu/interp_words.h"

#include <cctype>
#include <cstring>

namespace vdl {

namespace {

constexpr int kTxTypeWord = 70;     // before the number of a type without a name
constexpr int kTxFileOnly = 1330;   // types sent within a file transfer only
constexpr int kTxPseudoBase = 1203; // + type: names of the pseudo types
constexpr int kTxValueFormat = 937; // + pick index
constexpr int kTxValueHintFreeze = 802;

T_SeTe Zero() {
    T_SeTe t;
    std::memset(&t, 0, sizeof t);
    return t;
}

// Reads a signed decimal number at s[i] (a '-' directly before a digit is its sign).
bool NextNumber(const std::string& s, size_t& i, long long& out) {
    while (i < s.size()) {
        const bool digit = std::isdigit(static_cast<unsigned char>(s[i])) != 0;
        const bool sign = s[i] == '-' && i + 1 < s.size() &&
                          std::isdigit(static_cast<unsigned char>(s[i + 1])) != 0;
        if (digit || sign) break;
        ++i;
    }
    if (i >= s.size()) return false;
    bool neg = false;
    if (s[i] == '-') {
        neg = true;
        ++i;
    }
    long long v = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && v < 1000000000000LL)
        v = v * 10 + (s[i++] - '0');
    out = neg ? -v : v;
    return true;
}

} // namespace

std::string TypeNameOf(int typ, const TextTable& texts) {
    if (IsPseudoType(typ)) return texts.tx(kTxPseudoBase + typ);
    if (typ == 121 || (typ >= 123 && typ <= 125)) return texts.tx(kTxFileOnly);
    std::string name = typ > 0 && typ < 128 ? LongForm(texts.tx(kTxTypeWord + typ)) : "";
    if (name.empty()) return texts.tx(kTxTypeWord) + std::to_string(typ);
    return name;
}

void InitialSeTeSet(SeTeSet& s, const TextTable& texts) {
    for (int n = 1; n <= kSeTeCount; ++n) {
        T_SeTe t = Zero();
        t.anst = ANST_OPERATOR;
        t.snr = 2;
        t.anzt = 1;
        t.la = 1;
        t.inf.l = 1;
        t.urs = 3;
        t.struk = 1;
        if (n <= 8) {
            t.typ = static_cast<uint8_t>(n);
        } else {
            static constexpr uint8_t kTypes[] = {100, 104, 45, 46};
            t.typ = kTypes[n - 9];
            t.urs = 6;
            if (n == 9) t.inf.l = 20;
            if (n == 10) t.inf.l = 0x55AA;
        }
        t.bez.set(LongForm(texts.tx(kTxTypeWord + t.typ)));
        s.at(n) = t;
        s.linesOf(n).clear();
    }
}

std::vector<uint8_t> SeTeBlock(const SeTeSet& s) {
    std::vector<uint8_t> b(kSeTeSetBlockLen, 0);
    const uint32_t len = kSeTeSetBlockLen;
    std::memcpy(b.data(), &len, 4);
    for (int i = 0; i < kSeTeCount; ++i) {
        T_SeTe t = s.t[static_cast<size_t>(i)];
        t.lines = 0;
        std::memcpy(b.data() + 4 + static_cast<size_t>(i) * kSeTeLen, &t, kSeTeLen);
    }
    return b;
}

bool TakeSeTeBlock(SeTeSet& s, const std::vector<uint8_t>& block) {
    uint32_t len = 0;
    if (block.size() != kSeTeSetBlockLen) return false;
    std::memcpy(&len, block.data(), 4);
    if (len != kSeTeSetBlockLen) return false;
    for (int i = 0; i < kSeTeCount; ++i) {
        T_SeTe& t = s.t[static_cast<size_t>(i)];
        std::memcpy(&t, block.data() + 4 + static_cast<size_t>(i) * kSeTeLen, kSeTeLen);
        t.lines = 0;
        s.lines[static_cast<size_t>(i)].clear();
    }
    return true;
}

int PickIndexOf(int typ) {
    return TypeListPosition(typ) - 1;
}

int TypeOfPick(int pick, const T_AllgVar& av) {
    if (pick < 0 || pick >= av.maxpicktyp || pick >= static_cast<int>(av.TypStr.size())) return -1;
    return av.TypStr[static_cast<size_t>(pick)];
}

ElementKind ElementKindOf(int typ) {
    if ((typ >= 1 && typ <= 4) || typ == 30 || typ == 31) return ELK_POINT;
    if ((typ >= 5 && typ <= 14) || typ == 20 || (typ >= 32 && typ <= 36)) return ELK_QDS;
    if (typ == 15 || typ == 16 || typ == 37) return ELK_COUNTER;
    if ((typ >= 17 && typ <= 19) || (typ >= 38 && typ <= 40)) return ELK_PROTECT;
    if (typ >= 45 && typ <= 47) return ELK_COMMAND;
    if (typ >= 48 && typ <= 50) return ELK_SETPOINT;
    if (typ == 101) return ELK_FREEZE;
    if (typ >= 110 && typ <= 112) return ELK_PARAMETER;
    if (typ == 120) return ELK_FILE;
    return ELK_PLAIN;
}

QualityBoxes QualityBoxesOf(ElementKind k) {
    switch (k) {
    case ELK_POINT:
        return {1085, {0x80, 0x40, 0x20, 0x10}};
    case ELK_QDS:
        return {1086, {0x80, 0x40, 0x20, 0x10, 0x01}};
    case ELK_COUNTER:
        return {1087, {0x80, 0x40, 0x20}};
    case ELK_PROTECT:
        return {1088, {0x80, 0x40, 0x20, 0x10, 0x08}};
    case ELK_COMMAND:
    case ELK_SETPOINT:
        return {1089, {0x80}};
    case ELK_PARAMETER:
        return {1090, {0x80, 0x40}};
    default:
        return {};
    }
}

ValueFormat ValueFormatOf(int pick, const TextTable& texts) {
    ValueFormat f;
    if (pick < 0) return f;
    const std::string& s = texts.tx(kTxValueFormat + pick);
    if (s.empty()) return f;
    f.kind = s[0] >= '0' && s[0] <= '9' ? s[0] - '0' : VAL_NONE;
    size_t from = s.find_first_not_of(' ', 1);
    f.hint = from == std::string::npos ? std::string() : s.substr(from);
    if (f.kind >= VAL_DEC && f.kind <= VAL_BIN && s.size() > 2) {
        size_t i = 2;
        long long lo = 0, hi = 0;
        if (NextNumber(s, i, lo) && NextNumber(s, i, hi)) {
            f.lo = lo;
            f.hi = hi;
            f.ranged = lo != hi;
        }
    }
    // The counter interrogation's value has its own hint.
    if (pick == PickIndexOf(101)) f.hint = texts.tx(kTxValueHintFreeze);
    return f;
}

} // namespace vdl
