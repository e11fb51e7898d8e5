// Workspace: settings, destination rows, modified state, caption and output.
#include "mapping/Workspace.h"

#include "convert/Text.h"
#include "schema/FormCatalogue.h"

#include <filesystem>

namespace impmap {

const char* const kApplicationTitle = "Vellorum - 2022 Import Mapping Utility";

Workspace::Workspace() = default;

// ---- Notifications --------------------------------------------------------------------------

void Workspace::Notify(unsigned changes)
{
    if (batchDepth_ > 0) {
        pending_ |= changes;
        return;
    }
    if (observer_)
        observer_->WorkspaceChanged(changes);
}

void Workspace::NotifyAboutToChange(unsigned changes)
{
    if (observer_)
        observer_->WorkspaceAboutToChange(changes);
}

Workspace::NotifyBatch::NotifyBatch(Workspace& workspace) : workspace_(workspace)
{
    ++workspace_.batchDepth_;
}

Workspace::NotifyBatch::~NotifyBatch()
{
    if (--workspace_.batchDepth_ == 0 && workspace_.pending_ != 0) {
        const unsigned changes = workspace_.pending_;
        workspace_.pending_ = 0;
        workspace_.Notify(changes);
    }
}

// ---- Settings -------------------------------------------------------------------------------

char Workspace::DelimiterCharacter() const
{
    return DelimiterChar(delimiter_);
}

bool Workspace::OpenSourceEnabled() const
{
    return !TrimView(sourcePath_).empty();
}

void Workspace::SelectForm(int formIndex)
{
    formIndex_ = (formIndex >= 0 && formIndex < kFormCount) ? formIndex : -1;
    Notify(kChangeSettings);
}

void Workspace::ChooseForm(int formIndex)
{
    SelectForm(formIndex);
    LoadDestinationFields();
}

void Workspace::SetDecimal(DecimalMode value)
{
    if (value == decimal_)
        return;
    decimal_ = value;
    Notify(kChangeSettings);
    SetModified(true);
    if (!rows_.empty() && currentRecord_ > 0)
        ShowRecord(currentRecord_);
}

void Workspace::SetTrace(TraceMode value)
{
    if (value == trace_)
        return;
    trace_ = value;
    Notify(kChangeSettings);
    SetModified(true);
}

void Workspace::SetHeader(HeaderMode value)
{
    if (value == header_)
        return;
    header_ = value;
    Notify(kChangeSettings);
    SetModified(true); // a mapping change whether or not a record is shown
    // A loaded source is read again under the new setting even while an empty record shows no
    // fields, so that the records are those a map with this setting reads.
    if (!sourceLoaded_ || !OpenSourceEnabled())
        return;
    sourceModified_ = false;
    Notify(kChangeSourceModified);
    ReloadSourceForSetting();
}

void Workspace::SetDelimiter(impmap::Delimiter value)
{
    delimiter_ = value;
    Notify(kChangeSettings);
}

void Workspace::ChangeDelimiter(impmap::Delimiter value)
{
    const impmap::Delimiter before = delimiter_;
    SetDelimiter(value);
    if (delimiter_ != before)
        SetModified(true); // a mapping change whether or not a record is shown
    if (sourceLoaded_ && OpenSourceEnabled()) {
        ReloadSourceForSetting();
        return;
    }
    // Without a reload (the source box blank) the first record decides as a reload would, and
    // the record shown is split again: the fields shown are always its line split by the
    // current delimiter.
    if (!sourceIsWorkbook_)
        DetectDelimiter();
    if (delimiter_ != before)
        SetModified(true);
    if (shownRecord_ > 0 && static_cast<size_t>(shownRecord_) <= lines_.Count())
        ShowRecord(shownRecord_);
}

void Workspace::ReloadSourceForSetting()
{
    if (OpenSourceEnabled())
        OpenSource();
    SetModified(true);
}

void Workspace::SetSourcePath(std::string path)
{
    sourcePath_ = std::move(path);
    Notify(kChangeSettings);
}

// ---- Rows -----------------------------------------------------------------------------------

void Workspace::LoadDestinationFields()
{
    // The fixed TIN type goes over to the new rows, where it shows and is saved.
    std::string tinTypeValue = TinTypeValue();
    std::vector<std::string> definitions;
    BuildFormSchema(formIndex_, definitions);
    rows_.clear();
    rows_.reserve(definitions.size());
    for (const std::string& definition : definitions) {
        rows_.push_back(
            DestinationRow{std::string(CaptionOf(definition)), {}, 0, TypeCodeOf(definition)});
    }
    IndexRowTypes();
    if (taxpayerIdRow_ >= 0)
        SetTinTypeValue(std::move(tinTypeValue));
    Notify(kChangeRows);
    ConvertDestinationValues();
    SetModified(true);
    SetMapCaption({});
}

std::string Workspace::TinTypeValue() const
{
    if (tinTypeRow_ < 0 || rows_[static_cast<size_t>(tinTypeRow_)].sourceFieldNo != 0)
        return {};
    return rows_[static_cast<size_t>(tinTypeRow_)].fixed;
}

void Workspace::SetTinTypeValue(std::string text)
{
    if (tinTypeRow_ >= 0 && rows_[static_cast<size_t>(tinTypeRow_)].sourceFieldNo == 0)
        rows_[static_cast<size_t>(tinTypeRow_)].fixed = std::move(text);
}

void Workspace::IndexRowTypes()
{
    tinTypeRows_.clear();
    amountRows_.clear();
    wholeRows_.clear();
    nineRows_.clear();
    indicatorRows_.clear();
    tinTypeRow_ = taxpayerIdRow_ = ssnRow_ = -1;
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
        switch (rows_[static_cast<size_t>(i)].typeCode) {
        case 'T':
            tinTypeRows_.push_back(i);
            tinTypeRow_ = i;
            break;
        case 'N':
            taxpayerIdRow_ = i;
            break;
        case 'n':
            ssnRow_ = i;
            break;
        case 'c':
        case 'C':
            amountRows_.push_back(i);
            break;
        case 'w':
            wholeRows_.push_back(i);
            break;
        case '9':
            nineRows_.push_back(i);
            break;
        case 'I':
            indicatorRows_.push_back(i);
            break;
        default:
            break;
        }
    }
}

void Workspace::SetModified(bool flag)
{
    mappingModified_ = flag;
    // An unchanged mapping is the one in the map file: undo compares with it.
    if (!flag)
        savedMapping_ = CaptureMapping();
    Notify(kChangeModified);
    if (rows_.empty() || sourceFields_.empty())
        SetMapCaption({});
}

bool Workspace::SaveMapEnabled() const
{
    // Whatever record is on display (an empty line, or none left after deletions), a changed
    // mapping of a chosen form over a loaded source can be saved.
    return mappingModified_ && !rows_.empty() && sourceLoaded_;
}

void Workspace::SetMapCaption(std::string name)
{
    mapFileName_ = std::move(name);
    Notify(kChangeCaption);
}

std::string Workspace::WindowCaption() const
{
    std::string caption = std::string(kApplicationTitle) + " " + IMPMAP_VERSION_TEXT;
    if (!mapFileName_.empty())
        caption += " (" + mapFileName_ + ")";
    return caption;
}

void Workspace::ClearMerges()
{
    merges_.fill(0);
    activeMerges_.clear();
    Notify(kChangeMerges);
}

void Workspace::RebuildActiveMerges()
{
    activeMerges_.clear();
    for (int k = kMaxMergeField; k >= 1; --k) {
        if (merges_[static_cast<size_t>(k)] > 0)
            activeMerges_.push_back(k);
    }
}

// ---- Output ---------------------------------------------------------------------------------

void Workspace::SetOutput(OutputStore lines)
{
    NotifyAboutToChange(kChangeOutput);
    output_ = std::move(lines);
    Notify(kChangeOutput);
}

void Workspace::ClearOutput()
{
    if (output_.empty())
        return;
    NotifyAboutToChange(kChangeOutput);
    output_.Clear();
    Notify(kChangeOutput);
}

namespace {

std::string FileStem(const std::string& path)
{
    // Both separators count, so names typed on either platform give the same stem.
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

} // namespace

std::string Workspace::ProposedOutputFileName() const
{
    return FileStem(Trim(sourcePath_)) + FormFileNamePart(formIndex_);
}

std::string Workspace::ProposedMapFileName() const
{
    if (!mapFileName_.empty())
        return mapFileName_;
    return FileStem(Trim(sourcePath_)) + FormFileNamePart(formIndex_);
}

} // namespace impmap
