// A post that splits index pages, stopped after any of its writes (a crash, a kill): another
// engine reading the index then still finds every record that was there before the post.
#include "files/file_io.h"
#include "store/table.h"

#include "store_support.h"
#include "support/disco_envuelto.h"

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

class RecordingDisk : public prueba::DiscoEnvuelto {
public:
    std::vector<IndexWrite> writes;

    RecordingDisk() { files::setFileSystem(this); }
    ~RecordingDisk() override { files::setFileSystem(nullptr); }

protected:
    std::unique_ptr<files::File> envuelve(const std::string& path, std::unique_ptr<files::File> inner) override
    {
        const bool index = path.size() > 4 && path.substr(path.size() - 4) == ".MDX";
        return std::make_unique<Recorded>(std::move(inner), index ? &writes : nullptr);
    }

private:
    class Recorded : public prueba::ArchivoEnvuelto {
    public:
        Recorded(std::unique_ptr<files::File> inner, std::vector<IndexWrite>* log)
            : prueba::ArchivoEnvuelto(std::move(inner)), log_(log)
        {
        }
        int writeAt(std::uint64_t o, const void* d, std::size_t n) override
        {
            if (log_)
                log_->push_back({o, std::string(static_cast<const char*>(d), n), false});
            return prueba::ArchivoEnvuelto::writeAt(o, d, n);
        }
        int truncate(std::uint64_t size) override
        {
            if (log_)
                log_->push_back({size, {}, true});
            return prueba::ArchivoEnvuelto::truncate(size);
        }

    private:
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
    SALTA_SIN_DBFCHECK();
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
            t.close();  // an exclusive open writes its index at the latest when it closes
            writes = disk.writes;
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
