// Initialisation of a channel record: at start, after the parameter dialog and after the
// address settings change.
#pragma once

#include "core/allg_var.h"
#include "core/channel.h"
#include "core/settings_records.h"

namespace vdl {

void InitChannel(T_ComVar& c, T_AllgVar& av, T_AllgPar& ap);

// Receive time-out in ms for a channel that is not in ASCII mode: 64 characters of 11 bits,
// plus 300 ms.
uint32_t FrameTimeout(int32_t baud);

// The longest record the receiver gathers between frames: the line length in ASCII mode, else
// 16 bytes.
uint16_t LineLimit(const T_BetriebsPar& bp);

// Seconds to ticks of a measured tick length: trunc(s * 997 / msjetick) + 1.
uint32_t TicksOf(double s, int32_t msjetick);

} // namespace vdl
