#pragma once

#include "execute/Engine.h"

// The fast engine: the same run as Execute, compiled once into a per-row plan and converted in
// chunks of records on worker threads, while the caller's thread passes every record's results
// on in record order. Everything a caller observes (callbacks in their order, the result, the
// record the workspace shows afterwards) is what Execute gives.
namespace impmap {

struct FastOptions
{
    // Worker threads: -1 one per core (at most 4), 0 none (all work on the caller's thread).
    int threads = -1;
    // Records per chunk; a chunk also ends after about 4 MB of source.
    long chunkRecords = 4096;
};

// Runs the mapping as Execute does. Mappings whose fixed values the plan cannot take over
// unchanged run on Execute itself.
ExecuteResult ExecuteFast(Workspace& workspace, ExecuteCallbacks& callbacks,
                          const ExecuteOptions& options, const FastOptions& fast = {});

} // namespace impmap
