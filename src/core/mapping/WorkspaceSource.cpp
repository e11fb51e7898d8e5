// Workspace: loading, showing, browsing and editing the source records.
#include "convert/Converters.h"
#include "convert/Rejection.h"
#include "convert/Text.h"
#include "io/FileIo.h"
#include "io/NativePath.h"
#include "mapping/RecordBudget.h"
#include "mapping/Workspace.h"
#include "source/SourceFormat.h"
#include "source/SplitRecord.h"

#include <algorithm>
#include <utility>

namespace impmap {

void Workspace::ClearRecordDisplay()
{
    shownRecord_ = 0;
    Notify(kChangeRecord);
}

// Under Read the header line is record 1: it follows the edits and deletions of that record.
void Workspace::SyncHeaderRecord()
{
    if (!headerTaken_)
        headerRecord_ = lines_.Empty() ? std::string() : std::string(lines_.Line(0));
}

void Workspace::DropSourceLines()
{
    if (lines_.Empty())
        return;
    NotifyAboutToChange(kChangeSourceLines);
    lines_ = SourceLines();
    Notify(kChangeSourceLines);
}

LoadedSource Workspace::ReadSourceOrAhead()
{
    std::optional<SourceReadAhead> ahead = std::exchange(readAhead_, std::nullopt);
    if (ahead && Trim(ahead->path) == Trim(sourcePath_) && ahead->sheet == sheet_) {
        if (ahead->failure)
            std::rethrow_exception(ahead->failure);
        return std::move(*ahead->source);
    }
    ahead.reset(); // another file's records go before this one's are read
    return ReadSource(sourcePath_, sheet_);
}

void Workspace::WithSourceReadAhead(SourceReadAhead ahead, const std::function<void()>& operation)
{
    RunWithAhead(readAhead_, std::move(ahead), operation);
}

void Workspace::OpenSource()
{
    // The old lines go before the new ones are read, so that the two are never held together.
    DropSourceLines();
    format_ = SourceFormat();
    sourceStamp_ = FileStamp();
    sourceLoaded_ = true;
    headerRecord_.clear();
    joinedBreaks_.clear();
    LoadedSource loaded;
    try {
        loaded = ReadSourceOrAhead();
    } catch (...) {
        // A failed load leaves no source at all: nothing shown, an empty box.
        sourceIsWorkbook_ = false;
        sheetErrors_.clear();
        sourceLoaded_ = false;
        sourcePath_.clear();
        sourceFields_.clear();
        shownExtent_ = {};
        ClearRecordDisplay();
        Notify(kChangeSettings | kChangeSourceFields);
        throw;
    }
    AdoptSource(std::move(loaded));
}

void Workspace::AdoptSource(LoadedSource loaded)
{
    DropSourceLines();
    sourceLoaded_ = true;
    joinedBreaks_.clear();
    format_ = loaded.format;
    sourceStamp_ = std::move(loaded.stamp);
    sourceIsWorkbook_ = loaded.workbook;
    if (loaded.workbook)
        sheet_ = std::move(loaded.sheet);
    else
        sheet_.clear();
    sheetErrors_ = std::move(loaded.sheetErrors);
    SourceLines& lines = loaded.lines;
    headerRecord_ = lines.Empty() ? std::string() : std::string(lines.Line(0));
    headerTaken_ = header_ == HeaderMode::Skip && !lines.Empty();
    if (headerTaken_)
        lines.Erase(0);
    NotifyAboutToChange(kChangeSourceLines);
    lines_ = std::move(lines);
    if (loaded.oddQuoteLines)
        KeepOddQuoteLines(std::move(*loaded.oddQuoteLines));
    Notify(kChangeSourceLines);
    if (sourceIsWorkbook_)
        SetDelimiter(impmap::Delimiter::Tab); // a sheet's text is tab-delimited
    else
        DetectDelimiter();
    if (lines_.Empty()) {
        // No record left (only a header line under Skip): nothing to map.
        sourceFields_.clear();
        shownExtent_ = {};
        Notify(kChangeSourceFields);
    }
    GoToRecord(1);
    SetModified(true);
    ClearOutput();
    sourceModified_ = false;
    Notify(kChangeSourceModified | kChangeSourceOpened);
}

void Workspace::LocateSource(std::string path)
{
    SetSourcePath(std::move(path));
    DropSourceLines();
    sourceFields_.clear();
    shownExtent_ = {};
    ClearRecordDisplay();
    Notify(kChangeSourceFields);
    OpenSource();
    SetModified(true);
}

void Workspace::DetectDelimiter()
{
    if (lines_.Empty())
        return;
    const impmap::Delimiter detected = DetectedDelimiter(lines_.Line(0), delimiter_);
    if (detected != delimiter_)
        SetDelimiter(detected);
}

void Workspace::DetectDelimiterAgain()
{
    // Loading detects the delimiter from the first record; when that record changes, the workspace
    // follows as a reload of the saved file would, so that a saved map reopens as it was saved.
    if (sourceIsWorkbook_ || lines_.Empty())
        return;
    const impmap::Delimiter before = delimiter_;
    DetectDelimiter();
    if (delimiter_ != before)
        SetModified(true);
}

void Workspace::GoToRecord(long n)
{
    currentRecord_ = n;
    ShowRecord(n);
}

void Workspace::ShowRecord(long n)
{
    ClearRecordDisplay();
    if (n < 1 || static_cast<size_t>(n) > lines_.Count())
        return;
    recordProblem_.clear();
    if (!TakeRecordSplitAhead(n)) {
        shownExtent_ =
            SplitRecordUpTo(lines_.Line(static_cast<size_t>(n - 1)), DelimiterCharacter(),
                            sourceFields_, kMaxMergeField, format_.encoding);
    }
    shownRecord_ = n;
    ApplyMerges();

    // The copies in the rows share the budget with the merges.
    size_t used = mergeGrowth_;
    const auto fieldCount = static_cast<int>(sourceFields_.size());
    for (DestinationRow& row : rows_) {
        const int no = row.sourceFieldNo;
        if (no <= 0)
            continue;
        if (no > fieldCount && executing_ && fieldCount > 0) {
            // A run writes a field the record lacks empty (a short row of a spreadsheet).
            row.value.clear();
            continue;
        }
        if (no > fieldCount) {
            // Built aside and moved in: assigning trips a false -Wrestrict in GCC 12 at -O3.
            std::string text = std::to_string(no);
            text.insert(0, 1, '(');
            text.append(") ").append(kNotAllocated).append("?");
            row.value = std::move(text);
            continue;
        }
        const std::string& value = sourceFields_[static_cast<size_t>(no - 1)];
        used += value.size();
        if (used > kRecordValueBudget) {
            if (recordProblem_.empty())
                recordProblem_ = RecordTooLargeMessage(n, used);
            row.value.clear();
            continue;
        }
        row.value = value;
    }
    ConvertDestinationValues();
    Notify(kChangeSourceFields | kChangeRecord | kChangeRowValues);
}

std::string_view Workspace::CurrentRecordText() const
{
    if (shownRecord_ < 1 || static_cast<size_t>(shownRecord_) > lines_.Count())
        return {};
    return lines_.Line(static_cast<size_t>(shownRecord_ - 1));
}

void Workspace::ApplyMerges()
{
    mergeGrowth_ = 0;
    if (mergesSuppressed_ || activeMerges_.empty())
        return;
    const size_t growth = MergeGrowth(sourceFields_, activeMerges_, merges_);
    if (growth > kRecordValueBudget) {
        recordProblem_ = RecordTooLargeMessage(shownRecord_, growth);
        return;
    }
    mergeGrowth_ = growth;
    ApplyMergesTo(sourceFields_, activeMerges_, merges_);
}

NavigationState Workspace::Navigation() const
{
    const auto count = static_cast<long>(lines_.Count());
    const long c = currentRecord_;
    NavigationState state;
    state.first = state.previous = c > 1 && count > 0;
    state.next = state.last = count > c && count > 0;
    return state;
}

void Workspace::NavigateFirst()
{
    if (Navigation().first)
        GoToRecord(1);
    SetModified(true);
}

void Workspace::NavigatePrevious()
{
    if (Navigation().previous)
        GoToRecord(currentRecord_ - 1);
    SetModified(true);
}

void Workspace::NavigateNext()
{
    if (Navigation().next)
        GoToRecord(currentRecord_ + 1);
    SetModified(true);
}

void Workspace::NavigateLast()
{
    if (Navigation().last)
        GoToRecord(static_cast<long>(lines_.Count()));
    SetModified(true);
}

void Workspace::GoToAnswer(const std::string& answer)
{
    std::string_view text = TrimView(answer);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || !IsAllDigits(text))
        throw Rejection("Value is not acceptable");
    const size_t firstNonZero = text.find_first_not_of('0');
    if (firstNonZero == std::string_view::npos)
        throw Rejection("Value is not acceptable");
    text.remove_prefix(firstNonZero);
    // More digits than any record count can have: past the end for certain.
    if (text.size() > 15 || std::stoll(std::string(text)) > static_cast<long long>(lines_.Count()))
        throw Rejection("Exceeds end of file");
    GoToRecord(std::stol(std::string(text)));
}

void Workspace::ShowRecordAtLine(long lineIndex)
{
    if (lineIndex >= 0 && static_cast<size_t>(lineIndex) < lines_.Count())
        GoToRecord(lineIndex + 1);
}

void Workspace::DeleteCurrentRecord()
{
    if (currentRecord_ < 1 || static_cast<size_t>(currentRecord_) > lines_.Count())
        return;
    NotifyAboutToChange(kChangeSourceLines);
    lines_.Erase(static_cast<size_t>(currentRecord_ - 1));
    ForgetSheetLine(static_cast<std::uint32_t>(currentRecord_ - 1 + (headerTaken_ ? 1 : 0)));
    SyncHeaderRecord();
    sourceModified_ = true;
    Notify(kChangeSourceLines | kChangeSourceModified);
    if (currentRecord_ == 1)
        DetectDelimiterAgain();
    if (!lines_.Empty()) {
        GoToRecord(std::min(currentRecord_, static_cast<long>(lines_.Count())));
    } else {
        ClearRecordDisplay();
        sourceFields_.clear();
        shownExtent_ = {};
        Notify(kChangeSourceFields);
    }
}

void Workspace::SaveSource()
{
    const std::string bytes = SourceBytesToSave();
    SourceSaved(WriteSourceFile(sourcePath_, bytes));
}

std::string Workspace::SourceBytesToSave() const
{
    if (sourceIsWorkbook_)
        throw Rejection("The workbook is never written; save the sheet as a text file.");
    // The header line goes back exactly when loading took it away (a Header change that did not
    // reload must not add or drop it); the file keeps its byte-order mark and its line end.
    std::string bytes = SourceFileBytes(format_, headerTaken_ ? &headerRecord_ : nullptr, lines_);
    // Windows-1252 text has no mark: bytes that happen to be UTF-8 would read back as UTF-8,
    // and the records would change. Nothing is written then; the edits stay.
    if (format_.encoding == TextEncoding::Windows1252 && IsMultiByteUtf8(bytes)) {
        throw Rejection(Trim(sourcePath_) +
                        " was not saved: as Windows-1252 text its bytes would read back as "
                        "UTF-8, and its records would change. Retype the values that put an "
                        "accented capital before a symbol (such as \"Â\" followed by a "
                        "non-breaking space), then save again.");
    }
    return bytes;
}

void Workspace::SourceSaved(FileStamp stamp)
{
    sourceStamp_ = std::move(stamp);
    sourceModified_ = false;
    Notify(kChangeSourceModified);
}

bool Workspace::SourceChangedOnDisk() const
{
    return !sourceIsWorkbook_ && sourceStamp_.path == Trim(sourcePath_) &&
           FileChangedSince(sourceStamp_);
}

FieldEdit Workspace::ChangeSourceFieldValue(int n, const std::string& entered)
{
    if (sourceFields_.empty() || currentRecord_ < 1 || n < 1 ||
        n > static_cast<int>(sourceFields_.size()) ||
        static_cast<size_t>(currentRecord_) > lines_.Count())
        return FieldEdit::Unchanged;
    if (TrimView(entered) == TrimView(sourceFields_[static_cast<size_t>(n - 1)]))
        return FieldEdit::Unchanged;
    // A line break would end the record there: the saved file would hold one more record.
    if (entered.find_first_of("\r\n") != std::string::npos) {
        throw Rejection("A source field cannot hold a line break: it would split record " +
                        std::to_string(currentRecord_) + " in two. Type the value on one line.");
    }

    // The fields without merges, split as the line stands under the current delimiter.
    mergesSuppressed_ = true;
    GoToRecord(currentRecord_);
    mergesSuppressed_ = false;
    if (n > static_cast<int>(sourceFields_.size())) {
        GoToRecord(currentRecord_);
        return FieldEdit::Unchanged; // the record has no such field under this delimiter
    }
    std::vector<std::string> fields = sourceFields_;
    fields[static_cast<size_t>(n - 1)] = entered;
    // Every delimiter quotes as Comma lines do, so that no value splits or vanishes on reading.
    const char separator = DelimiterCharacter();
    std::string line = DelimitedText(fields, separator);
    // Fields past the ones kept for display stay as they were written.
    const std::string_view old = lines_.Line(static_cast<size_t>(currentRecord_ - 1));
    if (shownExtent_.restOffset < old.size() || shownExtent_.fieldCount > fields.size()) {
        line += separator;
        line += old.substr(std::min(shownExtent_.restOffset, old.size()));
    }
    NotifyAboutToChange(kChangeSourceLines);
    lines_.Replace(static_cast<size_t>(currentRecord_ - 1), std::move(line));
    SyncHeaderRecord();
    Notify(kChangeSourceLines);
    if (currentRecord_ == 1)
        DetectDelimiterAgain();
    GoToRecord(currentRecord_);
    if (sourceModified_)
        return FieldEdit::Changed;
    sourceModified_ = true;
    Notify(kChangeSourceModified);
    return FieldEdit::FirstChange;
}

} // namespace impmap
