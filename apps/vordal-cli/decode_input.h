// The receive path without a port, shared by the commands that feed recorded bytes to the
// receiver (decode, log write): the input syntax, the options that set what the receiver reads
// from the settings, and the run that turns the input into closed records.
#pragma once

#include "app/program.h"
#include "cli.h"
#include "core/clock.h"
#include "invocation.h"
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
    int64_t ms = -1; // receive time in milliseconds from the first midnight; -1 not given
    std::vector<uint8_t> bytes;
};

// Input syntax: lines of hexadecimal byte pairs ("68 0C 0C 68" or "680C0C68"), optionally led
// by a receive time, @SECONDS (with a fraction, from midnight) or @HH:MM:SS.mmm, and then by c1
// or c2 (lower case; "C1" is the byte 0xC1) naming the receiving channel (default c1); "#"
// starts a comment, a blank line is a pause. A time before the one of an earlier line is on
// the next day. Returns false with a message naming the line at the first error.
bool ParseDecodeInput(std::istream& in, std::vector<DecodeBlock>& out, const Invocation& inv,
                      std::string& error);
// True when some block carries a receive time.
bool InputIsTimed(const std::vector<DecodeBlock>& blocks);

// The options of the receive path, with a value and without.
const std::vector<std::string>& DecodeValueOptions();
const std::vector<std::string>& DecodeFlagOptions();
// Usage lines of those options.
const char* DecodeOptionsUsage();

// Sets the general settings and both channels' parameters from the options and initialises the
// channels (function, procedure, link addresses and their length, cause length, address
// structures, vwe5, spikes; --emulate keeps the emulation mode of function and procedure,
// otherwise the channels monitor). Returns false after refusing a bad value.
bool ApplyDecodeOptions(const Invocation& inv, Program& p);
// The program texts of --texts (or the program's) in the language of the command line; false
// after the loader's message.
bool LoadCommandTexts(const Invocation& inv, Program& p);

// A millisecond clock that moves only when the run says so.
class DecodeClock : public Clock {
public:
    uint32_t Millis() override { return static_cast<uint32_t>(ms); }
    double LocalNow() override { return start + static_cast<double>(ms) / kMsPerDay; }
    int64_t ms = 0;
    double start = 0;
};

// Feeds the blocks to the receivers of both channels of p: each block with no line error, a
// pause advances the clock past both receive time-outs and runs the receive tick of both, and
// the end of the input does the same. A block with a receive time moves the clock to it; when
// the line was quiet longer than the receive time-out before, the receivers are ticked at the
// end of the time-out first. onRecord gets every record the receiver enters into the log, with
// the number of the input line being processed (0 at the end of the input); in a timed input
// its time stamp dt is day + the time of the clock, else it stays 0.
void RunDecode(Program& p, const std::vector<DecodeBlock>& blocks,
               const std::function<void(const T_Telegramm&, int line)>& onRecord, double day = 0);

// Upper-case hexadecimal pairs separated by blanks.
std::string HexBytes(const uint8_t* b, int n);

} // namespace vdl::cli
