// The frame builder and transmitter: composes control fields (with the faults the link test
// switches inject), builds the fixed frames of the link procedures, completes variable frames,
// runs the send sequence (send delay, RTS lead, transmission, RTS lag), keeps the copy for
// repetition and enters every frame sent into the log. The frame being sent is se.te; exactly
// one is in transmission per channel.
#pragma once

#include "asdu/asdu_layout.h"
#include "link/link_env.h"

#include <cstdint>
#include <string>

namespace vdl {

// The fixed frames of the link procedures, by code (also the answers a station owes, sendq).
enum : uint8_t {
    FF_ACK = 1,             // positive acknowledgement (or 0xE5)
    FF_NACK = 2,            // negative acknowledgement
    FF_STATUS = 3,          // status of link / access demand
    FF_NOT_IMPLEMENTED = 4, // link service not implemented
    FF_RESET = 5,           // reset of remote link
    FF_TEST = 6,            // test function for link
    FF_REQUEST_STATUS = 7,  // request status of link
    FF_REQUEST_DATA = 8,    // request user data, class 1 or 2
    FF_NO_DATA = 10,        // requested data not available (or 0xE5)
};

// The control fields a user telegram can ask for, by index: user data with confirmation,
// user data without reply, user data as a response.
constexpr uint8_t kUserControlFields[3] = {0x53, 0x44, 0x08};

// The raw kinds of a user telegram: what the encoder hands to the transmitter instead of
// structured ASDU fields.
enum : uint8_t {
    RAW_ASDU = 128,      // an ASDU, placed after the link header
    RAW_FIXED = 129,     // control field and link address of a fixed frame
    RAW_FRAME = 130,     // control field, link address and ASDU, sent as stored
    RAW_BYTES = 131,     // any bytes, sent exactly as stored
    RAW_BYTES2 = 132,    // the same
    RAW_ASDU_LINE = 133, // one line of an ASDU file; empty time tags get the current time
};

// The function code part of a control field, and whether a primary control field asks for a
// confirmation or a response (function codes 0..3 and 8..11).
constexpr int FunctionCode(uint8_t cf) {
    return cf & 0x0F;
}
bool ExpectsAnswer(uint8_t cf);

// Composes a control field: cf is the function code with PRM, FCV and any fixed bits; final
// marks a user data frame completed by Finish variable frame. Sets se.fktorg.
uint8_t ComposeControlField(T_ComVar& c, uint8_t cf, bool final);

// The link address of the station addressed now: bp.la entry usi for the unbalanced stations,
// the first entry otherwise.
uint16_t CurrentLinkAddress(const T_ComVar& c);

// Builds the fixed frame or single character of a code into se.te and starts sending it.
void SendFixedFrame(T_ComVar& c, LinkEnv& env, uint8_t code);

// Writes the link header of a variable frame (0x68, room for the lengths, 0x68, control field,
// link address) into te and returns the index of the type octet (TypI).
int BeginVariableFrame(T_Telegramm& te, const AsduLayout& lay, uint8_t cf, uint16_t la);

// The data unit identifier and object address after the link header (at TypI): type, variable
// structure qualifier, cause (with its test and negative bits), the originator when the cause
// has two octets, common address and object address. Returns the index after them, lg set.
struct AsduHead {
    uint8_t typ = 0;
    uint8_t struk = 1;
    uint8_t cot = 0;
    uint8_t org = 0;
    uint32_t ca = 0;
    uint32_t oa = 0;
};
int PutAsduHead(T_Telegramm& te, const AsduLayout& lay, const AsduHead& h);

// Completes a variable frame whose bytes up to the end of the user data are in te.b (lg counts
// them): composes the control field at b[4] (unless compose is false: raw frames), appends the
// checksum and the end character and sets both length octets. False, with te unchanged, when
// the frame would not fit the length octet.
bool FinishVariableFrame(T_ComVar& c, T_Telegramm& te, bool compose = true);

// Builds a raw user telegram of a kind (RAW_*) for the station into se.te: data holds what the
// kind stores, cf the control field asked for (kinds 128 and 133), la the link address of
// their header (-1: the station addressed now). Frames of kinds 128, 130 and 133 are judged
// before sending (stat shows the verdict). False when nothing was built.
bool BuildRawFrame(T_ComVar& c, LinkEnv& env, uint8_t kind, const uint8_t* data, int n, uint8_t cf,
                   int la = -1);

// Runs the send sequence for the frame in se.te (complete, lg set), or continues it: called by
// the tick procedure while a sequence is under way and by the link procedures after they built
// a frame. Does nothing while a step has not ended yet.
void ContinueSending(T_ComVar& c, LinkEnv& env);
// Copies a completed frame into se.te and starts sending it.
void StartSending(T_ComVar& c, LinkEnv& env, const T_Telegramm& frame);
// Sends the repetition copy se.tew again, marked as a repetition (stat 14).
void Repeat(T_ComVar& c, LinkEnv& env);

// A text line (ASCII mode, modem commands): sent at once with CR LF (unless lineEnd is false)
// and logged. While the program is offline message 870 is shown and nothing is sent. False
// when nothing was sent. A frame in its send sequence stays in se.te; the line goes out beside
// it.
bool SendTextLine(T_ComVar& c, LinkEnv& env, const std::string& text, bool lineEnd = true);

// The time a frame of lg bytes occupies the line at a baud rate, in ms:
// round((lg * 11000 + 6000) / baud) + 2.
int32_t TransmissionMs(int lg, int32_t baud);

} // namespace vdl
