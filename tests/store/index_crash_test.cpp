// A post that splits index pages, stopped after any of its writes (a crash, a kill): another
// engine reading the index then still finds every record that was there before the post.
#include "store/file_io.h"
#include "store/table.h"

#include "store_support.h"

#include <algorithm>
#include <random>
#include <set>

using namespace store;
using namespace storetest;

namespace {

// The writes made to index files, in order: a write of bytes at an offset, or a new size.
struct IndexWrite {
    std::uint64_t offset = 0;
    std::string bytes;
    bool resize = false;
};

class RecordingDisk : public FileSystem {
public:
    std::vector<IndexWrite> writes;

    RecordingDisk() { setFileSystem(this); }
    ~RecordingDisk() override { setFileSystem(nullptr); }

    int open(const std::string& path, OpenMode mode, std::unique_ptr<File>& out) override
    {
        std::unique_ptr<File> inner;
        if (const int rc = posixFileSystem().open(path, mode, inner))
            return rc;
        const bool index = path.size() > 4 && path.substr(path.size() - 4) == ".MDX";
        out = std::make_unique<Recorded>(std::move(inner), index ? &writes : nullptr);
        return 0;
    }
    int remove(const std::string& path) override { return posixFileSystem().remove(path); }
    int rename(const std::string& from, const std::string& to) override { return posixFileSystem().rename(from, to); }
    int makeFolder(const std::string& path) override { return posixFileSystem().makeFolder(path); }
    int removeFolder(const std::string& path) override { return posixFileSystem().removeFolder(path); }

private:
    class Recorded : public File {
    public:
        Recorded(std::unique_ptr<File> inner, std::vector<IndexWrite>* log) : inner_(std::move(inner)), log_(log) {}
        int readAt(std::uint64_t o, void* d, std::size_t n, std::size_t& got) override
        {
            return inner_->readAt(o, d, n, got);
        }
        int writeAt(std::uint64_t o, const void* d, std::size_t n) override
        {
            if (log_)
                log_->push_back({o, std::string(static_cast<const char*>(d), n), false});
            return inner_->writeAt(o, d, n);
        }
        int status(FileStatus& s) override { return inner_->status(s); }
        int lock(std::uint64_t o, std::uint64_t n, LockKind k, bool w) override { return inner_->lock(o, n, k, w); }
        int unlock(std::uint64_t o, std::uint64_t n) override { return inner_->unlock(o, n); }
        bool writable() const override { return inner_->writable(); }
        int truncate(std::uint64_t size) override
        {
            if (log_)
                log_->push_back({size, {}, true});
            return inner_->truncate(size);
        }

    private:
        std::unique_ptr<File> inner_;
        std::vector<IndexWrite>* log_;
    };
};

std::string applied(std::string bytes, const std::vector<IndexWrite>& writes, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const IndexWrite& w = writes[i];
        if (w.resize) {
            bytes.resize(w.offset, '\0');
            continue;
        }
        if (bytes.size() < w.offset + w.bytes.size())
            bytes.resize(w.offset + w.bytes.size(), '\0');
        bytes.replace(w.offset, w.bytes.size(), w.bytes);
    }
    return bytes;
}

}  // namespace

class IndexCrash : public WorkFolder {};

TEST_F(IndexCrash, ASplitStoppedAfterAnyWriteLosesNoEarlierKey)
{
    recreateTable("\\ZTEMP", "PROFT.DBF", {{"ABREV", 'C', 10, 0}}, {{"ABREV", "ABREV"}}, {});
    std::vector<int> keys(300);
    for (std::size_t i = 0; i < keys.size(); ++i)
        keys[i] = static_cast<int>(i);
    std::shuffle(keys.begin(), keys.end(), std::mt19937(11));

    const std::string copy = file("COPIA.DBF");
    int splitsChecked = 0;
    Table t("\\ZTEMP", "PROFT");
    t.open(Access::Exclusive);
    for (std::size_t r = 0; r < keys.size(); ++r) {
        const std::string before = readBytes(ztemp / "PROFT.MDX");
        std::vector<IndexWrite> writes;
        {
            RecordingDisk disk;
            // Each post opens no file: the recording sees the index's writes only when the
            // table is opened under it.
            t.close();
            t.open(Access::Exclusive);
            t.append();
            char key[16];
            std::snprintf(key, sizeof key, "K%05d", keys[r] * 7);
            t.setText("ABREV", key);
            t.post();
            writes = disk.writes;
            t.close();
        }
        t.open(Access::Exclusive);
        // A post without a split writes one leaf, perhaps its parent and a header or two.
        const auto pages = std::count_if(writes.begin(), writes.end(),
                                         [](const IndexWrite& w) { return !w.resize && w.bytes.size() == 1024; });
        if (pages < 3)
            continue;
        ++splitsChecked;
        const std::string dbf = readBytes(ztemp / "PROFT.DBF");
        for (std::size_t done = 0; done < writes.size(); ++done) {
            SCOPED_TRACE("record " + std::to_string(r + 1) + ", stopped after " + std::to_string(done) + " of " +
                         std::to_string(writes.size()) + " writes");
            writeBytes(ztemp / "COPIA.DBF", dbf);
            writeBytes(ztemp / "COPIA.MDX", applied(before, writes, done));
            const CommandResult order = run("timeout 60 " + std::string(DBFCHECK_PATH) + " order " + quote(copy) + " ABREV");
            ASSERT_EQ(order.status, 0) << order.out;
            std::set<std::string> seen;
            for (const std::string& line : lines(order.out))
                seen.insert(line);
            for (std::size_t earlier = 1; earlier <= r; ++earlier)
                ASSERT_TRUE(seen.count(std::to_string(earlier))) << "record " << earlier << " is missing";
        }
    }
    EXPECT_GE(splitsChecked, 4);
}
