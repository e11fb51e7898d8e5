#pragma once

#include <cstdint>
#include <exception>

// Long work (reading or writing a large file) tells its caller how far it has come and learns
// whether to go on. The work may run on another thread than its caller: Continue is called on the
// working thread.
namespace impmap {

class WorkProgress
{
public:
    virtual ~WorkProgress() = default;
    // done of total units (bytes); false asks the work to stop, which it does by throwing
    // WorkCancelled, leaving behind nothing it made.
    virtual bool Continue(std::uint64_t done, std::uint64_t total) = 0;
};

// The work stopped because its caller asked it to.
class WorkCancelled : public std::exception
{
public:
    const char* what() const noexcept override { return "Cancelled"; }
};

// Tells progress (when there is one) how far the work has come; throws WorkCancelled when the
// caller asks to stop.
inline void ReportProgress(WorkProgress* progress, std::uint64_t done, std::uint64_t total)
{
    if (progress != nullptr && !progress->Continue(done, total))
        throw WorkCancelled();
}

} // namespace impmap
