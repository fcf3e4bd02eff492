// The receive path without a port, shared by the commands that feed recorded bytes to the
// receiver (decode, log write): the input syntax, the options that set what the receiver reads
// from the settings, and the run that turns the input into closed records.
#pragma once

#include "app/program.h"
#include "cli.h"
#include "core/clock.h"
#include "link/receiver.h"

#include <functional>
#include <istream>
#include <string>
#include <vector>

namespace vdl::cli {

// One line of the input: a block of bytes as the port would deliver it on a channel, or a
// pause longer than the receive time-out (a blank line).
struct DecodeBlock {
    int line = 0;    // line number in the input, from 1
    int channel = 0; // 0 channel 1, 1 channel 2
    bool pause = false;
    std::vector<uint8_t> bytes;
};

// Input syntax: lines of hexadecimal byte pairs ("68 0C 0C 68" or "680C0C68"), an optional
// first token c1 or c2 (lower case; "C1" is the byte 0xC1) naming the receiving channel
// (default c1), "#" starts a comment, a blank line is a pause. Returns false with a message naming
// the line at the first error.
bool ParseDecodeInput(std::istream& in, std::vector<DecodeBlock>& out, std::string& error);

// The options of the receive path, with a value and without.
const std::vector<std::string>& DecodeValueOptions();
const std::vector<std::string>& DecodeFlagOptions();
// Usage lines of those options.
const char* DecodeOptionsUsage();

// The directory of the program texts: --texts DIR, else the program's own.
std::string DecodeTextsDir(const Options& o);

// Sets the general settings and both channels' parameters from the options and initialises the
// channels (function, procedure, link addresses and their length, cause length, address
// structures, vwe5, spikes; --emulate keeps the emulation mode of function and procedure,
// otherwise the channels monitor). Returns false with a message for a bad value.
bool ApplyDecodeOptions(const Options& o, Program& p, std::string& error);

// A millisecond clock that moves only when the run says so.
class DecodeClock : public Clock {
public:
    uint32_t Millis() override { return ms; }
    double LocalNow() override { return start + ms / kMsPerDay; }
    uint32_t ms = 0;
    double start = 0;
};

// Feeds the blocks to the receivers of both channels of p: each block with no line error, a
// pause advances the clock past both receive time-outs and runs the receive tick of both, and
// the end of the input does the same. onRecord gets every record the receiver enters into the
// log, with the number of the input line being processed (0 at the end of the input).
void RunDecode(Program& p, const std::vector<DecodeBlock>& blocks,
               const std::function<void(const T_Telegramm&, int line)>& onRecord);

// Upper-case hexadecimal pairs separated by blanks.
std::string HexBytes(const uint8_t* b, int n);

} // namespace vdl::cli
