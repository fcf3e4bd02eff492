#include "log/output_form.h"

#include "core/format.h"
#include "core/text_table.h"
#include "log/log_output.h"

namespace vdl {

namespace {

size_t NameStart(const std::string& name) {
    size_t s = name.find_last_of("/\\");
    return s == std::string::npos ? 0 : s + 1;
}

// The file part without its extension.
std::string Stem(const std::string& name) {
    std::string f = name.substr(NameStart(name));
    size_t dot = f.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? f : f.substr(0, dot);
}

} // namespace

std::string OutputExtension(const OutputTarget& t, const TextTable& texts) {
    if (t.kind == OUT_LOG) return texts.tx(kTxLogExt);
    if (t.kind == OUT_PRINTER && t.pdf) return ".pdf";
    return t.format == 7 ? ".csv" : ".txt";
}

std::string WithExtension(const std::string& name, const std::string& ext) {
    const size_t start = NameStart(name);
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot <= start) return name + ext;
    return name.substr(0, dot) + ext;
}

std::string DirectoryOf(const std::string& name) {
    return name.substr(0, NameStart(name));
}

std::string ProposedOutputName(const std::string& dtDruk, const OutputTarget& t,
                               const TextTable& texts, int year, int month, int day) {
    const std::string ext = OutputExtension(t, texts);
    if (Stem(dtDruk).empty() || Stem(dtDruk) == "Log")
        return DirectoryOf(dtDruk) + "Log" + Format("101_%d_%0.2d_%0.2d", {year, month, day}) + ext;
    return WithExtension(dtDruk, ext);
}

std::string OutputNameOnOk(const std::string& typed, const std::string& previous,
                           const OutputTarget& t, const TextTable& texts, int year, int month,
                           int day) {
    std::string name = typed;
    if (NameStart(name) == 0) name = DirectoryOf(previous) + name;
    return ProposedOutputName(name, t, texts, year, month, day);
}

} // namespace vdl
