// The control field check: is the function code permitted in this direction, does the frame
// format fit it, do the frame count bits follow the rules, is the frame addressed to a station
// of this channel. Keeps the frame count state these judgements need, per emulated station
// while emulating and per observed station while monitoring.
#pragma once

#include "asdu/asdu_layout.h"
#include "core/channel.h"
#include "core/text_table.h"

#include <cstdint>

namespace vdl {

// Texts with the permitted function codes: 66 balanced primary, 67 unbalanced primary, 68
// balanced secondary, 69 unbalanced secondary. Digit f belongs to function code f: 0 = not
// permitted, otherwise permitted and its lowest bit is the value FCV must have.
constexpr int kTxFunctionCodes = 66;

// Control field bits.
enum : uint8_t {
    CF_DIR = 0x80, // direction bit (balanced) or reserve
    CF_PRM = 0x40, // primary frame
    CF_FCB = 0x20, // frame count bit (primary) or access demand ACD (secondary)
    CF_FCV = 0x10, // frame count valid (primary) or data flow control DFC (secondary)
    CF_FC = 0x0F,  // function code
};

// Judges the control field of em.te of the channel (a fixed or variable frame that passed the
// format checks) and returns the stat code, 40 when everything fits. Updates usi, usia, usin,
// lke, usfcb of se and ela, efcb, fcb of em as the rules say.
uint8_t CheckControlField(T_ComVar& c, const TextTable& texts, const AsduLayout& lay);

} // namespace vdl
