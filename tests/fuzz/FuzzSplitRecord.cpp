// Record splitting with each delimiter and delimiter detection. The first byte chooses the
// delimiter: a tab, a comma or a pipe itself, any other byte lets the record choose it as a first
// line would. The rest is the record.
#include "FuzzSupport.h"
#include "convert/Text.h"
#include "source/SplitRecord.h"

#include <algorithm>

namespace impmap::fuzz {
namespace {

std::string Joined(const std::vector<std::string>& fields, char delimiter, bool quoted)
{
    std::string text;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text += delimiter;
        if (quoted)
            text += '"';
        text += fields[i];
        if (quoted)
            text += '"';
    }
    return text;
}

std::string FieldsShown(std::string_view record, const std::vector<std::string>& fields)
{
    std::string text = "record " + Shown(record) + " fields";
    for (const auto& field : fields)
        text += " " + Shown(field);
    return text;
}

void CheckDetection(std::string_view line)
{
    const auto count = [&](char c) { return std::count(line.begin(), line.end(), c); };
    const auto tabs = count('\t'), commas = count(','), pipes = count('|');
    for (const Delimiter current :
         {Delimiter::None, Delimiter::Tab, Delimiter::Comma, Delimiter::Pipe}) {
        const Delimiter chosen = DetectedDelimiter(line, current);
        Delimiter expected = current;
        if (tabs + commas + pipes > 0) {
            // The delimiter that occurs most often; pipes win ties, a tie of the other two keeps
            // the current choice.
            if (pipes >= tabs && pipes >= commas)
                expected = Delimiter::Pipe;
            else if (tabs > commas)
                expected = Delimiter::Tab;
            else if (commas > tabs)
                expected = Delimiter::Comma;
        }
        Check(chosen == expected, "the most frequent delimiter is detected",
              Shown(line) + " current " + std::to_string(ChoiceIndex(current)) + " chose " +
                  std::to_string(ChoiceIndex(chosen)));
    }
}

} // namespace
} // namespace impmap::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace impmap;
    using namespace impmap::fuzz;
    if (size == 0)
        return 0;
    const std::string_view record(reinterpret_cast<const char*>(data) + 1, size - 1);
    char delimiter = static_cast<char>(data[0]);
    if (delimiter != '\t' && delimiter != ',' && delimiter != '|') {
        CheckDetection(record);
        delimiter = DelimiterChar(DetectedDelimiter(record, Delimiter::Comma));
    }

    std::vector<std::string> fields;
    SplitRecord(record, delimiter, fields);
    const std::string shown = FieldsShown(record, fields);
    Check(fields.empty() == record.empty(), "only an empty record has no fields", shown);

    // Outside quotes every delimiter ends a field; quotes are dropped; each field is trimmed.
    size_t expectedCount = record.empty() ? 0 : 1;
    bool insideQuotes = false;
    for (const char c : record) {
        if (c == '"')
            insideQuotes = !insideQuotes;
        else if (c == delimiter && !insideQuotes)
            ++expectedCount;
    }
    Check(fields.size() == expectedCount, "one field per delimiter outside quotes, plus one",
          shown);
    for (const auto& field : fields) {
        Check(field.find('"') == std::string::npos, "quotes are dropped", shown);
        Check(field.find('\xA0') == std::string::npos, "no-break spaces become blanks", shown);
        Check(field.empty() || (!IsTrimmable(field.front()) && !IsTrimmable(field.back())),
              "a field never begins or ends with a blank or a control character", shown);
    }
    if (record.find('"') == std::string_view::npos) {
        // Without quotes each field is the trimmed slice between two delimiters.
        size_t start = 0;
        for (const auto& field : fields) {
            const size_t end = std::min(record.find(delimiter, start), record.size());
            std::string slice(record.substr(start, end - start));
            ReplaceNonBreakingSpaces(slice);
            Check(field == Trim(slice), "a field is its trimmed slice", shown);
            start = end + 1;
        }
    }

    // Joining the fields again, each in quotes, gives a record that splits into the same fields;
    // so does joining them bare when none holds the delimiter.
    std::vector<std::string> again = {"left over", "from before", "", "x"};
    SplitRecord(Joined(fields, delimiter, true), delimiter, again);
    if (!fields.empty())
        Check(again == fields, "the quoted joined fields split into the same fields", shown);
    const bool holdsDelimiter = std::any_of(fields.begin(), fields.end(), [&](const auto& f) {
        return f.find(delimiter) != std::string::npos;
    });
    if (!holdsDelimiter && !(fields.size() == 1 && fields[0].empty())) {
        SplitRecord(Joined(fields, delimiter, false), delimiter, again);
        Check(again == fields, "the joined fields split into the same fields", shown);
    }
    return 0;
}
