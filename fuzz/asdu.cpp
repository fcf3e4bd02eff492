// Fuzzes the ASDU functions over random records: header decoding, grading, object addresses
// and offsets, quality, the CSV value lists, and the address texts.
#include "asdu/address_text.h"
#include "asdu/asdu_header.h"
#include "asdu/catalogue.h"
#include "asdu/element_csv.h"
#include "fuzz_common.h"

#include <cstring>
#include <memory>
#include <string_view>

using namespace vdl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const TextTable texts = fuzz::MakeTexts();
    static T_TypUrsFarben pfu = [] {
        T_TypUrsFarben f{};
        for (int i = 0; i < 256; i += 3) f.frb[i] = {1, 2};
        return f;
    }();
    if (size < 4) return 0;
    fuzz::Input in(data, size);
    T_AllgPar ap = DefaultAllgPar();
    const uint8_t cfg = in.Byte();
    ap.lgla = cfg % 3;
    ap.mitori = (cfg >> 2) & 1;
    ap.lgca = 1 + ((cfg >> 3) & 1);
    ap.lgoa = 1 + ((cfg >> 4) % 3);
    const int fkt = in.Byte() % 7;
    const AsduLayout lay = LayoutOf(ap);

    // The record on the heap, exactly its size.
    auto te = std::make_unique<T_Telegramm>();
    size_t n = sizeof(T_Telegramm);
    const uint8_t* p = in.Take(n);
    std::memcpy(te.get(), p, n);
    DecodeHeader(*te, fkt, lay);
    (void)CheckAsdu(*te, lay, texts, (cfg & 0x80) ? &pfu : nullptr);
    for (int k = -1; k <= 130; ++k) {
        (void)ObjectAddress(k, *te, lay);
        (void)ObjectQuality(*te, k, lay);
        int pos = ObjectOffset(k, *te, lay);
        (void)ElementCsv(*te, pos, ';');
    }
    int pos = static_cast<int>(static_cast<int8_t>(in.Byte())) * 3;
    (void)ElementCsv(*te, pos, ';');

    // The rest as address and structure input.
    T_AllgVar av;
    ap.castr = {2, {8, 8, 0, 0, 0}};
    ap.oastr = {3, {8, 8, 8, 0, 0}};
    T_AdrStruktur s{};
    size_t rest = in.Left();
    std::string_view text(reinterpret_cast<const char*>(in.Take(rest)), rest);
    if (ParseAdrStruktur(text, 16, s)) ap.castr = s;
    if (ParseAdrStruktur(text, 24, s)) ap.oastr = s;
    DeriveAsduLayout(av, ap);
    uint32_t v = 0;
    (void)ParseCa(text, v, av, ap);
    (void)ParseOa(text, v, av, ap, true);
    (void)FormatCa(v, av, ap);
    (void)FormatOa(v, av, ap);
    (void)FormatOa(te->ca * 977u, av, ap);
    return 0;
}
