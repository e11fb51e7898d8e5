// Suggest Mapping on any header line: the first byte chooses the layout, the rest is split as a
// comma line. The same bytes are read as a file of learned choices, and the header line is
// compared with itself and with itself reversed.
#include "FuzzSupport.h"
#include "schema/FormCatalogue.h"
#include "source/SplitRecord.h"
#include "suggest/HeaderChange.h"
#include "suggest/LearnedChoices.h"
#include "suggest/Suggest.h"

#include <algorithm>

namespace impmap::fuzz {
namespace {

void CheckProposals(int form, const std::vector<std::string>& header,
                    const suggest::LearnedChoices& learned, std::string_view input)
{
    const std::vector<suggest::Proposal> proposals =
        suggest::SuggestMapping({form, header, &learned, nullptr});
    const std::string shown = Shown(input);
    Check(static_cast<int>(proposals.size()) == FormFieldCount(form),
          "one proposal per field of the layout", shown);
    std::vector<bool> used(std::min<size_t>(header.size(), 999) + 1, false);
    for (size_t row = 0; row < proposals.size(); ++row) {
        const suggest::Proposal& p = proposals[row];
        Check(p.row == static_cast<int>(row), "proposals stand in layout order", shown);
        Check(p.confidence >= 0 && p.confidence <= 100, "a confidence is 0 to 100", shown);
        Check((p.column == 0) == (p.confidence == 0) && (p.column == 0) == p.reason.empty() &&
                  (p.column != 0 || p.merged.empty()),
              "a field without a column has no confidence, reason or merge", shown);
        if (p.column == 0)
            continue;
        std::vector<int> columns{p.column};
        columns.insert(columns.end(), p.merged.begin(), p.merged.end());
        for (int c : columns) {
            Check(c >= 1 && static_cast<size_t>(c) < used.size(),
                  "a proposed column is one of the header's", shown);
            Check(!used[static_cast<size_t>(c)], "each column feeds one field", shown);
            used[static_cast<size_t>(c)] = true;
        }
    }
}

void CheckLearned(std::string_view input)
{
    const suggest::LearnedChoices learned = suggest::LearnedChoices::Parse(input);
    const std::string text = learned.ToText();
    Check(suggest::LearnedChoices::Parse(text).ToText() == text,
          "learned choices read back as they were written", Shown(input));
    Check(learned.Choices().size() <= suggest::LearnedChoices::kMaxChoices,
          "learned choices stay bounded", Shown(input));
}

void CheckChanges(const std::vector<std::string>& header, std::string_view input)
{
    Check(suggest::CompareHeaders(header, header).empty(), "a header line is no change of itself",
          Shown(input));
    const std::vector<std::string> reversed(header.rbegin(), header.rend());
    for (const suggest::HeaderChange& change : suggest::CompareHeaders(header, reversed)) {
        Check(change.column >= 1 && static_cast<size_t>(change.column) <= header.size() &&
                  change.newColumn >= 0 && static_cast<size_t>(change.newColumn) <= header.size(),
              "a change names columns of the header lines", Shown(input));
    }
}

} // namespace
} // namespace impmap::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace impmap;
    using namespace impmap::fuzz;
    if (size == 0 || size > 64 * 1024)
        return 0;
    const int form = data[0] % kFormCount;
    const std::string_view line(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<std::string> header;
    SplitRecordUpTo(line, ',', header, 1000);
    const suggest::LearnedChoices learned = suggest::LearnedChoices::Parse(line);
    CheckProposals(form, header, learned, line);
    CheckLearned(line);
    CheckChanges(header, line);
    return 0;
}
