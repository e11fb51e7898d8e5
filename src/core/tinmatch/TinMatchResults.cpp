#include "tinmatch/TinMatchResults.h"

#include "convert/Text.h"
#include "io/FileIo.h"
#include "io/NativePath.h"
#include "source/SourceFormat.h"

#include <algorithm>
#include <charconv>

namespace impmap {
namespace {

constexpr size_t kFields = 5;
constexpr size_t kShownBytes = 30;

// A field as a note quotes it: at most kShownBytes of it.
std::string Shown(std::string_view field)
{
    if (field.size() <= kShownBytes)
        return "\"" + std::string(field) + "\"";
    return "\"" + std::string(field.substr(0, kShownBytes)) + "...\"";
}

// The trimmed fields between semicolons; at most kFields + 1 of them are split off.
std::vector<std::string_view> SplitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (fields.size() <= kFields) {
        const size_t end = line.find(';', start);
        fields.push_back(TrimView(line.substr(start, end - start)));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return fields;
}

// A whole number of at most nine digits, or -1.
long SmallNumber(std::string_view text)
{
    long value = -1;
    if (text.empty() || text.size() > 9 || !IsAllDigits(text))
        return -1;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

} // namespace

void TinMatchNotes::Add(std::string note)
{
    ++count_;
    if (listed_.size() < kListed)
        listed_.push_back(std::move(note));
}

const char* TinMatchCodeMeaning(int code)
{
    static const char* const kMeanings[] = {
        "name and TIN match",
        "TIN missing or not 9 digits",
        "TIN not currently issued",
        "name and TIN do not match",
        "invalid request",
        "duplicate request",
        "matched on an SSN",
        "matched on an EIN",
        "matched on both an SSN and an EIN",
    };
    return code >= 0 && code <= 8 ? kMeanings[code] : "";
}

void TinMatchResults::Read(const std::filesystem::path& path, long recordCount)
{
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxFileBytes)
        throw FileError("Cannot open file \"" + Utf8FromPath(path) +
                        "\". It is too large for a TIN Matching results file (" +
                        std::to_string(size >> 20) +
                        " MB; such a file holds at most 100,000 "
                        "short lines)");
    ReadBytes(ReadWholeFile(path), Utf8FromPath(path), recordCount);
}

void TinMatchResults::ReadBytes(std::string_view bytes, const std::string& fileName,
                                long recordCount)
{
    if (bytes.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark)
        bytes.remove_prefix(kUtf8ByteOrderMark.size());
    files_.push_back(fileName);
    long number = 0;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        ++number;
        const std::string_view line = TrimView(bytes.substr(start, end - start));
        start = end + 1;
        if (!line.empty())
            ReadLine(line, number, recordCount);
    }
    std::stable_sort(
        answers_.begin(), answers_.end(),
        [](const TinMatchAnswer& a, const TinMatchAnswer& b) { return a.record < b.record; });
}

std::string TinMatchResults::Place(const TinMatchAnswer& answer) const
{
    return files_[static_cast<size_t>(answer.file)] + " line " + std::to_string(answer.line);
}

void TinMatchResults::ReadLine(std::string_view line, long number, long recordCount)
{
    const std::vector<std::string_view> fields = SplitFields(line);
    const auto refuse = [&](const std::string& why) {
        notes_.Add(files_.back() + " line " + std::to_string(number) + ": not applied: " + why);
    };
    if (fields.size() != kFields)
        return refuse(std::string(fields.size() > kFields ? "more" : "fewer") +
                      " than the 5 fields of an answer (TIN type;TIN;name;account number;result "
                      "code)");
    TinMatchAnswer answer;
    answer.tinType = static_cast<int>(SmallNumber(fields[0]));
    if (answer.tinType < 1 || answer.tinType > 3)
        return refuse("the TIN type " + Shown(fields[0]) + " is not 1, 2 or 3");
    if (fields[1].size() != 9 || !IsAllDigits(fields[1]))
        return refuse("the TIN " + Shown(fields[1]) + " is not 9 digits");
    answer.record = SmallNumber(fields[3]);
    if (answer.record < 1)
        return refuse("the account number " + Shown(fields[3]) + " is not a record number");
    if (answer.record > recordCount)
        return refuse("record " + std::to_string(answer.record) + " is beyond the last record, " +
                      std::to_string(recordCount));
    answer.code = fields[4].size() == 1 ? static_cast<int>(SmallNumber(fields[4])) : -1;
    if (answer.code < 0 || answer.code > 8)
        return refuse("the result code " + Shown(fields[4]) + " is not one of 0 to 8");
    answer.tin = fields[1];
    answer.name = fields[2];
    answer.line = number;
    answer.file = static_cast<int>(files_.size()) - 1;
    answers_.push_back(std::move(answer));
}

} // namespace impmap
