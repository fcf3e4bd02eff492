// The encoder: element octets per kind, time tags, the counter option, whole frames and the
// pseudo types, against octets written down here from the standard's layouts.
#include "send/sete_encoder.h"

#include "asdu/catalogue.h"
#include "core/clock.h"
#include "send_rig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace vdl;
using namespace vdl::test;

namespace {

T_SeTe Telegram(int typ) {
    T_SeTe t;
    std::memset(&t, 0, sizeof t);
    t.typ = static_cast<uint8_t>(typ);
    t.struk = 1;
    return t;
}

Bytes Element(const T_SeTe& t) {
    uint8_t out[16] = {};
    const int n = EncodeElement(t, out);
    return n < 0 ? Bytes{0xEE} : Bytes(out, out + n);
}

struct ElementRow {
    int typ;
    int32_t inf;
    uint8_t qua;
    int32_t zus;
    uint8_t trans;
    uint8_t quaidx;
    const char* octets;
};

int32_t Bits(float f) {
    int32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

} // namespace

TEST(Encoder, ElementOctetsPerKind) {
    const ElementRow rows[] = {
        {1, 3, 0x00, 0, 0, 0, "01"},        // single point: inf & 1
        {30, 2, 0xF1, 0, 0, 0, "F0"},       // quality above, value bit from inf
        {3, 6, 0x83, 0, 0, 0, "82"},        // double point: inf & 3
        {5, -1, 0x10, 0, 0x80, 0, "FF 10"}, // step position with transient
        {32, 0x41, 0x81, 0, 0, 0, "41 81"}, // with CP56: element before the tag
        {7, 0x12345678, 0x01, 0, 0, 0, "78 56 34 12 01"},
        {51, 0x12345678, 0xFF, 0, 0, 0, "78 56 34 12"}, // bit string command: no quality
        {11, -2, 0x80, 0, 0, 0, "FE FF 80"},
        {15, 1000, 0xFF, 37, 0, 0, "E8 03 00 00 E5"}, // counter: sequence number 37 & 31
        {17, 2, 0x0B, 1000, 0, 0, "0A E8 03"},        // event: ES and elapsed time
        {18, 0x3F, 0x08, 300, 0, 0, "3F 08 2C 01"},
        {21, 0x1234, 0xFF, 0, 0, 0, "34 12"},
        {45, 1, 0x80, 1, 0, 0, "85"},                        // select, short pulse, ON
        {46, 2, 0x00, 3, 0, 0, "0E"},                        // persistent output, ON
        {47, 7, 0x00, 31, 0, 0, "7F"},                       // qualifier keeps bit 7 for S/E
        {48, 0x4000, 0x80, 5, 0, 0, "00 40 85"},             // set-point normalized, select
        {50, Bits(1.5f), 0x00, 200, 0, 0, "00 00 C0 3F 48"}, // qualifier 200 & 0x7F = 72
        {100, 20, 0x00, 0, 0, 0, "14"},
        {101, 5, 0x00, 0, 0, 1, "45"}, // FRZ 1, RQT 5
        {104, 0x55AA, 0x00, 0, 0, 0, "AA 55"},
        {106, 1234, 0x00, 0, 0, 0, "D2 04"},
        {110, 7, 0x40, 65, 0, 0, "07 00 41"}, // kind of parameter 65 & 63
        {112, Bits(-2.0f), 0x80, 2, 0, 0, "00 00 00 C0 82"},
        {103, 99, 0x00, 0, 0, 0, ""}, // only its time tag
    };
    for (const ElementRow& r : rows) {
        T_SeTe t = Telegram(r.typ);
        t.inf.l = r.inf;
        t.qua = r.qua;
        t.zus = r.zus;
        t.trans = r.trans;
        t.quaidx = r.quaidx;
        EXPECT_EQ(ToHex(Element(t)), ToHex(Hex(r.octets))) << "type " << r.typ;
    }
    EXPECT_EQ(Element(Telegram(120)), Bytes{0xEE}); // built by the file transfer
    EXPECT_EQ(Element(Telegram(133)), Bytes{0xEE});
}

TEST(Encoder, ElementAndTimeTagFillTheCatalogueLengthOfEverySendableType) {
    for (int typ = 1; typ < 120; ++typ) {
        if (!IsKnownType(typ)) continue;
        const int tag = HasCP56(typ) ? 7 : (HasTimeTag(typ) ? 3 : 0);
        const int n = static_cast<int>(Element(Telegram(typ)).size());
        EXPECT_EQ(n + tag, ElementLength(typ)) << "type " << typ;
    }
}

TEST(Encoder, TimeTagBitsSurviveAnyDate) {
    const double dates[] = {
        EncodeDateTime(2026, 1, 4, 0, 0, 0, 0),       // a Sunday at midnight
        EncodeDateTime(2024, 2, 29, 23, 59, 59, 999), // leap day, last millisecond
        EncodeDateTime(2099, 12, 31, 12, 30, 1, 500),
        EncodeDateTime(2000, 1, 3, 7, 8, 9, 10), // a Monday
    };
    for (double dt : dates) {
        const DateTimeParts d = DecodeDateTime(dt);
        T_SeTe t = Telegram(30);
        t.datum = std::floor(dt);
        t.zeit = dt - std::floor(dt);
        t.iv = t.gen = t.su = t.wt = 1;
        uint8_t p[7] = {};
        EncodeTimeTag(t, true, 0.0, p);
        EXPECT_EQ(p[0] | p[1] << 8, d.second * 1000 + d.ms);
        EXPECT_EQ(p[2], 0xC0 | d.minute);
        EXPECT_EQ(p[3], 0x80 | d.hour);
        const int dow = static_cast<int>((static_cast<long long>(std::floor(dt)) + 5) % 7) + 1;
        EXPECT_EQ(p[4], dow << 5 | d.day);
        EXPECT_EQ(p[5], d.month);
        EXPECT_EQ(p[6], d.year % 100);
        // The three-octet tag carries the minute octet's bits too; no hour octet is touched.
        uint8_t q[4] = {0, 0, 0, 0x5A};
        EncodeTimeTag(t, false, 0.0, q);
        EXPECT_EQ(q[2], 0xC0 | d.minute);
        EXPECT_EQ(q[3], 0x5A);
    }
    // Date and time 0 are taken at sending: today and now.
    T_SeTe now = Telegram(30);
    uint8_t p[7] = {};
    EncodeTimeTag(now, true, EncodeDateTime(2026, 12, 8, 10, 11, 12, 13), p);
    EXPECT_EQ(ToHex(Bytes(p, p + 7)), "ED 2E 0B 0A 08 0C 1A");
}

TEST(Encoder, FramesOfOrdinaryTypes) {
    SendRig r;
    r.com[0].bp.fkt = FKT_MONITOR; // no link procedure: the control field stays as asked
    r.Open();
    T_SeTe t = Telegram(100);
    t.ueb = 1; // user data without reply: no frame count bit
    t.la = 1;
    t.urs = 6;
    t.tn = 0x80;
    t.ca = 0x0102;
    t.oa = 0x030405;
    t.inf.l = 20;
    ASSERT_EQ(EncodeTelegram(r.com[0], r.env, t, {}, false), EncodeResult::Built);
    const T_Telegramm& te = r.com[0].se.te;
    EXPECT_EQ(Bytes(te.b, te.b + te.lg), Variable(0x44, 1, Hex("64 01 86 02 01 05 04 03 14")));
    EXPECT_EQ(te.stat, ST_OK);

    // Two-octet cause with originator, one-octet common and two-octet object address.
    r.ap.mitori = 1;
    r.ap.lgca = 1;
    r.ap.castr.anz = 1;
    r.ap.castr.fd[0] = 8;
    r.ap.lgoa = 2;
    t.hk = 7;
    t.ca = 5;
    t.oa = 0x0203;
    t.tn = 0;
    ASSERT_EQ(EncodeTelegram(r.com[0], r.env, t, {}, false), EncodeResult::Built);
    EXPECT_EQ(Bytes(te.b, te.b + te.lg), Variable(0x44, 1, Hex("64 01 06 07 05 03 02 14")));
}

TEST(Encoder, CounterOptionAdvancesTheStoredReadingBeforeEachSending) {
    SendRig r;
    r.com[0].bp.fkt = FKT_MONITOR;
    r.Open();
    T_SeTe t = Telegram(15);
    t.ueb = 1;
    t.la = 1;
    t.inf.l = 100;
    t.zus = 31;
    ASSERT_EQ(EncodeTelegram(r.com[0], r.env, t, {}, true), EncodeResult::Built);
    EXPECT_EQ(t.inf.l, 115);
    EXPECT_EQ(t.zus, 0); // 31 + 1 modulo 32
    const T_Telegramm& te = r.com[0].se.te;
    EXPECT_EQ(ToHex(Bytes(te.b + 14, te.b + 19)), "73 00 00 00 00");
    ASSERT_EQ(EncodeTelegram(r.com[0], r.env, t, {}, true), EncodeResult::Built);
    EXPECT_EQ(t.inf.l, 130);
    EXPECT_EQ(t.zus, 1);
    // Without the option the reading stays.
    ASSERT_EQ(EncodeTelegram(r.com[0], r.env, t, {}, false), EncodeResult::Built);
    EXPECT_EQ(t.inf.l, 130);
}

TEST(Encoder, PseudoTypes) {
    SendRig r;
    r.com[0].bp.fkt = FKT_MONITOR;
    r.Open();
    const T_Telegramm& te = r.com[0].se.te;
    auto raw = [&](int typ, const Bytes& b) {
        T_SeTe t = Telegram(typ);
        t.ueb = 1;
        t.la = 1;
        t.lg = static_cast<int32_t>(b.size());
        std::memcpy(t.b, b.data(), b.size());
        return t;
    };
    // 131: the bytes alone, a text line record.
    T_SeTe t = raw(PT_HEX, Hex("41 42 0D 0A"));
    ASSERT_EQ(EncodeTelegram(r.com[0], r.env, t, {}, false), EncodeResult::Built);
    EXPECT_EQ(Bytes(te.b, te.b + te.lg), Hex("41 42 0D 0A"));
    EXPECT_EQ(te.stat, ST_TEXT_LINE);
    // 129: a fixed frame with its checksum; the control field as entered.
    t = raw(PT_FIXED, Hex("49 01"));
    ASSERT_EQ(EncodeTelegram(r.com[0], r.env, t, {}, false), EncodeResult::Built);
    EXPECT_EQ(Bytes(te.b, te.b + te.lg), Fixed(0x49, 1));
    // 130: a variable frame from the control field on, sent as entered and judged.
    t = raw(PT_FRAME, Hex("53 01 64 01 06 01 00 00 00 00 14"));
    ASSERT_EQ(EncodeTelegram(r.com[0], r.env, t, {}, false), EncodeResult::Built);
    EXPECT_EQ(Bytes(te.b, te.b + te.lg), Variable(0x53, 1, Hex("64 01 06 01 00 00 00 00 14")));
    EXPECT_EQ(te.stat, ST_OK);
    EXPECT_EQ(te.typ, 100);
    // 128: the ASDU after the link header of the telegram's link address; a wrong length is
    // judged, and sent all the same.
    t = raw(PT_ASDU, Hex("64 01 06 01 00 00 00 00"));
    t.la = 0xFF;
    ASSERT_EQ(EncodeTelegram(r.com[0], r.env, t, {}, false), EncodeResult::Built);
    EXPECT_EQ(Bytes(te.b, te.b + te.lg), Variable(0x44, 0xFF, Hex("64 01 06 01 00 00 00 00")));
    EXPECT_EQ(te.stat, ST_ASDU_LENGTH);
}

TEST(Encoder, RawFileLinesCycleAndEmptyTimeTagsGetThePresentTime) {
    SendRig r;
    r.com[0].bp.fkt = FKT_MONITOR;
    r.Open();
    const T_Telegramm& te = r.com[0].se.te;
    T_SeTe t = Telegram(PT_FILE);
    t.ueb = 1;
    t.la = 1;
    const RawLines lines = {Hex("01 01 03 01 00 0A 00 00 01"),
                            Hex("02 01 03 01 00 0B 00 00 01 00 00 00")};
    ASSERT_EQ(EncodeTelegram(r.com[0], r.env, t, lines, false), EncodeResult::Built);
    EXPECT_EQ(Bytes(te.b, te.b + te.lg), Variable(0x44, 1, lines[0]));
    ASSERT_EQ(EncodeTelegram(r.com[0], r.env, t, lines, false), EncodeResult::Built);
    // The fake clock stands at 10:00:01.000.
    EXPECT_EQ(Bytes(te.b, te.b + te.lg),
              Variable(0x44, 1, Hex("02 01 03 01 00 0B 00 00 01 E8 03 00")));
    EXPECT_EQ(t.zeile, 2);
    ASSERT_EQ(EncodeTelegram(r.com[0], r.env, t, lines, false), EncodeResult::Built);
    EXPECT_EQ(Bytes(te.b, te.b + te.lg), Variable(0x44, 1, lines[0])); // wrapped
    // Without lines one octet stands in for the ASDU, once.
    t.anzt = 5;
    ASSERT_EQ(EncodeTelegram(r.com[0], r.env, t, {}, false), EncodeResult::Built);
    EXPECT_EQ(Bytes(te.b, te.b + te.lg), Variable(0x44, 1, Hex("20")));
    EXPECT_EQ(t.anzt, 1);
}

TEST(Encoder, RawTelegramsLongerThanAFrameAreRefused) {
    SendRig r;
    r.com[0].bp.fkt = FKT_MONITOR;
    r.Open();
    const AsduLayout lay = LayoutOf(r.ap);
    struct Row {
        int typ, lg, frame;
    } rows[] = {{PT_ASDU, 253, 261},  {PT_ASDU, 254, 262},  {PT_FIXED, 258, 261},
                {PT_FIXED, 259, 262}, {PT_FRAME, 255, 261}, {PT_FRAME, 256, 262},
                {PT_HEX, 261, 261},   {PT_TEXT, 264, 264}};
    for (const Row& row : rows) {
        T_SeTe t = Telegram(row.typ);
        t.lg = row.lg;
        t.b[0] = 0x53;
        EXPECT_EQ(RawFrameLength(t, {}, lay), row.frame) << row.typ << " " << row.lg;
        const T_Telegramm before = r.com[0].se.te;
        const EncodeResult e = EncodeTelegram(r.com[0], r.env, t, {}, false);
        EXPECT_EQ(e, row.frame <= kMaxFrameLen ? EncodeResult::Built : EncodeResult::TooLong)
            << row.typ << " " << row.lg;
        if (e == EncodeResult::TooLong)
            EXPECT_EQ(std::memcmp(&before, &r.com[0].se.te, sizeof before), 0);
        else
            EXPECT_EQ(r.com[0].se.te.lg, row.frame);
    }
}
