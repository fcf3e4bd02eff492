#include "send/sete_form.h"

#include "asdu/catalogue.h"
#include "asdu/interp_words.h"
#include "core/clock.h"
#include "core/utf8.h"
#include "send/sete_encoder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace vdl {

namespace {

constexpr int kTxCauseNames = 202;       // + cause
constexpr int kTxPermittedCauses = 1010; // + pick index
constexpr int kTxValueLabel = 729;
constexpr int kTxValueLabels = 730; // + pick index
constexpr int kTxBinaryDigits = 28; // reading binary: positions 1..3 are 0, above 1
constexpr int kTxValueMarkers = 29; // 1, 2 decimal markers, 3, 4 number characters, 5 on binary
constexpr int kTxHexPrefix = 25;
constexpr int kTxBitChars = 27;
constexpr int kTxDoublePoint = 2115; // + value
constexpr int kTxSinglePoint = 2116; // + value
constexpr int kTxStep = 2119;        // + value
constexpr size_t kBytesPerLine = 10;

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

std::string FloatText(float f) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, f, std::chars_format::general, 7);
    return std::string(buf, r.ptr);
}

} // namespace

// ---- Type and cause lists ----

std::string TypeListEntry(int typ, const TextTable& texts) {
    if (IsPseudoType(typ)) return TypeNameOf(typ, texts);
    return " " + std::to_string(typ) + "=" + TypeNameOf(typ, texts);
}

std::string NameOfEntry(const std::string& entry) {
    size_t p = entry.find('=');
    return p == std::string::npos ? entry : entry.substr(p + 1);
}

std::vector<int> CausesOfPick(int pick, const TextTable& texts) {
    std::vector<int> out;
    if (pick < 0) return out;
    for (unsigned char c : texts.tx(kTxPermittedCauses + pick)) out.push_back(c);
    return out;
}

std::string CauseListEntry(int cause, const TextTable& texts) {
    return " " + std::to_string(cause) + "=" + LongForm(texts.tx(kTxCauseNames + (cause & 0x3F)));
}

int CauseSelection(const std::vector<int>& causes, int urs) {
    if (causes.empty()) return -1;
    for (int want : {urs, 3})
        for (size_t i = 0; i < causes.size(); ++i)
            if (causes[i] == want) return static_cast<int>(i);
    return 0;
}

// ---- What a type shows ----

TypeControls ControlsOf(int typ, const TextTable& texts) {
    TypeControls c;
    c.pick = PickIndexOf(typ);
    c.kind = ElementKindOf(typ);
    c.value = ValueFormatOf(c.pick, texts);
    const std::string& label = c.pick >= 0 ? texts.tx(kTxValueLabels + c.pick) : std::string();
    c.valueField = !label.empty();
    if (c.valueField) c.valueLabel = texts.tx(kTxValueLabel) + label;
    c.timeTag = HasTimeTag(typ);
    c.cp56 = HasCP56(typ);
    c.transient = typ == 5 || typ == 6 || typ == 32;
    c.elapsed = (typ >= 17 && typ <= 19) || (typ >= 38 && typ <= 40);
    c.directory = typ == 126;
    c.bytes = typ >= PT_ASDU && typ <= PT_TEXT;
    c.file = typ == PT_FILE;
    c.addresses = !c.bytes && !c.file;
    c.quality = QualityBoxesOf(c.kind);
    switch (c.kind) {
    case ELK_COUNTER:
        c.zusLabel = 2332, c.zusMax = 31;
        break;
    case ELK_PROTECT:
        c.zusLabel = 818, c.zusMax = 59999;
        break;
    case ELK_COMMAND:
        c.zusLabel = 2334, c.zusMax = 31;
        break;
    case ELK_SETPOINT:
        c.zusLabel = 2336, c.zusMax = 127;
        break;
    case ELK_PARAMETER:
        c.zusLabel = 2338, c.zusMax = 63;
        break;
    default:
        break;
    }
    return c;
}

void BringValueIntoRange(T_SeTe& t, const ValueFormat& f) {
    if (f.kind == VAL_FLOAT) {
        const float v = t.inf.sgl;
        const float m = std::fabs(v);
        if (!(m >= 1e-20f && m <= 1e20f)) t.inf.sgl = 10000.0f;
        return;
    }
    if (f.ranged && (t.inf.l < f.lo || t.inf.l > f.hi)) t.inf.l = f.hi > 20000 ? 10000 : 1;
}

// ---- Value entry, display, stepping ----

bool ParseValue(const std::string& text, const ValueFormat& f, const TextTable& texts, T_Var& out) {
    out.l = 0;
    std::string s = Trim(Upper(text));
    if (size_t eq = s.find('='); eq != std::string::npos) s = Trim(s.substr(0, eq));
    const std::string& markers = texts.tx(kTxValueMarkers);
    if (!s.empty() && markers.substr(0, 2).find(s[0]) != std::string::npos) s[0] = ' ';
    s = Trim(s);
    if (s.empty()) s = "0";
    if (f.kind == VAL_FLOAT) {
        std::replace(s.begin(), s.end(), ',', '.');
        float v = 0;
        auto r = std::from_chars(s.data(), s.data() + s.size(), v);
        if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return false;
        out.sgl = v;
        return true;
    }
    long long v = 0;
    const size_t pos = markers.find(s[0]);
    if (pos != std::string::npos && pos >= 4) {
        // Binary digits: a character's position in text 28 gives its bit.
        const std::string& digits = texts.tx(kTxBinaryDigits);
        for (char ch : s) {
            const size_t d = digits.find(ch);
            if (d == std::string::npos || v > 0xFFFFFFFFLL) return false;
            v = v * 2 + (d >= 3 ? 1 : 0);
        }
    } else {
        const bool hex = s[0] == '$';
        const char* b = s.data() + (hex ? 1 : 0);
        auto r = std::from_chars(b, s.data() + s.size(), v, hex ? 16 : 10);
        if (r.ec != std::errc() || r.ptr != s.data() + s.size() || b == s.data() + s.size())
            return false;
    }
    if (v < INT32_MIN || v > UINT32_MAX) return false;
    if (f.ranged && (v < f.lo || v > f.hi)) return false;
    out.u = static_cast<uint32_t>(v);
    return true;
}

std::string ValueText(int typ, T_Var v, const ValueFormat& f, const TextTable& texts) {
    auto named = [&](int text) { return " " + std::to_string(v.l) + "=" + texts.tx(text); };
    switch (typ) {
    case 1:
    case 2:
    case 30:
    case 45:
        return named(kTxSinglePoint + (v.l & 0xFF));
    case 3:
    case 4:
    case 17:
    case 31:
    case 38:
    case 46:
        if (v.l >= 0 && v.l <= 3) return named(kTxDoublePoint + v.l);
        break;
    case 47:
        if (v.l >= 0 && v.l <= 3) return named(kTxStep + v.l);
        break;
    default:
        break;
    }
    switch (f.kind) {
    case VAL_HEX: {
        char buf[16];
        auto r = std::to_chars(buf, buf + sizeof buf, v.u, 16);
        std::string h = Upper(std::string(buf, r.ptr));
        return texts.tx(kTxHexPrefix).substr(0, 1) + h;
    }
    case VAL_BIN: {
        const std::string& bits = texts.tx(kTxBitChars);
        const char zero = bits.size() > 0 ? bits[0] : '0', one = bits.size() > 1 ? bits[1] : '1';
        std::string s;
        for (uint32_t u = v.u; u; u >>= 1) s.insert(s.begin(), (u & 1) ? one : zero);
        return s.empty() ? std::string(1, zero) : s;
    }
    case VAL_FLOAT:
        return FloatText(v.sgl);
    default:
        return std::to_string(v.l);
    }
}

T_Var StepValue(T_Var v, const ValueFormat& f, int delta) {
    if (f.kind == VAL_FLOAT) {
        v.sgl += static_cast<float>(delta);
        return v;
    }
    long long n = static_cast<long long>(v.l) + delta;
    if (f.ranged) {
        if (n > f.hi) n = f.lo;
        if (n < f.lo) n = f.hi;
    }
    v.l = static_cast<int32_t>(static_cast<uint32_t>(n));
    return v;
}

// ---- Quality check boxes ----

std::vector<bool> QualityChecks(const QualityBoxes& q, uint8_t qua) {
    std::vector<bool> c;
    for (uint8_t bit : q.bits) c.push_back((qua & bit) != 0);
    return c;
}

uint8_t QuaOfChecks(const QualityBoxes& q, const std::vector<bool>& checks) {
    uint8_t qua = 0;
    for (size_t i = 0; i < q.bits.size() && i < checks.size(); ++i)
        if (checks[i]) qua |= q.bits[i];
    return qua;
}

// ---- Byte field ----

bool ParseByteField(const std::string& text, int typ, std::vector<uint8_t>& out) {
    out.clear();
    const std::u32string u = Utf8ToU32(text);
    auto add = [&](uint32_t b) {
        out.push_back(static_cast<uint8_t>(b & 0xFF));
        return out.size() <= static_cast<size_t>(kSeTeRawMax);
    };
    if (typ == PT_TEXT) {
        for (char32_t ch : u)
            if (!add(ch)) return false;
        return true;
    }
    int pending = -1;
    bool quoted = false;
    for (char32_t ch : u) {
        if (ch == U'"') {
            if (pending >= 0 && !add(static_cast<uint32_t>(pending))) return false;
            pending = -1;
            quoted = !quoted;
            continue;
        }
        if (quoted) {
            if (!add(ch)) return false;
            continue;
        }
        int d = -1;
        if (ch >= U'0' && ch <= U'9') d = static_cast<int>(ch - U'0');
        if (ch >= U'A' && ch <= U'F') d = static_cast<int>(ch - U'A') + 10;
        if (ch >= U'a' && ch <= U'f') d = static_cast<int>(ch - U'a') + 10;
        if (d < 0) {
            if (pending >= 0 && !add(static_cast<uint32_t>(pending))) return false;
            pending = -1;
        } else if (pending < 0) {
            pending = d;
        } else {
            if (!add(static_cast<uint32_t>(pending * 16 + d))) return false;
            pending = -1;
        }
    }
    return pending < 0 || add(static_cast<uint32_t>(pending));
}

std::string ByteFieldText(const uint8_t* b, int lg, int typ) {
    lg = std::clamp(lg, 0, kSeTeRawMax);
    if (typ == PT_TEXT) {
        std::u32string u;
        for (int i = 0; i < lg; ++i) u += static_cast<char32_t>(b[i]);
        return U32ToUtf8(u);
    }
    static const char kHex[] = "0123456789ABCDEF";
    std::string s;
    for (int i = 0; i < lg; ++i) {
        if (i > 0) s += (static_cast<size_t>(i) % kBytesPerLine == 0) ? "\r\n" : " ";
        s += kHex[b[i] >> 4];
        s += kHex[b[i] & 15];
    }
    return s;
}

std::vector<uint8_t> StartBytes(int rawTyp, const T_SeTe& t, const T_ComVar& c, LinkEnv& env) {
    const AsduLayout lay = LayoutOf(env.ap);
    if (rawTyp == PT_FIXED) {
        std::vector<uint8_t> b{0};
        for (int k = 0; k < lay.lgla; ++k)
            b.push_back(static_cast<uint8_t>(c.bp.la.a[0] >> (8 * k)));
        return b;
    }
    if (rawTyp != PT_ASDU && rawTyp != PT_FRAME && rawTyp != PT_HEX) return {};
    // Encoded on a copy: the channel's frame count and the stored telegram stay as they are.
    T_ComVar scratch = c;
    scratch.pCp = nullptr;
    scratch.fte.f = scratch.fts.f = nullptr;
    scratch.FiIdx = nullptr;
    T_SeTe copy = t;
    if (EncodeTelegram(scratch, env, copy, {}, false) != EncodeResult::Built) return {};
    const T_Telegramm& te = scratch.se.te;
    const int end = te.validLen() - 2; // without checksum and end character
    int from = 0;
    if (rawTyp == PT_ASDU) from = lay.TypI;
    if (rawTyp == PT_FRAME) from = 4;
    if (rawTyp == PT_HEX) return std::vector<uint8_t>(te.b, te.b + te.validLen());
    if (end <= from) return {};
    return std::vector<uint8_t>(te.b + from, te.b + end);
}

// ---- Date and time ----

namespace {

// The numbers of a field separated by one character; false for anything else.
bool Numbers(const std::string& text, char sep, std::vector<int>& out) {
    out.clear();
    std::string s = Trim(text);
    size_t i = 0;
    while (i <= s.size()) {
        size_t j = s.find(sep, i);
        if (j == std::string::npos) j = s.size();
        int v = 0;
        auto r = std::from_chars(s.data() + i, s.data() + j, v);
        if (r.ec != std::errc() || r.ptr != s.data() + j || v < 0) return false;
        out.push_back(v);
        i = j + 1;
    }
    return true;
}

std::string Two(int v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

} // namespace

bool ParseDateField(const std::string& text, double& datum) {
    if (Trim(text).empty()) {
        datum = 0;
        return true;
    }
    std::vector<int> n;
    if (!Numbers(text, '.', n) || n.size() != 3) return false;
    int year = n[2] < 100 ? 2000 + n[2] : n[2];
    if (n[1] < 1 || n[1] > 12 || n[0] < 1 || year < 1900 || year > 2099) return false;
    const double dt = EncodeDateTime(year, n[1], n[0]);
    const DateTimeParts d = DecodeDateTime(dt);
    if (d.day != n[0] || d.month != n[1]) return false; // 31 April and the like
    datum = dt;
    return true;
}

bool ParseTimeField(const std::string& text, double& zeit) {
    if (Trim(text).empty()) {
        zeit = 0;
        return true;
    }
    std::vector<int> n;
    if (!Numbers(text, ':', n) || n.size() < 2 || n.size() > 3) return false;
    if (n.size() == 2) n.push_back(0);
    if (n[0] > 23 || n[1] > 59 || n[2] > 59) return false;
    zeit = (n[0] * 3600.0 + n[1] * 60.0 + n[2]) / 86400.0;
    return true;
}

std::string DateFieldText(double datum) {
    if (datum == 0) return {};
    const DateTimeParts d = DecodeDateTime(datum);
    return Two(d.day) + "." + Two(d.month) + "." + std::to_string(d.year);
}

std::string TimeFieldText(double zeit) {
    if (zeit == 0) return {};
    const DateTimeParts d = DecodeDateTime(zeit - std::floor(zeit));
    return Two(d.hour) + ":" + Two(d.minute) + ":" + Two(d.second);
}

// ---- Station and storing ----

std::vector<uint16_t> StationChoices(const T_ComVar& c, int lgla) {
    std::vector<uint16_t> out;
    const bool unbalanced = c.se.sim == SIM_MASTER || c.se.sim == SIM_SLAVE;
    if (!unbalanced || lgla == 0) return out;
    const int anz = std::clamp(c.bp.la.anz, 1, kMaxLinkAdr);
    for (int i = 0; i <= anz; ++i) out.push_back(c.bp.la.a[i]);
    return out;
}

bool EditedDiffers(const T_SeTe& edited, const T_SeTe& stored) {
    T_SeTe a = edited, b = stored;
    a.ilo = b.ilo = 0;
    a.tick = b.tick = 0;
    a.stat = b.stat = 0;
    return std::memcmp(&a, &b, sizeof a) != 0;
}

} // namespace vdl
