#pragma once

#include "execute/OutputStore.h"
#include "mapping/DestinationRow.h"
#include "mapping/MappingState.h"
#include "mapping/SourceRead.h"
#include "mapping/WorkspaceObserver.h"
#include "source/SourceFormat.h"
#include "source/SourceLines.h"
#include "source/SplitRecord.h"
#include "source/WorkbookSource.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// All mapping and source state of one window session, and the operations on it. The window draws
// this state and asks the user its questions; operations that need an answer take it as an
// argument. Operations report failures by throwing Rejection or FileError with the full message.
namespace impmap {

extern const char* const kApplicationTitle; // "Vellorum - 2022 Import Mapping Utility"

constexpr int kMaxMergeField = 1000; // MergeSources covers source fields 1..1000
constexpr int kMaxMappedField = 999; // map files hold source field numbers in three digits

struct NavigationState
{
    bool first = false;
    bool previous = false;
    bool next = false;
    bool last = false;
};

// What joining the lines broken inside quoted values did: the line breaks replaced, and where the
// source file as it was before is kept (empty when nothing was written).
struct JoinedLines
{
    size_t joins = 0;
    std::string backupPath;
};

// The fields of a record split ahead of showing it (Workspace::SplitRecordAhead), with what they
// were split from: a version of the lines, a line of them, a delimiter and an encoding.
struct RecordSplit
{
    std::uint64_t linesVersion = 0;
    size_t line = 0;
    char delimiter = 0;
    TextEncoding encoding = TextEncoding::Windows1252;
    std::vector<std::string> fields;
    SplitExtent extent;
};

// Result of changing a field value of the displayed record.
enum class FieldEdit
{
    Unchanged,
    Changed,
    FirstChange
};

// The rows a source field feeds, and the box that tells the user (title and text).
struct FeedReport
{
    std::vector<int> rows;
    std::string title;
    std::string text;
};

// One row of a suggested mapping: the row's source field and the fields merged into it, in
// order.
struct AssignmentChoice
{
    int row = -1;
    int sourceFieldNo = 0;
    std::vector<int> merged;
};

class Workspace
{
public:
    Workspace();

    void SetObserver(WorkspaceObserver* observer) { observer_ = observer; }

    // ---- Settings -------------------------------------------------------------------------
    int FormIndex() const { return formIndex_; }
    DecimalMode Decimal() const { return decimal_; }
    // The type is named in full: Delimiter in this class is this accessor.
    impmap::Delimiter Delimiter() const { return delimiter_; }
    HeaderMode Header() const { return header_; }
    TraceMode Trace() const { return trace_; }
    const std::string& SourcePath() const { return sourcePath_; }
    bool ImpliedDecimal() const { return decimal_ == DecimalMode::Implied; }
    char DelimiterCharacter() const;

    // The user chooses a form: the rows are rebuilt.
    void ChooseForm(int formIndex);
    // Selects a form without rebuilding the rows (as opening a map file does before it loads).
    void SelectForm(int formIndex);
    // Radio-group settings: a different value runs the same steps as the user's click.
    void SetDecimal(DecimalMode value);
    void SetTrace(TraceMode value);
    void SetHeader(HeaderMode value); // may reload the source: throws FileError
    // Programmatic delimiter choice: no reload.
    void SetDelimiter(impmap::Delimiter value);
    // The user picks a delimiter: reloads a displayed source. Throws FileError.
    void ChangeDelimiter(impmap::Delimiter value);
    void SetSourcePath(std::string path);
    // The open button is enabled exactly when the source path is not blank.
    bool OpenSourceEnabled() const;

    // ---- Source ---------------------------------------------------------------------------
    const SourceLines& Lines() const { return lines_; }
    size_t RecordCount() const { return lines_.Count(); }
    const std::string& HeaderRecord() const { return headerRecord_; }
    bool SourceLoaded() const { return sourceLoaded_; }
    bool SourceModified() const { return sourceModified_; }
    // Fields of the record on display, after merges: the first kMaxMergeField of them, since
    // only those can be mapped or merged.
    const std::vector<std::string>& SourceFields() const { return sourceFields_; }
    // How many fields the record on display has in all.
    size_t SourceFieldCount() const { return shownExtent_.fieldCount; }
    // Why the record on display cannot be mapped (its merges or mapped values would need more
    // than kRecordValueBudget); empty when it can. Its merges are then not shown, and rows past
    // the budget show nothing.
    const std::string& RecordProblem() const { return recordProblem_; }
    long CurrentRecord() const { return currentRecord_; }
    // The record number pane: the record shown, 0 when the display is cleared.
    long ShownRecord() const { return shownRecord_; }
    // Raw text of the shown record, empty while none is shown: a view of its line, good until the
    // lines change. Not a copy, so that showing a record of many megabytes stays quick.
    std::string_view CurrentRecordText() const;
    bool MergesSuppressed() const { return mergesSuppressed_; }

    // Loads the file named by SourcePath (the question about unsaved edits is the caller's).
    // On failure: SourceLoaded false, the source path emptied, FileError thrown.
    void OpenSource();
    // What OpenSource does once the file is read (see ReadSource): loaded becomes the source,
    // read from the source path.
    void AdoptSource(LoadedSource loaded);
    // Runs operation with ahead as the read of its first load of the source path and sheet that
    // ahead was read for: that load takes ahead's source, or throws its failure, instead of
    // reading the file again (the window reads on another thread). ahead is dropped when
    // operation ends.
    void WithSourceReadAhead(SourceReadAhead ahead, const std::function<void()>& operation);
    // The fields of record n (1-based, in range) as showing it would split them now. Only reads
    // the workspace: the window splits a record of many megabytes on another thread.
    RecordSplit SplitRecordAhead(long n) const;
    // Runs operation with split as the fields of the record it shows, when split is still that
    // record's as the lines and settings stand; dropped when operation ends.
    void WithRecordSplitAhead(RecordSplit split, const std::function<void()>& operation);
    // A file chosen in the open dialog: names it, clears the display and loads it.
    void LocateSource(std::string path);
    void DetectDelimiter();
    void DetectDelimiterAgain();
    void ShowChangedRecord(long n);
    void ShowRecord(long n);
    void GoToRecord(long n);
    void ApplyMerges();
    NavigationState Navigation() const;
    // Navigation buttons and keys: move when enabled, and mark the mapping changed in any case.
    void NavigateFirst();
    void NavigatePrevious();
    void NavigateNext();
    void NavigateLast();
    // The Go to answer: "Value is not acceptable" / "Exceeds end of file" (Rejection).
    void GoToAnswer(const std::string& answer);
    bool GoToAvailable() const { return lines_.Count() >= 2; }
    // Shows the record on 0-based line lineIndex of the source view (a click on that line).
    void ShowRecordAtLine(long lineIndex);
    // Deletes the current record (the confirmation is the caller's).
    void DeleteCurrentRecord();
    // Writes the source back to SourcePath, the header line first when loading under Skip took
    // it away (whatever the setting is now), with the byte-order mark and the line end the file
    // had. Throws FileError; a workbook source is refused (Rejection): see SaveSourceAsText.
    void SaveSource();
    // SaveSource in steps: the bytes it writes (its Rejection for a workbook or for bytes that
    // would read back otherwise), which only reads the workspace; then, once WriteSourceFile has
    // written them, the source counts as saved as stamp says.
    std::string SourceBytesToSave() const;
    void SourceSaved(FileStamp stamp);
    // Whether the text source file was changed by another program since it was loaded or last
    // saved (see FileChangedSince); false while the source box names another file or a workbook.
    bool SourceChangedOnDisk() const;
    // The format of the loaded source file (the default while none is loaded).
    const SourceFormat& Format() const { return format_; }

    // ---- Workbook sources -------------------------------------------------------------------
    // The sheet to read when the source is a workbook (a name or a 1-based number; empty for
    // the first visible sheet); once a workbook is loaded, the name of the sheet read. Empty for
    // a text source.
    const std::string& Sheet() const { return sheet_; }
    void SetSheet(std::string sheet);
    // The source loaded is a sheet of a workbook (read as tab-delimited UTF-8 text).
    bool SourceIsWorkbook() const { return sourceIsWorkbook_; }
    // The sheet's error values, by 0-based line of the sheet (deleted records taken out).
    const std::vector<SheetError>& SheetErrors() const { return sheetErrors_; }
    // The record (1-based) of a line of the sheet: the header line, when taken, is none (0).
    long RecordOfSheetLine(std::uint32_t line) const;
    // The workbook is never written: writes the sheet's records, as SaveSource would, as
    // tab-delimited UTF-8 text (CR LF) to path, which from then on is the source. Throws
    // FileError.
    void SaveSourceAsText(const std::string& path);
    // The 1-based records that end inside a quoted value the next line continues.
    std::vector<long> RecordsEndingInsideQuotes() const;
    // Replaces each line break inside a quoted value with a blank, keeps the source file as it is
    // on the disk in SOURCE.bak (replacing an older one; none when the file is gone), saves the
    // source as SaveSource does and loads it again. With no line break to replace, nothing is
    // written. Throws FileError; the joined records then stay on display, unsaved, and the file
    // stays as it was.
    JoinedLines JoinLinesBrokenInsideQuotes();
    // Its steps, for the window, which runs the first and third on a worker: the records joined
    // (only reads the workspace); taking them as the records, changed and unsaved; keeping the
    // file as it is on the disk in SOURCE.bak (the backup's path; empty when the file is gone).
    // Then SaveSource and OpenSource.
    SourceLines LinesJoinedInsideQuotes(size_t& joins) const;
    void TakeJoinedLines(SourceLines joined);
    std::string BackUpSourceFile() const;
    // Replaces each line break inside a quoted value with a blank in the records only, the file
    // untouched, and marks the source changed. Returns the line breaks replaced.
    size_t JoinBrokenRecords();
    // The 1-based line of the source file where record starts: the header line taken and the
    // line breaks that JoinBrokenRecords replaced counted in.
    long SourceFileLine(long record) const;
    // Sets field n of the displayed record to entered and rebuilds its line.
    FieldEdit ChangeSourceFieldValue(int n, const std::string& entered);

    // ---- Mapping --------------------------------------------------------------------------
    const std::vector<DestinationRow>& Rows() const { return rows_; }
    const std::array<int, kMaxMergeField + 1>& MergeSources() const { return merges_; }
    // The fixed value of the last TIN type row when it is unmapped: the TIN type of a record whose
    // taxpayer id decides none. Empty when there is none.
    std::string TinTypeValue() const;
    bool MappingModified() const { return mappingModified_; }
    const std::string& MapFileName() const { return mapFileName_; }
    const std::string& LastMappingPath() const { return lastMappingPath_; }
    void SetLastMappingPath(std::string path) { lastMappingPath_ = std::move(path); }
    bool Executing() const { return executing_; }
    void SetExecuting(bool executing) { executing_ = executing; }
    std::string WindowCaption() const;
    // The mapping was changed since it was last saved or opened, a form is chosen and a source
    // file is loaded (whatever record is on display).
    bool SaveMapEnabled() const;
    bool ExecuteEnabled() const { return !rows_.empty() && !sourceFields_.empty(); }

    void LoadDestinationFields();
    void ConvertDestinationValues();
    void ClearMerges();
    void SetModified(bool flag);
    void SetMapCaption(std::string name);
    // Gives the last TIN type row, when unmapped, text as its fixed value.
    void SetTinTypeValue(std::string text);

    // Assigns source field sourceFieldNo to row, or unassigns the row when it maps that field
    // already (a drop on the destination list, Ctrl+M).
    void AssignSourceField(int row, int sourceFieldNo);
    // Merges source field dragged into field target, or clears that merge when it is set (a drop
    // on the source list, Merge Into...).
    void MergeInto(int target, int dragged);
    // Unassigns a mapped row, or assigns it the selected source field (0 when none is selected)
    // (a double-click, Enter).
    void ToggleAssignment(int row, int selectedSourceField);
    // Throws the "Cannot override!" Rejection when row is mapped.
    void CheckFixedValueAllowed(int row) const;
    // The answer of the fixed-value box; nullopt when the user cancelled.
    void SetFixedValue(int row, const std::optional<std::string>& entered);
    // Which rows a source field feeds; throws Rejection when none.
    FeedReport RowsFedBy(int sourceFieldNo) const;
    bool ResetEnabled() const { return !sourceFields_.empty() && !rows_.empty(); }
    void ResetMapping();
    bool MapByNameEnabled() const;
    void MapByName();
    // Suggest Mapping's Apply, as one change: each chosen row takes its source field, whose
    // merges become exactly the chosen ones; every other row stays as it was. Throws the
    // Rejection of AssignSourceField or MergeInto for a field beyond them, before any change.
    void ApplySuggestions(const std::vector<AssignmentChoice>& choices);

    // ---- Map files ------------------------------------------------------------------------
    // The name proposed by the save dialog.
    std::string ProposedMapFileName() const;
    // Writes the map file and records it as the current one. On a write failure nothing changes
    // (the mapping stays unsaved) and FileError("Unable to write to PATH. REASON") is thrown.
    void SaveMapping(const std::string& path);
    // Reads a map file and makes it the current mapping; sourceOverride replaces its FileSpec
    // (otherwise resolved by ResolveFileSpec) and sheetOverride its Sheet (the sheet of a
    // workbook source).
    // A file that holds no map (neither a Source nor a Destination section) or a malformed Map
    // group is refused with a Rejection before anything changes. A source file that cannot be
    // opened throws its FileError once the map was applied; the state reached so far stays.
    void OpenMapping(const std::string& path,
                     const std::optional<std::string>& sourceOverride = std::nullopt,
                     const std::optional<std::string>& sheetOverride = std::nullopt);
    // The source's header line as the map last opened saved it ([Source Header]); empty when it
    // holds none.
    const std::vector<std::string>& StoredHeader() const { return storedHeader_; }

    // ---- Output ---------------------------------------------------------------------------
    const OutputStore& OutputLines() const { return output_; }
    void SetOutput(OutputStore lines);
    void ClearOutput();
    std::string ProposedOutputFileName() const;

    // ---- Undo and redo --------------------------------------------------------------------
    // The mapping as it stands.
    MappingState CaptureMapping() const;
    // Puts a captured mapping back, with the map file name the caption showed with it, and shows
    // the current record with it. A different Delimiter or Header reloads a shown source as the
    // user's choice does (FileError). The mapping then counts as changed exactly when it differs
    // from the one last saved or opened.
    void RestoreMapping(const MappingState& state, std::string mapFileName);
    // Record n (1-based) takes line as its text and is shown; the source counts as changed.
    void ReplaceRecord(long n, std::string line);
    // line goes back in as record n (1 to RecordCount() + 1) and is shown; the source counts as
    // changed.
    void InsertRecord(long n, std::string line);
    // Deletes record n, as deleting the current record does.
    void DeleteRecord(long n);
    // Whether the source lines differ from the file: the caller knows it when it puts back lines
    // as they were at the last save.
    void SetSourceModified(bool modified);

    // Collects change notifications until the outermost scope ends (used by long operations).
    class NotifyBatch
    {
    public:
        explicit NotifyBatch(Workspace& workspace);
        ~NotifyBatch();
        NotifyBatch(const NotifyBatch&) = delete;
        NotifyBatch& operator=(const NotifyBatch&) = delete;

    private:
        Workspace& workspace_;
    };

private:
    friend class NotifyBatch;
    void Notify(unsigned changes);
    void NotifyAboutToChange(unsigned changes);
    void ClearRecordDisplay();
    void SyncHeaderRecord();
    void DropSourceLines();
    // Runs operation with value in slot (a read or split done ahead), empty again however
    // operation ends.
    template <typename T>
    static void RunWithAhead(std::optional<T>& slot, T value,
                             const std::function<void()>& operation)
    {
        struct Emptied
        {
            std::optional<T>& slot;
            ~Emptied() { slot.reset(); }
        } emptied{slot};
        slot = std::move(value);
        operation();
    }
    // Takes the split ahead as the fields of record n when it is that record's now.
    bool TakeRecordSplitAhead(long n);
    // LinesEndingInsideQuotes of lines_, the lines with odd quotes found once for each version.
    std::vector<size_t> LinesEndingInsideQuotesNow() const;
    // Keeps the lines with odd quotes that the read found (counted before the header line was
    // taken) for the lines just loaded.
    void KeepOddQuoteLines(std::vector<size_t> asRead);
    void AssignRow(int row, int sourceFieldNo);
    void CheckMappableField(int sourceFieldNo) const;
    void IndexRowTypes();
    void RebuildActiveMerges();
    void ReloadSourceForSetting();
    void ApplyMapSettings(const class IniFile& ini);
    LoadedSource ReadSourceOrAhead();
    void ForgetSheetLine(std::uint32_t line);

    WorkspaceObserver* observer_ = nullptr;
    int batchDepth_ = 0;
    unsigned pending_ = 0;

    int formIndex_ = -1;
    DecimalMode decimal_ = DecimalMode::Normal;
    impmap::Delimiter delimiter_ = impmap::Delimiter::None;
    HeaderMode header_ = HeaderMode::Read;
    TraceMode trace_ = TraceMode::On;
    std::string sourcePath_;

    SourceLines lines_;
    SourceFormat format_;
    FileStamp sourceStamp_; // the text source file as loaded or last saved
    std::string headerRecord_;
    bool headerTaken_ = false;         // loading under Skip took the header line out of lines_
    std::vector<size_t> joinedBreaks_; // lines (as loaded) that JoinBrokenRecords joined on
    // The lines of lines_ with an odd number of quotes, kept with the version of lines_ they
    // were found in (see LinesEndingInsideQuotesNow).
    struct OddQuoteLines
    {
        std::uint64_t linesVersion = 0;
        std::vector<size_t> lines;
    };
    mutable OddQuoteLines oddQuoteLines_;
    bool sourceLoaded_ = false;
    bool sourceModified_ = false;
    std::vector<std::string> sourceFields_;
    SplitExtent shownExtent_;
    size_t mergeGrowth_ = 0;
    std::string recordProblem_;
    long currentRecord_ = 0;
    long shownRecord_ = 0;
    bool mergesSuppressed_ = false;
    std::string sheet_;
    bool sourceIsWorkbook_ = false;
    std::vector<SheetError> sheetErrors_;
    std::optional<SourceReadAhead> readAhead_; // see WithSourceReadAhead
    std::optional<RecordSplit> splitAhead_;    // see WithRecordSplitAhead

    std::vector<DestinationRow> rows_;
    std::array<int, kMaxMergeField + 1> merges_{};
    std::vector<int> activeMerges_; // fields k with a merge source, highest first
    bool mappingModified_ = false;
    MappingState savedMapping_; // as last saved or opened: SetModified(false) takes it
    std::string mapFileName_;
    std::string lastMappingPath_;
    std::vector<std::string> storedHeader_;
    bool executing_ = false;

    // Rows by type code, for the display conversion.
    std::vector<int> tinTypeRows_, amountRows_, wholeRows_, nineRows_, indicatorRows_;
    // The last TIN Type row (T), the last taxpayer id row (N) and the last SSN row; -1 for none.
    int tinTypeRow_ = -1, taxpayerIdRow_ = -1, ssnRow_ = -1;

    OutputStore output_;
};

} // namespace impmap
