// vordal-cli decode on channels of the rp57x functions 5 and 6: the receiver cuts and judges
// frames of every known message type, and the full view shows each with its link line and
// message lines, in both languages.
#include "core/text_table.h"
#include "support/frames.h"
#include "support/paths.h"
#include "support/process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace vdl;
using namespace vdl::test;

namespace {

// The lengths of the messages as the line carries them: table O for odd control fields (type
// 0..15), table E for even ones (type 0..81); 0 an unknown type, 255 a variable length.
const int kTableO[16] = {2, 5, 255, 4, 4, 4, 11, 2, 2, 4, 0, 5, 8, 4, 255, 2};
int TableE(int typ) {
    static const int head[45] = {2,   2,   2,   2,   2,  5,  7,  9,  11,  255, 4,   34,
                                 2,   2,   255, 4,   0,  0,  0,  0,  255, 255, 255, 255,
                                 255, 255, 255, 255, 6,  6,  10, 10, 11,  11,  11,  14,
                                 255, 8,   8,   11,  11, 16, 0,  20, 13};
    static const int tail[8] = {6, 6, 10, 10, 8, 8, 11, 11};
    if (typ < 45) return head[typ];
    if (typ < 64) return 0;
    if (typ < 72) return 255;
    if (typ < 80) return tail[typ - 72];
    return 0;
}

struct TypeFrame {
    std::string hex;
    bool odd;
    int typ;
    int messageBytes;
};

// A correct variable frame of the type; function 6 has a station byte except in the date and
// time message (odd type 12). The even type 15 of function 6 has its station within the length
// of the table.
TypeFrame Frame(int fkt, bool odd, int typ, int entry) {
    int n = entry == 255 ? 12 : entry - 2;
    if (!odd && typ == 15) n = entry - 3;
    // The link address stands first, so it takes the place of the control field of a frame
    // without link address.
    Bytes msg{static_cast<uint8_t>((typ << 1) | (odd ? 1 : 0))};
    if (fkt == 6 && !(odd && typ == 12)) msg.push_back(4);
    for (int i = 0; i < n; ++i) msg.push_back(static_cast<uint8_t>(0x11 + 3 * i));
    return {ToHex(Variable(9, 0, msg, 0)), odd, typ, n};
}

std::vector<TypeFrame> AllTypes(int fkt) {
    std::vector<TypeFrame> v;
    for (int t = 0; t < 16; ++t)
        if (kTableO[t] != 0) v.push_back(Frame(fkt, true, t, kTableO[t]));
    for (int t = 0; t < 82; ++t)
        if (TableE(t) != 0 && (t != 15 || fkt == 6)) v.push_back(Frame(fkt, false, t, TableE(t)));
    return v;
}

ProcessResult Decode(const std::string& options, const std::string& input) {
    return RunProgram("LC_ALL=C LANG=C " + Quote(BinDir() + "vordal-cli") + " decode " + options,
                      input);
}

} // namespace

TEST(CliDecodeRp57x, EveryKnownTypeIsFramedAndShownInBothVariants) {
    for (int fkt : {5, 6}) {
        SCOPED_TRACE("function " + std::to_string(fkt));
        std::vector<TypeFrame> frames = AllTypes(fkt);
        std::string input;
        for (const TypeFrame& f : frames) input += f.hex + "\n";
        // A fixed frame of a short telegram.
        input += "10 09 01 0A 16\n";
        // The variants have their own frame geometry: a link address of one octet before the
        // control field and fixed frames of five bytes, whatever the address settings say.
        const std::string fn = " --function " + std::to_string(fkt) + " --link-address-length 2";

        // The receiver cuts every frame whole and judges it correct.
        ProcessResult r = Decode(fn + " --records", input);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        std::vector<std::string> records = OutputLines(r.out);
        ASSERT_EQ(records.size(), frames.size() + 1);
        for (size_t i = 0; i < records.size(); ++i) {
            nlohmann::json j = nlohmann::json::parse(records[i]);
            EXPECT_EQ(j["stat"], 40) << records[i];
            if (i < frames.size()) {
                EXPECT_EQ(j["ta"], 3);
                EXPECT_EQ(j["typ"], frames[i].typ) << records[i];
                EXPECT_EQ(j["la"], 9);
            }
        }

        std::string outs[2];
        for (int lang : {0, 1}) {
            SCOPED_TRACE(lang ? "usa" : "ger");
            TextTable t;
            ASSERT_TRUE(t.LoadFile(TextFilePath(BinDir(), lang)).ok());
            r = Decode(fn + " --format 3 --lang " + (lang ? "usa" : "ger"), input);
            ASSERT_EQ(r.exitCode, 0) << r.err;
            EXPECT_EQ(r.err, "");
            outs[lang] = r.out;
            // Per record: its link line, then its message lines indented by 12 or 16 blanks.
            const std::string link = t.tx(1176) + ":  ";
            const std::string indent(fkt == 5 ? 12 : 16, ' ');
            std::vector<int> messages;
            for (const std::string& l : OutputLines(r.out)) {
                if (l.rfind(link, 0) == 0) {
                    messages.push_back(0);
                } else if (l.rfind(indent, 0) == 0 && l.size() > indent.size() &&
                           l[indent.size()] != ' ') {
                    ASSERT_FALSE(messages.empty()) << l;
                    ++messages.back();
                }
            }
            ASSERT_EQ(messages.size(), frames.size() + 1);
            for (size_t i = 0; i < frames.size(); ++i) {
                const TypeFrame& f = frames[i];
                // Short telegrams carry no message; every other type shows at least one line.
                if (f.messageBytes == 0)
                    EXPECT_EQ(messages[i], 0) << f.hex;
                else
                    EXPECT_GE(messages[i], 1) << f.hex;
                if (!f.odd && f.typ == 11) {
                    EXPECT_EQ(messages[i], 3) << f.hex;
                }
            }
            EXPECT_EQ(messages.back(), 0); // the fixed frame
        }
        EXPECT_NE(outs[0], outs[1]);
    }
}
