// The set of texts that an index's keys and the builders' codes are kept in.
#include "store/text_set.h"

#include <gtest/gtest.h>

#include <string>

using namespace store;

TEST(TextSet, NumbersTextsInTheOrderAddedAndComparesEveryByte)
{
    TextSet c;
    EXPECT_EQ(c.find("A"), TextSet::kNone);
    bool added = false;
    EXPECT_EQ(c.add("A", &added), 0u);
    EXPECT_TRUE(added);
    EXPECT_EQ(c.add("a"), 1u);  // letter case counts
    EXPECT_EQ(c.add("A "), 2u);  // so do trailing blanks
    EXPECT_EQ(c.add(std::string("A\0B", 3)), 3u);
    EXPECT_EQ(c.add(""), 4u);
    EXPECT_EQ(c.add("A", &added), 0u);
    EXPECT_FALSE(added);
    EXPECT_EQ(c.find(std::string("A\0B", 3)), 3u);
    EXPECT_EQ(c.find(std::string("A\0C", 3)), TextSet::kNone);
    EXPECT_FALSE(c.contains("AB"));
    EXPECT_EQ(c.size(), 5u);
}

TEST(TextSet, KeepsThousandsOfTextsAsItGrows)
{
    TextSet c;
    for (int n = 0; n < 20000; ++n)
        ASSERT_EQ(c.add("M" + std::to_string(n)), static_cast<std::uint32_t>(n));
    for (int n = 0; n < 20000; ++n)
        ASSERT_EQ(c.find("M" + std::to_string(n)), static_cast<std::uint32_t>(n)) << n;
    for (int n = 20000; n < 40000; ++n)
        ASSERT_FALSE(c.contains("M" + std::to_string(n))) << n;
    const TextSet copy = c;
    EXPECT_EQ(copy.find("M19999"), 19999u);
    EXPECT_EQ(copy.size(), 20000u);
}
