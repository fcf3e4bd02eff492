#include "send/feedback_files.h"

#include "asdu/address_text.h"
#include "core/file_io.h"
#include "core/text_table.h"

namespace vdl {

namespace {

constexpr size_t kRowFields = 7; // without the qualifier
constexpr size_t kRowFieldsWithQualifier = 8;

std::string Line(std::initializer_list<long long> fields, char tz) {
    std::string s;
    for (long long v : fields) s += std::to_string(v) + tz;
    return s;
}

bool ReadRow(const std::vector<std::string>& f, T_BefRm& e, const SeTeTextEnv& env) {
    if (f.size() < kRowFields) return false;
    uint32_t bca = 0, boa = 0, roa = 0;
    long long bken = -1, con = 0, ret = 0, term = 0, rtyp = 0;
    size_t k = 0;
    if (!ParseCa(f[k++], bca, env.av, env.ap) || !ParseOa(f[k++], boa, env.av, env.ap))
        return false;
    if (f.size() == kRowFieldsWithQualifier && !IntField(f[k++], -1, 127, bken)) return false;
    if (!IntField(f[k++], 0, 1, con) || !IntField(f[k++], 0, 1, ret) ||
        !IntField(f[k++], 0, 1, term) || !ParseOa(f[k++], roa, env.av, env.ap) ||
        !IntField(f[k++], 1, 36, rtyp))
        return false;
    e = NewFeedbackEntry();
    e.bca = static_cast<int32_t>(bca);
    e.boa = static_cast<int32_t>(boa);
    e.roa = static_cast<int32_t>(roa);
    e.bken = static_cast<int8_t>(bken);
    e.con = static_cast<uint8_t>(con);
    e.ret = static_cast<uint8_t>(ret);
    e.term = static_cast<uint8_t>(term);
    e.rtyp = static_cast<uint8_t>(rtyp);
    return true;
}

} // namespace

std::string FeedbackRowLine(const T_BefRm& e, const SeTeTextEnv& env) {
    return Line({static_cast<long long>(e.bca), static_cast<long long>(e.boa), e.bken,
                 e.con ? 1 : 0, e.ret ? 1 : 0, e.term ? 1 : 0, static_cast<long long>(e.roa),
                 e.rtyp},
                env.av.tz);
}

bool ReadFeedbackRow(const std::string& line, T_BefRm& e, const SeTeTextEnv& env) {
    return ReadRow(SplitFields(line, env.av.tz), e, env);
}

std::vector<std::string> FeedbackTextLines(const T_RmTab& t, const SeTeTextEnv& env) {
    const char tz = env.av.tz;
    std::vector<std::string> out{Line({t.ein, t.wzeit}, tz)};
    int last = 1;
    for (int i = kRmEntries; i > 1 && last == 1; --i)
        if (!IsNewFeedbackEntry(t.e[i - 1])) last = i;
    for (int i = 1; i <= last; ++i) out.push_back(FeedbackRowLine(t.e[i - 1], env));
    return out;
}

bool ReadFeedbackText(const std::vector<std::string>& lines, T_RmTab& t, const SeTeTextEnv& env) {
    if (lines.empty()) return false;
    NewFeedbackTable(t);
    const std::vector<std::string> first = SplitFields(lines.front(), env.av.tz);
    long long v = 0;
    if (!first.empty() && IntField(first[0], 0, 1, v)) t.ein = static_cast<uint8_t>(v);
    if (first.size() > 1 && IntField(first[1], 0, 65535, v)) t.wzeit = static_cast<uint16_t>(v);
    int n = 0;
    for (size_t k = 1; k < lines.size() && k <= static_cast<size_t>(kRmEntries); ++k) {
        T_BefRm e;
        if (ReadRow(SplitFields(lines[k], env.av.tz), e, env)) t.e[n++] = e;
    }
    return true;
}

bool LoadFeedbackFile(const std::string& path, T_RmTab& t, const SeTeTextEnv& env, bool emptyAfter,
                      std::string& error) {
    std::vector<std::string> lines;
    error.clear();
    if (!ReadSendTextLines(path, lines, error)) return false;
    ReadFeedbackText(lines, t, env);
    if (emptyAfter && !lines.empty()) {
        if (!WriteTextLines(path, {}, error)) return false;
    }
    return true;
}

bool SaveFeedbackFile(const std::string& path, const T_RmTab& t, const SeTeTextEnv& env,
                      std::string& error) {
    return WriteTextLines(path, FeedbackTextLines(t, env), error);
}

} // namespace vdl
