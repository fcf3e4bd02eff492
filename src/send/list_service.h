// The send lists at work: started by the operator or by their triggers, examined by the
// channels after the twelve send telegrams (as items 13..24) and sent telegram by telegram in
// cycles; stopping, the counting after a change, and the list editor's storing and its view of
// a running list.
#pragma once

#include "link/user_data.h"
#include "send/seli.h"
#include "send/seli_encoder.h"
#include "send/send_service.h"

#include <functional>

namespace vdl {

constexpr int kTxListEmpty = 874;
constexpr int kTxListNotSendable = 2380;

class SendLists : public UserDataSource {
public:
    // The lists share the rules of the send telegrams' items and their environment.
    SendLists(SeLiSet& set, SendTelegrams& tel) : set_(&set), tel_(&tel) {}

    // ---- The user data source (the second one, after the send telegrams) ----
    SourceKind Kind() const override { return SourceKind::UserTelegram; }
    ReadyData Ready(const T_ComVar& c, int station) const override;
    bool Build(T_ComVar& c, int station) override;
    ReadyData ReadyOf(const T_ComVar& c, int station, int cls) const override;
    bool BuildOf(T_ComVar& c, int station, int cls) override;

    // ---- Requests and states ----
    // The operator starts list n: the send request with its checks, or text 874 when the list
    // has no active object.
    RequestResult StartList(int n);
    // The send state of list n from the start: idle, the cycle at its first object.
    void ResetListState(int n);
    // ResetListState, then the active objects counted.
    void RecountList(int n);
    void RecountAll();
    // Every list idle (StopAll of the send telegrams).
    void StopAll();
    bool Active(int n) const { return set_->at(n).h.stat != SS_TE_IDLE; }
    bool AnyActive() const;

    // ---- Triggers (lists with active objects) ----
    void FireOnReceive(const T_ComVar& c, const T_Telegramm& te);
    void FireOnFrame(const T_ComVar& c, const T_Telegramm& te);
    void FireEvent(const T_ComVar& c, int mode, uint16_t la);
    void FireMinute(int minuteOfHour);

    // ---- The editor ----
    // The editor opens on list n: its send state is reset; its copy.
    SeLi OpenForEditing(int n);
    // The editor's buffer replaces list n and the list is counted. A change makes the send data
    // unsaved. True when it changed.
    bool StoreEdited(int n, const SeLi& edited);
    // The editor's Send: stores, sends from the cursor row and follows the cycles.
    RequestResult SendFromEditor(int n, const SeLi& edited, int row);
    // The editor closed, or stored with OK: it no longer follows the list.
    void ForgetEditor(int n) { set_->at(n).h.hwnd[0] = 0; }

    // A cycle of list n ended while the editor follows it; false when the editor is gone (the
    // list then stops telling).
    std::function<bool(int n)> cycleEnded;
    // A cycle of list n ended (whoever follows it).
    std::function<void(int n)> cycleDone;

    SeLiSet& Set() { return *set_; }
    const SendEnv& Env() const { return tel_->Env(); }
    SendTelegrams& Telegrams() { return *tel_; }

private:
    ListBuildOptions Options() const;
    // The first pending list of a class, 0 none.
    int Select(const T_ComVar& c, int station, int cls) const;
    bool BuildList(T_ComVar& c, int n);
    void Notify(int n);

    SeLiSet* set_;
    SendTelegrams* tel_;
};

} // namespace vdl
