#include "send/seli_form.h"

#include "asdu/catalogue.h"
#include "asdu/interp_words.h"
#include "send/list_files.h"
#include "send/sete_form.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace vdl {

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

bool Digits(const std::string& s, int base, long long& v) {
    if (s.empty() || s.size() > 10) return false;
    v = 0;
    for (char ch : s) {
        const int d = std::isdigit(static_cast<unsigned char>(ch)) ? ch - '0'
                      : (ch >= 'A' && ch <= 'F')                   ? ch - 'A' + 10
                                                                   : 99;
        if (d >= base) return false;
        v = v * base + d;
    }
    return true;
}

T_SeTe AsTelegram(const T_SeLiObj& o) {
    T_SeTe t{};
    t.typ = o.typ;
    t.inf = o.inf;
    t.urs = o.urs;
    return t;
}

} // namespace

bool ListColumnShown(int col, const SeLiFormEnv& e) {
    if (col == SLC_CA) return e.perObjectCa;
    if (col == SLC_HK) return e.perObjectCa && e.ap.mitori != 0;
    return col >= 0 && col < SLC_COUNT;
}

std::string QualifierText(uint8_t q) {
    std::string s;
    for (int b = 7; b >= 0; --b) s += ((q >> b) & 1) ? '1' : '0';
    return s;
}

bool ParseQualifier(const std::string& text, const std::string& text29, uint8_t& out) {
    std::string s;
    for (char ch : text) s += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    s.erase(0, s.find_first_not_of(' '));
    s.erase(s.find_last_not_of(' ') + 1);
    if (s.empty()) return false;
    const size_t pos = text29.find(s[0]) + 1; // 0: not in the text
    long long v = -1;
    const bool binaryForm = s.size() == 8 && s.find_first_not_of("01") == std::string::npos;
    bool ok;
    if (binaryForm)
        ok = Digits(s, 2, v);
    else if (pos == 1 || pos == 2)
        ok = Digits(s.substr(1), 10, v);
    else if (pos == 3)
        ok = Digits(s.substr(1), 16, v);
    else if (pos == 4 || pos == 0)
        ok = Digits(s, 10, v); // a sign is no qualifier
    else
        ok = Digits(s[0] == '0' ? s : s.substr(1), 2, v) && s.size() <= 9;
    if (!ok || v < 0 || v > 255) return false;
    out = static_cast<uint8_t>(v);
    return true;
}

void AfterTypeChange(T_SeLiObj& o, const TextTable& texts) {
    const TypeControls c = ControlsOf(o.typ, texts);
    T_SeTe t = AsTelegram(o);
    BringValueIntoRange(t, c.value);
    o.inf = t.inf;
    const std::vector<int> causes = CausesOfPick(c.pick, texts);
    const int sel = CauseSelection(causes, o.urs);
    if (sel >= 0) o.urs = static_cast<uint8_t>(causes[static_cast<size_t>(sel)]);
}

std::string ListCellText(const SeLi& l, int row, int col, const SeLiFormEnv& e) {
    const T_SeLiObj& o = l.at(row);
    switch (col) {
    case SLC_ROW:
        return std::to_string(row);
    case SLC_CA:
        return FormatCa(l.caOf(row).ca, e.av, e.ap);
    case SLC_OA:
        return FormatOa(static_cast<uint32_t>(o.oa), e.av, e.ap);
    case SLC_TYP:
        return std::to_string(o.typ);
    case SLC_URS:
        return std::to_string(o.urs);
    case SLC_HK:
        return std::to_string(l.caOf(row).hk);
    case SLC_WERT:
        return ValueText(o.typ, o.inf, ControlsOf(o.typ, e.texts).value, e.texts);
    case SLC_QUA:
        return QualifierText(o.qua);
    default:
        return {};
    }
}

bool SetListCell(SeLi& l, int row, int col, const std::string& text, const SeLiFormEnv& e) {
    T_SeLiObj& o = l.at(row);
    long long v = 0;
    uint32_t a = 0;
    switch (col) {
    case SLC_AKT:
        if (!IntField(text, 0, 1, v)) return false;
        o.akt = static_cast<uint8_t>(v);
        return true;
    case SLC_CA:
        if (!ParseCa(Trim(text), a, e.av, e.ap, true)) return false;
        l.caOf(row).ca = static_cast<uint16_t>(a);
        return true;
    case SLC_OA:
        if (!ParseOa(Trim(text), a, e.av, e.ap, true)) return false;
        o.oa = static_cast<int32_t>(a);
        return true;
    case SLC_TYP:
        if (!IntField(text, 0, 255, v) || !IsKnownType(static_cast<int>(v))) return false;
        if (o.typ != v) {
            o.typ = static_cast<uint8_t>(v);
            AfterTypeChange(o, e.texts);
        }
        return true;
    case SLC_URS: {
        const std::vector<int> causes = CausesOfPick(ControlsOf(o.typ, e.texts).pick, e.texts);
        if (!IntField(text, 0, 255, v) ||
            std::find(causes.begin(), causes.end(), static_cast<int>(v)) == causes.end())
            return false;
        o.urs = static_cast<uint8_t>(v);
        return true;
    }
    case SLC_HK:
        if (!IntField(text, 0, 255, v)) return false;
        l.caOf(row).hk = static_cast<uint8_t>(v);
        return true;
    case SLC_WERT: {
        T_Var x;
        if (!ParseValue(text, ControlsOf(o.typ, e.texts).value, e.texts, x)) return false;
        o.inf = x;
        return true;
    }
    case SLC_QUA: {
        uint8_t q = 0;
        if (!ParseQualifier(text, e.texts.tx(29), q)) return false;
        o.qua = q;
        return true;
    }
    default:
        return false;
    }
}

std::string CopyListRows(const SeLi& l, int first, int last, const SeTeTextEnv& env) {
    std::string s;
    for (int i = std::max(1, first); i <= std::min(last, kSeLiObjects); ++i) {
        if (!s.empty()) s += "\r\n";
        s += ListRowLine(l.at(i), l.caOf(i), env);
    }
    return s;
}

void CutListRows(SeLi& l, int first, int last) {
    first = std::max(1, first);
    last = std::min(last, kSeLiObjects);
    if (first > last) return;
    const int n = last - first + 1;
    for (int i = first; i + n <= kSeLiObjects; ++i) {
        l.at(i) = l.at(i + n);
        l.caOf(i) = l.caOf(i + n);
    }
    for (int i = kSeLiObjects - n + 1; i <= kSeLiObjects; ++i) {
        l.at(i) = DefaultListObject();
        l.caOf(i) = T_CaHk{};
    }
}

int PasteListRows(SeLi& l, int at, const std::string& text, const SeTeTextEnv& env) {
    std::vector<ListRow> rows;
    for (const std::string& line : Lines(text)) {
        ListRow r;
        if (ReadListRow(line, env, r) == RowKind::Row) rows.push_back(r);
    }
    at = std::clamp(at, 1, kSeLiObjects);
    const int n = std::min(static_cast<int>(rows.size()), kSeLiObjects - at + 1);
    if (n <= 0) return 0;
    for (int i = kSeLiObjects; i >= at + n; --i) {
        l.at(i) = l.at(i - n);
        l.caOf(i) = l.caOf(i - n);
    }
    for (int k = 0; k < n; ++k) {
        l.at(at + k) = rows[static_cast<size_t>(k)].obj;
        l.caOf(at + k) = rows[static_cast<size_t>(k)].ca;
    }
    return n;
}

bool HasListRows(const std::string& text, const SeTeTextEnv& env) {
    for (const std::string& line : Lines(text)) {
        ListRow r;
        if (ReadListRow(line, env, r) == RowKind::Row) return true;
    }
    return false;
}

} // namespace vdl
