// The frame layout derived from the address lengths of the general settings: where the type,
// the common address, the first object address and the first element sit in a variable frame.
#pragma once

#include "core/allg_var.h"
#include "core/settings_records.h"

#include <cstdint>

namespace vdl {

// Computes the derived layout into av and writes the address lengths that follow from the
// address structures back into ap (lgca, lgoa).
void DeriveAsduLayout(T_AllgVar& av, T_AllgPar& ap);

// Everything the frame decoding needs to know about the address settings, in one small value:
// the lengths from the general settings and the positions derived from them. Decoding takes
// this by reference and reaches no global state.
struct AsduLayout {
    int lgla = 1;   // link address octets 0..2
    int mitori = 0; // 1 = cause of transmission with originator address
    int lgca = 2;   // common address octets 1..2
    int lgoa = 3;   // object address octets 1..3
    int TypI = 6;   // index of the type identification
    int CaI = 9;    // index of the first octet of the common address
    int OaI = 11;   // index of the first object address
    int InfI = 14;  // index of the first information element
    uint32_t oamax = 0xFFFFFF;
    uint16_t globla = 0xFF; // broadcast link address
    uint16_t globca = 0xFFFF;
};

// The layout of the lengths in ap (clamped to their ranges, so that a damaged settings record
// cannot move an index outside a frame). DeriveAsduLayout copies the same positions into av.
AsduLayout LayoutOf(const T_AllgPar& ap);

} // namespace vdl
