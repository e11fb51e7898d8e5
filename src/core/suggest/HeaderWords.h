#pragma once

#include <string>
#include <string_view>
#include <vector>

// The words of a column header or a destination caption, reduced to what decides between fields:
// lower case, split at punctuation, underscores and case changes ("nonEmployeeComp"), plurals and
// possessives dropped, abbreviations written out ("Fed W/H" is "federal withheld"), words without
// meaning here left out ("the", "amount", "Box" before its number), and the numbers that pick one
// of a series ("State 2", "Address line 2") kept apart from the words.
namespace impmap::suggest {

// The words that name the two sides of a form: the person the record is about (left out, so that
// "Recipient's TIN" reads as "TIN") and the payer or employer who files it (noted, so that
// "Payer TIN" is never given to the recipient's field). Each text holds words separated by blanks.
struct Roles
{
    std::string_view person;
    std::string_view filer;
    // Whether "recipient", "payee", "vendor" and the like name the person too (on the 1098 family
    // the recipient is the lender who files).
    bool recipientWords = true;
};

struct HeaderWords
{
    std::vector<std::string> words;    // the meaningful words, each once, in order
    std::vector<std::string> series;   // "2" of "State 2", "1" of "Name line 1"
    std::string box;                   // the label after "Box" ("4", "12a"), or of a leading number
    bool boxFromLeadingNumber = false; // "1 Wages": the label had no "Box" before it
    std::string boxLine;   // a number right after the box label: "Box 16(1)", "Box 13 #2"
    bool filer = false;    // names the payer or employer side
    bool amount = false;   // says "amount": a money or number field
    bool nameOnly = false; // held only person words ("Vendor"), read as its name
    bool person = false;   // names the person's side ("Recipient TIN")
};

// The readings of a header: the first holds every word; where words stand between slashes
// ("Address Deliv/Street", "City/Town") each further reading keeps one of them.
std::vector<HeaderWords> ReadHeader(std::string_view text, const Roles& roles);

// The first reading alone (captions and synonyms have no alternatives).
HeaderWords ReadCaption(std::string_view text, const Roles& roles);

// The lower-case words of a header before anything is left out or written out, joined by
// blanks: "Rcp_TIN" and "RCP TIN" both give "rcp tin". The key of a learned choice.
std::string HeaderKey(std::string_view text);

// True for the label of a box ("1", "12", "2a", "12d", "5l"): one or two digits, the first not
// 0, and at most one letter a to l.
bool IsBoxLabel(std::string_view token);

} // namespace impmap::suggest
