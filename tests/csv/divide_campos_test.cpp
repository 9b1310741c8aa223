#include "campos.h"
#include "csv/divide_campos.h"
#include "store/errors.h"

#include <gtest/gtest.h>

using namespace csv;
using namespace std::string_literals;

TEST(DivideCampos, SplitTable)
{
    const struct {
        std::string linea;
        Campos esperado;
    } casos[] = {
        {"a,b,c", {"a", "b", "c"}},
        {"a,\"b,c\",d", {"a", "b,c", "d"}},
        {"a,,b", {"a", "", "b"}},
        {",a", {"", "a"}},
        {"a,", {"a", ""}},
        {"a, ", {"a"}},
        {"a , b", {"a", "b"}},
        {"Aula 1,2", {"Aula", "1", "2"}},
        {"\"Aula 1\",2", {"Aula 1", "2"}},
        {"\"a\"\"b\",c", {"a\"b", "c"}},
        {"\"abc\"def,g", {"abc", "def", "g"}},
        {"\"abc", {"abc"}},
        {"\"\"", {""}},
        {"a\tb", {"a", "b"}},
        {"", {}},
        {"   \t ", {}},
    };
    for (const auto& c : casos)
        EXPECT_EQ(campos(DivideCampos(c.linea)), c.esperado) << "line: " << c.linea;
}

TEST(DivideCampos, CommasAndBlanks)
{
    EXPECT_EQ(campos(DivideCampos(",")), (Campos{"", ""}));
    EXPECT_EQ(campos(DivideCampos(",,")), (Campos{"", "", ""}));
    EXPECT_EQ(campos(DivideCampos("a ,")), (Campos{"a", ""}));
    EXPECT_EQ(campos(DivideCampos("  a  ,  b  ")), (Campos{"a", "b"}));
    // Every control character from 1 to 31 is a blank; the byte 127 is not.
    EXPECT_EQ(campos(DivideCampos("a\x01" "b\x1F" "c\x7F" "d")), (Campos{"a", "b", "c\x7F" "d"}));
    // Bytes above 127 are ordinary characters, the non-breaking space (A0) included.
    EXPECT_EQ(campos(DivideCampos("A\xF1o,\xA0x\xA0")), (Campos{"A\xF1o", "\xA0x\xA0"}));
}

TEST(DivideCampos, Quotes)
{
    // Blanks inside quotes stay; blanks around the quotes go.
    EXPECT_EQ(campos(DivideCampos("  \" a , b \"  ,c")), (Campos{" a , b ", "c"}));
    // A quote that does not start a field is an ordinary character.
    EXPECT_EQ(campos(DivideCampos("ab\"c,d")), (Campos{"ab\"c", "d"}));
    // Two quoted fields with only a blank between them.
    EXPECT_EQ(campos(DivideCampos("\"a\" \"b\"")), (Campos{"a", "b"}));
    // A doubled quote at the very end of an unclosed field is one quote.
    EXPECT_EQ(campos(DivideCampos("\"ab\"\"")), (Campos{"ab\""}));
    EXPECT_EQ(campos(DivideCampos("\"ab\"\"\"")), (Campos{"ab\""}));
    EXPECT_EQ(campos(DivideCampos("\"\"\"\"")), (Campos{"\""}));
    // A closing quote followed by a comma at the end still gives the empty last field.
    EXPECT_EQ(campos(DivideCampos("\"a\",")), (Campos{"a", ""}));
    EXPECT_EQ(campos(DivideCampos("\"")), (Campos{""}));
}

TEST(DivideCampos, ByteZeroEndsTheText)
{
    EXPECT_EQ(campos(DivideCampos("a,b\0,c"s)), (Campos{"a", "b"}));
    // The comma before the 0 is the text's last character.
    EXPECT_EQ(campos(DivideCampos("a,\0b"s)), (Campos{"a", ""}));
    EXPECT_EQ(campos(DivideCampos("\0a,b"s)), Campos{});
}

TEST(DivideCampos, ReusedRecordKeepsNoOldFields)
{
    RegistroCSV r;
    DivideCampos("uno,dos,tres,cuatro", r);
    DivideCampos("x,\"y\"", r);
    EXPECT_EQ(campos(r), (Campos{"x", "y"}));
    DivideCampos("", r);
    EXPECT_EQ(r.Cuenta(), 0);
}

TEST(RegistroCSV, FieldBeyondTheLastThrowsTheListIndexError)
{
    const RegistroCSV r = DivideCampos("a,b");
    EXPECT_EQ(r.Campo(1), "b");
    try {
        (void)r.Campo(2);
        FAIL() << "no error for field 2 of 2";
    } catch (const store::ListIndexError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (2)");
        EXPECT_EQ(e.index(), 2);
    }
    EXPECT_THROW((void)r.Campo(-1), store::ListIndexError);
    EXPECT_THROW((void)DivideCampos("").Campo(0), store::ListIndexError);
}

TEST(RegistroCSV, CopiesAreIndependentOfTheOriginal)
{
    RegistroCSV r = DivideCampos("a,b,c");
    const RegistroCSV copia = r;
    DivideCampos("z", r);
    EXPECT_EQ(campos(copia), (Campos{"a", "b", "c"}));
    EXPECT_EQ(campos(r), (Campos{"z"}));
    RegistroCSV asignada = DivideCampos("1,2,3,4,5");
    asignada = r;
    EXPECT_EQ(campos(asignada), (Campos{"z"}));
    EXPECT_TRUE(asignada == r);
    EXPECT_FALSE(asignada == copia);
}
