// Reading a header's words: splitting, writing out abbreviations, plurals, series numbers, box
// labels and the words that carry no meaning here.
#include "suggest/HeaderWords.h"

#include "schema/FormCatalogue.h"
#include "suggest/SuggestTables.h"
#include "suggest/WordLists.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <unordered_set>

namespace impmap::suggest {
namespace {

using Tokens = std::vector<std::string>;

bool IsLower(char c)
{
    return c >= 'a' && c <= 'z';
}
bool IsUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool IsLetter(char c)
{
    return IsLower(c) || IsUpper(c);
}
bool IsAllDigitText(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), IsDigit);
}

// Bytes that belong to a word: ASCII letters and digits, and bytes above 127 (letters of other
// scripts in UTF-8 or Windows-1252) except the typographic quotes, dashes and blanks of either.
size_t WordByteLength(std::string_view text, size_t i)
{
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsLetter(static_cast<char>(c)) || IsDigit(static_cast<char>(c)))
        return 1;
    if (c < 0x80)
        return 0;
    // UTF-8 punctuation E2 80 xx (quotes, dashes, blanks) and the no-break space C2 A0.
    if (c == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80)
        return 0;
    if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xA0)
        return 0;
    // Windows-1252 quotes and dashes 0x91 to 0x97, and its no-break space.
    if ((c >= 0x91 && c <= 0x97) || c == 0xA0)
        return 0;
    return 1;
}

// An apostrophe: ASCII, or a typographic one in UTF-8 (E2 80 98/99) or Windows-1252 (91/92).
size_t ApostropheLength(std::string_view text, size_t i)
{
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\'' || c == '`' || c == 0x91 || c == 0x92)
        return 1;
    if (c == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80) {
        const auto third = static_cast<unsigned char>(text[i + 2]);
        if (third == 0x98 || third == 0x99)
            return 3;
    }
    return 0;
}

void LowerInPlace(std::string& s)
{
    for (char& c : s) {
        if (IsUpper(c))
            c = static_cast<char>(c + 32);
    }
}

// Splits one run of word bytes at changes of case and between letters and digits:
// "nonEmployeeComp" "non|Employee|Comp", "TINType" "TIN|Type", "Box12aCode" "Box|12a|Code",
// "State1" "State|1"; "2nd" and "12a" stay whole.
void SplitRun(std::string_view run, Tokens& out)
{
    const bool allCaps = std::none_of(run.begin(), run.end(), IsLower);
    size_t start = 0;
    for (size_t i = 1; i < run.size(); ++i) {
        const char prev = run[i - 1];
        const char cur = run[i];
        bool split = false;
        if (IsLower(prev) && IsUpper(cur))
            split = true;
        else if (IsUpper(prev) && IsUpper(cur) && i + 1 < run.size() && IsLower(run[i + 1]))
            split = true;
        else if (IsLetter(prev) && IsDigit(cur))
            split = true;
        else if (IsDigit(prev) && IsLetter(cur)) {
            // The letters of this word: up to the next capital, or all of them in capitals.
            size_t end = i + 1;
            while (end < run.size() && IsLetter(run[end]) && (allCaps || !IsUpper(run[end])))
                ++end;
            std::string letters(run.substr(i, end - i));
            LowerInPlace(letters);
            // One letter belongs to the digits ("12a", also before "Code"), and so do the
            // ordinal endings ("2nd"); longer words do not ("4Federal").
            const bool ordinal =
                letters == "st" || letters == "nd" || letters == "rd" || letters == "th";
            split = !(letters.size() == 1 || ordinal);
        }
        if (split) {
            out.emplace_back(run.substr(start, i - start));
            start = i;
        }
    }
    out.emplace_back(run.substr(start));
}

// The raw tokens: word runs split as above and lower-cased, "/" between two words, "#" and "%"
// as their own tokens, "&" as "and". A possessive "'s" is dropped; other apostrophes join their
// word ("O'Neil").
// Single letters each closed by a period ("U.S.", "P.O.") are one word: "US", "PO".
std::string JoinDottedLetters(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const bool starts = (i == 0 || !IsLetter(text[i - 1])) && IsLetter(text[i]);
        size_t end = i;
        size_t letters = 0;
        while (starts && end + 1 < text.size() && IsLetter(text[end]) && text[end + 1] == '.') {
            end += 2;
            ++letters;
        }
        if (letters >= 2) {
            for (size_t k = i; k < end; k += 2)
                result += text[k];
            result += ' ';
            i = end;
        } else {
            result += text[i++];
        }
    }
    return result;
}

Tokens RawTokens(std::string_view text)
{
    Tokens tokens;
    std::string run;
    bool slashPending = false;
    auto flush = [&] {
        if (run.empty())
            return;
        if (slashPending && !tokens.empty())
            tokens.emplace_back("/");
        slashPending = false;
        SplitRun(run, tokens);
        run.clear();
    };
    for (size_t i = 0; i < text.size();) {
        if (const size_t n = WordByteLength(text, i); n > 0) {
            run += text[i];
            i += n;
            continue;
        }
        if (const size_t n = ApostropheLength(text, i); n > 0) {
            const size_t next = i + n;
            const bool possessive = (next < text.size() && (text[next] | 0x20) == 's') &&
                                    (next + 1 >= text.size() || !IsLetter(text[next + 1]));
            i = possessive ? next + 1 : next;
            continue;
        }
        const char c = text[i++];
        flush();
        if (c == '/') {
            slashPending = true;
        } else if (c == '#' || c == '%') {
            slashPending = false;
            tokens.emplace_back(1, c);
        } else if (c == '$') {
            // A money column ("$ Sales"); before a figure ("$5,000") only its sign.
            slashPending = false;
            if (i >= text.size() || !IsDigit(text[i]))
                tokens.emplace_back("amount");
        } else if (c == '&' || c == '+') {
            slashPending = false;
            tokens.emplace_back(c == '&' ? "and" : "+");
        } else if (c != ' ' && c != '\t' && c != '.' && c != '-' && c != '_') {
            slashPending = false;
        }
    }
    flush();
    for (std::string& token : tokens)
        LowerInPlace(token);
    return tokens;
}

// Joins words that are one word written apart: "e mail", "non employee", and single letters
// around a slash ("W/H", "P/L", "Y/N").
Tokens JoinSplitWords(const Tokens& in)
{
    Tokens out;
    for (size_t i = 0; i < in.size(); ++i) {
        const std::string& t = in[i];
        if (t == "e" && i + 1 < in.size() && in[i + 1] == "mail") {
            out.emplace_back("email");
            ++i;
        } else if (t == "non" && i + 1 < in.size() && in[i + 1] != "/" && IsLetter(in[i + 1][0])) {
            out.push_back("non" + in[i + 1]);
            ++i;
        } else if (t.size() == 1 && IsLetter(t[0]) && i + 2 < in.size() && in[i + 1] == "/" &&
                   in[i + 2].size() == 1 && IsLetter(in[i + 2][0])) {
            out.push_back(t + in[i + 2]);
            i += 2;
        } else {
            out.push_back(t);
        }
    }
    return out;
}

// The words that glued words are cut into: those of every caption and every other name of a
// field, three letters or more, the abbreviations written out above, and a few short ones.
const std::unordered_set<std::string>& Vocabulary()
{
    static const std::unordered_set<std::string> words = [] {
        std::unordered_set<std::string> set{"ss",  "wh",  "id",  "st", "no",
                                            "fed", "tax", "med", "dep"};
        auto addWords = [&set](std::string_view text) {
            for (const std::string& token : RawTokens(text)) {
                if (token.size() >= 3 && std::all_of(token.begin(), token.end(), IsLower))
                    set.insert(token);
            }
        };
        std::vector<std::string> definitions;
        for (int form = 0; form < kFormCount; ++form)
            BuildFormSchema(form, definitions);
        for (const std::string& definition : definitions)
            addWords(CaptionOf(definition));
        for (const SynonymEntry& entry : SynonymTable())
            addWords(entry.names);
        for (const auto& [abbreviation, expansion] : Expansions()) {
            addWords(abbreviation);
            addWords(expansion);
        }
        return set;
    }();
    return words;
}

// A word the vocabulary does not know, five letters or more, cut into known words where it can
// be ("fedtaxwh" "fed|tax|wh", "nonemployeecompensation"), with as few pieces as possible.
void Segment(const std::string& word, Tokens& out)
{
    const auto& vocabulary = Vocabulary();
    const size_t n = word.size();
    if (n < 5 || n > 60 || vocabulary.count(word) > 0 ||
        !std::all_of(word.begin(), word.end(), IsLower)) {
        out.push_back(word);
        return;
    }
    // best[i]: fewest pieces covering word[0, i); from[i]: where the last piece starts.
    constexpr size_t kNone = 1000;
    std::vector<size_t> best(n + 1, kNone), from(n + 1, 0);
    best[0] = 0;
    for (size_t end = 2; end <= n; ++end) {
        for (size_t begin = end >= 20 ? end - 20 : 0; begin + 2 <= end; ++begin) {
            if (best[begin] == kNone || best[begin] + 1 >= best[end])
                continue;
            if (vocabulary.count(word.substr(begin, end - begin)) > 0) {
                best[end] = best[begin] + 1;
                from[end] = begin;
            }
        }
    }
    if (best[n] == kNone || best[n] > 5) {
        out.push_back(word);
        return;
    }
    Tokens pieces;
    for (size_t end = n; end > 0; end = from[end])
        pieces.push_back(word.substr(from[end], end - from[end]));
    out.insert(out.end(), pieces.rbegin(), pieces.rend());
}

void Expand(const Tokens& in, Tokens& out)
{
    const auto& table = Expansions();
    for (size_t i = 0; i < in.size(); ++i) {
        const std::string& t = in[i];
        // "Sec" is "security" after "social", a section elsewhere ("Sec 457").
        if (t == "sec") {
            const bool social = !out.empty() && out.back() == "social";
            out.emplace_back(social ? "security" : "section");
            continue;
        }
        // "Med" is Medicare before wages or tax ("MedWages"), medical elsewhere.
        if (t == "med") {
            const bool wagesOrTax =
                i + 1 < in.size() && (in[i + 1].rfind("wage", 0) == 0 || in[i + 1] == "tax");
            out.emplace_back(wagesOrTax ? "medicare" : "medical");
            continue;
        }
        // "#" after a name is its number ("SS #"); before a digit it marks a series ("State #1").
        if (t == "#") {
            const bool series = i + 1 < in.size() && IsDigit(in[i + 1][0]);
            out.emplace_back(series ? "#" : "number");
            continue;
        }
        // "No" of "Yes/No" is no number.
        if (t == "no" && i >= 2 && in[i - 1] == "/" && in[i - 2] == "yes") {
            out.push_back(t);
            continue;
        }
        const auto it = table.find(t);
        if (it == table.end()) {
            out.push_back(t);
            continue;
        }
        std::string_view expansion = it->second;
        while (!expansion.empty()) {
            const size_t blank = expansion.find(' ');
            out.emplace_back(expansion.substr(0, blank));
            expansion =
                blank == std::string_view::npos ? std::string_view() : expansion.substr(blank + 1);
        }
    }
}

std::string Stem(std::string word)
{
    const size_t n = word.size();
    if (n <= 3 || !IsLower(word.back()))
        return word;
    auto endsWith = [&](std::string_view end) {
        return n > end.size() && std::string_view(word).substr(n - end.size()) == end;
    };
    if (endsWith("ies")) {
        word.replace(n - 3, 3, "y");
    } else if (endsWith("sses") || endsWith("xes") || endsWith("ches") || endsWith("shes") ||
               endsWith("zes")) {
        word.resize(n - 2);
    } else if (endsWith("ss") || endsWith("us") || endsWith("is")) {
        // "address", "bonus", "basis" are no plurals.
    } else if (word.back() == 's') {
        word.pop_back();
    }
    return word;
}

bool IsSmallNumber(std::string_view token)
{
    return IsAllDigitText(token) && token.size() <= 2;
}

const char* OrdinalNumber(std::string_view word)
{
    if (word == "first" || word == "1st")
        return "1";
    if (word == "second" || word == "2nd")
        return "2";
    if (word == "third" || word == "3rd")
        return "3";
    return nullptr;
}

// "Box L" and "Box L(N)" / "Box L Checkbox N": the label and its line, taken out of tokens.
void TakeBox(Tokens& tokens, HeaderWords& result)
{
    for (size_t i = 0; i + 1 < tokens.size(); ++i) {
        if ((tokens[i] != "box" && tokens[i] != "bx") || !IsBoxLabel(tokens[i + 1]))
            continue;
        result.box = tokens[i + 1];
        size_t end = i + 2;
        size_t probe = end;
        while (probe < tokens.size() && (tokens[probe] == "indicator" || tokens[probe] == "line" ||
                                         tokens[probe] == "#" || tokens[probe] == "number"))
            ++probe;
        if (probe < tokens.size() && IsSmallNumber(tokens[probe]) && tokens[probe].size() == 1) {
            result.boxLine = tokens[probe];
            end = probe + 1;
        }
        tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(i),
                     tokens.begin() + static_cast<std::ptrdiff_t>(end));
        // The letter of a box written apart from its number: "Box 12 Code-A", "Box 2 b".
        const auto letter = std::find_if(tokens.begin(), tokens.end(), [](const std::string& t) {
            return t.size() == 1 && t[0] >= 'a' && t[0] <= 'l';
        });
        if (letter != tokens.end() && IsBoxLabel(result.box + *letter)) {
            result.box += *letter;
            tokens.erase(letter);
        }
        return;
    }
    // "1 Wages, tips, other compensation": a label first, words after it.
    if (tokens.size() >= 2 && IsBoxLabel(tokens.front()) && IsLetter(tokens[1][0]) &&
        tokens[1] != "st" && tokens[1] != "nd") {
        result.box = tokens.front();
        result.boxFromLeadingNumber = true;
        tokens.erase(tokens.begin());
    }
}

// The series numbers: a small number after a series word, or an ordinal before "line".
void TakeSeries(Tokens& tokens, HeaderWords& result)
{
    Tokens kept;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const std::string& t = tokens[i];
        if (const char* number = OrdinalNumber(t);
            number != nullptr && i + 1 < tokens.size() && tokens[i + 1] == "line") {
            result.series.emplace_back(number);
            continue;
        }
        // After a series word, or last after any word ("Street 1", "Phone 2").
        const bool last = i + 1 == tokens.size() && !kept.empty() && IsLetter(kept.back()[0]);
        if (IsSmallNumber(t) && !kept.empty() && (IsSeriesWord(kept.back()) || last)) {
            result.series.push_back(t.size() == 2 && t[0] == '0' ? t.substr(1) : t);
            continue;
        }
        kept.push_back(t);
    }
    tokens = std::move(kept);
}

// Months named as a whole year ("All 12 Months", "Full year") become "jan dec".
void WholeYear(Tokens& tokens)
{
    for (size_t i = 0; i + 1 < tokens.size(); ++i) {
        const bool twelve =
            tokens[i] == "12" &&
            (tokens[i + 1] == "months" || tokens[i + 1] == "month" || tokens[i + 1] == "mo");
        const bool full = (tokens[i] == "full" || tokens[i] == "all" || tokens[i] == "whole") &&
                          tokens[i + 1] == "year";
        if (twelve || full) {
            tokens[i] = "jan";
            tokens[i + 1] = "dec";
            if (twelve && i > 0 && tokens[i - 1] == "all")
                tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(i - 1));
            return;
        }
    }
}

HeaderWords Finish(Tokens tokens, const Roles& roles)
{
    HeaderWords result;
    WholeYear(tokens);
    TakeBox(tokens, result);
    TakeSeries(tokens, result);
    bool person = false;
    for (std::string& t : tokens) {
        std::string word = IsLetter(t[0]) ? Stem(t) : t;
        if (IsFiller(word)) {
            result.amount = result.amount || word == "amount";
            continue;
        }
        if (ContainsWord(roles.person, word) || (roles.recipientWords && IsRecipientWord(word))) {
            person = true;
            continue;
        }
        if (ContainsWord(roles.filer, word)) {
            result.filer = true;
            continue;
        }
        if (std::find(result.words.begin(), result.words.end(), word) == result.words.end())
            result.words.push_back(std::move(word));
    }
    result.person = person;
    // "Address City", "address_postal_code": the part of the address alone.
    const auto has = [&result](std::string_view word) {
        return std::find(result.words.begin(), result.words.end(), word) != result.words.end();
    };
    if (has("address") && (has("city") || has("state") || has("zip") || has("postal") ||
                           has("country") || has("province") || has("county"))) {
        result.words.erase(std::find(result.words.begin(), result.words.end(), "address"));
    }
    if (result.words.empty() && result.box.empty() && result.series.empty()) {
        if (person || result.filer) {
            // "Vendor", "Payee", "Payer": the name of that side.
            result.words.emplace_back("name");
            result.nameOnly = true;
        } else if (result.amount) {
            // "Amount" alone names the form's main amount.
            result.words.emplace_back("amount");
        }
    }
    return result;
}

// The words of the returns' names ("1099 div", "w 2", "1098"): names that start with a number
// or with "W" and a number.
const std::vector<Tokens>& FormNameTokens()
{
    static const std::vector<Tokens> names = [] {
        std::vector<Tokens> list;
        for (std::string_view name : FormNames) {
            Tokens tokens = RawTokens(name);
            const bool form = !tokens.empty() &&
                              (IsDigit(tokens[0][0]) ||
                               (tokens[0] == "w" && tokens.size() > 1 && IsDigit(tokens[1][0])));
            if (form)
                list.push_back(std::move(tokens));
        }
        // The longest first, so that "1099 int" is taken whole before a shorter name.
        std::stable_sort(list.begin(), list.end(),
                         [](const Tokens& a, const Tokens& b) { return a.size() > b.size(); });
        return list;
    }();
    return names;
}

// A header led by a return's name ("1099-DIV-2A Total Capital Gain", "Form W-2 Box 1") says its
// box after it: the name is left out, so that the label leads.
void DropLeadingFormName(Tokens& tokens)
{
    const size_t start = !tokens.empty() && (tokens[0] == "form" || tokens[0] == "irs") ? 1 : 0;
    for (const Tokens& name : FormNameTokens()) {
        if (tokens.size() <= start + name.size() ||
            !std::equal(name.begin(), name.end(), tokens.begin() + static_cast<ptrdiff_t>(start)))
            continue;
        tokens.erase(tokens.begin(), tokens.begin() + static_cast<ptrdiff_t>(start + name.size()));
        return;
    }
}

Tokens NormalTokens(std::string_view text)
{
    Tokens raw = RawTokens(JoinDottedLetters(text));
    DropLeadingFormName(raw);
    const Tokens joined = JoinSplitWords(raw);
    Tokens segmented;
    for (const std::string& t : joined)
        Segment(t, segmented);
    Tokens expanded;
    Expand(segmented, expanded);
    return expanded;
}

// A JSON path flattened into a header ("recipientNameAddress.city", "employeeName.first"): the
// last part is the field; of the parts before it only the words that are no container ("name",
// "address") stay, so that "propertyAddress.city" keeps "property" and "payerNameAddress.city"
// its payer. A last part that is only a number ("line1") or a name part ("first") gets the noun
// back.
std::string FlattenedPath(std::string_view text)
{
    const size_t dot = text.rfind('.');
    if (dot == std::string_view::npos || dot + 1 >= text.size() || text.find(' ') != text.npos)
        return std::string(text);
    const std::string_view leaf = text.substr(dot + 1);
    const Tokens prefix = RawTokens(text.substr(0, dot));
    const Tokens leafTokens = RawTokens(leaf);
    std::string result;
    bool container = false;
    for (const std::string& t : prefix) {
        const std::string stem = Stem(t);
        if (stem == "name" || stem == "address" || stem == "nameaddress" || stem == "detail" ||
            stem == "info" || stem == "data") {
            container = container || stem != "name";
            continue;
        }
        if (IsAllDigitText(t))
            continue; // an array index
        result += t + ' ';
    }
    std::string leafText(leaf);
    if (!leafTokens.empty()) {
        const std::string& first = leafTokens.front();
        if (first == "line" && container)
            leafText = "address " + leafText;
        else if (first == "first" || first == "middle" || first == "last" || first == "suffix")
            leafText += " name";
    }
    return result + leafText;
}

} // namespace

bool IsBoxLabel(std::string_view token)
{
    if (token.empty() || !IsDigit(token[0]) || token[0] == '0')
        return false;
    size_t digits = 0;
    while (digits < token.size() && IsDigit(token[digits]))
        ++digits;
    if (digits > 2)
        return false;
    const std::string_view rest = token.substr(digits);
    return rest.empty() || (rest.size() == 1 && rest[0] >= 'a' && rest[0] <= 'l');
}

// The header without a remark in parentheses of two words or more ("Street address (including
// apt. no.)"); empty when it has none or nothing else.
std::string WithoutRemark(std::string_view text)
{
    const size_t open = text.find('(');
    const size_t close = text.find(')', open == std::string_view::npos ? 0 : open);
    if (open == std::string_view::npos || close == std::string_view::npos)
        return {};
    const Tokens inside = RawTokens(text.substr(open + 1, close - open - 1));
    const auto words = std::count_if(inside.begin(), inside.end(),
                                     [](const std::string& t) { return IsLetter(t[0]); });
    if (words < 2)
        return {};
    std::string rest =
        std::string(text.substr(0, open)) + " " + std::string(text.substr(close + 1));
    return RawTokens(rest).empty() ? std::string() : rest;
}

std::vector<HeaderWords> ReadHeader(std::string_view text, const Roles& roles)
{
    const Tokens tokens = NormalTokens(FlattenedPath(text));
    std::vector<HeaderWords> readings{Finish(tokens, roles)};
    if (const std::string rest = WithoutRemark(text); !rest.empty())
        readings.push_back(Finish(NormalTokens(rest), roles));
    // Each word group between slashes gives readings that keep one of its words.
    for (size_t i = 0; i < tokens.size() && readings.size() < 8; ++i) {
        if (tokens[i] != "/" || i == 0 || i + 1 >= tokens.size())
            continue;
        size_t groupStart = i - 1;
        size_t groupEnd = i + 1;
        while (groupEnd + 2 < tokens.size() && tokens[groupEnd + 1] == "/")
            groupEnd += 2;
        for (size_t keep = groupStart; keep <= groupEnd && readings.size() < 8; keep += 2) {
            Tokens reading(tokens.begin(),
                           tokens.begin() + static_cast<std::ptrdiff_t>(groupStart));
            reading.push_back(tokens[keep]);
            reading.insert(reading.end(),
                           tokens.begin() + static_cast<std::ptrdiff_t>(groupEnd + 1),
                           tokens.end());
            readings.push_back(Finish(reading, roles));
        }
        i = groupEnd;
    }
    return readings;
}

HeaderWords ReadCaption(std::string_view text, const Roles& roles)
{
    return Finish(NormalTokens(text), roles);
}

std::string HeaderKey(std::string_view text)
{
    std::string key;
    for (const std::string& token : RawTokens(text.substr(0, 1024))) {
        if (token == "/")
            continue;
        if (!key.empty())
            key += ' ';
        key += token;
    }
    return key;
}

} // namespace impmap::suggest
