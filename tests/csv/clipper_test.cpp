#include "csv/clipper.h"

#include <gtest/gtest.h>

using namespace csv;

TEST(Clipper, EmptyTextGivesEmptyTextEverywhere)
{
    EXPECT_EQ(QuitaBlancosDerecha(""), "");
    EXPECT_EQ(QuitaBlancosIzquierda(""), "");
    EXPECT_EQ(QuitaBlancos(""), "");
    EXPECT_EQ(SoloMayusculas(""), "");
    EXPECT_EQ(InicialesTrasBlanco(""), "");
}

TEST(Clipper, QuitaBlancosDerecha)
{
    EXPECT_EQ(QuitaBlancosDerecha("    "), "");
    EXPECT_EQ(QuitaBlancosDerecha("ab"), "ab");
    EXPECT_EQ(QuitaBlancosDerecha("  a b  "), "  a b");
    // A tab or a non-breaking space is no blank, and it stops the trimming.
    EXPECT_EQ(QuitaBlancosDerecha("a \t"), "a \t");
    EXPECT_EQ(QuitaBlancosDerecha("a \xA0 "), "a \xA0");
}

TEST(Clipper, QuitaBlancosIzquierda)
{
    EXPECT_EQ(QuitaBlancosIzquierda("    "), "");
    EXPECT_EQ(QuitaBlancosIzquierda("ab"), "ab");
    EXPECT_EQ(QuitaBlancosIzquierda("  a b  "), "a b  ");
    EXPECT_EQ(QuitaBlancosIzquierda("\t a"), "\t a");
    EXPECT_EQ(QuitaBlancosIzquierda(" \xA0 a"), "\xA0 a");
}

TEST(Clipper, QuitaBlancos)
{
    EXPECT_EQ(QuitaBlancos("    "), "");
    EXPECT_EQ(QuitaBlancos("ab"), "ab");
    EXPECT_EQ(QuitaBlancos("  a b  "), "a b");
    EXPECT_EQ(QuitaBlancos(" \ta\t "), "\ta\t");
    EXPECT_EQ(QuitaBlancos(" x "), "x");
}

TEST(Clipper, SoloMayusculas)
{
    EXPECT_EQ(SoloMayusculas("Ana P\xE9rez Ruiz"), "APR");
    EXPECT_EQ(SoloMayusculas("\xC1NGEL"), "NGEL");     // accented capital dropped
    EXPECT_EQ(SoloMayusculas("PE\xD1" "A"), "PEA");     // and Ñ
    EXPECT_EQ(SoloMayusculas("abc"), "");
    EXPECT_EQ(SoloMayusculas("1234"), "");
    EXPECT_EQ(SoloMayusculas("A1-b B"), "AB");
    EXPECT_EQ(SoloMayusculas("@AZ[`"), "AZ");           // the neighbours of A and Z
}

TEST(Clipper, InicialesTrasBlanco)
{
    EXPECT_EQ(InicialesTrasBlanco("Historia del Arte"), "dA");
    EXPECT_EQ(InicialesTrasBlanco("Historia"), "");
    EXPECT_EQ(InicialesTrasBlanco("abc "), "");
    EXPECT_EQ(InicialesTrasBlanco("a  b"), " b");
    EXPECT_EQ(InicialesTrasBlanco("    "), "   ");   // one fewer than the spaces
    EXPECT_EQ(InicialesTrasBlanco(" x"), "x");       // a leading space does count
    EXPECT_EQ(InicialesTrasBlanco("a \xC1rbol"), "\xC1");
    EXPECT_EQ(InicialesTrasBlanco("a\tb"), "");      // a tab is no blank
}
