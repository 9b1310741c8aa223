// The production index on its own: keys, order, search, changes, reopening.
#include "store/mdx.h"
#include "support/sistema.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <set>

#include "store/errors.h"
#include "store/mdx_collation.h"
#include "store/mdx_format.h"
#include "store/mdx_key.h"
#include "store/mdx_support.h"

using namespace store;
using mdxtest::Scratch;

namespace {

std::vector<std::uint8_t> numeric(double value)
{
    std::vector<std::uint8_t> key(12);
    mdx::encodeNumericKey(value, key.data());
    return key;
}

std::vector<std::uint8_t> bytesOf(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> key(12, 0);
    std::size_t i = 0;
    for (int v : values)
        key[i++] = static_cast<std::uint8_t>(v);
    return key;
}

MdxKey text(const std::string& value) { return MdxKey{value, 0}; }
MdxKey number(double value) { return MdxKey{"", value}; }

// A random code of capitals and digits, where the index order is the byte order.
std::string code(std::mt19937& random, int length)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";
    std::string out;
    for (int i = 0; i < length; ++i)
        out += alphabet[random() % (sizeof alphabet - 1)];
    return out;
}

std::string padded(std::string value, std::size_t length)
{
    value.resize(length, ' ');
    return value;
}

// The records in the order the index must give: by key, then record number.
std::vector<std::uint32_t> expectedOrder(const std::map<std::uint32_t, std::string>& keys)
{
    std::vector<std::pair<std::string, std::uint32_t>> entries;
    for (const auto& [rec, key] : keys)
        entries.emplace_back(key, rec);
    std::sort(entries.begin(), entries.end());
    std::vector<std::uint32_t> order;
    for (const auto& e : entries)
        order.push_back(e.second);
    return order;
}

// Reads the root node of the first tag straight from the file: is it an inner node?
bool rootIsInner(const std::string& path)
{
    const auto data = mdxtest::readBytes(path);
    const std::uint32_t tagHeader = mdx::get32(&data[mdx::kTagTableBase + data[mdx::kFileTagSize]]);
    const std::uint8_t* header = &data[tagHeader * mdx::kPageBytes];
    const std::uint32_t root = mdx::get32(header + mdx::kTagRoot);
    const int entryLength = mdx::get16(header + mdx::kTagEntryLength);
    const std::uint8_t* node = &data[root * mdx::kPageBytes];
    const std::uint32_t count = mdx::get32(node);
    return mdx::get32(node + mdx::kNodeEntries + count * entryLength) != 0;
}

int changedBlocks(const std::vector<std::uint8_t>& before, const std::vector<std::uint8_t>& after)
{
    int changed = 0;
    const std::size_t size = std::max(before.size(), after.size());
    for (std::size_t at = 0; at < size; at += mdx::kBlockBytes) {
        const std::size_t end = std::min(at + mdx::kBlockBytes, size);
        const bool same = end <= before.size() && end <= after.size() &&
                          std::memcmp(&before[at], &after[at], end - at) == 0;
        changed += same ? 0 : 1;
    }
    return changed;
}

}  // namespace

TEST(MdxKeys, NumericKeysAsDbaseStoresThem)
{
    // Exponent byte 0x34 + digits before the point, then sign and length, then packed digits.
    EXPECT_EQ(numeric(-500), bytesOf({0x37, 0x89, 0x50}));
    EXPECT_EQ(numeric(-499), bytesOf({0x37, 0x91, 0x49, 0x90}));
    EXPECT_EQ(numeric(0), bytesOf({0x34, 0x01}));
    EXPECT_EQ(numeric(2.5), bytesOf({0x35, 0x09, 0x25}));
    EXPECT_EQ(numeric(-0.75), bytesOf({0x34, 0x89, 0x75}));
    EXPECT_EQ(numeric(123.45), bytesOf({0x37, 0x19, 0x12, 0x34, 0x50}));
    EXPECT_EQ(numeric(1e10), bytesOf({0x3F, 0x09, 0x10}));
    EXPECT_EQ(numeric(0.05), bytesOf({0x33, 0x09, 0x50}));
    EXPECT_EQ(numeric(2147483647), bytesOf({0x3E, 0x29, 0x21, 0x47, 0x48, 0x36, 0x47}));
    // Doubles keep the digits of their binary value, as the other engines store them.
    EXPECT_EQ(numeric(567.8), bytesOf({0x37, 0x41, 0x56, 0x77, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99}));
    EXPECT_EQ(numeric(1234.5678), bytesOf({0x38, 0x21, 0x12, 0x34, 0x56, 0x78}));
    EXPECT_EQ(numeric(1e-20), bytesOf({0x34, 0x01}));  // below the 15th place: zero
    EXPECT_EQ(numeric(9.9999999999999999e-16), bytesOf({0x35 - 15, 0x09, 0x10}));
    EXPECT_DOUBLE_EQ(mdx::decodeNumericKey(numeric(-123.45).data()), -123.45);
    EXPECT_DOUBLE_EQ(mdx::decodeNumericKey(numeric(86400).data()), 86400);
}

TEST(MdxKeys, NumericKeysSortByValue)
{
    const std::vector<double> values = {-1e12, -86400, -500, -499, -10, -1, -0.75, -0.05, 0,
                                        0.5, 1, 2.5, 9, 10, 11, 99.99, 100, 567.8, 1234567, 1e12};
    for (std::size_t i = 0; i < values.size(); ++i)
        for (std::size_t j = 0; j < values.size(); ++j) {
            const int result = mdx::compareNumericKeys(numeric(values[i]).data(), numeric(values[j]).data());
            EXPECT_EQ(result < 0, i < j) << values[i] << " vs " << values[j];
            EXPECT_EQ(result == 0, i == j) << values[i] << " vs " << values[j];
        }
    // The other engines put zero after positive values below 0.1; the index follows them.
    EXPECT_LT(mdx::compareNumericKeys(numeric(0.05).data(), numeric(0).data()), 0);
    EXPECT_LT(mdx::compareNumericKeys(numeric(-0.05).data(), numeric(0).data()), 0);
}

TEST(MdxKeys, WesternEuropeanOrderPutsLettersBesideTheirAccents)
{
    const mdx::Collation& we = mdx::collationForLanguage(kMdxLanguageWestEurope);
    auto less = [&](const std::string& a, const std::string& b) {
        return we.compare(reinterpret_cast<const std::uint8_t*>(a.data()),
                          reinterpret_cast<const std::uint8_t*>(b.data()), static_cast<int>(a.size())) < 0;
    };
    const std::vector<std::string> ordered = {" ", "0", "9", "a", "A", "\xE1", "\xC1", "b", "B",
                                              "n", "N", "\xF1", "\xD1", "o", "z", "Z"};
    for (std::size_t i = 0; i + 1 < ordered.size(); ++i)
        EXPECT_TRUE(less(ordered[i], ordered[i + 1])) << i;
    EXPECT_TRUE(less("ab", "AB"));
    EXPECT_TRUE(less("AB", "b "));
    const mdx::Collation& binary = mdx::collationForLanguage(kMdxLanguageAnsiBinary);
    EXPECT_TRUE(binary.known);
    EXPECT_GT(binary.compare(reinterpret_cast<const std::uint8_t*>("a"), reinterpret_cast<const std::uint8_t*>("B"), 1), 0);
    EXPECT_FALSE(mdx::collationForLanguage(0x01).known);
}

TEST(MdxKeys, LanguageDriverNames)
{
    EXPECT_EQ(mdxLanguageId(std::string("DBWINWE0\0\0\0", 11)), kMdxLanguageWestEurope);
    EXPECT_EQ(mdxLanguageId("dbwinus0"), kMdxLanguageAnsiBinary);
    EXPECT_EQ(mdxLanguageId("DBWINES0   "), kMdxLanguageSpanish);
    EXPECT_EQ(mdxLanguageId(""), kMdxLanguageNone);
    EXPECT_EQ(mdxLanguageId("DB437US0"), -1);
}

namespace {

struct MdxTree : ::testing::Test {
    Scratch scratch{"tree"};
    std::string path = scratch / "CODIGOS.MDX";
    std::vector<MdxTag> tagDefs = {
        {"CODIGO", "CODIGO", 'C', 10, false, false},
        {"HORA", "HORA", 'N', 12, false, false},
    };
};

}  // namespace

TEST_F(MdxTree, TagsAreSeenAsCreated)
{
    auto index = MdxIndex::create(path, {{"codigo", "codigo", 'C', 10}, {"Hora", "hora", 'N', 4}});
    ASSERT_EQ(index->tags().size(), 2u);
    EXPECT_EQ(index->tags()[0].name, "CODIGO");
    EXPECT_EQ(index->tags()[0].field, "CODIGO");
    EXPECT_EQ(index->tags()[0].keyType, 'C');
    EXPECT_EQ(index->tags()[0].keyLength, 10);
    EXPECT_EQ(index->tags()[1].keyType, 'N');
    EXPECT_EQ(index->tags()[1].keyLength, 12);  // numeric keys always take 12 bytes
    EXPECT_EQ(index->tagNumber("hora"), 1);
    EXPECT_EQ(index->tagNumber("CODIGO"), 0);
    EXPECT_EQ(index->tagNumber("NOMBRE"), -1);
    EXPECT_TRUE(index->order(0).empty());
    EXPECT_EQ(index->find(0, text("X")), 0u);
    EXPECT_THROW(index->order(2), EngineError);
    EXPECT_THROW(index->find(-1, text("X")), EngineError);
}

TEST_F(MdxTree, ManyKeysStayInOrderAcrossPagesAndReopening)
{
    std::mt19937 random(7);
    std::map<std::uint32_t, std::string> keys;
    {
        auto index = MdxIndex::create(path, tagDefs);
        for (std::uint32_t rec = 1; rec <= 5000; ++rec) {
            // Short codes repeat, so many keys have several records.
            const std::string key = code(random, rec % 3 == 0 ? 2 : 8);
            keys[rec] = padded(key, 10);
            index->insert(0, text(key), rec);
            index->flush();
        }
        EXPECT_EQ(index->order(0), expectedOrder(keys));
    }
    EXPECT_TRUE(rootIsInner(path));

    auto index = MdxIndex::open(path, false, "CODIGOS");
    const auto order = index->order(0);
    ASSERT_EQ(order, expectedOrder(keys));
    // find answers the lowest record of each key; codes nobody has are not found.
    std::map<std::string, std::uint32_t> firstOf;
    for (const auto& [rec, key] : keys)
        firstOf.emplace(key, rec);
    for (const auto& [key, rec] : firstOf)
        ASSERT_EQ(index->find(0, text(key)), rec) << key;
    int absent = 0;
    for (int i = 0; i < 200; ++i) {
        const std::string key = code(random, 8);
        if (firstOf.count(padded(key, 10)) == 0) {
            ASSERT_EQ(index->find(0, text(key)), 0u) << key;
            ++absent;
        }
    }
    EXPECT_GT(absent, 100);
    EXPECT_EQ(index->find(0, text("!")), 0u);
    EXPECT_EQ(index->find(0, text("\xFF")), 0u);
    EXPECT_TRUE(index->order(1).empty());
}

TEST_F(MdxTree, EqualKeysKeepRecordNumberOrder)
{
    auto index = MdxIndex::create(path, tagDefs);
    for (std::uint32_t rec : {50u, 3u, 900u, 1u, 77u})
        index->insert(0, text("IGUAL"), rec);
    index->insert(0, text("ANTES"), 1000);
    index->insert(0, text("DESPUES"), 2);
    EXPECT_EQ(index->order(0), (std::vector<std::uint32_t>{1000, 2, 1, 3, 50, 77, 900}));
    EXPECT_EQ(index->find(0, text("IGUAL")), 1u);
    index->erase(0, text("IGUAL"), 1);
    EXPECT_EQ(index->find(0, text("IGUAL")), 3u);
}

TEST_F(MdxTree, NumericKeysOrderByValue)
{
    std::mt19937 random(11);
    std::vector<std::pair<long, std::uint32_t>> expected;
    {
        auto index = MdxIndex::create(path, tagDefs);
        for (std::uint32_t rec = 1; rec <= 5000; ++rec) {
            const long value = static_cast<long>(random() % 4001) - 2000;
            expected.emplace_back(value, rec);
            index->insert(1, number(static_cast<double>(value)), rec);
        }
        index->flush();
    }
    std::sort(expected.begin(), expected.end());
    std::vector<std::uint32_t> order;
    for (const auto& e : expected)
        order.push_back(e.second);
    auto index = MdxIndex::open(path, false, "CODIGOS");
    EXPECT_EQ(index->order(1), order);
    const auto zero = std::find_if(expected.begin(), expected.end(), [](const auto& e) { return e.first >= 0; });
    EXPECT_EQ(index->find(1, number(static_cast<double>(zero->first))), zero->second);
    EXPECT_EQ(index->find(1, number(expected.front().first)), expected.front().second);
    EXPECT_EQ(index->find(1, number(2001)), 0u);
    EXPECT_EQ(index->find(1, number(0.5)), 0u);
}

TEST_F(MdxTree, ErasingKeepsTheRestAndFreesPages)
{
    std::mt19937 random(3);
    std::map<std::uint32_t, std::string> keys;
    auto index = MdxIndex::create(path, tagDefs);
    for (std::uint32_t rec = 1; rec <= 5000; ++rec) {
        keys[rec] = padded(code(random, 6), 10);
        index->insert(0, text(keys[rec]), rec);
    }
    index->flush();
    const auto fullSize = std::filesystem::file_size(path);

    // Erase two records in three, in a random order, then check the rest survive a reopening.
    std::vector<std::uint32_t> records;
    for (const auto& entry : keys)
        records.push_back(entry.first);
    std::shuffle(records.begin(), records.end(), random);
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i % 3 == 0)
            continue;
        index->erase(0, text(keys[records[i]]), records[i]);
        keys.erase(records[i]);
    }
    index->flush();
    index.reset();
    index = MdxIndex::open(path, true, "CODIGOS");
    EXPECT_EQ(index->order(0), expectedOrder(keys));

    // Erasing everything leaves an empty tag that takes new keys; freed pages are used again.
    for (const auto& [rec, key] : keys)
        index->erase(0, text(key), rec);
    EXPECT_TRUE(index->order(0).empty());
    EXPECT_EQ(index->find(0, text(keys.begin()->second)), 0u);
    for (std::uint32_t rec = 1; rec <= 5000; ++rec)
        index->insert(0, text(std::string("K").append(std::to_string(rec))), rec);
    index->flush();
    EXPECT_LT(std::filesystem::file_size(path), fullSize * 2);
    index.reset();
    index = MdxIndex::open(path, false, "CODIGOS");
    EXPECT_EQ(index->order(0).size(), 5000u);
    EXPECT_EQ(index->find(0, text("K4321")), 4321u);
}

TEST_F(MdxTree, FlushWritesOnlyChangedBlocks)
{
    std::mt19937 random(5);
    auto index = MdxIndex::create(path, tagDefs);
    for (std::uint32_t rec = 1; rec <= 20000; ++rec)
        index->insert(0, text(code(random, 10)), rec);
    index->flush();
    for (std::uint32_t rec = 20001; rec <= 20010; ++rec) {
        const auto before = mdxtest::readBytes(path);
        index->insert(0, text(code(random, 10)), rec);
        index->flush();
        // The leaf, the inner nodes above it, and at a split the new node and the headers.
        EXPECT_LE(changedBlocks(before, mdxtest::readBytes(path)), 6) << rec;
    }
    const auto before = mdxtest::readBytes(path);
    index->flush();
    EXPECT_EQ(mdxtest::readBytes(path), before);  // nothing changed, nothing written
}

TEST_F(MdxTree, UniqueAndDescendingTags)
{
    auto index = MdxIndex::create(path, {{"UNICO", "CODIGO", 'C', 4, false, true}, {"BAJA", "CODIGO", 'C', 4, true, false}});
    const std::vector<std::pair<std::string, std::uint32_t>> rows = {{"B", 1}, {"A", 2}, {"B", 3}, {"C", 4}};
    for (const auto& [key, rec] : rows) {
        index->insert(0, text(key), rec);
        index->insert(1, text(key), rec);
    }
    EXPECT_EQ(index->order(0), (std::vector<std::uint32_t>{2, 1, 4}));  // the first B only
    EXPECT_EQ(index->order(1), (std::vector<std::uint32_t>{4, 1, 3, 2}));  // equal keys by record
    index->erase(0, text("B"), 3);  // never indexed: nothing to do
    index->flush();
    index.reset();
    index = MdxIndex::open(path, false, "CODIGOS");
    EXPECT_TRUE(index->tags()[0].unique);
    EXPECT_TRUE(index->tags()[1].descending);
    EXPECT_EQ(index->order(1), (std::vector<std::uint32_t>{4, 1, 3, 2}));
    EXPECT_EQ(index->find(1, text("B")), 1u);
}

TEST_F(MdxTree, ChangesThatCannotBeMadeAreErrors)
{
    {
        auto index = MdxIndex::create(path, tagDefs);
        index->insert(0, text("UNO"), 1);
        EXPECT_THROW(index->insert(0, text("CERO"), 0), EngineError);
        EXPECT_THROW(index->insert(5, text("UNO"), 2), EngineError);
        try {
            index->erase(0, text("DOS"), 2);
            FAIL() << "erasing a key the index does not have";
        } catch (const EngineError& e) {
            EXPECT_NE(std::string(e.what()).find("CODIGOS"), std::string::npos) << e.what();
        }
        index->flush();
    }
    auto readOnly = MdxIndex::open(path, false, "CODIGOS");
    EXPECT_THROW(readOnly->insert(0, text("DOS"), 2), EngineError);
    EXPECT_THROW(readOnly->erase(0, text("UNO"), 1), EngineError);
    EXPECT_EQ(readOnly->order(0), std::vector<std::uint32_t>{1});
}

TEST_F(MdxTree, CreateRefusesTagsItCannotWrite)
{
    auto refused = [&](const std::vector<MdxTag>& tags) {
        EXPECT_THROW(MdxIndex::create(path, tags), EngineError);
    };
    refused({});
    refused({{"A", "A", 'C', 0}});
    refused({{"A", "A", 'C', 101}});
    refused({{"A", "A", 'X', 10}});
    refused({{"", "A", 'C', 10}});
    refused({{std::string(33, 'T'), "A", 'C', 10}});
    refused({{"A", "A", 'C', 10}, {"a", "B", 'C', 10}});
    refused({{"A", "", 'C', 10}});
    EXPECT_THROW(MdxIndex::create(path, tagDefs, 0x01), EngineError);  // an order we do not have
    EXPECT_THROW(MdxIndex::create(scratch / "no/such/folder/X.MDX", tagDefs), EngineError);
    EXPECT_NO_THROW(MdxIndex::create(path, {{std::string(32, 'T'), "A", 'C', 100}}));
}

TEST_F(MdxTree, MissingFileIsAnEngineErrorNamingTheTable)
{
    try {
        MdxIndex::open(scratch / "NADA.MDX", false, "NADA");
        FAIL() << "opened a missing file";
    } catch (const EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("NADA"), std::string::npos) << e.what();
    }
    // Something that is not a file in its place is refused without waiting on it: a folder, and
    // where there are FIFOs, a FIFO.
    std::vector<const char*> names{"CARPETA.MDX"};
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((scratch / "TUBO.MDX").c_str(), 0600), 0);
    names.push_back("TUBO.MDX");
#endif
    std::filesystem::create_directory(scratch.dir / "CARPETA.MDX");
    for (const char* name : names)
        for (const bool writable : {false, true}) {
            try {
                MdxIndex::open(scratch / name, writable, "TUBO");
                ADD_FAILURE() << "opened " << name;
            } catch (const EngineError& e) {
                EXPECT_NE(std::string(e.what()).find("TUBO"), std::string::npos) << e.what();
            }
        }
}

TEST_F(MdxTree, RecreatingDoesNotMixWithAnIndexStillOpen)
{
    SALTA_EN_WINDOWS("Windows replaces no file that is open, so there is no old index still open to mix with");
    auto old = MdxIndex::create(path, tagDefs);
    old->insert(0, text("VIEJO"), 1);
    old->flush();
    auto fresh = MdxIndex::create(path, {{"OTRA", "OTRA", 'C', 5}});
    for (std::uint32_t rec = 2; rec <= 500; ++rec)
        old->insert(0, text("VIEJO"), rec);
    old->flush();
    old.reset();
    fresh.reset();
    auto reopened = MdxIndex::open(path, false, "CODIGOS");
    ASSERT_EQ(reopened->tags().size(), 1u);
    EXPECT_EQ(reopened->tags()[0].name, "OTRA");
    EXPECT_TRUE(reopened->order(0).empty());
    EXPECT_EQ(std::filesystem::directory_iterator(scratch.dir)->path().filename(), "CODIGOS.MDX");  // no leftovers
}
