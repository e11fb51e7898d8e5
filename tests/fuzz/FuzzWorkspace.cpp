// Long sequences of the user's operations on one workspace (forms, assignments, fixed values,
// merges, settings, navigation, edits, deletions, saving and reopening the source and the map,
// Map by Name, runs with both engines, check), with the workspace's promises checked after
// every step. The input's first byte sizes a source file drawn from an alphabet of delimiters,
// quotes, line breaks and non-ASCII bytes; each later pair of bytes is one operation.
#include "FuzzRunSupport.h"
#include "convert/Rejection.h"
#include "execute/FastEngine.h"
#include "io/FileIo.h"
#include "source/SplitRecord.h"

#include <algorithm>
#include <array>

namespace impmap::fuzz {
namespace {

constexpr std::array<int, 4> kForms = {22, 2, 23, 36};
constexpr std::string_view kAlphabet = "a1-,|\t\" \r\nZ9.$(\xC2\xA0\xE9";
const std::array<std::string, 12> kValues = {
    "",    "EIN",      "ssn",      "12-3456789", "123-45-6789", "1,234",
    "x y", "a\"b|c,d", "\xC2\xA0", "9",          "N/A",         "Doe, John"};

// Every run's observable outcome as text.
struct RunOutcome
{
    std::vector<std::string> lines;
    std::string result;
    long failingRecord = 0;
    bool failed = false;
};

RunOutcome RunOnce(Workspace& w, bool fast, bool checkAll)
{
    Collected collected;
    const ExecuteOptions options{kFixedToday, checkAll};
    const ExecuteResult r = fast ? ExecuteFast(w, collected, options, FastOptions{0, 3})
                                 : Execute(w, collected, options);
    RunOutcome outcome;
    outcome.lines = std::move(collected.lines);
    outcome.failingRecord = r.failingRecord;
    outcome.failed = r.outcome == ExecuteResult::Outcome::Failed;
    outcome.result = std::to_string(static_cast<int>(r.outcome)) + " " + r.message + " " +
                     std::to_string(r.records) + " " + std::to_string(r.nullRecords) + " " +
                     std::to_string(r.failingRecord) + " " + std::to_string(r.failingRow);
    if (checkAll) {
        for (const std::string& problem : collected.problems)
            outcome.lines.push_back("problem " + problem);
    }
    return outcome;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += Shown(line) + "\n";
    return text;
}

std::vector<std::string> LinesOf(const Workspace& w)
{
    std::vector<std::string> lines;
    for (size_t i = 0; i < w.RecordCount(); ++i)
        lines.emplace_back(w.Lines().Line(i));
    return lines;
}

// Tells whether the last load of the source took its first line away as the header.
class LoadWatch : public WorkspaceObserver
{
public:
    explicit LoadWatch(Workspace& w) : w_(w) {}
    void WorkspaceChanged(unsigned changes) override
    {
        if (changes & kChangeSourceOpened)
            headerTaken = w_.Header() == HeaderMode::Skip && (w_.RecordCount() > 0 || fileHasLines);
    }
    bool headerTaken = false;
    bool fileHasLines = false; // set before each load

private:
    Workspace& w_;
};

class Session
{
public:
    explicit Session(const std::string& source) : watch_(w_)
    {
        folder_ = ScratchFolder();
        sourcePath_ = (folder_ / "source.txt").string();
        mapPath_ = (folder_ / "session.MAP").string();
        WriteScratchFile(sourcePath_, source);
        w_.SetObserver(&watch_);
        Load([&] { w_.LocateSource(sourcePath_); });
        log_ = "source " + Shown(source) + "\n";
    }

    void Step(uint8_t op, uint8_t arg)
    {
        log_ += std::to_string(op % 20) + ":" + std::to_string(arg) + " ";
        const MappingState before = w_.CaptureMapping();
        const bool mapChanging = Apply(op % 20, arg);
        if (mapChanging && w_.CaptureMapping() != before)
            Check(w_.MappingModified(), "a mapping change marks the mapping changed", log_);
        CheckShownFields();
    }

private:
    template <typename Action> void Load(Action action)
    {
        watch_.fileHasLines = !ReadScratchFile(sourcePath_).empty();
        try {
            action();
        } catch (const FileError&) {
        }
    }

    int Row(uint8_t arg) const
    {
        return w_.Rows().empty() ? -1 : static_cast<int>(arg % w_.Rows().size());
    }

    // Applies operation op; true when it may change the mapping (and so must mark it).
    bool Apply(int op, uint8_t arg)
    {
        const int field = arg % 8 + 1;
        const std::string& value = kValues[arg % kValues.size()];
        try {
            switch (op) {
            case 0:
                w_.ChooseForm(kForms[arg % kForms.size()]);
                return true;
            case 1:
                w_.AssignSourceField(Row(arg), field);
                return true;
            case 2:
                if (Row(arg) >= 0 && w_.Rows()[static_cast<size_t>(Row(arg))].sourceFieldNo == 0)
                    w_.SetFixedValue(Row(arg), kValues[(arg / 16) % kValues.size()]);
                return true;
            case 3:
                w_.MergeInto(arg % 4 + 1, arg / 64 + 1);
                return true;
            case 4:
                w_.SetDecimal(SettingAt<DecimalMode>(arg & 1));
                return true;
            case 5:
                w_.SetTrace(SettingAt<TraceMode>(arg & 1));
                return true;
            case 6:
                Load([&] { w_.SetHeader(SettingAt<HeaderMode>(arg & 1)); });
                return true;
            case 7:
                Load([&] { w_.ChangeDelimiter(SettingAt<Delimiter>(arg % 3)); });
                return true;
            case 8:
                Navigate(arg);
                return false;
            case 9:
                w_.ChangeSourceFieldValue(field, value);
                return false;
            case 10:
                w_.DeleteCurrentRecord();
                return false;
            case 11:
                SaveAndReopenSource();
                return false;
            case 12:
                SaveAndReopenMap();
                return false;
            case 13:
                if (w_.MapByNameEnabled())
                    w_.MapByName();
                return true;
            case 14:
            case 15:
                RunAndCompare();
                return false;
            case 16:
                w_.ResetMapping();
                return true;
            case 17:
                // The source box edited to blanks, or the file opened again by its name.
                if (arg & 1)
                    w_.SetSourcePath("  ");
                else
                    Load([&] { w_.LocateSource(sourcePath_); });
                return false;
            case 18:
                if (w_.OpenSourceEnabled())
                    Load([&] { w_.OpenSource(); });
                return false;
            default:
                w_.ToggleAssignment(Row(arg), field);
                return true;
            }
        } catch (const Rejection&) {
            return true;
        }
    }

    void Navigate(uint8_t arg)
    {
        // Half the moves come with a record split ahead, as the window splits a long one:
        // whichever record it was split from, what is shown must be what a move alone shows.
        if ((arg & 0x80) != 0 && w_.RecordCount() > 0) {
            const long ahead = static_cast<long>((arg >> 3) % w_.RecordCount()) + 1;
            w_.WithRecordSplitAhead(w_.SplitRecordAhead(ahead), [&] { Move(arg); });
            return;
        }
        Move(arg);
    }

    void Move(uint8_t arg)
    {
        switch (arg % 5) {
        case 0:
            w_.NavigateFirst();
            break;
        case 1:
            w_.NavigatePrevious();
            break;
        case 2:
            w_.NavigateNext();
            break;
        case 3:
            w_.NavigateLast();
            break;
        default:
            w_.GoToRecord(arg % 6);
            break;
        }
    }

    // The fields shown are the shown line split by the current delimiter.
    void CheckShownFields()
    {
        if (w_.RecordCount() == 0) {
            Check(w_.SourceFields().empty(), "no record, no fields", log_);
            return;
        }
        const long shown = w_.ShownRecord();
        if (shown < 1 || static_cast<size_t>(shown) > w_.RecordCount())
            return;
        Check(w_.CurrentRecordText() == w_.Lines().Line(static_cast<size_t>(shown - 1)),
              "the record text shown is its line", log_);
        for (int k = 1; k <= kMaxMergeField; ++k) {
            if (w_.MergeSources()[static_cast<size_t>(k)] > 0)
                return; // merged fields are not the split line
        }
        std::vector<std::string> split;
        SplitRecordUpTo(w_.CurrentRecordText(), w_.DelimiterCharacter(), split, kMaxMergeField,
                        w_.Format().encoding);
        Check(split == w_.SourceFields(), "the fields shown are the line split by the delimiter",
              log_ + "\nshown " + Joined(w_.SourceFields()) + "split " + Joined(split));
    }

    // The records survive saving and reopening exactly; the header line is neither doubled nor
    // lost.
    void SaveAndReopenSource()
    {
        if (!w_.SourceLoaded() || !w_.OpenSourceEnabled() || w_.SourcePath() != sourcePath_)
            return;
        w_.SaveSource();
        Workspace fresh;
        fresh.SetHeader(HeaderMode::Read);
        fresh.SetSourcePath(sourcePath_);
        // A source emptied of every line is saved empty, and loading refuses an empty file.
        if (ReadScratchFile(sourcePath_).empty()) {
            bool refused = false;
            try {
                fresh.OpenSource();
            } catch (const FileError&) {
                refused = true;
            }
            Check(refused && LinesOf(w_).empty() && !watch_.headerTaken,
                  "only an emptied source is saved empty, and it is refused as empty", log_);
            return;
        }
        fresh.OpenSource();
        std::vector<std::string> expected = LinesOf(w_);
        if (watch_.headerTaken)
            expected.insert(expected.begin(), w_.HeaderRecord());
        Check(LinesOf(fresh) == expected, "the saved records read back exactly",
              log_ + "\nread " + Joined(LinesOf(fresh)) + "expected " + Joined(expected));
        // Text of ASCII bytes alone reads the same in either encoding, whatever it is labelled.
        const std::string bytes = ReadScratchFile(sourcePath_);
        const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        Check(ascii || fresh.Format().encoding == w_.Format().encoding,
              "the saved source reads back in its encoding", log_);
    }

    // Saving the map, reopening it and saving again gives the same bytes and the same runs.
    void SaveAndReopenMap()
    {
        if (w_.Rows().empty() || !w_.SourceLoaded() || w_.SourcePath() != sourcePath_)
            return;
        const MappingState mapping = w_.CaptureMapping();
        w_.SaveMapping(mapPath_);
        Check(!w_.MappingModified(), "a saved mapping is unchanged", log_);
        Check(w_.CaptureMapping() == mapping, "saving keeps the mapping", log_);
        const std::string saved = ReadScratchFile(mapPath_);
        Workspace reopened;
        try {
            reopened.OpenMapping(mapPath_);
        } catch (const FileError&) {
            // The mapping is applied, then its source is refused: an emptied source saved empty.
            Check(ReadScratchFile(sourcePath_).empty(), "a saved map reopens with its source",
                  log_);
            return;
        } catch (const std::exception& e) {
            Broken("a saved map reopens", log_ + "\n" + e.what());
        }
        // The map names the file on the disk: the edits not saved are not in it.
        if (w_.SourceModified())
            return;
        const std::string again = (folder_ / "again.MAP").string();
        reopened.SaveMapping(again);
        Check(ReadScratchFile(again) == saved, "map save, reopen, save gives the same bytes",
              log_ + "\nfirst\n" + saved + "\nsecond\n" + ReadScratchFile(again));
        if (!w_.ExecuteEnabled() || !reopened.ExecuteEnabled())
            return;
        w_.GoToRecord(1);
        reopened.GoToRecord(1);
        const RunOutcome here = RunOnce(w_, false, false);
        const RunOutcome there = RunOnce(reopened, false, false);
        Check(here.lines == there.lines && here.result == there.result,
              "a reopened map runs as the saved one",
              log_ + "\n" + here.result + "\n" + Joined(here.lines) + there.result + "\n" +
                  Joined(there.lines));
    }

    // A run changes neither the mapping nor the source; both engines agree; check's first
    // failure is the run's.
    void RunAndCompare()
    {
        if (!w_.ExecuteEnabled())
            return;
        const MappingState mapping = w_.CaptureMapping();
        const bool mappingModified = w_.MappingModified();
        const bool sourceModified = w_.SourceModified();
        const std::vector<std::string> lines = LinesOf(w_);
        std::string mapBefore;
        if (w_.SourceLoaded()) {
            w_.SaveMapping((folder_ / "before.MAP").string());
            mapBefore = ReadScratchFile(folder_ / "before.MAP");
        }
        const RunOutcome plain = RunOnce(w_, false, false);
        const RunOutcome fast = RunOnce(w_, true, false);
        const RunOutcome check = RunOnce(w_, false, true);
        Check(plain.lines == fast.lines && plain.result == fast.result,
              "plain and fast engines agree",
              log_ + "\nplain " + plain.result + "\n" + Joined(plain.lines) + "fast " +
                  fast.result + "\n" + Joined(fast.lines));
        Check(w_.CaptureMapping() == mapping, "a run leaves the mapping as it was", log_);
        Check(LinesOf(w_) == lines && w_.SourceModified() == sourceModified,
              "a run leaves the source as it was", log_);
        if (w_.SourceLoaded()) {
            w_.SaveMapping((folder_ / "after.MAP").string());
            Check(ReadScratchFile(folder_ / "after.MAP") == mapBefore,
                  "a run never changes what the map file holds", log_);
            w_.SetModified(mappingModified);
        }
        if (plain.failed) {
            long firstFailure = 0;
            for (const std::string& line : check.lines) {
                if (firstFailure == 0 && line.starts_with("problem Record ") &&
                    line.find(": Destination field ") != std::string::npos)
                    firstFailure = std::stol(line.substr(15));
            }
            Check(firstFailure == 0 || firstFailure == plain.failingRecord,
                  "check's first failure is the run's",
                  log_ + "\nrun " + plain.result + "\ncheck " + Joined(check.lines));
        }
    }

    Workspace w_;
    LoadWatch watch_;
    std::filesystem::path folder_;
    std::string sourcePath_, mapPath_;
    std::string log_;
};

} // namespace
} // namespace impmap::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace impmap::fuzz;
    if (size < 1)
        return 0;
    const size_t sourceSize = std::min<size_t>(data[0] % 96, size - 1);
    std::string source;
    for (size_t i = 1; i <= sourceSize; ++i)
        source += kAlphabet[data[i] % kAlphabet.size()];
    Session session(source);
    // Long sequences, but a bound on the time one input takes.
    const size_t end = std::min<size_t>(size, 1 + sourceSize + 2 * 400);
    for (size_t i = 1 + sourceSize; i + 1 < end; i += 2)
        session.Step(data[i], data[i + 1]);
    return 0;
}
