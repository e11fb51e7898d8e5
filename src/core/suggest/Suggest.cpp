#include "suggest/Suggest.h"

#include "convert/Text.h"
#include "schema/FormCatalogue.h"
#include "suggest/FieldMatcher.h"
#include "suggest/LearnedChoices.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>

namespace impmap::suggest {
namespace {

constexpr int kLearned = 98;
constexpr int kFollowed = 100;
constexpr int kSplitName = 90;
constexpr int kStateBoxes = 90;
constexpr size_t kMaxColumns = 999; // map files hold source field numbers in three digits
constexpr size_t kMaxHeaderBytes = 256;

struct Candidate
{
    int row = -1;
    int column = 0;
    std::vector<int> merged;
    int confidence = 0;
    double closeness = 0;
    std::string reason;
    bool followed = false;
};

class Matching
{
public:
    Matching(const SuggestRequest& request)
        : request_(request), matcher_(FieldMatcher::ForForm(request.formIndex)),
          columns_(std::min(request.header.size(), kMaxColumns))
    {
        readings_.resize(columns_);
        for (size_t c = 0; c < columns_; ++c) {
            // A header says what it is in its first words; the rest of a giant one is ignored.
            const std::string_view text =
                std::string_view(request.header[c]).substr(0, kMaxHeaderBytes);
            if (!TrimView(text).empty())
                readings_[c] = ReadHeader(text, matcher_.FormRoles());
        }
        NumberRepeats();
    }

    std::vector<Proposal> Run()
    {
        AddWordCandidates();
        AddSplitName();
        PreferStateBoxesWithoutAddress();
        if (request_.learned != nullptr)
            AddLearnedCandidates();
        if (request_.previous != nullptr)
            AddFollowedCandidates();
        return Assign();
    }

private:
    void NumberRepeats();
    void AddWordCandidates();
    void AddSplitName();
    void PreferStateBoxesWithoutAddress();
    void AddLearnedCandidates();
    void AddFollowedCandidates();
    std::vector<Proposal> Assign();
    int FollowColumn(int oldColumn) const;

    const SuggestRequest& request_;
    const FieldMatcher& matcher_;
    size_t columns_;
    std::vector<std::vector<HeaderWords>> readings_;
    std::vector<Candidate> candidates_;
};

// A group of headers that comes back further along ("State", "State Wages", then "State",
// "State Wages" again) names the next line of its series each time: the second "State" is
// state 2. A header repeated on its own ("State" of the address, then "State") is left as it is.
void Matching::NumberRepeats()
{
    std::vector<std::string> keys(columns_);
    for (size_t c = 0; c < columns_; ++c) {
        if (!readings_[c].empty())
            keys[c] = HeaderKey(std::string_view(request_.header[c]).substr(0, kMaxHeaderBytes));
    }
    std::map<std::string, size_t> last; // the column each header text was last seen in
    std::vector<int> line(columns_, 0);
    for (size_t c = 0; c < columns_; ++c) {
        if (keys[c].empty())
            continue;
        const auto found = last.find(keys[c]);
        if (found != last.end()) {
            const size_t e = found->second;
            const auto same = [&keys](size_t a, size_t b) {
                return !keys[a].empty() && keys[a] == keys[b];
            };
            const bool group = (c + 1 < columns_ && e + 1 < c && same(c + 1, e + 1)) ||
                               (e > 0 && c - 1 > e && same(c - 1, e - 1));
            if (group)
                line[c] = std::max(line[e], 1) + 1;
        }
        last[keys[c]] = c;
        if (line[c] == 0)
            continue;
        for (HeaderWords& words : readings_[c]) {
            if (words.series.empty() && words.box.empty())
                words.series = {std::to_string(line[c])};
        }
    }
}

// A header whose words fit two fields alike by similarity alone ("Social Security": the number
// or the tax?) is not sure of any: its guesses by similarity fall to medium, the two best naming
// each other.
void LowerTies(std::vector<FieldScore>& scores, const FieldMatcher& matcher)
{
    constexpr int kMargin = 3;
    constexpr int kPenalty = 15;
    const auto similar = [](const FieldScore& s) { return s.reason.rfind("similar", 0) == 0; };
    std::stable_sort(scores.begin(), scores.end(), [](const FieldScore& a, const FieldScore& b) {
        return a.confidence > b.confidence;
    });
    if (scores.size() < 2 || !similar(scores[0]) || !similar(scores[1]) ||
        scores[0].confidence - scores[1].confidence >= kMargin)
        return;
    const std::string first = matcher.Caption(static_cast<size_t>(scores[0].row));
    const std::string second = matcher.Caption(static_cast<size_t>(scores[1].row));
    for (size_t i = 0; i < scores.size(); ++i) {
        if (!similar(scores[i]))
            continue;
        scores[i].confidence -= kPenalty;
        if (i < 2)
            scores[i].reason += " (or " + (i == 0 ? second : first) + ")";
    }
}

// Which side a column's header names: 1 the payer or employer, 2 the person, 0 neither.
int SideOf(const std::vector<HeaderWords>& readings)
{
    if (readings.empty())
        return 0;
    return readings[0].filer ? 1 : readings[0].person ? 2 : 0;
}

// Columns that name no side but stand in the payer's block that leads a record ("Payer Entity
// ID", "Account Number", "Recipient TIN"): where the file names its sides, such a column is most
// likely the payer's.
std::vector<bool> AmongFilerColumns(const std::vector<std::vector<HeaderWords>>& readings)
{
    const size_t n = readings.size();
    std::vector<bool> among(n, false);
    std::vector<int> before(n, 0), after(n, 0);
    for (size_t c = 1; c < n; ++c) {
        const int side = SideOf(readings[c - 1]);
        // Once the person's side was named, the payer's block is over.
        before[c] = before[c - 1] == 2 ? 2 : side != 0 ? side : before[c - 1];
    }
    for (size_t c = n - 1; c-- > 0;) {
        const int side = SideOf(readings[c + 1]);
        after[c] = side != 0 ? side : after[c + 1];
    }
    for (size_t c = 0; c < n; ++c)
        among[c] =
            !readings[c].empty() && SideOf(readings[c]) == 0 && before[c] == 1 && after[c] != 0;
    return among;
}

void Matching::AddWordCandidates()
{
    constexpr int kAmongFiler = 70;
    const std::vector<bool> amongFiler = AmongFilerColumns(readings_);
    std::vector<FieldScore> scores;
    for (size_t c = 0; c < columns_; ++c) {
        if (readings_[c].empty())
            continue;
        scores.clear();
        matcher_.Score(readings_[c], scores);
        LowerTies(scores, matcher_);
        for (FieldScore& score : scores) {
            if (amongFiler[c] && score.confidence > kAmongFiler) {
                score.confidence = kAmongFiler;
                score.reason += " (among the payer's columns)";
            }
            candidates_.push_back({score.row,
                                   static_cast<int>(c + 1),
                                   {},
                                   score.confidence,
                                   score.closeness,
                                   std::move(score.reason)});
        }
    }
}

// The part of a name a header holds alone: "First Name" 1, "Middle Initial" 2, "Last Name" 4,
// "Suffix" 8; 0 for anything else.
unsigned NamePart(const std::vector<HeaderWords>& readings)
{
    for (const HeaderWords& words : readings) {
        if (words.filer || !words.box.empty() || !words.series.empty())
            continue;
        unsigned part = 0;
        bool other = false;
        for (const std::string& w : words.words) {
            if (w == "first")
                part |= 1;
            else if (w == "middle")
                part |= 2;
            else if (w == "last")
                part |= 4;
            else if (w == "suffix")
                part |= 8;
            else if (w != "name" && w != "initial")
                other = true;
        }
        if (!other && (part == 1 || part == 2 || part == 4 || part == 8))
            return part;
    }
    return 0;
}

// Where a layout has one name line and the source first, middle and last name columns (and a
// suffix), Name line 1 takes the first name with the others merged into it.
void Matching::AddSplitName()
{
    const int nameRow = matcher_.RowReadingAs("Name line 1");
    if (nameRow < 0 || matcher_.RowReadingAs("First name") >= 0)
        return;
    int parts[4] = {0, 0, 0, 0}; // first, middle, last, suffix
    for (size_t c = 0; c < columns_; ++c) {
        const unsigned part = NamePart(readings_[c]);
        const int slot = part == 1 ? 0 : part == 2 ? 1 : part == 4 ? 2 : part == 8 ? 3 : -1;
        if (slot >= 0 && parts[slot] == 0)
            parts[slot] = static_cast<int>(c + 1);
    }
    if (parts[0] == 0 || parts[2] == 0)
        return;
    Candidate candidate{nameRow, parts[0], {}, kSplitName, 1, {}};
    std::vector<std::string> named{"first"};
    const char* const names[] = {"first", "middle", "last", "suffix"};
    for (int slot = 1; slot < 4; ++slot) {
        if (parts[slot] != 0) {
            candidate.merged.push_back(parts[slot]);
            named.emplace_back(names[slot]);
        }
    }
    std::string reason;
    for (size_t i = 0; i < named.size(); ++i) {
        if (i > 0)
            reason += i + 1 == named.size() ? " and " : ", ";
        reason += named[i];
    }
    candidate.reason = reason + " name merged";
    candidates_.push_back(std::move(candidate));
}

// A file of state tax amounts without any address column ("state", "state_tax_withheld",
// "state_income") means by its State column the state of the state boxes, not an address.
void Matching::PreferStateBoxesWithoutAddress()
{
    const int stateRow = matcher_.RowReadingAs("State");
    const int boxRow = matcher_.RowReadingAs("State 1");
    if (stateRow < 0 || boxRow < 0)
        return;
    const int addressRows[] = {matcher_.RowReadingAs("City"), matcher_.RowReadingAs("Zip code"),
                               matcher_.RowReadingAs("Street address line 1")};
    for (const Candidate& candidate : candidates_) {
        if (candidate.confidence >= kHighConfidence &&
            std::find(std::begin(addressRows), std::end(addressRows), candidate.row) !=
                std::end(addressRows))
            return;
    }
    const size_t count = candidates_.size();
    for (size_t i = 0; i < count; ++i) {
        const int column = candidates_[i].column;
        const HeaderWords& words = readings_[static_cast<size_t>(column - 1)].front();
        if (candidates_[i].row != stateRow || words.words != std::vector<std::string>{"state"} ||
            !words.series.empty() || !words.box.empty())
            continue;
        candidates_[i].confidence = kMediumConfidence;
        candidates_.push_back({boxRow,
                               column,
                               {},
                               kStateBoxes,
                               1,
                               "state of the state tax boxes (the file has no address)"});
    }
}

void Matching::AddLearnedCandidates()
{
    const std::string form(FormNames[static_cast<size_t>(matcher_.FormIndex())]);
    // The columns merged into each field, with the learned choice that says so.
    std::vector<std::vector<std::pair<const LearnedChoice*, int>>> mergedInto(
        matcher_.FieldCount());
    std::vector<Candidate> learned;
    for (size_t c = 0; c < columns_; ++c) {
        if (readings_[c].empty())
            continue;
        for (const LearnedChoice* choice : request_.learned->Find(form, request_.header[c])) {
            const int row = matcher_.RowOf(choice->caption);
            if (row < 0)
                continue;
            if (choice->merged) {
                mergedInto[static_cast<size_t>(row)].emplace_back(choice, static_cast<int>(c + 1));
                continue;
            }
            const bool known = std::any_of(learned.begin(), learned.end(), [&](const Candidate& l) {
                return l.row == row && l.column == static_cast<int>(c + 1);
            });
            if (!known)
                learned.push_back({row,
                                   static_cast<int>(c + 1),
                                   {},
                                   kLearned,
                                   1,
                                   "learned from your map " + choice->mapName});
        }
    }
    for (Candidate& candidate : learned) {
        auto& merged = mergedInto[static_cast<size_t>(candidate.row)];
        std::sort(merged.begin(), merged.end(), [](const auto& a, const auto& b) {
            return std::less<const LearnedChoice*>()(a.first, b.first);
        });
        for (const auto& [choice, column] : merged) {
            if (column != candidate.column &&
                std::find(candidate.merged.begin(), candidate.merged.end(), column) ==
                    candidate.merged.end())
                candidate.merged.push_back(column);
        }
        candidates_.push_back(std::move(candidate));
    }
}

// The column of today's header that holds what oldColumn of the saved header held: the same
// text, the nearest such column when several have it; 0 when none does.
int Matching::FollowColumn(int oldColumn) const
{
    const std::vector<std::string>& saved = request_.previous->header;
    if (oldColumn < 1 || static_cast<size_t>(oldColumn) > saved.size())
        return 0;
    const std::string_view text = TrimView(saved[static_cast<size_t>(oldColumn - 1)]);
    if (text.empty())
        return 0;
    int found = 0;
    for (size_t c = 0; c < columns_; ++c) {
        if (!EqualsIgnoreCaseAscii(TrimView(request_.header[c]), text))
            continue;
        const int column = static_cast<int>(c + 1);
        if (found == 0 || std::abs(column - oldColumn) < std::abs(found - oldColumn))
            found = column;
    }
    return found;
}

void Matching::AddFollowedCandidates()
{
    const PreviousMapping& previous = *request_.previous;
    for (size_t row = 0; row < previous.rowColumns.size() && row < matcher_.FieldCount(); ++row) {
        const int oldColumn = previous.rowColumns[row];
        const int column = FollowColumn(oldColumn);
        if (column == 0)
            continue;
        Candidate candidate{static_cast<int>(row), column, {}, kFollowed, 1, {}, true};
        const std::string& text = previous.header[static_cast<size_t>(oldColumn - 1)];
        candidate.reason = column == oldColumn
                               ? "\"" + text + "\" is still column " + std::to_string(column)
                               : "\"" + text + "\" moved from column " + std::to_string(oldColumn);
        // The merges follow their columns too, as far as they are found.
        std::vector<int> seen{oldColumn};
        for (int m = previous.merges[static_cast<size_t>(oldColumn)]; m > 0 && m <= 1000;
             m = previous.merges[static_cast<size_t>(m)]) {
            const int followed = FollowColumn(m);
            if (followed == 0 || std::find(seen.begin(), seen.end(), m) != seen.end())
                break;
            seen.push_back(m);
            candidate.merged.push_back(followed);
        }
        candidates_.push_back(std::move(candidate));
    }
}

std::vector<Proposal> Matching::Assign()
{
    std::stable_sort(candidates_.begin(), candidates_.end(),
                     [](const Candidate& a, const Candidate& b) {
                         if (a.confidence != b.confidence)
                             return a.confidence > b.confidence;
                         if (a.closeness != b.closeness)
                             return a.closeness > b.closeness;
                         if (a.column != b.column)
                             return a.column < b.column;
                         return a.row < b.row;
                     });
    std::vector<Proposal> proposals(matcher_.FieldCount());
    for (size_t row = 0; row < proposals.size(); ++row) {
        proposals[row].row = static_cast<int>(row);
        proposals[row].caption = matcher_.Caption(row);
    }
    std::vector<bool> columnUsed(columns_ + 2, false);
    const auto used = [&columnUsed](int column) {
        return column < 1 || static_cast<size_t>(column) >= columnUsed.size() ||
               columnUsed[static_cast<size_t>(column)];
    };
    for (Candidate& candidate : candidates_) {
        Proposal& proposal = proposals[static_cast<size_t>(candidate.row)];
        if (proposal.column != 0 || used(candidate.column) ||
            std::any_of(candidate.merged.begin(), candidate.merged.end(), used))
            continue;
        columnUsed[static_cast<size_t>(candidate.column)] = true;
        for (int m : candidate.merged)
            columnUsed[static_cast<size_t>(m)] = true;
        proposal.column = candidate.column;
        proposal.merged = std::move(candidate.merged);
        proposal.confidence = candidate.confidence;
        proposal.reason = std::move(candidate.reason);
        proposal.followed = candidate.followed;
    }
    return proposals;
}

} // namespace

ConfidenceBand BandOf(int confidence)
{
    if (confidence >= kHighConfidence)
        return ConfidenceBand::High;
    if (confidence >= kMediumConfidence)
        return ConfidenceBand::Medium;
    return confidence > 0 ? ConfidenceBand::Low : ConfidenceBand::None;
}

const char* BandName(ConfidenceBand band)
{
    switch (band) {
    case ConfidenceBand::High:
        return "high";
    case ConfidenceBand::Medium:
        return "medium";
    case ConfidenceBand::Low:
        return "low";
    case ConfidenceBand::None:
        break;
    }
    return "";
}

std::vector<Proposal> SuggestMapping(const SuggestRequest& request)
{
    if (request.formIndex < 0 || request.formIndex >= kFormCount)
        return {};
    return Matching(request).Run();
}

std::string ColumnsText(const Proposal& proposal)
{
    std::string text = std::to_string(proposal.column);
    for (int m : proposal.merged)
        text += "+" + std::to_string(m);
    return text;
}

} // namespace impmap::suggest
