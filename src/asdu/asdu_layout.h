// The frame layout derived from the address lengths of the general settings: where the type,
// the common address, the first object address and the first element sit in a variable frame.
#pragma once

#include "core/allg_var.h"
#include "core/settings_records.h"

namespace vdl {

// Computes the derived layout into av and writes the address lengths that follow from the
// address structures back into ap (lgca, lgoa).
void DeriveAsduLayout(T_AllgVar& av, T_AllgPar& ap);

} // namespace vdl
