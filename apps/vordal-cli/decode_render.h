// The interpretation output of vordal-cli decode: --format 3..7 prints every closed record as
// the renderer gives it, with the view switches, object texts, language and full scale given
// as options.
#pragma once

#include "app/program.h"
#include "cli.h"
#include "invocation.h"
#include "platform/qt_locale.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace vdl::cli {

// The options of the interpretation output (all take a value).
const std::vector<std::string>& RenderValueOptions();
const char* RenderOptionsUsage();

// The date and number forms of the output: those of the system's locale when it speaks the
// language of the command line (or is the plain C locale and English is asked for), else those
// of the language, so that German output never shows English month names.
QLocale OutputLocale(const Invocation& inv);

// The values of the interpretation options, refused when bad; Setup checks them too.
bool CheckRenderOptions(const Invocation& inv);

class DecodeRenderer {
public:
    // Reads the options into the program (after its texts are loaded): view format and
    // switches, full scale, object texts. False after refusing a bad value.
    bool Setup(const Invocation& inv, Program& p);
    // Lines printed before the first record (format 7: the column line).
    void Begin(std::ostream& out);
    // Prints the lines of one record, numbered in the order of the records.
    void Print(const T_Telegramm& te, std::ostream& out);

private:
    Program* p_ = nullptr;
    std::unique_ptr<QtLocaleFormats> loc_;
    RenderEnv env_;
    T_TeleAusgabe ctx_;
    int32_t nr_ = 0;
};

} // namespace vdl::cli
