// Scoring a column header against every field of a layout.
#include "suggest/FieldMatcher.h"

#include "schema/FormCatalogue.h"
#include "suggest/Deciders.h"
#include "suggest/SuggestTables.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace impmap::suggest {
namespace {

constexpr int kSameName = 100;
constexpr int kSynonym = 95;
constexpr int kWeakCeiling = 75;
constexpr int kSimilarCeiling = 90;
constexpr int kBoxWords = 97;      // "Box 4 Federal income tax withheld"
constexpr int kBoxAlone = 90;      // "Box 4", "Box 4 Amount"
constexpr int kBoxAmbiguous = 60;  // "Box 13" of the W-2: three check boxes
constexpr int kBoxOtherWords = 55; // "Box 7 Nonemployee compensation" on the 2022 1099-MISC
constexpr int kFloor = 30;
constexpr int kOtherYearBox = 25; // taken from a name whose box number names another field

double WordWeight(std::string_view word)
{
    if (word == "indicator")
        return 0.3;
    if (word == "tax" || word == "income" || word == "name" || word == "number" || word == "id" ||
        word == "date" || word == "code" || word == "type" || word == "total")
        return 0.5;
    return 1.0;
}

bool HasDigit(std::string_view word)
{
    return std::any_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int EditDistance(std::string_view a, std::string_view b)
{
    std::vector<int> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = static_cast<int>(j);
    for (size_t i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (size_t j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// A word written short or with a typing error: "comp" for "compensation", "incomet" for
// "income". 0 when the words differ.
double SpellingFactor(std::string_view a, std::string_view b)
{
    if (a.empty() || b.empty() || a[0] != b[0] || HasDigit(a) || HasDigit(b))
        return 0;
    const std::string_view shorter = a.size() <= b.size() ? a : b;
    const std::string_view longer = a.size() <= b.size() ? b : a;
    if (shorter.size() >= 4 && longer.substr(0, shorter.size()) == shorter)
        return 0.85;
    if (shorter.size() < 5 || longer.size() - shorter.size() > 2)
        return 0;
    const int allowed = shorter.size() >= 8 ? 2 : 1;
    return EditDistance(a, b) <= allowed ? 0.85 : 0;
}

// Captions and names of the month fields hold {MON} for each of these.
constexpr std::string_view kMonthMark = "{MON}";
constexpr std::array<std::string_view, 13> kMonthLabels = {
    "JAN-DEC", "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

std::string WithMonth(std::string_view text, std::string_view month)
{
    std::string result(text);
    for (size_t at = result.find(kMonthMark); at != std::string::npos;
         at = result.find(kMonthMark, at + month.size()))
        result.replace(at, kMonthMark.size(), month);
    return result;
}

// The type codes of money amounts and numbers.
bool IsNumericType(char typeCode)
{
    return typeCode == 'c' || typeCode == 'C' || typeCode == 'w' || typeCode == '#';
}

std::vector<std::string_view> SplitNames(std::string_view names)
{
    std::vector<std::string_view> result;
    while (!names.empty()) {
        const size_t bar = names.find('|');
        result.push_back(names.substr(0, bar));
        if (bar == std::string_view::npos)
            break;
        names.remove_prefix(bar + 1);
    }
    return result;
}

bool SameWords(const HeaderWords& a, const HeaderWords& b)
{
    if (a.words.size() != b.words.size() || a.series != b.series)
        return false;
    return std::all_of(a.words.begin(), a.words.end(), [&b](const std::string& w) {
        return std::find(b.words.begin(), b.words.end(), w) != b.words.end();
    });
}

} // namespace

// A header's words as ids of the layout's vocabulary, with the words each may be a spelling of.
struct FieldMatcher::HeaderIds
{
    struct Word
    {
        int id = -1;
        double weight = 1;
        std::vector<std::pair<int, double>> spellings;
    };
    std::vector<Word> words;
    double total = 0;
    Deciders deciders;
};

const FieldMatcher& FieldMatcher::ForForm(int formIndex)
{
    static std::array<std::unique_ptr<FieldMatcher>, kFormCount> matchers;
    static std::array<std::once_flag, kFormCount> built;
    const int index = std::clamp(formIndex, 0, kFormCount - 1);
    std::call_once(built[static_cast<size_t>(index)], [index] {
        matchers[static_cast<size_t>(index)].reset(new FieldMatcher(index));
    });
    return *matchers[static_cast<size_t>(index)];
}

FieldMatcher::FieldMatcher(int formIndex)
    : formIndex_(formIndex), roles_(suggest::FormRoles(formIndex)),
      formName_(FormNames[static_cast<size_t>(formIndex)])
{
    std::vector<std::string> definitions;
    BuildFormSchema(formIndex, definitions);
    for (const std::string& definition : definitions) {
        Field field;
        field.caption = std::string(CaptionOf(definition));
        field.typeCode = TypeCodeOf(definition);
        Alternative caption;
        caption.words = ReadCaption(field.caption, roles_);
        field.box = caption.words.box;
        field.boxLine = caption.words.boxLine;
        caption.ids = Intern(caption.words.words);
        field.alternatives.push_back(std::move(caption));
        fields_.push_back(std::move(field));
    }
    AddSynonyms();
    AddBoxes();
    AddMonthNames();
}

FieldMatcher::Words FieldMatcher::Intern(const std::vector<std::string>& words)
{
    Words result;
    for (const std::string& word : words) {
        auto it = std::find(vocabulary_.begin(), vocabulary_.end(), word);
        if (it == vocabulary_.end())
            it = vocabulary_.insert(vocabulary_.end(), word);
        result.ids.push_back(static_cast<int>(it - vocabulary_.begin()));
        result.weights.push_back(WordWeight(word));
        result.total += result.weights.back();
    }
    return result;
}

int FieldMatcher::RowOf(std::string_view caption) const
{
    for (size_t row = 0; row < fields_.size(); ++row) {
        if (fields_[row].caption == caption)
            return static_cast<int>(row);
    }
    return -1;
}

int FieldMatcher::RowReadingAs(std::string_view text) const
{
    const HeaderWords words = ReadCaption(text, roles_);
    for (size_t row = 0; row < fields_.size(); ++row) {
        if (SameWords(fields_[row].alternatives[0].words, words))
            return static_cast<int>(row);
    }
    return -1;
}

// The field of the second line of row's series: the same words, series 2 where row has 1
// ("State 2 wages" for "State 1 wages"); -1 when none.
int FieldMatcher::SecondLineOf(int row) const
{
    const HeaderWords& first = fields_[static_cast<size_t>(row)].alternatives[0].words;
    if (first.series != std::vector<std::string>{"1"})
        return -1;
    HeaderWords second = first;
    second.series = {"2"};
    for (size_t other = 0; other < fields_.size(); ++other) {
        if (SameWords(fields_[other].alternatives[0].words, second))
            return static_cast<int>(other);
    }
    return -1;
}

void FieldMatcher::AddNames(int row, std::string_view names, std::string_view month)
{
    const int second = SecondLineOf(row);
    for (std::string_view name : SplitNames(names)) {
        Alternative alternative;
        alternative.synonym = true;
        alternative.weak = !name.empty() && name.front() == '~';
        if (alternative.weak)
            name.remove_prefix(1);
        alternative.words = ReadCaption(WithMonth(name, month), roles_);
        alternative.ids = Intern(alternative.words.words);
        // The second line takes the names of the first when a header says 2 ("Local Code 2").
        if (second >= 0 && alternative.words.series.empty()) {
            Alternative sibling = alternative;
            sibling.sibling = true;
            fields_[static_cast<size_t>(second)].alternatives.push_back(std::move(sibling));
        }
        fields_[static_cast<size_t>(row)].alternatives.push_back(std::move(alternative));
    }
}

void FieldMatcher::AddSynonyms()
{
    constexpr std::string_view kExcept = "* except ";
    for (const SynonymEntry& entry : SynonymTable()) {
        const bool everyForm =
            entry.form == "*" || (entry.form.substr(0, kExcept.size()) == kExcept &&
                                  entry.form.substr(kExcept.size()) != formName_);
        if (!everyForm && entry.form != formName_)
            continue;
        if (entry.caption.find(kMonthMark) != std::string_view::npos) {
            for (std::string_view month : kMonthLabels) {
                if (const int row = RowOf(WithMonth(entry.caption, month)); row >= 0)
                    AddNames(row, entry.names, month);
            }
            continue;
        }
        const int row = everyForm ? RowReadingAs(entry.caption) : RowOf(entry.caption);
        if (row >= 0)
            AddNames(row, entry.names, {});
    }
}

void FieldMatcher::AddBoxes()
{
    for (const BoxEntry& entry : BoxTable()) {
        if (entry.form != formName_)
            continue;
        const int row = RowOf(entry.caption);
        if (row < 0)
            continue;
        Field& field = fields_[static_cast<size_t>(row)];
        field.box = std::string(entry.label);
        field.boxLine = std::string(entry.line);
    }
}

// A month alone names a field when the layout has one field for that month ("Jan" for "JAN
// payments" of 1099-K, not on 1095-C with four fields a month).
void FieldMatcher::AddMonthNames()
{
    for (size_t m = 0; m < kMonths.size(); ++m) {
        const unsigned bit = 1u << m;
        int only = -1;
        int count = 0;
        for (size_t row = 0; row < fields_.size(); ++row) {
            if (DecidersOf(fields_[row].alternatives[0].words).months == bit) {
                only = static_cast<int>(row);
                ++count;
            }
        }
        if (count != 1)
            continue;
        Alternative alternative;
        alternative.synonym = true;
        alternative.words.words = {std::string(kMonths[m])};
        alternative.ids = Intern(alternative.words.words);
        fields_[static_cast<size_t>(only)].alternatives.push_back(std::move(alternative));
    }
}

FieldMatcher::HeaderIds FieldMatcher::Prepare(const HeaderWords& header) const
{
    HeaderIds ids;
    ids.deciders = DecidersOf(header);
    for (const std::string& word : header.words) {
        HeaderIds::Word entry;
        entry.weight = WordWeight(word);
        for (size_t i = 0; i < vocabulary_.size(); ++i) {
            if (vocabulary_[i] == word) {
                entry.id = static_cast<int>(i);
            } else if (const double factor = SpellingFactor(word, vocabulary_[i]); factor > 0) {
                entry.spellings.emplace_back(static_cast<int>(i), factor);
            }
        }
        ids.total += entry.weight;
        ids.words.push_back(std::move(entry));
    }
    return ids;
}

// The weighted share of words the two have in common (1 for the same words), with whether they
// are the same, whether a spelling was needed, and whether all words of one side were found.
double FieldMatcher::Similarity(const HeaderIds& header, const Words& words, bool& exact,
                                bool& fuzzy, bool& subset) const
{
    exact = false;
    fuzzy = false;
    subset = false;
    bool meaningful = false; // a word of full weight is shared, not only "type" or "number"
    if (header.words.empty() || words.ids.empty())
        return 0;
    std::vector<bool> used(words.ids.size(), false);
    double matched = 0;
    size_t headerFound = 0;
    size_t exactFound = 0;
    for (const HeaderIds::Word& word : header.words) {
        double best = 0;
        size_t bestIndex = 0;
        for (size_t j = 0; j < words.ids.size(); ++j) {
            if (used[j])
                continue;
            double factor = word.id >= 0 && word.id == words.ids[j] ? 1.0 : 0.0;
            if (factor == 0) {
                for (const auto& [id, spelling] : word.spellings) {
                    if (id == words.ids[j])
                        factor = spelling;
                }
            }
            const double value = factor * std::min(word.weight, words.weights[j]);
            if (value > best) {
                best = value;
                bestIndex = j;
            }
        }
        if (best > 0) {
            used[bestIndex] = true;
            matched += best;
            meaningful = meaningful || std::min(word.weight, words.weights[bestIndex]) >= 1;
            ++headerFound;
            if (word.id >= 0 && word.id == words.ids[bestIndex])
                ++exactFound;
            else
                fuzzy = true;
        }
    }
    exact = exactFound == header.words.size() && exactFound == words.ids.size();
    subset = headerFound == header.words.size() || headerFound == words.ids.size();
    if (!exact && !meaningful)
        return 0;
    return 2 * matched / (header.total + words.total);
}

FieldScore FieldMatcher::ScoreWords(const HeaderWords& header, const HeaderIds& ids,
                                    size_t row) const
{
    const Field& field = fields_[row];
    const std::vector<std::string>& fieldSeries = field.alternatives[0].words.series;
    FieldScore best;
    best.row = static_cast<int>(row);
    for (const Alternative& alternative : field.alternatives) {
        // A name with its own number ("zip 4") is compared by it.
        if (header.filer && !alternative.words.filer)
            continue; // the payer's or employer's columns never fill the person's fields
        if (alternative.sibling && header.series.empty())
            continue;
        const bool ownSeries = !alternative.words.series.empty();
        const SeriesFit series =
            FitSeries(header.series, ownSeries ? alternative.words.series : fieldSeries,
                      alternative.synonym && !ownSeries);
        if (series == SeriesFit::Conflict ||
            !DecidersAgree(ids.deciders, DecidersOf(alternative.words)))
            continue;
        bool exact = false;
        bool fuzzy = false;
        bool subset = false;
        const double s = Similarity(ids, alternative.ids, exact, fuzzy, subset);
        int confidence = 0;
        std::string reason;
        if (exact) {
            confidence = alternative.weak      ? kWeakCeiling
                         : alternative.synonym ? kSynonym
                                               : kSameName;
            reason = alternative.synonym ? "synonym of " + field.caption : "same name";
        } else if (s >= 0.55) {
            confidence = static_cast<int>(std::lround(100 * s)) - 10;
            if (s >= 0.75 && subset)
                confidence += 10;
            confidence = std::min(confidence, alternative.weak ? kWeakCeiling : kSimilarCeiling);
            reason = fuzzy ? "similar spelling" : "similar name";
        } else {
            continue;
        }
        if (series == SeriesFit::Missing)
            confidence -= 3;
        else if (series == SeriesFit::Implied)
            confidence -= 5;
        if (confidence > best.confidence || (confidence == best.confidence && s > best.closeness)) {
            best.confidence = confidence;
            best.closeness = s;
            best.reason = std::move(reason);
        }
    }
    return best;
}

FieldScore FieldMatcher::ScoreBox(const HeaderWords& header, const HeaderIds& ids, size_t row,
                                  int boxCandidates) const
{
    FieldScore score;
    score.row = static_cast<int>(row);
    const Field& field = fields_[row];
    double closeness = 0;
    bool agreeing = false;
    for (const Alternative& alternative : field.alternatives) {
        if ((header.filer && !alternative.words.filer) ||
            !DecidersAllow(ids.deciders, DecidersOf(alternative.words)))
            continue;
        agreeing = true;
        bool exact = false;
        bool fuzzy = false;
        bool subset = false;
        const double s = Similarity(ids, alternative.ids, exact, fuzzy, subset);
        // Every word of the header found in the field's counts as agreeing ("Box 7 Foreign").
        closeness = std::max(closeness, subset && s > 0 ? std::max(s, 0.5) : s);
    }
    if (!agreeing)
        return score;
    score.reason = "box " + field.box + " of " + formName_;
    score.closeness = closeness;
    if (header.words.empty())
        score.confidence = boxCandidates > 1 ? kBoxAmbiguous : kBoxAlone;
    else if (closeness >= 0.5)
        score.confidence = kBoxWords;
    else if (!header.boxFromLeadingNumber)
        score.confidence = kBoxOtherWords;
    return score;
}

// Whether the header holds every word of one of the field's names but "indicator".
bool FieldMatcher::CoversSomeName(const HeaderWords& header, const Field& field)
{
    return std::any_of(
        field.alternatives.begin(), field.alternatives.end(), [&header](const Alternative& a) {
            return std::all_of(
                a.words.words.begin(), a.words.words.end(), [&header](const std::string& w) {
                    return w == "indicator" || std::find(header.words.begin(), header.words.end(),
                                                         w) != header.words.end();
                });
        });
}

FieldScore FieldMatcher::ScoreField(const HeaderWords& header, const HeaderIds& ids, size_t row,
                                    int boxCandidates) const
{
    const Field& field = fields_[row];
    // An amount is no check box or text (unless the caption says amount too: "Taxable amount not
    // determined indicator"), a check box no amount.
    const bool numeric = IsNumericType(field.typeCode);
    const bool indicator =
        std::find(header.words.begin(), header.words.end(), "indicator") != header.words.end();
    if ((header.amount && !numeric && !field.alternatives[0].words.amount) ||
        (indicator && numeric))
        return {};
    FieldScore score;
    if (header.box.empty()) {
        score = ScoreWords(header, ids, row);
    } else if (field.box == header.box) {
        score = ScoreBox(header, ids, row, boxCandidates);
    } else if (field.box.empty()) {
        score = ScoreWords(header, ids, row);
        score.confidence = std::max(0, score.confidence - 10);
    } else {
        // Boxes are renumbered from one year's form to the next ("11 Exempt-interest dividends"
        // of an older 1099-DIV): the field's own name still names it, but the header says two
        // things, so it is proposed, not applied.
        score = ScoreWords(header, ids, row);
        if (score.confidence >= kSynonym) {
            score.confidence -= kOtherYearBox;
            score.reason += ", though box " + header.box + " is another field";
        } else {
            score = {};
        }
    }
    // A check box means what its deciding word says ("Ordinary" of "Ordinary gain or loss"): a
    // header that is only like it, without that word or "indicator", is not sure of it.
    if (field.typeCode == 'I' && !indicator && score.reason.rfind("similar", 0) == 0 &&
        !CoversSomeName(header, field))
        score.confidence = std::min(score.confidence, kWeakCeiling);
    // Of two headers alike but for "Amount", the one that says it is the amount.
    if (header.amount && numeric)
        score.closeness += 0.01;
    return score;
}

void FieldMatcher::Score(const std::vector<HeaderWords>& readings,
                         std::vector<FieldScore>& out) const
{
    std::vector<FieldScore> best(fields_.size());
    for (HeaderWords header : readings) {
        // The check box or line after the label picks among the fields of a box, or is the
        // series number of a field that has none ("Box 16(1)" is state line 1).
        std::vector<size_t> boxRows;
        for (size_t row = 0; row < fields_.size() && !header.box.empty(); ++row) {
            const Field& field = fields_[row];
            if (field.box == header.box && (field.boxLine.empty() || header.boxLine.empty() ||
                                            field.boxLine == header.boxLine))
                boxRows.push_back(row);
        }
        if (header.box.empty() || boxRows.empty()) {
            // A leading number that is no box of this form is part of the words.
            if (header.boxFromLeadingNumber) {
                header.words.insert(header.words.begin(), header.box);
                header.box.clear();
            }
        }
        HeaderIds ids = Prepare(header);
        int boxCandidates = 0;
        for (size_t row : boxRows) {
            HeaderWords lined = header;
            if (fields_[row].boxLine.empty() && !header.boxLine.empty())
                lined.series.push_back(header.boxLine);
            if (FitSeries(lined.series, fields_[row].alternatives[0].words.series, false) !=
                    SeriesFit::Conflict &&
                DecidersAllow(ids.deciders, DecidersOf(fields_[row].alternatives[0].words)))
                ++boxCandidates;
        }
        for (size_t row = 0; row < fields_.size(); ++row) {
            HeaderWords lined = header;
            if (fields_[row].box == header.box && fields_[row].boxLine.empty() &&
                !header.boxLine.empty())
                lined.series.push_back(header.boxLine);
            if (!fields_[row].boxLine.empty() && !header.boxLine.empty() &&
                fields_[row].boxLine != header.boxLine)
                continue;
            if (fields_[row].box == header.box && !header.box.empty() &&
                FitSeries(lined.series, fields_[row].alternatives[0].words.series, false) ==
                    SeriesFit::Conflict)
                continue;
            FieldScore score = ScoreField(lined, ids, row, boxCandidates);
            if (score.confidence > best[row].confidence ||
                (score.confidence == best[row].confidence && score.closeness > best[row].closeness))
                best[row] = std::move(score);
        }
    }
    for (FieldScore& score : best) {
        if (score.confidence >= kFloor)
            out.push_back(std::move(score));
    }
}

} // namespace impmap::suggest
