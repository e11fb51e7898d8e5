// The verbs that execute a map file: run and check.
#include "Cli.h"
#include "CliArgs.h"
#include "RunExtras.h"
#include "RunSetup.h"
#include "SafeOutput.h"
#include "Verbs.h"
#include "convert/Text.h"
#include "execute/FastEngine.h"
#include "io/FileIo.h"
#include "io/NativePath.h"
#include "io/TempFile.h"
#include "mapping/Workspace.h"
#include "source/SplitRecord.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <memory>
#include <ostream>
#include <system_error>

namespace impmap::cli {

const char* const kRunHelp =
    "Usage: impmap-cli run MAPFILE [--source FILE] [-o FILE] [--today YYYY-MM-DD]\n"
    "                      [--totals] [--sheet NAME] [--join-lines]\n"
    "Opens the map file, executes the mapping over every source record and writes one\n"
    "import line per record, each followed by CR LF, to FILE or standard output.\n"
    "  --source FILE        use FILE instead of the map file's source file\n"
    "  --sheet NAME         the sheet (name or 1-based number) of a workbook source, instead\n"
    "                       of the map file's sheet or the first visible one\n"
    "  -o FILE              write the output to FILE (replaced only when the run completes)\n"
    "  --today YYYY-MM-DD   the date used for two-digit years and birth dates\n"
    "  --totals             after a completed run, print on standard error for every amount\n"
    "                       field mapped or fixed: caption TAB records with a non-zero\n"
    "                       amount TAB sum of the amounts written\n"
    "  --join-lines         join the lines that end inside a quoted value (a cell with a\n"
    "                       line break) for the run, as join-lines does, the file untouched;\n"
    "                       without it such a source is not run\n"
    "Warnings and the NULL-record notice go to standard error.\n"
    "A failed run names the source record and the line of the source file it stopped at.\n"
    "Exit status: 0 completed, 1 the run failed (message on standard error),\n"
    "2 usage error or a map or source file that cannot be read.\n";

const char* const kCheckHelp =
    "Usage: impmap-cli check MAPFILE [--source FILE] [--today YYYY-MM-DD]\n"
    "                        [--problem-records FILE] [--totals] [--tin-results FILE]...\n"
    "                        [--sheet NAME]\n"
    "Executes the mapping without stopping at a failing field and lists every problem of\n"
    "every record, one line each, in record order, then a count line.\n"
    "Bad taxpayer numbers after record 1 are listed as the run's warnings, and so are\n"
    "implausible values (\"Record N: Warning: ...\"): taxpayer numbers never issued or\n"
    "padded with zeros, a TIN type carried from an earlier record, zip codes, state codes\n"
    "and e-mail addresses; warnings never change the exit status. A workbook source's\n"
    "error values are warnings too (\"Record N: Warning: cell K5 holds the error #N/A\").\n"
    "  --sheet NAME            the sheet of a workbook source, as for run\n"
    "  --problem-records FILE  write every record that has a problem, as it stands in the\n"
    "                          source, with a last column listing its problems (after the\n"
    "                          header line with \"Problems\" when the header is skipped)\n"
    "  --totals                print the control totals on standard error, as run does\n"
    "  --tin-results FILE      read the answers of the IRS's TIN Matching to the file that\n"
    "                          tin-match wrote (once for each file of a split request) and\n"
    "                          warn of every record whose answer is not a match; answers whose\n"
    "                          TIN is no longer the record's, and lines that are no answer, are\n"
    "                          listed on standard error and not applied\n"
    "Exit status: 0 no field failed its check, 1 some did, 2 usage or file errors.\n";

// Messages are shown with CR LF as line feeds.
std::string ForTerminal(std::string text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

RunSetup ParseRunArgs(const std::string& verb, const CliArgs& args)
{
    args.ExpectPositional(1, "MAPFILE");
    RunSetup setup{args.Positional()[0], args.Value("--source"), SystemToday(),
                   args.Value("--sheet")};
    if (const auto today = args.Value("--today")) {
        const auto date = ParseIsoDate(*today);
        if (!date)
            throw UsageError{verb + ": --today takes a date as YYYY-MM-DD, not " + *today};
        setup.today = *date;
    }
    return setup;
}

bool OpenForRun(const std::string& verb, const RunSetup& setup, Workspace& workspace,
                std::ostream& err)
{
    try {
        ReadWholeFile(PathFromUtf8(setup.mapFile));
        workspace.OpenMapping(setup.mapFile, setup.source, setup.sheet);
    } catch (const std::exception& e) {
        err << "impmap-cli " << verb << ": " << ForTerminal(e.what()) << '\n';
        return false;
    }
    if (!workspace.SourceLoaded()) {
        err << "impmap-cli " << verb << ": " << setup.mapFile
            << " names no source file (give one with --source FILE)\n";
        return false;
    }
    if (!workspace.SourceIsWorkbook() && LooksSemicolonDelimited(workspace.HeaderRecord())) {
        err << "impmap-cli " << verb << ": " << SemicolonDelimitedMessage(workspace.SourcePath())
            << '\n';
        return false;
    }
    workspace.GoToRecord(1);
    return true;
}

namespace {

// A record broken inside a quoted value would run as two records of garbage: the run stops
// before it writes anything, unless the lines are joined for it. False after saying so.
bool JoinOrRefuseBrokenRecords(Workspace& workspace, bool join, std::ostream& err)
{
    const std::vector<long> broken = workspace.RecordsEndingInsideQuotes();
    if (broken.empty())
        return true;
    if (join) {
        workspace.JoinBrokenRecords();
        return true;
    }
    err << "Source record " << broken.front()
        << " ends inside a quoted value that continues on the next line (a cell with a line "
           "break). Join such lines with: impmap-cli join-lines "
        << workspace.SourcePath() << ", or run with --join-lines\n";
    return false;
}

// The run's failure message, and the record and the line of the file it stopped at.
void ShowRunFailure(const Workspace& workspace, const ExecuteResult& result, std::ostream& err)
{
    err << ForTerminal(WithFinalFullStop(result.message)) << '\n';
    if (result.failingRecord > 0)
        err << "Stopped at source record " << result.failingRecord << " (line "
            << workspace.SourceFileLine(result.failingRecord) << " of " << workspace.SourcePath()
            << ").\n";
}

} // namespace

void ProgressLine::Show(long position, long total)
{
    if (!enabled_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (shown_ && position != total && now - last_ < std::chrono::milliseconds(100))
        return;
    last_ = now;
    shown_ = true;
    err_ << "\rRecord " << position << " of " << total << std::flush;
}

ProgressLine::~ProgressLine()
{
    if (shown_)
        err_ << "\r\033[K" << std::flush;
}

namespace {

// Where run writes its lines: the target file through a temporary file that replaces it only
// when the run completes, or a temporary file copied to standard output at the end.
class OutputSink
{
public:
    explicit OutputSink(const std::optional<std::string>& file)
    {
        errno = 0;
        if (file)
            writer_ = std::make_unique<AtomicFileWriter>(PathFromUtf8(*file));
        else
            buffer_ = OpenTemporaryFile();
        if (!writer_ && !buffer_)
            throw FileError("Cannot create a temporary file for the output. " + ErrnoReason());
    }
    ~OutputSink()
    {
        if (buffer_)
            std::fclose(buffer_);
    }
    OutputSink(const OutputSink&) = delete;
    OutputSink& operator=(const OutputSink&) = delete;

    // Lines are gathered into blocks, which cost one write each instead of two per line.
    void Write(std::string_view line)
    {
        block_.append(line).append("\r\n");
        if (block_.size() >= kBlockBytes)
            WriteBlock();
    }
    void Commit(std::ostream& out)
    {
        WriteBlock();
        if (writer_) {
            writer_->Commit();
            return;
        }
        errno = 0;
        if (std::fflush(buffer_) != 0 || std::fseek(buffer_, 0, SEEK_SET) != 0)
            throw FileError("Cannot write the output to a temporary file. " + ErrnoReason());
        char chunk[1 << 16];
        size_t n = 0;
        while ((n = std::fread(chunk, 1, sizeof chunk, buffer_)) > 0) {
            out.write(chunk, static_cast<std::streamsize>(n));
            if (!out)
                break;
        }
        if (std::ferror(buffer_))
            throw FileError("Cannot read the output back from a temporary file. " + ErrnoReason());
        if (const std::string reason = FlushAndCheck(out); !reason.empty())
            throw FileError("Cannot write to standard output. " + reason);
    }

private:
    static constexpr size_t kBlockBytes = size_t{1} << 20;

    static std::string ErrnoReason()
    {
        return SystemReason(std::error_code(errno != 0 ? errno : EIO, std::generic_category()));
    }

    void WriteBlock()
    {
        if (writer_) {
            writer_->Write(block_);
        } else {
            errno = 0;
            if (std::fwrite(block_.data(), 1, block_.size(), buffer_) != block_.size())
                throw FileError("Cannot write the output to a temporary file. " + ErrnoReason());
        }
        block_.clear();
    }

    std::unique_ptr<AtomicFileWriter> writer_;
    std::FILE* buffer_ = nullptr;
    std::string block_;
};

class RunCallbacks : public ExecuteCallbacks
{
public:
    RunCallbacks(OutputSink* sink, RunExtras& extras, const VerbContext& context)
        : sink_(sink), extras_(extras), context_(context),
          progress_(context.err, context.errIsTerminal)
    {}
    void Progress(long position, long total) override { progress_.Show(position, total); }
    void Warning(const std::string& line) override { context_.err << line << '\n'; }
    void OutputLine(std::string_view line) override
    {
        if (sink_)
            sink_->Write(line);
    }
    void Problem(const std::string& line) override { context_.out << line << '\n'; }
    void FieldProblemFound(const FieldProblem& problem) override
    {
        extras_.FieldProblemFound(problem);
    }
    void RecordValues(long record, RecordViews values, RecordViews sourceFields) override
    {
        extras_.RecordValues(record, values, sourceFields);
    }
    bool WantsRecordValues() const override { return extras_.WantsRecordValues(); }
    bool WantsSourceFields() const override { return extras_.WantsSourceFields(); }

private:
    OutputSink* sink_;
    RunExtras& extras_;
    const VerbContext& context_;
    ProgressLine progress_;
};

} // namespace

int RunVerb(const std::vector<std::string>& words, const VerbContext& context)
{
    const CliArgs args("run", words, {"--source", "-o", "--today", "--sheet"},
                       {"--totals", "--join-lines"});
    const RunSetup setup = ParseRunArgs("run", args);
    Workspace workspace;
    if (!OpenForRun("run", setup, workspace, context.err))
        return kExitUsage;
    if (!JoinOrRefuseBrokenRecords(workspace, args.Flag("--join-lines"), context.err))
        return kExitFailed;
    try {
        if (const auto output = args.Value("-o"))
            RefuseOutputOverInput(*output, {setup.mapFile, workspace.SourcePath()});
        OutputSink sink(args.Value("-o"));
        RunExtras extras(workspace, {false, args.Flag("--totals"), std::nullopt}, context.out);
        ExecuteResult result;
        {
            RunCallbacks callbacks(&sink, extras, context);
            result = ExecuteFast(workspace, callbacks, ExecuteOptions{setup.today, false});
        }
        if (result.outcome == ExecuteResult::Outcome::Failed) {
            ShowRunFailure(workspace, result, context.err);
            return kExitFailed;
        }
        sink.Commit(context.out);
        if (result.nullRecords > 0)
            context.err << ForTerminal(NullRecordNotice(result.nullRecords)) << '\n';
        extras.Finish(context.err);
        return kExitOk;
    } catch (const FileError& e) {
        context.err << "impmap-cli run: " << e.what() << '\n';
        return kExitUsage;
    }
}

int CheckVerb(const std::vector<std::string>& words, const VerbContext& context)
{
    const CliArgs args("check", words, {"--source", "--today", "--problem-records", "--sheet"},
                       {"--totals"}, {"--tin-results"});
    const RunSetup setup = ParseRunArgs("check", args);
    Workspace workspace;
    if (!OpenForRun("check", setup, workspace, context.err))
        return kExitUsage;
    try {
        RunExtras extras(workspace,
                         {true, args.Flag("--totals"), args.Value("--problem-records"),
                          args.Values("--tin-results")},
                         context.out);
        ExecuteResult result;
        {
            RunCallbacks callbacks(nullptr, extras, context);
            result = ExecuteFast(workspace, callbacks, ExecuteOptions{setup.today, true});
        }
        if (result.outcome == ExecuteResult::Outcome::Failed) {
            context.err << ForTerminal(WithFinalFullStop(result.message)) << '\n';
            return kExitFailed;
        }
        context.out << result.records << " records checked, " << result.problems + extras.Warnings()
                    << " problems\n";
        extras.Finish(context.err);
        return result.failures > 0 ? kExitFailed : kExitOk;
    } catch (const FileError& e) {
        context.err << "impmap-cli check: " << e.what() << '\n';
        return kExitUsage;
    }
}

} // namespace impmap::cli
