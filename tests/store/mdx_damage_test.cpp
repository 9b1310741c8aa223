// Damaged index files: each gives an engine error that names the table, never a crash, a hang
// or a read past the data (the test build runs with AddressSanitizer).
#include <gtest/gtest.h>

#include <random>

#include "store/errors.h"
#include "store/mdx.h"
#include "store/mdx_format.h"
#include "store/mdx_support.h"

using namespace store;
using namespace mdxtest;

namespace {

struct DamagedIndex : ::testing::Test {
    Scratch scratch{"damage"};
    std::string path = scratch / "AULAT.MDX";
    std::vector<std::uint8_t> good;

    void SetUp() override
    {
        std::mt19937 random(1);
        auto index = MdxIndex::create(path, {{"ABREV", "ABREV", 'C', 10}, {"HORA", "HORA", 'N', 12}});
        for (std::uint32_t rec = 1; rec <= 5000; ++rec) {
            std::string code = std::to_string(random() % 100000);
            code.insert(0, 1, 'A');
            index->insert(0, MdxKey{code, 0}, rec);
            index->insert(1, MdxKey{"", static_cast<double>(random() % 2000)}, rec);
        }
        index->flush();
        index.reset();
        good = readBytes(path);
    }

    std::uint32_t tagHeaderPage(int tag) const
    {
        return mdx::get32(&good[mdx::kTagTableBase + good[mdx::kFileTagSize] * (tag + 1)]);
    }
    std::uint32_t rootPage(int tag) const { return mdx::get32(&good[tagHeaderPage(tag) * mdx::kPageBytes]); }
    std::size_t at(std::uint32_t page) const { return static_cast<std::size_t>(page) * mdx::kPageBytes; }

    // The first leaf of a tag, found by following first children (entries of 16 bytes here).
    std::uint32_t firstLeaf(int tag) const
    {
        std::uint32_t page = rootPage(tag);
        for (;;) {
            const std::uint32_t count = mdx::get32(&good[at(page)]);
            if (mdx::get32(&good[at(page) + mdx::kNodeEntries + count * 16]) == 0)
                return page;
            page = mdx::get32(&good[at(page) + mdx::kNodeEntries]);
        }
    }

    // Opening the bytes fails with an engine error about this table's index.
    void expectDamaged(const std::vector<std::uint8_t>& bytes, const std::string& what)
    {
        writeBytes(path, bytes);
        try {
            auto index = MdxIndex::open(path, true, "AULAT");
            ADD_FAILURE() << what << ": opened";
        } catch (const EngineError& e) {
            const std::string text = e.what();
            EXPECT_NE(text.find("AULAT"), std::string::npos) << what << ": " << text;
            EXPECT_NE(text.find("da\xF1" "ado"), std::string::npos) << what << ": " << text;
        }
    }
};

}  // namespace

TEST_F(DamagedIndex, CutShortAnywhere)
{
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{600}, std::size_t{2047}, std::size_t{2048},
                             std::size_t{3000}, good.size() - 1, good.size() - 512})
        expectDamaged(std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)),
                      "cut at " + std::to_string(size));
    for (std::size_t size = 2048; size < good.size(); size += good.size() / 40)
        expectDamaged(std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)),
                      "cut at " + std::to_string(size));
}

TEST_F(DamagedIndex, BadHeaders)
{
    auto with = [&](std::size_t offset, std::initializer_list<std::uint8_t> bytes) {
        auto copy = good;
        std::copy(bytes.begin(), bytes.end(), copy.begin() + static_cast<std::ptrdiff_t>(offset));
        return copy;
    };
    expectDamaged(with(mdx::kFileVersion, {0x99}), "version");
    expectDamaged(with(mdx::kFileBlockPages, {0, 0}), "block of no pages");
    expectDamaged(with(mdx::kFileBlockBytes, {0x00, 0x03}), "block bytes not the block pages");
    expectDamaged(with(mdx::kFileTagSize, {4}), "tag entries too small");
    expectDamaged(with(mdx::kFileTagsUsed, {200, 0}), "too many tags");
    expectDamaged(with(mdx::kFilePages, {0xFF, 0xFF, 0x0F, 0}), "page count beyond the file");
    expectDamaged(with(mdx::kFilePages, {2, 0, 0, 0}), "page count inside the header");
    expectDamaged(std::vector<std::uint8_t>(good.size(), 0), "all zeros");

    const std::size_t tag = mdx::kTagTableBase + good[mdx::kFileTagSize];
    expectDamaged(with(tag, {0xFF, 0xFF, 0xFF, 0x7F}), "tag header beyond the file");
    expectDamaged(with(tag, {1, 0, 0, 0}), "tag header inside the file header");
    const std::size_t header = at(tagHeaderPage(0));
    expectDamaged(with(header + mdx::kTagKeyLength, {0, 0}), "key length 0");
    expectDamaged(with(header + mdx::kTagKeyLength, {200, 0}), "key length 200");
    expectDamaged(with(header + mdx::kTagEntryLength, {4, 0}), "entry shorter than its key");
    expectDamaged(with(header + mdx::kTagMaxKeys, {0xFF, 0x0F}), "more keys than a node holds");
    // The largest counts a header can hold: their product must not overflow on the way.
    auto largest = with(header + mdx::kTagMaxKeys, {0xFF, 0xFF});
    largest[header + mdx::kTagEntryLength] = 0xFF;
    largest[header + mdx::kTagEntryLength + 1] = 0xFF;
    expectDamaged(largest, "entries of 65535 bytes, 65535 to a node");
    expectDamaged(with(header + mdx::kTagKeyType, {'X'}), "key type");
    expectDamaged(with(at(tagHeaderPage(1)) + mdx::kTagKeyLength, {10, 0}), "numeric key of 10 bytes");
}

TEST_F(DamagedIndex, BadTrees)
{
    auto with32 = [&](std::size_t offset, std::uint32_t value) {
        auto copy = good;
        mdx::put32(&copy[offset], value);
        return copy;
    };
    const std::size_t header = at(tagHeaderPage(0));
    const std::size_t root = at(rootPage(0));
    ASSERT_GT(mdx::get32(&good[root]), 0u);
    const std::uint32_t child = mdx::get32(&good[root + mdx::kNodeEntries]);

    expectDamaged(with32(header + mdx::kTagRoot, 0xFFFFFFF0), "root beyond the file");
    expectDamaged(with32(header + mdx::kTagRoot, static_cast<std::uint32_t>(good.size() / 512) - 1), "root cut by the end");
    expectDamaged(with32(header + mdx::kTagRoot, tagHeaderPage(1)), "root on another tag's header");
    expectDamaged(with32(header + mdx::kTagRoot, rootPage(1)), "root shared with another tag");
    expectDamaged(with32(root + mdx::kNodeEntries, rootPage(0)), "a child that is its own parent");
    expectDamaged(with32(root + mdx::kNodeEntries + 16, child), "a child twice");
    expectDamaged(with32(root + mdx::kNodeEntries, child + 1), "a child between blocks");
    expectDamaged(with32(root, 60000), "a node that claims too many keys");
    const std::uint32_t leaf = firstLeaf(0);
    ASSERT_NE(leaf, rootPage(0));
    expectDamaged(with32(at(leaf) + mdx::kNodeEntries, 0), "record number 0 in a leaf");

    // Two keys of a leaf swapped: out of order.
    auto swapped = good;
    const std::size_t entry = at(leaf) + mdx::kNodeEntries;
    std::swap_ranges(swapped.begin() + static_cast<std::ptrdiff_t>(entry + 4),
                     swapped.begin() + static_cast<std::ptrdiff_t>(entry + 14),
                     swapped.begin() + static_cast<std::ptrdiff_t>(entry + 16 * 5 + 4));
    expectDamaged(swapped, "keys out of order");
}

TEST_F(DamagedIndex, GarbageNeverCrashes)
{
    // Random bytes written over random places: opening either refuses with an engine error or
    // gives an index whose reading and changing stays within its data.
    std::mt19937 random(99);
    int refused = 0;
    for (int round = 0; round < 300; ++round) {
        auto copy = good;
        const int count = 1 + static_cast<int>(random() % 24);
        for (int i = 0; i < count; ++i) {
            // Mostly the header, the tag headers and the top of the trees.
            const std::size_t span = round % 3 == 0 ? copy.size() : std::min<std::size_t>(copy.size(), 16384);
            copy[random() % span] = static_cast<std::uint8_t>(random());
        }
        writeBytes(path, copy);
        try {
            auto index = MdxIndex::open(path, true, "AULAT");
            for (int tag = 0; tag < static_cast<int>(index->tags().size()); ++tag) {
                const auto order = index->order(tag);
                index->find(tag, MdxKey{"A123", 123});
                index->insert(tag, MdxKey{"B77", 77}, 5001);
                index->erase(tag, MdxKey{"B77", 77}, 5001);
                if (!order.empty())
                    index->find(tag, MdxKey{"A1", 1});
            }
            index->flush();
        } catch (const EngineError&) {
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
    // Whole files of noise.
    for (int round = 0; round < 20; ++round) {
        std::vector<std::uint8_t> noise(good.size());
        for (auto& b : noise)
            b = static_cast<std::uint8_t>(random());
        expectDamaged(noise, "noise");
    }
}
