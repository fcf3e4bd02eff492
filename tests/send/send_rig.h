// The send telegrams on the link rig: channel 1 as the controlling station (or another mode),
// the twelve telegrams registered as the first user data source, all on the fake clock.
#pragma once

#include "link/link_rig.h"
#include "send/send_service.h"
#include "send/sete.h"

namespace vdl::test {

struct SendRig : LinkRig {
    T_ProgPar pp{};
    SeTeSet set;
    std::vector<std::string> messages;    // program messages (stat 33)
    std::vector<std::string> textsLogged; // program texts (stat 52)
    SendTelegrams tel{set, SendEnv{env, av, com, pp,
                                   [this](const std::string& m) { messages.push_back(m); },
                                   [this](const std::string& m) { textsLogged.push_back(m); }}};

    explicit SendRig(std::vector<uint16_t> stations = {1}) : LinkRig(std::move(stations)) {
        auto m = StandardLinkTexts();
        for (const auto& kv : StandardCauseTexts()) m.insert(kv);
        m[870] = "offline";
        m[871] = "send without link?";
        m[873] = "switch 9";
        m[1138] = "channel %d has no port";
        m[2330] = "telegram %d: %d octets";
        m[2358] = "telegram %d: type %d raw";
        m[2331] = "telegram %d: type %d";
        texts = MakeTexts(m); // the environment keeps its reference to the table
        InitialSeTeSet(set, texts);
        sources.Add(&tel);
    }

    T_SeTe& T(int n) { return set.at(n); }

    // Telegram n as an interrogation of station la without further triggers.
    T_SeTe& Interrogation(int n, uint16_t la = 1, int anzt = 1, int wzt = 0) {
        T_SeTe& t = T(n);
        t.typ = 100;
        t.inf.l = 20;
        t.urs = 6;
        t.ca = la;
        t.oa = 0;
        t.la = la;
        t.anzt = anzt;
        t.wzt = wzt;
        t.snr = 2;
        t.ueb = 0;
        return t;
    }

    // The user data frames channel 1 wrote among the frames given.
    static std::vector<Bytes> UserData(const std::vector<Bytes>& frames) {
        std::vector<Bytes> out;
        for (const Bytes& f : frames)
            if (f.size() > 6 && f[0] == 0x68) out.push_back(f);
        return out;
    }

    // Plays the far station for n ticks: status, reset and polls are answered as a healthy
    // station would (polls with "no data"), user data is confirmed. Returns the user data
    // frames sent meanwhile.
    std::vector<Bytes> PlayStation(int ticks) {
        std::vector<Bytes> data;
        for (int i = 0; i < ticks; ++i) {
            Tick();
            for (const Bytes& f : TakeSent()) {
                if (f[0] == 0x68) {
                    data.push_back(f);
                    Answer(Fixed(0x00, f[5]));
                    continue;
                }
                const uint8_t fc = f[1] & 0x0F;
                Answer(Fixed(fc == 9 ? 0x0B : (fc == 0 ? 0x00 : 0x09), f[2]));
            }
        }
        return data;
    }
};

} // namespace vdl::test
