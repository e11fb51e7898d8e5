// Workspace: saving and opening map files (INI layout: Source, Destination, Default, Merge).
#include "convert/Converters.h"
#include "convert/Rejection.h"
#include "convert/Text.h"
#include "io/FileIo.h"
#include "io/IniFile.h"
#include "io/NativePath.h"
#include "mapping/SourceHeader.h"
#include "mapping/SourceLocation.h"
#include "mapping/Workspace.h"
#include "schema/FormCatalogue.h"

#include <filesystem>
#include <optional>

namespace impmap {
namespace {

// A number as a key of the Default and Merge sections: at least three digits.
std::string KeyOf(int n)
{
    std::string digits = std::to_string(n);
    return digits.size() >= 3 ? digits : std::string(3 - digits.size(), '0') + digits;
}

std::string FileNameOf(const std::string& path)
{
    return Utf8FromPath(PathFromUtf8(path).filename());
}

// A setting as the INI reader reads integers (32-bit, decimal or "0x" hexadecimal); anything
// else counts as missing.
int ReadSetting(const IniFile& ini, const char* key, int defaultValue)
{
    return static_cast<int>(ini.ReadInteger("Source", key, defaultValue));
}

// A radio group takes the nearest valid choice: above the last selects the last, below -1 none.
int RadioChoice(int value, int last)
{
    if (value > last)
        return last;
    if (value < -1)
        return -1;
    return value;
}

// What a map file holds for an unmapped row: its fixed value as given, so that reopening gives
// the same mapping whatever the conversion does to it; without one, EmptyTextConverted, which
// reads back as no fixed value.
std::string SavedFixedValue(const DestinationRow& row, bool implied)
{
    std::string value = Trim(row.fixed);
    return value.empty() ? EmptyTextConverted(row.typeCode, implied) : value;
}

} // namespace

void Workspace::SaveMapping(const std::string& path)
{
    IniFile ini;
    ini.WriteString("Source", "FileSpec", sourcePath_);
    if (sourceIsWorkbook_)
        ini.WriteString("Source", "Sheet", sheet_);
    ini.WriteInteger("Source", "Decimal", ChoiceIndex(decimal_));
    ini.WriteInteger("Source", "Delimiter", ChoiceIndex(delimiter_));
    ini.WriteInteger("Source", "Header", ChoiceIndex(header_));
    ini.WriteInteger("Source", "Trace", ChoiceIndex(trace_));
    ini.WriteString("Destination", "Form",
                    formIndex_ >= 0 ? std::string(FormNames[static_cast<size_t>(formIndex_)])
                                    : std::string());
    std::string map;
    for (const DestinationRow& row : rows_)
        map += ZeroPad(3, std::to_string(row.sourceFieldNo));
    ini.WriteString("Destination", "Map", map);
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].sourceFieldNo != 0)
            continue;
        const std::string value = SavedFixedValue(rows_[i], ImpliedDecimal());
        if (!value.empty())
            ini.WriteString("Default", KeyOf(static_cast<int>(i)), value);
    }
    for (int k = 0; k <= kMaxMergeField; ++k) {
        if (merges_[static_cast<size_t>(k)] > 0)
            ini.WriteInteger("Merge", KeyOf(k), merges_[static_cast<size_t>(k)]);
    }
    WriteSourceHeader(ini, SourceHeaderFields(*this));

    try {
        ini.Save(PathFromUtf8(path));
    } catch (const FileError& e) {
        // The mapping is not in the file: it stays unsaved, so the next close still asks.
        throw FileError("Unable to write to " + path + ". " + e.Reason(), e.Reason());
    }
    SetModified(false);
    SetMapCaption(FileNameOf(path));
    lastMappingPath_ = Utf8FromPath(std::filesystem::absolute(PathFromUtf8(path)));
    Notify(kChangeMapSaved);
}

void Workspace::ApplyMapSettings(const IniFile& ini)
{
    SetDecimal(SettingAt<DecimalMode>(RadioChoice(ReadSetting(ini, "Decimal", 0), 1)));
    SetDelimiter(SettingAt<impmap::Delimiter>(ReadSetting(ini, "Delimiter", 1)));
    SetHeader(SettingAt<HeaderMode>(RadioChoice(ReadSetting(ini, "Header", 0), 1)));
    SetTrace(SettingAt<TraceMode>(RadioChoice(ReadSetting(ini, "Trace", 1), 1)));
}

namespace {

// Reads a map file and checks what could stop its reading half-way, so that a map that cannot be
// read changes nothing: a file that holds no map at all, and a Map entry group that is not a
// number. A file that does not exist reads as empty (every key takes its default).
IniFile ReadMapFile(const std::string& path)
{
    const std::filesystem::path file = PathFromUtf8(path);
    IniFile ini = IniFile::Load(file);
    std::error_code ec;
    if (std::filesystem::exists(file, ec) && !ini.HasSection("Source") &&
        !ini.HasSection("Destination")) {
        throw Rejection("The map file " + path +
                        " cannot be read: it holds neither a [Source] nor a [Destination] "
                        "section (it may not be a map file at all).");
    }
    const std::string map = ini.ReadString("Destination", "Map", "");
    for (size_t i = 0; i + 3 <= map.size(); i += 3) {
        const std::string group = map.substr(i, 3);
        if (!IsAllDigits(group)) {
            throw Rejection("The map file " + path + " is damaged: \"" + group +
                            "\" in its Map entry is not a source field number.");
        }
    }
    return ini;
}

} // namespace

MapSource SourceOfMapFile(const std::string& path)
{
    try {
        const IniFile ini = ReadMapFile(path);
        return {ResolveFileSpec(ini.ReadString("Source", "FileSpec", ""), path),
                ini.ReadString("Source", "Sheet", "")};
    } catch (...) {
        return {};
    }
}

void Workspace::OpenMapping(const std::string& path,
                            const std::optional<std::string>& sourceOverride,
                            const std::optional<std::string>& sheetOverride)
{
    // Nothing changes before the whole file was read and found sound.
    const IniFile ini = ReadMapFile(path);
    NotifyBatch batch(*this);
    // Runs however the reading ends: a map whose form or source did not open is not remembered.
    auto finish = [&] {
        SetModified(false);
        ClearOutput();
        SetMapCaption(FileNameOf(path));
        lastMappingPath_ = Utf8FromPath(std::filesystem::absolute(PathFromUtf8(path)));
        if (formIndex_ < 0 || !sourceLoaded_) {
            SetMapCaption({});
            lastMappingPath_.clear();
        }
        Notify(kChangeMapOpened);
    };
    SetMapCaption(FileNameOf(path));
    storedHeader_.clear();
    try {
        storedHeader_ = ReadSourceHeader(ini);
        SetSourcePath(sourceOverride
                          ? *sourceOverride
                          : ResolveFileSpec(ini.ReadString("Source", "FileSpec", ""), path));
        SetSheet(sheetOverride ? *sheetOverride : ini.ReadString("Source", "Sheet", ""));
        SelectForm(FindFormIndex(ini.ReadString("Destination", "Form", "")));
        LoadDestinationFields();
        ApplyMapSettings(ini);

        const std::string map = ini.ReadString("Destination", "Map", "");
        for (size_t i = 0; i + 3 <= map.size() && i / 3 < rows_.size(); i += 3)
            rows_[i / 3].sourceFieldNo = std::stoi(map.substr(i, 3));
        for (size_t i = 0; i < rows_.size(); ++i) {
            std::string fixed = Trim(ini.ReadString("Default", KeyOf(static_cast<int>(i)), ""));
            if (rows_[i].sourceFieldNo != 0 ||
                fixed == EmptyTextConverted(rows_[i].typeCode, ImpliedDecimal()))
                fixed.clear();
            rows_[i].fixed = std::move(fixed);
            rows_[i].value = rows_[i].fixed;
        }
        Notify(kChangeRowValues);
        for (int k = 0; k <= kMaxMergeField; ++k) {
            // Merge sources, like merge targets, are source fields 1 to 1000.
            const long m = ini.ReadInteger("Merge", KeyOf(k), 0);
            merges_[static_cast<size_t>(k)] =
                m > 0 && m <= kMaxMergeField ? static_cast<int>(m) : 0;
        }
        RebuildActiveMerges();
        Notify(kChangeMerges);
        if (OpenSourceEnabled())
            OpenSource();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

} // namespace impmap
