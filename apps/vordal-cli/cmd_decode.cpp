// vordal-cli decode [FILE] [OPTIONS]: the receive path without a port. Reads lines of
// hexadecimal bytes (a file or standard input), runs them through the receivers of the two
// channels and prints every closed record.
#include "cli.h"
#include "decode_input.h"
#include "decode_render.h"
#include "record_json.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <iostream>

namespace vdl::cli {

namespace {

nlohmann::json RecordJson(const T_Telegramm& te, int line) {
    nlohmann::json j = cli::RecordJson(te);
    j["line"] = line;
    // The receive time of a timed input, in seconds from the first midnight.
    if (te.dt != 0) j["time"] = std::round(te.dt * kMsPerDay) / 1000.0;
    return j;
}

const std::string kUsage =
    std::string(
        "  decode [FILE] [OPTIONS] run recorded bytes through the receivers of both channels;\n"
        "                          input lines of hexadecimal byte pairs, optionally led by a\n"
        "                          receive time (@SECONDS with a fraction, or @HH:MM:SS.mmm) and\n"
        "                          by c1 or c2; a blank line is a pause, # starts a comment;\n"
        "                          a time before an earlier one is on the next day\n"
        "      --records                        one JSON object per record (the default)\n") +
    DecodeOptionsUsage() + "\n" + RenderOptionsUsage();

int RunDecodeCommand(const Args& args) {
    Invocation in("decode", kUsage);
    std::vector<std::string> flags = DecodeFlagOptions();
    flags.push_back("records");
    std::vector<std::string> values = DecodeValueOptions();
    values.insert(values.end(), RenderValueOptions().begin(), RenderValueOptions().end());
    if (!in.Start(args, values, flags)) return in.Exit();
    const Options& o = in.opt();
    if (o.Positional().size() > 1)
        return in.Refuse(in.Say(in.tx(2205), {Shown(o.Positional()[1])}));
    if (o.Has("format") && o.Has("records"))
        return in.Refuse(in.Say(in.tx(2207), {"--records", "--format"}));

    CliMessages msg;
    Program p(in.TextsDir(), msg);
    if (!LoadCommandTexts(in, p)) return 1;
    if (!ApplyDecodeOptions(in, p)) return kExitRefused;
    DecodeRenderer r;
    if (o.Has("format") && !r.Setup(in, p)) return kExitRefused;

    std::vector<DecodeBlock> blocks;
    std::string error;
    if (o.Positional().empty() || o.Positional()[0] == "-") {
        if (!ParseDecodeInput(std::cin, blocks, in, error)) return in.Refuse(error);
    } else {
        const std::string& file = o.Positional()[0];
        if (int rc = in.CheckInputFile(file); rc != 0) return rc;
        std::ifstream f(file, std::ios::binary);
        if (!ParseDecodeInput(f, blocks, in, error)) return in.Refuse(Shown(file) + ": " + error);
    }

    if (o.Has("format")) {
        r.Begin(std::cout);
        RunDecode(p, blocks, [&r](const T_Telegramm& te, int) { r.Print(te, std::cout); });
        return 0;
    }
    RunDecode(p, blocks, [](const T_Telegramm& te, int line) {
        std::cout << RecordJson(te, line).dump() << "\n";
    });
    return 0;
}

const CliCommand reg("decode", kUsage, RunDecodeCommand);

} // namespace

} // namespace vdl::cli
