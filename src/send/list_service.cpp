#include "send/list_service.h"

#include "asdu/asdu_layout.h"
#include "core/format.h"

#include <cstring>

namespace vdl {

// ---- Examining and building ----

ListBuildOptions SendLists::Options() const {
    const T_ProgPar& pp = tel_->Env().pp;
    return ListBuildOptions{pp.opt[8] != 0, pp.opt[11] != 0};
}

int SendLists::Select(const T_ComVar& c, int station, int cls) const {
    if (c.se.lt[LT_NO_USER_DATA]) return 0;
    if (cls == DATA_NONE && c.se.sim == SIM_SLAVE) {
        const int n = Select(c, station, DATA_CLASS1);
        return n ? n : Select(c, station, DATA_CLASS2);
    }
    int found = 0;
    for (int n = 1; n <= kSeLiCount; ++n) {
        SeLi& l = set_->at(n);
        if (l.anzakt <= 0) continue;
        // Every list is examined, so that each one's pause runs from its own cycle.
        if (tel_->Pending(l.h, c, station) && !found &&
            (cls == DATA_NONE || tel_->ClassOf(l.h, c) == cls))
            found = n;
    }
    return found;
}

ReadyData SendLists::Ready(const T_ComVar& c, int station) const {
    return ReadyOf(c, station, DATA_NONE);
}

ReadyData SendLists::ReadyOf(const T_ComVar& c, int station, int cls) const {
    const int n = Select(c, station, cls);
    if (!n) return {};
    const T_SeTe& h = set_->at(n).h;
    return {tel_->ClassOf(h, c), tel_->StationIndex(h, c, station)};
}

bool SendLists::Build(T_ComVar& c, int station) {
    return BuildOf(c, station, DATA_NONE);
}

bool SendLists::BuildOf(T_ComVar& c, int station, int cls) {
    const int n = Select(c, station, cls);
    return n && BuildList(c, n);
}

bool SendLists::BuildList(T_ComVar& c, int n) {
    SeLi& l = set_->at(n);
    LinkEnv& env = tel_->Env().link;
    int bad = 0;
    const ListBuildResult r = BuildListTelegram(c, env, l, Options(), &bad);
    if (r != ListBuildResult::Built) {
        if (r == ListBuildResult::NotSendable)
            env.svc.LogText(c, Format(env.texts.tx(kTxListNotSendable),
                                      {n, bad, static_cast<int>(l.at(bad).typ)}));
        l.h.stat = SS_TE_IDLE;
        l.h.anzist = 0;
        return false;
    }
    if (EndOfListCycle(l)) {
        Notify(n);
        if (cycleDone) cycleDone(n);
    }
    return true;
}

void SendLists::Notify(int n) {
    T_SeTe& h = set_->at(n).h;
    if (h.hwnd[0] == 0) return;
    if (!cycleEnded || !cycleEnded(n)) h.hwnd[0] = 0;
}

// ---- Requests and states ----

RequestResult SendLists::StartList(int n) {
    if (n < 1 || n > kSeLiCount) return RequestResult::Refused;
    SeLi& l = set_->at(n);
    if (l.anzakt <= 0) {
        const SendEnv& e = tel_->Env();
        e.link.msg.Error(Format(e.link.texts.tx(kTxListEmpty), {n}));
        return RequestResult::Refused;
    }
    return tel_->RequestItem(l.h);
}

void SendLists::ResetListState(int n) {
    SeLi& l = set_->at(n);
    tel_->ResetItem(l.h);
    l.anzzyk = 0;
    l.idx = 1;
}

void SendLists::RecountList(int n) {
    ResetListState(n);
    CountActive(set_->at(n));
}

void SendLists::RecountAll() {
    for (int n = 1; n <= kSeLiCount; ++n) RecountList(n);
}

void SendLists::StopAll() {
    for (int n = 1; n <= kSeLiCount; ++n) ResetListState(n);
}

bool SendLists::AnyActive() const {
    for (int n = 1; n <= kSeLiCount; ++n)
        if (Active(n)) return true;
    return false;
}

// ---- Triggers ----

void SendLists::FireOnReceive(const T_ComVar& c, const T_Telegramm& te) {
    if (te.stat != ST_OK) return;
    const AsduLayout lay = LayoutOf(tel_->Env().link.ap);
    const bool perObject = Options().perObjectCa;
    for (int n = 1; n <= kSeLiCount; ++n) {
        SeLi& l = set_->at(n);
        if (l.anzakt <= 0 || !tel_->TypeTriggerMatches(l.h, c, te)) continue;
        if (!perObject) {
            const uint32_t ca = static_cast<uint32_t>(l.h.ca);
            if (te.ca == ca || te.ca == lay.globca || ca == lay.globca) l.h.stat = SS_TE_REQUESTED;
            continue;
        }
        // With a common address per object the list answers for the objects of the frame's
        // common address (all of them for the broadcast address).
        if (te.ca == lay.globca) {
            l.anzo() = 0;
            l.idx = 1;
        } else {
            int first = 0;
            for (int i = 1; i <= l.maxakt && !first; ++i)
                if (l.at(i).akt && l.caOf(i).ca == te.ca) first = i;
            if (!first) continue;
            int count = 1;
            for (int i = first + 1; i <= l.maxakt; ++i) {
                if (!l.at(i).akt) continue;
                if (l.caOf(i).ca != te.ca) break;
                ++count;
            }
            l.idx = first;
            l.anzo() = count;
        }
        // The answer is a cycle of its own, whatever an earlier one had sent.
        l.anzzyk = 0;
        l.h.stat = SS_TE_REQUESTED;
    }
}

void SendLists::FireOnFrame(const T_ComVar& c, const T_Telegramm& te) {
    for (int n = 1; n <= kSeLiCount; ++n) {
        SeLi& l = set_->at(n);
        if (l.anzakt > 0 && tel_->FrameTriggerFires(l.h, c, te)) l.h.stat = SS_TE_REQUESTED;
    }
}

void SendLists::FireEvent(const T_ComVar& c, int mode, uint16_t la) {
    for (int n = 1; n <= kSeLiCount; ++n) {
        SeLi& l = set_->at(n);
        if (l.anzakt > 0 && tel_->EventTriggerFires(l.h, c, mode, la)) l.h.stat = SS_TE_REQUESTED;
    }
}

void SendLists::FireMinute(int minuteOfHour) {
    for (int n = 1; n <= kSeLiCount; ++n) {
        SeLi& l = set_->at(n);
        if (l.anzakt > 0 && tel_->MinuteTriggerFires(l.h, minuteOfHour)) l.h.stat = SS_TE_REQUESTED;
    }
}

// ---- The editor ----

SeLi SendLists::OpenForEditing(int n) {
    ResetListState(n);
    return set_->at(n);
}

namespace {

// The header as compared before storing: focus, tick, state and the editor's following aside.
T_SeTe ComparedHead(const T_SeTe& h) {
    T_SeTe t{};
    std::memcpy(&t, &h, kSeLiHeadLen);
    t.ilo = 0;
    t.tick = 0;
    t.stat = 0;
    std::memset(t.hwnd, 0, sizeof t.hwnd);
    return t;
}

bool ListDiffers(const SeLi& a, const SeLi& b) {
    const T_SeTe ha = ComparedHead(a.h), hb = ComparedHead(b.h);
    return std::memcmp(&ha, &hb, kSeLiHeadLen) != 0 || a.zeileed != b.zeileed ||
           std::memcmp(a.obj.data(), b.obj.data(), sizeof a.obj) != 0 ||
           std::memcmp(a.ca.data(), b.ca.data(), sizeof a.ca) != 0;
}

} // namespace

bool SendLists::StoreEdited(int n, const SeLi& edited) {
    SeLi& l = set_->at(n);
    const bool changed = ListDiffers(edited, l);
    const uint8_t follows = l.h.hwnd[0];
    l = edited;
    l.h.hwnd[0] = follows;
    RecountList(n);
    if (changed) tel_->Env().av.setelisav = true;
    return changed;
}

RequestResult SendLists::SendFromEditor(int n, const SeLi& edited, int row) {
    StoreEdited(n, edited);
    SeLi& l = set_->at(n);
    l.idx = row >= 1 && row <= kSeLiObjects ? row : 1;
    l.h.hwnd[0] = 1;
    return StartList(n);
}

} // namespace vdl
