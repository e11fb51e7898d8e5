// The run and check verbs on fuzzed source bytes. The first byte chooses the layout, the second
// the map's settings (bit 0 implied decimals, bits 1-2 the delimiter, bit 3 skip the header, bit 4
// merges, bit 5 every row mapped); the rest is the source file.
#include "Cli.h"
#include "FuzzRunSupport.h"
#include "convert/Text.h"
#include "io/FileIo.h"
#include "source/QuotedLineBreaks.h"
#include "source/SplitRecord.h"

#include <algorithm>
#include <sstream>

namespace impmap::fuzz {
namespace {

std::string MapText(int form, int flags)
{
    const int delimiter = (flags >> 1) & 3;
    std::string map = "[Source]\r\nFileSpec=\r\nDecimal=" + std::to_string(flags & 1) +
                      "\r\nDelimiter=" + std::to_string(delimiter == 3 ? 1 : delimiter) +
                      "\r\nHeader=" + std::to_string((flags >> 3) & 1) +
                      "\r\nTrace=1\r\n[Destination]\r\nForm=" +
                      std::string(FormNames[static_cast<size_t>(form)]) + "\r\nMap=";
    for (int row = 0; row < FormFieldCount(form); ++row) {
        const int field = (flags & 32) != 0 ? row % 12 + 1 : row % 13;
        map += ZeroPad(3, std::to_string(field));
    }
    map += "\r\n[Default]\r\n000=FIXED\r\n";
    if ((flags & 16) != 0)
        map += "[Merge]\r\n002=3\r\n003=4\r\n";
    return map;
}

// The record a check report line is about, and whether it is a failure (not a warning).
struct ProblemLine
{
    long record = 0;
    bool failure = false;
};

ProblemLine ReadProblem(const std::string& line)
{
    ProblemLine problem;
    Check(line.starts_with("Record "), "a problem line names its record", Shown(line));
    const size_t colon = line.find(": ");
    Check(colon != std::string::npos, "a problem line has a colon", Shown(line));
    problem.record = std::stol(line.substr(7, colon - 7));
    problem.failure = line.compare(colon + 2, 18, "Destination field ") == 0;
    Check(problem.failure || line.compare(colon + 2, 8, "Bad TIN ") == 0 ||
              line == QuotedLineBreakWarning(problem.record),
          "a problem is a failing field, a bad taxpayer number or a record broken inside quotes",
          Shown(line));
    return problem;
}

int RunVerb(const std::string& verb, const std::string& map, const std::string& source,
            std::string& out, std::string& err)
{
    std::ostringstream outStream, errStream;
    const int status =
        cli::RunCli({verb, map, "--source", source, "--today", "2022-06-01"}, outStream, errStream);
    out = outStream.str();
    err = errStream.str();
    return status;
}

} // namespace
} // namespace impmap::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace impmap;
    using namespace impmap::fuzz;
    if (size < 2)
        return 0;
    const int form = data[0] % kFormCount;
    const int flags = data[1];
    const std::string_view source(reinterpret_cast<const char*>(data) + 2, size - 2);
    const auto& folder = ScratchFolder();
    const std::string mapPath = (folder / "fixed.map").string();
    const std::string sourcePath = (folder / "fuzzed.csv").string();
    WriteScratchFile(mapPath, MapText(form, flags));
    WriteScratchFile(sourcePath, source);
    const std::string shown = std::string(FormNames[static_cast<size_t>(form)]) + " flags " +
                              std::to_string(flags) + " source " + Shown(source);

    Workspace runSpace, checkSpace;
    try {
        runSpace.OpenMapping(mapPath, sourcePath);
    } catch (const FileError& refused) {
        // Only UTF-16 text, an empty file and one of mostly control characters are refused,
        // whole; the batch command then writes nothing and says why in the same words.
        const std::string_view why = refused.what();
        Check(why.find("UTF-16") != std::string_view::npos || why.ends_with(" is empty") ||
                  why.ends_with(" does not look like a delimited text file"),
              "only a UTF-16, empty or binary source is refused", shown + " " + Shown(why));
        Check((source.empty() || source == "\xEF\xBB\xBF") == why.ends_with(" is empty"),
              "only an empty source is empty", shown);
        std::string out, err;
        Check(RunVerb("run", mapPath, sourcePath, out, err) == 2 && out.empty() &&
                  err.find(why) != std::string::npos,
              "the batch command refuses the source in the same words", shown + " " + Shown(err));
        return 0;
    }
    checkSpace.OpenMapping(mapPath, sourcePath);
    Check(runSpace.SourceLoaded(), "the source is loaded", shown);
    const Execution run = ExecuteFromFirst(runSpace, false);
    const Execution check = ExecuteFromFirst(checkSpace, true);
    const ExecuteResult& r = run.result;
    const ExecuteResult& c = check.result;
    CheckOutputLines(runSpace, run.collected.lines, shown);

    Check(c.outcome == ExecuteResult::Outcome::Completed ||
              (c.outcome == ExecuteResult::Outcome::Failed && c.records == 0 && c.lines == 0),
          "check goes through every record", shown);
    long firstFailure = 0;
    long failures = 0;
    std::vector<std::string> badTins;
    for (const auto& line : check.collected.problems) {
        const ProblemLine problem = ReadProblem(line);
        Check(problem.record >= 1 && problem.record <= c.records, "a problem names a record",
              shown + " " + line);
        if (problem.failure) {
            ++failures;
            if (firstFailure == 0)
                firstFailure = problem.record;
        } else {
            badTins.push_back(line);
        }
    }
    Check(failures == c.failures && c.problems == static_cast<long>(c.failures + badTins.size()),
          "check counts its problems", shown);

    // run and check agree on which record fails first, and on everything before it.
    if (r.outcome == ExecuteResult::Outcome::Completed) {
        Check(c.failures == 0, "a completed run has no failing record in check", shown);
        Check(run.collected.lines == check.collected.lines, "run and check make the same lines",
              shown);
        Check(run.collected.warnings == badTins, "run warns of the bad numbers check lists", shown);
        Check(run.collected.lines.size() == static_cast<size_t>(r.records - r.nullRecords),
              "a completed run writes a line per record that is not NULL", shown);
    } else if (c.records > 0) {
        Check(r.outcome == ExecuteResult::Outcome::Failed, "a run completes or fails", shown);
        Check(firstFailure == r.failingRecord,
              "run stops at the first record that check finds failing",
              shown + " run stopped at " + std::to_string(r.failingRecord) + ", check " +
                  std::to_string(firstFailure));
        Check(r.failingRow >= 0 && r.failingRow < static_cast<int>(runSpace.Rows().size()),
              "a failing run marks its row", shown);
    }

    // The batch command says the same, with the exit status to match. It refuses a source that
    // looks semicolon-delimited, and runs none whose records end inside a quoted value.
    std::string out, err;
    const int runStatus = RunVerb("run", mapPath, sourcePath, out, err);
    if (!runSpace.SourceIsWorkbook() && LooksSemicolonDelimited(runSpace.HeaderRecord())) {
        Check(runStatus == 2 && out.empty() &&
                  err.find("looks semicolon-delimited") != std::string::npos,
              "the batch command refuses a semicolon-delimited source", shown + " " + Shown(err));
        Check(RunVerb("check", mapPath, sourcePath, out, err) == 2 && out.empty(),
              "check refuses a semicolon-delimited source", shown + " " + Shown(err));
        return 0;
    }
    if (!runSpace.RecordsEndingInsideQuotes().empty()) {
        Check(runStatus == 1 && out.empty() && err.starts_with("Source record "),
              "run refuses records broken inside quoted values", shown + " " + Shown(err));
    } else if (r.outcome == ExecuteResult::Outcome::Completed) {
        std::string expected;
        for (const auto& line : run.collected.lines)
            expected += line + "\r\n";
        Check(runStatus == 0 && out == expected, "run writes the engine's lines",
              shown + " status " + std::to_string(runStatus) + " err " + Shown(err));
    } else {
        Check(runStatus == 1 && out.empty() && !err.empty(),
              "a failed run writes nothing and says why", shown + " err " + Shown(err));
    }
    const int checkStatus = RunVerb("check", mapPath, sourcePath, out, err);
    if (c.outcome == ExecuteResult::Outcome::Completed) {
        // The batch command adds the plausibility warnings to the engine's problems, and every
        // problem it counts is one listed line.
        long listed = 0, plausibility = 0;
        for (size_t start = 0; start < out.size();) {
            const size_t end = std::min(out.find('\n', start), out.size());
            const std::string_view line(out.data() + start, end - start);
            listed += line.starts_with("Record ");
            plausibility +=
                line.find(": Warning: Destination field \"") != std::string_view::npos ||
                line.find(": Warning: the record has ") != std::string_view::npos;
            start = end + 1;
        }
        const long problems = c.problems + plausibility;
        const std::string count = std::to_string(c.records) + " records checked, " +
                                  std::to_string(problems) + " problems\n";
        Check(checkStatus == (c.failures > 0 ? 1 : 0) && out.ends_with(count) && listed == problems,
              "check lists and counts every problem and ends with its status",
              shown + " " + Shown(out));
    }
    return 0;
}
