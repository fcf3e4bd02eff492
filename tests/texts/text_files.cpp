#include "text_files.h"

#include "core/allg_var.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace vdl::test {

std::string ReadWholeFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

namespace {

int ToInt(const std::string& s) {
    if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::stoi(s);
}

// Parses "KEY=VALUE" flags and the number field of one line; returns false on a malformed line.
bool ParseLine(const std::string& line, int lineNo, NumberEntry& e) {
    size_t bar = line.find(" | ");
    if (bar == std::string::npos) return false;
    e.note = line.substr(bar + 3);
    e.line = lineNo;
    std::istringstream in(line.substr(0, bar));
    std::string num, req;
    if (!(in >> num >> req)) return false;
    size_t dots = num.find("..");
    e.first = ToInt(num.substr(0, dots));
    e.last = dots == std::string::npos ? e.first : ToInt(num.substr(dots + 2));
    if (e.first < 0 || e.last < e.first || e.last >= kMaxTexts) return false;
    if (req == "req")
        e.required = true;
    else if (req != "opt")
        return false;
    std::string flag;
    while (in >> flag) {
        size_t eq = flag.find('=');
        std::string key = flag.substr(0, eq);
        std::string val = eq == std::string::npos ? "" : flag.substr(eq + 1);
        if (key == "fmt") {
            e.hasFormat = true;
            for (size_t i = 0; i < val.size(); i += 2) {
                char k = val[i];
                if (k != 'd' && k != 'f' && k != 's') return false;
                if (i + 1 < val.size() && val[i + 1] != ',') return false;
                e.args.push_back(k);
            }
            if (e.args.empty()) return false;
        } else if (key == "same") {
            e.same = true;
        } else if (key == "data") {
            e.data = true;
        } else if (key == "combo") {
            e.combo = ToInt(val);
        } else if (key == "count") {
            e.count = ToInt(val);
        } else if (key == "list") {
            e.list = ToInt(val);
        } else if (key == "widthtitle") {
            e.widthTitle = true;
        } else if (key == "sizes") {
            e.sizes = true;
        } else if (key == "slots") {
            e.slots = ToInt(val);
        } else {
            return false;
        }
    }
    return true;
}

std::vector<NumberEntry> LoadNumbers() {
    std::vector<NumberEntry> out;
    std::istringstream in(ReadWholeFile(TextsDir() + "numbers.txt"));
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty() || line[0] == '#') continue;
        NumberEntry e;
        if (!ParseLine(line, lineNo, e)) {
            ADD_FAILURE() << "numbers.txt line " << lineNo << " is malformed: " << line;
            continue;
        }
        out.push_back(e);
    }
    return out;
}

TextTable Load(int lang, bool postProcess) {
    TextTable t;
    TextLoadResult r = t.LoadFile(TextFilePath(TextsDir(), lang));
    EXPECT_TRUE(r.ok()) << r.message;
    if (postProcess) {
        T_AllgVar av;
        PostProcessTexts(t, av);
    }
    return t;
}

} // namespace

const std::vector<NumberEntry>& Numbers() {
    static const std::vector<NumberEntry> numbers = LoadNumbers();
    return numbers;
}

bool Listed(int n) {
    for (const NumberEntry& e : Numbers())
        if (n >= e.first && n <= e.last) return true;
    return false;
}

const TextTable& RawTexts(int lang) {
    static const TextTable ger = Load(0, false);
    static const TextTable usa = Load(1, false);
    return lang == 0 ? ger : usa;
}

const TextTable& LoadedTexts(int lang) {
    static const TextTable ger = Load(0, true);
    static const TextTable usa = Load(1, true);
    return lang == 0 ? ger : usa;
}

const std::vector<int>& PickTypes() {
    static const std::vector<int> pick = [] {
        std::vector<int> p;
        auto add = [&](int a, int b) {
            for (int t = a; t <= b; ++t) p.push_back(t);
        };
        add(1, 21);
        add(30, 40);
        add(45, 51);
        add(70, 70);
        add(100, 106);
        add(110, 113);
        add(120, 126);
        add(128, 133);
        return p;
    }();
    return pick;
}

const char* LangName(int lang) {
    return lang == 0 ? "VdlText.ger" : "VdlText.usa";
}

} // namespace vdl::test
