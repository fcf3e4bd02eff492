// The rules of the send telegram editor that need no widget: the type and cause lists, value
// entry, display and stepping, the quality check boxes, the byte field of the raw types, the
// controls a type shows, the station selector and the comparison before storing. The send list
// editor shares the value rules.
#pragma once

#include "core/allg_var.h"
#include "core/channel.h"
#include "core/text_table.h"
#include "link/link_env.h"
#include "send/sete.h"

#include <string>
#include <vector>

namespace vdl {

// ---- Type and cause lists ----

// An entry of the type list: a blank, the type, "=" and its name; a pseudo type's name alone.
std::string TypeListEntry(int typ, const TextTable& texts);
// The name an entry gives a telegram (the part after "=").
std::string NameOfEntry(const std::string& entry);
// The permitted causes of a pick index (text 1010 + index), in list order.
std::vector<int> CausesOfPick(int pick, const TextTable& texts);
// A cause as the lists show it: a blank, its number, "=" and its name.
std::string CauseListEntry(int cause, const TextTable& texts);
// The entry chosen for urs: urs when listed, else cause 3 when listed, else the first (-1 for
// an empty list).
int CauseSelection(const std::vector<int>& causes, int urs);

// ---- What a type shows ----

struct TypeControls {
    int pick = -1;
    ElementKind kind = ELK_PLAIN;
    ValueFormat value;       // the value field's format and range
    bool valueField = false; // text 730 + pick index is not empty
    std::string valueLabel;  // text 729 followed by that text
    bool timeTag = false;    // time of day, milliseconds, IV and substituted bit
    bool cp56 = false;       // also date, summer time and day of week
    bool transient = false;  // types 5, 6, 32
    bool elapsed = false;    // types 17..19, 38..40: the elapsed-time field
    bool directory = false;  // type 126: the directory entry list
    bool bytes = false;      // 128..132: the byte field
    bool file = false;       // 133: a "*.csv" file of the data directory
    bool addresses = true;   // cause, originator, common and object address
    QualityBoxes quality;
    // The number field zus: its label text (0 none) and range.
    int zusLabel = 0;
    int zusMax = 0;
};
TypeControls ControlsOf(int typ, const TextTable& texts);

// A type change brings the value into the new type's range: a float whose magnitude is below
// 1e-20, above 1e20 or not a number becomes 10000.0; an integer outside a range becomes 1, or
// 10000 when the upper bound exceeds 20000.
void BringValueIntoRange(T_SeTe& t, const ValueFormat& f);

// ---- Value entry, display, stepping ----

// Reads a value field. False (value 0) for a text that is not a value of the format or lies
// outside its range.
bool ParseValue(const std::string& text, const ValueFormat& f, const TextTable& texts, T_Var& out);
// The value as the field shows it: a blank, the value, "=" and its name for the point and
// command types; else by the format.
std::string ValueText(int typ, T_Var v, const ValueFormat& f, const TextTable& texts);
// The arrow keys: +1 or -1 (1.0 for a float); an integer with a range wraps around it.
T_Var StepValue(T_Var v, const ValueFormat& f, int delta);

// ---- Quality check boxes ----

std::vector<bool> QualityChecks(const QualityBoxes& q, uint8_t qua);
// The quality octet of the boxes: each checked box sets its bit, all others are 0.
uint8_t QuaOfChecks(const QualityBoxes& q, const std::vector<bool>& checks);

// ---- Byte field of the raw types 128..132 ----

// Type 132: every character one byte (its low 8 bits). Otherwise hexadecimal: digits are
// paired, any other character closes a pending single digit, text in double quotes is taken
// character by character. At most 264 bytes; false when the text holds more.
bool ParseByteField(const std::string& text, int typ, std::vector<uint8_t>& out);
// The bytes as the field shows them: hexadecimal pairs, ten per line, or text for type 132.
std::string ByteFieldText(const uint8_t* b, int lg, int typ);
// The bytes a raw type starts with when it replaces an ordinary type: the encoding of the
// telegram as defined (129: control field 0 and the channel's first link address; 128: the
// ASDU; 130: from the control field on; 131: the whole frame; other types: none).
std::vector<uint8_t> StartBytes(int rawTyp, const T_SeTe& t, const T_ComVar& c, LinkEnv& env);

// ---- Date and time of the time tag ----

// "day.month.year" (a two-digit year in 2000..2099); empty means 0 (today at sending). False
// for anything else.
bool ParseDateField(const std::string& text, double& datum);
// "hour:minute[:second]" as a fraction of a day; empty means 0 (the time at sending).
bool ParseTimeField(const std::string& text, double& zeit);
std::string DateFieldText(double datum);
std::string TimeFieldText(double zeit);

// ---- Station and storing ----

// The stations the selector lists (the channel's link addresses and the broadcast address
// after them); empty when the selector is hidden (balanced or monitoring, or no link address).
std::vector<uint16_t> StationChoices(const T_ComVar& c, int lgla);
// Whether the edited telegram differs from the stored one (focus, tick and state aside).
bool EditedDiffers(const T_SeTe& edited, const T_SeTe& stored);

} // namespace vdl
