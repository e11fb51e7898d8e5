#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace impmap::cli {

// Thrown for a usage error; the message is the one line printed on standard error.
struct UsageError
{
    std::string message;
};

// A verb's arguments: positional words and "--name value" / "-o value" options.
class CliArgs
{
public:
    // valueOptions take a value; flagOptions do not; repeatedOptions take a value each time
    // they are given. Anything else starting with '-' is an unknown option. Throws UsageError.
    CliArgs(const std::string& verb, const std::vector<std::string>& words,
            const std::set<std::string>& valueOptions, const std::set<std::string>& flagOptions,
            const std::set<std::string>& repeatedOptions = {});

    const std::vector<std::string>& Positional() const { return positional_; }
    std::optional<std::string> Value(const std::string& option) const;
    // The values of a repeated option, in the order given.
    std::vector<std::string> Values(const std::string& option) const;
    bool Flag(const std::string& option) const { return flags_.count(option) > 0; }
    // Throws UsageError unless there are exactly count positional words.
    void ExpectPositional(size_t count, const std::string& what) const;

private:
    std::string verb_;
    std::vector<std::string> positional_;
    std::map<std::string, std::string> values_;
    std::map<std::string, std::vector<std::string>> repeated_;
    std::set<std::string> flags_;
};

} // namespace impmap::cli
