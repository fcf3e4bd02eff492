// vordal-cli texts check [DIR]: loads both program text files and reports their size.
#include "cli.h"

#include "core/text_table.h"

#include <iostream>

namespace vdl::cli {

namespace {

int RunTexts(const Args& args) {
    if (args.empty() || args[0] != "check" || args.size() > 2) {
        std::cerr << "usage: vordal-cli texts check [DIR]\n";
        return 2;
    }
    std::string dir = args.size() == 2 ? args[1] : ProgramDir();
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
            std::cerr << r.message << "\n";
            rc = 1;
        }
    }
    return rc;
}

const CliCommand reg("texts", "  texts check [DIR]      load VdlText.ger and VdlText.usa from DIR "
                              "(default: the program's directory)",
                     RunTexts);

} // namespace

} // namespace vdl::cli
