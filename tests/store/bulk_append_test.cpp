// Records made in memory and appended many at a time (appendRecords) make the same table as
// appending and posting them one by one: the same bytes on disk, the same indexes, and under a
// disk that fills up, the same error and the same file.
#include "store/table.h"
#include "store/work_lock.h"

#include "rationed_disk.h"
#include "store_support.h"

#include <functional>
#include <optional>

using namespace store;
using namespace storetest;

namespace {

const std::vector<FieldDef> kFields = {{"CODIGO", 'C', 8, 0}, {"HORAS", 'N', 5, 1}, {"RELLENO", 'C', 240, 0}};

std::string code(int n)
{
    return "R" + std::to_string(n);
}

class BulkAppend : public WorkFolder {
protected:
    enum class Way { Exclusive, SharedHeld, Shared };

    // The table made anew and filled by `fill`, opened the given way; the file's bytes after the
    // close (the header's date left out) and the text of the engine error met, if any.
    struct Outcome {
        std::string bytes;
        std::string error;
    };
    Outcome build(const std::string& name, Way way, const std::function<void(Table&)>& fill,
                  const std::vector<IndexDef>& indexes = {})
    {
        recreateTable("\\ZTEMP", name + ".DBF", kFields, indexes, {name + ".DBF", name + ".MDX"});
        Outcome out;
        {
            WorkLock lock;
            if (way == Way::SharedHeld)
                lock.take("\\ZTEMP");
            Table t("\\ZTEMP", name);
            try {
                t.open(way == Way::Exclusive ? Access::Exclusive : Access::Shared);
                fill(t);
                t.close();
            } catch (const EngineError& e) {
                out.error = e.what();
            }
        }
        const std::string bytes = readBytes(file(name + ".DBF"));
        out.bytes = bytes.substr(0, 1) + bytes.substr(4);
        return out;
    }

    // Records `from` to `to` one by one, each a post.
    static void posts(Table& t, int from, int to)
    {
        for (int n = from; n <= to; ++n) {
            t.append();
            t.setText("CODIGO", code(n));
            t.setText("HORAS", std::to_string(n % 40));
            t.setText("RELLENO", std::string(n % 240, 'x'));
            t.post();
        }
    }

    // The same records made in memory from a blank one and appended in runs of the sizes
    // given, the last size repeated.
    static void inMemory(Table& t, int from, int to, const std::vector<int>& runs)
    {
        const FieldRef codigo = t.field("CODIGO"), horas = t.field("HORAS"), relleno = t.field("RELLENO");
        t.append();
        const std::string blank(t.recordBytes());
        t.cancel();
        std::string records;
        std::size_t run = 0;
        for (int n = from; n <= to; ++n) {
            const std::size_t at = records.size();
            records += blank;
            t.setTextIn(records.data() + at, codigo, code(n));
            t.setTextIn(records.data() + at, horas, std::to_string(n % 40));
            t.setTextIn(records.data() + at, relleno, std::string(n % 240, 'x'));
            if (records.size() / blank.size() == static_cast<std::size_t>(runs[std::min(run, runs.size() - 1)])) {
                t.appendRecords(records);
                records.clear();
                ++run;
            }
        }
        t.appendRecords(records);
    }
};

}  // namespace

// 6,000 records of 254 bytes: several of the pieces gathered writes are made in.
TEST_F(BulkAppend, RecordsMadeInMemoryMakeTheSameTableAsPosts)
{
    for (const Way way : {Way::Exclusive, Way::SharedHeld, Way::Shared}) {
        const Outcome one = build("PRUEBA", way, [](Table& t) { posts(t, 1, 6000); });
        const Outcome many = build("PRUEBA", way, [](Table& t) {
            inMemory(t, 1, 2999, {1, 7, 500, 2000});
            posts(t, 3000, 3001);  // posts between runs
            inMemory(t, 3002, 6000, {2999});
        });
        EXPECT_EQ(one.error, "");
        EXPECT_EQ(many.error, "");
        EXPECT_TRUE(one.bytes == many.bytes) << "way " << static_cast<int>(way);
    }
}

// The last record appended is the current one, and a copy starts from it as from a post.
TEST_F(BulkAppend, TheLastRecordIsCurrentAndCopiesStartFromIt)
{
    recreateTable("\\ZTEMP", "PRUEBA.DBF", kFields, {}, {"PRUEBA.DBF"});
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Exclusive);
    inMemory(t, 1, 10, {4});
    EXPECT_EQ(t.recordCount(), 10);
    EXPECT_EQ(t.recNo(), 10);
    EXPECT_EQ(t.asText("CODIGO"), "R10");
    EXPECT_EQ(t.recordBytes().substr(1, 8), "R10     ");
    t.appendCopy();
    t.setText("CODIGO", "COPIA");
    t.post();
    EXPECT_EQ(t.asText("RELLENO"), std::string(10, 'x'));
    EXPECT_EQ(t.asInteger("HORAS"), 10);
    t.append();
    t.appendRecords("");  // nothing to append: the record being made stays as it is
    EXPECT_TRUE(t.editingOrAppending());
    t.cancel();
    EXPECT_EQ(t.recordCount(), 11);
    expectEngineError([&] { t.appendRecords("corto"); }, {"PRUEBA", "no son de 254 bytes"});
    std::string record(t.recordBytes());
    expectEngineError([&] { t.setTextIn(record.data(), t.field("HORAS"), "doce"); }, {"PRUEBA", "HORAS"});
    EXPECT_EQ(t.recordCount(), 11);

    // A field's bytes lie where fieldOffset says, as many as its size: after the flag byte and
    // the fields before it.
    const FieldRef relleno = t.field("RELLENO");
    EXPECT_EQ(t.fieldOffset(t.field("CODIGO")), 1u);
    EXPECT_EQ(t.fieldOffset(relleno), 14u);
    t.setTextIn(record.data(), relleno, "z");
    EXPECT_EQ(record.substr(t.fieldOffset(relleno), t.fieldDef(relleno).size), "z" + std::string(239, ' '));

    // A run appended and cleared is emptied whether it went in or not.
    std::string run = "corto";
    expectEngineError([&] { t.appendRecordsAndClear(run); }, {"PRUEBA", "no son de 254 bytes"});
    EXPECT_EQ(run, "");
    run = record;
    t.appendRecordsAndClear(run);
    EXPECT_EQ(run, "");
    EXPECT_EQ(t.recordCount(), 12);
}

// A locate's index and the production index take every record appended in memory.
TEST_F(BulkAppend, AppendedRecordsAreFoundByLocateAndByTheIndex)
{
    recreateTable("\\ZTEMP", "PRUEBA.DBF", kFields, {{"CODIGO", "CODIGO"}}, {"PRUEBA.DBF", "PRUEBA.MDX"});
    Table t("\\ZTEMP", "PRUEBA");
    t.open(Access::Exclusive);
    posts(t, 1, 3);
    EXPECT_TRUE(t.locate("CODIGO", {std::string("R2")}));  // builds the locate's index
    inMemory(t, 4, 300, {50});
    EXPECT_TRUE(t.locate("CODIGO", {std::string("R257")}));
    EXPECT_EQ(t.recNo(), 257);
    t.setIndex("CODIGO");
    EXPECT_TRUE(t.findKey({std::string("R300")}));
    EXPECT_EQ(t.recNo(), 300);
    t.close();
    Table again("\\ZTEMP", "PRUEBA");
    again.open(Access::Shared);
    again.setIndex("CODIGO");
    EXPECT_TRUE(again.findKey({std::string("R123")}));
    EXPECT_EQ(again.recNo(), 123);
}

// A disk that fills up after each number of writes from none to four: the error met (if any)
// and what the file keeps are those of the same records posted one by one.
TEST_F(BulkAppend, AFullDiskEndsBothWaysAlike)
{
    for (const Way way : {Way::Exclusive, Way::Shared}) {
        for (long allowed = 0; allowed <= 4; ++allowed) {
            std::optional<Outcome> one, many;
            {
                RationedDisk disk;
                one = build("PRUEBA", way, [&](Table& t) {
                    disk.allowed = allowed;
                    posts(t, 1, 4000);
                });
            }
            {
                RationedDisk disk;
                many = build("PRUEBA", way, [&](Table& t) {
                    disk.allowed = allowed;
                    inMemory(t, 1, 4000, {1500});
                });
            }
            if (allowed < 2) {  // a run of records and the header are written in two
                EXPECT_NE(one->error.find("Disco lleno"), std::string::npos) << one->error;
            }
            EXPECT_EQ(many->error, one->error) << "way " << static_cast<int>(way) << ", " << allowed << " writes";
            EXPECT_TRUE(many->bytes == one->bytes) << "way " << static_cast<int>(way) << ", " << allowed << " writes";
        }
    }
}

// A gathered write that fails (the records' run, or the header after it) on a disk that has room
// again afterwards: what it was to write stays pending and reaches the file at the close, both
// ways alike.
TEST_F(BulkAppend, RecordsOfAFailedWriteReachTheFileWhenThereIsRoomAgain)
{
    for (const Way way : {Way::Exclusive, Way::SharedHeld}) {
        for (long allowed = 0; allowed <= 1; ++allowed) {
            const auto withFailure = [&](const std::function<void(Table&)>& fill) {
                RationedDisk disk;
                std::string error;
                Outcome out = build("PRUEBA", way, [&](Table& t) {
                    disk.allowed = allowed;
                    try {
                        fill(t);
                    } catch (const EngineError& e) {
                        error = e.what();
                    }
                    disk.allowed = -1;
                });
                EXPECT_NE(error.find("Disco lleno"), std::string::npos) << error;
                EXPECT_EQ(out.error, "");
                out.error = error;
                return out;
            };
            const Outcome one = withFailure([](Table& t) { posts(t, 1, 4000); });
            const Outcome many = withFailure([](Table& t) { inMemory(t, 1, 4000, {1500}); });
            EXPECT_EQ(many.error, one.error);
            EXPECT_TRUE(many.bytes == one.bytes) << "way " << static_cast<int>(way) << ", " << allowed << " writes";
            // The records that reached the file are those appended before the failure, all of them.
            // (The date's three bytes are left out: the count is at 1, the header's length at 5.)
            const auto word = [&](std::size_t at) {
                return static_cast<std::uint32_t>(static_cast<unsigned char>(many.bytes[at]) |
                                                  static_cast<unsigned char>(many.bytes[at + 1]) << 8);
            };
            const std::uint32_t count = word(1), headerLength = word(5);
            EXPECT_GT(count, 1500u);
            EXPECT_EQ(many.bytes.size() + 3, headerLength + count * 254u + 1);
        }
    }
}
