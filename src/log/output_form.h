// The rules of the output dialog that need no widget: the extension of each output kind, the
// proposed name, and the name taken on OK.
#pragma once

#include <string>

namespace vdl {

class TextTable;

// What the output dialog writes to.
struct OutputTarget {
    int kind = 0;     // OUT_TEXT, OUT_PRINTER, OUT_LOG
    int format = 3;   // the view format
    bool pdf = false; // printer: the PDF file rather than a printer of the system
};

// ".lg1" (text 1200) for a log file, ".pdf" for the PDF file, ".csv" for text in format 7,
// ".txt" otherwise.
std::string OutputExtension(const OutputTarget& t, const TextTable& texts);
// name with its extension replaced (or added).
std::string WithExtension(const std::string& name, const std::string& ext);
// The directory part of a name with its separator ("" without one).
std::string DirectoryOf(const std::string& name);

// The proposal from the last output name dtDruk: a name whose file part is empty or "Log"
// becomes the directory + "Log101_yyyy_mm_dd" + the extension; any other stays as it is.
std::string ProposedOutputName(const std::string& dtDruk, const OutputTarget& t,
                               const TextTable& texts, int year, int month, int day);
// The name taken on OK: a name without directory goes into the directory of the previous one,
// then the proposal rule applies and the extension is set.
std::string OutputNameOnOk(const std::string& typed, const std::string& previous,
                           const OutputTarget& t, const TextTable& texts, int year, int month,
                           int day);

} // namespace vdl
