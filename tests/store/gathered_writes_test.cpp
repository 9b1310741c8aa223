// Posts to a table nobody else can read (an exclusive open, or a shared one in a work folder
// this process holds) are gathered and written in large pieces: the file on disk is a whole,
// valid table after each piece and after the close, and every open in this process sees them.
#include "store/table.h"
#include "store/work_lock.h"

#include "files/process.h"
#include "store_support.h"
#include "support/disco_envuelto.h"

#include <ctime>
#include <filesystem>

using namespace store;
using namespace storetest;

namespace {

class GatheredWrites : public WorkFolder {
protected:
    void SetUp() override
    {
        WorkFolder::SetUp();
        recreateTable("\\ZTEMP", "ANCHA.DBF", {{"CODIGO", 'C', 8, 0}, {"RELLENO", 'C', 240, 0}}, {}, {});
        path = file("ANCHA.DBF");
    }

    static void add(Table& t, int n)
    {
        t.append();
        t.setText("CODIGO", "R" + std::to_string(n));
        t.setText("RELLENO", std::string(240, 'x'));
        t.post();
    }

    // Takes the work folder and posts R1 and R2 through a shared open of the table there.
    static void openWithTwo(WorkLock& lock, Table& t)
    {
        lock.take("\\ZTEMP");
        t.open(Access::Shared);
        add(t, 1);
        add(t, 2);
    }

    // The records the file on disk holds, after checking that it is a whole table of them.
    std::uint32_t recordsOnDisk() const
    {
        const std::string bytes = readBytes(path);
        const std::uint32_t count = le32(bytes, 4), headerLength = le16(bytes, 8), recordLength = le16(bytes, 10);
        EXPECT_EQ(bytes.size(), headerLength + std::uint64_t(count) * recordLength + 1) << "not a whole table";
        EXPECT_EQ(bytes.back(), '\x1A');
        if (count > 0) {
            EXPECT_EQ(bytes.substr(headerLength + std::size_t(count - 1) * recordLength, 1 + 1 + std::to_string(count).size()),
                      " R" + std::to_string(count));
        }
        return count;
    }

    std::string path;
};

}  // namespace

TEST_F(GatheredWrites, PostsReachTheFileInLargeWholePiecesAndAtTheClose)
{
    WorkLock lock;
    lock.take("\\ZTEMP");
    Table t("\\ZTEMP", "ANCHA");
    t.open(Access::Shared);
    const int total = 5000;  // about 1.2 MB of records
    int pieces = 0;
    auto size = std::filesystem::file_size(path);
    for (int n = 1; n <= total; ++n) {
        add(t, n);
        if (n == 3) {
            EXPECT_EQ(recordsOnDisk(), 0u) << "three posts went to the file one by one";
        }
        if (std::filesystem::file_size(path) != size) {
            size = std::filesystem::file_size(path);
            ++pieces;
            const std::uint32_t count = recordsOnDisk();
            EXPECT_GT(count, 0u);
            EXPECT_LE(count, static_cast<std::uint32_t>(n));
        }
    }
    EXPECT_GE(pieces, 1);
    EXPECT_LE(pieces, 4) << "pieces of at least some hundreds of kilobytes";
    // The open reads what it has not written yet, as it will be.
    t.goTo(total);
    EXPECT_EQ(t.asText("CODIGO"), "R" + std::to_string(total));
    EXPECT_EQ(t.recordCount(), total);
    t.close();
    EXPECT_EQ(recordsOnDisk(), static_cast<std::uint32_t>(total));
}

TEST_F(GatheredWrites, AGatheredPieceIsStampedWithTheDayItIsWritten)
{
    // The header as an old table left it: last updated on 2 January 1990.
    std::string bytes = readBytes(path);
    bytes.replace(1, 3, std::string{90, 1, 2});
    writeBytes(path, bytes);

    WorkLock lock;
    Table t("\\ZTEMP", "ANCHA");
    openWithTwo(lock, t);
    EXPECT_EQ(readBytes(path).substr(1, 3), (std::string{90, 1, 2})) << "nothing written yet";
    const auto stamp = [](const files::LocalDate& d) {
        return std::string{static_cast<char>(d.year - 1900), static_cast<char>(d.month), static_cast<char>(d.day)};
    };
    const std::string before = stamp(files::localDate(std::time(nullptr)));
    t.close();
    const std::string after = stamp(files::localDate(std::time(nullptr)));  // midnight may fall between
    const std::string header = readBytes(path);
    EXPECT_TRUE(header.substr(1, 3) == before || header.substr(1, 3) == after);
    EXPECT_EQ(le32(header, 4), 2u);
}

TEST_F(GatheredWrites, AnotherOpenInThisProcessEndsTheGathering)
{
    WorkLock lock;
    Table a("\\ZTEMP", "ANCHA");
    openWithTwo(lock, a);
    EXPECT_EQ(recordsOnDisk(), 0u);
    Table b("\\ZTEMP", "ANCHA");
    b.open(Access::Shared);
    EXPECT_EQ(b.recordCount(), 2);
    EXPECT_EQ(recordsOnDisk(), 2u);
    add(a, 3);  // two opens of one file: each post is written at once again
    EXPECT_EQ(recordsOnDisk(), 3u);
    EXPECT_TRUE(b.locate("CODIGO", {std::string("R3")}));
}

TEST_F(GatheredWrites, LettingGoOfTheWorkFolderEndsTheGathering)
{
    WorkLock lock;
    Table t("\\ZTEMP", "ANCHA");
    openWithTwo(lock, t);
    EXPECT_EQ(recordsOnDisk(), 0u);
    lock.release();
    add(t, 3);  // what waited is written first, then this post
    EXPECT_EQ(recordsOnDisk(), 3u);
}

TEST_F(GatheredWrites, AWriteElsewhereFirstPutsTheGatheredRecordsAndTheirCountOnDisk)
{
    WorkLock lock;
    {
        Table t("\\ZTEMP", "ANCHA");
        openWithTwo(lock, t);
    }
    EXPECT_EQ(recordsOnDisk(), 2u);
    Table t("\\ZTEMP", "ANCHA");
    t.open(Access::Shared);
    for (int n = 3; n <= 5; ++n)
        add(t, n);
    EXPECT_EQ(recordsOnDisk(), 2u);
    EXPECT_EQ(t.recordCount(), 5);
    // An edit of a record already on disk is written where it is: what waited goes first,
    // the count naming the records with it.
    t.goTo(1);
    t.edit();
    t.setText("RELLENO", "cambiado");
    t.post();
    EXPECT_EQ(recordsOnDisk(), 5u);
    add(t, 6);
    t.close();
    EXPECT_EQ(recordsOnDisk(), 6u);
    t.open(Access::Shared);
    EXPECT_EQ(t.asText("RELLENO"), "cambiado");
}

TEST_F(GatheredWrites, AnExclusiveOpenGathersWithoutTheWorkFolder)
{
    SALTA_EN_WINDOWS("on Windows an exclusive open shares the file with nobody, so the test cannot read it");
    Table t("\\ZTEMP", "ANCHA");
    t.open(Access::Exclusive);
    add(t, 1);
    add(t, 2);
    EXPECT_EQ(recordsOnDisk(), 0u);
    t.close();
    EXPECT_EQ(recordsOnDisk(), 2u);
}

namespace {

// Counts the times the engine asks a file for its size and time.
class DiscoQueCuenta : public prueba::DiscoEnvuelto {
public:
    long preguntas = 0;

protected:
    class Contado : public prueba::ArchivoEnvuelto {
    public:
        Contado(std::unique_ptr<files::File> dentro, long& preguntas)
            : prueba::ArchivoEnvuelto(std::move(dentro)), preguntas_(preguntas)
        {
        }
        int status(files::FileStatus& s) override
        {
            ++preguntas_;
            return prueba::ArchivoEnvuelto::status(s);
        }

    private:
        long& preguntas_;
    };

    std::unique_ptr<files::File> envuelve(const std::string&, std::unique_ptr<files::File> dentro) override
    {
        return std::make_unique<Contado>(std::move(dentro), preguntas);
    }
};

}  // namespace

// A shared open alone in a held work folder does not look for other opens' writes at every
// search: nobody else writes there. Elsewhere it does, at each search outside a run of posts.
TEST_F(GatheredWrites, ASearchInAHeldFolderDoesNotAskTheFileAgain)
{
    {
        Table t("\\ZTEMP", "ANCHA");
        t.open(Access::Exclusive);
        for (int n = 1; n <= 20; ++n)
            add(t, n);
    }
    DiscoQueCuenta disco;
    files::setFileSystem(&disco);
    const auto preguntasPorBusquedas = [&] {
        Table t("\\ZTEMP", "ANCHA");
        t.open(Access::Shared);
        const long antes = disco.preguntas;
        for (int i = 0; i < 200; ++i)
            EXPECT_TRUE(t.locate("CODIGO", {"R" + std::to_string(i % 20 + 1)}));
        return disco.preguntas - antes;
    };
    EXPECT_GE(preguntasPorBusquedas(), 200);
    {
        WorkLock lock;
        lock.take("\\ZTEMP");
        EXPECT_LT(preguntasPorBusquedas(), 5);
    }
    files::setFileSystem(nullptr);
}

namespace {

// A file whose gathered write is File's own: a writeAt per piece.
class PieceByPiece : public prueba::ArchivoEnvuelto {
public:
    using prueba::ArchivoEnvuelto::ArchivoEnvuelto;
};

}  // namespace

// A gathered write puts its pieces one after another from its offset, over bytes already there
// and past the end, empty pieces taking no room; the system's file (one call where it can
// gather) and File's own (a write per piece) alike, with more pieces than one call takes.
TEST_F(GatheredWrites, APiecesWriteLaysThePiecesEndToEnd)
{
    const std::string path = file("PIEZAS.BIN");
    for (const bool own : {false, true}) {
        std::unique_ptr<files::File> f;
        ASSERT_EQ(files::systemFileSystem().open(path, files::OpenMode::CreateTruncate, files::Sharing::None, f), 0);
        if (own)
            f = std::make_unique<PieceByPiece>(std::move(f));
        ASSERT_EQ(f->writeAt(0, "0123456789", 10), 0);
        std::vector<std::string> texts = {"ab", "", "cde"};
        for (int i = 0; i < 12; ++i)
            texts.push_back(std::string(static_cast<std::size_t>(i % 3), static_cast<char>('F' + i)));
        std::vector<files::Piece> pieces;
        std::string expected = "0123";
        for (const std::string& t : texts) {
            pieces.push_back({t.data(), t.size()});
            expected += t;
        }
        ASSERT_EQ(f->writePiecesAt(4, pieces.data(), pieces.size()), 0);
        if (expected.size() < 10)
            expected += std::string("0123456789").substr(expected.size());
        ASSERT_EQ(f->writePiecesAt(expected.size(), nullptr, 0), 0);
        ASSERT_EQ(f->close(), 0);
        EXPECT_EQ(readBytes(path), expected) << (own ? "File's own" : "the system's");
    }
}
