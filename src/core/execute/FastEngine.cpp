#include "execute/FastEngine.h"

#include "execute/ExecutionPlan.h"
#include "execute/RecordConverter.h"
#include "mapping/Workspace.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace impmap {
namespace {

constexpr size_t kChunkBytes = size_t{4} << 20;
constexpr size_t kNoChunk = static_cast<size_t>(-1);

// The first record of every chunk, and one past the last record at the end.
std::vector<long> ChunkStarts(const SourceLines& lines, long chunkRecords)
{
    const auto total = static_cast<long>(lines.Count());
    std::vector<long> starts{1};
    size_t bytes = 0;
    long records = 0;
    for (long i = 1; i <= total; ++i) {
        bytes += lines.Line(static_cast<size_t>(i - 1)).size() + 2;
        if (++records >= chunkRecords || bytes >= kChunkBytes) {
            starts.push_back(i + 1);
            bytes = 0;
            records = 0;
        }
    }
    if (starts.back() != total + 1)
        starts.push_back(total + 1);
    return starts;
}

int WorkerCount(const FastOptions& fast, size_t chunks)
{
    if (fast.threads >= 0)
        return fast.threads;
    const unsigned cores = std::thread::hardware_concurrency();
    if (cores < 2 || chunks < 2)
        return 0;
    return static_cast<int>(std::min(cores, 4u));
}

// Converts chunks ahead of the caller on worker threads, into a ring of slots: chunk c goes
// into slot c % slots once chunk c - slots has been released. Without workers the caller's
// thread converts each chunk when it takes it.
class ChunkPipeline
{
public:
    ChunkPipeline(const ExecutionPlan& plan, const ExecuteOptions& options,
                  const SourceLines& lines, std::vector<long> starts, int workers,
                  std::string carryIn)
        : plan_(plan), options_(options), lines_(lines), starts_(std::move(starts)),
          carryIn_(std::move(carryIn)), local_(plan, options),
          slots_(workers == 0 ? 1 : static_cast<size_t>(workers) * 2),
          holds_(slots_.size(), kNoChunk)
    {
        // A thread the system cannot start leaves its share to the others, or to the caller.
        try {
            for (int i = 0; i < workers; ++i)
                threads_.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
        }
    }
    ~ChunkPipeline()
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
    }
    ChunkPipeline(const ChunkPipeline&) = delete;
    ChunkPipeline& operator=(const ChunkPipeline&) = delete;

    size_t Count() const { return starts_.size() - 1; }

    // Chunk c once converted; it stays in place until Release(c).
    ConvertedChunk& Take(size_t c)
    {
        ConvertedChunk& slot = slots_[c % slots_.size()];
        if (threads_.empty()) {
            Convert(local_, c, carryIn_, slot);
            return slot;
        }
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return holds_[c % slots_.size()] == c || error_; });
        if (error_)
            std::rethrow_exception(error_);
        return slot;
    }

    // Converts chunk c again on the caller's thread, with another TIN type carried in.
    void Reconvert(size_t c, const std::string& carryIn)
    {
        Convert(local_, c, carryIn, slots_[c % slots_.size()]);
    }

    void Release(size_t c)
    {
        {
            std::lock_guard lock(mutex_);
            holds_[c % slots_.size()] = kNoChunk;
            released_ = c + 1;
        }
        changed_.notify_all();
    }

private:
    void Convert(RecordConverter& converter, size_t c, const std::string& carryIn,
                 ConvertedChunk& slot)
    {
        converter.ConvertChunk(lines_, starts_[c], starts_[c + 1] - starts_[c], carryIn, slot);
    }

    void Work()
    {
        try {
            RecordConverter converter(plan_, options_);
            for (;;) {
                size_t c = 0;
                {
                    std::unique_lock lock(mutex_);
                    changed_.wait(lock, [&] {
                        return stop_ || next_ >= Count() || next_ < released_ + slots_.size();
                    });
                    if (stop_ || next_ >= Count())
                        return;
                    c = next_++;
                }
                Convert(converter, c, carryIn_, slots_[c % slots_.size()]);
                {
                    std::lock_guard lock(mutex_);
                    holds_[c % slots_.size()] = c;
                }
                changed_.notify_all();
            }
        } catch (...) {
            {
                std::lock_guard lock(mutex_);
                error_ = std::current_exception();
                stop_ = true;
            }
            changed_.notify_all();
        }
    }

    const ExecutionPlan& plan_;
    const ExecuteOptions& options_;
    const SourceLines& lines_;
    const std::vector<long> starts_;
    const std::string carryIn_; // the guess every worker starts its chunk with
    RecordConverter local_;
    std::vector<ConvertedChunk> slots_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<size_t> holds_; // the chunk each slot holds converted, kNoChunk when none
    size_t next_ = 0;
    size_t released_ = 0;
    bool stop_ = false;
    std::exception_ptr error_;
    std::vector<std::thread> threads_;
};

// Leaves the workspace as the plain run leaves it: showing the last record the run reached,
// with the TIN type the records before it carried, then (on completion) the record shown
// before the run.
void ShowAsPlainRun(Workspace& workspace, long lastTinTypeSet, long reached, long restore)
{
    if (lastTinTypeSet > 0)
        workspace.GoToRecord(lastTinTypeSet);
    if (reached > 0)
        workspace.GoToRecord(reached);
    if (restore >= 0)
        workspace.GoToRecord(restore);
}

} // namespace

ExecuteResult ExecuteFast(Workspace& workspace, ExecuteCallbacks& callbacks,
                          const ExecuteOptions& options, const FastOptions& fast)
{
    long mapped = 0;
    for (const DestinationRow& row : workspace.Rows())
        mapped += row.sourceFieldNo;
    if (mapped == 0 || workspace.Executing())
        return Execute(workspace, callbacks, options);
    const auto plan = ExecutionPlan::Compile(workspace, options);
    if (!plan)
        return Execute(workspace, callbacks, options);

    struct ExecutingScope
    {
        Workspace& w;
        explicit ExecutingScope(Workspace& workspace) : w(workspace) { w.SetExecuting(true); }
        ~ExecutingScope() { w.SetExecuting(false); }
    } executing(workspace);
    Workspace::NotifyBatch batch(workspace);

    ExecuteResult result;
    const long savedRecord = workspace.CurrentRecord();
    const auto total = static_cast<long>(workspace.RecordCount());
    result.records = total;
    const long step = total > 1000 ? 25 : (total > 500 ? 10 : 1);
    callbacks.Started(total);

    std::vector<long> starts = ChunkStarts(workspace.Lines(), std::max(1L, fast.chunkRecords));
    const int workers = WorkerCount(fast, starts.size() - 1);
    ChunkPipeline pipeline(*plan, options, workspace.Lines(), std::move(starts), workers,
                           plan->initialTinType);
    std::string carry = plan->initialTinType;
    long lastTinTypeSet = 0;
    long reached = 0;
    long warnings = 0;
    try {
        for (size_t c = 0; c < pipeline.Count(); ++c) {
            ConvertedChunk* chunk = &pipeline.Take(c);
            // Workers guess the carried TIN type; a wrong guess is converted again.
            if (chunk->carryUsed && chunk->carryIn != carry)
                pipeline.Reconvert(c, carry);
            size_t event = 0;
            size_t lineStart = 0;
            for (long k = 0; k < chunk->converted; ++k) {
                const long i = chunk->first + k;
                reached = i;
                if (i == 1 || i == total || i % step == 0)
                    callbacks.Progress(i, total);
                if (callbacks.Cancelled()) {
                    if (static_cast<size_t>(k) < chunk->flags.size() &&
                        (chunk->flags[static_cast<size_t>(k)] & ConvertedChunk::kTinTypeSet))
                        lastTinTypeSet = i;
                    ShowAsPlainRun(workspace, lastTinTypeSet, reached, -1);
                    result.outcome = ExecuteResult::Outcome::Aborted;
                    return result;
                }
                for (; event < chunk->events.size() && chunk->events[event].record == i; ++event) {
                    const ChunkEvent& e = chunk->events[event];
                    if (e.kind == ChunkEvent::Kind::Warning) {
                        callbacks.Warning(e.text);
                    } else {
                        callbacks.Problem(e.text);
                        if (e.kind == ChunkEvent::Kind::FieldProblem) {
                            ++result.failures;
                            ++result.problems;
                        }
                    }
                }
                if (chunk->failed && i == chunk->failingRecord) {
                    ShowAsPlainRun(workspace, lastTinTypeSet, reached, -1);
                    result.outcome = ExecuteResult::Outcome::Failed;
                    result.message = chunk->message;
                    result.failingRecord = i;
                    result.failingRow = chunk->failingRow;
                    return result;
                }
                const unsigned char flags = chunk->flags[static_cast<size_t>(k)];
                if (flags & ConvertedChunk::kTinTypeSet)
                    lastTinTypeSet = i;
                if (flags & ConvertedChunk::kNullRecord) {
                    ++result.nullRecords;
                    continue;
                }
                const size_t lineEnd = chunk->ends[static_cast<size_t>(k)];
                callbacks.OutputLine(
                    std::string_view(chunk->text).substr(lineStart, lineEnd - lineStart));
                lineStart = lineEnd;
                ++result.lines;
                callbacks.ProcessMessages();
            }
            warnings += chunk->warnings;
            if (chunk->carrySet)
                carry = chunk->carryOut;
            pipeline.Release(c);
        }
    } catch (...) {
        ShowAsPlainRun(workspace, lastTinTypeSet, reached, -1);
        throw;
    }
    result.problems += options.checkAll ? warnings : 0;
    ShowAsPlainRun(workspace, lastTinTypeSet, total, savedRecord);
    result.outcome = ExecuteResult::Outcome::Completed;
    return result;
}

} // namespace impmap
