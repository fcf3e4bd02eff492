#include "support/frames.h"

#include "asdu/catalogue.h"

#include <cstdio>
#include <stdexcept>

namespace vdl::test {

Bytes Hex(std::string_view s) {
    Bytes out;
    int hi = -1;
    for (char ch : s) {
        int d;
        if (ch >= '0' && ch <= '9')
            d = ch - '0';
        else if (ch >= 'A' && ch <= 'F')
            d = ch - 'A' + 10;
        else if (ch >= 'a' && ch <= 'f')
            d = ch - 'a' + 10;
        else if (ch == ' ')
            continue;
        else
            throw std::invalid_argument("not hexadecimal");
        if (hi < 0) {
            hi = d;
        } else {
            out.push_back(static_cast<uint8_t>(hi * 16 + d));
            hi = -1;
        }
    }
    if (hi >= 0) throw std::invalid_argument("odd number of digits");
    return out;
}

std::string ToHex(const Bytes& b) {
    std::string s;
    char buf[4];
    for (size_t i = 0; i < b.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02X", b[i]);
        if (i) s += ' ';
        s += buf;
    }
    return s;
}

Bytes LinkAddress(uint32_t la, int lgla) {
    Bytes b;
    for (int i = 0; i < lgla; ++i) b.push_back(static_cast<uint8_t>(la >> (8 * i)));
    return b;
}

Bytes Fixed(uint8_t lc, uint32_t la, int lgla) {
    Bytes f{0x10, lc};
    for (uint8_t x : LinkAddress(la, lgla)) f.push_back(x);
    unsigned sum = 0;
    for (size_t i = 1; i < f.size(); ++i) sum += f[i];
    f.push_back(static_cast<uint8_t>(sum));
    f.push_back(0x16);
    return f;
}

Bytes Variable(uint8_t lc, uint32_t la, const Bytes& asdu, int lgla) {
    Bytes user{lc};
    for (uint8_t x : LinkAddress(la, lgla)) user.push_back(x);
    user.insert(user.end(), asdu.begin(), asdu.end());
    Bytes f{0x68, static_cast<uint8_t>(user.size()), static_cast<uint8_t>(user.size()), 0x68};
    unsigned sum = 0;
    for (uint8_t x : user) {
        f.push_back(x);
        sum += x;
    }
    f.push_back(static_cast<uint8_t>(sum));
    f.push_back(0x16);
    return f;
}

Bytes Asdu(int typ, uint8_t vsq, uint8_t cot, uint16_t ca, const Bytes& objects, int orig) {
    Bytes a{static_cast<uint8_t>(typ), vsq, cot};
    if (orig >= 0) a.push_back(static_cast<uint8_t>(orig));
    a.push_back(static_cast<uint8_t>(ca));
    a.push_back(static_cast<uint8_t>(ca >> 8));
    a.insert(a.end(), objects.begin(), objects.end());
    return a;
}

Bytes Ioa3(uint32_t a) {
    return {static_cast<uint8_t>(a), static_cast<uint8_t>(a >> 8), static_cast<uint8_t>(a >> 16)};
}

T_Telegramm Record(const Bytes& b) {
    T_Telegramm te{};
    size_t n = b.size() > kTeByteLen ? kTeByteLen : b.size();
    for (size_t i = 0; i < n; ++i) te.b[i] = b[i];
    te.lg = static_cast<int16_t>(n);
    te.ta = (n > 0 && b[0] == 0x68) ? TA_VARIABLE : TA_FIXED;
    te.stat = ST_OK;
    return te;
}

TextTable MakeTexts(const std::map<int, std::string>& texts) {
    std::string file;
    char num[16];
    int count = 1100;
    for (const auto& kv : texts) count = kv.first + 1 > count ? kv.first + 1 : count;
    for (int i = 0; i < count; ++i) {
        std::snprintf(num, sizeof num, "%04d", i);
        file += std::string(num) + "  ;\r\n";
    }
    TextTable t;
    TextLoadResult r = t.LoadBytes(file, "test");
    if (!r.ok()) throw std::runtime_error("test text table does not load");
    for (const auto& [n, s] : texts) t.Replace(n, s);
    return t;
}

std::map<int, std::string> StandardLinkTexts() {
    return {
        {66, "2211200002000000"}, // balanced primary: 0 1 2 3 4 9
        {67, "2201200022110000"}, // unbalanced primary: 0 1 3 4 8 9 10 11
        {68, "1100000000010000"}, // balanced secondary: 0 1 11
        {69, "1100000011010000"}, // unbalanced secondary: 0 1 8 9 11
    };
}

std::map<int, std::string> StandardCauseTexts() {
    auto chars = [](std::initializer_list<int> causes) {
        std::string s;
        for (int c : causes) s += static_cast<char>(c);
        return s;
    };
    std::map<int, std::string> m;
    m[1009] = chars({44, 45, 46, 47});
    const std::string monitor = chars(
        {1, 2, 3, 5, 11, 12, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36});
    const std::string monitorTimed = chars({3, 5, 11, 12});
    const std::string command = chars({6, 7, 8, 9, 10});
    for (int typ = 1; typ < kCatalogueTypes; ++typ) {
        int p = TypeListPosition(typ);
        if (p == 0) continue;
        std::string s;
        if (typ <= 21)
            s = (typ % 2 == 0 && typ <= 14) || (typ >= 16 && typ <= 19) ? monitorTimed : monitor;
        else if (typ >= 30 && typ <= 40)
            s = monitorTimed;
        else if (typ >= 45 && typ <= 51)
            s = command;
        else if (typ == 70)
            s = chars({4});
        else if (typ == 100 || typ == 101 || typ == 103 || typ == 104 || typ == 105 || typ == 106)
            s = command;
        else if (typ == 102)
            s = chars({5});
        else if (typ >= 110 && typ <= 113)
            s = chars({6, 7, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36});
        else
            s = chars({13});
        m[1009 + p] = s;
    }
    return m;
}

namespace {
std::map<int, std::string> StandardTextMap() {
    std::map<int, std::string> m = StandardLinkTexts();
    for (const auto& kv : StandardCauseTexts()) m.insert(kv);
    m[25] = "$";
    m[26] = ".";
    m[27] = "01";
    m[1172] = ";";
    m[1227] = " bit";
    return m;
}
} // namespace

TextTable StandardTexts() {
    return MakeTexts(StandardTextMap());
}

std::string StandardTextFile() {
    std::map<int, std::string> m = StandardTextMap();
    std::string file;
    char num[16];
    bool coding = true; // the cause lists run from 1009 up to the first empty text
    for (int i = 0; i < 1300; ++i) {
        std::string text = m.count(i) ? m[i] : std::string();
        if (i >= 1009 && text.empty()) coding = false;
        if (i >= 1009 && coding) {
            std::string coded;
            for (unsigned char ch : text) {
                std::snprintf(num, sizeof num, "%02u", static_cast<unsigned>(ch % 100));
                coded += num;
            }
            text = coded;
        }
        std::snprintf(num, sizeof num, "%04d", i);
        file += std::string(num) + "  " + text + ";\r\n";
    }
    return file;
}

} // namespace vdl::test
