// Two channels with their ports, receivers, transmitter and link procedures on a fake clock,
// wired as the program wires them: the test plays the far station with frames given as bytes.
#pragma once

#include "link/channel_init.h"
#include "link/channel_service.h"
#include "link/link_services.h"
#include "link/modem.h"
#include "link/receiver.h"
#include "link/transmitter.h"
#include "support/fake_clock.h"
#include "support/fake_link_platform.h"
#include "support/fake_messages.h"
#include "support/fake_port.h"
#include "support/frames.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace vdl::test {

// A port that also notes the fake clock at every write and every RTS switch.
class TimedPort : public FakePort {
public:
    explicit TimedPort(FakeClock& c) : clock_(c) {}
    void Write(const uint8_t* d, int n) override {
        FakePort::Write(d, n);
        frames.emplace_back(d, d + n);
        writeMs.push_back(clock_.ms);
    }
    void SetRts(bool on) override {
        FakePort::SetRts(on);
        rtsMs.push_back(clock_.ms);
    }
    std::vector<Bytes> frames;     // each block written
    std::vector<uint32_t> writeMs; // the clock at each write
    std::vector<uint32_t> rtsMs;   // the clock at each RTS switch

private:
    FakeClock& clock_;
};

struct LinkRig : RxHooks {
    FakeClock clock;
    FakeLinkPlatform plat{clock};
    FakeMessages msg;
    T_ComVar com[2];
    T_AllgVar av;
    T_AllgPar ap = DefaultAllgPar(); // link address 1 octet, cause 1, common address 2
    TextTable texts = LinkTexts();
    TimedPort port[2] = {TimedPort(clock), TimedPort(clock)};
    ChannelService svc{com, av, ap, texts, clock, plat, msg};
    UserDataSources sources;
    LinkEnv env{svc, av, ap, texts, clock, msg, sources, {}};
    RxEnv rx{clock, av, ap, texts, *this};
    std::vector<T_Telegramm> logged;
    std::vector<uint8_t> states; // every link state entered, in order

    static TextTable LinkTexts() {
        auto m = StandardLinkTexts();
        for (const auto& kv : StandardCauseTexts()) m.insert(kv);
        m[870] = "offline";
        for (int n = 2002; n <= 2007; ++n) m[n] = "modem " + std::to_string(n);
        m[2011] = "RING";
        m[2012] = "ATA";
        return MakeTexts(m);
    }

    // Channel 1 as the controlling station of the given stations, all delays zero.
    explicit LinkRig(std::vector<uint16_t> stations = {1}) {
        av.msjetick = 54;
        InitChannelRecords(com[0], com[1]);
        for (T_ComVar& c : com) {
            T_BetriebsPar& bp = c.bp;
            bp.fkt = FKT_MASTER;
            bp.pro = PRO_UNBALANCED;
            bp.baud = 9600;
            bp.wh = 2;
            bp.qzt = 200;
            bp.zztl = 2;
            bp.zztpoll = 0;
            bp.sverz = bp.tv = bp.tn = 0;
            bp.rts = 0;
            bp.vwe5 = 1;
            bp.abf = 0;
        }
        SetStations(stations);
        com[1].bp.fkt = FKT_MONITOR;
        com[0].bp.cnr = 1;
        com[1].bp.cnr = 2;
        svc.BindPort(0, &port[0]);
        svc.BindPort(1, &port[1]);
        svc.hooks.receiveBlock = [this](T_ComVar& c, const uint8_t* b, int n) {
            ReceiveBlock(c, rx, b, static_cast<size_t>(n));
        };
        svc.hooks.receiveTick = [this](T_ComVar& c) { ReceiveTick(c, rx); };
        svc.hooks.log = [this](T_Telegramm& t) { logged.push_back(t); };
        svc.hooks.continueTransmission = [this](T_ComVar& c) { ContinueSending(c, env); };
        svc.hooks.idleWork = [this](T_ComVar& c) { LinkIdleWork(c, env); };
        svc.hooks.tickCountdowns = [this](T_ComVar& c) { LinkTickCountdowns(c, env); };
        env.hooks.stateChanged = [this](T_ComVar&, uint8_t, uint8_t to) { states.push_back(to); };
    }

    void SetStations(const std::vector<uint16_t>& stations) {
        T_LinkAdr& la = com[0].bp.la;
        la.anz = static_cast<int32_t>(stations.size());
        for (size_t i = 0; i < stations.size(); ++i) la.a[i] = stations[i];
        la.a[stations.size()] = 0xFF;
    }

    // Opens channel 1 (parameters set before).
    void Open() {
        svc.OpenChannel(0);
        av.online = true;
    }

    // RxHooks: what close frame hands on.
    void LinkReaction(T_ComVar& c) override { vdl::LinkReaction(c, env); }
    void ModemLine(T_ComVar& c) override { vdl::ModemLine(c, env); }
    void ModemIdleReload(T_ComVar& c) override { vdl::ModemIdleReload(c, env); }
    void Log(T_ComVar&, const T_Telegramm& te) override { logged.push_back(te); }
    void RunNow(T_ComVar& c) override { plat.PostRunNow(&c == &com[0] ? 0 : 1); }

    // The run-now messages posted so far, handled as the event loop would.
    void RunPending() {
        while (!plat.runNow.empty()) {
            int ch = plat.runNow.front();
            plat.runNow.erase(plat.runNow.begin());
            svc.ChannelTick(ch);
        }
    }
    // One 54 ms timer tick, as the program runs it.
    void Tick() {
        svc.TimerTick();
        ++av.Tick;
        plat.Advance(54);
        RunPending();
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) Tick();
    }
    // The far station answers on channel 1.
    void Answer(const Bytes& b) {
        port[0].Receive(b);
        RunPending();
    }

    // The frames channel 1 has written since the last call.
    std::vector<Bytes> TakeSent() {
        std::vector<Bytes> out(port[0].frames.begin() + static_cast<long>(taken_),
                               port[0].frames.end());
        taken_ = port[0].frames.size();
        return out;
    }
    // Ticks until channel 1 writes something (at most n ticks); the frames written.
    std::vector<Bytes> TickUntilSent(int n = 200) {
        for (int i = 0; i < n && port[0].frames.size() == taken_; ++i) Tick();
        return TakeSent();
    }
    // Records of a kind that were logged.
    std::vector<T_Telegramm> Logged(uint8_t stat) const {
        std::vector<T_Telegramm> out;
        for (const T_Telegramm& t : logged)
            if (t.stat == stat) out.push_back(t);
        return out;
    }

    // Brings the link of station la up: status request answered with status, reset answered
    // with an acknowledgement. The frames it sends are taken.
    void EstablishLink(uint16_t la) {
        std::vector<Bytes> s = TickUntilSent();
        ASSERT_EQ(s.size(), 1u);
        ASSERT_EQ(s[0], Fixed(0x49, la));
        Answer(Fixed(0x0B, la));
        s = TakeSent();
        ASSERT_EQ(s.size(), 1u);
        ASSERT_EQ(s[0], Fixed(0x40, la));
        Answer(Fixed(0x00, la));
    }

    // Plays healthy stations until every configured station's link is up; returns the first
    // poll of the first station after that (not answered yet).
    Bytes BringUp() {
        const T_SendVar& se = com[0].se;
        const int anz = com[0].bp.la.anz;
        const uint16_t all = static_cast<uint16_t>((1u << anz) - 1);
        for (int guard = 0; guard < 200; ++guard) {
            for (const Bytes& f : TickUntilSent()) {
                const uint8_t fc = f.size() > 1 ? f[1] & 0x0F : 0;
                const bool poll = f[0] == 0x10 && (fc == 10 || fc == 11);
                if ((se.uslstat & all) == 0 && poll && f[2] == com[0].bp.la.a[0]) return f;
                const uint8_t answer =
                    f[0] == 0x68 ? 0x00 : (fc == 9 ? 0x0B : (fc == 0 ? 0x00 : 0x09));
                Answer(Fixed(answer, f[0] == 0x68 ? f[5] : f[2]));
            }
        }
        ADD_FAILURE() << "the links did not come up";
        return {};
    }
    // The last record received on channel 1.
    const T_Telegramm& LastReceived() const {
        for (auto it = logged.rbegin(); it != logged.rend(); ++it)
            if (it->ek == EK_RX1) return *it;
        static const T_Telegramm none{};
        return none;
    }

private:
    size_t taken_ = 0;
};

} // namespace vdl::test
