#include "send/sete_files.h"

#include "asdu/address_text.h"
#include "core/file_io.h"
#include "core/text_table.h"
#include "core/utf8.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace vdl {

namespace {

constexpr size_t kMaxRawNumbers = 250;
constexpr size_t kMaxRawOctets = 250;
constexpr uint32_t kMaxRawNumber = 16777215;
constexpr size_t kMaxTextFile = 64u << 20;
constexpr size_t kHeaderFields = 16; // name and the fields up to the quality
constexpr int kMinLine2Fields = 5;

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

std::string Num(long long v) {
    return std::to_string(v);
}

} // namespace

bool IntField(const std::string& field, long long lo, long long hi, long long& out) {
    const std::string s = Trim(field);
    if (s.empty()) return false;
    long long v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || v < lo || v > hi) return false;
    out = v;
    return true;
}

std::string Fit(const std::string& s, size_t n) {
    std::string r = Utf8Left(s, n);
    while (r.size() > n) r = Utf8Left(r, Utf8Length(r) - 1);
    return r;
}

// ---- Raw file ----

RawLines ParseRawLines(const std::vector<std::string>& lines, char tz) {
    RawLines out;
    for (const std::string& line : lines) {
        std::vector<std::string> f = SplitFields(line, tz);
        std::vector<uint8_t> oct;
        for (size_t k = 0; k < f.size() && k < kMaxRawNumbers && oct.size() < kMaxRawOctets; ++k) {
            long long v = 0;
            if (!IntField(f[k], 0, kMaxRawNumber, v)) break;
            oct.push_back(static_cast<uint8_t>(v & 0xFF));
            if (v >= 0x100) oct.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
            if (v >= 0x10000) oct.push_back(static_cast<uint8_t>((v >> 16) & 0xFF));
        }
        if (!oct.empty()) out.push_back(std::move(oct));
    }
    return out;
}

uint32_t RawLineCa(const std::vector<uint8_t>& line, const AsduLayout& lay) {
    // The line starts with the type octet: the common address follows type, qualifier and
    // cause (and originator).
    const size_t at = static_cast<size_t>(lay.CaI - lay.TypI);
    if (line.size() < at + static_cast<size_t>(lay.lgca)) return 0;
    uint32_t ca = line[at];
    if (lay.lgca == 2) ca |= static_cast<uint32_t>(line[at + 1]) << 8;
    return ca;
}

void ReloadRawFile(T_SeTe& t, RawLines& lines, const T_AllgVar& av, const AsduLayout& lay) {
    lines.clear();
    if (t.typ != PT_FILE) return;
    std::vector<std::string> text;
    std::string error;
    const std::string name = t.datei.str();
    if (!name.empty() && ReadSendTextLines(av.DataDir + name, text, error))
        lines = ParseRawLines(text, av.tz);
    if (lines.empty()) {
        t.datei.set("");
        t.anzt = 1;
        return;
    }
    t.anzt = static_cast<int32_t>(lines.size());
    t.ca = static_cast<int32_t>(RawLineCa(lines.front(), lay));
}

// ---- Text file ----

bool ReadSendTextLines(const std::string& path, std::vector<std::string>& lines,
                       std::string& error) {
    std::vector<uint8_t> data;
    errno = 0;
    if (!ReadWholeFile(path, data, kMaxTextFile)) {
        error = path + ": " + (errno ? std::strerror(errno) : "cannot be read");
        return false;
    }
    std::string s(data.begin(), data.end());
    if (s.compare(0, 3, "\xEF\xBB\xBF") == 0) s.erase(0, 3);
    if (!IsValidUtf8(s)) s = AnsiToUtf8(s);
    lines.clear();
    std::string cur;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' || s[i] == '\n') {
            lines.push_back(cur);
            cur.clear();
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else {
            cur += s[i];
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return true;
}

std::vector<std::string> SeTeTextLines(const T_SeTe& t, const SeTeTextEnv& env) {
    const char tz = env.av.tz;
    auto line = [tz](std::initializer_list<std::string> fields) {
        std::string s;
        for (const std::string& f : fields) s += f + tz;
        return s;
    };
    std::vector<std::string> out;
    out.push_back(
        line({t.bez.str(), Num(t.anst), Num(t.anst < ANST_MINUTE ? t.typn : t.minute), Num(t.anzt),
              Num(t.snr), Num(t.zeile), Num(t.wzt), Num(t.ueb), Num(t.la), Num(t.typ), Num(t.urs),
              Num(t.hk), Num(static_cast<uint32_t>(t.ca) & env.av.globca),
              Num(static_cast<uint32_t>(t.oa) & env.av.oamax), Num(t.inf.l), Num(t.qua)}));
    out.push_back(line({Num(t.tn), Num(t.ms), Num(t.zus), Num(t.iv), Num(t.su), Num(t.trans),
                        Num(t.gen), t.datei.str()}));
    std::string raw = Num(t.lg) + tz;
    for (int k = 0; k < std::clamp<int>(t.lg, 0, kSeTeRawMax); ++k)
        raw += Num(t.b[static_cast<size_t>(k)]) + tz;
    out.push_back(raw);
    return out;
}

bool ReadSeTeHeader(const std::string& line, T_SeTe& t, const SeTeTextEnv& env) {
    std::vector<std::string> h = SplitFields(line, env.av.tz);
    // Every field up to the quality must be valid, or nothing of the header is taken.
    if (h.size() < kHeaderFields) return false;
    struct Range {
        long long lo, hi;
    };
    static constexpr Range kRanges[] = {{0, 5},      {0, 257},    {0, 100000}, {1, 4},
                                        {0, 100000}, {0, 100000}, {0, 2},      {0, 65535},
                                        {0, 255},    {0, 255},    {0, 255}};
    long long v[11] = {};
    for (size_t k = 0; k < 11; ++k)
        if (!IntField(h[k + 1], kRanges[k].lo, kRanges[k].hi, v[k])) return false;
    uint32_t ca = 0, oa = 0;
    long long inf = 0, qua = 0;
    if (!ParseCa(Trim(h[12]), ca, env.av, env.ap)) ca = 0;
    if (!ParseOa(Trim(h[13]), oa, env.av, env.ap)) oa = 0;
    if (!IntField(h[14], INT32_MIN, UINT32_MAX, inf) || !IntField(h[15], 0, 255, qua)) return false;
    t.bez.set(Fit(h[0], 27));
    t.anst = static_cast<int32_t>(v[0]);
    if (t.anst <= ANST_REMOTE_RESET)
        t.typn = static_cast<uint16_t>(v[1]);
    else
        t.minute = static_cast<uint16_t>(v[1]);
    t.anzt = static_cast<int32_t>(v[2]);
    t.snr = static_cast<int32_t>(v[3]);
    t.zeile = static_cast<int32_t>(v[4]);
    t.wzt = static_cast<int32_t>(v[5]);
    t.ueb = static_cast<int16_t>(v[6]);
    t.la = static_cast<uint32_t>(v[7]);
    t.typ = static_cast<uint8_t>(v[8]);
    t.urs = static_cast<uint8_t>(v[9]);
    t.hk = static_cast<uint8_t>(v[10]);
    t.ca = static_cast<int32_t>(ca);
    t.oa = static_cast<int32_t>(oa);
    t.inf.u = static_cast<uint32_t>(inf);
    t.qua = static_cast<uint8_t>(qua);
    return true;
}

bool ReadSeTeText(const std::vector<std::string>& lines, T_SeTe& t, const SeTeTextEnv& env) {
    if (lines.size() < 2) return false;
    const char tz = env.av.tz;
    ReadSeTeHeader(lines[0], t, env);

    std::vector<std::string> l2 = SplitFields(lines[1], tz);
    if (static_cast<int>(l2.size()) >= kMinLine2Fields) {
        // tn, ms, zus, iv, su, trans, gen, then the file name; reading stops at the first
        // invalid field. The elapsed time of the protection types needs two octets of zus.
        static constexpr long long kHi[] = {255, 59999, 65535, 1, 1, 255, 1};
        for (size_t k = 0; k < l2.size() && k < 8; ++k) {
            long long v = 0;
            if (k == 7) {
                t.datei.set(Fit(l2[k], 127));
                break;
            }
            if (!IntField(l2[k], 0, kHi[k], v)) break;
            const uint8_t flag = v > 0 ? 1 : 0;
            switch (k) {
            case 0:
                t.tn = static_cast<uint8_t>(v);
                break;
            case 1:
                t.ms = static_cast<int32_t>(v);
                break;
            case 2:
                t.zus = static_cast<int32_t>(v);
                break;
            case 3:
                t.iv = flag;
                break;
            case 4:
                t.su = flag;
                break;
            case 5:
                t.trans = v > 0 ? 0x80 : 0;
                break;
            default:
                t.gen = flag;
                break;
            }
        }
    }

    if (lines.size() > 2) {
        std::vector<std::string> l3 = SplitFields(lines[2], tz);
        long long lg = 0;
        if (!l3.empty() && IntField(l3[0], 0, kSeTeRawMax - 1, lg)) {
            int n = 0;
            for (; n < lg && static_cast<size_t>(n) + 1 < l3.size(); ++n) {
                long long b = 0;
                if (!IntField(l3[static_cast<size_t>(n) + 1], 0, 255, b)) break;
                t.b[n] = static_cast<uint8_t>(b);
            }
            t.lg = n;
        }
    }
    return true;
}

bool LoadSeTeFile(const std::string& path, T_SeTe& t, const SeTeTextEnv& env, std::string& error) {
    std::vector<std::string> lines;
    error.clear();
    if (!ReadSendTextLines(path, lines, error)) return false;
    return ReadSeTeText(lines, t, env);
}

bool SaveSeTeFile(const std::string& path, const T_SeTe& t, const SeTeTextEnv& env,
                  std::string& error) {
    return WriteTextLines(path, SeTeTextLines(t, env), error);
}

bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                    std::string& error) {
    std::string s;
    for (const std::string& l : lines) s += l + "\r\n";
    error.clear();
    return WriteWholeFile(path, s.data(), s.size(), error) == s.size() && error.empty();
}

} // namespace vdl
