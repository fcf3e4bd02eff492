#include "asdu/catalogue.h"

#include "support/frames.h"

#include <gtest/gtest.h>

using namespace vdl;
using namespace vdl::test;

namespace {

enum Kind { MON_SEQ, MON_CP24, MON_ONE_CP24, MON_CP56, MON_ONE_CP56, CMD, TCMD, SYS, SYS_CMD };

struct Row {
    int typ;
    int len;
    Kind kind;
};

// The catalogue as the standard's tables give it, written out independently of the code.
const Row kRows[] = {
    {1, 1, MON_SEQ},    {2, 4, MON_CP24},      {3, 1, MON_SEQ},        {4, 4, MON_CP24},
    {5, 2, MON_SEQ},    {6, 5, MON_CP24},      {7, 5, MON_SEQ},        {8, 8, MON_CP24},
    {9, 3, MON_SEQ},    {10, 6, MON_CP24},     {11, 3, MON_SEQ},       {12, 6, MON_CP24},
    {13, 5, MON_SEQ},   {14, 8, MON_CP24},     {15, 5, MON_SEQ},       {16, 8, MON_CP24},
    {17, 6, MON_CP24},  {18, 7, MON_ONE_CP24}, {19, 7, MON_ONE_CP24},  {20, 5, MON_SEQ},
    {21, 2, MON_SEQ},   {30, 8, MON_CP56},     {31, 8, MON_CP56},      {32, 9, MON_CP56},
    {33, 12, MON_CP56}, {34, 10, MON_CP56},    {35, 10, MON_CP56},     {36, 12, MON_CP56},
    {37, 12, MON_CP56}, {38, 10, MON_CP56},    {39, 11, MON_ONE_CP56}, {40, 11, MON_ONE_CP56},
    {45, 1, CMD},       {46, 1, CMD},          {47, 1, CMD},           {48, 3, CMD},
    {49, 3, CMD},       {50, 5, CMD},          {51, 4, CMD},           {58, 8, TCMD},
    {59, 8, TCMD},      {60, 8, TCMD},         {61, 10, TCMD},         {62, 10, TCMD},
    {63, 12, TCMD},     {64, 11, TCMD},        {70, 1, SYS},           {100, 1, SYS_CMD},
    {101, 1, SYS_CMD},  {102, 0, SYS},         {104, 2, SYS_CMD},      {105, 1, SYS_CMD},
    {106, 2, SYS_CMD},  {110, 3, SYS_CMD},     {111, 3, SYS_CMD},      {112, 5, SYS_CMD},
    {113, 1, SYS_CMD},  {120, 6, SYS},         {121, 7, SYS},          {122, 4, SYS},
    {123, 5, SYS},      {124, 4, SYS},         {125, 0, SYS},
};

uint16_t Flags(Kind k) {
    switch (k) {
    case MON_SEQ:
        return CAT_KNOWN | CAT_SEVERAL | CAT_SEQUENCE;
    case MON_CP24:
        return CAT_KNOWN | CAT_SEVERAL | CAT_CP24;
    case MON_ONE_CP24:
        return CAT_KNOWN | CAT_CP24;
    case MON_CP56:
        return CAT_KNOWN | CAT_SEVERAL | CAT_CP56;
    case MON_ONE_CP56:
        return CAT_KNOWN | CAT_CP56;
    case CMD:
        return CAT_KNOWN | CAT_CONTROL;
    case TCMD:
        return CAT_CP56 | CAT_CONTROL;
    case SYS:
        return CAT_KNOWN;
    case SYS_CMD:
        return CAT_KNOWN | CAT_CONTROL;
    }
    return 0;
}

} // namespace

TEST(Catalogue, EveryEntryAsTheStandardGivesIt) {
    uint16_t expected[256] = {};
    for (const Row& r : kRows) expected[r.typ] = static_cast<uint16_t>(Flags(r.kind) | r.len);
    expected[103] = CAT_KNOWN | CAT_CP56 | CAT_CONTROL | 7;
    expected[126] = CAT_KNOWN | CAT_SEQUENCE | 13;
    for (int t = 128; t <= 133; ++t) expected[t] = CAT_KNOWN;
    for (int t = 0; t < 256; ++t) EXPECT_EQ(CatalogueEntry(t), expected[t]) << "type " << t;
    EXPECT_EQ(CatalogueEntry(-1), 0);
    EXPECT_EQ(CatalogueEntry(1000), 0);
}

TEST(Catalogue, DerivedQuestions) {
    // Offered for sending, but not decodable.
    for (int t = 128; t <= 133; ++t) {
        EXPECT_FALSE(IsKnownType(t)) << t;
        EXPECT_NE(TypeListPosition(t), 0) << t;
    }
    // Commands with time tag are recognised on their own, not as known types.
    for (int t = 58; t <= 64; ++t) {
        EXPECT_TRUE(IsTimedCommand(t));
        EXPECT_FALSE(IsKnownType(t));
        EXPECT_TRUE(HasCP56(t));
        EXPECT_TRUE(IsControlType(t));
    }
    EXPECT_FALSE(IsTimedCommand(57));
    EXPECT_FALSE(IsTimedCommand(65));
    EXPECT_TRUE(HasTimeTag(2));
    EXPECT_FALSE(HasCP56(2));
    EXPECT_TRUE(HasCP56(103));
    EXPECT_FALSE(HasTimeTag(126)); // the file directory carries its date inside the element
    EXPECT_FALSE(HasTimeTag(1));
    EXPECT_TRUE(IsControlType(45));
    EXPECT_FALSE(IsControlType(1));
    EXPECT_FALSE(IsKnownType(22));
    EXPECT_EQ(ElementLength(200), 0);
}

TEST(Catalogue, TypeListInAscendingOrder) {
    T_AllgVar av;
    BuildTypeList(av);
    ASSERT_EQ(av.maxpicktyp, 64);
    EXPECT_EQ(av.TypStr[0], 1);
    EXPECT_EQ(av.TypStr[20], 21);
    EXPECT_EQ(av.TypStr[21], 30);
    EXPECT_EQ(av.TypStr[63], 133);
    EXPECT_EQ(av.TypStr[64], 0);
    for (int i = 0; i < av.maxpicktyp; ++i) EXPECT_EQ(TypeListPosition(av.TypStr[i]), i + 1);
    EXPECT_EQ(TypeListPosition(0), 0);
    EXPECT_EQ(TypeListPosition(58), 0);
    EXPECT_EQ(TypeListPosition(45), 33);
}

namespace {

AsduLayout Layout(int lgla, int mitori, int lgca, int lgoa) {
    T_AllgPar ap{};
    ap.lgla = lgla;
    ap.mitori = mitori;
    ap.lgca = lgca;
    ap.lgoa = lgoa;
    return LayoutOf(ap);
}

// A variable frame of the given type with objects of (ioa octets + element octets) each.
T_Telegramm Asdu(int typ, uint8_t struk, const Bytes& objects, const AsduLayout& l) {
    Bytes asdu{static_cast<uint8_t>(typ), struk, 3};
    if (l.mitori) asdu.push_back(0);
    for (int i = 0; i < l.lgca; ++i) asdu.push_back(static_cast<uint8_t>(i + 1));
    asdu.insert(asdu.end(), objects.begin(), objects.end());
    T_Telegramm te = Record(Variable(0x08, 5, asdu, l.lgla));
    te.typ = static_cast<uint8_t>(typ);
    te.struk = struk;
    return te;
}

} // namespace

TEST(ObjectQuality, QualityOctetAndTimeTagBits) {
    AsduLayout l = Layout(1, 0, 2, 3);
    // Single point: SIQ 0xF1 masked by 0xF0.
    EXPECT_EQ(ObjectQuality(Asdu(1, 1, Hex("01 00 00 F1"), l), 1, l), 0xF0);
    // Single point with CP24: IV of the minute octet is bit 15, substituted (bit 6) bit 14.
    EXPECT_EQ(ObjectQuality(Asdu(2, 1, Hex("01 00 00 90 10 27 C5"), l), 1, l), 0xC090);
    // Measured value, normalised: QDS 0x81 (IV, OV) with mask 0xF1.
    EXPECT_EQ(ObjectQuality(Asdu(9, 1, Hex("01 00 00 34 12 8F"), l), 1, l), 0x0081);
    // Counter: only IV of the sequence octet.
    EXPECT_EQ(ObjectQuality(Asdu(15, 1, Hex("01 00 00 01 02 03 04 E5"), l), 1, l), 0x0080);
    // Protection event with elapsed time and CP24: SEP is before the two elapsed-time octets.
    EXPECT_EQ(ObjectQuality(Asdu(17, 1, Hex("01 00 00 FF 10 00 00 00 40"), l), 1, l), 0x40F8);
    // CP56: the minute octet is 4 before the last octet.
    EXPECT_EQ(ObjectQuality(Asdu(30, 1, Hex("01 00 00 01 00 00 80 0A 01 01 1A"), l), 1, l), 0x8000);
    // Normalised value without quality (21) and types above 40.
    EXPECT_EQ(ObjectQuality(Asdu(21, 1, Hex("01 00 00 FF FF"), l), 1, l), 0);
    EXPECT_EQ(ObjectQuality(Asdu(45, 1, Hex("01 00 00 FF"), l), 1, l), 0);
}

TEST(ObjectQuality, SecondObjectWithAndWithoutSequence) {
    AsduLayout l = Layout(1, 0, 2, 2);
    T_Telegramm sq0 = Asdu(1, 2, Hex("01 00 00  02 00 80"), l);
    EXPECT_EQ(ObjectQuality(sq0, 1, l), 0x00);
    EXPECT_EQ(ObjectQuality(sq0, 2, l), 0x80);
    T_Telegramm sq1 = Asdu(1, 0x83, Hex("01 00 00 40 20"), l);
    EXPECT_EQ(ObjectQuality(sq1, 2, l), 0x40);
    EXPECT_EQ(ObjectQuality(sq1, 3, l), 0x20);
    // An object number beyond the frame reads no octet of another record.
    T_Telegramm te = sq1;
    for (int i = te.lg; i < kTeByteLen; ++i) te.b[i] = 0xFF; // left over from longer frames
    EXPECT_EQ(ObjectQuality(te, 20, l), 0);
    EXPECT_EQ(ObjectQuality(te, 1000000, l), 0);
}
