#include "app/program.h"

#include "app/image_commands.h"
#include "asdu/address_text.h"
#include "core/file_io.h"
#include "link/channel_init.h"
#include "send/feedback_files.h"
#include "send/list_files.h"

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
    InitialSeTeSet(sete, texts);
    InitialSeLiSet(seli, texts);
    NewFeedbackTable(rmTab);
    // The interpretation's colour tables by type and cause, and its quality highlight.
    av.pft = &pp.frbtyp;
    av.pfu = &pp.frburs;
    ApplyDisplaySettings();
}

void Program::LogMessage(const std::string& m) {
    if (!log) return;
    T_Telegramm te{};
    te.stat = ST_MESSAGE_IO;
    te.ta = TA_INTERNAL;
    te.setS0(m);
    log->AppendTelegram(te);
}

void Program::LogText(const std::string& m) {
    if (!log) return;
    T_Telegramm te{};
    te.stat = ST_MESSAGE_TEXT;
    te.ta = TA_INTERNAL;
    te.setS0(m);
    log->AppendTelegram(te);
}

bool Program::LoadFeedback(const std::string& path, bool emptyAfter) {
    std::string error;
    if (LoadFeedbackFile(path, rmTab, SeTeTextEnv{av, ap}, emptyAfter, error)) {
        av.setelisav = true;
        return true;
    }
    LogMessage(error);
    return false;
}

void Program::RunCommandFiles() {
    send->RunCommandFile();
    const std::string list = av.DataDir + texts.tx(kTxListCommandFile);
    if (FileExists(list)) {
        ListBatchHooks hooks;
        hooks.feedback = [this](const std::string& f) { return LoadFeedback(f, false); };
        hooks.telegram = [this](const std::string& f, int n) {
            std::string error;
            T_SeTe& t = sete.at(n);
            if (!LoadSeTeFile(f, t, SeTeTextEnv{av, ap}, error)) {
                if (!error.empty()) LogMessage(error);
                return false;
            }
            send->StationFromLinkAddress(t);
            send->ReloadRawFile(n);
            av.setelisav = true;
            return true;
        };
        RunListCommandFile(*lists, list, hooks);
    }
    const std::string rm = av.DataDir + texts.tx(kTxFeedbackCommandFile);
    if (FileExists(rm)) LoadFeedback(rm, true);
}

bool Program::LoadObjectTexts(const std::string& path) {
    ObjectTextEnv e{texts, av,         ap,
                    msg,   &pp.frburs, [this](const std::string& m) { LogMessage(m); }};
    if (objects.Load(path, e)) return true;
    av.dtOaTxt.clear();
    return false;
}

void Program::InitChannels() {
    // A file being received keeps what arrived, and nothing beyond it.
    if (files)
        for (T_ComVar& c : com) files->CloseFiles(c);
    for (T_ComVar& c : com) InitChannel(c, av, ap);
    if (send) send->StopAll();
}

void Program::ApplyDisplaySettings() {
    av.FltQuaFrb = QualityHighlightMask(pp.ausg.quamask);
}

RenderEnv Program::Rendering(const LocaleFormats& loc) const {
    RenderEnv e;
    e.texts = &texts;
    e.av = &av;
    e.ap = &ap;
    e.pp = &pp;
    e.com[0] = &com[0];
    e.com[1] = &com[1];
    e.objects = &objects;
    e.loc = &loc;
    e.oldestNr = log ? log->Kopf().nralt : 0;
    // The display filter's object criteria, read when each object is shown, so that switching
    // the filter takes effect with the next telegram.
    e.objectFilter = [this](const T_Telegramm& te, int n) {
        const T_Filter& f = ap.afilt;
        if (!f.aktiv || (f.oaz == 0 && f.qmask1 == 0 && f.qmask2 == 0)) return true;
        return ObjectAccepts(f, te, n, Filters());
    };
    return e;
}

void Program::CreateLog(Clock& stamps) {
    log = std::make_unique<LogStore>(LogEnv{stamps, msg, texts, av, ap, pp, com[0].bp, com[1].bp});
    log->logFilter = [this](const T_Telegramm& te) {
        return FilterAccepts(ap.lfilt, te, Filters(), false);
    };
    log->displayFilter = [this](const T_Telegramm& te) { return DisplayAccepts(te, Filters()); };
    log->stationImage = [this](const T_Telegramm& te) { EnterImage(te); };
}

LogOutputEnv Program::OutputEnv(const RenderEnv& render, const LocaleFormats& loc, Clock& clock) {
    return LogOutputEnv{*log,
                        render,
                        loc,
                        LogEnv{clock, msg, texts, av, ap, pp, com[0].bp, com[1].bp},
                        [this](const T_Telegramm& te) { return DisplayAccepts(te, Filters()); },
                        nullptr};
}

FilterEnv Program::Filters() const {
    return FilterEnv{ap, LayoutOf(ap), log ? log->Kopf().nralt : 0, pp.linkzl != 0};
}

ParamSetEnv Program::ParamEnv() {
    pblk.rm = RmBlock(rmTab);
    pblk.sete = SeTeBlock(sete);
    pblk.seli = SeLiBlock(seli);
    pblk.casl = CaSeLiBlock(seli);
    return ParamSetEnv{av, ap, com[0].bp, com[1].bp, pp, com[0].wm, pblk, texts, msg};
}

bool Program::LoadStartTexts() {
    return LoadLanguage(0);
}

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

void StderrMessages::Error(const std::string& text) {
    std::cerr << text << "\n";
}
void StderrMessages::Info(const std::string& text) {
    std::cerr << text << "\n";
}
Answer StderrMessages::Ask(const std::string& text, bool) {
    // Without a user to ask, the command-line program declines.
    std::cerr << text << "\n";
    return Answer::No;
}

} // namespace vdl
