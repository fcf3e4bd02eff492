#include "app/main_commands.h"

#include "app/image_commands.h"
#include "app/main_state.h"
#include "app/program.h"
#include "asdu/address_text.h"
#include "core/display_lists.h"
#include "core/format.h"
#include "core/modem_file.h"
#include "link/channel_init.h"
#include "link/modem.h"

#include <cstring>
#include <filesystem>

namespace vdl {

namespace {

bool FileExists(const std::string& f) {
    std::error_code ec;
    return std::filesystem::is_regular_file(f, ec);
}

// Going offline for a command: while online the user is asked first. False when declined.
bool GoOfflineAsking(Program& p) {
    if (!p.av.online) return true;
    if (p.msg.Ask(p.texts.tx(kTxAskGoOffline), false) != Answer::Yes) return false;
    p.SetOnline(false);
    return true;
}

} // namespace

void DeriveFromSettings(Program& p) {
    p.InitChannels();
    NormaliseFilter(p.ap.afilt, p.ap);
    NormaliseFilter(p.ap.lfilt, p.ap);
    InstallAsduTexts(p.texts, p.av, p.ap);
}

namespace {

void Status(Program& p) {
    if (p.view) p.view->UpdateStatus();
}

void Redraw(Program& p, int code) {
    if (p.view) p.view->PostViewCommand(code);
}

bool SaveParamSet(Program& p, const std::string& file) {
    ParamSetEnv env = p.ParamEnv();
    if (!SaveParameterSet(env, file)) return false;
    p.av.setelisav = false;
    p.av.parasav = false;
    return true;
}

// Changed send data is offered for saving into the present parameter set file. False when
// the user cancels or saving fails.
bool OfferToSaveSendData(Program& p, bool withCancel) {
    if (!p.av.setelisav) return true;
    Answer a = p.msg.Ask(Format(p.texts.tx(kTxAskSaveSendData), {p.av.dtSeTeLi}), withCancel);
    if (a == Answer::Cancel) return false;
    if (a == Answer::Yes) return SaveParamSet(p, p.av.dtSeTeLi);
    return true;
}

} // namespace

bool DeleteLog(Program& p) {
    if (!p.log) return false;
    if (p.msg.Ask(Format(p.texts.tx(kTxAskDeleteLog), {p.av.dtLog}), false) != Answer::Yes)
        return false;
    p.log->NewLog();
    RestartImage(p);
    p.log->ZeroCounters();
    if (p.view) p.view->StatisticsChanged();
    Redraw(p, 35);
    return true;
}

bool OpenLogFileCommand(Program& p, const std::string& file) {
    if (!p.log || !GoOfflineAsking(p)) return false;
    std::string old = p.av.dtLog;
    p.log->CloseLog();
    p.log->ring.Clear();
    p.OpenLogFile(file, false);
    bool ok = p.log->IsOpen() && p.log->Name() == file;
    if (!ok) {
        // Not a log (the store said so): the log that was in use goes on.
        p.log->CloseLog();
        p.OpenLogFile(old, false);
    } else {
        AddRecentFile(p.av, file);
    }
    DeriveFromSettings(p);
    RestartImage(p);
    Status(p);
    if (p.view) p.view->ShowLogDisplay();
    return ok;
}

bool SaveLogAs(Program& p, const std::string& file) {
    if (!p.log || file.empty()) return false;
    bool ok = p.log->SaveAs(file);
    if (p.log->IsOpen()) p.av.dtLog = p.log->Name();
    if (ok) AddRecentFile(p.av, file);
    Status(p);
    Redraw(p, 0);
    return ok;
}

bool LoadParamSetCommand(Program& p, const std::string& file) {
    if (!GoOfflineAsking(p)) return false;
    if (!SameNameNoCase(file, p.av.dtSeTeLi) && !OfferToSaveSendData(p, true)) return false;
    if (!p.LoadParamSet(file)) return false;
    p.av.dtSeTeLi = file;
    p.av.setelisav = false;
    p.av.parasav = false;
    AddRecentFile(p.av, file);
    DeriveFromSettings(p);
    Status(p);
    Redraw(p, 0);
    return true;
}

bool SaveParamSetCommand(Program& p, const std::string& file) {
    if (file.empty() || !SaveParamSet(p, file)) return false;
    p.av.dtSeTeLi = file;
    AddRecentFile(p.av, file);
    Status(p);
    return true;
}

bool TakeModemSettings(Program& p, int i, const T_Modem& edited, const T_Modem& opened) {
    T_ComVar& c = p.com[i];
    const bool used = edited.vorh != 0;
    T_Modem m = edited;
    m.id = kModemLen;
    m.vorh = c.wm.vorh;
    c.wm = m;
    if (p.linkEnv) SetModemUsed(c, *p.linkEnv, used);
    c.wm.vorh = used ? 1 : 0;
    if (!ModemDiffers(c.wm, opened)) return false;
    if (p.msg.Ask(p.texts.tx(kTxAskSaveModem), false) != Answer::Yes) return false;
    if (i == 0 && !SaveParamSet(p, p.av.dtSeTeLi.empty() ? p.DefaultParamSetName() : p.av.dtSeTeLi))
        return false;
    if (p.sv && p.persistSettings) {
        SettingsEnv env = p.SettingsOf();
        WriteSettings(env);
    }
    return true;
}

bool LoadObjectTextsCommand(Program& p, const std::string& file) {
    p.av.dtOaTxt = file;
    bool ok = p.LoadObjectTexts(file); // a failed load forgets dtOaTxt
    if (ok) AddRecentFile(p.av, file);
    Status(p);
    Redraw(p, 0);
    return ok;
}

void ClearObjectTexts(Program& p) {
    p.objects.Clear();
    p.av.dtOaTxt.clear();
    Status(p);
    Redraw(p, 0);
}

bool OpenRecentFile(Program& p, const std::string& file) {
    if (!FileExists(file)) {
        p.msg.Error(Format(p.texts.tx(kTxFileMissing), {file}));
        RemoveRecentFile(p.av, file);
        Status(p);
        return false;
    }
    switch (KindOf(file, p.texts)) {
    case FileKind::Log:
        return OpenLogFileCommand(p, file);
    case FileKind::ParamSet:
        return LoadParamSetCommand(p, file);
    case FileKind::ObjectTexts:
        return LoadObjectTextsCommand(p, file);
    case FileKind::Other:
        break;
    }
    return false;
}

void ToggleTimeLine(Program& p) {
    if (p.pp.format == VF_CSV) return;
    p.pp.zeitzl = p.pp.zeitzl ? 0 : 1;
    Status(p);
    Redraw(p, 1);
}

void ToggleLinkLine(Program& p) {
    if (p.pp.format == VF_CSV) return;
    p.pp.linkzl = p.pp.linkzl ? 0 : 1;
    Status(p);
    Redraw(p, 2);
}

void SetViewFormat(Program& p, int format) {
    if (format < VF_FULL || format > VF_CSV) return;
    p.pp.format = format;
    if (format == VF_CSV) p.pp.zeitzl = 1;
    Status(p);
    Redraw(p, format);
}

void TakeFilter(Program& p, bool logFilter, const T_Filter& f) {
    T_Filter& dst = logFilter ? p.ap.lfilt : p.ap.afilt;
    dst = f;
    dst.aktiv = dst.def ? 1 : 0;
    Status(p);
    Redraw(p, 0);
}

bool ToggleDisplayFilter(Program& p) {
    T_Filter& f = p.ap.afilt;
    if (!f.def) {
        p.msg.Error(p.texts.tx(kTxNoDisplayFilter));
        return false;
    }
    f.aktiv = f.aktiv ? 0 : 1;
    Status(p);
    Redraw(p, 0);
    return true;
}

bool TakeColourTable(Program& p, int kind, const T_TypUrsFarben& edited) {
    T_TypUrsFarben& t = kind == kFrbTypes ? p.pp.frbtyp : p.pp.frburs;
    bool changed = ColourTablesDiffer(edited, t);
    if (changed) p.av.setelisav = true;
    t = edited;
    Redraw(p, 0);
    return changed;
}

void TakeDisplaySettings(Program& p, const T_AusgPar& a) {
    p.pp.ausg = a;
    p.ApplyDisplaySettings();
    Redraw(p, 0);
}

void ApplyGeneralSettings(Program& p, const T_AllgPar& edited, const std::string& dataDir) {
    T_AllgPar& ap = p.ap;
    // The file transfer values and the focus index take effect at once.
    ap.DatAdr = edited.DatAdr;
    ap.Timeout = edited.Timeout;
    ap.Abruf = edited.Abruf;
    ap.IDX = edited.IDX;
    ap.ilo = edited.ilo;
    if (p.files) p.files->Rescan();
    std::string newDir = dataDir.empty() ? p.av.DataDir : WithSeparator(dataDir);
    bool dirChanged = newDir != p.av.DataDir;
    bool changed = std::memcmp(&edited, &ap, sizeof ap) != 0;
    if (!dirChanged && !changed) return;
    if (!GoOfflineAsking(p)) return;

    p.av.parasav = true;
    p.SetOnline(false);
    int32_t oldSize = ap.MaxLog;
    ap = edited;
    if (ap.MaxLog != oldSize) {
        if (p.msg.Ask(p.texts.tx(kTxAskNewLogSize), false) == Answer::Yes) {
            if (p.log) p.log->NewLog();
            Redraw(p, 35);
        } else {
            ap.MaxLog = oldSize; // the log keeps its size
        }
    }
    DeriveFromSettings(p);

    if (dirChanged) {
        if (!IsWritable(newDir)) {
            p.msg.Error(p.texts.tx(2111) + "\n" + newDir + "\n" + p.texts.tx(2112) + "\n" +
                        p.texts.tx(2113));
        } else {
            if (p.log) {
                p.log->ring.Clear();
                p.log->CloseLog();
            }
            OfferToSaveSendData(p, false);
            SettingsEnv env = p.SettingsOf();
            if (p.persistSettings) WriteSettings(env);
            p.av.DataDir = newDir;
            if (p.persistSettings) WriteDataDirToRegistry(env);
            // Everything comes from the new directory now.
            p.ReloadSettings();
            p.av.dtSeTeLi = p.DefaultParamSetName();
            p.LoadParamSet(p.av.dtSeTeLi);
            p.av.dtStartLog.clear();
            p.OpenLogFile("", p.pp.opt[13] != 0);
            std::string inData = p.av.DataDir + p.texts.tx(kTxObjTextFile);
            p.av.dtOaTxt = FileExists(inData) ? inData : p.av.ProgDir + p.texts.tx(kTxObjTextFile);
            p.LoadObjectTexts(p.av.dtOaTxt);
            DeriveFromSettings(p);
            RestartImage(p);
            if (p.view) p.view->ShowLogDisplay();
        }
    }
    Status(p);
}

bool ChangeLanguage(Program& p, int lang) {
    p.pp.sprache = lang;
    return p.LoadLanguage(lang);
}

bool SendTelegramCommand(Program& p, int n) {
    if (!p.send) return false;
    const bool ok = p.send->RequestSend(n) == RequestResult::Requested;
    Status(p);
    return ok;
}

void StopSendingCommand(Program& p) {
    if (p.send) p.send->StopAll();
    Status(p);
}

bool StartListCommand(Program& p, int n) {
    if (!p.lists) return false;
    const bool ok = p.lists->StartList(n) == RequestResult::Requested;
    Status(p);
    return ok;
}

bool AnySending(const Program& p) {
    return (p.send && p.send->AnyActive()) || (p.lists && p.lists->AnyActive());
}

std::vector<std::string> SendCaptions(const Program& p, bool edit) {
    std::vector<std::string> out;
    for (int n = 1; n <= kSeTeCount; ++n)
        out.push_back(
            SendMenuCaption(n, p.sete.at(n), p.sete.at(n).stat != SS_TE_IDLE, p.texts, edit));
    return out;
}

std::vector<std::string> ListCaptions(const Program& p, bool edit) {
    std::vector<std::string> out;
    for (int n = 1; n <= kSeLiCount; ++n) {
        const T_SeTe& h = p.seli.at(n).h;
        out.push_back(SendMenuCaption(n, h, h.stat != SS_TE_IDLE, p.texts, edit));
    }
    return out;
}

} // namespace vdl
