// The information element of an object as the interpretation shows it: values, quality
// descriptors, qualifiers, file transfer parts and time tags, in the words of the program
// texts. The full view uses the long words, every other view the short ones.
#pragma once

#include "core/locale_formats.h"
#include "core/records.h"
#include "core/text_table.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vdl {

struct ElementTextEnv {
    const TextTable& t;
    const LocaleFormats& loc;
    bool full = false;            // the full view (format 3): long words
    char khex = '$';              // hexadecimal prefix
    std::string_view bitz = "01"; // characters of the bits 0 and 1
    int32_t mwvoll = 32767;       // raw value of 100 % of a normalised value
};

// The element of type te.typ starting at b[pos], with its time tag. pos advances over the
// element and its time tag; types without an element text leave it. Octets beyond the record
// read as 0, so a damaged record cannot make it read outside the frame.
std::string ElementText(const T_Telegramm& te, int& pos, const ElementTextEnv& env);

// A CP24Time2a (minutes, seconds and milliseconds) or CP56Time2a (date and time) at pos; pos
// advances over it.
std::string TimeTagText(const T_Telegramm& te, int& pos, bool cp56, const ElementTextEnv& env);

// A quality octet: words for IV, NT, SB, BL and for a reserved bit of resMask, followed by one
// blank when any word was written.
std::string QualityText(uint8_t q, uint8_t resMask, const ElementTextEnv& env);
// The quality descriptor of a measured value: QualityText(q, 0x0E) with the overflow word.
std::string QdsText(uint8_t q, const ElementTextEnv& env);

} // namespace vdl
