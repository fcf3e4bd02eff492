// The information element catalogue: one 16-bit word per type identification with the element
// length and the type's flags. Every part that walks, grades or builds information objects
// asks this table; nothing else repeats a type's length or flags.
#pragma once

#include "asdu/asdu_layout.h"
#include "core/allg_var.h"
#include "core/records.h"

#include <cstdint>

namespace vdl {

// Flag bits of a catalogue word; the low byte is the element length.
enum : uint16_t {
    CAT_LEN_MASK = 0x00FF, // element length in octets (0 = none or variable)
    CAT_KNOWN = 0x8000,    // in the catalogue (decodable up to type 127, offered for sending)
    CAT_SEVERAL = 0x4000,  // with SQ = 0 an ASDU may hold more than one object
    CAT_SEQUENCE = 0x2000, // SQ = 1 is allowed
    CAT_CP24 = 0x1000,     // the element ends with a CP24Time2a
    CAT_CP56 = 0x0800,     // the element ends with a CP56Time2a
    CAT_CONTROL = 0x0400,  // control direction (commands, system commands, parameters)
};

constexpr int kCatalogueTypes = 134; // type identifications 0..133 have a word

// The catalogue word of a type; 0 for types without an entry (and for 134..255).
uint16_t CatalogueEntry(int typ);

// Element length E in octets without the object address, with quality and time tag.
int ElementLength(int typ);
// In the catalogue and decodable: type up to 127 with the catalogue bit.
bool IsKnownType(int typ);
// The element ends with a time tag (CP24Time2a or CP56Time2a).
bool HasTimeTag(int typ);
bool HasCP56(int typ);
bool HasCP24(int typ);
// Commands with time tag (58..64); graded with the causes of 45..51.
bool IsTimedCommand(int typ);
// Control direction type: causes 6 and 8 are commands to be confirmed.
bool IsControlType(int typ);

// Position of a type in the type list (1-based; the catalogue types in ascending order), or 0
// for a type that is not in the catalogue. Selects the type's text of permitted causes.
int TypeListPosition(int typ);
// Number of types in the type list.
int TypeListCount();

// Fills the type list TypStr (the catalogue types in ascending order) and maxpicktyp.
void BuildTypeList(T_AllgVar& av);

// The 16-bit quality word of object n (1-based) for filtering and colouring: bits 0..7 the
// quality octet masked by the type's quality bits, bits 14..15 the IV and substituted bits of
// the time tag's minute octet. Types outside 1..40 have 0. Octets outside the frame read as 0.
uint16_t ObjectQuality(const T_Telegramm& te, int n, const AsduLayout& lay);

} // namespace vdl
