// The frame receiver: turns the byte stream of one channel into telegram records. It cuts
// FT 1.2 frames, single characters, text lines and runs of stray bytes, judges each closed
// record and hands it on through the hooks of close frame.
#pragma once

#include "core/allg_var.h"
#include "core/channel.h"
#include "core/clock.h"
#include "core/settings_records.h"
#include "core/text_table.h"

#include <cstddef>
#include <cstdint>

namespace vdl {

// What close frame hands on, in this order. Each later subsystem fills its part; the defaults
// do nothing, so the receiver works (for the command-line decoder and the tests) before they
// exist.
class RxHooks {
public:
    virtual ~RxHooks() = default;
    // A line of the modem dialogue was closed (em.te, lg set). The receiver then returns to
    // between frames.
    virtual void ModemLine(T_ComVar& c) { (void)c; }
    // A correct frame arrived through a modem: reload the idle connection time-out.
    virtual void ModemIdleReload(T_ComVar& c) { (void)c; }
    // Function 3, correct frame: the receive triggers of the send telegrams and lists, called
    // with the frame's link address replaced by the broadcast address.
    virtual void ReceiveTriggers(T_ComVar& c, const T_Telegramm& te) { (void)c, (void)te; }
    // The frame triggers of the send telegrams and lists of this channel.
    virtual void FrameTriggers(T_ComVar& c, const T_Telegramm& te) { (void)c, (void)te; }
    // The link reaction of the emulated station (sim != 0, judged frames only).
    virtual void LinkReaction(T_ComVar& c) { (void)c; }
    // Enter the record into the telegram log (numbered and time-stamped there). Not called for
    // suppressed spikes.
    virtual void Log(T_ComVar& c, const T_Telegramm& te) { (void)c, (void)te; }
    // The link reaction set mlke: the remote station reset this station's link (event 44).
    virtual void RemoteReset(T_ComVar& c, uint16_t la) { (void)c, (void)la; }
    // The channel emulates a station: run its tick procedure now.
    virtual void RunNow(T_ComVar& c) { (void)c; }
};

// What the receiver reaches besides the channel record.
struct RxEnv {
    Clock& clock;           // millisecond clock of the time-outs
    const T_AllgVar& av;    // colour table by cause (grading), broadcast addresses
    const T_AllgPar& ap;    // address lengths
    const TextTable& texts; // permitted function codes and causes
    RxHooks& hooks;
};

// Largest number of bytes a record may hold before the line error code is appended.
constexpr int kMaxRecordBytes = kTeByteLen - 1;

// A block of bytes from the port, with em.fehl already set to its line error code (0 none,
// 5 break). Runs the framer over every byte; afterwards a line error closes what is pending
// and the receive time-out restarts.
void ReceiveBlock(T_ComVar& c, const RxEnv& env, const uint8_t* data, size_t count);

// On every timer tick: a record in progress whose time-out has passed is closed as it is.
void ReceiveTick(T_ComVar& c, const RxEnv& env);

// End-of-frame processing of em.te: judge it, hand it on, return to between frames.
void CloseFrame(T_ComVar& c, const RxEnv& env);

} // namespace vdl
