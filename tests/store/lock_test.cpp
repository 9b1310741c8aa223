// Exclusive opens exclude every other open, in this process and in others; shared opens share.
#include "store/table.h"

#include "store_support.h"

#include <sys/wait.h>
#include <unistd.h>

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
}

TEST_F(LockTest, AnotherProcessHoldingTheTableKeepsUsOut)
{
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
}
