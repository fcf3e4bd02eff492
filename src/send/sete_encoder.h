// The encoder of the send telegrams: turns a telegram into the frame the transmitter sends.
// It is the inverse of the element catalogue's decoding: header, one information object with
// its element and time tag, or the raw bytes of a pseudo type.
#pragma once

#include "asdu/asdu_layout.h"
#include "link/link_env.h"
#include "send/sete.h"

#include <cstdint>

namespace vdl {

// The largest frame a line carries: the length octet 255 plus six.
constexpr int kMaxFrameLen = 261;

// The octets of the information element of an ordinary type (without object address and
// time tag) written to out (room for 12); their number, or -1 for a type this encoder does not
// build (file transfer types, unknown types, pseudo types).
int EncodeElement(const T_SeTe& t, uint8_t* out);

// The time tag of a telegram at p, 3 or 7 octets: its date (today when 0) and time of day (the
// present time when 0), with the invalid, substituted, summer time and day-of-week bits.
void EncodeTimeTag(const T_SeTe& t, bool cp56, double now, uint8_t* p);

// The counter option: the reading advances by 15 and the sequence number by 1 modulo 32.
void AdvanceCounter(T_SeTe& t);

// The length of the longest frame a pseudo-type telegram makes (of all lines for type 133);
// 0 for ordinary types.
int RawFrameLength(const T_SeTe& t, const RawLines& lines, const AsduLayout& lay);

enum class EncodeResult {
    Built,       // the frame is in se.te
    TooLong,     // the frame would be longer than a frame can be
    NotSendable, // the type is not built by this encoder (file transfer)
};

// Builds the frame of telegram t into se.te of the channel: control field from ueb (completed
// by the transmitter), link address la. Advances the counter when counterOption is on and the
// raw file line (zeile) of type 133; these changes go into t, the stored telegram.
EncodeResult EncodeTelegram(T_ComVar& c, LinkEnv& env, T_SeTe& t, const RawLines& lines,
                            bool counterOption);

} // namespace vdl
