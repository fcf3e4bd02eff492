#include "send/feedback_form.h"

#include "asdu/address_text.h"
#include "asdu/interp_words.h"
#include "send/feedback_files.h"

#include <algorithm>
#include <sstream>

namespace vdl {

std::string FeedbackCellText(const T_RmTab& t, int i, int col, const SeTeTextEnv& env) {
    const T_BefRm& e = t.e[i - 1];
    switch (col) {
    case RMC_ROW:
        return std::to_string(i);
    case RMC_BCA:
        return FormatCa(static_cast<uint32_t>(e.bca), env.av, env.ap);
    case RMC_BOA:
        return FormatOa(static_cast<uint32_t>(e.boa), env.av, env.ap);
    case RMC_BKEN:
        return std::to_string(e.bken);
    case RMC_ROA:
        return FormatOa(static_cast<uint32_t>(e.roa), env.av, env.ap);
    case RMC_RTYP:
        return std::to_string(e.rtyp);
    default:
        return {};
    }
}

bool SetFeedbackCell(T_RmTab& t, int i, int col, const std::string& text, const SeTeTextEnv& env) {
    T_BefRm& e = t.e[i - 1];
    long long v = 0;
    uint32_t a = 0;
    switch (col) {
    case RMC_BCA:
        if (!ParseCa(Trim(text), a, env.av, env.ap, true)) return false;
        e.bca = static_cast<int32_t>(a);
        return true;
    case RMC_BOA:
    case RMC_ROA:
        if (!ParseOa(Trim(text), a, env.av, env.ap, true)) return false;
        (col == RMC_BOA ? e.boa : e.roa) = static_cast<int32_t>(a);
        return true;
    case RMC_BKEN:
        if (!IntField(text, -128, 127, v)) return false;
        e.bken = static_cast<int8_t>(v);
        return true;
    case RMC_CON:
    case RMC_RET:
    case RMC_TERM:
        if (!IntField(text, 0, 1, v)) return false;
        (col == RMC_CON ? e.con : col == RMC_RET ? e.ret : e.term) = static_cast<uint8_t>(v);
        return true;
    case RMC_RTYP:
        if (!IntField(text, 1, 36, v) || !IsReturnType(static_cast<int>(v))) return false;
        e.rtyp = static_cast<uint8_t>(v);
        return true;
    default:
        return false;
    }
}

std::string CopyFeedbackRows(const T_RmTab& t, int first, int last, const SeTeTextEnv& env) {
    std::string s;
    for (int i = std::max(1, first); i <= std::min(last, kRmEntries); ++i) {
        if (!s.empty()) s += "\r\n";
        s += FeedbackRowLine(t.e[i - 1], env);
    }
    return s;
}

void CutFeedbackRows(T_RmTab& t, int first, int last) {
    first = std::max(1, first);
    last = std::min(last, kRmEntries);
    if (first > last) return;
    const int n = last - first + 1;
    for (int i = first; i + n <= kRmEntries; ++i) t.e[i - 1] = t.e[i + n - 1];
    for (int i = kRmEntries - n + 1; i <= kRmEntries; ++i) t.e[i - 1] = NewFeedbackEntry();
}

int PasteFeedbackRows(T_RmTab& t, int at, const std::string& text, const SeTeTextEnv& env) {
    std::vector<T_BefRm> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        T_BefRm e;
        if (!ReadFeedbackRow(line, e, env)) break;
        rows.push_back(e);
    }
    at = std::clamp(at, 1, kRmEntries);
    const int n = std::min(static_cast<int>(rows.size()), kRmEntries - at + 1);
    if (n <= 0) return 0;
    for (int i = kRmEntries; i >= at + n; --i) t.e[i - 1] = t.e[i - n - 1];
    for (int k = 0; k < n; ++k) t.e[at + k - 1] = rows[static_cast<size_t>(k)];
    return n;
}

} // namespace vdl
