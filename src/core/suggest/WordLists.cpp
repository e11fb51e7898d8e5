// The word lists of header reading: abbreviations written out, words of no meaning, series
// words and the words for a recipient.
#include "suggest/WordLists.h"

#include <unordered_set>

namespace impmap::suggest {
namespace {

// Words that name the record's person on every return that has a recipient.
constexpr std::string_view kRecipientWords =
    "recipient payee rcp rcpt recip vendor contractor customer worker participant shareholder "
    "investor patron member";

} // namespace

// Abbreviations and other spellings written out; several words may stand for one.
const std::unordered_map<std::string_view, std::string_view>& Expansions()
{
    static const std::unordered_map<std::string_view, std::string_view> table = {
        {"fed", "federal"},
        {"fedl", "federal"},
        {"fit", "federal income tax"},
        {"fwt", "federal withheld"},
        {"fitw", "federal income tax withheld"},
        {"sit", "state income tax"},
        {"swt", "state withheld"},
        {"lit", "local income tax"},
        {"ss", "social security"},
        {"oasdi", "social security"},
        {"soc", "social"},
        {"mcare", "medicare"},
        {"medi", "medicare"},
        {"wh", "withheld"},
        {"whld", "withheld"},
        {"wthld", "withheld"},
        {"withhld", "withheld"},
        {"withholding", "withheld"},
        {"withhold", "withheld"},
        {"wheld", "withheld"},
        {"tx", "tax"},
        {"wd", "withdrawal"},
        {"dep", "dependent"},
        {"wdl", "withdrawal"},
        {"amt", "amount"},
        {"acct", "account"},
        {"acc", "account"},
        {"addr", "address"},
        {"adr", "address"},
        {"st", "state"},
        {"zipcode", "zip code"},
        {"postcode", "zip code"},
        {"comp", "compensation"},
        {"compen", "compensation"},
        {"dist", "distribution"},
        {"distr", "distribution"},
        {"distrib", "distribution"},
        {"contrib", "contribution"},
        {"contr", "contribution"},
        {"desig", "designated"},
        {"int", "interest"},
        {"div", "dividend"},
        {"divs", "dividend"},
        {"qual", "qualified"},
        {"ord", "ordinary"},
        {"cap", "capital"},
        {"pmt", "payment"},
        {"pymt", "payment"},
        {"exp", "expense"},
        {"inv", "investment"},
        {"reimb", "reimbursement"},
        {"desc", "description"},
        {"descr", "description"},
        {"prop", "property"},
        {"nbr", "number"},
        {"num", "number"},
        {"no", "number"},
        {"ident", "id"},
        {"identification", "id"},
        {"identifier", "id"},
        {"tel", "telephone"},
        {"ph", "telephone"},
        {"phone", "telephone"},
        {"dob", "date birth"},
        {"pct", "percent"},
        {"percentage", "percent"},
        {"%", "percent"},
        {"yr", "year"},
        {"dt", "date"},
        {"sfx", "suffix"},
        {"mi", "middle initial"},
        {"init", "initial"},
        {"fname", "first name"},
        {"lname", "last name"},
        {"mname", "middle name"},
        {"surname", "last name"},
        {"forename", "first name"},
        {"given", "first"},
        {"ctrl", "control"},
        {"ctl", "control"},
        {"emp", "employee"},
        {"ee", "employee"},
        {"er", "employer"},
        {"nqdc", "nonqualified deferred compensation"},
        {"nec", "nonemployee compensation"},
        {"previously", "previous"},
        {"prev", "previous"},
        {"orig", "previous"},
        {"corr", "corrected"},
        {"correct", "corrected"},
        {"sect", "section"},
        {"january", "jan"},
        {"february", "feb"},
        {"march", "mar"},
        {"april", "apr"},
        {"june", "jun"},
        {"july", "jul"},
        {"august", "aug"},
        {"september", "sep"},
        {"sept", "sep"},
        {"october", "oct"},
        {"november", "nov"},
        {"december", "dec"},
        {"fmv", "fair market value"},
        {"pmi", "mortgage insurance premium"},
        {"mip", "mortgage insurance premium"},
        {"govt", "government"},
        {"qty", "quantity"},
        {"second", "2nd"},
        {"1st", "first"},
        {"3rd", "third"},
        {"apt", "apartment"},
        {"checkbox", "indicator"},
        {"check", "indicator"},
        {"checked", "indicator"},
        {"chk", "indicator"},
        {"flag", "indicator"},
        {"ind", "indicator"},
    };
    return table;
}

// Words with no meaning for the choice of a field.
bool IsFiller(std::string_view word)
{
    static const std::unordered_set<std::string_view> fillers = {
        "the",        "of",       "a",    "an",   "for",         "to",     "in",
        "on",         "or",       "and",  "is",   "as",          "by",     "at",
        "your",       "this",     "that", "if",   "from",        "amount", "value",
        "field",      "optional", "line", "info", "information", "see",    "instruction",
        "applicable", "reported", "ytd",  "usd",  "dollar",      "+",      "/",
        "#",          "enter",    "box",  "bx",   "x",           "be",     "it",
        "are",        "etc",      "xxx",  "xxxx", "whether",     "more",   "totaling",
        "1099"};
    return fillers.count(word) > 0;
}

// Words that number a series with the number after them: "State 2", "line 2", "Name 1".
bool IsSeriesWord(std::string_view word)
{
    return word == "state" || word == "locality" || word == "local" || word == "line" ||
           word == "street" || word == "address" || word == "name" || word == "indicator" ||
           word == "#" || word == "number";
}

bool ContainsWord(std::string_view list, std::string_view word)
{
    while (!list.empty()) {
        const size_t blank = list.find(' ');
        if (list.substr(0, blank) == word)
            return true;
        if (blank == std::string_view::npos)
            break;
        list.remove_prefix(blank + 1);
    }
    return false;
}

bool IsRecipientWord(std::string_view word)
{
    return ContainsWord(kRecipientWords, word);
}

} // namespace impmap::suggest
