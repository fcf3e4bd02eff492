// The judgement of a closed frame: format checks (start, length, checksum, end character), the
// header decoding, the control field check and the ASDU grading; the rp57x variants with their
// own length tables. The verdict is the stat code of the record.
#pragma once

#include "asdu/asdu_layout.h"
#include "core/channel.h"
#include "core/settings_records.h"
#include "core/text_table.h"

#include <cstdint>

namespace vdl {

// Checksum of a frame of length octets (with checksum and end character): for a fixed frame
// (first byte 0x10) the sum of bytes 1 .. length-3, otherwise of bytes 4 .. length-3, modulo
// 256. b must hold length bytes. Shared by the receiver and the transmitter.
uint8_t FrameChecksum(const uint8_t* b, int length);

// Judges em.te of the channel after close frame stored its length: sets stat, ta (ASCII mode)
// and the decoded header fields. pfu is the colour table by cause (may be null).
void JudgeFrame(T_ComVar& c, const AsduLayout& lay, const TextTable& texts,
                const T_TypUrsFarben* pfu);

// The checks of a frame of the rp57x variants (function fkt 5 or 6) whose header fields are
// decoded: format, then the length table of its type. Returns the stat code.
uint8_t CheckRp57x(const T_Telegramm& te, int fkt);

// The rp57x length tables: entry of table O (odd control fields, typ 0..15) or E (even control
// fields, typ capped at 81).
int Rp57xTableEntry(bool odd, int typ);

} // namespace vdl
