// The user guide: the page of each help context, the Help command with a browser that works,
// one that does not, a guide without the page and no guide at all; and the guide in the
// source tree has every page and anchor the contexts lead to, in both languages.
#include "app/help_pages.h"

#include "app/program.h"
#include "core/format.h"
#include "core/text_table.h"

#include "support/fake_browser.h"
#include "support/fake_messages.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

using namespace vdl;
using namespace vdl::test;
namespace fs = std::filesystem;

namespace {

void Touch(const std::string& f) {
    fs::create_directories(fs::path(f).parent_path());
    std::ofstream(f) << "<html></html>";
}

} // namespace

TEST(HelpPages, EachContextOpensItsPage) {
    struct Row {
        int context;
        const char* page;
        const char* anchor;
    } rows[] = {
        {110, "index.html", ""},
        {140, "views.html", ""},
        {5400, "online.html", "channel"},
        {5500, "settings.html", "general"},
        {5550, "colours.html", "display"},
        {5700, "settings.html", "options"},
        {5800, "colours.html", "types"},
        {5850, "colours.html", "causes"},
        {2300, "settings.html", "linktest"},
        {6100, "filters.html", "display"},
        {6300, "filters.html", "log"},
        {1100, "logs.html", "export"},
        {5900, "online.html", "modem"},
        {4711, "index.html", ""}, // unknown: the start
    };
    for (const Row& r : rows) {
        HelpPage h = HelpPageOf(r.context);
        EXPECT_EQ(h.page, r.page) << r.context;
        EXPECT_EQ(h.anchor, r.anchor) << r.context;
    }
}

TEST(HelpPages, TheGuideHasEveryPageAndAnchorInBothLanguages) {
    for (const char* lang : {"ger", "usa"}) {
        TextTable t;
        ASSERT_TRUE(t.LoadFile(TextsDir() + "VdlText." + lang).ok());
        // Text 1163 names the start page relative to the program; the build copies
        // docs/guide to guide/ beside the programs.
        std::string start = t.tx(kTxHelpFile);
        ASSERT_EQ(start.rfind("guide/", 0), 0u) << start;
        std::string source = SourceDir() + "docs/";
        EXPECT_TRUE(fs::is_regular_file(source + start)) << start;
        for (const HelpPage& h : AllHelpPages()) {
            std::string file = HelpPageFile(source, t, h.page);
            ASSERT_TRUE(fs::is_regular_file(file)) << file;
            if (h.anchor.empty()) continue;
            EXPECT_NE(FileContents(file).find("id=\"" + h.anchor + "\""), std::string::npos)
                << file << "#" << h.anchor;
        }
    }
}

TEST(HelpPages, EveryLinkAndPictureOfTheGuideLeadsSomewhere) {
    // Links between the pages (page.html#anchor), to the other language and to the pictures.
    static const std::regex ref(R"re((?:href|src)="([^"#:]+)(?:#([^"]*))?")re");
    int links = 0;
    for (const char* lang : {"en", "de"}) {
        fs::path dir = fs::path(SourceDir()) / "docs" / "guide" / lang;
        for (const auto& entry : fs::directory_iterator(dir)) {
            std::string page = FileContents(entry.path().string());
            for (auto it = std::sregex_iterator(page.begin(), page.end(), ref);
                 it != std::sregex_iterator(); ++it) {
                fs::path target = dir / (*it)[1].str();
                std::string where = entry.path().filename().string() + " -> " + (*it)[0].str();
                ASSERT_TRUE(fs::is_regular_file(target)) << where;
                if ((*it)[2].matched) {
                    EXPECT_NE(FileContents(target.string()).find("id=\"" + (*it)[2].str() + "\""),
                              std::string::npos)
                        << where;
                }
                ++links;
            }
        }
    }
    EXPECT_GT(links, 100);
}

TEST(HelpPages, HelpHandsThePageToTheBrowserOrSaysWhyNot) {
    std::string dir = TempDir("help-pages");
    fs::copy_file(BinDir() + "VdlText.usa", dir + "VdlText.usa");
    FakeMessages msg;
    Program p(dir, msg);
    ASSERT_TRUE(p.LoadLanguage(1));
    p.av.ProgDir = dir;
    FakeBrowser b;

    // No guide at all: the missing start page is named.
    EXPECT_FALSE(ShowHelp(p, b, HC_CHANNEL));
    ASSERT_EQ(msg.errors.size(), 1u);
    EXPECT_NE(msg.errors[0].find(dir + "guide/en/index.html"), std::string::npos) << msg.errors[0];
    EXPECT_TRUE(b.opened.empty());

    // A guide with only its start page: the start page, without the anchor.
    Touch(dir + "guide/en/index.html");
    EXPECT_TRUE(ShowHelp(p, b, HC_CHANNEL));
    ASSERT_EQ(b.opened.size(), 1u);
    EXPECT_EQ(b.opened[0], std::make_pair(dir + "guide/en/index.html", std::string()));

    // The page of the dialog, at its anchor.
    Touch(dir + "guide/en/online.html");
    EXPECT_TRUE(ShowHelp(p, b, HC_CHANNEL));
    EXPECT_EQ(b.opened.back(),
              std::make_pair(dir + "guide/en/online.html", std::string("channel")));

    // A system without a browser: said, with the page.
    b.works = false;
    EXPECT_FALSE(ShowHelp(p, b, HC_CHANNEL));
    ASSERT_EQ(msg.errors.size(), 2u);
    EXPECT_EQ(msg.errors[1], Format(p.texts.tx(kTxHelpNotShown), {dir + "guide/en/online.html"}));
}
