// The ASDU header of a frame: decoding of the link layer and header fields into the telegram
// record, the grading of the ASDU against the catalogue, and the position and address of each
// information object. All of it is pure: the record and the address settings in, fields out.
#pragma once

#include "asdu/asdu_layout.h"
#include "core/records.h"
#include "core/settings_records.h"
#include "core/text_table.h"

#include <cstdint>

namespace vdl {

// Program texts read by the grading.
constexpr int kTxGeneralCauses = 1009; // causes permitted for every type; 1009 + p per type

// Fills lc, la, typ, struk, urs and ca of te from its bytes, for a channel of function fkt
// (0..4 the frame format of the standard; 5 and 6 the rp57x variants with their own order).
// Bytes beyond the record's length read as 0, so a short frame cannot pick up old bytes.
void DecodeHeader(T_Telegramm& te, int fkt, const AsduLayout& lay);

// Grades the ASDU of a variable frame that passed the frame checks: sets stat to 40, 53, or
// one of 25, 26, 27, 41, 42, 47, and returns true when stat is 40. Other frames are returned
// unchanged (true). The permitted causes come from texts 1009 onward; pfu is the colour table
// by cause (may be null: no colours).
bool CheckAsdu(T_Telegramm& te, const AsduLayout& lay, const TextTable& texts,
               const T_TypUrsFarben* pfu);

// Object address of object n (1-based). A position beyond the frame falls back to the first
// object address.
uint32_t ObjectAddress(int n, const T_Telegramm& te, const AsduLayout& lay);

// Index in b of the information element of object n (1-based). May lie beyond the frame; the
// caller compares it with the frame's length.
int ObjectOffset(int n, const T_Telegramm& te, const AsduLayout& lay);

} // namespace vdl
