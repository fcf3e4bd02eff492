#include "app/program.h"

#include "asdu/address_text.h"
#include "link/channel_init.h"

#include <iostream>

namespace vdl {

Program::Program(std::string progDir, Messages& m)
    : msg(m), ap(DefaultAllgPar()), pp(DefaultProgPar()) {
    av.ProgDir = std::move(progDir);
    if (!av.ProgDir.empty() && av.ProgDir.back() != '/' && av.ProgDir.back() != '\\')
        av.ProgDir += '/';
    av.DataDir = av.ProgDir;
    av.msjetick = 60;
    InitChannelRecords(com[0], com[1]);
    for (T_ComVar& c : com) InitChannel(c, av, ap);
}

void Program::CreateLog(Clock& stamps) {
    log = std::make_unique<LogStore>(
        LogEnv{stamps, msg, texts, av, ap, pp, com[0].bp, com[1].bp});
    log->logFilter = [this](const T_Telegramm& te) {
        return FilterAccepts(ap.lfilt, te, Filters(), false);
    };
    log->displayFilter = [this](const T_Telegramm& te) { return DisplayAccepts(te, Filters()); };
}

FilterEnv Program::Filters() const {
    return FilterEnv{ap, LayoutOf(ap), log ? log->Kopf().nralt : 0, pp.linkzl != 0};
}

ParamSetEnv Program::ParamEnv() {
    return ParamSetEnv{av, ap, com[0].bp, com[1].bp, pp, com[0].wm, pblk, texts, msg};
}

bool Program::LoadStartTexts() { return LoadLanguage(0); }

bool Program::LoadLanguage(int lang) {
    if (!LoadTextFile(texts, av, lang, msg)) return false;
    LoadTypeNames(texts, av);
    InstallAsduTexts(texts, av, ap);
    return true;
}

std::string Program::Caption() const {
    std::string c;
    if (av.pnr != 1) c += std::to_string(av.pnr);
    c += texts.tx(499);
    std::string set = av.dtSeTeLi;
    if (!av.DataDir.empty() && set.rfind(av.DataDir, 0) == 0) set = set.substr(av.DataDir.size());
    c += set + "    " + av.DataDir;
    return c;
}

void StderrMessages::Error(const std::string& text) { std::cerr << text << "\n"; }
void StderrMessages::Info(const std::string& text) { std::cerr << text << "\n"; }
Answer StderrMessages::Ask(const std::string& text, bool) {
    // Without a user to ask, the command-line program declines.
    std::cerr << text << "\n";
    return Answer::No;
}

} // namespace vdl
