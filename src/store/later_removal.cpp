#include "store/later_removal.h"

#include "files/file_io.h"
#include "files/process.h"
#include "store/table.h"
#include "store/work_lock.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

namespace store {

namespace {

class Removals {
public:
    ~Removals()
    {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (worker_.joinable() && owner_ == files::processId())
            worker_.join();
        else if (worker_.joinable())
            worker_.detach();  // a forked child's copy of a thread that is not there
    }

    void add(const std::string& aside)
    {
        std::unique_lock<std::mutex> guard(mutex_);
        if (!started() && (worker_.joinable() || !start())) {
            // A child made by fork (its copy of the thread does not run in it), or no thread.
            guard.unlock();
            removeAsideFolder(aside);
            return;
        }
        folders_.push_back(aside);
        changed_.notify_all();
    }

    void finish()
    {
        std::unique_lock<std::mutex> guard(mutex_);
        if (!started())
            return;
        changed_.wait(guard, [&] { return folders_.empty() && !busy_; });
    }

private:
    // The thread runs in this process (a child made by fork has none).
    bool started() const { return worker_.joinable() && owner_ == files::processId(); }

    bool start()
    {
        try {
            worker_ = std::thread([this] { run(); });
        } catch (const std::system_error&) {
            return false;
        }
        owner_ = files::processId();
        return true;
    }

    void run()
    {
        std::unique_lock<std::mutex> guard(mutex_);
        for (;;) {
            changed_.wait(guard, [&] { return stopping_ || !folders_.empty(); });
            if (folders_.empty())
                return;
            const std::string aside = folders_.front();
            folders_.pop_front();
            busy_ = true;
            guard.unlock();
            removeAsideFolder(aside, files::systemFileSystem());
            guard.lock();
            busy_ = false;
            changed_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> folders_;
    bool busy_ = false;
    bool stopping_ = false;
    unsigned long owner_ = 0;
    std::thread worker_;
};

Removals& removals()
{
    static Removals instance;
    return instance;
}

}  // namespace

void removeAsideFolderLater(const std::string& folder, const std::string& aside)
{
    if (!workFolderHeld(folder) || !files::systemFileSystemInUse()) {
        removeAsideFolder(aside);
        return;
    }
    removals().add(aside);
}

void finishRemovals()
{
    removals().finish();
}

}  // namespace store
