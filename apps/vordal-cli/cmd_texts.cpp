// vordal-cli texts check [DIR]: loads both program text files and reports their size.
#include "cli.h"
#include "invocation.h"

#include "core/text_table.h"

#include <iostream>

namespace vdl::cli {

namespace {

const char* kUsage = "  texts check [DIR]      load VdlText.ger and VdlText.usa from DIR "
                     "(default: the program's directory)";

int RunTexts(const Args& args) {
    const std::string sub = args.empty() ? std::string() : args[0];
    Invocation in(sub == "check" ? "texts check" : "texts", kUsage);
    const Args rest(args.begin() + (sub == "check" ? 1 : 0), args.end());
    in.WordsOptional();
    if (!in.Start(rest, {}, {})) return in.Exit();
    if (sub.empty()) return in.Refuse(in.Say(in.tx(2206), {"check"}));
    if (sub != "check") return in.UnknownSubCommand(sub, "check");
    const auto& pos = in.opt().Positional();
    if (pos.size() > 1) return in.Refuse(in.Say(in.tx(2205), {Shown(pos[1])}));
    std::string dir = pos.size() == 1 ? pos[0] : ProgramDir();
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
    int rc = 0;
    for (int lang : {0, 1}) {
        TextTable t;
        std::string path = TextFilePath(dir, lang);
        TextLoadResult r = t.LoadFile(path);
        if (r.ok()) {
            std::cout << "VdlText." << LanguageExtension(lang) << ": " << t.Count() << " texts\n";
        } else {
            std::cout << "VdlText." << LanguageExtension(lang) << ": error " << r.error << "\n";
            std::cerr << ShownText(r.message) << "\n";
            rc = 1;
        }
    }
    return rc;
}

const CliCommand reg("texts", kUsage, RunTexts);

} // namespace

} // namespace vdl::cli
