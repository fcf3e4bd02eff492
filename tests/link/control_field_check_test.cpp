#include "link/control_field_check.h"

#include "rx_fixture.h"

#include <gtest/gtest.h>

using namespace vdl;
using namespace vdl::test;

namespace {

// Control fields of the controlling station (unbalanced).
constexpr uint8_t kReset = 0x40, kReqStatus = 0x49, kClass2Fcb1 = 0x7B, kClass2Fcb0 = 0x5B,
                  kClass1Fcb1 = 0x7A, kUserDataFcb1 = 0x73, kUserDataFcb0 = 0x53;

// The stat of a fixed frame (fixed = true) or a variable frame with a one-object ASDU.
uint8_t Judge(Rx& rx, uint8_t lc, uint32_t la, bool fixed = true) {
    rx.Feed(fixed ? Fixed(lc, la, rx.ap.lgla)
                  : Variable(lc, la, Hex("64 01 06 01 00 00 00 00 14"), rx.ap.lgla));
    rx.Pause();
    return rx.Log().back().stat;
}

} // namespace

// ---- Permitted function codes, format and addresses ---------------------------------------

TEST(ControlFieldCheck, PermittedCodesComeFromTheTexts) {
    Rx rx;
    EXPECT_EQ(Judge(rx, 0x45, 1), ST_FUNCTION); // primary 5 is reserved
    EXPECT_EQ(Judge(rx, 0x0E, 1), ST_FUNCTION); // secondary 14 too
    EXPECT_EQ(Judge(rx, kReqStatus, 1), ST_OK);
    // Digit 0, a text too short, or another character: not permitted.
    rx.texts.Replace(67, "22012000220");
    EXPECT_EQ(Judge(rx, kReqStatus, 1), ST_OK);
    EXPECT_EQ(Judge(rx, kClass2Fcb1, 1), ST_FUNCTION);
    rx.texts.Replace(67, "220120002x11");
    EXPECT_EQ(Judge(rx, kReqStatus, 1), ST_FUNCTION);
    // Balanced primary frames read text 66: test function for link (2) is permitted there.
    Rx bal(FKT_MONITOR, PRO_BALANCED);
    EXPECT_EQ(Judge(bal, 0x72, 1), ST_OK);
    EXPECT_EQ(Judge(rx, 0x72, 1), ST_FUNCTION);
}

TEST(ControlFieldCheck, FrameCountValidMustFitTheCode) {
    Rx rx;
    EXPECT_EQ(Judge(rx, kReqStatus | 0x10, 1), ST_FCV_WRONG); // status request with FCV
    EXPECT_EQ(Judge(rx, 0x4B, 1), ST_FCV_WRONG);              // class 2 request without FCV
}

TEST(ControlFieldCheck, FormatMustFitTheCode) {
    Rx rx;
    EXPECT_EQ(Judge(rx, kUserDataFcb1, 1, true), ST_FORMAT_FUNCTION); // user data, fixed frame
    EXPECT_EQ(Judge(rx, kReqStatus, 1, false), ST_FORMAT_FUNCTION);   // request, variable frame
    EXPECT_EQ(Judge(rx, 0x08, 1, true), ST_FORMAT_FUNCTION);  // response with user data, fixed
    EXPECT_EQ(Judge(rx, 0x00, 1, false), ST_FORMAT_FUNCTION); // acknowledgement, variable
    EXPECT_EQ(Judge(rx, 0x08, 1, false), ST_OK);
    EXPECT_EQ(Judge(rx, 0x0B, 1, true), ST_OK);
}

TEST(ControlFieldCheck, BroadcastRules) {
    Rx rx;
    EXPECT_EQ(Judge(rx, 0x44, 0xFF, false), ST_OK); // user data without reply to all
    EXPECT_EQ(Judge(rx, kUserDataFcb1, 0xFF, false), ST_FCV_WRONG);
    EXPECT_EQ(Judge(rx, kReset, 0xFF), ST_FCV_WRONG);
    EXPECT_EQ(Judge(rx, 0x48, 0xFF), ST_OK); // access demand to all
    EXPECT_EQ(Judge(rx, 0x48, 1), ST_LINK_ADDRESS);
    EXPECT_EQ(Judge(rx, 0x0B, 0xFF), ST_LINK_ADDRESS); // no station answers as "all"
    // With two link address octets the broadcast address is 0xFFFF; 0xFF is a station.
    rx.ap.lgla = 2;
    rx.Init();
    EXPECT_EQ(Judge(rx, kReset, 0xFF), ST_OK);
    EXPECT_EQ(Judge(rx, kReset, 0xFFFF), ST_FCV_WRONG);
    // Without link address octets there is no broadcast address.
    rx.ap.lgla = 0;
    rx.Init();
    EXPECT_EQ(Judge(rx, kReset, 0), ST_OK);
    EXPECT_EQ(rx.Log().back().la, 0);
}

TEST(ControlFieldCheck, AccessDemandInBalancedMode) {
    Rx bal(FKT_MONITOR, PRO_BALANCED);
    bal.texts.Replace(66, "221120002200000"); // a text that permits 8 in balanced mode
    EXPECT_EQ(Judge(bal, 0x48, 0xFF), ST_FORMAT_FUNCTION);
}

TEST(ControlFieldCheck, DataFlowControlInAResponse) {
    Rx rx;
    EXPECT_EQ(Judge(rx, 0x10, 1), ST_DFC_IN_RESPONSE);
    EXPECT_EQ(Judge(rx, 0x30, 1), ST_DFC_IN_RESPONSE); // with ACD
    EXPECT_EQ(Judge(rx, 0x20, 1), ST_OK);              // ACD alone is fine
}

// ---- Monitoring ---------------------------------------------------------------------------

TEST(ControlFieldMonitor, RepetitionPerObservedStation) {
    Rx rx;
    EXPECT_EQ(Judge(rx, kReset, 1), ST_OK);
    EXPECT_EQ(Judge(rx, kReset, 2), ST_OK);
    // After a reset the first counted frame must carry FCB = 1.
    EXPECT_EQ(Judge(rx, kClass2Fcb0, 1), ST_REPETITION);
    EXPECT_EQ(Judge(rx, kClass2Fcb1, 1), ST_OK);
    // Each station has its own bit.
    EXPECT_EQ(Judge(rx, kClass2Fcb1, 2), ST_OK);
    EXPECT_EQ(Judge(rx, kClass2Fcb1, 1), ST_REPETITION);
    EXPECT_EQ(Judge(rx, kClass1Fcb1, 2), ST_REPETITION);
    EXPECT_EQ(Judge(rx, kUserDataFcb0, 1, false), ST_OK);
    EXPECT_EQ(Judge(rx, kUserDataFcb0, 2, false), ST_OK);
    // Frames without FCV neither count nor disturb the count.
    EXPECT_EQ(Judge(rx, kReqStatus, 1), ST_OK);
    EXPECT_EQ(Judge(rx, kClass2Fcb1, 1), ST_OK);
    // A new reset makes FCB = 1 the expected bit again.
    EXPECT_EQ(Judge(rx, kReset, 1), ST_OK);
    EXPECT_EQ(Judge(rx, kClass2Fcb1, 1), ST_OK);
    EXPECT_EQ(rx.c.em.ela[0], 1);
    EXPECT_EQ(rx.c.em.ela[1], 2);
    EXPECT_EQ(rx.c.em.ela[2], -1);
}

TEST(ControlFieldMonitor, SixteenthStationIsNotTracked) {
    Rx rx;
    for (int la = 1; la <= 16; ++la) EXPECT_EQ(Judge(rx, kReset, static_cast<uint32_t>(la)), ST_OK);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(rx.c.em.ela[i], i + 1);
    // The fifteenth is tracked; the sixteenth is never marked as a repetition.
    EXPECT_EQ(Judge(rx, kClass2Fcb1, 15), ST_OK);
    EXPECT_EQ(Judge(rx, kClass2Fcb1, 15), ST_REPETITION);
    EXPECT_EQ(Judge(rx, kClass2Fcb1, 16), ST_OK);
    EXPECT_EQ(Judge(rx, kClass2Fcb1, 16), ST_OK);
    EXPECT_EQ(Judge(rx, kClass2Fcb0, 16), ST_OK);
}

TEST(ControlFieldMonitor, LinkAddressesAboveInt16) {
    Rx rx;
    rx.ap.lgla = 2;
    rx.Init();
    EXPECT_EQ(Judge(rx, kReset, 0x8001), ST_OK);
    EXPECT_EQ(Judge(rx, kClass2Fcb1, 0x8001), ST_OK);
    EXPECT_EQ(Judge(rx, kClass2Fcb1, 0x8001), ST_REPETITION);
}

TEST(ControlFieldMonitor, BalancedSingleState) {
    Rx rx(FKT_MONITOR, PRO_BALANCED);
    EXPECT_EQ(Judge(rx, 0x73, 1, false), ST_OK); // first counted frame: taken as it is
    EXPECT_EQ(Judge(rx, 0x73, 1, false), ST_REPETITION);
    EXPECT_EQ(Judge(rx, 0x53, 1, false), ST_OK);
    EXPECT_EQ(Judge(rx, 0x53, 1, false), ST_REPETITION);
    EXPECT_EQ(Judge(rx, kReset, 1), ST_OK);
    EXPECT_EQ(Judge(rx, 0x53, 1, false), ST_REPETITION); // after a reset FCB must be 1
    EXPECT_EQ(Judge(rx, 0x73, 1, false), ST_OK);
    // Unbalanced traffic without link address uses the same single state.
    Rx nola;
    nola.ap.lgla = 0;
    nola.Init();
    EXPECT_EQ(Judge(nola, kClass2Fcb1, 0), ST_OK);
    EXPECT_EQ(Judge(nola, kClass2Fcb1, 0), ST_REPETITION);
    EXPECT_EQ(nola.c.em.ela[0], -1);
}

// ---- Emulation ----------------------------------------------------------------------------

TEST(ControlFieldControlledStation, LinkResetFrameCountAndAddresses) {
    Rx rx(FKT_SLAVE);
    rx.c.bp.la.a[0] = 3;
    rx.c.bp.la.a[1] = 5;
    rx.c.bp.la.anz = 2;
    EXPECT_EQ(Judge(rx, 0x0B, 3), ST_UNEXPECTED);     // a secondary frame
    EXPECT_EQ(Judge(rx, kReset, 4), ST_LINK_ADDRESS); // not one of ours
    EXPECT_EQ(rx.c.se.usin, 2);
    EXPECT_EQ(Judge(rx, kClass2Fcb1, 5), ST_FCB_BEFORE_RESET);
    EXPECT_EQ(rx.c.se.usi, 1);
    EXPECT_EQ(Judge(rx, kReqStatus, 3), ST_OK);
    EXPECT_EQ(rx.c.se.usi, 0);
    EXPECT_EQ(rx.c.se.usia, 1);
    // The link reaction resets station 5 (index 1): its bits are cleared.
    rx.c.se.uslstat &= static_cast<uint16_t>(~2u);
    rx.c.se.usfcb &= static_cast<uint16_t>(~2u);
    EXPECT_EQ(Judge(rx, kClass2Fcb0, 5), ST_REPETITION); // the first must carry FCB = 1
    EXPECT_EQ(Judge(rx, kClass2Fcb1, 5), ST_OK);
    EXPECT_EQ(Judge(rx, kClass2Fcb1, 5), ST_REPETITION);
    EXPECT_EQ(Judge(rx, kClass1Fcb1 & ~0x20, 5), ST_OK);
    EXPECT_EQ(Judge(rx, kClass2Fcb1, 3), ST_FCB_BEFORE_RESET); // station 3 still down
}

TEST(ControlFieldControlledStation, BroadcastNeedsOneResetLink) {
    Rx rx(FKT_SLAVE);
    rx.c.bp.la.a[0] = 3;
    rx.c.bp.la.a[1] = 5;
    rx.c.bp.la.anz = 2;
    EXPECT_EQ(Judge(rx, 0x44, 0xFF, false), ST_FCB_BEFORE_RESET);
    rx.c.se.uslstat = static_cast<uint16_t>(~2u); // station index 1 is up
    EXPECT_EQ(Judge(rx, 0x44, 0xFF, false), ST_OK);
    // A reset bit beyond the configured stations does not count.
    rx.c.se.uslstat = static_cast<uint16_t>(~4u);
    EXPECT_EQ(Judge(rx, 0x44, 0xFF, false), ST_FCB_BEFORE_RESET);
}

TEST(ControlFieldControllingStation, PrimaryFramesAndAnswersFromTheWrongStation) {
    Rx rx(FKT_MASTER);
    rx.c.bp.la.a[0] = 3;
    rx.c.bp.la.a[1] = 5;
    rx.c.bp.la.anz = 2;
    EXPECT_EQ(Judge(rx, kReqStatus, 3), ST_PRIMARY_AT_MASTER);
    rx.c.se.usi = 1; // station 5 was asked
    EXPECT_EQ(Judge(rx, 0x0B, 5), ST_OK);
    EXPECT_EQ(Judge(rx, 0x0B, 3), ST_LINK_ADDRESS);
    EXPECT_EQ(Judge(rx, 0x0B, 9), ST_LINK_ADDRESS);
    // The same address configured twice is the same station.
    rx.c.bp.la.a[0] = 5;
    EXPECT_EQ(Judge(rx, 0x0B, 5), ST_OK);
    // A damaged station index does not read outside the list.
    rx.c.se.usi = 1000;
    EXPECT_EQ(Judge(rx, 0x0B, 5), ST_LINK_ADDRESS);
}

TEST(ControlFieldBalanced, ResetRepetitionAndAddress) {
    Rx rx(FKT_SLAVE, PRO_BALANCED);
    EXPECT_EQ(Judge(rx, 0x73, 1, false), ST_FCB_BEFORE_RESET);
    EXPECT_EQ(Judge(rx, kReset, 1), ST_OK);
    EXPECT_EQ(Judge(rx, kReqStatus, 1), ST_OK);
    rx.c.se.lke = 0x10; // the link reaction records the partner's reset
    EXPECT_EQ(Judge(rx, 0x73, 1, false), ST_OK);
    EXPECT_EQ(rx.c.se.lke, 0x73);
    EXPECT_EQ(Judge(rx, 0x73, 1, false), ST_REPETITION);
    EXPECT_EQ(Judge(rx, 0x53, 1, false), ST_OK);
    EXPECT_EQ(Judge(rx, 0x44, 1, false), ST_OK); // no FCV: not counted
    EXPECT_EQ(Judge(rx, 0x73, 2, false), ST_LINK_ADDRESS);
    EXPECT_EQ(Judge(rx, kReset, 2), ST_LINK_ADDRESS);
}
