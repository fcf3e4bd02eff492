#include "app/main_state.h"

#include "app/command_line.h"
#include "app/program.h"
#include "core/format.h"
#include "core/utf8.h"
#include "link/port_list.h"

#include <algorithm>

namespace vdl {

namespace {

constexpr int kRgbOnline = 0x00FF00;
constexpr int kRgbAttention = 0xF0CAA6; // offline, and a filter in force
constexpr int kRgbOnlineDisplay = 0xC0DCC0;

std::string Count(int32_t v, int width) {
    return PadLeft(Format("%.0n", {static_cast<double>(v)}), static_cast<size_t>(width));
}

// The link state of a channel in one direction: the direction in which it sends primary
// frames (its own link) or the one in which it answers them (the partner's link).
int LinkStateText(const Program& p, const T_ComVar& c, bool sending) {
    if (!p.av.online || !c.se.open || c.se.sim == SIM_NONE) return kTxLinkNotUsed;
    // Unbalanced: the links of all configured stations, not of the one in turn, which would
    // make the cell flip with every station the channel serves.
    const int stations = std::clamp(c.bp.la.anz, 1, kMaxLinkAdr);
    bool stationDown = (c.se.uslstat & ((1u << stations) - 1u)) != 0;
    switch (c.se.sim) {
    case SIM_MASTER:
        if (!sending) return kTxLinkNotUsed;
        return stationDown ? kTxLinkDown : kTxLinkUp;
    case SIM_SLAVE:
        if (sending) return kTxLinkNotUsed;
        return stationDown ? kTxLinkDown : kTxLinkUp;
    default: // balanced: both stations send primary frames; the partner's link is up once
             // the partner has reset it
        if (sending) return (c.se.lks == 1 || c.se.lks == 5) ? kTxLinkUp : kTxLinkDown;
        return c.se.lke != 0 ? kTxLinkUp : kTxLinkDown;
    }
}

} // namespace

std::string PortHint(const Program& p) {
    return p.AnyPortChosen() ? std::string() : p.texts.tx(kTxChoosePort);
}

std::string FileNameOnly(const std::string& path) {
    size_t p = path.find_last_of("/\\");
    return p == std::string::npos ? path : path.substr(p + 1);
}

PanelState StatusPanel(const Program& p, int panel) {
    const TextTable& t = p.texts;
    PanelState s;
    switch (panel) {
    case 0:
        s.text = t.tx(kTxPanelOnline + (p.av.online ? 1 : 0));
        s.rgb = p.av.online ? kRgbOnline : kRgbAttention;
        break;
    case 1:
        s.text = t.tx(kTxPanelDisplay + (p.pp.onlausg ? 1 : 0));
        if (p.pp.onlausg) s.rgb = kRgbOnlineDisplay;
        break;
    case 2:
        s.text = t.tx(kTxPanelLogFilter) + t.tx(kTxFilterOffOn + (p.ap.lfilt.aktiv ? 1 : 0));
        if (p.ap.lfilt.aktiv) s.rgb = kRgbAttention;
        break;
    case 3:
        s.text = t.tx(kTxPanelDisplayFilter) + t.tx(kTxFilterOffOn + (p.ap.afilt.aktiv ? 1 : 0));
        if (p.ap.afilt.aktiv) s.rgb = kRgbAttention;
        break;
    case 4:
        s.text = t.tx(kTxPanelLog) + FileNameOnly(p.av.dtLog);
        break;
    case 5:
        s.text = t.tx(kTxPanelTexts) + FileNameOnly(p.av.dtOaTxt);
        break;
    case kPanelPorts:
        for (int i = 0; i < 2; ++i) {
            if (p.com[i].bp.cnr == 0) continue;
            if (!s.text.empty()) s.text += "  ";
            s.text += t.tx(kTxGridRow1 + i) + ": " + PortShown(p, i);
            if (p.svc && p.svc->Lost(i)) s.rgb = kRgbAttention;
        }
        break;
    default:
        break;
    }
    return s;
}

GridColumn GridColumnOf(const TextTable& t, int c) {
    GridColumn g;
    const std::string& s = t.tx(kTxGridColumn + c);
    size_t comma = s.find(',');
    std::string w = s.substr(0, comma);
    if (!w.empty() && w.size() < 6 && w.find_first_not_of("0123456789") == std::string::npos)
        g.width = std::stoi(w);
    g.title = comma == std::string::npos ? std::string() : s.substr(comma + 1);
    return g;
}

std::string GridCell(const Program& p, int row, int col) {
    if (col < 0 || col >= kGridColumns || row < 0 || row >= kGridRows) return {};
    if (row == 0) return GridColumnOf(p.texts, col).title;
    const T_ComVar& c = p.com[row - 1];
    const TextTable& t = p.texts;
    auto counter = [&](int ek, int k) -> int32_t {
        if (!p.log || ek < 1 || ek > 4) return 0;
        return p.log->counters[static_cast<size_t>(ek - 1)][static_cast<size_t>(k)];
    };
    int rx = row == 1 ? EK_RX1 : EK_RX2;
    int tx = row == 1 ? EK_TX1 : EK_TX2;
    switch (col) {
    case 0:
        return t.tx(kTxGridRow1 + row - 1);
    case 1:
        return Count(counter(rx, 0), 12);
    case 2:
        return Count(counter(rx, 1), 9);
    case 3:
        return Count(counter(tx, 0), 12);
    case 4:
        return Count(counter(tx, 1), 9);
    case 5:
        return t.tx(LinkStateText(p, c, false));
    case 6:
        return t.tx(LinkStateText(p, c, true));
    case 7:
        return PortShown(p, row - 1);
    case 8:
        return PadLeft(std::to_string(c.bp.baud), 6);
    case 9:
        return t.tx(kTxFunction + c.bp.fkt);
    case 10:
        return t.tx(kTxProcedure + c.bp.pro);
    default:
        return {};
    }
}

std::string PortShown(const Program& p, int channel) {
    int n = p.com[channel].bp.cnr;
    if (n <= 0) return "-";
    std::string name = p.ports.Name(n);
    if (p.svc && p.svc->Lost(channel)) return Format(p.texts.tx(kTxPortLost), {name});
    return name;
}

void AddRecentFile(T_AllgVar& av, const std::string& file) {
    if (file.empty()) return;
    RemoveRecentFile(av, file);
    int n = std::clamp(av.anzmru, 0, kMaxMru);
    if (n == kMaxMru) --n;
    for (int i = n; i > 0; --i) av.mru[static_cast<size_t>(i)] = av.mru[static_cast<size_t>(i - 1)];
    av.mru[0] = file;
    av.anzmru = n + 1;
}

void RemoveRecentFile(T_AllgVar& av, const std::string& file) {
    int n = std::clamp(av.anzmru, 0, kMaxMru);
    int out = 0;
    for (int i = 0; i < n; ++i) {
        std::string f = av.mru[static_cast<size_t>(i)];
        if (f.empty() || SameNameNoCase(f, file)) continue;
        av.mru[static_cast<size_t>(out++)] = f;
    }
    for (int i = out; i < kMaxMru; ++i) av.mru[static_cast<size_t>(i)].clear();
    av.anzmru = out;
}

FileKind KindOf(const std::string& file, const TextTable& t) {
    if (HasExtension(file, t.tx(1200))) return FileKind::Log;
    if (HasExtension(file, t.tx(1223))) return FileKind::ParamSet;
    if (HasExtension(file, t.tx(1370))) return FileKind::ObjectTexts;
    return FileKind::Other;
}

FunctionKeys FunctionKeysOf(const uint8_t (&opt)[16]) {
    return FunctionKeys{opt[0] != 0, opt[1] != 0, opt[2] != 0,
                        opt[3] != 0, opt[4] != 0, opt[5] != 0};
}

int ViewFontSize(int stored) {
    return (stored < 8 || stored > 16) ? 10 : stored;
}

WindowPlace MainWindowPlace(int32_t state, int32_t top, int32_t left, int32_t width,
                            int screenWidth, int screenHeight) {
    WindowPlace w;
    if (state == 0) return w;
    w.maximised = state == 3;
    // The stored values come from the settings file: any 32-bit value, computed without overflow.
    const int64_t third = static_cast<int64_t>(width) / 3;
    bool off = top < -10 || top > screenHeight - 50 || left < -third || left > screenWidth - 50;
    w.kind = off ? WindowPlaceKind::Centred : WindowPlaceKind::Stored;
    return w;
}

DisplaySwitch KeySwitch(ViewKey k, bool onlineShown, bool option1) {
    if (!option1) return DisplaySwitch::None;
    if (onlineShown) return k == ViewKey::Other ? DisplaySwitch::None : DisplaySwitch::ToLog;
    return k == ViewKey::Escape ? DisplaySwitch::ToOnline : DisplaySwitch::None;
}

} // namespace vdl
