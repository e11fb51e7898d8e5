#pragma once

#include <array>
#include <string>
#include <vector>

// Suggest Mapping: for a layout and the header line of a source, at most one column (or one
// column with others merged into it) for every destination field, each column used once, with a
// confidence and the reason in words.
namespace impmap::suggest {

class LearnedChoices;

// Confidences from 80 are high: applied unless the user says otherwise; from 50 medium.
constexpr int kHighConfidence = 80;
constexpr int kMediumConfidence = 50;

enum class ConfidenceBand
{
    None,
    Low,
    Medium,
    High
};
ConfidenceBand BandOf(int confidence);
// "high", "medium", "low"; empty for none.
const char* BandName(ConfidenceBand band);

struct Proposal
{
    int row = -1;
    std::string caption;
    int column = 0;          // 1-based source column; 0 when none is proposed
    std::vector<int> merged; // the columns merged into it, in order
    int confidence = 0;      // 0 to 100
    std::string reason;
    bool followed = false; // follows a column of the saved header to where it stands now
};

// A mapping saved with another header line, to be followed to where its columns are now.
struct PreviousMapping
{
    std::vector<std::string> header; // the header line saved with the map
    std::vector<int> rowColumns;     // each row's source field number (0 for none)
    std::array<int, 1001> merges{};  // as the map holds them
};

struct SuggestRequest
{
    int formIndex = -1;
    std::vector<std::string> header; // the source's column headers, in order
    const LearnedChoices* learned = nullptr;
    const PreviousMapping* previous = nullptr;
};

// One proposal per field of the layout, in layout order.
std::vector<Proposal> SuggestMapping(const SuggestRequest& request);

// "3" or "3+4+5".
std::string ColumnsText(const Proposal& proposal);

} // namespace impmap::suggest
