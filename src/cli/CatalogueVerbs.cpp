// The verbs that read the catalogue: forms, schema and header.
#include "Cli.h"
#include "CliArgs.h"
#include "Verbs.h"
#include "io/FileIo.h"
#include "io/NativePath.h"
#include "mapping/HeaderLine.h"
#include "schema/FormCatalogue.h"

#include <ostream>

namespace impmap::cli {

const char* const kFormsHelp =
    "Usage: impmap-cli forms\n"
    "Lists the destination layouts: FormIndex, TAB, name, TAB, field count.\n";

const char* const kSchemaHelp =
    "Usage: impmap-cli schema FORM\n"
    "Lists the fields of a layout: position, TAB, type code, TAB, caption.\n"
    "FORM is a layout name in any letter case (\"1099-misc\") or its FormIndex (0-37).\n";

const char* const kHeaderHelp =
    "Usage: impmap-cli header FORM --delimiter tab|comma|pipe [-o FILE]\n"
    "Writes the header record of a layout (its captions joined by the delimiter,\n"
    "each in double quotes for comma) followed by CR LF, to FILE or standard output.\n";

int ParseFormArgument(const std::string& verb, const std::string& text)
{
    int index = FindFormIndex(text);
    if (index >= 0)
        return index;
    if (!text.empty() && text.size() <= 2 &&
        text.find_first_not_of("0123456789") == std::string::npos) {
        index = std::stoi(text);
        if (index < kFormCount)
            return index;
    }
    throw UsageError{verb + ": unknown form " + text};
}

int FormsVerb(const std::vector<std::string>& words, const VerbContext& context)
{
    CliArgs args("forms", words, {}, {});
    args.ExpectPositional(0, "");
    for (int i = 0; i < kFormCount; ++i) {
        context.out << i << '\t' << FormNames[static_cast<size_t>(i)] << '\t' << FormFieldCount(i)
                    << '\n';
    }
    return kExitOk;
}

int SchemaVerb(const std::vector<std::string>& words, const VerbContext& context)
{
    CliArgs args("schema", words, {}, {});
    args.ExpectPositional(1, "FORM");
    const int formIndex = ParseFormArgument("schema", args.Positional()[0]);
    std::vector<std::string> definitions;
    BuildFormSchema(formIndex, definitions);
    for (size_t i = 0; i < definitions.size(); ++i) {
        context.out << (i + 1) << '\t' << TypeCodeOf(definitions[i]) << '\t'
                    << CaptionOf(definitions[i]) << '\n';
    }
    return kExitOk;
}

int HeaderVerb(const std::vector<std::string>& words, const VerbContext& context)
{
    CliArgs args("header", words, {"--delimiter", "-o"}, {});
    args.ExpectPositional(1, "FORM");
    const int formIndex = ParseFormArgument("header", args.Positional()[0]);
    const auto delimiterText = args.Value("--delimiter");
    if (!delimiterText)
        throw UsageError{"header: missing --delimiter tab|comma|pipe"};
    Delimiter delimiter = Delimiter::None;
    if (*delimiterText == "tab")
        delimiter = Delimiter::Tab;
    else if (*delimiterText == "comma")
        delimiter = Delimiter::Comma;
    else if (*delimiterText == "pipe")
        delimiter = Delimiter::Pipe;
    else
        throw UsageError{"header: unknown delimiter " + *delimiterText};

    const std::string text = HeaderLine(formIndex, delimiter) + "\r\n";
    if (const auto file = args.Value("-o")) {
        try {
            WriteFileAtomically(PathFromUtf8(*file), text);
        } catch (const FileError& e) {
            context.err << e.what() << '\n';
            return kExitUsage;
        }
    } else {
        context.out << text;
    }
    return kExitOk;
}

} // namespace impmap::cli
