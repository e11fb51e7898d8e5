#include "execute/FastEngine.h"

#include "execute/ExecutionPlan.h"
#include "execute/FieldRule.h"
#include "execute/RecordConverter.h"
#include "execute/RunScope.h"
#include "mapping/RecordBudget.h"
#include "mapping/Workspace.h"
#include "source/QuotedLineBreaks.h"
#include "source/SplitRecord.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace impmap {
namespace {

constexpr size_t kChunkBytes = size_t{4} << 20;
constexpr size_t kNoChunk = static_cast<size_t>(-1);

// How a run's records are cut into chunks: the first record of every chunk, and one past the
// last record at the end. The chunks stop before the first record too large to map.
struct ChunkCuts
{
    std::vector<long> starts{1};
    long tooLarge = 0; // that record, 0 when none
    std::string problem;
};

ChunkCuts CutChunks(const SourceLines& lines, const ExecutionPlan& plan, long chunkRecords)
{
    const auto total = static_cast<long>(lines.Count());
    std::vector<int> mappedFields;
    for (const PlanRow& row : plan.rows)
        mappedFields.push_back(row.field);
    std::vector<size_t> lengths;
    ChunkCuts cuts;
    size_t bytes = 0;
    long records = 0;
    for (long i = 1; i <= total; ++i) {
        const std::string_view line = lines.Line(static_cast<size_t>(i - 1));
        const size_t bound = plan.ValueBound(line.size());
        // Only a record that might not fit is measured exactly, as the record display does.
        if (bound > kRecordValueBudget) {
            SplitFieldLengths(line, plan.delimiter, lengths, kMaxMergeField, plan.encoding);
            cuts.problem =
                RecordValueProblem(i, lengths, plan.activeMerges, plan.merges, mappedFields);
            if (!cuts.problem.empty()) {
                cuts.tooLarge = i;
                break;
            }
        }
        // Merges can make the values of a record larger than the record.
        bytes += line.size() + 2 + (plan.activeMerges.empty() ? 0 : std::min(bound, kChunkBytes));
        if (++records >= chunkRecords || bytes >= kChunkBytes) {
            cuts.starts.push_back(i + 1);
            bytes = 0;
            records = 0;
        }
    }
    const long end = cuts.tooLarge > 0 ? cuts.tooLarge : total + 1;
    if (cuts.starts.back() != end)
        cuts.starts.push_back(end);
    return cuts;
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
                  const SourceLines& lines, std::vector<long> starts, int workers)
        : plan_(plan), options_(options), lines_(lines), starts_(std::move(starts)),
          local_(plan, options), slots_(workers == 0 ? 1 : static_cast<size_t>(workers) * 2),
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

    // Chunk c once converted; it stays in place until Release(c). Calls waiting every tenth of
    // a second until then.
    template <typename Waiting> ConvertedChunk& Take(size_t c, Waiting waiting)
    {
        ConvertedChunk& slot = slots_[c % slots_.size()];
        if (threads_.empty()) {
            Convert(local_, c, slot);
            return slot;
        }
        std::unique_lock lock(mutex_);
        const auto ready = [&] { return holds_[c % slots_.size()] == c || error_; };
        while (!changed_.wait_for(lock, std::chrono::milliseconds(100), ready)) {
            lock.unlock();
            waiting();
            lock.lock();
        }
        if (error_)
            std::rethrow_exception(error_);
        return slot;
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
    void Convert(RecordConverter& converter, size_t c, ConvertedChunk& slot)
    {
        converter.ConvertChunk(lines_, starts_[c], starts_[c + 1] - starts_[c], slot);
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
                Convert(converter, c, slots_[c % slots_.size()]);
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

// Passes a record's kept values and source fields on to RecordValues, as views into the chunk.
class RecordValuesFeed
{
public:
    RecordValuesFeed(ExecuteCallbacks& callbacks, const SourceLines& lines, size_t rowCount)
        : callbacks_(callbacks), lines_(lines), values_(rowCount)
    {}

    void StartChunk() { value_ = 0; }

    void Pass(const ConvertedChunk& chunk, long k, long record)
    {
        const std::string_view values(chunk.values);
        for (std::string_view& value : values_) {
            const size_t begin = value_ == 0 ? 0 : chunk.valueEnds[value_ - 1];
            value = values.substr(begin, chunk.valueEnds[value_] - begin);
            ++value_;
        }
        const auto index = static_cast<size_t>(k);
        const size_t first = index == 0 ? 0 : chunk.fieldsUpTo[index - 1];
        const size_t last = chunk.fieldsUpTo[index];
        const std::string_view line =
            first < last ? lines_.Line(static_cast<size_t>(record - 1)) : std::string_view();
        fields_.resize(last - first);
        for (size_t f = first; f < last; ++f)
            fields_[f - first] = chunk.KeptFieldText(chunk.keptFields[f], line);
        callbacks_.RecordValues(record, values_, fields_);
    }

private:
    ExecuteCallbacks& callbacks_;
    const SourceLines& lines_;
    std::vector<std::string_view> values_;
    std::vector<std::string_view> fields_;
    size_t value_ = 0; // the next value in the chunk
};

// Passes a chunk's records on in order, each after begin(record): its problems and warnings,
// then its values and its line. False when the run ends inside the chunk (cancelled, or a
// record that cannot be converted), result saying how.
template <typename Begin>
bool PassChunk(ConvertedChunk& chunk, Begin& begin, const ExecutionPlan& plan,
               RecordValuesFeed& feed, ExecuteCallbacks& callbacks, ExecuteResult& result)
{
    feed.StartChunk();
    size_t event = 0;
    size_t lineStart = 0;
    for (long k = 0; k < chunk.converted; ++k) {
        const long i = chunk.first + k;
        if (!begin(i))
            return false;
        for (; event < chunk.events.size() && chunk.events[event].record == i; ++event) {
            const ChunkEvent& e = chunk.events[event];
            if (e.kind == ChunkEvent::Kind::Warning) {
                callbacks.Warning(e.text);
                continue;
            }
            if (e.kind == ChunkEvent::Kind::FieldProblem) {
                ++result.failures;
                ++result.problems;
            }
            callbacks.Problem(e.text);
            callbacks.FieldProblemFound(e.problem);
        }
        if (chunk.failed && i == chunk.failingRecord) {
            result.outcome = ExecuteResult::Outcome::Failed;
            result.message = chunk.message;
            result.failingRecord = i;
            result.failingRow = chunk.failingRow;
            return false;
        }
        if (chunk.flags[static_cast<size_t>(k)] & ConvertedChunk::kNullRecord) {
            ++result.nullRecords;
            continue;
        }
        if (plan.keepValues)
            feed.Pass(chunk, k, i);
        const size_t lineEnd = chunk.ends[static_cast<size_t>(k)];
        callbacks.OutputLine(std::string_view(chunk.text).substr(lineStart, lineEnd - lineStart));
        lineStart = lineEnd;
        ++result.lines;
        callbacks.ProcessMessages();
    }
    return true;
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
    auto plan = ExecutionPlan::Compile(workspace, options);
    if (!plan)
        return Execute(workspace, callbacks, options);
    plan->keepValues = callbacks.WantsRecordValues();
    plan->keepFields = plan->keepValues && callbacks.WantsSourceFields();
    // Kept source fields take several times a record's bytes: their chunks hold half as many.
    const long chunkRecords = plan->keepFields ? fast.chunkRecords / 2 : fast.chunkRecords;
    ChunkCuts cuts = CutChunks(workspace.Lines(), *plan, std::max(1L, chunkRecords));

    Workspace::NotifyBatch batch(workspace);
    const long savedRecord = workspace.CurrentRecord();
    RunScope executing(workspace);
    ExecuteResult result;
    const auto total = static_cast<long>(workspace.RecordCount());
    result.records = total;
    const long step = total > 1000 ? 25 : (total > 500 ? 10 : 1);
    callbacks.Started(total);
    // The workers start first: they convert while this thread looks for broken records.
    const int workers = WorkerCount(fast, cuts.starts.size() - 1);
    ChunkPipeline pipeline(*plan, options, workspace.Lines(), std::move(cuts.starts), workers);
    const std::vector<long> brokenRecords =
        options.checkAll ? workspace.RecordsEndingInsideQuotes() : std::vector<long>();
    auto nextBroken = brokenRecords.begin();

    // What the run does for every record before its values.
    auto begin = [&](long i) {
        executing.Reached(i);
        if (i == 1 || i == total || i % step == 0)
            callbacks.Progress(i, total);
        if (callbacks.Cancelled()) {
            result.outcome = ExecuteResult::Outcome::Aborted;
            return false;
        }
        if (nextBroken != brokenRecords.end() && *nextBroken == i) {
            ++nextBroken;
            ++result.problems;
            callbacks.Problem(QuotedLineBreakWarning(i));
        }
        return true;
    };

    RecordValuesFeed feed(callbacks, workspace.Lines(), plan->rows.size());
    long warnings = 0;
    for (size_t c = 0; c < pipeline.Count(); ++c) {
        ConvertedChunk& chunk = pipeline.Take(c, [&callbacks] { callbacks.Waiting(); });
        if (!PassChunk(chunk, begin, *plan, feed, callbacks, result))
            return result;
        warnings += chunk.warnings;
        pipeline.Release(c);
    }
    if (cuts.tooLarge > 0) {
        if (!begin(cuts.tooLarge))
            return result;
        result.outcome = ExecuteResult::Outcome::Failed;
        result.message = kFailedHead + cuts.problem;
        result.failingRecord = cuts.tooLarge;
        return result;
    }
    result.problems += options.checkAll ? warnings : 0;
    executing.ShowAtEnd(savedRecord);
    result.outcome = ExecuteResult::Outcome::Completed;
    return result;
}

} // namespace impmap
