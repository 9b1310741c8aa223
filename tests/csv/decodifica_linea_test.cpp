#include "campos.h"
#include "csv/decodifica_linea.h"
#include "csv/divide_campos.h"

#include <gtest/gtest.h>

using namespace csv;
using namespace std::string_literals;

TEST(DecodificaLinea, TwoAndThreeByteSequences)
{
    EXPECT_EQ(DecodificaLinea("A\xC3\xB1o"), "A\xF1o");           // ñ
    EXPECT_EQ(DecodificaLinea("\xE2\x82\xAC 5"), "\x80 5");       // €
    EXPECT_EQ(DecodificaLinea("\xC3\x81NGEL"), "\xC1NGEL");        // Á
    EXPECT_EQ(DecodificaLinea("plain ascii, 123"), "plain ascii, 123");
    // Long enough for the eight-byte ASCII path to meet a sequence at every offset.
    for (std::size_t antes = 0; antes < 17; ++antes) {
        const std::string relleno(antes, 'x');
        EXPECT_EQ(DecodificaLinea(relleno + "\xC3\xB1" + relleno), relleno + "\xF1" + relleno) << antes;
    }
}

TEST(DecodificaLinea, LeadByteDecidesTheLengthByBit0x20Alone)
{
    // No check on the lead byte beyond bit 0x20: 83 B1 decodes like C3 B1.
    EXPECT_EQ(DecodificaLinea("\x83\xB1"), "\xF1");
    // Overlong forms are taken as computed.
    EXPECT_EQ(DecodificaLinea("\xC1\x81"), "A");
    EXPECT_EQ(DecodificaLinea("\xE0\x81\x81"), "A");
    // C0 80 gives the unit 0, the byte 0, which ends the text for splitting.
    EXPECT_EQ(DecodificaLinea("a\xC0\x80" "b"), "a\0b"s);
    EXPECT_EQ(campos(DivideCampos(DecodificaLinea("a,b\xC0\x80,c"))), (Campos{"a", "b"}));
    // A surrogate value converts like any unit the code page lacks.
    EXPECT_EQ(DecodificaLinea("\xED\xA0\x80"), "?");
}

TEST(DecodificaLinea, FourByteLeadBytesAreReadAsThreeByteOnes)
{
    // F0 9F 98 is one unit; the fourth byte 80 then starts a sequence the line does not finish.
    EXPECT_EQ(DecodificaLinea("ok,\xF0\x9F\x98\x80"), "");
    // When a continuation byte follows, 80 BF completes it: two units, both missing from the
    // code page (07D8 and 003F, which is "?" itself).
    EXPECT_EQ(DecodificaLinea("\xF0\x9F\x98\x80\xBF"), "??");
    // F7's fourth byte BF has bit 0x20 and wants two more bytes.
    EXPECT_EQ(DecodificaLinea("\xF7\xBF\xBF\xBF" "ab"), "");
}

TEST(DecodificaLinea, BrokenSequenceEmptiesTheWholeLine)
{
    EXPECT_EQ(DecodificaLinea("abc,\xC3"), "");
    EXPECT_EQ(DecodificaLinea("\xE2\x82"), "");
    EXPECT_EQ(DecodificaLinea("\xC3(abc"), "");
    EXPECT_EQ(DecodificaLinea("\xE2\x82" "x"), "");
    // A line written in Windows-1252: ñ as the single byte F1 opens a three-byte sequence.
    EXPECT_EQ(DecodificaLinea("1,A\xF1o,2"), "");
    EXPECT_EQ(DivideCampos(DecodificaLinea("1,A\xF1o,2")).Cuenta(), 0);
    // The same line in UTF-8 keeps the word as A, ñ, o.
    EXPECT_EQ(campos(DivideCampos(DecodificaLinea("1,A\xC3\xB1o,2"))), (Campos{"1", "A\xF1o", "2"}));
}

TEST(DecodificaLinea, ByteOrderMarkAsDataBecomesAQuestionMark)
{
    EXPECT_EQ(DecodificaLinea("\xEF\xBB\xBF" "a,b"), "?a,b");
    EXPECT_EQ(campos(DivideCampos(DecodificaLinea("\xEF\xBB\xBF" "a,b"))), (Campos{"?a", "b"}));
}

TEST(DecodificaLinea, BestFitAndMissingCharacters)
{
    EXPECT_EQ(DecodificaLinea("\xC4\x80"), "A");          // U+0100 Ā, best fit
    EXPECT_EQ(DecodificaLinea("\xE2\x80\x9C"), "\x93");   // U+201C, exact
    EXPECT_EQ(DecodificaLinea("\xE3\x80\x80"), " ");      // U+3000 ideographic space
    EXPECT_EQ(DecodificaLinea("\xEF\xBC\xA1"), "A");      // U+FF21 fullwidth A
    EXPECT_EQ(DecodificaLinea("\xC2\x80"), "?");          // U+0080 is not in the code page
    EXPECT_EQ(DecodificaLinea("\xE4\xB8\xAD"), "?");      // U+4E2D
    EXPECT_EQ(DecodificaLinea("\xC2\xA0"), "\xA0");       // non-breaking space
}

TEST(DecodificaLinea, ReusedBufferHoldsOnlyTheLastLine)
{
    std::string texto;
    DecodificaLinea("una l\xC3\xADnea bastante larga", texto);
    DecodificaLinea("x\xC3\xB1", texto);
    EXPECT_EQ(texto, "x\xF1");
    DecodificaLinea("\xC3", texto);
    EXPECT_EQ(texto, "");
}
