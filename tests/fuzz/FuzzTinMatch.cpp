// TIN Matching: the name of a request and the reading of a results file. The first byte chooses
// the encoding the name is read in (odd: UTF-8); all of the input is both the name and the file.
#include "FuzzSupport.h"
#include "tinmatch/TinMatchCheck.h"
#include "tinmatch/TinMatchName.h"
#include "tinmatch/TinMatchResults.h"

#include <map>

namespace impmap::fuzz {
namespace {

constexpr long kRecords = 50;

void CheckName(std::string_view input, TextEncoding encoding)
{
    const std::string name = TinMatchName(input, encoding);
    const std::string shown = Shown(input) + " gave " + Shown(name);
    Check(name.size() <= kTinMatchNameLength, "a name has at most 40 characters", shown);
    for (const char c : name)
        Check((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                  c == ' ' || c == '-' || c == '&',
              "a name holds letters, digits, blanks, hyphens and ampersands only", shown);
    Check(name.empty() || (name.front() != ' ' && name.back() != ' '), "a name is trimmed", shown);
    Check(name.find("  ") == std::string::npos, "a name holds no run of blanks", shown);
    Check(TinMatchName(name, TextEncoding::Utf8) == name &&
              TinMatchName(name, TextEncoding::Windows1252) == name,
          "a cleaned name stays as it is", shown);
}

void CheckResults(std::string_view input)
{
    TinMatchResults results;
    results.ReadBytes(input, "f", kRecords);
    const TinMatchNotes& notes = results.Notes();
    Check(notes.Listed().size() <= TinMatchNotes::kListed &&
              static_cast<size_t>(notes.Count()) >= notes.Listed().size(),
          "notes are bounded and counted", Shown(input));
    std::string again;
    std::map<long, const TinMatchAnswer*> last; // the last answer of each record
    for (const TinMatchAnswer& answer : results.Answers()) {
        const long record = answer.record;
        const std::string shown = Shown(input) + " record " + std::to_string(record);
        Check(record >= 1 && record <= kRecords && (last.empty() || last.rbegin()->first <= record),
              "answers are for records of the source, in record order", shown);
        Check(answer.tinType >= 1 && answer.tinType <= 3 && answer.code >= 0 && answer.code <= 8,
              "an answer has a TIN type of 1 to 3 and a code of 0 to 8", shown);
        Check(answer.tin.size() == 9 &&
                  answer.tin.find_first_not_of("0123456789") == std::string::npos,
              "an answer's TIN is 9 digits", shown);
        again += std::to_string(answer.tinType) + ";" + answer.tin + ";" + answer.name + ";" +
                 std::to_string(record) + ";" + std::to_string(answer.code) + "\r\n";
        last[record] = &answer;
    }
    // The answers written out again read back the same, with nothing to note.
    TinMatchResults reread;
    reread.ReadBytes(again, "g", kRecords);
    Check(reread.Notes().Count() == 0 && reread.Answers().size() == results.Answers().size(),
          "written answers read back whole", Shown(again));
    for (auto a = results.Answers().begin(), b = reread.Answers().begin();
         b != reread.Answers().end(); ++a, ++b)
        Check(a->record == b->record && a->tin == b->tin && a->name == b->name &&
                  a->code == b->code && a->tinType == b->tinType,
              "written answers read back the same", Shown(again));

    // Applied to records holding the TINs of their last answers, each record gets at most one
    // warning, from that answer.
    std::vector<DestinationRow> rows(3);
    rows[0].caption = "Name line 1";
    rows[1].caption = "TIN Type";
    rows[2].caption = "Taxpayer id";
    TinMatchCheck check(rows, results, TextEncoding::Utf8);
    std::vector<FieldProblem> warnings;
    for (const auto& [record, answer] : last) {
        const std::string_view values[] = {"Name", record % 2 ? "SSN" : "N/A", answer->tin};
        warnings.clear();
        check.Check(record, values, {}, warnings);
        Check((answer->code != 0 || warnings.empty()) && warnings.size() <= 1,
              "a record gets at most one warning, none for a match", Shown(input));
        for (const FieldProblem& warning : warnings)
            Check(warning.warning && warning.irsAnswer &&
                      warning.text.find("TIN Matching code " + std::to_string(answer->code)) !=
                          std::string::npos,
                  "a warning names the code of the last answer", warning.text);
    }
    check.Finish();
    Check(check.Applied() == static_cast<long>(last.size()),
          "every answer whose TIN is the record's is applied", Shown(input));
}

} // namespace
} // namespace impmap::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace impmap;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.empty())
        return 0;
    const TextEncoding encoding = (data[0] & 1) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    fuzz::CheckName(input.substr(1), encoding);
    fuzz::CheckResults(input);
    return 0;
}
