// The set of texts the builders ask per input line.
#include "import/conjunto_textos.h"

#include <gtest/gtest.h>

#include <string>

using namespace import;

TEST(ConjuntoTextos, NumbersTextsInTheOrderAddedAndComparesEveryByte)
{
    ConjuntoTextos c;
    EXPECT_EQ(c.Busca("A"), ConjuntoTextos::kNinguno);
    bool nuevo = false;
    EXPECT_EQ(c.Anade("A", &nuevo), 0u);
    EXPECT_TRUE(nuevo);
    EXPECT_EQ(c.Anade("a"), 1u);  // letter case counts
    EXPECT_EQ(c.Anade("A "), 2u);  // so do trailing blanks
    EXPECT_EQ(c.Anade(std::string("A\0B", 3)), 3u);
    EXPECT_EQ(c.Anade(""), 4u);
    EXPECT_EQ(c.Anade("A", &nuevo), 0u);
    EXPECT_FALSE(nuevo);
    EXPECT_EQ(c.Busca(std::string("A\0B", 3)), 3u);
    EXPECT_EQ(c.Busca(std::string("A\0C", 3)), ConjuntoTextos::kNinguno);
    EXPECT_FALSE(c.Contiene("AB"));
    EXPECT_EQ(c.Cuenta(), 5u);
}

TEST(ConjuntoTextos, KeepsThousandsOfTextsAsItGrows)
{
    ConjuntoTextos c;
    for (int n = 0; n < 20000; ++n)
        ASSERT_EQ(c.Anade("M" + std::to_string(n)), static_cast<std::uint32_t>(n));
    for (int n = 0; n < 20000; ++n)
        ASSERT_EQ(c.Busca("M" + std::to_string(n)), static_cast<std::uint32_t>(n)) << n;
    for (int n = 20000; n < 40000; ++n)
        ASSERT_FALSE(c.Contiene("M" + std::to_string(n))) << n;
    const ConjuntoTextos copia = c;
    EXPECT_EQ(copia.Busca("M19999"), 19999u);
    EXPECT_EQ(copia.Cuenta(), 20000u);
}
