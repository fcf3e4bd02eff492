// A channel with its receiver on a fake clock, and hooks that record what close frame hands on.
#pragma once

#include "core/channel.h"
#include "link/channel_init.h"
#include "link/receiver.h"
#include "support/fake_clock.h"
#include "support/frames.h"

#include <vector>

namespace vdl::test {

struct RecordingHooks : RxHooks {
    void ModemLine(T_ComVar& c) override { modemLines.push_back(c.em.te); }
    void ModemIdleReload(T_ComVar&) override { ++idleReloads; }
    void ReceiveTriggers(T_ComVar&, const T_Telegramm& te) override {
        receiveTriggerLa.push_back(te.la);
    }
    void FrameTriggers(T_ComVar&, const T_Telegramm& te) override {
        frameTriggerStat.push_back(te.stat);
    }
    void LinkReaction(T_ComVar& c) override {
        ++linkReactions;
        if (setMlke) c.se.mlke = true;
    }
    void Log(T_ComVar&, const T_Telegramm& te) override { logged.push_back(te); }
    void RemoteReset(T_ComVar&, uint16_t la) override { remoteResets.push_back(la); }
    void RunNow(T_ComVar&) override { ++runNow; }

    std::vector<T_Telegramm> logged;
    std::vector<T_Telegramm> modemLines;
    std::vector<uint16_t> receiveTriggerLa;
    std::vector<uint8_t> frameTriggerStat;
    std::vector<uint16_t> remoteResets;
    int idleReloads = 0;
    int linkReactions = 0;
    int runNow = 0;
    bool setMlke = false;
};

struct Rx {
    FakeClock clock;
    T_AllgVar av;
    T_AllgPar ap = DefaultAllgPar(); // link address 1, cause 1, common address 2, object address 3
    TextTable texts = StandardTexts();
    RecordingHooks hooks;
    T_ComVar c;

    explicit Rx(int fkt = FKT_MONITOR, int pro = PRO_UNBALANCED) {
        T_ComVar other;
        InitChannelRecords(c, other);
        c.bp.fkt = fkt;
        c.bp.pro = pro;
        Init();
    }
    void Init() { InitChannel(c, av, ap); }
    RxEnv Env() { return RxEnv{clock, av, ap, texts, hooks}; }

    void Feed(const Bytes& b, uint16_t fehl = 0) {
        c.em.fehl = fehl;
        ReceiveBlock(c, Env(), b.data(), b.size());
    }
    void Tick() { ReceiveTick(c, Env()); }
    // A pause longer than the receive time-out.
    void Pause() {
        clock.Advance(c.em.TOut + 1);
        Tick();
    }
    std::vector<T_Telegramm>& Log() { return hooks.logged; }
    // The stat of the single record the bytes give (a pause closes what is left).
    uint8_t StatOf(const Bytes& b) {
        size_t before = Log().size();
        Feed(b);
        Pause();
        return Log().size() == before + 1 ? Log().back().stat : 255;
    }
    static Bytes BytesOf(const T_Telegramm& te) { return Bytes(te.b, te.b + te.validLen()); }
};

} // namespace vdl::test
