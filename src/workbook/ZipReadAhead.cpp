#include "Zip.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace impmap::workbook {
namespace {

// The pieces inflated but not yet taken, and what each side tells the other.
struct Channel
{
    static constexpr size_t kAhead = 4;

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::string> full;
    std::vector<std::string> spare; // taken pieces, their memory used again
    bool done = false;              // the reading side has ended
    bool stop = false;              // the taking side wants no more
    std::exception_ptr failure;

    // The reading side: false once the taking side has stopped.
    bool Put(std::string_view piece)
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return stop || full.size() < kAhead; });
        if (stop)
            return false;
        std::string buffer;
        if (!spare.empty()) {
            buffer = std::move(spare.back());
            spare.pop_back();
        }
        lock.unlock();
        buffer.assign(piece);
        lock.lock();
        full.push_back(std::move(buffer));
        changed.notify_all();
        return true;
    }

    // The taking side: false once every piece was taken.
    bool Take(std::string& piece)
    {
        std::unique_lock lock(mutex);
        if (!piece.empty())
            spare.push_back(std::move(piece));
        changed.wait(lock, [&] { return !full.empty() || done; });
        if (full.empty())
            return false;
        piece = std::move(full.front());
        full.pop_front();
        changed.notify_all();
        return true;
    }

    void End(std::exception_ptr error)
    {
        const std::lock_guard lock(mutex);
        failure = std::move(error);
        done = true;
        changed.notify_all();
    }

    void Stop()
    {
        const std::lock_guard lock(mutex);
        stop = true;
        changed.notify_all();
    }
};

} // namespace

void ZipArchive::ReadAhead(const Entry& entry, const std::function<bool(std::string_view)>& sink)
{
    Channel channel;
    std::thread reader([&] {
        std::exception_ptr error;
        try {
            Read(entry, [&](std::string_view piece) { return channel.Put(piece); });
        } catch (...) {
            error = std::current_exception();
        }
        channel.End(std::move(error));
    });
    // The reader is stopped and joined on every way out, a failure of sink's included.
    struct Join
    {
        Channel& channel;
        std::thread& reader;
        ~Join()
        {
            channel.Stop();
            reader.join();
        }
    } join{channel, reader};
    std::string piece;
    while (channel.Take(piece)) {
        if (!sink(piece))
            return;
    }
    // Every piece read before a failure went to sink first, as Read gives them.
    if (channel.failure)
        std::rethrow_exception(channel.failure);
}

} // namespace impmap::workbook
