// Tables larger than one block of records in memory, searched through indexes of many keys:
// every record stays where it was written across block boundaries, after edits, deletions
// and a new open, and locate finds the first match however the keys move.
#include "store/table.h"

#include "store_support.h"

using namespace store;
using namespace storetest;

namespace {

// Records of 1001 bytes: a block of 2 MiB holds 2095 of them.
constexpr int kRecords = 5000;
const std::vector<int> kBoundaries = {1, 2, 64, 65, 66, 2094, 2095, 2096, 2097, 4190, 4191, 4192, 4999, 5000};

std::string code(int i)
{
    return "R" + std::to_string(i);
}

std::string text(int i)
{
    return "texto " + std::to_string(i * 7919) + std::string(static_cast<std::size_t>(i % 200), 'x');
}

class LargeTest : public WorkFolder {
protected:
    void SetUp() override
    {
        WorkFolder::SetUp();
        recreateTable("\\ZTEMP", "GRANDE.DBF",
                      {{"CODIGO", 'C', 8, 0},
                       {"GRUPO", 'N', 4, 0},
                       {"TEXTO", 'C', 250, 0},
                       {"RELLENO1", 'C', 250, 0},
                       {"RELLENO2", 'C', 250, 0},
                       {"FINAL", 'C', 238, 0}},
                      {{"CODIGO", "CODIGO"}}, {"GRANDE.DBF", "GRANDE.MDX"});
    }

    void expectRecord(Table& t, int i, const std::string& codigo)
    {
        EXPECT_EQ(t.asText("CODIGO"), codigo) << "record " << i;
        EXPECT_EQ(t.asText("TEXTO"), text(i)) << "record " << i;
        EXPECT_EQ(t.asText("FINAL"), text(i)) << "record " << i;  // the last bytes of the record
        EXPECT_EQ(t.asInteger("GRUPO"), i % 7) << "record " << i;
    }
};

}  // namespace

TEST_F(LargeTest, RecordsStayInPlaceAcrossBlocksEditsAndANewOpen)
{
    {
        Table t("\\ZTEMP", "GRANDE");
        t.open(Access::Shared);
        for (int i = 1; i <= kRecords; ++i) {
            t.append();
            t.setText("CODIGO", code(i));
            t.setInteger("GRUPO", i % 7);
            t.setText("TEXTO", text(i));
            t.setText("FINAL", text(i));
            t.post();
            ASSERT_EQ(t.recNo(), i);
            ASSERT_EQ(t.asText("CODIGO"), code(i));  // the record just posted, wherever it went
        }
        for (int i : kBoundaries) {
            t.goTo(i);
            expectRecord(t, i, code(i));
        }
        // An edit on either side of a block boundary.
        for (int i : {2095, 2096}) {
            t.goTo(i);
            t.edit();
            t.setText("CODIGO", "E" + std::to_string(i));
            t.post();
        }
    }

    Table t("\\ZTEMP", "GRANDE");
    t.open(Access::Exclusive);
    ASSERT_EQ(t.recordCount(), kRecords);
    int seen = 0;
    for (t.first(); !t.eof(); t.next())
        ++seen;
    EXPECT_EQ(seen, kRecords);
    for (int i : kBoundaries) {
        t.goTo(i);
        expectRecord(t, i, i == 2095 || i == 2096 ? "E" + std::to_string(i) : code(i));
    }
    // The tag holds every key, the edited ones as they are now.
    t.setIndex("CODIGO");
    EXPECT_TRUE(t.findKey({std::string("E2096")}));
    EXPECT_EQ(t.recNo(), 2096);
    EXPECT_FALSE(t.findKey({code(2096)}));
    EXPECT_TRUE(t.findKey({code(4191)}));
    EXPECT_EQ(t.recNo(), 4191);
}

TEST_F(LargeTest, LocateFindsTheFirstMatchAsKeysMove)
{
    Table t("\\ZTEMP", "GRANDE");
    t.open(Access::Exclusive);
    for (int i = 1; i <= kRecords; ++i) {
        t.append();
        t.setText("CODIGO", code(i));
        t.setInteger("GRUPO", i % 7);
        t.post();
    }
    // Many distinct keys, and seven keys of many records each.
    for (int i : kBoundaries) {
        ASSERT_TRUE(t.locate("CODIGO", {code(i)}));
        EXPECT_EQ(t.recNo(), i);
        ASSERT_TRUE(t.locate("GRUPO;CODIGO", {double(i % 7), code(i)}));
        EXPECT_EQ(t.recNo(), i);
    }
    for (int g = 0; g < 7; ++g) {
        ASSERT_TRUE(t.locate("GRUPO", {double(g)}));
        EXPECT_EQ(t.recNo(), g == 0 ? 7 : g);
    }
    EXPECT_FALSE(t.locate("CODIGO", {code(kRecords + 1)}));

    // Moving a record to another key, deleting the first of a key, appending a new first match.
    t.goTo(3);
    t.edit();
    t.setInteger("GRUPO", 5);
    t.post();
    ASSERT_TRUE(t.locate("GRUPO", {3.0}));
    EXPECT_EQ(t.recNo(), 10);
    ASSERT_TRUE(t.locate("GRUPO", {5.0}));
    EXPECT_EQ(t.recNo(), 3);
    t.deleteRecord();
    ASSERT_TRUE(t.locate("GRUPO", {5.0}));
    EXPECT_EQ(t.recNo(), 5);
    t.append();
    t.setText("CODIGO", code(3));
    t.setInteger("GRUPO", 99);
    t.post();
    ASSERT_TRUE(t.locate("CODIGO", {code(3)}));
    EXPECT_EQ(t.recNo(), kRecords + 1);  // the deleted record 3 no longer counts
    ASSERT_TRUE(t.locate("GRUPO", {99.0}));
    EXPECT_EQ(t.recNo(), kRecords + 1);
}
