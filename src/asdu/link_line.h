// The link layer part of an FT 1.2 frame as text: the link line of the full and compact views,
// the control field flags, and the short forms of the one-line view and the export.
#pragma once

#include "core/records.h"
#include "core/text_table.h"

#include <cstdint>
#include <string>

namespace vdl {

// The four flag bits of a control field under the names of the procedure (pro 1 unbalanced,
// otherwise balanced): bit 7 and PRM, then FCB/FCV of a primary or ACD/DFC of a secondary frame.
std::string ControlFlags(const TextTable& t, uint8_t lc, int pro);

// The link line of a frame: link address, function code with its name, control field and flags.
// lgla is the link address length, indent the indent of secondary frames.
std::string LinkLineText(const TextTable& t, const T_Telegramm& te, int pro, int lgla, int indent);

// The control field in the one-line view: the link address right-aligned in 0, 3 or 5
// characters (by lgla), " $", two hexadecimal digits and two blanks.
std::string LinkShortForm(const T_Telegramm& te, int lgla);

} // namespace vdl
