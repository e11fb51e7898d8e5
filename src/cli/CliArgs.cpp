#include "CliArgs.h"

namespace impmap::cli {

CliArgs::CliArgs(const std::string& verb, const std::vector<std::string>& words,
                 const std::set<std::string>& valueOptions,
                 const std::set<std::string>& flagOptions,
                 const std::set<std::string>& repeatedOptions)
    : verb_(verb)
{
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() < 2 || word[0] != '-') {
            positional_.push_back(word);
            continue;
        }
        if (flagOptions.count(word)) {
            flags_.insert(word);
        } else if (valueOptions.count(word) || repeatedOptions.count(word)) {
            if (i + 1 >= words.size())
                throw UsageError{verb_ + ": option " + word + " needs a value"};
            if (repeatedOptions.count(word)) {
                repeated_[word].push_back(words[++i]);
                continue;
            }
            if (values_.count(word))
                throw UsageError{verb_ + ": option " + word + " given twice"};
            values_[word] = words[++i];
        } else {
            throw UsageError{verb_ + ": unknown option " + word};
        }
    }
}

std::optional<std::string> CliArgs::Value(const std::string& option) const
{
    auto it = values_.find(option);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

std::vector<std::string> CliArgs::Values(const std::string& option) const
{
    auto it = repeated_.find(option);
    return it == repeated_.end() ? std::vector<std::string>() : it->second;
}

void CliArgs::ExpectPositional(size_t count, const std::string& what) const
{
    if (positional_.size() < count)
        throw UsageError{verb_ + ": missing " + what};
    if (positional_.size() > count)
        throw UsageError{verb_ + ": unexpected argument " + positional_[count]};
}

} // namespace impmap::cli
