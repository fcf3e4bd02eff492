#include "asdu/address_text.h"

#include "asdu/asdu_layout.h"
#include "asdu/catalogue.h"
#include "core/format.h"

#include <vector>

namespace vdl {

namespace {

// The fields of a structure, made safe against damaged records: 1..5 fields of 1..24 bits.
struct Fields {
    int anz = 1;
    int fd[5] = {8, 0, 0, 0, 0};
};

Fields SafeFields(const T_AdrStruktur& s, int defaultBits) {
    Fields f;
    f.anz = s.anz < 1 ? 1 : (s.anz > 5 ? 5 : s.anz);
    for (int i = 0; i < f.anz; ++i) f.fd[i] = s.fd[i] < 1 ? 1 : (s.fd[i] > 24 ? 24 : s.fd[i]);
    if (s.anz < 1) f.fd[0] = defaultBits;
    return f;
}

uint64_t FieldMax(int bits) {
    return (uint64_t{1} << bits) - 1;
}

std::string FormatStructured(uint32_t v, const T_AdrStruktur& st, const T_AdrStruktur& brt,
                             const std::string& fmt, int defaultBits) {
    Fields f = SafeFields(st, defaultBits);
    uint64_t val[5] = {};
    uint64_t rest = v;
    for (int i = f.anz - 1; i >= 0; --i) {
        val[i] = rest & FieldMax(f.fd[i]);
        rest >>= f.fd[i];
    }
    std::vector<FmtArg> args;
    for (int i = 0; i < f.anz; ++i) {
        args.emplace_back(brt.fd[i]);
        args.emplace_back(static_cast<unsigned long long>(val[i]));
    }
    return FormatV(fmt.empty() ? std::string("%*d") : fmt, args);
}

// Splits a text into numbers: runs of 0..9, A..F, a..f and the hexadecimal prefix character.
// Each is decimal, or hexadecimal after "$". False when a run is not a number or too large.
bool SplitNumbers(std::string_view text, char khex, std::vector<uint64_t>& out) {
    out.clear();
    auto isNumChar = [khex](char ch) {
        return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F') || (ch >= 'a' && ch <= 'f') ||
               ch == khex;
    };
    size_t i = 0;
    while (i < text.size()) {
        if (!isNumChar(text[i])) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < text.size() && isNumChar(text[j])) ++j;
        std::string_view tok = text.substr(i, j - i);
        i = j;
        int base = 10;
        if (tok.front() == '$') {
            base = 16;
            tok.remove_prefix(1);
        }
        if (tok.empty() || tok.size() > 10) return false;
        uint64_t v = 0;
        for (char ch : tok) {
            int d;
            if (ch >= '0' && ch <= '9')
                d = ch - '0';
            else if (base == 16 && ch >= 'A' && ch <= 'F')
                d = ch - 'A' + 10;
            else if (base == 16 && ch >= 'a' && ch <= 'f')
                d = ch - 'a' + 10;
            else
                return false;
            v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        }
        if (v > 0x7FFFFFFF) return false;
        out.push_back(v);
    }
    return true;
}

bool ParseAddress(std::string_view text, uint32_t& out, const T_AdrStruktur& st, uint64_t max,
                  int defaultBits, char khex, bool shortForm) {
    out = 0;
    std::vector<uint64_t> nums;
    if (!SplitNumbers(text, khex, nums) || nums.empty()) return false;
    Fields f = SafeFields(st, defaultBits);
    const int k = static_cast<int>(nums.size());
    if (!shortForm) {
        if (k == 1) {
            if (nums[0] > max) return false;
            out = static_cast<uint32_t>(nums[0]);
            return true;
        }
        if (k != f.anz) return false;
    } else if (k > f.anz) {
        return false;
    }
    // The last k numbers fill the last k fields; leading fields are 0.
    uint64_t v = 0;
    for (int i = 0; i < f.anz; ++i) {
        int idx = i - (f.anz - k);
        uint64_t part = idx >= 0 ? nums[static_cast<size_t>(idx)] : 0;
        if (part > FieldMax(f.fd[i])) return false;
        v = (v << f.fd[i]) | part;
    }
    if (v > max) return false;
    out = static_cast<uint32_t>(v);
    return true;
}

} // namespace

std::string FormatCa(uint32_t ca, const T_AllgVar& av, const T_AllgPar& ap) {
    return FormatStructured(ca, ap.castr, av.cabrt, av.cafmt, 16);
}

std::string FormatOa(uint32_t ioa, const T_AllgVar& av, const T_AllgPar& ap) {
    return FormatStructured(ioa, ap.oastr, av.oabrt, av.oafmt, 24);
}

bool ParseCa(std::string_view text, uint32_t& out, const T_AllgVar& av, const T_AllgPar& ap,
             bool shortForm) {
    // A one-octet common address cannot take more than 255.
    const uint64_t max = LayoutOf(ap).globca;
    return ParseAddress(text, out, ap.castr, max, 16, av.khex, shortForm);
}

bool ParseOa(std::string_view text, uint32_t& out, const T_AllgVar& av, const T_AllgPar& ap,
             bool shortForm) {
    return ParseAddress(text, out, ap.oastr, LayoutOf(ap).oamax, 24, av.khex, shortForm);
}

bool ParseAdrStruktur(std::string_view text, int maxbits, T_AdrStruktur& out, char khex) {
    out = T_AdrStruktur{};
    std::vector<uint64_t> nums;
    if (!SplitNumbers(text, khex, nums) || nums.empty() || nums.size() > 5) return false;
    uint64_t sum = 0;
    for (uint64_t n : nums) {
        if (n < 1) return false;
        sum += n;
    }
    if (sum == 0 || sum > static_cast<uint64_t>(maxbits) || sum % 8 != 0) return false;
    out.anz = static_cast<int32_t>(nums.size());
    for (size_t i = 0; i < nums.size(); ++i) out.fd[i] = static_cast<int32_t>(nums[i]);
    return true;
}

std::string AdrStrukturText(const T_AdrStruktur& s, const TextTable& texts) {
    Fields f = SafeFields(s, 8);
    std::string t;
    for (int i = 0; i < f.anz; ++i) {
        if (i > 0) t += texts.tx(kTxStructSeparator);
        t += std::to_string(f.fd[i]);
    }
    return t;
}

void InstallAsduTexts(TextTable& texts, T_AllgVar& av, const T_AllgPar& ap) {
    BuildTypeList(av);
    const std::string suffix = texts.tx(kTxStructureSuffix);
    if (kTxCaStructure < texts.Count())
        texts.Replace(kTxCaStructure, AdrStrukturText(ap.castr, texts) + suffix);
    if (kTxOaStructure < texts.Count())
        texts.Replace(kTxOaStructure, AdrStrukturText(ap.oastr, texts) + suffix);
}

} // namespace vdl
