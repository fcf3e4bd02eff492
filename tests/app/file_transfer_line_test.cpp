// File transfer between two programs on a virtual line on the fake clock, each with its own data
// directory: files offered by one end and stored by the other byte for byte, with their
// checksums and index files; the faults a transfer meets on the way.
#include "app/main_commands.h"
#include "link/file_transfer.h"
#include "support/file_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace vdl;
using namespace vdl::test;
namespace fs = std::filesystem;

namespace {

std::string Pattern(size_t n, unsigned seed) {
    std::string s(n, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (char& ch : s) {
        x = x * 1103515245u + 12345u;
        ch = static_cast<char>(x >> 16);
    }
    return s;
}

void Write(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

uint8_t Sum(const std::string& s) {
    unsigned v = 0;
    for (char ch : s) v += static_cast<uint8_t>(ch);
    return static_cast<uint8_t>(v);
}

bool Busy(const T_FileTransfer& ft) {
    return ft.stat != 0 || ft.ende != 0 || ft.typ != 0;
}

// One end offers file nof of its data directory spontaneously; true when the transfer ended on
// both ends (whatever its outcome).
bool Offer(FileLine& l, bool fromA, uint16_t nof) {
    DemoRig& r = fromA ? l.a : l.b;
    T_ComVar& c = fromA ? l.A() : l.B();
    T_ComVar& other = fromA ? l.B() : l.A();
    if (!r.prog.files->Offer(c, nof, c.bp.la.a[0], 1, 0)) return false;
    return l.RunUntil([&] { return !Busy(c.fts) && !Busy(other.fte); });
}

// The qualifiers (element octet 3) of the frames of a type an end sent.
std::vector<int> Qualifiers(const DemoRig& r, uint8_t ek, uint8_t typ, int at = 3) {
    std::vector<int> q;
    for (const T_Telegramm& t : r.logged)
        if (t.ek == ek && t.ta == TA_VARIABLE && t.typ == typ)
            q.push_back(FileLine::Element(r, t, at));
    return q;
}

size_t Events(const DemoRig& r, uint8_t stat) {
    size_t n = 0;
    for (const T_Telegramm& t : r.logged)
        if (t.ta == TA_INTERNAL && t.stat == stat) ++n;
    return n;
}

std::string IndexOf(size_t n) {
    std::string s;
    for (; n >= 5000; n -= 5000) s += "5000\r\n";
    if (n) s += std::to_string(n) + "\r\n";
    return s;
}

} // namespace

// ---- Files of every size, in both directions and both procedures ----

struct SizeRow {
    size_t size;
    bool fromA; // offered by the controlling station (balanced: the station with bit 1)
    bool balanced;
};

class FileSizes : public testing::TestWithParam<SizeRow> {};

TEST_P(FileSizes, ArriveByteIdenticalWithTheirChecksumsAndIndexFile) {
    const SizeRow row = GetParam();
    FileLine l("ft-size-" + std::to_string(row.size) + (row.fromA ? "-a" : "-b") +
               (row.balanced ? "-bal" : ""));
    ASSERT_TRUE(l.Start(row.balanced));
    ASSERT_TRUE(l.RunUntil([&] { return l.Up(); }, 20000));
    const std::string content = Pattern(row.size, static_cast<unsigned>(row.size));
    const std::string from = row.fromA ? l.DataA() : l.DataB();
    const std::string to = row.fromA ? l.DataB() : l.DataA();
    Write(from + "4711", content);
    ASSERT_TRUE(Offer(l, row.fromA, 4711));

    EXPECT_TRUE(FileContents(to + "4711") == content);
    EXPECT_EQ(FileContents(to + "4711.IDX"), IndexOf(row.size));
    const DemoRig& sender = row.fromA ? l.a : l.b;
    const DemoRig& receiver = row.fromA ? l.b : l.a;
    const uint8_t txS = row.fromA ? EK_TX1 : EK_TX2, txR = row.fromA ? EK_TX2 : EK_TX1;
    // The last section frame carries the file's checksum, and the file is acknowledged.
    std::vector<int> last = Qualifiers(sender, txS, FT_LAST);
    std::vector<int> sums = Qualifiers(sender, txS, FT_LAST, 4);
    ASSERT_FALSE(last.empty());
    EXPECT_EQ(last.back(), LSQ_FILE);
    EXPECT_EQ(sums.back(), Sum(content));
    EXPECT_EQ(Qualifiers(receiver, txR, FT_ACK).back(), AFQ_FILE_OK);
    // One section per 5000 octets, each acknowledged positively.
    const size_t sections = (row.size + 4999) / 5000;
    EXPECT_EQ(FileLine::Count(sender, txS, FT_SECTION_READY), sections);
    EXPECT_EQ(Qualifiers(receiver, txR, FT_ACK).size(), sections + 1);
    // Both ends close the ended transfer with event 46 after the last frame.
    EXPECT_EQ(Events(sender, ST_FT_END_TIMEOUT), 1u);
    EXPECT_EQ(Events(receiver, ST_FT_END_TIMEOUT), 1u);
    // No frame of either end was out of place.
    for (const DemoRig* r : {&sender, &receiver})
        for (const T_Telegramm& t : r->logged)
            EXPECT_TRUE(t.stat != ST_FT_NOT_IN_DIR && t.stat != ST_FT_OTHER_FILE &&
                        t.stat != ST_FT_NOT_EXPECTED)
                << "record " << t.nr << " stat " << int(t.stat);
}

INSTANTIATE_TEST_SUITE_P(Line, FileSizes,
                         testing::Values(SizeRow{0, true, false}, SizeRow{1, true, false},
                                         SizeRow{5000, true, false}, SizeRow{5001, true, false},
                                         SizeRow{100000, true, false}, SizeRow{5001, false, false},
                                         SizeRow{100000, false, false}, SizeRow{5001, true, true},
                                         SizeRow{12000, false, true}));

// ---- Checksums and refused sections ----

TEST(FileTransferFaults, AWrongSectionChecksumIsAnsweredNegativelyAndTheSectionSentAgain) {
    // Switch 10 on the sender (wrong checksums sent) or on the receiver (right ones refused).
    for (bool onSender : {true, false}) {
        FileLine l(std::string("ft-sum-") + (onSender ? "s" : "r"));
        ASSERT_TRUE(l.Start());
        ASSERT_TRUE(l.RunUntil([&] { return l.Up(); }, 20000));
        const std::string content = Pattern(12000, 3);
        Write(l.DataA() + "12", content);
        T_ComVar& sw = onSender ? l.A() : l.B();
        sw.se.lt[LT_FILE_CHECKSUM] = true;
        ASSERT_TRUE(l.a.prog.files->Offer(l.A(), 12, 1, 1, 0));
        ASSERT_TRUE(l.RunUntil([&] { return !Qualifiers(l.b, EK_TX2, FT_ACK).empty(); }));
        sw.se.lt[LT_FILE_CHECKSUM] = false;
        ASSERT_TRUE(l.RunUntil([&] { return !Busy(l.A().fts) && !Busy(l.B().fte); }));
        EXPECT_EQ(Qualifiers(l.b, EK_TX2, FT_ACK),
                  (std::vector<int>{AFQ_SECTION_CHECKSUM, AFQ_SECTION_OK, AFQ_SECTION_OK,
                                    AFQ_SECTION_OK, AFQ_FILE_OK}))
            << "on sender " << onSender;
        // Section 1 offered twice, then 2 and 3.
        EXPECT_EQ(Qualifiers(l.a, EK_TX1, FT_SECTION_READY, 2), (std::vector<int>{1, 1, 2, 3}));
        EXPECT_TRUE(FileContents(l.DataB() + "12") == content);
        EXPECT_EQ(FileContents(l.DataB() + "12.IDX"), "5000\r\n5000\r\n2000\r\n");
    }
}

TEST(FileTransferFaults, ARefusedSectionIsSkippedAndCountedInTheIndexFile) {
    FileLine l("ft-refuse");
    ASSERT_TRUE(l.Start());
    ASSERT_TRUE(l.RunUntil([&] { return l.Up(); }, 20000));
    const std::string content = Pattern(12000, 4);
    Write(l.DataA() + "5", content);
    l.B().se.lt[LT_REFUSE_SECTIONS] = true;
    ASSERT_TRUE(l.a.prog.files->Offer(l.A(), 5, 1, 1, 0));
    ASSERT_TRUE(l.RunUntil([&] {
        return !Qualifiers(l.b, EK_TX2, FT_CALL).empty() &&
               Qualifiers(l.b, EK_TX2, FT_CALL).back() == SCQ_DEACTIVATE_SECTION;
    }));
    l.B().se.lt[LT_REFUSE_SECTIONS] = false;
    ASSERT_TRUE(l.RunUntil([&] { return !Busy(l.A().fts) && !Busy(l.B().fte); }));
    EXPECT_EQ(Qualifiers(l.b, EK_TX2, FT_CALL),
              (std::vector<int>{SCQ_REQUEST_FILE, SCQ_DEACTIVATE_SECTION, SCQ_REQUEST_SECTION,
                                SCQ_REQUEST_SECTION}));
    // The refused section left its place empty; the others arrived.
    const std::string got = FileContents(l.DataB() + "5");
    ASSERT_EQ(got.size(), content.size());
    EXPECT_TRUE(got.substr(0, 5000) == std::string(5000, '\0'));
    EXPECT_TRUE(got.substr(5000) == content.substr(5000));
    EXPECT_EQ(FileContents(l.DataB() + "5.IDX"), "5000\r\n5000\r\n2000\r\n");
    EXPECT_EQ(Qualifiers(l.a, EK_TX1, FT_SEGMENT, 2).front(), 2) << "no segment of section 1";
}

// ---- Frames that do not belong to the transfer ----

namespace {

// A frame of the partner as the emulated station receives it, put into em.te.
void Inject(FileLine& l, uint8_t typ, std::vector<uint8_t> element, uint16_t ca, uint32_t oa) {
    T_ComVar& c = l.B();
    const AsduLayout lay = LayoutOf(l.b.prog.ap);
    T_Telegramm te{};
    te.stat = ST_OK;
    te.ta = TA_VARIABLE;
    te.la = c.fte.la;
    te.b[lay.TypI] = typ;
    te.b[lay.TypI + 1] = 1;
    te.b[lay.TypI + 2] = kCotFileTransfer;
    for (int k = 0; k < lay.lgca; ++k) te.b[lay.CaI + k] = static_cast<uint8_t>(ca >> (8 * k));
    for (int k = 0; k < lay.lgoa; ++k) te.b[lay.OaI + k] = static_cast<uint8_t>(oa >> (8 * k));
    std::copy(element.begin(), element.end(), te.b + lay.InfI);
    te.lg = static_cast<int16_t>(lay.InfI + element.size() + 2);
    c.em.te = te;
    l.b.prog.files->Receive(c);
}

} // namespace

TEST(FileTransferFaults, SegmentsOfAnotherFileOrBeyondTheAnnouncedLengthAreNotWritten) {
    FileLine l("ft-other");
    ASSERT_TRUE(l.Start());
    ASSERT_TRUE(l.RunUntil([&] { return l.Up(); }, 20000));
    const std::string content = Pattern(3, 5);
    Write(l.DataA() + "300", content);
    ASSERT_TRUE(l.a.prog.files->Offer(l.A(), 300, 1, 1, 0));
    T_FileTransfer& fe = l.B().fte;
    ASSERT_TRUE(l.RunUntil([&] { return fe.stat == FTE_SECTION; }));
    const std::string path = l.DataB() + "300";
    const std::vector<uint8_t> bytes = {0xAA, 0xBB, 0xCC};
    struct Row {
        const char* what;
        uint16_t nof, ca;
        uint32_t oa;
        uint8_t nos, los;
        uint8_t stat; // of the received telegram
    } rows[] = {
        {"another NOF", 301, 1, 0, 1, 3, ST_FT_OTHER_FILE},
        {"another common address", 300, 2, 0, 1, 3, ST_FT_OTHER_FILE},
        {"another object address", 300, 1, 7, 1, 3, ST_FT_OTHER_FILE},
        {"another section", 300, 1, 0, 2, 3, ST_FT_OTHER_FILE},
        {"more octets than the frame holds", 300, 1, 0, 1, 9, ST_OK},
        {"beyond the announced length", 300, 1, 0, 1, 3, ST_OK},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& r = rows[i];
        if (i == std::size(rows) - 1) fe.ofssect = fe.ofs = 1; // 1 + 3 octets > 3
        std::vector<uint8_t> e = {static_cast<uint8_t>(r.nof), static_cast<uint8_t>(r.nof >> 8),
                                  r.nos, r.los};
        e.insert(e.end(), bytes.begin(), bytes.end());
        const int32_t ofs = fe.ofs;
        Inject(l, FT_SEGMENT, e, r.ca, r.oa);
        EXPECT_EQ(l.B().em.te.stat, r.stat) << r.what;
        EXPECT_EQ(fe.ofs, ofs) << r.what;
        EXPECT_EQ(fs::file_size(path), 3u) << r.what;
        EXPECT_EQ(FileContents(path).find('\xAA'), std::string::npos) << r.what;
    }
    // The section with a refused segment is acknowledged negatively and sent again.
    fe.ofssect = fe.ofs = 0;
    ASSERT_TRUE(l.RunUntil([&] { return !Busy(l.A().fts) && !Busy(fe); }));
    EXPECT_EQ(Qualifiers(l.b, EK_TX2, FT_ACK),
              (std::vector<int>{AFQ_SECTION_LENGTH, AFQ_SECTION_OK, AFQ_FILE_OK}));
    EXPECT_TRUE(FileContents(path) == content);
}

// ---- A file that cannot be stored ----

namespace {

// The system's files, except that writing stops at a limit (a full disk) or creating fails.
struct FullDisk : StdTransferFiles {
    int64_t limit = 0;
    bool createFails = false;
    struct File : TransferFile {
        std::shared_ptr<TransferFile> f;
        int64_t limit;
        int64_t written = 0;
        int Read(int64_t pos, uint8_t* d, int n) override { return f->Read(pos, d, n); }
        bool Write(int64_t pos, const uint8_t* d, int n) override {
            written += n;
            return written <= limit && f->Write(pos, d, n);
        }
        bool Truncate(int64_t size) override { return f->Truncate(size); }
        int Error() const override { return 28; }
    };
    std::shared_ptr<TransferFile> Create(const std::string& path, int& error) override {
        if (createFails) {
            error = 13;
            return nullptr;
        }
        auto f = std::make_shared<File>();
        f->f = StdTransferFiles::Create(path, error);
        f->limit = path.size() > 4 && path.ends_with(".IDX") ? 1 << 20 : limit;
        return f->f ? f : nullptr;
    }
};

} // namespace

TEST(FileTransferFaults, AFileThatCannotBeStoredIsAnsweredWith19AndNothingIsLeft) {
    struct Row {
        const char* what;
        bool createFails;
        int64_t limit;
        size_t size;
    } rows[] = {
        {"cannot be created", true, 0, 100},
        {"cannot take its length", false, 0, 100},
        {"fills the disk on the way", false, 3000, 6000},
    };
    for (const Row& row : rows) {
        FileLine l(std::string("ft-full-") + std::to_string(&row - rows));
        auto disk = std::make_unique<FullDisk>();
        disk->createFails = row.createFails;
        disk->limit = row.limit;
        l.b.prog.transferFiles = std::move(disk);
        ASSERT_TRUE(l.Start());
        ASSERT_TRUE(l.RunUntil([&] { return l.Up(); }, 20000));
        Write(l.DataA() + "8", Pattern(row.size, 8));
        ASSERT_TRUE(l.a.prog.files->Offer(l.A(), 8, 1, 1, 0));
        ASSERT_TRUE(l.RunUntil([&] { return !Busy(l.A().fts) && !Busy(l.B().fte); })) << row.what;
        EXPECT_EQ(Qualifiers(l.b, EK_TX2, FT_CALL).back(), SCQ_CANNOT_STORE) << row.what;
        EXPECT_FALSE(fs::exists(l.DataB() + "8")) << row.what;
        EXPECT_FALSE(fs::exists(l.DataB() + "8.IDX")) << row.what;
        EXPECT_EQ(Events(l.b, ST_MESSAGE_IO), 1u) << row.what;
        // The offer ended there: no last section, no acknowledge of the file.
        for (int q : Qualifiers(l.a, EK_TX1, FT_LAST)) EXPECT_EQ(q, LSQ_SECTION) << row.what;
        EXPECT_EQ(FileLine::Count(l.b, EK_TX2, FT_ACK), 0u) << row.what;
    }
}

// ---- A partner that falls silent ----

TEST(FileTransferFaults, ASilentPartnerEndsTheTransferByTheTimeOutWithTheOctetsReceived) {
    FileLine l("ft-silent");
    ASSERT_TRUE(l.Start());
    ASSERT_TRUE(l.RunUntil([&] { return l.Up(); }, 20000));
    const std::string content = Pattern(100000, 9);
    Write(l.DataA() + "9", content);
    ASSERT_TRUE(l.a.prog.files->Offer(l.A(), 9, 1, 1, 0));
    T_FileTransfer& fe = l.B().fte;
    ASSERT_TRUE(l.RunUntil([&] { return fe.ofs > 12000 && fe.ofssect > 0; }));
    l.CutA();
    const int32_t received = fe.ofs;
    // The time-out is 3 s (56 ticks and 2 more); nothing ends before it.
    l.Ticks(50);
    EXPECT_EQ(Events(l.b, ST_FT_CANNOT_OPEN), 0u);
    EXPECT_EQ(fe.stat, FTE_SECTION);
    l.Ticks(12);
    EXPECT_EQ(Events(l.b, ST_FT_CANNOT_OPEN), 1u) << "event 39";
    EXPECT_EQ(Events(l.b, ST_FT_END_TIMEOUT), 0u);
    EXPECT_FALSE(Busy(fe));
    const std::string got = FileContents(l.DataB() + "9");
    EXPECT_EQ(got.size(), static_cast<size_t>(received));
    EXPECT_TRUE(got == content.substr(0, got.size()));
}

// ---- Spontaneous offers refused ----

TEST(FileTransferOffer, RefusedWithAnEventWhenItRunsCannotBeOpenedOrIsTooLong) {
    FileLine l("ft-offer");
    ASSERT_TRUE(l.Start());
    Write(l.DataA() + "1", "x");
    std::ofstream(l.DataA() + "3").close();
    fs::resize_file(l.DataA() + "3", 0x1000000);
    FileTransfer& ft = *l.a.prog.files;
    EXPECT_FALSE(ft.Offer(l.A(), 404, 1, 1, 0));
    EXPECT_EQ(Events(l.a, ST_FT_CANNOT_OPEN), 1u);
    EXPECT_EQ(Events(l.a, ST_MESSAGE_IO), 1u) << "text 2079 with the file's name";
    EXPECT_FALSE(ft.Offer(l.A(), 3, 1, 1, 0));
    EXPECT_EQ(Events(l.a, ST_FT_TOO_LONG), 1u);
    EXPECT_TRUE(ft.Offer(l.A(), 1, 1, 1, 0));
    EXPECT_FALSE(ft.Offer(l.A(), 1, 1, 1, 0));
    EXPECT_EQ(Events(l.a, ST_FT_OFFER_RUNS), 1u);
}

// ---- Directories and the automatic file call ----

TEST(FileTransferDirectory, AReceivedDirectoryCallsItsFilesOneAfterTheOther) {
    FileLine l("ft-dir");
    ASSERT_TRUE(l.Start());
    ASSERT_TRUE(l.RunUntil([&] { return l.Up(); }, 20000));
    const std::string seven = Pattern(300, 7), nine = Pattern(6000, 9);
    Write(l.DataA() + "7", seven);
    Write(l.DataA() + "9", nine);
    Write(l.DataA() + "notes.txt", "not a file of the directory");
    FileTransfer& ft = *l.a.prog.files;
    ft.Rescan();
    ASSERT_EQ(ft.dirs.hv.anz, 2);
    l.b.prog.ap.Abruf = 1;
    // The directory goes out as send telegram 1 of type 126.
    T_SeTe& t = l.a.prog.sete.at(1);
    t.anzt = 1;
    t.typ = FT_DIRECTORY;
    t.urs = kCotSpontaneous;
    t.ca = 1;
    t.oa = 100;
    t.vzidx = 0;
    ASSERT_EQ(l.a.prog.send->RequestSend(1), RequestResult::Requested)
        << (l.a.msg.questions.empty() ? "" : l.a.msg.questions.back());
    ASSERT_TRUE(l.RunUntil([&] {
        return ft.dirs.hv.anz == 0 && !Busy(l.A().fts) && !Busy(l.B().fte) &&
               l.B().cf.stat == CF_IDLE && l.A().vz.stat == 0;
    }));
    EXPECT_TRUE(FileContents(l.DataB() + "7") == seven);
    EXPECT_TRUE(FileContents(l.DataB() + "9") == nine);
    // The directory sent three times: both files, then the one left, then none; the last
    // entry marked as the last file of the directory.
    std::vector<const T_Telegramm*> dirs;
    for (const T_Telegramm& r : l.a.logged)
        if (r.ek == EK_TX1 && r.ta == TA_VARIABLE && r.typ == FT_DIRECTORY) dirs.push_back(&r);
    ASSERT_EQ(dirs.size(), 3u);
    EXPECT_EQ(dirs[0]->struk, 0x82);
    EXPECT_EQ(dirs[1]->struk, 0x81);
    EXPECT_EQ(dirs[2]->struk, 0x80);
    EXPECT_EQ(FileLine::Element(l.a, *dirs[0], 13), 9) << "second entry: NOF 9";
    EXPECT_EQ(FileLine::Element(l.a, *dirs[0], 5), 0);
    EXPECT_EQ(FileLine::Element(l.a, *dirs[0], 13 + 5), 0x20);
    EXPECT_EQ(FileLine::Element(l.a, *dirs[1], 0), 9);
    EXPECT_EQ(dirs[1]->urs & 0x3F, kCotSpontaneous);
    // Each file was selected with the object address of its entry.
    std::vector<int> calls;
    for (const T_Telegramm& r : l.b.logged)
        if (r.ek == EK_TX2 && r.typ == FT_CALL && FileLine::Element(l.b, r, 3) == SCQ_SELECT_FILE)
            calls.push_back(FileLine::Element(l.b, r, 0));
    EXPECT_EQ(calls, (std::vector<int>{7, 9}));
}

TEST(FileTransferDirectory, AFileNotInTheDirectoryIsMarked35AndNotAnswered) {
    FileLine l("ft-dir-35");
    ASSERT_TRUE(l.Start());
    ASSERT_TRUE(l.RunUntil([&] { return l.Up(); }, 20000));
    Write(l.DataA() + "7", "seven");
    FileTransfer& ft = *l.a.prog.files;
    ft.Rescan();
    l.b.prog.ap.Abruf = 1;
    T_SeTe& t = l.a.prog.sete.at(1);
    t.anzt = 1;
    t.typ = FT_DIRECTORY;
    t.urs = kCotSpontaneous;
    t.ca = 1;
    ASSERT_EQ(l.a.prog.send->RequestSend(1), RequestResult::Requested)
        << (l.a.msg.questions.empty() ? "" : l.a.msg.questions.back());
    ASSERT_TRUE(l.RunUntil([&] { return l.B().cf.stat == CF_COUNTING; }));
    RemoveEntry(ft.dirs.hv, 0); // gone before the partner calls it
    ASSERT_TRUE(l.RunUntil([&] { return l.B().cf.stat == CF_IDLE; }));
    l.Ticks(20);
    size_t marked = 0;
    for (const T_Telegramm& r : l.a.logged)
        if (r.ek == EK_RX1 && r.typ == FT_CALL && r.stat == ST_FT_NOT_IN_DIR) ++marked;
    EXPECT_EQ(marked, 1u);
    EXPECT_EQ(FileLine::Count(l.a, EK_TX1, FT_FILE_READY), 0u);
    EXPECT_FALSE(fs::exists(l.DataB() + "7"));
}

TEST(FileTransferIndex, TheOfferedFilesIndexFileGivesTheSectionLengths) {
    struct Row {
        const char* index;
        std::vector<int> sections;
    } rows[] = {
        {"3000\r\n7000\r\n", {3000, 7000, 2000}},
        {"3000\nx\n0\n99999999\n", {3000, 5000, 4000}}, // lines that are no length: 5000
        {"20000\r\n", {12000}},                         // never more than the rest
    };
    for (const Row& row : rows) {
        FileLine l(std::string("ft-idx-") + std::to_string(&row - rows));
        ASSERT_TRUE(l.Start());
        ASSERT_TRUE(l.RunUntil([&] { return l.Up(); }, 20000));
        const std::string content = Pattern(12000, 11);
        Write(l.DataA() + "21", content);
        Write(l.DataA() + "21.IDX", row.index);
        ASSERT_TRUE(Offer(l, true, 21));
        std::vector<int> lengths;
        for (const T_Telegramm& t : l.a.logged)
            if (t.ek == EK_TX1 && t.typ == FT_SECTION_READY)
                lengths.push_back(FileLine::Element(l.a, t, 3) | FileLine::Element(l.a, t, 4) << 8 |
                                  FileLine::Element(l.a, t, 5) << 16);
        EXPECT_EQ(lengths, row.sections) << row.index;
        EXPECT_TRUE(FileContents(l.DataB() + "21") == content);
        std::string written;
        for (int n : row.sections) written += std::to_string(n) + "\r\n";
        EXPECT_EQ(FileContents(l.DataB() + "21.IDX"), written);
    }
}

TEST(FileTransferDirectory, ACalledSubDirectoryIsSentAndItsFileCalledFromIt) {
    FileLine l("ft-subdir");
    ASSERT_TRUE(l.Start());
    ASSERT_TRUE(l.RunUntil([&] { return l.Up(); }, 20000));
    fs::create_directories(l.DataA() + "200");
    fs::create_directories(l.DataA() + "300");
    const std::string three = Pattern(700, 3);
    Write(l.DataA() + "200/3", three);
    Write(l.DataA() + "300/4", "four");
    Write(l.DataA() + "3", "the main directory's file 3");
    l.a.prog.ap.DatAdr = 1;
    l.a.prog.files->Rescan();
    l.b.prog.ap.Abruf = 1;
    // The controlled station calls the directory of object address 200 (cause 5), as class 1
    // data.
    T_SeTe& t = l.b.prog.sete.at(1);
    t.anzt = 1;
    t.typ = FT_CALL;
    t.urs = kCotRequest;
    t.snr = 4;
    t.klasse = 1;
    t.ca = 1;
    t.oa = 200;
    t.inf.l = 0;
    ASSERT_EQ(l.b.prog.send->RequestSend(1), RequestResult::Requested);
    ASSERT_TRUE(l.RunUntil([&] { return fs::exists(l.DataB() + "3") && !Busy(l.B().fte); }));
    EXPECT_TRUE(FileContents(l.DataB() + "3") == three) << "the sub-directory's file";
    const T_Telegramm* dir = nullptr;
    for (const T_Telegramm& r : l.a.logged)
        if (r.ek == EK_TX1 && r.typ == FT_DIRECTORY && !dir) dir = &r;
    ASSERT_NE(dir, nullptr);
    EXPECT_EQ(dir->urs & 0x3F, kCotRequest);
    EXPECT_EQ(dir->struk, 0x81);
    EXPECT_EQ(FileLine::Element(l.a, *dir, 0), 3);
}

TEST(FileTransferOffer, ASendTelegramOfType120OffersItsFile) {
    FileLine l("ft-sete-120");
    ASSERT_TRUE(l.Start());
    ASSERT_TRUE(l.RunUntil([&] { return l.Up(); }, 20000));
    const std::string content = Pattern(5001, 31);
    Write(l.DataA() + "31", content);
    T_SeTe& t = l.a.prog.sete.at(1);
    t.anzt = 1;
    t.typ = FT_FILE_READY;
    t.urs = kCotFileTransfer;
    t.ca = 1;
    // A name that is no name of file is refused with event 39 and the telegram is idle again.
    t.datei.set("notes.txt");
    ASSERT_EQ(l.a.prog.send->RequestSend(1), RequestResult::Requested);
    l.Ticks(5);
    EXPECT_EQ(Events(l.a, ST_FT_CANNOT_OPEN), 1u);
    EXPECT_EQ(t.stat, 0);
    t.datei.set("31");
    ASSERT_EQ(l.a.prog.send->RequestSend(1), RequestResult::Requested);
    ASSERT_TRUE(l.RunUntil([&] { return t.stat == 0 && !Busy(l.A().fts) && !Busy(l.B().fte); }));
    EXPECT_TRUE(FileContents(l.DataB() + "31") == content);
    EXPECT_EQ(FileLine::Count(l.a, EK_TX1, FT_FILE_READY), 1u);
}

TEST(FileTransferOffer, AFileBeingOfferedIsNotOverwrittenByOneReceivedInTheSameProgram) {
    // Both channels of one program on one line share the data directory: channel 1 offers,
    // channel 2 would store the file onto the one being read.
    DemoRig r(TempDir("ft-same-dir"), BinDir());
    ASSERT_TRUE(r.Start());
    r.prog.av.DataDir = r.dir;
    const std::string content = Pattern(6000, 12);
    Write(r.dir + "12", content);
    r.GoFast();
    ASSERT_TRUE(r.prog.files->Offer(r.prog.com[0], 12, r.prog.com[0].bp.la.a[0], 1, 0));
    // (The demonstration rig's line is always busy: it gives no timer ticks.)
    for (int i = 0; i < 200000 && (r.prog.com[0].fts.stat != FTS_IDLE || r.prog.com[1].fte.typ);
         ++i)
        r.Step();
    EXPECT_EQ(r.prog.com[0].fts.stat, FTS_IDLE) << "the offer ended";
    EXPECT_EQ(Qualifiers(r, EK_TX2, FT_CALL), (std::vector<int>{SCQ_CANNOT_STORE}));
    EXPECT_TRUE(FileContents(r.dir + "12") == content);
}
