// A table's production index is checked against the table when the table opens: an index that
// does not fit it is refused, naming the table, rather than believed. An index that is only
// read is never written, even where loading it mended something in memory.
#include "store/mdx_format.h"
#include "store/table.h"

#include "store_support.h"

using namespace store;
using namespace storetest;

namespace {

constexpr int kRecords = 500;  // several leaves under an inner root in each tag

class IndexFit : public WorkFolder {
protected:
    std::string dbf, mdx;  // the files as built

    void SetUp() override
    {
        WorkFolder::SetUp();
        recreateTable("\\ZTEMP", "PROFT.DBF", {{"ABREV", 'C', 10, 0}, {"NLIN", 'I', 0, 0}},
                      {{"ABREV", "ABREV"}, {"NLIN", "NLIN"}}, {});
        Table t("\\ZTEMP", "PROFT");
        t.open(Access::Exclusive);
        for (int i = 1; i <= kRecords; ++i) {
            t.append();
            t.setText("ABREV", "P" + std::to_string(i * 7919 % 100000));
            t.setInteger("NLIN", i % 37);
            t.post();
        }
        t.close();
        dbf = readBytes(ztemp / "PROFT.DBF");
        mdx = readBytes(ztemp / "PROFT.MDX");
    }

    std::size_t tagHeader(int tag) const
    {
        return std::size_t(le32(mdx, mdx::kTagTableBase + static_cast<unsigned char>(mdx[mdx::kFileTagSize]) * (tag + 1))) *
               mdx::kPageBytes;
    }
    std::size_t root(int tag) const { return std::size_t(le32(mdx, tagHeader(tag) + mdx::kTagRoot)) * mdx::kPageBytes; }

    // The first leaf of a tag, following first children.
    std::size_t firstLeaf(int tag) const
    {
        std::size_t node = root(tag);
        const std::size_t entry = le16(mdx, tagHeader(tag) + mdx::kTagEntryLength);
        for (;;) {
            const std::uint32_t count = le32(mdx, node);
            if (le32(mdx, node + mdx::kNodeEntries + count * entry) == 0)
                return node;
            node = std::size_t(le32(mdx, node + mdx::kNodeEntries)) * mdx::kPageBytes;
        }
    }

    static void put(std::string& b, std::size_t at, std::uint32_t v, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            b[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
    }

    void expectRefused(const std::string& bytes, const std::string& cause)
    {
        writeBytes(ztemp / "PROFT.MDX", bytes);
        for (const Access access : {Access::Shared, Access::Exclusive}) {
            Table t("\\ZTEMP", "PROFT");
            expectEngineError([&] { t.open(access); },
                              {"El \xEDndice de la tabla PROFT est\xE1 da\xF1" "ado", cause});
            EXPECT_FALSE(t.isOpen());
        }
    }

    // Everything a reading conversion does with the table, under either kind of open.
    void readThrough()
    {
        for (const Access access : {Access::Shared, Access::Exclusive}) {
            Table t("\\ZTEMP", "PROFT");
            t.open(access);
            t.setIndex("ABREV");
            EXPECT_TRUE(t.findKey({std::string("P7919")}));
            EXPECT_EQ(t.recNo(), 1);
            int seen = 0;
            for (t.first(); !t.eof(); t.next())
                ++seen;
            EXPECT_EQ(seen, kRecords);
            t.setIndex("NLIN");
            EXPECT_TRUE(t.findKey({5.0}));
            EXPECT_TRUE(t.locate("ABREV", {std::string("P15838")}));
            t.last();
            t.close();
        }
    }
};

}  // namespace

TEST_F(IndexFit, TheIndexAsBuiltFitsAndIsRead)
{
    readThrough();
}

TEST_F(IndexFit, AnIndexThatDoesNotFitItsTableIsRefused)
{
    std::string b = mdx;
    put(b, tagHeader(0) + mdx::kTagKeyLength, 1, 2);  // keys of 1 character on a 10-character field
    expectRefused(b, "claves de 1 caracteres y el campo ABREV tiene 10");

    b = mdx;
    b[tagHeader(1) + mdx::kTagKeyType] = 'D';  // date keys on an integer field
    put(b, tagHeader(1) + mdx::kTagKeyLength, mdx::kDateKeyLength, 2);
    expectRefused(b, "claves de tipo D y el campo NLIN es de tipo I");

    b = mdx;
    put(b, root(0) + mdx::kNodeCount, 0, 4);  // the root keeps only its first child
    expectRefused(b, "claves y la tabla 500 registros");

    b = mdx;
    put(b, firstLeaf(1) + mdx::kNodeEntries, kRecords + 1, 4);
    expectRefused(b, "nombra el registro 501, que no existe");

    b = mdx;
    put(b, tagHeader(1) + mdx::kTagRoot, 0x7FFFFFF0, 4);
    expectRefused(b, "fuera del archivo");

    // A table cut back by one record under its index: the index names a record it lacks.
    writeBytes(ztemp / "PROFT.MDX", mdx);
    std::string shorter = dbf.substr(0, dbf.size() - 1 - le16(dbf, 10));
    put(shorter, 4, kRecords - 1, 4);
    writeBytes(ztemp / "PROFT.DBF", shorter + '\x1A');
    expectEngineError([] { Table("\\ZTEMP", "PROFT").open(Access::Shared); },
                      {"El \xEDndice de la tabla PROFT", "registro 500, que no existe"});
}

TEST_F(IndexFit, ReadingNeverWritesAMendedIndex)
{
    SALTA_SIN_DBFCHECK();
    // Damage that loading mends in memory: a stale key beside a child's block number, a tag
    // header's page count that is not the tag's.
    std::string staleKey = mdx;
    staleKey.replace(root(0) + mdx::kNodeEntries + 4, 10, "A         ");
    std::string pageCount = mdx;
    put(pageCount, tagHeader(1) + mdx::kTagPages, 9999, 4);
    for (const std::string& damaged : {staleKey, pageCount}) {
        writeBytes(ztemp / "PROFT.MDX", damaged);
        readThrough();
        EXPECT_EQ(readBytes(ztemp / "PROFT.MDX"), damaged);
        EXPECT_EQ(readBytes(ztemp / "PROFT.DBF"), dbf);
    }
    // A change writes the index whole again: another engine finds every key.
    {
        Table t("\\ZTEMP", "PROFT");
        t.open(Access::Exclusive);
        t.append();
        t.setText("ABREV", "NUEVO");
        t.setInteger("NLIN", 99);
        t.post();
    }
    EXPECT_NE(readBytes(ztemp / "PROFT.MDX"), pageCount);
    EXPECT_EQ(dbfcheck("find " + file("PROFT.DBF") + " ABREV NUEVO"), "found\t501\n");
    EXPECT_EQ(lines(dbfcheck("order " + file("PROFT.DBF") + " NLIN")).size(), std::size_t(kRecords + 1));
}
