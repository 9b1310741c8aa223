// Damaged, cut-short or foreign files give an engine error naming the table, never a crash or a
// read past the data (the test build runs with AddressSanitizer); a failing disk leaves the
// table as it was.
#include "files/file_io.h"
#include "store/table.h"

#include "store_support.h"
#include "support/disco_envuelto.h"

#include <cerrno>
#include <functional>
#include <random>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace store;
using namespace storetest;

namespace {

class DamagedTest : public WorkFolder {
protected:
    std::string valid;  // a level 7 table of three records
    std::uint32_t headerLength = 0, recordLength = 0;

    void SetUp() override
    {
        WorkFolder::SetUp();
        recreateTable("\\ZTEMP", "ROTA.DBF",
                      {{"CODIGO", 'C', 8, 0}, {"HORAS", 'N', 6, 2}, {"NLIN", 'I', 0, 0}, {"PESO", 'O', 0, 0},
                       {"SI", 'L', 0, 0}},
                      {}, {});
        {
            Table t("\\ZTEMP", "ROTA");
            t.open(Access::Exclusive);
            for (int i = 1; i <= 3; ++i) {
                t.append();
                t.setText("CODIGO", "C" + std::to_string(i));
                t.setFloat("HORAS", i * 1.5);
                t.setInteger("NLIN", i);
                t.setFloat("PESO", -i);
                t.setBool("SI", i % 2);
                t.post();
            }
        }
        valid = readBytes(ztemp / "ROTA.DBF");
        headerLength = le16(valid, 8);
        recordLength = le16(valid, 10);
    }

    void install(const std::string& bytes) { writeBytes(ztemp / "ROTA.DBF", bytes); }

    void expectDamaged(const std::string& bytes, const std::string& cause)
    {
        install(bytes);
        Table t("\\ZTEMP", "ROTA");
        expectEngineError([&] { t.open(Access::Shared); }, {"La tabla ROTA", cause});
        EXPECT_FALSE(t.isOpen());
    }

    // Opening either fails with an engine error or gives a table whose every field reads or
    // fails with an engine error.
    void expectNoCrash(const std::string& bytes)
    {
        install(bytes);
        Table t("\\ZTEMP", "ROTA");
        try {
            t.open(Access::Shared);
        } catch (const EngineError&) {
            return;
        }
        for (t.first(); !t.eof(); t.next())
            for (const FieldDef& f : t.fields()) {
                try {
                    t.asText(f.name);
                    t.asFloat(f.name);
                } catch (const EngineError&) {
                }
            }
        try {
            t.locate(t.fields()[0].name, {std::string("C1")});
        } catch (const EngineError&) {
        }
    }

    static void setByte(std::string& b, std::size_t at, unsigned v) { b[at] = static_cast<char>(v); }
    static void setLe16(std::string& b, std::size_t at, unsigned v)
    {
        setByte(b, at, v & 0xFF);
        setByte(b, at + 1, v >> 8);
    }
    static void setLe32(std::string& b, std::size_t at, std::uint32_t v)
    {
        setLe16(b, at, v & 0xFFFF);
        setLe16(b, at + 2, v >> 16);
    }
};

}  // namespace

TEST_F(DamagedTest, TheValidTableOpens)
{
    Table t("\\ZTEMP", "ROTA");
    t.open(Access::Shared);
    EXPECT_EQ(t.recordCount(), 3);
    t.last();
    EXPECT_EQ(t.asText("CODIGO"), "C3");
    EXPECT_DOUBLE_EQ(t.asFloat("HORAS"), 4.5);
}

TEST_F(DamagedTest, CutShortFiles)
{
    expectDamaged("", "cabecera");
    expectDamaged(valid.substr(0, 20), "cabecera");
    expectDamaged(valid.substr(0, 100), "cabecera");                // inside the field descriptors
    expectDamaged(valid.substr(0, headerLength - 1), "cabecera");
    expectDamaged(valid.substr(0, headerLength + recordLength + recordLength / 2), "registros");
    // Only the end-of-file byte missing: every record is there, the table is sound.
    install(valid.substr(0, valid.size() - 1));
    Table t("\\ZTEMP", "ROTA");
    t.open(Access::Exclusive);
    EXPECT_EQ(t.recordCount(), 3);
    t.append();
    t.post();
    t.close();
    EXPECT_EQ(readBytes(ztemp / "ROTA.DBF").back(), '\x1A');
}

TEST_F(DamagedTest, LengthsAndCountsBeyondTheFile)
{
    std::string b = valid;
    setLe32(b, 4, 4);
    expectDamaged(b, "registros");
    setLe32(b, 4, 0xFFFFFFFFu);
    expectDamaged(b, "registros");
    b = valid;
    setLe16(b, 8, 60000);
    expectDamaged(b, "cabecera");
    setLe16(b, 8, 40);
    expectDamaged(b, "cabecera");
    b = valid;
    setLe16(b, 8, 68 + 48 + 20);  // the header ends inside the second descriptor
    expectDamaged(b, "campos");
    b = valid;
    setLe16(b, 10, 5);  // records shorter than their fields
    expectDamaged(b, "registro");
    b = valid;
    setLe16(b, 10, 0);
    expectDamaged(b, "registro");
}

TEST_F(DamagedTest, AHeaderWithoutRoomForItsTerminator)
{
    SALTA_SIN_DBFCHECK();
    // One byte short: the fields fit, the terminator does not, and every record would be read
    // one byte early.
    std::string b = valid;
    setLe16(b, 8, headerLength - 1);
    expectDamaged(b, "final de su lista");
    // The same in a level 3 table that another engine wrote.
    const std::string other = file("NIVEL3.DBF");
    dbfcheck("create " + other + " 3 ABREV:C:8,DIA:N:3:0", "AB\t1\nCD\t2\n");
    std::string old = readBytes(other);
    ASSERT_EQ(old[le16(old, 8) - 1], '\x0D');
    setLe16(old, 8, le16(old, 8) - 1);
    writeBytes(other, old);
    expectEngineError([] { Table("\\ZTEMP", "NIVEL3").open(Access::Shared); }, {"La tabla NIVEL3", "final de su lista"});
}

TEST_F(DamagedTest, BadFieldDescriptors)
{
    std::string b = valid;
    setByte(b, 68 + 48 + 32, 'Q');
    expectDamaged(b, "HORAS");
    b = valid;
    setByte(b, 68 + 48 + 33, 0);
    expectDamaged(b, "longitud");
    b = valid;
    setByte(b, 68 + 2 * 48 + 33, 8);  // an integer field must be 4 bytes
    expectDamaged(b, "NLIN");
    b = valid;
    setByte(b, 68, 0);  // a nameless field
    expectDamaged(b, "nombre");
    b = valid;
    setByte(b, 68, 0x07);
    expectDamaged(b, "nombre");
}

TEST_F(DamagedTest, ForeignFiles)
{
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "CODIGO;NOMBRE;CURSO\n";
    expectDamaged(text, "no es una tabla dBASE");
    std::string b = valid;
    setByte(b, 0, 0x30);
    install(b);
    expectEngineError([] { Table("\\ZTEMP", "ROTA").open(Access::Shared); }, {"ROTA", "Visual FoxPro"});
}

// Numbers as other programs store them, aligned either way, with or without decimals, or in
// forms only the general reading takes (a sign, a tab, an exponent, a NUL ending the text).
TEST_F(DamagedTest, StoredNumbersReadTheSameWhicheverWayTheyAreWritten)
{
    struct Readable {
        std::string stored;
        double value;
        long integer;  // rounded half to even
    };
    const std::vector<Readable> readable = {
        {"  1.50", 1.5, 2},   {"-12.5 ", -12.5, -12}, {"1.5   ", 1.5, 2},   {"    -0", 0, 0},
        {".5    ", 0.5, 0},   {"5.    ", 5, 5},       {"+1.25 ", 1.25, 1},  {"1e2   ", 100, 100},
        {"\t12   ", 12, 12},  {std::string("12\0ab ", 6), 12, 12},      {"      ", 0, 0},
        {"-2.5  ", -2.5, -2}, {"  3.5 ", 3.5, 4},     {"999999", 999999, 999999},
    };
    for (const auto& [stored, value, integer] : readable) {
        std::string b = valid;
        b.replace(headerLength + 1 + 8, 6, stored);
        install(b);
        Table t("\\ZTEMP", "ROTA");
        t.open(Access::Shared);
        EXPECT_DOUBLE_EQ(t.asFloat("HORAS"), value) << stored;
        EXPECT_EQ(t.asInteger("HORAS"), integer) << stored;
        EXPECT_EQ(t.locate("HORAS", {value}), stored.find_first_not_of(' ') != std::string::npos) << stored;
    }
    for (const std::string stored : {" 1 2  ", "-     ", "1.2.3 ", "1-2   ", " - 5  ", "12abc "}) {
        std::string b = valid;
        b.replace(headerLength + 1 + 8, 6, stored);
        install(b);
        Table t("\\ZTEMP", "ROTA");
        t.open(Access::Shared);
        expectEngineError([&] { t.asFloat("HORAS"); }, {"ROTA", "HORAS"});
    }
}

TEST_F(DamagedTest, UnreadableNumbersAreReportedWhenRead)
{
    std::string b = valid;
    b.replace(headerLength + 1 + 8, 6, "12abc ");
    install(b);
    Table t("\\ZTEMP", "ROTA");
    t.open(Access::Shared);
    expectEngineError([&] { t.asFloat("HORAS"); }, {"ROTA", "HORAS", "12abc"});
    expectEngineError([&] { t.asInteger("HORAS"); }, {"HORAS"});
    EXPECT_FALSE(t.locate("HORAS", {12.0}));
    EXPECT_TRUE(t.locate("HORAS", {3.0}));
    EXPECT_EQ(t.recNo(), 2);
}

TEST_F(DamagedTest, GarbageAndMutationsNeverCrash)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 200; ++round) {
        std::string garbage(random() % 2000, '\0');
        for (char& c : garbage)
            c = static_cast<char>(random());
        expectNoCrash(garbage);
    }
    for (int round = 0; round < 1000; ++round) {
        std::string b = valid;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i) {
            const std::size_t at = random() % (round % 2 ? headerLength : b.size());
            b[at] = static_cast<char>(random());
        }
        if (round % 5 == 0)
            b.resize(random() % b.size());
        expectNoCrash(b);
    }
}

#ifndef _WIN32
namespace {

// Runs `check` in a child process: true when the child ended normally and `check` held. A crash
// (a write through a mapping of a file cut short raises SIGBUS) fails the test, not the run.
bool holdsInChild(const std::function<bool()>& check)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(check() ? 0 : 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The text of the engine error that `action` throws; "" when none.
template <typename F>
std::string engineErrorOf(F&& action)
{
    try {
        action();
    } catch (const EngineError& e) {
        return e.what();
    }
    return {};
}

bool mentions(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

}  // namespace

#endif

TEST_F(DamagedTest, ATableCutShortByAnotherProgramWhileOpenIsReported)
{
    SALTA_EN_WINDOWS("Windows lets no other program cut a table open without sharing, and the check forks");
#ifndef _WIN32
    const std::string path = file("ROTA.DBF");
    for (const Access access : {Access::Exclusive, Access::Shared}) {
        for (const std::uint64_t cutTo : {std::uint64_t{0}, std::uint64_t{headerLength},
                                          std::uint64_t{headerLength + 2 * recordLength}}) {
            SCOPED_TRACE(std::to_string(cutTo) + (access == Access::Shared ? " shared" : " exclusive"));
            // In a child: `before` on an open of ROTA, the file cut short, then `after` refused.
            const auto cutBetween = [&](const std::function<void(Table&)>& before,
                                        const std::function<void(Table&)>& after) {
                install(valid);
                EXPECT_TRUE(holdsInChild([&] {
                    Table t("\\ZTEMP", "ROTA");
                    t.open(access);
                    before(t);
                    if (::truncate(path.c_str(), static_cast<off_t>(cutTo)) != 0)
                        return false;
                    // A shared open finds the cut at its next write; an exclusive one, whose writes
                    // wait in memory, when it writes them at the latest.
                    return mentions(engineErrorOf([&] {
                                        after(t);
                                        t.close();
                                    }),
                                    "La tabla ROTA est\xE1 da\xF1" "ada");
                }));
            };
            const auto appendOne = [](const char* code) {
                return [code](Table& t) {
                    t.append();
                    t.setText("CODIGO", code);
                    t.post();
                };
            };
            // Cut between two appends, before an edit, and after the last write before closing.
            cutBetween(appendOne("ANTES"), appendOne("DESPUES"));
            cutBetween([](Table& t) { t.goTo(1); },
                       [](Table& t) {
                           t.edit();
                           t.setText("CODIGO", "CAMBIO");
                           t.post();
                       });
            cutBetween(appendOne("ANTES"), [](Table& t) { t.close(); });
        }
    }
    // Its index cut short under an open: the next change of the index is refused.
    recreateTable("\\ZTEMP", "CONIDX.DBF", {{"CODIGO", 'C', 8, 0}}, {{"CODIGO", "CODIGO"}}, {});
    EXPECT_TRUE(holdsInChild([&] {
        Table t("\\ZTEMP", "CONIDX");
        t.open(Access::Exclusive);
        t.append();
        t.setText("CODIGO", "UNO");
        t.post();
        if (::truncate(file("CONIDX.MDX").c_str(), 2048) != 0)
            return false;
        const std::string error = engineErrorOf([&] {
            t.append();
            t.setText("CODIGO", "DOS");
            t.post();
            t.close();
        });
        return mentions(error, "El \xEDndice de la tabla CONIDX est\xE1 da\xF1" "ado");
    }));
#endif
}

namespace {

// A file system whose writes fail with "disk full" while `full` is set.
class FullDisk : public prueba::DiscoEnvuelto {
public:
    bool full = false;

protected:
    class Wrapped : public prueba::ArchivoEnvuelto {
    public:
        Wrapped(std::unique_ptr<files::File> inner, const bool& full)
            : prueba::ArchivoEnvuelto(std::move(inner)), full_(full)
        {
        }
        int writeAt(std::uint64_t o, const void* d, std::size_t n) override
        {
            return full_ ? ENOSPC : prueba::ArchivoEnvuelto::writeAt(o, d, n);
        }

    private:
        const bool& full_;
    };

    std::unique_ptr<files::File> envuelve(const std::string&, std::unique_ptr<files::File> inner) override
    {
        return std::make_unique<Wrapped>(std::move(inner), full);
    }
};

}  // namespace

TEST_F(DamagedTest, AFullDiskLeavesTheTableAsItWas)
{
    FullDisk disk;
    files::setFileSystem(&disk);
    {
        // A shared open writes at each post: the post that meets the full disk fails.
        Table t("\\ZTEMP", "ROTA");
        t.open(Access::Shared);
        disk.full = true;
        t.append();
        t.setText("CODIGO", "NUEVO");
        expectEngineError([&] { t.post(); }, {"ROTA", "Disco lleno"});
        EXPECT_EQ(t.recordCount(), 3);
        EXPECT_TRUE(t.editingOrAppending());  // the record is still there to retry or cancel
        t.cancel();
        t.goTo(1);
        t.edit();
        t.setText("CODIGO", "CAMBIO");
        expectEngineError([&] { t.post(); }, {"Disco lleno"});
        t.cancel();
        EXPECT_EQ(t.asText("CODIGO"), "C1");
        disk.full = false;
        t.append();
        t.setText("CODIGO", "LUEGO");
        t.post();
    }
    files::setFileSystem(nullptr);
    const std::string after = readBytes(ztemp / "ROTA.DBF");
    EXPECT_EQ(le32(after, 4), 4u);
    EXPECT_EQ(after.substr(8, headerLength + 3 * recordLength - 8), valid.substr(8, headerLength + 3 * recordLength - 8))
        << "the failed writes changed nothing";
    Table t("\\ZTEMP", "ROTA");
    t.open(Access::Shared);
    t.last();
    EXPECT_EQ(t.asText("CODIGO"), "LUEGO");
}

// An exclusive open gathers its posts and writes them later: a disk full then fails the write
// that meets it (here the close), names the table, and leaves the file as it was before.
TEST_F(DamagedTest, AFullDiskUnderGatheredPostsLeavesTheTableAsItWas)
{
    FullDisk disk;
    files::setFileSystem(&disk);
    {
        Table t("\\ZTEMP", "ROTA");
        t.open(Access::Exclusive);
        disk.full = true;
        for (const char* code : {"UNO", "DOS"}) {
            t.append();
            t.setText("CODIGO", code);
            t.post();
        }
        EXPECT_EQ(t.recordCount(), 5);
        expectEngineError([&] { t.close(); }, {"ROTA", "Disco lleno"});
    }
    files::setFileSystem(nullptr);
    EXPECT_TRUE(readBytes(ztemp / "ROTA.DBF") == valid) << "the failed close changed the file";
    Table t("\\ZTEMP", "ROTA");
    t.open(Access::Exclusive);
    EXPECT_EQ(t.recordCount(), 3);
    t.append();
    t.setText("CODIGO", "LUEGO");
    t.post();
    t.close();
    t.open(Access::Shared);
    t.last();
    EXPECT_EQ(t.recordCount(), 4);
    EXPECT_EQ(t.asText("CODIGO"), "LUEGO");
}
