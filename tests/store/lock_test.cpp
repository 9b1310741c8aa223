// Exclusive opens exclude every other open, in this process and in others; shared opens share.
#include "store/table.h"

#include "files/process.h"
#include "store_support.h"

#include <chrono>
#include <thread>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

// The tests with another process fork it; tests/windows runs a second process on Windows.
#define SALTA_SIN_FORK() SALTA_EN_WINDOWS("forks the other process; tests/windows opens tables from a second process")

using namespace store;
using namespace storetest;

namespace {

class LockTest : public WorkFolder {
protected:
    void SetUp() override
    {
        WorkFolder::SetUp();
        recreateTable("\\ZTEMP", "GRUPOST.DBF", {{"ABREV", 'C', 4, 0}}, {}, {});
    }

#ifndef _WIN32
    // Opens the table in a child process; true when the open succeeded.
    bool opensInAnotherProcess(Access access)
    {
        const pid_t pid = ::fork();
        if (pid == 0) {
            int code = 2;
            try {
                Table t("\\ZTEMP", "GRUPOST");
                t.open(access);
                code = 0;
            } catch (const EngineError& e) {
                code = std::string(e.what()).find("en uso") != std::string::npos ? 1 : 3;
            } catch (...) {
            }
            ::_exit(code);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status));
        const int code = WEXITSTATUS(status);
        EXPECT_TRUE(code == 0 || code == 1) << "child ended with " << code;
        return code == 0;
    }
#endif
};

}  // namespace

TEST_F(LockTest, ExclusiveExcludesEveryOtherOpenInThisProcess)
{
    Table a("\\ZTEMP", "GRUPOST");
    Table b("\\ZTEMP", "grupost.dbf");
    a.open(Access::Exclusive);
    expectEngineError([&] { b.open(Access::Exclusive); }, {"grupost.dbf", "en uso"});
    expectEngineError([&] { b.open(Access::Shared); }, {"en uso"});
    EXPECT_FALSE(b.isOpen());
    a.close();
    b.open(Access::Exclusive);
    EXPECT_TRUE(b.isOpen());
    expectEngineError([&] { a.open(Access::Shared); }, {"en uso"});
}

TEST_F(LockTest, SharedOpensShareButKeepExclusiveOut)
{
    Table a("\\ZTEMP", "GRUPOST");
    Table b("\\ZTEMP", "GRUPOST");
    Table c("\\ZTEMP", "GRUPOST");
    a.open(Access::Shared);
    b.open(Access::Shared);
    expectEngineError([&] { c.open(Access::Exclusive); }, {"GRUPOST", "en uso"});
    a.close();
    expectEngineError([&] { c.open(Access::Exclusive); }, {"en uso"});
    b.close();
    c.open(Access::Exclusive);
    EXPECT_TRUE(c.isOpen());
}

TEST_F(LockTest, LocksHoldAgainstAnotherProcess)
{
    SALTA_SIN_FORK();
#ifndef _WIN32
    EXPECT_TRUE(opensInAnotherProcess(Access::Exclusive));
    {
        Table t("\\ZTEMP", "GRUPOST");
        t.open(Access::Exclusive);
        EXPECT_FALSE(opensInAnotherProcess(Access::Exclusive));
        EXPECT_FALSE(opensInAnotherProcess(Access::Shared));
    }
    {
        Table t("\\ZTEMP", "GRUPOST");
        t.open(Access::Shared);
        EXPECT_TRUE(opensInAnotherProcess(Access::Shared));
        EXPECT_FALSE(opensInAnotherProcess(Access::Exclusive));
    }
    EXPECT_TRUE(opensInAnotherProcess(Access::Exclusive));
#endif
}

TEST_F(LockTest, AnotherProcessHoldingTheTableKeepsUsOut)
{
    SALTA_SIN_FORK();
#ifndef _WIN32
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        int code = 0;
        try {
            Table t("\\ZTEMP", "GRUPOST");
            t.open(Access::Exclusive);
            t.append();
            t.setText("ABREV", "1A");
            t.post();
            char c = 'r';
            if (::write(ready[1], &c, 1) != 1)
                code = 2;
            if (::read(done[0], &c, 1) != 1)
                code = 2;
        } catch (...) {
            code = 3;
        }
        ::_exit(code);
    }
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    Table t("\\ZTEMP", "GRUPOST");
    expectEngineError([&] { t.open(Access::Shared); }, {"GRUPOST", "en uso"});
    ASSERT_EQ(::write(done[1], "d", 1), 1);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    t.open(Access::Exclusive);
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.asText("ABREV"), "1A");
    for (int fd : {ready[0], ready[1], done[0], done[1]})
        ::close(fd);
#endif
}

// Shared opens keep the update lock across a run of posts; an open in another process that
// wants to write waits for the run to end, then appends after what the run wrote.
TEST_F(LockTest, AWriterInAnotherProcessWaitsForARunOfPosts)
{
    SALTA_SIN_FORK();
#ifndef _WIN32
    Table t("\\ZTEMP", "GRUPOST");
    t.open(Access::Shared);
    for (const char* code : {"A", "B"}) {
        t.append();
        t.setText("ABREV", code);
        t.post();
    }
    int started[2];
    ASSERT_EQ(::pipe(started), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        int code = 0;
        try {
            Table other("\\ZTEMP", "GRUPOST");
            other.open(Access::Shared);
            if (::write(started[1], "s", 1) != 1)
                code = 2;
            other.append();
            other.setText("ABREV", "HIJO");
            other.post();  // waits while the run holds the lock
            other.close();
        } catch (...) {
            code = 3;
        }
        ::_exit(code);
    }
    char c;
    ASSERT_EQ(::read(started[0], &c, 1), 1);
    ::usleep(150 * 1000);
    // Still within the run as far as the file shows: nothing of the other process's yet.
    EXPECT_EQ(le32(readBytes(file("GRUPOST.DBF")), 4), 2u);
    t.append();
    t.setText("ABREV", "C");
    t.post();  // the run is older than its limit: this post ends it and starts a new one
    t.close();
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    t.open(Access::Shared);
    std::vector<std::string> codes;
    for (t.first(); !t.eof(); t.next())
        codes.push_back(t.asText("ABREV"));
    ASSERT_EQ(codes.size(), 4u);
    EXPECT_EQ(codes[0], "A");
    EXPECT_EQ(codes[1], "B");
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "HIJO"), 1);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "C"), 1);
    ::close(started[0]);
    ::close(started[1]);
#endif
}

// Every post reaches the file at once, its record count included, for a reader in another
// process, also in a run of posts that keeps the update lock.
TEST_F(LockTest, AReaderInAnotherProcessSeesEveryPostOfARun)
{
    SALTA_SIN_FORK();
#ifndef _WIN32
    Table t("\\ZTEMP", "GRUPOST");
    t.open(Access::Shared);
    for (int i = 1; i <= 3; ++i) {
        t.append();
        t.setText("ABREV", "R" + std::to_string(i));
        t.post();
        const pid_t pid = ::fork();
        if (pid == 0) {
            int code = 0;
            try {
                Table reader("\\ZTEMP", "GRUPOST");
                reader.open(Access::Shared);
                reader.last();
                code = reader.recordCount() == i && reader.asText("ABREV") == "R" + std::to_string(i) ? 0 : 1;
            } catch (...) {
                code = 3;
            }
            ::_exit(code);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "after post " << i;
        const std::string bytes = readBytes(file("GRUPOST.DBF"));
        EXPECT_EQ(le32(bytes, 4), static_cast<std::uint32_t>(i));
        EXPECT_EQ(bytes.size(), le16(bytes, 8) + i * le16(bytes, 10) + 1u);
    }
#endif
}

// A run of posts is timed by the coarse clock: it counts milliseconds of a clock that moves on,
// at most a tick behind the steady one.
TEST(CoarseClock, CountsTheMillisecondsThatPass)
{
    const auto steadyStart = std::chrono::steady_clock::now();
    const std::int64_t start = files::coarseMilliseconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    const std::int64_t counted = files::coarseMilliseconds() - start;
    const auto passed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - steadyStart).count();
    EXPECT_GE(counted, 100);
    EXPECT_LE(counted, passed + 20);
}
