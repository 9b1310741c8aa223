// Production indexes: tags we create and keep are seen and searched by another engine, and tags
// that engine wrote are used by ours.
#include "store/table.h"

#include "store_support.h"

#include <algorithm>
#include <functional>
#include <random>

using namespace store;
using namespace storetest;

namespace {

constexpr int kKeys = 5000;

std::string key(int i)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "K%04d", i);
    return buffer;
}

class IndexTest : public WorkFolder {
protected:
    // Record number -> key: the keys 0..kKeys-1 shuffled, with every tenth key given twice.
    std::vector<int> keys;

    void SetUp() override
    {
        WorkFolder::SetUp();
        for (int i = 0; i < kKeys; ++i)
            keys.push_back(i);
        for (int i = 0; i < kKeys; i += 10)
            keys.push_back(i);
        std::shuffle(keys.begin(), keys.end(), std::mt19937(7));
    }

    void build()
    {
        recreateTable("\\ZTEMP", "PROFT.DBF", {{"ABREV", 'C', 6, 0}, {"NOMBRE", 'C', 20, 0}, {"NLIN", 'I', 0, 0}},
                      {{"ABREV", "ABREV"}, {"NLIN", "NLIN"}}, {"PROFT.DBF", "PROFT.MDX"});
        Table t("\\ZTEMP", "PROFT");
        t.open(Access::Exclusive);
        for (std::size_t r = 0; r < keys.size(); ++r) {
            t.append();
            t.setText("ABREV", key(keys[r]));
            t.setText("NOMBRE", "Nombre " + std::to_string(r + 1));
            t.setInteger("NLIN", kKeys - keys[r]);
            t.post();
        }
    }

    // Record numbers in ascending key order, equal keys by record number.
    std::vector<std::string> expectedOrder(const std::function<int(int)>& sortKey) const
    {
        std::vector<int> recs(keys.size());
        for (std::size_t i = 0; i < recs.size(); ++i)
            recs[i] = static_cast<int>(i) + 1;
        std::stable_sort(recs.begin(), recs.end(),
                         [&](int a, int b) { return sortKey(keys[a - 1]) < sortKey(keys[b - 1]); });
        std::vector<std::string> out;
        for (int r : recs)
            out.push_back(std::to_string(r));
        return out;
    }

    int firstRecordOf(int k) const
    {
        return static_cast<int>(std::find(keys.begin(), keys.end(), k) - keys.begin()) + 1;
    }
};

}  // namespace

TEST_F(IndexTest, AnotherEngineSeesAndSearchesOurTags)
{
    SALTA_SIN_DBFCHECK();
    build();
    const std::string path = file("PROFT.DBF");
    ASSERT_TRUE(fs::exists(ztemp / "PROFT.MDX"));
    const std::string tags = dbfcheck("tags " + path);
    EXPECT_NE(tags.find("tag\tABREV\tABREV"), std::string::npos) << tags;
    EXPECT_NE(tags.find("tag\tNLIN\tNLIN"), std::string::npos) << tags;
    EXPECT_NE(dbfcheck("dump " + path).find("mdxflag\t1"), std::string::npos);

    EXPECT_EQ(lines(dbfcheck("order " + path + " ABREV")), expectedOrder([](int k) { return k; }));
    EXPECT_EQ(lines(dbfcheck("order " + path + " NLIN")), expectedOrder([](int k) { return -k; }));
    for (int k : {0, 1, 10, 2500, 4999}) {
        EXPECT_EQ(dbfcheck("find " + path + " ABREV " + key(k)), "found\t" + std::to_string(firstRecordOf(k)) + "\n")
            << k;
    }
    EXPECT_EQ(dbfcheck("find " + path + " ABREV K9999"), "not found\n");
    EXPECT_EQ(dbfcheck("find " + path + " ABREV K00"), "not found\n");
    EXPECT_EQ(dbfcheck("find " + path + " NLIN 4990"), "found\t" + std::to_string(firstRecordOf(10)) + "\n");
}

TEST_F(IndexTest, TagsFollowEditsAndAppends)
{
    SALTA_SIN_DBFCHECK();
    build();
    {
        Table t("\\ZTEMP", "PROFT");
        t.open(Access::Exclusive);
        t.goTo(firstRecordOf(2501));
        t.edit();
        t.setText("ABREV", "Z0001");
        t.post();
        t.append();
        t.setText("ABREV", "A0001");
        t.post();
    }
    const std::string path = file("PROFT.DBF");
    EXPECT_EQ(dbfcheck("find " + path + " ABREV K2501"), "not found\n");
    EXPECT_EQ(dbfcheck("find " + path + " ABREV Z0001"), "found\t" + std::to_string(firstRecordOf(2501)) + "\n");
    const auto order = lines(dbfcheck("order " + path + " ABREV"));
    ASSERT_EQ(order.size(), keys.size() + 1);
    EXPECT_EQ(order.front(), std::to_string(keys.size() + 1));
    EXPECT_EQ(order.back(), std::to_string(firstRecordOf(2501)));
}

TEST_F(IndexTest, OurEngineNavigatesAndFindsByTag)
{
    build();
    Table t("\\ZTEMP", "PROFT");
    t.setIndex("abrev");  // set before opening, as the main form's components do
    t.open(Access::Exclusive);
    EXPECT_EQ(t.activeIndex(), "abrev");
    EXPECT_EQ(t.asText("ABREV"), key(0));  // opening goes to the first record in tag order
    std::vector<std::string> seen;
    for (t.first(); !t.eof(); t.next())
        seen.push_back(std::to_string(t.recNo()));
    EXPECT_EQ(seen, expectedOrder([](int k) { return k; }));

    EXPECT_TRUE(t.findKey({std::string("K0010")}));
    EXPECT_EQ(t.recNo(), firstRecordOf(10));
    EXPECT_TRUE(t.findKey({std::string("K0010  ")}));  // trailing blanks are the key's padding
    EXPECT_FALSE(t.findKey({std::string("K001")}));
    EXPECT_FALSE(t.findKey({std::string("K0010X")}));
    EXPECT_FALSE(t.findKey({std::string("k0010")}));
    EXPECT_EQ(t.recNo(), firstRecordOf(10));  // not found: the cursor stays

    // The first of two equal keys deleted: the search lands on the other.
    t.deleteRecord();
    EXPECT_TRUE(t.findKey({std::string("K0010")}));
    EXPECT_NE(t.recNo(), firstRecordOf(10));
    EXPECT_EQ(t.asText("ABREV"), "K0010");
    t.next();
    EXPECT_EQ(t.asText("ABREV"), "K0011");  // navigation goes on in tag order

    // A locate under an active tag gives the first match in that order.
    EXPECT_TRUE(t.locate("NOMBRE", {std::string("Nombre 1")}));
    EXPECT_EQ(t.recNo(), 1);

    t.setIndex("NLIN");
    EXPECT_TRUE(t.findKey({4000.0}));
    EXPECT_EQ(t.asText("ABREV"), key(1000));
    EXPECT_TRUE(t.findKey({std::string("4000")}));
    t.first();
    EXPECT_EQ(t.asText("ABREV"), key(kKeys - 1));
    expectEngineError([&] { t.setIndex("HORA"); }, {"PROFT", "HORA"});
    t.setIndex("");
    t.first();
    EXPECT_EQ(t.recNo(), 1);
}

TEST_F(IndexTest, WeUseAnIndexAnotherEngineWrote)
{
    SALTA_SIN_DBFCHECK();
    for (const char* level : {"4", "7"}) {
        SCOPED_TRACE(level);
        const std::string name = std::string("DIAS") + level;
        const std::string path = file(name + ".DBF");
        std::string rows;
        for (int i = 0; i < kKeys; ++i)
            rows += key((i * 7) % kKeys) + "\t" + std::to_string(i % 5 + 1) + "\n";
        dbfcheck("create " + path + " " + level + " HORADESDE:C:5,DIA:N:2:0", rows);
        dbfcheck("index " + path + " HORA HORADESDE");
        Table t("\\ZTEMP", name);
        t.open(Access::Exclusive);
        t.setIndex("HORA");
        std::vector<std::string> seen;
        for (t.first(); !t.eof(); t.next())
            seen.push_back(std::to_string(t.recNo()));
        EXPECT_EQ(seen, lines(dbfcheck("order " + path + " HORA")));
        EXPECT_TRUE(t.findKey({std::string("K0014")}));
        EXPECT_EQ(t.recNo(), 3);
        EXPECT_FALSE(t.findKey({std::string("K5000")}));

        // Our appends and edits keep the other engine's index current.
        t.append();
        t.setText("HORADESDE", "A0000");
        t.post();
        t.goTo(3);
        t.edit();
        t.setText("HORADESDE", "ZZZZZ");
        t.post();
        t.close();
        EXPECT_EQ(dbfcheck("find " + path + " HORA A0000"), "found\t" + std::to_string(kKeys + 1) + "\n");
        EXPECT_EQ(dbfcheck("find " + path + " HORA ZZZZZ"), "found\t3\n");
        EXPECT_EQ(dbfcheck("find " + path + " HORA K0014"), "not found\n");
        EXPECT_EQ(lines(dbfcheck("order " + path + " HORA")).size(), static_cast<std::size_t>(kKeys + 1));
    }
}
