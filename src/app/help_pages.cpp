#include "app/help_pages.h"

#include "app/main_commands.h"
#include "app/program.h"
#include "core/format.h"

#include <filesystem>

namespace vdl {

namespace {

struct Entry {
    int context;
    const char* page;
    const char* anchor;
};

// One row per help context. The pages are the same in every language of the guide.
constexpr Entry kPages[] = {
    {HC_CONTENTS, "index.html", ""},
    {HC_MAIN_WINDOW, "views.html", ""},
    {HC_CHANNEL, "online.html", "channel"},
    {HC_MODEM, "online.html", "modem"},
    {HC_GENERAL, "settings.html", "general"},
    {HC_OPTIONS, "settings.html", "options"},
    {HC_LINK_TEST, "settings.html", "linktest"},
    {HC_DISPLAY, "colours.html", "display"},
    {HC_TYPE_COLOURS, "colours.html", "types"},
    {HC_CAUSE_COLOURS, "colours.html", "causes"},
    {HC_DISPLAY_FILTER, "filters.html", "display"},
    {HC_LOG_FILTER, "filters.html", "log"},
    {HC_EXPORT, "logs.html", "export"},
    {HC_IMAGE, "views.html", ""},
};

bool IsFile(const std::string& f) {
    std::error_code ec;
    return std::filesystem::is_regular_file(f, ec);
}

} // namespace

HelpPage HelpPageOf(int context) {
    for (const Entry& e : kPages)
        if (e.context == context) return HelpPage{e.page, e.anchor};
    return HelpPage{"index.html", ""};
}

std::vector<HelpPage> AllHelpPages() {
    std::vector<HelpPage> v;
    for (const Entry& e : kPages) v.push_back(HelpPage{e.page, e.anchor});
    return v;
}

std::string HelpPageFile(const std::string& programDir, const TextTable& t,
                         const std::string& page) {
    std::string start = t.tx(kTxHelpFile);
    size_t slash = start.find_last_of("/\\");
    std::string dir = slash == std::string::npos ? std::string() : start.substr(0, slash + 1);
    return programDir + dir + page;
}

bool ShowHelp(Program& p, Browser& browser, int context) {
    HelpPage h = HelpPageOf(context);
    std::string file = HelpPageFile(p.av.ProgDir, p.texts, h.page);
    if (!IsFile(file)) {
        // A guide without this page still has its start.
        file = p.av.ProgDir + p.texts.tx(kTxHelpFile);
        h.anchor.clear();
        if (!IsFile(file)) {
            p.msg.Error(Format(p.texts.tx(kTxFileMissing), {file}));
            return false;
        }
    }
    if (browser.OpenPage(file, h.anchor)) return true;
    p.msg.Error(Format(p.texts.tx(kTxHelpNotShown), {file}));
    return false;
}

} // namespace vdl
