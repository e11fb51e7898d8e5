// The verb tin-match: the request file of the IRS's bulk TIN Matching from a map file.
#include "Cli.h"
#include "CliArgs.h"
#include "RunSetup.h"
#include "SafeOutput.h"
#include "Verbs.h"
#include "convert/Text.h"
#include "execute/FastEngine.h"
#include "io/NativePath.h"
#include "mapping/Workspace.h"
#include "tinmatch/TinMatchExport.h"

#include <ostream>

namespace impmap::cli {

const char* const kTinMatchHelp =
    "Usage: impmap-cli tin-match MAPFILE [--source FILE] [--today YYYY-MM-DD] -o FILE\n"
    "                            [--sheet NAME]\n"
    "Writes the request file of the IRS's bulk TIN Matching from a map file of a 1099 form:\n"
    "one line \"TIN TYPE;TIN;NAME;ACCOUNT NUMBER\" per record, each followed by CR LF, made of\n"
    "the record's converted \"TIN Type\" (1 EIN, 2 SSN, 3 unknown), \"Taxpayer id\" and\n"
    "\"Name line 1\" (letters, digits, blanks, hyphens and ampersands, at most 40), with the\n"
    "record number as account number. More than 100,000 lines go on in FILE_2, FILE_3, ...\n"
    "(before the extension). The files replace the old ones only when all are written; a\n"
    "further part that an earlier, longer request left is named on standard error.\n"
    "Records with a bad or no TIN, NULL records and records without a name are left out, each\n"
    "named on standard error. Feed the IRS's answers to check --tin-results.\n"
    "  --source FILE        use FILE instead of the map file's source file\n"
    "  --sheet NAME         the sheet of a workbook source, as for run\n"
    "  --today YYYY-MM-DD   the date used for two-digit years and birth dates\n"
    "  -o FILE              the file to write (required)\n"
    "Exit status: 0 written, 1 the mapping cannot give requests (not a 1099 form, no\n"
    "\"Taxpayer id\" or \"Name line 1\" row, or no record to send), 2 usage error or a file that\n"
    "cannot be read or written.\n";

namespace {

// Passes the records on to the export and shows the progress line.
class TinMatchCallbacks : public ExecuteCallbacks
{
public:
    TinMatchCallbacks(TinMatchExport& export_, const VerbContext& context)
        : export_(export_), progress_(context.err, context.errIsTerminal)
    {}
    void Progress(long position, long total) override { progress_.Show(position, total); }
    void OutputLine(std::string_view line) override { (void)line; }
    void FieldProblemFound(const FieldProblem& problem) override
    {
        export_.FieldProblemFound(problem);
    }
    void RecordValues(long record, RecordViews values, RecordViews sourceFields) override
    {
        export_.RecordValues(record, values, sourceFields);
    }
    bool WantsSourceFields() const override { return false; }

private:
    TinMatchExport& export_;
    ProgressLine progress_;
};

std::string LinesText(long lines)
{
    return std::to_string(lines) + (lines == 1 ? " line" : " lines");
}

// Writes the request; returns the exit status.
int Export(Workspace& workspace, const RunSetup& setup, const std::string& output,
           const VerbContext& context)
{
    RefuseOutputOverInput(output, {setup.mapFile, workspace.SourcePath()});
    TinMatchFiles files(PathFromUtf8(output),
                        {PathFromUtf8(setup.mapFile), PathFromUtf8(workspace.SourcePath())});
    TinMatchExport request(workspace, files, [&context](long, const std::string& line) {
        context.err << line << '\n';
    });
    ExecuteResult result;
    {
        TinMatchCallbacks callbacks(request, context);
        result = ExecuteFast(workspace, callbacks, ExecuteOptions{setup.today, true});
    }
    if (result.outcome == ExecuteResult::Outcome::Failed) {
        context.err << ForTerminal(WithFinalFullStop(result.message)) << '\n';
        return kExitFailed;
    }
    request.Finish();
    if (files.Lines() == 0) {
        context.err << "impmap-cli tin-match: no record can be sent for TIN Matching; nothing "
                       "was written\n";
        return kExitFailed;
    }
    for (const TinMatchPart& part : files.Commit())
        context.out << LinesText(part.lines) << " written to " << Utf8FromPath(part.path) << '\n';
    for (const std::filesystem::path& earlier : files.EarlierParts())
        context.err << "impmap-cli tin-match: " << Utf8FromPath(earlier)
                    << " is left from an earlier request; do not send it with these\n";
    if (request.LeftOutCount() > 0)
        context.out << request.LeftOutCount()
                    << (request.LeftOutCount() == 1 ? " record" : " records")
                    << " left out (listed on standard error)\n";
    return kExitOk;
}

} // namespace

int TinMatchVerb(const std::vector<std::string>& words, const VerbContext& context)
{
    const CliArgs args("tin-match", words, {"--source", "--today", "-o", "--sheet"}, {});
    const RunSetup setup = ParseRunArgs("tin-match", args);
    const std::optional<std::string> output = args.Value("-o");
    if (!output)
        throw UsageError{"tin-match: missing -o FILE"};
    Workspace workspace;
    if (!OpenForRun("tin-match", setup, workspace, context.err))
        return kExitUsage;
    if (const std::string refusal = TinMatchRefusal(workspace.FormIndex(), workspace.Rows());
        !refusal.empty()) {
        context.err << "impmap-cli tin-match: " << refusal << '\n';
        return kExitFailed;
    }
    try {
        return Export(workspace, setup, *output, context);
    } catch (const FileError& e) {
        context.err << "impmap-cli tin-match: " << e.what() << '\n';
        return kExitUsage;
    }
}

} // namespace impmap::cli
