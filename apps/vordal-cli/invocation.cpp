#include "invocation.h"

#include "core/file_head.h"
#include "core/file_io.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace vdl::cli {

namespace {

std::string Hex(unsigned char c) {
    static const char* kDigits = "0123456789ABCDEF";
    return std::string("\\x") + kDigits[c >> 4] + kDigits[c & 15];
}

// Length of the UTF-8 sequence at s[i] that stands for a printable character, 0 when the bytes
// there are no such sequence (a stray byte, an overlong form, a C1 control character).
size_t PrintableUtf8(std::string_view s, size_t i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k)
        if ((b(i + k) & 0xC0) != 0x80) return 0;
    if (c == 0xC2 && b(i + 1) < 0xA0) return 0; // U+0080..U+009F
    if (c == 0xE0 && b(i + 1) < 0xA0) return 0; // overlong
    if (c == 0xF0 && b(i + 1) < 0x90) return 0; // overlong
    return n;
}

bool IsDirectory(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

bool PathExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

std::string WithSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
    return dir;
}

} // namespace

std::string Shown(std::string_view s) {
    std::string out;
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c < 0x7F)
            out += ch;
        else
            out += Hex(c);
    }
    return out;
}

std::string ShownText(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c >= 0x20 && c < 0x7F) || c == '\n') {
            out += s[i++];
        } else if (size_t n = c >= 0x80 ? PrintableUtf8(s, i) : 0; n > 0) {
            out.append(s.substr(i, n));
            i += n;
        } else {
            out += Hex(c);
            ++i;
        }
    }
    return out;
}

void CliMessages::Error(const std::string& text) {
    std::cerr << ShownText(text) << "\n";
}
void CliMessages::Info(const std::string& text) {
    std::cerr << ShownText(text) << "\n";
}
Answer CliMessages::Ask(const std::string& text, bool) {
    std::cerr << ShownText(text) << "\n";
    return Answer::No;
}

Invocation::Invocation(std::string name, std::string usage)
    : name_(std::move(name)), usage_(std::move(usage)) {}

bool Invocation::Start(const Args& args, std::vector<std::string> values,
                       const std::vector<std::string>& flags) {
    if (std::any_of(args.begin(), args.end(),
                    [](const std::string& a) { return a == "--help" || a == "-h"; })) {
        std::cout << usage_ << "\n";
        exit_ = 0;
        return false;
    }
    values.push_back("lang");
    Options::Result r = o_.Parse(args, values, flags);
    // The language first: every later message speaks it.
    const bool badLang = !ScanLang(args);
    if (!LoadWords()) return false;
    exit_ = kExitRefused;
    if (r.error == Options::UnknownOption) {
        Refuse(Say(tx(2201), {Shown(r.option)}));
        return false;
    }
    if (r.error == Options::MissingValue) {
        Refuse(Say(tx(2202), {"--" + r.option}));
        return false;
    }
    if (badLang) {
        Refuse(Say(tx(2203), {"--lang", Shown(badLang_), "ger|usa"}));
        return false;
    }
    exit_ = 0;
    return true;
}

bool Invocation::StartWords(const Args& args) {
    ScanLang(args);
    return LoadWords();
}

bool Invocation::ScanLang(const Args& args) {
    bool ok = true;
    auto take = [&](const std::string& l) {
        if (l == "ger" || l == "usa") {
            lang_ = l == "ger" ? 0 : 1;
            langGiven_ = true;
        } else {
            badLang_ = l;
            ok = false;
        }
    };
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lang" && i + 1 < args.size())
            take(args[++i]);
        else if (args[i].rfind("--lang=", 0) == 0)
            take(args[i].substr(7));
    }
    return ok;
}

bool Invocation::LoadWords() {
    // The words of the messages belong to the installed program; a folder given with --texts
    // stands in when the program's directory has none.
    std::vector<std::string> dirs = {ProgramDir()};
    if (o_.Has("texts")) dirs.push_back(TextsDir());
    TextLoadResult first;
    for (size_t i = 0; i < dirs.size(); ++i) {
        TextLoadResult r = words_.LoadFile(TextFilePath(dirs[i], LangOf(dirs[i])));
        if (r.ok()) return true;
        if (i == 0) first = r;
    }
    if (wordsOptional_) return true;
    std::cerr << first.message << "\n";
    exit_ = 1;
    return false;
}

int Invocation::LangOf(const std::string& dir) const {
    if (lang_ == 1 && !langGiven_ && !FileExists(TextFilePath(dir, 1))) return 0;
    return lang_;
}

std::string Invocation::TextsDir() const {
    return WithSlash(o_.Has("texts") ? o_.Get("texts") : ProgramDir());
}

std::string Invocation::Say(std::string_view fmt, std::initializer_list<FmtArg> args) const {
    return Format(fmt, args);
}

int Invocation::Fail(int code, const std::string& message) const {
    std::cerr << "vordal-cli" << (name_.empty() ? "" : " " + name_) << ": " << ShownText(message)
              << "\n";
    return code;
}

int Invocation::BadValue(const std::string& name, const std::string& valid) const {
    return Refuse(Say(tx(2203), {"--" + name, Shown(o_.Get(name)), valid}));
}

int Invocation::UnknownSubCommand(const std::string& arg, const std::string& possible) const {
    return Refuse(Say(tx(2204), {Shown(arg), possible}));
}

int Invocation::CheckInputFile(const std::string& path) const {
    if (IsDirectory(path)) return Refuse(Say(tx(2210), {Shown(path)}));
    if (!PathExists(path)) return Fail(1, Say(tx(2209), {Shown(path)}));
    std::ifstream f(path, std::ios::binary);
    if (!f) return Fail(1, Say(tx(2211), {Shown(path)}));
    return 0;
}

int Invocation::CheckLogFile(const std::string& path) const {
    if (int rc = CheckInputFile(path); rc != 0) return rc;
    // A file that does not begin like a log; one that does but is damaged further on is the
    // log store's to judge.
    std::ifstream f(path, std::ios::binary);
    uint32_t magic = 0;
    if (!f.read(reinterpret_cast<char*>(&magic), sizeof magic) || magic != kFileMagic)
        return Fail(1, Say(tx(2212), {Shown(path)}));
    return 0;
}

bool Invocation::Number(const std::string& name, long long min, long long max, long long& out,
                        const std::string& valid) const {
    if (!o_.Has(name)) return true;
    if (ParseNumber(o_.Get(name), min, max, out)) return true;
    BadValue(name, valid.empty() ? std::to_string(min) + ".." + std::to_string(max) : valid);
    return false;
}

bool Invocation::Choice(const std::string& name, const std::vector<std::string>& words,
                        int& out) const {
    if (!o_.Has(name)) return true;
    auto it = std::find(words.begin(), words.end(), o_.Get(name));
    if (it != words.end()) {
        out = static_cast<int>(it - words.begin());
        return true;
    }
    std::string valid;
    for (const std::string& w : words) valid += (valid.empty() ? "" : "|") + w;
    BadValue(name, valid);
    return false;
}

} // namespace vdl::cli
