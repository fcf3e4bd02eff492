#include "link/modem.h"

#include "core/modem_file.h"
#include "link/channel_init.h"
#include "link/link_services.h"
#include "link/transmitter.h"

#include <algorithm>
#include <cctype>

namespace vdl {

namespace {

using M = ModemState;

constexpr int kTxWaiting = 2002; // waiting for a connection
constexpr int kTxConnected = 2003;
constexpr int kTxDtrDone = 2004;
constexpr int kTxHangUp = 2005;  // the user asked to hang up
constexpr int kTxMaxTime = 2006; // the maximum connection time is reached
constexpr int kTxIdle = 2007;    // no correct frame for the idle time
constexpr int kTxRing = 2011;    // the modem's word for an incoming call
constexpr int kTxAnswer = 2012;  // the command that answers it
constexpr int kTxOffline = 870;
constexpr double kDialogueNoteSeconds = 60;
constexpr double kConnectSeconds = 1;
constexpr size_t kModemTextMax = 255;
// The escape that takes a connected modem to its commands; it must not be followed by a line
// end, or the modem takes it for data.
constexpr std::string_view kEscape = "+++";

uint8_t State(M s) {
    return static_cast<uint8_t>(s);
}

// The text as it is compared: upper case, every line end (a run of CR and LF) one blank, so
// that "CONNECT 9600" is found when the modem puts CONNECT and 9600 on two lines.
std::string Compared(const std::string& s) {
    std::string out;
    bool lineEnd = false;
    for (char ch : s) {
        if (ch == '\r' || ch == '\n') {
            lineEnd = true;
            continue;
        }
        if (lineEnd) out += ' ';
        lineEnd = false;
        out += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    }
    if (lineEnd) out += ' ';
    return out;
}

void Note(T_ComVar& c, LinkEnv& env, int text) {
    env.svc.LogText(c, env.texts.tx(text));
}

// The receiver's line length and the counters of the state entered.
void Prepare(T_ComVar& c, uint8_t lks) {
    T_SendVar& se = c.se;
    if (InModemState(lks)) {
        se.udauer = se.ulink = se.ubreak = 0;
        se.u3 = 0; // the dialogue says at once that it waits
        c.em.tlg = kModemLineMax;
    } else {
        c.em.tlg = LineLimit(c.bp);
    }
}

// True once per timer tick for a count (its last tick kept in last).
bool NewTick(uint32_t& last, uint32_t tick) {
    if (last == tick) return false;
    last = tick;
    return true;
}

void EnterHangUp(T_ComVar& c, LinkEnv& env, int why) {
    c.se.ubreak = 0;
    SetLinkState(c, env, State(M::HangingUp));
    Note(c, env, why);
}

bool Recording(T_ComVar& c, LinkEnv& env) {
    if (env.av.online && c.se.open) return true;
    env.msg.Error(env.texts.tx(kTxOffline));
    return false;
}

// The hang-up string: an escape at its start goes out alone when the sequence reaches 21
// ticks, what follows it as a line at 42, after the modem's guard time; any other string as a
// line at 21.
void SendBreak(T_ComVar& c, LinkEnv& env, uint32_t tick) {
    const std::string s = c.wm.brk.str();
    const bool escape = s.compare(0, kEscape.size(), kEscape) == 0;
    if (tick == kBreakSendTicks) {
        if (escape)
            SendTextLine(c, env, std::string(kEscape), false);
        else if (!s.empty())
            SendTextLine(c, env, s);
    } else if (tick == kBreakEndTicks && escape && s.size() > kEscape.size()) {
        SendTextLine(c, env, s.substr(kEscape.size()));
    }
}

} // namespace

uint8_t ProcedureLinkState(const T_ComVar& c) {
    return c.se.sim == SIM_MASTER ? 1 : 0;
}

uint8_t InitialLinkState(const T_ComVar& c) {
    return c.wm.vorh ? State(M::Dialogue) : ProcedureLinkState(c);
}

void InitLinkState(T_ComVar& c) {
    c.se.lks = InitialLinkState(c);
    Prepare(c, c.se.lks);
}

void ResetLinkState(T_ComVar& c, LinkEnv& env) {
    const uint8_t lks = InitialLinkState(c);
    Prepare(c, lks);
    SetLinkState(c, env, lks);
}

void ModemStep(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    const uint32_t now = env.av.Tick;
    switch (static_cast<M>(se.lks)) {
    case M::Dialogue:
        if (env.svc.Due(se.u3)) {
            Note(c, env, kTxWaiting);
            se.u3 = now + env.svc.SecondsToTicks(kDialogueNoteSeconds);
        }
        break;
    case M::Connecting:
        if (env.svc.Due(se.u3)) {
            Note(c, env, kTxConnected);
            const uint8_t lks = ProcedureLinkState(c);
            Prepare(c, lks);
            SetLinkState(c, env, lks);
            se.udauer = env.svc.SecondsToTicks(ModemDauer(c.wm));
            se.ulink = env.svc.SecondsToTicks(ModemLink(c.wm));
        }
        break;
    case M::HangingUp:
        se.udauer = se.ulink = 0;
        if (!NewTick(se.tbreak, now)) break;
        ++se.ubreak;
        SendBreak(c, env, se.ubreak);
        if (se.ubreak >= kBreakEndTicks) ResetLinkState(c, env);
        break;
    case M::DtrPulse:
        if (NewTick(se.tbreak, now) && ++se.ubreak >= kBreakSendTicks) {
            if (c.pCp) c.pCp->SetDtr(!c.pCp->Dtr());
            Note(c, env, kTxDtrDone);
            ResetLinkState(c, env);
        }
        break;
    default:
        break;
    }
}

void ModemCountdown(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    if (!NewTick(se.tcount, env.av.Tick)) return;
    // Only a connection is ended; a hang-up or DTR pulse under way runs to its end.
    if (se.udauer != 0 && --se.udauer == 0 && !InModemState(se.lks))
        EnterHangUp(c, env, kTxMaxTime);
    if (se.ulink != 0 && --se.ulink == 0 && !InModemState(se.lks)) EnterHangUp(c, env, kTxIdle);
}

void ModemLine(T_ComVar& c, LinkEnv& env) {
    T_EmpfVar& em = c.em;
    T_SendVar& se = c.se;
    T_Telegramm& te = em.te;
    const bool lineError = em.fehl != 0;
    te.stat = lineError ? ST_LINE_ERROR : ST_TEXT_LINE;
    te.ta = lineError ? TA_VARIABLE : TA_TEXT;
    te.lc = te.typ = te.struk = te.urs = 0;
    te.la = te.ca = 0;
    T_Telegramm logged = te;
    if (env.svc.hooks.log) env.svc.hooks.log(logged);

    // A line that follows the previous one within the receive time-out continues the text: a
    // connect message may come in two lines (the first closed by the time-out or at 32
    // octets). A later line starts a new text.
    std::string& text = env.modemText;
    const uint32_t now = env.clock.Millis();
    if (now - env.modemLineMs > em.TOut) text.clear();
    env.modemLineMs = now;
    text.append(reinterpret_cast<const char*>(te.b), static_cast<size_t>(te.validLen()));
    if (text.size() > kModemTextMax) text.erase(0, text.size() - kModemTextMax);

    const std::string upper = Compared(text);
    const std::string connect = Compared(c.wm.connect.str());
    const std::string ring = Compared(env.texts.tx(kTxRing));
    if (!connect.empty() && upper.find(connect) != std::string::npos) {
        text.clear();
        se.u3 = env.av.Tick + env.svc.SecondsToTicks(kConnectSeconds);
        SetLinkState(c, env, State(M::Connecting));
    } else if (!ring.empty() && upper.find(ring) != std::string::npos) {
        // A call is answered only when the user asked for it: without, the modem keeps
        // ringing (or answers by itself, as it is set).
        text.clear();
        if (c.wm.ata) SendTextLine(c, env, env.texts.tx(kTxAnswer));
    } else if (!connect.empty() && text.size() >= connect.size()) {
        // What is kept can still be the start of a connect message.
        text.erase(0, text.size() - (connect.size() - 1));
    }
    em.tlg = kModemLineMax;
}

void ModemIdleReload(T_ComVar& c, LinkEnv& env) {
    if (!InModemState(c.se.lks)) c.se.ulink = env.svc.SecondsToTicks(ModemLink(c.wm));
}

bool ModemHangUp(T_ComVar& c, LinkEnv& env) {
    if (!Recording(c, env)) return false;
    EnterHangUp(c, env, kTxHangUp);
    return true;
}

bool ModemDtrPulse(T_ComVar& c, LinkEnv& env) {
    if (!Recording(c, env)) return false;
    if (c.pCp) c.pCp->SetDtr(!c.pCp->Dtr());
    c.se.ubreak = 0;
    SetLinkState(c, env, State(M::DtrPulse));
    return true;
}

void SetModemUsed(T_ComVar& c, LinkEnv& env, bool used) {
    if ((c.wm.vorh != 0) == used) return;
    c.wm.vorh = used ? 1 : 0;
    ResetLinkState(c, env);
}

int ModemStatusText(bool online, const T_ComVar& c) {
    if (!online || !c.se.open) return 1987;
    return InModemState(c.se.lks) ? 1988 : 1989;
}

int DcdText(const T_ComVar& c) {
    const bool dcd = c.se.open && c.pCp && c.pCp->Dcd();
    return 1998 + (dcd ? 1 : 0);
}

} // namespace vdl
