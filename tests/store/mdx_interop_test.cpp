// The production index against an independent dBASE engine (Free Pascal's TDbf, through
// tools/dbfcheck): it must see and search the indexes we write, and we must read, search and
// extend the ones it writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "store/errors.h"
#include "store/mdx.h"
#include "store/mdx_support.h"

using namespace store;
using namespace mdxtest;

namespace {

MdxKey text(const std::string& value) { return MdxKey{value, 0}; }
MdxKey number(double value) { return MdxKey{"", value}; }

std::string padded(std::string value, std::size_t length)
{
    value.resize(length, ' ');
    return value;
}

// Codes with capitals, small letters, Spanish letters and signs, so that the collation counts.
std::string code(std::mt19937& random)
{
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
                                        "\xC1\xC9\xCD\xD3\xDA\xD1\xE1\xE9\xED\xF3\xFA\xF1\xFC-._";
    std::string out(1, alphabet[random() % 26]);  // no leading blank or sign
    const std::size_t length = 1 + random() % 9;
    while (out.size() < length)
        out += alphabet[random() % alphabet.size()];
    return out;
}

struct Row {
    std::string abrev;  // as stored: padded to 10
    long hora = 0;
};

// A table of `count` records made by the other engine, with some codes and hours repeated.
std::vector<Row> makeRows(std::uint32_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<Row> rows;
    for (std::uint32_t rec = 1; rec <= count; ++rec) {
        Row row;
        row.abrev = rec > 10 && rec % 7 == 0 ? rows[random() % rows.size()].abrev : padded(code(random), 10);
        row.hora = static_cast<long>(random() % 6001) - 3000;
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> tableLines(const std::vector<Row>& rows)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < rows.size(); ++i)
        lines.push_back(rows[i].abrev + "\tNombre " + std::to_string(i + 1) + "\t" + std::to_string(rows[i].hora));
    return lines;
}

std::string trimmed(const std::string& value) { return value.substr(0, value.find_last_not_of(' ') + 1); }

}  // namespace

struct Interop : ::testing::Test {
    Scratch scratch{"interop"};
};

TEST_F(Interop, CheckerSeesAndSearchesOurIndexOf5000Keys)
{
    SALTA_SIN_DBFCHECK();
    const std::vector<Row> rows = makeRows(5000, 21);
    const std::string dbf = makeTable(scratch, "ASIGT", 7, "ABREV:C:10,NOMBRE:C:40,HORA:I", tableLines(rows));
    ASSERT_FALSE(fs::exists(mdxPathOf(dbf)));
    setIndexFlag(dbf);
    {
        auto index = MdxIndex::create(scratch / "ASIGT.MDX", {{"ABREV", "ABREV", 'C', 10}, {"HORA", "HORA", 'N', 12}});
        for (std::uint32_t rec = 1; rec <= rows.size(); ++rec) {
            index->insert(0, text(rows[rec - 1].abrev), rec);
            index->insert(1, number(static_cast<double>(rows[rec - 1].hora)), rec);
            index->flush();  // as the table does after each post
        }
    }
    EXPECT_EQ(lines(dbfcheck({"tags", dbf}).out), (std::vector<std::string>{"tag\tABREV\tABREV", "tag\tHORA\tHORA"}));

    auto index = MdxIndex::open(scratch / "ASIGT.MDX", false, "ASIGT");
    const auto byCode = index->order(0);
    const auto byHour = index->order(1);
    ASSERT_EQ(byCode.size(), rows.size());
    EXPECT_EQ(checkerOrder(dbf, "ABREV"), byCode);
    EXPECT_EQ(checkerOrder(dbf, "HORA"), byHour);
    for (std::size_t i = 1; i < byHour.size(); ++i)
        ASSERT_LE(rows[byHour[i - 1] - 1].hora, rows[byHour[i] - 1].hora);

    // Present keys: the first and last in order, repeated ones, accented ones; absent keys.
    std::map<std::string, std::uint32_t> firstByCode;
    std::map<long, std::uint32_t> firstByHour;
    for (std::uint32_t rec = 1; rec <= rows.size(); ++rec) {
        firstByCode.emplace(rows[rec - 1].abrev, rec);
        firstByHour.emplace(rows[rec - 1].hora, rec);
    }
    std::vector<std::string> codes = {rows[byCode.front() - 1].abrev, rows[byCode.back() - 1].abrev,
                                      rows[6].abrev, rows[13].abrev, rows[699].abrev};
    for (const auto& [key, rec] : firstByCode)
        if (key.find_first_of("\xC1\xD1\xE1\xF1") != std::string::npos && codes.size() < 12)
            codes.push_back(key);
    for (const auto& key : codes) {
        EXPECT_EQ(checkerFind(dbf, "ABREV", trimmed(key)), firstByCode.at(key)) << key;
        EXPECT_EQ(index->find(0, text(key)), firstByCode.at(key)) << key;
    }
    for (const std::string absent : {"ZZZZZZZZZZ", "Aaaaa", "0", "\xD1\xD1\xD1"}) {
        ASSERT_EQ(firstByCode.count(padded(absent, 10)), 0u);
        EXPECT_EQ(checkerFind(dbf, "ABREV", absent), 0u) << absent;
        EXPECT_EQ(index->find(0, text(absent)), 0u) << absent;
    }
    for (const long hour : {-3000L, 0L, 17L, 3000L, rows[4999].hora}) {
        const std::uint32_t expected = firstByHour.count(hour) ? firstByHour[hour] : 0;
        EXPECT_EQ(checkerFind(dbf, "HORA", std::to_string(hour)), expected) << hour;
        EXPECT_EQ(index->find(1, number(static_cast<double>(hour))), expected) << hour;
    }
    for (const long hour : {-3001L, 3001L, 100000L})
        EXPECT_EQ(checkerFind(dbf, "HORA", std::to_string(hour)), 0u) << hour;
}

TEST_F(Interop, CheckerReadsOurIndexAfterErasingAndReopening)
{
    SALTA_SIN_DBFCHECK();
    const std::vector<Row> rows = makeRows(5000, 33);
    const std::string dbf = makeTable(scratch, "PROFT", 7, "ABREV:C:10,NOMBRE:C:40,HORA:I", tableLines(rows));
    setIndexFlag(dbf);
    const std::string mdx = scratch / "PROFT.MDX";
    {
        auto index = MdxIndex::create(mdx, {{"ABREV", "ABREV", 'C', 10}});
        for (std::uint32_t rec = 1; rec <= 2500; ++rec)
            index->insert(0, text(rows[rec - 1].abrev), rec);
        index->flush();
    }
    std::vector<std::uint32_t> expected;
    {
        auto index = MdxIndex::open(mdx, true, "PROFT");
        for (std::uint32_t rec = 2501; rec <= rows.size(); ++rec) {
            index->insert(0, text(rows[rec - 1].abrev), rec);
            index->flush();
        }
        // Records dropped from the index, as a changed key leaves its old place.
        for (std::uint32_t rec = 3; rec <= rows.size(); rec += 4) {
            index->erase(0, text(rows[rec - 1].abrev), rec);
            index->flush();
        }
        expected = index->order(0);
    }
    ASSERT_EQ(expected.size(), 3750u);
    EXPECT_EQ(checkerOrder(dbf, "ABREV"), expected);
    const std::uint32_t gone = 7;  // erased; a repeated code may still find another record
    std::uint32_t other = 0;
    for (const std::uint32_t rec : expected)
        if (rows[rec - 1].abrev == rows[gone - 1].abrev) {
            other = rec;
            break;
        }
    EXPECT_EQ(checkerFind(dbf, "ABREV", trimmed(rows[gone - 1].abrev)), other);
    EXPECT_EQ(checkerFind(dbf, "ABREV", trimmed(rows[4999].abrev)), MdxIndex::open(mdx, false, "PROFT")->find(0, text(rows[4999].abrev)));
}

TEST_F(Interop, CollationMatchesCheckerForEveryByte)
{
    SALTA_SIN_DBFCHECK();
    // One record per byte value, the key field being that one byte.
    const std::vector<std::string> filler(256, "x");
    const std::string theirs = makeTable(scratch, "THEIRS", 7, "K:C:1", filler);
    const std::string ours = makeTable(scratch, "OURS", 7, "K:C:1", filler);
    for (std::uint32_t rec = 1; rec <= 256; ++rec) {
        patchField(theirs, rec, 0, std::string(1, static_cast<char>(rec - 1)));
        patchField(ours, rec, 0, std::string(1, static_cast<char>(rec - 1)));
    }
    ASSERT_EQ(dbfcheck({"index", theirs, "K", "K"}).status, 0);
    setIndexFlag(ours);
    {
        auto index = MdxIndex::create(scratch / "OURS.MDX", {{"K", "K", 'C', 1}});
        for (std::uint32_t rec = 1; rec <= 256; ++rec)
            index->insert(0, text(std::string(1, static_cast<char>(rec - 1))), rec);
    }
    const auto order = checkerOrder(theirs, "K");
    ASSERT_EQ(order.size(), 256u);
    EXPECT_EQ(MdxIndex::open(scratch / "OURS.MDX", false, "OURS")->order(0), order);
    EXPECT_EQ(checkerOrder(ours, "K"), order);
    for (const char* key : {"a", "A", "\xE1", "\xC1", "\xD1", "\xF1", "z", "\xFF", "0", "~"})
        EXPECT_EQ(checkerFind(ours, "K", key), static_cast<std::uint8_t>(key[0]) + 1u) << key;

    // The checker's own index of the same keys reads the same through our engine.
    auto checkers = MdxIndex::open(mdxPathOf(theirs), false, "THEIRS");
    EXPECT_EQ(checkers->order(0), order);
    EXPECT_EQ(checkers->find(0, text("\xD1")), 0xD1u + 1);
}

// Indexes the checker writes beside tables of dBASE III, IV and 7: read, search, then change.
class CheckerIndex : public Interop, public ::testing::WithParamInterface<int> {};

TEST_P(CheckerIndex, ReadSearchedAndExtended)
{
    SALTA_SIN_DBFCHECK();
    const int level = GetParam();
    std::mt19937 random(static_cast<unsigned>(level));
    std::vector<Row> rows = makeRows(3000, static_cast<unsigned>(level) * 5);
    std::vector<double> prices;
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        prices.push_back(static_cast<double>(static_cast<long>(random() % 200001) - 100000) / 100);
        char price[32];
        std::snprintf(price, sizeof price, "%.2f", prices.back());
        lines.push_back(rows[i].abrev + "\t" + std::to_string(rows[i].hora) + "\t" + price);
    }
    const std::string dbf = makeTable(scratch, std::string("T").append(std::to_string(level)), level, "ABREV:C:10,HORA:I,PRECIO:N:10:2", lines);
    for (const char* field : {"ABREV", "HORA", "PRECIO"})
        ASSERT_EQ(dbfcheck({"index", dbf, field, field}).status, 0);
    const std::string mdx = mdxPathOf(dbf);

    auto index = MdxIndex::open(mdx, true, "T");
    ASSERT_EQ(index->tags().size(), 3u);
    const char* names[] = {"ABREV", "HORA", "PRECIO"};
    for (int t = 0; t < 3; ++t) {
        EXPECT_EQ(index->tags()[t].name, names[t]);
        EXPECT_EQ(index->tags()[t].field, names[t]);
        EXPECT_EQ(index->tags()[t].keyType, t == 0 ? 'C' : 'N');
        EXPECT_EQ(index->tags()[t].keyLength, t == 0 ? 10 : 12);
        EXPECT_EQ(index->order(t), checkerOrder(dbf, names[t])) << names[t];
    }
    for (const std::uint32_t rec : {1u, 2u, 500u, 2999u}) {
        const Row& row = rows[rec - 1];
        EXPECT_EQ(index->find(0, text(row.abrev)), checkerFind(dbf, "ABREV", trimmed(row.abrev)));
        EXPECT_EQ(index->find(1, number(static_cast<double>(row.hora))), checkerFind(dbf, "HORA", std::to_string(row.hora)));
        const std::uint32_t found = index->find(2, number(prices[rec - 1]));
        ASSERT_NE(found, 0u) << prices[rec - 1];
        EXPECT_EQ(prices[found - 1], prices[rec - 1]);
    }
    EXPECT_EQ(index->find(0, text("zzzzzzzzzz")), 0u);
    EXPECT_EQ(index->find(2, number(0.001)), 0u);

    // Take the first 300 records out of every tag, change the code of record 5, put them back.
    auto change = [&](bool add) {
        for (std::uint32_t rec = 1; rec <= 300; ++rec) {
            const Row& row = rows[rec - 1];
            if (add) {
                index->insert(0, text(row.abrev), rec);
                index->insert(1, number(static_cast<double>(row.hora)), rec);
                index->insert(2, number(prices[rec - 1]), rec);
            } else {
                index->erase(0, text(row.abrev), rec);
                index->erase(1, number(static_cast<double>(row.hora)), rec);
                index->erase(2, number(prices[rec - 1]), rec);
            }
            index->flush();
        }
    };
    change(false);
    EXPECT_EQ(checkerOrder(dbf, "ABREV"), index->order(0));
    EXPECT_EQ(index->order(1).size(), 2700u);
    EXPECT_EQ(checkerOrder(dbf, "PRECIO"), index->order(2));
    rows[4].abrev = padded("NUEVO", 10);
    patchField(dbf, 5, 0, rows[4].abrev);
    change(true);
    for (int t = 0; t < 3; ++t) {
        EXPECT_EQ(checkerOrder(dbf, names[t]), index->order(t)) << names[t];
        EXPECT_EQ(index->order(t).size(), 3000u);
    }
    EXPECT_EQ(checkerFind(dbf, "ABREV", "NUEVO"), 5u);
    index.reset();
    EXPECT_EQ(MdxIndex::open(mdx, false, "T")->find(0, text("NUEVO")), 5u);
}

INSTANTIATE_TEST_SUITE_P(Levels, CheckerIndex, ::testing::Values(3, 4, 7),
                         [](const ::testing::TestParamInfo<int>& info) { return "Level" + std::to_string(info.param); });
