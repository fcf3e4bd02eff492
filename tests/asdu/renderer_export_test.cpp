// The export line (view format 7) of one object of every type of the catalogue: type, cause,
// common address, object address and the element values, the values stated by hand from the
// bytes of each frame.
#include "asdu/renderer.h"

#include "render_fixture.h"

#include <gtest/gtest.h>

using namespace vdl;
using namespace vdl::test;

namespace {

struct Case {
    int typ;
    uint8_t cot;
    Bytes element;
    std::string values; // each followed by ";"
};

// 8 December 2026, 10:30:10.000 as a CP56Time2a.
const Bytes kCp56{0x10, 0x27, 0x1E, 0x0A, 0x08, 0x0C, 0x1A};
const std::string kCp56Csv = "10000;30;10;8;12;26;";

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<Case> Cases() {
    return {
        {1, 3, {0x81}, "1;128;"},
        {2, 3, {0x00, 0x34, 0x12, 0x05}, "0;0;4660;5;"},
        {3, 3, {0x82}, "2;128;"},
        {4, 3, {0x01, 0x10, 0x27, 0x0A}, "1;0;10000;10;"},
        {5, 3, {0xC1, 0x10}, "193;16;"},
        {6, 3, {0x05, 0x00, 0x00, 0x00, 0x00}, "5;0;0;0;"},
        {7, 3, {0x78, 0x56, 0x34, 0x12, 0x01}, "305419896;1;"},
        {8, 3, {0x78, 0x56, 0x34, 0x12, 0x01, 0xE8, 0x03, 0x3B}, "305419896;1;1000;59;"},
        {9, 3, {0x00, 0xC0, 0x00}, "-16384;0;"},
        {10, 3, {0xFF, 0x7F, 0x80, 0x01, 0x00, 0x00}, "32767;128;1;0;"},
        {11, 3, {0xFE, 0xFF, 0x10}, "-2;16;"},
        {12, 3, {0x01, 0x00, 0x00, 0x00, 0x00, 0x00}, "1;0;0;0;"},
        {13, 3, {0x00, 0x00, 0xC0, 0x3F, 0x00}, "1.5;0;"},
        {14, 3, {0x00, 0x00, 0x20, 0xC1, 0x01, 0x00, 0x00, 0x00}, "-10;1;0;0;"},
        {15, 37, {0x01, 0x00, 0x00, 0x00, 0x05}, "1;5;"},
        {16, 3, {0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00}, "-1;128;0;0;"},
        {17, 3, {0x0A, 0xE8, 0x03, 0x00, 0x00, 0x00}, "2;8;1000;0;0;"},
        {18, 3, {0x21, 0x80, 0x10, 0x00, 0x00, 0x00, 0x00}, "33;128;16;0;0;"},
        {19, 3, {0x09, 0x00, 0x20, 0x00, 0x00, 0x00, 0x00}, "9;0;32;0;0;"},
        {20, 3, {0xFF, 0x00, 0x01, 0x00, 0x00}, "65791;0;"},
        {21, 3, {0x00, 0x40}, "16384;"},
        {30, 3, Cat({0x01}, kCp56), "1;0;" + kCp56Csv},
        {31, 3, Cat({0x02}, kCp56), "2;0;" + kCp56Csv},
        {32, 3, Cat({0x3F, 0x00}, kCp56), "63;0;" + kCp56Csv},
        {33, 3, Cat({0x04, 0x03, 0x02, 0x01, 0x00}, kCp56), "16909060;0;" + kCp56Csv},
        {34, 3, Cat({0x00, 0xC0, 0x00}, kCp56), "-16384;0;" + kCp56Csv},
        {35, 3, Cat({0xE8, 0x03, 0x00}, kCp56), "1000;0;" + kCp56Csv},
        {36, 3, Cat({0x00, 0x00, 0x80, 0x3F, 0x00}, kCp56), "1;0;" + kCp56Csv},
        {37, 3, Cat({0x0A, 0x00, 0x00, 0x00, 0x21}, kCp56), "10;33;" + kCp56Csv},
        {38, 3, Cat({0x01, 0xE8, 0x03}, kCp56), "1;0;1000;" + kCp56Csv},
        {39, 3, Cat({0x01, 0x00, 0x05, 0x00}, kCp56), "1;0;5;" + kCp56Csv},
        {40, 3, Cat({0x02, 0x00, 0x06, 0x00}, kCp56), "2;0;6;" + kCp56Csv},
        {45, 6, {0x81}, "1;128;"},
        {46, 6, {0x82}, "2;128;"},
        {47, 6, {0x01}, "1;0;"},
        {48, 6, {0x00, 0x40, 0x00}, "16384;0;"},
        {49, 6, {0xFF, 0xFF, 0x80}, "-1;128;"},
        {50, 6, {0x00, 0x00, 0x80, 0xBF, 0x00}, "-1;0;"},
        {51, 6, {0x01, 0x00, 0x00, 0x00}, "1;"},
        {58, 6, Cat({0x01}, kCp56), "1;0;" + kCp56Csv},
        {59, 6, Cat({0x02}, kCp56), "2;0;" + kCp56Csv},
        {60, 6, Cat({0x01}, kCp56), "1;0;" + kCp56Csv},
        {61, 6, Cat({0x00, 0x40, 0x00}, kCp56), "16384;0;" + kCp56Csv},
        {62, 6, Cat({0x01, 0x00, 0x00}, kCp56), "1;0;" + kCp56Csv},
        {63, 6, Cat({0x00, 0x00, 0x80, 0x3F, 0x00}, kCp56), "1;0;" + kCp56Csv},
        {64, 6, Cat({0x01, 0x00, 0x00, 0x00}, kCp56), "1;" + kCp56Csv},
        {70, 4, {0x00}, "0;0;"},
        {100, 6, {0x14}, "20;"},
        {101, 6, {0x45}, "69;"},
        {102, 5, {}, ""},
        {103, 6, kCp56, kCp56Csv},
        {104, 6, {0x34, 0x12}, "4660;"},
        {105, 6, {0x01}, "1;"},
        {106, 6, {0xE8, 0x03}, "1000;"},
        {110, 6, {0x00, 0x40, 0x01}, "16384;1;"},
        {111, 6, {0x05, 0x00, 0x02}, "5;2;"},
        {112, 6, {0x00, 0x00, 0xC0, 0x3F, 0x03}, "1.5;3;"},
        {113, 6, {0x01}, "1;0;"},
        {120, 13, {0x02, 0x00, 0x10, 0x27, 0x00, 0x80}, "2;10000;128;"},
        {121, 13, {0x02, 0x00, 0x01, 0x10, 0x27, 0x00, 0x00}, "2;1;10000;0;"},
        {122, 13, {0x02, 0x00, 0x01, 0x01}, "2;1;1;"},
        {123, 13, {0x02, 0x00, 0x01, 0x03, 0x55}, "2;1;3;85;"},
        {124, 13, {0x02, 0x00, 0x01, 0x01}, "2;1;1;"},
        {125, 13, {0x02, 0x00, 0x01, 0x03, 0xAA, 0xBB, 0xCC}, "2;1;3;"},
        {126, 5, Cat({0x03, 0x00, 0x64, 0x00, 0x00, 0x20}, kCp56), "3;100;32;" + kCp56Csv},
        {130, 13, {0x01, 0x02}, ""},
    };
}

} // namespace

TEST(RendererExport, EveryCatalogueTypeCarriesItsHeaderAddressesAndValues) {
    RenderFixture f;
    f.SetFormat(VF_CSV);
    const uint32_t ca = 0x0102, ioa = 0x030201;
    for (const Case& c : Cases()) {
        SCOPED_TRACE("type " + std::to_string(c.typ));
        Bytes objects = Cat(f.Ioa(ioa), c.element);
        T_Telegramm te = f.Rec(f.Frame(c.typ, 1, c.cot, ca, objects));
        auto lines = f.Lines(te);
        ASSERT_FALSE(lines.empty());
        std::vector<std::string> fld = CsvFields(lines[0]);
        ASSERT_GE(fld.size(), 18u) << lines[0];
        EXPECT_EQ(fld[0], "1");
        EXPECT_EQ(fld[1], "0");
        EXPECT_EQ(fld[11], std::to_string(c.typ));
        EXPECT_EQ(fld[12], "1");
        EXPECT_EQ(fld[13], std::to_string(c.cot));
        EXPECT_EQ(fld[15], "258 ");
        EXPECT_EQ(fld[16], "197121");
        std::string values;
        for (size_t i = 18; i < fld.size(); ++i) values += fld[i] + ";";
        EXPECT_EQ(values, c.values) << lines[0];
        // One object, fully decoded: one line; the segment (125) and types that cannot be
        // decoded go on with their bytes in rest rows.
        if (c.typ == 125 || c.typ == 130) {
            ASSERT_EQ(lines.size(), 2u);
            std::vector<std::string> rest = CsvFields(lines[1]);
            EXPECT_EQ(rest.size(), 2u + (c.typ == 130 ? 15u : 18u) + 1u) << lines[1];
            // The segment's data, not its name and length again.
            if (c.typ == 125) {
                EXPECT_EQ(rest.back(), HexDump(c.element.data() + 4, 3));
            }
        } else {
            EXPECT_EQ(lines.size(), 1u) << lines.back();
        }
    }
}

TEST(RendererExport, SequenceOfObjectsCountsAddressesUp) {
    RenderFixture f;
    f.SetFormat(VF_CSV);
    Bytes objects = Cat(f.Ioa(500), {0x00, 0x40, 0x00, 0x00, 0xC0, 0x80, 0x01, 0x00, 0x00});
    auto lines = f.Lines(f.Rec(f.Frame(9, 0x83, 20, 7, objects)));
    ASSERT_EQ(lines.size(), 3u);
    const char* expected[3][3] = {
        {"500", "16384", "0"}, {"501", "-16384", "128"}, {"502", "1", "0"}};
    for (int i = 0; i < 3; ++i) {
        std::vector<std::string> fld = CsvFields(lines[static_cast<size_t>(i)]);
        EXPECT_EQ(fld[1], std::to_string(i));
        EXPECT_EQ(fld[16], expected[i][0]);
        EXPECT_EQ(fld[18], expected[i][1]);
        EXPECT_EQ(fld[19], expected[i][2]);
    }
}

TEST(RendererExport, CutObjectEndsWithItsBytesInARestRow) {
    RenderFixture f;
    f.SetFormat(VF_CSV);
    Bytes objects = Cat(f.Ioa(1), {0x00, 0x00, 0xC0, 0x3F, 0x00});
    objects = Cat(objects, Cat(f.Ioa(2), {0x41, 0x42}));
    T_Telegramm te = f.Rec(f.Frame(13, 2, 3, 7, objects), ST_ASDU_LENGTH);
    auto lines = f.Lines(te);
    ASSERT_EQ(lines.size(), 3u);
    std::vector<std::string> second = CsvFields(lines[1]);
    ASSERT_EQ(second.size(), 18u); // address and name, no values
    EXPECT_EQ(second[16], "2");
    const uint8_t ab[] = {0x41, 0x42};
    EXPECT_EQ(lines[2].substr(lines[2].size() - 71), HexDump(ab, 2) + ";");
}

// Every variable frame of the log is in the export: one without an object to place still gives
// its header row and its bytes; only a display filter that refuses all its objects leaves one
// out.
TEST(RendererExport, OddVariableFramesKeepTheirHeaderRowAndBytes) {
    RenderFixture f;
    f.SetFormat(VF_CSV);
    struct Row {
        std::string name;
        Bytes bytes;
        uint8_t stat;
        std::string typeNo; // field 11 of the header row ("" when no type can be read)
        int from;           // the first byte of the rest rows: 0 the whole record, else the element
    };
    const Row rows[] = {
        {"wrong frame length", {0x68, 0x0A, 0x0B, 0x68}, ST_FRAME_LENGTH, "", 0},
        {"too short for a data unit", Variable(0x08, 1, {0x64, 0x01}), ST_ASDU_LENGTH, "", 0},
        {"no objects", f.Frame(100, 0x00, 6, 1, {}), ST_STRUCT_CAUSE, "100", 0},
        {"no objects, bytes behind", f.Frame(1, 0x00, 3, 1, {0x01, 0x00, 0x00, 0x01}),
         ST_STRUCT_CAUSE, "1", 0},
        {"unknown type", f.Frame(250, 0x01, 3, 1, {0x01, 0x00, 0x00, 0x05}), ST_UNKNOWN_TYPE, "250",
         14},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto lines = f.Lines(f.Rec(r.bytes, r.stat));
        ASSERT_GE(lines.size(), 2u);
        std::vector<std::string> head = CsvFields(lines[0]);
        ASSERT_GE(head.size(), 16u) << lines[0];
        EXPECT_EQ(head[0] + ";" + head[1], "1;0");
        EXPECT_EQ(head[11], r.typeNo) << lines[0];
        // The bytes no object line shows follow in rest rows.
        const int end = static_cast<int>(r.bytes.size()) - (r.from == 0 ? 0 : 2);
        const std::string dump = HexDump(r.bytes.data() + r.from, std::min(16, end - r.from));
        EXPECT_NE(lines[1].find(dump), std::string::npos) << lines[1];
    }
    // A display filter that refuses every object leaves the frame out.
    f.env.objectFilter = [](const T_Telegramm&, int) { return false; };
    EXPECT_TRUE(f.Lines(f.Rec(f.Frame(1, 0x01, 3, 1, {0x01, 0x00, 0x00, 0x01}))).empty());
}

// The one-line view (format 5) and the others give lines for the same frames; a frame without
// objects shows what follows its data unit in a rest row.
TEST(RendererExport, FramesWithoutObjectsAreInEveryViewFormat) {
    RenderFixture f;
    const Bytes none = f.Frame(100, 0x00, 6, 1, {});
    const Bytes behind = f.Frame(100, 0x00, 6, 1, {0xAA, 0xBB});
    const uint8_t ab[] = {0xAA, 0xBB};
    for (int format = VF_FULL; format <= VF_CSV; ++format) {
        SCOPED_TRACE("format " + std::to_string(format));
        f.SetFormat(format);
        EXPECT_FALSE(f.Lines(f.Rec(none, ST_STRUCT_CAUSE)).empty());
        auto lines = f.Lines(f.Rec(behind, ST_ASDU_LENGTH));
        ASSERT_FALSE(lines.empty());
        if (format == VF_LINE) {
            ASSERT_EQ(lines.size(), 2u);
            EXPECT_NE(lines[1].find(HexDump(ab, 2)), std::string::npos) << lines[1];
        }
    }
}
