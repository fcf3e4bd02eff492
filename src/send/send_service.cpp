#include "send/send_service.h"

#include "asdu/catalogue.h"
#include "core/file_io.h"
#include "core/format.h"
#include "core/text_table.h"
#include "link/transmitter.h"
#include "send/sete_encoder.h"
#include "send/sete_files.h"
#include "send/sete_form.h"

#include <algorithm>
#include <string>

namespace vdl {

namespace {

constexpr int kFirstFrameTrigger = 257; // typn 257 + n: function code n
constexpr int kAnyVariableFrame = 256;

int IndexOf(const T_ComVar& c, const T_ComVar (&com)[2]) {
    return &c == &com[1] ? 1 : 0;
}

bool Unbalanced(const T_ComVar& c) {
    return c.se.sim == SIM_MASTER || c.se.sim == SIM_SLAVE;
}

// Why telegram n of type typ cannot be sent: the file transfer types go within a transfer
// only; a type without an element encoding goes as a raw telegram.
std::string NotSendableText(const TextTable& tx, int n, int typ) {
    return Format(tx.tx(typ >= 120 ? kTxTelegramFileTransferOnly : kTxTelegramNoEncoding),
                  {n, typ});
}

} // namespace

// ---- Examining and building ----

bool SendTelegrams::OnChannel(const T_SeTe& t, const T_ComVar& c) const {
    return ChannelOfSnr(t.snr) == IndexOf(c, env_.com);
}

bool SendTelegrams::Pending(T_SeTe& t, const T_ComVar& c, int station) const {
    if (t.stat == SS_TE_IDLE || !OnChannel(t, c)) return false;
    ChannelService& svc = env_.link.svc;
    if (t.stat == SS_TE_SENT) {
        if (t.wzt > 0) {
            t.tick = env_.av.Tick + svc.MsToTicks(t.wzt);
            t.stat = SS_TE_PAUSE;
            return false;
        }
        t.stat = SS_TE_REQUESTED;
    }
    if (t.stat == SS_TE_PAUSE) {
        if (!svc.Due(t.tick)) return false;
        t.stat = SS_TE_REQUESTED;
    }
    // An emulated station sends a telegram only to the station it addresses (or broadcast).
    if (c.se.sim != SIM_NONE && env_.link.ap.lgla > 0 && t.typ != PT_HEX && station >= 0 &&
        station < kMaxLinkAdr) {
        const uint32_t addressed = c.bp.la.a[station];
        const uint32_t glob = env_.av.globla;
        if (t.la != addressed && t.la != glob && addressed != glob) return false;
    }
    return true;
}

int SendTelegrams::ClassOf(const T_SeTe& t, const T_ComVar& c) const {
    if (c.se.sim == SIM_SLAVE && t.klasse == 1) return DATA_CLASS1;
    return DATA_CLASS2;
}

int SendTelegrams::Select(const T_ComVar& c, int station, int cls) const {
    if (c.se.lt[LT_NO_USER_DATA]) return 0;
    if (cls == DATA_NONE && c.se.sim == SIM_SLAVE) {
        const int n = Select(c, station, DATA_CLASS1);
        return n ? n : Select(c, station, DATA_CLASS2);
    }
    int found = 0;
    for (int n = 1; n <= kSeTeCount; ++n) {
        T_SeTe& t = set_->at(n);
        // Every telegram is examined, so that each one's pause runs from its own sending.
        if (Pending(t, c, station) && !found && (cls == DATA_NONE || ClassOf(t, c) == cls))
            found = n;
    }
    return found;
}

int SendTelegrams::StationIndex(const T_SeTe& t, const T_ComVar& c, int station) const {
    for (int i = 0; i < c.bp.la.anz && i < kMaxLinkAdr; ++i)
        if (c.bp.la.a[i] == t.la) return i;
    return station >= 0 ? station : c.se.usi;
}

ReadyData SendTelegrams::Ready(const T_ComVar& c, int station) const {
    return ReadyOf(c, station, DATA_NONE);
}

ReadyData SendTelegrams::ReadyOf(const T_ComVar& c, int station, int cls) const {
    const int n = Select(c, station, cls);
    if (!n) return {};
    const T_SeTe& t = set_->at(n);
    return {ClassOf(t, c), StationIndex(t, c, station)};
}

bool SendTelegrams::Build(T_ComVar& c, int station) {
    return BuildOf(c, station, DATA_NONE);
}

bool SendTelegrams::BuildOf(T_ComVar& c, int station, int cls) {
    const int n = Select(c, station, cls);
    return n && BuildTelegram(c, n);
}

namespace {

// Send telegrams of these types start a file transfer's step: an offer, a call, a directory.
bool StartsFileTransfer(int typ) {
    return typ == FT_FILE_READY || typ == FT_CALL || typ == FT_DIRECTORY;
}

} // namespace

EncodeResult SendTelegrams::EncodeFileTelegram(T_ComVar& c, const T_SeTe& t) {
    if (!files) return EncodeResult::NotSendable;
    FileTelegram f;
    f.cf = ControlFieldOf(t);
    f.la = static_cast<uint16_t>(t.la);
    f.head = HeadOf(t);
    f.nof = static_cast<uint16_t>(t.inf.l);
    f.file = t.datei.str();
    f.vz = t.vzidx;
    switch (files->BuildTelegram(c, f)) {
    case FileTelegramResult::Built:
        return EncodeResult::Built;
    case FileTelegramResult::Refused:
        return EncodeResult::Refused;
    default:
        return EncodeResult::NotSendable;
    }
}

bool SendTelegrams::BuildTelegram(T_ComVar& c, int n) {
    T_SeTe& t = set_->at(n);
    const EncodeResult r =
        StartsFileTransfer(t.typ)
            ? EncodeFileTelegram(c, t)
            : EncodeTelegram(c, env_.link, t, set_->linesOf(n), env_.pp.opt[11] != 0);
    if (r == EncodeResult::Refused) {
        // The file transfer has logged why.
        t.stat = SS_TE_IDLE;
        t.anzist = 0;
        return false;
    }
    if (r != EncodeResult::Built) {
        const TextTable& tx = env_.link.texts;
        const AsduLayout lay = LayoutOf(env_.link.ap);
        env_.link.svc.LogText(c, r == EncodeResult::TooLong
                                     ? Format(tx.tx(kTxTelegramTooLong),
                                              {n, RawFrameLength(t, set_->linesOf(n), lay)})
                                     : NotSendableText(tx, n, t.typ));
        t.stat = SS_TE_IDLE;
        t.anzist = 0;
        return false;
    }
    t.stat = SS_TE_SENT;
    ++t.anzist;
    if (t.anzt > 0 && t.anzist >= t.anzt) {
        t.stat = SS_TE_IDLE;
        t.anzist = 0;
    }
    if (sent) sent(n);
    return true;
}

// ---- Requests ----

uint32_t SendTelegrams::ResolveLinkAddress(const T_SeTe& t) const {
    const T_ComVar& c = env_.com[ChannelOfSnr(t.snr)];
    if (env_.link.ap.lgla == 0 || !Unbalanced(c)) return c.bp.la.a[0];
    // The entry after the configured addresses is the broadcast address.
    const int idx = t.laidx > c.bp.la.anz ? 0 : t.laidx;
    return c.bp.la.a[idx];
}

void SendTelegrams::StationFromLinkAddress(T_SeTe& t) const {
    const T_ComVar& c = env_.com[ChannelOfSnr(t.snr)];
    const int anz = std::clamp(c.bp.la.anz, 1, kMaxLinkAdr);
    for (int i = 0; i <= anz; ++i)
        if (c.bp.la.a[i] == t.la) {
            t.laidx = static_cast<uint8_t>(i);
            return;
        }
}

void SendTelegrams::ResetItem(T_SeTe& t) {
    t.stat = SS_TE_IDLE;
    t.struk = 1;
    t.anzist = 0;
    t.la = ResolveLinkAddress(t);
    if (t.anst > ANST_REMOTE_RESET) env_.av.anstzeit = true;
}

void SendTelegrams::ResetSendState(int n) {
    ResetItem(set_->at(n));
}

void SendTelegrams::StopAll() {
    env_.av.anstzeit = false;
    for (int n = 1; n <= kSeTeCount; ++n) {
        ResetSendState(n);
        set_->at(n).zeile = 0;
    }
    if (stopLists) stopLists();
}

RequestResult SendTelegrams::RequestSend(int n) {
    if (n < 1 || n > kSeTeCount) return RequestResult::Refused;
    T_SeTe& t = set_->at(n);
    const TextTable& tx = env_.link.texts;
    Messages& msg = env_.link.msg;
    // What cannot be built is refused before it reaches the line.
    const int raw = RawFrameLength(t, set_->linesOf(n), LayoutOf(env_.link.ap));
    if (raw > kMaxFrameLen) {
        msg.Error(Format(tx.tx(kTxTelegramTooLong), {n, raw}));
        return RequestResult::Refused;
    }
    if (!IsPseudoType(t.typ) && !StartsFileTransfer(t.typ) &&
        (t.typ >= 120 || !IsKnownType(t.typ))) {
        msg.Error(NotSendableText(tx, n, t.typ));
        return RequestResult::Refused;
    }
    return RequestItem(t);
}

RequestResult SendTelegrams::RequestItem(T_SeTe& t) {
    const TextTable& tx = env_.link.texts;
    Messages& msg = env_.link.msg;
    T_ComVar& c = env_.com[ChannelOfSnr(t.snr)];
    if (!env_.av.online) {
        msg.Error(tx.tx(kTxSendOffline));
        return RequestResult::Refused;
    }
    if (c.bp.cnr == 0) {
        msg.Error(Format(tx.tx(kTxChannelWithoutPort), {static_cast<int>(c.se.snr / 2)}));
        return RequestResult::Refused;
    }
    bool linkDown = false;
    if (c.se.sim == SIM_BALANCED) {
        linkDown = c.se.lks != 1 && c.se.lks != 5;
    } else if (Unbalanced(c)) {
        const int i = t.laidx < c.bp.la.anz ? t.laidx : 0;
        linkDown = (c.se.uslstat & (1u << i)) != 0;
    }
    if (linkDown) {
        if (msg.Ask(tx.tx(kTxSendWithoutLink), false) != Answer::Yes)
            return RequestResult::Declined;
        t.stat = SS_TE_REQUESTED;
        if (c.se.sim == SIM_SLAVE) c.se.la = static_cast<int32_t>(t.la);
        c.se.sofse = true;
        return RequestResult::Requested;
    }
    if (c.se.lt[LT_NO_USER_DATA]) {
        msg.Error(tx.tx(kTxSendNoUserData));
        return RequestResult::Refused;
    }
    t.stat = SS_TE_REQUESTED;
    if (t.typ == PT_HEX && c.se.sim == SIM_SLAVE) c.se.sofse = true;
    return RequestResult::Requested;
}

// ---- Triggers ----

bool SendTelegrams::TypeTriggerMatches(const T_SeTe& t, const T_ComVar& c,
                                       const T_Telegramm& te) const {
    const AsduLayout lay = LayoutOf(env_.link.ap);
    if (t.anst != ANST_TYPE || t.typn > 255 || !OnChannel(t, c)) return false;
    if (lay.lgla > 0 && te.la != lay.globla && te.la != t.la) return false;
    if (te.typ != t.typn) return false;
    const int cause = te.urs & 0x3F;
    return !IsControlType(te.typ) || cause == 6 || cause == 8;
}

void SendTelegrams::FireOnReceive(const T_ComVar& c, const T_Telegramm& te) {
    if (te.stat != ST_OK) return;
    const AsduLayout lay = LayoutOf(env_.link.ap);
    for (int n = 1; n <= kSeTeCount; ++n) {
        T_SeTe& t = set_->at(n);
        if (!TypeTriggerMatches(t, c, te)) continue;
        bool caFits = te.ca == static_cast<uint32_t>(t.ca) || te.ca == lay.globca ||
                      static_cast<uint32_t>(t.ca) == lay.globca;
        if (!caFits && t.typ == PT_FILE)
            for (const auto& line : set_->linesOf(n))
                if (RawLineCa(line, lay) == te.ca) caFits = true;
        if (caFits) t.stat = SS_TE_REQUESTED;
    }
}

bool SendTelegrams::FrameTriggerFires(const T_SeTe& t, const T_ComVar& c,
                                      const T_Telegramm& te) const {
    const AsduLayout lay = LayoutOf(env_.link.ap);
    if (te.stat != ST_OK) return false;
    if (t.anst != ANST_TYPE || t.typn < kAnyVariableFrame || !OnChannel(t, c)) return false;
    if (lay.lgla > 0 && te.la != lay.globla && te.la != t.la) return false;
    const bool single = te.lg <= 1;
    return t.typn == kAnyVariableFrame ? te.ta == TA_VARIABLE
                                       : !single && (te.lc & 0x0F) + kFirstFrameTrigger == t.typn;
}

void SendTelegrams::FireOnFrame(const T_ComVar& c, const T_Telegramm& te) {
    for (int n = 1; n <= kSeTeCount; ++n)
        if (FrameTriggerFires(set_->at(n), c, te)) set_->at(n).stat = SS_TE_REQUESTED;
}

bool SendTelegrams::EventTriggerFires(const T_SeTe& t, const T_ComVar& c, int mode,
                                      uint16_t la) const {
    if (t.anst != mode || !OnChannel(t, c)) return false;
    return !(Unbalanced(c) && env_.link.ap.lgla > 0 && la != t.la);
}

void SendTelegrams::FireEvent(const T_ComVar& c, int mode, uint16_t la) {
    for (int n = 1; n <= kSeTeCount; ++n)
        if (EventTriggerFires(set_->at(n), c, mode, la)) set_->at(n).stat = SS_TE_REQUESTED;
}

bool SendTelegrams::MinuteTriggerFires(const T_SeTe& t, int minuteOfHour) const {
    if (env_.com[ChannelOfSnr(t.snr)].bp.fkt == FKT_MONITOR) return false;
    if (t.anst == ANST_MINUTE) return minuteOfHour == t.minute;
    if (t.anst == ANST_EVERY_MINUTES) return t.minute == 0 || minuteOfHour % t.minute == 0;
    return false;
}

void SendTelegrams::FireMinute(int minuteOfHour) {
    for (int n = 1; n <= kSeTeCount; ++n)
        if (MinuteTriggerFires(set_->at(n), minuteOfHour)) set_->at(n).stat = SS_TE_REQUESTED;
}

bool SendTelegrams::AnyActive() const {
    for (int n = 1; n <= kSeTeCount; ++n)
        if (Active(n)) return true;
    return false;
}

// ---- The editor ----

T_SeTe SendTelegrams::OpenForEditing(int n) {
    set_->at(n).stat = SS_TE_IDLE;
    return set_->at(n);
}

bool SendTelegrams::StoreEdited(int n, const T_SeTe& edited) {
    T_SeTe t = edited;
    t.la = ResolveLinkAddress(t);
    t.lines = 0;
    const bool changed = EditedDiffers(t, set_->at(n));
    set_->at(n) = t;
    if (changed) {
        env_.av.setelisav = true;
        ReloadRawFile(n);
    }
    return changed;
}

// ---- Files ----

void SendTelegrams::ReloadRawFile(int n) {
    vdl::ReloadRawFile(set_->at(n), set_->linesOf(n), env_.av, LayoutOf(env_.link.ap));
}

void SendTelegrams::ReloadRawFiles() {
    for (int n = 1; n <= kSeTeCount; ++n) ReloadRawFile(n);
}

void SendTelegrams::RunCommandFile() {
    const std::string path = env_.av.DataDir + env_.link.texts.tx(kTxCommandFile);
    T_SeTe& t = set_->at(kSeTeCount);
    if (t.stat != SS_TE_IDLE) return;
    std::vector<std::string> lines;
    std::string error;
    if (!FileExists(path)) return;
    if (!ReadSendTextLines(path, lines, error)) {
        // Treated as empty: nothing is sent.
        if (env_.logMessage) env_.logMessage(error);
        return;
    }
    SeTeTextEnv te{env_.av, env_.link.ap};
    T_SeTe read = t;
    if (!ReadSeTeText(lines, read, te)) return;
    // Emptied, so that the request is taken once.
    WriteWholeFile(path, "", 0, error);
    if (error.empty()) {
        StationFromLinkAddress(read);
        t = read;
        t.lines = 0;
        if (t.typ == PT_FILE && !t.datei.str().empty()) ReloadRawFile(kSeTeCount);
        t.stat = SS_TE_REQUESTED;
    } else if (env_.logMessage) {
        env_.logMessage(error);
    }
}

// ---- Menus ----

std::string SendMenuCaption(int n, const T_SeTe& t, bool active, const TextTable& texts,
                            bool edit) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string s(1, kHex[n & 15]);
    if (active) s += " *";
    const int mode = t.anst >= 0 && t.anst <= ANST_EVERY_MINUTES ? t.anst : 0;
    s += texts.tx(kTxModeWords + mode);
    if (mode == ANST_TYPE) s += std::to_string(t.typn);
    if (mode >= ANST_MINUTE) s += std::to_string(t.minute);
    s += "  " + t.bez.str();
    if (edit) s += "...";
    return s;
}

} // namespace vdl
