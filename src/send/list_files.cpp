#include "send/list_files.h"

#include "asdu/address_text.h"
#include "asdu/catalogue.h"
#include "asdu/interp_words.h"
#include "core/file_io.h"
#include "core/format.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace vdl {

namespace {

constexpr size_t kHeaderFields = 16;
constexpr int kExportTypeField = 12; // fields of an export line, counted from 1
constexpr int kExportCauseField = 14;
constexpr int kExportOriginField = 15;
constexpr int kExportCaField = 16;
constexpr size_t kNameStem = 25; // characters of a name before its sequence number
constexpr int kTxFeedbackWord = 1384, kTxTelegramWord = 1188, kTxLoadedWord = 399;
constexpr int kTxLineWord = 1369, kTxUnusableWord = 400;

bool IsFloatType(int typ) {
    return typ == 13 || typ == 36 || typ == 50 || typ == 63 || typ == 112;
}

std::string Field(const std::vector<std::string>& f, int n) {
    return n >= 1 && static_cast<size_t>(n) <= f.size() ? f[static_cast<size_t>(n - 1)]
                                                        : std::string();
}

bool Byte(const std::string& s, long long& v) {
    return IntField(s, 0, 255, v);
}

bool Value(const std::string& s, long long& v) {
    return IntField(s, INT32_MIN, UINT32_MAX, v);
}

bool Ca(const std::string& s, const SeTeTextEnv& env, uint32_t& ca) {
    return ParseCa(s, ca, env.av, env.ap);
}

bool Oa(const std::string& s, const SeTeTextEnv& env, uint32_t& oa) {
    return ParseOa(s, oa, env.av, env.ap);
}

// A line of the log's export: type, cause, originator and common address at fixed places, the
// object address, value and qualifier after them. The common address field carries its name
// after a blank. Our export has the object address in field 17; an export with the common
// address's name in a field of its own has it in field 18.
bool ReadExportRow(const std::vector<std::string>& f, const SeTeTextEnv& env, ListRow& row) {
    long long typ = 0, urs = 0, hk = 0, v = 0, q = 0;
    if (!Byte(Field(f, kExportTypeField), typ) || !IsKnownType(static_cast<int>(typ)) ||
        !Byte(Field(f, kExportCauseField), urs))
        return false;
    if (!Byte(Field(f, kExportOriginField), hk)) hk = 0;
    std::string caText = Trim(Field(f, kExportCaField));
    caText = caText.substr(0, caText.find(' '));
    uint32_t ca = 0, oa = 0;
    if (!Ca(caText, env, ca)) return false;
    long long probe = 0;
    const int oaField = IntField(Field(f, 17), 0, UINT32_MAX, probe) ? 17 : 18;
    if (!Oa(Field(f, oaField), env, oa)) return false;
    const std::string value = Field(f, oaField + 2);
    if (IsFloatType(static_cast<int>(typ))) {
        char* end = nullptr;
        const float x = std::strtof(value.c_str(), &end);
        row.obj.inf.sgl = end != value.c_str() ? x : 0.0f;
    } else {
        row.obj.inf.u = Value(value, v) ? static_cast<uint32_t>(v) : 0u;
    }
    if (!Byte(Field(f, oaField + 3), q)) q = 0;
    row.obj.akt = 1;
    row.obj.typ = static_cast<uint8_t>(typ);
    row.obj.urs = static_cast<uint8_t>(urs);
    row.obj.qua = static_cast<uint8_t>(q);
    row.obj.oa = static_cast<int32_t>(oa);
    row.ca.ca = static_cast<uint16_t>(ca);
    row.ca.hk = static_cast<uint8_t>(hk);
    return true;
}

// The rows of four, eight and of three, five, six or seven fields.
bool ReadPlainRow(const std::vector<std::string>& f, const SeTeTextEnv& env, ListRow& row) {
    const size_t n = f.size();
    long long akt = 1, typ = 2, urs = 3, hk = 0, v = 0, q = 0;
    uint32_t ca = 0, oa = 0;
    bool ok;
    if (n == 4) {
        ok = Ca(f[0], env, ca) && Oa(f[1], env, oa) && Byte(f[2], typ) && Byte(f[3], urs);
    } else if (n == 8) {
        ok = IntField(f[0], 0, 1, akt) && Ca(f[1], env, ca) && Oa(f[2], env, oa) &&
             Byte(f[3], typ) && Byte(f[4], urs) && Byte(f[5], hk) && Value(f[6], v) &&
             Byte(f[7], q);
    } else {
        ok = n >= 3 && IntField(f[0], 0, 1, akt) && Oa(f[1], env, oa) && Byte(f[2], typ) &&
             (n < 4 || Byte(f[3], urs)) && (n < 5 || Value(f[4], v)) && (n < 6 || Byte(f[5], q));
    }
    if (!ok) return false;
    row.obj.akt = static_cast<uint8_t>(akt);
    row.obj.oa = static_cast<int32_t>(oa);
    row.obj.typ = static_cast<uint8_t>(typ);
    row.obj.urs = static_cast<uint8_t>(urs);
    row.obj.inf.u = static_cast<uint32_t>(v);
    row.obj.qua = static_cast<uint8_t>(q);
    row.ca.ca = static_cast<uint16_t>(ca);
    row.ca.hk = static_cast<uint8_t>(hk);
    return true;
}

std::string FileStem(const std::string& path) {
    return std::filesystem::path(path).stem().string();
}

std::string TwoDigits(int k) {
    return std::string(1, static_cast<char>('0' + k / 10 % 10)) + static_cast<char>('0' + k % 10);
}

// "n" or "first-last" and the active objects, as text 2069 logs them.
void LogLoaded(const SendLists& lists, int first, int last, int active) {
    const SendEnv& e = lists.Env();
    std::string range = std::to_string(first);
    if (last != first) range += "-" + std::to_string(last);
    if (e.logText) e.logText(Format(e.link.texts.tx(kTxListsLoaded), {range, active}));
}

SeTeTextEnv TextEnv(const SendLists& lists) {
    return SeTeTextEnv{lists.Env().av, lists.Env().link.ap};
}

// A new list n with the file's header, if it has one, else named after the file.
void StartFilledList(SeLi& l, int n, const std::vector<std::string>& lines, const std::string& path,
                     const SendLists& lists) {
    const SeTeTextEnv env = TextEnv(lists);
    NewList(l, n, lists.Env().link.texts);
    const bool header =
        !lines.empty() && SplitFields(lines.front(), env.av.tz).size() == kHeaderFields;
    if (!header || !ReadSeTeHeader(lines.front(), l.h, env) || l.h.bez.str().empty())
        l.h.bez.set(Fit(FileStem(path), 27));
}

} // namespace

// ---- Rows ----

RowKind ReadListRow(const std::string& line, const SeTeTextEnv& env, ListRow& row) {
    const std::vector<std::string> f = SplitFields(line, env.av.tz);
    row = ListRow{};
    row.obj = DefaultListObject();
    if (f.size() == kHeaderFields) return RowKind::Header;
    if (f.size() > kHeaderFields) return ReadExportRow(f, env, row) ? RowKind::Row : RowKind::None;
    if (f.size() > 8) return RowKind::None;
    return ReadPlainRow(f, env, row) ? RowKind::Row : RowKind::None;
}

std::string ListRowLine(const T_SeLiObj& o, const T_CaHk& ca, const SeTeTextEnv& env) {
    const char tz = env.av.tz;
    std::string s;
    for (long long v :
         {static_cast<long long>(o.akt), static_cast<long long>(ca.ca & env.av.globca),
          static_cast<long long>(static_cast<uint32_t>(o.oa) & env.av.oamax),
          static_cast<long long>(o.typ), static_cast<long long>(o.urs),
          static_cast<long long>(ca.hk), static_cast<long long>(o.inf.l),
          static_cast<long long>(o.qua)})
        s += std::to_string(v) + tz;
    return s;
}

std::vector<std::string> ListRowLines(const SeLi& l, const SeTeTextEnv& env) {
    int last = 1;
    for (int i = kSeLiObjects; i > 1 && last == 1; --i)
        if (!IsDefaultObject(l.at(i))) last = i;
    std::vector<std::string> out;
    for (int i = 1; i <= last; ++i) out.push_back(ListRowLine(l.at(i), l.caOf(i), env));
    return out;
}

std::vector<std::string> ListTextLines(const SeLi& l, const SeTeTextEnv& env) {
    std::vector<std::string> out{SeTeTextLines(l.h, env).front()};
    for (std::string& r : ListRowLines(l, env)) out.push_back(std::move(r));
    return out;
}

int FillListObjects(SeLi& l, const std::vector<std::string>& lines, size_t& pos,
                    const SeTeTextEnv& env) {
    int i = 0;
    ListRow r;
    while (i < kSeLiObjects && pos < lines.size()) {
        if (ReadListRow(lines[pos++], env, r) != RowKind::Row) continue;
        ++i;
        l.at(i) = r.obj;
        l.caOf(i) = r.ca;
    }
    return i;
}

bool ListLinesRemain(const std::vector<std::string>& lines, size_t pos, const SeTeTextEnv& env) {
    if (pos >= lines.size()) return false;
    if (pos + 1 < lines.size()) return true;
    ListRow r;
    return ReadListRow(lines[pos], env, r) == RowKind::Row;
}

// ---- Files ----

bool SaveListFile(SendLists& lists, int n, const std::string& path, std::string& error) {
    const SeTeTextEnv env = TextEnv(lists);
    const SendEnv& e = lists.Env();
    std::vector<std::string> lines = ListTextLines(lists.Set().at(n), env);
    // A full list may go on in the next one.
    for (int m = n, next = NextListNumber(n);
         next != n && !IsDefaultObject(lists.Set().at(m).at(kSeLiObjects)) &&
         e.link.msg.Ask(Format(e.link.texts.tx(kTxAskSaveOn), {m, next}), false) == Answer::Yes;
         m = next, next = NextListNumber(next))
        for (std::string& r : ListRowLines(lists.Set().at(next), env))
            lines.push_back(std::move(r));
    return WriteTextLines(path, lines, error);
}

bool LoadListFile(SendLists& lists, int n, SeLi& buf, const std::string& path, std::string& error) {
    const SeTeTextEnv env = TextEnv(lists);
    const SendEnv& e = lists.Env();
    std::vector<std::string> lines;
    if (!ReadSendTextLines(path, lines, error)) return false;
    StartFilledList(buf, n, lines, path, lists);
    size_t pos = 0;
    FillListObjects(buf, lines, pos, env);
    SeLi counted = buf;
    CountActive(counted);
    int active = counted.anzakt, last = n, seq = 1;
    const std::string stem = Fit(buf.h.bez.str(), kNameStem);
    for (int next = NextListNumber(n);
         next != n && ListLinesRemain(lines, pos, env) &&
         e.link.msg.Ask(Format(e.link.texts.tx(kTxAskLoadOn), {last, next}), false) == Answer::Yes;
         next = NextListNumber(next)) {
        SeLi& l = lists.Set().at(next);
        StartFilledList(l, next, lines, path, lists);
        FillListObjects(l, lines, pos, env);
        l.h.bez.set(stem + TwoDigits(++seq));
        lists.RecountList(next);
        active += l.anzakt;
        last = next;
    }
    if (seq > 1) buf.h.bez.set(stem + " 1");
    LogLoaded(lists, n, last, active);
    e.av.setelisav = true;
    return true;
}

bool ImportListFile(SendLists& lists, const std::string& path, int n) {
    const SeTeTextEnv env = TextEnv(lists);
    const SendEnv& e = lists.Env();
    const bool commandFile = n == 0;
    std::vector<std::string> lines;
    std::string error;
    if (!ReadSendTextLines(path, lines, error)) {
        if (e.logMessage) e.logMessage(error);
        return false;
    }
    if (n < 1 || n > kSeLiCount) {
        // The number the first line begins with.
        const std::string first = lines.empty() ? std::string() : Trim(lines.front());
        long long k = 0;
        size_t d = 0;
        while (d < first.size() && d < 9 && std::isdigit(static_cast<unsigned char>(first[d])))
            k = k * 10 + (first[d++] - '0');
        n = d > 0 && k >= 1 && k <= kSeLiCount ? static_cast<int>(k) : kSeLiCount;
    }
    std::vector<int> filled;
    size_t pos = 0;
    int m = n;
    do {
        SeLi& l = lists.Set().at(m);
        StartFilledList(l, m, lines, path, lists);
        FillListObjects(l, lines, pos, env);
        filled.push_back(m);
        m = NextListNumber(m);
    } while (m != n && ListLinesRemain(lines, pos, env));
    int active = 0;
    for (size_t k = 0; k < filled.size(); ++k) {
        SeLi& l = lists.Set().at(filled[k]);
        if (filled.size() > 1)
            l.h.bez.set(Fit(l.h.bez.str(), kNameStem) + TwoDigits(static_cast<int>(k) + 1));
        lists.RecountList(filled[k]);
        active += l.anzakt;
    }
    LogLoaded(lists, n, filled.back(), active);
    if (commandFile && !WriteTextLines(path, {}, error)) {
        if (e.logMessage) e.logMessage(error);
        return false;
    }
    e.av.setelisav = true;
    return true;
}

void RunListCommandFile(SendLists& lists, const std::string& path, const ListBatchHooks& hooks) {
    const SendEnv& e = lists.Env();
    const TextTable& tx = e.link.texts;
    std::vector<std::string> lines;
    std::string error;
    if (!ReadSendTextLines(path, lines, error)) {
        if (e.logMessage) e.logMessage(error);
        return;
    }
    if (lines.size() <= 1) return;
    const std::vector<std::string> first = SplitFields(lines.front(), e.av.tz);
    std::string word = first.size() == 1 ? Trim(first.front()) : std::string();
    std::string keyword = tx.tx(kTxBatchKeyword);
    auto upper = [](std::string s) {
        for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        return s;
    };
    if (word.empty() || upper(word) != upper(keyword)) {
        ImportListFile(lists, path, 0);
        return;
    }
    auto say = [&](const std::string& s) {
        if (e.logText) e.logText(s);
    };
    for (size_t k = 1; k < lines.size(); ++k) {
        const std::string& line = lines[k];
        if (Trim(line).empty()) continue;
        const std::vector<std::string> f = SplitFields(line, e.av.tz);
        long long n = -1;
        std::string file = f.size() > 1 ? Trim(f[1]) : std::string();
        if (!file.empty() && file.find('/') == std::string::npos &&
            file.find('\\') == std::string::npos)
            file = e.av.DataDir + file;
        if (f.size() < 2 || !IntField(f[0], 0, kSeTeCount + kSeLiCount, n) || file.empty() ||
            !FileExists(file)) {
            say(tx.tx(kTxLineWord) + std::to_string(k + 1) + tx.tx(kTxUnusableWord) + line);
            continue;
        }
        say(line);
        if (n == 0) {
            if (hooks.feedback && hooks.feedback(file))
                say(tx.tx(kTxFeedbackWord) + tx.tx(kTxLoadedWord));
        } else if (n <= kSeLiCount) {
            ImportListFile(lists, file, static_cast<int>(n));
        } else if (hooks.telegram && hooks.telegram(file, static_cast<int>(n) - kSeLiCount)) {
            say(tx.tx(kTxTelegramWord) + std::to_string(n - kSeLiCount) + tx.tx(kTxLoadedWord));
        }
    }
    if (!WriteTextLines(path, {}, error) && e.logMessage) e.logMessage(error);
}

} // namespace vdl
