// The shipped program text files and the list of text numbers, loaded once for the tests of
// this folder.
#pragma once

#include "core/text_table.h"

#include <string>
#include <vector>

namespace vdl::test {

// One line of texts/numbers.txt.
struct NumberEntry {
    int first = 0;
    int last = 0;
    bool required = false;
    bool hasFormat = false;
    std::vector<char> args; // argument kinds of a format text: 'd', 'f', 's'
    bool same = false;
    bool data = false;
    int combo = -1;
    int count = -1;
    int list = -1;
    bool widthTitle = false;
    bool sizes = false;
    int slots = -1;
    int line = 0; // line number in numbers.txt
    std::string note;
};

std::string ReadWholeFile(const std::string& path);

// The entries of texts/numbers.txt; a malformed line fails the calling test.
const std::vector<NumberEntry>& Numbers();
// Whether numbers.txt names n.
bool Listed(int n);

// The text files of the source tree as loaded (language 0 German, 1 English), without the
// post-processing of the cause texts.
const TextTable& RawTexts(int lang);
// The same after the post-processing the program applies at start.
const TextTable& LoadedTexts(int lang);

// The 64 entries of the type pick list, in pick order.
const std::vector<int>& PickTypes();

const char* LangName(int lang);

} // namespace vdl::test
