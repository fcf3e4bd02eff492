// The commands of vordal-cli. Each command lives in a file of its own and registers itself
// with a static CliCommand object.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vdl::cli {

using Args = std::vector<std::string>;
using Runner = std::function<int(const Args& args)>;

struct CliCommand {
    CliCommand(std::string name, std::string usage, Runner run);
};

struct CommandEntry {
    std::string name;
    std::string usage; // one or more lines shown by --help
    Runner run;
};
const std::vector<CommandEntry>& Commands();

// The directory of the running executable, with a trailing separator.
std::string ProgramDir();

// A decimal number (optionally negative) within min..max; false for anything else.
bool ParseNumber(const std::string& s, long long min, long long max, long long& out);

// Small option parser: "--name value" and "--name=value"; flags without value.
class Options {
public:
    enum Error { None, UnknownOption, MissingValue };
    struct Result {
        Error error = None;
        std::string option; // the option as given (unknown) or its name (missing value)
    };
    // valueOptions take a value, flagOptions do not. Stops at an unknown option or a missing
    // value and says which.
    Result Parse(const Args& args, const std::vector<std::string>& valueOptions,
                 const std::vector<std::string>& flagOptions);
    bool Has(const std::string& name) const;
    std::string Get(const std::string& name, const std::string& def = "") const;
    // Every value of an option given more than once, in order.
    std::vector<std::string> GetAll(const std::string& name) const;
    const std::vector<std::string>& Positional() const { return positional_; }

private:
    std::vector<std::pair<std::string, std::string>> values_;
    std::vector<std::string> positional_;
};

} // namespace vdl::cli
