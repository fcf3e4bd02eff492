// vordal-cli decode [FILE] [OPTIONS]: the receive path without a port. Reads lines of
// hexadecimal bytes (a file or standard input), runs them through the receivers of the two
// channels and prints every closed record.
#include "cli.h"
#include "decode_input.h"
#include "decode_render.h"
#include "record_json.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <iostream>

namespace vdl::cli {

namespace {

nlohmann::json RecordJson(const T_Telegramm& te, int line) {
    nlohmann::json j = cli::RecordJson(te);
    j["line"] = line;
    return j;
}

int RunDecodeCommand(const Args& args) {
    Options o;
    std::string error;
    std::vector<std::string> flags = DecodeFlagOptions();
    flags.push_back("records");
    std::vector<std::string> values = DecodeValueOptions();
    values.insert(values.end(), RenderValueOptions().begin(), RenderValueOptions().end());
    if (!o.Parse(args, values, flags, error) || o.Positional().size() > 1) {
        if (error.empty()) error = "at most one input file";
        std::cerr << "vordal-cli decode: " << error << "\n";
        return 2;
    }

    std::vector<DecodeBlock> blocks;
    if (o.Positional().empty() || o.Positional()[0] == "-") {
        if (!ParseDecodeInput(std::cin, blocks, error)) {
            std::cerr << "vordal-cli decode: " << error << "\n";
            return 2;
        }
    } else {
        std::ifstream f(o.Positional()[0], std::ios::binary);
        if (!f) {
            std::cerr << "vordal-cli decode: cannot open " << o.Positional()[0] << "\n";
            return 1;
        }
        if (!ParseDecodeInput(f, blocks, error)) {
            std::cerr << "vordal-cli decode: " << o.Positional()[0] << ": " << error << "\n";
            return 2;
        }
    }

    StderrMessages msg;
    Program p(DecodeTextsDir(o), msg);
    if (!ApplyDecodeOptions(o, p, error)) {
        std::cerr << "vordal-cli decode: " << error << "\n";
        return 2;
    }
    if (!p.LoadStartTexts()) return 1;

    if (o.Has("format") && o.Has("records")) {
        std::cerr << "vordal-cli decode: --records and --format exclude each other\n";
        return 2;
    }
    if (o.Has("format")) {
        DecodeRenderer r;
        if (!r.Setup(o, p, error)) {
            std::cerr << "vordal-cli decode: " << error << "\n";
            return 2;
        }
        r.Begin(std::cout);
        RunDecode(p, blocks, [&r](const T_Telegramm& te, int) { r.Print(te, std::cout); });
        return 0;
    }

    RunDecode(p, blocks, [](const T_Telegramm& te, int line) {
        std::cout << RecordJson(te, line).dump() << "\n";
    });
    return 0;
}

const std::string kUsage =
    std::string(
        "  decode [FILE] [OPTIONS] run recorded bytes through the receivers of both channels;\n"
        "                          input lines of hexadecimal byte pairs, optionally led by c1 or\n"
        "                          c2, a blank line is a pause, # starts a comment\n"
        "      --records                        one JSON object per record (the default)\n") +
    DecodeOptionsUsage() + "\n" + RenderOptionsUsage();

const CliCommand reg("decode", kUsage, RunDecodeCommand);

} // namespace

} // namespace vdl::cli
