// New tables are built aside and appear whole: a failure part way leaves the folder as it was,
// never an empty or half-filled table, and a link in the table's place is replaced, not followed.
#include "store/table.h"
#include "files/folders.h"
#include "store/work_lock.h"

#include "rationed_disk.h"
#include "store_support.h"

#include <set>

using namespace store;
using namespace storetest;

namespace {

const std::vector<FieldDef> kFields = {{"CODIGO", 'C', 8, 0}, {"HORAS", 'N', 5, 1}};

class NewTableTest : public WorkFolder {
protected:
    // Every entry of the work folder, hidden ones included.
    std::set<std::string> entries() const
    {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(ztemp))
            names.insert(e.path().filename().string());
        return names;
    }

    void fill(Table& t, int records)
    {
        for (int i = 1; i <= records; ++i) {
            t.append();
            t.setText("CODIGO", "C" + std::to_string(i));
            t.setFloat("HORAS", i);
            t.post();
        }
    }
};

}  // namespace

TEST_F(NewTableTest, ATableFilledAsideAppearsWhenCommitted)
{
    SALTA_SIN_DBFCHECK();
    {
        NewTable built("\\ZTEMP", "NUEVA.DBF", kFields, {{"CODIGO", "CODIGO"}});
        fill(built.table(), 3);
        EXPECT_FALSE(files::fileExists(file("NUEVA.DBF")));
        EXPECT_FALSE(files::fileExists(file("NUEVA.MDX")));
        expectEngineError([] { Table("\\ZTEMP", "NUEVA").open(Access::Shared); }, {"No existe la tabla NUEVA"});
        built.commit();
    }
    EXPECT_EQ(entries(), (std::set<std::string>{"NUEVA.DBF", "NUEVA.MDX"}));
    Table t("\\ZTEMP", "NUEVA");
    t.open(Access::Shared);
    EXPECT_EQ(t.recordCount(), 3);
    t.setIndex("CODIGO");
    EXPECT_TRUE(t.findKey({std::string("C2")}));
    EXPECT_EQ(t.recNo(), 2);
    EXPECT_EQ(dbfcheck("find " + file("NUEVA.DBF") + " CODIGO C3"), "found\t3\n");

    // Not committed: nothing is left, and a table of the name stays as it was.
    const std::string before = readBytes(ztemp / "NUEVA.DBF");
    t.close();
    {
        NewTable abandoned("\\ZTEMP", "NUEVA.DBF", kFields, {{"CODIGO", "CODIGO"}}, {"NUEVA.DBF", "NUEVA.MDX"});
        fill(abandoned.table(), 5);
    }
    EXPECT_EQ(entries(), (std::set<std::string>{"NUEVA.DBF", "NUEVA.MDX"}));
    EXPECT_TRUE(readBytes(ztemp / "NUEVA.DBF") == before) << "before changed";
}

// The files a new table replaces are moved out of the way and removed on the removal thread;
// by the time the run lets go of the work folder nothing of them, nor of the aside folders, is
// left, and the tables in place are the new ones.
TEST_F(NewTableTest, ReplacedFilesAreGoneBeforeTheWorkFolderIsLetGo)
{
    WorkLock lock;
    lock.take("\\ZTEMP");
    for (int round = 1; round <= 3; ++round) {
        NewTable built("\\ZTEMP", "NUEVA.DBF", kFields, {{"CODIGO", "CODIGO"}}, {"NUEVA.DBF", "NUEVA.MDX", "VIEJA.DBF"});
        fill(built.table(), round * 100);
        if (round == 3)  // large enough that removing it takes a while
            writeBytes(ztemp / "VIEJA.DBF", std::string(32 << 20, 'x'));
        built.commit();
        Table t("\\ZTEMP", "NUEVA");
        t.open(Access::Shared);
        EXPECT_EQ(t.recordCount(), round * 100);
    }
    lock.release();
    EXPECT_EQ(entries(), (std::set<std::string>{"NUEVA.DBF", "NUEVA.MDX", kWorkLockFile}));
}

TEST_F(NewTableTest, AFullDiskLeavesTheOldTableAndNothingHalfMade)
{
    recreateTable("\\ZTEMP", "PRUEBA.DBF", kFields, {{"CODIGO", "CODIGO"}}, {});
    {
        Table t("\\ZTEMP", "PRUEBA");
        t.open(Access::Exclusive);
        fill(t, 2);
    }
    const std::string oldTable = readBytes(ztemp / "PRUEBA.DBF");
    const std::string oldIndex = readBytes(ztemp / "PRUEBA.MDX");
    const std::set<std::string> before = entries();

    // The disk fills after 0, 1, 2... writes, until the table is made.
    bool made = false;
    for (long allowed = 0; !made && allowed < 20; ++allowed) {
        SCOPED_TRACE(allowed);
        RationedDisk disk(allowed);
        try {
            recreateTable("\\ZTEMP", "PRUEBA.DBF", kFields, {{"CODIGO", "CODIGO"}}, {"PRUEBA.DBF", "PRUEBA.MDX"});
            made = true;
        } catch (const EngineError& e) {
            const std::string text = e.what();
            EXPECT_NE(text.find("tabla PRUEBA"), std::string::npos) << text;
            EXPECT_NE(text.find("Disco lleno"), std::string::npos) << text;
            if (allowed == 0) {  // the index is made first
                EXPECT_NE(text.find("No se puede crear el \xEDndice de la tabla PRUEBA"), std::string::npos) << text;
            }
            EXPECT_EQ(entries(), before);
            EXPECT_TRUE(readBytes(ztemp / "PRUEBA.DBF") == oldTable) << "oldTable changed";
            EXPECT_TRUE(readBytes(ztemp / "PRUEBA.MDX") == oldIndex) << "oldIndex changed";
        }
    }
    ASSERT_TRUE(made);
    EXPECT_EQ(entries(), before);
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Shared);
    EXPECT_EQ(t.recordCount(), 0);

    // A disk that fills while the new table is filled: the old one stays.
    t.close();
    const std::string empty = readBytes(ztemp / "PRUEBA.DBF");
    {
        RationedDisk disk;
        NewTable built("\\ZTEMP", "PRUEBA.DBF", kFields, {{"CODIGO", "CODIGO"}}, {"PRUEBA.DBF", "PRUEBA.MDX"});
        disk.allowed = 1;  // the records' piece is written, the rest is not
        expectEngineError(
            [&] {
                fill(built.table(), 10);
                built.commit();
            },
            {"PRUEBA", "Disco lleno"});
    }
    EXPECT_EQ(entries(), before);
    EXPECT_TRUE(readBytes(ztemp / "PRUEBA.DBF") == empty) << "empty changed";
}

TEST_F(NewTableTest, ALinkInTheTablesPlaceIsReplacedNotFollowed)
{
    SALTA_EN_WINDOWS("symbolic links need a privilege on Windows, and Wine makes them as Linux links");
    SALTA_SIN_DBFCHECK();
    const fs::path elsewhere = root / "OTRA";
    fs::create_directories(elsewhere);
    std::ofstream(elsewhere / "AJENA.DBF") << "ajena";
    fs::create_symlink(elsewhere / "NOEXISTE.DBF", ztemp / "HORARIOZARECSV.DBF");  // dangling
    fs::create_symlink(elsewhere / "AJENA.DBF", ztemp / "HORARIOZARECSV.MDX");
    recreateTable("\\ZTEMP", "HORARIOZARECSV.DBF", kFields, {{"CODIGO", "CODIGO"}}, {});
    for (const char* name : {"HORARIOZARECSV.DBF", "HORARIOZARECSV.MDX"}) {
        EXPECT_FALSE(fs::is_symlink(ztemp / name)) << name;
        EXPECT_TRUE(fs::is_regular_file(ztemp / name)) << name;
    }
    EXPECT_FALSE(fs::exists(elsewhere / "NOEXISTE.DBF"));
    EXPECT_EQ(readBytes(elsewhere / "AJENA.DBF"), "ajena");
    Table t("\\ZTEMP", "HORARIOZARECSV");
    t.open(Access::Exclusive);
    fill(t, 1);
    t.close();
    EXPECT_EQ(dbfcheck("find " + file("HORARIOZARECSV.DBF") + " CODIGO C1"), "found\t1\n");
}

// A builder whose table used to fill in place keeps that on a full disk: the table goes in place
// as its file stands, whole by its own header, and the disk's error is still the caller's.
TEST_F(NewTableTest, CommittedAsWrittenAFullDiskPutsWhatReachedTheFileInPlace)
{
    recreateTable("\\ZTEMP", "PRUEBA.DBF", kFields, {}, {});
    {
        Table t("\\ZTEMP", "PRUEBA");
        t.open(Access::Exclusive);
        fill(t, 2);
    }
    const std::set<std::string> before = entries();
    {
        RationedDisk disk;
        NewTable built("\\ZTEMP", "PRUEBA.DBF", kFields, {}, {"PRUEBA.DBF"});
        Table& t = built.table();
        for (int i = 1; i <= 40000; ++i) {  // more than a gathered run: part of them reach the file now
            t.append();
            t.setText("CODIGO", "C" + std::to_string(i));
            t.post();
        }
        disk.allowed = 0;
        expectEngineError([&] { built.commitAsWritten(); }, {"PRUEBA", "Disco lleno"});
    }
    EXPECT_EQ(entries(), before);
    const std::string bytes = readBytes(ztemp / "PRUEBA.DBF");
    const std::uint32_t count = le32(bytes, 4);
    EXPECT_GT(count, 2u) << "the old table is still in place";
    EXPECT_LT(count, 40000u);
    EXPECT_EQ(bytes.size(), le16(bytes, 8) + std::size_t(count) * le16(bytes, 10) + 1);
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Shared);
    t.goTo(count);
    EXPECT_EQ(t.asText("CODIGO"), "C" + std::to_string(count));
}
