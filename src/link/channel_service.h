// The channel service: binds each channel record to its serial port, opens and closes the
// ports with the channel's parameters, carries received blocks to the frame receiver, watches
// the modem lines, drives the lamps, and runs each channel's tick procedure. It also offers
// the link layer's time helpers (seconds to ticks, the send delay).
//
// A line that is lost while the channel is open (the device hung up or went away) closes the
// channel with a message record and its closing record; the channel is then *lost* and tries
// to open the same device every 2 s until it is back (logging its opening record) or the
// channel is closed.
#pragma once

#include "core/allg_var.h"
#include "core/channel.h"
#include "core/clock.h"
#include "core/messages.h"
#include "core/settings_records.h"
#include "core/text_table.h"
#include "link/link_platform.h"
#include "link/serial_port.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace vdl {

// What the service calls in the other subsystems. A hook that is not set does nothing.
struct ChannelHooks {
    // The frame receiver: one block with em.fehl already set, and the receive time-out check.
    std::function<void(T_ComVar&, const uint8_t*, int)> receiveBlock;
    std::function<void(T_ComVar&)> receiveTick;
    // The log: every event record the service builds goes here.
    std::function<void(T_Telegramm&)> log;
    // The four telegram counters of a channel (received, received with error, sent, sent with
    // error) for the channel-opened and channel-closed records.
    std::function<std::array<int32_t, 4>(const T_ComVar&)> counters;
    // The per-tick work of the later link layer parts (link test countdown, file transfer
    // time-outs, continuing a transmission, modem time-outs, sending without link procedure,
    // the link procedure of the mode, the modem dialogue).
    std::function<void(T_ComVar&)> tickCountdowns;
    std::function<void(T_ComVar&)> continueTransmission;
    std::function<void(T_ComVar&)> idleWork;
    // Shows or hides a lamp (lit = true).
    std::function<void(T_LedVar&, bool)> lamp;
    // Called when closing all channels, to close open transfer and index files.
    std::function<void()> closeFiles;
    // How the user sees a port number (its device); without it, the number.
    std::function<std::string(int)> portName;
    // A channel's line was lost, or is open again.
    std::function<void(int)> lineChanged;
};

// Seconds between two attempts to open a lost line again.
constexpr double kReopenSeconds = 2.0;

class ChannelService {
public:
    ChannelService(T_ComVar (&com)[2], T_AllgVar& av, T_AllgPar& ap, const TextTable& texts,
                   Clock& clock, LinkPlatform& platform, Messages& msg);

    ChannelHooks hooks;

    // Binds channel i (0 or 1) to its port; the port's events then reach this service.
    void BindPort(int i, SerialPort* port);

    void OpenChannel(int i);
    void CloseChannel(int i);
    // Opens both channels; false when recording cannot start (no port at all, or both failed).
    bool OpenAllChannels();
    void CloseAllChannels();

    // Port events.
    void DataAvailable(int i, int count);
    void StatusTrigger(int i, uint16_t handle);
    void LineLost(int i);

    // True while channel i's line is lost and being reopened.
    bool Lost(int i) const { return lost_[i].on; }
    // The name of channel i's port (its device).
    std::string PortName(int i) const;

    // The service's part of the 54 ms timer: lamps, receive time-outs and tick procedures of
    // both channels. Tick counting and the tick length measurement are the program's.
    void TimerTick();
    // The tick procedure of one channel (also run for a run-now message). The per-tick
    // countdowns run only on the timer's tick, so that a busy line does not speed them up.
    void ChannelTick(int i, bool timerTick = false);

    // Seconds (or milliseconds) to ticks: trunc(s * 997 / msjetick) + 1.
    uint32_t SecondsToTicks(double s) const;
    uint32_t MsToTicks(double ms) const { return SecondsToTicks(ms / 1000.0); }
    // A timer field is due when Tick has reached it.
    bool Due(uint32_t tick) const { return av_.Tick >= tick; }
    // Sets u1 for a delay of ms and waits: actively up to 54 ms, by a one-shot timer above.
    void SendDelay(int i, int32_t ms);
    // Waits actively for ms, letting the event loop run.
    void ActiveWait(int32_t ms);

    void LightLamp(T_LedVar& led);
    void LampTick(T_LedVar& led);

    // Builds an event record of this channel (stat, value la); see the record rules.
    T_Telegramm MakeEvent(const T_ComVar& c, uint8_t stat, uint16_t la) const;
    void LogEvent(T_ComVar& c, uint8_t stat, uint16_t la);
    // Logs a program text message (stat 52) for a channel.
    void LogText(T_ComVar& c, const std::string& text);

    // True when the list of ports should be built again (a port could not be opened).
    bool portListStale = false;

private:
    void SetIdleLines(T_ComVar& c, bool logSwitch);
    // Opens channel i's port with its parameters and logs the opening; false when the port
    // cannot be opened (the port says why).
    bool OpenPort(int i, bool retry);
    void TryReopen(int i);
    void LogOpenClose(T_ComVar& c, uint8_t stat);
    std::string FaultText(const SerialPort& p) const;

    struct LostLine {
        bool on = false;
        uint32_t retry = 0; // the tick of the next attempt
    };
    LostLine lost_[2];

    T_ComVar (&com_)[2];
    T_AllgVar& av_;
    T_AllgPar& ap_;
    const TextTable& texts_;
    Clock& clock_;
    LinkPlatform& plat_;
    Messages& msg_;

    // Adapters from a port's events to the channel.
    struct PortEvents : SerialPortEvents {
        ChannelService* svc = nullptr;
        int channel = 0;
        void OnDataAvailable(int count) override { svc->DataAvailable(channel, count); }
        void OnStatusTrigger(uint16_t h) override { svc->StatusTrigger(channel, h); }
        void OnLineLost() override { svc->LineLost(channel); }
    };
    PortEvents events_[2];
    bool runAgain_[2] = {false, false}; // a run was asked for while the channel's was active
};

// The RTS and DTR states of a channel's idle line, by its RTS/DTR mode.
bool IdleRts(uint8_t rtsMode);
bool IdleDtr(uint8_t rtsMode);
// Modes that log every RTS switch as an event.
bool LogsRtsSwitch(uint8_t rtsMode);

} // namespace vdl
