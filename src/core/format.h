// Formatting of the format strings that the program text table carries. The directives are
// those of the texts: %d %u %x %s %f %g %e %n and %%, each with optional argument index
// ("%1:s"), left justification ("-"), width and precision, where "*" takes the value from the
// argument list.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vdl {

// Decimal and thousands separator of the locale.
struct NumberFormat {
    char decimal = '.';
    char thousands = ',';
};

class FmtArg {
public:
    FmtArg(int v) : v_(static_cast<int64_t>(v)) {}
    FmtArg(unsigned v) : v_(static_cast<int64_t>(v)) {}
    FmtArg(long v) : v_(static_cast<int64_t>(v)) {}
    FmtArg(unsigned long v) : v_(static_cast<int64_t>(v)) {}
    FmtArg(long long v) : v_(static_cast<int64_t>(v)) {}
    FmtArg(unsigned long long v) : v_(static_cast<int64_t>(v)) {}
    FmtArg(double v) : v_(v) {}
    FmtArg(const char* s) : v_(std::string(s)) {}
    FmtArg(std::string s) : v_(std::move(s)) {}
    FmtArg(std::string_view s) : v_(std::string(s)) {}
    FmtArg(char c) : v_(std::string(1, c)) {}

    bool isInt() const { return std::holds_alternative<int64_t>(v_); }
    bool isFloat() const { return std::holds_alternative<double>(v_); }
    bool isString() const { return std::holds_alternative<std::string>(v_); }
    int64_t i() const { return std::get<int64_t>(v_); }
    double f() const { return isInt() ? static_cast<double>(i()) : std::get<double>(v_); }
    const std::string& s() const { return std::get<std::string>(v_); }

private:
    std::variant<int64_t, double, std::string> v_;
};

// Formats fmt with args. On a directive that does not fit its argument (or a missing
// argument) returns false and leaves in error a description; out holds the text up to the
// faulty directive.
bool TryFormat(std::string_view fmt, const std::vector<FmtArg>& args, std::string& out,
               std::string* error, const NumberFormat& nf);
bool TryFormat(std::string_view fmt, const std::vector<FmtArg>& args, std::string& out,
               std::string* error = nullptr);

// Formats fmt with args; a faulty directive is shown as "?" and the rest of the format string
// is copied as it stands, so a wrong text never stops the program.
// Without a NumberFormat the process-wide one (set from the locale at start) applies.
std::string Format(std::string_view fmt, std::initializer_list<FmtArg> args);
std::string FormatNf(const NumberFormat& nf, std::string_view fmt, std::initializer_list<FmtArg> args);
std::string FormatV(std::string_view fmt, const std::vector<FmtArg>& args);
std::string FormatV(std::string_view fmt, const std::vector<FmtArg>& args, const NumberFormat& nf);

// The number format that Format uses when none is given (set once from the locale).
void SetDefaultNumberFormat(const NumberFormat& nf);
const NumberFormat& DefaultNumberFormat();

} // namespace vdl
