// The code-forming rules, reached directly.
#include "import/codigos.h"

#include <gtest/gtest.h>

using namespace import;

namespace {

ListaCodigos Lista(std::initializer_list<std::string> codigos)
{
    ListaCodigos l;
    for (const auto& c : codigos)
        l.Anade(c);
    return l;
}

}  // namespace

TEST(ListaCodigos, IgnoresLetterCaseOfWindows1252Letters)
{
    const ListaCodigos l = Lista({"ESO1A", "\xC1ngel", "\x8A" "a"});
    EXPECT_TRUE(l.Contiene("eso1a"));
    EXPECT_TRUE(l.Contiene("\xE1NGEL"));   // áNGEL
    EXPECT_TRUE(l.Contiene("\x9A" "A"));   // šA
    EXPECT_FALSE(l.Contiene("ESO1A "));
    EXPECT_FALSE(l.Contiene("ESO1"));
}

TEST(ListaCodigos, ThousandsOfCodesEachFoundOnce)
{
    ListaCodigos l;
    EXPECT_FALSE(l.Contiene(""));
    for (int n = 0; n < 5000; ++n) {
        l.Anade("G" + std::to_string(n));
        l.Anade("g" + std::to_string(n));  // the same code again
    }
    for (int n = 0; n < 5000; ++n)
        ASSERT_TRUE(l.Contiene("G" + std::to_string(n))) << n;
    for (int n = 5000; n < 10000; ++n)
        ASSERT_FALSE(l.Contiene("G" + std::to_string(n))) << n;
    EXPECT_FALSE(l.Contiene("G"));
    EXPECT_FALSE(l.Contiene(""));
    l.Anade("");
    EXPECT_TRUE(l.Contiene(""));
    // A copy answers alike.
    const ListaCodigos copia = l;
    EXPECT_TRUE(copia.Contiene("g4999"));
    EXPECT_FALSE(copia.Contiene("g5000"));
}

TEST(CodigoGrupo, LettersAfterATakenBase)
{
    EXPECT_EQ(CodigoGrupo("ESO1A", Lista({})), "ESO1A");
    EXPECT_EQ(CodigoGrupo("ESO1A", Lista({"ESO1A"})), "ESO1AA");
    EXPECT_EQ(CodigoGrupo("ESO1A", Lista({"ESO1A", "ESO1AA"})), "ESO1AB");
    EXPECT_EQ(CodigoGrupo("ESO1a", Lista({"ESO1A", "ESO1AA", "ESO1AB"})), "ESO1aC");
}

TEST(CodigoGrupo, TenCharacterBasesLoseTheirLastCharacter)
{
    EXPECT_EQ(CodigoGrupo("ESO1ABCDEF", Lista({"ESO1ABCDEF"})), "ESO1ABCDEA");
    EXPECT_EQ(CodigoGrupo("ESO1ABCDEF", Lista({"ESO1ABCDEF", "ESO1ABCDEA"})), "ESO1ABCDEB");
    // Longer bases are cut to ten first, so two bases alike in ten characters stay apart.
    EXPECT_EQ(CodigoGrupo("ESO1ABCDEFG", Lista({})), "ESO1ABCDEF");
    EXPECT_EQ(CodigoGrupo("ESO1ABCDEFH", Lista({"ESO1ABCDEF"})), "ESO1ABCDEA");
}

TEST(CodigoGrupo, AllLettersTakenGivesY)
{
    ListaCodigos l = Lista({"B"});
    for (char c = 'A'; c <= 'Y'; ++c)
        l.Anade(std::string("B") + c);
    EXPECT_EQ(CodigoGrupo("B", l), "BY");
    EXPECT_FALSE(l.Contiene("BZ"));
}

TEST(CodigoSubgrupo, NumberAlwaysFitsInTenCharacters)
{
    EXPECT_EQ(CodigoSubgrupo("ESO1A", 1), "ESO1A1");
    EXPECT_EQ(CodigoSubgrupo("ESO1A", 10), "ESO1A10");
    EXPECT_EQ(CodigoSubgrupo("ESO1ABCDEF", 1), "ESO1ABCDE1");
    EXPECT_EQ(CodigoSubgrupo("ESO1ABCDEF", 12), "ESO1ABCD12");
    EXPECT_EQ(CodigoSubgrupo("ESO1ABCDE", 1), "ESO1ABCDE1");
}

TEST(CodigoProfesor, CapitalsThenThreeLetterPrefixWithNumber)
{
    EXPECT_EQ(CodigoProfesor("Ana P\xE9rez Ruiz", Lista({})), "APR");
    EXPECT_EQ(CodigoProfesor("Alberto Paz Rey", Lista({"APR"})), "APR1");
    EXPECT_EQ(CodigoProfesor("Andr\xE9s Pino R\xEDos", Lista({"APR", "APR1"})), "APR2");
    EXPECT_EQ(CodigoProfesor("Mar\xED" "a Jos\xE9 Garc\xED" "a L\xF3pez", Lista({"MJGL"})), "MJG1");
    EXPECT_EQ(CodigoProfesor("Ana Paz", Lista({"AP"})), "AP1");
    EXPECT_EQ(CodigoProfesor("\xC1ngel N\xFA\xF1""ez", Lista({})), "N");
    EXPECT_EQ(CodigoProfesor("todo en min\xFAsculas", Lista({})), "");
    EXPECT_EQ(CodigoProfesor("otra", Lista({""})), "1");
    // Long bases are cut to ten before the list is asked.
    EXPECT_EQ(CodigoProfesor("GARCIALOPEZMARIA", Lista({})), "GARCIALOPE");
    EXPECT_EQ(CodigoProfesor("GARCIALOPEZJUAN", Lista({"GARCIALOPE"})), "GAR1");
}

TEST(CodigoAula, CodeThenPrefixedNumbersUpTo99)
{
    EXPECT_EQ(CodigoAula("A1", Lista({})), "A1");
    EXPECT_EQ(CodigoAula("a1", Lista({"A1"})), "a11");
    ListaCodigos l = Lista({"lab"});
    EXPECT_EQ(CodigoAula("LAB", l), "LAB1");
    for (int n = 1; n <= 99; ++n)
        l.Anade("LAB" + std::to_string(n));
    EXPECT_EQ(CodigoAula("LAB", l), "LAB99");
    EXPECT_EQ(CodigoAula("LABORATORIO1", Lista({})), "LABORATORI");
    EXPECT_EQ(CodigoAula("LABORATORIO2", Lista({"LABORATORI"})), "LAB1");
}

TEST(CodigoMateria, FromLongCodeOrName)
{
    EXPECT_EQ(CodigoMateria("MAT", "Matem\xE1ticas"), "MAT");
    EXPECT_EQ(CodigoMateria("ABCDEFGHIJ", "x"), "ABCDEFGHIJ");
    EXPECT_EQ(CodigoMateria("Lingua Galega", "x"), "LG");
    EXPECT_EQ(CodigoMateria("Historia do Mundo Contemporaneo", "x"), "HdMC");
    EXPECT_EQ(CodigoMateria("Matematicas", "Matem\xE1ticas Aplicadas"), "MA");
    EXPECT_EQ(CodigoMateria("", "Educaci\xF3n F\xEDsica"), "EF");
    // More than ten initials keep their first ten, without blanks at the ends.
    EXPECT_EQ(CodigoMateria("a b c d e f g h i j k l", "x"), "abcdefghij");
    EXPECT_EQ(CodigoMateria("a b c d e f g h i  j k", "x"), "abcdefghi");
}

TEST(CodigoMateria, NumberedWhenTaken)
{
    EXPECT_EQ(CodigoMateriaLibre("LG", Lista({"LG"})), "LG1");
    EXPECT_EQ(CodigoMateriaLibre("LG", Lista({"LG", "LG1"})), "LG2");
    EXPECT_EQ(CodigoMateriaLibre("lg", Lista({"LG", "LG1", "LG2"})), "lg3");
    EXPECT_EQ(CodigoMateriaLibre("mat", Lista({"MAT"})), "mat1");
    ListaCodigos l = Lista({"ABCDEFGHIJ"});
    EXPECT_EQ(CodigoMateriaLibre("ABCDEFGHIJ", l), "ABCDEFGHJ1");
    for (int n = 1; n <= 9; ++n)
        l.Anade("ABCDEFGHJ" + std::to_string(n));
    EXPECT_EQ(CodigoMateriaLibre("ABCDEFGHIJ", l), "ABCDEFGH10");
}
