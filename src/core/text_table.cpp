#include "core/text_table.h"

#include "core/format.h"
#include "core/utf8.h"

#include <fstream>
#include <sstream>

namespace vdl {

const char* const kTextLoadMessages[5] = {
    "",
    "Program text file missing/wrong",
    "Text number wrong, line:",
    "Line number jumps, line:",
    "Too many lines, line:",
};

namespace {

const std::string kEmpty;

// The file's bytes as UTF-8: a byte-order mark selects UTF-8 or UTF-16; without one, text
// that is valid UTF-8 is taken as it is, anything else as the ANSI code page.
std::string DecodeFile(const std::string& bytes) {
    auto starts = [&](const char* bom, size_t n) { return bytes.size() >= n && bytes.compare(0, n, bom, n) == 0; };
    if (starts("\xEF\xBB\xBF", 3)) return bytes.substr(3);
    if (starts("\xFF\xFE", 2)) return Utf16ToUtf8(std::string_view(bytes).substr(2), false);
    if (starts("\xFE\xFF", 2)) return Utf16ToUtf8(std::string_view(bytes).substr(2), true);
    if (IsValidUtf8(bytes)) return bytes;
    return AnsiToUtf8(bytes);
}

std::vector<std::u32string> SplitLines(const std::string& text) {
    std::vector<std::u32string> lines;
    std::u32string all = Utf8ToU32(text);
    std::u32string cur;
    for (size_t i = 0; i < all.size(); ++i) {
        char32_t c = all[i];
        if (c == U'\r' || c == U'\n') {
            lines.push_back(cur);
            cur.clear();
            if (c == U'\r' && i + 1 < all.size() && all[i + 1] == U'\n') ++i;
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

// Text number of columns 1..4: a field that is not a decimal number counts as 3001.
int ReadNumber(const std::u32string& field) {
    size_t a = 0, b = field.size();
    while (a < b && field[a] == U' ') ++a;
    while (b > a && field[b - 1] == U' ') --b;
    if (a == b) return 3001;
    int v = 0;
    for (size_t i = a; i < b; ++i) {
        if (field[i] < U'0' || field[i] > U'9') return 3001;
        v = v * 10 + static_cast<int>(field[i] - U'0');
    }
    return v;
}

std::string Message(int error, int line, const std::string& tail) {
    std::string num = std::to_string(line);
    if (num.size() < 5) num.insert(0, 5 - num.size(), ' ');
    return std::string(kTextLoadMessages[error]) + num + "\n" + tail;
}

} // namespace

TextLoadResult TextTable::LoadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) {
        texts_.clear();
        TextLoadResult r;
        r.error = 1;
        r.line = 1;
        r.message = Message(1, 1, path);
        return r;
    }
    std::ostringstream ss;
    ss << f.rdbuf();
    return LoadBytes(ss.str(), path);
}

TextLoadResult TextTable::LoadBytes(const std::string& bytes, const std::string& name) {
    texts_.clear();
    TextLoadResult r;
    std::vector<std::u32string> lines = SplitLines(DecodeFile(bytes));
    int i = 0; // expected number
    int L = 0;
    for (const std::u32string& line : lines) {
        ++L;
        if (line.size() <= 6 || line[0] == U';') continue;
        std::u32string text = line.substr(6);
        size_t semi = line.rfind(U';');
        if (semi != std::u32string::npos && semi >= 6) text = line.substr(6, semi - 6);
        if (line.compare(0, 4, U"    ") != 0) {
            int n = ReadNumber(line.substr(0, 4));
            if (n > kMaxTexts) {
                r.error = 2;
            } else if (n != i) {
                if (n == 18 && i < 18) {
                    while (i < 18) {
                        texts_.emplace_back();
                        ++i;
                    }
                } else if (n != 18) {
                    r.error = 3;
                }
            }
        }
        if (r.error == 0 && i >= kMaxTexts) r.error = 4;
        if (r.error != 0) {
            r.line = L;
            r.message = Message(r.error, L, U32ToUtf8(line));
            return r;
        }
        texts_.push_back(U32ToUtf8(text));
        ++i;
    }
    if (static_cast<int>(texts_.size()) < kMinTexts) {
        r.error = 1;
        r.line = L + 1;
        r.message = Message(1, L + 1, name);
    }
    return r;
}

const std::string& TextTable::GetText(int n) const {
    if (n < 0 || n >= static_cast<int>(texts_.size())) return kEmpty;
    return texts_[static_cast<size_t>(n)];
}

void TextTable::Replace(int n, std::string s) {
    if (n >= 0 && n < static_cast<int>(texts_.size())) texts_[static_cast<size_t>(n)] = std::move(s);
}

int TextTable::Length(int n) const { return static_cast<int>(Utf8Length(GetText(n))); }

const std::string& TextTable::TypeName(int typ) const {
    if (typ < 0 || typ > 255) return kEmpty;
    return typeNames_[static_cast<size_t>(typ)];
}

void TextTable::SetTypeName(int typ, std::string s) {
    if (typ >= 0 && typ <= 255) typeNames_[static_cast<size_t>(typ)] = std::move(s);
}

void TextTable::ClearTypeNames() {
    for (auto& s : typeNames_) s.clear();
}

const char* LanguageExtension(int lang) { return lang == 1 ? "usa" : "ger"; }

std::string TextFilePath(const std::string& progDir, int lang) {
    return progDir + "VdlText." + LanguageExtension(lang);
}

std::string DecodeTwoDigitCodes(const std::string& s) {
    std::string out;
    for (size_t i = 0; i + 1 < s.size(); i += 2) {
        char a = s[i], b = s[i + 1];
        if (a < '0' || a > '9' || b < '0' || b > '9') break;
        out += static_cast<char>((a - '0') * 10 + (b - '0'));
    }
    return out;
}

void PostProcessTexts(TextTable& t, T_AllgVar& av) {
    for (int n = 1009; n < t.Count() && !t.GetText(n).empty(); ++n)
        t.Replace(n, DecodeTwoDigitCodes(t.GetText(n)));
    if (!t.GetText(25).empty()) av.khex = t.GetText(25)[0];
    if (t.GetText(27).size() >= 2) av.bitz = t.GetText(27).substr(0, 2);
    if (!t.GetText(1172).empty()) av.tz = t.GetText(1172)[0];
    av.HelpFile = av.ProgDir + t.GetText(1163);
}

bool LoadTextFile(TextTable& t, T_AllgVar& av, int lang, Messages& msg) {
    TextLoadResult r = t.LoadFile(TextFilePath(av.ProgDir, lang));
    if (!r.ok()) {
        msg.Error(r.message);
        return false;
    }
    PostProcessTexts(t, av);
    return true;
}

std::vector<std::string> SplitFields(const std::string& line, char tz) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < line.size()) {
        size_t p = line.find(tz, start);
        if (p == std::string::npos) {
            out.push_back(line.substr(start));
            break;
        }
        out.push_back(line.substr(start, p - start));
        start = p + 1;
    }
    return out;
}

void LoadTypeNames(TextTable& t, const T_AllgVar& av) {
    t.ClearTypeNames();
    std::ifstream f(av.ProgDir + t.GetText(298), std::ios::binary);
    if (!f || t.GetText(298).empty()) return;
    std::ostringstream ss;
    ss << f.rdbuf();
    std::string text = DecodeFile(ss.str());
    std::istringstream in(text);
    std::string line;
    for (int k = 0; k < 256 && std::getline(in, line); ++k) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields = SplitFields(line, av.tz);
        if (fields.size() < 2) continue;
        const std::string& num = fields[0];
        if (num.empty() || num.size() > 3 || num.find_first_not_of("0123456789") != std::string::npos)
            continue;
        int typ = std::stoi(num);
        if (typ > 255) continue;
        t.SetTypeName(typ, fields[1]);
    }
}

} // namespace vdl
