#include "asdu/object_texts.h"

#include "asdu/address_text.h"
#include "asdu/interp_words.h"
#include "core/format.h"
#include "core/utf8.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vdl {

namespace {

const std::string kEmpty;

// A user-edited file: UTF-8 (with or without byte-order mark), UTF-16 with its mark, else the
// ANSI code page.
std::string DecodeContent(const std::string& bytes) {
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
    if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0)
        return Utf16ToUtf8(std::string_view(bytes).substr(2), false);
    if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFE\xFF") == 0)
        return Utf16ToUtf8(std::string_view(bytes).substr(2), true);
    return IsValidUtf8(bytes) ? bytes : AnsiToUtf8(bytes);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string cur;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(cur);
            cur.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

// A plain decimal number within 0..max (blanks around it allowed).
bool ParseDecimal(const std::string& field, uint32_t max, uint32_t& out) {
    std::string s = Trim(field);
    if (s.empty() || s.size() > 9) return false;
    uint32_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<uint32_t>(c - '0');
    }
    if (v > max) return false;
    out = v;
    return true;
}

bool ObjectLess(const T_Element& a, const T_Element& b) {
    return a.ca != b.ca ? a.ca < b.ca : a.id < b.id;
}

} // namespace

bool ParseColourField(const std::string& field, T_FarbIndex& out) {
    out = T_FarbIndex{};
    std::string s = Trim(field);
    if (s.empty()) return true;
    size_t dash = s.find('-');
    uint32_t fg = 0, hg = 0;
    if (!ParseDecimal(s.substr(0, dash), 19, fg)) return false;
    if (dash != std::string::npos && !ParseDecimal(s.substr(dash + 1), 19, hg)) return false;
    out.fg = static_cast<uint8_t>(fg);
    out.hg = static_cast<uint8_t>(hg);
    return true;
}

std::string FaultyLineList(const std::vector<int>& lines, const TextTable& texts) {
    std::string s;
    for (size_t k = 0; k < lines.size(); ++k) {
        if (k % 10 == 0)
            s += "\r\n            " + texts.tx(kTxFaultyLinesRow);
        else
            s += ",  ";
        s += std::to_string(lines[k]);
    }
    return s;
}

bool ObjectTexts::Load(const std::string& path, ObjectTextEnv& env) {
    std::error_code ec;
    std::ifstream f;
    if (std::filesystem::is_regular_file(path, ec)) f.open(path, std::ios::binary);
    std::ostringstream ss;
    if (f.is_open()) ss << f.rdbuf();
    if (!f.is_open() || f.bad()) {
        std::string m = Format(env.texts.tx(kTxCannotRead), {path});
        if (env.logMessage) env.logMessage(m);
        env.msg.Error(m);
        return false;
    }
    return LoadContent(ss.str(), path, env);
}

bool ObjectTexts::LoadContent(const std::string& content, const std::string& name,
                              ObjectTextEnv& env) {
    std::vector<std::string> lines = SplitLines(DecodeContent(content));
    Clear();
    objects_.a.reserve(lines.size());
    names_.a.reserve(100);
    const char tz = env.av.tz;
    const std::string caKeyword = Trim(env.texts.tx(kTxCaColumnKeyword));
    int lineNo = 0;
    for (std::string line : lines) {
        ++lineNo;
        if (line.size() >= 2 && line.front() == '"' && line.back() == '"')
            line = line.substr(1, line.size() - 2);
        if (line.empty() || line[0] == tz || line.find(tz) == std::string::npos) continue;
        std::vector<std::string> fld = SplitFields(line, tz);
        auto field = [&](size_t i) -> const std::string& {
            return i < fld.size() ? fld[i] : kEmpty;
        };
        std::string key = Trim(fld[0]);
        bool ok = true;
        if (key == "RWE") {
            rwe_ = true;
        } else if (!caKeyword.empty() && key == caKeyword) {
            caColumn_ = true;
        } else if (key == "IP") {
            // not used by this program
        } else if (key == "CA") {
            uint32_t ca = 0;
            ok = ParseCa(field(1), ca, env.av, env.ap);
            if (ok) names_.a.push_back(T_Element{0, T_FarbIndex{}, ca, field(2)});
        } else if (key == "URS") {
            uint32_t cause = 0;
            T_FarbIndex cl{};
            ok = ParseDecimal(field(1), 255, cause) && ParseColourField(field(2), cl);
            if (ok && env.pfu) env.pfu->frb[cause] = cl;
        } else {
            T_Element e;
            size_t i = 0;
            uint32_t v = 0;
            if (rwe_) {
                ok = ParseDecimal(field(i++), 15, v);
                e.ca = static_cast<uint16_t>(v);
            }
            if (ok && caColumn_) {
                ok = ParseCa(field(i++), v, env.av, env.ap) && v <= 0xFFFF;
                e.ca = static_cast<uint16_t>(v);
            }
            ok = ok && ParseOa(field(i++), e.id, env.av, env.ap);
            ok = ok && ParseColourField(field(i++), e.cl);
            if (ok) {
                e.s0 = field(i);
                objects_.a.push_back(std::move(e));
            }
        }
        if (!ok) {
            ++faultyCount_;
            if (static_cast<int>(faulty_.size()) < kMaxListedFaultyLines) faulty_.push_back(lineNo);
        }
    }
    objects_.a.shrink_to_fit();
    names_.a.shrink_to_fit();
    objects_.anz = static_cast<int32_t>(objects_.a.size());
    names_.anz = static_cast<int32_t>(names_.a.size());
    env.av.dtOaTxt = name;
    if (faultyCount_ > 0)
        env.msg.Error(Format(env.texts.tx(kTxFaultyLines),
                             {name, static_cast<int>(lines.size()), faultyCount_,
                              FaultyLineList(faulty_, env.texts)}));
    std::sort(objects_.a.begin(), objects_.a.end(), ObjectLess);
    std::sort(names_.a.begin(), names_.a.end(),
              [](const T_Element& a, const T_Element& b) { return a.id < b.id; });
    InvalidateCaCache();
    return true;
}

void ObjectTexts::Clear() {
    objects_ = T_TxtVar{};
    names_ = T_TxtVar{};
    rwe_ = false;
    caColumn_ = false;
    faulty_.clear();
    faultyCount_ = 0;
    InvalidateCaCache();
}

int ObjectTexts::FindObject(uint32_t ioa, uint32_t ca) const {
    uint16_t key = 0;
    if (caColumn_)
        key = static_cast<uint16_t>(ca);
    else if (rwe_)
        key = static_cast<uint16_t>(ca & 0x0F);
    T_Element probe;
    probe.ca = key;
    probe.id = ioa;
    auto it = std::lower_bound(objects_.a.begin(), objects_.a.end(), probe, ObjectLess);
    if (it == objects_.a.end() || it->ca != key || it->id != ioa) return -1;
    return static_cast<int>(it - objects_.a.begin());
}

const std::string& ObjectTexts::ObjectName(int index) const {
    const T_Element* e = ObjectAt(index);
    return e ? e->s0 : kEmpty;
}

T_FarbIndex ObjectTexts::ObjectColour(int index) const {
    const T_Element* e = ObjectAt(index);
    return e ? e->cl : T_FarbIndex{};
}

int ObjectTexts::FindCaName(uint32_t ca) const {
    uint32_t id = rwe_ ? (ca >> 4) : ca;
    auto it = std::lower_bound(names_.a.begin(), names_.a.end(), id,
                               [](const T_Element& e, uint32_t v) { return e.id < v; });
    if (it == names_.a.end() || it->id != id) return -1;
    return static_cast<int>(it - names_.a.begin());
}

const std::string& ObjectTexts::CaName(int index) const {
    const T_Element* e = CaNameAt(index);
    return e ? e->s0 : kEmpty;
}

const T_Element* ObjectTexts::ObjectAt(int index) const {
    if (index < 0 || index >= objects_.anz) return nullptr;
    return &objects_.a[static_cast<size_t>(index)];
}

const T_Element* ObjectTexts::CaNameAt(int index) const {
    if (index < 0 || index >= names_.anz) return nullptr;
    return &names_.a[static_cast<size_t>(index)];
}

const std::string& ObjectTexts::CaNameCached(uint32_t ca) const {
    if (ca != cacheCa_) {
        cacheName_ = CaName(FindCaName(ca));
        cacheCa_ = ca;
    }
    return cacheName_;
}

} // namespace vdl
