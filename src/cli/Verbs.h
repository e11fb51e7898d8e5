#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The verbs of impmap-cli. Each returns the exit status and throws UsageError for usage errors.
namespace impmap::cli {

struct VerbContext
{
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal;
};

extern const char* const kFormsHelp;
extern const char* const kSchemaHelp;
extern const char* const kHeaderHelp;
extern const char* const kRunHelp;
extern const char* const kCheckHelp;
extern const char* const kJoinLinesHelp;
extern const char* const kTinMatchHelp;
extern const char* const kSheetsHelp;
extern const char* const kConvertHelp;
extern const char* const kSuggestHelp;

int FormsVerb(const std::vector<std::string>& words, const VerbContext& context);
int SchemaVerb(const std::vector<std::string>& words, const VerbContext& context);
int HeaderVerb(const std::vector<std::string>& words, const VerbContext& context);
int RunVerb(const std::vector<std::string>& words, const VerbContext& context);
int CheckVerb(const std::vector<std::string>& words, const VerbContext& context);
int JoinLinesVerb(const std::vector<std::string>& words, const VerbContext& context);
int TinMatchVerb(const std::vector<std::string>& words, const VerbContext& context);
int SheetsVerb(const std::vector<std::string>& words, const VerbContext& context);
int ConvertVerb(const std::vector<std::string>& words, const VerbContext& context);
int SuggestVerb(const std::vector<std::string>& words, const VerbContext& context);

// The FormIndex named by a display name (any letter case) or a number 0..37; throws UsageError.
int ParseFormArgument(const std::string& verb, const std::string& text);

} // namespace impmap::cli
