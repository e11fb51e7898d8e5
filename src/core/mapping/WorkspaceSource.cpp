// Workspace: loading, showing, browsing and editing the source records.
#include "convert/Converters.h"
#include "convert/Rejection.h"
#include "convert/Text.h"
#include "io/FileIo.h"
#include "mapping/Workspace.h"
#include "source/SplitRecord.h"

#include <algorithm>

namespace impmap {

void Workspace::ClearRecordDisplay()
{
    shownRecord_ = 0;
    Notify(kChangeRecord);
}

void Workspace::DropSourceLines()
{
    if (lines_.Empty())
        return;
    NotifyAboutToChange(kChangeSourceLines);
    lines_ = SourceLines();
    Notify(kChangeSourceLines);
}

void Workspace::OpenSource()
{
    // The old lines go before the new ones are read, so that the two are never held together.
    DropSourceLines();
    sourceLoaded_ = true;
    headerRecord_.clear();
    SourceLines loaded;
    try {
        loaded = SourceLines(ReadWholeFile(Trim(sourcePath_)));
    } catch (...) {
        // A failed load leaves no source at all: nothing shown, an empty box.
        sourceLoaded_ = false;
        sourcePath_.clear();
        sourceFields_.clear();
        ClearRecordDisplay();
        Notify(kChangeSettings | kChangeSourceFields);
        throw;
    }
    if (!loaded.Empty())
        headerRecord_ = std::string(loaded.Line(0));
    if (header_ == 1 && !loaded.Empty())
        loaded.Erase(0);
    NotifyAboutToChange(kChangeSourceLines);
    lines_ = std::move(loaded);
    Notify(kChangeSourceLines);
    DetectDelimiter();
    GoToRecord(1);
    SetModified(true);
    ClearOutput();
    sourceModified_ = false;
    Notify(kChangeSourceModified);
}

void Workspace::LocateSource(std::string path)
{
    SetSourcePath(std::move(path));
    DropSourceLines();
    sourceFields_.clear();
    ClearRecordDisplay();
    Notify(kChangeSourceFields);
    OpenSource();
    SetModified(true);
}

void Workspace::DetectDelimiter()
{
    if (lines_.Empty())
        return;
    const int detected = DetectDelimiterIndex(lines_.Line(0), delimiter_);
    if (detected != delimiter_)
        SetDelimiter(detected);
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
    const std::string_view line = lines_.Line(static_cast<size_t>(n - 1));
    SplitRecord(line, DelimiterCharacter(), sourceFields_);
    ApplyMerges();
    shownRecord_ = n;

    const auto fieldCount = static_cast<int>(sourceFields_.size());
    for (DestinationRow& row : rows_) {
        const int no = row.sourceFieldNo;
        if (no <= 0)
            continue;
        if (no > fieldCount) {
            row.value = "(" + std::to_string(no) + ") " + std::string(kNotAllocated) + "?";
        } else {
            row.value = sourceFields_[static_cast<size_t>(no - 1)];
        }
    }
    ConvertDestinationValues();
    currentRecordText_.assign(line.data(), line.size());
    Notify(kChangeSourceFields | kChangeRecord | kChangeRowValues);
}

void Workspace::ApplyMerges()
{
    if (mergesSuppressed_)
        return;
    const auto fieldCount = static_cast<int>(sourceFields_.size());
    for (int k : activeMerges_) {
        const int m = merges_[static_cast<size_t>(k)];
        if (k > fieldCount || m > fieldCount)
            continue;
        std::string& target = sourceFields_[static_cast<size_t>(k - 1)];
        target += ' ';
        target += sourceFields_[static_cast<size_t>(m - 1)];
    }
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

void Workspace::ClickSourceLine(long lineIndex)
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
    sourceModified_ = true;
    Notify(kChangeSourceLines | kChangeSourceModified);
    if (!lines_.Empty()) {
        GoToRecord(std::min(currentRecord_, static_cast<long>(lines_.Count())));
    } else {
        ClearRecordDisplay();
        sourceFields_.clear();
        Notify(kChangeSourceFields);
    }
}

void Workspace::SaveSource()
{
    std::string text;
    if (header_ == 1)
        text = headerRecord_ + "\r\n";
    text += lines_.Joined();
    WriteFileAtomically(Trim(sourcePath_), text);
    sourceModified_ = false;
    Notify(kChangeSourceModified);
}

FieldEdit Workspace::ChangeSourceFieldValue(int n, const std::string& entered)
{
    if (sourceFields_.empty() || currentRecord_ < 1 || n < 1 ||
        n > static_cast<int>(sourceFields_.size()) ||
        static_cast<size_t>(currentRecord_) > lines_.Count())
        return FieldEdit::Unchanged;
    if (TrimView(entered) == TrimView(sourceFields_[static_cast<size_t>(n - 1)]))
        return FieldEdit::Unchanged;

    mergesSuppressed_ = true;
    GoToRecord(currentRecord_);
    std::vector<std::string> fields = sourceFields_;
    fields[static_cast<size_t>(n - 1)] = entered;
    std::string line;
    if (delimiter_ == 1) {
        line = CommaText(fields);
    } else {
        const char separator = delimiter_ == 2 ? '|' : '\t';
        for (size_t i = 0; i < fields.size(); ++i) {
            if (i > 0)
                line += separator;
            line += fields[i];
        }
    }
    NotifyAboutToChange(kChangeSourceLines);
    lines_.Replace(static_cast<size_t>(currentRecord_ - 1), std::move(line));
    Notify(kChangeSourceLines);
    mergesSuppressed_ = false;
    GoToRecord(currentRecord_);
    if (sourceModified_)
        return FieldEdit::Changed;
    sourceModified_ = true;
    Notify(kChangeSourceModified);
    return FieldEdit::FirstChange;
}

} // namespace impmap
