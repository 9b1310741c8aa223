// A table built aside while the run holds the work folder is written over the spare its name
// left, and the table it replaces becomes the next spare: the tables in place are byte for byte
// those made in new files, the spare's old bytes never show, and nothing but a spare of our own
// is ever written over.
#include "store/spare_tables.h"
#include "store/table.h"
#include "store/work_lock.h"

#include "store_support.h"

using namespace store;
using namespace storetest;

namespace {

const std::vector<FieldDef> kFields = {{"CODIGO", 'C', 8, 0}, {"TEXTO", 'C', 200, 0}, {"HORAS", 'N', 5, 1}};
constexpr int kBigTable = 6000;  // records of 214 bytes: more than a spare's minimum

class SpareTablesTest : public WorkFolder {
protected:
    fs::path spare() const { return ztemp / kSpareFolder / "NUEVA.DBF"; }

    // NUEVA built aside with `records` records whose texts begin with `tag`.
    void build(int records, const std::string& tag)
    {
        NewTable built("\\ZTEMP", "NUEVA.DBF", kFields, {}, {"NUEVA.DBF"});
        Table& t = built.table();
        for (int i = 1; i <= records; ++i) {
            t.append();
            t.setText("CODIGO", "C" + std::to_string(i));
            t.setText("TEXTO", tag + std::to_string(i));
            t.setFloat("HORAS", i % 100);
            t.post();
        }
        built.commit();
    }

    // The bytes NUEVA has when built the same way in a work folder of its own, with no spare.
    std::string builtFresh(int records, const std::string& tag)
    {
        const fs::path here = root;
        root = root / "fresca";
        ztemp = root / "ZTEMP";
        fs::create_directories(ztemp);
        store::setDriveC(root.string());
        build(records, tag);
        const std::string bytes = readBytes(ztemp / "NUEVA.DBF");
        root = here;
        ztemp = root / "ZTEMP";
        store::setDriveC(root.string());
        return bytes;
    }
};

}  // namespace

TEST_F(SpareTablesTest, TheReplacedTableIsTheNextOnesSpareAndNoOldByteShows)
{
    SALTA_SIN_DBFCHECK();
    const std::string small = builtFresh(50, "pequena ");
    const std::string big = builtFresh(kBigTable, "grande ");
    ASSERT_GT(big.size(), kSpareMinimumBytes);

    WorkLock lock;
    lock.take("\\ZTEMP");
    build(kBigTable, "grande ");
    EXPECT_FALSE(fs::exists(ztemp / kSpareFolder)) << "nothing was replaced yet";
    build(kBigTable, "otra ");
    EXPECT_TRUE(readBytes(spare()) == big) << "the spare is not the table replaced";

    // A smaller table over the big spare: cut after its end, as a new file would be.
    build(50, "pequena ");
    EXPECT_TRUE(readBytes(ztemp / "NUEVA.DBF") == small) << "the table over the spare differs from a new one";
    EXPECT_EQ(readBytes(spare()).size(), big.size());
    const std::string dump = dbfcheck("dump " + file("NUEVA.DBF"));
    EXPECT_NE(dump.find("records\t50\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("record\tC50\tpequena 50\t50\n"), std::string::npos) << dump;

    // A small table replaced is deleted as before; the big spare has gone into the new table.
    build(kBigTable, "grande ");
    EXPECT_FALSE(fs::exists(spare()));
    EXPECT_TRUE(readBytes(ztemp / "NUEVA.DBF") == big) << "the table over the spare differs from a new one";

    // recreateTable puts an empty table in place at once: it takes no spare and keeps none.
    build(kBigTable, "otra ");
    ASSERT_TRUE(fs::exists(spare()));
    const std::string kept = readBytes(spare());
    recreateTable("\\ZTEMP", "NUEVA.DBF", kFields, {}, {"NUEVA.DBF"});
    EXPECT_TRUE(readBytes(spare()) == kept) << "recreateTable changed the spare";
    {
        Table t("\\ZTEMP", "NUEVA");
        t.open(Access::Shared);
        EXPECT_EQ(t.recordCount(), 0);
    }

    // Dropped before its commit, the table takes its spare with it and leaves the one in place.
    const std::string inPlace = readBytes(ztemp / "NUEVA.DBF");
    {
        NewTable abandoned("\\ZTEMP", "NUEVA.DBF", kFields, {}, {"NUEVA.DBF"});
        abandoned.table().append();
        abandoned.table().post();
    }
    EXPECT_FALSE(fs::exists(spare()));
    EXPECT_TRUE(readBytes(ztemp / "NUEVA.DBF") == inPlace) << "the table in place changed";
    lock.release();
}

TEST_F(SpareTablesTest, NoSpareIsKeptUnlessTheRunHoldsTheWorkFolder)
{
    build(kBigTable, "grande ");
    build(kBigTable, "otra ");
    EXPECT_FALSE(fs::exists(ztemp / kSpareFolder));
}

TEST_F(SpareTablesTest, OnlyAFileOfItsOwnIsWrittenOver)
{
    SALTA_EN_WINDOWS("links need a privilege on Windows, and Wine makes them as Linux links");
    const std::string big = builtFresh(kBigTable, "grande ");
    const fs::path elsewhere = root / "OTRA";
    fs::create_directories(elsewhere);
    const std::string theirs(2 << 20, 'x');
    writeBytes(elsewhere / "AJENA.DBF", theirs);
    fs::create_directories(ztemp / kSpareFolder);

    WorkLock lock;
    lock.take("\\ZTEMP");
    // A link in the spare's place, then a second name of another file.
    fs::create_symlink(elsewhere / "AJENA.DBF", spare());
    build(kBigTable, "grande ");
    fs::remove(spare());
    fs::create_hard_link(elsewhere / "AJENA.DBF", spare());
    build(kBigTable, "grande ");
    lock.release();

    EXPECT_TRUE(readBytes(elsewhere / "AJENA.DBF") == theirs) << "a file elsewhere was written";
    EXPECT_TRUE(readBytes(ztemp / "NUEVA.DBF") == big) << "the table differs from a new one";
}

TEST_F(SpareTablesTest, OnlyTheOldBytesAfterATablesEndMarkAreCut)
{
    const std::string table = builtFresh(3, "t ");
    const fs::path path = ztemp / "CORTE.DBF";
    for (const std::string& after : {std::string(), std::string(5000, 'v')}) {
        writeBytes(path, table + after);
        std::unique_ptr<files::File> file;
        ASSERT_EQ(files::fileSystem().open(path.string(), files::OpenMode::ReadWrite, files::Sharing::None, file), 0);
        EXPECT_EQ(cutAfterEnd(*file), 0);
        file.reset();
        EXPECT_TRUE(readBytes(path) == table) << after.size() << " bytes after the end mark";
    }
    // Where the header's end holds no end mark the file is not this engine's: nothing is cut.
    std::string noMark = table + std::string(100, 'v');
    noMark[table.size() - 1] = 'v';
    writeBytes(path, noMark);
    std::unique_ptr<files::File> file;
    ASSERT_EQ(files::fileSystem().open(path.string(), files::OpenMode::ReadWrite, files::Sharing::None, file), 0);
    EXPECT_NE(cutAfterEnd(*file), 0);
    file.reset();
    EXPECT_TRUE(readBytes(path) == noMark) << "a file without the end mark was cut";
}
