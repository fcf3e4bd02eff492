// The feedback dialog's rules without widgets: the cells of its table, the checks of an entry,
// and copy, cut and paste of rows as text lines of the feedback file.
#pragma once

#include "send/feedback.h"
#include "send/sete_files.h"

#include <string>

namespace vdl {

enum FeedbackColumn {
    RMC_ROW,
    RMC_BCA,
    RMC_BOA,
    RMC_BKEN,
    RMC_CON,
    RMC_RET,
    RMC_TERM,
    RMC_ROA,
    RMC_RTYP,
    RMC_COUNT
};

// The text of a cell of entry i (1..1000); the three flags show nothing (check boxes).
std::string FeedbackCellText(const T_RmTab& t, int i, int col, const SeTeTextEnv& env);
// Takes an entry into a cell: addresses in the structured form, the qualifier -128..127, the
// flags 0 or 1, the return type one of 1..14, 20, 30..36. False, the entry unchanged, otherwise.
bool SetFeedbackCell(T_RmTab& t, int i, int col, const std::string& text, const SeTeTextEnv& env);

// Entries first..last as file rows, CR LF between them.
std::string CopyFeedbackRows(const T_RmTab& t, int first, int last, const SeTeTextEnv& env);
// Removes entries first..last; the following move up, new entries fill the end.
void CutFeedbackRows(T_RmTab& t, int first, int last);
// Inserts the rows the text begins with at entry at (reading stops at the first line that is
// no row); entries pushed beyond 1000 are lost. The number inserted.
int PasteFeedbackRows(T_RmTab& t, int at, const std::string& text, const SeTeTextEnv& env);

} // namespace vdl
