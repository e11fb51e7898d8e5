#pragma once

#include <string_view>
#include <unordered_map>

// The word lists that reading a header uses (HeaderWords.cpp), as data.
namespace impmap::suggest {

// Abbreviations and other spellings, each with the words it stands for ("fit": "federal income
// tax").
const std::unordered_map<std::string_view, std::string_view>& Expansions();
// Words with no meaning for the choice of a field ("the", "amount", "box").
bool IsFiller(std::string_view word);
// Words that number a series with the number after them ("State 2", "line 2").
bool IsSeriesWord(std::string_view word);
// Words for the record's person on every return that has a recipient ("payee", "vendor").
bool IsRecipientWord(std::string_view word);
// Whether list, words separated by blanks, holds word.
bool ContainsWord(std::string_view list, std::string_view word);

} // namespace impmap::suggest
